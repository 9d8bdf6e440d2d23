// The frame of a page whose own tool is not built yet: its title key word
// (a click requests its comment), its reset marks, the current image shown
// with the common steps, the tab bar and its comment lines. Such a page keeps
// its own state block, entry routine, click handler and paint section in its
// file, and they call these.
#pragma once

#include <array>
#include <span>

#include "panel/comments.h"
#include "panel/widgets.h"

struct ResetMarkPlace {
  int x = 0, y = 0, colourIndex = -1;  // colour -1: no mark
};

struct PlainPage {
  int page = 0;                           // PageId, also the keep slot
  std::span<const PanelKey> panel;        // the title key word (code 1) and any labels
  std::array<ResetMarkPlace, 2> marks{};  // one or two reset marks
  const PageComments* comments = nullptr;
};

inline constexpr int TitleKeyCode = 1;

// A click on the title key word requests the page comment. True when taken.
bool PlainPageClick(const PlainPage& page);

// The page section with no image operation of its own.
void PaintPlainPage(const PlainPage& page, int& setRequest, int& selector);
