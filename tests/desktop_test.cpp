// The desktop's additions: the frame scaled to any window, the command line,
// the shortcuts and drops, and the user's language.
//
// [SECTION] The frame in a window of any size
// [SECTION] The command line
// [SECTION] The working folder and where the dialogs start
// [SECTION] Shortcuts and drops, on the whole program
// [SECTION] The start language from the locale
// [SECTION] The whole program in each language
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "app/desktop.h"
#include "app/program.h"
#include "pages/kit/page_state.h"
#include "platform/dialogs.h"
#include "panel/comments.h"
#include "platform/language.h"
#include "platform/user_folders.h"
#include "platform/window.h"
#include "support/program_session.h"

namespace {

// [SECTION] The frame in a window of any size

TEST(FrameLayout, ScaleStepsWhereTheyFitCentredAndWindowPointsMapBack) {
  struct Row {
    int windowWidth, windowHeight;
    FrameRect expected;
  };
  const Row rows[] = {
      {1100, 840, {0, 0, 1100, 840, 1}},
      {2200, 1680, {0, 0, 2200, 1680, 2}},
      {2300, 1700, {50, 10, 2200, 1680, 2}},     // letter-boxed round a 2 x frame
      {2199, 1680, {274, 210, 1650, 1260, 0}},    // 1 pixel short of 2 x: 1.5 x, smooth
      {1320, 1008, {0, 0, 1320, 1008, 0}},        // 1.2 x, a screen of 1080 rows
      {1319, 1008, {54, 42, 1210, 924, 0}},       // 1 pixel short of it: 1.1 x
      {3300, 2000, {550, 160, 2200, 1680, 2}},    // the height limits
      {1000, 700, {41, 0, 917, 700, 0}},          // 700 * 1100 / 840 = 916.7, rounded
      {550, 800, {0, 190, 550, 420, 0}},          // the width limits: exactly half
      {1, 1, {0, 0, 1, 1, 0}},                    // never empty
  };
  const auto fields = [](const FrameRect& f) { return std::tuple(f.left, f.top, f.width, f.height, f.whole); };
  for (const Row& row : rows) {
    EXPECT_EQ(fields(FrameLayout(row.windowWidth, row.windowHeight)), fields(row.expected))
        << row.windowWidth << " x " << row.windowHeight;
  }
  struct Point {
    int windowWidth, windowHeight, wx, wy;
    bool inside;
    int x, y;
  };
  const Point points[] = {
      {2200, 1680, 368, 32, true, 184, 16},     // the FILTER tab's centre at 2 x
      {2200, 1680, 369, 33, true, 184, 16},     // the same 2 x 2 block
      {2200, 1680, 2199, 1679, true, 1099, 839},
      {2300, 1700, 49, 9, false, 0, 0},         // on the border: clamped
      {2300, 1700, 2299, 1699, false, 1099, 839}, {2300, 1700, 50, 10, true, 0, 0},
      {550, 800, 92, 198, true, 184, 16},       // half size
      {1000, 700, 41 + 916, 699, true, 1098, 838},  // 916 * 1100 / 917, 699 * 840 / 700
  };
  for (const Point& row : points) {
    int x = -1, y = -1;
    const bool inside = ClientFromWindow(FrameLayout(row.windowWidth, row.windowHeight), row.wx, row.wy, x, y);
    EXPECT_EQ(std::tuple(inside, x, y), std::tuple(row.inside, row.x, row.y))
        << row.windowWidth << " x " << row.windowHeight << " at " << row.wx << "," << row.wy;
  }
  // Every client pixel is reached at 2 x, at its block's first window pixel.
  const FrameRect twice = FrameLayout(2200, 1680);
  for (int cx = 0; cx < 1100; cx += 7) {
    int x = -1, y = -1;
    ClientFromWindow(twice, 2 * cx, 2 * 3, x, y);
    ASSERT_EQ(x, cx);
  }
}

std::uint32_t Xrgb(Rgb c) { return (std::uint32_t{c.r} << 16) | (std::uint32_t{c.g} << 8) | c.b; }

TEST(ScaleFrame, WholeScalesRepeatPixelsReducedFramesStayFaithful) {
  // A frame with a distinct colour per pixel, and a black-and-white edge at x 550.
  const auto at = [](int x, int y) {
    return Rgb{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), static_cast<std::uint8_t>(x >= 550 ? 255 : 0)};
  };
  std::vector<std::uint8_t> rgb;
  for (int y = 0; y < 840; ++y)
    for (int x = 0; x < 1100; ++x) rgb.insert(rgb.end(), {at(x, y).r, at(x, y).g, at(x, y).b});

