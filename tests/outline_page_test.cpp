// The Outline page through the whole program: the fine outline and
// "set KEEP9" on a short and a full picture, a brush stroke by drag with its
// pressure and its right-click fix, the local contrast fixed by right clicks,
// the circle marker near the bottom of the picture, and the golden screen.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "pages/kit/gestures.h"
#include "app/program.h"
#include "pages/kit/page_state.h"
#include "image/bmp_files.h"
#include "image/planes.h"
#include "ops/outline_detect.h"
#include "pages/pattern/outline_page.h"
#include "pages/pattern/outline_state.h"
#include "platform/headless.h"
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
constexpr int DarkResetX = 20, DarkResetY = 40;

// A driver script's click on the control labelled `label`.
std::string ClickLine(const char* label) {
  const ControlPoint point = ControlOf(OutlinePage_, label);
  return "click " + std::to_string(point.x) + " " + std::to_string(point.y) + "\n";
}

// Grey 100 left of x 300, grey 130 from there on.
Rgb Edge(int x, int) { return x < 300 ? Rgb{100, 100, 100} : Rgb{130, 130, 130}; }
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
  EXPECT_EQ(s.Pixel(100 + 299, 300), (Rgb{100, 100, 100}));  // on, but no width yet
  s.Click(FineX, FineY);
  EXPECT_EQ(OutlinePage.outlineWidth, FineWidth);
  // The edge is outlined in black in the two columns beside it, over the
  // whole height but the two outermost rows.
  for (int y : {34, 300, 701}) {
    EXPECT_EQ(s.Pixel(100 + 299, y), (Rgb{0, 0, 0})) << y;
    EXPECT_EQ(s.Pixel(100 + 300, y), (Rgb{0, 0, 0})) << y;
    EXPECT_EQ(s.Pixel(100 + 298, y), (Rgb{100, 100, 100})) << y;
    EXPECT_EQ(s.Pixel(100 + 301, y), (Rgb{130, 130, 130})) << y;
  }
  EXPECT_EQ(s.Pixel(100 + 299, 32), (Rgb{100, 100, 100}));
  EXPECT_EQ(s.Pixel(100 + 299, 703), (Rgb{100, 100, 100}));
  // "／" twice: cyan outlines.
  s.ClickControl(OutlinePage_, "／");
  s.ClickControl(OutlinePage_, "／");
  EXPECT_EQ(s.Pixel(100 + 299, 300), (Rgb{0, 255, 255}));
  const std::vector<std::uint8_t> shown = s.ShownCanvas();
  s.ClickControl(OutlinePage_, "set KEEP9");
  EXPECT_EQ(FileBytes(s.PathIn("KEEP9.bmp")), KeepFileOf(shown));
  // "clear": the outline goes; the stored picture stays in the planes.
  s.Click(ClearX, ClearY);
  EXPECT_EQ(OutlinePage.outlineOn, 0);
  EXPECT_EQ(s.Pixel(100 + 299, 300), (Rgb{0, 255, 255}));
  EXPECT_EQ(s.Pixel(100 + 200, 300), (Rgb{100, 100, 100}));
}

// A save writes the outline shown and leaves the picture in hand; only
// "set KEEP9" takes the outline into it.
TEST(OutlinePage, ASaveCancelledOrWrittenKeepsThePictureInHand) {
  ProgramSession s;
  s.StartOnPage(OutlinePage_, Edge, 960, 672);
  s.Click(FineX, FineY);
  const std::size_t edge = static_cast<std::size_t>(300) * Stride + 299;
  s.dialogs().QueueFile(std::nullopt);
  s.Click(910, 10);  // the Save tab, cancelled
  EXPECT_EQ(WorkPlanes[0][edge], 100u);
  s.Click(ClearX, ClearY);
  EXPECT_EQ(s.Pixel(100 + 299, 300), (Rgb{100, 100, 100}));  // the outline was not kept
  s.Click(FineX, FineY);
  s.dialogs().QueueFile(s.PathIn("saved.bmp"));
  s.Click(910, 10);
  EXPECT_EQ(WorkPlanes[0][edge], 100u);
  EXPECT_EQ(KeepFilePixel(FileBytes(s.PathIn("saved.bmp")), 299, 300 - 32), (Rgb{0, 0, 0}));
  s.Click(ClearX, ClearY);
  EXPECT_EQ(s.Pixel(100 + 299, 300), (Rgb{100, 100, 100}));
}

