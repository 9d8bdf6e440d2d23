// The polygon cut and outline trace of the Transfer page (polygon_cut.h).
//
// [SECTION] Sides and the snap to the outline
// [SECTION] The polygon's paint steps
// [SECTION] The cut
// [SECTION] Marks

#include "pages/pattern/polygon_cut.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

// [SECTION] Sides and the snap to the outline
namespace {

constexpr int RowBytes = Stride * 3;

bool InsideCanvas(int column, int row) { return column >= 0 && column < Stride && row >= 0 && row < CanvasRows; }

void PaintPixel(std::uint8_t* canvas, int column, int row, std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  std::uint8_t* p = canvas + static_cast<std::size_t>(row) * RowBytes + static_cast<std::size_t>(column) * 3;
  p[0] = blue;
  p[1] = green;
  p[2] = red;
}

bool IsWhite(const std::uint8_t* p) { return p[0] == 255 && p[1] == 255 && p[2] == 255; }

// A point seen along the line a mode works on: u the coordinate that moves
// along the line (x in mode 1), w the line (y in mode 1).
struct Along {
  int mode;
  int U(PolygonPoint p) const { return mode == CutByColumns ? p.y : p.x; }
  int W(PolygonPoint p) const { return mode == CutByColumns ? p.x : p.y; }
  PolygonPoint Point(int u, int w) const { return mode == CutByColumns ? PolygonPoint{w, u} : PolygonPoint{u, w}; }
};

void AppendPoint(PolygonPoint p, std::vector<int>& out) {
  const int index = PointPixelIndex(p.x, p.y);
  if (index >= 0) out.push_back(index);
}

// Floor of a half: the middle of a run from first to last, both included.
int Middle(int first, int last) {
  const int sum = first + last;
  return sum >= 0 ? sum / 2 : -((-sum + 1) / 2);
}

// The middle of the whole outline run through u on line w.
int RunMiddle(const OutlineTest& outline, const Along& along, int u, int w) {
  int first = u;
  while (outline.AtPoint(along.Point(first - 1, w).x, along.Point(first - 1, w).y)) --first;
  int last = u;
  while (outline.AtPoint(along.Point(last + 1, w).x, along.Point(last + 1, w).y)) ++last;
  return Middle(first, last);
}

// One step of a trace track on line w: snap when off the outline (a move of
// 8 or more hands the track the other's points and position instead), then
// the run around the position searched left first (track A) or right first
// (track B), and the middle of what was found becomes the track's point.
struct Track {
  int u = 0;
  std::vector<PolygonPoint>* points = nullptr;
};

void StepTrack(const OutlineTest& outline, const Along& along, int mode, int w, bool leftFirst, Track& track,
               const Track& other) {
  auto on = [&](int u) {
    const PolygonPoint p = along.Point(u, w);
    return outline.AtPoint(p.x, p.y);
  };
  if (!on(track.u)) {
    const int snapped = SnapToOutline(outline, along.Point(track.u, w), mode, TraceSnapRadius);
    if (std::abs(snapped - track.u) >= TraceSnapRadius) {
      *track.points = *other.points;
      track.u = other.u;
    } else {
      track.u = snapped;
    }
  }
  const int x = track.u;
  int first = x, last = x;
  if (leftFirst) {
    while (first - 1 >= x - 8 && on(first - 1)) --first;
    last = first;
    while (last + 1 <= std::min(x + 12, first + 8) && on(last + 1)) ++last;
  } else {
    while (last + 1 <= x + 8 && on(last + 1)) ++last;
    first = last;
    while (first - 1 >= std::max(x - 12, last - 8) && on(first - 1)) --first;
  }
  track.u = Middle(first, last);
  if (static_cast<int>(track.points->size()) < TraceTrackCapacity) track.points->push_back(along.Point(track.u, w));
}

int CountJumps(const std::vector<PolygonPoint>& points, const Along& along) {
  int jumps = 0;
  for (std::size_t i = 1; i < points.size(); ++i) {
    if (std::abs(along.U(points[i]) - along.U(points[i - 1])) > TraceJump) ++jumps;
  }
  return jumps;
}

}  // namespace

int PointPixelIndex(int x, int y) {
  const auto [column, row] = PixelUnderPoint(x, y);
  return InsideCanvas(column, row) ? row * Stride + column : -1;
}

bool OutlineTest::AtPixel(int column, int row) const {
  if (!InsideCanvas(column, row)) return false;
  return planes.at(0, row, column) == static_cast<std::uint32_t>(colour.blue) &&
         planes.at(1, row, column) == static_cast<std::uint32_t>(colour.green) &&
         planes.at(2, row, column) == static_cast<std::uint32_t>(colour.red);
}

