// The MAP and DEVELOP pages: the view area and the development worked by
// hand and against their literal forms, and both pages through the whole
// program.
//
// [SECTION] The MAP view area, by hand
// [SECTION] The MAP page through the whole program
// [SECTION] DEVELOP: the steps, by hand
// [SECTION] DEVELOP: the whole development
// [SECTION] DEVELOP: the swap modes
// [SECTION] The DEVELOP page through the whole program

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "ops/colour_swap.h"
#include "pages/kit/page_state.h"
#include "pages/view/develop_zoom.h"
#include "pages/view/view_area.h"
#include "pages/view/view_pages.h"
#include "platform/files.h"
#include "reference/develop_literal.h"
#include "support/program_session.h"
#include "support/view_corpus.h"

namespace {

// [SECTION] The MAP view area, by hand

TEST(MapViewArea, SizesAndSteps) {
  const struct { int scale, width, height, step; } cases[] = {
      {1, 640, 480, 32}, {2, 480, 320, 16}, {4, 240, 160, 8}, {8, 120, 80, 4},
      {16, 60, 40, 2},   {32, 30, 20, 1},   {64, 15, 10, 1}};
  for (const auto& c : cases) {
    const AreaSize size = ViewAreaSize(c.scale, 640, 480);
    EXPECT_EQ(std::tuple(size.width, size.height, FineMoveStep(c.scale)), std::tuple(c.width, c.height, c.step))
        << c.scale;
  }
  // x1 of a picture larger than the canvas: the canvas.
  EXPECT_EQ(std::pair(ViewAreaSize(1, 1200, 900).width, ViewAreaSize(1, 1200, 900).height), std::pair(960, 672));
}

// One step of a run of paints and clicks on the view area, and where the
// area then stands (its left and bottom; -1: not looked at).
struct AreaStep {
  int scale, width, height, move;  // a paint of a picture at a scale, with a fine move; scale 0: a click at (x, y)
  int x, y, left, bottom;
};
AreaStep Paint(int scale, int width, int height, int move, int left, int bottom) {
  return {scale, width, height, move, 0, 0, left, bottom};
}
AreaStep Click(int x, int y, int left, int bottom) { return {0, 0, 0, 0, x, y, left, bottom}; }

ViewAreaRecord AreaAfter(std::initializer_list<AreaStep> steps) {
  ViewAreaRecord area;  // start: 1280 x 800
  int k = 0;
  for (const AreaStep& s : steps) {
    if (s.scale == 0) {
      CentreMapViewArea(area, s.x, s.y);
    } else {
      int move = s.move;
      UpdateMapViewArea(area, s.scale, s.width, s.height, move);
      EXPECT_EQ(move, 0) << "step " << k << ": a paint takes the fine move";
    }
    EXPECT_EQ(std::pair(s.left < 0 ? -1 : area.left, s.bottom < 0 ? -1 : area.bottom), std::pair(s.left, s.bottom))
        << "step " << k;
    ++k;
  }
  return area;
}

TEST(MapViewArea, PaintsClicksAndFineMovesAtTheEdges) {
  // x1 to x4 keeps the centre of a 640 x 480 picture; a further paint leaves it.
  const ViewAreaRecord x4 = AreaAfter({Paint(1, 640, 480, 0, 0, 192), Paint(4, 640, 480, 0, 200, 352),
                                 Paint(4, 640, 480, 0, 200, 352)});
  EXPECT_EQ(std::tuple(x4.width, x4.height, x4.zoom), std::tuple(240, 160, 4));
  // A click near the lower edge of the image area keeps the bottom at 32; the
  // down arrow then takes it to 0 and no further. A click at the top-right
  // corner, and the arrows towards the edges; a click at the left edge.
  const int down = FineMoveDown;
  AreaAfter({Paint(4, 960, 672, 0, -1, -1), Click(500, 700, 280, 32), Paint(4, 960, 672, 0, 280, 32),
       Paint(4, 960, 672, down, 280, 24), Paint(4, 960, 672, down, 280, 16), Paint(4, 960, 672, down, 280, 8),
       Paint(4, 960, 672, down, 280, 0), Paint(4, 960, 672, down, 280, 0), Click(1059, 33, 839, -1),
       Paint(4, 960, 672, 0, 720, 512), Paint(4, 960, 672, FineMoveRight, 720, 512),
       Paint(4, 960, 672, FineMoveUp, 720, 512), Click(101, 300, 0, -1),
       Paint(4, 960, 672, FineMoveLeft, 0, -1)});
  // At x1 each paint puts the area on the picture: a click has no lasting
  // effect, an arrow moves it by 32 for that paint only; a picture taller
  // than the canvas has bottom 0.
  const ViewAreaRecord tall =
      AreaAfter({Paint(1, 640, 480, 0, 0, 192), Click(700, 400, -1, -1), Paint(1, 640, 480, 0, 0, 192),
           Paint(1, 640, 480, FineMoveRight, 32, 192), Paint(1, 640, 480, down, 0, 160),
           Paint(1, 640, 480, FineMoveUp, 0, 192), Paint(1, 1200, 900, 0, 0, 0)});
  EXPECT_EQ(tall.height, 672);
}

// [SECTION] The MAP page through the whole program

constexpr Rgb Red{255, 0, 0}, Grey100{100, 100, 100};

// The frame on the screen in the chosen colour, the list, the arrows and the
// reset mark; "KEEP2" stores the current image without the frame.
TEST(MapPage, FrameOnTheScreenInTheChosenColourAndKeep2StoresTheImage) {
  ProgramSession s;
  const auto grey = [](int, int) { return Grey100; };
  s.StartOnPage(PageMap, grey, 640, 480);
  // x1: the outline of the whole canvas in pure red.
  ExpectShown(s, {{100, 32, Red}, {500, 32, Red}, {100, 400, Red}, {500, 300, Grey100}});
  s.ClickControl(PageMap, "× 2");  // greyed: explanation only
  EXPECT_EQ(ViewScale, 1);
  s.ClickControl(PageMap, "× 4");
  EXPECT_EQ(ViewScale, 4);
  // Corners (left + 100, 672 - bottom + 32) and (left + width + 100,
  // 672 - bottom - height + 32): (300, 352) and (540, 192).
  ExpectShown(s, {{300, 352, Red}, {540, 192, Red}, {420, 192, Red}, {300, 250, Red}, {420, 250, Grey100},
                  {100, 32, Grey100}});

  // The hidden list rows still change the colour: "sky blue".
  EXPECT_EQ(MapPage.frameListShown, 0);
  s.Click(40, 590);
  EXPECT_EQ(View.frameColour, 2);
  ExpectShown(s, {{300, 352, {128, 255, 255}}});
  // The list: its box and rules in (200, 200, 200).
  s.ClickControl(PageMap, "color(□)");
  EXPECT_EQ(MapPage.frameListShown, 1);
  ExpectShown(s, {{8, 600, {200, 200, 200}}, {50, 558, {200, 200, 200}}});
  s.Click(40, 650);
  EXPECT_EQ(View.frameColour, 5);

  const auto area = [] { return std::pair(View.area.left, View.area.bottom); };
  s.Click(400, 300);
  EXPECT_EQ(area(), std::pair(180, 324));
  const std::pair<const char*, std::pair<int, int>> arrows[] = {
      {"↑", {180, 332}}, {"←", {172, 332}}, {"→", {180, 332}}, {"→", {188, 332}}, {"↓", {188, 324}}};
  for (const auto& [arrow, where] : arrows) {
    s.ClickControl(PageMap, arrow);
    EXPECT_EQ(area(), where) << arrow;
  }

  // The reset mark: x1, list hidden, pure red; the area is derived again.
  s.Click(40, 45);
  EXPECT_EQ(std::tuple(ViewScale, View.frameColour, MapPage.frameListShown), std::tuple(1, 0, 0));
  EXPECT_EQ(area(), std::pair(0, 192));
  // KEEP2: the picture with the view scale 4 in the header; the frame is not stored.
  s.ClickControls(PageMap, {"× 4", "KEEP2"});
  EXPECT_EQ(FileBytes(s.PathIn("KEEP2.bmp")), KeepFileOf(PlacedCanvas(grey, 640, 480), 4));
}

// "Set KEEP3" while the swap is on (its label finds the one shown while off).
constexpr int SetKeepOnX = 40, SetKeepOnY = 735;
// MAP's "act" (its label begins with a full-width space).
const std::string Act = "　act";

std::vector<std::uint8_t> Literal(TestPlanes planes, ViewRect area, int scale, int lift) {
  std::vector<std::uint8_t> canvas(CanvasByteCount, 77);
  LiteralDevelop(planes.View(), area, scale, lift, canvas.data());
  return canvas;
}

std::vector<std::uint8_t> Fast(TestPlanes& planes, ViewRect area, int scale, int lift) {
  static std::array<DevelopPlanes, 2> work;
  std::vector<std::uint8_t> canvas(CanvasByteCount, 77);
  DevelopViewArea(planes.View(), area, scale, lift, canvas.data(), work);
  return canvas;
}

// [SECTION] DEVELOP: the steps, by hand

TEST(DevelopSteps, ZoomBilinearAnchorsAreTheSourcePixelsAndBlendsAreExact) {
  for (const int scale : {2, 4, 8, 16}) {
    const ViewRect area{0, 0, Stride / scale, 640 / scale};
    const AreaSource source = CopyViewArea(NoisePlanes(11u + static_cast<std::uint32_t>(scale)).View(), area);
    DevelopPlanes b;
    ZoomBilinear(b, source, scale);
    const int a = scale / 2;
    for (int y = 0; y < source.height; ++y)
      for (int x = 0; x < source.width; ++x)
        for (int k = 0; k < 3; ++k)
          ASSERT_EQ(b.Row(k, scale * y + a - 1)[scale * x + a - 1], source.At(k, y, x))
              << "scale " << scale << " at " << x << ", " << y;
  }
  // One 2 x 2 source at x4, worked by hand: p00 0, p01 16, p10 32, p11 48.
  const AreaSource s{2, 2, {{{0, 16, 32, 48}, {0, 16, 32, 48}, {0, 16, 32, 48}}}};
  DevelopPlanes b;
  ZoomBilinear(b, s, 4);
  // i = 1, j = 2: (0·2·3 + 16·2·3 + 32·2·1 + 48·2·1) / 16 = 256 / 16 = 16.
  EXPECT_EQ(b.Row(0, 1 + 1)[1 + 2], 16);
  // i = 3, j = 3: (0·1·1 + 16·3·1 + 32·1·3 + 48·3·3) / 16 = 576 / 16 = 36.
  EXPECT_EQ(b.Row(0, 1 + 3)[1 + 3], 36);
  // Beyond the area the neighbours are the area's own last column and row:
  // the block of p11 (y 1, x 1) is flat 48.
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) EXPECT_EQ(b.Row(2, 4 + 1 + i)[4 + 1 + j], 48) << i << ", " << j;
}