TEST(OutlinePage, ShortPictureOutlinesItsOwnEdgeAgainstTheWhiteningAndKeepsAll) {
  ProgramSession s;
  s.StartOnPage(OutlinePage_, Edge, 400, 200);
  // Where the whitening begins on the row (the picture is 400 wide).
  int white = 300;
  while (s.Pixel(100 + white, 100) != Rgb{255, 255, 255}) ++white;
  ASSERT_GE(white, 399);
  s.Click(FineX, FineY);
  // The edge inside the picture, and the picture's edge against the white.
  EXPECT_EQ(s.Pixel(100 + 299, 100), (Rgb{0, 0, 0}));
  EXPECT_EQ(s.Pixel(100 + white - 1, 100), (Rgb{0, 0, 0}));
  EXPECT_EQ(s.Pixel(100 + white, 100), (Rgb{0, 0, 0}));
  EXPECT_EQ(s.Pixel(100 + 600, 100), (Rgb{255, 255, 255}));
  const std::vector<std::uint8_t> shown = s.ShownCanvas();
  s.ClickControl(OutlinePage_, "set KEEP9");
  EXPECT_EQ(FileBytes(s.PathIn("KEEP9.bmp")), KeepFileOf(shown));
  EXPECT_EQ(s.dialogs().MessageCount(), 0u);
}

TEST(OutlinePage, BrushStrokeByDragThenRightClickFixesIt) {
  ProgramSession s;
  s.StartOnPage(OutlinePage_, Scene, 960, 672);
  s.ClickControl(OutlinePage_, "4)Brush");
  s.Click(BrushFatX, BrushFatY);
  EXPECT_EQ(OutlinePage.brushOn, 1);
  EXPECT_EQ(Outline.brushPressure, 100);
  s.Drag(200, 500, 400, 500, 20);
  // The stroke (size 6 discs at 100 %) is painted in black; the discs stand
  // at plane row 704 - y, shown one pixel above the pointer.
  EXPECT_EQ(s.Pixel(300, 499), (Rgb{0, 0, 0}));
  EXPECT_EQ(s.Pixel(300, 493), (Rgb{0, 0, 0}));   // radius 6
  EXPECT_NE(s.Pixel(300, 491), (Rgb{0, 0, 0}));
  // The release 400 - 100, 500 - 32 lies far from the last release (0, 0
  // after the panel click): the next discs are at 40 %.
  EXPECT_EQ(Outline.brushPressure, 40);
  EXPECT_EQ(OutlinePage.lastReleaseX, 300);
  EXPECT_EQ(OutlinePage.lastReleaseY, 468);
  const std::size_t index = static_cast<std::size_t>(704 - 500) * Stride + 200;
  EXPECT_EQ(BrushMask[index], 1);
  EXPECT_NE(WorkPlanes[0][index], 0u);
  s.RightClick(300, 500);
  EXPECT_EQ(WorkPlanes[0][index], 0u);
  EXPECT_EQ(WorkPlanes[2][index], 0u);
  EXPECT_EQ(BrushMask[index], 0);
  // Fixed: the stroke stays with the brush off.
  s.ClickControl(OutlinePage_, "4)Brush");
  EXPECT_EQ(OutlinePage.brushOn, 0);
  EXPECT_EQ(s.Pixel(300, 499), (Rgb{0, 0, 0}));
}

