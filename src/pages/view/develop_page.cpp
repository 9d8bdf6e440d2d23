// DEVELOP page: the digital development of the view area chosen on MAP
// (x4: enlarged to 960 x 640 and smoothed; x1: the picture lifted to the top
// once), then the colour swap modes of its panel; "Set KEEP3" and "Set Save"
// store what is shown. The pixel work lives in develop_zoom.cpp and
// colour_swap.cpp.
//
// [SECTION] State
// [SECTION] Panel and texts
// [SECTION] Entry
// [SECTION] Clicks
// [SECTION] Paint

#include <algorithm>
#include <array>
#include <span>

#include "pages/kit/page_entry.h"
#include "pages/kit/page_steps.h"
#include "pages/kit/page_state.h"
#include "pages/kit/step_list.h"
#include "image/bmp_files.h"
#include "image/planes.h"
#include "ops/colour_swap.h"
#include "pages/view/develop_zoom.h"
#include "pages/view/view_area.h"
#include "pages/view/view_pages.h"
#include "panel/comments.h"
#include "panel/widgets.h"
#include "platform/surface.h"

// [SECTION] State: the page's block with its start values.
DevelopPageState DevelopPage;

namespace {

enum DevelopCode {
  CodeTitle = 1,
  CodeSwapColour,
  CodeSetKeep,
  CodeSetSave,
  CodeStayLabel,
  CodeReversalLabel,
  CodeMixLabel,
  CodeModeFirst = 100,  // 100 + mode
  CodeSetKeepOn = 200,
  CodeResetMark,
};

constexpr Rgb Grey = InactiveText;
constexpr Rgb Keep3Colour{0, 220, 220};

// [SECTION] Panel and texts. A row's click region is its key box unless it
// gives its own `hit`; the click handler tests the rows always shown, then
// those of the swap's state. Always shown:
const std::array<PanelKey, 3> AlwaysPanel = {{
    {.code = CodeTitle, .x = 2, .y = 10, .width = 84, .english = "[DEVELOP]", .japanese = "[ 現像 ]",
     .kind = KeyKind::Label, .fontHeight = LargeFontHeight, .hit = {4, 0, 92, 30}},
    {.code = CodeSwapColour, .x = 4, .y = 64, .width = 90, .keyColour = {220, 40, 80}, .english = "swap color",
     .japanese = "色の変換", .kind = KeyKind::Switch, .hit = {8, 66, 92, 86}},
    {.code = CodeResetMark, .kind = KeyKind::Region, .hit = {8, 30, 92, 60}},  // the reset mark
}};

// The click region of a row of the swap list at y: y + 1 .. y + 19, x 9 .. 91.
constexpr Region ListRowHit(int y) { return {8, y, 92, y + 20}; }

// Shown while the swap is off, the first two rows; while it is on, the 22
// modes in three groups and "Set KEEP3". Only modes 5, 12 and 17 can be
// chosen; the others are greyed.
PanelKey GreyMode(int mode, int y, const char* label) {
  return {.code = CodeModeFirst + mode, .x = 4, .y = y, .width = 90, .keyColour = Grey, .textColour = Grey,
          .english = label, .japanese = label, .hit = ListRowHit(y)};
}
PanelKey Mode(int mode, int y, const char* label, Rgb colour) {
  return {.code = CodeModeFirst + mode, .x = 4, .y = y, .width = 90, .keyColour = colour, .english = label,
          .japanese = label, .kind = KeyKind::Switch, .state = &DevelopPage.swapMode, .onValue = mode,
          .hit = ListRowHit(y)};
}
// A row whose click region reaches further down than its key.
PanelKey Reaching(PanelKey key, int bottom) {
  key.hit.bottom = bottom;
  return key;
}
const std::array<PanelKey, 28> SwapPanels = {{
    {.code = CodeSetKeep, .x = 4, .y = 90, .width = 90, .keyColour = Keep3Colour, .english = "Set KEEP3",
     .japanese = "決定 KEEP3", .hit = {8, 90, 92, 110}},
    {.code = CodeSetSave, .x = 4, .y = 116, .width = 90, .keyColour = {220, 220, 40}, .english = "Set Save",
     .japanese = "決定保存", .hit = {8, 116, 92, 136}},
    {.code = CodeStayLabel, .x = 4, .y = 90, .width = 90, .english = "[・] stay", .japanese = "[・]は無変換",
     .kind = KeyKind::Label, .hit = {8, 92, 92, 112}},
    GreyMode(0, 112, "0 [R][G][B]"),
    GreyMode(1, 138, "1 R>G>B>R"),
    GreyMode(2, 164, "2 R<G<B<R"),
    GreyMode(3, 190, "3 [R] G⇔B"),
    GreyMode(4, 216, "4 [G] B⇔R"),
    Mode(5, 242, "5 [B] R⇔G", Rgb{200, 200, 100}),
    {.code = CodeReversalLabel, .x = 4, .y = 268, .width = 90, .english = "(・)reversal", .japanese = "(・)は反転",
     .kind = KeyKind::Label, .hit = ListRowHit(268)},
    GreyMode(6, 288, "6 (R)"),
    GreyMode(7, 314, "7 (G)"),
    GreyMode(8, 340, "8 (B)"),
    GreyMode(9, 366, "9 (G)(B)"),
    GreyMode(10, 392, "10 (R)(B)"),
    GreyMode(11, 418, "11 (R)(G)"),
    Mode(12, 444, "12 (R)(G)(B)", Rgb{100, 200, 100}),
    {.code = CodeMixLabel, .x = 4, .y = 470, .width = 90, .english = "mix", .japanese = "混合", .kind = KeyKind::Label,
     .hit = ListRowHit(470)},
    GreyMode(13, 490, "13 ant"),
    GreyMode(14, 516, "14 bat"),
    GreyMode(15, 542, "15 cat"),
    GreyMode(16, 568, "16 dog"),
    Mode(17, 594, "17 eel", Rgb{100, 200, 200}),
    GreyMode(18, 620, "18 fox"),
    GreyMode(19, 646, "19 goose"),
    GreyMode(20, 672, "20 horse"),
    Reaching(GreyMode(21, 698, "21 iguana"), 728),  // answers down to y 727, into "Set KEEP3"
    {.code = CodeSetKeepOn, .x = 4, .y = 724, .width = 90, .keyColour = Keep3Colour, .english = "Set KEEP3",
     .japanese = "決定 KEEP3", .hit = {8, 727, 92, 744}},
}};
const std::span<const PanelKey> OffPanel = std::span<const PanelKey>(SwapPanels).first(2);
const std::span<const PanelKey> OnPanel = std::span<const PanelKey>(SwapPanels).subspan(2);

constexpr int ResetMarkX = 10, ResetMarkY = 30, ResetMarkColour = 2;  // dark red

constexpr CommentText Comment{.lines = {{
    {"DEVELOP [<>] digital development (zoom and smooth);", "現像 [<>] デジタル現像 (拡大となめらか化);"},
    {"             (A) show a result of zoom and smooth operation;",
     "             (A) 拡大となめらか化の結果を見せる;"},
    {"             (B) exchange, make reverse, mix the colors of the original image;",
     "             (B) 元の画像の色を入れかえ, 反転し, 混ぜる;"},
    {"             (C) [Set KEEP3] [→] KEEP3.bmp; [Set Save] [→] save with a name; [Map] tab [→] back to MAP;",
     "             (C) [決定 KEEP3] [→] KEEP3.bmp; [決定保存] [→] 名前をつけて保存; [マップ] タブ [→] マップへもどる;"},
}}};

const std::array<CommentText, 7> Explanations = {{
    {.selector = 1, .colour = ExplainDark, .lines = {{
         {"reset mark [<>] Left click on dark red mark [→] come back to default",
          "リセットマーク [<>] 暗い赤のマークを左クリック [→] 初期状態にもどる"},
         {"    swap color off, swap mode 0; the image stays as it is;",
          "    色の変換はオフ, 変換の型は 0; 画像はそのまま;"}}}},
    {.selector = 2, .colour = ExplainRed, .lines = {{
         {"[swap color] [→] list page of swap color;", "[色の変換] [→] 色の変換の一覧;"},
         {"    left click on a mode [→] the image is shown through it; [swap color] again [→] off;",
          "    型を左クリック [→] 画像がその型で見える; もう一度 [色の変換] [→] オフ;"}}}},
    {.selector = 3, .colour = ExplainDeepBlue, .lines = {{
         {"Left click on [set KEEP3] [→] save the image to inner memory ([<>] set), and save as outer file with a "
          "name of KEEP3.bmp;",
          "[決定 KEEP3] を左クリック [→] 画像を内部メモリーに保存し ([<>] 決定), KEEP3.bmp の名で外部ファイルに保存する;"},
         {"    with swap color on, the swapped colors become the image;",
          "    色の変換がオンなら, 変換した色が画像になる;"}}}},
    {.selector = 4, .colour = ExplainOlive, .lines = {{
         {"[Set Save] [→]; call a dialog box of SAVE WITH A NAME", "[決定保存] [→]; 名前をつけて保存する窓を呼ぶ"},
         {"    after × 4 development the 960 × 640 image is saved;", "    × 4 の現像の後は 960 × 640 の画像が保存される;"}}}},
    {.selector = 5, .colour = ExplainBlue, .lines = {{
         {"[・]stay [<>] red<>R, green<>G　blue<>B [→] [R]<>R, [G]<>G, [B]<>B;",
          "[・]は無変換 [<>] 赤<>R, 緑<>G　青<>B [→] [R]<>R, [G]<>G, [B]<>B;"},
         {"    5 [B] R⇔G [<>] blue stays, red and green change places;",
          "    5 [B] R⇔G [<>] 青はそのまま, 赤と緑が入れかわる;"}}}},
    {.selector = 6, .colour = ExplainGreen, .lines = {{
         {"(・)reversal [<>] red color value<>r, green <> g, blue <> b [→] (R) <> 255-r, (G) <> 255-g, (B) <> 255-b;",
          "(・)は反転 [<>] 赤の値<>r, 緑 <> g, 青 <> b [→] (R) <> 255-r, (G) <> 255-g, (B) <> 255-b;"},
         {"    12 (R)(G)(B) [<>] the negative of the image;", "    12 (R)(G)(B) [<>] 画像のネガ;"}}}},
    {.selector = 7, .colour = ExplainTeal, .lines = {{
         {"mix [<>] mix by several ways;", "混合 [<>] いくつかの方法で混ぜる;"},
         {"    17 eel [<>] red (G+255)/2, green (R+G+B+255)/4, blue (R+B)/2;",
          "    17 eel [<>] 赤 (G+255)/2, 緑 (R+G+B+255)/4, 青 (R+B)/2;"}}}},
}};

const PageComments Comments{.commentCode = 3, .slot = PageDevelop, .comment = &Comment, .explanations = Explanations};

// Scratch planes of the development, made at its first run.
std::array<DevelopPlanes, 2>& DevelopWork() {
  static std::array<DevelopPlanes, 2> work;
  return work;
}

void StartDevelopValues() {
  const DevelopPageState start;
  DevelopPage.swapMode = start.swapMode;
  DevelopPage.swapSwitch = start.swapSwitch;
  DevelopPage.setKeepRequest = start.setKeepRequest;
}

}  // namespace