TEST(DevelopSteps, EveryRegridKeepsItsGridPointsAndTheLiftMovesTheLowestRowsUp) {
  const struct { int grid, origin; } cases[] = {{2, 0}, {2, 1}, {4, 2}, {8, 4}, {16, 8}, {32, 16}};
  DevelopPlanes from;
  const TestPlanes noise = NoisePlanes(5);
  for (std::size_t k = 0; k < 3; ++k) std::copy(noise.plane[k].begin(), noise.plane[k].end(), from.plane[k].begin());
  for (const auto& c : cases) {
    DevelopPlanes to;
    Regrid(from, to, c.grid, c.origin);
    for (int r = c.origin; r < CanvasRows; r += c.grid)
      for (int col = c.origin; col < Stride; col += c.grid)
        for (int k = 0; k < 3; ++k)
          ASSERT_EQ(to.Row(k, r)[col], from.Row(k, r)[col]) << "grid " << c.grid << " at " << col << ", " << r;
  }
  // Grid 2 by hand: corners 10 and 13 on row 0, 20 and 30 on row 2.
  DevelopPlanes flat;
  for (auto& p : flat.plane) std::fill(p.begin(), p.end(), 0);
  flat.Row(0, 0)[0] = 10;
  flat.Row(0, 0)[2] = 13;
  flat.Row(0, 2)[0] = 20;
  flat.Row(0, 2)[2] = 30;
  DevelopPlanes out;
  Regrid(flat, out, 2, 0);
  EXPECT_EQ(out.Row(0, 0)[1], (10 + 13) / 2);
  EXPECT_EQ(out.Row(0, 1)[0], (10 + 20) / 2);
  EXPECT_EQ(out.Row(0, 1)[1], (10 + 13 + 20 + 30) / 4);
  // Lifting rows moves the lowest rows to the top.
  DevelopPlanes b;
  for (int r = 0; r < CanvasRows; ++r) std::memset(b.Row(1, r), r % 256, Stride);
  LiftRows(b, 480);
  EXPECT_EQ((std::array{b.Row(1, 671)[5], b.Row(1, 192)[5], b.Row(1, 191)[5], b.Row(1, 0)[5]}),
            (std::array<std::uint8_t, 4>{479 % 256, 0, 255, 255}));
}