// On a 451 x 300 picture a stroke that runs on to the right ends at the
// picture's edge, and its fix takes nothing outside the picture: every pixel
// beyond column 450 or below plane row 372 stays white in KEEP9.
TEST(OutlineScripts, AStrokeOnANarrowPictureStaysOnThePicture) {
  ProgramSession s;
  WriteTestPicture(s.PathIn("narrow.bmp"), 451, 300, Scene);
  ScriptReport(s.Folder(),
               "open narrow.bmp\n"
               "click 630 10     # Outline\n" +
                   ClickLine("4)Brush") +
                   "click 20 362     # fat\n"
                   "drag 400 200 800 200\n"
                   "drag 500 320 500 500   # down across the bottom edge\n"
                   "rclick 300 200   # fixed\n" +
                   ClickLine("set KEEP9"));
  const std::vector<std::uint8_t> keep = FileBytes(s.PathIn("KEEP9.bmp"));
  ASSERT_EQ(keep.size(), static_cast<std::size_t>(KeepFileBytes));
  int blackOnPicture = 0;
  for (int row = 0; row < CanvasRows; ++row) {
    for (int column = 0; column < Stride; ++column) {
      const Rgb pixel = KeepFilePixel(keep, column, row);
      if (column < 451 && row >= 372) {
        blackOnPicture += pixel == Rgb{0, 0, 0} ? 1 : 0;
      } else {
        ASSERT_EQ(pixel, (Rgb{255, 255, 255})) << column << " " << row;
      }
    }
  }
  // The first stroke reached the right edge (its move to client x 550 is the
  // last inside, a disc on column 450); the second began on the picture.
  EXPECT_EQ(KeepFilePixel(keep, 450, 704 - 200), (Rgb{0, 0, 0}));
  EXPECT_EQ(KeepFilePixel(keep, 400, 704 - 320), (Rgb{0, 0, 0}));
  EXPECT_GT(blackOnPicture, 0);
}

// The release point is the button-up point, not the last move: a stroke
// moved to (300, 500) and released at (360, 500) is released at image point
// (360 - 100, 500 - 32) = (260, 468).
TEST(OutlinePage, TheReleasePointIsWhereTheButtonComesUp) {
  ProgramSession s;
  s.StartOnPage(OutlinePage_, Scene, 960, 672);
  s.ClickControl(OutlinePage_, "4)Brush");
  s.Click(BrushFatX, BrushFatY);
  s.window().Deliver({MessageKind::LeftDown, 200, 500, 0, true});
  s.window().Deliver({MessageKind::MouseMove, 300, 500, 0, true});
  s.window().Deliver({MessageKind::LeftUp, 360, 500, 0, false});
  s.Paint();
  EXPECT_EQ(OutlinePage.lastReleaseX, 260);
  EXPECT_EQ(OutlinePage.lastReleaseY, 468);
}

TEST(OutlinePage, BrushClearForgetsTheStrokesAndTheyNeverTouchRowOrColumnZero) {
  ProgramSession s;
  s.StartOnPage(OutlinePage_, Scene, 960, 672);
  s.ClickControl(OutlinePage_, "4)Brush");
  s.Click(BrushFatX, BrushFatY);
  s.Drag(101, 702, 101, 650, 10);  // along the left and bottom edges
  EXPECT_EQ(s.Pixel(101, 690), (Rgb{0, 0, 0}));
  EXPECT_NE(s.Pixel(100, 690), (Rgb{0, 0, 0}));  // column 0
  EXPECT_NE(s.Pixel(110, 703), (Rgb{0, 0, 0}));  // plane row 0
  EXPECT_EQ(std::count(BrushMask.begin(), BrushMask.begin() + Stride, 1) > 0, true);  // marked in row 0 ...
  s.Click(BrushClearX, BrushClearY);
  EXPECT_EQ(std::count(BrushMask.begin(), BrushMask.end(), 1), 0);
  EXPECT_EQ(OutlinePage.brushOn, 0);
}

