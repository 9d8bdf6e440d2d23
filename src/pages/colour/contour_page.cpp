// CONTOUR page: contour lines of brightness over the image. Every pixel whose
// gray lies exactly on a level of the ladder (0, 8, ..., 248) takes its
// level's colour, all levels at once (" limit area") or one level a click
// (" scan", wrapping after the top level). The contour is drawn into the
// canvas at every paint from WorkPlanes, so the image is untouched until
// "set KEEP5" commits it. The pixel work lives in contour_levels.cpp.
//
// [SECTION] State
// [SECTION] Panel and texts
// [SECTION] Entry
// [SECTION] Clicks
// [SECTION] Paint

#include "pages/colour/contour_page.h"

#include <algorithm>
#include <array>

#include "pages/kit/page_entry.h"
#include "pages/kit/page_steps.h"
#include "pages/kit/page_state.h"
#include "pages/kit/step_list.h"
#include "image/planes.h"
#include "pages/tone/tone_pages.h"
#include "panel/calculator.h"
#include "panel/comments.h"
#include "panel/widgets.h"
#include "platform/surface.h"

// [SECTION] State: the page's block with its start values (contour_page.h).
ContourPageState ContourPage;

namespace {

// The value " scan %3d" shows: L(s - 1), 0 before the first scan.
int ShownScanLevel = 0;

// Key-word codes of this panel.
enum ContourCode {
  CodeTitle = 1,
  CodeSetArea,
  CodeAppoint,
  CodeMinMaxLabel,
  CodeMin,
  CodeTilde,
  CodeMax,
  CodeStepLabel,
  CodeStep,
  CodeColourType,
  CodeNextType,
  CodeSwatchLabel,
  CodeOperation,
  CodeLimitArea,
  CodeScan,
  CodeClear,
  CodeSaveLabel,
  CodeSetKeep,
  CodeResetMark,    // either reset mark
  CodeAppointArea,  // the blank below " appoint"
  CodeRangeBar,     // the gray belt with its arrows
  CodeSwatch,       // the colour type's strip
  CodeKeypad,       // the greyed calculator
};

constexpr Rgb Grey = InactiveText;
constexpr Rgb OperationColour{255, 200, 220};
constexpr Rgb SetKeepColour{20, 240, 200};
constexpr Rgb SwatchText{128, 128, 128};

// The panel, row by row. The upper part is drawn before the image; the rows
// with values (range, step, " scan", "5)save", "set KEEP5") after it, and the
// two small-font labels after the tab bar. A row's click region is its key
// box unless it gives its own `hit`; the click handler tests the upper rows,
// then the lower ones.
const std::array<PanelKey, 18> UpperPanel = {{
    {.code = CodeTitle, .x = 4, .y = 4, .width = 88, .english = "[CONTOUR]", .japanese = "[コンター]",
     .kind = KeyKind::Label, .fontHeight = LargeFontHeight, .hit = {2, 0, 98, 28}},
    {.code = CodeSetArea, .x = 4, .y = 62, .width = 88, .english = "1)set area", .japanese = "1)範囲指定"},
    {.code = CodeAppoint, .x = 4, .y = 82, .width = 88, .keyColour = Grey, .textColour = Grey, .english = " appoint",
     .japanese = "アポイント"},
    {.code = CodeStepLabel, .x = 4, .y = 229, .width = 88, .textColour = Grey, .english = "2)draw step",
     .japanese = "2)描写間隔", .kind = KeyKind::Label, .hit = {2, 229, 92, 249}},
    {.code = CodeColourType, .x = 4, .y = 288, .width = 88, .english = "3)color type", .japanese = "3)配色",
     .kind = KeyKind::Label, .hit = {4, 288, 92, 314}},
    {.code = CodeNextType, .x = 78, .y = 314, .width = 20, .keyColour = {200, 200, 200}, .english = "↓",
     .japanese = "↓"},
    {.code = CodeOperation, .x = 4, .y = 353, .width = 88, .english = "4)operation", .japanese = "4)操作"},
    {.code = CodeLimitArea, .x = 4, .y = 373, .width = 88, .keyColour = OperationColour, .english = " limit area",
     .japanese = "制限全範囲", .kind = KeyKind::Switch, .state = &ContourPage.values.operation,
     .onValue = ContourAllLevels},
    {.code = CodeClear, .x = 4, .y = 425, .width = 88, .keyColour = OperationColour, .english = " clear",
     .japanese = "　消　去"},
    // Filler rows keep the table's shape; the value rows follow.
    {.code = CodeMinMaxLabel, .x = 2, .y = 176, .width = 96, .textColour = Grey, .english = " min       Max",
     .japanese = " min       Max", .kind = KeyKind::Label, .hit = NoClick},
    // The range "min ～ Max" answers as one, the value boxes with it.
    {.code = CodeTilde, .x = 40, .y = 190, .width = 20, .textColour = Grey, .english = "～", .japanese = "～",
     .kind = KeyKind::Label, .hit = {2, 190, 98, 210}},
    {.code = CodeSwatchLabel, .x = 2, .y = 336, .width = 66, .textColour = SwatchText, .english = " min    Max",
     .japanese = " min    Max", .kind = KeyKind::Label, .hit = NoClick},
    // What the page draws itself: the reset marks, the range bar, the swatch
    // strip and the keypad.
    {.code = CodeResetMark, .kind = KeyKind::Region, .hit = {2, 28, 50, 58}},
    {.code = CodeResetMark, .kind = KeyKind::Region, .hit = {50, 28, 98, 58}},
    {.code = CodeAppointArea, .kind = KeyKind::Region, .hit = {4, 102, 92, 154}},
    {.code = CodeRangeBar, .kind = KeyKind::Region, .hit = {2, 154, 98, 174}},
    {.code = CodeSwatch, .kind = KeyKind::Region, .hit = {2, 314, 78, 334}},
    {.code = CodeKeypad, .kind = KeyKind::Region, .hit = {2, 523, 98, 649}},
}};

const std::array<PanelKey, 6> LowerPanel = {{
    {.code = CodeMin, .x = 2, .y = 190, .width = 36, .keyColour = Grey, .textColour = Grey, .english = "%3d",
     .japanese = "%3d", .kind = KeyKind::ValueBox, .value = &ContourPage.values.ladder.min, .hit = NoClick},
    {.code = CodeMax, .x = 62, .y = 190, .width = 36, .keyColour = Grey, .textColour = Grey, .english = "%3d",
     .japanese = "%3d", .kind = KeyKind::ValueBox, .value = &ContourPage.values.ladder.max, .hit = NoClick},
    {.code = CodeStep, .x = 4, .y = 249, .width = 72, .keyColour = Grey, .textColour = Grey, .english = "step %2d",
     .japanese = "飛値 %2d", .kind = KeyKind::ValueBox, .value = &ContourPage.values.ladder.step,
     .hit = {2, 249, 98, 269}},  // with its arrow
    {.code = CodeScan, .x = 4, .y = 399, .width = 88, .keyColour = OperationColour, .english = " scan %3d",
     .japanese = "SCAN %3d", .kind = KeyKind::Switch, .value = &ShownScanLevel, .state = &ContourPage.values.operation,
     .onValue = ContourOneLevel},
    {.code = CodeSaveLabel, .x = 4, .y = 464, .width = 88, .english = "5)save", .japanese = "5)保存",
     .kind = KeyKind::Label},
    {.code = CodeSetKeep, .x = 4, .y = 484, .width = 88, .keyColour = SetKeepColour, .english = "set KEEP5",
     .japanese = "決定KEEP5"},
}};

// The range bar with its arrows, the step box's arrow, the swatch strip.
constexpr int RangeBarX = 24, RangeBarY = 154, RangeBarWidth = 52;
constexpr std::array<std::array<int, 2>, 3> ValueArrows = {{{2, 154}, {78, 154}, {78, 249}}};
constexpr int SwatchX = 8, SwatchY = 314, SwatchHeight = 20;

struct MarkPlace {
  int x, y, colourIndex;
};
constexpr std::array<MarkPlace, 2> ResetMarks = {{{2, 28, 8}, {50, 28, 4}}};

// The calculator, shown greyed: the ladder cannot be changed on this page.
constexpr Keypad ContourKeypad = MakeKeypad({523, {549, 569, 589}, 609, 629, 84});

// Comment page and explanations, both languages side by side.
constexpr CommentText Comment{.lines = {{
    {"CONTOUR [<>] draw a contour on the image;", "コンター [<>] 画像に等濃度線を描く;"},
    {"    3)color type [↓] [→] choose the colors of the contour; 4)operation [limit area] [→] all levels at once,",
     "    3)配色 [↓] [→] 等濃度線の色を選ぶ; 4)操作 [制限全範囲] [→] 全ての段を一度に,"},
    {"    [scan] [→] one level each click, up to the top level and then from the lowest again; [clear] [→] no contour;",
     "    [SCAN] [→] クリックごとに一段ずつ, 最上段の次は最下段にもどる; [消去] [→] 等濃度線を消す;"},
    {"    5)save [set KEEP5] [→] the contour becomes part of the image, saved as KEEP5.bmp;",
     "    5)保存 [決定KEEP5] [→] 等濃度線が画像の一部になり, KEEP5.bmp として保存される;"},
}}};

const std::array<CommentText, 10> Explanations = {{
    {.selector = 1, .colour = ExplainDark, .lines = {{
         {"reset mark [<>] switch to come back to default;", "リセットマーク [<>] 初期状態にもどすスイッチ;"},
         {"    Left click on either mark [→] no contour, scan from the lowest level again; the color type stays;",
          "    どちらかのマークを左クリック [→] 等濃度線なし, SCAN は最下段から; 配色はそのまま;"}}}},
    {.selector = 2, .colour = ExplainBlue, .lines = {{
         {"set area [<>] set contour gray area;", "範囲指定 [<>] 等濃度線を描く濃淡の範囲を決める;"},
         {"    on this page the area is fixed: gray 0 ～ 255, every 8;",
          "    このページでは範囲は固定: 濃淡 0 ～ 255, 8 おき;"}}}},
    {.selector = 3, .colour = ExplainGrey, .lines = {{
         {"appoint [<>] read pixel color values on the image;", "アポイント [<>] 画像上の画素の色の値を読む;"},
         {"    (not in use on this page)", "    (このページでは使わない)"}}}},
    {.selector = 4, .colour = ExplainGreen, .lines = {{
         {"gray belt switch [<>] belt switch to show and to set the area of gray values on drawing contour;",
          "濃淡帯スイッチ [<>] 等濃度線を描く濃淡の範囲を示し, 決める帯スイッチ;"},
         {"    the belt shows the whole area, from black (left) to white (right);",
          "    帯は全範囲を示す, 黒(左)から白(右)まで;"}}}},
    {.selector = 5, .colour = ExplainTeal, .lines = {{
         {"[f(min)]～[t(Max)] [<>] gray area on drawng contour;", "[f(min)]～[t(Max)] [<>] 等濃度線を描く濃淡の範囲;"},
         {"    min 0, Max 255 on this page;", "    このページでは min 0, Max 255;"}}}},
    {.selector = 6, .colour = ExplainOlive, .lines = {{
         {"draw step [<>] interval on drawing contour (step value);", "描写間隔 [<>] 等濃度線の間隔 (飛値);"},
         {"    step 8 [→] levels 0, 8, 16, ... 248: 32 levels;", "    飛値 8 [→] 段は 0, 8, 16, ... 248: 32 段;"}}}},
    {.selector = 7, .colour = ExplainPurple, .lines = {{
         {"color type [<>] color type of contour;", "配色 [<>] 等濃度線の色の種類;"},
         {"    [↓] [→] next color type: red, yellow, cyan, red-cyan, cyan-yellow, gray up, gray down;",
          "    [↓] [→] 次の配色: 赤, 黄, 水色, 赤-水色, 水色-黄, 濃淡(上り), 濃淡(下り);"},
         {"    the strip shows the colors from the lowest level (min) to the highest (Max); black before the first [↓];",
          "    帯は最下段(min)から最上段(Max)までの色を示す; 最初の [↓] の前は黒;"}}}},
    {.selector = 8, .colour = ExplainRed, .lines = {{
         {"operation [<>] operation on drawing contour;", "操作 [<>] 等濃度線を描く操作;"},
         {"    [limit area] [→] all levels at once; [scan] [→] one level, next level at each click;",
          "    [制限全範囲] [→] 全ての段を一度に; [SCAN] [→] 一段ずつ, クリックごとに次の段;"},
         {"    [clear] [→] the contour disappears; the image itself was not changed;",
          "    [消去] [→] 等濃度線が消える; 画像そのものは変わっていない;"}}}},
    {.selector = 9, .colour = ExplainDeepBlue, .lines = {{
         {"save [<>] save the image to inner memory and outer KEEP5.bmp file;",
          "保存 [<>] 画像を内部メモリーと外部ファイル KEEP5.bmp に保存する;"},
         {"    the contour as shown becomes part of the image;", "    表示された等濃度線が画像の一部になる;"}}}},
    {.selector = 10, .colour = ExplainDeepBlue, .lines = {{
         {"Left click on [set KEEP5] [→] save the image to inner memory ([<>] set), and save as outer file with a "
          "name of KEEP5.bmp;",
          "[決定KEEP5] を左クリック [→] 画像を内部メモリーに保存し ([<>] 決定), KEEP5.bmp の名で外部ファイルに保存する;"},
         {"    the next paint draws the contour again over the stored image;",
          "    次の描画では保存した画像の上に等濃度線をまた描く;"}}}},
}};

const PageComments Comments{.commentCode = 5,
                            .slot = PageContour,
                            .hasCalculator = true,
                            .comment = &Comment,
                            .explanations = Explanations};

// The page-entry values (the reset marks put back the same); the colour
// type is kept.
void ResetContourValues() {
  ContourPage.values.ladder = ContourLadder{};
  ContourPage.values.scanIndex = 0;
  ContourPage.values.operation = ContourNone;
}

// The range bar: a 52 x 20 box in light grey filled from min to max.
void DrawRangeBar(Surface& screen) {
  const ContourLadder& l = ContourPage.values.ladder;
  screen.Rectangle(Pen{Grey}, std::nullopt, RangeBarX, RangeBarY, RangeBarX + RangeBarWidth, RangeBarY + KeyHeight);
  const int from = RangeBarX + std::clamp(l.min, 0, 255) * RangeBarWidth / 256;
  const int to = RangeBarX + std::clamp(l.max, 0, 255) * RangeBarWidth / 256;
  for (int x = from; x <= to; ++x) screen.Line(Pen{Grey}, x, RangeBarY + 1, x, RangeBarY + KeyHeight - 1);
  for (const auto& [x, y] : ValueArrows) DrawDiamondSwitch(screen, x, y, Grey);
}

// The swatch strip: one vertical line a column in the column's colour.
void DrawSwatch(Surface& screen) {
  for (int i = 0; i <= ContourSwatchColumns; ++i) {
    ContourColour c;
    if (!ContourSwatchColour(ContourPage.colourType, i, c)) continue;
    const Rgb colour{static_cast<std::uint8_t>(c.red), static_cast<std::uint8_t>(c.green),
                     static_cast<std::uint8_t>(c.blue)};
    screen.Line(Pen{colour}, SwatchX + i, SwatchY, SwatchX + i, SwatchY + SwatchHeight);
  }
}

}  // namespace

