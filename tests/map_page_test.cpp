// The MAP page: the view area worked by hand (sizes, re-centring, clicks,
// fine moves at the edges of the canvas), and the page through the whole
// program: the frame on the screen, the frame-colour list, the reset mark,
// "  KEEP2".

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "pages/kit/page_state.h"
#include "pages/view/view_area.h"
#include "pages/view/view_pages.h"
#include "support/program_session.h"

namespace {

TEST(MapViewArea, SizesAndSteps) {
  struct Case {
    int scale, width, height, step;
  };
  const Case cases[] = {{1, 640, 480, 32}, {2, 480, 320, 16}, {4, 240, 160, 8}, {8, 120, 80, 4},
                        {16, 60, 40, 2},   {32, 30, 20, 1},   {64, 15, 10, 1}};
  for (const Case& c : cases) {
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
    if (s.left >= 0) {
      EXPECT_EQ(area.left, s.left) << "step " << k;
    }
    if (s.bottom >= 0) {
      EXPECT_EQ(area.bottom, s.bottom) << "step " << k;
    }
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

// ---- The page through the whole program --------------------------------

Rgb Grey(int, int) { return Rgb{100, 100, 100}; }
constexpr Rgb Red{255, 0, 0}, Grey100{100, 100, 100};

TEST(MapPage, FrameOnTheScreenInTheChosenColour) {
  ProgramSession s;
  s.StartOnPage(PageMap, Grey, 640, 480);
  EXPECT_EQ(ViewScale, 1);
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

  // A click on the picture and the arrows.
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
}

TEST(MapPage, Keep2StoresTheCurrentImage) {
  ProgramSession s;
  s.StartOnPage(PageMap, Grey, 640, 480);
  s.ClickControl(PageMap, "× 4");
  s.ClickControl(PageMap, "KEEP2");
  const std::vector<std::uint8_t> file = FileBytes(s.PathIn("KEEP2.bmp"));
  ASSERT_EQ(file.size(), static_cast<std::size_t>(KeepFileBytes));
  EXPECT_EQ(file[6], 4);  // the view scale
  // The top-left pixel of the picture (plane row 671) and a white one below
  // it; the frame is not stored.
  EXPECT_EQ(KeepFilePixel(file, 0, 671), Grey100);
  EXPECT_EQ(KeepFilePixel(file, 0, 0), White);
  EXPECT_EQ(KeepFilePixel(file, 200, 320), Grey100);
}

}  // namespace
