// APPEAR page: puts a cut-out onto a background. It works on two work
// files, the back picture "0000back.bmp" and the transfer picture
// "0000trfr.bmp"; "3)real appear" lets the back picture show through the
// transfer picture's pass zone (by default its pure white pixels), "mouse
// move" lets the user drag the transfer picture into place, and "4)KEEP12"
// or "5)save image" store the composite. The pixel work lives in
// real_appear.cpp; this file keeps the state, the panel, the clicks and the
// paint steps.
//
// [SECTION] State
// [SECTION] Work files
// [SECTION] Panel and texts
// [SECTION] Entry
// [SECTION] Clicks
// [SECTION] Paint

#include "pages/appear/appear_page.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "pages/kit/gestures.h"
#include "pages/kit/page_entry.h"
#include "pages/kit/page_steps.h"
#include "pages/kit/step_list.h"
#include "pages/kit/page_state.h"
#include "image/bmp_files.h"
#include "image/planes.h"
#include "image/work_files.h"
#include "pages/appear/real_appear.h"
#include "panel/calculator.h"
#include "panel/comments.h"
#include "panel/widgets.h"
#include "platform/surface.h"

// Shared with the shell, which sets them when the APPEAR tab is clicked.
// What APPEAR shows: the loaded picture, the transfer or back work file, or
// the composite.
enum AppearShows : int { AppearLoaded = 0, AppearTransfer = 2, AppearBack = 3, AppearComposite = 5 };
int AppearMode = AppearLoaded;
int AppearFileRequest = 0;  // 2 or 3: the picture just opened becomes that work file

