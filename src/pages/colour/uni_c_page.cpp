// UNI C. page: one colour of the image exchanged for another. Clicks on the
// picture collect a target colour; its grey range marks the pixels to change
// (shown white while the target switch is on); a new colour comes from the
// picture, the bars, the colour chart or the calculator; "all" converts from
// KEEP8 (the image as the page was entered), "set KEEP8" makes the
// conversion the image. The pixel work lives in range_convert.cpp, the chart
// in colour_chart.cpp.
//
// [SECTION] State
// [SECTION] Panel and texts
// [SECTION] Entry
// [SECTION] Clicks
// [SECTION] Paint

#include "pages/colour/uni_c_page.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>

#include "pages/kit/page_entry.h"
#include "pages/kit/page_steps.h"
#include "pages/kit/page_state.h"
#include "pages/kit/step_list.h"
#include "image/bmp_files.h"
#include "image/gray.h"
#include "image/planes.h"
#include "pages/colour/colour_chart.h"
#include "pages/pattern/outline_state.h"
#include "pages/tone/tone_pages.h"
#include "panel/calculator.h"
#include "panel/comments.h"
#include "panel/widgets.h"
#include "platform/surface.h"

// [SECTION] State: the page's block with its start values (uni_c_page.h).
UniCPageState UniCPage;