void StartDevelop() { DevelopPage = {}; }

// [SECTION] Entry
void EnterDevelop() {
  StartDevelopValues();
  Requests.saveAs = false;
  DevelopPage.helpItem = 0;
  CommentPanel.request = 3;
  // The DEVELOP tab on MAP does what "act" does, and the x1 result is lifted
  // to the top again.
  if (Shell.tabFromPage == PageMap) {
    KeepImageBeforeDevelopment();
    DevelopPage.pending = true;
    DevelopPage.liftPending = true;
  }
}

void AskDevelopment() { DevelopPage.pending = true; }

// Leaving for any page but MAP (or DEVELOP again) ends the way back: KEEP2
// then no longer holds the image before the development in hand.
void LeaveDevelop(int toPage) {
  if (toPage != PageMap && toPage != PageDevelop) EndWayBackToMap();
}

// [SECTION] Clicks
namespace {

// The explanation of a mode's group: stay 0 .. 5, reversal 6 .. 12, mix 13 .. 21.
int ModeGroupHelp(int mode) { return mode <= 5 ? 5 : mode <= 12 ? 6 : 7; }

}  // namespace

bool DevelopClick() {
  int code = PanelKeyAt(AlwaysPanel, MouseX, MouseY);
  if (code == NoKey) code = PanelKeyAt(DevelopPage.swapSwitch == SwapOff ? OffPanel : OnPanel, MouseX, MouseY);
  switch (code) {
    case NoKey: return false;
    case CodeTitle: CommentPanel.request = 3; break;
    case CodeResetMark:
      StartDevelopValues();
      Requests.saveAs = false;
      DevelopPage.helpItem = 1;
      break;
    case CodeSwapColour:
      if (DevelopPage.swapSwitch != SwapOn) {
        DevelopPage.swapSwitch = SwapOn;
        DevelopPage.helpItem = 2;
      } else {
        DevelopPage.swapSwitch = SwapOff;
      }
      break;
    case CodeSetKeep:
      DevelopPage.setKeepRequest = true;
      DevelopPage.helpItem = 3;
      break;
    case CodeSetSave:
      Requests.saveAs = true;
      DevelopPage.helpItem = 4;
      break;
    case CodeStayLabel: DevelopPage.helpItem = 5; break;
    case CodeReversalLabel: DevelopPage.helpItem = 6; break;
    case CodeMixLabel: DevelopPage.helpItem = 7; break;
    case CodeSetKeepOn:
      DevelopPage.swapSwitch = SwapOnSetAsked;
      DevelopPage.helpItem = 3;
      break;
    default: {  // a mode: the switches choose it, the greyed ones only explain their group
      const PanelKey* key = FindPanelKey(OnPanel, code);
      if (key == nullptr) return false;
      if (key->kind == KeyKind::Switch) DevelopPage.swapMode = key->onValue;
      DevelopPage.helpItem = ModeGroupHelp(code - CodeModeFirst);
      break;
    }
  }
  return true;
}

