// The polygon cut as pure functions: sides worked by hand, the fill of a
// triangle, a self-crossing polygon and a polygon on the canvas edges, the
// 257th click and the closing side, the snap onto outlines of several widths
// from both sides, the trace along a drawn outline, and the fast fill against
// its literal form.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>
#include <vector>

#include "image/planes.h"
#include "pages/pattern/polygon_cut.h"
#include "reference/polygon_fill_literal.h"

namespace {

constexpr int PixelCount = Stride * CanvasRows;

// Planes of their own (white), so the tests do not touch WorkPlanes.
struct TestPlanes {
  std::array<std::vector<std::uint32_t>, 3> samples;
  TestPlanes() {
    for (auto& s : samples) s.assign(PixelCount, 255);
  }
  PlaneView View() { return PlaneView{{samples[0].data(), samples[1].data(), samples[2].data()}, Stride, CanvasRows}; }
  // Paints the pixel of client point (x, y) (row 704 - y) black.
  void Blacken(int x, int y) {
    const int index = PointPixelIndex(x, y);
    if (index < 0) return;
    for (auto& s : samples) s[static_cast<std::size_t>(index)] = 0;
  }
};
constexpr OutlineRgb BlackOutline{0, 0, 0};

std::vector<int> Straight(PolygonPoint a, PolygonPoint b, int mode) {
  std::vector<int> out;
  StraightSidePixels(a, b, mode, out);
  std::sort(out.begin(), out.end());
  out.erase(std::unique(out.begin(), out.end()), out.end());
  return out;
}

int At(int x, int y) { return PointPixelIndex(x, y); }

bool WhiteAt(const std::vector<std::uint8_t>& canvas, int column, int row) {
  const std::size_t i = (static_cast<std::size_t>(row) * Stride + column) * 3;
  return canvas[i] == 255 && canvas[i + 1] == 255 && canvas[i + 2] == 255;
}

// A closed polygon's sides marked straight into a fresh mask.
std::vector<std::uint8_t> MaskOf(const std::vector<PolygonPoint>& points, int mode) {
  std::vector<std::uint8_t> mask(PlaneCapacity, 0);
  for (std::size_t k = 0; k + 1 < points.size(); ++k) {
    for (const int i : Straight(points[k], points[k + 1], mode)) mask[static_cast<std::size_t>(i)] = 1;
  }
  return mask;
}

std::vector<std::uint8_t> Filled(const std::vector<PolygonPoint>& points, int mode, bool withExtrema = true) {
  std::vector<std::uint8_t> canvas(CanvasByteCount, 0);
  const std::vector<int> extrema = withExtrema ? ExtremumVertexPixels(points, mode) : std::vector<int>{};
  FillPolygonInside(canvas.data(), MaskOf(points, mode), mode, extrema);
  return canvas;
}

TEST(PolygonSides, StraightSidesWorkedByHand) {
  // Mode 1: x = 110 + (y - 100) * 3 / 4 for client rows 100..104: 110, 110, 111, 112, 113.
  EXPECT_EQ(Straight({110, 100}, {113, 104}, CutByRows),
            (std::vector<int>{At(113, 104), At(112, 103), At(111, 102), At(110, 101), At(110, 100)}));
  // Walked from the lower end, the truncation goes toward the other end: x = 113 + (y - 104) * -3 / -4.
  EXPECT_EQ(Straight({113, 104}, {110, 100}, CutByRows),
            (std::vector<int>{At(113, 104), At(113, 103), At(112, 102), At(111, 101), At(110, 100)}));
  // Mode 2: one pixel per column, y = 100 + (x - 110) * 4 / 3 -> 100, 101, 102, 104.
  EXPECT_EQ(Straight({110, 100}, {113, 104}, CutByColumns),
            (std::vector<int>{At(113, 104), At(112, 102), At(111, 101), At(110, 100)}));
  // A side along one row marks only its ends in mode 1.
  EXPECT_EQ(Straight({150, 200}, {190, 200}, CutByRows), (std::vector<int>{At(150, 200), At(190, 200)}));
  // Points whose pixel is off the canvas mark nothing (column 960, row 672, row -1).
  EXPECT_TRUE(Straight({1060, 100}, {1060, 100}, CutByRows).empty());
  EXPECT_TRUE(Straight({200, 32}, {200, 32}, CutByRows).empty());
  EXPECT_TRUE(Straight({200, 705}, {200, 705}, CutByRows).empty());
}

TEST(PolygonFill, TriangleClosedAndDeletedInModeOne) {
  // A(200, 100), B(210, 110), C(190, 110): AB gives column y, CA column
  // 200 - y, BC (one row) its ends 90 and 110. Rows 101..110 are painted
  // from 200 - y to y; row 100 holds only the apex and stays.
  const std::vector<PolygonPoint> triangle{{200, 100}, {210, 110}, {190, 110}, {200, 100}};
  const auto canvas = Filled(triangle, CutByRows);
  for (int y = 95; y <= 115; ++y) {
    for (int column = 80; column <= 120; ++column) {
      const bool inside = y >= 101 && y <= 110 && column >= 200 - y && column <= y;
      EXPECT_EQ(WhiteAt(canvas, column, 704 - y), inside) << "client row " << y << " column " << column;
    }
  }
  // The apex is left out of its row's crossings: for this convex polygon
  // that changes nothing against the plain pairing.
  EXPECT_EQ(canvas, Filled(triangle, CutByRows, false));
}

TEST(PolygonFill, ConvexPolygonsCutAsBeforeInBothModes) {
  const std::vector<std::vector<PolygonPoint>> convex = {
      {{300, 100}, {420, 160}, {400, 300}, {250, 320}, {220, 200}, {300, 100}},
      {{500, 400}, {600, 420}, {560, 500}, {500, 400}},
      {{150, 150}, {350, 150}, {350, 250}, {150, 250}, {150, 150}},
  };
  for (const auto& polygon : convex) {
    for (const int mode : {CutByRows, CutByColumns}) {
      EXPECT_EQ(Filled(polygon, mode), Filled(polygon, mode, false)) << "mode " << mode;
    }
  }
}

TEST(PolygonFill, SelfCrossingBowTie) {
  // P0(200,100) -> P1(300,200) -> P2(300,100) -> P3(200,200): two triangles
  // meeting at (250, 150). Their spans: columns 100 .. min(y, 300 - y) and
  // max(y, 300 - y) .. 200 for client rows 101..199; on row 150 the single
  // crossing pixel of the diagonals leaves an odd list, and the gap pass
  // closes the rest of that row.
  const std::vector<PolygonPoint> bowTie{{200, 100}, {300, 200}, {300, 100}, {200, 200}, {200, 100}};
  const auto canvas = Filled(bowTie, CutByRows);
  for (int y = 99; y <= 201; ++y) {
    for (int column = 98; column <= 202; ++column) {
      bool inside = y >= 101 && y <= 199 && column >= 100 && column <= 200 &&
                    (column <= std::min(y, 300 - y) || column >= std::max(y, 300 - y));
      if (y == 150 && column >= 100 && column <= 200) inside = true;
      EXPECT_EQ(WhiteAt(canvas, column, 704 - y), inside) << "client row " << y << " column " << column;
    }
  }
  // The two top vertices are local tops: paired as plain crossings they
  // would paint the row between the triangles, outside the polygon.
  const auto plain = Filled(bowTie, CutByRows, false);
  EXPECT_TRUE(WhiteAt(plain, 150, 704 - 100));
  EXPECT_FALSE(WhiteAt(canvas, 150, 704 - 100));
}

TEST(PolygonFill, ConcaveNotchCutsNoStreakOutside) {
  // A "W" whose two inner valleys are local bottoms... seen from below: the
  // middle vertex (300, 150) is a local top with both neighbours below and
  // the region outside above it. Its row must not pair across the gap.
  const std::vector<PolygonPoint> crown{{200, 100}, {300, 150}, {400, 100}, {400, 250}, {200, 250}, {200, 100}};
  const auto canvas = Filled(crown, CutByRows);
  // On the row of the middle vertex, the gap above the notch stays; inside spans are white.
  EXPECT_TRUE(WhiteAt(canvas, 150, 704 - 150));
  EXPECT_TRUE(WhiteAt(canvas, 250, 704 - 150));
  EXPECT_FALSE(WhiteAt(canvas, 200, 704 - 120));
  // Row 100 holds the two outer tops only.
  EXPECT_FALSE(WhiteAt(canvas, 200, 704 - 100));
}

TEST(PolygonFill, PolygonOnEveryCanvasEdgeFillsTheWholeCanvas) {
  // Corners of the canvas: columns 0 and 959, plane rows 671 (y 33) and 0 (y 704).
  const std::vector<PolygonPoint> frame{{100, 33}, {1059, 33}, {1059, 704}, {100, 704}, {100, 33}};
  for (const int mode : {CutByRows, CutByColumns}) {
    const auto canvas = Filled(frame, mode);
    EXPECT_EQ(std::count(canvas.begin(), canvas.end(), 255), CanvasByteCount) << "mode " << mode;
  }
}

TEST(PolygonFill, FastFormGivesTheLiteralBytes) {
  std::mt19937 random(14);
  for (const int mode : {CutByRows, CutByColumns}) {
    for (int scene = 0; scene < 4; ++scene) {
      std::vector<std::uint8_t> mask(PlaneCapacity, 0);
      std::vector<std::uint8_t> canvas(CanvasByteCount);
      for (std::size_t i = 0; i < canvas.size(); ++i) {
        // flat, gradient, noise, and noise with white in it
        canvas[i] = scene == 0   ? 90
                    : scene == 1 ? static_cast<std::uint8_t>(i / 7000)
                                 : static_cast<std::uint8_t>(scene == 3 && random() % 3 == 0 ? 255 : random());
      }
      // Many marks: some rows and columns with more than 36.
      for (int k = 0; k < 30000; ++k) mask[random() % PixelCount] = 1;
      for (int c = 0; c < 80; ++c) mask[static_cast<std::size_t>(300 * Stride + 200 + c)] = 1;
      std::vector<int> extrema{5 * Stride + 7, 300 * Stride + 210, 400 * Stride + 3};
      for (const int i : extrema) mask[static_cast<std::size_t>(i)] = 1;
      auto fast = canvas;
      auto literal = canvas;
      FillPolygonInside(fast.data(), mask, mode, extrema);
      LiteralFillPolygonInside(literal.data(), mask, mode, extrema);
      EXPECT_EQ(fast, literal) << "mode " << mode << " scene " << scene;
    }
  }
}

// The polygon of the Transfer page, click by click, with its paint step.
struct ClickedPolygon {
  PolygonState polygon;
  TestPlanes planes;
  std::vector<std::uint8_t> mask = std::vector<std::uint8_t>(PlaneCapacity, 0);
  ClickedPolygon() { polygon.on = true; }
  bool Paint() { return ServePolygonPaint(polygon, OutlineTest{planes.View(), BlackOutline}, mask); }
  void Click(int x, int y) {
    polygon.lastClick = {x, y};
    polygon.count = std::min(polygon.count + 1, PolygonPointCount);
    Paint();
  }
  void Close() {
    polygon.closeRequest = true;
    Paint();
  }
};

TEST(PolygonPoints, NoPointNoCloseAndNothingWritten) {
  ClickedPolygon p;
  p.mask[static_cast<std::size_t>(At(300, 300))] = 1;  // a stale mark of another polygon
  EXPECT_FALSE(p.Paint());                              // count -1: nothing set
  p.Close();                                            // close before any point: ignored
  EXPECT_EQ(p.polygon.count, -1);
  EXPECT_EQ(std::count(p.mask.begin(), p.mask.end(), 1), 1);
  p.Click(200, 200);  // the first point clears the mask
  EXPECT_EQ(p.polygon.count, 0);
  EXPECT_EQ(std::count(p.mask.begin(), p.mask.end(), 1), 1);
  EXPECT_EQ(p.mask[static_cast<std::size_t>(At(200, 200))], 1);
}

TEST(PolygonPoints, The257thClickReplacesPoint255AndTheMaskHoldsExactlyTheSides) {
  ClickedPolygon p;
  std::vector<PolygonPoint> clicks;
  for (int k = 0; k < 257; ++k) {
    const PolygonPoint point{150 + (k % 16) * 40 + (k / 16), 100 + (k / 16) * 30 + (k % 3)};
    clicks.push_back(point);
    p.Click(point.x, point.y);
  }
  EXPECT_EQ(p.polygon.count, 255);
  EXPECT_EQ(p.polygon.points[255], clicks[256]);
  std::vector<PolygonPoint> expected(clicks.begin(), clicks.begin() + 255);
  expected.push_back(clicks[256]);
  EXPECT_EQ(p.mask, MaskOf(expected, CutByRows)) << "the side to the replaced point is gone";
  // Closing the full polygon gives the closing side its own slot.
  p.Close();
  EXPECT_EQ(p.polygon.count, 256);
  EXPECT_EQ(p.polygon.points[256], clicks[0]);
  expected.push_back(clicks[0]);
  EXPECT_EQ(p.mask, MaskOf(expected, CutByRows));
  // A click after that replaces point 255 again and drops the closing side.
  p.Click(700, 600);
  EXPECT_EQ(p.polygon.count, 255);
  expected.resize(255);
  expected.push_back({700, 600});
  EXPECT_EQ(p.mask, MaskOf(expected, CutByRows));
}

// Outlines in the planes: vertical runs of a width at a column, rows 80..400.
void DrawVerticalOutline(TestPlanes& planes, int firstX, int width) {
  for (int y = 80; y <= 400; ++y) {
    for (int x = firstX; x < firstX + width; ++x) planes.Blacken(x, y);
  }
}

TEST(OutlineSnap, ClicksFromBothSidesLandOnTheMiddleAndStayPut) {
  struct Case {
    int firstX, width, clickX, expected;
  };
  // The middle of a run first..last is (first + last) / 2.
  constexpr std::array<Case, 8> cases = {{
      {400, 1, 390, 400}, {400, 1, 410, 400}, {400, 1, 400, 400},
      {400, 5, 388, 402}, {400, 5, 415, 402}, {400, 5, 404, 402},
      {400, 4, 390, 401}, {400, 4, 415, 401},
  }};
  for (const Case& c : cases) {
    TestPlanes planes;
    DrawVerticalOutline(planes, c.firstX, c.width);
    const OutlineTest outline{planes.View(), BlackOutline};
    const int snapped = SnapToOutline(outline, {c.clickX, 200}, CutByRows, ClickSnapRadius);
    EXPECT_EQ(snapped, c.expected) << "width " << c.width << " click " << c.clickX;
    EXPECT_EQ(SnapToOutline(outline, {snapped, 200}, CutByRows, ClickSnapRadius), snapped) << "moves again";
  }
  // Beyond the radius nothing moves; between two outlines the nearer wins (the right one on a tie).
  TestPlanes planes;
  DrawVerticalOutline(planes, 400, 1);
  DrawVerticalOutline(planes, 420, 1);
  const OutlineTest outline{planes.View(), BlackOutline};
  EXPECT_EQ(SnapToOutline(outline, {383, 200}, CutByRows, ClickSnapRadius), 383);
  EXPECT_EQ(SnapToOutline(outline, {407, 200}, CutByRows, ClickSnapRadius), 400);
  EXPECT_EQ(SnapToOutline(outline, {410, 200}, CutByRows, ClickSnapRadius), 420);
  // Mode 2 along the column: a horizontal outline at client rows 300..302.
  TestPlanes rows;
  for (int x = 200; x <= 600; ++x)
    for (int y = 300; y <= 302; ++y) rows.Blacken(x, y);
  const OutlineTest byRows{rows.View(), BlackOutline};
  EXPECT_EQ(SnapToOutline(byRows, {400, 290}, CutByColumns, ClickSnapRadius), 301);
  EXPECT_EQ(SnapToOutline(byRows, {400, 312}, CutByColumns, ClickSnapRadius), 301);
  EXPECT_EQ(SnapToOutline(byRows, {400, 20}, CutByColumns, ClickSnapRadius), 32);
}

TEST(OutlineSnap, SearchesOnlyInsideTheCanvas) {
  // Outline colour black on a white picture, black only in column 2: a
  // click at column 1 finds it, and nothing left of column 0 counts.
  TestPlanes planes;
  for (int y = 33; y <= 704; ++y) planes.Blacken(102, y);
  const OutlineTest outline{planes.View(), BlackOutline};
  EXPECT_EQ(SnapToOutline(outline, {101, 300}, CutByRows, ClickSnapRadius), 102);
  EXPECT_FALSE(outline.AtPoint(99, 300));
  EXPECT_FALSE(outline.AtPoint(200, 32));   // row 672
  EXPECT_FALSE(outline.AtPoint(1060, 300)); // column 960
  // The right-most columns snap like any other.
  TestPlanes right;
  for (int y = 33; y <= 704; ++y) right.Blacken(1055, y);
  EXPECT_EQ(SnapToOutline(OutlineTest{right.View(), BlackOutline}, {1045, 300}, CutByRows, ClickSnapRadius), 1055);
  // Rows near the bottom snap in mode 2 as well.
  TestPlanes bottom;
  for (int x = 300; x <= 500; ++x) bottom.Blacken(x, 700);
  EXPECT_EQ(SnapToOutline(OutlineTest{bottom.View(), BlackOutline}, {400, 690}, CutByColumns, ClickSnapRadius), 700);
}

TEST(OutlineTrace, ASideBetweenTwoOutlinePointsFollowsTheOutline) {
  // A curved outline three pixels wide: x = 400 + 30 sin(y / 25), rows 100..300.
  TestPlanes planes;
  auto middleX = [](int y) { return 400 + static_cast<int>(std::lround(30 * std::sin(y / 25.0))); };
  for (int y = 100; y <= 300; ++y)
    for (int d = -1; d <= 1; ++d) planes.Blacken(middleX(y) + d, y);
  const OutlineTest outline{planes.View(), BlackOutline};
  TraceState trace;
  std::vector<int> traced;
  const PolygonPoint a{middleX(110), 110}, b{middleX(290), 290};
  TraceSidePixels(outline, a, b, CutByRows, trace, traced);
  ASSERT_GE(trace.chosen, 0);
  EXPECT_EQ(trace.chosen == 0 ? trace.jumpsA : trace.jumpsB, 0);
  // One point per row from 110 to 290, each on the outline's middle.
  const auto& track = trace.chosen == 0 ? trace.trackA : trace.trackB;
  ASSERT_EQ(track.size(), 181u);
  for (const PolygonPoint p : track) EXPECT_EQ(p.x, middleX(p.y)) << "row " << p.y;
  for (const int index : traced) {
    EXPECT_TRUE(outline.AtPixel(index % Stride, index / Stride)) << "pixel " << index;
  }
  // The straight side would leave the outline; an end off the outline gives the straight side.
  std::vector<int> straight;
  TraceSidePixels(outline, a, {middleX(290) + 20, 290}, CutByRows, trace, straight);
  EXPECT_EQ(straight, [&] {
    std::vector<int> s;
    StraightSidePixels(a, {middleX(290) + 20, 290}, CutByRows, s);
    return s;
  }());
}

}  // namespace