// [SECTION] DEVELOP: the whole development

// Inside the 2-pixel margin the picture is flat, except the first column and
// row next to the left and lower margins: the grid-2 passes blend them with
// the white of the margin (as designed; see the README of bench/).
TEST(Develop, FlatPictureDevelopsToItselfAndTheResultDependsOnlyOnTheViewArea) {
  TestPlanes flat = FlatPlanes(90, 140, 200);  // the corpus's flat picture
  const std::vector<std::uint8_t> out = Fast(flat, {200, 352, 240, 160}, 4, 640);
  for (int row = 0; row < CanvasRows; ++row)
    for (int c = 0; c < Stride; ++c) {
      // After the lift: rows 0..31 white; the result's 2-pixel margin.
      const bool inside = row >= 32 + 2 && row <= 32 + 637 && c >= 2 && c <= 957;
      if (inside && (row == 32 + 2 || c == 2)) continue;  // the seam
      ASSERT_EQ(CanvasRgb(out, row, c), (inside ? Rgb{90, 140, 200} : White)) << c << ", " << row;
    }
  // The mended fault: the x4 result used to take about 3,800 pixels from the
  // picture beyond the view area (column 240 and row 160 of the canvas, and
  // the column-960 wrap). Now nothing outside the area changes the result.
  const ViewRect areas[] = {{0, 0, 240, 160}, {720, 512, 240, 160}, {355, 101, 240, 160}};
  for (const ViewRect& area : areas) {
    TestPlanes a = ScenePlanes(), b = NoisePlanes(3);
    for (int r = 0; r < area.height; ++r)
      for (int c = 0; c < area.width; ++c)
        for (int k = 0; k < 3; ++k) b.At(k, area.bottom + r, area.left + c) = a.At(k, area.bottom + r, area.left + c);
    EXPECT_EQ(CanvasDifference(Fast(a, area, 4, 640), Fast(b, area, 4, 640)), "") << area.left << ", " << area.bottom;
    EXPECT_EQ(CanvasDifference(Literal(a, area, 4, 640), Literal(b, area, 4, 640)), "");
  }
}

