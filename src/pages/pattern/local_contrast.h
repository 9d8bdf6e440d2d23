// Local contrast around a point: within 24 pixels of it, pixels darker than
// the window's median gray are pushed down and the others up, by up to 24
// levels at the centre and 0 at the radius. Pure pixel work over three
// planes and a bottom-up 24-bit canvas of the same size.
#pragma once

#include <cstdint>

#include "image/planes.h"

inline constexpr int LocalContrastRadius = 24;

// The window's median gray: the gray of every window pixel (columns cx - 24 ..
// cx + 24, plane rows cy - 24 .. cy + 24, cut to the view and to the area),
// sorted in descending order, at position (n - 1) / 2. -1 when the window is
// empty.
std::int64_t LocalContrastMedian(const PlaneView& planes, const CanvasArea& area, int cx, int cy);

// The push at a distance (dx, dy) from the centre: trunc(24 (1 - d^3)) with
// d = sqrt(dx^2 + dy^2) / 24 capped at 1.
int LocalContrastPush(int dx, int dy);

// Local contrast at column cx, plane row cy of the planes, over the window
// cut to the area, written into the canvas (rows of 3 * stride bytes); with
// fix also into the planes.
void ApplyLocalContrast(std::uint8_t* canvas, const PlaneView& planes, const CanvasArea& area, int cx, int cy,
                        bool fix);

// As the pages call it: WorkPlanes and the given canvas, on the picture only.
void LocalContrast(std::uint8_t* canvas, int cx, int cy, bool fix);
