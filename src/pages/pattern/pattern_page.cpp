// Pattern page: colours picked on the picture with the appoint eye make the
// colour range of a zone; "5)draw zone" paints the zone (limited to a
// dragged area) white; "6)Pattern" turns the canvas into a two-tone stencil
// (zone white, the rest grey 192, the grey part recorded in BrushMask); an
// outline sub-panel offers the local contrast and the three detectors with
// the judge arrows. " SetKEEP10" stores the canvas as shown in KEEP10 and in
// the transfer work file "0000trfr.bmp" for the APPEAR page. The pixel work
// lives in zones.*, outline_detect.* and local_contrast.*.
//
// [SECTION] State
// [SECTION] Panel and texts
// [SECTION] Entry
// [SECTION] Clicks
// [SECTION] Paint

#include "pages/pattern/pattern_page.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>

#include "pages/kit/gestures.h"
#include "pages/kit/page_entry.h"
#include "pages/kit/page_steps.h"
#include "pages/kit/step_list.h"
#include "pages/kit/page_state.h"
#include "image/bmp_files.h"
#include "image/planes.h"
#include "ops/local_contrast.h"
#include "ops/outline_detect.h"
#include "pages/pattern/outline_state.h"
#include "panel/calculator.h"
#include "panel/comments.h"
#include "panel/widgets.h"
#include "platform/dialogs.h"
#include "platform/surface.h"

// [SECTION] State: the page's block with its start values.
PatternPageState PatternPage;

