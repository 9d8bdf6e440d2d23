// The digital development, step by step, in exact integer arithmetic.
//
// The blends have weights j·i / S² with S a power of two, so every sum of
// weighted samples is an exact dyadic number: the integer sum divided by S²
// with truncation gives the very value the blend in doubles truncates to
// (bench/reference/develop_literal.cpp holds that form; the two are
// compared byte for byte in tests/develop_test.cpp).
//
// [SECTION] Planes
// [SECTION] Steps
// [SECTION] The whole development

#include "pages/view/develop_zoom.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

constexpr int W = DevelopPlanes::Width;
constexpr int H = DevelopPlanes::Height;
constexpr std::uint8_t WhiteByte = 255;

// Division by a square of a power of two as a shift, any other by division.
struct Divider {
  int shift = -1;
  int divisor = 1;
  explicit Divider(int square) : divisor(square) {
    for (int s = 0; s < 31; ++s) {
      if ((1 << s) == square) shift = s;
    }
  }
  int operator()(int sum) const { return shift >= 0 ? sum >> shift : sum / divisor; }
};

std::uint8_t Byte(int value) { return static_cast<std::uint8_t>(std::clamp(value, 0, 255)); }

void FillWhite(DevelopPlanes& b) {
  for (auto& p : b.plane) std::fill(p.begin(), p.end(), WhiteByte);
}

}  // namespace

// [SECTION] Planes
DevelopPlanes::DevelopPlanes() {
  for (auto& p : plane) p.assign(static_cast<std::size_t>(Width) * Height, WhiteByte);
}

int DevelopMargin(int scale) { return scale == 2 ? 2 : scale / 2; }

// [SECTION] Steps
AreaSource CopyViewArea(const PlaneView& planes, ViewRect area) {
  AreaSource source;
  source.width = area.width;
  source.height = area.height;
  for (std::size_t k = 0; k < 3; ++k) {
    source.plane[k].resize(static_cast<std::size_t>(area.width) * area.height);
    for (int r = 0; r < area.height; ++r) {
      const std::uint32_t* from = &planes.at(static_cast<int>(k), area.bottom + r, area.left);
      std::uint8_t* to = source.plane[k].data() + static_cast<std::size_t>(r) * area.width;
      for (int c = 0; c < area.width; ++c) to[c] = static_cast<std::uint8_t>(from[c]);
    }
  }
  return source;
}

void ZoomNearest(DevelopPlanes& b, const AreaSource& source, int scale) {
  FillWhite(b);
  for (int k = 0; k < 3; ++k) {
    for (int r = 0; r < source.height; ++r) {
      for (int i = 0; i < scale; ++i) {
        const int row = scale * r + i;
        if (row >= H) break;
        std::uint8_t* out = b.Row(k, row);
        for (int c = 0; c < source.width; ++c) {
          const std::uint8_t v = source.At(k, r, c);
          for (int j = 0; j < scale && scale * c + j < W; ++j) out[scale * c + j] = v;
        }
      }
    }
  }
}

void WhiteMargin(DevelopPlanes& b, int scale, const AreaSource& source, int margin) {
  const int top = std::clamp(scale * source.height - margin, 0, H);
  const int right = std::clamp(scale * source.width - margin, 0, W);
  const int m = std::clamp(margin, 0, std::min(W, H));
  for (int k = 0; k < 3; ++k) {
    for (int row = 0; row < H; ++row) {
      std::uint8_t* out = b.Row(k, row);
      if (row < m || row >= top) {
        std::memset(out, WhiteByte, W);
        continue;
      }
      std::memset(out, WhiteByte, static_cast<std::size_t>(m));
      std::memset(out + right, WhiteByte, static_cast<std::size_t>(W - right));
    }
  }
}

namespace {

// One scale, the weights known at compile time: the vertical blend of each
// column, then the horizontal one,
//   (S-j)(S-i)p00 + j(S-i)p01 + (S-j)i p10 + j i p11 = (S-j) V[x] + j V[x+1]
// with V = (S-i) p0 + i p1. A blend of bytes with weights summing to S² never
// leaves 0..S²·255, so no clamp is needed.
template <int S>
void BilinearAtScale(DevelopPlanes& b, const AreaSource& source, std::vector<int>& vertical) {
  constexpr int a = S / 2;
  constexpr int shift = 2 * (S == 2 ? 1 : S == 4 ? 2 : S == 8 ? 3 : S == 16 ? 4 : S == 32 ? 5 : 6);
  const int w = source.width;
  const int h = source.height;
  for (int k = 0; k < 3; ++k) {
    const std::uint8_t* plane = source.plane[static_cast<std::size_t>(k)].data();
    for (int y = 0; y < h; ++y) {
      const int y1 = std::min(y + 1, h - 1);  // the area's own last row beyond it
      const std::uint8_t* p0 = plane + static_cast<std::size_t>(y) * w;
      const std::uint8_t* p1 = plane + static_cast<std::size_t>(y1) * w;
      for (int i = 0; i < S; ++i) {
        const int row = S * y + a - 1 + i;
        if (row < 0 || row >= H) continue;
        int* v = vertical.data();
        for (int x = 0; x < w; ++x) v[x] = (S - i) * p0[x] + i * p1[x];
        v[w] = v[w - 1];  // the area's own last column beyond it
        std::uint8_t* out = b.Row(k, row) + (a - 1);
        // Whole blocks while they end inside the canvas, then the last one cut
        // at column 959.
        const int whole = std::min(w, (W - (a - 1)) / S);
        for (int x = 0; x < whole; ++x) {
          const int v0 = v[x], v1 = v[x + 1];
          for (int j = 0; j < S; ++j) out[S * x + j] = static_cast<std::uint8_t>(((S - j) * v0 + j * v1) >> shift);
        }
        for (int x = whole; x < w; ++x) {
          const int v0 = v[x], v1 = v[x + 1];
          for (int j = 0; j < S && (a - 1) + S * x + j < W; ++j)
            out[S * x + j] = static_cast<std::uint8_t>(((S - j) * v0 + j * v1) >> shift);
        }
      }
    }
  }
}

}  // namespace

