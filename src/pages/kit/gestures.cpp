#include "pages/kit/gestures.h"

#include <algorithm>
#include <cmath>

#include "image/planes.h"
#include "pages/kit/page_state.h"
#include "platform/surface.h"
#include "platform/window.h"

DragReceivers CurrentDragReceivers;

namespace {

// The page's circle marker at a client point (the brush's, on Outline).
void DrawMarker(int x, int y) {
  if (CurrentDragReceivers.marker != nullptr) CurrentDragReceivers.marker(x, y);
}

// Points are kept as the 16-bit words of a mouse message.
DragPoint PointOf(int x, int y) { return DragPoint{static_cast<std::int16_t>(x), static_cast<std::int16_t>(y)}; }

DragPoint Clamped(DragPoint p, int minX) {
  p.x = static_cast<std::int16_t>(std::max<int>(p.x, minX));
  p.y = static_cast<std::int16_t>(std::clamp<int>(p.y, 32, ImageHeight + 32));
  return p;
}

bool InsideImageForDrag(int x, int y) { return 100 < x && x < ImageWidth + 100 && 33 <= y && y < 800; }

// A brush stroke keeps to the picture: a move past its right edge ends it.
bool InsideImageForBrush(int x, int y) { return 100 < x && x < ShownWidth + 100 && 33 <= y && y < 800; }

}  // namespace

void StartRectDrag() {
  RectDragActive = 1;
  DragStart = Clamped(PointOf(MouseX, MouseY), 100);
  DragPrev = DragStart;
  DragEnd = DragStart;
}

void StartCircleDrag() {
  CircleDragActive = 1;
  DragPrev = Clamped(PointOf(MouseX, MouseY), 100);
  DragStart = DragPrev;  // for the drag length handed over at the end
  DragEnd = DragPrev;
  DrawMarker(DragPrev.x, DragPrev.y);
}

void TrackDragMove(int x, int y) {
  MouseX = x;
  MouseY = y;
  if (CircleDragActive && !InsideImageForBrush(MouseX, MouseY)) CircleDragActive = 0;
  if (!InsideImageForDrag(MouseX, MouseY)) {
    // The pointer left the image: the drag is abandoned; what is drawn
    // stays until the next paint.
    RectDragActive = 0;
    CircleDragActive = 0;
    return;
  }
  MouseX = std::clamp(MouseX, 100, ImageWidth + 100);
  MouseY = std::clamp(MouseY, 32, ImageHeight + 32);
  if (RectDragActive) {
    DragEnd = PointOf(x, y);
    DrawRubberRect(DragStart.x, DragStart.y, DragPrev.x, DragPrev.y);
    DrawRubberRect(DragStart.x, DragStart.y, DragEnd.x, DragEnd.y);
    DragPrev = DragEnd;
  }
  if (CircleDragActive) {
    DragEnd = PointOf(x, y);
    DrawMarker(DragPrev.x, DragPrev.y);
    DragPrev = DragEnd;
  }
}

void EndDrag(int x, int y) {
  MouseX = x;
  MouseY = y;
  if (!InsideImageForDrag(MouseX, MouseY)) return;
  MouseX = std::clamp(MouseX, 100, ImageWidth + 100);
  MouseY = std::clamp(MouseY, 32, ImageHeight + 32);
  if (RectDragActive) {
    DrawRubberRect(DragStart.x, DragStart.y, DragEnd.x, DragEnd.y);
    if (CurrentDragReceivers.rectangle != nullptr) {
      CurrentDragReceivers.rectangle(DragStart.x - 100, DragStart.y, DragEnd.x - 100, DragEnd.y);
    }
    RectDragActive = 0;
  }
  if (CircleDragActive && InsideImageForBrush(x, y)) {
    DrawMarker(DragEnd.x, DragEnd.y);
    // The release point is where the button came up, not the last move.
    if (CurrentDragReceivers.circle != nullptr) {
      const int length = static_cast<int>(std::hypot(MouseX - DragStart.x, MouseY - DragStart.y));
      CurrentDragReceivers.circle(MouseX - 100, MouseY - 32, length);
    }
    CircleDragActive = 0;
  }
  if (CurrentDragReceivers.drop != nullptr) CurrentDragReceivers.drop(MouseX - 100, MouseY - 32);
}

void DrawRubberRect(int x1, int y1, int x2, int y2) {
  Screen().Polyline(Pen{Black}, {{x1, y1}, {x2, y1}, {x2, y2}, {x1, y2}, {x1, y1}}, RasterOp::Invert);
  MainWindow().Present();
}