namespace {

// [SECTION] State: the page's block with its start values.
struct ImagePoint {
  int x = 0, y = 0;  // image coordinates (client x - 100, y - 32)
};
struct AppearPageState {
  PassZone zone{};          // PassMode 2, PassStart = PassEnd = 255, PassChannel 2
  int edgeWidth = 0;        // "grad" half-width 0..8
  int moveStep = 8;         // "fine" step 1..99
  int moveDirection = 0;    // 0 none, 1 +x, 2 -y, 3 +y, 4 -x, 5 the drag
  bool moving = false;           // "mouse move" on
  int offsetX = 0, offsetY = 0;
  int dragDeltaX = 0, dragDeltaY = 0;
  ImagePoint pressPoint, releasePoint;
  bool pressPending = false;  // a press on the picture waits for its release
  bool setRequest = false;         // "4)KEEP12"
  bool calculatorOn = false;       // this page's own calculator switch
  int helpItem = 0;
};
AppearPageState Appear;

constexpr int LowestStep = 1, HighestStep = 99;

// [SECTION] Work files
WorkFileReader TransferFileCache{2};
WorkFileReader BackFileCache{3};

// [SECTION] Panel and texts
enum AppearCode {
  CodeTitle = 100,
  CodeGetImage = 101,
  CodeAllAppear = 103,
  CodeTransferImage = 110,
  CodeBackImage = 120,
  CodeFine = 131,
  CodeStep = 132,
  CodeLeft = 133,
  CodeUp = 134,
  CodeDown = 135,
  CodeRight = 136,
  CodeMouseMove = 137,
  CodeDragNote = 138,
  CodePixel = 139,
  CodeRealAppear = 140,
  CodeSaveImage = 150,
  CodeOuterFile = 151,
  CodeKeep = 160,
  CodePassZone = 210,
  CodeBlack = 220,
  CodeWhite = 221,
  CodeRangeStart = 230,
  CodeRangeDash = 231,
  CodeRangeEnd = 232,
  CodeGrad = 240,
  CodeGradValue = 241,
  CodeFullReset,    // the dark reset mark
  CodePartialReset,  // the light reset mark
  CodeChannelSpot,  // the spot of the channel flag
  CodeChannelFlag,  // the rest of the flag's row
  CodeRangeBelt,    // the range belt and its diamonds
  CodeMoveKeys,     // "fine" to the arrow keys, "fine" itself aside
};

constexpr Rgb Grey = InactiveText;
constexpr Rgb HeadingText{40, 40, 160};
constexpr Rgb ImageKey{80, 160, 240};
constexpr Rgb AppearKey{240, 200, 220};

// A row's click region is its key box unless it gives its own `hit`; the
// click handler tests the rows in this order (the spot of the channel flag
// before the flag's row, "fine" before the move keys' region).
const std::array<PanelKey, 32> Panel = {{
    {.code = CodeTitle, .x = 4, .y = 4, .width = 88, .english = "[APPEAR]", .japanese = "[ 出現 ]",
     .kind = KeyKind::Label, .fontHeight = LargeFontHeight, .hit = {4, 0, 92, 25}},
    {.code = CodeGetImage, .x = 4, .y = 61, .width = 94, .textColour = HeadingText, .english = "get image",
     .japanese = "A 画像呼出", .kind = KeyKind::Label, .hit = {4, 55, 98, 81}},
    {.code = CodeBackImage, .x = 4, .y = 81, .width = 90, .keyColour = ImageKey, .english = "1)back image",
     .japanese = "1)背景画像", .hit = {4, 81, 98, 101}},
    {.code = CodeTransferImage, .x = 4, .y = 107, .width = 90, .keyColour = ImageKey, .english = "2)trfr image",
     .japanese = "2)転送画像", .hit = {4, 107, 98, 127}},
    {.code = CodePassZone, .x = 4, .y = 130, .width = 94, .textColour = HeadingText, .english = "pass zone",
     .japanese = "B 透過窓", .kind = KeyKind::Label, .hit = {4, 127, 98, 150}},
    {.code = CodeBlack, .x = 4, .y = 150, .width = 41, .keyColour = Grey, .textColour = Grey, .english = "Black",
     .japanese = "真黒", .hit = {4, 150, 48, 170}},
    {.code = CodeWhite, .x = 54, .y = 150, .width = 41, .keyColour = {200, 200, 200}, .english = "White",
     .japanese = "真白", .kind = KeyKind::Switch, .state = &Appear.zone.mode, .onValue = 2,
     .hit = {54, 150, 98, 170}},
    {.code = CodeRangeStart, .x = 4, .y = 228, .width = 40, .textColour = Grey, .english = "[%3d", .japanese = "[%3d",
     .kind = KeyKind::Label, .value = &Appear.zone.start, .hit = {0, 228, 100, 248}},
    {.code = CodeRangeDash, .x = 46, .y = 228, .width = 10, .textColour = Grey, .english = "-", .japanese = "-",
     .kind = KeyKind::Label, .hit = NoClick},
    {.code = CodeRangeEnd, .x = 58, .y = 228, .width = 40, .textColour = Grey, .english = "%3d]", .japanese = "%3d]",
     .kind = KeyKind::Label, .value = &Appear.zone.end, .hit = NoClick},
    {.code = CodeGrad, .x = 4, .y = 254, .width = 40, .textColour = Grey, .english = "grad", .japanese = "幽値",
     .kind = KeyKind::Label, .hit = {0, 254, 100, 274}},
    {.code = CodeGradValue, .x = 50, .y = 254, .width = 24, .keyColour = Grey, .textColour = Grey, .english = "%2d",
     .japanese = "%2d", .value = &Appear.edgeWidth, .hit = NoClick},
    {.code = CodeAllAppear, .x = 4, .y = 280, .width = 94, .textColour = HeadingText, .english = "all appear",
     .japanese = "C 出現", .kind = KeyKind::Label, .hit = {4, 274, 98, 300}},
    {.code = CodeRealAppear, .x = 4, .y = 300, .width = 90, .keyColour = AppearKey, .english = "3)real appear",
     .japanese = "3)実体化", .kind = KeyKind::Switch, .state = &AppearMode, .onValue = 5, .hit = {4, 300, 98, 320}},
    {.code = CodeMouseMove, .x = 2, .y = 326, .width = 92, .keyColour = {140, 200, 240}, .english = "mouse move",
     .japanese = "マウス移動", .kind = KeyKind::Switch, .flag = &Appear.moving, .hit = {2, 326, 98, 346}},
    {.code = CodeDragNote, .x = 0, .y = 350, .width = 98, .textColour = {0, 0, 128}, .english = "L click + drag",
     .japanese = "L click + drag", .kind = KeyKind::Label, .hit = NoClick},
    {.code = CodeFine, .x = 2, .y = 365, .width = 36, .keyColour = {200, 220, 200}, .english = "fine",
     .japanese = "微動"},
    {.code = CodePixel, .x = 2, .y = 391, .width = 36, .textColour = Grey, .english = "pixel", .japanese = "　幅",
     .kind = KeyKind::Label, .hit = NoClick},
    {.code = CodeStep, .x = 40, .y = 391, .width = 34, .keyColour = Grey, .textColour = Grey, .english = "%3d",
     .japanese = "%3d", .value = &Appear.moveStep, .hit = NoClick},
    {.code = CodeLeft, .x = 4, .y = 417, .width = 20, .keyColour = Grey, .textColour = Grey, .english = "←",
     .japanese = "←", .hit = NoClick},
    {.code = CodeUp, .x = 27, .y = 417, .width = 20, .keyColour = Grey, .textColour = Grey, .english = "↑",
     .japanese = "↑", .hit = NoClick},
    {.code = CodeDown, .x = 50, .y = 417, .width = 20, .keyColour = Grey, .textColour = Grey, .english = "↓",
     .japanese = "↓", .hit = NoClick},
    {.code = CodeRight, .x = 73, .y = 417, .width = 20, .keyColour = Grey, .textColour = Grey, .english = "→",
     .japanese = "→", .hit = NoClick},
    {.code = CodeKeep, .x = 4, .y = 444, .width = 90, .keyColour = {20, 240, 200}, .english = "4)KEEP12",
     .japanese = "4決定KEEP12", .hit = {4, 444, 98, 464}},
    {.code = CodeSaveImage, .x = 4, .y = 490, .width = 90, .keyColour = {240, 200, 140}, .english = "5)save image",
     .japanese = "5)決定保存", .hit = {4, 490, 98, 510}},
    {.code = CodeFullReset, .kind = KeyKind::Region, .hit = {2, 25, 50, 55}},
    {.code = CodePartialReset, .kind = KeyKind::Region, .hit = {50, 25, 98, 55}},
    {.code = CodeChannelSpot, .kind = KeyKind::Region, .hit = {60, 176, 80, 196}},
    {.code = CodeChannelFlag, .kind = KeyKind::Region, .hit = {0, 176, 100, 196}},
    {.code = CodeRangeBelt, .kind = KeyKind::Region, .hit = {0, 202, 100, 222}},
    {.code = CodeMoveKeys, .kind = KeyKind::Region, .hit = {0, 365, 100, 437}},
    // The region of the "outer file" heading, which is drawn after the panel.
    {.code = CodeOuterFile, .kind = KeyKind::Region, .hit = {4, 464, 98, 490}},
}};
const PanelKey OuterFileHeading{.code = CodeOuterFile, .x = 4, .y = 470, .width = 94, .textColour = HeadingText,
                                .english = "outer file", .japanese = "D 外部保存", .kind = KeyKind::Label};

// The channel flag's labels by PassChannel 1..8 (codes 74..81).
struct ChannelLabel {
  const char* english;
  const char* japanese;
};
constexpr std::array<ChannelLabel, 8> ChannelLabels = {{{"3C", "３色"},
                                                         {"gray", "濃淡"},
                                                         {"red", "赤"},
                                                         {"green", "緑"},
                                                         {"blue", "青"},
                                                         {"cyan", "シアン"},
                                                         {"magenta", "マゼンタ"},
                                                         {"yellow", "イエロー"}}};
constexpr int ChannelFlagX = 2, ChannelFlagY = 176, ChannelSpotX = 60;
constexpr int RangeBeltX = 24, RangeBeltY = 202, RangeBeltWidth = 52;

struct MarkPlace {
  int x, y, colourIndex;
};
constexpr std::array<MarkPlace, 2> ResetMarks = {{{2, 26, 5}, {50, 26, 4}}};
constexpr Keypad AppearKeypad = MakeKeypad({524, {546, 566, 586}, 606, 628, 84});

// Comment page, explanations and the two picture notes, both languages side by side.
constexpr CommentText Comment{.lines = {{
    {"APPEAR [<>] (A)call back image and transfer(trfr) image; (B)set pass zone on transfer(trfr) image;",
     "出現 [<>] (A)背景画像と転送(trfr)画像を呼び出す; (B)転送(trfr)画像に透過窓を決める;"},
    {"    (C)3)real appear [→] the back image appears through the pass zone; mouse move [→] drag the trfr image;",
     "    (C)3)実体化 [→] 透過窓を通して背景画像が現れる; マウス移動 [→] 転送画像をドラッグで動かす;"},
    {"    (D)4)KEEP12 or 5)save image [→] save the appeared image;",
     "    (D)4決定KEEP12 か 5)決定保存 [→] 現れた画像を保存する;"},
}}};

const std::array<CommentText, 13> Explanations = {{
    {.selector = 1, .colour = ExplainDark, .lines = {{
         {"reset mark [<>] Left click on deep blue mark [→] come back to default, the offset of the trfr image too;",
          "リセットマーク [<>] 紺色のマークを左クリック [→] 初期状態にもどる, 転送画像の位置も;"},
         {"    Left click on light blue mark [→] switches come back to default; pass zone, step and offset stay;",
          "    水色のマークを左クリック [→] スイッチが初期状態にもどる; 透過窓, 幅, 位置はそのまま;"}}}},
    {.selector = 2, .colour = ExplainBlue, .lines = {{
         {"get image [<>] 1)back image [→] call a back image (0000back.bmp); 2)trfr image [→] call a transfer image "
          "(0000trfr.bmp);",
          "画像呼出 [<>] 1)背景画像 [→] 背景画像 (0000back.bmp) を呼び出す; 2)転送画像 [→] 転送画像 (0000trfr.bmp) を呼び出す;"},
         {"    the APPEAR tab from Pattern or Transfer brings the trfr image, from the other pages the back image;",
          "    型紙化か転送からの出現タブは転送画像を, ほかのページからは背景画像を持ってくる;"}}}},
    {.selector = 5, .colour = ExplainGreen, .lines = {{
         {"pass zone [<>] the part of the trfr image through which the back image appears;",
          "透過窓 [<>] 転送画像のうち, そこを通して背景画像が現れる部分;"}}}},
    {.selector = 6, .colour = ExplainGrey, .lines = {{
         {"Black [<>] pass zone of black (0, 0, 0) pixels;", "真黒 [<>] 黒 (0, 0, 0) の画素の透過窓;"}}}},
    {.selector = 7, .colour = ExplainGreen, .lines = {{
         {"White [<>] pass zone of white (255, 255, 255) pixels;", "真白 [<>] 白 (255, 255, 255) の画素の透過窓;"}}}},
    {.selector = 8, .colour = ExplainGrey, .lines = {{
         {"channel flag [<>] the range of gray, red, green, blue, cyan, magenta, yellow, 3-color in turn;",
          "色フラグ [<>] 濃淡, 赤, 緑, 青, シアン, マゼンタ, イエロー, ３色 の順の範囲;"}}}},
    {.selector = 9, .colour = ExplainGrey, .lines = {{
         {"range [<>] pass zone of values from start to end of the channel flag;",
          "範囲 [<>] 色フラグの始めから終りまでの値の透過窓;"}}}},
    {.selector = 10, .colour = ExplainGrey, .lines = {{
         {"grad [<>] gradation width of the border between the back image and the trfr image, 0 ～ 8;",
          "幽値 [<>] 背景画像と転送画像の境目のぼかし幅, 0 ～ 8;"}}}},
    {.selector = 11, .colour = ExplainPurple, .lines = {{
         {"3)real appear [<>] the back image appears through the pass zone of the trfr image;",
          "3)実体化 [<>] 転送画像の透過窓を通して背景画像が現れる;"}}}},
    {.selector = 12, .colour = ExplainTeal, .lines = {{
         {"mouse move [<>] on [→] L click + drag on the image moves the trfr image; off [→] back to its place;",
          "マウス移動 [<>] オン [→] 画像を左クリックしてドラッグすると転送画像が動く; オフ [→] 元の位置にもどる;"}}}},
    {.selector = 13, .colour = ExplainGrey, .lines = {{
         {"fine [<>] stops the mouse move; arrows [→] one step of pixel width to each side;",
          "微動 [<>] マウス移動を止める; 矢印 [→] 幅だけ各方向へ動く;"}}}},
    {.selector = 14, .colour = ExplainDeepBlue, .lines = {{
         {"Left click on [4)KEEP12] [→] save the image to inner memory ([<>] set), and save as outer file with a "
          "name of KEEP12.bmp;",
          "[4決定KEEP12] を左クリック [→] 画像を内部メモリーに保存し ([<>] 決定), KEEP12.bmp の名で外部ファイルに保存する;"}}}},
    {.selector = 15, .colour = ExplainOlive, .lines = {{
         {"5)save image [<>] save the shown image as outer file with a name;",
          "5)決定保存 [<>] 見えている画像を名前をつけて外部ファイルに保存する;"}}}},
}};

constexpr CommentText BackNote{.colour = ExplainBlue, .lines = {{
    {"back image [<>] 0000back.bmp; next 2)trfr image, or the APPEAR tab from Pattern or Transfer;",
     "背景画像 [<>] 0000back.bmp; 次は 2)転送画像, または型紙化か転送からの出現タブ;"}}}};
constexpr CommentText TransferNote{.colour = ExplainBlue, .lines = {{
    {"trfr image [<>] 0000trfr.bmp; next 3)real appear;", "転送画像 [<>] 0000trfr.bmp; 次は 3)実体化;"}}}};

const PageComments Comments{.commentCode = 17,
                            .slot = PageAppear,
                            .hasCalculator = true,
                            .comment = &Comment,
                            .explanations = Explanations};

// The full reset (dark mark) and the partial one (light mark).
void ResetSwitches() {
  AppearMode = AppearLoaded;
  Appear.moveDirection = 0;
  Appear.calculatorOn = false;
  Appear.dragDeltaX = Appear.dragDeltaY = 0;
  Appear.moving = false;
  Appear.setRequest = false;
  Appear.pressPending = false;
}
void ResetAll() {
  ResetSwitches();
  Appear.moveStep = 8;
  Appear.zone.mode = 2;
  Appear.zone.start = Appear.zone.end = 255;
  Appear.edgeWidth = 0;
  Appear.offsetX = Appear.offsetY = 0;
}

// The value the calculator changes: the range's start in pass mode 3, its
// end in pass mode 4 (no key of this panel selects the step box).
int* CalculatorTarget() {
  if (Appear.zone.mode == 3) return &Appear.zone.start;
  if (Appear.zone.mode == 4) return &Appear.zone.end;
  return nullptr;
}

void ClampValues() {
  PassZone& z = Appear.zone;
  Appear.moveStep = std::clamp(Appear.moveStep, LowestStep, HighestStep);
  z.start = std::clamp(z.start, 0, 255);
  z.end = std::clamp(z.end, 0, 255);
  if (z.mode == 4 && z.end < z.start) z.end = z.start;
  if (z.mode == 3 && z.start > z.end) z.start = z.end;
  Appear.edgeWidth = std::clamp(Appear.edgeWidth, 0, EdgeWidthLimit);
}

void DrawAppearPanel(Surface& screen) {
  DrawPanel(screen, Panel);
  DrawPanelKey(screen, OuterFileHeading);
  const ChannelLabel& channel = ChannelLabels[static_cast<std::size_t>(std::clamp(Appear.zone.channel, 1, 8) - 1)];
  DrawKeyText(screen, ChannelFlagX, ChannelFlagY, Japanese() ? channel.japanese : channel.english, Grey);
  DrawKeyBox(screen, ChannelSpotX, ChannelFlagY, 20, Appear.zone.channel == 2 ? Rgb{160, 200, 160} : Grey, false);
  DrawDiamondSwitch(screen, 2, RangeBeltY, Grey);
  DrawDiamondSwitch(screen, 78, RangeBeltY, Grey);
  screen.Rectangle(Pen{Grey}, std::nullopt, RangeBeltX, RangeBeltY, RangeBeltX + RangeBeltWidth, RangeBeltY + 20);
  const int startX = RangeBeltX + Appear.zone.start * RangeBeltWidth / 256;
  const int endX = RangeBeltX + Appear.zone.end * RangeBeltWidth / 256;
  const int middleX = (Appear.zone.start + Appear.zone.end) / 2 * RangeBeltWidth / 256 + RangeBeltX;
  screen.Line(Pen{Grey}, startX, RangeBeltY + 14, endX + 1, RangeBeltY + 14);
  screen.Line(Pen{{160, 160, 160}}, middleX, RangeBeltY + 1, middleX, RangeBeltY + 19);
  DrawUpDownDiamond(screen, 78, 254, Grey);
  DrawUpDownDiamond(screen, 78, 391, Grey);
  for (const MarkPlace& mark : ResetMarks) DrawResetMark(screen, mark.x, mark.y, ResetMarkUnit, mark.colourIndex);
  DrawKeypad(screen, AppearKeypad, Appear.calculatorOn);
}

// The drop of a drag on the picture: the drag delta for the next placement.
void TakeDrop(int x, int y) {
  CurrentDragReceivers.drop = nullptr;
  if (PageId != PageAppear || !Appear.pressPending) return;
  Appear.pressPending = false;
  Appear.releasePoint = ImagePoint{x, y};
  Appear.dragDeltaX = Appear.pressPoint.x - x;
  Appear.dragDeltaY = y - Appear.pressPoint.y;
}

}  // namespace

