// FILTER page: the picture recomputed at every paint from the inner memory
// (InnerPlanes), with the light core, the channel levels that give the Vantor
// Eye its pivot, the colour power and the colour balances; "set KEEP1" stores
// the result. The pixel work lives in colour_power.cpp; this file keeps the
// state, the panel, the clicks and the paint steps.
//
// [SECTION] State
// [SECTION] Panel and texts
// [SECTION] Entry
// [SECTION] Clicks
// [SECTION] Paint

#include "pages/filter/filter_page.h"

#include <algorithm>
#include <array>

#include "pages/kit/page_entry.h"
#include "pages/kit/page_steps.h"
#include "pages/kit/page_state.h"
#include "image/planes.h"
#include "ops/picture_steps.h"
#include "pages/kit/step_list.h"
#include "pages/tone/tone_state.h"
#include "ops/vantor_eye.h"
#include "panel/calculator.h"
#include "panel/comments.h"
#include "panel/widgets.h"
#include "platform/surface.h"

// [SECTION] State: the page's block. FilterSettings holds the start values
// and the ranges.
FilterPageState FilterPage;

namespace {

// Key-word codes of this panel.
enum FilterCode {
  CodeTitle = 1,
  CodeGetImage,
  CodeLightCore,
  CodeSpectrumCore,
  CodeCoreStart,
  CodeCoreTilde,
  CodeCoreEnd,
  CodeCoreAction,
  CodePowerLabel,
  CodePowerValue,
  CodeEachPower,
  CodePowerAction,
  CodeBalanceLabel,
  CodePeach,
  CodeBerry,
  CodeSetKeep,
  CodeStepLabel,
  CodeStepValue,
  CodeDarkReset,   // the dark red reset mark
  CodeLightReset,  // the pink reset mark
  CodePowerDown,   // the colour power diamond, left half
  CodePowerUp,     // and right half
  CodeUpperBar,    // the colour power belt, 0 .. 100
  CodeLowerBar,    // and 100 .. 1000
  CodeStepUp,      // the step diamond, upper half
  CodeStepDown,    // and lower half
};

constexpr Rgb Grey = InactiveText;
constexpr Rgb PowerColour{200, 100, 100};
constexpr Rgb StepColour{220, 220, 100};
constexpr int StepKeyChange = 4;  // the step diamond moves the step by 4

// The panel, row by row. Inactive key words have their text in light grey.
// A row's click region is its key box unless it gives its own `hit`; the
// click handler tests the rows in this order.
const std::array<PanelKey, 26> Panel = {{
    {.code = CodeTitle, .x = 8, .y = 2, .width = 84, .english = "[FILTER]", .japanese = "[フィルタ]",
     .kind = KeyKind::Label, .fontHeight = LargeFontHeight, .hit = {4, 0, 92, 22}},
    {.code = CodeGetImage, .x = 4, .y = 55, .width = 84, .keyColour = {80, 160, 240}, .english = "get image",
     .japanese = "画像呼出", .hit = {4, 55, 92, 75}},
    {.code = CodeLightCore, .x = 4, .y = 85, .width = 88, .textColour = Grey, .english = "light core",
     .japanese = "光　核", .kind = KeyKind::Label, .hit = {4, 81, 98, 179}},
    {.code = CodeSpectrumCore, .x = 72, .y = 81, .width = 26, .keyColour = Grey, .textColour = Grey,
     .english = ">|<", .japanese = ">|<", .kind = KeyKind::Switch, .flag = &FilterPage.values.spectrumCoreOn,
     .hit = NoClick},
    {.code = CodeCoreStart, .x = 4, .y = 133, .width = 32, .keyColour = Grey, .textColour = Grey, .english = "%3d",
     .japanese = "%3d", .kind = KeyKind::ValueBox, .value = &FilterPage.values.lightCoreStart,
     .state = &FilterPage.lightCoreSelection, .onValue = 2, .hit = NoClick},
    {.code = CodeCoreTilde, .x = 40, .y = 133, .width = 20, .textColour = Grey, .english = "～", .japanese = "～",
     .kind = KeyKind::Label, .hit = NoClick},
    {.code = CodeCoreEnd, .x = 62, .y = 133, .width = 32, .keyColour = Grey, .textColour = Grey, .english = "%3d",
     .japanese = "%3d", .kind = KeyKind::ValueBox, .value = &FilterPage.values.lightCoreEnd,
     .state = &FilterPage.lightCoreSelection, .onValue = 3, .hit = NoClick},
    {.code = CodeCoreAction, .x = 4, .y = 159, .width = 88, .keyColour = Grey, .textColour = Grey,
     .english = "　action", .japanese = "　実　行", .hit = NoClick},
    {.code = CodePowerLabel, .x = 4, .y = 185, .width = 84, .english = "color power", .japanese = "色の強弱",
     .kind = KeyKind::Label, .hit = {4, 185, 98, 205}},
    {.code = CodePowerValue, .x = 30, .y = 205, .width = 44, .keyColour = PowerColour, .english = "%4d",
     .japanese = "%4d", .kind = KeyKind::ValueBox, .value = &FilterPage.values.colourPower,
     .state = &FilterPage.calculatorTarget, .onValue = FilterTargetColourPower},
    {.code = CodeEachPower, .x = 6, .y = 271, .width = 84, .textColour = Grey, .english = "each power",
     .japanese = "各色の強弱", .kind = KeyKind::Label, .hit = {4, 271, 98, 363}},
    {.code = CodePowerAction, .x = 4, .y = 369, .width = 84, .keyColour = PowerColour, .english = "  action",
     .japanese = "　実　行", .kind = KeyKind::Switch, .flag = &FilterPage.values.colourPowerOn,
     .turnsOff = {&FilterPage.values.peachOn, &FilterPage.values.berryOn}, .hit = {4, 367, 92, 387}},
    {.code = CodeBalanceLabel, .x = 4, .y = 407, .width = 94, .english = "color balance",
     .japanese = "色バランス回復", .kind = KeyKind::Label, .hit = {4, 407, 98, 473}},
    {.code = CodePeach, .x = 4, .y = 427, .width = 84, .keyColour = Grey, .textColour = Grey, .english = " peach",
     .japanese = "ピーチ", .hit = NoClick},
    {.code = CodeBerry, .x = 4, .y = 453, .width = 84, .keyColour = Grey, .textColour = Grey, .english = " berry",
     .japanese = "ベリー", .hit = NoClick},
    {.code = CodeSetKeep, .x = 4, .y = 479, .width = 84, .keyColour = {0, 220, 220}, .english = "set KEEP1",
     .japanese = "決定 KEEP1", .hit = {4, 479, 92, 499}},
    {.code = CodeStepLabel, .x = 26, .y = 661, .width = 72, .english = "step", .japanese = "の飛び値",
     .kind = KeyKind::Label, .hit = {4, 661, 98, 681}},
    {.code = CodeStepValue, .x = 30, .y = 681, .width = 44, .keyColour = StepColour, .english = " %2d",
     .japanese = " %2d", .kind = KeyKind::ValueBox, .value = &FilterPage.values.diamondStep,
     .state = &FilterPage.calculatorTarget, .onValue = FilterTargetStep},
    // What the page draws itself: the reset marks, the diamond halves and the
    // colour power belt (the keypad is tested key by key after the rows).
    {.code = CodeDarkReset, .kind = KeyKind::Region, .hit = {2, 22, 50, 52}},
    {.code = CodeLightReset, .kind = KeyKind::Region, .hit = {50, 22, 98, 52}},
    {.code = CodePowerDown, .kind = KeyKind::Region, .hit = {78, 205, 88, 225}},
    {.code = CodePowerUp, .kind = KeyKind::Region, .hit = {88, 205, 98, 225}},
    {.code = CodeUpperBar, .kind = KeyKind::Region, .hit = {2, 238, 98, 248}},
    {.code = CodeLowerBar, .kind = KeyKind::Region, .hit = {2, 248, 98, 258}},
    {.code = CodeStepUp, .kind = KeyKind::Region, .hit = {78, 681, 98, 691}},
    {.code = CodeStepDown, .kind = KeyKind::Region, .hit = {79, 692, 98, 701}},
}};

// The diamonds, belts and bars beside the key words.
struct DiamondPlace {
  int x, y;
  Rgb colour;
  bool stacked;  // the up-down type
};
constexpr std::array<DiamondPlace, 4> Diamonds = {{
    {2, 107, Grey, false},          // light core start (f)
    {78, 107, Grey, false},         // light core end (t)
    {78, 205, PowerColour, false},  // colour power
    {78, 681, StepColour, true},    // step
}};

constexpr int CoreBeltLeft = 24;  // the centre belt of the light core, 52 wide
constexpr int CoreBeltTop = 107;
constexpr int CoreBeltWidth = 52;
constexpr Rgb CoreMarkerColour{160, 160, 160};

// The colour power scale: the upper strip 0 .. 100 and the lower strip
// 100 .. 1000 of one double belt (the rows the bar clicks take), with the
// labels of the upper range above it and those of the lower range below.
constexpr BeltRange UpperPowerRange{0, 100};
constexpr BeltRange LowerPowerRange{100, 1000};
constexpr int UpperPowerStrip = 238;
constexpr int LowerPowerStrip = 248;
constexpr Rgb ScaleFrame{150, 150, 150};
struct ScaleLabel {
  int x, y;
  const char* text;
};
constexpr std::array<ScaleLabel, 6> ScaleLabels = {{
    {2, 228, "1"}, {43, 228, "50"}, {81, 228, "100"}, {2, 258, "100"}, {41, 258, "500"}, {76, 258, "1000"},
}};

// The each-colour powers: double belts of red, green and blue.
struct EachPowerBelt {
  int y;
  int ChannelPowers::*power;
  Rgb fill;
};
constexpr std::array<EachPowerBelt, 3> EachPowerBelts = {{
    {291, &ChannelPowers::red, {200, 100, 100}},
    {317, &ChannelPowers::green, {100, 200, 100}},
    {343, &ChannelPowers::blue, {100, 100, 200}},
}};

struct MarkPlace {
  int x, y, colourIndex;
};
constexpr std::array<MarkPlace, 2> ResetMarks = {{{2, 22, 2}, {52, 22, 9}}};  // dark red, pink

// Comment page and explanations, both languages side by side.
constexpr CommentText Comment{.lines = {{
    {"FILTER [<>] (A)call a image;", "フィルタ [<>] (A)画像を呼び出す;"},
    {"    (B)[color power] [→] set the value (+) [  action] [→] the color power acts on the image;",
     "    (B)[色の強弱] [→] 値を決める (+) [　実　行] [→] 色の強弱が画像に働く;"},
    {"    (C)[set KEEP1] [→] save the image with a name of KEEP1.bmp;",
     "    (C)[決定 KEEP1] [→] 画像を KEEP1.bmp の名で保存する;"},
}}};

const std::array<CommentText, 8> Explanations = {{
    {.selector = 1, .colour = ExplainBlue, .lines = {{
         {"light core [<>] color value 0～255; dark core(0<<), spectrum core(0<a<255, start(t)=a, end(t)=a+1, "
          "light core(>>255), ...;",
          "光　核 [<>] 色の値 0～255; 暗い核(0<<), スペクトル核(0<a<255, 始め(t)=a, 終り(t)=a+1, "
          "明るい核(>>255), ...;"},
         {"    [>|<] [<>] spectrum core switch; start (f) and end (t) come together at their middle;",
          "    [>|<] [<>] スペクトル核スイッチ; 始め(f)と終り(t)がその中央に寄る;"},
         {"    center belt switch [<>] (f) or (t) nearer to the click position moves there;",
          "    中央帯スイッチ [<>] クリック位置に近い方の(f)か(t)がそこへ動く;"},
         {"    diamond switches [<>] fine control about (f) or (t) of light core;",
          "    ダイヤスイッチ [<>] 光核の(f)か(t)を細かく動かす;"}}}},
    {.selector = 2, .colour = ExplainRed, .lines = {{
         {"color power [<>] (all of red, green, & blue) 100 as standerd, change in 1",
          "色の強弱 [<>] (赤, 緑, 青 すべて) 100 が標準, 変化は 1"},
         {"    ～ 1000; upper bar [<>] 1 ～ 100, lower bar [<>] 100 ～ 1000; diamond switch [<>] by the step;",
          "    ～ 1000; 上の帯 [<>] 1 ～ 100, 下の帯 [<>] 100 ～ 1000; ダイヤスイッチ [<>] 飛び値ずつ;"},
         {"    value box [→] the calculator changes the value; [  action] [→] the color power acts on the image;",
          "    値の箱 [→] 電卓で値を変える; [　実　行] [→] 色の強弱が画像に働く;"}}}},
    {.selector = 3, .colour = ExplainGreen, .lines = {{
         {"color balance [<>] restore color unbalanced image to balanced one;",
          "色バランス回復 [<>] 色のかたよった画像をバランスのとれた画像にもどす;"},
         {"    peach [<>] correct the color unbalance strongly;", "    ピーチ [<>] 色のかたよりを強く直す;"},
         {"    berry [<>] correct the color unbalance softly;", "    ベリー [<>] 色のかたよりを弱く直す;"}}}},
    {.selector = 4, .colour = ExplainPurple, .lines = {{
         {"each color power [<>] each other on red, green, & blue, 100 as standerd, change in 1",
          "各色の強弱 [<>] 赤, 緑, 青 それぞれ, 100 が標準, 変化は 1"},
         {"    ～ 1000; color power [<>] 0.299 red + 0.587 green + 0.114 blue of them;",
          "    ～ 1000; 色の強弱 [<>] それらの 0.299 赤 + 0.587 緑 + 0.114 青;"}}}},
    {.selector = 5, .colour = ExplainTeal, .lines = {{
         {"[action] [<>] common switch of color power & each color power;",
          "[実行] [<>] 色の強弱と各色の強弱の共通スイッチ;"},
         {"    on [→] the color power acts on the image in inner memory; off [→] the image as it is;",
          "    オン [→] 色の強弱が内部メモリーの画像に働く; オフ [→] 画像はそのまま;"}}}},
    {.selector = 6, .colour = ExplainOlive, .lines = {{
         {"step [<>] step value of diamond switch on fine control about (f) or (t) of light core;",
          "飛び値 [<>] 光核の(f)か(t)を細かく動かすダイヤスイッチの飛び値;"},
         {"    upper half [→] +4, lower half [→] -4; 2 ～ 98; value box [→] the calculator changes the step;",
          "    上半分 [→] +4, 下半分 [→] -4; 2 ～ 98; 値の箱 [→] 電卓で飛び値を変える;"}}}},
    {.selector = 7, .colour = ExplainDark, .lines = {{
         {"reset mark [<>] Left click on dark red mark [→] come back to default",
          "リセットマーク [<>] 暗い赤のマークを左クリック [→] 初期状態にもどる"},
         {"    Left click on pink mark [→] switches come back to default; values stay;",
          "    桃色のマークを左クリック [→] スイッチが初期状態にもどる; 値はそのまま;"}}}},
    {.selector = 8, .colour = ExplainDeepBlue, .lines = {{
         {"Left click on [set KEEP1] [→] save the image to inner memory ([<>] set), and save as outer file with "
          "a name of KEEP1.bmp;",
          "[決定 KEEP1] を左クリック [→] 画像を内部メモリーに保存し ([<>] 決定), KEEP1.bmp の名で外部ファイルに"
          "保存する;"}}}},
}};

const PageComments Comments{.commentCode = 1,
                            .slot = PageFilter,
                            .hasCalculator = true,
                            .comment = &Comment,
                            .explanations = Explanations};

// Everything the entry routine and the dark reset mark put back.
// The values entering the page writes back: all but the keep request and
// the explanation shown.
void StartFilterValues() {
  const FilterPageState start;
  FilterPage.values = start.values;
  FilterPage.calculatorTarget = start.calculatorTarget;
  FilterPage.lightCoreSelection = start.lightCoreSelection;
  Calc.on = false;
}

// The value the calculator changes: f, t, the colour power or the step.
int* CalculatorValue() {
  if (FilterPage.lightCoreSelection == LightCoreFromEdited) return &FilterPage.values.lightCoreStart;
  if (FilterPage.lightCoreSelection == LightCoreToEdited) return &FilterPage.values.lightCoreEnd;
  if (FilterPage.calculatorTarget == FilterTargetColourPower) return &FilterPage.values.colourPower;
  if (FilterPage.calculatorTarget == FilterTargetStep) return &FilterPage.values.diamondStep;
  return nullptr;
}

// Selecting a value box (colour power or step) for the calculator: on, it
// deselects the others and turns the calculator on; off, the calculator too.
void ToggleTarget(int target) {
  if (FilterPage.calculatorTarget == target) {
    FilterPage.calculatorTarget = FilterTargetNone;
    Calc.on = false;
  } else {
    FilterPage.calculatorTarget = target;
    FilterPage.lightCoreSelection = LightCoreOff;
    Calc.on = true;
  }
}


// The light-core belt with its marker, the colour power scale and the
// each-colour power belts.
void DrawScales(Surface& screen, int markerX) {
  for (const DiamondPlace& d : Diamonds) {
    if (d.stacked) {
      DrawUpDownDiamond(screen, d.x, d.y, d.colour);
    } else {
      DrawDiamondSwitch(screen, d.x, d.y, d.colour);
    }
  }
  screen.Rectangle(Pen{Grey}, std::nullopt, CoreBeltLeft, CoreBeltTop, CoreBeltLeft + CoreBeltWidth,
                   CoreBeltTop + KeyHeight);
  screen.Line(Pen{CoreMarkerColour}, markerX, CoreBeltTop + 1, markerX, CoreBeltTop + KeyHeight - 1);

  const int power = FilterPage.values.colourPower;
  DrawBeltBar(screen, BeltLeft, UpperPowerStrip, BeltLength, BeltHeight, BeltFill(power, UpperPowerRange),
              ScaleFrame, PowerColour);
  DrawBeltBar(screen, BeltLeft, LowerPowerStrip, BeltLength, BeltHeight,
              power > 100 ? BeltFill(power, LowerPowerRange) : 0, ScaleFrame, PowerColour);
  for (const ScaleLabel& label : ScaleLabels) DrawKeyText(screen, label.x - 2, label.y, label.text, PanelText);

  for (const EachPowerBelt& belt : EachPowerBelts) {
    const int p = FilterPage.values.channelPower.*belt.power;
    DrawBeltBar(screen, BeltLeft, belt.y, BeltLength, BeltHeight, BeltFill(p, UpperPowerRange), ScaleFrame,
                belt.fill);
    DrawBeltBar(screen, BeltLeft, belt.y + BeltHeight, BeltLength, BeltHeight,
                p >= 100 ? BeltFill(p, LowerPowerRange) : 0, ScaleFrame, belt.fill);
  }
}

}  // namespace

