#include "ops/local_contrast_step.h"

#include <algorithm>

#include "platform/picture_loader.h"

const FieldTable<LocalContrastStep>& LocalContrastStep::Fields() {
  using S = LocalContrastStep;
  // The centre, as far out as a picture can reach.
  static const FieldTable<S> fields = {
      IntegerField<S>("x", [](S& s) -> int& { return s.x; }, 0, PictureSideLimit - 1,
                      "missing (a local contrast step needs its centre, x and y)"),
      IntegerField<S>("y", [](S& s) -> int& { return s.y; }, 0, PictureSideLimit - 1,
                      "missing (a local contrast step needs its centre, x and y)"),
  };
  return fields;
}

void ApplyLocalContrastStep(const LocalContrastStep& step, const PlaneView& planes, int width, int height,
                            const CanvasArea& picture, Edges edges) {
  const int row = height - 1 - step.y;
  if (edges == Edges::Extend) {
    // The window's 49 x 49 samples, those beyond the planes copies of the
    // nearest edge pixel, worked whole; its pixels on the planes go back.
    constexpr int R = LocalContrastRadius, Side = 2 * R + 1;
    if (width <= 0 || row + R < 0 || row - R >= height || step.x + R < 0 || step.x - R >= width) return;
    StepPlanes window;
    window.width = window.height = Side;
    for (auto& plane : window.plane) plane.resize(static_cast<std::size_t>(Side) * Side);
    const PlaneView samples = window.View();
    for (int k = 0; k < 3; ++k) {
      for (int dy = 0; dy < Side; ++dy) {
        for (int dx = 0; dx < Side; ++dx) {
          samples.at(k, dy, dx) =
              planes.at(k, std::clamp(row - R + dy, 0, height - 1), std::clamp(step.x - R + dx, 0, width - 1));
        }
      }
    }
    std::vector<std::uint8_t> canvas(static_cast<std::size_t>(Side) * Side * 3);
    ApplyLocalContrast(samples, canvas.data(), Side, Side, Side, LocalContrastSettings{{R, R}, {0, 0, Side, Side}, true});
    for (int k = 0; k < 3; ++k) {
      for (int y = std::max(row - R, 0); y <= std::min(row + R, height - 1); ++y) {
        for (int x = std::max(step.x - R, 0); x <= std::min(step.x + R, width - 1); ++x) {
          planes.at(k, y, x) = samples.at(k, y - row + R, x - step.x + R);
        }
      }
    }
    return;
  }
  // Only the rows the window reaches are handed on, with a canvas of their
  // own for the routine to write: the planes take the result.
  const int first = std::clamp(row - LocalContrastRadius, 0, height);
  const int end = std::clamp(row + LocalContrastRadius + 1, 0, height);
  if (first >= end || width <= 0) return;
  PlaneView window = planes;
  for (std::size_t k = 0; k < 3; ++k) window.plane[k] += static_cast<std::size_t>(first) * planes.stride;
  window.rows = end - first;
  std::vector<std::uint8_t> canvas(static_cast<std::size_t>(width) * (end - first) * 3);
  const LocalContrastSettings settings{
      {step.x, row - first},
      {picture.left, picture.bottom - first, picture.right, picture.top - first},
      true};
  ApplyLocalContrast(window, canvas.data(), width, width, end - first, settings);
}

std::vector<Stage> LocalContrastStep::Stages() const {
  Stage stage;
  stage.reads = Stage::Reads::Region;
  stage.region = [y = y](const StageFrame& frame) {
    const int row = frame.height - 1 - y;
    return RowSpan{row - LocalContrastRadius, row + LocalContrastRadius + 1};
  };
  stage.regionWork = [step = *this](const PlaneView& rows, const RowSpan& span, const StageFrame& frame) {
    // The step as the rows see it: its row counted from their top, the
    // picture's part moved with them.
    const int count = span.end - span.first;
    LocalContrastStep local = step;
    local.y = count - 1 - (frame.height - 1 - step.y - span.first);
    const CanvasArea& p = frame.picture;
    ApplyLocalContrastStep(local, rows, frame.width, count,
                           CanvasArea{p.left, p.bottom - span.first, p.right, p.top - span.first}, frame.edges);
  };
  stage.canvas = [step = *this](const PlaneView& planes, std::uint8_t* canvas, int stride, int width, int height,
                                const CanvasArea& picture) {
    ApplyLocalContrast(planes, canvas, stride, width, height,
                       LocalContrastSettings{{step.x, height - 1 - step.y}, picture, false});
  };
  return {stage};
}
