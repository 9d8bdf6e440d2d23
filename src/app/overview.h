// The whole picture in view, and the canvas's 960 x 672 window moved over it.
//
// Ctrl+0, or the word "全体" / "All" right of the tab bar, shows the picture
// in hand whole over the image area, reduced to fit, as the whole save would
// write it (its steps applied), with the part the canvas works on outlined.
// A click or a drag in it moves the window there; the wheel moves it down and
// up, with Shift right and left, whether the whole picture is shown or not.
//
// After a move the planes and the inner memory are the new part of the
// picture with the steps applied, as the pages would have made them there;
// the steps stay in the picture's coordinates. Work that is no step exists
// only on the part shown, so a move asks first and names it (No by default).
#pragma once

#include <string>

// The overview's state, shown or not; a new run hides it.
bool OverviewShown();
void ToggleOverview();
void StartOverview();

// The mouse over the image area while the overview is shown: a press and
// a drag place the window's outline, the release moves the window there.
// True when the overview took the message.
bool OverviewPress(int x, int y);
bool OverviewDrag(int x, int y);
bool OverviewRelease(int x, int y);

// The window moved to (left, top) of the picture (its top-left corner, kept
// inside), or by a number of columns and rows. False when it did not move
// (the picture fits the canvas that way, or the user kept the work a move
// would drop).
bool MoveCanvasTo(int left, int top);
bool MoveCanvasBy(int columns, int rows);

// The wheel: one notch moves the window a quarter of the canvas.
inline constexpr int WheelRows = 168, WheelColumns = 240;

// The paint's part: the word right of the tab bar, and the overview over the
// image area while it is shown.
void DrawOverview();

// Where the overview's word lies: x 1062 .. 1098, y 1 .. 31.
bool InOverviewWord(int x, int y);

// The window's place in the title: "x 1200–2160, y 800–1472 of 6000 × 4000".
std::string WindowPlaceText();
