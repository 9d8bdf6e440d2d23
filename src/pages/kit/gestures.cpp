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
  p.y = static_cast<std::int16_t>(std::clamp<int>(p.y, 32, Shell.imageHeight + 32));
  return p;
}

bool InsideImageForDrag(int x, int y) { return 100 < x && x < Shell.imageWidth + 100 && 33 <= y && y < 800; }

// A brush stroke keeps to the picture: a move past its right edge ends it.
bool InsideImageForBrush(int x, int y) { return 100 < x && x < ShownWidth + 100 && 33 <= y && y < 800; }

}  // namespace

void StartRectDrag() {
  Dragging.rectActive = 1;
  Dragging.start = Clamped(PointOf(MouseX, MouseY), 100);
  Dragging.prev = Dragging.start;
  Dragging.end = Dragging.start;
}

void StartCircleDrag() {
  Dragging.circleActive = 1;
  Dragging.prev = Clamped(PointOf(MouseX, MouseY), 100);
  Dragging.start = Dragging.prev;  // for the drag length handed over at the end
  Dragging.end = Dragging.prev;
  DrawMarker(Dragging.prev.x, Dragging.prev.y);
}

void TrackDragMove(int x, int y) {
  MouseX = x;
  MouseY = y;
  if (Dragging.circleActive && !InsideImageForBrush(MouseX, MouseY)) Dragging.circleActive = 0;
  if (!InsideImageForDrag(MouseX, MouseY)) {
    // The pointer left the image: the drag is abandoned; what is drawn
    // stays until the next paint.
    Dragging.rectActive = 0;
    Dragging.circleActive = 0;
    return;
  }
  MouseX = std::clamp(MouseX, 100, Shell.imageWidth + 100);
  MouseY = std::clamp(MouseY, 32, Shell.imageHeight + 32);
  if (Dragging.rectActive) {
    Dragging.end = PointOf(x, y);
    DrawRubberRect(Dragging.start.x, Dragging.start.y, Dragging.prev.x, Dragging.prev.y);
    DrawRubberRect(Dragging.start.x, Dragging.start.y, Dragging.end.x, Dragging.end.y);
    Dragging.prev = Dragging.end;
  }
  if (Dragging.circleActive) {
    Dragging.end = PointOf(x, y);
    DrawMarker(Dragging.prev.x, Dragging.prev.y);
    Dragging.prev = Dragging.end;
  }
}

void EndDrag(int x, int y) {
  MouseX = x;
  MouseY = y;
  if (!InsideImageForDrag(MouseX, MouseY)) return;
  MouseX = std::clamp(MouseX, 100, Shell.imageWidth + 100);
  MouseY = std::clamp(MouseY, 32, Shell.imageHeight + 32);
  if (Dragging.rectActive) {
    DrawRubberRect(Dragging.start.x, Dragging.start.y, Dragging.end.x, Dragging.end.y);
    if (CurrentDragReceivers.rectangle != nullptr) {
      CurrentDragReceivers.rectangle(Dragging.start.x - 100, Dragging.start.y, Dragging.end.x - 100, Dragging.end.y);
    }
    Dragging.rectActive = 0;
  }
  if (Dragging.circleActive && InsideImageForBrush(x, y)) {
    DrawMarker(Dragging.end.x, Dragging.end.y);
    // The release point is where the button came up, not the last move.
    if (CurrentDragReceivers.circle != nullptr) {
      const int length = static_cast<int>(std::hypot(MouseX - Dragging.start.x, MouseY - Dragging.start.y));
      CurrentDragReceivers.circle(MouseX - 100, MouseY - 32, length);
    }
    Dragging.circleActive = 0;
  }
  if (CurrentDragReceivers.drop != nullptr) CurrentDragReceivers.drop(MouseX - 100, MouseY - 32);
}

void DrawRubberRect(int x1, int y1, int x2, int y2) {
  Screen().Polyline(Pen{Black}, {{x1, y1}, {x2, y1}, {x2, y2}, {x1, y2}, {x1, y1}}, RasterOp::Invert);
  MainWindow().Present();
}
