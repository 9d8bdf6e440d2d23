// The view pages' pixel work as designed, the slow and plain way.

#include "reference/develop_literal.h"

#include <algorithm>

#include "image/gray.h"

namespace {

constexpr int W = Stride;
constexpr int H = CanvasRows;

std::uint8_t* Px(std::uint8_t* canvas, int row, int column) {
  return canvas + (static_cast<std::size_t>(row) * W + static_cast<std::size_t>(column)) * 3;
}

void PlanesFrom(std::uint8_t* canvas, const PlaneView& p) {
  for (int row = 0; row < H; ++row)
    for (int c = 0; c < W; ++c)
      for (int k = 0; k < 3; ++k) p.at(k, row, c) = Px(canvas, row, c)[k];
}

void Whiten(std::uint8_t* canvas) { std::fill(canvas, canvas + static_cast<std::size_t>(W) * H * 3, 255); }

void WhiteMarginLiteral(std::uint8_t* canvas, int s, int w, int h, int m) {
  for (int row = 0; row < H; ++row) {
    for (int c = 0; c < W; ++c) {
      const bool white = row < m || row >= s * h - m || c >= s * w - m || c < m;
      if (white) std::fill(Px(canvas, row, c), Px(canvas, row, c) + 3, 255);
    }
  }
}

int Truncated(double value) { return std::clamp(static_cast<int>(value), 0, 255); }

}  // namespace

void LiteralDevelop(const PlaneView& p, ViewRect area, int s, int liftRows, std::uint8_t* canvas) {
  const int w = area.width;
  const int h = area.height;
  // 1. CopyViewArea into the lowest-left corner.
  for (int r = 0; r < h; ++r)
    for (int c = 0; c < w; ++c)
      for (int k = 0; k < 3; ++k)
        Px(canvas, r, c)[k] = static_cast<std::uint8_t>(p.at(k, area.bottom + r, area.left + c));
  // 2. - 3.
  PlanesFrom(canvas, p);
  Whiten(canvas);
  // 4. ZoomNearest.
  const int scale = std::max(s, 1);
  Whiten(canvas);
  for (int r = 0; r < h; ++r)
    for (int c = 0; c < w; ++c)
      for (int i = 0; i < scale; ++i)
        for (int j = 0; j < scale; ++j) {
          const int row = scale * r + i, col = scale * c + j;
          if (row >= H || col >= W) continue;
          for (int k = 0; k < 3; ++k) Px(canvas, row, col)[k] = static_cast<std::uint8_t>(p.at(k, r, c));
        }
  if (s > 1) {
    const int m = s == 2 ? 2 : s / 2;
    WhiteMarginLiteral(canvas, s, w, h, m);
    // ZoomBilinear.
    const int a = s / 2;
    const double s2 = static_cast<double>(s) * s;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        for (int i = 0; i < s; ++i)
          for (int j = 0; j < s; ++j) {
            const double w00 = (s - j) * (s - i) / s2, w01 = j * (s - i) / s2;
            const double w10 = (s - j) * i / s2, w11 = j * i / s2;
            const int row = s * y + a - 1 + i, col = s * x + a - 1 + j;
            if (row < 0 || row >= H || col >= W) continue;
            const int x1 = std::min(x + 1, w - 1), y1 = std::min(y + 1, h - 1);
            for (int k = 0; k < 3; ++k) {
              const double v = static_cast<int>(p.at(k, y, x)) * w00 + static_cast<int>(p.at(k, y, x1)) * w01 +
                               static_cast<int>(p.at(k, y1, x)) * w10 + static_cast<int>(p.at(k, y1, x1)) * w11;
              Px(canvas, row, col)[k] = static_cast<std::uint8_t>(Truncated(v));
            }
          }
    // The smoothing schedule.
    auto regrid = [&](int g, int o) {
      PlanesFrom(canvas, p);
      const double g2 = static_cast<double>(g) * g;
      for (int by = 0; by < (H - o) / g; ++by)
        for (int bx = 0; bx < (W - o) / g; ++bx) {
          const int r0 = g * by + o, c0 = g * bx + o;
          const int rn = std::min(r0 + g, H - 1), cn = std::min(c0 + g, W - 1);
          for (int i = 0; i < g; ++i)
            for (int j = 0; j < g; ++j) {
              const double w00 = (g - j) * (g - i) / g2, w01 = j * (g - i) / g2;
              const double w10 = (g - j) * i / g2, w11 = j * i / g2;
              for (int k = 0; k < 3; ++k) {
                const double v = static_cast<int>(p.at(k, r0, c0)) * w00 + static_cast<int>(p.at(k, r0, cn)) * w01 +
                                 static_cast<int>(p.at(k, rn, c0)) * w10 + static_cast<int>(p.at(k, rn, cn)) * w11;
                Px(canvas, r0 + i, c0 + j)[k] = static_cast<std::uint8_t>(Truncated(v));
              }
            }
        }
    };
    if (s >= 4) {
      for (int g = s / 2; g >= 4; g /= 2) regrid(g, g / 2);
      regrid(2, 0);
      regrid(2, 1);
    }
    WhiteMarginLiteral(canvas, s, w, h, m);
  }
  // 7. LiftRows.
  if (liftRows > 0) {
    const int n = std::min(liftRows, H);
    for (int r = n - 1; r >= 0; --r)
      for (int c = 0; c < W; ++c)
        for (int k = 0; k < 3; ++k) Px(canvas, r + (H - n), c)[k] = Px(canvas, r, c)[k];
    for (int r = 0; r < H - n; ++r)
      for (int c = 0; c < W; ++c) std::fill(Px(canvas, r, c), Px(canvas, r, c) + 3, 255);
  }
}

