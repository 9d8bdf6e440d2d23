// The polygon cut of the Transfer page, as pure functions over the mask, the
// planes and the canvas: points set by clicks, their sides marked into
// BrushMask one pixel per row (cut mode 1) or per column (cut mode 2), the
// snap of a point to an outline and the trace of a side along one, and the
// fill that pairs the marked crossings line by line.
//
// Points are client coordinates (x, y); the pixel of a point is canvas column
// x - 100 and plane row 704 - y. Nothing here reads or writes outside the
// canvas: a point whose pixel lies outside marks nothing, and pixels outside
// the canvas are never outline.
//
// Routines:
//   PointPixelIndex        plane index of a point's pixel, -1 outside
//   OutlineTest            whether a pixel of the planes has the outline colour
//   StraightSidePixels     MarkStraightSide: one pixel per row (mode 1) or column (mode 2)
//   SnapToOutline          a point moved onto the middle of a nearby outline run
//   TraceSidePixels        TraceSide: a side whose ends lie on an outline follows it
//   ServePolygonPaint      the polygon's paint steps over the mask (no drawing)
//   ExtremumVertexPixels   the vertices the fill must not count as crossings
//   FillPolygonInside      the fill of the delete request, with its gap pass
//   PaintMaskRed, PaintCrossMarker, PaintTrack   marks painted into the canvas
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "image/planes.h"
#include "pages/pattern/outline_state.h"

struct PolygonPoint {
  int x = 0, y = 0;
  friend bool operator==(const PolygonPoint&, const PolygonPoint&) = default;
};

inline constexpr int CutByRows = 1;     // "level line flag": one pixel per row
inline constexpr int CutByColumns = 2;  // "vertical line flag": one pixel per column
inline constexpr int PolygonPointCount = 256;  // points 0..255; a further click replaces point 255
inline constexpr int ClickSnapRadius = 16;
inline constexpr int TraceSnapRadius = 8;
inline constexpr int TraceJump = 8;           // a step of more than 8 is a jump
inline constexpr int TraceTrackCapacity = 1025;
inline constexpr int FillCrossingLimit = 36;  // crossings listed per line; further ones are ignored

// Plane index (row * Stride + column) of the point's pixel, or -1 when the
// pixel lies outside the canvas.
int PointPixelIndex(int x, int y);

// Whether the pixel of a client point has the outline colour in all three
// samples of the planes. Pixels outside the canvas are never outline.
struct OutlineTest {
  PlaneView planes;
  OutlineRgb colour;
  bool AtPixel(int column, int row) const;
  bool AtPoint(int x, int y) const {
    const CanvasPixel pixel = PixelUnderPoint(x, y);
    return AtPixel(pixel.column, pixel.row);
  }
};

// MarkStraightSide from a to b: both end pixels, then for every client row
// between them (mode 1) x = x1 + (y - y1) * (x2 - x1) / (y2 - y1), truncating
// toward zero; mode 2 with x and y exchanged. Appends plane indices.
void StraightSidePixels(PolygonPoint a, PolygonPoint b, int mode, std::vector<int>& out);

// SnapToOutline along the row of the point (mode 1, gives x) or its column
// (mode 2, gives y) with a radius: the point moves to the middle of the
// outline run it lies on, or else of the nearest run within the radius (the
// right or lower one on a tie), when that middle lies on the canvas and less
// than 2 radii away. The middle is (first + last) / 2 of the whole run, both
// ends included, so a snapped point stays where it is at the next snap.
// Mode 2: a point above the picture (y <= 32) is not snapped; y below 32 gives 32.
int SnapToOutline(const OutlineTest& outline, PolygonPoint point, int mode, int radius);

// The two tracks of a trace and the one chosen.
struct TraceState {
  std::vector<PolygonPoint> trackA, trackB;
  int jumpsA = 0, jumpsB = 0;
  int chosen = -1;  // 0 track A, 1 track B, -1 none
  void Reset() { *this = TraceState{}; }
};

