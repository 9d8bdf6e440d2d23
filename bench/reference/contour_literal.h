// The literal form of the CONTOUR page's drawing: every pixel's gray is
// compared with every level of the ladder in turn, and the colour of the
// level it lies on is worked out there. DrawContour (pages/colour/
// contour_levels.h) is checked against it byte for byte and measured beside it.
#pragma once

#include <cstdint>

#include "ops/contour_levels.h"

// The contour of one paint over width x height of a canvas of `stride`
// pixels a row: operation 1 all levels, 2 the level of scan index s (wrapped
// past the top as the paint does), 0 none.
void LiteralContour(std::uint8_t* canvas, int stride, int width, int height, const ContourDrawSettings& settings);
