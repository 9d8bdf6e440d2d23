// The CONTOUR page: the ladder and colour ladders worked by hand, the table
// of 256 grays against the literal level search over a corpus, the scan's
// wrap, and the page through the whole program (the contour shown, cleared,
// committed as KEEP5 and saved, byte for byte), a driver script and the
// golden screen.

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "image/gray.h"
#include "ops/contour_levels.h"
#include "pages/colour/contour_page.h"
#include "pages/kit/page_state.h"
#include "reference/contour_literal.h"
#include "support/golden.h"
#include "support/program_session.h"
#include "support/view_corpus.h"

namespace {

const std::string Scan = "scan %3d";  // " scan %3d" shows the level it drew

TEST(ContourLevels, TheLadderOfThePage) {
  const ContourLadder ladder;
  // 32 levels of gray 0, 8, .., 248: (255 - 0) / 8 and 256 / 31. No ladder
  // without a positive step or a level above the lowest.
  EXPECT_EQ(std::tuple(ContourTopLevel(ladder), ContourColourStep(31), ContourLevelGray(ladder, 0),
                       ContourLevelGray(ladder, 31)),
            std::tuple(31, 8, 0, 248));
  EXPECT_EQ(std::pair(ContourTopLevel({0, 255, 0}), ContourColourStep(0)), std::pair(0, 0));
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
  // Type, column, the swatch's colour there (none: no swatch).
  const std::tuple<int, int, std::optional<ContourColour>> swatches[] = {
      {0, 10, std::nullopt},  // type 0 has no swatch
      {1, 64, ContourColour{255, 0, 0}},  // solid red, 65 columns
      {2, 64, std::nullopt},  {4, 63, ContourColour{3, 252, 252}}, {5, 10, ContourColour{40, 255, 215}}};
  for (const auto& [type, column, colour] : swatches) {
    ContourColour c;
    EXPECT_EQ(ContourSwatchColour(type, column, c), colour.has_value()) << type;
    if (colour) {
      EXPECT_EQ(c, *colour) << type;
    }
  }
  const std::pair<int, int> next[] = {{0, 1}, {1, 2}, {5, 6}, {6, 7}, {7, 1}};
  for (auto [from, to] : next) EXPECT_EQ(NextContourColourType(from), to);
}

TEST(ContourLevels, ScanWrapsAfterTheTopLevel) {
  // 32 levels: s runs 1..32, the 33rd click starts again at 1.
  EXPECT_EQ(std::tuple(WrapContourScan(1, 31), WrapContourScan(32, 31), WrapContourScan(33, 31)), std::tuple(1, 32, 1));
  const ContourLadder ladder;
  // The first scan is level 0 (gray 0 only), the 32nd level 31 (gray 248).
  const ContourTable first = BuildContourTable(ladder, ContourOneLevel, 1, 2);
  const ContourTable last = BuildContourTable(ladder, ContourOneLevel, 32, 2);
  for (int g = 0; g < 256; ++g) {
    EXPECT_EQ(first[static_cast<std::size_t>(g)].painted, g == 0) << g;
    EXPECT_EQ(last[static_cast<std::size_t>(g)].painted, g == 248) << g;
  }
  // Under type 2 the top level is drawn in (7, 7, 0).
  EXPECT_EQ(std::tuple(last[248].red, last[248].green, last[248].blue), std::tuple(7, 7, 0));
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

// The view corpus as canvases, and a picture of two levels (128 | 248).
std::vector<CanvasBytes> Corpus() {
  std::vector<CanvasBytes> corpus;
  for (const TestPlanes& planes : ViewCorpus()) corpus.push_back(planes.Canvas());
  corpus.push_back(PlacedCanvas([](int x, int) { return x < 480 ? Rgb{128, 128, 128} : Rgb{248, 248, 248}; }));
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

// The canvas with every pixel of a gray the predicate takes painted in the
// colour of that gray.
CanvasBytes Painted(CanvasBytes c, bool (*onLevel)(int gray), Rgb (*colour)(int gray)) {
  for (std::size_t i = 0; i < c.size(); i += 3) {
    const int gray = GrayOf(c[i + 2], c[i + 1], c[i]);
    if (!onLevel(gray)) continue;
    const Rgb p = colour(gray);
    c[i] = p.b;
    c[i + 1] = p.g;
    c[i + 2] = p.r;
  }
  return c;
}
bool EveryLevel(int g) { return g % 8 == 0 && g <= 248; }

struct ContourSession {
  ProgramSession s;
  const CanvasBytes picture = PlacedCanvas(GreyColumns, 300, 100);
  ContourSession() { s.StartOnPage(5, GreyColumns, 300, 100); }
};

TEST(ContourPage, LimitAreaPaintsEveryLevelAndClearRemovesIt) {
  ContourSession c;
  EXPECT_EQ(CanvasDifference(c.s.ShownCanvas(), c.picture), "");
  EXPECT_EQ(ContourPage.colourType, 0);

  c.s.ClickControl(PageContour, "↓");  // type 1: red
  c.s.ClickControl(PageContour, "limit area");
  const CanvasBytes red = Painted(c.picture, EveryLevel, [](int) { return Rgb{255, 0, 0}; });
  EXPECT_EQ(CanvasDifference(c.s.ShownCanvas(), red), "");
  // White (gray 255) and grays 249..254 never change.
  ExpectShown(c.s, {{100 + 252, 40, {252, 252, 252}}, {100 + 248, 40, {255, 0, 0}}});
  // A second paint draws the same: nothing accumulates.
  c.s.Paint();
  c.s.ClickControl(PageContour, "3)color type");  // an explanation only
  EXPECT_EQ(CanvasDifference(c.s.ShownCanvas(), red), "");

  c.s.ClickControl(PageContour, "clear");
  EXPECT_EQ(CanvasDifference(c.s.ShownCanvas(), c.picture), "");
}

TEST(ContourPage, ScanStepsUpTheLadderAndWraps) {
  ContourSession c;
  c.s.ClickControl(PageContour, "↓");
  c.s.ClickControl(PageContour, "↓");  // type 2
  const CanvasBytes level0 = Painted(c.picture, [](int g) { return g == 0; }, [](int) { return Rgb{255, 255, 0}; });
  c.s.ClickControl(PageContour, Scan);
  EXPECT_EQ(ContourPage.values.scanIndex, 1);
  EXPECT_EQ(CanvasDifference(c.s.ShownCanvas(), level0), "");
  for (int i = 2; i <= 32; ++i) c.s.ClickControl(PageContour, Scan);
  const CanvasBytes top = Painted(c.picture, [](int g) { return g == 248; }, [](int) { return Rgb{7, 7, 0}; });
  EXPECT_EQ(CanvasDifference(c.s.ShownCanvas(), top), "");
  c.s.ClickControl(PageContour, Scan);  // the 33rd: level 0 again
  EXPECT_EQ(ContourPage.values.scanIndex, 1);
  EXPECT_EQ(CanvasDifference(c.s.ShownCanvas(), level0), "");

  // The reset mark: no contour, the scan from the start; the type stays.
  c.s.Click(20, 40);
  EXPECT_EQ(std::tuple(ContourPage.values.operation, ContourPage.values.scanIndex, ContourPage.colourType),
            std::tuple(ContourNone, 0, 2));
  EXPECT_EQ(CanvasDifference(c.s.ShownCanvas(), c.picture), "");
  // Leaving and entering the page keeps the type too.
  c.s.Click(128, 10);
  c.s.Click(128 + 56 * 5, 10);
  EXPECT_EQ(ContourPage.colourType, 2);
  for (int i = 3; i <= 8; ++i) c.s.ClickControl(PageContour, "↓");
  EXPECT_EQ(ContourPage.colourType, 1);  // 7 -> 1
}

TEST(ContourPage, SetKeepCommitsTheContourAndSaveStoresIt) {
  ContourSession c;
  c.s.ClickControl(PageContour, "↓");
  c.s.ClickControl(PageContour, "↓");  // type 2
  c.s.ClickControl(PageContour, "limit area");
  c.s.ClickControl(PageContour, "set KEEP5");
  // Worked by hand: under type 2 level k (gray 8k) is (255 - 8k, 255 - 8k, 0).
  CanvasBytes committed = Painted(c.picture, EveryLevel, [](int g) {
    const auto v = static_cast<std::uint8_t>(255 - g);
    return Rgb{v, v, 0};
  });
  EXPECT_EQ(CanvasDifference(FileBytes(c.s.PathIn("KEEP5.bmp")), KeepFileOf(committed)), "");
  // "Save" stores the picture shown (300 x 100): the contour drawn again
  // over the committed image.
  c.s.dialogs().QueueFile(c.s.PathIn("saved.bmp"));
  c.s.Click(900, 10);
  CanvasBytes again = committed;
  LiteralContour(again.data(), Stride, Stride, CanvasRows, ContourDrawSettings{ContourLadder{}, ContourAllLevels, 0, 2});
  EXPECT_EQ(CanvasDifference(FileBytes(c.s.PathIn("saved.bmp")), SavedBmpOf(again, 300, 100)), "");
  // The contour is now part of the image: " clear" leaves it shown; a
  // cancelled save writes nothing and changes nothing.
  c.s.ClickControl(PageContour, "clear");
  EXPECT_EQ(CanvasDifference(c.s.ShownCanvas(), committed), "");
  c.s.dialogs().QueueFile(std::nullopt);
  c.s.Click(900, 10);
  EXPECT_EQ(CanvasDifference(c.s.ShownCanvas(), committed), "");
}

TEST(ContourPageGolden, LimitAreaOnTheSampleInEnglish) {
  ProgramSession s;
  s.Start(GoldenSamplePicture());
  s.ClickControl(PageTop, "ENGLISH");  // TOP's language switch
  s.Click(128 + 56 * 5, 10);
  for (int i = 0; i < 4; ++i) s.ClickControl(PageContour, "↓");  // type 4: red to cyan
  s.ClickControl(PageContour, "limit area");
  EXPECT_GOLDEN("contour_limit_area", s.window().Shown());
}

}  // namespace