namespace {

// The grey target mode the page always uses (the shared judge mode).
constexpr int GrayTargetMode = 2;

// Key-word codes of this panel.
enum UniCCode {
  CodeTitle = 1,
  CodeAppoint,
  CodeTarget,
  CodeGray,
  CodeClickImage,
  CodeClickRange,
  CodeReadoutHeading,
  CodeConvert,
  CodeByImage,
  CodeColourMap,
  CodeChart,
  CodeAct,
  CodeWeak,
  CodeMiddle,
  CodeAll,
  CodeSaveLabel,
  CodeRed,
  CodeGreen,
  CodeBlue,
  CodeSetKeep,
  CodeFullReset,    // the dark reset mark
  CodeRestoreKeep,  // the light reset mark
  CodeGrayBar,      // the grey range bar and its arrows
  CodeGrayReadout,  // the grey readout under it
  CodeRedBar,       // the new colour's bars and their arrows
  CodeGreenBar,
  CodeBlueBar,
  CodeMeter,  // the blend meter
};

constexpr Rgb Grey = InactiveText;
constexpr Rgb AppointColour{200, 200, 40};
constexpr Rgb SwitchColour{20, 240, 200};
constexpr Rgb AllColour{20, 200, 240};

// The upper panel, drawn before the image. A row's click region is its key
// box unless it gives its own `hit`; the click handler tests these rows, then
// the lower panel's.
const std::array<PanelKey, 19> UpperPanel = {{
    {.code = CodeTitle, .x = 4, .y = 4, .width = 104, .english = "[UNI C.]", .japanese = "[ 色変換 ]",
     .kind = KeyKind::Label, .fontHeight = LargeFontHeight, .hit = {2, 0, 98, 28}},
    {.code = CodeAppoint, .x = 4, .y = 62, .width = 88, .keyColour = AppointColour, .english = " appoint",
     .japanese = "アポイント", .kind = KeyKind::Switch, .flag = &UniCPage.values.picking},
    {.code = CodeTarget, .x = 4, .y = 88, .width = 68, .keyColour = SwitchColour, .english = "1)target",
     .japanese = "1)対象色", .kind = KeyKind::Switch, .flag = &UniCPage.values.targetOn,
     .hit = {4, 88, 92, 108}},
    {.code = CodeGray, .x = 2, .y = 114, .width = 30, .english = "gray", .japanese = "濃淡", .kind = KeyKind::Label,
     .hit = {0, 114, 98, 134}},
    {.code = CodeClickImage, .x = 2, .y = 138, .width = 88, .english = "LClickImage", .japanese = "画像をクリック",
     .kind = KeyKind::Label, .hit = {0, 134, 98, 166}},
    {.code = CodeClickRange, .x = 2, .y = 151, .width = 88, .english = "→ min, Max", .japanese = "→ min, Max",
     .kind = KeyKind::Label, .hit = NoClick},
    {.code = CodeReadoutHeading, .x = 2, .y = 188, .width = 96, .english = "min appoint Max",
     .japanese = "min appoint Max", .kind = KeyKind::Label, .hit = {2, 166, 98, 278}},
    {.code = CodeConvert, .x = 4, .y = 324, .width = 68, .keyColour = SwitchColour, .english = "2)convert",
     .japanese = "2)変換色", .kind = KeyKind::Switch, .flag = &UniCPage.values.newColourOn,
     .hit = {4, 324, 92, 344}},
    {.code = CodeByImage, .x = 2, .y = 428, .width = 88, .english = "ByImage,Graph", .japanese = "画像, 棒グラフ",
     .kind = KeyKind::Label, .hit = {2, 422, 98, 459}},
    {.code = CodeColourMap, .x = 2, .y = 441, .width = 88, .english = "ColorMap,Cal", .japanese = "色地図, 電卓で",
     .kind = KeyKind::Label, .hit = NoClick},
    {.code = CodeChart, .x = 4, .y = 459, .width = 62, .keyColour = AppointColour, .english = " chart",
     .japanese = "色地図", .kind = KeyKind::Switch, .flag = &UniCPage.values.chartOn},
    {.code = CodeAct, .x = 4, .y = 498, .width = 88, .english = "3)act", .japanese = "3)実行", .kind = KeyKind::Label,
     .hit = {8, 498, 32, 518}},
    {.code = CodeWeak, .x = 8, .y = 518, .width = 24, .keyColour = Grey, .textColour = Grey, .english = "wk",
     .japanese = "弱"},
    {.code = CodeMiddle, .x = 38, .y = 518, .width = 24, .keyColour = Grey, .textColour = Grey, .english = "md",
     .japanese = "中"},
    {.code = CodeAll, .x = 68, .y = 518, .width = 24, .keyColour = AllColour, .english = "all", .japanese = "全"},
    {.code = CodeFullReset, .kind = KeyKind::Region, .hit = {2, 28, 50, 58}},
    {.code = CodeRestoreKeep, .kind = KeyKind::Region, .hit = {50, 28, 98, 58}},
    {.code = CodeGrayBar, .kind = KeyKind::Region, .hit = {2, 278, 98, 298}},
    {.code = CodeGrayReadout, .kind = KeyKind::Region, .hit = {0, 298, 98, 324}},
}};

// The lower panel, drawn after the image: the new colour's value boxes,
// "4)save" and "set KEEP8"; the bars, and the meter the page draws.
const std::array<PanelKey, 9> LowerPanel = {{
    {.code = CodeRed, .x = 2, .y = 354, .width = 22, .keyColour = {255, 200, 200}, .english = "%3d",
     .japanese = "%3d", .kind = KeyKind::ValueBox, .value = &UniCPage.values.newColour.red,
     .state = &UniCPage.values.calculatorChannel, .onValue = UniCChannelRed, .hit = {2, 354, 22, 374}},
    {.code = CodeGreen, .x = 2, .y = 378, .width = 22, .keyColour = {200, 255, 200}, .english = "%3d",
     .japanese = "%3d", .kind = KeyKind::ValueBox, .value = &UniCPage.values.newColour.green,
     .state = &UniCPage.values.calculatorChannel, .onValue = UniCChannelGreen, .hit = {2, 378, 22, 398}},
    {.code = CodeBlue, .x = 2, .y = 402, .width = 22, .keyColour = {200, 200, 255}, .english = "%3d",
     .japanese = "%3d", .kind = KeyKind::ValueBox, .value = &UniCPage.values.newColour.blue,
     .state = &UniCPage.values.calculatorChannel, .onValue = UniCChannelBlue, .hit = {2, 402, 22, 422}},
    {.code = CodeSaveLabel, .x = 4, .y = 577, .width = 88, .english = "4)save", .japanese = "4)保存",
     .kind = KeyKind::Label},
    {.code = CodeSetKeep, .x = 4, .y = 597, .width = 84, .keyColour = SwitchColour, .english = "set KEEP8",
     .japanese = "決定KEEP8", .hit = {4, 597, 92, 617}},
    {.code = CodeRedBar, .kind = KeyKind::Region, .hit = {24, 354, 98, 374}},
    {.code = CodeGreenBar, .kind = KeyKind::Region, .hit = {24, 378, 98, 398}},
    {.code = CodeBlueBar, .kind = KeyKind::Region, .hit = {24, 402, 98, 422}},
    {.code = CodeMeter, .kind = KeyKind::Region, .hit = {8, 544, 92, 564}},
}};

// The bars: the three channel range bars and the grey range bar (all with
// arrows at x 2 and 78), and the three new-colour bars (arrows at 78).
constexpr int BarX = 24, BarWidth = 52;
constexpr Rgb RangeFrame{220, 220, 220};
constexpr Rgb NewColourFrame{192, 192, 192};
constexpr Rgb GrayBarFill{180, 180, 180};
constexpr std::array<int, 3> ChannelRangeBarY = {166, 212, 245};
constexpr std::array<Rgb, 3> ChannelRangeTint = {{{226, 220, 220}, {220, 226, 220}, {220, 220, 226}}};
constexpr std::array<int, 3> ChannelReadoutY = {201, 234, 267};
constexpr int GrayBarY = 278, GrayReadoutY = 300;
constexpr std::array<int, 3> NewColourBarY = {354, 378, 402};
constexpr std::array<Rgb, 3> NewColourTint = {{{255, 200, 200}, {200, 255, 200}, {200, 200, 255}}};
constexpr int TargetSwatchX = 76, TargetSwatchY = 88, NewSwatchX = 76, NewSwatchY = 324, SwatchWidth = 21;
constexpr int ModeSwatchX = 50, ModeSwatchY = 114, ModeSwatchWidth = 24;
constexpr Rgb ModeSwatchGrey{128, 128, 128};
constexpr int MeterX = 8, MeterY = 544, MeterWidth = 84, MeterHeight = 21;
constexpr Rgb MeterFrame{220, 220, 220};
constexpr Rgb MeterMark{64, 64, 64};

struct MarkPlace {
  int x, y, colourIndex;
};
constexpr std::array<MarkPlace, 2> ResetMarks = {{{2, 28, 5}, {50, 28, 4}}};

constexpr Keypad UniCKeypad = MakeKeypad({623, {649, 669, 689}, 709, 729, 84});

// Comment page and explanations, both languages side by side.
constexpr CommentText Comment{.lines = {{
    {"CHANGE [<>] exchange the color of the image to other;", "色変換 [<>] 画像の色を他の色に置き換える;"},
    {"    1)[target] [→] Left click on the image, on each color to change; its gray range shows white;",
     "    1)[対象色] [→] 変えたい色の上で画像を左クリック; その濃淡の範囲が白く示される;"},
    {"    2)[convert] [→] set the new color: Left click on the image, bars, [chart] or calculator;",
     "    2)[変換色] [→] 新しい色を決める: 画像の左クリック, 棒グラフ, [色地図] か電卓;"},
    {"    3)[all] [→] the gray range takes the new color (from the image as it was on entering this page);",
     "    3)[全] [→] 濃淡の範囲が新しい色になる (このページに入った時の画像から);"},
    {"    4)[set KEEP8] [→] convert and save the image as KEEP8.bmp;",
     "    4)[決定KEEP8] [→] 変換して画像を KEEP8.bmp として保存する;"},
}}};

const std::array<CommentText, 12> Explanations = {{
    {.selector = 1, .colour = ExplainDark, .lines = {{
         {"reset mark [<>] switch to come back to default;", "リセットマーク [<>] 初期状態にもどすスイッチ;"},
         {"    blue mark [→] all switches and colors to default, and the image of KEEP8.bmp again;",
          "    青のマーク [→] 全てのスイッチと色が初期状態にもどり, KEEP8.bmp の画像にもどる;"},
         {"    cyan mark [→] only the image of KEEP8.bmp again (the image on entering this page);",
          "    水色のマーク [→] KEEP8.bmp の画像にだけもどる (このページに入った時の画像);"}}}},
    {.selector = 2, .colour = ExplainOlive, .lines = {{
         {"appoint [<>] read pixel color values on the image;", "アポイント [<>] 画像上の画素の色の値を読む;"},
         {"    on [→] each Left click on the image reads the color there;",
          "    オン [→] 画像を左クリックするたびにその色を読む;"}}}},
    {.selector = 3, .colour = ExplainTeal, .lines = {{
         {"[target] [→] Left click on the image; Right flag [<>] target color;",
          "[対象色] [→] 画像を左クリック; 右の旗 [<>] 対象色;"},
         {"    each click adds the color to the target: the min and Max of each color and of gray grow;",
          "    クリックごとに色が対象に加わる: 各色と濃淡の min と Max が広がる;"}}}},
    {.selector = 4, .colour = ExplainGrey, .lines = {{
         {"flag of color condition [<>] set a color condition on target color;",
          "色条件の旗 [<>] 対象色に色の条件を決める;"},
         {"    gray [<>] pixels whose gray lies between min and Max are converted;",
          "    濃淡 [<>] 濃淡が min と Max の間にある画素が変換される;"}}}},
    {.selector = 5, .colour = ExplainBlue, .lines = {{
         {"LClick Image   [<>] Left click on the image;", "画像をクリック [<>] 画像を左クリック;"},
         {"    the colors clicked set min and Max of the target;", "    クリックした色が対象の min と Max を決める;"}}}},
    {.selector = 6, .colour = ExplainPurple, .lines = {{
         {"3 color belts [<>] {show and set} 3 color values;", "3色の帯 [<>] 3色の値を {示し, 決める};"},
         {"    min, appoint (last target color), Max of red, green and blue;",
          "    赤, 緑, 青の min, アポイント (最後の対象色), Max;"}}}},
    {.selector = 7, .colour = ExplainGreen, .lines = {{
         {"gray belt [<>] show and set gray(light and dark) value calculated on 3-color values;",
          "濃淡帯 [<>] 3色の値から計算した濃淡(明暗)の値を示し, 決める;"},
         {"    arrows [→] min or Max by 8; belt [→] the nearer end moves to the click; used by the next [all];",
          "    矢印 [→] min か Max を 8 ずつ; 帯 [→] 近い方の端がクリック位置に動く; 次の [全] で使われる;"}}}},
    {.selector = 8, .colour = ExplainRed, .lines = {{
         {"convert [<>] set convert color by either next 4 ways; ", "変換色 [<>] 次の4つの方法のどれかで変換色を決める;"},
         {"    on [→] Left click on the image: the color there becomes the convert color;",
          "    オン [→] 画像を左クリック: その色が変換色になる;"}}}},
    {.selector = 9, .colour = ExplainBrown, .lines = {{
         {"color value box and bar graph [<>] next (A) (B) ways set convert color; There is other (C) way;",
          "色の値の箱と棒グラフ [<>] 次の (A) (B) で変換色を決める; 他に (C) がある;"},
         {"    (A) bar [→] Left click on the bar or its arrows (8 each); (B) value box [→] the calculator;",
          "    (A) 棒 [→] 棒かその矢印 (8 ずつ) を左クリック; (B) 値の箱 [→] 電卓;"},
         {"    (C) [chart] [→] Left click on the color chart;", "    (C) [色地図] [→] 色地図を左クリック;"}}}},
    {.selector = 10, .colour = ExplainCrimson, .lines = {{
         {"[chart] [→] draw color chart to set convert color;", "[色地図] [→] 変換色を決める色地図を描く;"},
         {"    square [→] red (up) and blue (right); strip below [→] green;",
          "    四角 [→] 赤 (上へ) と青 (右へ); 下の帯 [→] 緑;"}}}},
    {.selector = 11, .colour = ExplainDeepBlue, .lines = {{
         {"[wk][md][all] [<>] [weak][middle][all] [<>] select action modes [→] act to convert color;",
          "[弱][中][全] [<>] [弱][中][全] [<>] 実行の方法を選ぶ [→] 色を変換する;"},
         {"    [all] [→] from KEEP8.bmp, every pixel in the gray range takes the convert color;",
          "    [全] [→] KEEP8.bmp から, 濃淡の範囲の全ての画素が変換色になる;"},
         {"    nothing happens while the target or the convert color is black;",
          "    対象色か変換色が黒の間は何も起きない;"}}}},
    {.selector = 12, .colour = ExplainDeepBlue, .lines = {{
         {"Left click on [set KEEP8] [→] save the image to inner memory ([<>] set), and save as outer file with a "
          "name of KEEP8.bmp;",
          "[決定KEEP8] を左クリック [→] 画像を内部メモリーに保存し ([<>] 決定), KEEP8.bmp の名で外部ファイルに保存する;"},
         {"    the conversion is made first;", "    先に変換が行われる;"}}}},
}};

const PageComments Comments{.commentCode = 8,
                            .slot = PageUniC,
                            .hasCalculator = true,
                            .comment = &Comment,
                            .explanations = Explanations};

// The page-entry values, without the requests (the entry and the dark
// reset mark each add their own).
void ResetUniCValues() {
  const int chartGreen = UniCPage.values.chartGreen;
  const int helpItem = UniCPage.values.helpItem;
  UniCPage.values = UniCSettings{};
  UniCPage.values.chartGreen = chartGreen;
  UniCPage.values.helpItem = helpItem;
  Calc.on = false;
  JudgeLuma();
}

int* NewColourChannel(int channel) {
  switch (channel) {
    case UniCChannelRed: return &UniCPage.values.newColour.red;
    case UniCChannelGreen: return &UniCPage.values.newColour.green;
    case UniCChannelBlue: return &UniCPage.values.newColour.blue;
    default: return nullptr;
  }
}

bool IsBlack(const UniRgb& c) { return c.red == 0 && c.green == 0 && c.blue == 0; }

Rgb ToRgb(const UniRgb& c) {
  return Rgb{static_cast<std::uint8_t>(std::clamp(c.red, 0, 255)), static_cast<std::uint8_t>(std::clamp(c.green, 0, 255)),
             static_cast<std::uint8_t>(std::clamp(c.blue, 0, 255))};
}

}  // namespace

