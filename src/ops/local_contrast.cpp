// Local contrast. The pushes depend only on the offset from the centre, so
// they are worked once (by the very expression of the rule) into a 49 x 49
// table; the median is the (n - 1) / 2-th largest gray, found by counting
// grays in 256 bins (a gray above 255 cannot come from the program's
// planes, but then the list is partly ordered instead): the same value that
// sorting the whole list gives.

#include "ops/local_contrast.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <vector>

#include "image/gray.h"

namespace {

constexpr int Side = 2 * LocalContrastRadius + 1;

struct Window {
  int left, right, bottom, top;  // inclusive
  bool Empty() const { return left > right || bottom > top; }
};

Window WindowOf(int width, int height, const LocalContrastSettings& settings) {
  const int cx = settings.centre.column, cy = settings.centre.row;
  const CanvasArea& area = settings.area;
  return Window{std::max({cx - LocalContrastRadius, 0, area.left}),
                std::min({cx + LocalContrastRadius, width - 1, area.right - 1}),
                std::max({cy - LocalContrastRadius, 0, area.bottom}),
                std::min({cy + LocalContrastRadius, height - 1, area.top - 1})};
}

std::int64_t GrayAt(const PlaneView& planes, int row, int column) {
  return GrayTruncated(planes.at(2, row, column), planes.at(1, row, column), planes.at(0, row, column));
}

const std::array<std::array<int, Side>, Side>& PushTable() {
  static const auto table = [] {
    std::array<std::array<int, Side>, Side> t{};
    for (int dy = -LocalContrastRadius; dy <= LocalContrastRadius; ++dy) {
      for (int dx = -LocalContrastRadius; dx <= LocalContrastRadius; ++dx) {
        t[static_cast<std::size_t>(dy + LocalContrastRadius)][static_cast<std::size_t>(dx + LocalContrastRadius)] =
            LocalContrastPush(dx, dy);
      }
    }
    return t;
  }();
  return table;
}

}  // namespace

int LocalContrastPush(int dx, int dy) {
  double d = std::sqrt(static_cast<double>(dx) * dx + static_cast<double>(dy) * dy) / LocalContrastRadius;
  if (d > 1.0) d = 1.0;
  return static_cast<int>(LocalContrastRadius * (1.0 - d * d * d));
}

std::int64_t LocalContrastMedian(const PlaneView& planes, int width, int height,
                                 const LocalContrastSettings& settings) {
  const Window w = WindowOf(width, height, settings);
  if (w.Empty()) return -1;
  const int n = (w.right - w.left + 1) * (w.top - w.bottom + 1);
  const int position = (n - 1) / 2;  // in descending order
  std::array<int, 256> bins{};
  bool inBins = true;
  for (int row = w.bottom; row <= w.top && inBins; ++row) {
    for (int column = w.left; column <= w.right; ++column) {
      const std::int64_t g = GrayAt(planes, row, column);
      if (g > 255) {
        inBins = false;
        break;
      }
      ++bins[static_cast<std::size_t>(g)];
    }
  }
  if (inBins) {
    int seen = 0;
    for (int g = 255; g >= 0; --g) {
      seen += bins[static_cast<std::size_t>(g)];
      if (seen > position) return g;
    }
  }
  std::vector<std::int64_t> grays;
  grays.reserve(static_cast<std::size_t>(n));
  for (int row = w.bottom; row <= w.top; ++row) {
    for (int column = w.left; column <= w.right; ++column) grays.push_back(GrayAt(planes, row, column));
  }
  std::nth_element(grays.begin(), grays.begin() + position, grays.end(), std::greater<>());
  return grays[static_cast<std::size_t>(position)];
}

void ApplyLocalContrast(const PlaneView& planes, std::uint8_t* canvas, int canvasStride, int width, int height,
                        const LocalContrastSettings& settings) {
  const Window w = WindowOf(width, height, settings);
  if (w.Empty()) return;
  const int cx = settings.centre.column, cy = settings.centre.row;
  const bool fix = settings.fix;
  const std::int64_t median = LocalContrastMedian(planes, width, height, settings);
  const auto& pushes = PushTable();
  for (int row = w.bottom; row <= w.top; ++row) {
    for (int column = w.left; column <= w.right; ++column) {
      // Inside the window |dx|, |dy| <= 24, so the table holds the push.
      const int k = pushes[static_cast<std::size_t>(cy - row + LocalContrastRadius)]
                          [static_cast<std::size_t>(cx - column + LocalContrastRadius)];
      const bool darker = GrayAt(planes, row, column) < median;
      const std::size_t index =
          static_cast<std::size_t>(row) * static_cast<std::size_t>(canvasStride) + static_cast<std::size_t>(column);
      for (int channel = 0; channel < 3; ++channel) {
        std::uint32_t& sample = planes.at(channel, row, column);
        const std::int64_t s = sample;
        const std::int64_t result = darker ? std::max<std::int64_t>(s - k, 0) : std::min<std::int64_t>(s + k, 255);
        canvas[3 * index + static_cast<std::size_t>(channel)] = static_cast<std::uint8_t>(result);
        if (fix) sample = static_cast<std::uint32_t>(result);
      }
    }
  }
}
