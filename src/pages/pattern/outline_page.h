// The Outline page's state block, as the tests and the benchmark see it.
// Its routines are the page-table entries StartOutline, EnterOutline,
// OutlineClick, OutlineRightClick and PaintOutline (app/pages.h).
#pragma once

#include "pages/kit/page_entry.h"
#include "pages/pattern/brush.h"

#include "pages/pattern/outline_state.h"

struct OutlinePageState {
  bool localContrastOn = false;    // "2)L Contrast"
  bool outlineOn = false;          // "3)Outline"
  int outlineWidth = 0;       // 0 none, 1 fine, 2 middle, 3 fat
  bool brushOn = false;            // "4)Brush"
  int brushWidth = 0;         // 0 none, 1 fine, 2 middle, 3 fat
  int brushColourSource = BrushOutlineColour;  // a BrushColourSource
  OutlineRgb setColour{255, 255, 255};  // "set C"
  bool contrastFixRequest = false;  // a right click: fix the local contrast
  bool brushFixRequest = false;     // a right click: fix the brush strokes
  bool maskClearRequest = false;    // "3)Outline" or "fine": clear the brush mask
  bool brushClearRequest = false;   // brush "clear"
  bool setKeepRequest = false;      // "set KEEP9"
  int helpItem = 0;            // explanation 1, 3..9; 0 none
  int lastReleaseX = 0;        // the previous stroke's release (x - 100, y - 32)
  int lastReleaseY = 0;
};
extern OutlinePageState OutlinePage;

// The brush's circle marker at client (x, y) for a size: the inverted circle
// of the disc's radius at Outline.brushPressure drawn on the screen and presented,
// and the disc recorded in BrushMask at the pixel under the point (only on
// the picture), by the brush rule (brush.h).
void DrawCircleMarker(int x, int y, int size);

// The Outline page as the page table lists it.
extern const PageEntry OutlinePageEntry;
