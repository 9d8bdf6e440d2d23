// The GAMON page's pixel work.
//
// [SECTION] Canvas helpers
// [SECTION] Pictures
// [SECTION] Tables
// [SECTION] Graphs
// [SECTION] Headings

#include "pages/gamon/gamon_graphs.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string_view>
#include <thread>
#include <vector>

#include "image/gray.h"

namespace {

// [SECTION] Canvas helpers
constexpr int W = Stride;
constexpr int H = CanvasRows;

void Put(std::uint8_t* canvas, int column, int row, Rgb colour) {
  if (column < 0 || column >= W || row < 0 || row >= H) return;
  std::uint8_t* p = canvas + (static_cast<std::size_t>(row) * W + static_cast<std::size_t>(column)) * 3;
  p[0] = colour.b;
  p[1] = colour.g;
  p[2] = colour.r;
}

std::uint8_t* At(std::uint8_t* canvas, int column, int row) {
  return canvas + (static_cast<std::size_t>(row) * W + static_cast<std::size_t>(column)) * 3;
}

// Columns c0..c1 and rows r0..r1, both inclusive, clipped to the canvas.
void Fill(std::uint8_t* canvas, int c0, int r0, int c1, int r1, Rgb colour) {
  const int first = std::max(c0, 0), last = std::min(c1, W - 1);
  for (int row = std::max(r0, 0); row <= std::min(r1, H - 1); ++row) {
    std::uint8_t* p = canvas + (static_cast<std::size_t>(row) * W + static_cast<std::size_t>(first)) * 3;
    for (int c = first; c <= last; ++c, p += 3) {
      p[0] = colour.b;
      p[1] = colour.g;
      p[2] = colour.r;
    }
  }
}

void HorizontalLine(std::uint8_t* canvas, int c0, int c1, int row, Rgb colour) { Fill(canvas, c0, row, c1, row, colour); }
void VerticalLine(std::uint8_t* canvas, int column, int r0, int r1, Rgb colour) {
  Fill(canvas, column, r0, column, r1, colour);
}

std::uint8_t ClampByte(std::int64_t v) { return static_cast<std::uint8_t>(std::clamp<std::int64_t>(v, 0, 255)); }
std::int64_t Sample(std::uint32_t v) { return static_cast<std::int32_t>(v); }

}  // namespace

// The sum 299 R + 587 G + 114 B of bytes is below 2^24, so it is exact in a
// float, and the correctly rounded quotient by 1000 stays below the next
// integer (the gap is at least 0.001, the float's spacing there 2^-16): its
// truncation is the integer gray, and the loop vectorizes.
std::uint8_t GrayOfBytesInFloat(std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
  const float sum = static_cast<float>(static_cast<int>(GraySumOfLanes(red, green, blue)));
  return static_cast<std::uint8_t>(static_cast<int>(sum / 1000.0f));
}

namespace {

}  // namespace

void FillCanvas(std::uint8_t* canvas, Rgb colour) {
  if (colour.r == colour.g && colour.g == colour.b) {
    std::memset(canvas, colour.r, static_cast<std::size_t>(CanvasByteCount));
    return;
  }
  Fill(canvas, 0, 0, W - 1, H - 1, colour);
}

// [SECTION] Pictures
void HalfSizePicture(const PlaneView& planes, std::uint8_t* canvas) {
  std::array<std::uint8_t, W / 2> means{};
  for (int i = 0; i < H / 2; ++i) {
    std::uint8_t* out = At(canvas, 0, i + 320);
    for (int k = 0; k < 3; ++k) {
      const std::uint32_t* low = &planes.at(k, 2 * i, 0);
      const std::uint32_t* high = &planes.at(k, 2 * i + 1, 0);
      std::uint32_t any = 0;
      for (int j = 0; j < W; ++j) any |= low[j] | high[j];
      if (any <= 255u) {  // bytes: the mean needs no clamp
        for (int j = 0; j < W / 2; ++j)
          means[static_cast<std::size_t>(j)] =
              static_cast<std::uint8_t>((low[2 * j] + low[2 * j + 1] + high[2 * j] + high[2 * j + 1]) >> 2);
      } else {
        for (int j = 0; j < W / 2; ++j) {
          const std::int64_t sum =
              Sample(low[2 * j]) + Sample(low[2 * j + 1]) + Sample(high[2 * j]) + Sample(high[2 * j + 1]);
          means[static_cast<std::size_t>(j)] = ClampByte(sum / 4);
        }
      }
      for (int j = 0; j < W / 2; ++j) out[3 * j + k] = means[static_cast<std::size_t>(j)];
    }
  }
}

