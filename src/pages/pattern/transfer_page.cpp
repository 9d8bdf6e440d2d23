// Transfer page: makes the transfer picture that the APPEAR page lays onto a
// back picture. "1)GetShadow" loads a picture, the polygon cuts parts of it
// away (optionally along drawn outlines), "3)Pattarn" turns it into a stencil
// recorded in BrushMask, "5)CallReal" loads the real picture and "6)ShotPatt."
// keeps it only where the stencil's pattern part was. The page's picture is
// the work file "0000trfr.bmp", rewritten whenever it changes. The pixel work
// lives in polygon_cut.cpp and stencil.cpp; this file keeps the state, the
// panel, the clicks and the paint steps.
//
// [SECTION] State
// [SECTION] Panel and texts
// [SECTION] Entry
// [SECTION] Clicks
// [SECTION] Paint

#include "pages/pattern/transfer_page.h"

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
#include "pages/pattern/outline_state.h"
#include "pages/pattern/polygon_cut.h"
#include "pages/pattern/stencil.h"
#include "pages/pattern/zones.h"
#include "panel/calculator.h"
#include "panel/comments.h"
#include "panel/widgets.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/surface.h"

namespace {

// [SECTION] State: the page's block with its start values.
struct TransferPageState {
  bool patternRequest = false;       // "3)Pattarn"
  bool keepRequest = false;          // "2)KEEP11"
  bool savePatternRequest = false;   // "4)SavePatt."
  bool shotRequest = false;          // "6)ShotPatt.", cleared at the end of every paint
  bool saveTransferRequest = false;  // "7)SaveTrfr"
  bool deleteRequest = false;        // "delete" with a polygon of three points or more
  std::vector<int> deleteVertices;  // the extremum vertices of the polygon deleted
  int grayValue = 192;          // inert "gray" value
  int widthValue = 32;          // inert "width" value
  int helpItem = 0;             // explanation selector, 0 none
};
TransferPageState Transfer;
// The polygon keeps its switch, cut mode and trace switch across entries.
PolygonState TransferPolygon;

// What "0000trfr.bmp" holds as this page last wrote it, so that it is written
// only when the picture changed (or the file was replaced meanwhile), and a
// failed write is reported once until a write succeeds.
// The work file "0000trfr.bmp", written from WorkPlanes only when the picture
// differs from what this page last wrote or the file is no longer that one.
WorkFileWriter TransferFile{2};
// False until the page's first paint after its entry: before that, other
// pages may have changed the planes.
bool TransferPaintedSinceEntry = false;

// [SECTION] Panel and texts
enum TransferCode {
  CodeTitle = 1,
  CodeGetShadow,
  CodeGray,
  CodeGrayValue,
  CodeShape,
  CodeWidth,
  CodeWidthValue,
  CodeArea,
  CodeAreaBox,
  CodeFixNote,
  CodeDragNote,
  CodeCutNote,
  CodeRuleUpper,
  CodeRuleLower,
  CodePolygon,
  CodeOutlineColour,
  CodeCut,
  CodeTrace,
  CodeStart,
  CodeClose,
  CodeSetNote,
  CodeDelete,
  CodeKeep,
  CodePattern,
  CodeReverse,
  CodeSavePattern,
  CodeCallReal,
  CodeShot,
  CodeSaveTransfer,
  CodeDarkReset,  // the reset marks
  CodeLightReset,
  CodeCutByRows,  // the two cut-mode flags
  CodeCutByColumns,
  CodeDeleteFlag,  // the flag right of "delete"
  CodeKeypad,      // the keypad, tested key by key inside
};

constexpr Rgb Grey = InactiveText;
constexpr int SmallFontHeight = 9;
constexpr Rgb PatternKey{240, 200, 220};
constexpr Rgb RealKey{160, 192, 255};

// A row's click region is its key box unless it gives its own `hit`; a
// heading's region takes in the rows under it. The click handler tests the
// rows in this order.
const std::array<PanelKey, 35> Panel = {{
    {.code = CodeTitle, .x = 4, .y = 5, .width = 104, .english = "[Transfer]", .japanese = "[ 転送 ]",
     .kind = KeyKind::Label, .fontHeight = LargeFontHeight, .hit = {4, 0, 92, 25}},
    {.code = CodeGetShadow, .x = 4, .y = 61, .width = 94, .keyColour = {80, 160, 240}, .english = "1)GetShadow",
     .japanese = "1)型画像"},
    {.code = CodeGray, .x = 2, .y = 87, .width = 38, .textColour = Grey, .english = "gray", .japanese = "濃淡",
     .hit = {-1, 87, 100, 113}},
    {.code = CodeGrayValue, .x = 42, .y = 87, .width = 30, .keyColour = Grey, .textColour = Grey, .english = "%3d",
     .japanese = "%3d", .value = &Transfer.grayValue, .hit = NoClick},
    {.code = CodeShape, .x = 4, .y = 113, .width = 42, .textColour = Grey, .english = "shape", .japanese = "形状",
     .hit = {-1, 112, 100, 165}},
    {.code = CodeWidth, .x = 4, .y = 165, .width = 32, .textColour = Grey, .english = "width", .japanese = "径",
     .hit = {-1, 164, 100, 217}},
    {.code = CodeWidthValue, .x = 42, .y = 165, .width = 32, .keyColour = Grey, .textColour = Grey,
     .english = "%2d", .japanese = "%2d", .value = &Transfer.widthValue, .hit = NoClick},
    {.code = CodeArea, .x = 2, .y = 217, .width = 38, .textColour = Grey, .english = "area", .japanese = "領域",
     .hit = {-1, 216, 100, 272}},
    {.code = CodeAreaBox, .x = 42, .y = 217, .width = 30, .keyColour = Grey, .textColour = Grey, .hit = NoClick},
    {.code = CodeFixNote, .x = 4, .y = 191, .width = 94, .textColour = Grey, .english = "R Click → Fix",
     .japanese = "右クリックで固定", .kind = KeyKind::Label, .fontHeight = SmallFontHeight, .hit = NoClick},
    {.code = CodeDragNote, .x = 4, .y = 239, .width = 94, .textColour = Grey, .english = "L click + drag",
     .japanese = "L click + drag", .kind = KeyKind::Label, .fontHeight = SmallFontHeight, .hit = NoClick},
    {.code = CodeCutNote, .x = 4, .y = 253, .width = 94, .textColour = Grey, .english = "R Click → Cut",
     .japanese = "右クリックで削除", .kind = KeyKind::Label, .fontHeight = SmallFontHeight, .hit = NoClick},
    {.code = CodeRuleUpper, .x = 2, .y = 205, .width = 94, .textColour = Grey, .english = "--------------",
     .japanese = "----------------", .kind = KeyKind::Label, .fontHeight = SmallFontHeight, .hit = NoClick},
    {.code = CodeRuleLower, .x = 2, .y = 267, .width = 94, .textColour = Grey, .english = "--------------",
     .japanese = "----------------", .kind = KeyKind::Label, .fontHeight = SmallFontHeight, .hit = NoClick},
    {.code = CodePolygon, .x = 2, .y = 279, .width = 50, .textColour = {96, 164, 255}, .english = "polygon",
     .japanese = "多角形", .hit = {4, 271, 72, 299}},
    // The "／" key's face takes the outline colour at each paint.
    {.code = CodeOutlineColour, .x = 72, .y = 279, .width = 20, .english = "／", .japanese = "／"},
    {.code = CodeCut, .x = 2, .y = 305, .width = 36, .textColour = {160, 160, 40}, .english = "cut",
     .japanese = "切取", .hit = {4, 305, 46, 325}},
    {.code = CodeTrace, .x = 2, .y = 331, .width = 96, .keyColour = {140, 220, 240}, .textColour = {40, 200, 200},
     .english = "trace outline", .japanese = "輪郭線トレース", .kind = KeyKind::Switch,
     .fontHeight = SmallFontHeight, .flag = &TransferPolygon.traceOn, .hit = {2, 331, 92, 351}},
    {.code = CodeStart, .x = 4, .y = 357, .width = 44, .keyColour = {240, 200, 140}, .english = "start",
     .japanese = "開始", .kind = KeyKind::Switch, .flag = &TransferPolygon.on},
    {.code = CodeClose, .x = 54, .y = 357, .width = 44, .keyColour = {140, 200, 240}, .english = "close",
     .japanese = "閉鎖"},
    {.code = CodeSetNote, .x = 4, .y = 383, .width = 94, .textColour = {128, 128, 128}, .english = "R Click → Set",
     .japanese = "右クリック → 閉", .kind = KeyKind::Label, .fontHeight = SmallFontHeight,
     .hit = {4, 377, 98, 396}},
    {.code = CodeDelete, .x = 4, .y = 396, .width = 68, .keyColour = {240, 200, 200}, .english = "delete",
     .japanese = "削除(白)"},
    {.code = CodeKeep, .x = 4, .y = 437, .width = 94, .keyColour = {20, 240, 200}, .english = "2)KEEP11",
     .japanese = "2)決定KEEP11"},
    {.code = CodePattern, .x = 4, .y = 463, .width = 94, .keyColour = PatternKey, .english = "3)Pattarn",
     .japanese = "3)型紙化"},
    {.code = CodeReverse, .x = 4, .y = 489, .width = 94, .keyColour = Grey, .textColour = Grey,
     .english = "  Reverse", .japanese = "　型反転"},
    {.code = CodeSavePattern, .x = 4, .y = 515, .width = 94, .keyColour = PatternKey, .english = "4)SavePatt.",
     .japanese = "4)型紙保存"},
    {.code = CodeCallReal, .x = 4, .y = 541, .width = 94, .keyColour = RealKey, .english = "5)CallReal",
     .japanese = "5)原画像"},
    {.code = CodeShot, .x = 4, .y = 567, .width = 94, .keyColour = PatternKey, .english = "6)ShotPatt.",
     .japanese = "6)型転写"},
    {.code = CodeSaveTransfer, .x = 4, .y = 593, .width = 94, .keyColour = RealKey, .english = "7)SaveTrfr",
     .japanese = "7)像保存"},
    {.code = CodeDarkReset, .kind = KeyKind::Region, .hit = {2, 25, 50, 56}},
    {.code = CodeLightReset, .kind = KeyKind::Region, .hit = {50, 25, 98, 56}},
    {.code = CodeCutByRows, .kind = KeyKind::Region, .hit = {46, 305, 66, 325}},
    {.code = CodeCutByColumns, .kind = KeyKind::Region, .hit = {72, 305, 92, 325}},
    {.code = CodeDeleteFlag, .kind = KeyKind::Region, .hit = {78, 396, 98, 416}},
    {.code = CodeKeypad, .kind = KeyKind::Region, .hit = {8, 619, 92, 741}},
}};

// The six blank shape buttons of the inert seal tool, each with a small icon.
struct ShapeButton {
  int x, y;
};
constexpr std::array<ShapeButton, 6> ShapeButtons = {{{52, 113}, {78, 113}, {3, 139}, {28, 139}, {53, 139}, {78, 139}}};
constexpr Rgb ShapeFace{250, 250, 250};
constexpr Rgb ShapeIcon{180, 180, 180};

// The cut-mode flags: 20 x 20 icons with horizontal (mode 1) or vertical
// (mode 2) bars at offsets 0..4, 8, 12 and 16..20.
struct CutFlag {
  int x, y, mode;
};
constexpr std::array<CutFlag, 2> CutFlags = {{{46, 305, CutByRows}, {72, 305, CutByColumns}}};
constexpr Rgb FlagOn{160, 160, 40};
constexpr std::array<int, 12> FlagBars = {0, 1, 2, 3, 4, 8, 12, 16, 17, 18, 19, 20};
constexpr Rgb DeleteFlagFace{240, 200, 200};

struct MarkPlace {
  int x, y, colourIndex;
};
constexpr std::array<MarkPlace, 2> ResetMarks = {{{2, 25, 5}, {50, 25, 4}}};  // deep blue, light teal
constexpr Keypad TransferKeypad = MakeKeypad({619, {640, 660, 680}, 700, 721, 84});

constexpr Rgb PolylineRed{255, 0, 0};

// Comment page and explanations, both languages side by side.
constexpr CommentText Comment{.lines = {{
    {"Transfer [<>] (A)1)GetShadow [→] call a shadow image; cut its parts with polygon; (B)3)Pattarn [→] make a "
     "pattern (gray) and zone (white);",
     "転送 [<>] (A)1)型画像 [→] 影の画像を呼び出す; 多角形で部分を切り取る; (B)3)型紙化 [→] 型(灰色)と窓(白)を作る;"},
    {"    (C)4)SavePatt. [→] save the pattern file; 5)CallReal [→] call the real image; 6)ShotPatt. [→] the real "
     "image stays on the pattern part;",
     "    (C)4)型紙保存 [→] 型紙ファイルを保存; 5)原画像 [→] 実画像を呼び出す; 6)型転写 [→] 型の部分に実画像が残る;"},
    {"    (D)2)KEEP11 or 7)SaveTrfr [→] save the transfer image; it goes to APPEAR as 0000trfr.bmp at every change;",
     "    (D)2)決定KEEP11 か 7)像保存 [→] 転送画像を保存; 変わるたびに 0000trfr.bmp として APPEAR へ渡る;"},
    {"    When outline are on the image, cut or paint on super-polygon with outline;",
     "    画像に輪郭線があるとき, 輪郭線を含む超多角形で切り取りや塗りができる;"},
}}};

const std::array<CommentText, 21> Explanations = {{
    {.selector = 1, .colour = ExplainDark, .lines = {{
         {"reset mark [<>] Left click on deep blue mark [→] the polygon is emptied and values come back to default;",
          "リセットマーク [<>] 紺色のマークを左クリック [→] 多角形を空にし, 値が初期状態にもどる;"},
         {"    Left click on light blue mark [→] the polygon is emptied; values stay;",
          "    水色のマークを左クリック [→] 多角形を空にする; 値はそのまま;"}}}},
    {.selector = 2, .colour = ExplainGrey, .lines = {{
         {"gray [<>] gray value of a seal (not used on this page);", "濃淡 [<>] 印の濃淡値 (このページでは使わない);"}}}},
    {.selector = 3, .colour = ExplainGrey, .lines = {{
         {"shape [<>] shape of a seal (not used on this page);", "形状 [<>] 印の形 (このページでは使わない);"}}}},
    {.selector = 4, .colour = ExplainGrey, .lines = {{
         {"width [<>] width of a seal (not used on this page);", "径 [<>] 印の径 (このページでは使わない);"}}}},
    {.selector = 5, .colour = ExplainGrey, .lines = {{
         {"area [<>] area of a seal (not used on this page);", "領域 [<>] 印の領域 (このページでは使わない);"}}}},
    {.selector = 6, .colour = ExplainBlue, .lines = {{
         {"polygon [<>] [start] [→] Left click on the image sets points (up to 256), red line joins them;",
          "多角形 [<>] [開始] [→] 画像を左クリックして点を置く (256 点まで), 赤い線がつなぐ;"},
         {"    [close] or Right click [→] the polygon is closed; [delete] [→] its inside becomes white;",
          "    [閉鎖] か右クリック [→] 多角形が閉じる; [削除(白)] [→] その内側が白くなる;"}}}},
    {.selector = 7, .colour = ExplainBlue, .lines = {{
         {"／ [<>] outline color: black, white, cyan, gray, blue, red in turn; the trace follows this color;",
          "／ [<>] 輪郭線の色: 黒, 白, シアン, 灰, 青, 赤 の順; トレースはこの色をたどる;"}}}},
    {.selector = 8, .colour = ExplainGreen, .lines = {{
         {"level line flag [<>] the polygon is cut row by row;", "水平線フラグ [<>] 多角形を行ごとに切り取る;"}}}},
    {.selector = 9, .colour = ExplainTeal, .lines = {{
         {"trace outline [<>] a click within 16 pixels of an outline moves onto its middle;",
          "輪郭線トレース [<>] 輪郭線から 16 画素以内のクリックはその中央に移る;"},
         {"    a side whose both ends are on an outline follows the outline (cyan or green track);",
          "    両端が輪郭線上にある辺は輪郭線に沿う (シアンか緑の軌跡);"}}}},
    {.selector = 10, .colour = ExplainBlue, .lines = {{
         {"close [<>] the last point joins the first point; Right click on the image does the same;",
          "閉鎖 [<>] 最後の点が最初の点につながる; 画像の右クリックでも同じ;"}}}},
    {.selector = 11, .colour = ExplainRed, .lines = {{
         {"delete [<>] the inside of the polygon (3 points or more) becomes white; saved as 0000iso.bmp;",
          "削除(白) [<>] 多角形 (3 点以上) の内側が白くなる; 0000iso.bmp として保存;"}}}},
    {.selector = 12, .colour = ExplainDeepBlue, .lines = {{
         {"Left click on [2)KEEP11] [→] save the image to inner memory ([<>] set), and save as outer file with a "
          "name of KEEP11.bmp;",
          "[2)決定KEEP11] を左クリック [→] 画像を内部メモリーに保存し ([<>] 決定), KEEP11.bmp の名で外部ファイルに保存する;"}}}},
    {.selector = 13, .colour = ExplainPurple, .lines = {{
         {"3)Pattarn [<>] white (zone color) part stays white as zone, other part becomes gray 192 as pattern;",
          "3)型紙化 [<>] 白 (窓の色) の部分は窓として白, ほかの部分は型として灰色 192 になる;"}}}},
    {.selector = 14, .colour = ExplainPurple, .lines = {{
         {"4)SavePatt. [<>] save the pattern with a name: pattern part 127, zone part 255;",
          "4)型紙保存 [<>] 型紙を名前をつけて保存: 型の部分 127, 窓の部分 255;"}}}},
    {.selector = 15, .colour = ExplainOlive, .lines = {{
         {"5)CallReal [<>] call the real image to be shot through the pattern;",
          "5)原画像 [<>] 型紙を通して写す実画像を呼び出す;"}}}},
    {.selector = 16, .colour = ExplainOlive, .lines = {{
         {"7)SaveTrfr [<>] save the transfer image with a name;", "7)像保存 [<>] 転送画像を名前をつけて保存する;"}}}},
    {.selector = 17, .colour = ExplainBlue, .lines = {{
         {"start [<>] on [→] Left click on the image sets points of a new polygon; off [→] the polygon ends;",
          "開始 [<>] オン [→] 画像の左クリックで新しい多角形の点を置く; オフ [→] 多角形を終える;"}}}},
    {.selector = 18, .colour = ExplainGreen, .lines = {{
         {"vertical line flag [<>] the polygon is cut column by column;", "垂直線フラグ [<>] 多角形を列ごとに切り取る;"}}}},
    {.selector = 19, .colour = ExplainPurple, .lines = {{
         {"6)ShotPatt. [<>] the real image stays on the pattern part, the zone part becomes white;",
          "6)型転写 [<>] 型の部分に実画像が残り, 窓の部分は白になる;"}}}},
    {.selector = 20, .colour = ExplainGreen, .lines = {{
         {"cut [<>] level line flag [→] cut row by row; vertical line flag [→] cut column by column;",
          "切取 [<>] 水平線フラグ [→] 行ごとに切る; 垂直線フラグ [→] 列ごとに切る;"}}}},
    {.selector = 21, .colour = ExplainGrey, .lines = {{
         {"Reverse [<>] reverse of the pattern (not used on this page);", "型反転 [<>] 型紙の反転 (このページでは使わない);"}}}},
}};

const PageComments Comments{.commentCode = 16,
                            .slot = PageTransfer,
                            .hasCalculator = true,
                            .comment = &Comment,
                            .explanations = Explanations};

void ResetTraceState() { TransferPolygon.trace.Reset(); }

void DrawShapeButtons(Surface& screen) {
  for (std::size_t i = 0; i < ShapeButtons.size(); ++i) {
    const int x = ShapeButtons[i].x, y = ShapeButtons[i].y;
    DrawKeyBox(screen, x, y, 20, ShapeFace, false);
    const Pen pen{ShapeIcon};
    switch (i) {
      case 0: screen.Ellipse(pen, std::nullopt, x + 5, y + 5, x + 15, y + 15); break;
      case 1: screen.Rectangle(pen, std::nullopt, x + 5, y + 5, x + 15, y + 15); break;
      case 2: screen.Polyline(pen, {{x + 10, y + 4}, {x + 16, y + 15}, {x + 4, y + 15}, {x + 10, y + 4}}); break;
      case 3: screen.Polyline(pen, {{x + 10, y + 4}, {x + 16, y + 10}, {x + 10, y + 16}, {x + 4, y + 10}, {x + 10, y + 4}}); break;
      case 4: screen.Ellipse(pen, std::nullopt, x + 3, y + 7, x + 17, y + 13); break;
      default: screen.Ellipse(pen, std::nullopt, x + 7, y + 3, x + 13, y + 17); break;
    }
  }
}

void DrawCutFlags(Surface& screen) {
  for (const CutFlag& flag : CutFlags) {
    const Pen pen{TransferPolygon.mode == flag.mode ? FlagOn : Grey};
    screen.Rectangle(pen, std::nullopt, flag.x, flag.y, flag.x + 21, flag.y + 21);
    for (const int bar : FlagBars) {
      if (flag.mode == CutByRows) {
        screen.Line(pen, flag.x, flag.y + bar, flag.x + 21, flag.y + bar);
      } else {
        screen.Line(pen, flag.x + bar, flag.y, flag.x + bar, flag.y + 21);
      }
    }
  }
}

void DrawTransferPanel(Surface& screen) {
  DrawPanel(screen, Panel);
  PanelKey outlineKey = *FindPanelKey(Panel, CodeOutlineColour);
  outlineKey.keyColour = Rgb{static_cast<std::uint8_t>(Outline.outlineColour.red), static_cast<std::uint8_t>(Outline.outlineColour.green),
                             static_cast<std::uint8_t>(Outline.outlineColour.blue)};
  DrawPanelKey(screen, outlineKey);
  DrawKeyBox(screen, 78, 396, 20, DeleteFlagFace, false);
  DrawShapeButtons(screen);
  DrawCutFlags(screen);
  for (const MarkPlace& mark : ResetMarks) DrawResetMark(screen, mark.x, mark.y, ResetMarkUnit, mark.colourIndex);
  DrawKeypad(screen, TransferKeypad, Calc.on);
}

OutlineTest CurrentOutline() { return OutlineTest{WorkView(), Outline.outlineColour}; }

// The canvas shown with the polygon's marks over it: its sides red, the
// cross of its last point (of its last two with the trace on) and the trace
// track, then the red polyline on the screen. The marks go into a copy of
// the canvas, so no store ever takes them.
void ShowTransferCanvas(const PolygonState& polygon, bool polygonShown, const OutlineTest& outline) {
  Surface& screen = Screen();
  std::uint8_t* shown = CanvasWithMarks();
  const auto n = static_cast<std::size_t>(std::max(polygon.count, 0));
  if (polygonShown) {
    if (n > 0) PaintMaskRed(shown, BrushMask);
    if (!polygon.traceOn) {
      PaintCrossMarker(shown, outline, polygon.points[n]);
    } else {
      if (n > 0) PaintCrossMarker(shown, outline, polygon.points[n - 1]);
      PaintCrossMarker(shown, outline, polygon.points[n]);
      PaintTrack(shown, polygon.trace);
    }
  }
  ShowCanvasWithMarks();
  if (!polygonShown) return;
  // The polyline, segment by segment (the same pixels as one polyline).
  for (std::size_t k = 1; k <= n; ++k) {
    const PolygonPoint a = polygon.points[k - 1];
    const PolygonPoint b = polygon.points[k];
    screen.Line(Pen{PolylineRed}, a.x, a.y, b.x, b.y);
  }
}

// "4)SavePatt.": asks for a name, writes the stencil of the canvas as shown
// (pattern part 127, zone part 255), and only once the file is written turns
// the picture into the stencil (pattern grey 192, zone white) with the mask
// set from it. Cancel or a failed write changes nothing. True when written.
bool SavePatternOfCanvas() {
  FileDialogRequest request;
  request.kind = FileDialogKind::Save;
  request.title = LanguageId == EnglishLanguage ? "SAVE WITH A NAME" : "名前をつけて保存する";
  request.filters = {BitmapFilters().front()};
  request.defaultExtension = "bmp";
  request.overwritePrompt = true;
  const std::optional<std::string> path = CurrentDialogs().AskFile(request);
  if (!path) return false;
  std::vector<std::uint8_t> mask(BrushMask.size(), 0);
  const StencilSettings stencil{Outline.zoneColour};
  StencilMaskOfCanvas(Canvas.data(), Stride, mask, Stride, CanvasRows, stencil);
  if (!WriteFileAtomically(*path, EncodePatternFile(mask))) {
    ShowWriteFailure(*path);
    return false;
  }
  PlanesFromCanvas(Canvas.data(), Stride, CanvasRows);
  PatternFromPlanes(WorkView(), BrushMask, Stride, CanvasRows, stencil);
  CanvasFromPlanes(Canvas.data(), Stride, CanvasRows);
  return true;
}

}  // namespace

