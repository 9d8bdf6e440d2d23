// The Pattern page's state block, as the tests and the benchmark see it.
// Its routines are the page-table entries StartPattern, EnterPattern,
// PatternClick, PatternRightClick and PaintPattern (app/pages.h).
#pragma once

#include "pages/kit/page_entry.h"

#include "pages/pattern/zones.h"

struct PatternPageState {
  int areaSwitch = AreaOff;        // "2)Area": 0 off, 1 drag an area, 2 area kept while the zone is picked
  AreaRect area{};           // left column, top y, right column, bottom y (client y)
  bool zoneOn = false;            // "3)Zone"
  bool appointEyeOn = false;      // samples the colour at the last click at every paint
  AppointColour appointed{};
  ZoneRange range{};
  int beltStart = 0;         // the luma belt as edited
  int beltEnd = 0;
  bool beltEdited = false;        // 1 once the luma belt was used: the range's luma follows the belt
  int zoneColourSwitch = 0;  // 3 = "W" pressed
  bool patternMode = false;       // 1 "6)Pattern"
  int lmtIndicator = 0;      // 3 = "lmt" pressed; cleared at the end of every paint
  int calculatorTarget = 0;  // 1 luma min, 2 luma max
  bool outlineOn = false;         // "3)Outline" of the sub-panel
  int outlineWidth = 0;      // 0 local contrast, 1 fine, 2 middle, 3 fat (kept by the entry)
  bool contrastFixRequest = false;
  bool noWindowFlag = false;      // set when the stencil has fewer than 10 zone pixels
  bool noWindowShown = false;     // the message was shown since the last "6)Pattern" click
  bool setKeepRequest = false;    // " SetKEEP10"
  int helpItem = 0;          // explanation 1..19; 0 none
  bool drawZoneSwitch = false;    // "5)draw zone": kept by the entry routine and both resets
};
extern PatternPageState PatternPage;

// The Pattern page as the page table lists it.
extern const PageEntry PatternPageEntry;
