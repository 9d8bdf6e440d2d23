// Outline page: outlines drawn over the picture by the fine detector under
// the judge value, local contrast pushed around a clicked point and fixed
// with a right click, the pressure brush (its disc shrinks with the speed of
// the strokes) fixed with a right click or cleared, and "set KEEP9" / Save,
// which store the canvas as shown. The pixel work lives beside this file
// (outline_detect, local_contrast, brush); this file keeps the state, the
// panel, the clicks and the paint steps.
//
// [SECTION] State
// [SECTION] Panel and texts
// [SECTION] Entry
// [SECTION] Clicks
// [SECTION] Paint

#include <algorithm>
#include <array>

#include "pages/kit/gestures.h"
#include "pages/kit/page_entry.h"
#include "pages/kit/page_steps.h"
#include "pages/kit/page_state.h"
#include "pages/kit/step_list.h"
#include "image/planes.h"
#include "pages/pattern/brush.h"
#include "ops/local_contrast.h"
#include "ops/outline_detect.h"
#include "pages/pattern/outline_page.h"
#include "pages/pattern/outline_state.h"
#include "panel/calculator.h"
#include "panel/comments.h"
#include "panel/widgets.h"
#include "platform/surface.h"
#include "platform/window.h"

// [SECTION] State: the page's block with its start values.
OutlinePageState OutlinePage;

