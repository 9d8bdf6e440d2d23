// PALETTE page: edits the nod colours that ADD spreads. One entry of the
// working table (column, index) is current; its colour is changed by the bar
// graphs, the ±8 arrows, the calculator or the colour chart drawn over the
// picture, and written back into the table at every paint. "save color"
// writes the working table as a nod colour file, "new color" reads one into
// it (and into the user's table, which then becomes ADD's source), "org
// color" goes back to the built-in table. The file format lives in
// nod_colour_file.cpp, the chart in colour_chart.cpp.
//
// [SECTION] State
// [SECTION] Panel and texts
// [SECTION] Entry
// [SECTION] Clicks
// [SECTION] Paint

#include "pages/colour/palette_page.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>

#include "pages/kit/page_entry.h"
#include "pages/kit/page_steps.h"
#include "pages/kit/page_state.h"
#include "image/bmp_files.h"
#include "image/planes.h"
#include "pages/colour/colour_chart.h"
#include "pages/colour/nod_colour_file.h"
#include "pages/colour/nod_colours.h"
#include "panel/calculator.h"
#include "panel/comments.h"
#include "panel/widgets.h"
#include "platform/dialogs.h"
#include "platform/surface.h"

namespace {

// [SECTION] State: the page's block with its start values. The current
// colour stays within 0..255 on every editing path of this page.
enum ChannelTarget { TargetNone = 0, TargetRed = 1, TargetGreen = 2, TargetBlue = 3 };

struct PalettePageState {
  int column = NodColumnA;  // 1 A, 2 B, 3 C
  int index = 1;            // 1..7
  int red = 0, green = 0, blue = 0;
  bool chartOn = false;
  bool calculatorOn = false;
  int target = TargetNone;
  int chartGreen = 0;       // 0..255
  bool edited = false;           // 1: a click set the colour; cleared by every paint
  bool reloadRequest = false;    // 1: the built-in table into the working table (source 1)
  bool loadRequest = false;      // 1: "new color" at the next paint
  bool saveRequest = false;      // 1: "save color" at the next paint
  bool advanceRequest = false;   // 1: the next index at the next paint
  int helpItem = 0;
};
PalettePageState Palette;

constexpr int ArrowStep = 8;

// Drawn chosen in the paint that serves them.
bool OrgShown = false, NewShown = false;

// [SECTION] Panel and texts
enum PaletteCode {
  CodeTitle = 1,
  CodePaletteLabel,
  CodeOrgColour,
  CodeNewColour,
  CodeColumnA,
  CodeColumnB,
  CodeColumnC,
  CodeSetLabel,
  CodeByGraph,
  CodeByChart,
  CodeIndex,
  CodeDown,
  CodeRightClick,
  CodeCalGraph,
  CodeChart,
  CodeSaveLabel,
  CodeSaveColour,
  CodeRedBox,
  CodeGreenBox,
  CodeBlueBox,
  CodeFullReset,   // the dark red reset mark
  CodeEntryReset,  // the pink reset mark
  CodeSwatchB1,    // the group B bars, 1 to 7
  CodeSwatchB2,
  CodeSwatchB3,
  CodeSwatchB4,
  CodeSwatchB5,
  CodeSwatchB6,
  CodeSwatchB7,
  CodeSwatchesA,  // the swatch columns (B: the lines between its bars)
  CodeSwatchesB,
  CodeSwatchesC,
  CodeRedBar,  // the channel bars and their arrows, row by row
  CodeRedLess,
  CodeRedMore,
  CodeGreenBar,
  CodeGreenLess,
  CodeGreenMore,
  CodeBlueBar,
  CodeBlueLess,
  CodeBlueMore,
  CodeChartNote,  // right of "chart"
};

constexpr Rgb Grey = InactiveText;
constexpr Rgb SmallText{128, 128, 128};
constexpr Rgb TableKey{255, 200, 200};
constexpr Rgb FrameGrey{192, 192, 192};

// The upper panel, row by row. A row's click region is its key box unless it
// gives its own `hit`; the click handler tests these rows, then the value
// boxes'.
const std::array<PanelKey, 39> Panel = {{
    {.code = CodeTitle, .x = 4, .y = 4, .width = 88, .english = "[PALETTE]", .japanese = "[パレット]",
     .kind = KeyKind::Label, .fontHeight = LargeFontHeight, .hit = {2, 0, 98, 28}},
    {.code = CodePaletteLabel, .x = 4, .y = 68, .width = 88, .english = "1)palette", .japanese = "1)配色",
     .kind = KeyKind::Label, .hit = {4, 58, 98, 88}},
    {.code = CodeOrgColour, .x = 4, .y = 88, .width = 88, .keyColour = TableKey, .english = "org color",
     .japanese = "指定色", .kind = KeyKind::Switch, .flag = &OrgShown},
    {.code = CodeNewColour, .x = 4, .y = 114, .width = 88, .keyColour = TableKey, .english = "new color",
     .japanese = "新色呼出", .kind = KeyKind::Switch, .flag = &NewShown},
    {.code = CodeColumnA, .x = 8, .y = 140, .width = 24, .keyColour = Grey, .textColour = Grey, .english = "Ａ",
     .japanese = "Ａ"},
    {.code = CodeColumnB, .x = 38, .y = 140, .width = 24, .keyColour = {255, 180, 180}, .english = "Ｂ",
     .japanese = "Ｂ", .kind = KeyKind::Switch, .state = &Palette.column, .onValue = NodColumnB},
    {.code = CodeColumnC, .x = 68, .y = 140, .width = 24, .keyColour = Grey, .textColour = Grey, .english = "Ｃ",
     .japanese = "Ｃ"},
    {.code = CodeSetLabel, .x = 4, .y = 263, .width = 88, .english = "2)set", .japanese = "2)色決め",
     .kind = KeyKind::Label, .hit = {4, 263, 98, 314}},
    {.code = CodeByGraph, .x = 4, .y = 285, .width = 88, .textColour = SmallText, .english = "by graph, cal",
     .japanese = "方法) 棒グラフ", .kind = KeyKind::Label, .hit = NoClick},
    {.code = CodeByChart, .x = 4, .y = 298, .width = 88, .textColour = SmallText, .english = " color chart",
     .japanese = "　色地図, 電卓", .kind = KeyKind::Label, .hit = NoClick},
    {.code = CodeRightClick, .x = 12, .y = 340, .width = 80, .textColour = SmallText, .english = "R click [↓]",
     .japanese = "R click [↓]", .kind = KeyKind::Label, .hit = {4, 334, 98, 358}},
    {.code = CodeCalGraph, .x = 0, .y = 358, .width = 98, .textColour = SmallText, .english = "cal graph",
     .japanese = "電卓　棒グラフ", .kind = KeyKind::Label, .hit = {4, 358, 98, 372}},
    {.code = CodeChart, .x = 8, .y = 450, .width = 58, .keyColour = {200, 200, 40}, .english = "chart",
     .japanese = "色地図", .kind = KeyKind::Switch, .flag = &Palette.chartOn},
    {.code = CodeSaveLabel, .x = 4, .y = 612, .width = 88, .english = "3)save", .japanese = "3)保存",
     .kind = KeyKind::Label, .hit = {4, 612, 98, 632}},
    {.code = CodeSaveColour, .x = 4, .y = 632, .width = 88, .keyColour = {240, 240, 100}, .english = "save color",
     .japanese = " 配色保存", .hit = {8, 632, 92, 652}},
    {.code = CodeIndex, .x = 22, .y = 314, .width = 14, .english = "%d", .japanese = "%d", .kind = KeyKind::Label,
     .value = &Palette.index, .hit = {4, 314, 68, 334}},
    {.code = CodeDown, .x = 72, .y = 314, .width = 20, .keyColour = {240, 200, 200}, .english = "↓",
     .japanese = "↓", .hit = {68, 314, 92, 334}},
    {.code = CodeFullReset, .kind = KeyKind::Region, .hit = {0, 28, 50, 58}},
    {.code = CodeEntryReset, .kind = KeyKind::Region, .hit = {50, 28, 100, 58}},
    {.code = CodeSwatchB1, .kind = KeyKind::Region, .hit = {38, 166, 62, 179}},
    {.code = CodeSwatchB2, .kind = KeyKind::Region, .hit = {38, 179, 62, 192}},
    {.code = CodeSwatchB3, .kind = KeyKind::Region, .hit = {38, 192, 62, 205}},
    {.code = CodeSwatchB4, .kind = KeyKind::Region, .hit = {38, 205, 62, 218}},
    {.code = CodeSwatchB5, .kind = KeyKind::Region, .hit = {38, 218, 62, 231}},
    {.code = CodeSwatchB6, .kind = KeyKind::Region, .hit = {38, 231, 62, 244}},
    {.code = CodeSwatchB7, .kind = KeyKind::Region, .hit = {38, 244, 62, 257}},
    {.code = CodeSwatchesA, .kind = KeyKind::Region, .hit = {8, 166, 32, 257}},
    {.code = CodeSwatchesB, .kind = KeyKind::Region, .hit = {38, 166, 62, 257}},
    {.code = CodeSwatchesC, .kind = KeyKind::Region, .hit = {68, 166, 92, 257}},
    {.code = CodeRedBar, .kind = KeyKind::Region, .hit = {28, 372, 76, 392}},
    {.code = CodeRedLess, .kind = KeyKind::Region, .hit = {78, 372, 88, 392}},
    {.code = CodeRedMore, .kind = KeyKind::Region, .hit = {88, 372, 98, 392}},
    {.code = CodeGreenBar, .kind = KeyKind::Region, .hit = {28, 398, 76, 418}},
    {.code = CodeGreenLess, .kind = KeyKind::Region, .hit = {78, 398, 88, 418}},
    {.code = CodeGreenMore, .kind = KeyKind::Region, .hit = {88, 398, 98, 418}},
    {.code = CodeBlueBar, .kind = KeyKind::Region, .hit = {28, 424, 76, 444}},
    {.code = CodeBlueLess, .kind = KeyKind::Region, .hit = {78, 424, 88, 444}},
    {.code = CodeBlueMore, .kind = KeyKind::Region, .hit = {88, 424, 98, 444}},
    {.code = CodeChartNote, .kind = KeyKind::Region, .hit = {66, 450, 98, 470}},
}};
// Drawn at the end of the paint, over what the steps before drew.
constexpr std::array<int, 4> SmallLabels = {CodeByGraph, CodeByChart, CodeRightClick, CodeCalGraph};

// The channel rows: value box, bar and arrows.
struct ChannelRow {
  int y;
  Rgb boxTint, barTint, valueColour;
  int PalettePageState::*value;
  int target;
};
constexpr std::array<ChannelRow, 3> ChannelRows = {{
    {372, {240, 200, 200}, {255, 200, 200}, {255, 0, 0}, &PalettePageState::red, TargetRed},
    {398, {200, 240, 200}, {200, 255, 200}, {0, 255, 0}, &PalettePageState::green, TargetGreen},
    {424, {200, 200, 240}, {200, 200, 255}, {0, 0, 255}, &PalettePageState::blue, TargetBlue},
}};
constexpr int ValueBoxX = 2, ValueBoxWidth = 24;
constexpr int BarX = 28, BarWidth = 48;
constexpr int ArrowX = 78;

const std::array<PanelKey, 3> ValueBoxes = {{
    {.code = CodeRedBox, .x = ValueBoxX, .y = 372, .width = ValueBoxWidth, .keyColour = {240, 200, 200},
     .textColour = {255, 0, 0}, .english = "%3d", .japanese = "%3d", .kind = KeyKind::ValueBox,
     .place = TextPlace::Lowered, .fontHeight = LargeFontHeight, .value = &Palette.red, .state = &Palette.target,
     .onValue = TargetRed},
    {.code = CodeGreenBox, .x = ValueBoxX, .y = 398, .width = ValueBoxWidth, .keyColour = {200, 240, 200},
     .textColour = {0, 255, 0}, .english = "%3d", .japanese = "%3d", .kind = KeyKind::ValueBox,
     .place = TextPlace::Lowered, .fontHeight = LargeFontHeight, .value = &Palette.green, .state = &Palette.target,
     .onValue = TargetGreen},
    {.code = CodeBlueBox, .x = ValueBoxX, .y = 424, .width = ValueBoxWidth, .keyColour = {200, 200, 240},
     .textColour = {0, 0, 255}, .english = "%3d", .japanese = "%3d", .kind = KeyKind::ValueBox,
     .place = TextPlace::Lowered, .fontHeight = LargeFontHeight, .value = &Palette.blue, .state = &Palette.target,
     .onValue = TargetBlue},
}};

// The calculator, drawn active.
constexpr Keypad PaletteKeypad = MakeKeypad({476, {500, 520, 540}, 560, 580, 84});

struct MarkPlace {
  int x, y, colourIndex;
};
constexpr std::array<MarkPlace, 2> ResetMarks = {{{2, 28, 2}, {50, 28, 7}}};

constexpr std::array<const char*, 3> ColumnLetters = {"Ａ", "Ｂ", "Ｃ"};
constexpr std::array<int, 3> SwatchColumnX = {8, 38, 68};
constexpr int SwatchTop = 173, SwatchStep = 13, SwatchLength = 24, SwatchThickness = 5;
constexpr int CurrentSwatchX = 40, CurrentSwatchY = 314, CurrentSwatchWidth = 24;

// The dialogs' texts.
constexpr const char* LoadTitle = "Text File Open";
// Shown when the open dialog of "new color" is cancelled.
constexpr BilingualText CancelText{"失敗", "Cancelled: no nod colour file was read"};
constexpr std::array<const char*, 2> SaveTitle = {"名前をつけて配色を保存する", "SAVE NOD COLORS WITH A NAME"};

constexpr BilingualText TextFilterName{"テキストファイル(*.txt)", "Text files (*.txt)"};

std::vector<FileFilter> TextFilters() {
  return {{TextFilterName.InCurrentLanguage(), "*.txt"}, {AllFilesFilterName.InCurrentLanguage(), "*.*"}};
}

// Comment page and explanations, both languages side by side.
constexpr CommentText Comment{.lines = {{
    {"palette [<>] set nod colors used at ADD", "パレット [<>] 色加味で使う節色を設定する"},
    {"    (A)choose one color on the list of group B, or by [↓] or a right click; (B)set it by the bars, the "
     "arrows, [cal] or [chart];",
     "    (A)Ｂ組の色を一つ選ぶ, または [↓] か右クリックで次へ; (B)棒グラフ, 矢印, [電卓] か [色地図] で色を決める;"},
    {"    (C)[save color] [→] save the colors as a text file; [new color] [→] call it back, and ADD uses it;",
     "    (C)[ 配色保存] [→] 配色をテキストファイルに保存する; [新色呼出] [→] それを呼び出し, 色加味がそれを使う;"},
}}};

const std::array<CommentText, 11> Explanations = {{
    {.selector = 1, .colour = ExplainBlue, .lines = {{
         {"reset mark [<>] switch to come back to default;", "リセットマーク [<>] 初期状態にもどるスイッチ;"},
         {"    dark red mark [→] program colors again (unless your own are in use), A 1, chart and calculator off;",
          "    暗い赤のマーク [→] プログラムの配色にもどす (自分の配色を使っていなければ), A 1, 色地図と電卓はオフ;"},
         {"    pink mark [→] A 1, chart off; the colors stay;", "    桃色のマーク [→] A 1, 色地図はオフ; 配色はそのまま;"}}}},
    {.selector = 2, .colour = ExplainGreen, .lines = {{
         {"palette [<>] set palette color used in ADD;", "配色 [<>] 色加味で使う配色を決める;"},
         {"    seven nod colors in each of the groups A, B, C; ADD spreads them along the grays of the image;",
          "    Ａ, Ｂ, Ｃ 各組に七つの節色; 色加味はそれを画像の灰色に沿って広げる;"}}}},
    {.selector = 3, .colour = ExplainRed, .lines = {{
         {"org color [<>] default palette color set by this program;",
          "指定色 [<>] このプログラムが決めた初めの配色;"},
         {"    Left click [→] the program colors come back, and ADD uses them;",
          "    左クリック [→] プログラムの配色がもどり, 色加味はそれを使う;"}}}},
    {.selector = 4, .colour = ExplainPurple, .lines = {{
         {"new color [→] call a dialog box to get a text file as other palette color;",
          "新色呼出 [→] ダイアログボックスでテキストファイルを別の配色として呼び出す;"},
         {"    only a file saved by [save color] is taken (21 lines of 12 bytes, values 0～255); ADD then uses it;",
          "    [ 配色保存] で保存したファイルだけを受け取る (21行 各12バイト, 値 0～255); 色加味はそれを使う;"}}}},
    {.selector = 5, .colour = ExplainTeal, .lines = {{
         {"[Ａ][Ｂ][Ｃ] [<>] palette color group name;", "[Ａ][Ｂ][Ｃ] [<>] 配色の組の名前;"},
         {"    [Ｂ] [→] edit group B;", "    [Ｂ] [→] Ｂ組を直す;"}}}},
    {.selector = 6, .colour = ExplainOlive, .lines = {{
         {"color list [<>] Left click each color bar;", "色の一覧 [<>] 各色の棒を左クリック;"},
         {"    a bar of group B [→] that color becomes the one to set on 2)set;",
          "    Ｂ組の棒 [→] その色が 2)色決め で決める色になる;"}}}},
    {.selector = 7, .colour = ExplainGrey, .lines = {{
         {"set [<>] set palette color by each one; either of next (A)(B)(C) can set it;",
          "色決め [<>] 配色を一つずつ決める; 次の (A)(B)(C) のどれでも決められる;"},
         {"    (A) the bars and arrows; (B) the calculator; (C) the color chart on the image;",
          "    (A) 棒グラフと矢印; (B) 電卓; (C) 画像の上の色地図;"}}}},
    {.selector = 8, .colour = ExplainDark, .lines = {{
         {"{A～B}{1～7} [<>] position of one color on 2)set;", "{A～B}{1～7} [<>] 2)色決め の色の位置;"},
         {"    [↓] or a right click on the image [→] the next color (after 7 comes 1); [↓] also makes ADD use "
          "your own colors;",
          "    [↓] か画像の右クリック [→] 次の色 (7 の次は 1); [↓] は色加味に自分の配色を使わせる;"}}}},
    {.selector = 9, .colour = ExplainDeepBlue, .lines = {{
         {"cal graph [<>] set one color value by next (A)(B);", "電卓　棒グラフ [<>] 次の (A)(B) で色の値を一つ決める;"},
         {"    (A) bar [→] the value at the click, arrows [→] -8 / +8 (0～255);",
          "    (A) 棒 [→] クリックした所の値, 矢印 [→] -8 / +8 (0～255);"},
         {"    (B) value box [→] the calculator changes that value;", "    (B) 値の箱 [→] 電卓でその値を変える;"}}}},
    {.selector = 10, .colour = ExplainBrown, .lines = {{
         {"chart [<>]  set one color value by next (C);", "色地図 [<>] 次の (C) で色の値を決める;"},
         {"    (C) Left click in the square [→] red upward, blue to the right; in the lower strip [→] green;",
          "    (C) 四角の中を左クリック [→] 赤は上へ, 青は右へ; 下の帯 [→] 緑;"}}}},
    {.selector = 11, .colour = ExplainCrimson, .lines = {{
         {"save         [<>] save new nod colors;", "保存         [<>] 新しい節色を保存する;"},
         {"    [save color] [→] a dialog box asks the name of the text file;",
          "    [ 配色保存] [→] ダイアログボックスでテキストファイルの名前を聞く;"}}}},
}};

const PageComments Comments{.commentCode = 7,
                            .slot = PagePalette,
                            .hasCalculator = true,
                            .comment = &Comment,
                            .explanations = Explanations};

Rgb ColourOf(const NodColour& c) {
  return Rgb{static_cast<std::uint8_t>(std::clamp(c.red, 0, 255)), static_cast<std::uint8_t>(std::clamp(c.green, 0, 255)),
             static_cast<std::uint8_t>(std::clamp(c.blue, 0, 255))};
}

int* TargetChannel() {
  switch (Palette.target) {
    case TargetRed: return &Palette.red;
    case TargetGreen: return &Palette.green;
    case TargetBlue: return &Palette.blue;
    default: return nullptr;
  }
}

// "new color": a nod colour file into the working table and the user's table,
// which becomes ADD's source. A cancel or a refused file changes nothing.
void LoadNodColourFile() {
  Dialogs& dialogs = CurrentDialogs();
  FileDialogRequest request{.kind = FileDialogKind::Open,
                            .title = LoadTitle,
                            .filters = TextFilters(),
                            .defaultExtension = "txt",
                            .mustExist = true,
                            .startFolder = {},
                            .checks = nullptr,
                            .note = {}};
  const std::optional<std::string> path = dialogs.AskFile(request);
  if (!path) {
    dialogs.ShowMessage(CancelText.InCurrentLanguage(), NodColourFileTitle, MessageButtons::Ok, MessageIcon::None);
    return;
  }
  const std::optional<NodTable> table = ReadNodColourFile(*path);
  if (!table) {
    dialogs.ShowMessage(NotNodColourFileText(*path), NodColourFileTitle, MessageButtons::Ok, MessageIcon::None);
    return;
  }
  NodColours.table = *table;
  NodColours.user = NodColours.table;
  NodColours.source = UserTableSource;
}

// "save color": the working table as a nod colour file. Cancel writes
// nothing; a failed write leaves any old file whole and says so.
void SaveNodColourFile() {
  Dialogs& dialogs = CurrentDialogs();
  FileDialogRequest request{.kind = FileDialogKind::Save,
                            .title = SaveTitle[LanguageId == EnglishLanguage ? 1 : 0],
                            .filters = TextFilters(),
                            .defaultExtension = "txt",
                            .overwritePrompt = true,
                            .mustExist = false,
                            .startFolder = {},
                            .checks = nullptr,
                            .note = {}};
  const std::optional<std::string> path = dialogs.AskFile(request);
  if (!path) return;
  if (!WriteNodColourFile(*path, NodColours.table)) {
    dialogs.ShowMessage(WriteFailureMessage(*path), WriteFailureTitle.InCurrentLanguage(), MessageButtons::Ok,
                        MessageIcon::None);
  }
}

// The swatch column: B in its colours, A and C greyed.
void DrawSwatches(Surface& screen) {
  for (int i = 0; i < NodColourCount; ++i) {
    const int y = SwatchTop + SwatchStep * i;
    for (int column = 0; column < 3; ++column) {
      const Rgb colour = column == 1 ? ColourOf(NodEntry(NodColours.table, NodColumnB, i + 1)) : Grey;
      const int x = SwatchColumnX[static_cast<std::size_t>(column)];
      screen.Line(Pen{colour, SwatchThickness}, x, y, x + SwatchLength, y);
    }
  }
}

// Step 9: the current entry, its colour, "↓" and the three channel bars.
void DrawCurrentColour(Surface& screen) {
  DrawKeyText(screen, 8, CurrentSwatchY, ColumnLetters[static_cast<std::size_t>(Palette.column - 1)], PanelText);
  DrawPanelKey(screen, *FindPanelKey(Panel, CodeIndex));
  screen.FillRect(Rgb{static_cast<std::uint8_t>(Palette.red), static_cast<std::uint8_t>(Palette.green),
                      static_cast<std::uint8_t>(Palette.blue)},
                  CurrentSwatchX, CurrentSwatchY, CurrentSwatchX + CurrentSwatchWidth, CurrentSwatchY + KeyHeight);
  DrawPanelKey(screen, *FindPanelKey(Panel, CodeDown));
  for (const ChannelRow& row : ChannelRows) {
    const int value = Palette.*row.value;
    for (int x = BarX; x <= BarX + value * BarWidth / 255; ++x) {
      screen.Line(Pen{row.barTint}, x, row.y + 1, x, row.y + KeyHeight - 1);
    }
    screen.Rectangle(Pen{FrameGrey}, std::nullopt, BarX, row.y, BarX + BarWidth, row.y + KeyHeight);
    DrawDiamondSwitch(screen, ArrowX, row.y, row.barTint);
  }
}

// Everything the entry routine and the first reset mark put back.
void ResetPaletteEntry() {
  if (NodColours.source == BuiltInTableSource) Palette.reloadRequest = true;
  Palette.column = NodColumnA;
  Palette.index = 1;
  Palette.chartOn = false;
  Palette.calculatorOn = false;
  Palette.target = TargetNone;
}

}  // namespace

