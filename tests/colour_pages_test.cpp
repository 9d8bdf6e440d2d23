// The colour pages UNI C., CONTOUR and ADD: their pixel work worked by hand
// and against the literal forms over a corpus, and each page through the
// whole program, every store path byte for byte, and the golden screens.
//
// [SECTION] UNI C.: ranges, bars, the conversion
// [SECTION] The UNI C. page
// [SECTION] CONTOUR: ladders, the table, the literal search
// [SECTION] The CONTOUR page
// [SECTION] ADD: bands, ramps, the literal addition
// [SECTION] The ADD page

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "image/gray.h"
#include "ops/contour_levels.h"
#include "pages/colour/add_page.h"
#include "pages/colour/contour_page.h"
#include "pages/colour/nod_colours.h"
#include "pages/colour/range_convert.h"
#include "pages/colour/uni_c_page.h"
#include "pages/kit/page_state.h"
#include "pages/pattern/outline_state.h"
#include "panel/calculator.h"
#include "reference/add_colour_literal.h"
#include "reference/contour_literal.h"
#include "reference/range_convert_literal.h"
#include "support/golden.h"
#include "support/program_session.h"
#include "support/view_corpus.h"

namespace {

Rgb Grey(std::uint8_t v) { return Rgb{v, v, v}; }

// [SECTION] UNI C.: ranges, bars, the conversion

TEST(RangeConvert, ATargetPickWidensTheRanges) {
  // One pixel of (200, 100, 50): ranges [200, 200], [100, 100], [50, 50],
  // grey 124.2, so lo = hi = 124 truncated or rounded.
  ChannelRanges ranges;
  int lo = 255, hi = 0;
  WidenTargetRanges(ranges, lo, hi, {200, 100, 50}, RoundedGrayOf(200, 100, 50));
  EXPECT_EQ(std::pair(ranges.min, ranges.max), std::pair(std::array{200, 100, 50}, std::array{200, 100, 50}));
  EXPECT_EQ(std::pair(lo, hi), std::pair(124, 124));
  // Black widens nothing; a second colour widens each channel on its own.
  WidenTargetRanges(ranges, lo, hi, {0, 0, 0}, 0);
  EXPECT_EQ(std::pair(lo, hi), std::pair(124, 124));
  WidenTargetRanges(ranges, lo, hi, {10, 200, 60}, RoundedGrayOf(10, 200, 60));  // 127.27 -> 127
  EXPECT_EQ(std::pair(ranges.min, ranges.max), std::pair(std::array{10, 100, 50}, std::array{200, 200, 60}));
  EXPECT_EQ(std::pair(lo, hi), std::pair(124, 127));
  // From the channel ranges: (10, 100, 50) is 67.39, (200, 200, 60) 184.04.
  int tlo = 0, thi = 0;
  GrayRangeOfChannels(ranges, false, tlo, thi);
  EXPECT_EQ(std::pair(tlo, thi), std::pair(67, 184));
  // Empty ranges give an empty grey range.
  GrayRangeOfChannels(ChannelRanges{}, true, tlo, thi);
  EXPECT_EQ(std::pair(tlo, thi), std::pair(255, 0));
}

TEST(RangeConvert, GrayBarClicksAndPicksOnlyOnThePicture) {
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

  // A channel bar: x, the value before, after; the arrows stay within a byte.
  const std::array<int, 3> bars[] = {{25, 0, 4}, {75, 0, 250}, {50, 0, 127}, {83, 5, 0}, {93, 250, 255}};
  for (auto [x, before, want] : bars) {
    int v = before;
    EXPECT_TRUE(ChannelBarClick(x, v));
    EXPECT_EQ(v, want) << x;
  }
  int from = 0, to = 0;
  EXPECT_TRUE(RangeBarSpan(0, 255, from, to));
  EXPECT_EQ(std::pair(from, to), std::pair(24, 75));
  EXPECT_FALSE(RangeBarSpan(255, 0, from, to));
  // The pixel under client (x, y) is column x - 100, plane row 704 - y.
  TestPlanes planes;
  planes.At(2, 1, 1) = 9;        // under client (101, 703)
  planes.At(2, 671, 959) = 300;  // under client (1059, 33); low byte 44
  UniRgb c;
  int gray = -1;
  const std::pair<int, int> offPicture[] = {{100, 400}, {1060, 400}, {1070, 400}, {500, 32}, {500, 20}, {500, 704}};
  for (auto [x, y] : offPicture) EXPECT_FALSE(PickOnPicture(planes.View(), x, y, c, gray)) << x << "," << y;
  const std::tuple<int, int, UniRgb> picks[] = {{101, 703, {9, 0, 0}}, {102, 703, {0, 0, 0}}, {1059, 33, {44, 0, 0}}};
  for (const auto& [x, y, colour] : picks) {
    ASSERT_TRUE(PickOnPicture(planes.View(), x, y, c, gray));
    EXPECT_EQ(c, colour) << x << "," << y;
  }
  EXPECT_EQ(gray, 13);  // 44 * 0.299 = 13.16
}

// Over the view corpus, a picture of two greys and samples above 255.
TEST(RangeConvert, FastConversionEqualsTheLiteralOne) {
  std::vector<TestPlanes> corpus = ViewCorpus();
  for (std::size_t i = 0; i < std::size_t{Stride} * CanvasRows; i += 97) corpus[2].plane[i % 3][i] += 200;
  corpus.push_back(PlanesOfCanvas(PlacedCanvas([](int x, int) { return x < 480 ? Grey(124) : Grey(54); })));
  const std::pair<int, int> ranges[] = {{124, 124}, {0, 255}, {60, 180}, {255, 0}, {200, 300}, {-5, 10}};
  const UniRgb colour{12, 240, 99};
  std::vector<std::uint8_t> start(CanvasByteCount);
  for (std::size_t j = 0; j < start.size(); ++j) start[j] = static_cast<std::uint8_t>(j * 31 % 251);
  for (std::size_t i = 0; i < corpus.size(); ++i) {
    for (const auto& [lo, hi] : ranges) {
      std::vector<std::uint8_t> fast = start, literal = start;
      const GrayRangeSettings settings{lo, hi, colour};
      PaintGrayRange(corpus[i].View(), fast.data(), Stride, Stride, CanvasRows, settings);
      LiteralPaintGrayRange(corpus[i].View(), literal.data(), Stride, Stride, CanvasRows, settings);
      EXPECT_TRUE(fast == literal) << "picture " << i << ", range " << lo << ".." << hi;
    }
  }
}

// [SECTION] The UNI C. page

// Client points: "1)target" (it goes off only from x 9 on) and the red value box ("%3d"); the other
// controls are clicked by their labels.
constexpr int UniCTabX = 128 + 56 * 8, TargetY = 98, RedBoxX = 12, RedBoxY = 364;

// A (200, 100, 50), grey 124, in columns 0..99; B (30, 60, 90), grey 54, in
// 100..149; black in 150..199. 200 x 100. Client points on each block.
constexpr Rgb ColourA{200, 100, 50}, ColourB{30, 60, 90};
Rgb ThreeBlocks(int x, int) { return x < 100 ? ColourA : x < 150 ? ColourB : Rgb{0, 0, 0}; }
constexpr int OnAX = 150, OnBX = 220, OnBlackX = 280, BlockY = 100;

using CanvasBytes = std::vector<std::uint8_t>;

// A page entered on a test picture, and the canvas that picture gives.
struct PageSession {
  ProgramSession s;
  const int width, height;
  const CanvasBytes picture;
  PageSession(int page, Rgb (*colour)(int, int), int w, int h)
      : width(w), height(h), picture(PlacedCanvas(colour, w, h)) {
    s.StartOnPage(page, colour, w, h);
  }
  // "" when a canvas is shown, kept, or saved by the Save tab at the picture's own size.
  std::string Shown(const CanvasBytes& canvas) { return CanvasDifference(s.ShownCanvas(), canvas); }
  std::string Kept(const std::string& keep, const CanvasBytes& canvas) {
    return CanvasDifference(FileBytes(s.PathIn(keep)), KeepFileOf(canvas));
  }
  std::string Saved(const CanvasBytes& canvas, const std::string& name = "saved.bmp") {
    s.dialogs().QueueFile(s.PathIn(name));
    s.Click(900, 10);
    return CanvasDifference(FileBytes(s.PathIn(name)), SavedBmpOf(canvas, width, height));
  }
};

TEST(UniCPage, EntryStoresKeep8ADroppedConversionChangesNothingAndExactlyTheGreyRangeConverts) {
  PageSession u(PageTop, ThreeBlocks, 200, 100);
  Outline.judgeMode = 1;  // as the VANTOR EYE page leaves it
  u.s.Click(UniCTabX, 10);
  EXPECT_EQ(Outline.judgeMode, 2);  // the page's grey target mode
  EXPECT_EQ(u.Kept("KEEP8.bmp", u.picture), "");
  EXPECT_EQ(u.Shown(u.picture), "");
  // Right after entry the target is black: "all" and "set KEEP8" change nothing.
  u.s.ClickControl(PageUniC, "all");
  EXPECT_EQ(u.Shown(u.picture), "");
  EXPECT_EQ(std::pair(UniCPage.weightOld, UniCPage.weightNew), std::pair(1, 1));
  ExpectShown(u.s, {{50, 554, {64, 64, 64}}});  // the blend meter's mark at x 50
  std::filesystem::remove(u.s.PathIn("KEEP8.bmp"));
  u.s.ClickControl(PageUniC, "set KEEP8");
  EXPECT_EQ(u.Kept("KEEP8.bmp", u.picture), "");

  u.s.ClickControl(PageUniC, "1)target");
  u.s.Click(OnAX, BlockY);
  const UniCSettings& v = UniCPage.values;
  EXPECT_EQ(std::tuple(v.target, v.lo, v.hi), std::tuple(UniRgb{200, 100, 50}, 124, 124));
  EXPECT_EQ(u.Shown(Replaced(u.picture, ColourA, White)), "");  // the preview: the grey range (A only) white

  // The new colour from the picture: B; no preview with the target switch off.
  u.s.ClickControl(PageUniC, "2)convert");
  EXPECT_EQ(v.targetOn, 0);
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
  EXPECT_EQ(u.Kept("KEEP8.bmp", converted), "");
  u.s.ClickControl(PageUniC, "LClickImage");
  EXPECT_EQ(u.Shown(converted), "");
  EXPECT_EQ(u.Saved(converted), "");

  // The dark reset mark: entry values again, and KEEP8 (the converted image) read back.
  u.s.Click(20, 40);
  EXPECT_EQ(std::pair(v.lo, v.newColour), std::pair(255, UniRgb{255, 255, 255}));
  EXPECT_EQ(u.Shown(converted), "");
}

TEST(UniCPage, OnATwoColourPictureExactlyTheGreyRangeConverts) {
  // Two colours over the whole canvas (nothing whitened): A left, B right.
  PageSession u(8, [](int x, int) { return x < 480 ? ColourA : ColourB; }, Stride, CanvasRows);
  u.s.ClickControl(PageUniC, "1)target");
  u.s.Click(300, 300);  // A: grey 124
  u.s.ClickControl(PageUniC, "2)convert");
  u.s.Click(800, 300);  // B as the new colour ...
  u.s.Click(93, 364);   // ... with red + 8: (38, 60, 90)
  EXPECT_EQ(UniCPage.values.newColour, (UniRgb{38, 60, 90}));
  u.s.ClickControl(PageUniC, "all");
  EXPECT_EQ(u.Shown(PlacedCanvas([](int x, int) { return x < 480 ? Rgb{38, 60, 90} : ColourB; })), "");
  // Widening the range by hand to take in B's grey 54 converts both.
  for (int i = 0; i < 10; ++i) u.s.Click(5, 288);  // lo - 8
  EXPECT_EQ(UniCPage.values.lo, 44);
  u.s.ClickControl(PageUniC, "all");
  EXPECT_EQ(u.Shown(PlacedCanvas([](int, int) { return Rgb{38, 60, 90}; })), "");
}

// A pick at client y reads plane row 704 - y, picture row 671 - (704 - y) = y - 33, as on every other
// page; off the picture nothing widens the range. A black target drops the conversion: no preview is stored.
TEST(UniCPage, APickReadsOnlyThePictureAndNoPreviewGoesIntoKeep8OrASavedFile) {
  const UniCSettings& v = UniCPage.values;
  ProgramSession s;
  // The rows carry their number: red = row % 256, green = row / 256, from the top.
  s.StartOnPage(
      8, [](int, int y) { return Rgb{static_cast<std::uint8_t>(y % 256), static_cast<std::uint8_t>(y / 256), 7}; },
      960, 672);
  s.ClickControl(PageUniC, "1)target");
  for (const auto& [y, row] : std::vector<std::pair<int, int>>{{300, 267}, {33, 0}, {703, 670}}) {
    s.Click(500, y);
    EXPECT_EQ(v.target, (UniRgb{row % 256, row / 256, 7})) << "client y " << y;
  }
  PageSession u(8, ThreeBlocks, 200, 100);
  u.s.ClickControl(PageUniC, "1)target");
  u.s.Click(OnAX, BlockY);  // the range: grey 124
  // Right of the picture, above it (the tab row right of the tabs) and below it.
  for (auto [x, y] : std::vector<std::pair<int, int>>{{1070, 300}, {1070, 20}, {300, 750}, {300, 704}}) {
    u.s.Click(x, y);
    EXPECT_EQ(v.ranges.max, (std::array<int, 3>{200, 100, 50})) << x << "," << y;
    EXPECT_EQ(std::pair(v.lo, v.hi), std::pair(124, 124));
  }
  // The bottom row of the image area (client y 703) reads plane row 1: white.
  u.s.Click(500, 703);
  EXPECT_EQ(std::pair(v.target, v.hi), std::pair(UniRgb{255, 255, 255}, 255));
  u.s.Click(OnBlackX, BlockY);  // the target is now black: conversions are dropped
  EXPECT_EQ(std::tuple(v.target, v.lo, v.hi), std::tuple(UniRgb{0, 0, 0}, 124, 255));
  EXPECT_EQ(u.Shown(Replaced(u.picture, ColourA, White)), "");  // still previewed: grey 124..255 white
  u.s.ClickControl(PageUniC, "set KEEP8");
  EXPECT_EQ(u.Kept("KEEP8.bmp", u.picture), "");
  EXPECT_EQ(u.Saved(u.picture), "");
  // The chart is not stored either.
  u.s.ClickControls(PageUniC, {"chart", "set KEEP8"});
  EXPECT_EQ(u.Kept("KEEP8.bmp", u.picture), "");
}

TEST(UniCPage, NewColourFromTheChartBarsAndCalculatorAndTheSwitchRules) {
  PageSession u(8, ThreeBlocks, 200, 100);
  const UniCSettings& v = UniCPage.values;
  u.s.ClickControls(PageUniC, {"2)convert", "chart"});
  u.s.Click(150, 500);  // the square: red 683 - 500, green g_c 0, blue 50
  EXPECT_EQ(v.newColour, (UniRgb{183, 0, 50}));
  ExpectShown(u.s, {{150, 500, {183, 0, 50}}});  // the chart is shown
  u.s.Click(200, 690);  // the green strip: g_c 100; the image under it is not read
  EXPECT_EQ(std::pair(v.chartGreen, v.newColour), std::pair(100, UniRgb{183, 0, 50}));
  u.s.Click(150, 500);
  EXPECT_EQ(v.newColour, (UniRgb{183, 100, 50}));
  // The green bar's right arrow: + 8, and the switches go off.
  u.s.Click(93, 388);
  EXPECT_EQ(std::tuple(v.newColour.green, v.chartOn, v.newColourOn), std::tuple(108, 0, 0));
  u.s.Click(50, 412);  // the blue bar: (50 - 24) * 255 / 52 = 127
  EXPECT_EQ(v.newColour.blue, 127);
  // The calculator on red: 183 - 50, then "ＡＣ": red 0.
  u.s.Click(RedBoxX, RedBoxY);
  EXPECT_EQ(std::pair(Calc.on, v.calculatorChannel), std::pair(true, int{UniCChannelRed}));
  u.s.Click(49, 679);  // 5
  u.s.Click(20, 719);  // 0
  u.s.Click(49, 739);  // minus
  EXPECT_EQ(v.newColour.red, 133);
  u.s.Click(74, 633);
  EXPECT_EQ(v.newColour.red, 0);
  u.s.Click(RedBoxX, RedBoxY);  // deselect: calculator off
  EXPECT_EQ(Calc.on, 0);

  // "1)target" on: picking on, new colour off; off only from x 9 on.
  u.s.ClickControls(PageUniC, {"2)convert", "1)target"});
  EXPECT_EQ(std::tuple(v.targetOn, v.picking, v.newColourOn), std::tuple(1, 1, 0));
  u.s.Click(6, TargetY);
  EXPECT_EQ(v.targetOn, 1);
  u.s.Click(9, TargetY);
  EXPECT_EQ(v.targetOn, 0);
  // " appoint" goes off, but not while the chart is on.
  u.s.ClickControls(PageUniC, {"chart", "appoint"});
  EXPECT_EQ(v.picking, 1);
  u.s.ClickControls(PageUniC, {"chart", "appoint"});
  EXPECT_EQ(v.picking, 0);
  // "cal" turns picking off; " appoint" turns the calculator off.
  u.s.ClickControl(PageUniC, "appoint");
  u.s.Click(20, 633);
  EXPECT_EQ(std::pair(Calc.on, v.picking), std::pair(true, false));
  u.s.ClickControl(PageUniC, "appoint");
  EXPECT_EQ(std::pair(Calc.on, v.picking), std::pair(false, true));
  // A click on the grey range bar: a manual edit, every switch off.
  u.s.ClickControls(PageUniC, {"1)target", "chart"});
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
  s.ClickControls(PageUniC, {"2)convert", "chart"});
  s.Click(300, 470);
  EXPECT_GOLDEN("uni_c_chart", s.window().Shown());
}

// [SECTION] CONTOUR: ladders, the table, the literal search

const std::string Scan = "scan %3d";  // " scan %3d" shows the level it drew

TEST(ContourLevels, ColourLaddersSwatchesAndTheTypeCycleWorkedByHand) {
  // Type, k, the colour. K = 8: kK is 0 at k 0, 8 at k 1, 248 at k 31.
  const std::tuple<int, int, ContourColour> cases[] = {
      {0, 5, {0, 0, 0}},       {1, 0, {255, 0, 0}},     {1, 31, {255, 0, 0}},    {2, 0, {255, 255, 0}},
      {2, 31, {7, 7, 0}},      {3, 1, {0, 247, 247}},   {4, 1, {247, 8, 8}},     {4, 31, {7, 248, 248}},
      {5, 0, {0, 255, 255}},   {5, 31, {248, 255, 7}},  {6, 16, {128, 128, 128}}, {7, 31, {7, 7, 7}},
      {9, 3, {0, 0, 0}},  // an unknown type draws black
      {6, 40, {255, 255, 255}}, {7, 40, {0, 0, 0}},  // 8 x 40 overshoots a byte: clamped
  };
  for (const auto& [type, k, colour] : cases) EXPECT_EQ(ContourLevelColour(type, k, 8), colour) << type << "," << k;
  // The swatches (type, column, the colour there or none), then the type's cycle.
  const std::tuple<int, int, std::optional<ContourColour>> swatches[] = {
      {0, 10, std::nullopt},  // type 0 has no swatch
      {1, 64, ContourColour{255, 0, 0}},  // solid red, 65 columns
      {2, 64, std::nullopt},  {4, 63, ContourColour{3, 252, 252}}, {5, 10, ContourColour{40, 255, 215}}};
  for (const auto& [type, column, colour] : swatches) {
    ContourColour c;
    EXPECT_EQ(ContourSwatchColour(type, column, c), colour.has_value()) << type;
    EXPECT_TRUE(!colour || c == *colour) << type;
  }
  const std::pair<int, int> next[] = {{0, 1}, {1, 2}, {5, 6}, {6, 7}, {7, 1}};
  for (auto [from, to] : next) EXPECT_EQ(NextContourColourType(from), to);
}

TEST(ContourLevels, ScanWrapsAfterTheTopLevelAndOneLevelPaintsOnlyItsGray) {
  // 32 levels of gray 0, 8, .., 248 (a ladder needs a positive step and a
  // level above the lowest): s runs 1..32, the 33rd click starts again at 1.
  EXPECT_EQ(std::tuple(ContourTopLevel(ContourLadder{}), ContourTopLevel({0, 255, 0}), ContourColourStep(0)),
            std::tuple(31, 0, 0));
  EXPECT_EQ(std::tuple(WrapContourScan(1, 31), WrapContourScan(32, 31), WrapContourScan(33, 31)), std::tuple(1, 32, 1));
  // The first scan is level 0 (gray 0 only), the 32nd level 31 (gray 248);
  // before the first scan (s = 0) nothing is painted.
  const std::pair<int, int> scans[] = {{1, 0}, {32, 248}, {0, -1}};  // s, the gray painted (-1: none)
  for (auto [scan, gray] : scans) {
    const ContourTable table = BuildContourTable(ContourLadder{}, ContourOneLevel, scan, 2);
    for (int g = 0; g < 256; ++g) EXPECT_EQ(table[static_cast<std::size_t>(g)].painted, g == gray) << scan << ", " << g;
  }
}

// Over the view corpus as canvases and a picture of two levels (128 | 248).
TEST(ContourLevels, TableDrawingEqualsTheLiteralSearch) {
  std::vector<CanvasBytes> corpus;
  for (const TestPlanes& planes : ViewCorpus()) corpus.push_back(planes.Canvas());
  corpus.push_back(PlacedCanvas([](int x, int) { return x < 480 ? Grey(128) : Grey(248); }));
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
      LiteralContour(literal.data(), Stride, Stride, CanvasRows,
                     ContourDrawSettings{c.ladder, c.operation, c.scan, c.type});
      EXPECT_TRUE(fast == literal) << "picture " << picture << ", operation " << c.operation << ", type " << c.type;
    }
  }
}