// [SECTION] Paint
namespace {

constexpr BilingualText DevelopmentWork{"現像 (マップ 実行)", "DEVELOP (MAP act)"};

// The development (zoom and smooth): the view area of WorkPlanes into the
// canvas, then the canvas becomes the current image.
void RunDevelopment() {
  const int scale = std::max(ViewScale, 1);
  ViewAreaRecord area = View.area;
  const AreaSize size = ViewAreaSize(scale, FileWidth, FileHeight);
  area.width = size.width;
  area.height = size.height;
  int lift = 0;
  if (scale > 1) {
    lift = 640;
  } else if (FileHeight < CanvasRows && DevelopPage.liftPending) {
    lift = FileHeight;
    DevelopPage.liftPending = false;
  }
  DevelopViewArea(WorkView(), ClampedViewArea(area), scale, lift, Canvas.data(), DevelopWork());
  PlanesFromCanvas(Canvas.data(), Stride, CanvasRows);
  // An enlargement, or a picture lifted to the top, is not a step.
  if (scale > 1 || lift > 0) NoteNotAStep(DevelopmentWork);
  // An enlargement fills the top 960 x 640 of the canvas: that is the
  // picture in hand now, and clicks count on all of it.
  if (scale > 1) {
    SetShownArea(Stride, 640);
  }
  DevelopPage.pending = false;
  NoteDevelopmentRun();
}

void DrawDevelopPanel(Surface& screen) {
  DrawPanelKey(screen, AlwaysPanel[0]);
  DrawPanelKeyAs(screen, AlwaysPanel[1], DevelopPage.swapSwitch != SwapOff);
  if (DevelopPage.swapSwitch == SwapOff) {
    DrawPanel(screen, OffPanel);
  } else {
    DrawPanel(screen, OnPanel);
  }
  DrawResetMark(screen, ResetMarkX, ResetMarkY, ResetMarkUnit, ResetMarkColour);
}

}  // namespace

