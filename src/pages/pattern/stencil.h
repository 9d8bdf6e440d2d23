// The two-tone stencil of the Transfer page and the pattern file, as pure
// functions over width x height of the canvas, the planes and a mask of one
// flag per pixel (rows of `width` flags; on the pages BrushMask).
//
// Routines:
//   ShotPattern          "6)ShotPatt.": pixels with flag 0 take the zone colour in the planes
//   PatternFromPlanes    "4)SavePatt.": the planes turned into the stencil, the mask set from them
//   EncodePatternFile    the pattern file's bytes: 255 - 128 * flag per byte
//   StencilMaskOfCanvas  the mask PatternFromPlanes would set, from the canvas bytes
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "image/planes.h"
#include "pages/pattern/zones.h"

inline constexpr std::uint8_t StencilGrey = 192;

// Width x height of the planes: a pixel whose flag is 0 gets the zone colour
// in all three samples; pixels with flag 1 keep the picture. A mask shorter
// than width x height: nothing done (as in the two below).
void ShotPattern(const PlaneView& planes, std::span<const std::uint8_t> mask, int width, int height,
                 const StencilSettings& settings);

// The same pixels of the planes: all three samples equal to the zone colour →
// 255 and flag 0; every other pixel → 192 and flag 1.
void PatternFromPlanes(const PlaneView& planes, std::span<std::uint8_t> mask, int width, int height,
                       const StencilSettings& settings);

// The pattern file, defined on the canvas: 960 x 672, 24 bits, reserved
// fields 0, pixels in plane order, every byte 255 - 128 * flag (127 pattern
// part, 255 zone part), from a mask of 960 x 672 flags.
std::vector<std::uint8_t> EncodePatternFile(std::span<const std::uint8_t> mask);

// The mask PatternFromPlanes would set on planes filled from the canvas
// (`canvasStride` pixels a row): 0 where all three bytes equal the zone
// colour, 1 elsewhere. The canvas is left as it is.
void StencilMaskOfCanvas(const std::uint8_t* canvas, int canvasStride, std::span<std::uint8_t> mask, int width,
                         int height, const StencilSettings& settings);
