// MAP page: the user chooses the view area that DEVELOP enlarges and
// smooths: its size (x1 or x4), its place (a click on the picture, the
// fine-move arrows) and the colour of its frame; "act" starts the
// development. The arithmetic of the view area lives in view_area.cpp.
//
// [SECTION] State
// [SECTION] Panel and texts
// [SECTION] Entry
// [SECTION] Clicks
// [SECTION] Paint

#include <array>

#include "pages/kit/page_entry.h"
#include "pages/kit/page_steps.h"
#include "pages/kit/page_state.h"
#include "image/bmp_files.h"
#include "pages/kit/step_list.h"
#include "image/planes.h"
#include "pages/view/view_area.h"
#include "pages/view/view_pages.h"
#include "panel/comments.h"
#include "panel/widgets.h"
#include "platform/surface.h"

// [SECTION] State: the page's block with its start values. The view area,
// View.fineMove and View.frameColour (view_area.cpp) and ViewScale (bmp_files.cpp)
// are shared with DEVELOP and GAMON.
MapPageState MapPage;
namespace {
// The picture area of the image KEEP2 holds for the way back.
CanvasArea Keep2Area;
}  // namespace

namespace {

enum MapCode {
  CodeTitle = 1,
  CodeGetImage,
  CodeViewAreaLabel,
  CodeScale1,
  CodeScale2,
  CodeScale4,
  CodeScale8,
  CodeScale16,
  CodeScale32,
  CodeScale64,
  CodeFineMoveLabel,
  CodeUp,
  CodeDown,
  CodeLeft,
  CodeRight,
  CodeZoomSmoothly,
  CodeAct,
  CodeKeep2,
  CodeFrameColour,
  CodeResetMark,
  CodeColour0,  // the six rows of the frame colour list follow in order
  CodePicture = CodeColour0 + 6,
};

constexpr Rgb Grey = InactiveText;

// [SECTION] Panel and texts: the key words, row by row. A row's click region
// is its key box unless it gives its own `hit`; the click handler tests the
// rows in this order.

// A row of the frame colour list as a click region.
constexpr PanelKey ColourListRow(int k) {
  return {.code = CodeColour0 + k, .kind = KeyKind::Region, .hit = {4, 538 + 20 * k, 92, 558 + 20 * k}};
}
const std::array<PanelKey, 27> Panel = {{
    {.code = CodeTitle, .x = 4, .y = 4, .width = 88, .english = "[ MAP ]", .japanese = "[マップ]",
     .kind = KeyKind::Label, .fontHeight = LargeFontHeight, .hit = {4, 0, 92, 30}},
    {.code = CodeGetImage, .x = 4, .y = 66, .width = 88, .keyColour = {80, 160, 240}, .english = "get image",
     .japanese = "画像呼出"},
    {.code = CodeViewAreaLabel, .x = 4, .y = 98, .width = 88, .english = "view area", .japanese = "視野(窓)",
     .kind = KeyKind::Label},
    {.code = CodeScale1, .x = 4, .y = 118, .width = 41, .keyColour = {128, 164, 212}, .english = "× 1",
     .japanese = "× 1", .kind = KeyKind::Switch, .state = &ViewScale, .onValue = 1},
    {.code = CodeScale2, .x = 4, .y = 144, .width = 41, .keyColour = Grey, .textColour = Grey, .english = "× 2",
     .japanese = "× 2"},
    {.code = CodeScale4, .x = 51, .y = 144, .width = 41, .keyColour = {128, 180, 192}, .english = "× 4",
     .japanese = "× 4", .kind = KeyKind::Switch, .state = &ViewScale, .onValue = 4},
    {.code = CodeScale8, .x = 4, .y = 170, .width = 41, .keyColour = Grey, .textColour = Grey, .english = "× 8",
     .japanese = "× 8"},
    {.code = CodeScale16, .x = 51, .y = 170, .width = 41, .keyColour = Grey, .textColour = Grey, .english = "×16",
     .japanese = "×16"},
    {.code = CodeScale32, .x = 4, .y = 196, .width = 41, .keyColour = Grey, .textColour = Grey, .english = "×32",
     .japanese = "×32"},
    {.code = CodeScale64, .x = 51, .y = 196, .width = 41, .keyColour = Grey, .textColour = Grey, .english = "×64",
     .japanese = "×64"},
    {.code = CodeFineMoveLabel, .x = 4, .y = 228, .width = 88, .english = "fine move", .japanese = "微動",
     .kind = KeyKind::Label},
    {.code = CodeUp, .x = 4, .y = 248, .width = 41, .keyColour = {192, 212, 64}, .english = " ↑", .japanese = " ↑"},
    {.code = CodeDown, .x = 51, .y = 248, .width = 41, .keyColour = {188, 212, 72}, .english = " ↓",
     .japanese = " ↓"},
    {.code = CodeLeft, .x = 4, .y = 274, .width = 41, .keyColour = {180, 212, 80}, .english = " ←",
     .japanese = " ←"},
    {.code = CodeRight, .x = 51, .y = 274, .width = 41, .keyColour = {172, 212, 88}, .english = " →",
     .japanese = " →"},
    {.code = CodeZoomSmoothly, .x = 2, .y = 306, .width = 96, .english = "zoom smoothly", .japanese = "拡大クッキリン",
     .kind = KeyKind::Label, .fontHeight = LargeFontHeight, .hit = {4, 306, 92, 326}},
    {.code = CodeAct, .x = 4, .y = 326, .width = 88, .keyColour = {240, 255, 0}, .english = "　act",
     .japanese = "　実　行"},
    {.code = CodeKeep2, .x = 4, .y = 472, .width = 88, .keyColour = {0, 220, 220}, .english = "  KEEP2",
     .japanese = "像 KEEP2"},
    {.code = CodeFrameColour, .x = 4, .y = 498, .width = 88, .keyColour = {192, 192, 64}, .english = "color(□)",
     .japanese = "窓枠の色"},
    // What the page draws itself: the reset mark, the frame colour list (its
    // rows answer while the list is closed, too) and the picture.
    {.code = CodeResetMark, .kind = KeyKind::Region, .hit = {4, 30, 92, 60}},
    ColourListRow(0), ColourListRow(1), ColourListRow(2), ColourListRow(3), ColourListRow(4), ColourListRow(5),
    {.code = CodePicture, .kind = KeyKind::Region, .hit = {100, 32, 1060, 704}},  // 100 < x < 1060, 33 <= y < 704
}};

constexpr int ResetMarkX = 10, ResetMarkY = 30, ResetMarkColour = 1;  // deep green

constexpr Rgb ListFrame{200, 200, 200};
constexpr int ListLeft = 8, ListTop = 538, ListRight = 92, ListBottom = 658, ListRowHeight = 20;

constexpr CommentText Comment{.lines = {{
    {"MAP [<>]  (A)call a image;", "マップ [<>]  (A)画像を呼び出す;"},
    {"          (B)view area [<>] choose × 1 or × 4, and left click on the image at the center of the view area;",
     "          (B)視野(窓) [<>] × 1 か × 4 を選び, 視野の中心にしたい画像の位置を左クリック;"},
    {"          (C)fine move [<>] move a view area position a little;",
     "          (C)微動 [<>] 視野の位置を少し動かす;"},
    {"          (D)[　act] [→] digital development of the view area on DEVELOP page (zoom and smooth);",
     "          (D)[　実　行] [→] 現像ページで視野をデジタル現像 (拡大となめらか化);"},
}}};

const std::array<CommentText, 5> Explanations = {{
    {.selector = 1, .colour = ExplainBlue, .lines = {{
         {"view area [<>] view area syze for digital development;", "視野(窓) [<>] デジタル現像する視野の大きさ;"},
         {"    × 1 [<>] the whole image as it is; × 4 [<>] 240 × 160 pixels become 960 × 640 on DEVELOP;",
          "    × 1 [<>] 画像全体をそのまま; × 4 [<>] 240 × 160 画素が現像で 960 × 640 になる;"},
         {"    left click on the image [→] the view area moves there; gray sizes are not used;",
          "    画像を左クリック [→] 視野がそこへ動く; 灰色の大きさは使えない;"}}}},
    {.selector = 2, .colour = ExplainGreen, .lines = {{
         {"fine move [<>] view area flame moves along arrow direct a little;",
          "微動 [<>] 視野の枠が矢印の向きに少し動く;"},
         {"    one step [<>] 32 pixels at × 1, 8 pixels at × 4; the flame stays inside the image area;",
          "    一歩 [<>] × 1 で 32 画素, × 4 で 8 画素; 枠は画像の範囲にとどまる;"}}}},
    {.selector = 3, .colour = ExplainDeepBlue, .lines = {{
         {"[KEEP2] [<>] save the image with a name of KEEP2.bmp;", "[像 KEEP2] [<>] 画像を KEEP2.bmp の名で保存する;"},
         {"    [　act] also saves the image as KEEP2.bmp; [Map] tab on DEVELOP [→] the image before development;",
          "    [　実　行] も画像を KEEP2.bmp に保存する; 現像ページで [マップ] タブ [→] 現像前の画像;"}}}},
    {.selector = 4, .colour = ExplainPurple, .lines = {{
         {"[color(□)] [→] list the flame colors of the view area;", "[窓枠の色] [→] 視野の枠の色を並べる;"},
         {"    left click on a color name [→] the flame is drawn in that color;",
          "    色の名前を左クリック [→] 枠がその色で描かれる;"}}}},
    {.selector = 5, .colour = ExplainDark, .lines = {{
         {"reset mark [<>] Left click on deep green mark [→] come back to default",
          "リセットマーク [<>] 深緑のマークを左クリック [→] 初期状態にもどる"},
         {"    view area × 1, flame color pure red, color list closed; the view area position stays;",
          "    視野 × 1, 枠の色は赤, 色の一覧は閉じる; 視野の位置はそのまま;"}}}},
}};

const PageComments Comments{.commentCode = 2, .slot = PageMap, .comment = &Comment, .explanations = Explanations};

void StartMapValues() {
  View.fineMove = ViewAreaState{}.fineMove;
  View.frameColour = ViewAreaState{}.frameColour;
  MapPage.frameListShown = MapPageState{}.frameListShown;
}

}  // namespace

