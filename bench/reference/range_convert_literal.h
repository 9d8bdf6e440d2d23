// The literal form of the UNI C. page's conversion: pixel by pixel, the gray
// of the WorkPlanes samples by the program's gray rule, compared with the
// range. PaintGrayRange (pages/colour/range_convert.h) is checked against it
// byte for byte and measured beside it.
#pragma once

#include <cstdint>

#include "image/planes.h"
#include "pages/colour/range_convert.h"

void LiteralPaintGrayRange(const PlaneView& planes, std::uint8_t* canvas, int canvasStride, int width, int height,
                           const GrayRangeSettings& settings);
