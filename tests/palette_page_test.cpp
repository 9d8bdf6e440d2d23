// The PALETTE page through the whole program: "save color" byte by byte, the
// round trip through "new color" into ADD, bars, arrows, "↓", the right
// click, the chart, the calculator, every refused file and failed save
// leaving the tables as they were, and the golden screen with the chart on.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "image/bmp_files.h"
#include "pages/colour/nod_colour_file.h"
#include "pages/colour/nod_colours.h"
#include "pages/colour/palette_page.h"
#include "pages/kit/page_state.h"
#include "platform/files.h"
#include "support/golden.h"
#include "support/program_session.h"

namespace {

constexpr int TabY = 15, AddTabX = 464, SaveTabX = 912;
// The channel rows (value boxes, bars and arrows at a given x); the keys are
// clicked by their labels.
constexpr int RedY = 382, GreenY = 408, BlueY = 434;
constexpr int BoxX = 14, ArrowDownX = 83, ArrowUpX = 93;

struct KeyPoint {
  int x, y;
};
constexpr KeyPoint DigitKey[10] = {{20, 570}, {20, 550}, {49, 550}, {78, 550}, {20, 530},
                                   {49, 530}, {78, 530}, {20, 510}, {49, 510}, {78, 510}};
constexpr KeyPoint AddKey{20, 590}, AllClearKey{74, 486};

int SwatchY(int index) { return 170 + 13 * (index - 1); }

Rgb Gradient(int x, int y) {
  return Rgb{static_cast<std::uint8_t>(x * 255 / 299), static_cast<std::uint8_t>(y * 255 / 499),
             static_cast<std::uint8_t>(40 + (x + y) / 5)};
}

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

struct PaletteSession {
  ProgramSession s;
  PaletteSession() { s.StartOnPage(7, Gradient, 300, 500); }
  // "save color" answered with a path.
  void SaveColours(const std::string& path) {
    s.dialogs().QueueFile(path);
    s.ClickControl(PagePalette, "save color");
  }
  void LoadColours(const std::optional<std::string>& path) {
    s.dialogs().QueueFile(path);
    s.ClickControl(PagePalette, "new color");
  }
};

NodColour Current() {
  const PaletteView v = PaletteNow();
  return NodColour{v.red, v.green, v.blue};
}

TEST(PalettePage, SaveColorWritesTheBuiltInTableByteByByte) {
  PaletteSession p;
  p.s.dialogs().TakeShown();
  p.SaveColours(p.s.PathIn("builtin.txt"));
  const std::vector<std::uint8_t> bytes = FileBytes(p.s.PathIn("builtin.txt"));
  ASSERT_EQ(bytes.size(), 252u);
  EXPECT_EQ(bytes, EncodeNodColourFile(BuiltInNodColours));
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 12),
            (std::vector<std::uint8_t>{32, 32, 48, 32, 32, 32, 48, 32, 32, 32, 48, 10}));
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 12, bytes.begin() + 24),
            (std::vector<std::uint8_t>{50, 53, 53, 32, 50, 53, 53, 32, 32, 32, 48, 10}));
  EXPECT_EQ(std::string(bytes.begin() + 84, bytes.begin() + 96), "128   0   0\n");
  const auto shown = p.s.dialogs().TakeShown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].kind, "save");
  EXPECT_EQ(shown[0].title, "名前をつけて配色を保存する");
}

TEST(PalettePage, AnEditedTableGoesThroughTheFileIntoAdd) {
  PaletteSession p;
  p.s.ClickControl(PagePalette, "Ｂ");
  p.s.Click(50, SwatchY(3));  // B 3: (0, 196, 255)
  EXPECT_EQ(PaletteNow().column, NodColumnB);
  EXPECT_EQ(PaletteNow().index, 3);
  EXPECT_EQ(Current(), (NodColour{0, 196, 255}));
  p.s.Click(29, RedY);         // 5
  p.s.Click(ArrowUpX, GreenY);  // 196 + 8
  p.s.Click(75, BlueY);        // 249
  EXPECT_EQ(Current(), (NodColour{5, 204, 249}));
  EXPECT_EQ(NodEntry(NodColours.table, NodColumnB, 3), (NodColour{5, 204, 249}));
  NodTable edited = BuiltInNodColours;
  NodEntry(edited, NodColumnB, 3) = {5, 204, 249};
  EXPECT_EQ(NodColours.table, edited);

  p.SaveColours(p.s.PathIn("mine.txt"));
  const std::vector<std::uint8_t> bytes = FileBytes(p.s.PathIn("mine.txt"));
  EXPECT_EQ(bytes, EncodeNodColourFile(edited));
  EXPECT_EQ(std::string(bytes.begin() + 9 * 12, bytes.begin() + 10 * 12), "  5 204 249\n");

  // Back to the built-in table, then the file again.
  p.s.ClickControl(PagePalette, "org color");
  EXPECT_EQ(NodColours.source, BuiltInTableSource);
  EXPECT_EQ(NodEntry(NodColours.table, NodColumnB, 3), (NodColour{0, 196, 255}));
  p.LoadColours(p.s.PathIn("mine.txt"));
  EXPECT_EQ(NodColours.table, edited);
  EXPECT_EQ(NodColours.user, edited);
  EXPECT_EQ(NodColours.source, UserTableSource);

  // ADD spreads the user's colours: grey 84 (nod colour 3 of B) after "hd".
  p.s.Click(AddTabX, TabY);
  p.s.Click(50, 96);    // column B
  p.s.Click(80, 418);   // "hd"
  EXPECT_EQ(NodColours.table, edited);
  EXPECT_EQ(p.s.Pixel(100 + 600, 32 + 200), (Rgb{255, 245, 255}));  // white outside the picture: B 7
}