void StartAppear() {
  Appear = AppearPageState{};
  AppearMode = AppearLoaded;
  AppearFileRequest = 0;
  TransferFileCache = WorkFileReader(2);
  BackFileCache = WorkFileReader(3);
}

// [SECTION] Entry
void EnterAppear() {
  Appear.moveStep = 8;
  Appear.moveDirection = 0;
  Appear.calculatorOn = false;
  Appear.zone.mode = 2;
  Appear.zone.start = Appear.zone.end = 255;
  Appear.edgeWidth = 0;
  Appear.dragDeltaX = Appear.dragDeltaY = 0;
  Appear.moving = false;
  Appear.setRequest = false;
  Appear.offsetX = Appear.offsetY = 0;
  Appear.pressPending = false;
  Appear.helpItem = 0;
  Calc.on = false;
  CommentPanel.request = 17;
}

// [SECTION] Clicks
namespace {

bool KeypadClick() {
  const CalcKey* key = CalcKeyAt(AppearKeypad, MouseX, MouseY);
  if (key == nullptr) return false;
  if (key->code != CalcSwitchCode && !Appear.calculatorOn) return true;
  return CalculatorClick(AppearKeypad, Appear.calculatorOn, MouseX, MouseY);
}

// A press on the picture while the composite is shown starts a move; the
// release hands over the drop point (app/gestures).
bool PictureClick() {
  if (!MouseInImage() || AppearMode != AppearComposite) return false;
  Appear.moveDirection = 5;
  Appear.moving = true;
  Appear.pressPoint = ImagePoint{MouseX - 100, MouseY - 32};
  Appear.pressPending = true;
  CurrentDragReceivers = DragReceivers{.drop = TakeDrop};
  return true;
}

}  // namespace