void StartUniC() { UniCPage = {}; }

// [SECTION] Entry
void EnterUniC() {
  ResetUniCValues();
  UniCPage.values.entrySaveRequest = true;  // KEEP8: the image the reset marks and "all" return to
  CommentPanel.request = 8;
}

// [SECTION] Clicks

namespace {

// A click on the grey range or a new-colour bar: a manual edit, which
// switches picking, target, new colour and chart off.
void StartManualEdit() {
  UniCSettings& v = UniCPage.values;
  v.manualEdit = true;
  v.picking = false;
  v.targetOn = false;
  v.newColourOn = false;
  v.chartOn = false;
}

// The keypad: "cal" switches the calculator on (picking off) or off; the
// other keys are live only while the calculator is on.
bool KeypadClick() {
  const CalcKey* key = CalcKeyAt(UniCKeypad, MouseX, MouseY);
  if (key == nullptr) return false;
  if (key->code != CalcSwitchCode && !Calc.on) return true;
  CalculatorClick(UniCKeypad, Calc.on, MouseX, MouseY);
  if (key->code == CalcSwitchCode && Calc.on) UniCPage.values.picking = false;
  return true;
}

// A value box: selected for the calculator (picking off), or deselected.
void ValueBoxClick(int channel) {
  UniCSettings& v = UniCPage.values;
  ToggleValueBox(v.calculatorChannel, channel, Calc.on);
  if (v.calculatorChannel == channel) {
    v.picking = false;
    v.helpItem = 9;
  }
}

// A new-colour bar or its arrows: a manual edit of the channel, which the
// calculator then leaves.
void NewColourBarClick(int channel) {
  UniCSettings& v = UniCPage.values;
  if (ChannelBarClick(MouseX, *NewColourChannel(channel))) {
    StartManualEdit();
    if (v.calculatorChannel == channel) v.calculatorChannel = UniCChannelNone;
  }
  v.helpItem = 9;
}

}  // namespace