  const FrameRect twice = FrameLayout(2200, 1680);
  const int pitch = twice.width + 5;  // rows may be longer than the frame
  std::vector<std::uint32_t> out(static_cast<std::size_t>(pitch) * twice.height, 0xDEADBEEF);
  ScaleFrame(rgb.data(), twice, out.data(), pitch);
  for (int y = 0; y < 1680; y += 37)
    for (int x = 0; x < 2200; x += 13)
      ASSERT_EQ(out[static_cast<std::size_t>(y) * pitch + x], Xrgb(at(x / 2, y / 2))) << x << "," << y;
  EXPECT_EQ(out[2200], 0xDEADBEEFu);  // nothing beyond the frame's width

  // Half size: the blue edge stays at half the width, sharp to within one
  // pixel; colours in between are blends of their neighbours.
  const FrameRect half = FrameLayout(550, 420);
  std::vector<std::uint32_t> small(static_cast<std::size_t>(half.width) * half.height);
  ScaleFrame(rgb.data(), half, small.data(), half.width);
  for (int y = 0; y < half.height; y += 11)
    for (int x = 0; x < half.width; ++x) {
      const std::uint32_t blue = small[static_cast<std::size_t>(y) * half.width + x] & 0xFF;
      if (x < 274 || x > 275) {
        ASSERT_EQ(blue, x < 274 ? 0u : 255u) << x << "," << y;
      }
    }
  // The red ramp (red = x) is halved: pixel x shows about 2x + 0.5.
  EXPECT_NEAR(static_cast<int>((small[100] >> 16) & 0xFF), 200, 1);
}

TEST(ScaleSteps, TheStartSizePlusAndMinusStepWithinTheScreenAndTheFileRemembersTheStep) {
  struct Row {
    int usableWidth, usableHeight, remembered, width, height;
  };
  const Row rows[] = {
      {1280, 1024, 0, 1210, 924},    // 976 rows less a title bar: 1.1 x
      {1920, 1080, 0, 1320, 1008},   // a screen of 1080 rows with no panel: 1.2 x
      {1920, 1050, 0, 1210, 924},    // with a panel: 1.1 x
      {2560, 1440, 0, 1650, 1260},   // 1.5 x
      {3840, 2112, 0, 2200, 1680},   // a HiDPI screen: 2 x (2.5 x needs 2100 rows)
      {1366, 740, 0, 906, 692},      // even 1 x is too tall: reduced (692 = 740 less a title bar; 692 * 1100 / 840)
      {1100, 888, 0, 1100, 840},     // exactly 1 x with room for a title bar
      {1920, 1080, 10, 1100, 840},   // the user's 1 x
      {1920, 1080, 20, 1320, 1008},  // 2 x no longer fits: the largest that does
      {1920, 1080, 17, 1320, 1008},  // no step
  };
  for (const Row& row : rows) {
    const WindowSize size = StartWindowSize(row.usableWidth, row.usableHeight, row.remembered);
    EXPECT_EQ(std::pair(size.width, size.height), std::pair(row.width, row.height))
        << row.usableWidth << " x " << row.usableHeight;
  }
  // From 1.2 x on a 2560 x 1440 screen (1.5 x fits, 2 x does not): width, height, direction, the step after.
  const std::array<int, 4> nexts[] = {{1320, 1008, 1, 13}, {1650, 1260, 1, 15} /* no further */, {1320, 1008, -1, 11},
                                      {1100, 840, -1, 10}, {800, 600, 1, 10} /* a reduced window grows to 1 x */,
                                      {1650, 1260, -1, 14}};
  for (const auto& [w, h, direction, step] : nexts) EXPECT_EQ(NextScaleStep(w, h, direction, 2560, 1440), step) << w;

  EXPECT_EQ(ScaleFileFor("/x/config", "/home/u"), "/x/config/vazesample/window.conf");
  EXPECT_EQ(ScaleFileFor("relative", "/home/u"), "/home/u/.config/vazesample/window.conf");
  EXPECT_EQ(ScaleFileFor(nullptr, nullptr), "");
  const std::string folder = (std::filesystem::path(testing::TempDir()) / "vz_scale").string();
  std::filesystem::remove_all(folder);
  const std::string file = folder + "/vazesample/window.conf";
  EXPECT_EQ(ReadScaleFile(file), 0);  // none yet
  ASSERT_TRUE(WriteScaleFile(file, 12));
  EXPECT_EQ(ReadScaleFile(file), 12);
  const std::vector<std::uint8_t> written = FileBytes(file);
  EXPECT_EQ(std::string(written.begin(), written.end()), "scale = 1.2\n");
  EXPECT_FALSE(WriteScaleFile(file, 17));
  const std::pair<const char*, int> texts[] = {
      {"# ours\nscale = 2\n", 20}, {"scale=1.5", 15}, {"scale = 1.7\n", 0}, {"scale = 1.25\n", 0},
      {"scale = -1\n", 0},         {"size = 2\n", 0}, {"scale = 2x\n", 0},
  };
  for (const auto& [text, tenths] : texts) {
    std::ofstream(file) << text;
    EXPECT_EQ(ReadScaleFile(file), tenths) << text;
  }
  std::filesystem::remove(file);
  std::filesystem::create_directory(file);  // a folder by that name names no step
  EXPECT_EQ(ReadScaleFile(file), 0);
}

