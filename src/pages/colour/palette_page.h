// What the PALETTE page shows of its state to the tests (the page itself is
// reached through the page table).
#pragma once

struct PaletteView {
  int column, index;     // the entry being edited: column 1..3 (A..C), index 1..7
  int red, green, blue;  // the current colour
  int chartOn, calculatorOn, target, chartGreen;
};
PaletteView PaletteNow();
