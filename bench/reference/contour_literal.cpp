#include "reference/contour_literal.h"

#include <algorithm>
#include <cstddef>

#include "image/gray.h"

void LiteralContour(std::uint8_t* canvas, int stride, int width, int height, const ContourDrawSettings& settings) {
  const ContourLadder& ladder = settings.ladder;
  const int operation = settings.operation;
  if (operation == ContourNone || ladder.step <= 0) return;
  const int n = (ladder.max - ladder.min) / ladder.step;
  const int increment = n > 0 ? 256 / n : 0;
  int s = settings.scanIndex;
  if (operation == ContourOneLevel && n + 1 < s) s = 1;
  for (int row = 0; row < height; ++row) {
    for (int column = 0; column < width; ++column) {
      std::uint8_t* p = canvas + (static_cast<std::size_t>(row) * stride + static_cast<std::size_t>(column)) * 3;
      const int g = std::clamp(GrayOf(p[2], p[1], p[0]), 0, 255);
      if (g < ladder.min || g > ladder.max) continue;
      for (int k = 0; k <= n; ++k) {
        const int level = ladder.min + k * ladder.step;
        const bool hit = operation == ContourAllLevels ? g == level : (k == s - 1 && g == level);
        if (!hit) continue;
        const int kk = (g - ladder.min) / ladder.step;
        const ContourColour c = ContourLevelColour(settings.colourType, kk, increment);
        p[0] = static_cast<std::uint8_t>(c.blue);
        p[1] = static_cast<std::uint8_t>(c.green);
        p[2] = static_cast<std::uint8_t>(c.red);
      }
    }
  }
}