namespace {

// Key-word codes of this panel.
enum OutlineCode {
  CodeTitle = 1,
  CodeGetImage,
  CodeLocalContrast,
  CodeChangeNote,
  CodeFixNote,
  CodeOutline,
  CodeFine,
  CodeMiddle,
  CodeFat,
  CodeClear,
  CodeJudgeLabel,
  CodeJudgeValue,
  CodeBrush,
  CodeBrushFine,
  CodeBrushMiddle,
  CodeBrushFat,
  CodeBrushClear,
  CodeBrushNote1,
  CodeBrushNote2,
  CodeBrushNote3,
  CodeOutlineColour,
  CodeCycleColour,
  CodeSetColour,
  CodeSave,
  CodeSetKeep,
  CodeSetRed,
  CodeSetGreen,
  CodeSetBlue,
  CodeDarkReset,  // the reset marks
  CodeLightReset,
  CodeSetSwatch,    // the set colour's swatch right of "set C"
  CodeColourBelts,  // the set colour's belts and value boxes
  CodeKeypad,       // the keypad, grey and inert here
};

constexpr Rgb Grey = InactiveText;
constexpr Rgb Yellow{240, 240, 20};
constexpr Rgb BrushGreen{200, 240, 110};
constexpr Rgb NoteBlue{0, 0, 128};
constexpr Rgb NoteRed{128, 0, 0};

// The key words, row by row. A row's click region is its key box unless it
// gives its own `hit`; the click handler tests these rows, then the notes'.
const std::array<PanelKey, 26> Panel = {{
    {.code = CodeTitle, .x = 2, .y = 4, .width = 94, .english = "[Pattern]", .japanese = "[ 輪郭線 ]",
     .kind = KeyKind::Label, .fontHeight = LargeFontHeight, .hit = {4, 0, 92, 25}},
    {.code = CodeGetImage, .x = 2, .y = 66, .width = 94, .keyColour = {80, 160, 240}, .english = "Get Image",
     .japanese = "1)画像呼出", .hit = {2, 66, 98, 86}},
    {.code = CodeLocalContrast, .x = 2, .y = 92, .width = 94, .keyColour = {160, 160, 160},
     .english = "2)L Contrast", .japanese = "2)局所対照", .kind = KeyKind::Switch,
     .flag = &OutlinePage.localContrastOn,
     .turnsOff = {&OutlinePage.outlineOn, &OutlinePage.brushOn}, .hit = {2, 92, 98, 112}},
    {.code = CodeOutline, .x = 2, .y = 157, .width = 94, .keyColour = Yellow, .english = "3)Outline",
     .japanese = "3)輪郭線", .kind = KeyKind::Switch, .flag = &OutlinePage.outlineOn,
     .turnsOff = {&OutlinePage.localContrastOn, &OutlinePage.brushOn}, .hit = {2, 157, 98, 177}},
    {.code = CodeFine, .x = 2, .y = 183, .width = 45, .keyColour = Yellow, .english = "fine", .japanese = "細",
     .kind = KeyKind::Switch, .state = &OutlinePage.outlineWidth, .onValue = FineWidth},
    {.code = CodeMiddle, .x = 53, .y = 183, .width = 45, .keyColour = Grey, .textColour = Grey, .english = "middle",
     .japanese = "中"},
    {.code = CodeFat, .x = 2, .y = 209, .width = 45, .keyColour = Grey, .textColour = Grey, .english = "fat",
     .japanese = "太"},
    {.code = CodeClear, .x = 53, .y = 209, .width = 45, .keyColour = Yellow, .english = "clear", .japanese = "消去"},
    {.code = CodeJudgeLabel, .x = 2, .y = 235, .width = 94, .keyColour = White, .textColour = Grey,
     .english = "judge value", .japanese = "輪郭線判断値", .hit = {2, 235, 98, 281}},
    {.code = CodeJudgeValue, .x = 2, .y = 261, .width = 70, .keyColour = Grey, .textColour = Grey, .english = "%2d",
     .japanese = "%2d", .value = &Outline.judgeValue, .hit = NoClick},
    {.code = CodeBrush, .x = 2, .y = 300, .width = 94, .keyColour = BrushGreen, .english = "4)Brush",
     .japanese = "4)筆", .kind = KeyKind::Switch, .flag = &OutlinePage.brushOn,
     .turnsOff = {&OutlinePage.localContrastOn, &OutlinePage.outlineOn}, .hit = {2, 300, 98, 320}},
    {.code = CodeBrushFine, .x = 2, .y = 326, .width = 45, .keyColour = Grey, .textColour = Grey,
     .english = "fine", .japanese = "細"},
    {.code = CodeBrushMiddle, .x = 53, .y = 326, .width = 45, .keyColour = Grey, .textColour = Grey,
     .english = "middle", .japanese = "中"},
    {.code = CodeBrushFat, .x = 2, .y = 352, .width = 45, .keyColour = BrushGreen, .english = "fat",
     .japanese = "太", .kind = KeyKind::Switch, .state = &OutlinePage.brushWidth, .onValue = FatWidth},
    {.code = CodeBrushClear, .x = 53, .y = 352, .width = 45, .keyColour = BrushGreen, .english = "clear",
     .japanese = "消去"},
    {.code = CodeOutlineColour, .x = 2, .y = 425, .width = 64, .keyColour = BrushGreen, .english = "outlineC",
     .japanese = "輪郭色", .kind = KeyKind::Switch, .state = &OutlinePage.brushColourSource, .onValue = BrushOutlineColour},
    {.code = CodeCycleColour, .x = 72, .y = 425, .width = 20, .english = "／", .japanese = "／"},
    {.code = CodeSetColour, .x = 2, .y = 451, .width = 64, .keyColour = Grey, .textColour = Grey,
     .english = "set C", .japanese = "指定色", .kind = KeyKind::Switch, .state = &OutlinePage.brushColourSource,
     .onValue = BrushSetColour},
    {.code = CodeSave, .x = 2, .y = 554, .width = 94, .keyColour = {240, 200, 220}, .english = "5)Save",
     .japanese = "5)保存", .hit = {2, 554, 98, 574}},
    {.code = CodeSetKeep, .x = 2, .y = 574, .width = 94, .keyColour = {20, 240, 200}, .english = "set KEEP9",
     .japanese = "決定KEEP9", .hit = {2, 574, 98, 594}},
    {.code = CodeSetRed, .x = 78, .y = 477, .width = 20, .keyColour = Grey, .textColour = Grey, .english = "%3d",
     .japanese = "%3d", .value = &OutlinePage.setColour.red, .hit = NoClick},
    {.code = CodeDarkReset, .kind = KeyKind::Region, .hit = {2, 25, 50, 56}},
    {.code = CodeLightReset, .kind = KeyKind::Region, .hit = {50, 25, 98, 56}},
    {.code = CodeSetSwatch, .kind = KeyKind::Region, .hit = {78, 451, 98, 471}},
    {.code = CodeColourBelts, .kind = KeyKind::Region, .hit = {2, 477, 98, 541}},
    {.code = CodeKeypad, .kind = KeyKind::Region, .hit = {8, 614, 92, 736}},
}};

// The value boxes of green and blue under the red one.
const std::array<PanelKey, 2> SetColourBoxes = {{
    {.code = CodeSetGreen, .x = 78, .y = 499, .width = 20, .keyColour = Grey, .textColour = Grey, .english = "%3d",
     .japanese = "%3d", .value = &OutlinePage.setColour.green},
    {.code = CodeSetBlue, .x = 78, .y = 521, .width = 20, .keyColour = Grey, .textColour = Grey, .english = "%3d",
     .japanese = "%3d", .value = &OutlinePage.setColour.blue},
}};

// The small-font notes, drawn after the tab bar. The first note of each
// group takes the clicks on the group.
const std::array<PanelKey, 5> Notes = {{
    {.code = CodeChangeNote, .x = 0, .y = 116, .width = 98, .textColour = NoteBlue, .english = "L click→change",
     .japanese = "左 click→変化", .kind = KeyKind::Label, .hit = {2, 112, 98, 157}},
    {.code = CodeFixNote, .x = 0, .y = 129, .width = 98, .textColour = NoteRed, .english = "R click→fixed",
     .japanese = "右 click→固定", .kind = KeyKind::Label, .hit = NoClick},
    {.code = CodeBrushNote1, .x = 0, .y = 376, .width = 98, .textColour = NoteBlue, .english = "L click",
     .japanese = "左 click", .kind = KeyKind::Label, .hit = {2, 372, 98, 425}},
    {.code = CodeBrushNote2, .x = 0, .y = 389, .width = 98, .textColour = NoteBlue, .english = "(+)drag→draw",
     .japanese = "(+)drag →描画", .kind = KeyKind::Label, .hit = NoClick},
    {.code = CodeBrushNote3, .x = 0, .y = 402, .width = 98, .textColour = NoteRed, .english = "R click→fixed",
     .japanese = "右 click→固定", .kind = KeyKind::Label, .hit = NoClick},
}};

// The colour belts of the set colour: a 70 x 20 frame filled from its left
// edge over value * 70 / 255 + 1 columns.
struct ColourBelt {
  int y;
  int OutlineRgb::*channel;
  Rgb fill;
};
constexpr std::array<ColourBelt, 3> ColourBelts = {{
    {477, &OutlineRgb::red, {226, 220, 220}},
    {499, &OutlineRgb::green, {220, 226, 220}},
    {521, &OutlineRgb::blue, {220, 220, 226}},
}};
constexpr int ColourBeltWidth = 70;

struct MarkPlace {
  int x, y, colourIndex;
};
constexpr std::array<MarkPlace, 2> ResetMarks = {{{2, 28, 5}, {50, 28, 4}}};

// The keypad: shown in grey, inert on this page.
constexpr Keypad OutlineKeypad = MakeKeypad({614, {634, 655, 675}, 696, 716, 84});

// Comment page and explanations, both languages side by side.
constexpr CommentText Comment{.lines = {{
    {"OUTLINE [<>] draw outline on the image;", "輪郭線 [<>] 画像に輪郭線を描く;"},
    {"    1)Get Image [→] call an image; 2)L Contrast [→] contrast around the clicked point;",
     "    1)画像呼出 [→] 画像を呼び出す; 2)局所対照 [→] クリックした点のまわりの対照;"},
    {"    3)Outline [→] outline by the judge value; 4)Brush [→] draw with a brush (+) Right click fixes it;",
     "    3)輪郭線 [→] 判断値による輪郭線; 4)筆 [→] 筆で描く (+) 右クリックで固定;"},
    {"    5)Save [<>] [Save] tab; [set KEEP9] [→] save the image as shown with a name of KEEP9.bmp;",
     "    5)保存 [<>] [保存→] タブ; [決定KEEP9] [→] 見えている画像を KEEP9.bmp の名で保存する;"},
}}};

const std::array<CommentText, 8> Explanations = {{
    {.selector = 1, .colour = ExplainDark, .lines = {{
         {"reset mark [<>] Left click on deep blue mark [→] come back to default (judge value 16 too);",
          "リセットマーク [<>] 紺色のマークを左クリック [→] 初期状態にもどる (判断値も 16 に);"},
         {"    Left click on light blue mark [→] switches come back to default; the judge value stays;",
          "    水色のマークを左クリック [→] スイッチが初期状態にもどる; 判断値はそのまま;"}}}},
    {.selector = 3, .colour = ExplainBlue, .lines = {{
         {"2)L Contrast [<>] local contrast; Left click on the image [→] within 24 dots of the point, darker",
          "2)局所対照 [<>] 局所的な対照; 画像を左クリック [→] その点から 24 ドット以内で, 中央値より暗い"},
         {"    than the median go down and others go up (24 at the center, 0 at the edge);",
          "    ものは下がり, ほかは上がる (中心で 24, 縁で 0);"},
         {"    Right click on the image [→] the change is fixed on the image; each right click adds it once more;",
          "    画像を右クリック [→] 変化が画像に固定される; 右クリックのたびにもう一度加わる;"}}}},
    {.selector = 4, .colour = ExplainOlive, .lines = {{
         {"3)Outline [<>] outline in the outline color where neighbour halves differ more than the judge value;",
          "3)輪郭線 [<>] 隣り合う半分どうしの差が判断値より大きいところに輪郭色で輪郭線;"},
         {"    fine [→] 3 x 3 halves; middle, fat [<>] not on this page; clear [→] outline off;",
          "    細 [→] 3 x 3 の半分; 中, 太 [<>] このページでは使わない; 消去 [→] 輪郭線を消す;"},
         {"    the outline stays on the image only by [set KEEP9] or [Save];",
          "    輪郭線は [決定KEEP9] か [保存] でのみ画像に残る;"}}}},
    {.selector = 5, .colour = ExplainGrey, .lines = {{
         {"judge value [<>] 1 ～ 99, 16 as standard; gray or each color (3C) as the V.eye, Change or Pattern",
          "輪郭線判断値 [<>] 1 ～ 99, 16 が標準; 濃淡か各色(３色)かは Ｖ.アイ, 色変換, 型紙化 ページ"},
         {"    page left it; smaller [→] more outline; it is set on the Pattern page;",
          "    の設定による; 小さいほど [→] 輪郭線が多い; 型紙化 ページで設定する;"}}}},
    {.selector = 6, .colour = ExplainGreen, .lines = {{
         {"4)Brush [<>] Left click (+) drag on the image [→] draw; fat [→] wide brush; clear [→] erase the strokes;",
          "4)筆 [<>] 画像を左クリック (+) ドラッグ [→] 描く; 太 [→] 太い筆; 消去 [→] 筆跡を消す;"},
         {"    quick long strokes [→] thinner line (pressure 100 ～ 40 %);",
          "    速く長い筆づかい [→] 細い線 (筆圧 100 ～ 40 %);"},
         {"    Right click on the image [→] the strokes are fixed on the image;",
          "    画像を右クリック [→] 筆跡が画像に固定される;"}}}},
    {.selector = 7, .colour = ExplainPurple, .lines = {{
         {"outlineC [<>] the brush draws in the outline color; ／ [→] next outline color (black, white, cyan,",
          "輪郭色 [<>] 筆は輪郭色で描く; ／ [→] 次の輪郭色 (黒, 白, 水色,"},
         {"    gray, blue, red);", "    灰色, 青, 赤);"}}}},
    {.selector = 8, .colour = ExplainTeal, .lines = {{
         {"set C [<>] a designated color for the brush; red, green & blue belts; not on this page;",
          "指定色 [<>] 筆の指定色; 赤, 緑, 青の帯; このページでは使わない;"}}}},
    {.selector = 9, .colour = ExplainDeepBlue, .lines = {{
         {"5)Save [<>] use the [Save] tab [→] save the image as shown with a name;",
          "5)保存 [<>] [保存→] タブを使う [→] 見えている画像を名前をつけて保存する;"},
         {"    [set KEEP9] [→] save the image as shown (outlines and strokes too) to inner memory and KEEP9.bmp;",
          "    [決定KEEP9] [→] 見えている画像 (輪郭線と筆跡も) を内部メモリーと KEEP9.bmp に保存する;"}}}},
}};

const PageComments Comments{.commentCode = 9,
                            .slot = PageOutline,
                            .hasCalculator = true,
                            .comment = &Comment,
                            .explanations = Explanations};

// The switches that the reset marks and the entry put back.
void SwitchesOff() {
  OutlinePageState& p = OutlinePage;
  Calc.on = false;
  p.localContrastOn = false;
  p.outlineOn = false;
  p.outlineWidth = NoOutline;
  p.brushOn = false;
  p.brushWidth = 0;
}

// The brush stroke ended at (x, y) (image coordinates, y from the top):
// the pressure of the next discs follows the distance from the last release.
void TakeBrushRelease(int x, int y, int) {
  OutlinePageState& p = OutlinePage;
  Outline.brushPressure = PressureAfterStroke(x - p.lastReleaseX, y - p.lastReleaseY);
  p.lastReleaseX = x;
  p.lastReleaseY = y;
}

// The colour belts, the swatch and the judge diamond.
void DrawColourItems(Surface& screen) {
  const OutlineRgb& c = OutlinePage.setColour;
  DrawDiamondSwitch(screen, 78, 261, Grey);
  screen.FillRect(Rgb{static_cast<std::uint8_t>(c.red), static_cast<std::uint8_t>(c.green),
                      static_cast<std::uint8_t>(c.blue)},
                  78, 451, 78 + 21, 451 + 20);
  for (const ColourBelt& belt : ColourBelts) {
    const int value = std::clamp(c.*belt.channel, 0, 255);
    const int filled = value * ColourBeltWidth / 255 + 1;
    screen.Rectangle(Pen{Grey}, std::nullopt, 2, belt.y, 2 + ColourBeltWidth, belt.y + KeyHeight);
    for (int i = 0; i < filled && i < ColourBeltWidth; ++i) {
      screen.Line(Pen{belt.fill}, 2 + i, belt.y + 1, 2 + i, belt.y + KeyHeight - 1);
    }
  }
  for (const PanelKey& key : SetColourBoxes) DrawPanelKey(screen, key);
}

}  // namespace

