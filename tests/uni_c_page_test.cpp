// The UNI C. page: the target ranges, the grey range bar and the new-colour
// bars worked by hand, the conversion against its literal form over a
// corpus, and the page through the whole program: a picture of a few flat
// colours converted exactly in its grey range, every store path (the entry
// save, "set KEEP8", Save, a driver script) byte for byte, picks only on the
// picture, no preview or chart in what is stored, and the golden screen.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "image/gray.h"
#include "pages/colour/range_convert.h"
#include "pages/colour/uni_c_page.h"
#include "pages/kit/page_state.h"
#include "pages/pattern/outline_state.h"
#include "panel/calculator.h"
#include "reference/range_convert_literal.h"
#include "support/golden.h"
#include "support/program_session.h"
#include "support/view_corpus.h"

namespace {

TEST(RangeConvert, ATargetPickWidensTheRanges) {
  // One pixel of (200, 100, 50): ranges [200, 200], [100, 100], [50, 50],
  // grey 124.2, so lo = hi = 124 truncated or rounded.
  ChannelRanges ranges;
  int lo = 255, hi = 0;
  WidenTargetRanges(ranges, lo, hi, {200, 100, 50}, RoundedGrayOf(200, 100, 50));
  EXPECT_EQ(ranges.min, (std::array<int, 3>{200, 100, 50}));
  EXPECT_EQ(ranges.max, (std::array<int, 3>{200, 100, 50}));
  EXPECT_EQ(std::pair(lo, hi), std::pair(124, 124));
  int tlo = 0, thi = 0;
  GrayRangeOfChannels(ranges, false, tlo, thi);
  EXPECT_EQ(std::pair(tlo, thi), std::pair(124, 124));
  // Black widens nothing; a second colour widens each channel on its own.
  WidenTargetRanges(ranges, lo, hi, {0, 0, 0}, 0);
  EXPECT_EQ(std::pair(lo, hi), std::pair(124, 124));
  WidenTargetRanges(ranges, lo, hi, {10, 200, 60}, RoundedGrayOf(10, 200, 60));  // 127.27 -> 127
  EXPECT_EQ(ranges.min, (std::array<int, 3>{10, 100, 50}));
  EXPECT_EQ(ranges.max, (std::array<int, 3>{200, 200, 60}));
  EXPECT_EQ(std::pair(lo, hi), std::pair(124, 127));
  // From the channel ranges: (10, 100, 50) is 67.39, (200, 200, 60) 184.04.
  GrayRangeOfChannels(ranges, false, tlo, thi);
  EXPECT_EQ(std::pair(tlo, thi), std::pair(67, 184));
  // Empty ranges give an empty grey range.
  GrayRangeOfChannels(ChannelRanges{}, true, tlo, thi);
  EXPECT_EQ(std::pair(tlo, thi), std::pair(255, 0));
}

TEST(RangeConvert, GrayBarClicks) {
  struct Case {
    int x, lo, hi, wantLo, wantHi;
  };
  const Case cases[] = {
      {5, 100, 150, 92, 150},    {5, 3, 150, 0, 150},       // lo - 8, not below 0
      {15, 100, 150, 108, 150},  {15, 145, 150, 150, 150},  // lo + 8, not past hi
      {85, 100, 150, 100, 142},  {85, 100, 104, 100, 100},  // hi - 8, not below lo
      {93, 100, 150, 100, 158},  {93, 100, 250, 100, 255},  // hi + 8, not past 255
      // m = (100 + 150) * 52 / 510 + 24 = 49: left of it lo, right of it hi.
      {30, 100, 150, 29, 150},   {70, 100, 150, 100, 225},  {49, 100, 150, 100, 150},
  };
  for (const Case& c : cases) {
    int lo = c.lo, hi = c.hi;
    EXPECT_TRUE(GrayBarClick(c.x, lo, hi));
    EXPECT_EQ(std::pair(lo, hi), std::pair(c.wantLo, c.wantHi)) << "x " << c.x;
  }
  int lo = 10, hi = 20;
  for (int x : {2, 12, 22, 76, 78, 88, 98}) EXPECT_FALSE(GrayBarClick(x, lo, hi)) << x;
  // Arrows never let lo pass hi nor hi pass lo.
  for (int i = 0; i < 10; ++i) GrayBarClick(15, lo, hi);
  for (int i = 0; i < 10; ++i) GrayBarClick(85, lo, hi);
  EXPECT_EQ(std::pair(lo, hi), std::pair(20, 20));

  const std::pair<int, int> bars[] = {{25, 4}, {75, 250}, {50, 127}};
  for (auto [x, want] : bars) {
    int v = 0;
    EXPECT_TRUE(ChannelBarClick(x, v));
    EXPECT_EQ(v, want) << x;
  }
  int v = 5;
  ChannelBarClick(83, v);
  EXPECT_EQ(v, 0);
  v = 250;
  ChannelBarClick(93, v);
  EXPECT_EQ(v, 255);
  int from = 0, to = 0;
  EXPECT_TRUE(RangeBarSpan(0, 255, from, to));
  EXPECT_EQ(std::pair(from, to), std::pair(24, 75));
  EXPECT_FALSE(RangeBarSpan(255, 0, from, to));
}

TEST(RangeConvert, PicksOnlyOnThePicture) {
  // The pixel under client (x, y) is column x - 100, plane row 704 - y.
  TestPlanes planes;
  planes.At(2, 1, 1) = 9;        // under client (101, 703)
  planes.At(2, 671, 959) = 300;  // under client (1059, 33); low byte 44
  UniRgb c;
  int gray = -1;
  for (auto [x, y] : std::vector<std::pair<int, int>>{{100, 400}, {1060, 400}, {1070, 400}, {500, 32}, {500, 20},
                                                      {500, 704}}) {
    EXPECT_FALSE(PickOnPicture(planes.View(), x, y, c, gray)) << x << "," << y;
  }
  const std::tuple<int, int, UniRgb> picks[] = {{101, 703, {9, 0, 0}}, {102, 703, {0, 0, 0}}, {1059, 33, {44, 0, 0}}};
  for (const auto& [x, y, colour] : picks) {
    ASSERT_TRUE(PickOnPicture(planes.View(), x, y, c, gray));
    EXPECT_EQ(c, colour) << x << "," << y;
  }
  EXPECT_EQ(gray, 13);  // 44 * 0.299 = 13.16
}

// ---- The fast conversion against the literal one, over the view corpus, a
// picture of two greys and samples above 255.

TEST(RangeConvert, FastConversionEqualsTheLiteralOne) {
  std::vector<TestPlanes> corpus = ViewCorpus();
  for (int i = 0; i < Stride * CanvasRows; i += 97) corpus[2].plane[static_cast<std::size_t>(i % 3)][static_cast<std::size_t>(i)] += 200;
  corpus.push_back(PlanesOfCanvas(PlacedCanvas([](int x, int) { return x < 480 ? Rgb{124, 124, 124} : Rgb{54, 54, 54}; })));
  struct Range {
    int lo, hi;
  };
  const Range ranges[] = {{124, 124}, {0, 255}, {60, 180}, {255, 0}, {200, 300}, {-5, 10}};
  const UniRgb colour{12, 240, 99};
  for (std::size_t i = 0; i < corpus.size(); ++i) {
    std::vector<std::uint8_t> start(CanvasByteCount);
    for (std::size_t j = 0; j < start.size(); ++j) start[j] = static_cast<std::uint8_t>(j * 31 % 251);
    for (const Range& r : ranges) {
      std::vector<std::uint8_t> fast = start, literal = start;
      const GrayRangeSettings settings{r.lo, r.hi, colour};
      PaintGrayRange(corpus[i].View(), fast.data(), Stride, Stride, CanvasRows, settings);
      LiteralPaintGrayRange(corpus[i].View(), literal.data(), Stride, Stride, CanvasRows, settings);
      EXPECT_TRUE(fast == literal) << "picture " << i << ", range " << r.lo << ".." << r.hi;
    }
  }
}

// ---- The page through the whole program.

// Client points of the controls: "1)target" at a given x (it goes off only
// from x 9 on) and the red value box ("%3d", as the others); the other
// controls are clicked by their labels.
constexpr int UniCTabX = 128 + 56 * 8, TargetY = 98, RedBoxX = 12, RedBoxY = 364;

// A (200, 100, 50), grey 124, in columns 0..99; B (30, 60, 90), grey 54, in
// 100..149; black in 150..199. 200 x 100. Client points on each block.
constexpr Rgb ColourA{200, 100, 50}, ColourB{30, 60, 90};
Rgb ThreeBlocks(int x, int) { return x < 100 ? ColourA : x < 150 ? ColourB : Rgb{0, 0, 0}; }
constexpr int OnAX = 150, OnBX = 220, OnBlackX = 280, BlockY = 100;

using CanvasBytes = std::vector<std::uint8_t>;

struct UniCSession {
  ProgramSession s;
  const CanvasBytes picture = PlacedCanvas(ThreeBlocks, 200, 100);
  UniCSession() { s.StartOnPage(8, ThreeBlocks, 200, 100); }
  // Shown, stored as KEEP8, saved by the Save tab.
  std::string Shown(const CanvasBytes& canvas) { return CanvasDifference(s.ShownCanvas(), canvas); }
  std::string Keep8(const CanvasBytes& canvas) {
    return CanvasDifference(FileBytes(s.PathIn("KEEP8.bmp")), KeepFileOf(canvas));
  }
  std::string Saved(const CanvasBytes& canvas) {
    s.dialogs().QueueFile(s.PathIn("saved.bmp"));
    s.Click(900, 10);
    return CanvasDifference(FileBytes(s.PathIn("saved.bmp")), SavedBmpOf(canvas, 200, 100));
  }
};

TEST(UniCPage, EntryStoresKeep8AndADroppedConversionChangesNothing) {
  ProgramSession s;
  WriteTestPicture(s.PathIn("blocks.bmp"), 200, 100, ThreeBlocks);
  s.Start(s.PathIn("blocks.bmp"));
  Outline.judgeMode = 1;  // as the VANTOR EYE page leaves it
  s.Click(UniCTabX, 10);
  const CanvasBytes picture = PlacedCanvas(ThreeBlocks, 200, 100);
  EXPECT_EQ(Outline.judgeMode, 2);  // the page's grey target mode
  EXPECT_EQ(CanvasDifference(FileBytes(s.PathIn("KEEP8.bmp")), KeepFileOf(picture)), "");
  EXPECT_EQ(CanvasDifference(s.ShownCanvas(), picture), "");
  // Right after entry the target is black: "all" and "set KEEP8" change nothing.
  s.ClickControl(PageUniC, "all");
  EXPECT_EQ(CanvasDifference(s.ShownCanvas(), picture), "");
  EXPECT_EQ(std::pair(UniCPage.weightOld, UniCPage.weightNew), std::pair(1, 1));
  ExpectShown(s, {{50, 554, {64, 64, 64}}});  // the blend meter's mark at x 50
  std::filesystem::remove(s.PathIn("KEEP8.bmp"));
  s.ClickControl(PageUniC, "set KEEP8");
  EXPECT_EQ(CanvasDifference(FileBytes(s.PathIn("KEEP8.bmp")), KeepFileOf(picture)), "");
}

TEST(UniCPage, ConvertsExactlyThePixelsInTheGreyRange) {
  UniCSession u;
  u.s.ClickControl(PageUniC, "1)target");
  u.s.Click(OnAX, BlockY);
  const UniCSettings& v = UniCPage.values;
  EXPECT_EQ(v.target, (UniRgb{200, 100, 50}));
  EXPECT_EQ(std::pair(v.lo, v.hi), std::pair(124, 124));
  EXPECT_EQ(u.Shown(Replaced(u.picture, ColourA, White)), "");  // the preview: the grey range (A only) white

  // The new colour from the picture: B; no preview with the target switch off.
  u.s.ClickControl(PageUniC, "2)convert");
  EXPECT_EQ(UniCPage.values.targetOn, 0);
  u.s.Click(OnBX, BlockY);
  EXPECT_EQ(v.newColour, (UniRgb{30, 60, 90}));
  EXPECT_EQ(u.Shown(u.picture), "");

  // "all": every pixel of grey 124 takes B, exactly; the others keep theirs.
  u.s.ClickControl(PageUniC, "all");
  const CanvasBytes converted = Replaced(u.picture, ColourA, ColourB);
  EXPECT_EQ(u.Shown(converted), "");
  EXPECT_EQ(std::pair(UniCPage.weightOld, UniCPage.weightNew), std::pair(0, 1));
  ExpectShown(u.s, {{92, 554, {64, 64, 64}}});  // the meter's mark moved to x 92
  // A conversion shows for one paint.
  u.s.ClickControl(PageUniC, "LClickImage");  // an explanation only
  EXPECT_EQ(u.Shown(u.picture), "");

  // "set KEEP8" converts and stores; the conversion is then the image, and
  // Save stores it, 200 x 100.
  u.s.ClickControl(PageUniC, "set KEEP8");
  EXPECT_EQ(u.Keep8(converted), "");
  u.s.ClickControl(PageUniC, "LClickImage");
  EXPECT_EQ(u.Shown(converted), "");
  EXPECT_EQ(u.Saved(converted), "");

  // The dark reset mark: entry values again, and KEEP8 read back (the
  // converted image, which "set KEEP8" stored).
  u.s.Click(20, 40);
  EXPECT_EQ(UniCPage.values.lo, 255);
  EXPECT_EQ(UniCPage.values.newColour, (UniRgb{255, 255, 255}));
  EXPECT_EQ(u.Shown(converted), "");
}

TEST(UniCPage, OnATwoColourPictureExactlyTheGreyRangeConverts) {
  ProgramSession s;
  // Two colours over the whole canvas (nothing whitened): A left, B right.
  s.StartOnPage(8, [](int x, int) { return x < 480 ? ColourA : ColourB; }, Stride, CanvasRows);
  s.ClickControl(PageUniC, "1)target");
  s.Click(300, 300);  // A: grey 124
  s.ClickControl(PageUniC, "2)convert");
  s.Click(800, 300);  // B as the new colour ...
  s.Click(93, 364);   // ... with red + 8: (38, 60, 90)
  EXPECT_EQ(UniCPage.values.newColour, (UniRgb{38, 60, 90}));
  s.ClickControl(PageUniC, "all");
  EXPECT_EQ(CanvasDifference(s.ShownCanvas(), PlacedCanvas([](int x, int) { return x < 480 ? Rgb{38, 60, 90} : ColourB; })),
            "");
  // Widening the range by hand to take in B's grey 54 converts both.
  for (int i = 0; i < 10; ++i) s.Click(5, 288);  // lo - 8
  EXPECT_EQ(UniCPage.values.lo, 44);
  s.ClickControl(PageUniC, "all");
  EXPECT_EQ(CanvasDifference(s.ShownCanvas(), PlacedCanvas([](int, int) { return Rgb{38, 60, 90}; })), "");
}

TEST(UniCPage, NoPreviewGoesIntoKeep8OrASavedFile) {
  UniCSession u;
  u.s.ClickControl(PageUniC, "1)target");
  u.s.Click(OnAX, BlockY);      // the range: grey 124
  u.s.Click(OnBlackX, BlockY);  // the target is now black: conversions are dropped
  EXPECT_EQ(UniCPage.values.target, (UniRgb{0, 0, 0}));
  EXPECT_EQ(std::pair(UniCPage.values.lo, UniCPage.values.hi), std::pair(124, 124));
  EXPECT_EQ(u.Shown(Replaced(u.picture, ColourA, White)), "");  // still previewed
  u.s.ClickControl(PageUniC, "set KEEP8");
  EXPECT_EQ(u.Keep8(u.picture), "");
  EXPECT_EQ(u.Saved(u.picture), "");
  // The chart is not stored either.
  u.s.ClickControl(PageUniC, "chart");
  u.s.ClickControl(PageUniC, "set KEEP8");
  EXPECT_EQ(u.Keep8(u.picture), "");
}

// A pick at client y reads plane row 704 - y, that is picture row 671 -
// (704 - y) = y - 33, as every other page does; nothing off the picture is
// read, so the white and the rows beyond never widen the range.
TEST(UniCPage, APickReadsThePixelUnderTheClickAndOnlyOnThePicture) {
  ProgramSession s;
  // The rows carry their number: red = row % 256, green = row / 256, from the top.
  s.StartOnPage(8, [](int, int y) { return Rgb{static_cast<std::uint8_t>(y % 256), static_cast<std::uint8_t>(y / 256), 7}; },
                960, 672);
  s.ClickControl(PageUniC, "1)target");
  for (const auto& [y, row] : std::vector<std::pair<int, int>>{{300, 267}, {33, 0}, {703, 670}}) {
    s.Click(500, y);
    EXPECT_EQ(UniCPage.values.target, (UniRgb{row % 256, row / 256, 7})) << "client y " << y;
  }
  UniCSession u;
  u.s.ClickControl(PageUniC, "1)target");
  u.s.Click(OnAX, BlockY);
  // Right of the picture, above it (the tab row right of the tabs) and below it.
  for (auto [x, y] : std::vector<std::pair<int, int>>{{1070, 300}, {1070, 20}, {300, 750}, {300, 704}}) {
    u.s.Click(x, y);
    EXPECT_EQ(UniCPage.values.ranges.max, (std::array<int, 3>{200, 100, 50})) << x << "," << y;
    EXPECT_EQ(std::pair(UniCPage.values.lo, UniCPage.values.hi), std::pair(124, 124));
  }
  // The bottom row of the image area (client y 703) reads plane row 1: white.
  u.s.Click(500, 703);
  EXPECT_EQ(UniCPage.values.target, (UniRgb{255, 255, 255}));
  EXPECT_EQ(UniCPage.values.hi, 255);
}

TEST(UniCPage, NewColourFromTheChartBarsAndCalculator) {
  UniCSession u;
  const UniCSettings& v = UniCPage.values;
  u.s.ClickControl(PageUniC, "2)convert");
  u.s.ClickControl(PageUniC, "chart");
  u.s.Click(150, 500);  // the square: red 683 - 500, green g_c 0, blue 50
  EXPECT_EQ(v.newColour, (UniRgb{183, 0, 50}));
  ExpectShown(u.s, {{150, 500, {183, 0, 50}}});  // the chart is shown
  u.s.Click(200, 690);  // the green strip: g_c 100; the image under it is not read
  EXPECT_EQ(v.chartGreen, 100);
  EXPECT_EQ(v.newColour, (UniRgb{183, 0, 50}));
  u.s.Click(150, 500);
  EXPECT_EQ(v.newColour, (UniRgb{183, 100, 50}));
  // The green bar's right arrow: + 8, and the switches go off.
  u.s.Click(93, 388);
  EXPECT_EQ(std::tuple(v.newColour.green, v.chartOn, v.newColourOn), std::tuple(108, 0, 0));
  u.s.Click(50, 412);  // the blue bar: (50 - 24) * 255 / 52 = 127
  EXPECT_EQ(v.newColour.blue, 127);
  // The calculator on red: 183 - 50, then "ＡＣ": red 0.
  u.s.Click(RedBoxX, RedBoxY);
  EXPECT_EQ(std::pair(Calc.on, v.calculatorChannel), std::pair(1, int{UniCChannelRed}));
  u.s.Click(49, 679);  // 5
  u.s.Click(20, 719);  // 0
  u.s.Click(49, 739);  // minus
  EXPECT_EQ(v.newColour.red, 133);
  u.s.Click(74, 633);
  EXPECT_EQ(v.newColour.red, 0);
  u.s.Click(RedBoxX, RedBoxY);  // deselect: calculator off
  EXPECT_EQ(Calc.on, 0);
}

TEST(UniCPage, SwitchRules) {
  UniCSession u;
  const UniCSettings& v = UniCPage.values;
  // "1)target" on: picking on, new colour off; off only from x 9 on.
  u.s.ClickControl(PageUniC, "2)convert");
  u.s.ClickControl(PageUniC, "1)target");
  EXPECT_EQ(std::tuple(v.targetOn, v.picking, v.newColourOn), std::tuple(1, 1, 0));
  u.s.Click(6, TargetY);
  EXPECT_EQ(v.targetOn, 1);
  u.s.Click(9, TargetY);
  EXPECT_EQ(v.targetOn, 0);
  // " appoint" goes off, but not while the chart is on.
  u.s.ClickControl(PageUniC, "chart");
  u.s.ClickControl(PageUniC, "appoint");
  EXPECT_EQ(v.picking, 1);
  u.s.ClickControl(PageUniC, "chart");
  u.s.ClickControl(PageUniC, "appoint");
  EXPECT_EQ(v.picking, 0);
  // "cal" turns picking off; " appoint" turns the calculator off.
  u.s.ClickControl(PageUniC, "appoint");
  u.s.Click(20, 633);
  EXPECT_EQ(std::pair(Calc.on, v.picking), std::pair(1, 0));
  u.s.ClickControl(PageUniC, "appoint");
  EXPECT_EQ(std::pair(Calc.on, v.picking), std::pair(0, 1));
  // A click on the grey range bar: a manual edit, every switch off.
  u.s.ClickControl(PageUniC, "1)target");
  u.s.ClickControl(PageUniC, "chart");
  u.s.Click(93, 288);
  EXPECT_EQ(std::tuple(v.picking, v.targetOn, v.newColourOn, v.chartOn), std::tuple(0, 0, 0, 0));
}

TEST(UniCPageGolden, ChartAndTargetOnTheSampleInEnglish) {
  ProgramSession s;
  s.Start(GoldenSamplePicture());
  s.ClickControl(PageTop, "ENGLISH");  // TOP's language switch
  s.Click(UniCTabX, 10);
  s.ClickControl(PageUniC, "1)target");
  s.Click(700, 200);
  s.Click(800, 150);
  s.ClickControl(PageUniC, "2)convert");
  s.ClickControl(PageUniC, "chart");
  s.Click(300, 470);
  EXPECT_GOLDEN("uni_c_chart", s.window().Shown());
}

}  // namespace