// [SECTION] The CONTOUR page

// Grey columns: the pixel at x has red = green = blue = x % 256, so its gray is x % 256.
Rgb GreyColumns(int x, int) { return Grey(static_cast<std::uint8_t>(x % 256)); }

// The canvas with each pixel whose gray onLevel takes painted in colour(gray).
CanvasBytes Painted(CanvasBytes c, bool (*onLevel)(int gray), Rgb (*colour)(int gray)) {
  for (int row = 0; row < CanvasRows; ++row)
    for (int column = 0; column < Stride; ++column) {
      const Rgb p = CanvasRgb(c, row, column);
      if (onLevel(GrayOf(p.r, p.g, p.b))) SetCanvasRgb(c, row, column, colour(GrayOf(p.r, p.g, p.b)));
    }
  return c;
}
bool EveryLevel(int g) { return g % 8 == 0 && g <= 248; }

TEST(ContourPage, LimitAreaPaintsEveryLevelClearRemovesItAndSetKeepCommitsIt) {
  PageSession c(5, GreyColumns, 300, 100);
  EXPECT_EQ(c.Shown(c.picture), "");
  EXPECT_EQ(ContourPage.colourType, 0);

  c.s.ClickControls(PageContour, {"↓", "limit area"});  // type 1: red
  const CanvasBytes red = Painted(c.picture, EveryLevel, [](int) { return Rgb{255, 0, 0}; });
  EXPECT_EQ(c.Shown(red), "");
  // White (gray 255) and grays 249..254 never change.
  ExpectShown(c.s, {{100 + 252, 40, {252, 252, 252}}, {100 + 248, 40, {255, 0, 0}}});
  // A second paint draws the same: nothing accumulates.
  c.s.Paint();
  c.s.ClickControl(PageContour, "3)color type");  // an explanation only
  EXPECT_EQ(c.Shown(red), "");

  c.s.ClickControl(PageContour, "clear");
  EXPECT_EQ(c.Shown(c.picture), "");

  c.s.ClickControls(PageContour, {"↓", "limit area", "set KEEP5"});  // type 2
  // Worked by hand: under type 2 level k (gray 8k) is (255 - 8k, 255 - 8k, 0).
  CanvasBytes committed = Painted(c.picture, EveryLevel, [](int g) {
    const auto v = static_cast<std::uint8_t>(255 - g);
    return Rgb{v, v, 0};
  });
  EXPECT_EQ(c.Kept("KEEP5.bmp", committed), "");
  // "Save" stores the picture shown (300 x 100): the contour drawn again
  // over the committed image.
  CanvasBytes again = committed;
  LiteralContour(again.data(), Stride, Stride, CanvasRows, ContourDrawSettings{{}, ContourAllLevels, 0, 2});
  EXPECT_EQ(c.Saved(again), "");
  // The contour is now part of the image: " clear" leaves it shown; a
  // cancelled save writes nothing and changes nothing.
  c.s.ClickControl(PageContour, "clear");
  EXPECT_EQ(c.Shown(committed), "");
  c.s.dialogs().QueueFile(std::nullopt);
  c.s.Click(900, 10);
  EXPECT_EQ(c.Shown(committed), "");
}

