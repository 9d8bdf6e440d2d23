// The Outline page through the whole program: the fine outline and
// "set KEEP9" on a short and a full picture, a brush stroke by drag with its
// pressure and its right-click fix, the local contrast fixed by right clicks,
// the circle marker near the bottom of the picture, and the golden screen.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "pages/kit/gestures.h"
#include "pages/kit/page_state.h"
#include "ops/outline_detect.h"
#include "pages/pattern/outline_page.h"
#include "pages/pattern/outline_state.h"
#include "support/golden.h"
#include "support/program_session.h"

namespace {

constexpr int OutlinePage_ = 9;
// Client points of the controls whose labels appear twice on the panel
// ("fine", "fat", "clear" of the outline and of the brush), and of the dark
// reset mark; the others are clicked by their labels.
constexpr int FineX = 20, FineY = 193;
constexpr int ClearX = 70, ClearY = 219;
constexpr int BrushFatX = 20, BrushFatY = 362;
constexpr int BrushClearX = 70, BrushClearY = 362;
constexpr Rgb Grey100{100, 100, 100}, Grey130{130, 130, 130}, Cyan{0, 255, 255};

// Grey 100 left of x 300, grey 130 from there on.
Rgb Edge(int x, int) { return x < 300 ? Grey100 : Grey130; }
// A soft gradient with a sharp square in it.
Rgb Scene(int x, int y) {
  if (x > 300 && x < 500 && y > 200 && y < 400) return Rgb{200, 60, 40};
  return Rgb{static_cast<std::uint8_t>(60 + x / 8), static_cast<std::uint8_t>(80 + y / 6), 140};
}

TEST(OutlinePage, FineOutlineOnAFullPictureIsStoredAsShownByKeep9) {
  ProgramSession s;
  s.StartOnPage(OutlinePage_, Edge, 960, 672);
  s.ClickControl(OutlinePage_, "3)Outline");
  EXPECT_EQ(OutlinePage.outlineOn, 1);
  ExpectShown(s, {{100 + 299, 300, Grey100}});  // on, but no width yet
  s.Click(FineX, FineY);
  EXPECT_EQ(OutlinePage.outlineWidth, FineWidth);
  // The edge is outlined in black in the two columns beside it, over the
  // whole height but the two outermost rows.
  for (int y : {34, 300, 701}) {
    ExpectShown(s, {{100 + 299, y, Black}, {100 + 300, y, Black}, {100 + 298, y, Grey100}, {100 + 301, y, Grey130}});
  }
  ExpectShown(s, {{100 + 299, 32, Grey100}, {100 + 299, 703, Grey100}});
  // "／" twice: cyan outlines.
  s.ClickControl(OutlinePage_, "／");
  s.ClickControl(OutlinePage_, "／");
  ExpectShown(s, {{100 + 299, 300, Cyan}});
  const std::vector<std::uint8_t> shown = s.ShownCanvas();
  s.ClickControl(OutlinePage_, "set KEEP9");
  EXPECT_EQ(FileBytes(s.PathIn("KEEP9.bmp")), KeepFileOf(shown));
  // "clear": the outline goes; the stored picture stays in the planes.
  s.Click(ClearX, ClearY);
  EXPECT_EQ(OutlinePage.outlineOn, 0);
  ExpectShown(s, {{100 + 299, 300, Cyan}, {100 + 200, 300, Grey100}});
}

TEST(OutlinePage, ShortPictureOutlinesItsOwnEdgeAgainstTheWhiteningAndKeepsAll) {
  ProgramSession s;
  s.StartOnPage(OutlinePage_, Edge, 400, 200);
  // Where the whitening begins on the row (the picture is 400 wide).
  int white = 300;
  while (s.Pixel(100 + white, 100) != White) ++white;
  ASSERT_GE(white, 399);
  s.Click(FineX, FineY);
  // The edge inside the picture, and the picture's edge against the white.
  ExpectShown(s, {{100 + 299, 100, Black}, {100 + white - 1, 100, Black}, {100 + white, 100, Black},
                  {100 + 600, 100, White}});
  const std::vector<std::uint8_t> shown = s.ShownCanvas();
  s.ClickControl(OutlinePage_, "set KEEP9");
  EXPECT_EQ(FileBytes(s.PathIn("KEEP9.bmp")), KeepFileOf(shown));
  EXPECT_EQ(s.dialogs().MessageCount(), 0u);
}

// A save writes the outline shown and leaves the picture in hand; only
// "set KEEP9" takes the outline into it.
TEST(OutlinePage, ASaveCancelledOrWrittenKeepsThePictureInHand) {
  ProgramSession s;
  s.StartOnPage(OutlinePage_, Edge, 960, 672);
  s.Click(FineX, FineY);
  const std::size_t edge = static_cast<std::size_t>(300) * Stride + 299;
  for (const bool written : {false, true}) {
    s.dialogs().QueueFile(written ? std::optional(s.PathIn("saved.bmp")) : std::nullopt);
    s.Click(910, 10);  // the Save tab
    EXPECT_EQ(WorkPlanes[0][edge], 100u);
    s.Click(ClearX, ClearY);
    ExpectShown(s, {{100 + 299, 300, Grey100}});  // the outline was not kept
    s.Click(FineX, FineY);
  }
  EXPECT_EQ(KeepFilePixel(FileBytes(s.PathIn("saved.bmp")), 299, 300 - 32), Black);
}

TEST(OutlinePage, BrushStrokeByDragThenRightClickFixesIt) {
  ProgramSession s;
  s.StartOnPage(OutlinePage_, Scene, 960, 672);
  s.ClickControl(OutlinePage_, "4)Brush");
  s.Click(BrushFatX, BrushFatY);
  EXPECT_EQ(std::pair(OutlinePage.brushOn, Outline.brushPressure), std::pair(1, 100));
  s.Drag(200, 500, 400, 500, 20);
  // The stroke (size 6 discs at 100 %) is painted in black; the discs stand
  // at plane row 704 - y, shown one pixel above the pointer (radius 6).
  ExpectShown(s, {{300, 499, Black}, {300, 493, Black}});
  EXPECT_NE(s.Pixel(300, 491), Black);
  // The release 400 - 100, 500 - 32 lies far from the last release (0, 0
  // after the panel click): the next discs are at 40 %.
  EXPECT_EQ(std::tuple(Outline.brushPressure, OutlinePage.lastReleaseX, OutlinePage.lastReleaseY),
            std::tuple(40, 300, 468));
  const std::size_t index = static_cast<std::size_t>(704 - 500) * Stride + 200;
  EXPECT_EQ(BrushMask[index], 1);
  EXPECT_NE(WorkPlanes[0][index], 0u);
  s.RightClick(300, 500);
  EXPECT_EQ(std::tuple(WorkPlanes[0][index], WorkPlanes[2][index], BrushMask[index]), std::tuple(0u, 0u, 0));
  // Fixed: the stroke stays with the brush off, and "set KEEP9" stores it.
  s.ClickControl(OutlinePage_, "4)Brush");
  EXPECT_EQ(OutlinePage.brushOn, 0);
  ExpectShown(s, {{300, 499, Black}});
  s.ClickControl(OutlinePage_, "set KEEP9");
  const std::vector<std::uint8_t> keep = FileBytes(s.PathIn("KEEP9.bmp"));
  EXPECT_EQ(KeepFilePixel(keep, 250, 204), Black);
  EXPECT_EQ(KeepFilePixel(keep, 250, 210), Black);
  EXPECT_NE(KeepFilePixel(keep, 250, 212), Black);
}

// On a 451 x 300 picture a stroke that runs on to the right ends at the
// picture's edge, and its fix takes nothing outside the picture: every pixel
// beyond column 450 or below plane row 372 stays white in KEEP9.
TEST(OutlinePage, AStrokeOnANarrowPictureStaysOnThePicture) {
  ProgramSession s;
  WriteTestPicture(s.PathIn("narrow.bmp"), 451, 300, Scene);
  ScriptReport(s.Folder(), "open narrow.bmp\nclick 630 10     # Outline\n" + ClickLine(OutlinePage_, "4)Brush") +
                               "click 20 362     # fat\n"
                               "drag 400 200 800 200\n"
                               "drag 500 320 500 500   # down across the bottom edge\n"
                               "rclick 300 200   # fixed\n" +
                               ClickLine(OutlinePage_, "set KEEP9"));
  const std::vector<std::uint8_t> keep = FileBytes(s.PathIn("KEEP9.bmp"));
  ASSERT_EQ(keep.size(), static_cast<std::size_t>(KeepFileBytes));
  int blackOnPicture = 0;
  for (int row = 0; row < CanvasRows; ++row) {
    for (int column = 0; column < Stride; ++column) {
      const Rgb pixel = KeepFilePixel(keep, column, row);
      if (column < 451 && row >= 372) {
        blackOnPicture += pixel == Black ? 1 : 0;
      } else {
        ASSERT_EQ(pixel, White) << column << " " << row;
      }
    }
  }
  // The first stroke reached the right edge (its move to client x 550 is the
  // last inside, a disc on column 450); the second began on the picture.
  EXPECT_EQ(KeepFilePixel(keep, 450, 704 - 200), Black);
  EXPECT_EQ(KeepFilePixel(keep, 400, 704 - 320), Black);
  EXPECT_GT(blackOnPicture, 0);
}

// The release point is the button-up point, not the last move: a stroke
// moved to (300, 500) and released at (360, 500) is released at image point
// (360 - 100, 500 - 32) = (260, 468). "clear" of the brush forgets the
// strokes, which never touch row or column 0.
TEST(OutlinePage, TheReleasePointAndTheBrushClear) {
  ProgramSession s;
  s.StartOnPage(OutlinePage_, Scene, 960, 672);
  s.ClickControl(OutlinePage_, "4)Brush");
  s.Click(BrushFatX, BrushFatY);
  s.window().Deliver({MessageKind::LeftDown, 200, 500, 0, true});
  s.window().Deliver({MessageKind::MouseMove, 300, 500, 0, true});
  s.window().Deliver({MessageKind::LeftUp, 360, 500, 0, false});
  s.Paint();
  EXPECT_EQ(std::pair(OutlinePage.lastReleaseX, OutlinePage.lastReleaseY), std::pair(260, 468));
  s.Drag(101, 702, 101, 650, 10);  // along the left and bottom edges
  ExpectShown(s, {{101, 690, Black}});
  EXPECT_NE(s.Pixel(100, 690), Black);  // column 0
  EXPECT_NE(s.Pixel(110, 703), Black);  // plane row 0
  EXPECT_GT(std::count(BrushMask.begin(), BrushMask.begin() + Stride, 1), 0);  // marked in row 0 ...
  s.Click(BrushClearX, BrushClearY);
  EXPECT_EQ(std::count(BrushMask.begin(), BrushMask.end(), 1), 0);
  EXPECT_EQ(OutlinePage.brushOn, 0);
}

TEST(OutlinePage, CircleMarkerNearTheBottomStaysRoundAndMarksPlaneRow704MinusY) {
  ProgramSession s;
  s.StartOnPage(OutlinePage_, Scene, 960, 672);
  const Rgb top = s.Pixel(500, 694), high = s.Pixel(500, 672);
  DrawCircleMarker(500, 700, 6);  // radius 6 at 100 %
  // The top of a round circle, not stretched up to client y 672.
  ExpectShown(s, {{500, 694, {static_cast<std::uint8_t>(255 - top.r), static_cast<std::uint8_t>(255 - top.g),
                              static_cast<std::uint8_t>(255 - top.b)}},
                  {500, 672, high}});
  // Plane row 704 - 700, radius 6 up, and down to row 0.
  EXPECT_EQ(std::tuple(BrushMask[4 * Stride + 400], BrushMask[10 * Stride + 400], BrushMask[11 * Stride + 400],
                       BrushMask[0 * Stride + 400]),
            std::tuple(1, 1, 0, 1));
  ClearBrushMask();
}

TEST(OutlinePage, RightClicksFixTheLocalContrastOnceEach) {
  ProgramSession s;
  s.StartOnPage(OutlinePage_, Scene, 960, 672);
  s.ClickControl(OutlinePage_, "2)L Contrast");
  EXPECT_EQ(OutlinePage.localContrastOn, 1);
  s.Click(400 + 100, 300 + 32);  // the square's corner region
  EXPECT_EQ(Outline.localContrastPoint, (ContrastPoint{400, 672 - 300}));
  const std::size_t centre = static_cast<std::size_t>(372) * Stride + 400;
  const std::uint32_t original = WorkPlanes[2][centre];
  EXPECT_NE(s.Pixel(500, 332).r, original);  // the preview changes the screen
  EXPECT_EQ(WorkPlanes[2][centre], original);  // but not the planes
  s.RightClick(500, 332);
  const std::uint32_t once = WorkPlanes[2][centre];
  EXPECT_NE(once, original);
  s.RightClick(500, 332);
  EXPECT_NE(WorkPlanes[2][centre], once);
}

TEST(OutlinePage, DarkResetPutsTheSwitchesAndJudgeValueBack) {
  ProgramSession s;
  s.StartOnPage(OutlinePage_, Scene, 300, 200);
  s.Click(FineX, FineY);
  Outline.judgeValue = 30;
  s.Click(20, 40);
  EXPECT_EQ(std::tuple(OutlinePage.outlineOn, OutlinePage.outlineWidth, Outline.judgeValue), std::tuple(0, 0, 16));
}

TEST(OutlinePage, GoldenScreenWithTheFineOutline) {
  ProgramSession s;
  s.StartOnPage(OutlinePage_, Scene, 960, 672);
  s.Click(FineX, FineY);
  s.ClickControl(OutlinePage_, "4)Brush");  // brush on (outline off): the panel with its explanation
  s.Click(FineX, FineY);    // back to the fine outline
  EXPECT_GOLDEN("outline_page", s.window().Shown());
}

}  // namespace