// The panel rows first, then the keypad, then the picture.
bool AppearClick() {
  const int code = PanelKeyAt(Panel, MouseX, MouseY);
  switch (code) {
    case NoKey: return KeypadClick() || PictureClick();
    case CodeTitle: CommentPanel.request = 17; break;
    case CodeFullReset:
      ResetAll();
      Appear.helpItem = 1;
      break;
    case CodePartialReset:
      ResetSwitches();
      Appear.helpItem = 1;
      break;
    case CodeGetImage: Appear.helpItem = 2; break;
    case CodeBackImage:
    case CodeTransferImage: {
      const int file = code == CodeBackImage ? 3 : 2;
      Requests.openFile = true;
      AppearMode = file;
      AppearFileRequest = file;
      Shell.newImageFlag = 12;
      Appear.helpItem = 0;
      break;
    }
    case CodePassZone: Appear.helpItem = 5; break;
    case CodeBlack: Appear.helpItem = 6; break;
    case CodeWhite:
      Appear.zone.mode = 2;
      Appear.zone.start = Appear.zone.end = 255;
      Appear.zone.channel = 1;
      Appear.helpItem = 7;
      break;
    case CodeChannelSpot:
      Appear.zone.channel = 2;
      Appear.helpItem = 8;
      break;
    case CodeChannelFlag: Appear.helpItem = 8; break;
    case CodeRangeBelt:
    case CodeRangeStart: Appear.helpItem = 9; break;
    case CodeGrad: Appear.helpItem = 10; break;
    case CodeAllAppear: Appear.helpItem = 11; break;
    case CodeRealAppear:
      AppearMode = AppearComposite;
      Appear.calculatorOn = false;
      Appear.helpItem = 11;
      break;
    case CodeMouseMove:
      Appear.moveDirection = !Appear.moving ? 5 : 0;
      Appear.moving = !Appear.moving ? 1 : 0;
      AppearMode = AppearComposite;
      Appear.helpItem = 12;
      break;
    case CodeFine:
      if (Appear.moving) {
        Appear.moving = false;
      } else {
        Appear.helpItem = 13;
      }
      break;
    case CodeMoveKeys: Appear.helpItem = 13; break;
    case CodeKeep:
      Appear.setRequest = true;
      Appear.helpItem = 14;
      break;
    case CodeOuterFile: Appear.helpItem = 15; break;
    case CodeSaveImage:
      Requests.saveAs = true;
      Appear.helpItem = 15;
      break;
  }
  return true;
}

