#include "reference/overview_literal.h"

#include <cstdint>

Picture LiteralOverview(const Picture& whole, const std::vector<PictureStep>& steps, int boxWidth, int boxHeight,
                        Edges edges) {
  const ReducedSize size = ReducedSizeIn(whole.width, whole.height, boxWidth, boxHeight);
  if (size.width <= 0) return {};
  const Picture worked = steps.empty() ? whole : ApplySteps(steps, whole, 1, edges);
  Picture out{size.width, size.height, std::vector<std::uint8_t>(static_cast<std::size_t>(size.width) * size.height * 3)};
  for (int Y = 0; Y < size.height; ++Y) {
    const long long y0 = static_cast<long long>(Y) * whole.height / size.height;
    const long long y1 = static_cast<long long>(Y + 1) * whole.height / size.height;
    for (int X = 0; X < size.width; ++X) {
      const long long x0 = static_cast<long long>(X) * whole.width / size.width;
      const long long x1 = static_cast<long long>(X + 1) * whole.width / size.width;
      const std::uint64_t n = static_cast<std::uint64_t>((y1 - y0) * (x1 - x0));
      for (int k = 0; k < 3; ++k) {
        std::uint64_t sum = 0;
        for (long long y = y0; y < y1; ++y) {
          for (long long x = x0; x < x1; ++x) sum += worked.rgb[static_cast<std::size_t>((y * whole.width + x) * 3 + k)];
        }
        out.rgb[(static_cast<std::size_t>(Y) * size.width + X) * 3 + static_cast<std::size_t>(k)] =
            static_cast<std::uint8_t>((sum + n / 2) / n);
      }
    }
  }
  return out;
}