namespace {

int SoftValue = 0;    // "(+)soft %1d": no control of this page moves it
bool AreaPressed = false;  // "2)Area" is drawn pressed while the area switch is 1 or 2

// Key-word codes of this panel.
enum PatternCode {
  CodeTitle = 1,
  CodeGetShadow,
  CodeArea,
  CodeCycleColour,
  CodeDragNote,
  CodeLimit,
  CodeKeep,
  CodeDelete,
  CodeZone,
  CodeAppointEye,
  CodeThreeColours,
  CodeGray,
  CodeLumaMin,
  CodeAppointedLuma,
  CodeLumaMax,
  CodeZoneColourLabel,
  CodeBlack,
  CodeZoneColourValue,
  CodeWhite,
  CodeDrawZone,
  CodePattern,
  CodeReverse,
  CodeSoft,
  CodeSetSave,
  CodeSetKeep,
  CodeOutline,
  CodeJudgeValue,
  CodeDarkReset,  // the reset marks
  CodeLightReset,
  CodeGrayFlag,  // the judge-mode flag between "3C" and "gray"
  CodeRedBelt,   // the red, green and blue range belts (shown only)
  CodeGreenBelt,
  CodeBlueBelt,
  CodeLumaStartDown,  // the luma belt: its start diamond, body and end diamond
  CodeLumaStartUp,
  CodeLumaBelt,
  CodeLumaEndDown,
  CodeLumaEndUp,
  CodeSoftValues,  // the two grey diamonds under "(+)soft"
  CodeJudgeUp,     // the judge value's up-down diamond
  CodeJudgeDown,
};

constexpr Rgb Grey = InactiveText;
constexpr Rgb ZoneGreen{20, 255, 200};
constexpr Rgb Pink{240, 200, 220};
constexpr Rgb Yellow{240, 240, 20};

// The key words, row by row ("／" is drawn again in the outline colour). A
// row's click region is its key box unless it gives its own `hit`; the click
// handler tests these rows, then the judge-mode labels'.
const std::array<PanelKey, 39> Panel = {{
    {.code = CodeTitle, .x = 4, .y = 5, .width = 104, .english = "[Pattern]", .japanese = "[ 型紙化 ]",
     .kind = KeyKind::Label, .fontHeight = LargeFontHeight, .hit = {4, 0, 92, 25}},
    {.code = CodeGetShadow, .x = 4, .y = 61, .width = 94, .keyColour = {80, 160, 240}, .english = "1)GetShadow",
     .japanese = "1)画像呼出"},
    {.code = CodeArea, .x = 4, .y = 87, .width = 62, .keyColour = {200, 250, 40}, .english = "2)Area",
     .japanese = "2)領域", .kind = KeyKind::Switch, .flag = &AreaPressed},
    {.code = CodeCycleColour, .x = 72, .y = 87, .width = 20, .english = "／", .japanese = "／"},
    {.code = CodeDragNote, .x = 4, .y = 111, .width = 94, .textColour = Grey, .english = "L click + drag",
     .japanese = "L click + drag", .kind = KeyKind::Label, .hit = {4, 107, 98, 126}},
    {.code = CodeLimit, .x = 2, .y = 126, .width = 28, .keyColour = {200, 250, 0}, .english = "lmt", .japanese = "限",
     .kind = KeyKind::Switch, .state = &PatternPage.lmtIndicator, .onValue = 3},
    {.code = CodeKeep, .x = 36, .y = 126, .width = 28, .keyColour = Grey, .textColour = Grey, .english = "kp",
     .japanese = "残"},
    {.code = CodeDelete, .x = 70, .y = 126, .width = 28, .keyColour = Grey, .textColour = Grey, .english = "dlt",
     .japanese = "消"},
    {.code = CodeZone, .x = 4, .y = 152, .width = 94, .keyColour = ZoneGreen, .english = "3)Zone",
     .japanese = "3)色の窓", .kind = KeyKind::Switch, .flag = &PatternPage.zoneOn},
    {.code = CodeAppointEye, .x = 2, .y = 177, .width = 92, .keyColour = {200, 200, 40}, .english = "appoint eye",
     .japanese = "アポイントアイ", .kind = KeyKind::Switch, .flag = &PatternPage.appointEyeOn,
     .hit = {4, 172, 98, 191}},
    {.code = CodeLumaMin, .x = 2, .y = 360, .width = 32, .keyColour = Grey, .english = "%3d", .japanese = "%3d",
     .kind = KeyKind::ValueBox, .value = &PatternPage.range.lumaMin, .state = &PatternPage.calculatorTarget,
     .onValue = 1},
    {.code = CodeAppointedLuma, .x = 40, .y = 360, .width = 20, .english = "%3d", .japanese = "%3d",
     .kind = KeyKind::Label, .value = &PatternPage.appointed.luma, .hit = NoClick},
    {.code = CodeLumaMax, .x = 66, .y = 360, .width = 32, .keyColour = Grey, .english = "%3d", .japanese = "%3d",
     .kind = KeyKind::ValueBox, .value = &PatternPage.range.lumaMax, .state = &PatternPage.calculatorTarget,
     .onValue = 2},
    {.code = CodeZoneColourLabel, .x = 4, .y = 386, .width = 84, .english = "4)zone color", .japanese = "4)窓色指定",
     .hit = {4, 386, 98, 406}},
    {.code = CodeBlack, .x = 4, .y = 406, .width = 20, .textColour = Grey, .english = "B", .japanese = "黒"},
    {.code = CodeZoneColourValue, .x = 30, .y = 406, .width = 42, .textColour = Grey, .english = " %3d",
     .japanese = " %3d", .value = &Outline.zoneColour},
    {.code = CodeWhite, .x = 78, .y = 406, .width = 20, .english = "W", .japanese = "白", .kind = KeyKind::Switch,
     .state = &PatternPage.zoneColourSwitch, .onValue = 3},
    {.code = CodeDrawZone, .x = 4, .y = 432, .width = 94, .keyColour = ZoneGreen, .english = "5)draw zone",
     .japanese = "5)窓色描写", .kind = KeyKind::Switch, .flag = &PatternPage.drawZoneSwitch},
    {.code = CodePattern, .x = 4, .y = 458, .width = 94, .keyColour = Pink, .english = "6)Pattern",
     .japanese = "6)型紙化", .kind = KeyKind::Switch, .flag = &PatternPage.patternMode},
    {.code = CodeReverse, .x = 4, .y = 484, .width = 94, .keyColour = Grey, .textColour = Grey,
     .english = "  Reverse", .japanese = "　型反転"},
    {.code = CodeSoft, .x = 4, .y = 510, .width = 94, .keyColour = Grey, .textColour = Grey,
     .english = "(+)soft %1d", .japanese = "(+)ゆる型 %1d", .value = &SoftValue},
    {.code = CodeSetSave, .x = 4, .y = 562, .width = 94, .keyColour = Pink, .english = "7)Set Save",
     .japanese = "7)決定保存"},
    {.code = CodeSetKeep, .x = 4, .y = 588, .width = 94, .keyColour = {20, 240, 200}, .english = " SetKEEP10",
     .japanese = "決定KEEP10"},
    {.code = CodeOutline, .x = 2, .y = 742, .width = 46, .keyColour = Yellow, .english = "3)Outline",
     .japanese = "3)輪郭線", .kind = KeyKind::Switch, .flag = &PatternPage.outlineOn},
    {.code = CodeJudgeValue, .x = 52, .y = 742, .width = 22, .english = "%2d", .japanese = "%2d",
     .value = &Outline.judgeValue, .hit = {48, 742, 78, 762}},
    {.code = CodeDarkReset, .kind = KeyKind::Region, .hit = {2, 25, 50, 56}},
    {.code = CodeLightReset, .kind = KeyKind::Region, .hit = {50, 25, 98, 56}},
    {.code = CodeGrayFlag, .kind = KeyKind::Region, .hit = {40, 191, 60, 211}},
    {.code = CodeRedBelt, .kind = KeyKind::Region, .hit = {2, 217, 98, 237}},
    {.code = CodeGreenBelt, .kind = KeyKind::Region, .hit = {2, 256, 98, 276}},
    {.code = CodeBlueBelt, .kind = KeyKind::Region, .hit = {24, 295, 76, 315}},
    {.code = CodeLumaStartDown, .kind = KeyKind::Region, .hit = {2, 334, 12, 354}},
    {.code = CodeLumaStartUp, .kind = KeyKind::Region, .hit = {12, 334, 22, 354}},
    {.code = CodeLumaBelt, .kind = KeyKind::Region, .hit = {24, 334, 76, 354}},
    {.code = CodeLumaEndDown, .kind = KeyKind::Region, .hit = {78, 334, 88, 354}},
    {.code = CodeLumaEndUp, .kind = KeyKind::Region, .hit = {88, 334, 98, 354}},
    {.code = CodeSoftValues, .kind = KeyKind::Region, .hit = {2, 536, 98, 556}},
    {.code = CodeJudgeUp, .kind = KeyKind::Region, .hit = {78, 743, 98, 751}},
    {.code = CodeJudgeDown, .kind = KeyKind::Region, .hit = {78, 753, 98, 761}},
}};

// "3C" while the judge mode is every channel, "gray" while it is luma; each
// takes the clicks on its side of the flag whichever is drawn.
const std::array<PanelKey, 2> ModeLabels = {{
    {.code = CodeThreeColours, .x = 2, .y = 191, .width = 30, .english = "3C", .japanese = "３色",
     .kind = KeyKind::Label, .hit = {4, 191, 40, 211}},
    {.code = CodeGray, .x = 62, .y = 191, .width = 30, .english = "gray", .japanese = "濃淡", .kind = KeyKind::Label,
     .hit = {60, 191, 92, 211}},
}};

// The range belts: red, green, blue (shown, explanations only) and luma.
struct RangeBelt {
  int y;
  Rgb fill;
};
constexpr std::array<RangeBelt, 4> RangeBelts = {{
    {217, {226, 200, 200}}, {256, {200, 226, 200}}, {295, {200, 200, 226}}, {334, {190, 190, 190}}}};
constexpr int BeltX = 24;
constexpr int RangeBeltWidth = 52;
constexpr std::array<int, 3> ReadoutY = {241, 280, 319};
constexpr Rgb BeltFrame{160, 160, 160};
constexpr Rgb AppointMark{200, 40, 40};

struct MarkPlace {
  int x, y, colourIndex;
};
constexpr std::array<MarkPlace, 2> ResetMarks = {{{2, 25, 5}, {50, 25, 4}}};

// The keypad, active on this page.
constexpr Keypad PatternKeypad = MakeKeypad({614, {634, 655, 675}, 696, 716, 84});

// The "no window" question, both languages side by side.
struct NoWindowText {
  const char* text;
  const char* title;
};
constexpr std::array<NoWindowText, 2> NoWindowTexts = {{
    {"この画像には窓が設定されていません\n紺色マークでリセットして\n2)3)から やり直してください", "確認"},
    {"There is no window on this image\nPlese reset to L click on dark blue mark\nAnd try again since 2) or 3)",
     "Plese make sure"},
}};

// Comment page and explanations, both languages side by side.
constexpr CommentText Comment{.lines = {{
    {"Pattern [<>] (1) call an image; (2) set a zone;", "型紙化 [<>] (1) 画像を呼び出す; (2) 領域を設定する;"},
    {"    (3) pick colors of the zone on the image; (5) draw the zone; (6) make a pattern (stencil): zone white,",
     "    (3) 画像の上で窓の色を拾う; (5) 窓を描く; (6) 型紙にする: 窓は白,"},
    {"    the rest gray; (7) save it; [ SetKEEP10] [→] KEEP10.bmp and the transfer image for APPEAR;",
     "    残りは灰色; (7) 保存する; [決定KEEP10] [→] KEEP10.bmp と 出現 ページの転送画像;"},
}}};

const std::array<CommentText, 19> Explanations = {{
    {.selector = 1, .colour = ExplainDark, .lines = {{
         {"reset mark [<>] Left click on dark blue mark [→] come back to default; ranges and area too;",
          "リセットマーク [<>] 紺色のマークを左クリック [→] 初期状態にもどる; 範囲と領域も;"},
         {"    Left click on light blue mark [→] switches come back to default; ranges and area stay;",
          "    水色のマークを左クリック [→] スイッチが初期状態にもどる; 範囲と領域はそのまま;"}}}},
    {.selector = 2, .colour = ExplainGreen, .lines = {{
         {"2)Area [<>] Left click (+) drag on the image [→] the zone is limited to the rectangle;",
          "2)領域 [<>] 画像を左クリック (+) ドラッグ [→] 窓はその四角の中に限られる;"},
         {"    drag from upper left to lower right;", "    左上から右下へドラッグする;"}}}},
    {.selector = 3, .colour = ExplainPurple, .lines = {{
         {"／ [<>] next outline color (black, white, cyan, gray, blue, red);",
          "／ [<>] 次の輪郭色 (黒, 白, 水色, 灰色, 青, 赤);"}}}},
    {.selector = 4, .colour = ExplainOlive, .lines = {{
         {"lmt [<>] the area limits the zone; kp, dlt [<>] not on this page;",
          "限 [<>] 領域が窓を限る; 残, 消 [<>] このページでは使わない;"}}}},
    {.selector = 5, .colour = ExplainTeal, .lines = {{
         {"3)Zone [<>] appoint eye on; Left click on the image [→] the color there widens the color range",
          "3)色の窓 [<>] アポイントアイ オン; 画像を左クリック [→] その色が色の範囲を広げる"},
         {"    (minimum and maximum of red, green, blue and gray); Left click again [→] off;",
          "    (赤, 緑, 青, 濃淡の最小と最大); もう一度左クリック [→] オフ;"}}}},
    {.selector = 6, .colour = ExplainBlue, .lines = {{
         {"gray range [<>] diamond switches [→] start or end -8 / +8; belt [→] start or end moves there;",
          "濃淡の範囲 [<>] ダイヤスイッチ [→] 始めか終りを -8 / +8; 帯 [→] 始めか終りがそこへ動く;"},
         {"    value box [→] the calculator changes the minimum or the maximum;",
          "    値の箱 [→] 電卓で最小か最大を変える;"}}}},
    {.selector = 7, .colour = ExplainGrey, .lines = {{
         {"4)zone color [<>] the zone is drawn in white (W);", "4)窓色指定 [<>] 窓は白(白)で描かれる;"}}}},
    {.selector = 8, .colour = ExplainTeal, .lines = {{
         {"5)draw zone [<>] every pixel of the area whose color lies in the range becomes the zone color;",
          "5)窓色描写 [<>] 領域の中で色が範囲にある画素が窓色になる;"},
         {"    gray [→] by the gray range; 3C [→] by the ranges of red, green and blue;",
          "    濃淡 [→] 濃淡の範囲で; ３色 [→] 赤, 緑, 青の範囲で;"}}}},
    {.selector = 9, .colour = ExplainCrimson, .lines = {{
         {"6)Pattern [<>] the zone becomes white and the rest gray (192): a pattern for Transfer and APPEAR;",
          "6)型紙化 [<>] 窓は白, 残りは灰色(192)になる: 転送と出現のための型紙;"},
         {"    Reverse [<>] not on this page;", "    型反転 [<>] このページでは使わない;"}}}},
    {.selector = 10, .colour = ExplainBrown, .lines = {{
         {"(+)soft [<>] a soft pattern; not on this page;", "(+)ゆる型 [<>] ゆるい型紙; このページでは使わない;"}}}},
    {.selector = 11, .colour = ExplainDeepBlue, .lines = {{
         {"7)Set Save [<>] save the image as shown with a name;", "7)決定保存 [<>] 見えている画像を名前をつけて保存する;"}}}},
    {.selector = 12, .colour = ExplainDeepBlue, .lines = {{
         {"SetKEEP10 [<>] save the image as shown to inner memory, KEEP10.bmp and the transfer image 0000trfr.bmp;",
          "決定KEEP10 [<>] 見えている画像を内部メモリー, KEEP10.bmp と転送画像 0000trfr.bmp に保存する;"}}}},
    {.selector = 13, .colour = ExplainOlive, .lines = {{
         {"3)Outline [<>] local contrast; Left click on the image [→] change; Right click [→] fixed;",
          "3)輪郭線 [<>] 局所対照; 画像を左クリック [→] 変化; 右クリック [→] 固定;"},
         {"    Left click again [→] fine, middle, fat outline, off;", "    もう一度左クリック [→] 細, 中, 太の輪郭線, オフ;"}}}},
    {.selector = 14, .colour = ExplainOlive, .lines = {{
         {"3)Outline [<>] fine outline by the judge value;", "3)輪郭線 [<>] 判断値による細い輪郭線;"}}}},
    {.selector = 15, .colour = ExplainOlive, .lines = {{
         {"3)Outline [<>] middle outline by the judge value;", "3)輪郭線 [<>] 判断値による中の輪郭線;"}}}},
    {.selector = 16, .colour = ExplainOlive, .lines = {{
         {"3)Outline [<>] fat outline by the judge value;", "3)輪郭線 [<>] 判断値による太い輪郭線;"}}}},
    {.selector = 17, .colour = ExplainRed, .lines = {{
         {"3C / gray [<>] the zone and the outline judge each color or the gray; flag [→] gray;",
          "３色 / 濃淡 [<>] 窓と輪郭線は各色か濃淡で判断する; 旗 [→] 濃淡;"},
         {"    red, green and blue ranges [<>] shown as the colors are picked;",
          "    赤, 緑, 青の範囲 [<>] 色を拾うと表示される;"}}}},
    {.selector = 18, .colour = ExplainBrown, .lines = {{
         {"soft values [<>] not on this page;", "ゆる型の値 [<>] このページでは使わない;"}}}},
    {.selector = 19, .colour = ExplainGrey, .lines = {{
         {"judge value [<>] 1 ～ 99; diamond switch [→] +2 / -2 with fine, +4 / -4 with middle and fat;",
          "判断値 [<>] 1 ～ 99; ダイヤスイッチ [→] 細で +2 / -2, 中と太で +4 / -4;"},
         {"    smaller [→] more outline;", "    小さいほど [→] 輪郭線が多い;"}}}},
}};

const PageComments Comments{.commentCode = 15,
                            .slot = PagePattern,
                            .hasCalculator = true,
                            .comment = &Comment,
                            .explanations = Explanations};

// The switches that the light reset and the entry put back.
void SwitchesOff() {
  PatternPageState& p = PatternPage;
  p.appointEyeOn = false;
  Calc.on = false;
  p.patternMode = false;
  p.areaSwitch = AreaOff;
  p.zoneOn = false;
  p.outlineOn = false;
  p.lmtIndicator = 0;
  p.zoneColourSwitch = 0;
  p.calculatorTarget = 0;
  Outline.localContrastPoint = ContrastPoint{};
  Outline.judgeMode = JudgeByLuma;
}

void EmptyRanges() {
  PatternPage.range = ZoneRange{};
  PatternPage.appointed = AppointColour{};
}

// The area handed over at the end of a rectangle drag.
void TakeArea(int x1, int y1, int x2, int y2) { PatternPage.area = AreaRect{x1, y1, x2, y2}; }

// x of a value on a 52-pixel range belt.
int BeltX0f(int value) { return BeltX + value * RangeBeltWidth / 256; }

// A range belt: a frame, the range filled, the appointed value marked,
// between its two diamond switches.
void DrawRangeBelt(Surface& screen, const RangeBelt& belt, int low, int high, int appointed, Rgb diamond) {
  DrawDiamondSwitch(screen, 2, belt.y, diamond);
  DrawDiamondSwitch(screen, 78, belt.y, diamond);
  screen.Rectangle(Pen{BeltFrame}, std::nullopt, BeltX, belt.y, BeltX + RangeBeltWidth, belt.y + KeyHeight);
  for (int v = std::max(low, 0); v <= std::min(high, 255); ++v) {
    const int x = BeltX0f(v);
    screen.Line(Pen{belt.fill}, x, belt.y + 1, x, belt.y + KeyHeight - 1);
  }
  const int mark = BeltX0f(std::clamp(appointed, 0, 255));
  screen.Line(Pen{AppointMark}, mark, belt.y + 1, mark, belt.y + KeyHeight - 1);
}

// The belts, the readouts and the judge-mode flag.
void DrawRanges(Surface& screen) {
  const PatternPageState& p = PatternPage;
  const ZoneRange& r = p.range;
  DrawRangeBelt(screen, RangeBelts[0], r.redMin, r.redMax, p.appointed.red, Grey);
  DrawRangeBelt(screen, RangeBelts[1], r.greenMin, r.greenMax, p.appointed.green, Grey);
  DrawRangeBelt(screen, RangeBelts[2], r.blueMin, r.blueMax, p.appointed.blue, Grey);
  DrawRangeBelt(screen, RangeBelts[3], p.beltStart, p.beltEnd, p.appointed.luma, ZoneGreen);
  const std::array<std::array<int, 3>, 3> readouts = {{{r.redMin, p.appointed.red, r.redMax},
                                                        {r.greenMin, p.appointed.green, r.greenMax},
                                                        {r.blueMin, p.appointed.blue, r.blueMax}}};
  for (std::size_t k = 0; k < 3; ++k) {
    char text[48];
    std::snprintf(text, sizeof text, "%3d   %3d   %3d", readouts[k][0], readouts[k][1], readouts[k][2]);
    DrawKeyText(screen, 4, ReadoutY[k], text, PanelText);
  }
  // The flag: three bands for every channel, grey for luma.
  if (Outline.judgeMode == JudgeByEveryChannel) {
    screen.FillRect({226, 220, 220}, 40, 191, 47, 212);
    screen.FillRect({220, 226, 220}, 47, 191, 54, 212);
    screen.FillRect({220, 220, 226}, 54, 191, 61, 212);
  } else {
    screen.FillRect({128, 128, 128}, 40, 191, 61, 212);
  }
}

}  // namespace