PaletteView PaletteNow() {
  return PaletteView{Palette.column,  Palette.index,        Palette.red,    Palette.green,     Palette.blue,
                     Palette.chartOn, Palette.calculatorOn, Palette.target, Palette.chartGreen};
}

void StartPalette() {
  Palette = PalettePageState{};
  OrgShown = NewShown = false;
  StartNodColours();
}

// [SECTION] Entry
void EnterPalette() {
  ResetPaletteEntry();
  Palette.edited = false;
  Palette.advanceRequest = false;
  Palette.helpItem = 0;
  Requests.rightClick = 0;
  CommentPanel.request = 7;
}

// [SECTION] Clicks
namespace {

// The keypad: "cal" switches the calculator on (the chart off) or off; the
// other keys are live only while it is on.
bool KeypadClick() {
  const CalcKey* key = CalcKeyAt(PaletteKeypad, MouseX, MouseY);
  if (key == nullptr) return false;
  if (key->code != CalcSwitchCode && !Palette.calculatorOn) return true;
  CalculatorClick(PaletteKeypad, Palette.calculatorOn, MouseX, MouseY);
  if (key->code == CalcSwitchCode && Palette.calculatorOn) Palette.chartOn = false;
  return true;
}

// The channel rows' keys: value box, bar and arrows.
enum class ChannelEdit { ValueBox, Bar, Less, More };
struct ChannelKey {
  int code;
  int row;  // into ChannelRows
  ChannelEdit edit;
};
constexpr std::array<ChannelKey, 12> ChannelKeys = {{
    {CodeRedBox, 0, ChannelEdit::ValueBox},   {CodeRedBar, 0, ChannelEdit::Bar},
    {CodeRedLess, 0, ChannelEdit::Less},      {CodeRedMore, 0, ChannelEdit::More},
    {CodeGreenBox, 1, ChannelEdit::ValueBox}, {CodeGreenBar, 1, ChannelEdit::Bar},
    {CodeGreenLess, 1, ChannelEdit::Less},    {CodeGreenMore, 1, ChannelEdit::More},
    {CodeBlueBox, 2, ChannelEdit::ValueBox},  {CodeBlueBar, 2, ChannelEdit::Bar},
    {CodeBlueLess, 2, ChannelEdit::Less},     {CodeBlueMore, 2, ChannelEdit::More},
}};

// A value box selects its channel for the calculator (the chart goes off)
// or deselects it; a bar or an arrow edits the channel.
void ChannelKeyClick(const ChannelKey& key) {
  const ChannelRow& row = ChannelRows[static_cast<std::size_t>(key.row)];
  int& value = Palette.*row.value;
  switch (key.edit) {
    case ChannelEdit::ValueBox:
      if (Palette.target != row.target) {
        Palette.target = row.target;
        Palette.calculatorOn = true;
        Palette.chartOn = false;
      } else {
        Palette.target = TargetNone;
        Palette.calculatorOn = false;
      }
      return;
    case ChannelEdit::Bar: value = (MouseX - BarX) * 255 / BarWidth; break;
    case ChannelEdit::Less: value = std::max(value - ArrowStep, 0); break;
    case ChannelEdit::More: value = std::min(value + ArrowStep, 255); break;
  }
  Palette.edited = true;
}

}  // namespace

