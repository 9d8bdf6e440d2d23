// The pixel work of the Outline and Pattern pages, and both pages through
// the whole program.
//
// [SECTION] Outline detectors: hand-worked edges, the literal forms, the judge arrows
// [SECTION] Local contrast
// [SECTION] Brush: disc, pressure, the borders
// [SECTION] Zones and the stencil
// [SECTION] The Outline page
// [SECTION] The Pattern page

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "image/gray.h"
#include "ops/local_contrast.h"
#include "ops/outline_detect.h"
#include "pages/kit/page_state.h"
#include "pages/pattern/brush.h"
#include "pages/pattern/outline_page.h"
#include "pages/pattern/outline_state.h"
#include "pages/pattern/pattern_page.h"
#include "pages/pattern/zones.h"
#include "panel/calculator.h"
#include "reference/outline_literal.h"
#include "support/golden.h"
#include "support/program_session.h"
#include "support/view_corpus.h"

namespace {

constexpr OutlineRgb Red{255, 0, 0};
using Canvas = std::vector<std::uint8_t>;

std::vector<int> RedColumns(const Canvas& canvas, int row) {
  std::vector<int> columns;
  for (int c = 0; c < Stride; ++c)
    if (CanvasRgb(canvas, row, c) == Rgb{255, 0, 0}) columns.push_back(c);
  return columns;
}

// Planes whose pixel is colour(column) in every row.
TestPlanes Columns(const auto& colour) {
  TestPlanes p;
  for (int row = 0; row < CanvasRows; ++row)
    for (int c = 0; c < Stride; ++c) p.Set(row, c, colour(c).r, colour(c).g, colour(c).b);
  return p;
}
// A vertical edge: grey `left` for columns < 480, grey `right` from 480 on.
TestPlanes VerticalEdge(std::uint8_t left, std::uint8_t right) {
  return Columns([=](int c) { return c < 480 ? Rgb{left, left, left} : Rgb{right, right, right}; });
}

// The red outline the fast form, or the literal one, paints over the planes.
Canvas Detect(TestPlanes& p, int width, int judge, int mode, bool literal = false) {
  Canvas canvas = p.Canvas();
  const OutlineSettings settings{width, judge, mode, Red};
  (literal ? LiteralOutline : PaintOutlinePixels)(p.View(), canvas.data(), Stride, Stride, CanvasRows, settings);
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

// [SECTION] Outline detectors: hand-worked edges, the literal forms, the judge arrows

// Fine outlines a grey edge of 30 in two columns but not one of 16; middle
// and fat reach further from the edge.
TEST(OutlineDetect, EachWidthOutlinesAGreyEdgeInItsColumns) {
  TestPlanes strong = VerticalEdge(100, 130), weak = VerticalEdge(100, 116);
  EXPECT_EQ(RedColumns(Detect(strong, FineWidth, 16, 2), 300), (std::vector<int>{479, 480}));
  EXPECT_TRUE(RedColumns(Detect(weak, FineWidth, 16, 2), 300).empty());  // 16 is not greater than 16
  EXPECT_EQ(RedColumns(Detect(weak, FineWidth, 15, 2), 300), (std::vector<int>{479, 480}));
  TestPlanes edge = VerticalEdge(0, 200);
  // Middle, column 478: the + side of H holds (x, 1..2) offsets -> 1 of 8 per
  // row at column 480 -> means differ by 200 * 3 / 8 = 75 > 16.
  EXPECT_EQ(RedColumns(Detect(edge, MiddleWidth, 16, 2), 300), (std::vector<int>{478, 479, 480, 481}));
  EXPECT_EQ(RedColumns(Detect(edge, FatWidth, 16, 2), 300), (std::vector<int>{477, 478, 479, 480, 481, 482}));
}

TEST(OutlineDetect, FlatPatchesAndBordersAreNeverOutlinedAndEveryChannelNeedsAllThree) {
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
  // Red and green step by 60, blue stays: mode 1 finds nothing, mode 2 does.
  TestPlanes p = Columns([](int c) { return c < 480 ? Rgb{40, 40, 90} : Rgb{100, 100, 90}; });
  EXPECT_TRUE(RedColumns(Detect(p, FineWidth, 16, 1), 200).empty());
  EXPECT_EQ(RedColumns(Detect(p, FineWidth, 16, 2), 200), (std::vector<int>{479, 480}));
  p = Columns([](int c) { return c < 480 ? Rgb{40, 40, 90} : Rgb{100, 100, 150}; });
  EXPECT_EQ(RedColumns(Detect(p, FineWidth, 16, 1), 200), (std::vector<int>{479, 480}));
}

TEST(OutlineDetect, FastFormsGiveTheLiteralBytesAndJudgeArrowsStayWithin1To99) {
  // Every picture with every detector and mode, the judge value taking its
  // turns (the literal forms are slow on purpose).
  constexpr std::array<int, 3> judges = {4, 16, 40};
  std::size_t turn = 0;
  for (TestPlanes& picture : Corpus())
    for (int width : {1, 2, 3})
      for (int mode : {1, 2}) {
        const int judge = judges[turn++ % 3];
        ASSERT_TRUE(Detect(picture, width, judge, mode) == Detect(picture, width, judge, mode, true))
            << picture.name << " width " << width << " mode " << mode << " judge " << judge;
      }
  // Samples above 255 take the exact form.
  TestPlanes p = VerticalEdge(100, 130);
  p.Set(300, 100, 70000, 3, 5);
  const Canvas fast = Detect(p, MiddleWidth, 16, 2);
  EXPECT_TRUE(fast == Detect(p, MiddleWidth, 16, 2, true));
  EXPECT_EQ(CanvasRgb(fast, 300, 101), (Rgb{255, 0, 0}));  // a neighbour: the middle regions leave the centre out
  // The value, the width, the direction and the value after the step.
  constexpr std::array<std::array<int, 4>, 8> steps = {{
      {16, 1, +1, 18}, {16, 2, +1, 20}, {16, 3, -1, 12}, {16, 1, -1, 14},
      {98, 1, +1, 99}, {97, 3, +1, 99}, {2, 2, -1, 1},   {1, 1, -1, 1},
  }};
  for (const auto& [value, width, direction, after] : steps) EXPECT_EQ(StepJudgeValue(value, width, direction), after);
}

// [SECTION] Local contrast

TEST(LocalContrast, PushesAroundTheMedianAndTheFastFormGivesTheLiteralBytes) {
  // Left half of the window grey 50, right half grey 200: 49 rows x 25
  // columns of 200 (columns 500..524) against 24 of 50, so the median
  // (position 1200 of 2401 descending) is 200.
  TestPlanes p = Columns([](int c) { return c < 500 ? Rgb{50, 50, 50} : Rgb{200, 200, 200}; });
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
  EXPECT_EQ((std::array{LocalContrastPush(0, 0), LocalContrastPush(24, 0), LocalContrastPush(12, 0), LocalContrastPush(30, 30)}),
            (std::array{24, 0, 21, 0}));  // 12 from the centre: 24 (1 - 1/8)
  Canvas canvas = p.Canvas();
  ApplyLocalContrast(p.View(), canvas.data(), Stride, Stride, CanvasRows, LocalContrastSettings{{500, 300}, WholeCanvas, false});
  // 200 is not below 200: up by 24; 12 left of the centre: 50 - 21; at the
  // radius 0; outside the window nothing. A preview leaves the planes.
  const auto at = [&](int column) { return canvas[3 * (static_cast<std::size_t>(300) * Stride + column)]; };
  EXPECT_EQ((std::array{at(500), at(488), at(476), at(475)}), (std::array<std::uint8_t, 4>{224, 50 - 21, 50, 50}));
  EXPECT_EQ(p.At(0, 300, 500), 200u);
  canvas = p.Canvas();
  ApplyLocalContrast(p.View(), canvas.data(), Stride, Stride, CanvasRows,
                     LocalContrastSettings{{500, 300}, narrow, true});
  // Fixed into the planes; 4 from the centre: push trunc(24 (1 - (1/6)^3)) = 23.
  EXPECT_EQ(std::tuple(p.At(0, 300, 500), p.At(0, 300, 504), p.At(0, 300, 505), at(505)),
            std::tuple(224u, 223u, 200u, 200));
  constexpr std::array<std::array<int, 2>, 7> points = {{{0, 0}, {959, 671}, {480, 336}, {10, 600}, {959, 0}, {30, 671}, {700, 23}}};
  for (TestPlanes& picture : Corpus())
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

// [SECTION] Brush: disc, pressure, the borders

// The disc's radius follows the pressure, and the pressure falls with the
// length between releases.
TEST(Brush, DiscRadiusFollowsThePressureWhichFallsWithTheStrokesLength) {
  // The size, the pressure, and the disc's area a and radius.
  constexpr std::array<std::array<int, 4>, 7> discs = {{
      {6, 100, 36, 6}, {6, 40, 14, 3}, {6, 70, 25, 5}, {4, 100, 16, 4}, {2, 100, 4, 2}, {2, 40, 1, 1}, {6, 99, 35, 5},
  }};
  for (const auto& [size, pressure, area, radius] : discs) {
    const BrushDisc disc = BrushDiscOf(size, pressure);
    EXPECT_EQ(std::pair(disc.area, disc.radius), std::pair(area, radius)) << size << " " << pressure;
  }
  // a = 14: the disc is the pixels with dx^2 + dy^2 <= 14 (45 of them), not
  // the full radius-3 square or the pixels within distance 3 (29): (2, 3) is
  // in it (13), (3, 3) not (18).
  std::vector<std::uint8_t> mask(static_cast<std::size_t>(Stride) * CanvasRows, 0);
  MarkBrushDisc(mask.data(), Stride, CanvasRows, WholeCanvas, CanvasPixel{100, 100}, 6, 40);
  EXPECT_EQ(std::count(mask.begin(), mask.end(), 1), 45);
  EXPECT_EQ((std::array{mask[103 * Stride + 102], mask[103 * Stride + 103]}), (std::array<std::uint8_t, 2>{1, 0}));
  EXPECT_EQ((std::array{BrushSizeOf(0), BrushSizeOf(1), BrushSizeOf(2), BrushSizeOf(3)}), (std::array{2, 2, 4, 6}));
  const std::array<int, 3> strokes[] = {  // dx, dy, the pressure after
      {0, 0, 100}, {19, 0, 100}, {20, 0, 100}, {12, 16, 100}, {30, 40, 40}, {33, 44, 40}, {0, -35, 70}, {0, 49, 42},
      {55, 0, 40},  // then discs of size 6 have a = 14, radius 3
  };
  for (const auto& [dx, dy, pressure] : strokes) EXPECT_EQ(PressureAfterStroke(dx, dy), pressure) << dx << " " << dy;
}

// Discs at and beyond the canvas's borders mark nothing past the mask. On a
// 451 x 300 picture (columns 0..450, plane rows 372..671) discs mark, paint
// and fix only the picture, and like the whole canvas never row or column 0.
TEST(Brush, DiscsPaintAndFixesStayOnThePictureAndNeverTouchRowOrColumnZero) {
  std::vector<std::uint8_t> mask(static_cast<std::size_t>(Stride) * CanvasRows + 16, 7);
  std::fill(mask.begin(), mask.begin() + Stride * CanvasRows, 0);
  constexpr std::array<std::array<int, 2>, 8> centres = {{{0, 300}, {959, 300}, {400, 0}, {400, 671}, {-3, -3}, {962, 674}, {0, 0}, {959, 671}}};
  for (const auto& c : centres) MarkBrushDisc(mask.data(), Stride, CanvasRows, WholeCanvas, CanvasPixel{c[0], c[1]}, 6, 100);
  for (std::size_t i = Stride * CanvasRows; i < mask.size(); ++i) EXPECT_EQ(mask[i], 7);  // nothing past the end
  EXPECT_EQ((std::array{mask[300 * Stride + 0], mask[300 * Stride + 959], mask[0 * Stride + 400], mask[671 * Stride + 400]}),
            (std::array<std::uint8_t, 4>{1, 1, 1, 1}));
  constexpr CanvasArea picture{0, CanvasRows - 300, 451, CanvasRows};
  std::fill(mask.begin(), mask.end(), 0);
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
  for (const CanvasArea area : {WholeCanvas, picture}) {
    Canvas canvas(static_cast<std::size_t>(CanvasByteCount), 255);
    PaintBrushMask(canvas.data(), mask.data(), Stride, CanvasRows, area, {1, 2, 3});
    TestPlanes p;
    FixBrushMask(p.View(), mask.data(), area, {10, 20, 30});
    for (int row = 0; row < CanvasRows; ++row)
      for (int column = 0; column < Stride; ++column) {
        const bool painted = row >= 1 && column >= 1 && area.Contains(CanvasPixel{column, row});
        ASSERT_EQ(CanvasRgb(canvas, row, column), (painted ? Rgb{1, 2, 3} : White)) << column << " " << row;
        ASSERT_EQ(p.PixelAt(row, column), (painted ? Rgb{10, 20, 30} : Black)) << column << " " << row;
      }
  }
}

// [SECTION] Zones and the stencil

// Picks read only the picture, at plane row 704 - y.
TEST(Zones, PicksWidenTheRangeAndReadOnlyThePicture) {
  ZoneRange range;
  for (int v : {80, 120, 100}) WidenZoneRange(range, AppointColour{v, v, v, GrayOf(v, v, v)});
  WidenZoneRange(range, AppointColour{10, 200, 30, GrayOf(30, 200, 10)});
  // (299*30 + 587*200 + 114*10) / 1000 = 127.
  EXPECT_EQ(std::tuple(range.blueMin, range.greenMax, range.redMin, range.lumaMin, range.lumaMax),
            std::tuple(10, 200, 30, 80, 127));
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

TEST(Zones, ZoneThenStencilAreaAndNoWindow) {
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
  EXPECT_EQ((std::array{canvas[3 * 299], canvas[3 * 300], mask[299], mask[300]}),
            (std::array<std::uint8_t, 4>{192, 255, 1, 0}));
  // Every channel: each of red, green, blue must lie in range.
  canvas = TwoColours();
  range = ZoneRange{};
  WidenZoneRange(range, AppointColour{60, 60, 60, 60});
  EXPECT_EQ(ZoneOn(canvas, range, AreaRect{}, 1, 1), 300 * CanvasRows);
  canvas = TwoColours();
  // An area limits the zone, and a reversed one selects nothing. Columns
  // 10..19, client y 100..109: plane rows 595..604.
  EXPECT_EQ(ZoneOn(canvas, range, AreaRect{10, 100, 19, 109}, 1, 2), 100);
  EXPECT_EQ(std::pair(CanvasRgb(canvas, 595, 10), CanvasRgb(canvas, 594, 10)), std::pair(White, Rgb{60, 60, 60}));
  EXPECT_EQ(ZoneOn(canvas, range, AreaRect{19, 109, 10, 100}, 1, 2), 0);
  // An area reaching past the canvas (a drag ending low on the window) is cut.
  EXPECT_EQ(ZoneOn(canvas, range, AreaRect{0, 600, 2000, 799}, 1, 2), 300 * 105 - 0);
  // Fewer than ten zone pixels mean no window.
  canvas.assign(static_cast<std::size_t>(CanvasByteCount), 10);
  std::fill(mask.begin(), mask.end(), 0);
  for (int i = 0; i < 9; ++i) std::fill_n(canvas.begin() + 3 * i, 3, 255);
  EXPECT_EQ(MakePattern(canvas.data(), Stride, mask, Stride, CanvasRows, StencilSettings{255}), 9);
  EXPECT_EQ(std::tuple(NoWindow(9), NoWindow(10), NoWindow(zone)), std::tuple(true, false, false));
  EXPECT_EQ(std::count(mask.begin(), mask.end(), 1), Stride * CanvasRows - 9);
}

// [SECTION] The Outline page

struct PageSession : ProgramSession {
  PageSession(int page, Rgb (*colour)(int x, int y), int width = 960, int height = 672) {
    StartOnPage(page, colour, width, height);
  }
};

// Client points of the controls whose labels appear twice on the panel
// ("fine", "fat", "clear" of the outline and of the brush), and of the dark
// reset mark; the others are clicked by their labels.
constexpr int FineX = 20, FineY = 193;
constexpr int ClearX = 70, ClearY = 219;
constexpr int BrushFatX = 20, BrushFatY = 362;
constexpr int BrushClearX = 70, BrushClearY = 362;
constexpr Rgb Grey100{100, 100, 100}, Grey130{130, 130, 130}, Cyan{0, 255, 255};

// Grey 100 left of x 300, grey 130 from there on.
Rgb Edge(int x, int) { return x < 300 ? Grey100 : Grey130; }
// A soft gradient with a sharp square in it.
Rgb Scene(int x, int y) {
  if (x > 300 && x < 500 && y > 200 && y < 400) return Rgb{200, 60, 40};
  return Rgb{static_cast<std::uint8_t>(60 + x / 8), static_cast<std::uint8_t>(80 + y / 6), 140};
}

// "set KEEP9" stores the outline as shown; a save, cancelled or written,
// writes the outline shown and leaves the picture in hand.
TEST(OutlinePage, FineOutlineOnAFullPictureIsStoredAsShownByKeep9AndNotByASave) {
  PageSession s(PageOutline, Edge);
  s.ClickControl(PageOutline, "3)Outline");
  EXPECT_EQ(OutlinePage.outlineOn, 1);
  ExpectShown(s, {{100 + 299, 300, Grey100}});  // on, but no width yet
  s.Click(FineX, FineY);
  // The edge is outlined in black in the two columns beside it, over the
  // whole height but the two outermost rows.
  for (int y : {34, 300, 701})
    ExpectShown(s, {{100 + 299, y, Black}, {100 + 300, y, Black}, {100 + 298, y, Grey100}, {100 + 301, y, Grey130}});
  ExpectShown(s, {{100 + 299, 32, Grey100}, {100 + 299, 703, Grey100}});
  const std::size_t edge = static_cast<std::size_t>(300) * Stride + 299;
  for (const bool written : {false, true}) {
    s.dialogs().QueueFile(written ? std::optional(s.PathIn("saved.bmp")) : std::nullopt);
    s.Click(910, 10);  // the Save tab
    EXPECT_EQ(WorkPlanes[0][edge], 100u);
    s.Click(ClearX, ClearY);
    ExpectShown(s, {{100 + 299, 300, Grey100}});  // the outline was not kept
    s.Click(FineX, FineY);
  }
  EXPECT_EQ(KeepFilePixel(FileBytes(s.PathIn("saved.bmp")), 299, 300 - 32), Black);
  // "／" twice: cyan outlines.
  s.ClickControls(PageOutline, {"／", "／"});
  ExpectShown(s, {{100 + 299, 300, Cyan}});
  const std::vector<std::uint8_t> shown = s.ShownCanvas();
  s.ClickControl(PageOutline, "set KEEP9");
  EXPECT_EQ(FileBytes(s.PathIn("KEEP9.bmp")), KeepFileOf(shown));
  // "clear": the outline goes; the stored picture stays in the planes.
  s.Click(ClearX, ClearY);
  EXPECT_EQ(OutlinePage.outlineOn, 0);
  ExpectShown(s, {{100 + 299, 300, Cyan}, {100 + 200, 300, Grey100}});
}

TEST(OutlinePage, ShortPictureOutlinesItsOwnEdgeAgainstTheWhiteningKeepsAllAndTheDarkResetPutsTheSwitchesBack) {
  PageSession s(PageOutline, Edge, 400, 200);
  // Where the whitening begins on the row (the picture is 400 wide).
  int white = 300;
  while (s.Pixel(100 + white, 100) != White) ++white;
  ASSERT_GE(white, 399);
  s.Click(FineX, FineY);
  // The edge inside the picture, and the picture's edge against the white.
  ExpectShown(s, {{100 + 299, 100, Black}, {100 + white - 1, 100, Black}, {100 + white, 100, Black},
                  {100 + 600, 100, White}});
  const std::vector<std::uint8_t> shown = s.ShownCanvas();
  s.ClickControl(PageOutline, "set KEEP9");
  EXPECT_EQ(FileBytes(s.PathIn("KEEP9.bmp")), KeepFileOf(shown));
  EXPECT_EQ(s.dialogs().MessageCount(), 0u);
  Outline.judgeValue = 30;
  s.Click(20, 40);  // the dark reset mark
  EXPECT_EQ(std::tuple(OutlinePage.outlineOn, OutlinePage.outlineWidth, Outline.judgeValue), std::tuple(0, 0, 16));
}

TEST(OutlinePage, BrushStrokeByDragThenRightClickFixesItAndTheBrushClearForgetsStrokes) {
  PageSession s(PageOutline, Scene);
  s.ClickControl(PageOutline, "4)Brush");
  s.Click(BrushFatX, BrushFatY);
  EXPECT_EQ(std::pair(OutlinePage.brushOn, Outline.brushPressure), std::pair(true, 100));
  s.Drag(200, 500, 400, 500, 20);
  // The stroke (size 6 discs at 100 %) is painted in black; the discs stand
  // at plane row 704 - y, shown one pixel above the pointer (radius 6).
  ExpectShown(s, {{300, 499, Black}, {300, 493, Black}});
  EXPECT_NE(s.Pixel(300, 491), Black);
  // The release 400 - 100, 500 - 32 lies far from the last release (0, 0
  // after the panel click): the next discs are at 40 %.
  EXPECT_EQ(std::tuple(Outline.brushPressure, OutlinePage.lastReleaseX, OutlinePage.lastReleaseY),
            std::tuple(40, 300, 468));
  const std::size_t index = static_cast<std::size_t>(704 - 500) * Stride + 200;
  EXPECT_EQ(BrushMask[index], 1);
  EXPECT_NE(WorkPlanes[0][index], 0u);
  s.RightClick(300, 500);
  EXPECT_EQ(std::tuple(WorkPlanes[0][index], WorkPlanes[2][index], BrushMask[index]), std::tuple(0u, 0u, 0));
  // Fixed: the stroke stays with the brush off, and "set KEEP9" stores it.
  s.ClickControl(PageOutline, "4)Brush");
  EXPECT_EQ(OutlinePage.brushOn, 0);
  ExpectShown(s, {{300, 499, Black}});
  s.ClickControl(PageOutline, "set KEEP9");
  const std::vector<std::uint8_t> keep = FileBytes(s.PathIn("KEEP9.bmp"));
  EXPECT_EQ(KeepFilePixel(keep, 250, 204), Black);
  EXPECT_EQ(KeepFilePixel(keep, 250, 210), Black);
  EXPECT_NE(KeepFilePixel(keep, 250, 212), Black);
  // The release point is the button-up point, not the last move: a stroke
  // moved to (300, 500) and released at (360, 500) is released at image point
  // (360 - 100, 500 - 32) = (260, 468). "clear" of the brush forgets the
  // strokes, which never touch row or column 0.
  s.ClickControl(PageOutline, "4)Brush");
  s.window().Deliver({MessageKind::LeftDown, 200, 500, 0, true});
  s.window().Deliver({MessageKind::MouseMove, 300, 500, 0, true});
  s.window().Deliver({MessageKind::LeftUp, 360, 500, 0, false});
  s.Paint();
  EXPECT_EQ(std::pair(OutlinePage.lastReleaseX, OutlinePage.lastReleaseY), std::pair(260, 468));
  s.Drag(101, 702, 101, 650, 10);  // along the left and bottom edges
  ExpectShown(s, {{101, 690, Black}});
  EXPECT_NE(s.Pixel(100, 690), Black);  // column 0
  EXPECT_NE(s.Pixel(110, 703), Black);  // plane row 0
  EXPECT_GT(std::count(BrushMask.begin(), BrushMask.begin() + Stride, 1), 0);  // marked in row 0 ...
  s.Click(BrushClearX, BrushClearY);
  EXPECT_EQ(std::count(BrushMask.begin(), BrushMask.end(), 1), 0);
  EXPECT_EQ(OutlinePage.brushOn, 0);
}

// On a 451 x 300 picture a stroke that runs on to the right ends at the
// picture's edge, and its fix takes nothing outside the picture: every pixel
// beyond column 450 or below plane row 372 stays white in KEEP9.
TEST(OutlinePage, AStrokeOnANarrowPictureStaysOnThePicture) {
  ProgramSession s;
  WriteTestPicture(s.PathIn("narrow.bmp"), 451, 300, Scene);
  ScriptReport(s.Folder(), "open narrow.bmp\nclick 630 10     # Outline\n" + ClickLine(PageOutline, "4)Brush") +
                               "click 20 362     # fat\n"
                               "drag 400 200 800 200\n"
                               "drag 500 320 500 500   # down across the bottom edge\n"
                               "rclick 300 200   # fixed\n" +
                               ClickLine(PageOutline, "set KEEP9"));
  const std::vector<std::uint8_t> keep = FileBytes(s.PathIn("KEEP9.bmp"));
  ASSERT_EQ(keep.size(), static_cast<std::size_t>(KeepFileBytes));
  for (int row = 0; row < CanvasRows; ++row)
    for (int column = 0; column < Stride; ++column)
      if (column >= 451 || row < 372) {
        ASSERT_EQ(KeepFilePixel(keep, column, row), White) << column << " " << row;
      }
  // The first stroke reached the right edge (its move to client x 550 is the
  // last inside, a disc on column 450); the second began on the picture.
  EXPECT_EQ(KeepFilePixel(keep, 450, 704 - 200), Black);
  EXPECT_EQ(KeepFilePixel(keep, 400, 704 - 320), Black);
}

TEST(OutlinePage, CircleMarkerStaysRoundAndRightClicksFixTheLocalContrast) {
  PageSession s(PageOutline, Scene);
  const Rgb top = s.Pixel(500, 694), high = s.Pixel(500, 672);
  DrawCircleMarker(500, 700, 6);  // radius 6 at 100 %
  // The top of a round circle, not stretched up to client y 672.
  ExpectShown(s, {{500, 694, {static_cast<std::uint8_t>(255 - top.r), static_cast<std::uint8_t>(255 - top.g),
                              static_cast<std::uint8_t>(255 - top.b)}},
                  {500, 672, high}});
  // Plane row 704 - 700, radius 6 up, and down to row 0.
  EXPECT_EQ(std::tuple(BrushMask[4 * Stride + 400], BrushMask[10 * Stride + 400], BrushMask[11 * Stride + 400],
                       BrushMask[0 * Stride + 400]),
            std::tuple(1, 1, 0, 1));
  ClearBrushMask();
  // Right clicks fix the local contrast, once each.
  s.ClickControl(PageOutline, "2)L Contrast");
  EXPECT_EQ(OutlinePage.localContrastOn, 1);
  s.Click(400 + 100, 300 + 32);  // the square's corner region
  EXPECT_EQ(Outline.localContrastPoint, (ContrastPoint{400, 672 - 300}));
  const std::size_t centre = static_cast<std::size_t>(372) * Stride + 400;
  const std::uint32_t original = WorkPlanes[2][centre];
  EXPECT_NE(s.Pixel(500, 332).r, original);  // the preview changes the screen
  EXPECT_EQ(WorkPlanes[2][centre], original);  // but not the planes
  s.RightClick(500, 332);
  const std::uint32_t once = WorkPlanes[2][centre];
  EXPECT_NE(once, original);
  s.RightClick(500, 332);
  EXPECT_NE(WorkPlanes[2][centre], once);
}

TEST(OutlinePage, GoldenScreenWithTheFineOutline) {
  PageSession s(PageOutline, Scene);
  s.Click(FineX, FineY);
  s.ClickControl(PageOutline, "4)Brush");  // brush on (outline off): the panel with its explanation
  s.Click(FineX, FineY);    // back to the fine outline
  EXPECT_GOLDEN("outline_page", s.window().Shown());
}

// [SECTION] The Pattern page

constexpr int PatternPage_ = 10;
// The marks and diamonds the page draws itself; the keys are clicked by their labels.
constexpr int DarkResetX = 20, DarkResetY = 40;
constexpr int JudgeX = 88, JudgeUpY = 747, JudgeDownY = 757;
constexpr Rgb Stencil{192, 192, 192}, Grey80{80, 80, 80};

// Three grey bands of luma 80, 120 and 100 (x < 100, < 200, < 300) and a
// blue (30, 30, 200), luma 49, from x 300 on.
Rgb Bands(int x, int) {
  if (x < 100) return Grey80;
  if (x < 200) return Rgb{120, 120, 120};
  if (x < 300) return Rgb{100, 100, 100};
  return Rgb{30, 30, 200};
}

// A session on the Pattern page with the bands picture, the zone picked from
// the three grey bands.
struct PickedSession {
  PageSession s{PatternPage_, Bands};
  PickedSession() {
    s.ClickControl(PatternPage_, "3)Zone");
    for (int x : {150, 250, 350}) s.Click(x, 300);  // luma 80, 120, 100
  }
  void Click(const char* label) { s.ClickControl(PatternPage_, label); }
};

TEST(PatternPage, ThreePicksGiveTheLumaRangeDrawZoneTestsTheWholeCanvasAndItsOffTurnsThePickOff) {
  PickedSession p;
  EXPECT_EQ(std::tuple(PatternPage.appointEyeOn, PatternPage.range.lumaMin, PatternPage.range.lumaMax,
                       PatternPage.range.redMax, PatternPage.appointed.luma),
            std::tuple(1, 80, 120, 120, 100));
  p.Click("5)draw zone");
  EXPECT_EQ(std::pair(PatternPage.drawZoneSwitch, PatternPage.areaSwitch), std::pair(true, int{AreaDragging}));
  EXPECT_EQ(PatternPage.area, AreaRect{});
  // The top and bottom rows of the picture are in the area too.
  ExpectShown(p.s, {{150, 300, White}, {250, 300, White}, {350, 300, White}, {450, 300, {30, 30, 200}},
                    {150, 32, White}, {150, 703, White}});
  // A pick never reads outside the picture: Restore (no KEEP10 yet: its read
  // failure is reported); the click sits on the tab bar, above the picture.
  const ZoneRange before = PatternPage.range;
  p.s.Click(960, 10);
  EXPECT_EQ(PatternPage.range, before);
  EXPECT_EQ(PatternPage.appointed.luma, 100);
  // Draw zone off turns the pick off too, so that "3)Zone" starts afresh.
  p.Click("5)draw zone");
  EXPECT_EQ(std::tuple(PatternPage.drawZoneSwitch, PatternPage.zoneOn, PatternPage.appointEyeOn), std::tuple(0, 0, 0));
  p.s.Click(450, 300);  // no pick now
  EXPECT_EQ(PatternPage.range, before);
  p.Click("3)Zone");
  EXPECT_EQ(PatternPage.zoneOn, 1);
  EXPECT_EQ(PatternPage.range, ZoneRange{});
}

// An area dragged up-left selects nothing; one dragged down-right limits the
// zone, which becomes the stencil's white; the zone's colours outside the area
// and the rest are grey. " SetKEEP10" stores it with the transfer work file.
TEST(PatternPage, AreaDraggedDownRightLimitsTheStencilAndSetKeep10WritesKeepAndTransferFiles) {
  PickedSession p;
  p.Click("2)Area");  // the zone set area 2; this click turns it off
  p.Click("2)Area");  // and on: area switch 1
  ASSERT_EQ(PatternPage.areaSwitch, 1);
  p.s.Drag(180, 200, 120, 100, 6);
  EXPECT_EQ(PatternPage.area, (AreaRect{80, 200, 20, 100}));
  p.Click("5)draw zone");
  ExpectShown(p.s, {{150, 150, Grey80}});
  // Draw zone off, area on again, dragged from upper left to lower right.
  p.Click("5)draw zone");
  p.Click("2)Area");
  ASSERT_EQ(PatternPage.areaSwitch, 1);
  p.s.Drag(120, 100, 180, 200, 6);
  EXPECT_EQ(PatternPage.area, (AreaRect{20, 100, 80, 200}));
  p.Click("5)draw zone");
  // Inside, below and right of the area.
  ExpectShown(p.s, {{150, 150, White}, {150, 250, Grey80}, {250, 150, {120, 120, 120}}});
  p.Click("6)Pattern");
  ExpectShown(p.s, {{150, 150, White}, {150, 300, Stencil}, {450, 150, Stencil}});
  const std::size_t zone = static_cast<std::size_t>(704 - 150) * Stride + 50;
  const std::size_t rest = static_cast<std::size_t>(300) * Stride + 350;
  EXPECT_EQ((std::array{BrushMask[zone], BrushMask[rest]}), (std::array<std::uint8_t, 2>{0, 1}));
  EXPECT_EQ(p.s.dialogs().MessageCount(), 0u);
  const std::vector<std::uint8_t> shown = p.s.ShownCanvas();
  p.Click("SetKEEP10");
  const std::vector<std::uint8_t> keep = FileBytes(p.s.PathIn("KEEP10.bmp"));
  EXPECT_EQ(keep, KeepFileOf(shown));
  EXPECT_EQ(FileBytes(p.s.PathIn("0000trfr.bmp")), keep);
  EXPECT_EQ(KeepFilePixel(keep, 50, 553), White);     // in the area and the zone
  EXPECT_EQ(KeepFilePixel(keep, 50, 300), Stencil);   // in the zone's colours, outside the area
  EXPECT_EQ(KeepFilePixel(keep, 500, 553), Stencil);
  EXPECT_EQ(WorkPlanes[0][rest], 192u);
}

TEST(PatternPage, TheBeltAndTheCalculatorMoveTheLumaBoundsWithinTheirOrderAndTheDarkResetEmptiesThem) {
  PickedSession p;
  p.Click("5)draw zone");
  // The appointed luma 100 is marked at 24 + 100 * 52 / 256 = 44; a click
  // left of it sets the start: (30 - 24) * 255 / 52 = 29.
  p.s.Click(30, 344);
  EXPECT_EQ(std::tuple(PatternPage.beltEdited, PatternPage.range.lumaMin, PatternPage.range.lumaMax),
            std::tuple(1, 29, 120));
  // A right arrow of the end: +8, the zone drawn with it in the same paint.
  p.s.Click(93, 344);
  EXPECT_EQ(PatternPage.range.lumaMax, 128);
  // Another pick still widens the range (and the belt with it).
  p.s.Click(110, 300);
  EXPECT_EQ(std::pair(PatternPage.range.lumaMin, PatternPage.beltEnd), std::pair(29, 128));
  p.s.Click(20, 370);  // luma min box: calculator target 1, calculator on
  ASSERT_EQ(Calc.on, 1);
  p.s.Click(49, 660);  // "５" (the keypad rows 614, 634, 655, 675, 696, 716)
  p.s.Click(20, 726);  // "＋": 29 + 5
  EXPECT_EQ(PatternPage.range.lumaMin, 34);
  p.s.Click(20, 680);  // "１"
  p.s.Click(38, 660);  // "５" again: 15
  p.s.Click(20, 700);  // "０": 150
  p.s.Click(20, 726);  // + 150 = 184, above the max 128: becomes the max
  EXPECT_EQ(PatternPage.range.lumaMin, 128);
  // The dark reset empties the range even after the belt was used.
  p.s.Click(DarkResetX, DarkResetY);
  EXPECT_EQ(PatternPage.range, ZoneRange{});
  EXPECT_EQ(PatternPage.area, AreaRect{});
}

TEST(PatternPage, OutlineDiamondCyclesARightClickFixesTheLocalContrastAndNoWindowIsAskedOncePerPatternClick) {
  PageSession s(PatternPage_, Bands);
  s.ClickControl(PatternPage_, "3)Outline");
  EXPECT_EQ(std::pair(PatternPage.outlineOn, PatternPage.outlineWidth), std::pair(true, 0));
  s.ClickControl(PatternPage_, "3)Outline");
  EXPECT_EQ(PatternPage.outlineWidth, 1);
  ExpectShown(s, {{199, 300, Black}});  // fine: the 80 | 120 band edge at x 100 is outlined
  // Fine + 2, then middle - 4 (StepJudgeValue keeps them within 1..99).
  s.Click(JudgeX, JudgeUpY);
  EXPECT_EQ(Outline.judgeValue, 18);
  s.ClickControl(PatternPage_, "3)Outline");
  s.Click(JudgeX, JudgeDownY);
  EXPECT_EQ(Outline.judgeValue, 14);
  s.ClickControl(PatternPage_, "3)Outline");
  EXPECT_EQ(PatternPage.outlineWidth, 3);
  s.ClickControl(PatternPage_, "3)Outline");
  EXPECT_EQ(PatternPage.outlineOn, 0);
  s.Click(DarkResetX, DarkResetY);
  EXPECT_EQ(std::pair(Outline.judgeValue, Outline.judgeMode), std::pair(16, 2));
  s.ClickControl(PatternPage_, "3)Outline");  // local contrast
  s.Click(400, 300);                           // the grey 100 | blue edge
  EXPECT_EQ(Outline.localContrastPoint, (ContrastPoint{300, 404}));
  const std::size_t centre = static_cast<std::size_t>(404) * Stride + 300;
  const std::uint32_t original = WorkPlanes[2][centre];
  s.RightClick(400, 300);
  EXPECT_NE(WorkPlanes[2][centre], original);
  s.ClickControl(PatternPage_, "6)Pattern");  // no zone: everything grey
  ASSERT_EQ(s.dialogs().MessageCount(), 1u);
  const auto& shown = s.dialogs().shown().back();
  EXPECT_EQ(shown.title, "確認");
  EXPECT_EQ(shown.text, "この画像には窓が設定されていません\n紺色マークでリセットして\n2)3)から やり直してください");
  ExpectShown(s, {{150, 300, Stencil}});  // the stencil is drawn all the same
  s.ClickControl(PatternPage_, "2)Area");  // another paint: not asked again
  EXPECT_EQ(s.dialogs().MessageCount(), 1u);
  s.ClickControl(PatternPage_, "6)Pattern");
  EXPECT_EQ(s.dialogs().MessageCount(), 2u);
}

TEST(PatternPage, GoldenScreenWithZoneAndStencil) {
  PickedSession p;
  p.s.ClickControls(PatternPage_, {"5)draw zone", "6)Pattern"});
  EXPECT_GOLDEN("pattern_page", p.s.window().Shown());
}

}  // namespace
