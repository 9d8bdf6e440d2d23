// The compositing of the APPEAR page, as pure functions over the canvas and
// the planes: the placement of the transfer picture by its offset, the pass
// zone, and RealAppear, which lets the back picture show through the
// transfer picture's pass zone with a blended border.
//
// Routines:
//   InPassZone          whether a transfer pixel belongs to the pass zone
//   PlaceTransferPixels the transfer picture moved by an offset, white where nothing lands
//   RealAppear          the composite into the back picture's planes (summed-area table)
#pragma once

#include <cstdint>

#include "image/planes.h"

// Pass-zone condition: mode 1 pure black, 2 pure white, 3 and 4 a range of
// a channel (channel 1 all three, 2 luma, 3 red, 4 green, 5 blue, 6 green and
// blue, 7 red and blue, 8 red and green); any other mode: no pixel.
struct PassZone {
  int mode = 2;
  int start = 255;  // f
  int end = 255;    // t
  int channel = 2;
};
inline constexpr int EdgeWidthLimit = 8;  // the widest blending half-width

// The pixel's bytes blue, green, red against the zone ("within" = f <= v <= t).
bool InPassZone(const PassZone& zone, std::uint8_t blue, std::uint8_t green, std::uint8_t red);

// The transfer picture (a 960 x 672 bottom-up canvas, 3 bytes a pixel) placed
// into the canvas: canvas pixel (plane row r, column c) takes the source
// pixel at row r + offsetY, column c + offsetX when that lies on the source,
// and is white otherwise. With offset (0, 0) the canvas is the source.
void PlaceTransferPixels(const std::uint8_t* source, std::uint8_t* canvas, int offsetX, int offsetY);

// RealAppear, with the back picture B in the planes and the placed transfer
// picture T in a canvas, e = edge width (0..8): for rows e .. rows - e - 1 and
// columns e .. columns - e - 1, n = (2e + 1)^2 and p = the number of pass-zone
// pixels of T in the window of rows r - e .. r + e and columns c - e .. c + e;
// each channel becomes (B * p + T(r, c) * (n - p)) / n, signed integer
// division. Pixels closer than e to the border keep B. The window counts come
// from a summed-area table, so the cost does not grow with e; the result is
// that of counting every window pixel.
void RealAppear(const std::uint8_t* transfer, const PlaneView& back, int columns, int rows, const PassZone& zone,
                int edgeWidth);
