#include "pages/pattern/brush.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace {

// trunc(sqrt(v)) for v >= 0, exact for every int.
int IntegerRoot(long long v) {
  if (v <= 0) return 0;
  long long r = static_cast<long long>(std::sqrt(static_cast<double>(v)));
  while (r * r > v) --r;
  while ((r + 1) * (r + 1) <= v) ++r;
  return static_cast<int>(r);
}

}  // namespace

BrushDisc BrushDiscOf(int size, int pressure) {
  const long long a = static_cast<long long>(size) * size * pressure / 100;
  if (a < 0) return BrushDisc{};
  return BrushDisc{static_cast<int>(a), IntegerRoot(a)};
}

void MarkBrushDisc(std::uint8_t* mask, int columns, int rows, const CanvasArea& area, CanvasPixel centre, int size,
                   int pressure) {
  const BrushDisc disc = BrushDiscOf(size, pressure);
  const int r = disc.radius;
  const int cx = centre.column, cy = centre.row;
  const int top = std::min({cy + r, rows - 1, area.top - 1});
  const int right = std::min({cx + r, columns - 1, area.right - 1});
  for (int row = std::max({cy - r, 0, area.bottom}); row <= top; ++row) {
    const long long dy = row - cy;
    for (int column = std::max({cx - r, 0, area.left}); column <= right; ++column) {
      const long long dx = column - cx;
      if (dx * dx + dy * dy <= disc.area) {
        mask[static_cast<std::size_t>(row) * static_cast<std::size_t>(columns) + static_cast<std::size_t>(column)] = 1;
      }
    }
  }
}

int PressureAfterStroke(int dx, int dy) {
  const int d = IntegerRoot(static_cast<long long>(dx) * dx + static_cast<long long>(dy) * dy);
  if (d < 20) return 100;
  if (d < 50) return 100 - 2 * (d - 20);
  return 40;
}

OutlineRgb BrushColourOf(int source, OutlineRgb outlineColour, OutlineRgb setColour) {
  if (source == 1) return outlineColour;
  if (source == 2) return setColour;
  return OutlineRgb{};
}

namespace {

// Calls paint(i) for every flagged index of the mask inside the area, with
// plane row >= 1 and column >= 1.
template <typename Paint>
void ForEachBrushedPixel(const std::uint8_t* mask, int columns, int rows, const CanvasArea& area, Paint paint) {
  const int firstColumn = std::max(area.left, 1);
  const int endColumn = std::min(area.right, columns);
  const int endRow = std::min(area.top, rows);
  for (int row = std::max(area.bottom, 1); row < endRow; ++row) {
    const std::size_t start = static_cast<std::size_t>(row) * static_cast<std::size_t>(columns);
    for (int column = firstColumn; column < endColumn; ++column) {
      const std::size_t i = start + static_cast<std::size_t>(column);
      if (mask[i] != 0) paint(i);
    }
  }
}

}  // namespace

void PaintBrushMask(std::uint8_t* canvas, const std::uint8_t* mask, int columns, int rows, const CanvasArea& area,
                    OutlineRgb colour) {
  ForEachBrushedPixel(mask, columns, rows, area, [&](std::size_t i) {
    canvas[3 * i] = static_cast<std::uint8_t>(colour.blue);
    canvas[3 * i + 1] = static_cast<std::uint8_t>(colour.green);
    canvas[3 * i + 2] = static_cast<std::uint8_t>(colour.red);
  });
}

void FixBrushMask(const PlaneView& planes, const std::uint8_t* mask, const CanvasArea& area, OutlineRgb colour) {
  ForEachBrushedPixel(mask, planes.stride, planes.rows, area, [&](std::size_t i) {
    planes.plane[0][i] = static_cast<std::uint32_t>(colour.blue);
    planes.plane[1][i] = static_cast<std::uint32_t>(colour.green);
    planes.plane[2][i] = static_cast<std::uint32_t>(colour.red);
  });
}