TEST(Develop, FastFormEqualsTheLiteralFormOverTheCorpus) {
  const struct { ViewRect area; int scale, lift; } cases[] = {
      {{200, 352, 240, 160}, 4, 640},  // centred on a 640 x 480 picture
      {{720, 512, 240, 160}, 4, 640},  // against the right and top edges
      {{0, 0, 240, 160}, 4, 640},      // the lowest-left corner
      {{0, 192, 640, 480}, 1, 480},    // x1, lifted to the top
      {{32, 160, 640, 480}, 1, 0},     // x1 moved by an arrow, left in the lowest rows
      {{100, 100, 480, 320}, 2, 640},  // the scales the panel does not offer
      {{100, 100, 120, 80}, 8, 640},   {{100, 100, 60, 40}, 16, 640},
  };
  for (TestPlanes& planes : ViewCorpus()) {
    for (const auto& c : cases) {
      EXPECT_EQ(CanvasDifference(Fast(planes, c.area, c.scale, c.lift), Literal(planes, c.area, c.scale, c.lift)), "")
          << planes.name << " scale " << c.scale << " at " << c.area.left << ", " << c.area.bottom;
    }
  }
}

// [SECTION] DEVELOP: the swap modes

TEST(ColourSwap, EveryModeOnAPixelAndTheFastFormAgainstTheLiteralOne) {
  // Red 10, green 100, blue 200.
  const struct { int mode; SwapRgb shown; } cases[] = {
      {0, {10, 100, 200}},  {1, {200, 10, 100}},  {2, {100, 200, 10}},  {3, {10, 200, 100}},
      {4, {200, 100, 10}},  {5, {100, 10, 200}},  {6, {245, 100, 200}}, {7, {10, 155, 200}},
      {8, {10, 100, 55}},   {9, {10, 155, 55}},   {10, {245, 100, 55}}, {11, {245, 155, 200}},
      {12, {245, 155, 55}}, {13, {10, 100, 200}}, {16, {10, 100, 200}}, {17, {177, 141, 105}},
      {18, {10, 100, 200}}, {21, {10, 100, 200}},
  };
  const auto rgb = [](const SwapRgb& s) { return std::tuple(s.red, s.green, s.blue); };
  for (const auto& c : cases) EXPECT_EQ(rgb(SwapPixel(c.mode, 10, 100, 200)), rgb(c.shown)) << "mode " << c.mode;
  // Eel on white and black.
  EXPECT_EQ(rgb(SwapPixel(17, 255, 255, 255)), std::tuple(255, 255, 255));
  EXPECT_EQ(rgb(SwapPixel(17, 0, 0, 0)), std::tuple(127, 63, 0));
  EXPECT_TRUE(SwapModeSelectable(5) && SwapModeSelectable(12) && SwapModeSelectable(17) && SwapModeSelectable(0));
  EXPECT_FALSE(SwapModeSelectable(1) || SwapModeSelectable(6) || SwapModeSelectable(13) || SwapModeSelectable(21));
  for (TestPlanes& planes : ViewCorpus()) {
    planes.plane[2][5] = 300;  // a sample above 255: its low byte is taken
    for (int mode = 0; mode < SwapModeCount; ++mode) {
      std::vector<std::uint8_t> fast(CanvasByteCount), literal(CanvasByteCount);
      SwapIntoCanvas(planes.View(), fast.data(), Stride, Stride, CanvasRows, SwapSettings{mode});
      LiteralSwap(planes.View(), literal.data(), Stride, Stride, CanvasRows, SwapSettings{mode});
      EXPECT_EQ(CanvasDifference(fast, literal), "") << planes.name << " mode " << mode;
    }
  }
}

