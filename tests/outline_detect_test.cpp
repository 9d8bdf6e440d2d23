// The pixel work of the Outline and Pattern pages: the three detectors by
// hand-worked edges and against their literal forms over a corpus, the judge
// arrows, the local contrast, the brush disc and pressure, the zone range,
// the zone, the stencil and the "no window" rule.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

#include "image/gray.h"
#include "pages/pattern/brush.h"
#include "ops/local_contrast.h"
#include "ops/outline_detect.h"
#include "pages/pattern/zones.h"
#include "reference/outline_literal.h"
#include "support/view_corpus.h"

namespace {

constexpr OutlineRgb Red{255, 0, 0};
using Canvas = std::vector<std::uint8_t>;

bool IsRed(const Canvas& canvas, int row, int column) { return CanvasRgb(canvas, row, column) == Rgb{255, 0, 0}; }

// Columns of one row painted red.
std::vector<int> RedColumns(const Canvas& canvas, int row) {
  std::vector<int> columns;
  for (int c = 0; c < Stride; ++c)
    if (IsRed(canvas, row, c)) columns.push_back(c);
  return columns;
}

// Planes whose pixel is colour(column) in every row.
TestPlanes Columns(Rgb (*colour)(int column)) {
  TestPlanes p;
  for (int row = 0; row < CanvasRows; ++row)
    for (int c = 0; c < Stride; ++c) p.Set(row, c, colour(c).r, colour(c).g, colour(c).b);
  return p;
}
// A vertical edge: grey `left` for columns < 480, grey `right` from 480 on.
TestPlanes VerticalEdge(int left, int right) {
  TestPlanes p;
  for (int row = 0; row < CanvasRows; ++row)
    for (int c = 0; c < Stride; ++c) {
      const int v = c < 480 ? left : right;
      p.Set(row, c, v, v, v);
    }
  return p;
}

Canvas Detect(TestPlanes& p, int width, int judge, int mode) {
  Canvas canvas = p.Canvas();
  PaintOutlinePixels(p.View(), canvas.data(), Stride, Stride, CanvasRows, OutlineSettings{width, judge, mode, Red});
  return canvas;
}

// The view corpus and sharp blocks.
std::vector<TestPlanes> Corpus() {
  std::vector<TestPlanes> corpus = ViewCorpus();
  TestPlanes& blocks = corpus.emplace_back();
  blocks.name = "blocks";
  for (int r = 0; r < CanvasRows; ++r)
    for (int c = 0; c < Stride; ++c) {
      const int v = ((r / 5 + c / 7) % 3) * 100;
      blocks.Set(r, c, v, 255 - v, (v * 7) % 256);
    }
  return corpus;
}

TEST(OutlineDetect, FineOutlinesAGreyEdgeOfThirtyInTwoColumnsButNotOneOfSixteen) {
  TestPlanes strong = VerticalEdge(100, 130), weak = VerticalEdge(100, 116);
  EXPECT_EQ(RedColumns(Detect(strong, FineWidth, 16, 2), 300), (std::vector<int>{479, 480}));
  EXPECT_TRUE(RedColumns(Detect(weak, FineWidth, 16, 2), 300).empty());  // 16 is not greater than 16
  EXPECT_EQ(RedColumns(Detect(weak, FineWidth, 15, 2), 300), (std::vector<int>{479, 480}));
}

TEST(OutlineDetect, MiddleAndFatReachFurtherFromTheEdge) {
  TestPlanes edge = VerticalEdge(0, 200);
  // Middle, column 478: the + side of H holds (x, 1..2) offsets -> 1 of 8 per
  // row at column 480 -> means differ by 200 * 3 / 8 = 75 > 16.
  EXPECT_EQ(RedColumns(Detect(edge, MiddleWidth, 16, 2), 300), (std::vector<int>{478, 479, 480, 481}));
  EXPECT_EQ(RedColumns(Detect(edge, FatWidth, 16, 2), 300), (std::vector<int>{477, 478, 479, 480, 481, 482}));
}

TEST(OutlineDetect, FlatPatchesAndBordersAreNeverOutlined) {
  TestPlanes flat = FlatPlanes(77, 77, 77);
  for (int width : {1, 2, 3})
    for (int mode : {1, 2}) EXPECT_EQ(Detect(flat, width, 1, mode), flat.Canvas()) << width << " " << mode;
  // Noise at full strength with judge 0 outlines everything it may reach:
  // exactly the border stays.
  TestPlanes noise = NoisePlanes(7);
  for (int width : {1, 2, 3}) {
    const Canvas canvas = Detect(noise, width, -1, 2);
    const int b = OutlineBorder(width);
    for (int r = 0; r < CanvasRows; ++r)
      for (int c = 0; c < Stride; ++c) {
        const bool inside = r >= b && r < CanvasRows - b && c >= b && c < Stride - b;
        ASSERT_EQ((inside ? Rgb{255, 0, 0} : noise.PixelAt(r, c)), CanvasRgb(canvas, r, c)) << width << " " << r << " " << c;
      }
  }
}

TEST(OutlineDetect, EveryChannelModeNeedsAllThreeChannelsToDiffer) {
  // Red and green step by 60, blue stays: mode 1 finds nothing, mode 2 does.
  TestPlanes p = Columns([](int c) { return c < 480 ? Rgb{40, 40, 90} : Rgb{100, 100, 90}; });
  EXPECT_TRUE(RedColumns(Detect(p, FineWidth, 16, 1), 200).empty());
  EXPECT_EQ(RedColumns(Detect(p, FineWidth, 16, 2), 200), (std::vector<int>{479, 480}));
  p = Columns([](int c) { return c < 480 ? Rgb{40, 40, 90} : Rgb{100, 100, 150}; });
  EXPECT_EQ(RedColumns(Detect(p, FineWidth, 16, 1), 200), (std::vector<int>{479, 480}));
}

TEST(OutlineDetect, FastFormsGiveTheLiteralBytesOverTheCorpus) {
  // Every picture with every detector and mode, the judge value taking its
  // turns (the literal forms are slow on purpose).
  constexpr std::array<int, 3> judges = {4, 16, 40};
  std::size_t turn = 0;
  for (TestPlanes& picture : Corpus()) {
    for (int width : {1, 2, 3}) {
      for (int mode : {1, 2}) {
        const int judge = judges[turn++ % 3];
        Canvas fast = picture.Canvas(), literal = fast;
        const OutlineSettings settings{width, judge, mode, Red};
        PaintOutlinePixels(picture.View(), fast.data(), Stride, Stride, CanvasRows, settings);
        LiteralOutline(picture.View(), literal.data(), Stride, Stride, CanvasRows, settings);
        ASSERT_TRUE(fast == literal) << picture.name << " width " << width << " mode " << mode << " judge " << judge;
      }
    }
  }
}

TEST(OutlineDetect, SamplesAbove255TakeTheExactForm) {
  TestPlanes p = VerticalEdge(100, 130);
  p.Set(300, 100, 70000, 3, 5);
  Canvas fast = p.Canvas(), literal = fast;
  PaintOutlinePixels(p.View(), fast.data(), Stride, Stride, CanvasRows, OutlineSettings{MiddleWidth, 16, 2, Red});
  LiteralOutline(p.View(), literal.data(), Stride, Stride, CanvasRows, OutlineSettings{MiddleWidth, 16, 2, Red});
  EXPECT_TRUE(fast == literal);
  EXPECT_TRUE(IsRed(fast, 300, 101));  // a neighbour: the middle regions leave the centre out
}

TEST(OutlineDetect, JudgeArrowsStepByTwoOrFourWithin1To99) {
  struct Case {
    int value, width, direction, expected;
  };
  constexpr std::array<Case, 8> cases = {{
      {16, 1, +1, 18}, {16, 2, +1, 20}, {16, 3, -1, 12}, {16, 1, -1, 14},
      {98, 1, +1, 99}, {97, 3, +1, 99}, {2, 2, -1, 1},   {1, 1, -1, 1},
  }};
  for (const Case& c : cases) EXPECT_EQ(StepJudgeValue(c.value, c.width, c.direction), c.expected);
  int v = 16;
  for (int i = 0; i < 60; ++i) v = StepJudgeValue(v, 1, +1);
  EXPECT_EQ(v, 99);
  for (int i = 0; i < 60; ++i) v = StepJudgeValue(v, 2, -1);
  EXPECT_EQ(v, 1);
}

TEST(LocalContrast, PushesAroundTheMedianOfTheWindow) {
  // Left half of the window grey 50, right half grey 200: 49 rows x 25
  // columns of 200 (columns 500..524) against 24 of 50, so the median
  // (position 1200 of 2401 descending) is 200.
  const auto split = [] { return Columns([](int c) { return c < 500 ? Rgb{50, 50, 50} : Rgb{200, 200, 200}; }); };
  TestPlanes p = split();
  const auto medianAt = [&](int column, const CanvasArea& area) {
    return LocalContrastMedian(p.View(), Stride, CanvasRows, LocalContrastSettings{{column, 300}, area});
  };
  // 25 columns of 50 at column 499. On a picture 505 columns wide the window
  // at column 500 holds columns 476..504: 24 of 50 against 5 of 200, so the
  // median is 50, and nothing right of the picture is read or written.
  constexpr CanvasArea narrow{0, 0, 505, CanvasRows};
  EXPECT_EQ((std::array{medianAt(500, WholeCanvas), medianAt(501, WholeCanvas), medianAt(499, WholeCanvas),
                        medianAt(500, narrow)}),
            (std::array<std::int64_t, 4>{200, 200, 50, 50}));
  Canvas canvas = p.Canvas();
  ApplyLocalContrast(p.View(), canvas.data(), Stride, Stride, CanvasRows, LocalContrastSettings{{500, 300}, narrow, true});
  // 4 from the centre: push trunc(24 (1 - (1/6)^3)) = 23.
  EXPECT_EQ(std::tuple(p.At(0, 300, 504), p.At(0, 300, 505), canvas[3 * (300 * Stride + 505)]), std::tuple(223u, 200u, 200));
  EXPECT_EQ((std::array{LocalContrastPush(0, 0), LocalContrastPush(24, 0), LocalContrastPush(12, 0), LocalContrastPush(30, 30)}),
            (std::array{24, 0, 21, 0}));  // 12 from the centre: 24 (1 - 1/8)
  p = split();
  canvas = p.Canvas();
  ApplyLocalContrast(p.View(), canvas.data(), Stride, Stride, CanvasRows, LocalContrastSettings{{500, 300}, WholeCanvas, false});
  // 200 is not below 200: up by 24; 12 left of the centre: 50 - 21; at the
  // radius 0; outside the window nothing. A preview leaves the planes.
  const auto at = [&](int column) { return canvas[3 * (static_cast<std::size_t>(300) * Stride + column)]; };
  EXPECT_EQ((std::array{at(500), at(488), at(476), at(475)}), (std::array<std::uint8_t, 4>{224, 50 - 21, 50, 50}));
  EXPECT_EQ(p.At(0, 300, 500), 200u);
  ApplyLocalContrast(p.View(), canvas.data(), Stride, Stride, CanvasRows, LocalContrastSettings{{500, 300}, WholeCanvas, true});
  EXPECT_EQ(p.At(0, 300, 500), 224u);
}

TEST(LocalContrast, FastFormGivesTheLiteralBytesAtCornersEdgesAndInside) {
  constexpr std::array<std::array<int, 2>, 7> points = {{{0, 0}, {959, 671}, {480, 336}, {10, 600}, {959, 0}, {30, 671}, {700, 23}}};
  for (TestPlanes& picture : Corpus()) {
    for (const auto& point : points) {
      TestPlanes copy = picture;
      Canvas fast = picture.Canvas(), literal = fast;
      const LocalContrastSettings settings{{point[0], point[1]}, WholeCanvas, true};
      ApplyLocalContrast(picture.View(), fast.data(), Stride, Stride, CanvasRows, settings);
      LiteralLocalContrast(copy.View(), literal.data(), Stride, Stride, CanvasRows, settings);
      ASSERT_TRUE(fast == literal) << picture.name << " at " << point[0] << ", " << point[1];
      ASSERT_TRUE(picture.plane == copy.plane) << picture.name;
    }
  }
}

TEST(Brush, DiscRadiusFollowsThePressure) {
  struct Case {
    int size, pressure, area, radius;
  };
  constexpr std::array<Case, 7> cases = {{
      {6, 100, 36, 6}, {6, 40, 14, 3}, {6, 70, 25, 5}, {4, 100, 16, 4}, {2, 100, 4, 2}, {2, 40, 1, 1}, {6, 99, 35, 5},
  }};
  for (const Case& c : cases) {
    const BrushDisc disc = BrushDiscOf(c.size, c.pressure);
    EXPECT_EQ(std::pair(disc.area, disc.radius), std::pair(c.area, c.radius)) << c.size << " " << c.pressure;
  }
  // a = 14: the disc is the pixels with dx^2 + dy^2 <= 14 (45 of them), not
  // the full radius-3 square or the pixels within distance 3 (29): (2, 3) is
  // in it (13), (3, 3) not (18).
  std::vector<std::uint8_t> mask(static_cast<std::size_t>(Stride) * CanvasRows, 0);
  MarkBrushDisc(mask.data(), Stride, CanvasRows, WholeCanvas, CanvasPixel{100, 100}, 6, 40);
  EXPECT_EQ(std::count(mask.begin(), mask.end(), 1), 45);
  EXPECT_EQ(mask[103 * Stride + 102], 1);
  EXPECT_EQ(mask[103 * Stride + 103], 0);
  EXPECT_EQ((std::array{BrushSizeOf(0), BrushSizeOf(1), BrushSizeOf(2), BrushSizeOf(3)}), (std::array{2, 2, 4, 6}));
}

TEST(Brush, PressureFallsWithTheLengthBetweenReleases) {
  struct Case {
    int dx, dy, pressure;
  };
  constexpr std::array<Case, 9> cases = {{
      {0, 0, 100}, {19, 0, 100}, {20, 0, 100}, {12, 16, 100}, {30, 40, 40}, {33, 44, 40}, {0, -35, 70}, {0, 49, 42},
      {55, 0, 40},  // then discs of size 6 have a = 14, radius 3
  }};
  for (const Case& c : cases) EXPECT_EQ(PressureAfterStroke(c.dx, c.dy), c.pressure) << c.dx << " " << c.dy;
}

TEST(Brush, StrokesAtTheFourBordersStayInsideAndNeverPaintRowOrColumnZero) {
  std::vector<std::uint8_t> mask(static_cast<std::size_t>(Stride) * CanvasRows + 16, 7);
  std::fill(mask.begin(), mask.begin() + Stride * CanvasRows, 0);
  constexpr std::array<std::array<int, 2>, 8> centres = {{{0, 300}, {959, 300}, {400, 0}, {400, 671}, {-3, -3}, {962, 674}, {0, 0}, {959, 671}}};
  for (const auto& c : centres) MarkBrushDisc(mask.data(), Stride, CanvasRows, WholeCanvas, CanvasPixel{c[0], c[1]}, 6, 100);
  for (std::size_t i = Stride * CanvasRows; i < mask.size(); ++i) EXPECT_EQ(mask[i], 7);  // nothing past the end
  EXPECT_EQ((std::array{mask[300 * Stride + 0], mask[300 * Stride + 959], mask[0 * Stride + 400], mask[671 * Stride + 400]}),
            (std::array<std::uint8_t, 4>{1, 1, 1, 1}));
  Canvas canvas(static_cast<std::size_t>(CanvasByteCount), 9);
  PaintBrushMask(canvas.data(), mask.data(), Stride, CanvasRows, WholeCanvas, {1, 2, 3});
  for (int c = 0; c < Stride; ++c) ASSERT_EQ(canvas[3 * static_cast<std::size_t>(c)], 9);
  for (int r = 0; r < CanvasRows; ++r) ASSERT_EQ(canvas[3 * static_cast<std::size_t>(r) * Stride], 9);
  EXPECT_EQ(std::pair(CanvasRgb(canvas, 300, 959), CanvasRgb(canvas, 671, 400)), std::pair(Rgb{1, 2, 3}, Rgb{1, 2, 3}));
  TestPlanes p;
  FixBrushMask(p.View(), mask.data(), WholeCanvas, {10, 20, 30});
  EXPECT_EQ(std::tuple(p.PixelAt(300, 959), p.PixelAt(300, 0), p.PixelAt(0, 400), p.PixelAt(1, 400)),
            std::tuple(Rgb{10, 20, 30}, Black, Black, Rgb{10, 20, 30}));
}

// On a 451 x 300 picture (columns 0..450, plane rows 372..671) a disc at the
// picture's bottom-right corner marks only picture pixels, and a mask that
// holds flags beyond the picture is painted and fixed only on the picture.
TEST(Brush, DiscsPaintAndFixesStayOnThePicture) {
  constexpr CanvasArea picture{0, CanvasRows - 300, 451, CanvasRows};
  std::vector<std::uint8_t> mask(static_cast<std::size_t>(Stride) * CanvasRows, 0);
  MarkBrushDisc(mask.data(), Stride, CanvasRows, picture, CanvasPixel{450, 372}, 6, 100);
  // a = 36: only the quarter up and left of the corner is on the picture;
  // by rows dy = 0..6 it holds 7, 6, 6, 6, 5, 4 and 1 pixels.
  EXPECT_EQ(std::count(mask.begin(), mask.end(), 1), 35);
  for (int row = 0; row < CanvasRows; ++row)
    for (int column = 0; column < Stride; ++column)
      if (mask[static_cast<std::size_t>(row) * Stride + column] == 1) {
        ASSERT_TRUE(picture.Contains(CanvasPixel{column, row})) << column << " " << row;
      }
  std::fill(mask.begin(), mask.end(), 1);
  Canvas canvas(static_cast<std::size_t>(CanvasByteCount), 255);
  PaintBrushMask(canvas.data(), mask.data(), Stride, CanvasRows, picture, {0, 0, 0});
  TestPlanes p;
  FixBrushMask(p.View(), mask.data(), picture, {7, 7, 7});
  for (int row = 0; row < CanvasRows; ++row)
    for (int column = 0; column < Stride; ++column) {
      const bool painted = row >= 1 && column >= 1 && picture.Contains(CanvasPixel{column, row});
      ASSERT_EQ(canvas[3 * (static_cast<std::size_t>(row) * Stride + column)], painted ? 0 : 255) << column << " " << row;
      ASSERT_EQ(p.At(0, row, column), painted ? 7u : 0u) << column << " " << row;
    }
}

TEST(Zones, ThreePicksOfLuma80_120_100GiveTheRange80To120) {
  ZoneRange range;
  for (int v : {80, 120, 100}) WidenZoneRange(range, AppointColour{v, v, v, GrayOf(v, v, v)});
  EXPECT_EQ(std::pair(range.lumaMin, range.lumaMax), std::pair(80, 120));
  WidenZoneRange(range, AppointColour{10, 200, 30, GrayOf(30, 200, 10)});
  // (299*30 + 587*200 + 114*10) / 1000 = 127.
  EXPECT_EQ(std::tuple(range.blueMin, range.greenMax, range.redMin, range.lumaMin, range.lumaMax),
            std::tuple(10, 200, 30, 80, 127));
}

TEST(Zones, PicksReadOnlyThePictureAtRow704MinusY) {
  const std::tuple<int, int, bool> picks[] = {{100, 300, false}, {101, 33, true},  {1059, 703, true}, {1060, 300, false},
                                              {500, 10, false} /* a tab */,      {500, 32, false}, {500, 704, false}};
  for (const auto& [x, y, on] : picks) EXPECT_EQ(PickOnPicture(x, y), on) << x << ", " << y;
  Canvas canvas(static_cast<std::size_t>(CanvasByteCount), 0);
  canvas[3 * (671 * Stride + 1) + 2] = 200;  // plane row 671 = 704 - 33
  EXPECT_EQ(SampleCanvas(canvas.data(), Stride, 101, 33).red, 200);
}

// The zone over a canvas-size picture, in grey 255, through the area of a drag.
int ZoneOn(Canvas& canvas, const ZoneRange& range, const AreaRect& area, int areaSwitch, int mode) {
  const ZoneSettings settings{range, ZoneAreaOf(area), areaSwitch, mode, 255};
  return DrawZone(canvas.data(), Stride, Stride, CanvasRows, settings);
}

// A two-colour canvas: grey 60 left of column 300, grey 180 from there on.
Canvas TwoColours() {
  return PlacedCanvas([](int x, int) { return x < 300 ? Rgb{60, 60, 60} : Rgb{180, 180, 180}; });
}

TEST(Zones, ZoneThenStencilFromATwoColourPicture) {
  ZoneRange range;
  WidenZoneRange(range, AppointColour{180, 180, 180, 180});
  Canvas canvas = TwoColours();
  // The whole canvas (the start area): the 180 part becomes white; not with
  // the area switch other than 1.
  EXPECT_EQ(ZoneOn(canvas, range, AreaRect{}, 1, 2), 660 * CanvasRows);
  EXPECT_EQ(ZoneOn(canvas, range, AreaRect{}, 0, 2), 0);
  std::vector<std::uint8_t> mask(static_cast<std::size_t>(Stride) * CanvasRows, 9);
  const int zone = MakePattern(canvas.data(), Stride, mask, Stride, CanvasRows, StencilSettings{255});
  EXPECT_EQ(zone, 660 * CanvasRows);
  EXPECT_FALSE(NoWindow(zone));
  EXPECT_EQ((std::array{canvas[3 * 299], canvas[3 * 300], mask[299], mask[300]}),
            (std::array<std::uint8_t, 4>{192, 255, 1, 0}));
  // Every channel: each of red, green, blue must lie in range.
  canvas = TwoColours();
  range = ZoneRange{};
  WidenZoneRange(range, AppointColour{60, 60, 60, 60});
  EXPECT_EQ(ZoneOn(canvas, range, AreaRect{}, 1, 1), 300 * CanvasRows);
}

TEST(Zones, AnAreaLimitsTheZoneAndAReversedOneSelectsNothing) {
  ZoneRange range;
  WidenZoneRange(range, AppointColour{60, 60, 60, 60});
  Canvas canvas = TwoColours();
  // Columns 10..19, client y 100..109: plane rows 595..604.
  EXPECT_EQ(ZoneOn(canvas, range, AreaRect{10, 100, 19, 109}, 1, 2), 100);
  EXPECT_EQ(CanvasRgb(canvas, 595, 10), White);
  EXPECT_EQ(CanvasRgb(canvas, 594, 10), (Rgb{60, 60, 60}));
  EXPECT_EQ(ZoneOn(canvas, range, AreaRect{19, 109, 10, 100}, 1, 2), 0);
  // An area reaching past the canvas (a drag ending low on the window) is cut.
  EXPECT_EQ(ZoneOn(canvas, range, AreaRect{0, 600, 2000, 799}, 1, 2), 300 * 105 - 0);
}

TEST(Zones, FewerThanTenZonePixelsMeanNoWindow) {
  Canvas canvas(static_cast<std::size_t>(CanvasByteCount), 10);
  std::vector<std::uint8_t> mask(static_cast<std::size_t>(Stride) * CanvasRows, 0);
  for (int i = 0; i < 9; ++i) std::fill_n(canvas.begin() + 3 * i, 3, 255);
  EXPECT_EQ(MakePattern(canvas.data(), Stride, mask, Stride, CanvasRows, StencilSettings{255}), 9);
  EXPECT_TRUE(NoWindow(9));
  EXPECT_FALSE(NoWindow(10));
  EXPECT_EQ(std::count(mask.begin(), mask.end(), 1), Stride * CanvasRows - 9);
}

}  // namespace
