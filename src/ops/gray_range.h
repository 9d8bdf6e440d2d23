// UNI C.'s conversion as pixel work: every pixel whose grey lies in a range
// takes one colour. Pure function over planes into a canvas.
#pragma once

#include <cstdint>

#include "image/planes.h"

struct UniRgb {
  int red = 0, green = 0, blue = 0;
  friend bool operator==(const UniRgb&, const UniRgb&) = default;
};

// What one conversion paints: the grey range and the colour it takes (the
// new colour, or white for the preview of the range).
struct GrayRangeSettings {
  int lo = 255, hi = 0;              // the grey range, bounds included
  UniRgb colour{255, 255, 255};
};

// Every pixel of width x height whose plane gray g (truncated, of the
// samples as they are) lies in lo <= g <= hi takes the colour exactly in the
// canvas (bytes blue, green, red, bottom-up, `canvasStride` pixels a row,
// canvas row r is plane row r); the others keep theirs. The planes are not
// changed.
void PaintGrayRange(const PlaneView& planes, std::uint8_t* canvas, int canvasStride, int width, int height,
                    const GrayRangeSettings& settings);
