#include "ops/picture_steps.h"

#include <algorithm>
#include <span>

#include "image/picture_in_hand.h"

FilterLevels BalanceLevelsOf(const std::array<ChannelLevel, 3>& levels) {
  FilterLevels balance{};
  for (std::size_t k = 0; k < balance.size(); ++k) balance[k] = {levels[k].low, levels[k].middle, levels[k].high};
  return balance;
}

PlaneView StepPlanes::View() {
  PlaneView view;
  for (std::size_t k = 0; k < 3; ++k) view.plane[k] = plane[k].data();
  view.stride = width;
  view.rows = height;
  return view;
}

namespace {

// The planes' low bytes as a bottom-up canvas of width pixels a row, as the
// pages draw the canvas from the planes (the light core reads it too).
std::vector<std::uint8_t> CanvasBytesOf(const PlaneView& planes, int width, int height) {
  std::vector<std::uint8_t> canvas(static_cast<std::size_t>(width) * height * 3);
  for (int row = 0; row < height; ++row) {
    for (int column = 0; column < width; ++column) {
      const std::size_t i = static_cast<std::size_t>(row) * width + column;
      for (int k = 0; k < 3; ++k) canvas[3 * i + static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(planes.at(k, row, column));
    }
  }
  return canvas;
}

// The planes' low bytes into a canvas of width pixels a row, `draw` over
// it, and the canvas back into the planes: as a page draws into the canvas
// from the planes and "Set" or "Save" takes the canvas into them.
template <typename Draw>
void ThroughCanvas(const PlaneView& planes, int width, int height, Draw draw) {
  std::vector<std::uint8_t> canvas = CanvasBytesOf(planes, width, height);
  draw(canvas.data());
  for (int row = 0; row < height; ++row) {
    const std::uint8_t* from = canvas.data() + static_cast<std::size_t>(row) * width * 3;
    for (int column = 0; column < width; ++column) {
      for (int k = 0; k < 3; ++k) planes.at(k, row, column) = from[3 * column + k];
    }
  }
}

}  // namespace

void OutlineRowsInto(const OutlineSettings& settings, const PlaneView& planes, int width, int height, int firstRow,
                     int rows, int firstColumn, int columns, const PlaneView& to) {
  // The detector reads the planes as they are and paints a canvas of their
  // low bytes, as the page paints the canvas it made from the planes.
  std::vector<std::uint8_t> canvas = CanvasBytesOf(planes, width, height);
  PaintOutlinePixels(planes, canvas.data(), width, width, height, settings);
  for (int row = 0; row < rows; ++row) {
    const std::uint8_t* line = canvas.data() + (static_cast<std::size_t>(firstRow + row) * width + firstColumn) * 3;
    for (int column = 0; column < columns; ++column) {
      for (int k = 0; k < 3; ++k) to.at(k, row, column) = line[3 * column + k];
    }
  }
}

void ApplyOutline(const OutlineSettings& settings, const PlaneView& planes, int width, int height, Edges edges) {
  if (edges == Edges::AsCanvas) {
    OutlineRowsInto(settings, planes, width, height, 0, height, 0, width, planes);
    return;
  }
  // The picture's border lies inside planes extended by the detector's reach.
  const int pad = OutlineBorder(settings.outlineWidth);
  EdgeExtendedPlanes extended = EdgeExtended(planes, width, height, pad);
  OutlineRowsInto(settings, extended.All(), width + 2 * pad, height + 2 * pad, pad, height, pad, width, planes);
}

namespace {

void ApplyEye(const EyeStep& step, const PlaneView& planes, int width, int height, const CanvasArea& picture,
              int threads, Edges edges) {
  const int n = WindowOfHornKey(step.hornKey);
  if (n <= 0) return;
  EyeParameters settings = step.settings;
  if (step.levelsPivot) {
    const std::array<ChannelLevel, 3> levels = ChannelLevelsOf(planes, width, height);
    for (std::size_t k = 0; k < 3; ++k) settings.reference[k] = levels[k].middle;
  }
  if (edges == Edges::Extend) {
    // Every row from the picture as it was, its edges extended by the window.
    EdgeExtendedPlanes source = EdgeExtended(planes, width, height, n / 2);
    VantorEyeBandExtended(source.Inside(), 0, planes, width, height, n, settings, 0, height, threads);
    return;
  }
  // Every row is computed from the picture as it was before the pass.
  StepPlanes source;
  source.width = width;
  source.height = height;
  for (std::size_t k = 0; k < 3; ++k) {
    source.plane[k].resize(static_cast<std::size_t>(width) * height);
    for (int row = 0; row < height; ++row) {
      std::copy_n(planes.plane[k] + static_cast<std::size_t>(row) * planes.stride, width,
                  source.plane[k].data() + static_cast<std::size_t>(row) * width);
    }
  }
  const int rows = std::clamp(picture.top - picture.bottom, 0, height);
  VantorEyeRowsOn(source.View(), planes, width, height, n, settings, height - rows, height, threads);
}

void ApplyFilter(const FilterStep& step, const PlaneView& planes, int width, int height) {
  // The light core reads the planes as a canvas of their own row length.
  if (step.lightCore && planes.stride == width) {
    ApplyLightCore(CanvasBytesOf(planes, width, height), planes, step.settings.LightCoreStart,
                   step.settings.LightCoreEnd);
  }
  ApplyPowerAndBalance(planes, width, height, step.settings);
}

}  // namespace

std::array<ChannelLevel, 3> ApplyPowerAndBalance(const PlaneView& planes, int width, int height,
                                                 const FilterSettings& settings, ColourPowerRoutine power) {
  std::array<ChannelLevel, 3> levels = ChannelLevelsOf(planes, width, height);
  if (settings.ColourPowerOn == 1) power(planes, PlanePowers(settings));
  if (settings.PeachOn == 1) {
    levels = ChannelLevelsOf(planes, width, height);
    ApplyPeach(planes, BalanceLevelsOf(levels));
  }
  if (settings.BerryOn == 1) {
    levels = ChannelLevelsOf(planes, width, height);
    ApplyBerry(planes, BalanceLevelsOf(levels));
  }
  return levels;
}

bool IsPointStep(const PictureStep& step) {
  return std::holds_alternative<ContourStep>(step) || std::holds_alternative<GrayRangeStep>(step) ||
         std::holds_alternative<AddColourStep>(step) || std::holds_alternative<SwapStep>(step);
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

void ApplyStep(const PictureStep& step, const PlaneView& planes, int width, int height, const CanvasArea& picture,
               int threads, Edges edges) {
  if (width <= 0 || height <= 0) return;
  if (const EyeStep* eye = std::get_if<EyeStep>(&step)) ApplyEye(*eye, planes, width, height, picture, threads, edges);
  if (const LocalContrastStep* contrast = std::get_if<LocalContrastStep>(&step)) {
    ApplyLocalContrastStep(*contrast, planes, width, height, picture, edges);
  }
  if (const FilterStep* filter = std::get_if<FilterStep>(&step)) ApplyFilter(*filter, planes, width, height);
  if (const ContourStep* contour = std::get_if<ContourStep>(&step)) {
    if (contour->settings.operation == ContourNone) return;
    ThroughCanvas(planes, width, height,
                  [&](std::uint8_t* canvas) { ApplyContour(canvas, width, width, height, contour->settings); });
  }
  if (const GrayRangeStep* range = std::get_if<GrayRangeStep>(&step)) {
    // The grays of the planes as they are, the colour into the canvas.
    ThroughCanvas(planes, width, height, [&](std::uint8_t* canvas) {
      PaintGrayRange(planes, canvas, width, width, height, range->settings);
    });
  }
  // On the planes themselves, as the page adds them.
  if (const AddColourStep* add = std::get_if<AddColourStep>(&step)) AddNodColours(planes, width, height, add->settings);
  if (const OutlineStep* outline = std::get_if<OutlineStep>(&step)) ApplyOutline(outline->settings, planes, width, height, edges);
  if (const SwapStep* swap = std::get_if<SwapStep>(&step)) {
    ThroughCanvas(planes, width, height, [&](std::uint8_t* canvas) {
      SwapIntoCanvas(planes, canvas, width, width, height, swap->settings);
    });
  }
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