// [SECTION] Paint
namespace {

// PlaceTransfer's first and last steps: the pending move into the offset.
void TakePendingMove() {
  switch (Appear.moveDirection) {
    case 1: Appear.offsetX += Appear.moveStep; break;
    case 2: Appear.offsetY -= Appear.moveStep; break;
    case 3: Appear.offsetY += Appear.moveStep; break;
    case 4: Appear.offsetX -= Appear.moveStep; break;
    case 5:
      Appear.offsetX += Appear.dragDeltaX;
      Appear.offsetY += Appear.dragDeltaY;
      break;
    default: break;
  }
  Appear.dragDeltaX = Appear.dragDeltaY = 0;
  Appear.moveDirection = 0;
}

// The page's work as the save dialog names it: none of it is a step.
constexpr BilingualText CompositeWork{"出現 3)実体化", "APPEAR 3)real appear"};
constexpr BilingualText WorkFileShown{"出現 1)背景画像 / 2)転送画像", "APPEAR 1)back image / 2)trfr image"};
constexpr BilingualText LoadedPictureShown{"出現", "APPEAR"};

// The composite into WorkPlanes and the canvas. False (the loaded picture
// stays in the canvas) when a work file could not be read.
bool ShowComposite() {
  if (!TransferFileCache.Load() || !BackFileCache.Load()) return false;
  if (Appear.moving) {
    TakePendingMove();
    PlaceTransferPixels(TransferFileCache.Pixels().data(), Canvas.data(), Appear.offsetX, Appear.offsetY);
  } else {
    std::memcpy(Canvas.data(), TransferFileCache.Pixels().data(), static_cast<std::size_t>(CanvasByteCount));
  }
  const std::uint8_t* back = BackFileCache.Pixels().data();
  for (std::size_t i = 0, n = static_cast<std::size_t>(Stride) * CanvasRows; i < n; ++i) {
    for (std::size_t k = 0; k < 3; ++k) WorkPlanes[k][i] = back[3 * i + k];
  }
  RealAppear(Canvas.data(), WorkView(), Stride, CanvasRows, Appear.zone, Appear.edgeWidth);
  CanvasFromPlanes(Canvas.data(), Stride, CanvasRows);
  NoteNotAStep(CompositeWork);
  return true;
}

// A work file shown as it is; false when it could not be read.
bool ShowWorkFile(WorkFileReader& cache) {
  if (!cache.Load()) return false;
  std::memcpy(Canvas.data(), cache.Pixels().data(), static_cast<std::size_t>(CanvasByteCount));
  return true;
}

}  // namespace

