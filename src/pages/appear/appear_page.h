// The APPEAR page: a transfer picture appears through its pass zone on a
// back picture and is moved until it is saved. Reached through the page table.
#pragma once

#include "pages/kit/page_entry.h"

// The APPEAR page as the page table lists it.
extern const PageEntry AppearPageEntry;
