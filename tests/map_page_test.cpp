// The MAP page: the view area worked by hand (sizes, re-centring, clicks,
// fine moves at the edges of the canvas), and the page through the whole
// program: the frame on the screen, the frame-colour list, the reset mark,
// "  KEEP2".

#include <gtest/gtest.h>

#include <vector>

#include "pages/kit/page_state.h"
#include "image/bmp_files.h"
#include "image/planes.h"
#include "pages/view/view_area.h"
#include "pages/view/view_pages.h"
#include "support/program_session.h"

namespace {

constexpr int ResetX = 40, ResetY = 45;

ViewAreaRecord AreaAfterPaint(ViewAreaRecord area, int scale, int fileWidth, int fileHeight, int fineMove = 0) {
  UpdateMapViewArea(area, scale, fileWidth, fileHeight, fineMove);
  EXPECT_EQ(fineMove, 0);
  return area;
}

TEST(MapViewArea, SizesAndSteps) {
  struct Case {
    int scale, width, height, step;
  };
  const Case cases[] = {{1, 640, 480, 32}, {2, 480, 320, 16}, {4, 240, 160, 8}, {8, 120, 80, 4},
                        {16, 60, 40, 2},   {32, 30, 20, 1},   {64, 15, 10, 1}};
  for (const Case& c : cases) {
    const AreaSize size = ViewAreaSize(c.scale, 640, 480);
    EXPECT_EQ(size.width, c.width) << c.scale;
    EXPECT_EQ(size.height, c.height) << c.scale;
    EXPECT_EQ(FineMoveStep(c.scale), c.step) << c.scale;
  }
  // x1 of a picture larger than the canvas: the canvas.
  EXPECT_EQ(ViewAreaSize(1, 1200, 900).width, 960);
  EXPECT_EQ(ViewAreaSize(1, 1200, 900).height, 672);
}

TEST(MapViewArea, X1ToX4KeepsTheCentreOfA640x480Picture) {
  ViewAreaRecord area;  // start: 1280 x 800
  area = AreaAfterPaint(area, 1, 640, 480);
  EXPECT_EQ(area.left, 0);
  EXPECT_EQ(area.bottom, 192);
  EXPECT_EQ(area.width, 640);
  EXPECT_EQ(area.height, 480);
  area = AreaAfterPaint(area, 4, 640, 480);
  EXPECT_EQ(area.left, 200);
  EXPECT_EQ(area.bottom, 352);
  EXPECT_EQ(area.width, 240);
  EXPECT_EQ(area.height, 160);
  EXPECT_EQ(area.zoom, 4);
  // A further paint leaves it where it is.
  area = AreaAfterPaint(area, 4, 640, 480);
  EXPECT_EQ(area.left, 200);
  EXPECT_EQ(area.bottom, 352);
}

TEST(MapViewArea, ClicksAndFineMovesAtTheEdges) {
  ViewAreaRecord area = AreaAfterPaint(ViewAreaRecord{}, 4, 960, 672);
  // A click near the lower edge of the image area: bottom 32 at least.
  CentreMapViewArea(area, 500, 700);
  EXPECT_EQ(area.bottom, 32);
  EXPECT_EQ(area.left, 280);
  area = AreaAfterPaint(area, 4, 960, 672);
  EXPECT_EQ(area.bottom, 32);
  // The down arrow can then take it down to 0, and no further.
  for (int i = 0; i < 3; ++i) area = AreaAfterPaint(area, 4, 960, 672, FineMoveDown);
  EXPECT_EQ(area.bottom, 8);
  area = AreaAfterPaint(area, 4, 960, 672, FineMoveDown);
  EXPECT_EQ(area.bottom, 0);
  area = AreaAfterPaint(area, 4, 960, 672, FineMoveDown);
  EXPECT_EQ(area.bottom, 0);
  // A click at the top-right corner, then the arrows towards the edges.
  CentreMapViewArea(area, 1059, 33);
  EXPECT_EQ(area.left, 839);
  area = AreaAfterPaint(area, 4, 960, 672);
  EXPECT_EQ(area.left, 720);
  EXPECT_EQ(area.bottom, 512);
  area = AreaAfterPaint(area, 4, 960, 672, FineMoveRight);
  EXPECT_EQ(area.left, 720);
  area = AreaAfterPaint(area, 4, 960, 672, FineMoveUp);
  EXPECT_EQ(area.bottom, 512);
  // A click at the left edge.
  CentreMapViewArea(area, 101, 300);
  EXPECT_EQ(area.left, 0);
  area = AreaAfterPaint(area, 4, 960, 672, FineMoveLeft);
  EXPECT_EQ(area.left, 0);
}

TEST(MapViewArea, AtX1EachPaintPutsTheAreaOnThePicture) {
  ViewAreaRecord area = AreaAfterPaint(ViewAreaRecord{}, 1, 640, 480);
  CentreMapViewArea(area, 700, 400);  // no lasting effect
  area = AreaAfterPaint(area, 1, 640, 480);
  EXPECT_EQ(area.left, 0);
  EXPECT_EQ(area.bottom, 192);
  // An arrow moves it by 32 for that paint only.
  area = AreaAfterPaint(area, 1, 640, 480, FineMoveRight);
  EXPECT_EQ(area.left, 32);
  area = AreaAfterPaint(area, 1, 640, 480, FineMoveDown);
  EXPECT_EQ(area.left, 0);
  EXPECT_EQ(area.bottom, 160);
  area = AreaAfterPaint(area, 1, 640, 480, FineMoveUp);  // against the top
  EXPECT_EQ(area.bottom, 192);
  // A picture taller than the canvas: bottom 0.
  area = AreaAfterPaint(area, 1, 1200, 900);
  EXPECT_EQ(area.bottom, 0);
  EXPECT_EQ(area.height, 672);
}

// ---- The page through the whole program --------------------------------

Rgb Grey(int, int) { return Rgb{100, 100, 100}; }

TEST(MapPage, FrameOnTheScreenInTheChosenColour) {
  ProgramSession s;
  s.StartOnPage(PageMap, Grey, 640, 480);
  EXPECT_EQ(ViewScale, 1);
  // x1: the outline of the whole canvas in pure red.
  EXPECT_EQ(s.Pixel(100, 32), (Rgb{255, 0, 0}));
  EXPECT_EQ(s.Pixel(500, 32), (Rgb{255, 0, 0}));
  EXPECT_EQ(s.Pixel(100, 400), (Rgb{255, 0, 0}));
  EXPECT_EQ(s.Pixel(500, 300), (Rgb{100, 100, 100}));

  s.ClickControl(PageMap, "× 2");  // greyed: explanation only
  EXPECT_EQ(ViewScale, 1);
  s.ClickControl(PageMap, "× 4");
  EXPECT_EQ(ViewScale, 4);
  // Corners (left + 100, 672 - bottom + 32) and (left + width + 100,
  // 672 - bottom - height + 32): (300, 352) and (540, 192).
  EXPECT_EQ(s.Pixel(300, 352), (Rgb{255, 0, 0}));
  EXPECT_EQ(s.Pixel(540, 192), (Rgb{255, 0, 0}));
  EXPECT_EQ(s.Pixel(420, 192), (Rgb{255, 0, 0}));
  EXPECT_EQ(s.Pixel(300, 250), (Rgb{255, 0, 0}));
  EXPECT_EQ(s.Pixel(420, 250), (Rgb{100, 100, 100}));
  EXPECT_EQ(s.Pixel(100, 32), (Rgb{100, 100, 100}));

  // The hidden list rows still change the colour: "sky blue".
  EXPECT_EQ(MapPage.frameListShown, 0);
  s.Click(40, 590);
  EXPECT_EQ(View.frameColour, 2);
  EXPECT_EQ(s.Pixel(300, 352), (Rgb{128, 255, 255}));
  // The list: its box and rules in (200, 200, 200).
  s.ClickControl(PageMap, "color(□)");
  EXPECT_EQ(MapPage.frameListShown, 1);
  EXPECT_EQ(s.Pixel(8, 600), (Rgb{200, 200, 200}));
  EXPECT_EQ(s.Pixel(50, 558), (Rgb{200, 200, 200}));
  s.Click(40, 650);
  EXPECT_EQ(View.frameColour, 5);

  // A click on the picture and the arrows.
  s.Click(400, 300);
  EXPECT_EQ(View.area.left, 180);
  EXPECT_EQ(View.area.bottom, 324);
  s.ClickControl(PageMap, "↑");
  EXPECT_EQ(View.area.bottom, 332);
  s.ClickControl(PageMap, "←");
  EXPECT_EQ(View.area.left, 172);
  s.ClickControl(PageMap, "→");
  s.ClickControl(PageMap, "→");
  EXPECT_EQ(View.area.left, 188);
  s.ClickControl(PageMap, "↓");
  EXPECT_EQ(View.area.bottom, 324);

  // The reset mark: x1, list hidden, pure red; the area is derived again.
  s.Click(ResetX, ResetY);
  EXPECT_EQ(ViewScale, 1);
  EXPECT_EQ(View.frameColour, 0);
  EXPECT_EQ(MapPage.frameListShown, 0);
  EXPECT_EQ(View.area.left, 0);
  EXPECT_EQ(View.area.bottom, 192);
}

TEST(MapPage, Keep2StoresTheCurrentImage) {
  ProgramSession s;
  s.StartOnPage(PageMap, Grey, 640, 480);
  s.ClickControl(PageMap, "× 4");
  s.ClickControl(PageMap, "KEEP2");
  const std::vector<std::uint8_t> file = FileBytes(s.PathIn("KEEP2.bmp"));
  ASSERT_EQ(file.size(), static_cast<std::size_t>(KeepFileBytes));
  EXPECT_EQ(file[6], 4);  // the view scale
  // Top-left pixel of the picture (plane row 671) and a white one below it.
  const std::size_t topLeft = 54 + static_cast<std::size_t>(671) * Stride * 3;
  EXPECT_EQ(file[topLeft], 100);
  EXPECT_EQ(file[54], 255);
  // The frame is not stored.
  EXPECT_EQ(file[54 + (static_cast<std::size_t>(320) * Stride + 200) * 3 + 2], 100);
}

TEST(MapPage, RestoreOfAMissingKeep2KeepsTheImage) {
  ProgramSession s;
  s.StartOnPage(PageMap, Grey, 640, 480);
  s.Click(968, 15);  // Restore
  EXPECT_EQ(s.dialogs().MessageCount(), 1u);
  EXPECT_EQ(WorkPlanes[0][static_cast<std::size_t>(671) * Stride], 100u);
}

}  // namespace
