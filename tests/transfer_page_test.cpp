// The Transfer page: the polygon cut as pure functions, and the page through
// the whole program.
//
// [SECTION] Sides and fills worked by hand, the fast fill against its literal form
// [SECTION] Points, the snap onto outlines and the trace
// [SECTION] The page through the whole program

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "pages/pattern/polygon_cut.h"
#include "pages/pattern/stencil.h"
#include "reference/polygon_fill_literal.h"
#include "support/golden.h"
#include "support/program_session.h"

namespace {

// White planes of their own, so the tests do not touch WorkPlanes.
struct WhitePlanes : TestPlanes {
  WhitePlanes() : TestPlanes(Stride, CanvasRows, 255) {}
  // Paints the pixel of client point (x, y) (row 704 - y) black.
  void Blacken(int x, int y) {
    const int index = PointPixelIndex(x, y);
    if (index < 0) return;
    for (auto& s : plane) s[static_cast<std::size_t>(index)] = 0;
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
  return CanvasRgb(canvas, row, column) == White;
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

// [SECTION] Sides and fills worked by hand, the fast fill against its literal form

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
  for (const PolygonPoint off : {PolygonPoint{1060, 100}, PolygonPoint{200, 32}, PolygonPoint{200, 705}})
    EXPECT_TRUE(Straight(off, off, CutByRows).empty()) << off.x << ", " << off.y;
}

TEST(PolygonFill, TriangleConvexPolygonsAndTheWholeCanvas) {
  // A(200, 100), B(210, 110), C(190, 110): AB gives column y, CA column
  // 200 - y, BC (one row) its ends 90 and 110. Rows 101..110 are painted
  // from 200 - y to y; row 100 holds only the apex and stays.
  const std::vector<PolygonPoint> triangle{{200, 100}, {210, 110}, {190, 110}, {200, 100}};
  const auto canvas = Filled(triangle, CutByRows);
  for (int y = 95; y <= 115; ++y)
    for (int column = 80; column <= 120; ++column) {
      const bool inside = y >= 101 && y <= 110 && column >= 200 - y && column <= y;
      EXPECT_EQ(WhiteAt(canvas, column, 704 - y), inside) << "client row " << y << " column " << column;
    }
  // The apex is left out of its row's crossings: for convex polygons that
  // changes nothing against the plain pairing, in both modes.
  const std::vector<std::vector<PolygonPoint>> convex = {
      triangle,
      {{300, 100}, {420, 160}, {400, 300}, {250, 320}, {220, 200}, {300, 100}},
      {{500, 400}, {600, 420}, {560, 500}, {500, 400}},
      {{150, 150}, {350, 150}, {350, 250}, {150, 250}, {150, 150}},
  };
  for (const auto& polygon : convex)
    for (const int mode : {CutByRows, CutByColumns})
      EXPECT_EQ(Filled(polygon, mode), Filled(polygon, mode, false)) << "mode " << mode;
  // A polygon on every edge of the canvas fills the whole canvas. Corners of
  // the canvas: columns 0 and 959, plane rows 671 (y 33) and 0 (y 704).
  const std::vector<PolygonPoint> frame{{100, 33}, {1059, 33}, {1059, 704}, {100, 704}, {100, 33}};
  for (const int mode : {CutByRows, CutByColumns}) {
    const auto whole = Filled(frame, mode);
    EXPECT_EQ(std::count(whole.begin(), whole.end(), 255), CanvasByteCount) << "mode " << mode;
  }
}

TEST(PolygonFill, LocalTopsOfABowTieAndANotchPaintNothingOutside) {
  // P0(200,100) -> P1(300,200) -> P2(300,100) -> P3(200,200): two triangles
  // meeting at (250, 150). Their spans: columns 100 .. min(y, 300 - y) and
  // max(y, 300 - y) .. 200 for client rows 101..199; on row 150 the single
  // crossing pixel of the diagonals leaves an odd list, and the gap pass
  // closes the rest of that row.
  const std::vector<PolygonPoint> bowTie{{200, 100}, {300, 200}, {300, 100}, {200, 200}, {200, 100}};
  const auto canvas = Filled(bowTie, CutByRows);
  for (int y = 99; y <= 201; ++y)
    for (int column = 98; column <= 202; ++column) {
      bool inside = y >= 101 && y <= 199 && column >= 100 && column <= 200 &&
                    (column <= std::min(y, 300 - y) || column >= std::max(y, 300 - y));
      if (y == 150 && column >= 100 && column <= 200) inside = true;
      EXPECT_EQ(WhiteAt(canvas, column, 704 - y), inside) << "client row " << y << " column " << column;
    }
  // The two top vertices are local tops: paired as plain crossings they
  // would paint the row between the triangles, outside the polygon.
  const auto plain = Filled(bowTie, CutByRows, false);
  EXPECT_TRUE(WhiteAt(plain, 150, 704 - 100));
  // A crown: its middle vertex (300, 150) is a local top with both neighbours below and the outside above
  // it; its row must not pair across the gap.
  const std::vector<PolygonPoint> crown{{200, 100}, {300, 150}, {400, 100}, {400, 250}, {200, 250}, {200, 100}};
  const auto notched = Filled(crown, CutByRows);
  // On the middle vertex's row the inside spans are white, the gap above the notch stays; row 100 holds the
  // two outer tops only.
  EXPECT_EQ((std::array{WhiteAt(notched, 150, 704 - 150), WhiteAt(notched, 250, 704 - 150),
                        WhiteAt(notched, 200, 704 - 120), WhiteAt(notched, 200, 704 - 100)}),
            (std::array{true, true, false, false}));
}

TEST(PolygonFill, FastFormGivesTheLiteralBytes) {
  std::mt19937 random(14);
  for (const int mode : {CutByRows, CutByColumns})
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
      for (int k = 0; k < 30000; ++k) mask[random() % (Stride * CanvasRows)] = 1;
      for (int c = 0; c < 80; ++c) mask[static_cast<std::size_t>(300 * Stride + 200 + c)] = 1;
      std::vector<int> extrema{5 * Stride + 7, 300 * Stride + 210, 400 * Stride + 3};
      for (const int i : extrema) mask[static_cast<std::size_t>(i)] = 1;
      auto fast = canvas, literal = canvas;
      FillPolygonInside(fast.data(), mask, mode, extrema);
      LiteralFillPolygonInside(literal.data(), mask, mode, extrema);
      EXPECT_EQ(fast, literal) << "mode " << mode << " scene " << scene;
    }
}

// [SECTION] Points, the snap onto outlines and the trace

// The polygon of the Transfer page, click by click, with its paint step.
struct ClickedPolygon {
  PolygonState polygon;
  WhitePlanes planes;
  std::vector<std::uint8_t> mask = std::vector<std::uint8_t>(PlaneCapacity, 0);
  ClickedPolygon() { polygon.on = 1; }
  bool Paint() { return ServePolygonPaint(polygon, OutlineTest{planes.View(), BlackOutline}, mask); }
  void Click(int x, int y) {
    polygon.lastClick = {x, y};
    polygon.count = std::min(polygon.count + 1, PolygonPointCount);
    Paint();
  }
  void Close() {
    polygon.closeRequest = 1;
    Paint();
  }
};

TEST(PolygonPoints, NoPointNoCloseAndThe257thClickReplacesPoint255) {
  ClickedPolygon p;
  p.mask[static_cast<std::size_t>(At(300, 300))] = 1;  // a stale mark of another polygon
  EXPECT_FALSE(p.Paint());                              // count -1: nothing set
  p.Close();                                            // close before any point: ignored
  EXPECT_EQ(std::pair(p.polygon.count, std::count(p.mask.begin(), p.mask.end(), 1)), std::pair(-1, std::ptrdiff_t{1}));
  p.Click(200, 200);  // the first point clears the mask
  EXPECT_EQ(std::pair(p.polygon.count, std::count(p.mask.begin(), p.mask.end(), 1)), std::pair(0, std::ptrdiff_t{1}));
  EXPECT_EQ(p.mask[static_cast<std::size_t>(At(200, 200))], 1);
  ClickedPolygon full;
  std::vector<PolygonPoint> clicks;
  for (int k = 0; k < 257; ++k) {
    clicks.push_back({150 + (k % 16) * 40 + (k / 16), 100 + (k / 16) * 30 + (k % 3)});
    full.Click(clicks.back().x, clicks.back().y);
  }
  EXPECT_EQ(std::pair(full.polygon.count, full.polygon.points[255]), std::pair(255, clicks[256]));
  std::vector<PolygonPoint> expected(clicks.begin(), clicks.begin() + 255);
  expected.push_back(clicks[256]);
  EXPECT_EQ(full.mask, MaskOf(expected, CutByRows)) << "the side to the replaced point is gone";
  // Closing the full polygon gives the closing side its own slot.
  full.Close();
  EXPECT_EQ(std::pair(full.polygon.count, full.polygon.points[256]), std::pair(256, clicks[0]));
  expected.push_back(clicks[0]);
  EXPECT_EQ(full.mask, MaskOf(expected, CutByRows));
  // A click after that replaces point 255 again and drops the closing side.
  full.Click(700, 600);
  EXPECT_EQ(full.polygon.count, 255);
  expected.resize(255);
  expected.push_back({700, 600});
  EXPECT_EQ(full.mask, MaskOf(expected, CutByRows));
}

// Outlines in the planes: vertical runs of a width at a column, rows 80..400.
void DrawVerticalOutline(WhitePlanes& planes, int firstX, int width) {
  for (int y = 80; y <= 400; ++y)
    for (int x = firstX; x < firstX + width; ++x) planes.Blacken(x, y);
}

TEST(OutlineSnap, ClicksFromBothSidesLandOnTheMiddleAndStayPut) {
  // First x, width, click x, the middle: the middle of a run first..last is (first + last) / 2.
  constexpr std::array<std::array<int, 4>, 8> cases = {{
      {400, 1, 390, 400}, {400, 1, 410, 400}, {400, 1, 400, 400},
      {400, 5, 388, 402}, {400, 5, 415, 402}, {400, 5, 404, 402},
      {400, 4, 390, 401}, {400, 4, 415, 401},
  }};
  for (const auto& [firstX, width, clickX, expected] : cases) {
    WhitePlanes planes;
    DrawVerticalOutline(planes, firstX, width);
    const OutlineTest outline{planes.View(), BlackOutline};
    const int snapped = SnapToOutline(outline, {clickX, 200}, CutByRows, ClickSnapRadius);
    EXPECT_EQ(snapped, expected) << "width " << width << " click " << clickX;
    EXPECT_EQ(SnapToOutline(outline, {snapped, 200}, CutByRows, ClickSnapRadius), snapped) << "moves again";
  }
  // Beyond the radius nothing moves; between two outlines the nearer wins (the right one on a tie).
  WhitePlanes planes;
  DrawVerticalOutline(planes, 400, 1);
  DrawVerticalOutline(planes, 420, 1);
  const OutlineTest outline{planes.View(), BlackOutline};
  for (const auto& [x, snapped] : {std::pair{383, 383}, std::pair{407, 400}, std::pair{410, 420}})
    EXPECT_EQ(SnapToOutline(outline, {x, 200}, CutByRows, ClickSnapRadius), snapped) << x;
  // Mode 2 along the column: a horizontal outline at client rows 300..302.
  WhitePlanes rows;
  for (int x = 200; x <= 600; ++x)
    for (int y = 300; y <= 302; ++y) rows.Blacken(x, y);
  const OutlineTest byRows{rows.View(), BlackOutline};
  for (const auto& [y, snapped] : {std::pair{290, 301}, std::pair{312, 301}, std::pair{20, 32}})
    EXPECT_EQ(SnapToOutline(byRows, {400, y}, CutByColumns, ClickSnapRadius), snapped) << y;
}

TEST(OutlineSnap, SearchesOnlyInsideTheCanvas) {
  // Outline colour black on a white picture, black in columns 2 and 955
  // and along client row 700 from x 300 to 500: a click at column 1 finds
  // column 2, and nothing left of column 0 counts.
  WhitePlanes planes;
  for (int y = 33; y <= 704; ++y)
    for (int x : {102, 1055}) planes.Blacken(x, y);
  for (int x = 300; x <= 500; ++x) planes.Blacken(x, 700);
  const OutlineTest outline{planes.View(), BlackOutline};
  EXPECT_EQ(SnapToOutline(outline, {101, 300}, CutByRows, ClickSnapRadius), 102);
  for (const auto& [x, y] : {std::pair{99, 300}, {200, 32}, {1060, 300}})  // column -1, row 672, column 960
    EXPECT_FALSE(outline.AtPoint(x, y)) << x << "," << y;
  // The right-most columns snap like any other, and rows near the bottom in mode 2 as well.
  EXPECT_EQ(SnapToOutline(outline, {1045, 300}, CutByRows, ClickSnapRadius), 1055);
  EXPECT_EQ(SnapToOutline(outline, {400, 690}, CutByColumns, ClickSnapRadius), 700);
}

TEST(OutlineTrace, ASideBetweenTwoOutlinePointsFollowsTheOutline) {
  // A curved outline three pixels wide: x = 400 + 30 sin(y / 25), rows 100..300.
  WhitePlanes planes;
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
  for (const int index : traced) EXPECT_TRUE(outline.AtPixel(index % Stride, index / Stride)) << "pixel " << index;
  // The straight side would leave the outline; an end off the outline gives the straight side.
  const PolygonPoint off{middleX(290) + 20, 290};
  std::vector<int> offTraced, straight;
  TraceSidePixels(outline, a, off, CutByRows, trace, offTraced);
  StraightSidePixels(a, off, CutByRows, straight);
  EXPECT_EQ(offTraced, straight);
}

// [SECTION] The page through the whole program

constexpr int TransferTab = 11;

// No white anywhere in these two, so the only white is what the page makes.
Rgb Shadow(int x, int y) { return Rgb{static_cast<std::uint8_t>(x % 200), static_cast<std::uint8_t>(y % 200), 100}; }
Rgb Real(int x, int y) {
  return Rgb{static_cast<std::uint8_t>(x * 7 % 256), static_cast<std::uint8_t>(y * 3 % 256), 50};
}

// The canvas with the inside of the triangle (300, 200), (400, 200),
// (300, 300) in client points white. Cut row by row: client rows 200..299
// from column 200 to column 500 - y (pixel row 704 - y); the bottom vertex
// is a local bottom and its row stays.
std::vector<std::uint8_t> WithWhiteTriangle(std::vector<std::uint8_t> canvas) {
  for (int y = 200; y <= 299; ++y)
    for (int column = 200; column <= 500 - y; ++column) SetCanvasRgb(canvas, 704 - y, column, White);
  return canvas;
}

struct TransferSession {
  ProgramSession s;
  const std::vector<std::uint8_t> shadow = PlacedCanvas(Shadow);
  // Given a file, "1)GetShadow" opens it at once.
  explicit TransferSession(const char* shadowFile = nullptr) {
    s.StartOnPage(TransferTab, Shadow, 960, 672);
    WriteTestPicture(s.PathIn("shadow.bmp"), 960, 672, Shadow);
    WriteTestPicture(s.PathIn("real.bmp"), 960, 672, Real);
    if (shadowFile != nullptr) ClickWithFile("1)GetShadow", shadowFile);
  }
  // A click on `key` whose file dialog chooses `file`.
  void ClickWithFile(const std::string& key, const std::string& file) {
    s.ClickControlWithFile(TransferTab, key, s.PathIn(file));
  }
  // "start", then a click on each point.
  void Start(std::initializer_list<std::pair<int, int>> points) {
    s.ClickControl(TransferTab, "start");
    for (const auto& [x, y] : points) s.Click(x, y);
  }
  // The triangle, closed by "close" or by a right click, and deleted.
  void CutTriangle(bool byRightClick = false) {
    Start({{300, 200}, {400, 200}, {300, 300}});
    byRightClick ? s.RightClick(700, 500) : s.ClickControl(TransferTab, "close");
    s.ClickControl(TransferTab, "delete");
  }
  std::vector<std::uint8_t> File(const std::string& name) { return FileBytes(s.PathIn(name)); }
};

TEST(TransferPage, WholeWorkflowByteForByte) {
  TransferSession t;
  // Entering the page writes the work file with the current picture.
  EXPECT_EQ(t.File("0000trfr.bmp"), KeepFileOf(t.shadow));
  t.ClickWithFile("1)GetShadow", "shadow.bmp");
  EXPECT_EQ(t.File("KEEP11.bmp"), KeepFileOf(t.shadow));
  // The cut, closed by a right click: the inside of the triangle white, written as "0000iso.bmp".
  t.CutTriangle(true);
  const std::vector<std::uint8_t> cut = WithWhiteTriangle(t.shadow);
  EXPECT_EQ(t.File("0000iso.bmp"), KeepFileOf(cut));
  EXPECT_EQ(t.File("0000trfr.bmp"), KeepFileOf(cut));
  EXPECT_EQ(t.s.ShownCanvas(), cut);
  // The stencil: the white cut is the zone, everything else grey 192.
  t.s.ClickControl(TransferTab, "3)Pattarn");
  EXPECT_EQ(t.s.ShownCanvas(), WithWhiteTriangle(std::vector<std::uint8_t>(CanvasByteCount, StencilGrey)));
  // The pattern file: header of a 960 x 672 24-bit BMP, then 255 in the
  // zone and 127 in the pattern part, in plane order.
  t.ClickWithFile("4)SavePatt.", "pattern.bmp");
  const std::vector<std::uint8_t> pattern = t.File("pattern.bmp");
  ASSERT_EQ(pattern.size(), 1935414u);
  const std::vector<std::uint8_t> header = {'B', 'M', 0x36, 0x88, 0x1D, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0,
                                            0xC0, 0x03, 0, 0, 0xA0, 0x02, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0,
                                            0x00, 0x88, 0x1D, 0};
  EXPECT_EQ(std::vector<std::uint8_t>(pattern.begin(), pattern.begin() + 38), header);
  EXPECT_TRUE(std::all_of(pattern.begin() + 38, pattern.begin() + 54, [](std::uint8_t b) { return b == 0; }));
  const std::vector<std::uint8_t> patternPixels = WithWhiteTriangle(std::vector<std::uint8_t>(CanvasByteCount, 127));
  EXPECT_TRUE(std::equal(patternPixels.begin(), patternPixels.end(), pattern.begin() + 54));
  // The real picture shot through the stencil: real on the pattern part,
  // the zone colour (white) in the zone; the work file follows at once.
  t.ClickWithFile("5)CallReal", "real.bmp");
  t.s.ClickControl(TransferTab, "6)ShotPatt.");
  const std::vector<std::uint8_t> shot = WithWhiteTriangle(PlacedCanvas(Real));
  EXPECT_EQ(t.s.ShownCanvas(), shot);
  EXPECT_EQ(t.File("0000trfr.bmp"), KeepFileOf(shot));
  t.s.ClickControl(TransferTab, "2)KEEP11");
  EXPECT_EQ(t.File("KEEP11.bmp"), KeepFileOf(shot));
  t.ClickWithFile("7)SaveTrfr", "transfer.bmp");
  EXPECT_EQ(t.File("transfer.bmp").size(), 1935414u);
  // Leaving by another tab leaves the shot picture as the transfer picture.
  t.s.Click(128, 15);
  EXPECT_EQ(t.File("0000trfr.bmp"), KeepFileOf(shot));
}

// Cancelled dialogs change nothing. "4)SavePatt.": the picture becomes the
// stencil only once the pattern file is written, and then in the same paint
// as the work file.
TEST(TransferPage, CancelledDialogsAndAFailedPatternSaveChangeNothing) {
  TransferSession t("shadow.bmp");
  t.CutTriangle();
  const auto keep = t.File("KEEP11.bmp");
  const auto transfer = t.File("0000trfr.bmp");
  const auto shown = WithWhiteTriangle(t.shadow);  // the cut, closed by "close"
  // "5)CallReal" and "1)GetShadow" cancelled: no keep file, no read;
  // "4)SavePatt." cancelled: no file, and the picture is not turned into the stencil.
  for (const char* key : {"5)CallReal", "1)GetShadow", "4)SavePatt."}) {
    t.s.ClickControlWithFile(TransferTab, key, std::nullopt);
    EXPECT_EQ(t.File("KEEP11.bmp"), keep) << key;
    EXPECT_EQ(t.File("0000trfr.bmp"), transfer) << key;
    EXPECT_EQ(t.s.ShownCanvas(), shown) << key;
  }
  t.s.dialogs().TakeShown();
  t.ClickWithFile("4)SavePatt.", "no-such-folder/pattern.bmp");
  const auto messages = t.s.dialogs().TakeShown();
  ASSERT_EQ(messages.size(), 2u);  // the save dialog, then the message
  EXPECT_EQ(messages[1].text, "ピクセルデータの書き込みに失敗しました: pattern.bmp (フォルダがありません)");
  EXPECT_EQ(t.File("0000trfr.bmp"), transfer);
  EXPECT_EQ(t.s.ShownCanvas(), shown);
  EXPECT_FALSE(std::filesystem::exists(t.s.PathIn("no-such-folder")));
  // Written: the screen shows the stencil at once, as the work file holds it.
  t.ClickWithFile("4)SavePatt.", "pattern.bmp");
  const auto stencil = WithWhiteTriangle(std::vector<std::uint8_t>(CanvasByteCount, StencilGrey));
  EXPECT_EQ(t.s.ShownCanvas(), stencil);
  EXPECT_EQ(t.File("0000trfr.bmp"), KeepFileOf(stencil));
}

TEST(TransferPage, CloseAndDeleteNeedAPolygon) {
  TransferSession t("shadow.bmp");
  const auto before = t.s.ShownCanvas();
  // "start", then close and a right click before any point, then "delete":
  // nothing is cut and no "0000iso.bmp" is written.
  t.s.ClickControls(TransferTab, {"start", "close"});
  t.s.RightClick(500, 300);
  t.s.ClickControl(TransferTab, "delete");
  EXPECT_FALSE(std::filesystem::exists(t.s.PathIn("0000iso.bmp")));
  EXPECT_EQ(t.s.ShownCanvas(), before);
  // After "3)Pattarn" the mask holds the stencil; "delete" without a polygon leaves it.
  t.s.ClickControl(TransferTab, "3)Pattarn");
  const auto stencil = t.s.ShownCanvas();
  t.s.ClickControl(TransferTab, "delete");
  EXPECT_EQ(t.s.ShownCanvas(), stencil);
  EXPECT_FALSE(std::filesystem::exists(t.s.PathIn("0000iso.bmp")));
  // Two points are no polygon to delete either.
  t.Start({{300, 200}, {400, 300}});
  t.s.ClickControl(TransferTab, "delete");
  EXPECT_FALSE(std::filesystem::exists(t.s.PathIn("0000iso.bmp")));
}

TEST(TransferPage, AFailingWorkFileIsReportedOnceUntilAWriteSucceeds) {
  TransferSession t;
  std::filesystem::remove(t.s.PathIn("0000trfr.bmp"));
  std::filesystem::create_directory(t.s.PathIn("0000trfr.bmp"));  // cannot be replaced by a file
  t.s.dialogs().TakeShown();
  t.ClickWithFile("1)GetShadow", "shadow.bmp");
  for (int k = 0; k < 3; ++k) t.s.Click(40, 300);  // explanation clicks: paints
  EXPECT_EQ(t.s.dialogs().MessageCount(), 1u);
  std::filesystem::remove(t.s.PathIn("0000trfr.bmp"));
  t.s.Click(40, 300);
  EXPECT_EQ(t.File("0000trfr.bmp"), KeepFileOf(t.shadow));
  EXPECT_EQ(t.s.dialogs().MessageCount(), 1u);
}

// The stores take the picture, never the marks drawn over it: with a polygon
// in progress, "2)KEEP11", "7)SaveTrfr", the Save tab and the work file hold
// exactly the picture, while the screen shows the red sides and the cross.
TEST(TransferPage, MarksAreShownButNotStored) {
  TransferSession t("shadow.bmp");
  t.Start({{300, 182}, {500, 182}});
  // The side's end pixel (column 200, plane row 704 - 182 = 522, picture
  // row 149) is red on the screen, where plane row 522 shows at client y 181.
  ExpectShown(t.s, {{300, 181, {255, 0, 0}}});
  t.s.Click(500, 382);
  t.s.ClickControl(TransferTab, "2)KEEP11");
  t.ClickWithFile("7)SaveTrfr", "trfr.bmp");
  t.s.dialogs().QueueFile(t.s.PathIn("tab.bmp"));
  t.s.Click(900, 10);  // the Save tab
  const std::vector<std::uint8_t> picture = KeepFileOf(t.shadow);
  for (const char* name : {"KEEP11.bmp", "0000trfr.bmp"})
    EXPECT_EQ(CanvasDifference(t.File(name), picture), "") << name;
  // A 960 x 672 picture saved under a name is the same bytes with the
  // reserved field 0.
  std::vector<std::uint8_t> saved = picture;
  saved[6] = 0;
  for (const char* name : {"trfr.bmp", "tab.bmp"}) EXPECT_EQ(CanvasDifference(t.File(name), saved), "") << name;
  // The polygon ended: the picture as it was, nothing red left in it.
  t.s.ClickControl(TransferTab, "start");
  EXPECT_EQ(t.s.ShownCanvas(), t.shadow);
  EXPECT_EQ(t.File("0000trfr.bmp"), picture);
}

TEST(TransferPage, TraceSnapsAClickOntoTheOutline) {
  TransferSession t;
  // A black outline three pixels wide at picture columns 400..402.
  WriteTestPicture(t.s.PathIn("outlined.bmp"), 960, 672,
                   [](int x, int y) { return x >= 400 && x <= 402 ? Black : Shadow(x, y); });
  t.ClickWithFile("1)GetShadow", "outlined.bmp");
  t.s.ClickControl(TransferTab, "trace outline");  // outline colour black
  t.Start({{495, 300}});  // six pixels left of the outline's middle (client x 501)
  // The cross marker stands at the snapped point (pixel row 704 - 300, shown
  // at client y 299), green because its pixel is outline.
  constexpr Rgb Green{0, 255, 0};
  ExpectShown(t.s, {{493, 299, Green}, {508, 299, Green}, {501, 291, Green}});
  EXPECT_NE(t.s.Pixel(487, 299), Green);
  // Without the trace the cross stands where the click was, red.
  t.s.ClickControls(TransferTab, {"trace outline", "start"});
  t.Start({{495, 300}});
  ExpectShown(t.s, {{487, 299, {255, 0, 0}}});
}

TEST(TransferPage, GoldenPolygon) {
  TransferSession t("shadow.bmp");
  t.Start({{300, 200}, {500, 150}, {450, 400}});
  t.s.ClickControl(TransferTab, "close");
  EXPECT_GOLDEN("transfer_polygon", t.s.window().Shown());
}

}  // namespace
