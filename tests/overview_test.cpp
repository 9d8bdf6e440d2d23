// A picture larger than the canvas: the canvas moved over it by the wheel and
// through the overview, as the user meets them, and the overview as its
// literal form gives it.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/history.h"
#include "app/overview.h"
#include "image/picture_in_hand.h"
#include "ops/overview.h"
#include "ops/recipe.h"
#include "pages/kit/page_state.h"
#include "pages/kit/step_list.h"
#include "pages/pattern/outline_state.h"
#include "platform/language.h"
#include "platform/picture_loader.h"
#include "reference/overview_literal.h"
#include "support/program_session.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr int SaveTabX = 912, TabY = 10;
// A picture whose window reaches (1200, 800) at its far corner.
constexpr int Wide = 2160, High = 1472;

// The shown canvas (bottom-up blue, green, red) against the part of a saved
// BMP whose top-left corner is (left, top): the pixels that differ.
int PixelsApart(const Bytes& canvas, const Picture& saved, int left, int top) {
  int apart = 0;
  for (int y = 0; y < CanvasRows; ++y)
    for (int x = 0; x < Stride; ++x) {
      const std::size_t c = (static_cast<std::size_t>(CanvasRows - 1 - y) * Stride + x) * 3;
      const std::size_t p = (static_cast<std::size_t>(top + y) * saved.width + left + x) * 3;
      apart += canvas[c + 2] != saved.rgb[p] || canvas[c + 1] != saved.rgb[p + 1] || canvas[c] != saved.rgb[p + 2];
    }
  return apart;
}

Picture WholeSave(ProgramSession& s, const std::string& name = "whole") {
  s.dialogs().QueueFile(s.PathIn(name + ".bmp"), true);
  s.Click(SaveTabX, TabY);
  std::optional<Picture> saved = LoadPicture(s.PathIn(name + ".bmp"));
  EXPECT_TRUE(saved.has_value());
  return saved ? *saved : Picture{};
}

void StartLarge(ProgramSession& s) {
  WriteTestPicture(s.PathIn("photo.bmp"), Wide, High, Varied);
  s.Start(s.PathIn("photo.bmp"));
}

}  // namespace

TEST(CanvasMove, TheFarCornerShowsThatPartAsTheWholeSaveWritesIt) {
  ProgramSession s;
  StartLarge(s);
  s.ClickTab(PageFilter);
  s.ClickControl(PageFilter, "action");  // FILTER's colour power, made on the top-left part
  s.Wheel(-10);                          // down, and kept inside the picture
  s.Wheel(-10, true);                    // right
  EXPECT_EQ(s.window().Title(), "photo.bmp (x 1200–2160, y 800–1472、全体 2160 × 1472) / ヴァントルゼフリンサンプル vazesample");
  s.ClickTab(PageAdd);
  s.ClickControl(PageAdd, "add");  // and ADD's addition, made there
  const Bytes canvas = s.ShownCanvas();
  const Picture saved = WholeSave(s);
  ASSERT_EQ(saved.width, Wide);
  EXPECT_EQ(PixelsApart(canvas, saved, 1200, 800), 0);
  EXPECT_EQ(ReadRecipeFile(s.PathIn("whole.toml")).steps.size(), 2u);

  // Back at the top-left corner the canvas shows both steps there too.
  s.Wheel(10);
  s.Wheel(10, true);
  EXPECT_EQ(PixelsApart(s.ShownCanvas(), saved, 0, 0), 0);
  // A picture that fits the canvas has nowhere to go: no change.
  ProgramSession small;
  small.StartOnPage(PageTop, Varied, 960, 672);
  const HistoryFigures before = HistoryNow();
  small.Wheel(-3);
  EXPECT_EQ(HistoryNow().changes, before.changes);
}

TEST(CanvasMove, AFixMadeAfterAMoveIsKeptAtThePicturesCoordinates) {
  ProgramSession s;
  StartLarge(s);
  s.Wheel(-1);        // a quarter of the canvas down: top 168
  s.Wheel(-1, true);  // and right: left 240
  s.ClickTab(PageOutline);
  s.ClickControl(PageOutline, "2)L Contrast");
  s.Click(100 + 400, 32 + 300);  // canvas (400, 300)
  s.RightClick(100 + 400, 32 + 300);
  // The paint after the fix shows the preview over it again, as the save has it.
  s.window().Invalidate();
  s.Paint();
  const Bytes there = s.ShownCanvas();
  const Picture saved = WholeSave(s);
  const RecipeResult recipe = ReadRecipeFile(s.PathIn("whole.toml"));
  // The fix, and the preview shown over it; the page counts the clicked
  // row from the canvas's bottom, 672 - 300, so the picture's row is 467.
  ASSERT_EQ(recipe.steps.size(), 2u);
  for (const PictureStep& step : recipe.steps) {
    const auto* fix = std::get_if<LocalContrastStep>(&step);
    ASSERT_NE(fix, nullptr);
    EXPECT_EQ(std::pair(fix->x, fix->y), std::pair(640, 467));
  }
  EXPECT_EQ(PixelsApart(there, saved, 240, 168), 0);
  // Moved back, the fix is where it was made, at canvas (640, 467); the
  // preview went with the part it was clicked on.
  s.Wheel(1);
  s.Wheel(1, true);
  const Picture fixed = WholeSave(s, "fixed");
  EXPECT_EQ(ReadRecipeFile(s.PathIn("fixed.toml")).steps.size(), 1u);
  EXPECT_EQ(PixelsApart(s.ShownCanvas(), fixed, 0, 0), 0);
  // Moved away from it entirely, the canvas is the picture as it was there.
  s.Wheel(-10);
  s.Wheel(-10, true);
  EXPECT_EQ(PixelsApart(s.ShownCanvas(), fixed, 1200, 800), 0);
}