void StartContour() {
  ContourPage = {};
  ShownScanLevel = 0;
}

// [SECTION] Entry
void EnterContour() {
  ResetContourValues();
  Calc.on = false;
  CommentPanel.request = 5;
}

// [SECTION] Clicks
bool ContourClick() {
  // On the picture a click stores the level-line row, which this page does
  // not use further.
  if (100 < MouseX && MouseX < 1060 && 33 <= MouseY && MouseY < 672) {
    PutLevelLine(672 - MouseY);
    return true;
  }
  int code = PanelKeyAt(UpperPanel, MouseX, MouseY);
  if (code == NoKey) code = PanelKeyAt(LowerPanel, MouseX, MouseY);
  ContourSettings& v = ContourPage.values;
  switch (code) {
    case NoKey: return false;
    case CodeTitle: CommentPanel.request = 5; break;
    case CodeResetMark:
      ResetContourValues();
      v.helpItem = 1;
      break;
    case CodeSetArea: v.helpItem = 2; break;
    case CodeAppoint:
    case CodeAppointArea: v.helpItem = 3; break;
    case CodeRangeBar: v.helpItem = 4; break;
    case CodeTilde: v.helpItem = 5; break;
    case CodeStepLabel:
    case CodeStep: v.helpItem = 6; break;
    case CodeColourType:
    case CodeSwatch: v.helpItem = 7; break;
    case CodeNextType:
      ContourPage.colourType = NextContourColourType(ContourPage.colourType);
      v.helpItem = 7;
      break;
    case CodeOperation: v.helpItem = 8; break;
    case CodeLimitArea:
      v.operation = ContourAllLevels;
      v.helpItem = 8;
      break;
    case CodeScan:
      v.operation = ContourOneLevel;
      v.scanIndex += 1;
      v.helpItem = 8;
      break;
    case CodeClear: v.operation = ContourNone; break;
    case CodeSaveLabel: v.helpItem = 9; break;
    case CodeSetKeep:
      v.setKeepRequest = true;
      v.helpItem = 10;
      break;
    case CodeKeypad: CommentPanel.request = CalculatorNoteRequest; break;
    default: break;
  }
  return true;
}