void PaintDevelop() {
  Surface& screen = Screen();
  // The canvas is rebuilt from the planes below in every case, so the
  // picture file is not copied into it again first.
  // Get and Restore of KEEP3.
  ServeGetAndRestore(PageDevelop, false);
  // The development once, or the current image. (With the swap on, the
  // swap below rebuilds the whole canvas, so the plain copy is skipped.)
  if (DevelopPage.pending) {
    RunDevelopment();
    screen.BlitBottomUp(Canvas.data(), Stride, CanvasRows, 100, 32);
  } else if (DevelopPage.swapSwitch == SwapOff) {
    ShowPlanes();
  }
  // The panel, then the swap.
  DrawDevelopPanel(screen);
  if (DevelopPage.swapSwitch != SwapOff) {
    // Drawn over the picture by the step itself; "Set KEEP3" keeps it.
    ShowStep(SwapStep{SwapSettings{DevelopPage.swapMode}});
    screen.BlitBottomUp(Canvas.data(), Stride, CanvasRows, 100, 32);
  } else {
    SetShownStep(std::nullopt);
  }
  // The saves: KEEP3, the swapped image as the current one, Save.
  ServeSet(PageDevelop, DevelopPage.setKeepRequest);
  if (DevelopPage.swapSwitch == SwapOnSetAsked) {
    PlanesFromCanvas(Canvas.data(), Stride, CanvasRows);
    KeepShownStep();
    WriteKeepFile(Canvas.data(), PageDevelop, PixelSource::FromPlanes);
    DevelopPage.swapSwitch = SwapOn;
  }
  ServeSave();
  DrawTabs();
  ServeComments(screen, Comments, DevelopPage.helpItem);
}

// [SECTION] Page entry

// The page's state, as the history of changes keeps it.
constexpr std::array<StateBlock, 1> States{StateBlockOf<DevelopPage>()};
extern const PageEntry DevelopPageEntry{.commentCode = 3,
                                        .start = StartDevelop,
                                        .enter = EnterDevelop,
                                        .click = DevelopClick,
                                        .paint = PaintDevelop,
                                        .leave = LeaveDevelop,
                                        .panels = {AlwaysPanel, SwapPanels},
    .states = States};