TEST(CanvasMove, WorkOnlyOnThePartShownIsAskedAboutAndKeptOnNo) {
  ProgramSession s;
  LanguageId = EnglishLanguage;
  StartLarge(s);
  s.ClickTab(PageOutline);
  s.ClickControl(PageOutline, "4)Brush");
  s.Drag(200, 500, 400, 500, 20);
  const Bytes stroke = s.ShownCanvas();
  s.dialogs().TakeShown();
  s.Wheel(-1);  // unanswered: No
  std::vector<ScriptedDialogs::Shown> shown = s.dialogs().TakeShown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text.rfind("Moving the canvas drops this work, which exists only on the part shown:\n    ", 0), 0u)
      << shown[0].text;
  EXPECT_EQ(WindowOfPictureInHand().top, 0);
  EXPECT_EQ(CanvasDifference(s.ShownCanvas(), stroke), "");

  s.dialogs().QueueAnswer(MessageAnswer::Yes);
  s.Wheel(-1);
  EXPECT_EQ(WindowOfPictureInHand().top, 168);
  EXPECT_EQ(BrushMask[static_cast<std::size_t>(704 - 500) * Stride + 200], 0);
  // The move is a change of its own: Ctrl+Z brings the stroke back where it was.
  s.Undo();
  EXPECT_EQ(HistoryNoticeShown(), "Undone: canvas moved to 0, 168");
  EXPECT_EQ(WindowOfPictureInHand().top, 0);
  EXPECT_EQ(CanvasDifference(s.ShownCanvas(), stroke), "");
}

TEST(Overview, ShowsTheStepsReducedAsTheirLiteralFormAndMovesTheWindow) {
  ProgramSession s;
  StartLarge(s);
  s.ClickControl(PageTop, "F");  // the eye pass, worked to the picture's borders
  s.ClickTab(PageFilter);
  s.ClickControl(PageFilter, "action");
  s.Key('0', true);
  ASSERT_TRUE(OverviewShown());
  const Picture picture = *LoadPicture(s.PathIn("photo.bmp"));
  const Picture literal = LiteralOverview(picture, StepsSoFar(), Stride, CanvasRows, Edges::Extend);
  ASSERT_EQ(std::pair(literal.width, literal.height), std::pair(960, 654));
  const int top = 32 + (672 - 654) / 2;
  int apart = 0;
  for (int y = 0; y < literal.height; ++y)
    for (int x = 0; x < literal.width; ++x) {
      // The window's outline lies over the top-left corner: 960 x 672 of
      // 2160 x 1472 is 426 x 298 of 960 x 654.
      if (x <= 427 && y <= 299) continue;
      const Rgb shown = s.Pixel(100 + x, top + y);
      const std::size_t at = (static_cast<std::size_t>(y) * literal.width + x) * 3;
      apart += shown.r != literal.rgb[at] || shown.g != literal.rgb[at + 1] || shown.b != literal.rgb[at + 2];
    }
  EXPECT_EQ(apart, 0);
  // The outline's corners, a pixel inside it, and above the picture.
  ExpectShown(s, {{100, top, Rgb{255, 0, 0}}, {100 + 425, top + 297, Rgb{255, 0, 0}},
                  {100 + 424, top + 296, Rgb{255, 255, 255}}, {100, 32, Rgb{128, 128, 128}}});

  // A click at its far corner moves the window there and shows the canvas.
  const Bytes topLeft = s.ShownCanvas();
  s.Click(100 + 959, top + 653);
  EXPECT_FALSE(OverviewShown());
  EXPECT_EQ(std::pair(WindowOfPictureInHand().left, WindowOfPictureInHand().top), std::pair(1200, 800));
  s.Undo();
  EXPECT_EQ(WindowOfPictureInHand().left, 0);
  // The word beside the tabs shows it too, and a click on a tab puts it away.
  s.Click(1080, 15);
  EXPECT_TRUE(OverviewShown());
  s.ClickTab(PageTop);
  EXPECT_FALSE(OverviewShown());
}

TEST(Overview, FastFormGivesTheLiteralBytes) {
  // Sizes that fit the canvas, reduce by whole and by broken factors, and
  // the step kinds of a photographer's recipe, banded at the picture's size.
  const std::vector<std::vector<PictureStep>> recipes = {{}, {EyeStep{}}, {EyeStep{}, LocalContrastStep{700, 500}}};
  for (const auto& [width, height] : {std::pair{700, 500}, std::pair{1920, 1344}, std::pair{2001, 1999}, std::pair{3000, 333}}) {
    Picture picture{width, height, {}};
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        const Rgb c = Varied(x, y);
        picture.rgb.insert(picture.rgb.end(), {c.r, c.g, c.b});
      }
    for (const std::vector<PictureStep>& steps : recipes)
      for (const Edges edges : {Edges::AsCanvas, Edges::Extend}) {
        const Picture fast = OverviewOf(picture, steps, Stride, CanvasRows, 2, edges);
        const Picture literal = LiteralOverview(picture, steps, Stride, CanvasRows, edges);
        EXPECT_EQ(std::pair(fast.width, fast.height), std::pair(literal.width, literal.height));
        EXPECT_TRUE(fast.rgb == literal.rgb) << width << " x " << height << ", " << steps.size() << " steps";
      }
  }
  // Rounded: 1003 * 672 / 4000 = 168.504, 1003 * 960 / 4000 = 240.72.
  EXPECT_EQ(ReducedSizeIn(1003, 4000, 960, 672).width, 169);
  EXPECT_EQ(ReducedSizeIn(4000, 1003, 960, 672).height, 241);
}