TEST(PalettePage, BarsAndArrowsKeepTheValuesWithinABytes) {
  PaletteSession p;
  struct Case {
    int x, y;
    NodColour want;
  };
  const Case cases[] = {
      {29, RedY, {5, 0, 0}},    {75, RedY, {249, 0, 0}},         {52, GreenY, {249, 127, 0}},
      {ArrowUpX, RedY, {255, 127, 0}}, {ArrowUpX, RedY, {255, 127, 0}}, {ArrowDownX, GreenY, {255, 119, 0}},
      {ArrowDownX, BlueY, {255, 119, 0}}, {ArrowUpX, BlueY, {255, 119, 8}},
  };
  for (const Case& c : cases) {
    p.s.Click(c.x, c.y);
    EXPECT_EQ(Current(), c.want) << c.x << ", " << c.y;
    EXPECT_EQ(NodEntry(NodColours.table, NodColumnA, 1), c.want);
  }
  for (int k = 0; k < 20; ++k) p.s.Click(ArrowDownX, GreenY);
  EXPECT_EQ(Current().green, 0);
  // The line between two rows takes nothing.
  p.s.Click(52, 395);
  EXPECT_EQ(Current(), (NodColour{255, 0, 8}));
}

TEST(PalettePage, DownWrapsAndTheRightClickAdvancesWithoutChangingTheSource) {
  PaletteSession p;
  p.s.Click(50, SwatchY(7));
  EXPECT_EQ(PaletteNow().index, 7);
  EXPECT_EQ(NodColours.source, BuiltInTableSource);
  p.s.RightClick(600, 300);
  EXPECT_EQ(PaletteNow().index, 1);
  EXPECT_EQ(NodColours.source, BuiltInTableSource);
  p.s.RightClick(600, 300);
  EXPECT_EQ(PaletteNow().index, 2);
  EXPECT_EQ(Current(), (NodColour{0, 32, 255}));
  p.s.Click(50, SwatchY(7));
  p.s.ClickControl(PagePalette, "↓");
  EXPECT_EQ(PaletteNow().index, 1);
  EXPECT_EQ(NodColours.source, UserTableSource);
  // A paint that follows no click changes nothing.
  p.s.window().Invalidate();
  p.s.Paint();
  EXPECT_EQ(PaletteNow().index, 1);
}

TEST(PalettePage, TheChartGivesTheColourUnderTheClick) {
  PaletteSession p;
  p.s.ClickControl(PagePalette, "chart");
  EXPECT_EQ(PaletteNow().chartOn, 1);
  p.s.Click(150, 428);  // top row of the square: red 255
  EXPECT_EQ(Current(), (NodColour{255, 0, 50}));
  EXPECT_EQ(p.s.Pixel(150, 428), (Rgb{255, 0, 50}));
  p.s.Click(200, 690);  // the strip: chart green 100
  EXPECT_EQ(PaletteNow().chartGreen, 100);
  EXPECT_EQ(Current(), (NodColour{255, 0, 50}));  // the colour stays
  EXPECT_EQ(p.s.Pixel(300, 500), (Rgb{683 - 500, 100, 200}));
  EXPECT_EQ(p.s.Pixel(201, 690), (Rgb{0, 255, 0}));  // the marker of the chosen green
  p.s.Click(355, 683);  // bottom row: red 0
  EXPECT_EQ(Current(), (NodColour{0, 100, 255}));
  EXPECT_EQ(NodEntry(NodColours.table, NodColumnA, 1), (NodColour{0, 100, 255}));
  // A click beside the chart picks nothing; the next entry keeps its colour.
  p.s.ClickControl(PagePalette, "↓");
  EXPECT_EQ(Current(), (NodColour{255, 255, 0}));
  p.s.ClickControl(PagePalette, "chart");
  EXPECT_EQ(PaletteNow().chartOn, 0);
  EXPECT_EQ(p.s.Pixel(150, 428), Gradient(50, 396));  // the picture again
}