void PaintAppear() {
  Surface& screen = Screen();
  BeginPageSection();
  DrawAppearPanel(screen);
  // 1. The calculator while its switch is on; the values back in range.
  if (Appear.calculatorOn) ServeCalculator(screen, AppearKeypad, CalculatorTarget());
  ClampValues();
  // 2. Get and Restore: KEEP12 becomes the back picture, only when it was read.
  if (ServeGetAndRestore(PageAppear, false)) {
    WriteAppearFile(Canvas.data(), 3, PixelSource::FromPlanes);
    AppearMode = AppearBack;
  }
  // 3. What the mode shows. After a failed read the page shows the loaded
  //    picture (mode 0), so the message is not repeated at every paint.
  bool shown = true;
  SetShownNotAStep(std::nullopt);
  if (AppearMode == AppearBack) shown = ShowWorkFile(BackFileCache);
  if (AppearMode == AppearTransfer) shown = ShowWorkFile(TransferFileCache);
  if (AppearMode == AppearTransfer || AppearMode == AppearBack) SetShownNotAStep(WorkFileShown);
  // (The composite takes a few milliseconds, so no progress mark is drawn
  // row by row: the picture shown afterwards would cover it at once.)
  if (AppearMode == AppearComposite) shown = ShowComposite();
  if (!shown) AppearMode = AppearLoaded;
  // The loaded picture as its file holds it: what the steps give only when
  // the planes hold it too.
  if (AppearMode == AppearLoaded && !CanvasShowsThePlanes()) SetShownNotAStep(LoadedPictureShown);
  // 4. - 5. The canvas shown; "4)KEEP12".
  screen.BlitBottomUp(Canvas.data(), Stride, CanvasRows, 100, 32);
  ServeSet(PageAppear, Appear.setRequest);
  // 6. Save and the tab bar.
  ServeSave();
  DrawTabs();
  // 7. - 8. A comment or note ends the mode shown; with no explanation the
  //    back or transfer picture's note.
  const int selector = Appear.helpItem;
  if (ServeComments(screen, Comments, Appear.helpItem) != NoCommentRequest) {
    AppearMode = AppearLoaded;
  } else if (selector == 0 && AppearMode == AppearBack) {
    DrawComment(screen, BackNote);
  } else if (selector == 0 && AppearMode == AppearTransfer) {
    DrawComment(screen, TransferNote);
  }
}

