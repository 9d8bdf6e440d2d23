// ADD page: the nod colours spread over the picture along its greys. The grey
// scale lo..hi is split into six bands, each pixel takes the colour of a ramp
// through the seven nod colours of the chosen column (A at start, B once
// chosen) and blends it into its own: " add" with the weights in force, "hd"
// over the picture as it was on entering (KEEP6) with weights 0 : 1.
// "set KEEP6" stores the result. The pixel work lives in nod_colours.cpp.
//
// [SECTION] State
// [SECTION] Panel and texts
// [SECTION] Entry
// [SECTION] Clicks
// [SECTION] Paint

#include "pages/colour/add_page.h"

#include <array>
#include <optional>
#include <vector>

#include "pages/kit/page_entry.h"
#include "pages/kit/page_steps.h"
#include "pages/kit/page_state.h"
#include "pages/kit/step_list.h"
#include "image/bmp_files.h"
#include "image/planes.h"
#include "pages/colour/nod_colours.h"
#include "panel/calculator.h"
#include "panel/comments.h"
#include "panel/widgets.h"
#include "platform/surface.h"


// [SECTION] State: the page's block with its start values. The column choice
// and the blend weights outlive the page (entry keeps them).
namespace {

struct AddPageState {
  int lo = 0, hi = 255;      // grey range (fixed here, shown greyed)
  bool applyRequest = false;      // 1: run the addition at the next paint
  bool hardRequest = false;       // 1: "hd" (weights 0 : 1); cleared by every paint
  bool readKeepRequest = false;   // 1: read KEEP6 into WorkPlanes first
  bool entrySaveRequest = false;  // 1: store the image as entered in KEEP6
  bool setRequest = false;        // 1: "set KEEP6"
  int helpItem = 0;          // explanation selector, 0 none
};
AddPageState Add;

int AddColumn = NodColumnA;             // 1 A (start), 2 B
BlendWeights AddWeights = SoftWeights;  // the last weights used
NodColumn ActiveNodColours{};           // the chosen column, copied at every paint
int BuiltInTableNumber = 1;             // "%d→": the built-in set, always 1

// [SECTION] Panel and texts
enum AddCode {
  CodeTitle = 1,
  CodeNodLabel,
  CodeTableNumber,
  CodeColumnA,
  CodeColumnB,
  CodeColumnC,
  CodeSetAreaLabel,
  CodeAppoint,
  CodeMinMaxLabel,
  CodeLo,
  CodeTilde,
  CodeHi,
  CodeAddLabel,
  CodeSoft,
  CodeMiddle,
  CodeHard,
  CodeAdd,
  CodeSaveLabel,
  CodeSetKeep,
  CodeResetMark,  // either reset mark
  CodeSwatches,   // the swatch grid of the three columns
  CodeRangeBar,   // the gray belt with its arrows
  CodeMeter,      // the blend meter
  CodeKeypad,     // the greyed calculator
};

constexpr Rgb Grey = InactiveText;
constexpr Rgb ColumnColour{20, 240, 200};
constexpr Rgb AddColour{220, 240, 40};
constexpr Rgb FrameGrey{192, 192, 192};
constexpr Rgb MeterMark{64, 64, 64};

// "hd" is drawn chosen in the paint that serves it.
bool HardShown = false;

// The panel, row by row (the range bar and blend meter are drawn apart). A
// row's click region is its key box unless it gives its own `hit`; the click
// handler tests the rows in this order.
const std::array<PanelKey, 25> Panel = {{
    {.code = CodeTitle, .x = 4, .y = 4, .width = 88, .english = "[ ADD ]", .japanese = "[ 色加味 ]",
     .kind = KeyKind::Label, .fontHeight = LargeFontHeight, .hit = {2, 0, 98, 28}},
    {.code = CodeNodLabel, .x = 2, .y = 66, .width = 54, .english = "1)nod color", .japanese = "1)配色",
     .kind = KeyKind::Label, .hit = {2, 66, 98, 86}},
    {.code = CodeTableNumber, .x = 62, .y = 60, .width = 30, .keyColour = Grey, .textColour = Grey,
     .english = "%d→", .japanese = "%d→", .value = &BuiltInTableNumber, .hit = NoClick},
    {.code = CodeColumnA, .x = 8, .y = 86, .width = 24, .keyColour = Grey, .textColour = Grey, .english = "Ａ",
     .japanese = "Ａ"},
    {.code = CodeColumnB, .x = 38, .y = 86, .width = 24, .keyColour = ColumnColour, .english = "Ｂ",
     .japanese = "Ｂ", .kind = KeyKind::Switch, .state = &AddColumn, .onValue = NodColumnB},
    {.code = CodeColumnC, .x = 68, .y = 86, .width = 24, .keyColour = Grey, .textColour = Grey, .english = "Ｃ",
     .japanese = "Ｃ"},
    {.code = CodeSetAreaLabel, .x = 4, .y = 206, .width = 88, .textColour = Grey, .english = "2)set area",
     .japanese = "2)範囲指定", .kind = KeyKind::Label, .hit = {4, 206, 98, 226}},
    {.code = CodeAppoint, .x = 4, .y = 226, .width = 88, .keyColour = Grey, .textColour = Grey,
     .english = " appoint", .japanese = "アポイント", .hit = {2, 226, 98, 316}},
    // The range "min ～ Max" answers as one, with its value boxes.
    {.code = CodeMinMaxLabel, .x = 2, .y = 337, .width = 96, .textColour = Grey, .english = " min       Max",
     .japanese = " min       Max", .kind = KeyKind::Label, .hit = {2, 336, 98, 369}},
    {.code = CodeLo, .x = 2, .y = 349, .width = 36, .keyColour = Grey, .textColour = Grey, .english = "%3d",
     .japanese = "%3d", .kind = KeyKind::ValueBox, .value = &Add.lo, .hit = NoClick},
    {.code = CodeTilde, .x = 40, .y = 349, .width = 20, .textColour = Grey, .english = "～", .japanese = "～",
     .kind = KeyKind::Label, .hit = NoClick},
    {.code = CodeHi, .x = 62, .y = 349, .width = 36, .keyColour = Grey, .textColour = Grey, .english = "%3d",
     .japanese = "%3d", .kind = KeyKind::ValueBox, .value = &Add.hi, .hit = NoClick},
    {.code = CodeAddLabel, .x = 4, .y = 388, .width = 88, .english = "3)add color", .japanese = "3)色加味",
     .kind = KeyKind::Label, .hit = {2, 388, 98, 408}},
    {.code = CodeSoft, .x = 8, .y = 408, .width = 24, .keyColour = Grey, .textColour = Grey, .english = "sft",
     .japanese = "軟"},
    {.code = CodeMiddle, .x = 38, .y = 408, .width = 24, .keyColour = Grey, .textColour = Grey, .english = "md",
     .japanese = "中"},
    {.code = CodeHard, .x = 68, .y = 408, .width = 24, .keyColour = AddColour, .english = "hd", .japanese = "硬",
     .kind = KeyKind::Switch, .flag = &HardShown},
    {.code = CodeAdd, .x = 8, .y = 460, .width = 84, .keyColour = AddColour, .english = " add",
     .japanese = "　実　行"},
    {.code = CodeSaveLabel, .x = 4, .y = 499, .width = 88, .english = "4)save", .japanese = "4)保存",
     .kind = KeyKind::Label, .hit = {2, 499, 98, 519}},
    {.code = CodeSetKeep, .x = 8, .y = 519, .width = 84, .keyColour = ColumnColour, .english = "set KEEP6",
     .japanese = "決定KEEP6", .hit = {4, 519, 92, 539}},
    // What the page draws itself: the reset marks, the swatch grid, the range
    // bar, the blend meter and the keypad.
    {.code = CodeResetMark, .kind = KeyKind::Region, .hit = {2, 24, 50, 54}},
    {.code = CodeResetMark, .kind = KeyKind::Region, .hit = {50, 24, 98, 54}},
    {.code = CodeSwatches, .kind = KeyKind::Region, .hit = {4, 106, 98, 206}},
    {.code = CodeRangeBar, .kind = KeyKind::Region, .hit = {2, 316, 98, 336}},
    {.code = CodeMeter, .kind = KeyKind::Region, .hit = {8, 434, 92, 454}},
    {.code = CodeKeypad, .kind = KeyKind::Region, .hit = {4, 571, 92, 697}},
}};

// The greyed calculator (its keys only explain).
constexpr Keypad AddKeypad = MakeKeypad({571, {592, 613, 634}, 655, 676, 84});

struct MarkPlace {
  int x, y, colourIndex;
};
constexpr std::array<MarkPlace, 2> ResetMarks = {{{2, 24, 5}, {50, 24, 4}}};

constexpr std::array<int, 3> SwatchColumnX = {8, 38, 68};
constexpr int SwatchTop = 119, SwatchStep = 13, SwatchLength = 24, SwatchThickness = 5;

constexpr int RangeBarX = 24, RangeBarY = 316, RangeBarWidth = 52;
constexpr int MeterX = 8, MeterY = 434, MeterWidth = 84, MeterHeight = 21;

// Comment page and explanations, both languages side by side.
constexpr CommentText Comment{.lines = {{
    {"ADD [<>] add several colors on the image along light and dark og the image; ",
     "色加味 [<>] 画像の明暗に沿っていくつかの色を加える;"},
    {"    (A)[Ａ][Ｂ][Ｃ] [→] choose a nod color group; (B)[ add] [→] add the colors softly, [hd] [→] paint "
     "the image wholly in them;",
     "    (A)[Ａ][Ｂ][Ｃ] [→] 配色の組を選ぶ; (B)[　実　行] [→] 色を弱く加える, [硬] [→] 画像を全部その色で塗る;"},
    {"    (C)[set KEEP6] [→] save the image with a name of KEEP6.bmp; the nod colors are set on [palette];",
     "    (C)[決定KEEP6] [→] 画像を KEEP6.bmp の名で保存する; 配色は [パレット] で決める;"},
}}};

const std::array<CommentText, 9> Explanations = {{
    {.selector = 1, .colour = ExplainBlue, .lines = {{
         {"reset mark [<>] switch to come back to default;", "リセットマーク [<>] 初期状態にもどるスイッチ;"},
         {"    Left click [→] gray area 0～255, and the image as it was on entering this page (KEEP6.bmp);",
          "    左クリック [→] 灰色の範囲 0～255, 画像はこのページに入ったときのもの (KEEP6.bmp) にもどる;"}}}},
    {.selector = 2, .colour = ExplainGreen, .lines = {{
         {"nod volor [<>] nod color on adding; Where, interval color [<>] gradational change;",
          "配色 [<>] 色加味の節の色; ここで, 間の色 [<>] なだらかに変わる色;"},
         {"    seven nod colors stand on the gray bounds 0, 42, 84, 126, 168, 210, 255; [Ｂ] [→] use group B;",
          "    七つの節色が灰色の境 0, 42, 84, 126, 168, 210, 255 に立つ; [Ｂ] [→] Ｂ組を使う;"},
         {"    the groups come from the program, or from your own file called on [palette] ([new color]);",
          "    組はプログラムのもの, または [パレット] で呼び出した自分のファイル ([新色呼出]) のもの;"}}}},
    {.selector = 3, .colour = ExplainRed, .lines = {{
         {"set area [<>] set gray area of adding color;", "範囲指定 [<>] 色を加える灰色の範囲を決める;"},
         {"    on this page the area is always 0～255 (the whole gray scale);",
          "    このページでは範囲はいつも 0～255 (灰色すべて);"}}}},
    {.selector = 4, .colour = ExplainPurple, .lines = {{
         {"appoint [<>] read pixel color values on the image;", "アポイント [<>] 画像の画素の色の値を読む;"},
         {"    not used on this page;", "    このページでは使わない;"}}}},
    {.selector = 5, .colour = ExplainTeal, .lines = {{
         {"gray belt switch [<>] belt switch to show and to set the area of gray values on adding color;",
          "灰色帯スイッチ [<>] 色を加える灰色の範囲を示し決める帯スイッチ;"},
         {"    here it shows the area 0～255;", "    ここでは範囲 0～255 を示す;"}}}},
    {.selector = 6, .colour = ExplainOlive, .lines = {{
         {"add color [<>] add gradational color on trhe image;", "色加味 [<>] なだらかな色を画像に加える;"},
         {"    [ add] [→] one eighth of the nod colors blends into the image, again at each click;",
          "    [　実　行] [→] 節色の八分の一が画像に混ざる, クリックごとにもう一度;"},
         {"    [hd] [→] the image of KEEP6.bmp painted wholly in the nod colors; after it [ add] adds them "
          "wholly;",
          "    [硬] [→] KEEP6.bmp の画像を全部節色で塗る; その後の [　実　行] は節色をそのまま加える;"},
         {"    meter [<>] the share of the nod colors: left end none, right end all;",
          "    メーター [<>] 節色の割合: 左端なし, 右端すべて;"}}}},
    {.selector = 7, .colour = ExplainGrey, .lines = {{
         {"save [<>] save the image to inner memory and outer KEEP6.bmp file;",
          "保存 [<>] 画像を内部メモリーと外部ファイル KEEP6.bmp に保存する;"},
         {"    [Save] on the tab bar [→] save the image with a name you give;",
          "    タブの [保存→] [→] 名前をつけて画像を保存する;"}}}},
    {.selector = 8, .colour = ExplainDeepBlue, .lines = {{
         {"Left click on [set KEEP6] [→] save the image to inner memory ([<>] set), and save as outer file with "
          "a name of KEEP6.bmp;",
          "[決定KEEP6] を左クリック [→] 画像を内部メモリーに保存し ([<>] 決定), KEEP6.bmp の名で外部ファイルに"
          "保存する;"},
         {"    other pages call it by [Get];", "    他のページは [←呼出] でそれを呼び出す;"}}}},
    {.selector = 9, .colour = ExplainBrown, .lines = {{
         {"[f(min)]～[t(Max)] [<>] gray area on adding color;", "[f(min)]～[t(Max)] [<>] 色を加える灰色の範囲;"},
         {"    fixed at 0～255 on this page;", "    このページでは 0～255 に固定;"}}}},
}};

const PageComments Comments{.commentCode = 6,
                            .slot = PageAdd,
                            .hasCalculator = true,
                            .comment = &Comment,
                            .explanations = Explanations};

// The upper panel: key words, reset marks, the greyed keypad and the swatch grid.
void DrawUpperPanel(Surface& screen) {
  DrawPanel(screen, Panel);
  for (const MarkPlace& mark : ResetMarks) DrawResetMark(screen, mark.x, mark.y, ResetMarkUnit, mark.colourIndex);
  DrawKeypad(screen, AddKeypad, false, true);
  for (int i = 0; i < NodColourCount; ++i) {
    const int y = SwatchTop + SwatchStep * i;
    for (int column = 0; column < 3; ++column) {
      const NodColour& c = NodEntry(NodColours.table, column + 1, i + 1);
      const Rgb colour{static_cast<std::uint8_t>(c.red), static_cast<std::uint8_t>(c.green),
                       static_cast<std::uint8_t>(c.blue)};
      const int x = SwatchColumnX[static_cast<std::size_t>(column)];
      screen.Line(Pen{colour, SwatchThickness}, x, y, x + SwatchLength, y);
    }
  }
}

// x 18 for (7, 1), 29 for (3, 1), 92 for (0, 1).
int MeterMarkX() { return MeterX + MeterWidth * AddWeights.nod / (AddWeights.old + AddWeights.nod); }

// The range bar with its greyed arrows, and the blend meter.
void DrawBars(Surface& screen) {
  DrawDiamondSwitch(screen, 2, RangeBarY, Grey);
  DrawDiamondSwitch(screen, 78, RangeBarY, Grey);
  for (int x = RangeBarX + Add.lo * RangeBarWidth / 256; x <= RangeBarX + Add.hi * RangeBarWidth / 256; ++x) {
    screen.Line(Pen{Grey}, x, RangeBarY + 1, x, RangeBarY + KeyHeight - 1);
  }
  screen.Rectangle(Pen{FrameGrey}, std::nullopt, RangeBarX, RangeBarY, RangeBarX + RangeBarWidth,
                   RangeBarY + KeyHeight);
  screen.Rectangle(Pen{Grey, 3}, std::nullopt, MeterX, MeterY, MeterX + MeterWidth, MeterY + MeterHeight);
  const int markX = MeterMarkX();
  screen.Line(Pen{MeterMark}, markX, MeterY + 2, markX, MeterY + MeterHeight - 2);
}

}  // namespace