void StartMap() {
  MapPage = {};
  View = {};
  SetViewScale(1);
  Keep2Area = CanvasArea{};
}

// [SECTION] Entry
void EnterMap() {
  StartMapValues();
  MapPage.helpItem = 0;
  CommentPanel.request = 2;
  // Back from DEVELOP by the MAP tab: the image as it was before the
  // development, but only when a development ran since KEEP2 was written
  // for it (a KEEP2 from other work must not replace the image).
  // Any entry ends the way back: once on MAP, the image here is the current one.
  if (Shell.tabFromPage == PageDevelop && MapPage.keep2State == 2) MapPage.keep2ReadRequest = true;
  MapPage.keep2State = 0;
}

void KeepImageBeforeDevelopment() {
  // The way back to it brings back its steps too.
  if (WriteKeepFile(Canvas.data(), PageMap, PixelSource::FromPlanes)) {
    NoteKeepWritten(PageMap, PictureFile.path, KeepFileName(PageMap));
  }
  MapPage.keep2State = 1;
  Keep2Area = PictureArea();
}

void NoteDevelopmentRun() {
  if (MapPage.keep2State == 1) MapPage.keep2State = 2;
}

void EndWayBackToMap() {
  MapPage.keep2State = 0;
  MapPage.keep2ReadRequest = false;
}

