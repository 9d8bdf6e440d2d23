// The UNI C. page: the target ranges, the grey range bar and the new-colour
// bars worked by hand, the conversion against its literal form over a
// corpus, and the page through the whole program: a picture of a few flat
// colours converted exactly in its grey range, every store path (the entry
// save, "set KEEP8", Save, a driver script) byte for byte, picks only on the
// picture, no preview or chart in what is stored, and the golden screen.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <tuple>
#include <string>
#include <vector>

#include "app/program.h"
#include "image/bmp_files.h"
#include "image/gray.h"
#include "image/planes.h"
#include "image/sample_scene.h"
#include "pages/colour/range_convert.h"
#include "pages/colour/uni_c_page.h"
#include "pages/kit/page_state.h"
#include "pages/pattern/outline_state.h"
#include "panel/calculator.h"
#include "platform/headless.h"
#include "reference/range_convert_literal.h"
#include "support/golden.h"
#include "support/program_session.h"

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
  std::array<std::vector<std::uint32_t>, 3> planes;
  for (auto& p : planes) p.assign(static_cast<std::size_t>(Stride) * CanvasRows, 0);
  // The pixel under client (x, y) is column x - 100, plane row 704 - y.
  planes[2][static_cast<std::size_t>(1) * Stride + 1] = 9;        // under client (101, 703)
  planes[2][static_cast<std::size_t>(671) * Stride + 959] = 300;  // under client (1059, 33); low byte 44
  const PlaneView view{{planes[0].data(), planes[1].data(), planes[2].data()}, Stride, CanvasRows};
  UniRgb c;
  int gray = -1;
  for (auto [x, y] : std::vector<std::pair<int, int>>{{100, 400}, {1060, 400}, {1070, 400}, {500, 32}, {500, 20},
                                                      {500, 704}}) {
    EXPECT_FALSE(PickOnPicture(view, x, y, c, gray)) << x << "," << y;
  }
  ASSERT_TRUE(PickOnPicture(view, 101, 703, c, gray));
  EXPECT_EQ(c, (UniRgb{9, 0, 0}));
  ASSERT_TRUE(PickOnPicture(view, 102, 703, c, gray));
  EXPECT_EQ(c, (UniRgb{0, 0, 0}));
  ASSERT_TRUE(PickOnPicture(view, 1059, 33, c, gray));
  EXPECT_EQ(c, (UniRgb{44, 0, 0}));
  EXPECT_EQ(gray, 13);  // 44 * 0.299 = 13.16
}

// ---- The fast conversion against the literal one, over a corpus.

struct Planes3 {
  std::array<std::vector<std::uint32_t>, 3> plane;
  PlaneView View() { return {{plane[0].data(), plane[1].data(), plane[2].data()}, Stride, CanvasRows}; }
};

Planes3 PlanesOf(std::uint32_t (*sample)(int x, int row, int k)) {
  Planes3 p;
  for (int k = 0; k < 3; ++k) {
    p.plane[static_cast<std::size_t>(k)].resize(static_cast<std::size_t>(Stride) * CanvasRows);
    for (int row = 0; row < CanvasRows; ++row)
      for (int x = 0; x < Stride; ++x)
        p.plane[static_cast<std::size_t>(k)][static_cast<std::size_t>(row) * Stride + x] = sample(x, row, k);
  }
  return p;
}

