// The nod colour file, written and read byte for byte and every other file
// refused, and the PALETTE page through the whole program.
//
// [SECTION] The nod colour file
// [SECTION] The page through the whole program

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "pages/colour/nod_colour_file.h"
#include "pages/colour/nod_colours.h"
#include "pages/colour/palette_page.h"
#include "pages/kit/page_state.h"
#include "platform/files.h"
#include "support/golden.h"
#include "support/program_session.h"

namespace {

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

// The built-in table as the file holds it, written out by hand.
const std::string BuiltInFileText =
    "  0   0   0\n255 255   0\n  0   0 128\n  0 255 255\n128   0 255\n255 128 255\n255 255 255\n"
    "128   0   0\n  0  32 255\n  0 196 255\n  0 255 128\n194 255  64\n255 255 128\n255 245 255\n"
    "  0   0   0\n  0 255   0\n255   0   0\n  0   0 255\n  0 255 255\n255   0 255\n255 255 255\n";

// The text with CR LF line ends.
std::string WithCrLf(const std::string& text) {
  std::string crlf;
  for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return crlf;
}

// The file with line `line` (0..20) replaced by `text`.
std::string WithLine(int line, const std::string& text) {
  std::string file = BuiltInFileText;
  file.replace(static_cast<std::size_t>(line) * 12, 12, text);
  return file;
}

// [SECTION] The nod colour file

// An edited table comes back through the file, and a CR LF copy is read as the same table.
TEST(NodColourFile, TheTableIsWrittenAsTwentyOneLinesAndReadBack) {
  EXPECT_EQ(EncodeNodColourFile(BuiltInNodColours), Bytes(BuiltInFileText));
  NodTable edited = BuiltInNodColours;
  NodEntry(edited, NodColumnB, 3) = {5, 249, 0};
  NodEntry(edited, NodColumnA, 7) = {1, 22, 133};
  NodEntry(edited, NodColumnC, 1) = {255, 0, 255};
  ProgramSession folder;  // for its fresh folder
  const std::string path = folder.PathIn("colours.txt");
  ASSERT_TRUE(WriteNodColourFile(path, edited));
  EXPECT_EQ(ReadNodColourFile(path), edited);
  EXPECT_EQ(std::filesystem::file_size(path), 252u);
  // Nothing but the file itself is left in the folder.
  EXPECT_EQ(std::ranges::distance(std::filesystem::directory_iterator(folder.Folder())), 1);
  const std::string crlf = WithCrLf(BuiltInFileText);
  ASSERT_EQ(crlf.size(), 273u);
  EXPECT_EQ(DecodeNodColourFile(Bytes(crlf)), BuiltInNodColours);
}

TEST(NodColourFile, EveryOtherFileIsRefused) {
  std::string mixedEnds = WithCrLf(BuiltInFileText);  // CR LF on every line but the last
  mixedEnds.erase(mixedEnds.size() - 2, 1);
  const std::vector<std::uint8_t> bmpStart = EncodeBmp(2, 2, 0, [](int, std::uint8_t* out) {
    for (int i = 0; i < 6; ++i) out[i] = 0x40;
  });
  std::vector<std::uint8_t> bmp(bmpStart);
  bmp.resize(252, 0);  // a BMP cut to the very length of a nod colour file
  const std::pair<const char*, std::vector<std::uint8_t>> cases[] = {
      {"empty", {}}, {"short by one byte", Bytes(BuiltInFileText.substr(0, 251))},
      {"one line", Bytes(BuiltInFileText.substr(0, 12))}, {"one byte more", Bytes(BuiltInFileText + "\n")},
      {"garbage of the right length", std::vector<std::uint8_t>(252, 'x')},
      {"zeros of the right length", std::vector<std::uint8_t>(252, 0)},
      {"a value over 255", Bytes(WithLine(3, "300   0   0\n"))}, {"256", Bytes(WithLine(20, "255 255 256\n"))},
      {"a negative value", Bytes(WithLine(0, " -1   0   0\n"))}, {"a blank field", Bytes(WithLine(5, "      0   0\n"))},
      {"a leading zero", Bytes(WithLine(5, "007   0   0\n"))}, {"left-aligned", Bytes(WithLine(5, "7     0   0\n"))},
      {"a tab for a space", Bytes(WithLine(1, "255\t255   0\n"))}, {"no line feed", Bytes(WithLine(1, "255 255   0 "))},
      {"line ends mixed", Bytes(mixedEnds)}, {"a BMP", bmp}, {"a whole small BMP", bmpStart},
  };
  for (const auto& [name, bytes] : cases) EXPECT_FALSE(DecodeNodColourFile(bytes).has_value()) << name;
}

TEST(NodColourFile, AFileOfAGigabyteIsRefusedUnreadAndAFailedWriteLeavesWhatWasThere) {
  ProgramSession folder;  // for its fresh folder
  const std::string path = folder.PathIn("huge.txt");
  {
    const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    // A sparse file: the built-in table at its start, then a gigabyte of holes.
    const std::vector<std::uint8_t> start = Bytes(BuiltInFileText);
    ASSERT_EQ(::write(fd, start.data(), start.size()), static_cast<ssize_t>(start.size()));
    ASSERT_EQ(::ftruncate(fd, 1LL << 30), 0);
    ::close(fd);
  }
  EXPECT_FALSE(ReadNodColourFile(path).has_value());
  EXPECT_FALSE(ReadNodColourFile(folder.PathIn("missing.txt")).has_value());
  EXPECT_FALSE(ReadNodColourFile(folder.PathIn("")).has_value());  // a folder
  ASSERT_EQ(::mkfifo(folder.PathIn("pipe.txt").c_str(), 0644), 0);
  EXPECT_FALSE(ReadNodColourFile(folder.PathIn("pipe.txt")).has_value());  // refused, not waited on
  EXPECT_FALSE(WriteNodColourFile(folder.PathIn("no-such-folder/colours.txt"), BuiltInNodColours));
  EXPECT_FALSE(std::filesystem::exists(folder.PathIn("no-such-folder")));
  // A folder of that name cannot be replaced by the file: it stays, with its content.
  std::filesystem::create_directory(folder.PathIn("taken.txt"));
  ASSERT_TRUE(WriteFileAtomically(folder.PathIn("taken.txt/inside"), Bytes("kept")));
  EXPECT_FALSE(WriteNodColourFile(folder.PathIn("taken.txt"), BuiltInNodColours));
  EXPECT_EQ(*ReadWholeFile(folder.PathIn("taken.txt/inside"), 100), Bytes("kept"));
}

TEST(NodColourFile, TheRefusalNamesTheFileInTheCurrentLanguage) {
  LanguageId = JapaneseLanguage;
  const std::string japanese = NotNodColourFileText("/tmp/picture.bmp");
  LanguageId = EnglishLanguage;
  const std::string english = NotNodColourFileText("/tmp/picture.bmp");
  LanguageId = JapaneseLanguage;
  EXPECT_TRUE(japanese.rfind("「/tmp/picture.bmp」は節色ファイルではありません", 0) == 0 &&
              japanese.find("is not") == std::string::npos) << japanese;
  EXPECT_TRUE(english.rfind("\"/tmp/picture.bmp\" is not a nod color file", 0) == 0 &&
              english.find("節色") == std::string::npos) << english;
}

// [SECTION] The page through the whole program

constexpr int TabY = 15, AddTabX = 464, SaveTabX = 912;
// The channel rows (value boxes, bars and arrows at a given x); the keys are
// clicked by their labels.
constexpr int RedY = 382, GreenY = 408, BlueY = 434;
constexpr int BoxX = 14, ArrowDownX = 83, ArrowUpX = 93;

constexpr ControlPoint DigitKey[10] = {{20, 570}, {20, 550}, {49, 550}, {78, 550}, {20, 530},
                                       {49, 530}, {78, 530}, {20, 510}, {49, 510}, {78, 510}};
constexpr ControlPoint AddKey{20, 590}, AllClearKey{74, 486};

int SwatchY(int index) { return 170 + 13 * (index - 1); }

Rgb Gradient(int x, int y) {
  return Rgb{static_cast<std::uint8_t>(x * 255 / 299), static_cast<std::uint8_t>(y * 255 / 499),
             static_cast<std::uint8_t>(40 + (x + y) / 5)};
}

struct PaletteSession {
  ProgramSession s;
  PaletteSession() { s.StartOnPage(7, Gradient, 300, 500); }
};

NodColour Current() {
  const PaletteView v = PaletteNow();
  return NodColour{v.red, v.green, v.blue};
}

// "save color" writes the built-in table byte by byte, a cancelled or failed
// save leaves what was there, and "new color" reads an edited table back.
TEST(PalettePage, SaveColorWritesTheTableACancelledOrFailedOneNothingAndNewColorReadsItBack) {
  PaletteSession p;
  p.s.dialogs().TakeShown();
  p.s.ClickControlWithFile(PagePalette, "save color", p.s.PathIn("builtin.txt"));
  EXPECT_EQ(FileBytes(p.s.PathIn("builtin.txt")), Bytes(BuiltInFileText));
  const auto shown = p.s.dialogs().TakeShown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(std::tuple(shown[0].kind, shown[0].title), std::tuple("save", "名前をつけて配色を保存する"));
  using Listing = std::set<std::filesystem::path>;
  const Listing before(std::filesystem::directory_iterator(p.s.Folder()), {});
  p.s.ClickControlWithFile(PagePalette, "save color", std::nullopt);
  EXPECT_EQ(Listing(std::filesystem::directory_iterator(p.s.Folder()), {}), before);

  std::filesystem::create_directory(p.s.PathIn("taken.txt"));
  ASSERT_TRUE(WriteFileAtomically(p.s.PathIn("taken.txt/inside"), Bytes("kept")));
  p.s.dialogs().TakeShown();
  p.s.ClickControlWithFile(PagePalette, "save color", p.s.PathIn("taken.txt"));
  const auto failed = p.s.dialogs().TakeShown();
  ASSERT_EQ(failed.size(), 2u);
  EXPECT_EQ(failed[1].text, "ピクセルデータの書き込みに失敗しました: taken.txt (普通のファイルではありません)");
  EXPECT_EQ(failed[1].title, "PutBmp");
  EXPECT_EQ(FileBytes(p.s.PathIn("taken.txt/inside")), Bytes("kept"));

  // An edited table goes through the file into ADD.
  p.s.ClickControl(PagePalette, "Ｂ");
  p.s.Click(50, SwatchY(3));  // B 3: (0, 196, 255)
  EXPECT_EQ(std::pair(PaletteNow().column, PaletteNow().index), std::pair(int{NodColumnB}, 3));
  EXPECT_EQ(Current(), (NodColour{0, 196, 255}));
  p.s.Click(29, RedY);         // 5
  p.s.Click(ArrowUpX, GreenY);  // 196 + 8
  p.s.Click(75, BlueY);        // 249
  EXPECT_EQ(Current(), (NodColour{5, 204, 249}));
  NodTable edited = BuiltInNodColours;
  NodEntry(edited, NodColumnB, 3) = {5, 204, 249};
  EXPECT_EQ(NodColours.table, edited);

  p.s.ClickControlWithFile(PagePalette, "save color", p.s.PathIn("mine.txt"));
  const std::vector<std::uint8_t> bytes = FileBytes(p.s.PathIn("mine.txt"));
  EXPECT_EQ(bytes, EncodeNodColourFile(edited));
  EXPECT_EQ(std::string(bytes.begin() + 9 * 12, bytes.begin() + 10 * 12), "  5 204 249\n");

  // Back to the built-in table, then the file again.
  p.s.ClickControl(PagePalette, "org color");
  EXPECT_EQ(std::pair(NodColours.table, NodColours.source), std::pair(BuiltInNodColours, int{BuiltInTableSource}));
  p.s.ClickControlWithFile(PagePalette, "new color", p.s.PathIn("mine.txt"));
  EXPECT_EQ(std::tuple(NodColours.table, NodColours.user, NodColours.source),
            std::tuple(edited, edited, int{UserTableSource}));

  // ADD spreads the user's colours: grey 84 (nod colour 3 of B) after "hd".
  p.s.Click(AddTabX, TabY);
  p.s.Click(50, 96);    // column B
  p.s.Click(80, 418);   // "hd"
  EXPECT_EQ(NodColours.table, edited);
  EXPECT_EQ(p.s.Pixel(100 + 600, 32 + 200), (Rgb{255, 245, 255}));  // white outside the picture: B 7
}

// The calculator changes the target channel; then, from the entry state the
// first reset mark puts back, the bars and arrows.
TEST(PalettePage, TheCalculatorBarsAndArrowsKeepTheValuesWithinAByte) {
  PaletteSession p;
  p.s.Click(BoxX, RedY);
  EXPECT_EQ(std::pair(PaletteNow().target, PaletteNow().calculatorOn), std::pair(1, 1));
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
  EXPECT_EQ(std::pair(PaletteNow().target, PaletteNow().calculatorOn), std::pair(0, 0));
  // The first reset mark: A 1, everything off, the built-in table again.
  p.s.Click(BoxX, BlueY);
  p.s.Click(20, 40);
  const PaletteView v = PaletteNow();
  EXPECT_EQ((std::array{v.column, v.index, v.chartOn, v.calculatorOn, v.target}), (std::array{1, 1, 0, 0, 0}));
  EXPECT_EQ(NodColours.table, BuiltInNodColours);
  const struct { int x, y; NodColour want; } cases[] = {
      {29, RedY, {5, 0, 0}},    {75, RedY, {249, 0, 0}},         {52, GreenY, {249, 127, 0}},
      {ArrowUpX, RedY, {255, 127, 0}}, {ArrowUpX, RedY, {255, 127, 0}}, {ArrowDownX, GreenY, {255, 119, 0}},
      {ArrowDownX, BlueY, {255, 119, 0}}, {ArrowUpX, BlueY, {255, 119, 8}},
  };
  for (const auto& c : cases) {
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
  const auto at = [] { return std::pair(PaletteNow().index, NodColours.source); };
  p.s.Click(50, SwatchY(7));
  EXPECT_EQ(at(), std::pair(7, int{BuiltInTableSource}));
  p.s.RightClick(600, 300);
  EXPECT_EQ(at(), std::pair(1, int{BuiltInTableSource}));
  p.s.RightClick(600, 300);
  EXPECT_EQ(PaletteNow().index, 2);
  EXPECT_EQ(Current(), (NodColour{0, 32, 255}));
  p.s.Click(50, SwatchY(7));
  p.s.ClickControl(PagePalette, "↓");
  EXPECT_EQ(at(), std::pair(1, int{UserTableSource}));
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
  ExpectShown(p.s, {{150, 428, {255, 0, 50}}});
  p.s.Click(200, 690);  // the strip: chart green 100
  EXPECT_EQ(PaletteNow().chartGreen, 100);
  EXPECT_EQ(Current(), (NodColour{255, 0, 50}));  // the colour stays
  ExpectShown(p.s, {{300, 500, {683 - 500, 100, 200}}, {201, 690, {0, 255, 0}} /* the marker of the chosen green */});
  p.s.Click(355, 683);  // bottom row: red 0
  EXPECT_EQ(Current(), (NodColour{0, 100, 255}));
  EXPECT_EQ(NodEntry(NodColours.table, NodColumnA, 1), (NodColour{0, 100, 255}));
  // A click beside the chart picks nothing; the next entry keeps its colour.
  p.s.ClickControl(PagePalette, "↓");
  EXPECT_EQ(Current(), (NodColour{255, 255, 0}));
  p.s.ClickControl(PagePalette, "chart");
  EXPECT_EQ(PaletteNow().chartOn, 0);
  ExpectShown(p.s, {{150, 428, Gradient(50, 396)}});  // the picture again
}

// Files the reader refuses: each leaves the working table, the user's table
// and the source as they were, with one message naming the file.
TEST(PalettePage, EveryRefusedFileAndTheCancelChangeNothing) {
  PaletteSession p;
  p.s.Click(29, RedY);  // the working table edited: A 1 = (5, 0, 0)
  NodTable before = BuiltInNodColours;
  NodEntry(before, NodColumnA, 1) = {5, 0, 0};
  ASSERT_EQ(NodColours.table, before);

  // Two files the reader refuses (NodColourFile.EveryOtherFileIsRefused has
  // every kind), a BMP too long to be read (the page's own keep file), and the cancel.
  ASSERT_TRUE(WriteFileAtomically(p.s.PathIn("short.txt"), Bytes(BuiltInFileText.substr(0, 200))));
  ASSERT_TRUE(WriteFileAtomically(p.s.PathIn("over255.txt"), Bytes(WithLine(0, "300   0   0\n"))));
  ASSERT_TRUE(WriteKeepFile(Canvas.data(), 7, PixelSource::FromCanvas));
  const std::optional<std::string> paths[] = {p.s.PathIn("short.txt"), p.s.PathIn("over255.txt"),
                                              p.s.PathIn("KEEP7.bmp"), std::nullopt};
  for (const std::optional<std::string>& path : paths) {
    const std::string name = path.value_or("the cancel");
    p.s.dialogs().TakeShown();
    p.s.ClickControlWithFile(PagePalette, "new color", path);
    const auto shown = p.s.dialogs().TakeShown();
    ASSERT_EQ(shown.size(), 2u) << name;  // the open dialog, then one message
    EXPECT_EQ(std::tuple(shown[0].kind, shown[0].title, shown[1].title),
              std::tuple("open", "Text File Open", "GetColor")) << name;
    EXPECT_EQ(shown[1].text, path ? NotNodColourFileText(*path) : "失敗");
    EXPECT_EQ(std::tuple(NodColours.table, NodColours.user, NodColours.source),
              std::tuple(before, NodTable{}, int{BuiltInTableSource})) << name;
    // Shown once: the next paint says nothing.
    p.s.window().Invalidate();
    p.s.Paint();
    EXPECT_TRUE(p.s.dialogs().TakeShown().empty()) << name;
  }
}

// The Save tab stores the picture without the chart; Get shows the picture
// and Restore reads nothing.
TEST(PalettePage, TheSaveTabStoresThePictureWithoutTheChartGetAndRestore) {
  PaletteSession p;
  p.s.dialogs().QueueFile(p.s.PathIn("plain.bmp"));
  p.s.Click(SaveTabX, TabY);
  p.s.ClickControl(PagePalette, "chart");
  p.s.Click(150, 500);
  p.s.dialogs().QueueFile(p.s.PathIn("saved.bmp"));
  p.s.Click(SaveTabX, TabY);
  // The picture itself, with its row 450 (under the chart on screen) as it is.
  const std::vector<std::uint8_t> saved = FileBytes(p.s.PathIn("saved.bmp"));
  EXPECT_EQ(saved, FileBytes(p.s.PathIn("plain.bmp")));
  EXPECT_EQ(saved, SavedBmpOf(PlacedCanvas(Gradient, 300, 500), 300, 500));
  // The planes hold the picture still: with the chart off it shows whole.
  p.s.ClickControl(PagePalette, "chart");
  ExpectShown(p.s, {{150, 500, Gradient(50, 468)}});
  WriteTestPicture(p.s.PathIn("black.bmp"), 50, 50, [](int, int) { return Rgb{0, 0, 0}; });
  p.s.dialogs().QueueFile(p.s.PathIn("black.bmp"));
  p.s.Click(1024, TabY);
  ExpectShown(p.s, {{120, 40, Black}});
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
