// Mouse gestures over the image: the rubber-band rectangle and the circle
// marker, drawn straight onto the screen by inverting pixels so that they
// follow the mouse without a repaint, and handed to the page at button-up.
#pragma once

#include <array>
#include <cstdint>

// What the rectangle and circle drags hand over, set by the pages that use
// them (null: nothing to hand over on that page).
struct DragReceivers {
  void (*rectangle)(int x1, int y1, int x2, int y2) = nullptr;  // client y, drag order, x - 100
  void (*circle)(int x, int y, int length) = nullptr;           // image coordinates
  void (*drop)(int x, int y) = nullptr;                         // image coordinates
  void (*marker)(int x, int y) = nullptr;  // a circle drag's marker drawn at a client point
};
extern DragReceivers CurrentDragReceivers;

// Starts a rectangle drag at the click (MouseX, MouseY).
void StartRectDrag();
// Starts a circle-marker drag at the click and draws the marker once.
void StartCircleDrag();

// Mouse move and button-up, called by the window procedure.
void TrackDragMove(int x, int y);
void EndDrag(int x, int y);

// The inverted outline (x1, y1) -> (x2, y1) -> (x2, y2) -> (x1, y2) -> (x1, y1),
// shown at once; drawing it twice restores the screen.
void DrawRubberRect(int x1, int y1, int x2, int y2);