// [SECTION] The DEVELOP page through the whole program

Rgb Gradient(int x, int y) {
  return Rgb{static_cast<std::uint8_t>(x * 255 / 639), static_cast<std::uint8_t>(y * 255 / 479),
             static_cast<std::uint8_t>((x + 2 * y) % 256)};
}

// The current image as canvas bytes (the screen on MAP also shows the frame).
std::vector<std::uint8_t> CanvasOfWorkPlanes() {
  std::vector<std::uint8_t> canvas(CanvasByteCount);
  for (std::size_t i = 0; i < canvas.size() / 3; ++i)
    for (std::size_t k = 0; k < 3; ++k) canvas[3 * i + k] = static_cast<std::uint8_t>(WorkPlanes[k][i]);
  return canvas;
}

TEST(DevelopPage, ActAtX4ThenSetKeep3SaveBackToMapAndAThirdPageEndsTheWayBack) {
  ProgramSession s;
  s.StartOnPage(PageMap, Gradient, 640, 480);
  const std::vector<std::uint8_t> picture = CanvasOfWorkPlanes();
  s.ClickControl(PageMap, "× 4");
  EXPECT_EQ(std::tuple(ViewScale, View.area.left, View.area.bottom), std::tuple(4, 200, 352));

  s.ClickControl(PageMap, Act);
  EXPECT_EQ(std::pair(PageId, DevelopPage.pending), std::pair(int{PageDevelop}, false));
  // KEEP2 holds the image before development, from WorkPlanes.
  EXPECT_EQ(FileBytes(s.PathIn("KEEP2.bmp")), KeepFileOf(picture, 4));
  const std::vector<std::uint8_t> expected = Literal(PlanesOfCanvas(picture), {200, 352, 240, 160}, 4, 640);
  EXPECT_EQ(CanvasDifference(s.ShownCanvas(), expected), "");
  // The result fills the top 640 rows with a 2-pixel white border and a
  // white band 32 rows high at the bottom.
  ExpectShown(s, {{101, 300, White}, {500, 32 + 639, White}, {500, 32 + 650, White}});
  EXPECT_NE(s.Pixel(500, 32 + 637), White);

  // "Set KEEP3": the result with the view scale 4 in the header.
  s.ClickControl(PageDevelop, "Set KEEP3");
  EXPECT_EQ(FileBytes(s.PathIn("KEEP3.bmp")), KeepFileOf(expected, 4));

  // "Set Save": 960 x 640, the top rows, reserved field 0.
  s.ClickControlWithFile(PageDevelop, "Set Save", s.PathIn("developed.bmp"));
  EXPECT_EQ(FileBytes(s.PathIn("developed.bmp")), SavedBmpOf(expected, 960, 640));

  // Cancel of the save dialog writes nothing and keeps the image.
  std::filesystem::remove(s.PathIn("developed.bmp"));
  s.ClickControlWithFile(PageDevelop, "Set Save", std::nullopt);
  EXPECT_FALSE(std::filesystem::exists(s.PathIn("developed.bmp")));
  EXPECT_EQ(CanvasDifference(s.ShownCanvas(), expected), "");

  // Back to MAP by its tab: the image as it was before development.
  s.ClickTab(PageMap);
  EXPECT_EQ(std::pair(PageId, s.dialogs().MessageCount()), std::pair(int{PageMap}, std::size_t{0}));
  EXPECT_EQ(CanvasDifference(CanvasOfWorkPlanes(), picture), "");

  // The way back to MAP ends when another page comes between: act, GAMON,
  // DEVELOP (nothing developed on this visit), MAP keeps the developed image
  // and reads no KEEP2.
  s.ClickControls(PageMap, {"× 4", Act.c_str()});
  const std::vector<std::uint8_t> developed = CanvasOfWorkPlanes();
  ASSERT_NE(CanvasDifference(developed, picture), "");
  s.ClickTab(PageGamon);
  s.ClickTab(PageDevelop);
  EXPECT_EQ(CanvasDifference(CanvasOfWorkPlanes(), developed), "");
  s.ClickTab(PageMap);
  EXPECT_EQ(CanvasDifference(CanvasOfWorkPlanes(), developed), "");
  EXPECT_EQ(s.dialogs().MessageCount(), 0u);
}