void StartFilter() {
  FilterPage = {};
  Calc.on = false;
}

void ResetLightCoreAndColourPower() {
  const FilterSettings start;
  FilterPage.values.lightCoreStart = start.lightCoreStart;
  FilterPage.values.lightCoreEnd = start.lightCoreEnd;
  FilterPage.values.colourPowerOn = start.colourPowerOn;
  FilterPage.values.colourPower = start.colourPower;
}

// [SECTION] Entry
void EnterFilter() {
  StartFromInner();  // each paint starts again from the inner memory
  StartFilterValues();
  Shell.newImageFlag = 1;
  FilterPage.helpItem = 0;
  CommentPanel.request = 1;
}

// [SECTION] Clicks

namespace {

// The keypad: "cal" always toggles; the other keys are live only while the
// calculator is on (a click on them otherwise is taken and does nothing).
bool KeypadClick() {
  const CalcKey* key = CalcKeyAt(FilterKeypad, MouseX, MouseY);
  if (key == nullptr) return false;
  if (key->code != CalcSwitchCode && !Calc.on) return true;
  return CalculatorClick(FilterKeypad, Calc.on, MouseX, MouseY);
}

}  // namespace

bool FilterClick() {
  FilterSettings& v = FilterPage.values;
  const int code = PanelKeyAt(Panel, MouseX, MouseY);
  switch (code) {
    case NoKey: return KeypadClick();
    case CodeTitle: CommentPanel.request = 1; break;
    case CodeDarkReset:
      StartFilterValues();
      FilterPage.helpItem = 7;
      break;
    case CodeLightReset:
      FilterPage.lightCoreSelection = LightCoreOff;
      FilterPage.calculatorTarget = FilterTargetNone;
      v.colourPowerOn = false;
      v.channelPowerMode = 0;
      v.peachOn = false;
      v.berryOn = false;
      Calc.on = false;
      FilterPage.helpItem = 7;
      break;
    case CodeGetImage:
      Requests.openFile = true;
      Requests.getSlot = PageFilter;
      break;
    case CodeLightCore: FilterPage.helpItem = 1; break;
    case CodePowerLabel: FilterPage.helpItem = 2; break;
    case CodePowerValue:
      ToggleTarget(FilterTargetColourPower);
      FilterPage.helpItem = 2;
      break;
    case CodePowerDown:
      v.colourPower = std::max(LowestColourPower, v.colourPower - v.diamondStep);
      FilterPage.helpItem = 2;
      break;
    case CodePowerUp:
      v.colourPower = std::min(HighestColourPower, v.colourPower + v.diamondStep);
      FilterPage.helpItem = 2;
      break;
    case CodeUpperBar:
    case CodeLowerBar:
      v.channelPowerMode = 0;
      v.colourPower = BeltValue(MouseX, code == CodeUpperBar ? UpperPowerRange : LowerPowerRange);
      FilterPage.helpItem = 2;
      break;
    case CodeEachPower: FilterPage.helpItem = 4; break;
    case CodePowerAction:
      ToggleSwitch(Panel, code);
      FilterPage.helpItem = 5;
      break;
    case CodeBalanceLabel: FilterPage.helpItem = 3; break;
    case CodeSetKeep:
      FilterPage.setKeepRequest = true;
      FilterPage.helpItem = 8;
      break;
    case CodeStepLabel: FilterPage.helpItem = 6; break;
    case CodeStepValue:
      ToggleTarget(FilterTargetStep);
      FilterPage.helpItem = 6;
      break;
    case CodeStepUp:
      v.diamondStep = std::min(HighestDiamondStep, v.diamondStep + StepKeyChange);
      FilterPage.helpItem = 6;
      break;
    case CodeStepDown:
      v.diamondStep = std::max(LowestDiamondStep, v.diamondStep - StepKeyChange);
      FilterPage.helpItem = 6;
      break;
    default: break;
  }
  return true;
}

