// The TOP page's state and the pass with progress that both tone pages show.
#pragma once

#include "pages/kit/page_entry.h"

#include <array>

#include "pages/tone/tone_state.h"
#include "platform/surface.h"

// The TOP page's state, with its start values.
struct TopPageState {
  bool colourGraphOn = false;                   // 1: the colour graph and level line are drawn
  std::array<bool, 4> graphChannel{};          // curves drawn: red, green, blue, gray
  bool verticalLineOn = false;                  // 1: the vertical line is drawn
  int levelLine = 0;                       // plane row the colour graph shows
  bool blindMode = false;                       // 1: the pass hides its progress
  bool setKeepRequest = false;                  // 1: "save KEEP0" at the next paint
};
extern TopPageState TopPage;

// The level line's one writer: a click on the picture of TOP, CONTOUR or
// UNI C. puts it at a plane row.
void PutLevelLine(int row);

// A whole Vantor Eye pass as the tone pages show it: every row from the top
// of the picture down (rows CanvasRows .. CanvasRows - ShownHeight), the
// canvas shown every 64 rows with a grey progress line at the row reached,
// or, in blind mode, a grey line over every row and the result shown only at
// the end. Leaves the result in Canvas (the caller takes it into the planes).
// The row processed last is taken as it stood before its own processing, as
// the canvas is refreshed before each row.
// The pass is the step's: its window and its settings.
void RunEyePass(Surface& screen, const EyeStep& step, bool blind);

// How a progress show reaches the screen: the canvas presented, then again
// with its grey line (the TOP page), or canvas and line in one present, which
// halves the presents of a pass.
enum class PassPresents { ShowThenLine, Together };

// The same pass over the rows firstRow down to lastRow (the VANTOR EYE page
// covers every canvas row, or its area-eye band). An empty range (firstRow <
// lastRow) computes nothing and leaves Canvas equal to WorkPlanes.
void RunEyePassRows(Surface& screen, const EyeStep& step, bool blind, int firstRow, int lastRow, PassPresents presents);

// The TOP page as the page table lists it.
extern const PageEntry TopPageEntry;