void StartTransfer() {
  Transfer = TransferPageState{};
  TransferPolygon = PolygonState{};
  TransferFile = WorkFileWriter{2};
  TransferPaintedSinceEntry = false;
}

// [SECTION] Entry
void EnterTransfer() {
  Calc.on = false;
  Transfer.patternRequest = false;
  Transfer.keepRequest = false;
  Transfer.savePatternRequest = false;
  Transfer.saveTransferRequest = false;
  Transfer.deleteRequest = false;
  Transfer.grayValue = 192;
  Transfer.widthValue = 32;
  Transfer.helpItem = 0;
  EmptyPolygon(TransferPolygon);
  TransferPaintedSinceEntry = false;
  CommentPanel.request = 16;
}

// [SECTION] Clicks
namespace {

void ResetPolygonByMark() {
  Calc.on = false;
  EmptyPolygon(TransferPolygon);
  Transfer.deleteRequest = false;
  Transfer.helpItem = 1;
}

// A left press on the picture: with the polygon on, the next point.
bool PictureClick() {
  if (!(101 <= MouseX && MouseX < ShownWidth + 100 && 33 <= MouseY && MouseY < 800)) return false;
  if (!TransferPolygon.on) return false;
  const int x = std::clamp(MouseX, 100, ShownWidth + 100);
  const int y = std::clamp(MouseY, 32, ShownHeight + 32);
  TransferPolygon.lastClick = PolygonPoint{x, y};
  TransferPolygon.count = std::min(TransferPolygon.count + 1, PolygonPointCount);
  return true;
}

}  // namespace

