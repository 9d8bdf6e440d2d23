#include "ops/picture_steps.h"

#include <algorithm>

#include "image/picture_in_hand.h"

std::optional<WholeValues> ApplyStep(const PictureStep& step, const PlaneView& planes, int width, int height,
                                     const CanvasArea& picture, int threads, Edges edges) {
  if (width <= 0 || height <= 0) return std::nullopt;
  const std::vector<Stage> stages = StagesOf(step);
  return RunStages(stages, planes, StageFrame{width, height, picture, edges, threads});
}

namespace {

Picture StepsOn(const std::vector<PictureStep>& steps, const Picture& picture, bool placed, int threads, Edges edges) {
  StepPlanes planes;
  planes.width = placed ? Stride : picture.width;
  planes.height = placed ? CanvasRows : picture.height;
  const std::size_t count = static_cast<std::size_t>(planes.width) * planes.height;
  for (auto& plane : planes.plane) plane.assign(count, 255);
  if (placed) {
    std::vector<std::uint8_t> canvas(static_cast<std::size_t>(CanvasByteCount));
    DrawPictureIntoCanvas(picture, canvas.data());
    PlanesFromCanvasInto(planes.View(), canvas.data(), Stride, CanvasRows);
  } else {
    const std::size_t rowBytes = static_cast<std::size_t>(picture.width) * 3;
    const std::size_t fullRows = rowBytes == 0 ? 0 : picture.rgb.size() / rowBytes;
    for (std::size_t y = 0; y < std::min<std::size_t>(fullRows, picture.height); ++y) {
      const std::uint8_t* from = picture.rgb.data() + y * rowBytes;
      const std::size_t row = static_cast<std::size_t>(picture.height) - 1 - y;
      for (std::size_t x = 0; x < static_cast<std::size_t>(picture.width); ++x) {
        planes.plane[2][row * picture.width + x] = from[3 * x];
        planes.plane[1][row * picture.width + x] = from[3 * x + 1];
        planes.plane[0][row * picture.width + x] = from[3 * x + 2];
      }
    }
  }
  for (const PictureStep& step : steps) {
    const CanvasArea part = placed ? CanvasArea{0, CanvasRows - picture.height, picture.width, CanvasRows}
                                   : CanvasArea{0, 0, planes.width, planes.height};
    ApplyStep(step, planes.View(), planes.width, planes.height, part, threads, placed ? Edges::AsCanvas : edges);
  }
  // The picture's own part, top-down RGB, low bytes as every writer takes them.
  Picture result;
  result.width = picture.width;
  result.height = picture.height;
  result.rgb.resize(static_cast<std::size_t>(picture.width) * picture.height * 3);
  for (int y = 0; y < picture.height; ++y) {
    const std::size_t row = static_cast<std::size_t>(planes.height - 1 - y);
    std::uint8_t* to = result.rgb.data() + static_cast<std::size_t>(y) * picture.width * 3;
    for (int x = 0; x < picture.width; ++x) {
      const std::size_t i = row * planes.width + x;
      to[3 * x] = static_cast<std::uint8_t>(planes.plane[2][i]);
      to[3 * x + 1] = static_cast<std::uint8_t>(planes.plane[1][i]);
      to[3 * x + 2] = static_cast<std::uint8_t>(planes.plane[0][i]);
    }
  }
  return result;
}

}  // namespace

Picture ApplySteps(const std::vector<PictureStep>& steps, const Picture& picture, int threads, Edges edges) {
  const bool fits = picture.width <= Stride && picture.height <= CanvasRows;
  return StepsOn(steps, picture, fits && edges == Edges::AsCanvas, threads, edges);
}

Picture ApplyStepsAtOwnSize(const std::vector<PictureStep>& steps, const Picture& picture, int threads, Edges edges) {
  return StepsOn(steps, picture, false, threads, edges);
}

PictureStep StepInPictureFrom(const PictureStep& step, int left, int top) {
  return std::visit(
      [&](const auto& kind) -> PictureStep {
        if constexpr (requires { kind.MovedBy(left, top); }) {
          return kind.MovedBy(left, top);
        } else {
          return kind;
        }
      },
      step);
}

PictureStep StepOnCanvasAt(const PictureStep& step, int left, int top) { return StepInPictureFrom(step, -left, -top); }

std::vector<PictureStep> StepsOnCanvasAt(const std::vector<PictureStep>& steps, int left, int top) {
  std::vector<PictureStep> moved;
  moved.reserve(steps.size());
  for (const PictureStep& step : steps) moved.push_back(StepOnCanvasAt(step, left, top));
  return moved;
}
