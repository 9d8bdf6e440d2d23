#include "reference/range_convert_literal.h"

#include <cstddef>

#include "image/gray.h"

void LiteralPaintGrayRange(const PlaneView& planes, std::uint8_t* canvas, int canvasStride, int width, int height,
                           const GrayRangeSettings& settings) {
  for (int row = 0; row < height; ++row) {
    for (int column = 0; column < width; ++column) {
      const std::int64_t g =
          GrayTruncated(planes.at(2, row, column), planes.at(1, row, column), planes.at(0, row, column));
      if (settings.lo <= g && g <= settings.hi) {
        std::uint8_t* p =
            canvas + (static_cast<std::size_t>(row) * canvasStride + static_cast<std::size_t>(column)) * 3;
        p[0] = static_cast<std::uint8_t>(settings.colour.blue);
        p[1] = static_cast<std::uint8_t>(settings.colour.green);
        p[2] = static_cast<std::uint8_t>(settings.colour.red);
      }
    }
  }
}