// The panel rows (the keypad among them), then the picture.
bool TransferClick() {
  if (MouseX < 100) Dragging.rectActive = 0;
  PolygonState& polygon = TransferPolygon;
  switch (PanelKeyAt(Panel, MouseX, MouseY)) {
    case NoKey: return PictureClick();
    case CodeTitle: CommentPanel.request = 16; break;
    case CodeDarkReset:
      ResetPolygonByMark();
      Transfer.grayValue = 192;
      Transfer.widthValue = 32;
      break;
    case CodeLightReset: ResetPolygonByMark(); break;
    case CodeGetShadow:
      Requests.openFile = true;
      Requests.getSlot = PageTransfer;
      break;
    case CodeGray: Transfer.helpItem = 2; break;
    case CodeShape: Transfer.helpItem = 3; break;
    case CodeWidth: Transfer.helpItem = 4; break;
    case CodeArea: Transfer.helpItem = 5; break;
    case CodePolygon: Transfer.helpItem = 6; break;
    case CodeOutlineColour:
      CycleOutlineColour();
      Transfer.helpItem = 7;
      break;
    case CodeCut: Transfer.helpItem = 20; break;
    case CodeCutByRows:
      polygon.mode = CutByRows;
      Transfer.helpItem = 8;
      break;
    case CodeCutByColumns:
      polygon.mode = CutByColumns;
      Transfer.helpItem = 18;
      break;
    case CodeTrace:
      polygon.traceOn = polygon.traceOn ? 0 : 1;
      if (polygon.traceOn) Transfer.helpItem = 9;
      polygon.traceToggled = true;
      break;
    case CodeStart:
      if (!polygon.on) {
        polygon.on = true;
        EmptyPolygon(polygon);
        polygon.lastClick = PolygonPoint{};
        Transfer.helpItem = 17;
      } else {
        polygon.on = false;
        EmptyPolygon(polygon);
        ResetTraceState();
      }
      break;
    case CodeClose:
      polygon.closeRequest = true;
      Transfer.helpItem = 10;
      break;
    case CodeSetNote: Transfer.helpItem = 10; break;
    case CodeDelete:
      // Only a polygon that is on and has three points or more is deleted;
      // otherwise the mask may hold anything (a stencil, an old polygon).
      Transfer.deleteRequest = polygon.on && polygon.count >= 2 ? 1 : 0;
      if (Transfer.deleteRequest) {
        Transfer.deleteVertices = ExtremumVertexPixels(
            std::span<const PolygonPoint>(polygon.points.data(), static_cast<std::size_t>(polygon.count + 1)),
            polygon.mode);
      }
      polygon.on = false;
      EmptyPolygon(polygon);
      ResetTraceState();
      Transfer.helpItem = 11;
      break;
    case CodeDeleteFlag: Transfer.helpItem = 11; break;
    case CodeKeep:
      Transfer.keepRequest = true;
      Transfer.helpItem = 12;
      break;
    case CodePattern:
      Transfer.patternRequest = true;
      Transfer.helpItem = 13;
      break;
    case CodeReverse: Transfer.helpItem = 21; break;
    case CodeSavePattern:
      Transfer.savePatternRequest = true;
      Transfer.helpItem = 14;
      break;
    case CodeCallReal:
      Requests.openFile = true;
      Requests.getSlot = PageTransfer;
      Transfer.helpItem = 15;
      break;
    case CodeShot:
      Transfer.shotRequest = true;
      Transfer.helpItem = 19;
      break;
    case CodeSaveTransfer:
      Transfer.saveTransferRequest = true;
      Transfer.helpItem = 16;
      break;
    case CodeKeypad: {
      // "cal" always toggles; the other keys count only while the calculator is on.
      const CalcKey* key = CalcKeyAt(TransferKeypad, MouseX, MouseY);
      if (key == nullptr) return true;
      if (key->code != CalcSwitchCode && !Calc.on) return true;
      return CalculatorClick(TransferKeypad, Calc.on, MouseX, MouseY);
    }
  }
  return true;
}

