// The Pattern page through the whole program: colours picked with the
// appoint eye, the zone on the whole canvas and in a dragged area, the
// stencil recorded in BrushMask, " SetKEEP10" with the transfer work file,
// the "no window" question, the picks that must not read outside the
// picture, the luma belt, the outline sub-panel and the golden screen.

#include <gtest/gtest.h>

#include <vector>

#include "pages/kit/page_state.h"
#include "pages/pattern/outline_state.h"
#include "pages/pattern/pattern_page.h"
#include "panel/calculator.h"
#include "support/golden.h"
#include "support/program_session.h"

namespace {

constexpr int PatternPage_ = 10;
// The marks and diamonds the page draws itself; the keys are clicked by their labels.
constexpr int DarkResetX = 20, DarkResetY = 40;
constexpr int JudgeUpX = 88, JudgeUpY = 747;
constexpr int JudgeDownX = 88, JudgeDownY = 757;
constexpr Rgb Stencil{192, 192, 192}, Grey80{80, 80, 80};

// Three grey bands of luma 80, 120 and 100 (x < 100, < 200, < 300) and a
// blue (30, 30, 200), luma 49, from x 300 on.
Rgb Bands(int x, int) {
  if (x < 100) return Grey80;
  if (x < 200) return Rgb{120, 120, 120};
  if (x < 300) return Rgb{100, 100, 100};
  return Rgb{30, 30, 200};
}

// A session on the Pattern page with the bands picture, the zone picked from
// the three grey bands.
struct PickedSession {
  ProgramSession s;
  PickedSession() {
    s.StartOnPage(PatternPage_, Bands, 960, 672);
    s.ClickControl(PatternPage_, "3)Zone");
    for (int x : {150, 250, 350}) s.Click(x, 300);  // luma 80, 120, 100
  }
  void Click(const char* label) { s.ClickControl(PatternPage_, label); }
};

TEST(PatternPage, ThreePicksGiveTheLumaRangeAndDrawZoneWithoutAnAreaTestsTheWholeCanvas) {
  PickedSession p;
  EXPECT_EQ(std::tuple(PatternPage.appointEyeOn, PatternPage.range.lumaMin, PatternPage.range.lumaMax,
                       PatternPage.range.redMax, PatternPage.appointed.luma),
            std::tuple(1, 80, 120, 120, 100));
  p.Click("5)draw zone");
  EXPECT_EQ(std::pair(PatternPage.drawZoneSwitch, PatternPage.areaSwitch), std::pair(1, 1));
  EXPECT_EQ(PatternPage.area, AreaRect{});
  // The top and bottom rows of the picture are in the area too.
  ExpectShown(p.s, {{150, 300, White}, {250, 300, White}, {350, 300, White}, {450, 300, {30, 30, 200}},
                    {150, 32, White}, {150, 703, White}});
}

// The zone in a dragged area becomes the stencil's white; the zone's colours
// outside the area and the rest are grey. " SetKEEP10" stores it with the
// transfer work file.
TEST(PatternPage, StencilRecordsTheZoneInTheAreaAndSetKeep10WritesKeepAndTransferFiles) {
  PickedSession p;
  p.Click("2)Area");  // off (the zone kept it)
  p.Click("2)Area");  // and on
  p.s.Drag(120, 100, 180, 200, 6);
  p.Click("5)draw zone");
  p.Click("6)Pattern");
  ExpectShown(p.s, {{150, 150, White}, {150, 300, Stencil}, {450, 150, Stencil}});
  const std::size_t zone = static_cast<std::size_t>(704 - 150) * Stride + 50;
  const std::size_t rest = static_cast<std::size_t>(300) * Stride + 350;
  EXPECT_EQ(BrushMask[zone], 0);
  EXPECT_EQ(BrushMask[rest], 1);
  EXPECT_EQ(p.s.dialogs().MessageCount(), 0u);
  const std::vector<std::uint8_t> shown = p.s.ShownCanvas();
  p.Click("SetKEEP10");
  const std::vector<std::uint8_t> keep = FileBytes(p.s.PathIn("KEEP10.bmp"));
  EXPECT_EQ(keep, KeepFileOf(shown));
  EXPECT_EQ(FileBytes(p.s.PathIn("0000trfr.bmp")), keep);
  EXPECT_EQ(KeepFilePixel(keep, 50, 553), White);     // in the area and the zone
  EXPECT_EQ(KeepFilePixel(keep, 50, 300), Stencil);   // in the zone's colours, outside the area
  EXPECT_EQ(KeepFilePixel(keep, 500, 553), Stencil);
  EXPECT_EQ(WorkPlanes[0][rest], 192u);
}

TEST(PatternPage, NoWindowIsAskedOncePerPatternClick) {
  ProgramSession s;
  s.StartOnPage(PatternPage_, Bands, 960, 672);
  s.ClickControl(PatternPage_, "6)Pattern");  // no zone: everything grey
  ASSERT_EQ(s.dialogs().MessageCount(), 1u);
  const auto& shown = s.dialogs().shown().back();
  EXPECT_EQ(shown.title, "確認");
  EXPECT_EQ(shown.text, "この画像には窓が設定されていません\n紺色マークでリセットして\n2)3)から やり直してください");
  ExpectShown(s, {{150, 300, Stencil}});  // the stencil is drawn all the same
  s.ClickControl(PatternPage_, "2)Area");  // another paint: not asked again
  EXPECT_EQ(s.dialogs().MessageCount(), 1u);
  s.ClickControl(PatternPage_, "6)Pattern");
  EXPECT_EQ(s.dialogs().MessageCount(), 2u);
}

TEST(PatternPage, AnAreaDraggedDownRightLimitsTheZoneAndOneDraggedUpLeftSelectsNothing) {
  PickedSession p;
  p.Click("2)Area");  // the zone set area 2; this click turns it off
  p.Click("2)Area");  // and on: area switch 1
  ASSERT_EQ(PatternPage.areaSwitch, 1);
  p.s.Drag(120, 100, 180, 200, 6);
  EXPECT_EQ(PatternPage.area, (AreaRect{20, 100, 80, 200}));
  p.Click("5)draw zone");
  // Inside, below and right of the area.
  ExpectShown(p.s, {{150, 150, White}, {150, 250, Grey80}, {250, 150, {120, 120, 120}}});
  // Draw zone off, area on again, dragged from lower right to upper left.
  p.Click("5)draw zone");
  p.Click("2)Area");
  ASSERT_EQ(PatternPage.areaSwitch, 1);
  p.s.Drag(180, 200, 120, 100, 6);
  EXPECT_EQ(PatternPage.area, (AreaRect{80, 200, 20, 100}));
  p.Click("5)draw zone");
  ExpectShown(p.s, {{150, 150, Grey80}});
}

TEST(PatternPage, APickNeverReadsOutsideThePicture) {
  PickedSession p;
  const ZoneRange before = PatternPage.range;
  // Restore (no KEEP10 yet: its read failure is reported); the click sits
  // on the tab bar, above the picture: no pick.
  p.s.Click(960, 10);
  EXPECT_EQ(PatternPage.range, before);
  EXPECT_EQ(PatternPage.appointed.luma, 100);
}

TEST(PatternPage, ABeltBodyClickHoldsAndTheZoneFollowsAtOnce) {
  PickedSession p;
  p.Click("5)draw zone");
  // The appointed luma 100 is marked at 24 + 100 * 52 / 256 = 44; a click
  // left of it sets the start: (30 - 24) * 255 / 52 = 29.
  p.s.Click(30, 344);
  EXPECT_EQ(std::tuple(PatternPage.beltEdited, PatternPage.range.lumaMin, PatternPage.range.lumaMax),
            std::tuple(1, 29, 120));
  // A right arrow of the end: +8, the zone drawn with it in the same paint.
  p.s.Click(93, 344);
  EXPECT_EQ(PatternPage.range.lumaMax, 128);
  // Another pick still widens the range (and the belt with it).
  p.s.Click(110, 300);
  EXPECT_EQ(std::pair(PatternPage.range.lumaMin, PatternPage.beltEnd), std::pair(29, 128));
}

TEST(PatternPage, TheDarkResetEmptiesTheRangeEvenAfterTheBeltWasUsed) {
  PickedSession p;
  p.s.Click(93, 344);  // the belt's end + 8: the belt now holds the bounds
  EXPECT_EQ(PatternPage.range.lumaMax, 128);
  p.s.Click(DarkResetX, DarkResetY);
  EXPECT_EQ(PatternPage.range, ZoneRange{});
  EXPECT_EQ(PatternPage.area, AreaRect{});
}

TEST(PatternPage, TheCalculatorMovesTheLumaBoundsWithinTheirOrder) {
  PickedSession p;
  p.s.Click(20, 370);  // luma min box: calculator target 1, calculator on
  ASSERT_EQ(Calc.on, 1);
  p.s.Click(49, 660);  // "５" (the keypad rows 614, 634, 655, 675, 696, 716)
  p.s.Click(20, 726);  // "＋"
  EXPECT_EQ(PatternPage.range.lumaMin, 85);
  p.s.Click(20, 680);  // "１"
  p.s.Click(38, 660);  // "５" again: 15
  p.s.Click(20, 700);  // "０": 150
  p.s.Click(20, 726);  // + 150 = 235, above the max 120: becomes the max
  EXPECT_EQ(PatternPage.range.lumaMin, 120);
}

TEST(PatternPage, DrawZoneOffAlsoTurnsThePickOffSoZoneWorksAgain) {
  PickedSession p;
  p.Click("5)draw zone");
  p.Click("5)draw zone");
  EXPECT_EQ(std::tuple(PatternPage.drawZoneSwitch, PatternPage.zoneOn, PatternPage.appointEyeOn), std::tuple(0, 0, 0));
  const ZoneRange before = PatternPage.range;
  p.s.Click(450, 300);  // no pick now
  EXPECT_EQ(PatternPage.range, before);
  p.Click("3)Zone");
  EXPECT_EQ(PatternPage.zoneOn, 1);
  EXPECT_EQ(PatternPage.range, ZoneRange{});  // a fresh zone
}

TEST(PatternPage, OutlineDiamondCyclesAndJudgeArrowsStayWithin1To99) {
  ProgramSession s;
  s.StartOnPage(PatternPage_, Bands, 960, 672);
  s.ClickControl(PatternPage_, "3)Outline");
  EXPECT_EQ(std::pair(PatternPage.outlineOn, PatternPage.outlineWidth), std::pair(1, 0));
  s.ClickControl(PatternPage_, "3)Outline");
  EXPECT_EQ(PatternPage.outlineWidth, 1);
  ExpectShown(s, {{199, 300, Black}});  // fine: the 80 | 120 band edge at x 100 is outlined
  s.Click(JudgeUpX, JudgeUpY);
  EXPECT_EQ(Outline.judgeValue, 18);
  for (int i = 0; i < 50; ++i) s.Click(JudgeUpX, JudgeUpY);
  EXPECT_EQ(Outline.judgeValue, 99);
  s.ClickControl(PatternPage_, "3)Outline");  // middle: steps of 4
  s.Click(JudgeDownX, JudgeDownY);
  EXPECT_EQ(Outline.judgeValue, 95);
  for (int i = 0; i < 30; ++i) s.Click(JudgeDownX, JudgeDownY);
  EXPECT_EQ(Outline.judgeValue, 1);
  s.ClickControl(PatternPage_, "3)Outline");
  EXPECT_EQ(PatternPage.outlineWidth, 3);
  s.ClickControl(PatternPage_, "3)Outline");
  EXPECT_EQ(PatternPage.outlineOn, 0);
  s.Click(DarkResetX, DarkResetY);
  EXPECT_EQ(std::pair(Outline.judgeValue, Outline.judgeMode), std::pair(16, 2));
}

TEST(PatternPage, LocalContrastOfTheSubPanelIsFixedByARightClick) {
  ProgramSession s;
  s.StartOnPage(PatternPage_, Bands, 960, 672);
  s.ClickControl(PatternPage_, "3)Outline");  // local contrast
  s.Click(400, 300);                           // the grey 100 | blue edge
  EXPECT_EQ(Outline.localContrastPoint, (ContrastPoint{300, 404}));
  const std::size_t centre = static_cast<std::size_t>(404) * Stride + 300;
  const std::uint32_t original = WorkPlanes[2][centre];
  s.RightClick(400, 300);
  EXPECT_NE(WorkPlanes[2][centre], original);
}

TEST(PatternPage, GoldenScreenWithZoneAndStencil) {
  PickedSession p;
  p.s.ClickControl(PatternPage_, "5)draw zone");
  p.s.ClickControl(PatternPage_, "6)Pattern");
  EXPECT_GOLDEN("pattern_page", p.s.window().Shown());
}

}  // namespace
