// Literal forms of the Outline page's pixel work, written the way the rules
// read: every pixel's neighbourhood read region by region and channel by
// channel, and the local contrast's gray list sorted by selection of the
// largest remaining value. The fast forms in pages/pattern/ are checked
// against these byte for byte and measured beside them.
#pragma once

#include <cstdint>

#include "image/planes.h"
#include "ops/local_contrast.h"
#include "ops/outline_detect.h"

// Detector 1 fine, 2 middle, 3 fat over width x height of the planes,
// painting into a canvas of `canvasStride` pixels a row.
void LiteralOutline(const PlaneView& planes, std::uint8_t* canvas, int canvasStride, int width, int height,
                    const OutlineSettings& settings);

// Local contrast at the centre, the window cut to width x height and to the
// area; with fix the planes take the result too.
void LiteralLocalContrast(const PlaneView& planes, std::uint8_t* canvas, int canvasStride, int width, int height,
                          const LocalContrastSettings& settings);
