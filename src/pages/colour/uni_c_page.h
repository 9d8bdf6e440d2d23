// The UNI C. page's state block, as the tests and the benchmark see it.
//
// The page exchanges one colour of the image for another: clicks on the
// picture collect a target colour, whose grey range marks the pixels to
// change; a new colour comes from the picture, the bars, the colour chart or
// the calculator; "all" converts (from KEEP8, the image as the page was
// entered) and "set KEEP8" stores. The pixel work is in range_convert.h. Its
// routines are the page-table entries StartUniC, EnterUniC, UniCClick and
// PaintUniC (app/pages.h).
#pragma once

#include "pages/kit/page_entry.h"

#include <cstdint>

#include "image/planes.h"
#include "pages/colour/range_convert.h"

// Channel of the new colour the calculator changes.
enum UniCChannel : int { UniCChannelNone = 0, UniCChannelRed = 1, UniCChannelGreen = 2, UniCChannelBlue = 3 };

struct UniCSettings {
  int picking = 0;         // " appoint": every paint takes the colour under the last mouse position
  int targetOn = 0;        // "1)target": picks are the target colour and widen the ranges
  int newColourOn = 0;     // "2)convert": picks become the new colour
  int chartOn = 0;         // " chart": the colour chart over the picture, picked from
  int calculatorChannel = UniCChannelNone;
  UniRgb picked{};         // the last colour picked, and its rounded gray
  int pickedGray = 0;
  UniRgb target{};         // the last colour picked while the target switch was on
  ChannelRanges ranges{};  // widened by every target pick; empty [255, 0]
  int lo = 255, hi = 0;    // the grey range of the pixels to convert
  UniRgb newColour{255, 255, 255};
  int manualEdit = 0;      // a click on the grey range or the new-colour bars; cleared by each paint
  int convertRequest = 0;  // "all" and "set KEEP8"
  int setKeepRequest = 0;  // "set KEEP8": store the conversion as the image and KEEP8
  int readKeepRequest = 0; // the reset marks and "all": read KEEP8 back first
  int entrySaveRequest = 0;  // page entry: KEEP8 written from the current image
  int chartGreen = 0;      // the colour chart's green, 0..255 (kept across entries)
  int helpItem = 0;        // explanation selector 1..12, 0 none
};

struct UniCPageState {
  UniCSettings values;
  // The conversion weights (old, new): (1, 1) at program start, (0, 1) after
  // every conversion; the blend meter shows them.
  int weightOld = 1;
  int weightNew = 1;
};
extern UniCPageState UniCPage;

// The UniC page as the page table lists it.
extern const PageEntry UniCPageEntry;
