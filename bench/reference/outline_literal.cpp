#include "reference/outline_literal.h"

#include <cmath>
#include <vector>

#include "image/gray.h"

namespace {

// A region as its pixels' (row offset, column offset).
struct Offset {
  int row, column;
};
using Region = std::vector<Offset>;

// Adds the pixels of row `row`, columns first .. last.
void AddRow(Region& region, int row, int first, int last) {
  for (int c = first; c <= last; ++c) region.push_back({row, c});
}
// Adds the pixels of column `column`, rows first .. last.
void AddColumn(Region& region, int column, int first, int last) {
  for (int r = first; r <= last; ++r) region.push_back({r, column});
}

struct RegionPair {
  Region a, b;
  int divisor;
};

std::vector<RegionPair> FinePairs() {
  std::vector<RegionPair> pairs(4);
  pairs[0] = {{{-1, -1}, {-1, 0}, {0, -1}}, {{0, 1}, {1, 0}, {1, 1}}, 3};
  pairs[1] = {{{0, -1}, {1, -1}, {1, 0}}, {{-1, 0}, {-1, 1}, {0, 1}}, 3};
  AddRow(pairs[2].a, -1, -1, 1);
  AddRow(pairs[2].b, 1, -1, 1);
  pairs[2].divisor = 3;
  AddColumn(pairs[3].a, 1, -1, 1);
  AddColumn(pairs[3].b, -1, -1, 1);
  pairs[3].divisor = 3;
  return pairs;
}

std::vector<RegionPair> MiddlePairs() {
  std::vector<RegionPair> pairs(4);
  RegionPair& d1 = pairs[0];
  AddRow(d1.a, -2, -1, 1);
  AddRow(d1.a, -1, 0, 2);
  AddRow(d1.a, 0, 1, 2);
  AddRow(d1.a, 1, 2, 2);
  AddRow(d1.b, -1, -2, -2);
  AddRow(d1.b, 0, -2, -1);
  AddRow(d1.b, 1, -2, 0);
  AddRow(d1.b, 2, -1, 1);
  d1.divisor = 9;
  RegionPair& d2 = pairs[1];
  AddRow(d2.a, -2, -1, 1);
  AddRow(d2.a, -1, -2, 0);
  AddRow(d2.a, 0, -2, -1);
  AddRow(d2.a, 1, -2, -2);
  AddRow(d2.b, -1, 2, 2);
  AddRow(d2.b, 0, 1, 2);
  AddRow(d2.b, 1, 0, 2);
  AddRow(d2.b, 2, -1, 1);
  d2.divisor = 9;
  RegionPair& h = pairs[2];
  h.a = {{-2, -1}, {-1, -2}, {-1, -1}, {0, -2}, {0, -1}, {1, -2}, {1, -1}, {2, -1}};
  for (const Offset& o : h.a) h.b.push_back({o.row, -o.column});
  h.divisor = 8;
  RegionPair& v = pairs[3];
  AddRow(v.a, -2, -1, 1);
  AddRow(v.a, -1, -2, 2);
  AddRow(v.b, 1, -2, 2);
  AddRow(v.b, 2, -1, 1);
  v.divisor = 8;
  return pairs;
}

std::vector<RegionPair> FatPairs() {
  std::vector<RegionPair> pairs(4);
  RegionPair& d1 = pairs[0];
  AddRow(d1.a, -3, -2, 1);
  AddRow(d1.a, -2, -3, 0);
  AddRow(d1.a, -1, -3, -1);
  AddRow(d1.a, 0, -3, -2);
  AddRow(d1.a, 1, -3, -3);
  AddRow(d1.b, 3, -1, 2);
  AddRow(d1.b, 2, 0, 3);
  AddRow(d1.b, 1, 1, 3);
  AddRow(d1.b, 0, 2, 3);
  AddRow(d1.b, -1, 3, 3);
  d1.divisor = 14;
  RegionPair& d2 = pairs[1];
  AddRow(d2.a, -3, -1, 2);
  AddRow(d2.a, -2, 0, 3);
  AddRow(d2.a, -1, 1, 3);
  AddRow(d2.a, 0, 2, 3);
  AddRow(d2.a, 1, 3, 3);
  AddRow(d2.b, 3, -2, 1);
  AddRow(d2.b, 2, -3, 0);
  AddRow(d2.b, 1, -3, -1);
  AddRow(d2.b, 0, -3, -2);
  AddRow(d2.b, -1, -3, -3);
  d2.divisor = 14;
  RegionPair& h = pairs[2];
  AddColumn(h.a, -3, -2, 2);
  AddColumn(h.a, -2, -3, 3);
  AddColumn(h.b, 2, -3, 3);
  AddColumn(h.b, 3, -2, 2);
  h.divisor = 12;
  RegionPair& v = pairs[3];
  AddRow(v.a, -3, -2, 2);
  AddRow(v.a, -2, -3, 3);
  AddRow(v.b, 2, -3, 3);
  AddRow(v.b, 3, -2, 2);
  v.divisor = 12;
  return pairs;
}

std::int64_t Mean(const PlaneView& planes, int k, int row, int column, const Region& region, int divisor) {
  std::int64_t sum = 0;
  for (const Offset& o : region) sum += planes.at(k, row + o.row, column + o.column);
  return sum / divisor;
}

std::int64_t Distance(std::int64_t a, std::int64_t b) { return a > b ? a - b : b - a; }

}  // namespace

