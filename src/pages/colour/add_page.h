// What the ADD page shows of its state to the tests (the page itself is
// reached through the page table).
#pragma once

#include "pages/kit/page_entry.h"

#include "image/planes.h"
#include "pages/colour/nod_colours.h"

// The x of the blend meter's mark for the weights in force.
int AddMeterX();
// The column in use: 1 A, 2 B.
int AddColumnChoice();

// The ADD page as the page table lists it.
extern const PageEntry AddPageEntry;