void LiteralSwap(const PlaneView& p, std::uint8_t* canvas, int canvasStride, int width, int height,
                 const SwapSettings& settings) {
  const int mode = settings.mode;
  for (int row = 0; row < height; ++row)
    for (int c = 0; c < width; ++c) {
      const int b = static_cast<std::uint8_t>(p.at(0, row, c));
      const int g = static_cast<std::uint8_t>(p.at(1, row, c));
      const int r = static_cast<std::uint8_t>(p.at(2, row, c));
      int r2 = r, g2 = g, b2 = b;
      switch (mode) {
        case 1: r2 = b; g2 = r; b2 = g; break;
        case 2: r2 = g; g2 = b; b2 = r; break;
        case 3: g2 = b; b2 = g; break;
        case 4: b2 = r; r2 = b; break;
        case 5: r2 = g; g2 = r; break;
        case 6: r2 = 255 - r; break;
        case 7: g2 = 255 - g; break;
        case 8: b2 = 255 - b; break;
        case 9: g2 = 255 - g; b2 = 255 - b; break;
        case 10: r2 = 255 - r; b2 = 255 - b; break;
        case 11: r2 = 255 - r; g2 = 255 - g; break;
        case 12: r2 = 255 - r; g2 = 255 - g; b2 = 255 - b; break;
        case 17: r2 = (g + 255) / 2; g2 = (r + g + b + 255) / 4; b2 = (r + b) / 2; break;
        default: break;
      }
      std::uint8_t* out = canvas + (static_cast<std::size_t>(row) * canvasStride + static_cast<std::size_t>(c)) * 3;
      out[0] = static_cast<std::uint8_t>(b2);
      out[1] = static_cast<std::uint8_t>(g2);
      out[2] = static_cast<std::uint8_t>(r2);
    }
}

void LiteralGamonCount(const PlaneView& p, ViewRect window, LiteralGamonTables& t) {
  t = LiteralGamonTables{};
  for (int row = window.bottom; row < window.bottom + window.height; ++row)
    for (int c = window.left; c < window.left + window.width; ++c) {
      const std::int64_t b = static_cast<std::int32_t>(p.at(0, row, c));
      const std::int64_t g = static_cast<std::int32_t>(p.at(1, row, c));
      const std::int64_t r = static_cast<std::int32_t>(p.at(2, row, c));
      const std::size_t y = static_cast<std::size_t>(std::clamp<std::int64_t>(GrayTruncated(r, g, b), 0, 255));
      const std::size_t bi = static_cast<std::size_t>(std::clamp<std::int64_t>(b, 0, 255));
      const std::size_t gi = static_cast<std::size_t>(std::clamp<std::int64_t>(g, 0, 255));
      const std::size_t ri = static_cast<std::size_t>(std::clamp<std::int64_t>(r, 0, 255));
      t.density[0][y][bi] += 1;
      t.density[1][y][gi] += 1;
      t.density[2][y][ri] += 1;
      t.histogram[0][bi] += 1;
      t.histogram[1][gi] += 1;
      t.histogram[2][ri] += 1;
      t.histogram[3][y] += 1;
    }
}
