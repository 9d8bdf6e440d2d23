#include "ops/overview.h"

#include <algorithm>
#include <cstdint>

#include "ops/streamed_steps.h"

namespace {

// The reduced column (or row) each column (row) of the picture falls in,
// and how many fall in each.
struct Spans {
  std::vector<int> of;
  std::vector<std::uint32_t> count;
};
Spans SpansOf(int whole, int reduced) {
  Spans spans{std::vector<int>(static_cast<std::size_t>(whole)), std::vector<std::uint32_t>(static_cast<std::size_t>(reduced))};
  for (int k = 0; k < reduced; ++k) {
    const long long first = static_cast<long long>(k) * whole / reduced, end = static_cast<long long>(k + 1) * whole / reduced;
    for (long long x = first; x < end; ++x) spans.of[static_cast<std::size_t>(x)] = k;
    spans.count[static_cast<std::size_t>(k)] = static_cast<std::uint32_t>(end - first);
  }
  return spans;
}

// The sums of the reduced pixels, row by row as the rows arrive.
class Reducer {
 public:
  Reducer(int width, int height, ReducedSize size)
      : width_(width), size_(size), columns_(SpansOf(width, size.width)), rows_(SpansOf(height, size.height)),
        sums_(static_cast<std::size_t>(size.width) * static_cast<std::size_t>(size.height) * 3, 0) {}

  // Row y (from the top), red, green, blue samples by column.
  template <typename Sample>
  void AddRow(int y, const Sample* red, const Sample* green, const Sample* blue, int step) {
    std::uint64_t* row = sums_.data() + static_cast<std::size_t>(rows_.of[static_cast<std::size_t>(y)]) * size_.width * 3;
    for (int x = 0; x < width_; ++x) {
      std::uint64_t* cell = row + static_cast<std::size_t>(columns_.of[static_cast<std::size_t>(x)]) * 3;
      const std::size_t at = static_cast<std::size_t>(x) * static_cast<std::size_t>(step);
      cell[0] += static_cast<std::uint8_t>(red[at]);
      cell[1] += static_cast<std::uint8_t>(green[at]);
      cell[2] += static_cast<std::uint8_t>(blue[at]);
    }
  }

  Picture Result() const {
    Picture out{size_.width, size_.height, std::vector<std::uint8_t>(sums_.size())};
    for (int y = 0; y < size_.height; ++y) {
      for (int x = 0; x < size_.width; ++x) {
        const std::uint64_t n = std::uint64_t{rows_.count[static_cast<std::size_t>(y)]} * columns_.count[static_cast<std::size_t>(x)];
        const std::size_t at = (static_cast<std::size_t>(y) * size_.width + x) * 3;
        for (std::size_t k = 0; k < 3; ++k) out.rgb[at + k] = static_cast<std::uint8_t>((sums_[at + k] + n / 2) / n);
      }
    }
    return out;
  }

 private:
  int width_;
  ReducedSize size_;
  Spans columns_, rows_;
  std::vector<std::uint64_t> sums_;
};

}  // namespace

ReducedSize ReducedSizeIn(int width, int height, int boxWidth, int boxHeight) {
  if (width <= 0 || height <= 0 || boxWidth <= 0 || boxHeight <= 0) return {};
  if (width <= boxWidth && height <= boxHeight) return {width, height};
  // The side that meets the box first sets the scale.
  if (static_cast<long long>(width) * boxHeight >= static_cast<long long>(height) * boxWidth) {
    return {boxWidth, std::clamp(static_cast<int>((static_cast<long long>(height) * boxWidth + width / 2) / width), 1, boxHeight)};
  }
  return {std::clamp(static_cast<int>((static_cast<long long>(width) * boxHeight + height / 2) / height), 1, boxWidth), boxHeight};
}

Picture ReducedPicture(const Picture& picture, ReducedSize size) {
  if (size.width <= 0 || size.height <= 0) return {};
  Reducer reducer(picture.width, picture.height, size);
  for (int y = 0; y < picture.height; ++y) {
    const std::uint8_t* row = picture.rgb.data() + static_cast<std::size_t>(y) * picture.width * 3;
    reducer.AddRow(y, row, row + 1, row + 2, 3);
  }
  return reducer.Result();
}

Picture OverviewOf(const Picture& whole, const std::vector<PictureStep>& steps, int boxWidth, int boxHeight,
                   int threads, Edges edges) {
  const ReducedSize size = ReducedSizeIn(whole.width, whole.height, boxWidth, boxHeight);
  if (size.width <= 0) return {};
  if (steps.empty()) return ReducedPicture(whole, size);
  if (whole.width <= Stride && whole.height <= CanvasRows) {
    return ReducedPicture(ApplySteps(steps, whole, threads, edges), size);
  }
  Reducer reducer(whole.width, whole.height, size);
  const std::unique_ptr<RowSource> source = PictureRows(whole);
  const int height = whole.height;
  StreamSteps(
      steps, *source,
      [&](int first, int count, const PlaneView& band) {
        for (int r = 0; r < count; ++r) {
          // Band rows count from the bottom of the picture.
          const std::size_t at = static_cast<std::size_t>(r) * static_cast<std::size_t>(band.stride);
          reducer.AddRow(height - 1 - (first + r), band.plane[2] + at, band.plane[1] + at, band.plane[0] + at, 1);
        }
        return true;
      },
      64, threads, edges);
  return reducer.Result();
}