// The mended fault: the MAP tab on DEVELOP read KEEP2 back even when DEVELOP
// had been entered from another page and nothing was developed.
TEST(DevelopPage, MapTabReadsKeep2OnlyAfterADevelopment) {
  ProgramSession s;
  s.StartOnPage(PageMap, Gradient, 640, 480);
  const std::vector<std::uint8_t> picture = CanvasOfWorkPlanes();
  // A stale KEEP2 from earlier work; DEVELOP entered from TOP develops nothing
  // and writes no KEEP2. (TOP shows x1 but keeps the x4 view area (200, 352):
  // a development would show the picture from there.)
  const std::vector<std::uint8_t> stale = KeepFileOf(std::vector<std::uint8_t>(CanvasByteCount, 30));
  ASSERT_TRUE(WriteFileAtomically(s.PathIn("KEEP2.bmp"), stale));
  s.ClickControl(PageMap, "× 4");
  s.ClickTab(PageTop);
  s.ClickTab(PageDevelop);
  EXPECT_EQ(std::pair(PageId, DevelopPage.pending), std::pair(int{PageDevelop}, false));
  EXPECT_EQ(CanvasDifference(s.ShownCanvas(), picture), "");
  EXPECT_EQ(FileBytes(s.PathIn("KEEP2.bmp")), stale);
  s.ClickTab(PageMap);
  EXPECT_EQ(CanvasDifference(CanvasOfWorkPlanes(), picture), "");
  EXPECT_EQ(s.dialogs().MessageCount(), 0u);

  // Develop at x4 by the DEVELOP tab on MAP, then back: KEEP2 comes back.
  s.ClickControl(PageMap, "× 4");
  s.ClickTab(PageDevelop);
  EXPECT_EQ(PageId, PageDevelop);
  EXPECT_NE(CanvasDifference(s.ShownCanvas(), picture), "");
  s.ClickTab(PageMap);
  EXPECT_EQ(CanvasDifference(CanvasOfWorkPlanes(), picture), "");
}

