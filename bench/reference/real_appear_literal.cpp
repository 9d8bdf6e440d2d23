#include "reference/real_appear_literal.h"

void LiteralRealAppear(const std::uint8_t* transfer, const PlaneView& back, int columns, int rows,
                       const PassZone& zone, int edgeWidth) {
  const int e = edgeWidth;
  for (int r = e; r <= rows - e - 1; ++r) {
    for (int c = e; c <= columns - e - 1; ++c) {
      int n = 0, p = 0;
      for (int wr = r - e; wr <= r + e; ++wr) {
        for (int wc = c - e; wc <= c + e; ++wc) {
          ++n;
          const std::uint8_t* t = transfer + (static_cast<std::size_t>(wr) * Stride + wc) * 3;
          if (InPassZone(zone, t[0], t[1], t[2])) ++p;
        }
      }
      if (n <= 0) continue;
      const std::uint8_t* t = transfer + (static_cast<std::size_t>(r) * Stride + c) * 3;
      for (int k = 0; k < 3; ++k) {
        const auto b = static_cast<std::int64_t>(static_cast<std::int32_t>(back.at(k, r, c)));
        back.at(k, r, c) = static_cast<std::uint32_t>((b * p + static_cast<std::int64_t>(t[k]) * (n - p)) / n);
      }
    }
  }
}