void StartOutline() {
  OutlinePage = OutlinePageState{};
  CurrentDragReceivers = {};
}

// [SECTION] Entry
void EnterOutline() {
  // Not reset: the local-contrast point and the last release point; the
  // brush mask stays until "3)Outline", "fine" or brush "clear" clear it.
  OutlinePageState& p = OutlinePage;
  SwitchesOff();
  Outline.judgeValue = 16;
  p.setColour = OutlineRgb{255, 255, 255};
  p.brushColourSource = BrushOutlineColour;
  p.helpItem = 1;
  CommentPanel.request = 9;
}

// [SECTION] Clicks

namespace {

// A left press on the picture: a brush stroke starts, or the local-contrast
// point moves there.
bool PictureClick() {
  OutlinePageState& p = OutlinePage;
  if (!(101 <= MouseX && MouseX < ShownWidth + 100 && 33 <= MouseY && MouseY < 800)) return false;
  if (p.brushOn) {
    MouseY = std::min(MouseY, ShownHeight + 32);
    CurrentDragReceivers =
        DragReceivers{.circle = TakeBrushRelease, .marker = [](int x, int y) { DrawCircleMarker(x, y, Outline.brushSize); }};
    StartCircleDrag();
    return true;
  }
  const int x = std::clamp(MouseX, 100, ShownWidth + 100);
  const int y = std::clamp(MouseY, 32, ShownHeight + 32);
  if (p.localContrastOn) {
    const CanvasPixel pixel = PixelUnderPoint(x, y);
    Outline.localContrastPoint = ContrastPoint{pixel.column, pixel.row};
  }
  return true;
}

}  // namespace