void DrawHalfSizeFrame(std::uint8_t* canvas, const ViewAreaRecord& area, Rgb colour) {
  const int hw = static_cast<int>(area.width * 0.5);
  const int hh = static_cast<int>(area.height * 0.5);
  const int c0 = area.left, c1 = area.left + hw;
  const int r0 = std::max(area.bottom, 16) - 16, r1 = r0 + hh;
  HorizontalLine(canvas, c0, c1, r0, colour);
  HorizontalLine(canvas, c0, c1, r1, colour);
  VerticalLine(canvas, c0, r0, r1, colour);
  VerticalLine(canvas, c1, r0, r1, colour);
}

void EnlargedView(const PlaneView& planes, ViewRect window, int zoom, std::uint8_t* canvas) {
  const int block = zoom / 2;
  if (block < 1) return;
  for (int r = 0; r < window.height; ++r) {
    for (int c = 0; c < window.width; ++c) {
      const int column = W / 2 + c * block;
      const int row = H / 2 + r * block;
      if (column + block > W || row + block > H) continue;
      const std::uint8_t b = ClampByte(Sample(planes.at(0, window.bottom + r, window.left + c)));
      const std::uint8_t g = ClampByte(Sample(planes.at(1, window.bottom + r, window.left + c)));
      const std::uint8_t red = ClampByte(Sample(planes.at(2, window.bottom + r, window.left + c)));
      for (int i = 0; i < block; ++i) {
        std::uint8_t* out = At(canvas, column, row + i);
        for (int j = 0; j < block; ++j) {
          out[3 * j] = b;
          out[3 * j + 1] = g;
          out[3 * j + 2] = red;
        }
      }
    }
  }
}

// [SECTION] Tables
namespace {

using DensityTables = std::array<std::array<std::array<std::uint32_t, 256>, 256>, 3>;

// Counts the window's rows rowBegin .. rowEnd - 1 into the density tables
// (which the caller has cleared).
void CountRows(const PlaneView& planes, ViewRect window, int rowBegin, int rowEnd, DensityTables& density) {
  std::uint32_t* blue = density[0][0].data();
  std::uint32_t* green = density[1][0].data();
  std::uint32_t* red = density[2][0].data();
  std::vector<std::uint8_t> grays(static_cast<std::size_t>(std::max(window.width, 0)));
  for (int row = rowBegin; row < rowEnd; ++row) {
    const std::uint32_t* pb = &planes.at(0, row, window.left);
    const std::uint32_t* pg = &planes.at(1, row, window.left);
    const std::uint32_t* pr = &planes.at(2, row, window.left);
    std::uint32_t any = 0;
    for (int c = 0; c < window.width; ++c) any |= pb[c] | pg[c] | pr[c];
    if (any <= 255u) {  // the usual case: bytes, the gray at once for the row
      std::uint8_t* y = grays.data();
      for (int c = 0; c < window.width; ++c) y[c] = GrayOfBytesInFloat(pr[c], pg[c], pb[c]);
      for (int c = 0; c < window.width; ++c) {
        // Every index read before any count is written (the gray bytes may
        // alias the counts as far as the compiler knows).
        const std::size_t row256 = static_cast<std::size_t>(y[c]) << 8;
        const std::size_t b = pb[c], g = pg[c], r = pr[c];
        blue[row256 + b] += 1;
        green[row256 + g] += 1;
        red[row256 + r] += 1;
      }
      continue;
    }
    for (int c = 0; c < window.width; ++c) {
      const std::int64_t b64 = Sample(pb[c]), g64 = Sample(pg[c]), r64 = Sample(pr[c]);
      const std::size_t row256 = static_cast<std::size_t>(ClampByte(GrayTruncated(r64, g64, b64))) << 8;
      blue[row256 + ClampByte(b64)] += 1;
      green[row256 + ClampByte(g64)] += 1;
      red[row256 + ClampByte(r64)] += 1;
    }
  }
}

void ClearDensity(DensityTables& density) {
  for (auto& table : density)
    for (auto& row : table) row.fill(0);
}

}  // namespace

