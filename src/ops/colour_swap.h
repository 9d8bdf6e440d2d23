// The colour swap modes of the DEVELOP page: a fixed per-pixel mapping of
// red, green and blue, from the low bytes of the planes into the canvas.
// Pure function; the planes are never changed here.
#pragma once

#include <cstdint>

#include "image/planes.h"

inline constexpr int SwapModeCount = 22;

// True for the modes that take effect when chosen (0, 5, 12, 17); the
// others are shown greyed on the panel.
constexpr bool SwapModeSelectable(int mode) { return mode == 0 || mode == 5 || mode == 12 || mode == 17; }

// The shown colour of one pixel (red, green, blue in 0..255) under a mode.
// 1 R>G>B>R and 2 R<G<B<R turn the channels round, 3..5 exchange two and keep
// the bracketed one, 6..12 reverse the channels in brackets (255 - v), 17 eel
// mixes: ((G + 255) / 2, (R + G + B + 255) / 4, (R + B) / 2). The other mixes
// (13..16, 18..21) show the colours unchanged.
struct SwapRgb {
  int red, green, blue;
};
SwapRgb SwapPixel(int mode, int red, int green, int blue);

// Which swap the page shows.
struct SwapSettings {
  int mode = 0;  // 0..21; any other is taken as 0 (the colours as they are)
};

// Width x height of the canvas (bytes blue, green, red, bottom-up,
// `canvasStride` pixels a row; canvas row r is plane row r) from the planes
// through the mode.
void SwapIntoCanvas(const PlaneView& planes, std::uint8_t* canvas, int canvasStride, int width, int height,
                    const SwapSettings& settings);