// The panel's rows, then the notes'.
bool OutlineClick() {
  OutlinePageState& p = OutlinePage;
  if (MouseX < 101) {
    // A click on the panel ends a brush stroke and forgets the last release.
    Dragging.circleActive = 0;
    p.lastReleaseX = 0;
    p.lastReleaseY = 0;
  }
  if (PictureClick()) return true;
  int code = PanelKeyAt(Panel, MouseX, MouseY);
  if (code == NoKey) code = PanelKeyAt(Notes, MouseX, MouseY);
  switch (code) {
    case NoKey: return false;
    case CodeTitle: CommentPanel.request = 9; break;
    case CodeDarkReset:
      SwitchesOff();
      Outline.judgeValue = 16;
      p.helpItem = 1;
      break;
    case CodeLightReset:
      SwitchesOff();
      p.helpItem = 1;
      break;
    case CodeGetImage:
      Requests.openFile = true;
      Requests.getSlot = PageOutline;
      EnterOutline();
      break;
    case CodeLocalContrast:
      if (ToggleSwitch(Panel, code)) p.helpItem = 3;
      break;
    case CodeChangeNote:
      // The notes explain only while local contrast is off.
      if (p.localContrastOn) return false;
      p.helpItem = 3;
      break;
    case CodeOutline:
      if (ToggleSwitch(Panel, code)) {
        p.maskClearRequest = true;
        Calc.on = false;
        p.helpItem = 4;
      }
      break;
    case CodeFine:
      p.outlineWidth = FineWidth;
      p.maskClearRequest = true;
      p.localContrastOn = false;
      p.outlineOn = true;
      p.brushOn = false;
      p.helpItem = 4;
      break;
    case CodeMiddle:
    case CodeFat: p.helpItem = 4; break;
    case CodeClear:
      p.outlineWidth = NoOutline;
      p.outlineOn = false;
      p.maskClearRequest = false;
      p.helpItem = 4;
      break;
    case CodeJudgeLabel: p.helpItem = 5; break;
    case CodeBrush:
      if (ToggleSwitch(Panel, code)) {
        p.brushColourSource = BrushOutlineColour;
        p.helpItem = 6;
      }
      break;
    case CodeBrushFine:
    case CodeBrushMiddle:
    case CodeBrushNote1: p.helpItem = 6; break;
    case CodeBrushFat:
      p.brushWidth = FatWidth;
      p.localContrastOn = false;
      p.outlineOn = false;
      p.brushOn = true;
      p.brushColourSource = BrushOutlineColour;
      p.helpItem = 6;
      break;
    case CodeBrushClear:
      p.brushWidth = 0;
      p.brushOn = false;
      p.brushClearRequest = true;
      p.helpItem = 6;
      break;
    case CodeOutlineColour:
      p.brushColourSource = BrushOutlineColour;
      p.helpItem = 7;
      break;
    case CodeCycleColour:
      CycleOutlineColour();
      p.brushColourSource = BrushOutlineColour;
      p.helpItem = 7;
      break;
    case CodeSetColour:
    case CodeSetSwatch:
    case CodeColourBelts: p.helpItem = 8; break;
    case CodeSave: p.helpItem = 9; break;
    case CodeSetKeep:
      p.setKeepRequest = true;
      p.helpItem = 9;
      break;
    case CodeKeypad: CommentPanel.request = CalculatorNoteRequest; break;
  }
  return true;
}