// TraceSide from a to b: when both ends lie on outline, two tracks follow the
// outline row by row (mode 1) or column by column (mode 2) and the steadier
// one is marked; otherwise the straight side. Appends plane indices.
void TraceSidePixels(const OutlineTest& outline, PolygonPoint a, PolygonPoint b, int mode, TraceState& trace,
                     std::vector<int>& out);

// The polygon of the Transfer page.
struct PolygonState {
  bool on = false;        // "start" pressed
  int count = -1;         // index of the last point: -1 empty, 0 one point, at most 255 (256: closing point)
  bool closeRequest = false;
  bool traceOn = false;        // "trace outline"
  bool traceToggled = false;   // "trace outline" clicked since the last paint
  int mode = CutByRows;
  PolygonPoint lastClick;
  // Points 0..255 and the closing point's own slot 256.
  std::array<PolygonPoint, PolygonPointCount + 1> points{};
  // Side k (k >= 1) from point k - 1 to point k, with the ends it was made
  // from; side 0 holds point 0's own pixel.
  std::array<std::vector<int>, PolygonPointCount + 1> sides{};
  std::array<std::array<PolygonPoint, 2>, PolygonPointCount + 1> sideEnds{};
  std::vector<int> marked;  // the pixels the polygon has put into the mask
  TraceState trace;
};

// Empties the polygon (count -1, no close request); the mask keeps its marks.
void EmptyPolygon(PolygonState& polygon);

// The polygon's paint steps, in order: with the polygon on and one point,
// the mask is cleared; a close request adds point 0 again as the closing
// point (ignored while there is no point); then, with the polygon on and a
// point, the count is capped, the last click is snapped (trace on), becomes
// the last point, and its side is marked straight or traced. The mask always
// holds exactly the sides of the current polygon (a replaced side is
// unmarked). True when the polygon has a point to show.
bool ServePolygonPaint(PolygonState& polygon, const OutlineTest& outline, std::span<std::uint8_t> mask);

// Pixels of the vertices that are a strict local top or bottom (mode 1: both
// neighbours above, or both below) or a strict local left or right end (mode
// 2) of the polygon of points 0..count. The two sides meeting there mark the
// vertex once where the line crosses the boundary twice or not at all, so the
// fill leaves such a pixel out of its crossing list. An open polygon's ends
// have one neighbour and are not counted.
std::vector<int> ExtremumVertexPixels(std::span<const PolygonPoint> points, int mode);

// The fill of the delete request into the canvas (bottom-up, 3 bytes a
// pixel), with white: for every plane row (mode 1) or column (mode 2), the
// marked pixels in increasing order (at most 36; the extremum vertices left
// out) are paired 1st-2nd, 3rd-4th, ... and painted, both ends included; an
// odd last one stays unpaired. Then the gap pass over the whole canvas in
// increasing order: mode 1, plane rows 1..670, a pixel whose pixels below and
// above are both white becomes white; mode 2, columns 1..958, with the left
// and right neighbours.
void FillPolygonInside(std::uint8_t* canvas, std::span<const std::uint8_t> mask, int mode,
                       std::span<const int> extremumPixels);

// Every pixel whose mask flag is 1 painted red (255, 0, 0) in the canvas.
void PaintMaskRed(std::uint8_t* canvas, std::span<const std::uint8_t> mask);
// The cross marker of a point: canvas pixels along its row from x - 8 to
// x + 7 and its column from y - 8 to y + 7, clipped to the canvas, green when
// the point's pixel is outline, red otherwise. Nothing for x < 101 or y < 33.
void PaintCrossMarker(std::uint8_t* canvas, const OutlineTest& outline, PolygonPoint point);
// The chosen trace track painted into the canvas (A cyan, B green) when it
// has no jumps.
void PaintTrack(std::uint8_t* canvas, const TraceState& trace);