// The panel's rows, the value boxes', the keypad, then the picture.
bool PaletteClick() {
  int code = PanelKeyAt(Panel, MouseX, MouseY);
  if (code == NoKey) code = PanelKeyAt(ValueBoxes, MouseX, MouseY);
  switch (code) {
    // A click on the picture: the chart reads it at the paint that follows.
    case NoKey: return KeypadClick() || MouseInImage();
    case CodeTitle: CommentPanel.request = 7; break;
    case CodeFullReset:
      ResetPaletteEntry();
      Palette.helpItem = 1;
      break;
    case CodeEntryReset:
      Palette.column = NodColumnA;
      Palette.index = 1;
      Palette.chartOn = false;
      Palette.target = TargetNone;
      Palette.helpItem = 1;
      break;
    case CodePaletteLabel: Palette.helpItem = 2; break;
    case CodeOrgColour:
      NodColours.source = BuiltInTableSource;
      Palette.reloadRequest = true;
      Palette.helpItem = 3;
      break;
    case CodeNewColour:
      Palette.loadRequest = true;
      Palette.helpItem = 4;
      break;
    case CodeColumnA:
    case CodeColumnC: Palette.helpItem = 5; break;
    case CodeColumnB:
      Palette.column = NodColumnB;
      Palette.helpItem = 5;
      break;
    case CodeSwatchB1:
    case CodeSwatchB2:
    case CodeSwatchB3:
    case CodeSwatchB4:
    case CodeSwatchB5:
    case CodeSwatchB6:
    case CodeSwatchB7:
      Palette.column = NodColumnB;
      Palette.index = code - CodeSwatchB1 + 1;
      Palette.helpItem = 6;
      break;
    case CodeSwatchesA:
    case CodeSwatchesB:
    case CodeSwatchesC: Palette.helpItem = 6; break;
    case CodeSetLabel: Palette.helpItem = 7; break;
    case CodeIndex:
    case CodeRightClick: Palette.helpItem = 8; break;
    case CodeDown:
      Palette.advanceRequest = true;
      NodColours.source = UserTableSource;
      Palette.helpItem = 8;
      break;
    case CodeCalGraph: Palette.helpItem = 9; break;
    case CodeChart:
      if (!Palette.chartOn) {
        Palette.chartOn = true;
        Palette.calculatorOn = false;
        Palette.target = TargetNone;
      } else {
        Palette.chartOn = false;
      }
      Palette.helpItem = 10;
      break;
    case CodeChartNote: Palette.helpItem = 10; break;
    case CodeSaveLabel: Palette.helpItem = 11; break;
    case CodeSaveColour:
      Palette.saveRequest = true;
      Palette.helpItem = 11;
      break;
    default:  // the channel rows' value boxes, bars and arrows
      for (const ChannelKey& key : ChannelKeys) {
        if (key.code == code) ChannelKeyClick(key);
      }
      Palette.helpItem = 9;
      break;
  }
  return true;
}

