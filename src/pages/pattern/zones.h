// Colour zones and two-tone stencils of the Pattern page: the colour range
// of the picked colours, the zone drawn over an area of the canvas, and the
// stencil (zone white, the rest grey 192, recorded in a mask). Pure work over
// width x height of a bottom-up 24-bit canvas (rows of `canvasStride`
// pixels, plane row 0 at the bottom) and a mask of one flag per pixel (rows
// of `width` flags).
#pragma once

#include <climits>
#include <cstdint>
#include <span>

#include "image/planes.h"

// Minimum and maximum of each channel and of the gray over the picked
// colours. Empty (every min 255, every max 0) until a colour is picked.
// The "2)Area" switch: off, dragging an area, or the area kept while the
// zone is picked.
enum AreaSwitchState : int { AreaOff = 0, AreaDragging = 1, AreaKept = 2 };

struct ZoneRange {
  int redMin = 255, redMax = 0;
  int greenMin = 255, greenMax = 0;
  int blueMin = 255, blueMax = 0;
  int lumaMin = 255, lumaMax = 0;
  friend bool operator==(const ZoneRange&, const ZoneRange&) = default;
};

// A sampled pixel: its channels and its gray (image/gray.h, truncated).
struct AppointColour {
  int blue = 0, green = 0, red = 0, luma = 0;
  friend bool operator==(const AppointColour&, const AppointColour&) = default;
};

// The zone's area: left and right canvas columns, top and bottom client y
// (as a drag hands them over: not ordered; a left above right or a top below
// bottom selects nothing). The whole canvas at the start.
struct AreaRect {
  int left = 0, top = 32, right = 960, bottom = 704;
  friend bool operator==(const AreaRect&, const AreaRect&) = default;
};

// True when a client point lies on the picture area, where a pick may read
// the canvas: 101 <= x <= 1059 and 33 <= y <= 703.
constexpr bool PickOnPicture(int x, int y) { return 101 <= x && x <= 1059 && 33 <= y && y <= 703; }

// The area of a drag as canvas columns left .. right and plane rows
// 704 - bottom .. 704 - top, bounds included (PixelUnderPoint): empty when
// the drag's left lies right of its right or its top below its bottom.
CanvasArea ZoneAreaOf(const AreaRect& area);

// The canvas pixel under a client point (PixelUnderPoint). The caller
// makes sure the point is on the picture (PickOnPicture).
AppointColour SampleCanvas(const std::uint8_t* canvas, int columns, int x, int y);

// Widens the range by one sampled colour.
void WidenZoneRange(ZoneRange& range, const AppointColour& colour);

// What a zone paints: the page builds it from its state.
struct ZoneSettings {
  ZoneRange range{};
  CanvasArea area{0, 0, INT_MAX, INT_MAX};  // columns [left, right), plane rows [bottom, top); no cut by default
  int areaSwitch = AreaDragging;                       // other than 1: nothing is painted
  int judgeMode = 2;                        // 1 every channel within its bounds; otherwise the gray
  int zoneColour = 255;
};

// Paints every pixel of width x height inside the area whose colour lies in
// the range (mode 1: each channel within its bounds; otherwise the gray
// within the gray bounds, bounds included) in grey `zoneColour`. Returns the
// number of pixels painted.
int DrawZone(std::uint8_t* canvas, int canvasStride, int width, int height, const ZoneSettings& settings);

// The grey of the zone, which the stencil and the pattern file tell apart
// from every other colour.
struct StencilSettings {
  int zoneColour = 255;
};

// The stencil over width x height: a pixel with any byte other than the
// zone colour becomes grey 192 and its mask flag 1 (the pattern part); the
// others white with flag 0 (the zone part). Returns the number of zone
// pixels; a mask shorter than width x height: nothing done, 0.
int MakePattern(std::uint8_t* canvas, int canvasStride, std::span<std::uint8_t> mask, int width, int height,
                const StencilSettings& settings);

// The "no window" rule: fewer than 10 zone pixels.
constexpr bool NoWindow(int zonePixels) { return zonePixels < 10; }