TEST(OutlinePage, CircleMarkerNearTheBottomStaysRoundAndMarksPlaneRow704MinusY) {
  ProgramSession s;
  s.StartOnPage(OutlinePage_, Scene, 960, 672);
  const Rgb top = s.Pixel(500, 694);
  const Rgb high = s.Pixel(500, 672);
  DrawCircleMarker(500, 700, 6);  // radius 6 at 100 %
  const Rgb inverted{static_cast<std::uint8_t>(255 - top.r), static_cast<std::uint8_t>(255 - top.g),
                     static_cast<std::uint8_t>(255 - top.b)};
  EXPECT_EQ(s.Pixel(500, 694), inverted);  // the top of a round circle
  EXPECT_EQ(s.Pixel(500, 672), high);      // not stretched up to client y 672
  EXPECT_EQ(BrushMask[4 * Stride + 400], 1);   // plane row 704 - 700
  EXPECT_EQ(BrushMask[10 * Stride + 400], 1);  // radius 6 up
  EXPECT_EQ(BrushMask[11 * Stride + 400], 0);
  EXPECT_EQ(BrushMask[0 * Stride + 400], 1);   // and down to row 0
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
  s.Click(DarkResetX, DarkResetY);
  EXPECT_EQ(OutlinePage.outlineOn, 0);
  EXPECT_EQ(OutlinePage.outlineWidth, 0);
  EXPECT_EQ(Outline.judgeValue, 16);
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

// [Driver scripts] The same flows as a user's script for vazesample-drive.
namespace {

TEST(OutlineScripts, FineOutlineAndSetKeep9OnAShortAndAFullPicture) {
  ProgramSession s;  // for its folder
  for (const auto& [width, height] : {std::pair{960, 672}, std::pair{400, 200}}) {
    WriteTestPicture(s.PathIn("edge.bmp"), width, height, Edge);
    const std::string report = ScriptReport(s.Folder(),
                                            "open edge.bmp\n"
                                            "click 630 10   # Outline\n"
                                            "click 20 193   # fine\n" +
                                                ClickLine("set KEEP9"));
    EXPECT_EQ(report.find("message:"), std::string::npos) << report;
    const std::vector<std::uint8_t> keep = FileBytes(s.PathIn("KEEP9.bmp"));
    ASSERT_EQ(keep.size(), static_cast<std::size_t>(KeepFileBytes));
    EXPECT_EQ(KeepFilePixel(keep, 299, 600), (Rgb{0, 0, 0})) << width;
    EXPECT_EQ(KeepFilePixel(keep, 300, 600), (Rgb{0, 0, 0})) << width;
    EXPECT_EQ(KeepFilePixel(keep, 298, 600), (Rgb{100, 100, 100})) << width;
    EXPECT_EQ(KeepFilePixel(keep, 299, 671), (Rgb{100, 100, 100})) << width;  // the border row
  }
}

TEST(OutlineScripts, BrushStrokeByDragAndItsRightClickFix) {
  ProgramSession s;
  WriteTestPicture(s.PathIn("scene.bmp"), 960, 672, Scene);
  ScriptReport(s.Folder(),
               "open scene.bmp\n"
               "click 630 10     # Outline\n" +
                   ClickLine("4)Brush") +
                   "click 20 362     # fat\n"
                   "drag 200 500 400 500\n"
                   "rclick 300 500   # fixed\n" +
                   ClickLine("4)Brush") +  // brush off
                   ClickLine("set KEEP9"));
  const std::vector<std::uint8_t> keep = FileBytes(s.PathIn("KEEP9.bmp"));
  EXPECT_EQ(KeepFilePixel(keep, 250, 204), (Rgb{0, 0, 0}));
  EXPECT_EQ(KeepFilePixel(keep, 250, 210), (Rgb{0, 0, 0}));
  EXPECT_NE(KeepFilePixel(keep, 250, 212), (Rgb{0, 0, 0}));
}

}  // namespace
