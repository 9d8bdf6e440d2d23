#include "reference/polygon_fill_literal.h"

#include <algorithm>
#include <vector>

#include "image/planes.h"

namespace {

std::uint8_t* PixelAt(std::uint8_t* canvas, int column, int row) {
  return canvas + (static_cast<std::size_t>(row) * Stride + column) * 3;
}
bool White(std::uint8_t* p) { return p[0] == 255 && p[1] == 255 && p[2] == 255; }
void Whiten(std::uint8_t* p) { p[0] = p[1] = p[2] = 255; }

}  // namespace

void LiteralFillPolygonInside(std::uint8_t* canvas, std::span<const std::uint8_t> mask, int mode,
                              std::span<const int> extremumPixels) {
  auto listed = [&](int column, int row) {
    const int index = row * Stride + column;
    return mask[static_cast<std::size_t>(index)] == 1 &&
           std::find(extremumPixels.begin(), extremumPixels.end(), index) == extremumPixels.end();
  };
  if (mode == 1) {
    for (int row = 0; row < CanvasRows; ++row) {
      std::vector<int> list;
      for (int column = 0; column < Stride; ++column) {
        if (listed(column, row) && list.size() < 36) list.push_back(column);
      }
      for (std::size_t i = 0; i + 1 < list.size(); i += 2) {
        for (int column = list[i]; column <= list[i + 1]; ++column) Whiten(PixelAt(canvas, column, row));
      }
    }
    for (int row = 1; row <= 670; ++row) {
      for (int column = 0; column < Stride; ++column) {
        if (White(PixelAt(canvas, column, row - 1)) && White(PixelAt(canvas, column, row + 1))) {
          Whiten(PixelAt(canvas, column, row));
        }
      }
    }
    return;
  }
  for (int column = 0; column < Stride; ++column) {
    std::vector<int> list;
    for (int row = 0; row < CanvasRows; ++row) {
      if (listed(column, row) && list.size() < 36) list.push_back(row);
    }
    for (std::size_t i = 0; i + 1 < list.size(); i += 2) {
      for (int row = list[i]; row <= list[i + 1]; ++row) Whiten(PixelAt(canvas, column, row));
    }
  }
  for (int column = 1; column <= 958; ++column) {
    for (int row = 0; row < CanvasRows; ++row) {
      if (White(PixelAt(canvas, column - 1, row)) && White(PixelAt(canvas, column + 1, row))) {
        Whiten(PixelAt(canvas, column, row));
      }
    }
  }
}