// The picture, the upper panel's rows, the lower panel's, then the keypad.
bool UniCClick() {
  // On the picture a click stores the level-line row; the picking reads
  // the mouse position at the paint.
  if (MouseInImage()) {
    PutLevelLine(std::max(0, CanvasRows + 32 - MouseY));
    return true;
  }
  UniCSettings& v = UniCPage.values;
  int code = PanelKeyAt(UpperPanel, MouseX, MouseY);
  if (code == NoKey) code = PanelKeyAt(LowerPanel, MouseX, MouseY);
  switch (code) {
    case NoKey: return KeypadClick();
    case CodeTitle: CommentPanel.request = 8; break;
    case CodeFullReset:
      ResetUniCValues();
      v.readKeepRequest = true;
      v.helpItem = 1;
      break;
    case CodeRestoreKeep:
      v.readKeepRequest = true;
      v.helpItem = 1;
      break;
    case CodeAppoint:
      if (!v.picking) {
        v.picking = true;
        Calc.on = false;
        v.picked = {};
        v.pickedGray = 0;
        v.helpItem = 2;
      } else if (!v.chartOn) {
        v.picking = false;
      }
      break;
    case CodeTarget:
      if (!v.targetOn) {
        v.targetOn = true;
        v.newColourOn = false;
        v.picking = true;
        Calc.on = false;
        v.helpItem = 3;
      } else if (MouseX >= 9) {
        v.targetOn = false;
      }
      break;
    case CodeGray: v.helpItem = 4; break;
    case CodeClickImage: v.helpItem = 5; break;
    case CodeReadoutHeading: v.helpItem = 6; break;
    case CodeGrayBar:
      StartManualEdit();
      GrayBarClick(MouseX, v.lo, v.hi);
      v.helpItem = 7;
      break;
    case CodeGrayReadout: v.helpItem = 7; break;
    case CodeConvert:
      if (!v.newColourOn) {
        v.newColourOn = true;
        v.targetOn = false;
        v.picking = true;
        Calc.on = false;
        v.helpItem = 8;
      } else {
        v.newColourOn = false;
      }
      break;
    case CodeRed: ValueBoxClick(UniCChannelRed); break;
    case CodeGreen: ValueBoxClick(UniCChannelGreen); break;
    case CodeBlue: ValueBoxClick(UniCChannelBlue); break;
    case CodeRedBar: NewColourBarClick(UniCChannelRed); break;
    case CodeGreenBar: NewColourBarClick(UniCChannelGreen); break;
    case CodeBlueBar: NewColourBarClick(UniCChannelBlue); break;
    case CodeByImage: v.helpItem = 9; break;
    case CodeChart:
      if (ToggleSwitch(UpperPanel, code)) {
        v.picking = true;
        Calc.on = false;
        v.helpItem = 10;
      }
      break;
    case CodeAct:
    case CodeWeak:
    case CodeMiddle:
    case CodeMeter: v.helpItem = 11; break;
    case CodeAll:
      v.readKeepRequest = true;
      v.convertRequest = true;
      v.chartOn = false;
      v.helpItem = 11;
      break;
    case CodeSaveLabel: v.helpItem = 12; break;
    case CodeSetKeep:
      v.convertRequest = true;
      v.setKeepRequest = true;
      v.helpItem = 12;
      break;
  }
  return true;
}