void ZoomBilinear(DevelopPlanes& b, const AreaSource& source, int scale) {
  if (source.width <= 0 || source.height <= 0) return;
  std::vector<int> vertical(static_cast<std::size_t>(source.width) + 1);
  switch (scale) {
    case 2: BilinearAtScale<2>(b, source, vertical); return;
    case 4: BilinearAtScale<4>(b, source, vertical); return;
    case 8: BilinearAtScale<8>(b, source, vertical); return;
    case 16: BilinearAtScale<16>(b, source, vertical); return;
    case 32: BilinearAtScale<32>(b, source, vertical); return;
    case 64: BilinearAtScale<64>(b, source, vertical); return;
    default: break;
  }
  // Any other scale: the same blend with a division.
  const int s = scale;
  const int a = s / 2;
  const Divider divide(s * s);
  const int w = source.width;
  const int h = source.height;
  for (int k = 0; k < 3; ++k) {
    for (int y = 0; y < h; ++y) {
      const int y1 = std::min(y + 1, h - 1);
      const std::uint8_t* p0 = source.plane[static_cast<std::size_t>(k)].data() + static_cast<std::size_t>(y) * w;
      const std::uint8_t* p1 = source.plane[static_cast<std::size_t>(k)].data() + static_cast<std::size_t>(y1) * w;
      for (int i = 0; i < s; ++i) {
        const int row = s * y + a - 1 + i;
        if (row < 0 || row >= H) continue;
        for (int x = 0; x < w; ++x) vertical[static_cast<std::size_t>(x)] = (s - i) * p0[x] + i * p1[x];
        std::uint8_t* out = b.Row(k, row);
        for (int x = 0; x < w; ++x) {
          const int v0 = vertical[static_cast<std::size_t>(x)];
          const int v1 = vertical[static_cast<std::size_t>(std::min(x + 1, w - 1))];
          const int base = s * x + a - 1;
          const int count = std::min(s, W - base);  // nothing past column 959
          for (int j = 0; j < count; ++j) out[base + j] = Byte(divide((s - j) * v0 + j * v1));
        }
      }
    }
  }
}

namespace {

// Grid 2: the cell of corner (r0, c0) is {A = (r0, c0), A' = (r0, c0 + 2),
// B = (r0 + 2, c0), B' = (r0 + 2, c0 + 2)}; its other three pixels are
// (A + A') / 2, (A + B) / 2 and (A + A' + B + B') / 4, truncated.
void RegridTwo(const DevelopPlanes& from, DevelopPlanes& to, int origin) {
  const int cellRows = (H - origin) / 2;
  const int cellColumns = (W - origin) / 2;
  // Cells whose right corner lies inside the canvas; the last one may not.
  const int innerColumns = std::min(cellColumns, (W - 1 - origin - 2) / 2 + 1);
  for (int k = 0; k < 3; ++k) {
    for (int by = 0; by < cellRows; ++by) {
      const int r0 = 2 * by + origin;
      const int rn = std::min(r0 + 2, H - 1);
      const std::uint8_t* a = from.Row(k, r0) + origin;
      const std::uint8_t* bRow = from.Row(k, rn) + origin;
      std::uint8_t* d0 = to.Row(k, r0) + origin;
      std::uint8_t* d1 = to.Row(k, r0 + 1) + origin;
      for (int bx = 0; bx < innerColumns; ++bx) {
        const int c = 2 * bx;
        const int p = a[c], pr = a[c + 2], q = bRow[c], qr = bRow[c + 2];
        d0[c] = static_cast<std::uint8_t>(p);
        d0[c + 1] = static_cast<std::uint8_t>((p + pr) >> 1);
        d1[c] = static_cast<std::uint8_t>((p + q) >> 1);
        d1[c + 1] = static_cast<std::uint8_t>((p + pr + q + qr) >> 2);
      }
      for (int bx = innerColumns; bx < cellColumns; ++bx) {
        const int c = 2 * bx;
        const int cn = std::min(c + 2, W - 1 - origin);
        const int p = a[c], pr = a[cn], q = bRow[c], qr = bRow[cn];
        d0[c] = static_cast<std::uint8_t>(p);
        d0[c + 1] = static_cast<std::uint8_t>((p + pr) >> 1);
        d1[c] = static_cast<std::uint8_t>((p + q) >> 1);
        d1[c + 1] = static_cast<std::uint8_t>((p + pr + q + qr) >> 2);
      }
    }
  }
}

}  // namespace

