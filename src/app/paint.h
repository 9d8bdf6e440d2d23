// The paint handler: the prologue of every paint, then the current page's
// section (pages/kit/page_steps.h has the steps a section is made of).
#pragma once

#include <span>

#include "image/state_block.h"

// The paint handler (run by the message loop when the window is invalid).
void PaintHandler();

// The picture in hand is cached by path, size and modification time, so a
// file changed on disk between paints shows its new content. This forgets
// the cache and the title shown (a new run).
void ResetPaintState();

// What the paint handler keeps between paints, as the history keeps it.
std::span<const StateBlock> PaintStates();
