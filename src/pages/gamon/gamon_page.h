// The GAMON page's state block, as the tests and the benchmark see it.
#pragma once

#include "pages/kit/page_entry.h"

#include "pages/gamon/gamon_graphs.h"

// The page's state, with its start values.
struct GamonPageState {
  GamonRates rates;        // the rates and cut flags
  bool setKeepRequest = false;  // 1: the next paint stores the analysis screen as KEEP13
  int helpItem = 0;        // explanation selector 1..8, 0 none
};
extern GamonPageState GamonPage;
extern GamonTables GamonCounts;    // the tables of the last paint

// The GAMON page as the page table lists it.
extern const PageEntry GamonPageEntry;