// [SECTION] The command line

TEST(CommandLine, PictureHelpVersionLanguageWorkFolderDesktopAndWhatIsWrong) {
  const std::string folder = (std::filesystem::path(testing::TempDir()) / "vz_command_line").lexically_normal().string();
  std::filesystem::create_directories(folder + "/work");
  const std::string picture = folder + "/shot one.bmp", dashed = folder + "/-dashed.bmp";
  std::ofstream(picture) << "BM";
  std::ofstream(dashed) << "BM";

  using enum CommandLine::Action;
  constexpr int Ja = JapaneseLanguage, En = EnglishLanguage;
  struct Row {
    std::vector<std::string> args;
    CommandLine::Action action;
    std::string picture, error;
    int language = 0;
    std::string workFolder = "";
    bool desktop = false;
  };
  const std::string noFolder = "' (the working folder must exist)";
  const Row rows[] = {
      {{}, Run, "", ""}, {{picture}, Run, picture, ""},
      {{folder + "/./shot one.bmp"}, Run, picture, ""},
      {{"--", dashed}, Run, dashed, ""},
      {{"--help"}, Help, "", ""}, {{picture, "--version"}, Version, "", ""},
      {{"--bogus"}, Wrong, "", "unknown option '--bogus'"}, {{"-x", picture}, Wrong, "", "unknown option '-x'"},
      {{picture, picture}, Wrong, "", "only one picture can be given"},
      {{folder + "/missing.bmp"}, Wrong, "", "no picture file '" + folder + "/missing.bmp'"},
      {{folder}, Wrong, "", "no picture file '" + folder + "'"},  // a folder is no picture
      {{"--language", "en"}, Run, "", "", En},
      {{"--language=ja", picture}, Run, picture, "", Ja},
      {{"--language", "en", "--language", "ja"}, Run, "", "", Ja},  // the last one holds
      {{"--language", "de"}, Wrong, "", "--language takes ja or en, not 'de'"},
      {{"--language=EN"}, Wrong, "", "--language takes ja or en, not 'EN'"},
      {{"--language"}, Wrong, "", "--language needs ja or en"},
      {{"--workdir", folder + "/work"}, Run, "", "", 0, folder + "/work"},
      {{"--workdir=" + folder + "/work/../work/", picture}, Run, picture, "", 0, folder + "/work/"},
      {{"--workdir", folder + "/none"}, Wrong, "", "no folder '" + folder + "/none" + noFolder},
      {{"--workdir", picture}, Wrong, "", "no folder '" + picture + noFolder},
      {{"--workdir"}, Wrong, "", "--workdir needs a folder"},
      {{"--desktop", picture}, Run, picture, "", 0, "", true},
      {{"--desktop"}, Run, "", "", 0, "", true},  // the entry's %f with no file
      {{"--", "--desktop"}, Wrong, "", "no picture file '--desktop'"},
      {{"--desktop=yes"}, Wrong, "", "unknown option '--desktop=yes'"},
  };
  for (const Row& row : rows) {
    std::vector<const char*> argv{"vazesample"};
    for (const std::string& a : row.args) argv.push_back(a.c_str());
    const CommandLine line = ReadCommandLine(static_cast<int>(argv.size()), argv.data());
    EXPECT_EQ(std::tuple(line.action, line.picture, line.error, line.language, line.workFolder, line.desktop),
              std::tuple(row.action, row.picture, row.error, row.language, row.workFolder, row.desktop))
        << testing::PrintToString(row.args);
  }
  EXPECT_NE(UsageText().find("usage: vazesample [--language ja|en] [--workdir DIR] [--desktop] [PICTURE]"),
            std::string::npos);
}