void LiteralOutline(const PlaneView& planes, std::uint8_t* canvas, int canvasStride, int width, int height,
                    const OutlineSettings& settings) {
  const int judgeValue = settings.judgeValue;
  const int judgeMode = settings.judgeMode;
  const OutlineRgb colour = settings.colour;
  std::vector<RegionPair> pairs;
  int border = 2;
  if (settings.outlineWidth == 1) {
    pairs = FinePairs();
  } else if (settings.outlineWidth == 2) {
    pairs = MiddlePairs();
  } else if (settings.outlineWidth == 3) {
    pairs = FatPairs();
    border = 3;
  } else {
    return;
  }
  for (int row = border; row < height - border; ++row) {
    for (int column = border; column < width - border; ++column) {
      bool outline = false;
      for (const RegionPair& pair : pairs) {
        const std::int64_t blueA = Mean(planes, 0, row, column, pair.a, pair.divisor);
        const std::int64_t greenA = Mean(planes, 1, row, column, pair.a, pair.divisor);
        const std::int64_t redA = Mean(planes, 2, row, column, pair.a, pair.divisor);
        const std::int64_t blueB = Mean(planes, 0, row, column, pair.b, pair.divisor);
        const std::int64_t greenB = Mean(planes, 1, row, column, pair.b, pair.divisor);
        const std::int64_t redB = Mean(planes, 2, row, column, pair.b, pair.divisor);
        if (judgeMode == 1) {
          if (Distance(redA, redB) > judgeValue && Distance(greenA, greenB) > judgeValue &&
              Distance(blueA, blueB) > judgeValue) {
            outline = true;
          }
        } else if (Distance(GrayTruncated(redA, greenA, blueA), GrayTruncated(redB, greenB, blueB)) > judgeValue) {
          outline = true;
        }
      }
      if (outline) {
        const std::size_t i = static_cast<std::size_t>(row) * canvasStride + column;
        canvas[3 * i] = static_cast<std::uint8_t>(colour.blue);
        canvas[3 * i + 1] = static_cast<std::uint8_t>(colour.green);
        canvas[3 * i + 2] = static_cast<std::uint8_t>(colour.red);
      }
    }
  }
}

void LiteralLocalContrast(const PlaneView& planes, std::uint8_t* canvas, int canvasStride, int width, int height,
                          const LocalContrastSettings& settings) {
  const int cx = settings.centre.column, cy = settings.centre.row;
  const bool fix = settings.fix;
  // The window: 24 pixels round the centre, inside the picture and the area.
  int left = cx - 24 > 0 ? cx - 24 : 0;
  int right = cx + 24 < width - 1 ? cx + 24 : width - 1;
  int bottom = cy - 24 > 0 ? cy - 24 : 0;
  int top = cy + 24 < height - 1 ? cy + 24 : height - 1;
  if (left < settings.area.left) left = settings.area.left;
  if (right > settings.area.right - 1) right = settings.area.right - 1;
  if (bottom < settings.area.bottom) bottom = settings.area.bottom;
  if (top > settings.area.top - 1) top = settings.area.top - 1;
  if (left > right || bottom > top) return;
  std::vector<std::int64_t> luma;
  for (int row = bottom; row <= top; ++row) {
    for (int column = left; column <= right; ++column) {
      luma.push_back(GrayTruncated(planes.at(2, row, column), planes.at(1, row, column), planes.at(0, row, column)));
    }
  }
  // Descending order by selection of the largest remaining value.
  std::vector<std::int64_t> sorted = luma;
  for (std::size_t i = 0; i < sorted.size(); ++i) {
    std::size_t largest = i;
    for (std::size_t j = i + 1; j < sorted.size(); ++j) {
      if (sorted[j] > sorted[largest]) largest = j;
    }
    const std::int64_t t = sorted[i];
    sorted[i] = sorted[largest];
    sorted[largest] = t;
  }
  const std::int64_t median = sorted[(sorted.size() - 1) / 2];
  std::size_t n = 0;
  for (int row = bottom; row <= top; ++row) {
    for (int column = left; column <= right; ++column, ++n) {
      double d = std::sqrt(static_cast<double>((cx - column) * (cx - column) + (cy - row) * (cy - row))) / 24;
      if (d > 1.0) d = 1.0;
      const int k = static_cast<int>(24 * (1 - d * d * d));
      const std::size_t i = static_cast<std::size_t>(row) * canvasStride + column;
      for (int channel = 0; channel < 3; ++channel) {
        const std::int64_t s = planes.at(channel, row, column);
        std::int64_t result;
        if (luma[n] < median) {
          result = s - k > 0 ? s - k : 0;
        } else {
          result = s + k < 255 ? s + k : 255;
        }
        canvas[3 * i + channel] = static_cast<std::uint8_t>(result);
        if (fix) planes.at(channel, row, column) = static_cast<std::uint32_t>(result);
      }
    }
  }
}