// The blend meter's mark for the weights in force (x 18 at (7, 1), 92 at (0, 1)).
int AddMeterX() { return MeterMarkX(); }
int AddColumnChoice() { return AddColumn; }

void StartAdd() {
  Add = AddPageState{};
  AddColumn = NodColumnA;
  AddWeights = SoftWeights;
  ActiveNodColours = {};
  HardShown = false;
}

// [SECTION] Entry
void EnterAdd() {
  Add.lo = 0;
  Add.hi = 255;
  Add.hardRequest = false;
  Add.entrySaveRequest = true;
  Add.helpItem = 0;
  Calc.on = false;
  CommentPanel.request = 6;
}

// [SECTION] Clicks
bool AddClick() {
  const int code = PanelKeyAt(Panel, MouseX, MouseY);
  switch (code) {
    case NoKey: return false;
    case CodeTitle: CommentPanel.request = 6; break;
    case CodeResetMark:
      Add.lo = 0;
      Add.hi = 255;
      Add.readKeepRequest = true;
      Add.helpItem = 1;
      break;
    case CodeNodLabel:
    case CodeColumnA:
    case CodeColumnC:
    case CodeSwatches: Add.helpItem = 2; break;
    case CodeColumnB:
      AddColumn = NodColumnB;
      Add.helpItem = 2;
      break;
    case CodeSetAreaLabel: Add.helpItem = 3; break;
    case CodeAppoint: Add.helpItem = 4; break;
    case CodeRangeBar: Add.helpItem = 5; break;
    case CodeMinMaxLabel: Add.helpItem = 9; break;
    case CodeAddLabel:
    case CodeSoft:
    case CodeMiddle:
    case CodeMeter: Add.helpItem = 6; break;
    case CodeHard:
      Add.hardRequest = true;
      Add.readKeepRequest = true;
      Add.applyRequest = true;
      Add.helpItem = 6;
      break;
    case CodeAdd:
      Add.applyRequest = true;
      Add.helpItem = 6;
      break;
    case CodeSaveLabel: Add.helpItem = 7; break;
    case CodeSetKeep:
      Add.setRequest = true;
      Add.helpItem = 8;
      break;
    case CodeKeypad: CommentPanel.request = CalculatorNoteRequest; break;
    default: break;
  }
  return true;
}