// [SECTION] Paint
void PaintPalette() {
  Surface& screen = Screen();
  PalettePageState& p = Palette;
  BeginPageSection();
  // 1. The built-in table again, or a nod colour file.
  OrgShown = p.reloadRequest;
  NewShown = p.loadRequest;
  if (p.reloadRequest) {
    if (NodColours.source == BuiltInTableSource) NodColours.table = BuiltInNodColours;
    p.reloadRequest = false;
  }
  if (p.loadRequest) {
    LoadNodColourFile();
    p.loadRequest = false;
  }
  // 2. The upper panel and the keypad; the next index when asked ("↓" or a
  //    right click on the picture).
  DrawPanel(screen, Panel);
  for (const MarkPlace& mark : ResetMarks) DrawResetMark(screen, mark.x, mark.y, ResetMarkUnit, mark.colourIndex);
  DrawKeypad(screen, PaletteKeypad, p.calculatorOn);
  if (p.advanceRequest || Requests.rightClick == 1) {
    p.index = p.index % NodColourCount + 1;
    p.advanceRequest = false;
    Requests.rightClick = 0;
  }
  // 3. The swatch column.
  DrawSwatches(screen);
  // 4. The current colour from the table, unless a click set it.
  if (!p.edited) {
    const NodColour& entry = NodEntry(NodColours.table, p.column, p.index);
    p.red = entry.red;
    p.green = entry.green;
    p.blue = entry.blue;
  }
  // 5. The calculator on the target channel, then every channel into 0..255.
  ServeCalculator(screen, PaletteKeypad, p.calculatorOn ? TargetChannel() : nullptr);
  for (const ChannelRow& row : ChannelRows) p.*row.value = std::clamp(p.*row.value, 0, 255);
  // 6. Get with slot 7 (Restore reads nothing here); the planes into the canvas.
  if (Requests.getSlot == PagePalette) {
    ReadKeepFile(Canvas.data(), PagePalette, PixelTarget::IntoPlanes);
    Requests.getSlot = 99;
  }
  if (Requests.restore == RestoreAsked) Requests.restore = RestoreDone;
  CanvasFromPlanes(Canvas.data(), Stride, CanvasRows);
  // 7. The chart: the colour (or the chart green) under the last mouse
  //    position, then the chart over the picture's corner.
  if (p.chartOn && !p.edited) {
    const ChartPick pick = TakeChartColour(MouseX, MouseY, p.chartGreen);
    if (pick.kind == ChartPick::Colour) {
      p.red = pick.red;
      p.green = pick.green;
      p.blue = pick.blue;
    } else if (pick.kind == ChartPick::Green) {
      p.chartGreen = pick.chartGreen;
    }
  }
  if (p.chartOn) DrawColourChart(Canvas.data(), p.chartGreen);
  // 8. The current colour back into the table.
  NodEntry(NodColours.table, p.column, p.index) = NodColour{p.red, p.green, p.blue};
  // 9. The current entry, "↓" and the channel bars.
  DrawCurrentColour(screen);
  // 10. "save color".
  if (p.saveRequest) {
    SaveNodColourFile();
    p.saveRequest = false;
  }
  // 11. The canvas shown; tab bar, small-font labels, value boxes, comments.
  //     "Save" stores the picture without the chart: WorkPlanes as they are.
  Screen().BlitBottomUp(Canvas.data(), Stride, CanvasRows, 100, 32);
  if (Requests.saveAs) {
    SaveImageAs(LanguageId);
    Requests.saveAs = false;
  }
  DrawTabs();
  for (const int code : SmallLabels) DrawPanelKey(screen, *FindPanelKey(Panel, code));
  for (const PanelKey& box : ValueBoxes) DrawPanelKey(screen, box);
  p.edited = false;
  ServeComments(screen, Comments, p.helpItem);
  OrgShown = NewShown = false;
}

// [SECTION] Page entry

// The page's state, as the history of changes keeps it.
constexpr std::array<StateBlock, 3> States{StateBlockOf<Palette>(), StateBlockOf<OrgShown>(), StateBlockOf<NewShown>()};
extern const PageEntry PalettePageEntry{.commentCode = 7,
                                        .start = StartPalette,
                                        .enter = EnterPalette,
                                        .click = PaletteClick,
                                        .paint = PaintPalette,
                                        .panels = {Panel, ValueBoxes},
    .states = States};
