// A page as the shell sees it: its routines and the hooks the shell calls at
// its fixed points. Each page file ends with its one PageEntry; the shell's
// page table (app/page_table.cpp) lists them in PageId order.
#pragma once

#include <array>
#include <span>

#include "image/state_block.h"
#include "panel/widgets.h"

// What the paint's prologue tells the current page before its section runs.
struct PaintPrologue {
  bool openShown = false;      // this paint showed the open dialog
  bool pictureOpened = false;  // ... and a picture was chosen and read
};

struct PageEntry {
  int commentCode = 0;             // the page's comment code (F1 shows it)
  void (*start)() = nullptr;       // a new run: the page's state back to its start values
  void (*enter)() = nullptr;       // tab entry: the page's entry values, its comment asked for
  bool (*click)() = nullptr;       // true when one of the page's regions took the click
  void (*paint)() = nullptr;       // the page's paint section
  // Hooks, each null where the page has none:
  void (*rightClick)() = nullptr;         // a right click on the image area
  bool (*beforeEntry)(int fromPage) = nullptr;  // the page's tab clicked; false: the tab does nothing
  void (*leave)(int toPage) = nullptr;    // another page's tab clicked while this page is current
  void (*prologue)(const PaintPrologue&) = nullptr;  // every paint of this page, before its section
  // The page's panel tables (most pages have one), so that a control can be
  // found by its label.
  std::array<std::span<const PanelKey>, 2> panels{};
  // The page's blocks of state, as the history of changes takes and puts
  // them back.
  std::span<const StateBlock> states{};
};
