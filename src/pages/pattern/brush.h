// The pressure brush: discs marked in a mask of one flag per plane index
// (row * stride + column, plane row 0 at the bottom), their size falling with
// the speed of the strokes, and the marked pixels painted into a canvas or
// fixed into the planes. Pure work over masks, planes and canvases.
#pragma once

#include <cstdint>

#include "image/planes.h"
#include "pages/pattern/outline_state.h"

// The disc of a size at a pressure: a = trunc(size^2 * pressure / 100) and
// radius r = trunc(sqrt(a)); the pixels with dx^2 + dy^2 <= a.
struct BrushDisc {
  int area = 0;    // a
  int radius = 0;  // r
};
BrushDisc BrushDiscOf(int size, int pressure);

// Marks the disc of `size` at `pressure` around the centre pixel in a mask of
// columns x rows flags; only flags inside both the mask and the area (the
// picture) are touched.
void MarkBrushDisc(std::uint8_t* mask, int columns, int rows, const CanvasArea& area, CanvasPixel centre, int size,
                   int pressure);

// Outline.brushSize of a brush width: 2 for none and fine, 4 for middle, 6 for fat.
constexpr int BrushSizeOf(int width) { return width == 3 ? 6 : width == 2 ? 4 : 2; }

// Outline.brushPressure after a stroke released (dx, dy) away from the previous
// release: d = trunc(sqrt(dx^2 + dy^2)); 100 below 20, 100 - 2 (d - 20)
// below 50, 40 from 50 on.
int PressureAfterStroke(int dx, int dy);

// The brush colour: the outline colour (source 1), the set colour (2), else black.
// Where the brush takes its colour.
enum BrushColourSource : int { BrushOutlineColour = 1, BrushSetColour = 2 };
OutlineRgb BrushColourOf(int source, OutlineRgb outlineColour, OutlineRgb setColour);

// Every marked pixel inside the area (the picture) with plane row >= 1 and
// column >= 1 (row 0 and column 0 are never painted) set to the colour: in a
// canvas (rows of 3 * columns bytes), or in the three planes.
void PaintBrushMask(std::uint8_t* canvas, const std::uint8_t* mask, int columns, int rows, const CanvasArea& area,
                    OutlineRgb colour);
void FixBrushMask(const PlaneView& planes, const std::uint8_t* mask, const CanvasArea& area, OutlineRgb colour);