// A right click on the picture while the polygon is on closes it.
void TransferRightClick() {
  if (TransferPolygon.on) TransferPolygon.closeRequest = true;
}

// [SECTION] Paint
namespace {

// The page's work as the save dialog names it: none of it is a step.
constexpr BilingualText CutWork{"転送 削除(白)", "Transfer delete"};
constexpr BilingualText PatternWork{"転送 3)型紙化", "Transfer 3)Pattarn"};
constexpr BilingualText ShotWork{"転送 6)型転写", "Transfer 6)ShotPatt."};
constexpr BilingualText SavePatternWork{"転送 4)型紙保存", "Transfer 4)SavePatt."};

}  // namespace

void PaintTransfer() {
  Surface& screen = Screen();
  PolygonState& polygon = TransferPolygon;
  // 1. The picture into the canvas; the panel, with "／" in the outline
  //    colour that the snap, the trace and the cross markers test.
  RefreshOutlineColour();
  BeginPageSection();
  DrawTransferPanel(screen);
  ServeCalculator(screen, TransferKeypad, nullptr);
  // 2. - 3. "1)GetShadow", "5)CallReal", Restore: KEEP11 into WorkPlanes.
  const bool read = ServeGetAndRestore(PageTransfer, false);
  CanvasFromPlanes(Canvas.data(), Stride, CanvasRows);
  // 4. The work file follows the picture.
  TransferFile.WriteIfChanged(WorkView(), read || !TransferPaintedSinceEntry);
  TransferPaintedSinceEntry = true;
  // Whether a later step changes the planes (and the work file then follows).
  const bool changing = Transfer.deleteRequest || Transfer.patternRequest || Transfer.shotRequest ||
                        Transfer.keepRequest || Transfer.savePatternRequest ||
                        Transfer.saveTransferRequest || Requests.saveAs;
  // 5. Delete: the inside white, into the planes and "0000iso.bmp".
  if (Transfer.deleteRequest) {
    FillPolygonInside(Canvas.data(), BrushMask, polygon.mode, Transfer.deleteVertices);
    PlanesFromCanvas(Canvas.data(), Stride, CanvasRows);
    NoteNotAStep(CutWork);
    // The planes now hold the canvas bytes: written from the canvas, the same file.
    WriteAppearFile(Canvas.data(), 4, PixelSource::FromCanvas);
    Transfer.deleteRequest = false;
    polygon.on = false;
  }
  // 6. The polygon: its sides into the mask (shown with the marks in step 10).
  const OutlineTest outline = CurrentOutline();
  const bool polygonShown = ServePolygonPaint(polygon, outline, BrushMask);
  // 7. "3)Pattarn": the stencil, recorded in the mask.
  if (Transfer.patternRequest) {
    MakePattern(Canvas.data(), Stride, BrushMask, Stride, CanvasRows, StencilSettings{Outline.zoneColour});
    PlanesFromCanvas(Canvas.data(), Stride, CanvasRows);
    NoteNotAStep(PatternWork);
    Transfer.patternRequest = false;
  }
  // 8. "6)ShotPatt.": the real picture kept on the pattern part.
  if (Transfer.shotRequest) {
    ShotPattern(WorkView(), BrushMask, Stride, CanvasRows, StencilSettings{Outline.zoneColour});
    CanvasFromPlanes(Canvas.data(), Stride, CanvasRows);
    NoteNotAStep(ShotWork);
  }
  // 9. "2)KEEP11".
  ServeSet(PageTransfer, Transfer.keepRequest);
  // 10. The canvas shown, with the polygon's marks over it.
  ShowTransferCanvas(polygon, polygonShown, outline);
  // 11. "4)SavePatt.": the picture becomes the stencil once its file is written.
  if (Transfer.savePatternRequest) {
    Transfer.savePatternRequest = false;
    if (SavePatternOfCanvas()) {
      NoteNotAStep(SavePatternWork);
      ShowTransferCanvas(polygon, polygonShown, outline);
    }
  }
  // 12. "7)SaveTrfr" and the Save tab; the tab bar.
  if (Transfer.saveTransferRequest) {
    Requests.saveAs = true;
    Transfer.saveTransferRequest = false;
  }
  ServeSave();
  DrawTabs();
  // 13. Comments and explanations; the one-paint flags end here.
  ServeComments(screen, Comments, Transfer.helpItem);
  Transfer.shotRequest = false;
  polygon.traceToggled = false;
  // The work file holds the picture as this paint left it.
  TransferFile.WriteIfChanged(WorkView(), changing);
}

// [SECTION] Page entry

// The page's state, as the history of changes keeps it.
constexpr std::array<StateBlock, 3> States{StateBlockOf<Transfer>(), StateBlockOf<TransferPolygon>(), StateBlockOf<TransferPaintedSinceEntry>()};
extern const PageEntry TransferPageEntry{.commentCode = 16,
                                         .start = StartTransfer,
                                         .enter = EnterTransfer,
                                         .click = TransferClick,
                                         .paint = PaintTransfer,
                                         .rightClick = TransferRightClick,
                                         .panels = {Panel},
    .states = States};