// The APPEAR tab: on APPEAR itself it does nothing. From elsewhere the
// current image becomes the transfer picture when it comes from the pattern
// pages, the back picture otherwise.
bool StoreImageBeforeAppear(int fromPage) {
  if (fromPage == PageAppear) return false;
  const bool fromPattern = fromPage == PagePattern || fromPage == PageTransfer;
  WriteAppearFile(Canvas.data(), fromPattern ? 2 : 3, PixelSource::FromPlanes);
  AppearMode = fromPattern ? 2 : 3;
  return true;
}

// In the paint's prologue: a picture opened by "1)trfr" or "2)back" becomes
// that work file, from the canvas it was just drawn into; a cancelled open
// drops the request.
void ServeAppearFileRequest(const PaintPrologue& prologue) {
  if (prologue.openShown && !prologue.pictureOpened) AppearFileRequest = 0;
  if ((AppearFileRequest == 2 || AppearFileRequest == 3) && AppearMode == AppearFileRequest) {
    WriteAppearFile(Canvas.data(), AppearFileRequest, PixelSource::FromCanvas);
    AppearFileRequest = 0;
  }
}

// [SECTION] Page entry

// The page's state, as the history of changes keeps it.
constexpr std::array<StateBlock, 3> States{StateBlockOf<Appear>(), StateBlockOf<AppearMode>(),
                                          StateBlock{TakeWorkFiles, PutWorkFiles, 0}};
extern const PageEntry AppearPageEntry{.commentCode = 17,
                                       .start = StartAppear,
                                       .enter = EnterAppear,
                                       .click = AppearClick,
                                       .paint = PaintAppear,
                                       .beforeEntry = StoreImageBeforeAppear,
                                       .prologue = ServeAppearFileRequest,
                                       .panels = {Panel},
    .states = States};