void Regrid(const DevelopPlanes& from, DevelopPlanes& to, int grid, int origin) {
  // What no cell covers keeps its value: rows below the origin and above the
  // last cell, and the same columns in the rows between.
  const int firstRow = origin, endRow = origin + grid * ((H - origin) / grid);
  const int firstColumn = origin, endColumn = origin + grid * ((W - origin) / grid);
  for (int k = 0; k < 3; ++k) {
    for (int row = 0; row < H; ++row) {
      const std::uint8_t* a = from.Row(k, row);
      std::uint8_t* out = to.Row(k, row);
      if (row < firstRow || row >= endRow) {
        std::memcpy(out, a, W);
        continue;
      }
      std::memcpy(out, a, static_cast<std::size_t>(firstColumn));
      std::memcpy(out + endColumn, a + endColumn, static_cast<std::size_t>(W - endColumn));
    }
  }
  if (grid == 2) {
    RegridTwo(from, to, origin);
    return;
  }
  const int g = grid;
  const Divider divide(g * g);
  const int cellRows = (H - origin) / g;
  const int cellColumns = (W - origin) / g;
  for (int k = 0; k < 3; ++k) {
    for (int by = 0; by < cellRows; ++by) {
      const int r0 = g * by + origin;
      const int rn = std::min(r0 + g, H - 1);
      for (int bx = 0; bx < cellColumns; ++bx) {
        const int c0 = g * bx + origin;
        const int cn = std::min(c0 + g, W - 1);
        const int p00 = from.Row(k, r0)[c0], p01 = from.Row(k, r0)[cn];
        const int p10 = from.Row(k, rn)[c0], p11 = from.Row(k, rn)[cn];
        for (int i = 0; i < g; ++i) {
          std::uint8_t* out = to.Row(k, r0 + i);
          const int v0 = (g - i) * p00 + i * p10;
          const int v1 = (g - i) * p01 + i * p11;
          for (int j = 0; j < g; ++j) out[c0 + j] = Byte(divide((g - j) * v0 + j * v1));
        }
      }
    }
  }
}

void LiftRows(DevelopPlanes& b, int rows) {
  const int n = std::clamp(rows, 0, H);
  for (int k = 0; k < 3; ++k) {
    std::uint8_t* base = b.Row(k, 0);
    std::memmove(base + static_cast<std::size_t>(H - n) * W, base, static_cast<std::size_t>(n) * W);
    std::memset(base, WhiteByte, static_cast<std::size_t>(H - n) * W);
  }
}

// [SECTION] The whole development
void DevelopViewArea(const PlaneView& planes, ViewRect area, int scale, int liftRows, std::uint8_t* canvas,
                     std::array<DevelopPlanes, 2>& work) {
  const AreaSource source = CopyViewArea(planes, area);
  DevelopPlanes* current = &work[0];
  DevelopPlanes* other = &work[1];
  if (scale > 1) {
    // The nearest-neighbour blocks never survive at S > 1: the margin and
    // the bilinear zoom (rows a - 1 .. S·h + a - 2, columns a - 1 .. 959)
    // cover every pixel of them, so white alone gives the same bytes.
    FillWhite(*current);
    const int margin = DevelopMargin(scale);
    WhiteMargin(*current, scale, source, margin);
    ZoomBilinear(*current, source, scale);
    if (scale >= 4) {
      for (int g = scale / 2; g >= 4; g /= 2) {
        Regrid(*current, *other, g, g / 2);
        std::swap(current, other);
      }
      Regrid(*current, *other, 2, 0);
      std::swap(current, other);
      Regrid(*current, *other, 2, 1);
      std::swap(current, other);
    }
    WhiteMargin(*current, scale, source, margin);
  } else {
    ZoomNearest(*current, source, 1);
  }
  // The lift and the interleaving into the canvas (blue, green, red per
  // pixel) in one pass: plane row r goes to canvas row r + (H - n), and the
  // rows below the lifted ones are white.
  const int n = liftRows > 0 ? std::min(liftRows, H) : H;
  const int offset = H - n;
  std::memset(canvas, WhiteByte, static_cast<std::size_t>(offset) * W * 3);
  for (int r = 0; r < n; ++r) {
    const std::uint8_t* b = current->Row(0, r);
    const std::uint8_t* g = current->Row(1, r);
    const std::uint8_t* red = current->Row(2, r);
    std::uint8_t* out = canvas + static_cast<std::size_t>(r + offset) * W * 3;
    for (int c = 0; c < W; ++c) {
      out[3 * c] = b[c];
      out[3 * c + 1] = g[c];
      out[3 * c + 2] = red[c];
    }
  }
}