void StartDevelopmentFromMap() {
  KeepImageBeforeDevelopment();
  PageId = PageDevelop;
  EnterDevelop();
  AskDevelopment();
  Requests.restore = RestoreNone;
}

// [SECTION] Clicks
bool MapClick() {
  const int code = PanelKeyAt(Panel, MouseX, MouseY);
  switch (code) {
    case NoKey: return false;
    case CodeTitle: CommentPanel.request = 2; break;
    case CodeResetMark:
      SetViewScale(1);
      StartMapValues();
      MapPage.helpItem = 5;
      break;
    case CodeGetImage:
      Requests.openFile = true;
      Requests.getSlot = PageMap;
      break;
    case CodeViewAreaLabel:
    case CodeScale2:
    case CodeScale8:
    case CodeScale16:
    case CodeScale32:
    case CodeScale64: MapPage.helpItem = 1; break;
    case CodeScale1:
      SetViewScale(1);
      MapPage.helpItem = 1;
      break;
    case CodeScale4:
      SetViewScale(4);
      MapPage.helpItem = 1;
      break;
    case CodeFineMoveLabel: MapPage.helpItem = 2; break;
    case CodeUp: View.fineMove = FineMoveUp, MapPage.helpItem = 2; break;
    case CodeDown: View.fineMove = FineMoveDown, MapPage.helpItem = 2; break;
    case CodeLeft: View.fineMove = FineMoveLeft, MapPage.helpItem = 2; break;
    case CodeRight: View.fineMove = FineMoveRight, MapPage.helpItem = 2; break;
    case CodeZoomSmoothly: break;
    case CodeAct: StartDevelopmentFromMap(); break;
    case CodeKeep2:
      MapPage.setKeepRequest = true;
      MapPage.helpItem = 3;
      break;
    case CodeFrameColour:
      MapPage.frameListShown = !MapPage.frameListShown ? 1 : 0;
      MapPage.helpItem = 4;
      break;
    case CodeColour0:
    case CodeColour0 + 1:
    case CodeColour0 + 2:
    case CodeColour0 + 3:
    case CodeColour0 + 4:
    case CodeColour0 + 5:
      View.frameColour = code - CodeColour0;
      MapPage.helpItem = 4;
      break;
    case CodePicture: CentreMapViewArea(View.area, MouseX, MouseY); break;
    default: break;
  }
  return true;
}