// [SECTION] Paint

namespace {

// Picking, at the start of a paint: the colour under the last mouse
// position, from the picture or from the chart, into the target or the new
// colour. Only the picture itself is read; where the chart covers it, the
// chart is what the user sees and what is read.
void TakePick() {
  UniCSettings& v = UniCPage.values;
  const int x = MouseX, y = MouseY;
  const bool underChart = v.chartOn && x >= 100 && x < 356 && y >= 428 && y < 704;
  if (!underChart) {
    UniRgb colour;
    int gray = 0;
    if (PickOnPicture(WorkView(), x, y, colour, gray)) {
      v.picked = colour;
      v.pickedGray = gray;
    }
  }
  if (v.chartOn) {
    const ChartPick pick = TakeChartColour(x, y, v.chartGreen);
    if (pick.kind == ChartPick::Colour) {
      v.picked = {pick.red, pick.green, pick.blue};
      v.pickedGray = RoundedGrayOf(pick.red, pick.green, pick.blue);
    } else if (pick.kind == ChartPick::Green) {
      v.chartGreen = pick.chartGreen;
    }
  }
  if (v.targetOn) {
    v.target = v.picked;
    WidenTargetRanges(v.ranges, v.lo, v.hi, v.picked, v.pickedGray);
  }
  if (v.newColourOn) v.newColour = v.picked;
}

// The calculator on the chosen channel of the new colour; then the channels
// back into 0..255 and the grey range from the channel ranges (rounded).
void ServeUniCalculator(Surface& screen) {
  UniCSettings& v = UniCPage.values;
  const bool live = Calc.on && !v.manualEdit;
  ServeCalculator(screen, UniCKeypad, live ? NewColourChannel(v.calculatorChannel) : nullptr);
  if (!live) return;
  v.newColour.red = std::clamp(v.newColour.red, 0, 255);
  v.newColour.green = std::clamp(v.newColour.green, 0, 255);
  v.newColour.blue = std::clamp(v.newColour.blue, 0, 255);
  GrayRangeOfChannels(v.ranges, true, v.lo, v.hi);
}

// A range bar: the 52 x 20 frame, filled from lo to hi (nothing when lo > hi).
void DrawRangeBar(Surface& screen, int y, int lo, int hi, Rgb fill) {
  screen.Rectangle(Pen{RangeFrame}, std::nullopt, BarX, y, BarX + BarWidth, y + KeyHeight);
  int from = 0, to = 0;
  if (RangeBarSpan(lo, hi, from, to)) {
    for (int x = from; x <= to; ++x) screen.Line(Pen{fill}, x, y + 1, x, y + KeyHeight - 1);
  }
  DrawDiamondSwitch(screen, 2, y, fill);
  DrawDiamondSwitch(screen, 78, y, fill);
}

void DrawReadout(Surface& screen, int y, int a, int b, int c) {
  char text[48];
  std::snprintf(text, sizeof text, "%3d  %3d  %3d", a, b, c);
  DrawKeyText(screen, 2, y, text, PanelText);
}

// The lower panel: target swatch, channel range bars and readouts, grey
// range bar and readout, new-colour swatch and bars, value boxes, "4)save",
// "set KEEP8" and the blend meter.
void DrawLowerPanel(Surface& screen) {
  const UniCSettings& v = UniCPage.values;
  const ChannelRanges& r = v.ranges;
  const UniRgb mean{(r.min[0] + r.max[0]) / 2, (r.min[1] + r.max[1]) / 2, (r.min[2] + r.max[2]) / 2};
  screen.FillRect(ToRgb(mean), TargetSwatchX, TargetSwatchY, TargetSwatchX + SwatchWidth, TargetSwatchY + KeyHeight);
  const std::array<int, 3> targetValue{v.target.red, v.target.green, v.target.blue};
  for (std::size_t k = 0; k < 3; ++k) {
    DrawRangeBar(screen, ChannelRangeBarY[k], r.min[k], r.max[k], ChannelRangeTint[k]);
    DrawReadout(screen, ChannelReadoutY[k], r.min[k], targetValue[k], r.max[k]);
  }
  DrawRangeBar(screen, GrayBarY, v.lo, v.hi, GrayBarFill);
  DrawReadout(screen, GrayReadoutY, v.lo, GrayOf(v.target.red, v.target.green, v.target.blue), v.hi);

  screen.FillRect(ToRgb(v.newColour), NewSwatchX, NewSwatchY, NewSwatchX + SwatchWidth, NewSwatchY + KeyHeight);
  const std::array<int, 3> newValue{v.newColour.red, v.newColour.green, v.newColour.blue};
  for (std::size_t k = 0; k < 3; ++k) {
    const int y = NewColourBarY[k];
    screen.Rectangle(Pen{NewColourFrame}, std::nullopt, BarX, y, BarX + BarWidth, y + KeyHeight);
    const int filled = std::clamp(newValue[k], 0, 255) * BarWidth / 256;
    for (int x = BarX; x < BarX + filled; ++x) screen.Line(Pen{NewColourTint[k]}, x, y + 1, x, y + KeyHeight - 1);
    DrawDiamondSwitch(screen, 78, y, NewColourTint[k]);
  }
  DrawPanel(screen, LowerPanel);

  screen.Rectangle(Pen{MeterFrame, 3}, std::nullopt, MeterX, MeterY, MeterX + MeterWidth, MeterY + MeterHeight);
  const int weights = std::max(1, UniCPage.weightOld + UniCPage.weightNew);
  const int mark = MeterX + MeterWidth * UniCPage.weightNew / weights;
  screen.Line(Pen{MeterMark}, mark, MeterY + 2, mark, MeterY + MeterHeight - 1);
}

}  // namespace

