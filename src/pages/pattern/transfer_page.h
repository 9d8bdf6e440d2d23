// The Transfer page: the transfer picture that APPEAR lays onto a back
// picture (a shadow picture cut by a polygon, turned into a stencil, the
// real picture shot through it). Reached through the page table.
#pragma once

#include "pages/kit/page_entry.h"

// The Transfer page as the page table lists it.
extern const PageEntry TransferPageEntry;