void StraightSidePixels(PolygonPoint a, PolygonPoint b, int mode, std::vector<int>& out) {
  const Along along{mode};
  AppendPoint(a, out);
  AppendPoint(b, out);
  const int u1 = along.U(a), w1 = along.W(a), u2 = along.U(b), w2 = along.W(b);
  if (w1 == w2) return;
  const int step = w2 > w1 ? 1 : -1;
  for (int w = w1;; w += step) {
    AppendPoint(along.Point(u1 + (w - w1) * (u2 - u1) / (w2 - w1), w), out);
    if (w == w2) break;
  }
}

int SnapToOutline(const OutlineTest& outline, PolygonPoint point, int mode, int radius) {
  const Along along{mode};
  const int u = along.U(point);
  const int w = along.W(point);
  if (mode == CutByColumns && point.y <= 32) return std::max(point.y, 32);
  auto on = [&](int at) {
    const PolygonPoint p = along.Point(at, w);
    return outline.AtPoint(p.x, p.y);
  };
  int middle = u;
  if (on(u)) {
    middle = RunMiddle(outline, along, u, w);
  } else {
    constexpr int Far = 960;
    int leftMiddle = u - Far, rightMiddle = u + Far;
    bool found = false;
    for (int c = u - 1; c >= u - radius; --c) {
      if (on(c)) {
        leftMiddle = RunMiddle(outline, along, c, w);
        found = true;
        break;
      }
    }
    for (int c = u + 1; c <= u + radius; ++c) {
      if (on(c)) {
        rightMiddle = RunMiddle(outline, along, c, w);
        found = true;
        break;
      }
    }
    if (!found) return u;
    middle = std::abs(rightMiddle - u) <= std::abs(u - leftMiddle) ? rightMiddle : leftMiddle;
  }
  const PolygonPoint moved = along.Point(middle, w);
  if (PointPixelIndex(moved.x, moved.y) < 0 || std::abs(middle - u) >= 2 * radius) return u;
  return middle;
}

void TraceSidePixels(const OutlineTest& outline, PolygonPoint a, PolygonPoint b, int mode, TraceState& trace,
                     std::vector<int>& out) {
  if (!outline.AtPoint(a.x, a.y) || !outline.AtPoint(b.x, b.y)) {
    StraightSidePixels(a, b, mode, out);
    return;
  }
  const Along along{mode};
  trace.Reset();
  AppendPoint(a, out);
  AppendPoint(b, out);
  const int w1 = along.W(a), w2 = along.W(b), u2 = along.U(b);
  if (w1 == w2) return;
  Track trackA{along.U(a), &trace.trackA};
  Track trackB{along.U(a), &trace.trackB};
  int previousA = trackA.u, previousB = trackB.u;
  const int step = w2 > w1 ? 1 : -1;
  for (int w = w1;; w += step) {
    StepTrack(outline, along, mode, w, true, trackA, trackB);
    StepTrack(outline, along, mode, w, false, trackB, trackA);
    if (std::abs(trackA.u - previousA) > TraceJump) {
      trace.trackA = trace.trackB;
      trackA.u = trackB.u;
    }
    if (std::abs(trackB.u - previousB) > TraceJump) {
      trace.trackB = trace.trackA;
      trackB.u = trackA.u;
    }
    previousA = trackA.u;
    previousB = trackB.u;
    if (w == w2) break;
  }
  trace.jumpsA = CountJumps(trace.trackA, along);
  trace.jumpsB = CountJumps(trace.trackB, along);
  if ((trace.jumpsA == 0) != (trace.jumpsB == 0)) {
    trace.chosen = trace.jumpsA == 0 ? 0 : 1;
  } else if (trace.jumpsA == 0) {
    const int endA = trace.trackA.empty() ? along.U(a) : along.U(trace.trackA.back());
    const int endB = trace.trackB.empty() ? along.U(a) : along.U(trace.trackB.back());
    trace.chosen = std::abs(u2 - endA) >= std::abs(u2 - endB) ? 1 : 0;
  } else {
    trace.chosen = trace.jumpsA < trace.jumpsB ? 0 : 1;
  }
  for (const PolygonPoint p : trace.chosen == 0 ? trace.trackA : trace.trackB) AppendPoint(p, out);
}

// [SECTION] The polygon's paint steps

void EmptyPolygon(PolygonState& polygon) {
  polygon.count = -1;
  polygon.closeRequest = false;
}

