// The page table: the fourteen pages in PageId order, as the tab bar, the
// click dispatch and the paint handler walk it. The one file of the shell
// that knows the pages by name is page_table.cpp.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "image/state_block.h"
#include "pages/kit/page_entry.h"
#include "pages/kit/page_state.h"
#include "platform/language.h"

extern const std::array<const PageEntry*, PageCount> PageTable;

// The entry of the current page.
inline const PageEntry& CurrentPage() { return *PageTable[static_cast<unsigned>(PageId)]; }

// The pages' names as the comment lines give them, in PageId order.
extern const std::array<BilingualText, PageCount> PageNames;

// A new run: every page's state and the state the pages share back to their
// start values.
void StartAllPages();

// The state the pages share beyond their own blocks (the tone, the view, the
// outline's and the nod colours), as the history keeps it.
std::span<const StateBlock> SharedPageStates();

// The brush mask the Outline, Pattern and Transfer pages paint, one byte a
// canvas sample.
std::span<std::uint8_t> SharedBrushMask();

// The canvas now shows another part of the picture: what the pages had
// marked on the part shown before (the brush mask, the local contrast's
// point) goes with it.
void ForgetMarksOnTheShownPart();
