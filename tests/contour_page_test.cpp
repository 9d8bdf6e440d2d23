// The CONTOUR page: the ladder and colour ladders worked by hand, the table
// of 256 grays against the literal level search over a corpus, the scan's
// wrap, and the page through the whole program (the contour shown, cleared,
// committed as KEEP5 and saved, byte for byte), a driver script and the
// golden screen.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "app/program.h"
#include "image/bmp_files.h"
#include "image/gray.h"
#include "image/picture_in_hand.h"
#include "image/planes.h"
#include "image/sample_scene.h"
#include "ops/contour_levels.h"
#include "pages/colour/contour_page.h"
#include "pages/kit/page_state.h"
#include "platform/headless.h"
#include "reference/contour_literal.h"
#include "support/golden.h"
#include "support/program_session.h"

namespace {

// Client points of the reset mark and the tabs; the keys are clicked by their labels.
constexpr int ResetX = 20, ResetY = 40;
constexpr int SaveTabX = 900, TabY = 10;
// " scan %3d" shows the level it drew.
const std::string Scan = "scan %3d";

// A driver script line clicking a control of the page, found by its label.
std::string ClickLine(const std::string& label) {
  const ControlPoint point = ControlOf(PageContour, label);
  EXPECT_GE(point.x, 0) << "CONTOUR has no control \"" << label << "\"";
  return "click " + std::to_string(point.x) + " " + std::to_string(point.y) + "\n";
}

TEST(ContourLevels, TheLadderOfThePage) {
  const ContourLadder ladder;
  EXPECT_EQ(ContourTopLevel(ladder), 31);  // (255 - 0) / 8
  EXPECT_EQ(ContourColourStep(31), 8);     // 256 / 31
  EXPECT_EQ(ContourLevelGray(ladder, 0), 0);
  EXPECT_EQ(ContourLevelGray(ladder, 31), 248);
  // No ladder without a positive step or a level above the lowest.
  EXPECT_EQ(ContourTopLevel({0, 255, 0}), 0);
  EXPECT_EQ(ContourColourStep(0), 0);
}

TEST(ContourLevels, ColourLaddersWorkedByHand) {
  struct Case {
    int type, k;
    ContourColour colour;
  };
  // K = 8: kK is 0 at k 0, 8 at k 1, 248 at k 31.
  const Case cases[] = {
      {0, 5, {0, 0, 0}},       {1, 0, {255, 0, 0}},     {1, 31, {255, 0, 0}},    {2, 0, {255, 255, 0}},
      {2, 31, {7, 7, 0}},      {3, 1, {0, 247, 247}},   {4, 1, {247, 8, 8}},     {4, 31, {7, 248, 248}},
      {5, 0, {0, 255, 255}},   {5, 31, {248, 255, 7}},  {6, 16, {128, 128, 128}}, {7, 31, {7, 7, 7}},
      {9, 3, {0, 0, 0}},  // an unknown type draws black
  };
  for (const Case& c : cases) EXPECT_EQ(ContourLevelColour(c.type, c.k, 8), c.colour) << c.type << "," << c.k;
  // Channels are clamped: an increment that overshoots 255.
  EXPECT_EQ(ContourLevelColour(6, 40, 8), (ContourColour{255, 255, 255}));
  EXPECT_EQ(ContourLevelColour(7, 40, 8), (ContourColour{0, 0, 0}));
}

TEST(ContourLevels, SwatchColumnsAndTheColourTypeCycle) {
  ContourColour c;
  EXPECT_FALSE(ContourSwatchColour(0, 10, c));  // type 0 has no swatch
  ASSERT_TRUE(ContourSwatchColour(1, 64, c));   // solid red, 65 columns
  EXPECT_EQ(c, (ContourColour{255, 0, 0}));
  EXPECT_FALSE(ContourSwatchColour(2, 64, c));
  ASSERT_TRUE(ContourSwatchColour(4, 63, c));
  EXPECT_EQ(c, (ContourColour{3, 252, 252}));
  ASSERT_TRUE(ContourSwatchColour(5, 10, c));
  EXPECT_EQ(c, (ContourColour{40, 255, 215}));

  const std::pair<int, int> next[] = {{0, 1}, {1, 2}, {5, 6}, {6, 7}, {7, 1}};
  for (auto [from, to] : next) EXPECT_EQ(NextContourColourType(from), to);
}

TEST(ContourLevels, ScanWrapsAfterTheTopLevel) {
  // 32 levels: s runs 1..32, the 33rd click starts again at 1.
  EXPECT_EQ(WrapContourScan(1, 31), 1);
  EXPECT_EQ(WrapContourScan(32, 31), 32);
  EXPECT_EQ(WrapContourScan(33, 31), 1);
  const ContourLadder ladder;
  // The first scan is level 0 (gray 0 only), the 32nd level 31 (gray 248).
  const ContourTable first = BuildContourTable(ladder, ContourOneLevel, 1, 2);
  const ContourTable last = BuildContourTable(ladder, ContourOneLevel, 32, 2);
  for (int g = 0; g < 256; ++g) {
    EXPECT_EQ(first[static_cast<std::size_t>(g)].painted, g == 0) << g;
    EXPECT_EQ(last[static_cast<std::size_t>(g)].painted, g == 248) << g;
  }
  // Under type 2 the top level is drawn in (7, 7, 0).
  EXPECT_EQ(last[248].red, 7);
  EXPECT_EQ(last[248].green, 7);
  EXPECT_EQ(last[248].blue, 0);
  // Before the first scan (s = 0) nothing is painted.
  const ContourTable none = BuildContourTable(ladder, ContourOneLevel, 0, 2);
  for (const ContourTableEntry& e : none) EXPECT_FALSE(e.painted);
}

TEST(ContourLevels, AllLevelsPaintMultiplesOfEightUpTo248) {
  const ContourTable table = BuildContourTable(ContourLadder{}, ContourAllLevels, 0, 1);
  for (int g = 0; g < 256; ++g) {
    const ContourTableEntry& e = table[static_cast<std::size_t>(g)];
    EXPECT_EQ(e.painted, g % 8 == 0 && g <= 248) << g;
    if (e.painted) {
      EXPECT_EQ((std::array<int, 3>{e.red, e.green, e.blue}), (std::array<int, 3>{255, 0, 0}));
    }
  }
}

// ---- The fast drawing against the literal level search, over a corpus.

using CanvasBytes = std::vector<std::uint8_t>;

CanvasBytes CanvasOf(std::uint8_t (*channel)(int x, int row, int k)) {
  CanvasBytes c(CanvasByteCount);
  for (int row = 0; row < CanvasRows; ++row)
    for (int x = 0; x < Stride; ++x)
      for (int k = 0; k < 3; ++k) c[(static_cast<std::size_t>(row) * Stride + x) * 3 + k] = channel(x, row, k);
  return c;
}

std::vector<CanvasBytes> Corpus() {
  std::vector<CanvasBytes> corpus;
  corpus.push_back(CanvasOf([](int x, int, int) { return static_cast<std::uint8_t>(x < 480 ? 128 : 248); }));
  corpus.push_back(CanvasOf([](int x, int row, int k) { return static_cast<std::uint8_t>((x + row * (k + 1)) / 3); }));
  corpus.push_back(CanvasOf([](int x, int row, int k) {
    unsigned h = static_cast<unsigned>(x * 7919 + row * 104729 + k * 1299709);
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    return static_cast<std::uint8_t>(h >> 24);
  }));
  CanvasBytes s(CanvasByteCount);
  DrawPictureIntoCanvas(MakeSampleScene(Stride, CanvasRows), s.data());
  corpus.push_back(s);
  return corpus;
}

TEST(ContourLevels, TableDrawingEqualsTheLiteralSearch) {
  const std::vector<CanvasBytes> corpus = Corpus();
  struct Case {
    ContourLadder ladder;
    int operation, scan, type;
  };
  const Case cases[] = {
      {{}, ContourAllLevels, 0, 0},  {{}, ContourAllLevels, 0, 4}, {{}, ContourAllLevels, 0, 5},
      {{}, ContourOneLevel, 1, 2},   {{}, ContourOneLevel, 17, 6}, {{}, ContourOneLevel, 33, 7},
      {{}, ContourNone, 5, 1},       {{20, 200, 5}, ContourAllLevels, 0, 3},
  };
  for (std::size_t picture = 0; picture < corpus.size(); ++picture) {
    for (const Case& c : cases) {
      CanvasBytes fast = corpus[picture], literal = corpus[picture];
      DrawContour(fast.data(), Stride, CanvasRows, Stride,
                  BuildContourTable(c.ladder, c.operation, WrapContourScan(c.scan, ContourTopLevel(c.ladder)), c.type));
      LiteralContour(literal.data(), Stride, Stride, CanvasRows, ContourDrawSettings{c.ladder, c.operation, c.scan, c.type});
      EXPECT_TRUE(fast == literal) << "picture " << picture << ", operation " << c.operation << ", type " << c.type;
    }
  }
}

// ---- The page through the whole program.

// Grey columns: the pixel at x has red = green = blue = x % 256, so its gray is x % 256.
Rgb GreyColumns(int x, int) {
  const auto v = static_cast<std::uint8_t>(x % 256);
  return Rgb{v, v, v};
}

// The picture as the page's planes hold it, as a bottom-up canvas: 300 x 100
// grey columns at the top left, whitened where the program whitens.
CanvasBytes PictureCanvas() {
  CanvasBytes c(CanvasByteCount, 255);
  for (int row = CanvasRows - 100; row < CanvasRows; ++row)
    for (int x = 0; x < 300; ++x)
      for (int k = 0; k < 3; ++k) c[(static_cast<std::size_t>(row) * Stride + x) * 3 + k] = static_cast<std::uint8_t>(x % 256);
  WhitenOutside(c.data(), 300, 100, Stride, CanvasRows);
  return c;
}

// The canvas with every pixel of a gray the predicate takes painted.
CanvasBytes Painted(CanvasBytes c, bool (*onLevel)(int gray), Rgb colour) {
  for (std::size_t i = 0; i < c.size(); i += 3) {
    if (onLevel(GrayOf(c[i + 2], c[i + 1], c[i]))) {
      c[i] = colour.b;
      c[i + 1] = colour.g;
      c[i + 2] = colour.r;
    }
  }
  return c;
}

struct ContourSession {
  ProgramSession s;
  ContourSession() { s.StartOnPage(5, GreyColumns, 300, 100); }
};

TEST(ContourPage, LimitAreaPaintsEveryLevelAndClearRemovesIt) {
  ContourSession c;
  const CanvasBytes picture = PictureCanvas();
  EXPECT_EQ(CanvasDifference(c.s.ShownCanvas(), picture), "");
  EXPECT_EQ(ContourPage.colourType, 0);

  c.s.ClickControl(PageContour, "↓");  // type 1: red
  c.s.ClickControl(PageContour, "limit area");
  const CanvasBytes red = Painted(picture, [](int g) { return g % 8 == 0 && g <= 248; }, Rgb{255, 0, 0});
  EXPECT_EQ(CanvasDifference(c.s.ShownCanvas(), red), "");
  // White (gray 255) and grays 249..254 never change.
  EXPECT_EQ(c.s.Pixel(100 + 252, 40), (Rgb{252, 252, 252}));
  EXPECT_EQ(c.s.Pixel(100 + 248, 40), (Rgb{255, 0, 0}));
  // A second paint draws the same: nothing accumulates.
  c.s.Paint();
  c.s.ClickControl(PageContour, "3)color type");  // an explanation only
  EXPECT_EQ(CanvasDifference(c.s.ShownCanvas(), red), "");

  c.s.ClickControl(PageContour, "clear");
  EXPECT_EQ(CanvasDifference(c.s.ShownCanvas(), picture), "");
}

TEST(ContourPage, ScanStepsUpTheLadderAndWraps) {
  ContourSession c;
  const CanvasBytes picture = PictureCanvas();
  c.s.ClickControl(PageContour, "↓");
  c.s.ClickControl(PageContour, "↓");  // type 2
  c.s.ClickControl(PageContour, Scan);
  EXPECT_EQ(ContourPage.values.scanIndex, 1);
  EXPECT_EQ(CanvasDifference(c.s.ShownCanvas(), Painted(picture, [](int g) { return g == 0; }, Rgb{255, 255, 0})), "");
  for (int i = 2; i <= 32; ++i) c.s.ClickControl(PageContour, Scan);
  EXPECT_EQ(CanvasDifference(c.s.ShownCanvas(), Painted(picture, [](int g) { return g == 248; }, Rgb{7, 7, 0})), "");
  c.s.ClickControl(PageContour, Scan);  // the 33rd: level 0 again
  EXPECT_EQ(ContourPage.values.scanIndex, 1);
  EXPECT_EQ(CanvasDifference(c.s.ShownCanvas(), Painted(picture, [](int g) { return g == 0; }, Rgb{255, 255, 0})), "");

  // The reset mark: no contour, the scan from the start; the type stays.
  c.s.Click(ResetX, ResetY);
  EXPECT_EQ(ContourPage.values.operation, ContourNone);
  EXPECT_EQ(ContourPage.values.scanIndex, 0);
  EXPECT_EQ(ContourPage.colourType, 2);
  EXPECT_EQ(CanvasDifference(c.s.ShownCanvas(), picture), "");
  // Leaving and entering the page keeps the type too.
  c.s.Click(128, TabY);
  c.s.Click(128 + 56 * 5, TabY);
  EXPECT_EQ(ContourPage.colourType, 2);
  c.s.ClickControl(PageContour, "↓");
  for (int i = 3; i <= 7; ++i) c.s.ClickControl(PageContour, "↓");
  EXPECT_EQ(ContourPage.colourType, 1);  // 7 -> 1
}

TEST(ContourPage, SetKeepCommitsTheContourAndSaveStoresIt) {
  ContourSession c;
  const CanvasBytes picture = PictureCanvas();
  c.s.ClickControl(PageContour, "↓");
  c.s.ClickControl(PageContour, "limit area");
  const CanvasBytes red = Painted(picture, [](int g) { return g % 8 == 0 && g <= 248; }, Rgb{255, 0, 0});
  c.s.ClickControl(PageContour, "set KEEP5");
  EXPECT_EQ(CanvasDifference(FileBytes(c.s.PathIn("KEEP5.bmp")), KeepFileOf(red)), "");
  // The contour is now part of the image: " clear" leaves it shown.
  c.s.ClickControl(PageContour, "clear");
  EXPECT_EQ(CanvasDifference(c.s.ShownCanvas(), red), "");

  // "Save" stores the shown picture (300 x 100) under a chosen name.
  c.s.ClickControl(PageContour, Scan);  // level 0 drawn red again over the committed image
  c.s.dialogs().QueueFile(c.s.PathIn("saved.bmp"));
  c.s.Click(SaveTabX, TabY);
  const CanvasBytes shown = c.s.ShownCanvas();
  const auto expected = EncodeBmp(300, 100, 0, [&](int row, std::uint8_t* out) {
    std::copy_n(shown.begin() + static_cast<std::ptrdiff_t>(CanvasRows - 100 + row) * Stride * 3, 300 * 3, out);
  });
  EXPECT_EQ(CanvasDifference(FileBytes(c.s.PathIn("saved.bmp")), expected), "");
  // A cancelled save writes nothing and changes nothing.
  c.s.dialogs().QueueFile(std::nullopt);
  c.s.Click(SaveTabX, TabY);
  EXPECT_EQ(CanvasDifference(c.s.ShownCanvas(), shown), "");
}

TEST(ContourPage, ADriverScriptStoresTheContourAsKeep5) {
  ProgramSession folder;  // a fresh folder; the driver runs its own program
  WriteTestPicture(folder.PathIn("grey.bmp"), 300, 100, GreyColumns);
  const DriverRun run = RunDriverScript(folder.Folder(), "open grey.bmp\n"
                                         "click 408 10     # CONTOUR\n" +
                                         ClickLine("↓") + ClickLine("↓") +  // colour type 2
                                         ClickLine("limit area") + ClickLine("set KEEP5") +
                                         "save-as saved.bmp\n"
                                         "click 900 10     # Save\n");
  ASSERT_TRUE(run.ok) << run.error;
  // Worked by hand: under type 2 level k (gray 8k) is (255 - 8k, 255 - 8k, 0).
  CanvasBytes expected = PictureCanvas();
  for (std::size_t i = 0; i < expected.size(); i += 3) {
    const int g = GrayOf(expected[i + 2], expected[i + 1], expected[i]);
    if (g % 8 != 0 || g > 248) continue;
    expected[i] = 0;
    expected[i + 1] = expected[i + 2] = static_cast<std::uint8_t>(255 - g);
  }
  EXPECT_EQ(CanvasDifference(FileBytes(folder.PathIn("KEEP5.bmp")), KeepFileOf(expected)), "");
  // Save: the contour drawn again over the committed image, 300 x 100.
  LiteralContour(expected.data(), Stride, Stride, CanvasRows, ContourDrawSettings{ContourLadder{}, ContourAllLevels, 0, 2});
  const auto saved = EncodeBmp(300, 100, 0, [&](int row, std::uint8_t* out) {
    std::copy_n(expected.begin() + static_cast<std::ptrdiff_t>(CanvasRows - 100 + row) * Stride * 3, 300 * 3, out);
  });
  EXPECT_EQ(CanvasDifference(FileBytes(folder.PathIn("saved.bmp")), saved), "");
}

TEST(ContourPageGolden, LimitAreaOnTheSampleInEnglish) {
  const std::string sample = std::string(VZ_BINARY_DIR) + "/tools/sample/golden-sample.bmp";
  const std::string tool = std::string(VZ_BINARY_DIR) + "/tools/sample/vazesample-sample " + sample;
  ASSERT_EQ(std::system(tool.c_str()), 0);
  ProgramSession s;
  s.Start(sample);
  s.ClickControl(PageTop, "ENGLISH");  // TOP's language switch
  s.Click(128 + 56 * 5, TabY);
  for (int i = 0; i < 4; ++i) s.ClickControl(PageContour, "↓");  // type 4: red to cyan
  s.ClickControl(PageContour, "limit area");
  EXPECT_GOLDEN("contour_limit_area", s.window().Shown());
}

}  // namespace
