// What the PALETTE page shows of its state to the tests (the page itself is
// reached through the page table).
#pragma once

#include "pages/kit/page_entry.h"

struct PaletteView {
  int column, index;     // the entry being edited: column 1..3 (A..C), index 1..7
  int red, green, blue;  // the current colour
  int chartOn, calculatorOn, target, chartGreen;
};
PaletteView PaletteNow();

// The PALETTE page as the page table lists it.
extern const PageEntry PalettePageEntry;