bool ServePolygonPaint(PolygonState& polygon, const OutlineTest& outline, std::span<std::uint8_t> mask) {
  PolygonState& p = polygon;
  // A new polygon's first point clears the mask (the last polygon's marks,
  // or a stencil) and forgets what the polygon had marked.
  if (p.on && p.count == 0) {
    std::fill(mask.begin(), mask.end(), std::uint8_t{0});
    p.marked.clear();
  }
  // Close: point 0 again as the closing point, in its own slot. Nothing to
  // close while there is no point.
  bool closing = false;
  if (p.closeRequest) {
    if (p.count >= 0) {
      p.count += 1;
      p.lastClick = p.points[0];
      closing = true;
    }
    p.closeRequest = false;
  }
  if (!p.on || p.count < 0) return false;

  // Clicks past the last point replace point 255; only a closing point takes slot 256.
  p.count = std::min(p.count, closing ? PolygonPointCount : PolygonPointCount - 1);
  const int n = p.count;
  if (p.traceOn) {
    if (p.mode == CutByColumns) {
      p.lastClick.y = SnapToOutline(outline, p.lastClick, CutByColumns, ClickSnapRadius);
    } else {
      p.lastClick.x = SnapToOutline(outline, p.lastClick, CutByRows, ClickSnapRadius);
    }
  }
  p.points[static_cast<std::size_t>(n)] = p.lastClick;
  p.sides[0].clear();
  AppendPoint(p.points[0], p.sides[0]);
  if (n > 0) {
    const auto k = static_cast<std::size_t>(n);
    const std::array<PolygonPoint, 2> ends{p.points[k - 1], p.points[k]};
    std::vector<int>& side = p.sides[k];
    if (p.traceOn) {
      side.clear();
      TraceSidePixels(outline, ends[0], ends[1], p.mode, p.trace, side);
    } else if (!p.traceToggled || p.sideEnds[k] != ends) {
      // Just after "trace outline" was switched off a traced side stays as
      // it was traced.
      side.clear();
      StraightSidePixels(ends[0], ends[1], p.mode, side);
    }
    p.sideEnds[k] = ends;
  }
  // The mask holds exactly the current sides: what the polygon had marked is
  // taken away, then every side of points 0..n is marked again.
  for (const int index : p.marked) mask[static_cast<std::size_t>(index)] = 0;
  p.marked.clear();
  for (int k = 0; k <= n; ++k) {
    for (const int index : p.sides[static_cast<std::size_t>(k)]) {
      if (mask[static_cast<std::size_t>(index)] == 0) {
        mask[static_cast<std::size_t>(index)] = 1;
        p.marked.push_back(index);
      }
    }
  }
  return true;
}

// [SECTION] The cut

std::vector<int> ExtremumVertexPixels(std::span<const PolygonPoint> points, int mode) {
  std::vector<int> pixels;
  const Along along{mode};
  std::size_t count = points.size();
  const bool closed = count >= 4 && points.front() == points.back();
  if (closed) count -= 1;  // the closing point is point 0 again
  if (count < 3) return pixels;
  for (std::size_t k = 0; k < count; ++k) {
    if (!closed && (k == 0 || k + 1 == count)) continue;
    const PolygonPoint before = points[(k + count - 1) % count];
    const PolygonPoint after = points[(k + 1) % count];
    const int w = along.W(points[k]);
    const bool bothAbove = along.W(before) > w && along.W(after) > w;
    const bool bothBelow = along.W(before) < w && along.W(after) < w;
    if (!bothAbove && !bothBelow) continue;
    const int index = PointPixelIndex(points[k].x, points[k].y);
    if (index >= 0) pixels.push_back(index);
  }
  std::sort(pixels.begin(), pixels.end());
  pixels.erase(std::unique(pixels.begin(), pixels.end()), pixels.end());
  return pixels;
}

