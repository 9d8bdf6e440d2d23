// The GAMON page's state block, as the tests and the benchmark see it.
#pragma once

#include "pages/kit/page_entry.h"

#include "pages/gamon/gamon_graphs.h"

extern GamonRates GamonValues;     // the rates and cut flags with their start values
extern int GamonSetKeepRequest;    // 1: the next paint stores the analysis screen as KEEP13
extern int GamonHelpItem;          // explanation selector 1..8, 0 none
extern GamonTables GamonCounts;    // the tables of the last paint

// The GAMON page as the page table lists it.
extern const PageEntry GamonPageEntry;