void StartPattern() {
  PatternPage = PatternPageState{};
}

// [SECTION] Entry
void EnterPattern() {
  // Kept: the draw-zone switch and the outline width.
  PatternPageState& p = PatternPage;
  SwitchesOff();
  EmptyRanges();
  p.beltEdited = false;
  p.area = AreaRect{};
  Outline.zoneColour = 255;
  Outline.judgeValue = 16;
  p.noWindowFlag = false;
  p.helpItem = 0;
  CommentPanel.request = 15;
}

// [SECTION] Clicks

namespace {

// The keypad: "cal" always toggles; the other keys are live only while the
// calculator is on.
bool KeypadClick() {
  const CalcKey* key = CalcKeyAt(PatternKeypad, MouseX, MouseY);
  if (key == nullptr) return false;
  if (key->code != CalcSwitchCode && !Calc.on) return true;
  return CalculatorClick(PatternKeypad, Calc.on, MouseX, MouseY);
}

// A left press on the picture: an area drag, or the point of the next pick
// and of the local contrast.
bool PictureClick() {
  PatternPageState& p = PatternPage;
  if (!(100 < MouseX && MouseX < Shell.imageWidth + 100 && 33 <= MouseY && MouseY < 800)) return false;
  if (p.areaSwitch == AreaDragging && !PatternPage.drawZoneSwitch && MouseY < Shell.imageHeight + 32) {
    CurrentDragReceivers = DragReceivers{.rectangle = TakeArea};
    StartRectDrag();
    return true;
  }
  MouseX = std::clamp(MouseX, 100, ShownWidth + 100);
  MouseY = std::clamp(MouseY, 32, ShownHeight + 32);
  if (p.outlineOn && p.outlineWidth == NoOutline) {
    const CanvasPixel pixel = PixelUnderPoint(MouseX, MouseY);
    Outline.localContrastPoint = ContrastPoint{pixel.column, pixel.row};
  }
  return true;
}

}  // namespace