void CountGamonTables(const PlaneView& planes, ViewRect window, GamonTables& t) {
  ClearDensity(t.density);
  const int rowEnd = window.bottom + std::max(window.height, 0);
  // A large window is counted in two halves at once, the upper half into
  // tables of its own that are then added in: counts add up in any order.
  const long long pixels = static_cast<long long>(std::max(window.width, 0)) * std::max(window.height, 0);
  if (pixels >= 100000 && std::thread::hardware_concurrency() >= 2) {
    static auto upper = std::make_unique<DensityTables>();
    ClearDensity(*upper);
    const int middle = window.bottom + window.height / 2;
    std::thread helper([&] { CountRows(planes, window, middle, rowEnd, *upper); });
    CountRows(planes, window, window.bottom, middle, t.density);
    helper.join();
    for (std::size_t k = 0; k < 3; ++k)
      for (std::size_t y = 0; y < 256; ++y)
        for (std::size_t v = 0; v < 256; ++v) t.density[k][y][v] += (*upper)[k][y][v];
  } else {
    CountRows(planes, window, window.bottom, rowEnd, t.density);
  }
  auto& blueDensity = t.density[0];
  auto& greenDensity = t.density[1];
  auto& redDensity = t.density[2];
  for (auto& h : t.histogram) h.fill(0);
  for (std::size_t y = 0; y < 256; ++y) {
    std::uint32_t gray = 0;
    for (std::size_t v = 0; v < 256; ++v) {
      t.histogram[0][v] += blueDensity[y][v];
      t.histogram[1][v] += greenDensity[y][v];
      t.histogram[2][v] += redDensity[y][v];
      gray += blueDensity[y][v];
    }
    t.histogram[3][y] = gray;
  }
}

std::uint32_t HistogramMaximum(const GamonTables& t, bool cut255, bool cut0) {
  const int lo = cut0 != 0 ? 1 : 0;
  const int hi = cut255 != 0 ? 254 : 255;
  std::uint32_t m = 0;
  for (int k = 0; k < 3; ++k)
    for (int v = lo; v <= hi; ++v) m = std::max(m, t.histogram[static_cast<std::size_t>(k)][static_cast<std::size_t>(v)]);
  return m == 0 ? 50 : m;
}

// [SECTION] Graphs
int AllColourBar(std::uint32_t count, std::uint32_t maximum, double tall) {
  return static_cast<int>(std::min(256.0, static_cast<double>(static_cast<long long>(tall * 256 * count / maximum))));
}

int EachColourBar(std::uint32_t count0, std::uint32_t count1, std::uint32_t maximum, double rate) {
  const long long v0 = static_cast<long long>(128.0 * count0 / maximum);
  const long long v1 = static_cast<long long>(128.0 * count1 / maximum);
  const long long value = (v0 + v1) / 2;
  return static_cast<int>(std::min(128.0, static_cast<double>(static_cast<long long>(static_cast<double>(value) * rate))));
}

void DrawAllColourGraph(std::uint8_t* canvas, const GamonTables& t, std::uint32_t maximum, double tall) {
  Fill(canvas, 672, 32, 927, 287, Black);
  for (int v = 0; v < 256; ++v) {
    const int column = 672 + v;
    // Blue sets its rows to pure blue; green and red then turn their own
    // channel full on, so overlaps add up (cyan, magenta, yellow, white).
    const int hb = AllColourBar(t.histogram[0][static_cast<std::size_t>(v)], maximum, tall);
    for (int row = 32; row <= 32 + hb; ++row) Put(canvas, column, row, Rgb{0, 0, 255});
    const int hg = AllColourBar(t.histogram[1][static_cast<std::size_t>(v)], maximum, tall);
    for (int row = 32; row <= std::min(32 + hg, H - 1); ++row) At(canvas, column, row)[1] = 255;
    const int hr = AllColourBar(t.histogram[2][static_cast<std::size_t>(v)], maximum, tall);
    for (int row = 32; row <= std::min(32 + hr, H - 1); ++row) At(canvas, column, row)[2] = 255;
  }
}

void DrawEachColourGraph(std::uint8_t* canvas, const GamonTables& t, std::uint32_t maximum,
                         const std::array<double, 4>& rates) {
  constexpr Rgb Background{220, 220, 220};
  Fill(canvas, 352, 32, 607, 288, Background);
  struct Quadrant {
    std::size_t histogram;  // blue 0, green 1, red 2, gray 3
    std::size_t rate;       // red 0, green 1, blue 2, gray 3
    int column, row;
    Rgb colour;
  };
  constexpr std::array<Quadrant, 4> Quadrants = {{
      {2, 0, 352, 160, {255, 0, 0}},
      {1, 1, 480, 160, {0, 255, 0}},
      {0, 2, 352, 32, {0, 0, 255}},
      {3, 3, 480, 32, {128, 128, 128}},
  }};
  for (const Quadrant& q : Quadrants) {
    const auto& h = t.histogram[q.histogram];
    for (int k = 0; k < 128; ++k) {
      const int bar = EachColourBar(h[static_cast<std::size_t>(2 * k)], h[static_cast<std::size_t>(2 * k + 1)], maximum,
                                    rates[q.rate]);
      VerticalLine(canvas, q.column + k, q.row, q.row + bar, q.colour);
    }
  }
  HorizontalLine(canvas, 352, 607, 160, White);
  VerticalLine(canvas, 480, 32, 288, White);
  // The frame stands just outside the box, so bars of one pixel stay seen.
  HorizontalLine(canvas, 351, 608, 31, Background);
  HorizontalLine(canvas, 351, 608, 289, Background);
  VerticalLine(canvas, 351, 31, 289, Background);
  VerticalLine(canvas, 608, 31, 289, Background);
}