// [SECTION] Paint
namespace {

void DrawFrameList(Surface& screen) {
  const Pen pen{ListFrame};
  screen.Rectangle(pen, std::nullopt, ListLeft, ListTop, ListRight + 1, ListBottom + 1);
  for (int y = ListTop + ListRowHeight; y < ListBottom; y += ListRowHeight) screen.Line(pen, ListLeft, y, ListRight, y);
  const bool english = LanguageId == EnglishLanguage;
  for (std::size_t i = 0; i < ViewFrameColours.size(); ++i) {
    const ViewFrameColour& row = ViewFrameColours[i];
    const int y = ListTop + ListRowHeight * static_cast<int>(i);
    screen.Text(MakePanelFont(PanelFontHeight), PanelText, TextBackground::Transparent, White, english ? 10 : 16, y,
                english ? row.english : row.japanese);
  }
}

// The view area's frame on the window, through its two corners: the whole
// canvas at x1, the view area in screen coordinates otherwise.
void DrawViewFrame(Surface& screen) {
  const Pen pen{ViewFrameColours[static_cast<std::size_t>(View.frameColour % 6)].colour};
  int left = 100, top = 32, right = 1060, bottom = 704;
  if (ViewScale != 1) {
    left = View.area.left + 100;
    right = View.area.left + View.area.width + 100;
    top = CanvasRows - View.area.bottom - View.area.height + 32;
    bottom = CanvasRows - View.area.bottom + 32;
  }
  screen.Polyline(pen, {{left, top}, {right, top}, {right, bottom}, {left, bottom}, {left, top}});
}

}  // namespace

void PaintMap() {
  Surface& screen = Screen();
  // The canvas is rebuilt from the planes below in every case, so the
  // picture file is not copied into it again first.
  // The panel and the reset mark.
  DrawPanel(screen, Panel);
  DrawResetMark(screen, ResetMarkX, ResetMarkY, ResetMarkUnit, ResetMarkColour);
  // Get, Restore, and the image before development on the way back.
  ServeGetAndRestore(PageMap, false);
  if (MapPage.keep2ReadRequest) {
    if (ReadKeepFile(Canvas.data(), PageMap, PixelTarget::IntoPlanes)) {
      NoteKeepRead(PageMap, PictureFile.path, KeepFileName(PageMap));
      SetShownArea(Keep2Area.right - Keep2Area.left, Keep2Area.top - Keep2Area.bottom);
    }
    MapPage.keep2ReadRequest = false;
  }
  // The current image, unchanged.
  ShowPlanes();
  // The view-area update, the list, the frame.
  UpdateMapViewArea(View.area, ViewScale, FileWidth, FileHeight, View.fineMove);
  if (MapPage.frameListShown) DrawFrameList(screen);
  DrawViewFrame(screen);
  // "  KEEP2", "Save", the tab bar, "zoom smoothly", the comment.
  ServeSet(PageMap, MapPage.setKeepRequest);
  ServeSave();
  DrawTabs();
  DrawPanelKey(screen, *FindPanelKey(Panel, CodeZoomSmoothly));
  ServeComments(screen, Comments, MapPage.helpItem);
}

// [SECTION] Page entry

// The page's state, as the history of changes keeps it.
constexpr std::array<StateBlock, 2> States{StateBlockOf<MapPage>(), StateBlockOf<Keep2Area>()};
extern const PageEntry MapPageEntry{.commentCode = 2,
                                    .start = StartMap,
                                    .enter = EnterMap,
                                    .click = MapClick,
                                    .paint = PaintMap,
                                    .panels = {Panel},
    .states = States};
