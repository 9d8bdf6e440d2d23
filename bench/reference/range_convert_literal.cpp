#include "reference/range_convert_literal.h"

#include <cstddef>

#include "image/gray.h"

void LiteralPaintGrayRange(std::uint8_t* canvas, const PlaneView& planes, int lo, int hi, const UniRgb& colour) {
  for (int row = 0; row < CanvasRows; ++row) {
    for (int column = 0; column < Stride; ++column) {
      const std::int64_t g =
          GrayTruncated(planes.at(2, row, column), planes.at(1, row, column), planes.at(0, row, column));
      if (lo <= g && g <= hi) {
        std::uint8_t* p = canvas + (static_cast<std::size_t>(row) * Stride + static_cast<std::size_t>(column)) * 3;
        p[0] = static_cast<std::uint8_t>(colour.blue);
        p[1] = static_cast<std::uint8_t>(colour.green);
        p[2] = static_cast<std::uint8_t>(colour.red);
      }
    }
  }
}