void PaintUniC() {
  Surface& screen = Screen();
  UniCSettings& v = UniCPage.values;
  // 1. The upper panel; picking; the calculator.
  BeginPageSection();
  DrawPanel(screen, UpperPanel);
  for (const MarkPlace& mark : ResetMarks) DrawResetMark(screen, mark.x, mark.y, ResetMarkUnit, mark.colourIndex);
  screen.FillRect(ModeSwatchGrey, ModeSwatchX, ModeSwatchY, ModeSwatchX + ModeSwatchWidth, ModeSwatchY + KeyHeight);
  DrawKeypad(screen, UniCKeypad, Calc.on);
  if (v.picking) TakePick();
  ServeUniCalculator(screen);
  // 2. The entry save, a read of KEEP8, Restore and Get.
  if (v.entrySaveRequest) {
    if (WriteKeepFile(Canvas.data(), PageUniC, PixelSource::FromPlanes)) {
      NoteKeepWritten(PageUniC, PictureFile.path, KeepFileName(PageUniC));
    }
    v.entrySaveRequest = false;
  }
  if (v.readKeepRequest) {
    if (ReadKeepFile(Canvas.data(), PageUniC, PixelTarget::IntoPlanes)) {
      NoteKeepRead(PageUniC, PictureFile.path, KeepFileName(PageUniC));
    }
    v.readKeepRequest = false;
  }
  ServeGetAndRestore(PageUniC, false);
  // 3. - 5. The image into the canvas; a conversion, unless the target or
  //    the new colour is black, on the canvas only.
  CanvasFromPlanes(Canvas.data(), Stride, CanvasRows);
  const bool converting = v.convertRequest && !IsBlack(v.target) && !IsBlack(v.newColour);
  if (converting) {
    UniCPage.weightOld = 0;
    UniCPage.weightNew = 1;
    // Drawn over the picture by the step itself; "set KEEP8" keeps it.
    ShowStep(GrayRangeStep{GrayRangeSettings{v.lo, v.hi, v.newColour}});
  } else {
    SetShownStep(std::nullopt);
  }
  // 6. - 7. The chart and the white preview of the grey range are only
  //    shown: a paint that stores the picture ("set KEEP8", Save) leaves
  //    them out, so what is stored is the image and its conversion.
  const bool storing = v.setKeepRequest || Requests.saveAs;
  if (v.chartOn && !storing) DrawColourChart(Canvas.data(), v.chartGreen);
  if (!converting && !v.chartOn && v.targetOn && !storing) {
    UniCConvertRoutine(WorkView(), Canvas.data(), Stride, Stride, CanvasRows,
                       GrayRangeSettings{v.lo, v.hi, UniRgb{255, 255, 255}});
  }
  // 8. Show; "set KEEP8" makes the conversion the image and KEEP8.
  screen.BlitBottomUp(Canvas.data(), Stride, CanvasRows, 100, 32);
  ServeSet(PageUniC, v.setKeepRequest);
  // 9. The lower panel; unless edited by hand, the grey range follows the
  //    channel ranges of the collected target colours.
  if (!v.manualEdit) GrayRangeOfChannels(v.ranges, false, v.lo, v.hi);
  DrawLowerPanel(screen);
  // 10. "Save".
  ServeSave();
  // 11. The tab bar, the comment or explanation; the requests are served.
  v.convertRequest = false;
  DrawTabs();
  ServeComments(screen, Comments, v.helpItem);
  v.manualEdit = false;
}

// [SECTION] Page entry

// The page's state, as the history of changes keeps it.
constexpr std::array<StateBlock, 1> States{StateBlockOf<UniCPage>()};
extern const PageEntry UniCPageEntry{.commentCode = 8,
                                     .start = StartUniC,
                                     .enter = EnterUniC,
                                     .click = UniCClick,
                                     .paint = PaintUniC,
                                     .panels = {UpperPanel, LowerPanel},
    .states = States};