void OutlineRightClick() {
  OutlinePageState& p = OutlinePage;
  if (!(100 < MouseX && MouseX < ShownWidth + 100 && 33 <= MouseY && MouseY < ShownHeight + 32)) return;
  if (p.localContrastOn) p.contrastFixRequest = true;
  if (p.brushOn) p.brushFixRequest = true;
}

// [SECTION] Paint
namespace {

// Work of the page that is not a step, as the save dialog names it.
constexpr BilingualText BrushWork{"輪郭線 4)筆", "Outline 4)Brush"};
constexpr BilingualText LocalContrastOverOutline{"輪郭線 2)局所対照 と 3)輪郭線", "Outline 2)L Contrast over 3)Outline"};

}  // namespace

void PaintOutline() {
  Surface& screen = Screen();
  OutlinePageState& p = OutlinePage;
  BeginPageSection();
  // 1. The panel; the outline colour (it colours "／") and the brush size.
  RefreshOutlineColour();
  Outline.brushSize = BrushSizeOf(p.brushWidth);
  DrawPanel(screen, Panel);
  PanelKey cycle = *FindPanelKey(Panel, CodeCycleColour);
  cycle.keyColour = Rgb{static_cast<std::uint8_t>(Outline.outlineColour.red), static_cast<std::uint8_t>(Outline.outlineColour.green),
                        static_cast<std::uint8_t>(Outline.outlineColour.blue)};
  DrawPanelKey(screen, cycle);
  DrawColourItems(screen);
  for (const MarkPlace& mark : ResetMarks) DrawResetMark(screen, mark.x, mark.y, ResetMarkUnit, mark.colourIndex);
  DrawKeypad(screen, OutlineKeypad, false, true);
  ServeCalculator(screen, OutlineKeypad, nullptr);
  // 2. Get and Restore read KEEP9 into WorkPlanes.
  ServeGetAndRestore(PageOutline, false);
  // 3. The planes into the canvas.
  CanvasFromPlanes(Canvas.data(), Stride, CanvasRows);
  // 4. The outline, drawn over them by the step itself; "set KEEP9" keeps it.
  if (p.outlineOn) {
    ShowStep(OutlineStep{OutlineSettings{p.outlineWidth, Outline.judgeValue, Outline.judgeMode, Outline.outlineColour}});
  } else {
    SetShownStep(std::nullopt);
  }
  SetShownNotAStep(std::nullopt);
  // 5. Local contrast on the picture: the preview, and the fix a right click asked for.
  if (p.localContrastOn) {
    const ContrastPoint point = Outline.localContrastPoint;
    const LocalContrastStep step{point.column, CanvasRows - 1 - point.row};
    if (point.column != 0) {
      // Shown over the picture; "set KEEP9" keeps it. Over an outline it is
      // neither step alone, and the canvas says so.
      if (!p.outlineOn) {
        ShowStep(step);
      } else {
        PaintStep(step);
        SetShownNotAStep(LocalContrastOverOutline);
      }
    }
    if (p.contrastFixRequest) {
      // The fix: shown as the preview is, and done on the picture.
      PaintStep(step);
      DoStep(step);
      if (!p.outlineOn) SetShownStep(std::nullopt);  // the fix shows the planes as they are now
      p.contrastFixRequest = false;
    }
  }
  // 6. The brush mask cleared when asked.
  if (p.maskClearRequest || p.brushClearRequest) {
    ClearBrushMask();
    Dragging.end = DragPoint{};
    p.maskClearRequest = false;
    p.brushClearRequest = false;
  }
  // 7. The brush: the release disc, the strokes, the fix a right click asked for.
  if (p.brushOn) {
    const CanvasArea picture = PictureArea();
    MarkBrushDisc(BrushMask.data(), Stride, CanvasRows, picture, PixelUnderPoint(Dragging.end.x, Dragging.end.y), Outline.brushSize,
                  Outline.brushPressure);
    const OutlineRgb colour = BrushColourOf(p.brushColourSource, Outline.outlineColour, p.setColour);
    PaintBrushMask(Canvas.data(), BrushMask.data(), Stride, CanvasRows, picture, colour);
    if (std::any_of(BrushMask.begin(), BrushMask.end(), [](std::uint8_t m) { return m != 0; })) {
      SetShownNotAStep(BrushWork);
    }
    if (p.brushFixRequest) {
      FixBrushMask(WorkView(), BrushMask.data(), picture, colour);
      NoteNotAStep(BrushWork);
      ClearBrushMask();
      CanvasFromPlanes(Canvas.data(), Stride, CanvasRows);
      SetShownStep(std::nullopt);  // the canvas is the planes again
      p.brushFixRequest = false;
    }
  }
  // 8. The canvas shown.
  screen.BlitBottomUp(Canvas.data(), Stride, CanvasRows, 100, 32);
  // 9. "set KEEP9" and Save store the canvas as shown.
  ServeSet(PageOutline, p.setKeepRequest);
  ServeSave();
  // 10. Tab bar, the small notes, the comment or explanation.
  DrawTabs();
  DrawPanel(screen, Notes);
  ServeComments(screen, Comments, p.helpItem);
}

void DrawCircleMarker(int x, int y, int size) {
  const int r = BrushDiscOf(size, Outline.brushPressure).radius;
  // The corner is kept on the picture in canvas coordinates, so that the
  // circle stays round near the bottom of the picture.
  const int left = std::clamp(x - r - ImageLeft, 0, Stride) + ImageLeft;
  const int top = std::clamp(y - r - ImageTop, 0, CanvasRows) + ImageTop;
  Screen().Ellipse(Pen{Black}, std::nullopt, left, top, x + r, y + r, RasterOp::Invert);
  MarkBrushDisc(BrushMask.data(), Stride, CanvasRows, PictureArea(), PixelUnderPoint(x, y), size, Outline.brushPressure);
  MainWindow().Present();
}

// [SECTION] Page entry

// The page's state, as the history of changes keeps it.
constexpr std::array<StateBlock, 1> States{StateBlockOf<OutlinePage>()};
extern const PageEntry OutlinePageEntry{.commentCode = 9,
                                        .start = StartOutline,
                                        .enter = EnterOutline,
                                        .click = OutlineClick,
                                        .paint = PaintOutline,
                                        .rightClick = OutlineRightClick,
                                        .panels = {Panel, Notes},
    .states = States};