// [SECTION] Paint
void PaintAdd() {
  Surface& screen = Screen();
  BeginPageSection();
  // 1. - 2. The working table from its source, and the chosen column.
  FillNodColourTable();
  ActiveNodColours = NodColours.table.columns[static_cast<std::size_t>(AddColumn - 1)];
  // 3. The upper panel and the swatch grid ("hd" chosen while served).
  HardShown = Add.hardRequest;
  DrawUpperPanel(screen);
  // 4. The image as entered into KEEP6; KEEP6 read back; Get and Restore.
  //    The steps of the picture go with KEEP6: back to those it was
  //    written with when it is read.
  if (Add.entrySaveRequest) {
    if (WriteKeepFile(Canvas.data(), PageAdd, PixelSource::FromPlanes)) {
      NoteKeepWritten(PageAdd, PictureFile.path, KeepFileName(PageAdd));
    }
    Add.entrySaveRequest = false;
  }
  if (Add.readKeepRequest) {
    if (ReadKeepFile(Canvas.data(), PageAdd, PixelTarget::IntoPlanes)) {
      NoteKeepRead(PageAdd, PictureFile.path, KeepFileName(PageAdd));
    }
    Add.readKeepRequest = false;
  }
  ServeGetAndRestore(PageAdd, false);
  // 5. The addition, one more step of the picture.
  if (Add.applyRequest) {
    if (Add.hardRequest) AddWeights = HardWeights;
    DoStep(AddColourStep{AddColourSettings{ActiveNodColours, Add.lo, Add.hi, AddWeights}});
  }
  // 6. Show the planes.
  ShowPlanes();
  // 7. Range bar, "set KEEP6", the blend meter; Set and Save.
  DrawBars(screen);
  DrawPanelKey(screen, *FindPanelKey(Panel, CodeSetKeep));
  ServeSet(PageAdd, Add.setRequest);
  ServeSave();
  // 8. Tab bar, the small-font label, the comment; the requests served.
  DrawTabs();
  DrawPanelKey(screen, *FindPanelKey(Panel, CodeMinMaxLabel));
  ServeComments(screen, Comments, Add.helpItem);
  Add.applyRequest = false;
  Add.hardRequest = false;
  HardShown = false;
}

// [SECTION] Page entry

// The page's state, as the history of changes keeps it.
constexpr std::array<StateBlock, 5> States{StateBlockOf<Add>(), StateBlockOf<AddColumn>(), StateBlockOf<AddWeights>(), StateBlockOf<ActiveNodColours>(), StateBlockOf<HardShown>()};
extern const PageEntry AddPageEntry{.commentCode = 6,
                                    .start = StartAdd,
                                    .enter = EnterAdd,
                                    .click = AddClick,
                                    .paint = PaintAdd,
                                    .panels = {Panel},
    .states = States};