// [SECTION] Paint
void PaintContour() {
  Surface& screen = Screen();
  ContourSettings& v = ContourPage.values;
  // 1. The upper part of the panel.
  BeginPageSection();
  DrawPanel(screen, UpperPanel);
  for (const MarkPlace& mark : ResetMarks) DrawResetMark(screen, mark.x, mark.y, ResetMarkUnit, mark.colourIndex);
  DrawSwatch(screen);
  DrawKeypad(screen, ContourKeypad, false, true);
  // 2. Get and Restore read KEEP5.
  ServeGetAndRestore(PageContour, false);
  // 3. The current image into the canvas. (It is shown once, at step 5:
  //    a copy to the screen before the contour would be covered before the
  //    frame is ever presented.)
  CanvasFromPlanes(Canvas.data(), Stride, CanvasRows);
  // 4. The contour into the canvas; a scan past the top level starts again.
  if (v.operation == ContourOneLevel) {
    v.scanIndex = WrapContourScan(v.scanIndex, ContourTopLevel(v.ladder));
  }
  if (v.operation != ContourNone) {
    // Drawn over the picture by the step itself; "set KEEP5" keeps it.
    ShowStep(ContourStep{ContourDrawSettings{v.ladder, v.operation, v.scanIndex, ContourPage.colourType}});
  } else {
    SetShownStep(std::nullopt);
  }
  // 7. The rest of the panel, with the values as this paint left them. It
  //    goes before the image: the shadow of the max box reaches x 100, where
  //    the image covers it.
  ShownScanLevel = std::max(0, ContourLevelGray(v.ladder, v.scanIndex - 1));
  DrawRangeBar(screen);
  DrawPanel(screen, LowerPanel);
  // 5. The canvas onto the screen.
  screen.BlitBottomUp(Canvas.data(), Stride, CanvasRows, 100, 32);
  // 6. "set KEEP5": the contoured picture becomes the image and KEEP5;
  //    "Save" stores the picture as shown.
  ServeSet(PageContour, v.setKeepRequest);
  ServeSave();
  // 8. Tab bar, the two small-font labels, the comment or explanation.
  DrawTabs();
  for (const int code : {CodeMinMaxLabel, CodeSwatchLabel}) DrawPanelKey(screen, *FindPanelKey(UpperPanel, code));
  ServeComments(screen, Comments, v.helpItem);
}

// [SECTION] Page entry

// The page's state, as the history of changes keeps it.
constexpr std::array<StateBlock, 2> States{StateBlockOf<ContourPage>(), StateBlockOf<ShownScanLevel>()};
extern const PageEntry ContourPageEntry{.commentCode = 5,
                                        .start = StartContour,
                                        .enter = EnterContour,
                                        .click = ContourClick,
                                        .paint = PaintContour,
                                        .panels = {UpperPanel, LowerPanel},
    .states = States};
