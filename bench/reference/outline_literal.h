// Literal forms of the Outline page's pixel work, written the way the rules
// read: every pixel's neighbourhood read region by region and channel by
// channel, and the local contrast's gray list sorted by selection of the
// largest remaining value. The fast forms in pages/pattern/ are checked
// against these byte for byte and measured beside them.
#pragma once

#include <cstdint>

#include "image/planes.h"
#include "pages/pattern/outline_state.h"

// Detector width 1 fine, 2 middle, 3 fat, painting into a canvas of the
// view's size (rows of 3 * stride bytes).
void LiteralOutline(std::uint8_t* canvas, const PlaneView& planes, int width, int judgeValue, int judgeMode,
                    OutlineRgb colour);

// Local contrast at column cx, plane row cy; with fix the planes take the result too.
void LiteralLocalContrast(std::uint8_t* canvas, const PlaneView& planes, int cx, int cy, bool fix);
