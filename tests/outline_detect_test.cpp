// The pixel work of the Outline and Pattern pages: the three detectors by
// hand-worked edges and against their literal forms over a corpus, the judge
// arrows, the local contrast, the brush disc and pressure, the zone range,
// the zone, the stencil and the "no window" rule.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "image/gray.h"
#include "image/planes.h"
#include "image/sample_scene.h"
#include "pages/pattern/brush.h"
#include "ops/local_contrast.h"
#include "ops/outline_detect.h"
#include "pages/pattern/zones.h"
#include "reference/outline_literal.h"

namespace {

constexpr OutlineRgb Red{255, 0, 0};

// Three planes of the program's size with a canvas beside them.
struct Picture3 {
  std::array<std::vector<std::uint32_t>, 3> planes;
  Picture3() {
    for (auto& p : planes) p.assign(static_cast<std::size_t>(Stride) * CanvasRows, 0);
  }
  PlaneView View() { return PlaneView{{planes[0].data(), planes[1].data(), planes[2].data()}, Stride, CanvasRows}; }
  void Set(int row, int column, int red, int green, int blue) {
    const std::size_t i = static_cast<std::size_t>(row) * Stride + static_cast<std::size_t>(column);
    planes[0][i] = static_cast<std::uint32_t>(blue);
    planes[1][i] = static_cast<std::uint32_t>(green);
    planes[2][i] = static_cast<std::uint32_t>(red);
  }
  // A canvas showing the planes' low bytes.
  std::vector<std::uint8_t> Canvas() const {
    std::vector<std::uint8_t> c(static_cast<std::size_t>(CanvasByteCount));
    for (std::size_t i = 0; i < planes[0].size(); ++i)
      for (std::size_t k = 0; k < 3; ++k) c[3 * i + k] = static_cast<std::uint8_t>(planes[k][i]);
    return c;
  }
};

bool IsRed(const std::vector<std::uint8_t>& canvas, int row, int column) {
  const std::size_t i = static_cast<std::size_t>(row) * Stride + static_cast<std::size_t>(column);
  return canvas[3 * i] == 0 && canvas[3 * i + 1] == 0 && canvas[3 * i + 2] == 255;
}

// Columns of one row painted red.
std::vector<int> RedColumns(const std::vector<std::uint8_t>& canvas, int row) {
  std::vector<int> columns;
  for (int c = 0; c < Stride; ++c)
    if (IsRed(canvas, row, c)) columns.push_back(c);
  return columns;
}

// A vertical edge: grey `left` for columns < 480, grey `right` from 480 on.
Picture3 VerticalEdge(int left, int right) {
  Picture3 p;
  for (int row = 0; row < CanvasRows; ++row)
    for (int c = 0; c < Stride; ++c) {
      const int v = c < 480 ? left : right;
      p.Set(row, c, v, v, v);
    }
  return p;
}

std::vector<std::uint8_t> Detect(Picture3& p, int width, int judge, int mode) {
  std::vector<std::uint8_t> canvas = p.Canvas();
  PaintOutlinePixels(p.View(), canvas.data(), Stride, Stride, CanvasRows, OutlineSettings{width, judge, mode, Red});
  return canvas;
}

// The corpus: flat, gradient, noise, the sample scene, sharp blocks.
std::vector<std::pair<std::string, Picture3>> Corpus() {
  std::vector<std::pair<std::string, Picture3>> corpus;
  Picture3 flat;
  for (int r = 0; r < CanvasRows; ++r)
    for (int c = 0; c < Stride; ++c) flat.Set(r, c, 90, 140, 200);
  corpus.emplace_back("flat", std::move(flat));
  Picture3 gradient;
  for (int r = 0; r < CanvasRows; ++r)
    for (int c = 0; c < Stride; ++c) gradient.Set(r, c, c * 255 / 959, r * 255 / 671, (c + 3 * r) % 256);
  corpus.emplace_back("gradient", std::move(gradient));
  Picture3 noise;
  unsigned seed = 12345;
  for (int r = 0; r < CanvasRows; ++r)
    for (int c = 0; c < Stride; ++c) {
      std::array<int, 3> v{};
      for (int& x : v) {
        seed = seed * 1103515245u + 12345u;
        x = static_cast<int>((seed >> 16) % 256);
      }
      noise.Set(r, c, v[0], v[1], v[2]);
    }
  corpus.emplace_back("noise", std::move(noise));
  Picture3 scene;
  const Picture picture = MakeSampleScene(Stride, CanvasRows);
  for (int y = 0; y < CanvasRows; ++y)
    for (int x = 0; x < Stride; ++x) {
      const std::uint8_t* px = picture.rgb.data() + 3 * (static_cast<std::size_t>(y) * Stride + x);
      scene.Set(CanvasRows - 1 - y, x, px[0], px[1], px[2]);
    }
  corpus.emplace_back("scene", std::move(scene));
  Picture3 blocks;
  for (int r = 0; r < CanvasRows; ++r)
    for (int c = 0; c < Stride; ++c) {
      const int v = ((r / 5 + c / 7) % 3) * 100;
      blocks.Set(r, c, v, 255 - v, (v * 7) % 256);
    }
  corpus.emplace_back("blocks", std::move(blocks));
  return corpus;
}

TEST(OutlineDetect, FineOutlinesAGreyEdgeOfThirtyInTwoColumnsButNotOneOfSixteen) {
  Picture3 strong = VerticalEdge(100, 130);
  const auto canvas = Detect(strong, FineWidth, 16, 2);
  EXPECT_EQ(RedColumns(canvas, 300), (std::vector<int>{479, 480}));
  Picture3 weak = VerticalEdge(100, 116);
  EXPECT_TRUE(RedColumns(Detect(weak, FineWidth, 16, 2), 300).empty());  // 16 is not greater than 16
  EXPECT_EQ(RedColumns(Detect(weak, FineWidth, 15, 2), 300), (std::vector<int>{479, 480}));
}

TEST(OutlineDetect, MiddleAndFatReachFurtherFromTheEdge) {
  Picture3 edge = VerticalEdge(0, 200);
  // Middle, column 478: the + side of H holds (x, 1..2) offsets -> 1 of 8 per
  // row at column 480 -> means differ by 200 * 3 / 8 = 75 > 16.
  EXPECT_EQ(RedColumns(Detect(edge, MiddleWidth, 16, 2), 300), (std::vector<int>{478, 479, 480, 481}));
  EXPECT_EQ(RedColumns(Detect(edge, FatWidth, 16, 2), 300), (std::vector<int>{477, 478, 479, 480, 481, 482}));
}

TEST(OutlineDetect, FlatPatchesAndBordersAreNeverOutlined) {
  Picture3 flat;
  for (int r = 0; r < CanvasRows; ++r)
    for (int c = 0; c < Stride; ++c) flat.Set(r, c, 77, 77, 77);
  for (int width : {1, 2, 3})
    for (int mode : {1, 2}) EXPECT_EQ(Detect(flat, width, 1, mode), flat.Canvas()) << width << " " << mode;
  // Noise at full strength with judge 0 outlines everything it may reach:
  // exactly the border stays.
  Picture3 noise = std::move(Corpus()[2].second);
  for (int width : {1, 2, 3}) {
    const auto canvas = Detect(noise, width, -1, 2);
    const int b = OutlineBorder(width);
    for (int r = 0; r < CanvasRows; ++r)
      for (int c = 0; c < Stride; ++c) {
        const bool inside = r >= b && r < CanvasRows - b && c >= b && c < Stride - b;
        ASSERT_EQ(IsRed(canvas, r, c) || !inside, true);
        if (!inside) {
          const std::size_t i = static_cast<std::size_t>(r) * Stride + c;
          ASSERT_EQ(canvas[3 * i + 2], static_cast<std::uint8_t>(noise.planes[2][i])) << width << " " << r << " " << c;
        }
      }
  }
}

TEST(OutlineDetect, EveryChannelModeNeedsAllThreeChannelsToDiffer) {
  // Red and green step by 60, blue stays: mode 1 finds nothing, mode 2 does.
  Picture3 p;
  for (int r = 0; r < CanvasRows; ++r)
    for (int c = 0; c < Stride; ++c) p.Set(r, c, c < 480 ? 40 : 100, c < 480 ? 40 : 100, 90);
  EXPECT_TRUE(RedColumns(Detect(p, FineWidth, 16, 1), 200).empty());
  EXPECT_EQ(RedColumns(Detect(p, FineWidth, 16, 2), 200), (std::vector<int>{479, 480}));
  for (int r = 0; r < CanvasRows; ++r)
    for (int c = 0; c < Stride; ++c) p.Set(r, c, c < 480 ? 40 : 100, c < 480 ? 40 : 100, c < 480 ? 90 : 150);
  EXPECT_EQ(RedColumns(Detect(p, FineWidth, 16, 1), 200), (std::vector<int>{479, 480}));
}

TEST(OutlineDetect, FastFormsGiveTheLiteralBytesOverTheCorpus) {
  auto corpus = Corpus();
  // Every picture with every detector and mode, the judge value taking its
  // turns (the literal forms are slow on purpose).
  constexpr std::array<int, 3> judges = {4, 16, 40};
  int turn = 0;
  for (auto& [name, picture] : corpus) {
    for (int width : {1, 2, 3}) {
      for (int mode : {1, 2}) {
        {
          const int judge = judges[static_cast<std::size_t>(turn++ % 3)];
          std::vector<std::uint8_t> fast = picture.Canvas();
          std::vector<std::uint8_t> literal = fast;
          const OutlineSettings settings{width, judge, mode, Red};
          PaintOutlinePixels(picture.View(), fast.data(), Stride, Stride, CanvasRows, settings);
          LiteralOutline(picture.View(), literal.data(), Stride, Stride, CanvasRows, settings);
          ASSERT_TRUE(fast == literal) << name << " width " << width << " mode " << mode << " judge " << judge;
        }
      }
    }
  }
}

TEST(OutlineDetect, SamplesAbove255TakeTheExactForm) {
  Picture3 p = VerticalEdge(100, 130);
  p.Set(300, 100, 70000, 3, 5);
  std::vector<std::uint8_t> fast = p.Canvas();
  std::vector<std::uint8_t> literal = fast;
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
  Picture3 p;
  for (int r = 0; r < CanvasRows; ++r)
    for (int c = 0; c < Stride; ++c) p.Set(r, c, c < 500 ? 50 : 200, c < 500 ? 50 : 200, c < 500 ? 50 : 200);
  const auto medianAt = [&](int column, const CanvasArea& area) {
    return LocalContrastMedian(p.View(), Stride, CanvasRows, LocalContrastSettings{{column, 300}, area});
  };
  EXPECT_EQ(medianAt(500, WholeCanvas), 200);
  EXPECT_EQ(medianAt(501, WholeCanvas), 200);
  EXPECT_EQ(medianAt(499, WholeCanvas), 50);  // 25 columns of 50 now
  // On a picture 505 columns wide the window at column 500 holds columns
  // 476..504: 24 of 50 against 5 of 200, so the median is 50, and nothing
  // right of the picture is read or written.
  constexpr CanvasArea narrow{0, 0, 505, CanvasRows};
  EXPECT_EQ(medianAt(500, narrow), 50);
  {
    std::vector<std::uint8_t> canvas = p.Canvas();
    ApplyLocalContrast(p.View(), canvas.data(), Stride, Stride, CanvasRows,
                       LocalContrastSettings{{500, 300}, narrow, true});
    EXPECT_EQ(p.planes[0][300 * Stride + 504], 223u);  // 4 from the centre: push trunc(24 (1 - (1/6)^3)) = 23
    EXPECT_EQ(p.planes[0][300 * Stride + 505], 200u);
    EXPECT_EQ(canvas[3 * (300 * Stride + 505)], 200);
    for (auto& plane : p.planes)
      for (int r = 0; r < CanvasRows; ++r)
        for (int c = 0; c < Stride; ++c) plane[static_cast<std::size_t>(r) * Stride + c] = c < 500 ? 50 : 200;
  }
  EXPECT_EQ(LocalContrastPush(0, 0), 24);
  EXPECT_EQ(LocalContrastPush(24, 0), 0);
  EXPECT_EQ(LocalContrastPush(12, 0), 21);  // 24 (1 - 1/8)
  EXPECT_EQ(LocalContrastPush(30, 30), 0);
  std::vector<std::uint8_t> canvas = p.Canvas();
  ApplyLocalContrast(p.View(), canvas.data(), Stride, Stride, CanvasRows,
                     LocalContrastSettings{{500, 300}, WholeCanvas, false});
  const auto at = [&](int row, int column) { return canvas[3 * (static_cast<std::size_t>(row) * Stride + column)]; };
  EXPECT_EQ(at(300, 500), 224);       // 200 is not below 200: up by 24
  EXPECT_EQ(at(300, 488), 50 - 21);  // 12 left of the centre: 50 - 21
  EXPECT_EQ(at(300, 476), 50);        // at the radius: 0
  EXPECT_EQ(at(300, 475), 50);        // outside the window
  EXPECT_EQ(p.planes[0][300 * Stride + 500], 200u);  // a preview leaves the planes
  ApplyLocalContrast(p.View(), canvas.data(), Stride, Stride, CanvasRows,
                     LocalContrastSettings{{500, 300}, WholeCanvas, true});
  EXPECT_EQ(p.planes[0][300 * Stride + 500], 224u);
}

TEST(LocalContrast, FastFormGivesTheLiteralBytesAtCornersEdgesAndInside) {
  auto corpus = Corpus();
  constexpr std::array<std::array<int, 2>, 7> points = {{{0, 0}, {959, 671}, {480, 336}, {10, 600}, {959, 0}, {30, 671}, {700, 23}}};
  for (auto& [name, picture] : corpus) {
    for (const auto& point : points) {
      Picture3 copy = picture;
      std::vector<std::uint8_t> fast = picture.Canvas();
      std::vector<std::uint8_t> literal = fast;
      const LocalContrastSettings settings{{point[0], point[1]}, WholeCanvas, true};
      ApplyLocalContrast(picture.View(), fast.data(), Stride, Stride, CanvasRows, settings);
      LiteralLocalContrast(copy.View(), literal.data(), Stride, Stride, CanvasRows, settings);
      ASSERT_TRUE(fast == literal) << name << " at " << point[0] << ", " << point[1];
      ASSERT_TRUE(picture.planes == copy.planes) << name;
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
    EXPECT_EQ(disc.area, c.area) << c.size << " " << c.pressure;
    EXPECT_EQ(disc.radius, c.radius) << c.size << " " << c.pressure;
  }
  // a = 14: the disc is the pixels with dx^2 + dy^2 <= 14 (45 of them), not
  // the full radius-3 square or the pixels within distance 3 (29).
  std::vector<std::uint8_t> mask(static_cast<std::size_t>(Stride) * CanvasRows, 0);
  MarkBrushDisc(mask.data(), Stride, CanvasRows, WholeCanvas, CanvasPixel{100, 100}, 6, 40);
  EXPECT_EQ(std::count(mask.begin(), mask.end(), 1), 45);
  EXPECT_EQ(mask[103 * Stride + 102], 1);  // 9 + 4 = 13
  EXPECT_EQ(mask[103 * Stride + 103], 0);  // 18
  EXPECT_EQ(BrushSizeOf(0), 2);
  EXPECT_EQ(BrushSizeOf(1), 2);
  EXPECT_EQ(BrushSizeOf(2), 4);
  EXPECT_EQ(BrushSizeOf(3), 6);
}

TEST(Brush, PressureFallsWithTheLengthBetweenReleases) {
  struct Case {
    int dx, dy, pressure;
  };
  constexpr std::array<Case, 7> cases = {{
      {0, 0, 100}, {19, 0, 100}, {20, 0, 100}, {12, 16, 100}, {30, 40, 40}, {33, 44, 40}, {0, -35, 70},
  }};
  for (const Case& c : cases) EXPECT_EQ(PressureAfterStroke(c.dx, c.dy), c.pressure) << c.dx << " " << c.dy;
  EXPECT_EQ(PressureAfterStroke(0, 49), 42);
  EXPECT_EQ(PressureAfterStroke(55, 0), 40);  // then discs of size 6 have a = 14, radius 3
}

TEST(Brush, StrokesAtTheFourBordersStayInsideAndNeverPaintRowOrColumnZero) {
  std::vector<std::uint8_t> mask(static_cast<std::size_t>(Stride) * CanvasRows + 16, 7);
  std::fill(mask.begin(), mask.begin() + Stride * CanvasRows, 0);
  constexpr std::array<std::array<int, 2>, 8> centres = {{{0, 300}, {959, 300}, {400, 0}, {400, 671}, {-3, -3}, {962, 674}, {0, 0}, {959, 671}}};
  for (const auto& c : centres) MarkBrushDisc(mask.data(), Stride, CanvasRows, WholeCanvas, CanvasPixel{c[0], c[1]}, 6, 100);
  for (std::size_t i = Stride * CanvasRows; i < mask.size(); ++i) EXPECT_EQ(mask[i], 7);  // nothing past the end
  EXPECT_EQ(mask[300 * Stride + 0], 1);
  EXPECT_EQ(mask[300 * Stride + 959], 1);
  EXPECT_EQ(mask[0 * Stride + 400], 1);
  EXPECT_EQ(mask[671 * Stride + 400], 1);
  std::vector<std::uint8_t> canvas(static_cast<std::size_t>(CanvasByteCount), 9);
  PaintBrushMask(canvas.data(), mask.data(), Stride, CanvasRows, WholeCanvas, {1, 2, 3});
  for (int c = 0; c < Stride; ++c) ASSERT_EQ(canvas[3 * static_cast<std::size_t>(c)], 9);
  for (int r = 0; r < CanvasRows; ++r) ASSERT_EQ(canvas[3 * static_cast<std::size_t>(r) * Stride], 9);
  EXPECT_EQ(canvas[3 * (300 * Stride + 959) + 2], 1);
  EXPECT_EQ(canvas[3 * (671 * Stride + 400)], 3);
  Picture3 p;
  FixBrushMask(p.View(), mask.data(), WholeCanvas, {10, 20, 30});
  EXPECT_EQ(p.planes[2][300 * Stride + 959], 10u);
  EXPECT_EQ(p.planes[0][300 * Stride + 0], 0u);
  EXPECT_EQ(p.planes[1][0 * Stride + 400], 0u);
  EXPECT_EQ(p.planes[1][1 * Stride + 400], 20u);
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
  std::vector<std::uint8_t> canvas(static_cast<std::size_t>(CanvasByteCount), 255);
  PaintBrushMask(canvas.data(), mask.data(), Stride, CanvasRows, picture, {0, 0, 0});
  Picture3 p;
  FixBrushMask(p.View(), mask.data(), picture, {7, 7, 7});
  for (int row = 0; row < CanvasRows; ++row)
    for (int column = 0; column < Stride; ++column) {
      const std::size_t i = static_cast<std::size_t>(row) * Stride + column;
      const bool painted = row >= 1 && column >= 1 && picture.Contains(CanvasPixel{column, row});
      ASSERT_EQ(canvas[3 * i], painted ? 0 : 255) << column << " " << row;
      ASSERT_EQ(p.planes[0][i], painted ? 7u : 0u) << column << " " << row;
    }
}

TEST(Zones, ThreePicksOfLuma80_120_100GiveTheRange80To120) {
  ZoneRange range;
  EXPECT_EQ(range.lumaMin, 255);
  EXPECT_EQ(range.lumaMax, 0);
  for (int v : {80, 120, 100}) WidenZoneRange(range, AppointColour{v, v, v, GrayOf(v, v, v)});
  EXPECT_EQ(range.lumaMin, 80);
  EXPECT_EQ(range.lumaMax, 120);
  WidenZoneRange(range, AppointColour{10, 200, 30, GrayOf(30, 200, 10)});
  EXPECT_EQ(range.blueMin, 10);
  EXPECT_EQ(range.greenMax, 200);
  EXPECT_EQ(range.redMin, 30);
  EXPECT_EQ(range.lumaMin, 80);  // (299*30 + 587*200 + 114*10) / 1000 = 127
  EXPECT_EQ(range.lumaMax, 127);
}

TEST(Zones, PicksReadOnlyThePictureAtRow704MinusY) {
  EXPECT_FALSE(PickOnPicture(100, 300));
  EXPECT_TRUE(PickOnPicture(101, 33));
  EXPECT_TRUE(PickOnPicture(1059, 703));
  EXPECT_FALSE(PickOnPicture(1060, 300));
  EXPECT_FALSE(PickOnPicture(500, 10));   // a tab
  EXPECT_FALSE(PickOnPicture(500, 32));
  EXPECT_FALSE(PickOnPicture(500, 704));
  std::vector<std::uint8_t> canvas(static_cast<std::size_t>(CanvasByteCount), 0);
  canvas[3 * (671 * Stride + 1) + 2] = 200;  // plane row 671 = 704 - 33
  EXPECT_EQ(SampleCanvas(canvas.data(), Stride, 101, 33).red, 200);
}

// The zone over a canvas-size picture, in grey 255, through the area of a drag.
int ZoneOn(std::vector<std::uint8_t>& canvas, const ZoneRange& range, const AreaRect& area, int areaSwitch, int mode) {
  const ZoneSettings settings{range, ZoneAreaOf(area), areaSwitch, mode, 255};
  return DrawZone(canvas.data(), Stride, Stride, CanvasRows, settings);
}

// A two-colour canvas: grey 60 left of column 300, grey 180 from there on.
std::vector<std::uint8_t> TwoColours() {
  std::vector<std::uint8_t> canvas(static_cast<std::size_t>(CanvasByteCount));
  for (int r = 0; r < CanvasRows; ++r)
    for (int c = 0; c < Stride; ++c)
      for (int k = 0; k < 3; ++k) canvas[3 * (static_cast<std::size_t>(r) * Stride + c) + k] = c < 300 ? 60 : 180;
  return canvas;
}

TEST(Zones, ZoneThenStencilFromATwoColourPicture) {
  ZoneRange range;
  WidenZoneRange(range, AppointColour{180, 180, 180, 180});
  std::vector<std::uint8_t> canvas = TwoColours();
  // The whole canvas (the start area): the 180 part becomes white.
  EXPECT_EQ(ZoneOn(canvas, range, AreaRect{}, 1, 2), 660 * CanvasRows);
  EXPECT_EQ(ZoneOn(canvas, range, AreaRect{}, 0, 2), 0);  // area switch not 1
  std::vector<std::uint8_t> mask(static_cast<std::size_t>(Stride) * CanvasRows, 9);
  const int zone = MakePattern(canvas.data(), Stride, mask, Stride, CanvasRows, StencilSettings{255});
  EXPECT_EQ(zone, 660 * CanvasRows);
  EXPECT_FALSE(NoWindow(zone));
  EXPECT_EQ(canvas[3 * 299], 192);
  EXPECT_EQ(canvas[3 * 300], 255);
  EXPECT_EQ(mask[299], 1);
  EXPECT_EQ(mask[300], 0);
  // Every channel: each of red, green, blue must lie in range.
  canvas = TwoColours();
  range = ZoneRange{};
  WidenZoneRange(range, AppointColour{60, 60, 60, 60});
  EXPECT_EQ(ZoneOn(canvas, range, AreaRect{}, 1, 1), 300 * CanvasRows);
}

TEST(Zones, AnAreaLimitsTheZoneAndAReversedOneSelectsNothing) {
  ZoneRange range;
  WidenZoneRange(range, AppointColour{60, 60, 60, 60});
  std::vector<std::uint8_t> canvas = TwoColours();
  // Columns 10..19, client y 100..109: plane rows 595..604.
  EXPECT_EQ(ZoneOn(canvas, range, AreaRect{10, 100, 19, 109}, 1, 2), 100);
  EXPECT_EQ(canvas[3 * (595 * Stride + 10)], 255);
  EXPECT_EQ(canvas[3 * (594 * Stride + 10)], 60);
  EXPECT_EQ(ZoneOn(canvas, range, AreaRect{19, 109, 10, 100}, 1, 2), 0);
  // An area reaching past the canvas (a drag ending low on the window) is cut.
  EXPECT_EQ(ZoneOn(canvas, range, AreaRect{0, 600, 2000, 799}, 1, 2), 300 * 105 - 0);
}

TEST(Zones, FewerThanTenZonePixelsMeanNoWindow) {
  std::vector<std::uint8_t> canvas(static_cast<std::size_t>(CanvasByteCount), 10);
  std::vector<std::uint8_t> mask(static_cast<std::size_t>(Stride) * CanvasRows, 0);
  for (int i = 0; i < 9; ++i) std::fill_n(canvas.begin() + 3 * i, 3, 255);
  EXPECT_EQ(MakePattern(canvas.data(), Stride, mask, Stride, CanvasRows, StencilSettings{255}), 9);
  EXPECT_TRUE(NoWindow(9));
  EXPECT_FALSE(NoWindow(10));
  EXPECT_EQ(std::count(mask.begin(), mask.end(), 1), Stride * CanvasRows - 9);
}

}  // namespace
