// The FILTER page's state block, as the tests and the benchmark see it.
//
// The page recomputes its picture at every paint from InnerPlanes: the light
// core (when selected), the channel levels, the colour power (when "  action"
// is on) and the colour balances, then shows it and can store it as KEEP1.
// Its routines are the page-table entries StartFilter, EnterFilter,
// FilterClick and PaintFilter (FilterPageEntry).
#pragma once

#include "pages/kit/page_entry.h"

#include <array>

#include "image/planes.h"
#include "ops/colour_power.h"

// Which value box the calculator changes, besides the light-core ends that
// LightCoreSelection 2 and 3 select.
enum FilterTarget : int {
  FilterTargetNone = 0,
  FilterTargetColourPower = 1,  // the "%4d" box of the colour power
  FilterTargetStep = 2,         // the " %2d" box of the diamond step
};

enum LightCoreSelection : int { LightCoreOff = 0, LightCoreApplied = 1, LightCoreFromEdited = 2, LightCoreToEdited = 3 };

// The page's state, with its start values.
struct FilterPageState {
  FilterSettings values;
  int calculatorTarget = FilterTargetNone;  // a FilterTarget
  // The light core: off, applied, or applied with the calculator on f or t.
  int lightCoreSelection = LightCoreOff;  // 0 off, 1 light core applied, 2 calculator on f, 3 on t
  bool setKeepRequest = false;      // 1: the next paint stores the shown picture as KEEP1
  int helpItem = 0;            // explanation selector 1..8, 0 none
};
extern FilterPageState FilterPage;

// The colour power routine the paint calls (per-plane powers blue, green,
// red). The benchmark swaps in the literal form to measure the paint beside it.

// The TOP page's reset mark also returns two of the FILTER page's values to
// their start: the light core (0 .. 255) and the colour power (off, 100).
void ResetLightCoreAndColourPower();

// The FILTER page as the page table lists it.
extern const PageEntry FilterPageEntry;
