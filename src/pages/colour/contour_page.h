// The CONTOUR page's state block, as the tests and the benchmark see it.
//
// The page draws grey-level contours over the current image at every paint:
// all levels (" limit area") or one level a click (" scan"), in one of eight
// colour ladders; "set KEEP5" makes the contoured picture the image. The
// pixel work is in contour_levels.h. Its routines are the page-table entries
// StartContour, EnterContour, ContourClick and PaintContour (app/pages.h).
#pragma once

#include "pages/kit/page_entry.h"

#include <cstdint>

#include "ops/contour_levels.h"

struct ContourSettings {
  ContourLadder ladder{};          // min 0, max 255, step 8: fixed on this page
  int scanIndex = 0;               // s: 1-based number of the level " scan" shows
  int operation = ContourNone;     // a ContourOperation
  bool setKeepRequest = false;          // 1: the next paint stores the shown picture as KEEP5
  int helpItem = 0;                // explanation selector 1..10, 0 none
};

struct ContourPageState {
  ContourSettings values;
  // The colour ladder 0..7: kept across page changes and resets.
  int colourType = 0;
};
extern ContourPageState ContourPage;


// The CONTOUR page as the page table lists it.
extern const PageEntry ContourPageEntry;
