// What the TOP and VANTOR EYE pages share besides the engine's parameters.
#pragma once

#include "pages/kit/page_entry.h"

#include <array>

#include "pages/tone/vantor_eye.h"
#include "platform/surface.h"

// The TOP page's state block.
extern int ColourGraphOn;                // 1: the colour graph and level line are drawn
extern std::array<int, 4> GraphChannel;  // curves drawn: red, green, blue, gray
extern int VerticalLineOn;               // 1: the vertical line is drawn
extern int LevelLine;                    // plane row the colour graph shows
extern int BlindMode;                    // 1: the pass hides its progress
extern int TopSetKeepRequest;            // 1: "save KEEP0" at the next paint

extern int EyeBlindMode;   // the VANTOR EYE page's blind switch
extern int EyeRunPending;  // 1: run the pass at the next paint

// A whole Vantor Eye pass as the tone pages show it: every row from the top
// of the picture down (rows CanvasRows .. CanvasRows - ShownHeight), the
// canvas shown every 64 rows with a grey progress line at the row reached,
// or, in blind mode, a grey line over every row and the result shown only at
// the end. Leaves the result in Canvas (the caller takes it into the planes).
// The row processed last is taken as it stood before its own processing, as
// the canvas is refreshed before each row.
void RunEyePass(Surface& screen, int n, bool blind);

// How a progress show reaches the screen: the canvas presented, then again
// with its grey line (the TOP page), or canvas and line in one present, which
// halves the presents of a pass.
enum class PassPresents { ShowThenLine, Together };

// The same pass over the rows firstRow down to lastRow (the VANTOR EYE page
// covers every canvas row, or its area-eye band). An empty range (firstRow <
// lastRow) computes nothing and leaves Canvas equal to WorkPlanes.
void RunEyePassRows(Surface& screen, int n, bool blind, int firstRow, int lastRow, PassPresents presents);

// The TOP page as the page table lists it.
extern const PageEntry TopPageEntry;
