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
  bool picking = false;         // " appoint": every paint takes the colour under the last mouse position
  bool targetOn = false;        // "1)target": picks are the target colour and widen the ranges
  bool newColourOn = false;     // "2)convert": picks become the new colour
  bool chartOn = false;         // " chart": the colour chart over the picture, picked from
  int calculatorChannel = UniCChannelNone;
  UniRgb picked{};         // the last colour picked, and its rounded gray
  int pickedGray = 0;
  UniRgb target{};         // the last colour picked while the target switch was on
  ChannelRanges ranges{};  // widened by every target pick; empty [255, 0]
  int lo = 255, hi = 0;    // the grey range of the pixels to convert
  UniRgb newColour{255, 255, 255};
  bool manualEdit = false;      // a click on the grey range or the new-colour bars; cleared by each paint
  bool convertRequest = false;  // "all" and "set KEEP8"
  bool setKeepRequest = false;  // "set KEEP8": store the conversion as the image and KEEP8
  bool readKeepRequest = false; // the reset marks and "all": read KEEP8 back first
  bool entrySaveRequest = false;  // page entry: KEEP8 written from the current image
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