TEST(PalettePage, TheCalculatorChangesTheTargetChannel) {
  PaletteSession p;
  p.s.Click(BoxX, RedY);
  EXPECT_EQ(PaletteNow().target, 1);
  EXPECT_EQ(PaletteNow().calculatorOn, 1);
  for (int d : {2, 0}) p.s.Click(DigitKey[d].x, DigitKey[d].y);
  p.s.Click(AddKey.x, AddKey.y);
  EXPECT_EQ(Current(), (NodColour{20, 0, 0}));
  for (int d : {9, 9, 9}) p.s.Click(DigitKey[d].x, DigitKey[d].y);
  p.s.Click(AddKey.x, AddKey.y);
  EXPECT_EQ(Current(), (NodColour{255, 0, 0}));
  p.s.Click(AllClearKey.x, AllClearKey.y);
  EXPECT_EQ(Current(), (NodColour{0, 0, 0}));
  // The chart switches the calculator and the target off.
  p.s.ClickControl(PagePalette, "chart");
  EXPECT_EQ(PaletteNow().calculatorOn, 0);
  EXPECT_EQ(PaletteNow().target, 0);
  // The first reset mark: A 1, everything off, the built-in table again.
  p.s.Click(BoxX, BlueY);
  p.s.Click(20, 40);
  const PaletteView v = PaletteNow();
  EXPECT_EQ((std::array{v.column, v.index, v.chartOn, v.calculatorOn, v.target}), (std::array{1, 1, 0, 0, 0}));
  EXPECT_EQ(NodColours.table, BuiltInNodColours);
}

// Files the reader refuses: each leaves the working table, the user's table
// and the source as they were, with one message naming the file.
TEST(PalettePage, EveryRefusedFileAndTheCancelChangeNothing) {
  PaletteSession p;
  p.s.Click(29, RedY);  // the working table edited: A 1 = (5, 0, 0)
  NodTable before = BuiltInNodColours;
  NodEntry(before, NodColumnA, 1) = {5, 0, 0};
  ASSERT_EQ(NodColours.table, before);

  std::string text = std::string(reinterpret_cast<const char*>(EncodeNodColourFile(BuiltInNodColours).data()), 252);
  std::string over = text;
  over.replace(0, 3, "300");
  std::string crlfBroken;
  for (char c : text) crlfBroken += c == '\n' ? std::string("\r\n") : std::string(1, c);
  crlfBroken[crlfBroken.size() - 2] = ' ';
  const std::pair<const char*, std::string> files[] = {
      {"short.txt", text.substr(0, 200)},
      {"empty.txt", ""},
      {"garbage.txt", std::string(252, '?')},
      {"crlf.txt", crlfBroken},
      {"over255.txt", over},
  };
  std::vector<std::string> paths;
  for (const auto& [name, content] : files) {
    paths.push_back(p.s.PathIn(name));
    ASSERT_TRUE(WriteFileAtomically(paths.back(), Bytes(content)));
  }
  paths.push_back(p.s.PathIn("KEEP7.bmp"));  // a BMP: the page's own keep file
  ASSERT_TRUE(WriteKeepFile(Canvas.data(), 7, PixelSource::FromCanvas));
  paths.push_back(p.s.PathIn("huge.txt"));
  {
    const int fd = ::open(paths.back().c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, text.data(), text.size()), 252);
    ASSERT_EQ(::ftruncate(fd, 1LL << 30), 0);
    ::close(fd);
  }
  for (const std::string& path : paths) {
    p.s.dialogs().TakeShown();
    p.LoadColours(path);
    const auto shown = p.s.dialogs().TakeShown();
    ASSERT_EQ(shown.size(), 2u) << path;  // the open dialog, then one message
    EXPECT_EQ(shown[0].kind, "open");
    EXPECT_EQ(shown[0].title, "Text File Open");
    EXPECT_EQ(shown[1].title, "GetColor");
    EXPECT_EQ(shown[1].text, NotNodColourFileText(path));
    EXPECT_EQ(NodColours.table, before) << path;
    EXPECT_EQ(NodColours.user, NodTable{}) << path;
    EXPECT_EQ(NodColours.source, BuiltInTableSource) << path;
    // Shown once: the next paint says nothing.
    p.s.window().Invalidate();
    p.s.Paint();
    EXPECT_TRUE(p.s.dialogs().TakeShown().empty());
  }
  p.LoadColours(std::nullopt);
  const auto shown = p.s.dialogs().TakeShown();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[1].text, "失敗");
  EXPECT_EQ(NodColours.table, before);
  EXPECT_EQ(NodColours.user, NodTable{});
  EXPECT_EQ(NodColours.source, BuiltInTableSource);
}

