// The Pattern page through the whole program: colours picked with the
// appoint eye, the zone on the whole canvas and in a dragged area, the
// stencil recorded in BrushMask, " SetKEEP10" with the transfer work file,
// the "no window" question, the picks that must not read outside the
// picture, the luma belt, the outline sub-panel and the golden screen.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "app/program.h"
#include "pages/kit/page_state.h"
#include "image/bmp_files.h"
#include "image/gray.h"
#include "image/planes.h"
#include "pages/pattern/outline_state.h"
#include "pages/pattern/pattern_page.h"
#include "panel/calculator.h"
#include "platform/headless.h"
#include "support/golden.h"
#include "support/program_session.h"

namespace {

constexpr int PatternPage_ = 10;
// The marks and diamonds the page draws itself; the keys are clicked by their labels.
constexpr int DarkResetX = 20, DarkResetY = 40;
constexpr int JudgeUpX = 88, JudgeUpY = 747;
constexpr int JudgeDownX = 88, JudgeDownY = 757;
constexpr int RestoreTabX = 960, TabY = 10;

// A driver script's click on the control labelled `label`.
std::string ClickLine(const char* label) {
  const ControlPoint point = ControlOf(PatternPage_, label);
  return "click " + std::to_string(point.x) + " " + std::to_string(point.y) + "\n";
}

// Three grey bands of luma 80, 120 and 100 (x < 100, < 200, < 300) and a
// blue (30, 30, 200), luma 49, from x 300 on.
Rgb Bands(int x, int) {
  if (x < 100) return Rgb{80, 80, 80};
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
};

TEST(PatternPage, ThreePicksGiveTheLumaRange80To120) {
  PickedSession p;
  EXPECT_EQ(PatternPage.appointEyeOn, 1);
  EXPECT_EQ(PatternPage.range.lumaMin, 80);
  EXPECT_EQ(PatternPage.range.lumaMax, 120);
  EXPECT_EQ(PatternPage.range.redMax, 120);
  EXPECT_EQ(PatternPage.appointed.luma, 100);
}

TEST(PatternPage, DrawZoneWithoutAnAreaTestsTheWholeCanvas) {
  PickedSession p;
  p.s.ClickControl(PatternPage_, "5)draw zone");
  EXPECT_EQ(PatternPage.drawZoneSwitch, 1);
  EXPECT_EQ(PatternPage.areaSwitch, 1);
  EXPECT_EQ(PatternPage.area, AreaRect{});
  for (int x : {150, 250, 350}) EXPECT_EQ(p.s.Pixel(x, 300), (Rgb{255, 255, 255})) << x;
  EXPECT_EQ(p.s.Pixel(450, 300), (Rgb{30, 30, 200}));
  // Top and bottom rows of the picture are in the area too.
  EXPECT_EQ(p.s.Pixel(150, 32), (Rgb{255, 255, 255}));
  EXPECT_EQ(p.s.Pixel(150, 703), (Rgb{255, 255, 255}));
}

TEST(PatternPage, StencilRecordsTheGreyPartAndSetKeep10WritesKeepAndTransferFiles) {
  PickedSession p;
  p.s.ClickControl(PatternPage_, "5)draw zone");
  p.s.ClickControl(PatternPage_, "6)Pattern");
  EXPECT_EQ(p.s.Pixel(150, 300), (Rgb{255, 255, 255}));
  EXPECT_EQ(p.s.Pixel(450, 300), (Rgb{192, 192, 192}));
  const std::size_t zone = static_cast<std::size_t>(300) * Stride + 50;
  const std::size_t rest = static_cast<std::size_t>(300) * Stride + 350;
  EXPECT_EQ(BrushMask[zone], 0);
  EXPECT_EQ(BrushMask[rest], 1);
  EXPECT_EQ(p.s.dialogs().MessageCount(), 0u);
  const std::vector<std::uint8_t> shown = p.s.ShownCanvas();
  p.s.ClickControl(PatternPage_, "SetKEEP10");
  const std::vector<std::uint8_t> expected = KeepFileOf(shown);
  EXPECT_EQ(FileBytes(p.s.PathIn("KEEP10.bmp")), expected);
  EXPECT_EQ(FileBytes(p.s.PathIn("0000trfr.bmp")), expected);
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
  EXPECT_EQ(s.Pixel(150, 300), (Rgb{192, 192, 192}));  // the stencil is drawn all the same
  s.ClickControl(PatternPage_, "2)Area");  // another paint: not asked again
  EXPECT_EQ(s.dialogs().MessageCount(), 1u);
  s.ClickControl(PatternPage_, "6)Pattern");
  EXPECT_EQ(s.dialogs().MessageCount(), 2u);
}

TEST(PatternPage, AnAreaDraggedDownRightLimitsTheZoneAndOneDraggedUpLeftSelectsNothing) {
  PickedSession p;
  p.s.ClickControl(PatternPage_, "2)Area");  // the zone set area 2; this click turns it off
  p.s.ClickControl(PatternPage_, "2)Area");  // and on: area switch 1
  ASSERT_EQ(PatternPage.areaSwitch, 1);
  p.s.Drag(120, 100, 180, 200, 6);
  EXPECT_EQ(PatternPage.area, (AreaRect{20, 100, 80, 200}));
  p.s.ClickControl(PatternPage_, "5)draw zone");
  EXPECT_EQ(p.s.Pixel(150, 150), (Rgb{255, 255, 255}));
  EXPECT_EQ(p.s.Pixel(150, 250), (Rgb{80, 80, 80}));   // below the area
  EXPECT_EQ(p.s.Pixel(250, 150), (Rgb{120, 120, 120}));  // right of it
  // Draw zone off, area on again, dragged from lower right to upper left.
  p.s.ClickControl(PatternPage_, "5)draw zone");
  p.s.ClickControl(PatternPage_, "2)Area");
  ASSERT_EQ(PatternPage.areaSwitch, 1);
  p.s.Drag(180, 200, 120, 100, 6);
  EXPECT_EQ(PatternPage.area, (AreaRect{80, 200, 20, 100}));
  p.s.ClickControl(PatternPage_, "5)draw zone");
  EXPECT_EQ(p.s.Pixel(150, 150), (Rgb{80, 80, 80}));
}

TEST(PatternPage, APickNeverReadsOutsideThePicture) {
  PickedSession p;
  const ZoneRange before = PatternPage.range;
  // Restore (no KEEP10 yet: its read failure is reported); the click sits
  // on the tab bar, above the picture: no pick.
  p.s.Click(RestoreTabX, TabY);
  EXPECT_EQ(PatternPage.range, before);
  EXPECT_EQ(PatternPage.appointed.luma, 100);
}

TEST(PatternPage, ABeltBodyClickHoldsAndTheZoneFollowsAtOnce) {
  PickedSession p;
  p.s.ClickControl(PatternPage_, "5)draw zone");
  // The appointed luma 100 is marked at 24 + 100 * 52 / 256 = 44; a click
  // left of it sets the start: (30 - 24) * 255 / 52 = 29.
  p.s.Click(30, 344);
  EXPECT_EQ(PatternPage.beltEdited, 1);
  EXPECT_EQ(PatternPage.range.lumaMin, 29);
  EXPECT_EQ(PatternPage.range.lumaMax, 120);
  // A right arrow of the end: +8, the zone drawn with it in the same paint.
  p.s.Click(93, 344);
  EXPECT_EQ(PatternPage.range.lumaMax, 128);
  // Another pick still widens the range (and the belt with it).
  p.s.Click(110, 300);
  EXPECT_EQ(PatternPage.range.lumaMin, 29);
  EXPECT_EQ(PatternPage.beltEnd, 128);
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
  p.s.ClickControl(PatternPage_, "5)draw zone");
  p.s.ClickControl(PatternPage_, "5)draw zone");
  EXPECT_EQ(PatternPage.drawZoneSwitch, 0);
  EXPECT_EQ(PatternPage.zoneOn, 0);
  EXPECT_EQ(PatternPage.appointEyeOn, 0);
  const ZoneRange before = PatternPage.range;
  p.s.Click(450, 300);  // no pick now
  EXPECT_EQ(PatternPage.range, before);
  p.s.ClickControl(PatternPage_, "3)Zone");
  EXPECT_EQ(PatternPage.zoneOn, 1);
  EXPECT_EQ(PatternPage.range, ZoneRange{});  // a fresh zone
}

TEST(PatternPage, OutlineDiamondCyclesAndJudgeArrowsStayWithin1To99) {
  ProgramSession s;
  s.StartOnPage(PatternPage_, Bands, 960, 672);
  s.ClickControl(PatternPage_, "3)Outline");
  EXPECT_EQ(PatternPage.outlineOn, 1);
  EXPECT_EQ(PatternPage.outlineWidth, 0);
  s.ClickControl(PatternPage_, "3)Outline");
  EXPECT_EQ(PatternPage.outlineWidth, 1);
  // Fine: the 80 | 120 band edge at x 100 is outlined.
  EXPECT_EQ(s.Pixel(199, 300), (Rgb{0, 0, 0}));
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
  EXPECT_EQ(Outline.judgeValue, 16);
  EXPECT_EQ(Outline.judgeMode, 2);
}

TEST(PatternPage, LocalContrastOfTheSubPanelIsFixedByARightClick) {
  ProgramSession s;
  s.StartOnPage(PatternPage_, Bands, 960, 672);
  s.ClickControl(PatternPage_, "3)Outline");  // local contrast
  s.Click(400, 300);            // the grey 100 | blue edge
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

// [Driver scripts] The same flows as a user's script for vazesample-drive.
namespace {

TEST(PatternScripts, ZoneAreaStencilAndSetKeep10WithTheTransferFile) {
  ProgramSession s;
  WriteTestPicture(s.PathIn("bands.bmp"), 960, 672, Bands);
  const std::string script = "open bands.bmp\n"
                             "click 690 10     # Pattern\n" +
                             ClickLine("3)Zone") +
                             "click 150 300\nclick 250 300\nclick 350 300\n" +
                             ClickLine("2)Area") +  // off (the zone kept it)
                             ClickLine("2)Area") +  // and on
                             "drag 120 100 180 200\n" +
                             ClickLine("5)draw zone") + ClickLine("6)Pattern") + ClickLine("SetKEEP10");
  const std::string report = ScriptReport(s.Folder(), script);
  EXPECT_EQ(report.find("message:"), std::string::npos) << report;
  const std::vector<std::uint8_t> keep = FileBytes(s.PathIn("KEEP10.bmp"));
  ASSERT_EQ(keep.size(), static_cast<std::size_t>(KeepFileBytes));
  EXPECT_EQ(FileBytes(s.PathIn("0000trfr.bmp")), keep);
  EXPECT_EQ(KeepFilePixel(keep, 50, 553), (Rgb{255, 255, 255}));  // in the area and the zone
  EXPECT_EQ(KeepFilePixel(keep, 50, 300), (Rgb{192, 192, 192}));  // in the zone's colours, outside the area
  EXPECT_EQ(KeepFilePixel(keep, 500, 553), (Rgb{192, 192, 192}));
}

TEST(PatternScripts, PatternWithoutAZoneAsksNoWindow) {
  ProgramSession s;
  WriteTestPicture(s.PathIn("bands.bmp"), 960, 672, Bands);
  const std::string script = "open bands.bmp\n"
                             "click 690 10\n" +
                             ClickLine("6)Pattern") + "answer yes\n" + ClickLine("2)Area");
  const std::string report = ScriptReport(s.Folder(), script);
  EXPECT_NE(report.find("message: 確認 | この画像には窓が設定されていません\\n紺色マークでリセットして\\n"
                        "2)3)から やり直してください"),
            std::string::npos)
      << report;
  EXPECT_EQ(report.find("message:"), report.rfind("message:"));  // once
}

}  // namespace
