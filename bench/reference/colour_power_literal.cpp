// Literal forms of the FILTER page's pixel work (see the header).

#include "reference/colour_power_literal.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace {

long long Sample(const PlaneView& planes, int k, int row, int column) {
  return static_cast<std::int32_t>(planes.at(k, row, column));
}

void Store(const PlaneView& planes, int k, int row, int column, double value) {
  planes.at(k, row, column) = static_cast<std::uint32_t>(std::clamp(value, 0.0, 255.0));
}

}  // namespace

void LiteralColourPower(const PlaneView& planes, const std::array<int, 3>& powers) {
  // 1. Build W.
  std::array<double, 256> f{};
  double maxF = 0.0;
  for (int v = 0; v < 256; ++v) {
    f[static_cast<std::size_t>(v)] = std::sqrt(65025.0 - static_cast<double>((v - 255) * (v - 255))) - v;
    if (f[static_cast<std::size_t>(v)] > maxF) maxF = f[static_cast<std::size_t>(v)];
  }
  std::array<double, 256> w{};
  for (std::size_t v = 0; v < 256; ++v) w[v] = f[v] / maxF;

  // 2.-4. Every pixel: its gray, each channel moved from it, clamped.
  for (int row = 0; row < planes.rows; ++row) {
    for (int column = 0; column < planes.stride; ++column) {
      const long long b = Sample(planes, 0, row, column);
      const long long g = Sample(planes, 1, row, column);
      const long long r = Sample(planes, 2, row, column);
      // The gray 0.299 r + 0.587 g + 0.114 b truncated toward zero, counted
      // in thousandths so that a whole gray stays whole.
      const double y = static_cast<double>((299 * r + 587 * g + 114 * b) / 1000);
      // W is 0 at both ends; a gray beyond them takes the end's 0.
      const double wy = y < 0.0 ? w[0] : y > 255.0 ? w[255] : w[static_cast<std::size_t>(y)];
      const std::array<long long, 3> c{b, g, r};
      for (int k = 0; k < 3; ++k) {
        const double moved = std::trunc((static_cast<double>(c[static_cast<std::size_t>(k)]) - y) * 0.01 *
                                        powers[static_cast<std::size_t>(k)] * wy) + y;
        Store(planes, k, row, column, moved);
      }
    }
  }
}

void LiteralPeach(const PlaneView& planes, const FilterLevels& levels) {
  const bool allOpen = levels[0].high - levels[0].low > 0 && levels[1].high - levels[1].low > 0 &&
                       levels[2].high - levels[2].low > 0;
  for (int row = 0; row < planes.rows; ++row) {
    for (int column = 0; column < planes.stride; ++column) {
      for (int k = 0; k < 3; ++k) {
        const FilterLevel& l = levels[static_cast<std::size_t>(k)];
        long long d = Sample(planes, k, row, column) - l.low;
        if (allOpen) d = d * 234 / (l.high - l.low) + 10;
        Store(planes, k, row, column, static_cast<double>(std::clamp(d, -1000LL, 1000LL)));
      }
    }
  }
}

void LiteralBerry(const PlaneView& planes, const FilterLevels& levels) {
  int widest = 0;
  for (const FilterLevel& l : levels) widest = std::max(widest, l.high - l.low);
  if (widest == 0) widest = 1;
  const double gain = static_cast<double>(255 / widest);
  for (int row = 0; row < planes.rows; ++row) {
    for (int column = 0; column < planes.stride; ++column) {
      for (int k = 0; k < 3; ++k) {
        const FilterLevel& l = levels[static_cast<std::size_t>(k)];
        const double v = std::trunc(static_cast<double>(Sample(planes, k, row, column) - l.low) * gain) +
                         std::trunc((255.0 - (l.high - l.low) * gain) * 0.5);
        Store(planes, k, row, column, v);
      }
    }
  }
}

void LiteralLightCore(std::span<const std::uint8_t> canvas, const PlaneView& planes, int start, int end) {
  const int g = 255 / (end > start ? end - start : 1);
  const std::size_t rowBytes = 3 * static_cast<std::size_t>(planes.stride);
  const int rows = std::min(planes.rows, static_cast<int>(canvas.size() / rowBytes));
  bool allZero = true;
  for (int row = 0; row < rows; ++row) {
    for (int column = 0; column < planes.stride; ++column) {
      for (int k = 0; k < 3; ++k) {
        const int v = canvas[static_cast<std::size_t>(row) * rowBytes + 3 * static_cast<std::size_t>(column) +
                             static_cast<std::size_t>(k)];
        const long long out = std::clamp(static_cast<long long>(g) * (v - start), 0LL, 255LL);
        planes.at(k, row, column) = static_cast<std::uint32_t>(out);
        if (out != 0) allZero = false;
      }
    }
  }
  if (!allZero) return;
  for (int row = 0; row < rows; ++row)
    for (int column = 0; column < planes.stride; ++column)
      for (int k = 0; k < 3; ++k) planes.at(k, row, column) = 1;
}
