// The view area: MAP's rules on the canvas and GAMON's on its half-size
// picture. Pure arithmetic on the record; nothing here draws.

#include "pages/view/view_area.h"

#include <algorithm>

#include "image/planes.h"

ViewAreaState View;

namespace {

// Applies a pending fine move of `step` and consumes it.
void ApplyFineMove(ViewAreaRecord& area, int step, int& fineMove) {
  switch (fineMove) {
    case FineMoveUp: area.bottom += step; break;
    case FineMoveDown: area.bottom -= step; break;
    case FineMoveLeft: area.left -= step; break;
    case FineMoveRight: area.left += step; break;
    default: break;
  }
  fineMove = FineMoveNone;
}

}  // namespace

AreaSize ViewAreaSize(int scale, int fileWidth, int fileHeight) {
  if (scale <= 1) return {std::clamp(fileWidth, 0, Stride), std::clamp(fileHeight, 0, CanvasRows)};
  return {std::min(Stride / scale, Stride), std::min(640 / scale, CanvasRows)};
}

int FineMoveStep(int scale) {
  if (scale >= 64) return 1;
  return std::max(1, 32 / std::max(scale, 1));
}

void UpdateMapViewArea(ViewAreaRecord& area, int scale, int fileWidth, int fileHeight, int& fineMove) {
  // 1. - 2. The old size, the size of the scale, recompute set.
  const int w0 = area.width;
  const int h0 = area.height;
  const AreaSize size = ViewAreaSize(scale, fileWidth, fileHeight);
  area.width = size.width;
  area.height = size.height;
  area.zoom = scale;
  area.recompute = 1;
  // 4. At most the canvas.
  area.width = std::min(area.width, Stride);
  area.height = std::min(area.height, CanvasRows);
  // 5. Re-centre (or, at x1, the picture's own place), the fine move, clamps.
  if (area.recompute == 1) {
    if (scale == 1) {
      area.left = 0;
      area.bottom = CanvasRows - fileHeight;
    } else {
      area.left = area.left + w0 / 2 - area.width / 2;
      area.bottom = area.bottom + h0 / 2 - area.height / 2;
      if (area.left + area.width > Stride) area.left = Stride - area.width;
      if (area.bottom + area.height > CanvasRows) area.bottom = CanvasRows - area.height;
      area.left = std::max(area.left, 0);
      area.bottom = std::max(area.bottom, 0);
    }
    area.recompute = 0;
    ApplyFineMove(area, FineMoveStep(scale), fineMove);
    area.left = std::max(std::min(area.left, Stride - area.width), 0);
    area.bottom = std::max(std::min(area.bottom, CanvasRows - area.height), 0);
  }
}

void CentreMapViewArea(ViewAreaRecord& area, int x, int y) {
  area.left = std::max(x - 100 - static_cast<int>(area.width * 0.5), 0);
  area.bottom = std::max(CanvasRows - y + 32 - static_cast<int>(area.height * 0.5), 32);
}

ViewRect ClampedViewArea(const ViewAreaRecord& area) {
  ViewRect r;
  r.width = std::clamp(area.width, 0, Stride);
  r.height = std::clamp(area.height, 0, CanvasRows);
  r.left = std::clamp(area.left, 0, Stride - r.width);
  r.bottom = std::clamp(area.bottom, 0, CanvasRows - r.height);
  return r;
}

void UpdateGamonViewArea(ViewAreaRecord& area, int scale, int fileWidth, int fileHeight, int& fineMove) {
  const AreaSize size = ViewAreaSize(scale, fileWidth, fileHeight);
  area.width = size.width;
  area.height = size.height;
  area.zoom = std::max(scale, 1);
  const int hw = static_cast<int>(area.width * 0.5);
  const int hh = static_cast<int>(area.height * 0.5);
  const int step = scale >= 64 ? 1 : static_cast<int>(32.0 / std::max(scale, 1) + 0.5);
  ApplyFineMove(area, step, fineMove);
  if (scale <= 1) {
    area.left = 0;
    area.bottom = CanvasRows - hh;
    return;
  }
  if (area.left + hw > Stride / 2) area.left = Stride / 2 - hw;
  if (area.bottom + hh > CanvasRows) area.bottom = CanvasRows - hh;
  area.left = std::max(area.left, 0);
  area.bottom = std::max(area.bottom, CanvasRows / 2 - 16);
}

void CentreGamonViewArea(ViewAreaRecord& area, int x, int y) {
  const int quarterWidth = static_cast<int>(area.width * 0.25);
  area.left = std::clamp(x - quarterWidth - 100, 0, std::max(0, static_cast<int>(Stride * 0.5) - quarterWidth));
  area.bottom = std::max(CanvasRows - y - static_cast<int>(area.height * 0.25) + 48,
                         static_cast<int>(CanvasRows * 0.5));
}

ViewRect GamonAnalysisWindow(const ViewAreaRecord& area) {
  const int hh = static_cast<int>(area.height * 0.5);
  ViewRect r;
  r.left = std::clamp(2 * area.left, 0, Stride);
  r.width = std::clamp(area.width, 0, Stride - r.left);
  const int topOffset = std::max(0, 2 * (CanvasRows - hh - area.bottom));
  const int height = std::clamp(area.height, 0, CanvasRows);
  r.bottom = std::clamp(CanvasRows - topOffset - height, 0, CanvasRows);
  r.height = std::clamp(height, 0, CanvasRows - r.bottom);
  return r;
}
