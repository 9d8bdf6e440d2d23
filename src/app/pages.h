// The fourteen pages as the shell sees them: each page's entry routine,
// click handler, right-click step and paint section, and the page table
// that the tab bar and the paint pipeline walk.
#pragma once

#include <array>

struct PageEntry {
  const char* name;     // as the panels print it: TOP, FILTER, ..., UNI C.
  int tabCode;          // 1200 ... 1320
  int commentCode;      // the page's comment code
  void (*enter)();      // EnterTop ... EnterGamon: start values, comment request
  bool (*click)();      // true when one of the page's regions took the click
  void (*rightClick)(); // the page's own right-click flags (may be null)
  void (*paint)();      // the page's paint section
  void (*start)();      // writes the start values of the page's state block (a new run)
  void (*leave)(int toPage) = nullptr;  // the page's tab-bar exit: another page's tab was clicked
};

extern const std::array<PageEntry, 14> PageTable;

// Entry routines, click handlers and paint sections, one set per page file.
#define VZ_DECLARE_PAGE(Name) \
  void Enter##Name();         \
  bool Name##Click();         \
  void Paint##Name();         \
  void Start##Name();
VZ_DECLARE_PAGE(Top)
VZ_DECLARE_PAGE(Filter)
VZ_DECLARE_PAGE(Map)
VZ_DECLARE_PAGE(Develop)
VZ_DECLARE_PAGE(Eye)
VZ_DECLARE_PAGE(Contour)
VZ_DECLARE_PAGE(Add)
VZ_DECLARE_PAGE(Palette)
VZ_DECLARE_PAGE(UniC)
VZ_DECLARE_PAGE(Outline)
VZ_DECLARE_PAGE(Pattern)
VZ_DECLARE_PAGE(Transfer)
VZ_DECLARE_PAGE(Appear)
VZ_DECLARE_PAGE(Gamon)
#undef VZ_DECLARE_PAGE

// The right-click steps of the pages that take one (page-table entries).
void OutlineRightClick();
void PatternRightClick();
// The Transfer page's: a right click on the picture closes the polygon being set.
void TransferRightClick();
// DEVELOP's exit: the way back to MAP ends unless MAP is entered next.
void LeaveDevelop(int toPage);

// The TOP page's reset mark also returns the FILTER page's values: light
// core 0 .. 255, colour power off with value 100.
void ResetFilterValues();

// APPEAR state that the shell sets when the APPEAR tab is clicked and serves
// in the paint prologue.
extern int AppearMode;         // 0 picture, 2 transfer, 3 back, 5 composite
extern int AppearFileRequest;  // 2 or 3: store the opened picture as that work file
