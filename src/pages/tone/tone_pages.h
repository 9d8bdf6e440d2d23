// What the TOP and VANTOR EYE pages share besides the engine's parameters.
#pragma once

#include "pages/tone/vantor_eye.h"
#include "platform/surface.h"

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