// [SECTION] The working folder and where the dialogs start

TEST(StartFolders, WhereTheProgramWorksAndTheStateFolderUnderXdgStateHomeElseHome) {
  CommandLine terminal, desktop, byHand, desktopByHand;
  desktop.desktop = desktopByHand.desktop = true;
  byHand.workFolder = desktopByHand.workFolder = "/data/work";
  struct Row {
    const CommandLine* line;
    std::string stateFolder;
    StartFolders expected;
  };
  const std::string here = "/home/u/photos", state = "/home/u/.local/state/vazesample", pictures = "/home/u/Bilder";
  const Row rows[] = {
      {&terminal, state, {here, false, here}},
      {&desktop, state, {state, true, pictures}},
      {&desktop, "", {here, false, pictures}},  // no home to keep state in: where it was started
      {&byHand, state, {"/data/work", false, here}},
      {&desktopByHand, state, {"/data/work", false, pictures}},
  };
  for (const Row& row : rows) {
    const StartFolders f = ChooseStartFolders(*row.line, here, row.stateFolder, pictures);
    const StartFolders& e = row.expected;
    EXPECT_EQ(std::tuple(f.work, f.makeWork, f.dialogs), std::tuple(e.work, e.makeWork, e.dialogs))
        << row.line->desktop << " " << row.line->workFolder << " " << row.stateFolder;
  }
  struct State {
    const char* xdgStateHome;
    const char* home;
    std::string expected;
  };
  const State states[] = {
      {"/tmp/state", "/home/u", "/tmp/state/vazesample"}, {"/tmp/state/", "/home/u", "/tmp/state/vazesample"},
      {nullptr, "/home/u", "/home/u/.local/state/vazesample"}, {"", "/home/u", "/home/u/.local/state/vazesample"},
      {"state", "/home/u", "/home/u/.local/state/vazesample"},  // relative: not to be used
      {nullptr, "/home/u/", "/home/u/.local/state/vazesample"},
      {nullptr, nullptr, ""}, {nullptr, "relative", ""}, {"/s", nullptr, "/s/vazesample"},
  };
  for (const State& row : states) {
    EXPECT_EQ(StateFolderFor(row.xdgStateHome, row.home), row.expected)
        << (row.xdgStateHome ? row.xdgStateHome : "-") << " " << (row.home ? row.home : "-");
  }
}

TEST(StartFolders, MakeFolderMakesEveryMissingFolderForTheUserOnly) {
  const std::string top = (std::filesystem::path(testing::TempDir()) / "vz_make_folder").lexically_normal().string();
  std::filesystem::remove_all(top);
  const std::string deep = top + "/state/vazesample";
  std::string why;
  ASSERT_TRUE(MakeFolder(deep, &why)) << why;
  EXPECT_TRUE(std::filesystem::is_directory(deep));
  for (const std::string& made : {top, top + "/state", deep}) {
    EXPECT_EQ(std::filesystem::status(made).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_all)
        << made;
  }
  // There already: nothing changes, and a file inside stays.
  std::ofstream(deep + "/KEEP0.bmp") << "BM";
  EXPECT_TRUE(MakeFolder(deep, &why)) << why;
  EXPECT_TRUE(std::filesystem::exists(deep + "/KEEP0.bmp"));
  // A file where a folder should be: refused, and said.
  std::ofstream(top + "/file") << "x";
  why.clear();
  EXPECT_FALSE(MakeFolder(top + "/file/vazesample", &why));
  EXPECT_NE(why.find(top + "/file"), std::string::npos) << why;
  EXPECT_FALSE(MakeFolder(top + "/file", &why));
  EXPECT_EQ(why, top + "/file is not a folder");
  std::filesystem::remove_all(top);
}

// [SECTION] Shortcuts and drops, on the whole program

Rgb Flat(int, int) { return Rgb{10, 200, 90}; }
Rgb Other(int, int) { return Rgb{200, 30, 60}; }

// Pixels that are not white in the comment lines' area.
int CommentInk(ProgramSession& s) {
  int ink = 0;
  for (int y = 708; y < 764; ++y)
    for (int x = 120; x < 1060; ++x) ink += s.Pixel(x, y) == White ? 0 : 1;
  return ink;
}

class DesktopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    picture = s.PathIn("first.bmp");
    WriteTestPicture(picture, 200, 100, Flat);
    UseDialogs(&preset);
    handlers = DesktopHandlers(ProgramHandlers(), preset);
  }
  void TearDown() override { UseDialogs(nullptr); }

  void Key(int key, bool control) {
    handlers.onMessage({.kind = MessageKind::KeyDown, .key = key, .control = control});
    s.Paint();
  }
  std::size_t Shown(const std::string& kind) {
    return std::ranges::count(s.dialogs().shown(), kind, &ScriptedDialogs::Shown::kind);
  }

  ProgramSession s;
  PresetOpenDialogs preset{s.dialogs()};
  WindowHandlers handlers;
  std::string picture;
};

// F1 shows the comment, Ctrl+O opens, Ctrl+S saves, Ctrl+Q asks to close.
TEST_F(DesktopTest, APresetOrDroppedPictureOpensAsIfChosenAndTheShortcutsWork) {
  preset.Preset(picture);
  s.Start("");  // the scripted dialog would cancel: the preset answers first
  EXPECT_FALSE(preset.HasPreset());
  EXPECT_EQ(s.window().Title(), "first.bmp / ヴァントルゼフリンサンプル vazesample");
  EXPECT_EQ(s.Pixel(100, 32), Flat(0, 0));
  CommentPanel.on = false;
  s.Click(50, 835);
  EXPECT_EQ(CommentInk(s), 0);
  Key(112, false);  // F1 on TOP turns the comments on
  EXPECT_EQ(CommentPanel.on, 1);
  EXPECT_GT(CommentInk(s), 500);

  const std::string dropped = s.PathIn("dropped.bmp");
  WriteTestPicture(dropped, 200, 100, Other);  // the same size: still taken on TOP
  handlers.onDropFile(dropped);
  s.Paint();
  EXPECT_EQ(Shown("open"), 0u);  // neither the preset nor the drop asks
  EXPECT_EQ(s.window().Title(), "dropped.bmp / ヴァントルゼフリンサンプル vazesample");
  EXPECT_EQ(s.Pixel(150, 50), Other(0, 0));
  Key('O', true);
  EXPECT_EQ(Shown("open"), 1u);  // as Enter: the open dialog (cancelled by the script)
  Key('S', true);
  EXPECT_EQ(Shown("save"), 1u);  // the Save tab

  s.Click(100 + 56 + 28, 16);  // FILTER, which shows its comment once
  s.Click(50, 835);            // a click on nothing paints without it
  EXPECT_EQ(std::pair(PageId, CommentInk(s)), std::pair(int{PageFilter}, 0));
  Key(112, false);
  EXPECT_GT(CommentInk(s), 500);
  Key('S', false);  // a plain S is no shortcut
  EXPECT_EQ(Shown("save"), 1u);

  Key('Q', true);  // the close sequence; the script answers No to both
  EXPECT_EQ(std::pair(Shown("message"), s.window().Destroyed()), std::pair(std::size_t{2}, false));
}

// [SECTION] The start language from the locale

TEST(LanguageFromLocale, JapaneseForJapaneseAndForNoLanguageEnglishOtherwise) {
  constexpr int Ja = JapaneseLanguage, En = EnglishLanguage;
  struct Row {
    const char* lcAll;
    const char* lcMessages;
    const char* lang;
    int expected;
  };
  const Row rows[] = {
      {nullptr, nullptr, "en_US.UTF-8", En}, {nullptr, nullptr, "ja_JP.UTF-8", Ja}, {nullptr, nullptr, "C", Ja},
      {nullptr, nullptr, nullptr, Ja},  // nothing set
      {"", "", "", Ja},                 // set, but empty: as unset
      {nullptr, nullptr, "POSIX", Ja}, {nullptr, nullptr, "C.UTF-8", Ja}, {nullptr, nullptr, "ja", Ja},
      {nullptr, nullptr, "ja_JP.eucJP@cjknarrow", Ja}, {nullptr, nullptr, "de_DE@euro", En},
      {nullptr, nullptr, "jv_ID", En},         // Javanese is not Japanese
      {nullptr, nullptr, "fr_JP.UTF-8", En},   // French spoken in Japan: French
      {"en_GB.UTF-8", nullptr, "ja_JP.UTF-8", En},  // LC_ALL first
      {"ja_JP.UTF-8", "en_US.UTF-8", "en_US.UTF-8", Ja},
      {"", "en_US.UTF-8", "ja_JP.UTF-8", En},  // an empty LC_ALL is passed over
      {nullptr, "ja_JP.UTF-8", "en_US.UTF-8", Ja},  // LC_MESSAGES before LANG
      {nullptr, "C", "en_US.UTF-8", Ja},       // the first set one counts, even C
      {nullptr, "", "en_US.UTF-8", En},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(LanguageFromLocale(row.lcAll, row.lcMessages, row.lang), row.expected)
        << (row.lcAll ? row.lcAll : "-") << " / " << (row.lcMessages ? row.lcMessages : "-") << " / "
        << (row.lang ? row.lang : "-");
  }
}