// The picture, the panel's rows, the judge-mode labels, then the keypad.
bool PatternClick() {
  PatternPageState& p = PatternPage;
  if (PictureClick()) return true;
  int code = PanelKeyAt(Panel, MouseX, MouseY);
  if (code == NoKey) code = PanelKeyAt(ModeLabels, MouseX, MouseY);
  switch (code) {
    case NoKey: return KeypadClick();
    case CodeTitle: CommentPanel.request = 15; break;
    case CodeDarkReset:
      SwitchesOff();
      EmptyRanges();
      p.beltEdited = false;  // else the belt would put the old luma bounds back
      p.area = AreaRect{};
      Outline.zoneColour = 255;
      Outline.judgeValue = 16;
      p.helpItem = 1;
      break;
    case CodeLightReset:
      SwitchesOff();
      p.helpItem = 1;
      break;
    case CodeGetShadow:
      Requests.openFile = true;
      Requests.getSlot = PagePattern;
      EnterPattern();
      break;
    case CodeArea:
      if (p.areaSwitch == AreaOff) {
        p.areaSwitch = AreaDragging;
        p.calculatorTarget = 0;
        p.lmtIndicator = 3;
        p.helpItem = 2;
      } else {
        p.areaSwitch = AreaOff;
        Calc.on = false;
      }
      break;
    case CodeDragNote: p.helpItem = 2; break;
    case CodeCycleColour:
      CycleOutlineColour();
      p.helpItem = 3;
      break;
    case CodeLimit:
      p.lmtIndicator = 3;
      p.helpItem = 4;
      break;
    case CodeKeep:
    case CodeDelete: p.helpItem = 4; break;
    case CodeZone:
      if (!p.zoneOn && !p.appointEyeOn) {
        p.zoneOn = true;
        p.areaSwitch = AreaKept;
        p.beltEdited = false;
        p.appointEyeOn = true;
        Calc.on = false;
        Outline.zoneColour = 255;
        p.zoneColourSwitch = 3;
        EmptyRanges();
        p.lmtIndicator = 3;
        p.helpItem = 5;
      } else if (p.zoneOn) {
        p.zoneOn = false;
        p.appointEyeOn = false;
        p.areaSwitch = AreaOff;
      }
      break;
    case CodeAppointEye: p.helpItem = 5; break;
    case CodeGrayFlag:
      Outline.judgeMode = JudgeByLuma;
      p.helpItem = 17;
      break;
    case CodeThreeColours:
    case CodeGray:
    case CodeRedBelt:
    case CodeGreenBelt:
    case CodeBlueBelt: p.helpItem = 17; break;
    case CodeLumaStartDown:
      p.beltStart = std::max(p.beltStart - 8, 0);
      p.beltEdited = true;
      p.helpItem = 6;
      break;
    case CodeLumaStartUp:
      p.beltStart = std::min(p.beltStart + 8, p.beltEnd);
      p.beltEdited = true;
      p.helpItem = 6;
      break;
    case CodeLumaBelt: {
      const int v = (MouseX - 24) * 255 / 52;
      if (MouseX < p.appointed.luma * 52 / 256 + 24) {
        p.beltStart = v;
      } else {
        p.beltEnd = v;
      }
      // Without the flag the next paint would put the range's values back.
      p.beltEdited = true;
      p.helpItem = 6;
      break;
    }
    case CodeLumaEndDown:
      p.beltEnd = std::max(p.beltEnd - 8, p.beltStart);
      p.beltEdited = true;
      p.helpItem = 6;
      break;
    case CodeLumaEndUp:
      p.beltEnd = std::min(p.beltEnd + 8, 255);
      p.beltEdited = true;
      p.helpItem = 6;
      break;
    case CodeLumaMin:
    case CodeLumaMax:
      p.calculatorTarget = code == CodeLumaMin ? 1 : 2;
      p.zoneOn = true;
      Calc.on = true;
      p.helpItem = 6;
      break;
    case CodeZoneColourLabel:
    case CodeBlack:
    case CodeZoneColourValue: p.helpItem = 7; break;
    case CodeWhite:
      p.zoneColourSwitch = 3;
      Outline.zoneColour = 255;
      Calc.on = false;
      p.helpItem = 7;
      break;
    case CodeDrawZone:
      if (!PatternPage.drawZoneSwitch) {
        PatternPage.drawZoneSwitch = true;
        p.zoneOn = true;
        p.areaSwitch = AreaDragging;
        p.helpItem = 8;
      } else {
        // The pick goes off with the zone: left on, "3)Zone" would match
        // neither of its states and every click would widen the range.
        PatternPage.drawZoneSwitch = false;
        p.zoneOn = false;
        p.areaSwitch = AreaOff;
        p.appointEyeOn = false;
      }
      break;
    case CodePattern:
      p.patternMode = true;
      p.noWindowShown = false;
      p.helpItem = 9;
      break;
    case CodeReverse: p.helpItem = 9; break;
    case CodeSoft: p.helpItem = 10; break;
    case CodeSoftValues: p.helpItem = 18; break;
    case CodeSetSave:
      Requests.saveAs = true;
      p.helpItem = 11;
      break;
    case CodeSetKeep:
      p.setKeepRequest = true;
      p.helpItem = 12;
      break;
    case CodeOutline:
      // off -> local contrast -> fine -> middle -> fat -> off
      if (!p.outlineOn) {
        p.outlineOn = true;
        p.outlineWidth = NoOutline;
      } else if (p.outlineWidth < FatWidth) {
        ++p.outlineWidth;
      } else {
        p.outlineOn = false;
      }
      p.helpItem = !p.outlineOn ? 13 : 13 + p.outlineWidth;
      break;
    case CodeJudgeValue: p.helpItem = 19; break;
    case CodeJudgeUp:
    case CodeJudgeDown:
      Outline.judgeValue = StepJudgeValue(Outline.judgeValue, p.outlineWidth, code == CodeJudgeUp ? 1 : -1);
      p.outlineOn = true;
      p.helpItem = 19;
      break;
  }
  return true;
}

