// The colour swap modes, one tight loop per mode.

#include "ops/colour_swap.h"

#include <cstddef>
#include <utility>

SwapRgb SwapPixel(int mode, int r, int g, int b) {
  switch (mode) {
    case 1: return {b, r, g};  // R>G>B>R: red goes to green, green to blue, blue to red
    case 2: return {g, b, r};  // R<G<B<R
    case 3: return {r, b, g};  // [R] G⇔B
    case 4: return {b, g, r};  // [G] B⇔R
    case 5: return {g, r, b};  // [B] R⇔G
    case 6: return {255 - r, g, b};
    case 7: return {r, 255 - g, b};
    case 8: return {r, g, 255 - b};
    case 9: return {r, 255 - g, 255 - b};
    case 10: return {255 - r, g, 255 - b};
    case 11: return {255 - r, 255 - g, b};
    case 12: return {255 - r, 255 - g, 255 - b};
    case 17: return {(g + 255) / 2, (r + g + b + 255) / 4, (r + b) / 2};
    default: return {r, g, b};
  }
}

namespace {

struct SwapTarget {
  std::uint8_t* canvas;
  int stride, width, height;
};

template <int Mode>
void SwapLoop(const PlaneView& planes, const SwapTarget& to) {
  for (int row = 0; row < to.height; ++row) {
    const std::uint32_t* pb = &planes.at(0, row, 0);
    const std::uint32_t* pg = &planes.at(1, row, 0);
    const std::uint32_t* pr = &planes.at(2, row, 0);
    std::uint8_t* out = to.canvas + static_cast<std::size_t>(row) * static_cast<std::size_t>(to.stride) * 3;
    for (int c = 0; c < to.width; ++c) {
      const int b = static_cast<std::uint8_t>(pb[c]);
      const int g = static_cast<std::uint8_t>(pg[c]);
      const int r = static_cast<std::uint8_t>(pr[c]);
      const SwapRgb s = SwapPixel(Mode, r, g, b);
      out[3 * c] = static_cast<std::uint8_t>(s.blue);
      out[3 * c + 1] = static_cast<std::uint8_t>(s.green);
      out[3 * c + 2] = static_cast<std::uint8_t>(s.red);
    }
  }
}

template <int... Modes>
void SwapByMode(const PlaneView& planes, int mode, const SwapTarget& to, std::integer_sequence<int, Modes...>) {
  ((mode == Modes ? (SwapLoop<Modes>(planes, to), true) : false) || ...);
}

}  // namespace

void SwapIntoCanvas(const PlaneView& planes, std::uint8_t* canvas, int canvasStride, int width, int height,
                    const SwapSettings& settings) {
  const int mode = settings.mode < 0 || settings.mode >= SwapModeCount ? 0 : settings.mode;
  SwapByMode(planes, mode, SwapTarget{canvas, canvasStride, width, height},
             std::make_integer_sequence<int, SwapModeCount>{});
}