// After a x4 development of a 451 x 300 picture the developed image fills the
// top 960 x 640 of the canvas, and the pages take clicks on all of it: a
// brush stroke and its right-click fix at client (900, 600), far outside the
// old 451 x 300 area. The way back to MAP brings the old area back too.
Rgb Narrow(int x, int y) {
  return Rgb{static_cast<std::uint8_t>(40 + x / 4), static_cast<std::uint8_t>(60 + y / 4), 90};
}

TEST(DevelopPage, ClicksCountOnTheWholeDevelopedPicture) {
  ProgramSession folder;
  WriteTestPicture(folder.PathIn("narrow.bmp"), 451, 300, Narrow);
  const std::string mapX4Act = "open narrow.bmp\n"
                               "click 240 15     # MAP\n" +
                               ClickLine(PageMap, "× 4") + ClickLine(PageMap, Act);
  ScriptReport(folder.Folder(), mapX4Act +
                                "click 632 15     # Outline\n"
                                "click 40 310     # 4)Brush\n"
                                "click 20 362     # fat\n"
                                "drag 880 600 900 600\n"
                                "rclick 900 600   # fixed\n"
                                "click 40 584     # set KEEP9\n");
  EXPECT_EQ(std::pair(ShownWidth, ShownHeight), std::pair(960, 640));
  // The fixed stroke is black in WorkPlanes and in KEEP9 under the pointer
  // (column 800, plane row 704 - 600 = 104 is inside the top 640 rows).
  const std::size_t under = static_cast<std::size_t>(104) * Stride + 800;
  EXPECT_EQ(std::pair(WorkPlanes[0][under], WorkPlanes[1][under]), std::pair(0u, 0u));
  EXPECT_EQ(KeepFilePixel(FileBytes(folder.PathIn("KEEP9.bmp")), 800, 104), (Rgb{0, 0, 0}));
  // Back on MAP by way of DEVELOP: the picture before the development, over its own area.
  ScriptReport(folder.Folder(), mapX4Act + "click 240 15     # MAP\n");
  EXPECT_EQ(std::pair(ShownWidth, ShownHeight), std::pair(451, 300));
}