// [SECTION] The whole program in each language

constexpr int TabY = 15, PaletteTabX = 520, SaveTabX = 912, GetTabX = 1024;
constexpr int LanguageKeyX = 48, LanguageKeyY = 552;
constexpr int NewColourX = 40, NewColourY = 122, SaveColourX = 40, SaveColourY = 640;

class InEachLanguage : public ::testing::Test {
 protected:
  void TearDown() override {
    StartLanguageId = JapaneseLanguage;
    LanguageId = JapaneseLanguage;
  }
  // The one dialog or message the last action showed.
  ScriptedDialogs::Shown Only() {
    const auto shown = s.dialogs().TakeShown();
    EXPECT_EQ(shown.size(), 1u);
    return shown.empty() ? ScriptedDialogs::Shown{} : shown.front();
  }
  ProgramSession s;
};

TEST_F(InEachLanguage, ARunStartsInTheStartLanguageAndTheDialogsFollowTheCurrentOne) {
  StartLanguageId = EnglishLanguage;
  StartProgram();  // a new run
  WriteTestPicture(s.PathIn("first.bmp"), 200, 100, [](int, int) { return Rgb{90, 140, 200}; });
  s.Start(s.PathIn("first.bmp"));
  s.dialogs().TakeShown();
  EXPECT_EQ(s.window().Title(), "first.bmp / VANTOR ZEPHRIN SAMPLE vazesample");
  // The language key word still switches, and the title follows.
  s.Click(LanguageKeyX, LanguageKeyY);
  EXPECT_EQ(s.window().Title(), "first.bmp / ヴァントルゼフリンサンプル vazesample");
  s.Click(SaveTabX, TabY);  // cancelled: nothing queued
  ScriptedDialogs::Shown save = Only();
  EXPECT_EQ(save.title, "名前をつけて保存する");
  EXPECT_EQ(save.filters, (std::vector<std::string>{"ビットマップファイル(*.bmp)", "すべてのファイル(*.*)"}));

  // Switched to English at run time: every name follows.
  s.Click(LanguageKeyX, LanguageKeyY);
  ASSERT_EQ(LanguageId, EnglishLanguage);
  s.Click(SaveTabX, TabY);
  save = Only();
  EXPECT_EQ(save.title, "SAVE WITH A NAME");
  EXPECT_EQ(save.filters, (std::vector<std::string>{"Bitmap files (*.bmp)", "All files (*.*)"}));
  s.Click(GetTabX, TabY);
  const ScriptedDialogs::Shown open = Only();
  EXPECT_EQ(open.kind, "open");
  EXPECT_EQ(open.title, "Open a Picture");  // named for pictures, in the language shown
  EXPECT_EQ(open.filters, (std::vector<std::string>{"Bitmap files (*.bmp)", "All files (*.*)"}));

  // The nod colour files of the PALETTE page.
  s.Click(PaletteTabX, TabY);
  s.dialogs().TakeShown();
  s.Click(SaveColourX, SaveColourY);
  const ScriptedDialogs::Shown colours = Only();
  EXPECT_EQ(colours.title, "SAVE NOD COLORS WITH A NAME");
  EXPECT_EQ(colours.filters, (std::vector<std::string>{"Text files (*.txt)", "All files (*.*)"}));
  s.Click(NewColourX, NewColourY);
  const auto shown = s.dialogs().TakeShown();  // the open dialog, then "cancelled"
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].filters, (std::vector<std::string>{"Text files (*.txt)", "All files (*.*)"}));
  EXPECT_EQ(shown[1].text, "Cancelled: no nod colour file was read");
}

}  // namespace