void PatternRightClick() {
  PatternPageState& p = PatternPage;
  if (p.outlineOn && p.outlineWidth == NoOutline) p.contrastFixRequest = true;
}

// [SECTION] Paint
namespace {

// The page's work as the save dialog names it: none of it is a step.
constexpr BilingualText ZoneWork{"型紙化 5)窓色描写", "Pattern 5)draw zone"};
constexpr BilingualText StencilWork{"型紙化 6)型紙化", "Pattern 6)Pattern"};
constexpr BilingualText PatternOutlineWork{"型紙化 3)輪郭線", "Pattern 3)Outline"};

}  // namespace

void PaintPattern() {
  Surface& screen = Screen();
  PatternPageState& p = PatternPage;
  // 1. The picture into the canvas again; the panel.
  BeginPageSection();
  RefreshOutlineColour();
  AreaPressed = p.areaSwitch != AreaOff;
  DrawPanel(screen, Panel);
  PanelKey cycle = *FindPanelKey(Panel, CodeCycleColour);
  cycle.keyColour = Rgb{static_cast<std::uint8_t>(Outline.outlineColour.red), static_cast<std::uint8_t>(Outline.outlineColour.green),
                        static_cast<std::uint8_t>(Outline.outlineColour.blue)};
  DrawPanelKey(screen, cycle);
  for (const MarkPlace& mark : ResetMarks) DrawResetMark(screen, mark.x, mark.y, ResetMarkUnit, mark.colourIndex);
  DrawDiamondSwitch(screen, 28, 536, Grey);
  DrawDiamondSwitch(screen, 78, 536, Grey);
  DrawUpDownDiamond(screen, 78, 742, Yellow);
  // 2. The appoint eye reads the picture at the last click, only on the
  //    picture itself (a click on a tab or right of the picture reads nothing).
  if (p.appointEyeOn && !Calc.on && PickOnPicture(MouseX, MouseY)) {
    p.appointed = SampleCanvas(Canvas.data(), Stride, MouseX, MouseY);
    WidenZoneRange(p.range, p.appointed);
    if (p.beltEdited) {
      p.beltStart = std::min(p.beltStart, p.appointed.luma);
      p.beltEnd = std::max(p.beltEnd, p.appointed.luma);
    }
  }
  // 3. The calculator on the luma bounds; Get and Restore; the planes in.
  DrawKeypad(screen, PatternKeypad, Calc.on);
  int* target = p.calculatorTarget == 1 ? &p.range.lumaMin : p.calculatorTarget == 2 ? &p.range.lumaMax : nullptr;
  const ZoneRange before = p.range;
  ServeCalculator(screen, PatternKeypad, Calc.on ? target : nullptr);
  if (p.range != before) {
    ZoneRange& r = p.range;
    r.lumaMin = std::clamp(r.lumaMin, 0, 255);
    r.lumaMax = std::clamp(r.lumaMax, 0, 255);
    if (p.calculatorTarget == 1 && r.lumaMin > r.lumaMax) r.lumaMin = r.lumaMax;
    if (p.calculatorTarget == 2 && r.lumaMax < r.lumaMin) r.lumaMax = r.lumaMin;
    // The belt takes the new bounds, so that they are not put back below.
    p.beltStart = r.lumaMin;
    p.beltEnd = r.lumaMax;
  }
  ServeGetAndRestore(PagePattern, false);
  CanvasFromPlanes(Canvas.data(), Stride, CanvasRows);
  // The luma belt and the range exchange their values before the zone is
  // drawn, so that the zone follows the belt at once.
  if (!p.beltEdited) {
    p.beltStart = p.range.lumaMin;
    p.beltEnd = p.range.lumaMax;
  } else {
    p.range.lumaMin = p.beltStart;
    p.range.lumaMax = p.beltEnd;
  }
  // 4. The zone. Nothing this page draws is a step: the save dialog names it.
  SetShownNotAStep(std::nullopt);
  if (PatternPage.drawZoneSwitch) {
    const ZoneSettings zone{p.range, ZoneAreaOf(p.area), p.areaSwitch, Outline.judgeMode, Outline.zoneColour};
    DrawZone(Canvas.data(), Stride, Stride, CanvasRows, zone);
    SetShownNotAStep(ZoneWork);
  }
  // 5. The stencil; its "no window" question once per "6)Pattern" click.
  if (p.patternMode) {
    const int zonePixels = MakePattern(Canvas.data(), Stride, BrushMask, Stride, CanvasRows, {Outline.zoneColour});
    SetShownNotAStep(StencilWork);
    if (NoWindow(zonePixels)) p.noWindowFlag = true;
    if (p.noWindowFlag) {
      p.noWindowFlag = false;
      if (!p.noWindowShown) {
        p.noWindowShown = true;
        const NoWindowText& text = NoWindowTexts[LanguageId == 2 ? 1 : 0];
        CurrentDialogs().ShowMessage(text.text, text.title, MessageButtons::YesNo, MessageIcon::Question);
      }
    }
  }
  // 6. The outline, or the local contrast on the picture with its fix.
  if (p.outlineOn) {
    if (p.outlineWidth == NoOutline) {
      const ContrastPoint point = Outline.localContrastPoint;
      LocalContrastSettings contrast{{point.column, point.row}, PictureArea()};
      if (point.column != 0) {
        ApplyLocalContrast(WorkView(), Canvas.data(), Stride, Stride, CanvasRows, contrast);
        SetShownNotAStep(PatternOutlineWork);
      }
      if (p.contrastFixRequest) {
        contrast.fix = true;
        ApplyLocalContrast(WorkView(), Canvas.data(), Stride, Stride, CanvasRows, contrast);
        NoteNotAStep(PatternOutlineWork);
        p.contrastFixRequest = false;
      }
    } else {
      const OutlineSettings outline{p.outlineWidth, Outline.judgeValue, Outline.judgeMode, Outline.outlineColour};
      PaintOutlinePixels(WorkView(), Canvas.data(), Stride, Stride, CanvasRows, outline);
      SetShownNotAStep(PatternOutlineWork);
    }
  }
  // 7. The canvas shown.
  screen.BlitBottomUp(Canvas.data(), Stride, CanvasRows, 100, 32);
  // 8. " SetKEEP10": KEEP10 and the transfer work file; "7)Set Save".
  const bool keep = p.setKeepRequest;
  ServeSet(PagePattern, p.setKeepRequest);
  if (keep) WriteAppearFile(Canvas.data(), 2, PixelSource::FromCanvas);
  ServeSave();
  // 9. The belts and readouts; "3C" or "gray".
  DrawRanges(screen);
  DrawPanelKey(screen, ModeLabels[Outline.judgeMode == 1 ? 0 : 1]);
  // 10. Tab bar, comments and explanations; "lmt" released.
  DrawTabs();
  ServeComments(screen, Comments, p.helpItem);
  p.lmtIndicator = 0;
}

// [SECTION] Page entry

// The page's state, as the history of changes keeps it.
constexpr std::array<StateBlock, 3> States{StateBlockOf<PatternPage>(), StateBlockOf<SoftValue>(), StateBlockOf<AreaPressed>()};
extern const PageEntry PatternPageEntry{.commentCode = 15,
                                        .start = StartPattern,
                                        .enter = EnterPattern,
                                        .click = PatternClick,
                                        .paint = PaintPattern,
                                        .rightClick = PatternRightClick,
                                        .panels = {Panel, ModeLabels},
    .states = States};