TEST(ContourPage, ScanStepsUpTheLadderAndWraps) {
  PageSession c(5, GreyColumns, 300, 100);
  c.s.ClickControls(PageContour, {"↓", "↓"});  // type 2
  const CanvasBytes level0 = Painted(c.picture, [](int g) { return g == 0; }, [](int) { return Rgb{255, 255, 0}; });
  c.s.ClickControl(PageContour, Scan);
  EXPECT_EQ(c.Shown(level0), "");
  for (int i = 2; i <= 32; ++i) c.s.ClickControl(PageContour, Scan);
  const CanvasBytes top = Painted(c.picture, [](int g) { return g == 248; }, [](int) { return Rgb{7, 7, 0}; });
  EXPECT_EQ(c.Shown(top), "");
  c.s.ClickControl(PageContour, Scan);  // the 33rd: level 0 again
  EXPECT_EQ(ContourPage.values.scanIndex, 1);
  EXPECT_EQ(c.Shown(level0), "");

  // The reset mark: no contour, the scan from the start; the type stays.
  c.s.Click(20, 40);
  EXPECT_EQ(std::tuple(ContourPage.values.operation, ContourPage.values.scanIndex, ContourPage.colourType),
            std::tuple(ContourNone, 0, 2));
  EXPECT_EQ(c.Shown(c.picture), "");
  // Leaving and entering the page keeps the type too.
  c.s.Click(128, 10);
  c.s.Click(128 + 56 * 5, 10);
  EXPECT_EQ(ContourPage.colourType, 2);
  for (int i = 3; i <= 8; ++i) c.s.ClickControl(PageContour, "↓");
  EXPECT_EQ(ContourPage.colourType, 1);  // 7 -> 1
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

// [SECTION] ADD: bands, ramps, the literal addition

const NodColumn& ColumnA() { return BuiltInNodColours.columns[0]; }

TEST(AddBands, EdgesRampColoursAndBlendsWorkedByHand) {
  const GreyBands bands = GreyBandsOf(0, 255);
  EXPECT_EQ(bands.bound, (std::array<int, 7>{0, 42, 84, 126, 168, 210, 255}));
  const std::pair<int, int> cases[] = {{-1, -1}, {0, 0},   {41, 0},  {42, 1},  {83, 1},  {84, 2},   {125, 2},
                                       {126, 3}, {167, 3}, {168, 4}, {209, 4}, {210, 5}, {255, 5}, {256, -1}};
  for (const auto& [grey, band] : cases) EXPECT_EQ(BandOf(bands, grey), band) << "grey " << grey;
  // A range narrower than six greys: bands of no width, no division by zero.
  const GreyBands narrow = GreyBandsOf(100, 103);
  EXPECT_EQ(BandOf(narrow, 100), 5);
  EXPECT_EQ(RampColour(ColumnA(), narrow, 100), ColumnA()[5]);
  // Column A's ramp colour at a grey.
  const std::pair<int, NodColour> ramps[] = {
      {0, {0, 0, 0}},          // nod colour 1
      {21, {127, 127, 0}},     // halfway from black to yellow: 255 x 21 / 42 = 127
      {42, {255, 255, 0}},     // nod colour 2 at the start of band 1
      {63, {128, 128, 64}},    // yellow to navy: 255 - 255 x 21 / 42 truncates toward zero: 255 - 127
      {105, {0, 127, 191}},    // navy to cyan
      {147, {64, 128, 255}},   // cyan to violet
      {189, {191, 64, 255}},   // violet to pink
      {232, {255, 190, 255}},  // pink to white, s = 45: 128 + 127 x 22 / 45
      {255, {255, 255, 255}},  // nod colour 7
  };
  for (const auto& [grey, want] : ramps) EXPECT_EQ(RampColour(ColumnA(), bands, grey), want) << "grey " << grey;
  // 7 : 1 of 200 and 8: 1408 / 8; 3 : 1 of 201 and 0: 603 / 4, truncated.
  EXPECT_EQ(std::tuple(BlendNodChannel(200, 8, SoftWeights), BlendNodChannel(201, 0, MiddleWeights),
                       BlendNodChannel(201, 17, HardWeights)),
            std::tuple(176, 150, 17));
}

// Over the view corpus and noise with samples above 255.
TEST(AddBands, TheFastAdditionGivesTheLiteralBytes) {
  std::vector<TestPlanes> corpus = ViewCorpus();
  TestPlanes& wide = corpus.emplace_back(NoisePlanes(3));
  wide.name = "noise with samples above 255";
  for (std::size_t i = 0; i < wide.plane[0].size(); ++i) {
    wide.plane[0][i] = wide.plane[0][i] * 1000 / 256;
    wide.plane[1][i] = wide.plane[1][i] * 270 / 256;
    wide.plane[2][i] = wide.plane[2][i] * 300 / 256;
  }
  NodColumn odd = BuiltInNodColours.columns[1];
  odd[2] = {300, -20, 7};  // a ramp outside the bytes takes the rule's own path
  struct Case {
    const char* label;
    const NodColumn* column;
    BlendWeights weights;
  };
  const Case cases[] = {
      {"A 7:1", &ColumnA(), SoftWeights},
      {"A 3:1", &ColumnA(), MiddleWeights},
      {"A 0:1", &ColumnA(), HardWeights},
      {"B 7:1", &BuiltInNodColours.columns[1], SoftWeights},
      {"C 0:1", &BuiltInNodColours.columns[2], HardWeights},
      {"ramp outside the bytes, 7:1", &odd, SoftWeights},
      {"A 5:2", &ColumnA(), BlendWeights{5, 2}},
  };
  for (const TestPlanes& planes : corpus) {
    for (const Case& c : cases) {
      // The whole range, and a narrower one outside which nothing changes.
      for (const auto& [lo, hi] : {std::pair{0, 255}, std::pair{60, 200}}) {
        TestPlanes fast = planes, literal = planes;
        const AddColourSettings settings{*c.column, lo, hi, c.weights};
        AddNodColours(fast.View(), Stride, CanvasRows, settings);
        LiteralAddNodColours(literal.View(), Stride, CanvasRows, settings);
        ASSERT_EQ(fast.plane, literal.plane) << planes.name << ", " << c.label << " in " << lo << ".." << hi;
      }
    }
  }
}

// [SECTION] The ADD page

constexpr int AddTabX = 464, TabY = 15;

// Ten grey stripes 20 pixels wide, one per band edge and between, on a 200 x 40 picture.
constexpr std::array<std::uint8_t, 10> StripeGreys = {0, 21, 41, 42, 63, 105, 147, 189, 232, 255};
Rgb Stripes(int x, int) { return Grey(StripeGreys[static_cast<std::size_t>(x / 20)]); }
Rgb AllBlack(int, int) { return Black; }

// The literal addition over a shown canvas.
CanvasBytes LiteralAdded(const CanvasBytes& canvas, const NodColumn& column, BlendWeights w) {
  TestPlanes planes = PlanesOfCanvas(canvas);
  LiteralAddNodColours(planes.View(), Stride, CanvasRows, AddColourSettings{column, 0, 255, w});
  return planes.Canvas();
}

TEST(AddPage, HardPaintsTheEnteredImageInTheRampSetKeepStoresItColumnBAndTheUsersTable) {
  PageSession a(6, Stripes, 200, 40);
  // Entering shows the picture and stores it as it was in KEEP6; column A.
  EXPECT_EQ(a.Shown(a.picture), "");
  EXPECT_EQ(a.Kept("KEEP6.bmp", a.picture), "");
  EXPECT_EQ(std::pair(AddMeterX(), AddColumnChoice()), std::pair(18, 1));

  a.s.ClickControl(PageAdd, "hd");
  EXPECT_EQ(AddMeterX(), 92);
  const CanvasBytes hard = LiteralAdded(a.picture, ColumnA(), HardWeights);
  EXPECT_EQ(a.Shown(hard), "");

  a.s.ClickControl(PageAdd, "set KEEP6");
  EXPECT_EQ(a.Kept("KEEP6.bmp", hard), "");

  // After "hd" the weights stay 0 : 1: " add" paints the ramp of the new greys.
  a.s.ClickControl(PageAdd, "add");
  EXPECT_EQ(a.Shown(LiteralAdded(hard, ColumnA(), HardWeights)), "");
  EXPECT_EQ(AddMeterX(), 92);

  // Column B: "hd" again from KEEP6, now the hard image.
  a.s.ClickControl(PageAdd, "Ｂ");
  EXPECT_EQ(AddColumnChoice(), 2);
  a.s.ClickControl(PageAdd, "hd");
  EXPECT_EQ(a.Shown(LiteralAdded(hard, BuiltInNodColours.columns[1], HardWeights)), "");
  // The user's table (all zero until a file is loaded) when the source is 2:
  // everything in the range becomes black.
  NodColours.source = UserTableSource;
  a.s.ClickControl(PageAdd, "hd");
  ExpectShown(a.s, {{300, 50, {0, 0, 0}}, {110 + 20 * 9, 50, {0, 0, 0}}});
  // Leaving and entering again keeps column B.
  a.s.Click(128, TabY);
  a.s.Click(AddTabX, TabY);
  EXPECT_EQ(AddColumnChoice(), 2);
}

// "add" leaves white and black; "Save" writes the picture as shown (its own 200 x 40); the reset mark
// (20, 40) and "Restore" (968) bring back KEEP6 as entered; "Get" (1024) stores the chosen picture as KEEP6.
TEST(AddPage, AddBlendsOneEighthSaveStoresTheShownImageRestoreAndGetReadKeep6) {
  for (Rgb (*colour)(int, int) : {+[](int, int) { return White; }, AllBlack}) {
    PageSession a(6, colour, 120, 80);
    a.s.ClickControl(PageAdd, "add");
    EXPECT_EQ(a.Shown(a.picture), "");
    EXPECT_EQ(AddMeterX(), 18);
  }
  PageSession a(6, Stripes, 200, 40);
  a.s.ClickControl(PageAdd, "add");
  const CanvasBytes once = LiteralAdded(a.picture, ColumnA(), SoftWeights);
  EXPECT_EQ(a.Shown(once), "");
  EXPECT_EQ(a.s.Pixel(130, 50), (Rgb{(21 * 7 + 127) / 8, (21 * 7 + 127) / 8, 21 * 7 / 8}));
  EXPECT_EQ(a.Saved(once, "added.bmp"), "");
  a.s.ClickControl(PageAdd, "add");
  EXPECT_EQ(a.Shown(LiteralAdded(once, ColumnA(), SoftWeights)), "");
  a.s.Click(20, 40);
  EXPECT_EQ(a.Shown(a.picture), "");
  a.s.ClickControl(PageAdd, "add");
  ASSERT_EQ(a.Shown(once), "");
  a.s.Click(968, TabY);
  EXPECT_EQ(a.Shown(a.picture), "");
  WriteTestPicture(a.s.PathIn("black.bmp"), 50, 50, AllBlack);
  a.s.dialogs().QueueFile(a.s.PathIn("black.bmp"));
  a.s.Click(1024, TabY);
  ExpectShown(a.s, {{120, 40, Black}});
  EXPECT_EQ(a.Kept("KEEP6.bmp", a.s.ShownCanvas()), "");
}

TEST(AddPage, GoldenScreenAfterHard) {
  PageSession a(6, Stripes, 200, 40);
  a.s.ClickControls(PageAdd, {"Ｂ", "hd"});
  EXPECT_GOLDEN("add_page_hard", a.s.window().Shown());
}

}  // namespace
