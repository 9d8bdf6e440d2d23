// Local contrast around a point: within 24 pixels of it, pixels darker than
// the window's median gray are pushed down and the others up, by up to 24
// levels at the centre and 0 at the radius. Pure pixel work over three
// planes and a bottom-up 24-bit canvas.
#pragma once

#include <climits>
#include <cstdint>

#include "image/planes.h"

inline constexpr int LocalContrastRadius = 24;

// One local contrast: the page builds it from the point last clicked.
struct LocalContrastSettings {
  CanvasPixel centre{};                     // column and plane row of the point
  CanvasArea area{0, 0, INT_MAX, INT_MAX};  // the window is cut to it too (on the pages: the picture's part)
  bool fix = false;                         // the planes take the result too
};

// The window's median gray: the gray of every window pixel (columns cx - 24 ..
// cx + 24, plane rows cy - 24 .. cy + 24, cut to width x height and to the
// area), sorted in descending order, at position (n - 1) / 2. -1 when the
// window is empty.
std::int64_t LocalContrastMedian(const PlaneView& planes, int width, int height,
                                 const LocalContrastSettings& settings);

// The push at a distance (dx, dy) from the centre: trunc(24 (1 - d^3)) with
// d = sqrt(dx^2 + dy^2) / 24 capped at 1.
int LocalContrastPush(int dx, int dy);

// Local contrast at the centre over the window cut to width x height and to
// the area, written into the canvas (bottom-up, `canvasStride` pixels a row;
// canvas row r is plane row r); with fix also into the planes.
void ApplyLocalContrast(const PlaneView& planes, std::uint8_t* canvas, int canvasStride, int width, int height,
                        const LocalContrastSettings& settings);