TEST(PalettePage, ACancelledOrFailedSaveLeavesWhatWasThere) {
  PaletteSession p;
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(p.s.Folder())) names.push_back(e.path().filename());
  p.s.dialogs().QueueFile(std::nullopt);
  p.s.ClickControl(PagePalette, "save color");
  std::vector<std::string> after;
  for (const auto& e : std::filesystem::directory_iterator(p.s.Folder())) after.push_back(e.path().filename());
  std::sort(names.begin(), names.end());
  std::sort(after.begin(), after.end());
  EXPECT_EQ(after, names);

  std::filesystem::create_directory(p.s.PathIn("taken.txt"));
  ASSERT_TRUE(WriteFileAtomically(p.s.PathIn("taken.txt/inside"), Bytes("kept")));
  p.s.dialogs().TakeShown();
  p.SaveColours(p.s.PathIn("taken.txt"));
  const auto shown = p.s.dialogs().TakeShown();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[1].text, "ピクセルデータの書き込みに失敗しました: taken.txt (普通のファイルではありません)");
  EXPECT_EQ(shown[1].title, "PutBmp");
  EXPECT_EQ(FileBytes(p.s.PathIn("taken.txt/inside")), Bytes("kept"));
}

TEST(PalettePage, TheSaveTabStoresThePictureWithoutTheChart) {
  PaletteSession p;
  p.s.dialogs().QueueFile(p.s.PathIn("plain.bmp"));
  p.s.Click(SaveTabX, TabY);
  p.s.ClickControl(PagePalette, "chart");
  p.s.Click(150, 500);
  p.s.dialogs().QueueFile(p.s.PathIn("saved.bmp"));
  p.s.Click(SaveTabX, TabY);
  const std::vector<std::uint8_t> saved = FileBytes(p.s.PathIn("saved.bmp"));
  ASSERT_EQ(saved.size(), 54u + 300u * 500u * 3u);
  EXPECT_EQ(saved, FileBytes(p.s.PathIn("plain.bmp")));
  // Picture row 450 (file row 49), column 50: under the chart on screen.
  const std::size_t at = 54 + (49u * 300u + 50u) * 3u;
  const Rgb want = Gradient(50, 450);
  EXPECT_EQ((std::array{saved[at + 2], saved[at + 1], saved[at]}), (std::array{want.r, want.g, want.b}));
  // The planes hold the picture still: with the chart off it shows whole.
  p.s.ClickControl(PagePalette, "chart");
  EXPECT_EQ(p.s.Pixel(150, 500), Gradient(50, 468));
}

TEST(PalettePage, GetShowsThePictureAndRestoreReadsNothing) {
  PaletteSession p;
  WriteTestPicture(p.s.PathIn("black.bmp"), 50, 50, [](int, int) { return Rgb{0, 0, 0}; });
  p.s.dialogs().QueueFile(p.s.PathIn("black.bmp"));
  p.s.Click(1024, TabY);
  EXPECT_EQ(p.s.Pixel(120, 40), (Rgb{0, 0, 0}));
  ASSERT_FALSE(FileBytes(p.s.PathIn("KEEP7.bmp")).empty());
  const std::vector<std::uint8_t> shown = p.s.ShownCanvas();
  p.s.dialogs().TakeShown();
  p.s.Click(968, TabY);  // "Restore": only its note
  EXPECT_EQ(p.s.ShownCanvas(), shown);
  EXPECT_TRUE(p.s.dialogs().TakeShown().empty());
}

TEST(PalettePage, GoldenScreenWithTheChart) {
  PaletteSession p;
  p.s.ClickControl(PagePalette, "Ｂ");
  p.s.Click(50, SwatchY(4));
  p.s.ClickControl(PagePalette, "chart");
  p.s.Click(200, 690);  // chart green 100
  p.s.Click(228, 500);  // red 183, blue 128
  EXPECT_GOLDEN("palette_page_chart", p.s.window().Shown());
}

}  // namespace
