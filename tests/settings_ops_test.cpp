// The pages' pixel operations on pictures other than the 960 x 672 canvas:
// values worked by hand, and for the pointwise ones the top-left part of a
// canvas-size run. Rows are longer than the picture, the samples past its
// width filled, so that a routine reading or writing past the width is caught.

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <vector>

#include "ops/contour_levels.h"
#include "pages/colour/nod_colours.h"
#include "pages/colour/range_convert.h"
#include "ops/local_contrast.h"
#include "ops/outline_detect.h"
#include "pages/pattern/stencil.h"
#include "pages/pattern/zones.h"
#include "ops/colour_swap.h"
#include "reference/add_colour_literal.h"
#include "reference/outline_literal.h"
#include "support/pictures.h"

namespace {

constexpr int Width = 300, Height = 200;

// A bottom-up canvas of `stride` pixels a row and `rows` rows, every byte `fill`.
struct SmallCanvas {
  int stride = 0;
  std::vector<std::uint8_t> bytes;
  SmallCanvas(int s, int rows, std::uint8_t fill) : stride(s), bytes(static_cast<std::size_t>(s) * rows * 3, fill) {}
  std::uint8_t* Pixel(int row, int column) {
    return bytes.data() + (static_cast<std::size_t>(row) * stride + static_cast<std::size_t>(column)) * 3;
  }
  std::array<int, 3> Bgr(int row, int column) {
    const std::uint8_t* p = Pixel(row, column);
    return {p[0], p[1], p[2]};
  }
};

// A sample pattern with all byte values and no symmetry.
std::uint32_t Noise(int k, int row, int column) {
  std::uint32_t h = static_cast<std::uint32_t>(row) * 73856093u ^ static_cast<std::uint32_t>(column) * 19349663u ^
                    static_cast<std::uint32_t>(k + 1) * 83492791u;
  h ^= h >> 13;
  h *= 0x5bd1e995u;
  return (h >> 15) & 0xFFu;
}

TestPlanes NoisePlanes(int stride, int rows) {
  TestPlanes p(stride, rows);
  for (int row = 0; row < rows; ++row)
    for (int column = 0; column < stride; ++column)
      for (int k = 0; k < 3; ++k) p.At(k, row, column) = Noise(k, row, column);
  return p;
}

// Grey pixels of value (column + row) % 256 in the picture; `past` beyond it.
SmallCanvas GreyCanvas(int stride, std::uint8_t past) {
  SmallCanvas canvas(stride, Height, past);
  for (int row = 0; row < Height; ++row)
    for (int column = 0; column < Width; ++column) {
      std::uint8_t* p = canvas.Pixel(row, column);
      p[0] = p[1] = p[2] = static_cast<std::uint8_t>((column + row) % 256);
    }
  return canvas;
}

std::array<int, 3> Grey(int v) { return {v, v, v}; }

TEST(SettingsOps, ContourOnA300By200CanvasWithWiderRows) {
  // The ten columns past the width hold gray 8, a level, and must be left alone.
  SmallCanvas canvas = GreyCanvas(310, 8);
  // All levels in red (colour type 1): the grays 0, 8, ..., 248.
  ApplyContour(canvas.bytes.data(), canvas.stride, Width, Height, ContourDrawSettings{ContourLadder{}, ContourAllLevels, 0, 1});
  for (int row = 0; row < Height; ++row)
    for (int column = 0; column < canvas.stride; ++column) {
      const int v = column < Width ? (column + row) % 256 : 8;
      const bool onLevel = column < Width && v % 8 == 0 && v <= 248;
      ASSERT_EQ(canvas.Bgr(row, column), (onLevel ? std::array<int, 3>{0, 0, 255} : Grey(v))) << row << ", " << column;
    }
  // One pixel: gray 16 is level 2 (scan index 3); type 7, grey down, gives
  // 255 - 2 * K with K = 256 / 31 = 8: 239. Another level's scan leaves it;
  // so does no operation.
  std::array<std::uint8_t, 3> pixel{16, 16, 16};
  ApplyContour(pixel.data(), 1, 1, 1, ContourDrawSettings{ContourLadder{}, ContourOneLevel, 4, 7});
  ApplyContour(pixel.data(), 1, 1, 1, ContourDrawSettings{ContourLadder{}, ContourNone, 3, 7});
  EXPECT_EQ(pixel, (std::array<std::uint8_t, 3>{16, 16, 16}));
  ApplyContour(pixel.data(), 1, 1, 1, ContourDrawSettings{ContourLadder{}, ContourOneLevel, 3, 7});
  EXPECT_EQ(pixel, (std::array<std::uint8_t, 3>{239, 239, 239}));
}

// UNI C.'s conversion of a grey range to one colour.
TEST(SettingsOps, GrayRangeOnA300By200PictureInWiderPlanes) {
  // Grey samples (column + row) % 256 in planes of 320 samples a row (the
  // columns past the width are in the range), the canvas 305 pixels a row;
  // grays 60..180 take the colour.
  TestPlanes planes(320, Height, 120);
  for (int row = 0; row < Height; ++row)
    for (int column = 0; column < Width; ++column) {
      const int v = (column + row) % 256;
      planes.Set(row, column, v, v, v);
    }
  SmallCanvas canvas(305, Height, 7);
  PaintGrayRange(planes.View(), canvas.bytes.data(), canvas.stride, Width, Height, GrayRangeSettings{60, 180, UniRgb{12, 240, 99}});
  for (int row = 0; row < Height; ++row)
    for (int column = 0; column < canvas.stride; ++column) {
      const int v = (column + row) % 256;
      const bool taken = column < Width && 60 <= v && v <= 180;
      ASSERT_EQ(canvas.Bgr(row, column), (taken ? std::array<int, 3>{99, 240, 12} : Grey(7))) << row << ", " << column;
    }
  // One pixel of red 300: gray 299 * 300 / 1000 = 89, inside 60..180, not 90..180.
  TestPlanes one(1, 1);
  one.Set(0, 0, 300, 0, 0);
  for (const auto& [lo, painted] : {std::pair{60, true}, std::pair{90, false}}) {
    std::array<std::uint8_t, 3> pixel{1, 2, 3};
    PaintGrayRange(one.View(), pixel.data(), 1, 1, 1, GrayRangeSettings{lo, 180, UniRgb{12, 240, 99}});
    EXPECT_EQ(pixel, (painted ? std::array<std::uint8_t, 3>{99, 240, 12} : std::array<std::uint8_t, 3>{1, 2, 3})) << lo;
  }
}

TEST(SettingsOps, AdditionOnA300By200PictureIsTheTopLeftOfTheCanvasRun) {
  for (const BlendWeights weights : {SoftWeights, MiddleWeights, HardWeights, BlendWeights{5, 2}}) {
    const AddColourSettings settings{BuiltInNodColours.columns[0], 20, 230, weights};
    TestPlanes whole = NoisePlanes(Stride, CanvasRows);
    TestPlanes part = NoisePlanes(320, Height);  // rows longer than the picture
    TestPlanes literal = part;
    AddNodColours(whole.View(), Stride, CanvasRows, settings);
    AddNodColours(part.View(), Width, Height, settings);
    LiteralAddNodColours(literal.View(), Width, Height, settings);
    for (int k = 0; k < 3; ++k)
      for (int row = 0; row < Height; ++row)
        for (int column = 0; column < part.stride; ++column) {
          const std::uint32_t expected = column < Width ? whole.At(k, row, column) : Noise(k, row, column);
          ASSERT_EQ(part.At(k, row, column), expected) << "plane " << k << ", row " << row << ", column " << column;
          ASSERT_EQ(literal.At(k, row, column), expected) << "literal, plane " << k << ", row " << row;
        }
  }
  // One pixel: gray 42 is the start of band 1 over 0..255, column C's nod
  // colour 2, (0, 255, 0). Hard: the nod colour; soft 7 : 1: (42 * 7 + 255) /
  // 8 = 68 for green, 42 * 7 / 8 = 36 for red and blue.
  const NodColumn& c = BuiltInNodColours.columns[2];
  for (const auto& [weights, colour] : {std::pair{HardWeights, Rgb{0, 255, 0}}, std::pair{SoftWeights, Rgb{36, 68, 36}}}) {
    TestPlanes one(1, 1, 42);
    AddNodColours(one.View(), 1, 1, AddColourSettings{c, 0, 255, weights});
    EXPECT_EQ(one.PixelAt(0, 0), colour);
  }
}

TEST(SettingsOps, SwapOnA300By200PictureIsTheTopLeftOfTheCanvasRun) {
  TestPlanes whole = NoisePlanes(Stride, CanvasRows), part = NoisePlanes(330, Height);
  for (int mode = 0; mode < SwapModeCount; ++mode) {
    SmallCanvas wholeCanvas(Stride, CanvasRows, 0), partCanvas(310, Height, 77);
    SwapIntoCanvas(whole.View(), wholeCanvas.bytes.data(), Stride, Stride, CanvasRows, SwapSettings{mode});
    SwapIntoCanvas(part.View(), partCanvas.bytes.data(), partCanvas.stride, Width, Height, SwapSettings{mode});
    for (int row = 0; row < Height; ++row)
      for (int column = 0; column < partCanvas.stride; ++column)
        ASSERT_EQ(partCanvas.Bgr(row, column), (column < Width ? wholeCanvas.Bgr(row, column) : Grey(77)))
            << "mode " << mode << ", row " << row << ", column " << column;
  }
  // One pixel (10, 20, 30): 5 [B] R⇔G gives red 20, green 10, blue 30
  // (bytes blue, green, red); 17 eel ((20 + 255) / 2, (10 + 20 + 30 + 255) /
  // 4, (10 + 30) / 2); a mode outside 0..21 the colours as they are.
  TestPlanes one(1, 1);
  one.Set(0, 0, 10, 20, 30);
  const std::pair<int, std::array<std::uint8_t, 3>> modes[] = {{5, {30, 10, 20}}, {17, {20, 78, 137}}, {40, {30, 20, 10}}};
  for (const auto& [mode, bytes] : modes) {
    std::array<std::uint8_t, 3> pixel{};
    SwapIntoCanvas(one.View(), pixel.data(), 1, 1, 1, SwapSettings{mode});
    EXPECT_EQ(pixel, bytes) << mode;
  }
}

TEST(SettingsOps, OutlinesOnA300By200PictureGiveTheLiteralBytesAndStayInside) {
  // Black columns 0..149, white 150..299; the twenty columns past the width
  // are black again, an edge a detector reading past the width would find.
  TestPlanes planes(320, Height);
  for (int row = 0; row < Height; ++row)
    for (int column = 150; column < Width; ++column) planes.Set(row, column, 255, 255, 255);
  for (const int mode : {JudgeByEveryChannel, JudgeByLuma}) {
    SmallCanvas canvas(310, Height, 7);
    PaintOutlinePixels(planes.View(), canvas.bytes.data(), canvas.stride, Width, Height,
                       OutlineSettings{FineWidth, 16, mode, OutlineRgb{255, 0, 0}});
    // The two columns either side of the edge, inside the border of 2.
    for (int row = 0; row < Height; ++row)
      for (int column = 0; column < canvas.stride; ++column) {
        const bool painted = (column == 149 || column == 150) && row >= 2 && row < Height - 2;
        ASSERT_EQ(canvas.Bgr(row, column), (painted ? std::array<int, 3>{0, 0, 255} : Grey(7)))
            << "mode " << mode << ", row " << row << ", column " << column;
      }
  }
  TestPlanes noise = NoisePlanes(320, Height);
  for (const int width : {FineWidth, MiddleWidth, FatWidth})
    for (const int mode : {JudgeByEveryChannel, JudgeByLuma}) {
      SmallCanvas fast(310, Height, 7), literal(310, Height, 7);
      const OutlineSettings settings{width, 40, mode, OutlineRgb{0, 255, 255}};
      PaintOutlinePixels(noise.View(), fast.bytes.data(), fast.stride, Width, Height, settings);
      LiteralOutline(noise.View(), literal.bytes.data(), literal.stride, Width, Height, settings);
      EXPECT_TRUE(fast.bytes == literal.bytes) << "detector " << width << ", mode " << mode;
    }
  // A picture smaller than the border: nothing to outline, nothing touched.
  TestPlanes one(1, 1, 200);
  std::array<std::uint8_t, 3> pixel{1, 2, 3};
  PaintOutlinePixels(one.View(), pixel.data(), 1, 1, 1, OutlineSettings{FineWidth, 1, JudgeByLuma, OutlineRgb{}});
  EXPECT_EQ(pixel, (std::array<std::uint8_t, 3>{1, 2, 3}));
}

TEST(SettingsOps, LocalContrastNearTheRightEdgeOfA300By200Picture) {
  // Grey 50 left of column 290, 200 from there on; the planes' rows go on to
  // column 319 in grey 200, which the window must not take in. At (295, 100)
  // the window holds columns 271..299 of rows 76..124: 19 columns of 50 and
  // 10 of 200, so the median is 50 and no pixel is darker: all go up.
  TestPlanes planes(320, Height);
  for (int row = 0; row < Height; ++row)
    for (int column = 0; column < planes.stride; ++column) {
      const int v = column < 290 ? 50 : 200;
      planes.Set(row, column, v, v, v);
    }
  TestPlanes again = planes;
  const LocalContrastSettings settings{{295, 100}, CanvasArea{0, 0, Stride, CanvasRows}, true};
  EXPECT_EQ(LocalContrastMedian(planes.View(), Width, Height, settings), 50);
  SmallCanvas canvas(310, Height, 7);
  ApplyLocalContrast(planes.View(), canvas.bytes.data(), canvas.stride, Width, Height, settings);
  // The centre 200 + 24; 4 away 200 + trunc(24 (1 - (1/6)^3)) = 223; 12
  // away 50 + 24 (1 - 1/8); at the radius 0; past the width untouched.
  EXPECT_EQ((std::array{canvas.Pixel(100, 295)[0], canvas.Pixel(100, 299)[1], canvas.Pixel(100, 283)[2],
                        canvas.Pixel(100, 271)[0], canvas.Pixel(100, 300)[0]}),
            (std::array<std::uint8_t, 5>{224, 223, 50 + 21, 50, 7}));
  EXPECT_EQ(std::pair(planes.At(0, 100, 295), planes.At(0, 100, 300)), std::pair(224u, 200u));  // fixed into the planes
  // The same point on a copy of the picture through the literal form.
  SmallCanvas literal(310, Height, 7);
  LiteralLocalContrast(again.View(), literal.bytes.data(), literal.stride, Width, Height, settings);
  EXPECT_TRUE(canvas.bytes == literal.bytes);
  EXPECT_TRUE(planes.plane == again.plane);

  // One pixel: the window is the pixel itself; its gray 61 is the median, not
  // darker: every channel up by the push at the centre, 24. A preview leaves
  // the planes; a point off the picture is an empty window: nothing done.
  TestPlanes one(1, 1);
  one.Set(0, 0, 100, 50, 20);
  std::array<std::uint8_t, 3> pixel{};
  ApplyLocalContrast(one.View(), pixel.data(), 1, 1, 1, LocalContrastSettings{{0, 0}, CanvasArea{0, 0, 1, 1}});
  EXPECT_EQ(pixel, (std::array<std::uint8_t, 3>{44, 74, 124}));
  EXPECT_EQ(one.At(2, 0, 0), 100u);
  pixel = {};
  ApplyLocalContrast(one.View(), pixel.data(), 1, 1, 1, LocalContrastSettings{{30, 0}, {0, 0, 1, 1}, true});
  EXPECT_EQ(pixel, (std::array<std::uint8_t, 3>{0, 0, 0}));
}

TEST(SettingsOps, ZoneOnA300By200CanvasWithWiderRows) {
  // The gray range 50..100 in grey 255; the columns past the width are in the range.
  ZoneRange range{.lumaMin = 50, .lumaMax = 100};
  for (const CanvasArea area : {CanvasArea{0, 0, INT_MAX, INT_MAX}, CanvasArea{10, 20, 40, 30}}) {
    SmallCanvas canvas = GreyCanvas(310, 70);
    const int painted = DrawZone(canvas.bytes.data(), canvas.stride, Width, Height, ZoneSettings{range, area, 1, 2, 255});
    int expectedCount = 0;
    for (int row = 0; row < Height; ++row)
      for (int column = 0; column < canvas.stride; ++column) {
        const bool inside = column < Width && area.Contains(CanvasPixel{column, row});
        const int v = column < Width ? (column + row) % 256 : 70;
        const bool zone = inside && 50 <= v && v <= 100;
        expectedCount += zone ? 1 : 0;
        ASSERT_EQ(canvas.Pixel(row, column)[1], zone ? 255 : v) << "row " << row << ", column " << column;
      }
    EXPECT_EQ(painted, expectedCount);
  }
  // One pixel, every channel within its bounds.
  WidenZoneRange(range, AppointColour{30, 40, 50, 41});
  std::array<std::uint8_t, 3> pixel{30, 40, 50};
  EXPECT_EQ(DrawZone(pixel.data(), 1, 1, 1, ZoneSettings{range, CanvasArea{0, 0, 1, 1}, 1, 1, 250}), 1);
  EXPECT_EQ(pixel, (std::array<std::uint8_t, 3>{250, 250, 250}));
  // By luma, gray (299 * 100 + 587 * 101 + 114 * 100) / 1000 = 100.587 lies in 41..100.
  pixel = {100, 101, 100};
  EXPECT_EQ(DrawZone(pixel.data(), 1, 1, 1, ZoneSettings{range, CanvasArea{0, 0, 1, 1}, 1, 2, 250}), 1);
}

TEST(SettingsOps, StencilOnA300By200Picture) {
  // Zone pixels (all three 255) where (column + row) % 7 == 0.
  const auto inZone = [](int row, int column) { return (column + row) % 7 == 0; };
  SmallCanvas canvas(310, Height, 9);
  int zoneCount = 0;
  for (int row = 0; row < Height; ++row)
    for (int column = 0; column < Width; ++column) {
      std::uint8_t* p = canvas.Pixel(row, column);
      p[0] = p[1] = p[2] = inZone(row, column) ? 255 : static_cast<std::uint8_t>(column % 200);
      if (!inZone(row, column)) p[1] = 255;  // one byte of the zone colour is not enough
      zoneCount += inZone(row, column) ? 1 : 0;
    }
  const StencilSettings settings{255};
  // The mask of the canvas, and the stencil of planes filled from it.
  std::vector<std::uint8_t> fromCanvas(static_cast<std::size_t>(Width) * Height, 5), fromPlanes = fromCanvas,
                            made = fromCanvas;
  StencilMaskOfCanvas(canvas.bytes.data(), canvas.stride, fromCanvas, Width, Height, settings);
  TestPlanes planes(320, Height, 255);
  for (int row = 0; row < Height; ++row)
    for (int column = 0; column < Width; ++column)
      for (int k = 0; k < 3; ++k) planes.At(k, row, column) = canvas.Pixel(row, column)[k];
  PatternFromPlanes(planes.View(), fromPlanes, Width, Height, settings);
  EXPECT_EQ(fromPlanes, fromCanvas);
  for (int row = 0; row < Height; ++row)
    for (int column = 0; column < Width; ++column) {
      const std::size_t i = static_cast<std::size_t>(row) * Width + static_cast<std::size_t>(column);
      ASSERT_EQ(fromCanvas[i], inZone(row, column) ? 0 : 1) << "row " << row << ", column " << column;
      ASSERT_EQ(planes.At(2, row, column), inZone(row, column) ? 255u : 192u);
    }
  EXPECT_EQ(planes.At(0, 5, 300), 255u);  // past the width: untouched
  // The canvas stencil gives the same mask and counts the zone pixels; past
  // the width nothing changes.
  EXPECT_EQ(MakePattern(canvas.bytes.data(), canvas.stride, made, Width, Height, settings), zoneCount);
  EXPECT_EQ(made, fromCanvas);
  EXPECT_EQ((std::array{canvas.Pixel(0, 0)[0], canvas.Pixel(0, 1)[0], canvas.Pixel(0, 300)[0]}),
            (std::array<std::uint8_t, 3>{255, 192, 9}));
  // "6)ShotPatt." on the stencilled planes: the zone colour on the zone part.
  ShotPattern(planes.View(), made, Width, Height, StencilSettings{40});
  EXPECT_EQ(std::pair(planes.At(1, 0, 0), planes.At(1, 0, 1)), std::pair(40u, 192u));
  // A mask too short for the picture: nothing done.
  std::vector<std::uint8_t> shortMask(10, 5);
  EXPECT_EQ(MakePattern(canvas.bytes.data(), canvas.stride, shortMask, Width, Height, settings), 0);
  PatternFromPlanes(planes.View(), shortMask, Width, Height, settings);
  EXPECT_EQ(planes.At(1, 0, 0), 40u);
  EXPECT_EQ(shortMask, std::vector<std::uint8_t>(10, 5));
}

}  // namespace
