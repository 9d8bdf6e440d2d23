#include "ops/gray_range.h"

#include <algorithm>
#include <cstddef>

#include "image/gray.h"

void PaintGrayRange(const PlaneView& planes, std::uint8_t* canvas, int canvasStride, int width, int height,
                    const GrayRangeSettings& settings) {
  const int lo = settings.lo, hi = settings.hi;
  const int first = std::max(lo, 0), last = std::min(hi, 255);
  if (first > last) return;  // grays of byte samples lie in 0..255
  // Which grays are in the range, so the loop is a gray and a look-up. The
  // gray of byte samples is worked in 32 bits; a sample above 255 (which a
  // page may leave in a plane) takes the 64-bit rule.
  std::array<std::uint8_t, 256> inRange{};
  for (int g = first; g <= last; ++g) inRange[static_cast<std::size_t>(g)] = 1;
  const UniRgb& colour = settings.colour;
  const auto b = static_cast<std::uint8_t>(colour.blue), gr = static_cast<std::uint8_t>(colour.green),
             r = static_cast<std::uint8_t>(colour.red);
  const std::size_t stride = static_cast<std::size_t>(planes.stride);
  for (int row = 0; row < height; ++row) {
    const std::uint32_t* pb = planes.plane[0] + static_cast<std::size_t>(row) * stride;
    const std::uint32_t* pg = planes.plane[1] + static_cast<std::size_t>(row) * stride;
    const std::uint32_t* pr = planes.plane[2] + static_cast<std::size_t>(row) * stride;
    std::uint8_t* out = canvas + static_cast<std::size_t>(row) * static_cast<std::size_t>(canvasStride) * 3;
    for (int x = 0; x < width; ++x) {
      const std::uint32_t sb = pb[x], sg = pg[x], sr = pr[x];
      bool take;
      if ((sb | sg | sr) < 256u) {
        take = inRange[GrayOfLanes(sr, sg, sb)] != 0;
      } else {
        const std::int64_t g = GrayTruncated(sr, sg, sb);
        take = g >= lo && g <= hi;
      }
      if (take) {
        out[3 * x] = b;
        out[3 * x + 1] = gr;
        out[3 * x + 2] = r;
      }
    }
  }
}