void FillPolygonInside(std::uint8_t* canvas, std::span<const std::uint8_t> mask, int mode,
                       std::span<const int> extremumPixels) {
  auto listed = [&](int index) {
    return mask[static_cast<std::size_t>(index)] != 0 &&
           !std::binary_search(extremumPixels.begin(), extremumPixels.end(), index);
  };
  if (mode != CutByColumns) {
    std::array<int, FillCrossingLimit> columns{};
    for (int row = 0; row < CanvasRows; ++row) {
      const std::uint8_t* line = mask.data() + static_cast<std::size_t>(row) * Stride;
      int count = 0;
      // Eight flags at a time: most of a row is unmarked.
      for (int c = 0; c < Stride && count < FillCrossingLimit; c += 8) {
        std::uint64_t word;
        std::memcpy(&word, line + c, 8);
        if (word == 0) continue;
        for (int k = c; k < c + 8 && count < FillCrossingLimit; ++k) {
          if (listed(row * Stride + k)) columns[static_cast<std::size_t>(count++)] = k;
        }
      }
      std::uint8_t* pixels = canvas + static_cast<std::size_t>(row) * RowBytes;
      for (int i = 0; i + 1 < count; i += 2) {
        const int from = columns[static_cast<std::size_t>(i)], to = columns[static_cast<std::size_t>(i + 1)];
        std::memset(pixels + from * 3, 255, static_cast<std::size_t>(to - from + 1) * 3);
      }
    }
    // Gap pass, rows upward: a pixel between two white ones becomes white.
    for (int row = 1; row <= CanvasRows - 2; ++row) {
      const std::uint8_t* below = canvas + static_cast<std::size_t>(row - 1) * RowBytes;
      const std::uint8_t* above = canvas + static_cast<std::size_t>(row + 1) * RowBytes;
      std::uint8_t* here = canvas + static_cast<std::size_t>(row) * RowBytes;
      for (int i = 0; i < RowBytes; i += 3) {
        if (IsWhite(below + i) && IsWhite(above + i)) here[i] = here[i + 1] = here[i + 2] = 255;
      }
    }
    return;
  }
  // Mode 2: the rows of each column, gathered in one pass over the rows.
  std::vector<int> counts(Stride, 0);
  std::vector<int> rows(static_cast<std::size_t>(Stride) * FillCrossingLimit, 0);
  for (int row = 0; row < CanvasRows; ++row) {
    const std::uint8_t* line = mask.data() + static_cast<std::size_t>(row) * Stride;
    for (int c = 0; c < Stride; c += 8) {
      std::uint64_t word;
      std::memcpy(&word, line + c, 8);
      if (word == 0) continue;
      for (int k = c; k < c + 8; ++k) {
        int& count = counts[static_cast<std::size_t>(k)];
        if (count < FillCrossingLimit && listed(row * Stride + k)) {
          rows[static_cast<std::size_t>(k) * FillCrossingLimit + static_cast<std::size_t>(count++)] = row;
        }
      }
    }
  }
  for (int column = 0; column < Stride; ++column) {
    const int* list = rows.data() + static_cast<std::size_t>(column) * FillCrossingLimit;
    const int count = counts[static_cast<std::size_t>(column)];
    for (int i = 0; i + 1 < count; i += 2) {
      for (int row = list[i]; row <= list[i + 1]; ++row) PaintPixel(canvas, column, row, 255, 255, 255);
    }
  }
  // Gap pass, columns rightward. A pixel depends only on its left and right
  // neighbours in its own row, so the rows can be walked one by one.
  for (int row = 0; row < CanvasRows; ++row) {
    std::uint8_t* line = canvas + static_cast<std::size_t>(row) * RowBytes;
    for (int column = 1; column <= Stride - 2; ++column) {
      std::uint8_t* here = line + column * 3;
      if (IsWhite(here - 3) && IsWhite(here + 3)) here[0] = here[1] = here[2] = 255;
    }
  }
}

// [SECTION] Marks

void PaintMaskRed(std::uint8_t* canvas, std::span<const std::uint8_t> mask) {
  const int total = Stride * CanvasRows;
  for (int i = 0; i < total; i += 8) {
    std::uint64_t word;
    std::memcpy(&word, mask.data() + i, 8);
    if (word == 0) continue;
    for (int k = i; k < i + 8; ++k) {
      if (mask[static_cast<std::size_t>(k)] == 1) {
        std::uint8_t* p = canvas + static_cast<std::size_t>(k) * 3;
        p[0] = 0;
        p[1] = 0;
        p[2] = 255;
      }
    }
  }
}

void PaintCrossMarker(std::uint8_t* canvas, const OutlineTest& outline, PolygonPoint point) {
  if (point.x < 101 || point.y < 33) return;
  const bool onOutline = outline.AtPoint(point.x, point.y);
  const std::uint8_t red = onOutline ? 0 : 255;
  const std::uint8_t g = onOutline ? 255 : 0;
  for (int d = -8; d <= 7; ++d) {
    const CanvasPixel along = PixelUnderPoint(point.x + d, point.y);
    if (InsideCanvas(along.column, along.row)) PaintPixel(canvas, along.column, along.row, red, g, 0);
    const CanvasPixel down = PixelUnderPoint(point.x, point.y + d);
    if (InsideCanvas(down.column, down.row)) PaintPixel(canvas, down.column, down.row, red, g, 0);
  }
}

void PaintTrack(std::uint8_t* canvas, const TraceState& trace) {
  if (trace.chosen < 0) return;
  const bool a = trace.chosen == 0;
  if ((a ? trace.jumpsA : trace.jumpsB) != 0) return;
  for (const PolygonPoint p : a ? trace.trackA : trace.trackB) {
    const int index = PointPixelIndex(p.x, p.y);
    if (index < 0) continue;
    std::uint8_t* pixel = canvas + static_cast<std::size_t>(index) * 3;
    pixel[0] = a ? 255 : 0;  // A (0, 255, 255), B (0, 255, 0)
    pixel[1] = 255;
    pixel[2] = 0;
  }
}