// [SECTION] Paint
void PaintFilter() {
  Surface& screen = Screen();
  FilterSettings& v = FilterPage.values;
  // 1. The picture into the canvas; Get and Restore read KEEP1 into both
  //    plane sets, so the page starts again from the image read.
  BeginPageSection();
  ServeGetAndRestore(PageFilter, true);
  // 2. Start again from the inner memory.
  RestoreFromInner(Stride, CanvasRows);
  // 3. The reset marks and the keypad; the calculator applies its entry.
  for (const MarkPlace& mark : ResetMarks) DrawResetMark(screen, mark.x, mark.y, ResetMarkUnit, mark.colourIndex);
  DrawKeypad(screen, FilterKeypad, Calc.on);
  ServeCalculator(screen, FilterKeypad, Calc.on ? CalculatorValue() : nullptr);
  // 4. - 6. The values back into their ranges, the spectrum core, the marker.
  ClampFilterSettings(v);
  CollapseSpectrumCore(v);
  const int markerX = LightCoreMarkerX(v.lightCoreStart, v.lightCoreEnd);
  // 7. - 9. The page's work as one step, run on the planes: the light core
  //    when selected, the colour power and the colour balances (each from
  //    the levels of the picture as it stands); the levels found last are
  //    the Vantor Eye's reference colour.
  if (v.colourPowerOn && v.channelPowerMode != 0) v.colourPower = CommonPowerOfChannels(v.channelPower);
  const bool lightCore = FilterPage.lightCoreSelection == LightCoreApplied;
  const FilterStep step{.settings = v, .lightCore = lightCore};
  TakeChannelLevels(ApplyFilterStep(step, WorkView(), Stride, CanvasRows));
  // The key words, with the values as this paint left them. They go before
  // the image: the shadow of ">|<" reaches x 100, where the image covers it.
  DrawPanel(screen, Panel);
  // 10. - 11. Show the result; "set KEEP1" stores it as shown.
  ShowPlanes();
  // What the page shows: the step it ran, to be run again on the whole picture.
  if (lightCore || v.colourPowerOn || v.peachOn || v.berryOn) {
    SetPageStep(step);
  } else {
    SetPageStep(std::nullopt);
  }
  ServeSet(PageFilter, FilterPage.setKeepRequest);
  // 12. Belts, bars, scale labels, "color balance" and "set KEEP1" again,
  //     the tab bar, the comment or explanation, and "Save".
  DrawScales(screen, markerX);
  for (const int code : {CodeBalanceLabel, CodeSetKeep}) DrawPanelKey(screen, *FindPanelKey(Panel, code));
  DrawTabs();
  ServeComments(screen, Comments, FilterPage.helpItem);
  ServeSave();
}

// [SECTION] Page entry

// The page's state, as the history of changes keeps it.
constexpr std::array<StateBlock, 1> States{StateBlockOf<FilterPage>()};
extern const PageEntry FilterPageEntry{.commentCode = 1,
                                       .start = StartFilter,
                                       .enter = EnterFilter,
                                       .click = FilterClick,
                                       .paint = PaintFilter,
                                       .panels = {Panel},
    .states = States};