void DrawGamonGraph(std::uint8_t* canvas, const GamonTables& t, double rate) {
  for (int y = 0; y < 256; ++y) {
    for (int v = 0; v < 256; ++v) {
      const std::uint32_t cb = t.density[0][static_cast<std::size_t>(y)][static_cast<std::size_t>(v)];
      const std::uint32_t cg = t.density[1][static_cast<std::size_t>(y)][static_cast<std::size_t>(v)];
      const std::uint32_t cr = t.density[2][static_cast<std::size_t>(y)][static_cast<std::size_t>(v)];
      if ((cb | cg | cr) == 0) {
        Put(canvas, 32 + y, 32 + v, White);
        continue;
      }
      auto level = [rate](std::uint32_t count) {
        return static_cast<std::uint8_t>(std::min(255.0, static_cast<double>(static_cast<long long>(count * rate))));
      };
      Put(canvas, 32 + y, 32 + v, Rgb{level(cr), level(cg), level(cb)});
    }
  }
  constexpr Rgb GamonFrame{200, 200, 20};
  HorizontalLine(canvas, 32, 288, 32, GamonFrame);
  HorizontalLine(canvas, 32, 288, 288, GamonFrame);
  VerticalLine(canvas, 32, 32, 288, GamonFrame);
  VerticalLine(canvas, 288, 32, 288, GamonFrame);
  constexpr Rgb AllFrame{20, 200, 200};
  HorizontalLine(canvas, 672, 928, 32, AllFrame);
  HorizontalLine(canvas, 672, 928, 288, AllFrame);
  VerticalLine(canvas, 672, 32, 288, AllFrame);
  VerticalLine(canvas, 928, 32, 288, AllFrame);
}

// [SECTION] Headings
namespace {

// A 5 x 7 stroke alphabet of the letters the headings use; each dot is
// stamped as a 2-pixel square, so the strokes are 2 pixels wide.
struct Glyph {
  char letter;
  std::array<std::string_view, 7> rows;
};
constexpr std::array<Glyph, 13> Alphabet = {{
    {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'C', {".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."}},
    {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
    {'G', {".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".####"}},
    {'H', {"#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'L', {"#....", "#....", "#....", "#....", "#....", "#....", "#####"}},
    {'M', {"#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"}},
    {'N', {"#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#", "#...#"}},
    {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'P', {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}},
    {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
    {'Y', {"#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."}},
    {' ', {".....", ".....", ".....", ".....", ".....", ".....", "....."}},
}};

constexpr int DotSize = 2;
constexpr int Advance = 6 * DotSize;

void DrawHeading(std::uint8_t* canvas, int column, int topFromTop, std::string_view text, Rgb colour) {
  int x = column;
  for (const char letter : text) {
    for (const Glyph& glyph : Alphabet) {
      if (glyph.letter != letter) continue;
      for (int gy = 0; gy < 7; ++gy) {
        for (int gx = 0; gx < 5; ++gx) {
          if (glyph.rows[static_cast<std::size_t>(gy)][static_cast<std::size_t>(gx)] != '#') continue;
          const int rowFromTop = topFromTop + gy * DotSize;
          // Canvas rows count from the bottom.
          Fill(canvas, x + gx * DotSize, H - 1 - (rowFromTop + DotSize - 1), x + gx * DotSize + DotSize - 1,
               H - 1 - rowFromTop, colour);
        }
      }
    }
    x += Advance;
  }
}

}  // namespace

void DrawGamonHeadings(std::uint8_t* canvas) {
  constexpr int HeadingRow = 648;  // counted from the top
  DrawHeading(canvas, 26, HeadingRow, "GAMON GRAPH", {200, 200, 20});
  DrawHeading(canvas, 346, HeadingRow, "EACH", {20, 20, 200});
  DrawHeading(canvas, 480, HeadingRow, "COLOR", {200, 200, 200});
  DrawHeading(canvas, 666, HeadingRow, "ALL COLOR", {20, 200, 200});
}
