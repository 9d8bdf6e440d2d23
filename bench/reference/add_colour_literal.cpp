#include "reference/add_colour_literal.h"

#include <array>
#include <cstdint>

#include "image/gray.h"

void LiteralAddNodColours(const PlaneView& planes, int width, int height, const AddColourSettings& settings) {
  const NodColumn& active = settings.active;
  const int lo = settings.lo, hi = settings.hi;
  const BlendWeights weights = settings.weights;
  const std::int64_t W = weights.old + weights.nod;
  const std::int64_t d = (hi - lo) / 6;
  const std::array<std::int64_t, 7> b = {lo, lo + d, lo + 2 * d, lo + 3 * d, lo + 4 * d, lo + 5 * d, hi};
  for (int row = 0; row < height; ++row) {
    for (int x = 0; x < width; ++x) {
      std::uint32_t& blue = planes.at(0, row, x);
      std::uint32_t& green = planes.at(1, row, x);
      std::uint32_t& red = planes.at(2, row, x);
      const std::int64_t g = GrayRounded(red, green, blue);
      int band = -1;
      for (int j = 0; j < 6; ++j) {
        const bool last = j == 5;
        if (b[static_cast<std::size_t>(j)] <= g &&
            (last ? g <= b[6] : g < b[static_cast<std::size_t>(j) + 1])) {
          band = j;
          break;
        }
      }
      if (band < 0) continue;
      const std::int64_t t = g - b[static_cast<std::size_t>(band)];
      const std::int64_t s = b[static_cast<std::size_t>(band) + 1] - b[static_cast<std::size_t>(band)];
      const NodColour& n1 = active[static_cast<std::size_t>(band)];
      const NodColour& n2 = active[static_cast<std::size_t>(band) + 1];
      const auto ramp = [&](std::int64_t from, std::int64_t to) { return s == 0 ? from : from + (to - from) * t / s; };
      const std::int64_t rampBlue = ramp(n1.blue, n2.blue);
      const std::int64_t rampGreen = ramp(n1.green, n2.green);
      const std::int64_t rampRed = ramp(n1.red, n2.red);
      blue = static_cast<std::uint32_t>((static_cast<std::int64_t>(blue) * weights.old + rampBlue * weights.nod) / W);
      green =
          static_cast<std::uint32_t>((static_cast<std::int64_t>(green) * weights.old + rampGreen * weights.nod) / W);
      red = static_cast<std::uint32_t>((static_cast<std::int64_t>(red) * weights.old + rampRed * weights.nod) / W);
    }
  }
}