TEST(RangeConvert, FastConversionEqualsTheLiteralOne) {
  std::vector<Planes3> corpus;
  corpus.push_back(PlanesOf([](int x, int, int) { return x < 480 ? 124u : 54u; }));
  corpus.push_back(PlanesOf([](int x, int row, int k) { return static_cast<std::uint32_t>((x + row * (k + 1)) / 3 % 256); }));
  corpus.push_back(PlanesOf([](int x, int row, int k) {
    unsigned h = static_cast<unsigned>(x * 7919 + row * 104729 + k * 1299709);
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    return (h >> 24) + ((x + row) % 97 == 0 ? 200u : 0u);  // now and then a sample above 255
  }));
  const Picture scene = MakeSampleScene(Stride, CanvasRows);
  corpus.push_back(PlanesOf([](int, int, int) { return 0u; }));
  for (int row = 0; row < CanvasRows; ++row)
    for (int x = 0; x < Stride; ++x)
      for (std::size_t k = 0; k < 3; ++k)
        corpus.back().plane[k][static_cast<std::size_t>(row) * Stride + x] =
            scene.rgb[(static_cast<std::size_t>(CanvasRows - 1 - row) * Stride + x) * 3 + (2 - k)];
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

// Client points of the controls.
constexpr int TabY = 10, UniCTabX = 128 + 56 * 8, SaveTabX = 900;
// "1)target" at a given x (it goes off only from x 9 on), the dark reset
// mark and the red value box ("%3d", as the others); the other controls are
// clicked by their labels.
constexpr int TargetY = 98;
constexpr int DarkResetX = 20, ResetY = 40;
constexpr int RedBoxX = 12, RedBoxY = 364;

// A driver script's click on the control labelled `label`.
std::string ClickLine(const char* label) {
  const ControlPoint point = ControlOf(PageUniC, label);
  return "click " + std::to_string(point.x) + " " + std::to_string(point.y) + "\n";
}

// A (200, 100, 50), grey 124, in columns 0..99; B (30, 60, 90), grey 54, in
// 100..149; black in 150..199. 200 x 100.
constexpr Rgb ColourA{200, 100, 50}, ColourB{30, 60, 90};
Rgb ThreeBlocks(int x, int) { return x < 100 ? ColourA : x < 150 ? ColourB : Rgb{0, 0, 0}; }
// Client points on each block.
constexpr int OnAX = 150, OnBX = 220, OnBlackX = 280, BlockY = 100;

using CanvasBytes = std::vector<std::uint8_t>;

CanvasBytes PictureCanvas() {
  CanvasBytes c(CanvasByteCount, 255);
  for (int row = CanvasRows - 100; row < CanvasRows; ++row)
    for (int x = 0; x < 200; ++x) {
      const Rgb p = ThreeBlocks(x, 0);
      const std::size_t i = (static_cast<std::size_t>(row) * Stride + x) * 3;
      c[i] = p.b;
      c[i + 1] = p.g;
      c[i + 2] = p.r;
    }
  WhitenOutside(c.data(), 200, 100, Stride, CanvasRows);
  return c;
}

// Every pixel of one colour replaced by another.
CanvasBytes Replaced(CanvasBytes c, Rgb from, Rgb to) {
  for (std::size_t i = 0; i < c.size(); i += 3) {
    if (c[i] == from.b && c[i + 1] == from.g && c[i + 2] == from.r) {
      c[i] = to.b;
      c[i + 1] = to.g;
      c[i + 2] = to.r;
    }
  }
  return c;
}

struct UniCSession {
  ProgramSession s;
  UniCSession() { s.StartOnPage(8, ThreeBlocks, 200, 100); }
};

TEST(UniCPage, EntryStoresKeep8AndADroppedConversionChangesNothing) {
  struct {
    ProgramSession s;
  } u;
  WriteTestPicture(u.s.PathIn("blocks.bmp"), 200, 100, ThreeBlocks);
  u.s.Start(u.s.PathIn("blocks.bmp"));
  Outline.judgeMode = 1;  // as the VANTOR EYE page leaves it
  u.s.Click(UniCTabX, TabY);
  const CanvasBytes picture = PictureCanvas();
  EXPECT_EQ(Outline.judgeMode, 2);  // the page's grey target mode
  EXPECT_EQ(CanvasDifference(FileBytes(u.s.PathIn("KEEP8.bmp")), KeepFileOf(picture)), "");
  EXPECT_EQ(CanvasDifference(u.s.ShownCanvas(), picture), "");
  // Right after entry the target is black: "all" and "set KEEP8" change nothing.
  u.s.ClickControl(PageUniC, "all");
  EXPECT_EQ(CanvasDifference(u.s.ShownCanvas(), picture), "");
  EXPECT_EQ(std::pair(UniCPage.weightOld, UniCPage.weightNew), std::pair(1, 1));
  EXPECT_EQ(u.s.Pixel(50, 554), (Rgb{64, 64, 64}));  // the blend meter's mark at x 50
  std::filesystem::remove(u.s.PathIn("KEEP8.bmp"));
  u.s.ClickControl(PageUniC, "set KEEP8");
  EXPECT_EQ(CanvasDifference(FileBytes(u.s.PathIn("KEEP8.bmp")), KeepFileOf(picture)), "");
}

TEST(UniCPage, ConvertsExactlyThePixelsInTheGreyRange) {
  UniCSession u;
  const CanvasBytes picture = PictureCanvas();
  u.s.ClickControl(PageUniC, "1)target");
  u.s.Click(OnAX, BlockY);
  const UniCSettings& v = UniCPage.values;
  EXPECT_EQ(v.target, (UniRgb{200, 100, 50}));
  EXPECT_EQ(std::pair(v.lo, v.hi), std::pair(124, 124));
  // The preview: the grey range (A only) shown white.
  EXPECT_EQ(CanvasDifference(u.s.ShownCanvas(), Replaced(picture, ColourA, White)), "");

  // The new colour from the picture: B.
  u.s.ClickControl(PageUniC, "2)convert");
  EXPECT_EQ(UniCPage.values.targetOn, 0);
  u.s.Click(OnBX, BlockY);
  EXPECT_EQ(v.newColour, (UniRgb{30, 60, 90}));
  EXPECT_EQ(CanvasDifference(u.s.ShownCanvas(), picture), "");  // no preview with the target switch off

  // "all": every pixel of grey 124 takes B, exactly; the others keep theirs.
  u.s.ClickControl(PageUniC, "all");
  const CanvasBytes converted = Replaced(picture, ColourA, ColourB);
  EXPECT_EQ(CanvasDifference(u.s.ShownCanvas(), converted), "");
  EXPECT_EQ(std::pair(UniCPage.weightOld, UniCPage.weightNew), std::pair(0, 1));
  EXPECT_EQ(u.s.Pixel(92, 554), (Rgb{64, 64, 64}));  // the meter's mark moved to x 92
  // A conversion shows for one paint.
  u.s.ClickControl(PageUniC, "LClickImage");  // an explanation only
  EXPECT_EQ(CanvasDifference(u.s.ShownCanvas(), picture), "");

  // "set KEEP8" converts and stores; the conversion is then the image.
  u.s.ClickControl(PageUniC, "set KEEP8");
  EXPECT_EQ(CanvasDifference(FileBytes(u.s.PathIn("KEEP8.bmp")), KeepFileOf(converted)), "");
  u.s.ClickControl(PageUniC, "LClickImage");
  EXPECT_EQ(CanvasDifference(u.s.ShownCanvas(), converted), "");

  // Save stores the shown picture, 200 x 100.
  u.s.dialogs().QueueFile(u.s.PathIn("saved.bmp"));
  u.s.Click(SaveTabX, TabY);
  const auto expected = EncodeBmp(200, 100, 0, [&](int row, std::uint8_t* out) {
    std::copy_n(converted.begin() + static_cast<std::ptrdiff_t>(CanvasRows - 100 + row) * Stride * 3, 200 * 3, out);
  });
  EXPECT_EQ(CanvasDifference(FileBytes(u.s.PathIn("saved.bmp")), expected), "");

  // The dark reset mark: entry values again, and KEEP8 read back (the
  // converted image, which "set KEEP8" stored).
  u.s.Click(DarkResetX, ResetY);
  EXPECT_EQ(UniCPage.values.lo, 255);
  EXPECT_EQ(UniCPage.values.newColour, (UniRgb{255, 255, 255}));
  EXPECT_EQ(CanvasDifference(u.s.ShownCanvas(), converted), "");
}

// Two colours over the whole canvas (nothing whitened): A left, B right.
Rgb TwoColours(int x, int) { return x < 480 ? ColourA : ColourB; }

TEST(UniCPage, OnATwoColourPictureExactlyTheGreyRangeConverts) {
  ProgramSession s;
  s.StartOnPage(8, TwoColours, Stride, CanvasRows);
  s.ClickControl(PageUniC, "1)target");
  s.Click(300, 300);  // A: grey 124
  s.ClickControl(PageUniC, "2)convert");
  s.Click(800, 300);  // B as the new colour ...
  s.Click(93, 364);   // ... with red + 8: (38, 60, 90)
  EXPECT_EQ(UniCPage.values.newColour, (UniRgb{38, 60, 90}));
  s.ClickControl(PageUniC, "all");
  CanvasBytes expected(CanvasByteCount);
  for (std::size_t i = 0; i < expected.size(); i += 3) {
    const bool left = i / 3 % Stride < 480;
    const Rgb p = left ? Rgb{38, 60, 90} : ColourB;
    expected[i] = p.b;
    expected[i + 1] = p.g;
    expected[i + 2] = p.r;
  }
  EXPECT_EQ(CanvasDifference(s.ShownCanvas(), expected), "");
  // Widening the range by hand to take in B's grey 54 converts both.
  s.Click(5, 288);  // lo - 8 ...
  for (int i = 0; i < 9; ++i) s.Click(5, 288);
  EXPECT_EQ(UniCPage.values.lo, 44);
  s.ClickControl(PageUniC, "all");
  for (std::size_t i = 0; i < expected.size(); i += 3) {
    expected[i] = 90;
    expected[i + 1] = 60;
    expected[i + 2] = 38;
  }
  EXPECT_EQ(CanvasDifference(s.ShownCanvas(), expected), "");
}

TEST(UniCPage, NoPreviewGoesIntoKeep8OrASavedFile) {
  UniCSession u;
  const CanvasBytes picture = PictureCanvas();
  u.s.ClickControl(PageUniC, "1)target");
  u.s.Click(OnAX, BlockY);      // the range: grey 124
  u.s.Click(OnBlackX, BlockY);  // the target is now black: conversions are dropped
  EXPECT_EQ(UniCPage.values.target, (UniRgb{0, 0, 0}));
  EXPECT_EQ(std::pair(UniCPage.values.lo, UniCPage.values.hi), std::pair(124, 124));
  EXPECT_EQ(CanvasDifference(u.s.ShownCanvas(), Replaced(picture, ColourA, White)), "");  // still previewed
  u.s.ClickControl(PageUniC, "set KEEP8");
  EXPECT_EQ(CanvasDifference(FileBytes(u.s.PathIn("KEEP8.bmp")), KeepFileOf(picture)), "");
  u.s.dialogs().QueueFile(u.s.PathIn("saved.bmp"));
  u.s.Click(SaveTabX, TabY);
  const auto expected = EncodeBmp(200, 100, 0, [&](int row, std::uint8_t* out) {
    std::copy_n(picture.begin() + static_cast<std::ptrdiff_t>(CanvasRows - 100 + row) * Stride * 3, 200 * 3, out);
  });
  EXPECT_EQ(CanvasDifference(FileBytes(u.s.PathIn("saved.bmp")), expected), "");
  // The chart is not stored either.
  u.s.ClickControl(PageUniC, "chart");
  u.s.ClickControl(PageUniC, "set KEEP8");
  EXPECT_EQ(CanvasDifference(FileBytes(u.s.PathIn("KEEP8.bmp")), KeepFileOf(picture)), "");
}

TEST(UniCPage, PicksOnlyOnThePicture) {
  UniCSession u;
  u.s.ClickControl(PageUniC, "1)target");
  u.s.Click(OnAX, BlockY);
  // Right of the picture, above it (the tab row right of the tabs) and below
  // it: nothing is read, so the white and the rows beyond never widen the range.
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
  u.s.ClickControl(PageUniC, "2)convert");
  u.s.ClickControl(PageUniC, "chart");
  u.s.Click(150, 500);  // the square: red 683 - 500, green g_c 0, blue 50
  EXPECT_EQ(UniCPage.values.newColour, (UniRgb{183, 0, 50}));
  EXPECT_EQ(u.s.Pixel(150, 500), (Rgb{183, 0, 50}));  // the chart is shown
  u.s.Click(200, 690);  // the green strip: g_c 100; the image under it is not read
  EXPECT_EQ(UniCPage.values.chartGreen, 100);
  EXPECT_EQ(UniCPage.values.newColour, (UniRgb{183, 0, 50}));
  u.s.Click(150, 500);
  EXPECT_EQ(UniCPage.values.newColour, (UniRgb{183, 100, 50}));
  // The green bar's right arrow: + 8, and the switches go off.
  u.s.Click(93, 388);
  EXPECT_EQ(UniCPage.values.newColour.green, 108);
  EXPECT_EQ(UniCPage.values.chartOn, 0);
  EXPECT_EQ(UniCPage.values.newColourOn, 0);
  u.s.Click(50, 412);  // the blue bar: (50 - 24) * 255 / 52 = 127
  EXPECT_EQ(UniCPage.values.newColour.blue, 127);
  // The calculator on red: 183 - 50.
  u.s.Click(RedBoxX, RedBoxY);
  EXPECT_EQ(Calc.on, 1);
  EXPECT_EQ(UniCPage.values.calculatorChannel, UniCChannelRed);
  u.s.Click(49, 679);  // 5
  u.s.Click(20, 719);  // 0
  u.s.Click(49, 739);  // minus
  EXPECT_EQ(UniCPage.values.newColour.red, 133);
  u.s.Click(74, 633);  // "ＡＣ": red 0
  EXPECT_EQ(UniCPage.values.newColour.red, 0);
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
  EXPECT_EQ(std::pair(Calc.on, v.picking), std::pair(true, false));
  u.s.ClickControl(PageUniC, "appoint");
  EXPECT_EQ(std::pair(Calc.on, v.picking), std::pair(false, true));
  // A click on the grey range bar: a manual edit, every switch off.
  u.s.ClickControl(PageUniC, "1)target");
  u.s.ClickControl(PageUniC, "chart");
  u.s.Click(93, 288);
  EXPECT_EQ(std::tuple(v.picking, v.targetOn, v.newColourOn, v.chartOn), std::tuple(0, 0, 0, 0));
}

TEST(UniCPage, ADriverScriptStoresTheConversionAsKeep8) {
  ProgramSession folder;
  WriteTestPicture(folder.PathIn("blocks.bmp"), 200, 100, ThreeBlocks);
  const std::string script = "open blocks.bmp\n"
                             "click 576 10     # UNI C.\n" +
                             ClickLine("1)target") +
                             "click 150 100    # on A\n" +
                             ClickLine("2)convert") +
                             "click 220 100    # on B\n" +
                             ClickLine("set KEEP8") +
                             "save-as saved.bmp\n"
                             "click 900 10     # Save\n";
  const DriverRun run = RunDriverScript(folder.Folder(), script);
  ASSERT_TRUE(run.ok) << run.error;
  const CanvasBytes converted = Replaced(PictureCanvas(), ColourA, ColourB);
  EXPECT_EQ(CanvasDifference(FileBytes(folder.PathIn("KEEP8.bmp")), KeepFileOf(converted)), "");
  const auto saved = EncodeBmp(200, 100, 0, [&](int row, std::uint8_t* out) {
    std::copy_n(converted.begin() + static_cast<std::ptrdiff_t>(CanvasRows - 100 + row) * Stride * 3, 200 * 3, out);
  });
  EXPECT_EQ(CanvasDifference(FileBytes(folder.PathIn("saved.bmp")), saved), "");
}

// A picture whose rows carry their number (red = row % 256, green = row /
// 256, counted from the top): a pick at client y reads plane row 704 - y,
// that is picture row 671 - (704 - y) = y - 33, as every other page does.
Rgb RowCoded(int, int y) { return Rgb{static_cast<std::uint8_t>(y % 256), static_cast<std::uint8_t>(y / 256), 7}; }

TEST(UniCPage, APickReadsThePixelUnderTheClickAsEveryPageDoes) {
  ProgramSession folder;
  WriteTestPicture(folder.PathIn("rows.bmp"), 960, 672, RowCoded);
  for (const auto& [y, row] : std::vector<std::pair<int, int>>{{300, 267}, {33, 0}, {703, 670}}) {
    const DriverRun run = RunDriverScript(folder.Folder(), "open rows.bmp\n"
                                           "click 576 10     # UNI C.\n" +
                                               ClickLine("1)target") + "click 500 " + std::to_string(y) + "\n");
    ASSERT_TRUE(run.ok) << run.error;
    EXPECT_EQ(UniCPage.values.target, (UniRgb{row % 256, row / 256, 7})) << "client y " << y;
  }
}

TEST(UniCPageGolden, ChartAndTargetOnTheSampleInEnglish) {
  const std::string sample = std::string(VZ_BINARY_DIR) + "/tools/sample/golden-sample.bmp";
  const std::string tool = std::string(VZ_BINARY_DIR) + "/tools/sample/vazesample-sample " + sample;
  ASSERT_EQ(std::system(tool.c_str()), 0);
  ProgramSession s;
  s.Start(sample);
  s.ClickControl(PageTop, "ENGLISH");  // TOP's language switch
  s.Click(UniCTabX, TabY);
  s.ClickControl(PageUniC, "1)target");
  s.Click(700, 200);
  s.Click(800, 150);
  s.ClickControl(PageUniC, "2)convert");
  s.ClickControl(PageUniC, "chart");
  s.Click(300, 470);
  EXPECT_GOLDEN("uni_c_chart", s.window().Shown());
}

}  // namespace