// x1 "act" lifts the picture to the top only the first time; the DEVELOP tab
// on MAP lifts it again.
TEST(DevelopPage, X1DevelopmentLiftsOnlyTheFirstTimeThenSwapModesAndSetKeep3Twice) {
  ProgramSession s;
  s.StartOnPage(PageMap, Gradient, 640, 480);
  const std::vector<std::uint8_t> picture = CanvasOfWorkPlanes();
  s.ClickControl(PageMap, Act);
  EXPECT_EQ(std::pair(PageId, DevelopPage.liftPending), std::pair(int{PageDevelop}, false));
  EXPECT_EQ(CanvasDifference(s.ShownCanvas(), picture), "");  // top left, white elsewhere
  s.ClickTab(PageMap);
  s.ClickControl(PageMap, Act);
  // The second time the picture stays in the lowest 480 rows, white above.
  const std::vector<std::uint8_t> shown = s.ShownCanvas();
  EXPECT_EQ(s.Pixel(100, 32), White);
  for (const auto& [row, from] : {std::pair{0, 192}, std::pair{479, 671}}) {
    EXPECT_TRUE(std::equal(shown.begin() + row * Stride * 3, shown.begin() + (row * Stride + 640) * 3,
                           picture.begin() + from * Stride * 3)) << row;
  }
  s.ClickTab(PageMap);
  s.ClickTab(PageDevelop);
  EXPECT_EQ(CanvasDifference(s.ShownCanvas(), picture), "");
  s.ClickControls(PageDevelop, {"swap color", "1 R>G>B>R"});  // the mode greyed: only explained
  EXPECT_EQ(std::pair(DevelopPage.swapSwitch, DevelopPage.swapMode), std::pair(1, 0));
  EXPECT_EQ(CanvasDifference(s.ShownCanvas(), picture), "");

  s.ClickControl(PageDevelop, "12 (R)(G)(B)");
  EXPECT_EQ(DevelopPage.swapMode, 12);
  std::vector<std::uint8_t> negative = picture;
  for (auto& v : negative) v = static_cast<std::uint8_t>(255 - v);
  EXPECT_EQ(CanvasDifference(s.ShownCanvas(), negative), "");
  // "Set KEEP3": the negative becomes the image and KEEP3; the switch stays
  // on, so the screen shows the mode applied again: the image itself.
  s.Click(SetKeepOnX, SetKeepOnY);
  EXPECT_EQ(DevelopPage.swapSwitch, 1);
  EXPECT_EQ(FileBytes(s.PathIn("KEEP3.bmp")), KeepFileOf(negative, 1));
  EXPECT_EQ(CanvasDifference(CanvasOfWorkPlanes(), negative), "");
  EXPECT_EQ(CanvasDifference(s.ShownCanvas(), negative), "");  // as saved, for this paint
  s.ClickControl(PageDevelop, "[・] stay");  // the next paint applies the mode again
  EXPECT_EQ(CanvasDifference(s.ShownCanvas(), picture), "");
  s.Click(SetKeepOnX, SetKeepOnY);
  EXPECT_EQ(FileBytes(s.PathIn("KEEP3.bmp")), KeepFileOf(picture, 1));

  std::vector<std::uint8_t> swapped(CanvasByteCount);
  for (const auto& [label, mode] : {std::pair{"5 [B] R⇔G", 5}, std::pair{"17 eel", 17}}) {
    s.ClickControl(PageDevelop, label);
    SwapIntoCanvas(WorkView(), swapped.data(), Stride, Stride, CanvasRows, SwapSettings{mode});
    EXPECT_EQ(CanvasDifference(s.ShownCanvas(), swapped), "") << label;
  }

  // The reset mark: swap off, mode 0, WorkPlanes untouched.
  s.Click(40, 45);
  EXPECT_EQ(std::pair(DevelopPage.swapSwitch, DevelopPage.swapMode), std::pair(0, 0));
  EXPECT_EQ(CanvasDifference(s.ShownCanvas(), picture), "");
}

}  // namespace
