// GAMON page: an analysis view that changes no image. At every paint the
// canvas shows the picture at half size with the view area (shared with
// MAP, here on the half-size picture), the view area enlarged, the Gamon
// graph (each channel value against gray), the "each color" histograms and
// the "all color" histogram. "  KEEP13" and "set SAVE" store that screen.
// The pixel work lives in gamon_graphs.cpp.
//
// [SECTION] State
// [SECTION] Panel and texts
// [SECTION] Entry
// [SECTION] Clicks
// [SECTION] Paint

#include "pages/gamon/gamon_page.h"

#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "pages/kit/page_entry.h"
#include "pages/kit/page_steps.h"
#include "pages/kit/page_state.h"
#include "image/bmp_files.h"
#include "image/planes.h"
#include "pages/view/view_area.h"
#include "panel/comments.h"
#include "panel/widgets.h"
#include "platform/surface.h"

// [SECTION] State: the page's block. GamonRates holds the start values
// (rate 8, the others 1, cut flags 0); the view area, View.fineMove and
// View.frameColour are shared with MAP.
GamonPageState GamonPage;
GamonTables GamonCounts;

namespace {

enum GamonCode {
  CodeTitle = 1,
  CodeGetImage,
  CodeViewAreaLabel,
  CodeScale1,
  CodeScale2,
  CodeScale4,
  CodeScale8,
  CodeScale16,
  CodeFineMoveLabel,
  CodeUp,
  CodeDown,
  CodeLeft,
  CodeRight,
  CodeSaveLabel,
  CodeKeep13,
  CodeSetSave,
  CodeGamonLabel,
  CodeEachLabel,
  CodeAllLabel,
  CodeCut255,
  CodeCut0,
  CodeFrameLabel,
  CodeDarkReset,  // the reset marks the page draws under the title
  CodeLightReset,
  CodeFrameColour0,  // the six frame colour keys the page draws, top to bottom
  CodeFrameColour1,
  CodeFrameColour2,
  CodeFrameColour3,
  CodeFrameColour4,
  CodeFrameColour5,
};

constexpr Rgb Grey = InactiveText;

// [SECTION] Panel and texts: the key words, row by row. A row's click region
// is its key box unless it gives its own `hit`; a heading's region takes in
// the rows under it. The click handler tests the rows in this order.
const std::array<PanelKey, 30> Panel = {{
    {.code = CodeTitle, .x = 4, .y = 4, .width = 88, .english = "[ GAMON ]", .japanese = "[ 画紋 ]",
     .kind = KeyKind::Label, .fontHeight = LargeFontHeight, .hit = {4, 0, 92, 31}},
    {.code = CodeGetImage, .x = 4, .y = 66, .width = 88, .keyColour = {80, 160, 240}, .english = "get image",
     .japanese = "画像呼出", .hit = {4, 66, 98, 87}},
    {.code = CodeViewAreaLabel, .x = 4, .y = 92, .width = 88, .english = "view area", .japanese = "視野(窓)",
     .kind = KeyKind::Label, .hit = {4, 86, 98, 113}},
    {.code = CodeScale1, .x = 4, .y = 112, .width = 41, .keyColour = {128, 164, 212}, .english = "×1",
     .japanese = "×1", .kind = KeyKind::Switch, .state = &ViewScale, .onValue = 1, .hit = {4, 112, 45, 133}},
    {.code = CodeScale2, .x = 4, .y = 138, .width = 41, .keyColour = Grey, .textColour = Grey, .english = "×2",
     .japanese = "×2", .hit = {4, 138, 45, 159}},
    {.code = CodeScale4, .x = 51, .y = 138, .width = 41, .keyColour = {128, 180, 192}, .english = "×4",
     .japanese = "×4", .kind = KeyKind::Switch, .state = &ViewScale, .onValue = 4, .hit = {51, 138, 92, 159}},
    {.code = CodeScale8, .x = 4, .y = 164, .width = 41, .keyColour = Grey, .textColour = Grey, .english = "×8",
     .japanese = "×8", .hit = {4, 164, 45, 185}},
    {.code = CodeScale16, .x = 51, .y = 164, .width = 41, .keyColour = Grey, .textColour = Grey, .english = "×16",
     .japanese = "×16", .hit = {51, 164, 92, 185}},
    {.code = CodeFineMoveLabel, .x = 4, .y = 190, .width = 88, .english = "fine move", .japanese = "微動",
     .kind = KeyKind::Label, .hit = {4, 190, 92, 211}},
    {.code = CodeUp, .x = 4, .y = 210, .width = 41, .keyColour = {192, 212, 64}, .english = " ↑", .japanese = " ↑",
     .hit = {4, 210, 45, 231}},
    {.code = CodeDown, .x = 51, .y = 210, .width = 41, .keyColour = {188, 212, 72}, .english = " ↓",
     .japanese = " ↓", .hit = {51, 210, 92, 231}},
    {.code = CodeLeft, .x = 4, .y = 236, .width = 41, .keyColour = {180, 212, 80}, .english = " ←",
     .japanese = " ←", .hit = {4, 236, 45, 257}},
    {.code = CodeRight, .x = 51, .y = 236, .width = 41, .keyColour = {172, 212, 88}, .english = " →",
     .japanese = " →", .hit = {51, 236, 92, 257}},
    {.code = CodeSaveLabel, .x = 4, .y = 268, .width = 88, .english = "save", .japanese = "保存", .kind = KeyKind::Label,
     .hit = {4, 256, 98, 289}},
    {.code = CodeKeep13, .x = 4, .y = 288, .width = 88, .keyColour = {20, 240, 200}, .english = "  KEEP13",
     .japanese = "  KEEP13", .hit = {4, 288, 98, 309}},
    {.code = CodeSetSave, .x = 4, .y = 314, .width = 88, .keyColour = {240, 200, 220}, .english = "set SAVE",
     .japanese = "決定保存", .hit = {4, 314, 98, 335}},
    {.code = CodeGamonLabel, .x = 4, .y = 346, .width = 88, .english = "Gamon graph", .japanese = "画紋グラフ",
     .kind = KeyKind::Label, .hit = {4, 334, 98, 387}},
    {.code = CodeEachLabel, .x = 4, .y = 398, .width = 88, .english = "each color", .japanese = "各色値分布",
     .kind = KeyKind::Label, .hit = {4, 386, 98, 517}},
    {.code = CodeAllLabel, .x = 4, .y = 528, .width = 88, .english = "all color", .japanese = "重色値分布",
     .kind = KeyKind::Label, .hit = {4, 516, 98, 569}},
    {.code = CodeCut255, .x = 4, .y = 574, .width = 92, .keyColour = Grey, .textColour = Grey, .english = "cut 255",
     .japanese = " 255値無視", .kind = KeyKind::Switch, .flag = &GamonPage.rates.cut255, .hit = {4, 574, 98, 600}},
    {.code = CodeCut0, .x = 4, .y = 600, .width = 92, .keyColour = Grey, .textColour = Grey, .english = "cut   0",
     .japanese = "   0値無視", .kind = KeyKind::Switch, .flag = &GamonPage.rates.cut0, .hit = {4, 599, 98, 621}},
    {.code = CodeFrameLabel, .x = 4, .y = 632, .width = 92, .english = "flame color", .japanese = "　窓枠の色",
     .kind = KeyKind::Label, .hit = NoClick},
    {.code = CodeDarkReset, .kind = KeyKind::Region, .hit = {2, 30, 50, 61}},
    {.code = CodeLightReset, .kind = KeyKind::Region, .hit = {50, 30, 98, 61}},
    {.code = CodeFrameColour0, .kind = KeyKind::Region, .hit = {4, 652, 92, 673}},
    {.code = CodeFrameColour1, .kind = KeyKind::Region, .hit = {4, 672, 92, 693}},
    {.code = CodeFrameColour2, .kind = KeyKind::Region, .hit = {4, 692, 92, 713}},
    {.code = CodeFrameColour3, .kind = KeyKind::Region, .hit = {4, 712, 92, 733}},
    {.code = CodeFrameColour4, .kind = KeyKind::Region, .hit = {4, 732, 92, 753}},
    {.code = CodeFrameColour5, .kind = KeyKind::Region, .hit = {4, 752, 92, 773}},
}};

// The rate key words: "%4g" (English) or "%g" (Japanese) of a rate, width
// 68, with a diamond at x 78.
struct RateKey {
  int y;
  const char* english;
  const char* japanese;
  double GamonRates::*single;
  int each;  // index into GamonRates::each when `single` is null
};
const std::array<RateKey, 6> RateKeys = {{
    {366, "rate %4g", "色比 %g", &GamonRates::rate, -1},
    {418, "red  %4g", "赤　 %g", nullptr, 0},
    {444, "green%4g", "緑　 %g", nullptr, 1},
    {470, "blue %4g", "青　 %g", nullptr, 2},
    {496, "gray %4g", "濃淡 %g", nullptr, 3},
    {548, "tall %4g", "全背 %g", &GamonRates::tall, -1},
}};
constexpr int RateDiamondX = 78;  // the keys are 68 wide

// The six frame colours (view_area.h), below "flame color".
constexpr const auto& FrameKeys = ViewFrameColours;
constexpr int FrameKeyTop = 652, FrameKeyStep = 20;

struct MarkPlace {
  int x, y, colourIndex;
};
constexpr std::array<MarkPlace, 2> ResetMarks = {{{2, 30, 5}, {50, 30, 4}}};  // dark (blue), light (cyan)

constexpr CommentText Comment{.lines = {{
    {"GAMON [<>] Gamon graph & color value graph;", "画紋 [<>] 画紋グラフと色値グラフ;"},
    {"      (A)call a image; the half size image with the view area, and the view area enlarged on the right;",
     "      (A)画像を呼び出す; 視野つきの半分の大きさの画像と, 右に拡大した視野;"},
    {"      (B)Gamon graph, each color, all color [<>] graphs of the colors in the view area;",
     "      (B)画紋グラフ, 各色値分布, 重色値分布 [<>] 視野の中の色のグラフ;"},
    {"      (C)[  KEEP13] [→] KEEP13.bmp; [set SAVE] [→] save the graphs with a name; the image does not change;",
     "      (C)[  KEEP13] [→] KEEP13.bmp; [決定保存] [→] グラフを名前をつけて保存; 画像は変わらない;"},
}}};

const std::array<CommentText, 8> Explanations = {{
    {.selector = 1, .colour = ExplainDark, .lines = {{
         {"reset mark [<>] Left click on dark blue mark [→] rates come back to default (rate 8, others 1);",
          "リセットマーク [<>] 暗い青のマークを左クリック [→] 比率が初期値にもどる (色比 8, 他は 1);"},
         {"    Left click on light blue mark [→] view area × 1;",
          "    明るい青のマークを左クリック [→] 視野 × 1;"}}}},
    {.selector = 2, .colour = ExplainBlue, .lines = {{
         {"view area [<>] × 1: the whole image; × 4: a 240 × 160 part, enlarged at the upper right;",
          "視野(窓) [<>] × 1: 画像全体; × 4: 240 × 160 の部分, 右上に拡大;"},
         {"    left click on the half size image [→] the view area moves there; the same view area as MAP;",
          "    半分の大きさの画像を左クリック [→] 視野がそこへ動く; マップと同じ視野;"}}}},
    {.selector = 3, .colour = ExplainGreen, .lines = {{
         {"fine move [<>] view area flame moves along arrow direct a little;",
          "微動 [<>] 視野の枠が矢印の向きに少し動く;"},
         {"    one step [<>] 32 at × 1, 8 at × 4 (half size pixels);", "    一歩 [<>] × 1 で 32, × 4 で 8 (半分の大きさの画素);"}}}},
    {.selector = 4, .colour = ExplainDeepBlue, .lines = {{
         {"save [<>] [  KEEP13] [→] the graphs as KEEP13.bmp; [set SAVE] [→] the graphs with a name;",
          "保存 [<>] [  KEEP13] [→] グラフを KEEP13.bmp に; [決定保存] [→] グラフに名前をつけて;"},
         {"    the image in hand does not change;", "    手元の画像は変わらない;"}}}},
    {.selector = 5, .colour = ExplainOlive, .lines = {{
         {"Gamon graph [<>] across: gray 0～255, up: color value 0～255; a dot [<>] pixels of that gray have "
          "that value;",
          "画紋グラフ [<>] 横: 濃淡 0～255, 縦: 色の値 0～255; 点 [<>] その濃淡の画素がその値をもつ;"},
         {"    a neutral image [→] a thin white diagonal; a color cast [→] red, green, blue part above and below;",
          "    かたよりのない画像 [→] 細い白の対角線; 色かぶり [→] 赤, 緑, 青が上下に分かれる;"},
         {"    rate [<>] brightness of the dots;", "    色比 [<>] 点の明るさ;"}}}, .x = 120},
    {.selector = 6, .colour = ExplainRed, .lines = {{
         {"each color [<>] red, green, blue, gray value histograms;", "各色値分布 [<>] 赤, 緑, 青, 濃淡の値の分布;"},
         {"    red, green, blue, gray rate [<>] height of the bars;", "    赤, 緑, 青, 濃淡 [<>] 棒の高さの比率;"}}}, .x = 420},
    {.selector = 7, .colour = ExplainTeal, .lines = {{
         {"all color [<>] the three histograms one over another;", "重色値分布 [<>] 三色の分布を重ねる;"},
         {"    overlap [→] cyan, magenta, yellow, white; tall [<>] height;",
          "    重なり [→] 水色, 赤紫, 黄, 白; 全背 [<>] 高さ;"}}}, .x = 640},
    {.selector = 8, .colour = ExplainGrey, .lines = {{
         {"cut 255, cut 0 [<>] leave the count of value 255 or 0 out of the highest bar;",
          "255値無視, 0値無視 [<>] 値 255 か 0 の数を最も高い棒から外す;"},
         {"    (not in use);", "    (使われていない);"}}}},
}};

const PageComments Comments{.commentCode = 13, .slot = PageGamon, .comment = &Comment, .explanations = Explanations};

std::string RateText(const RateKey& key) {
  const double value = key.single != nullptr ? GamonPage.rates.*key.single
                                             : GamonPage.rates.each[static_cast<std::size_t>(key.each)];
  char text[64];
  std::snprintf(text, sizeof text, LanguageId == EnglishLanguage ? key.english : key.japanese, value);
  return text;
}

void DrawGamonPanel(Surface& screen) {
  DrawPanel(screen, Panel);
  for (const MarkPlace& mark : ResetMarks) DrawResetMark(screen, mark.x, mark.y, ResetMarkUnit, mark.colourIndex);
  for (const RateKey& key : RateKeys) {
    // The key itself is white on the white panel: only its text shows.
    DrawKeyText(screen, 4, key.y, RateText(key), PanelText);
    DrawDiamondSwitch(screen, RateDiamondX, key.y, PanelText);
  }
  const bool english = LanguageId == EnglishLanguage;
  for (std::size_t i = 0; i < FrameKeys.size(); ++i) {
    const int y = FrameKeyTop + FrameKeyStep * static_cast<int>(i);
    DrawKeyText(screen, 4, y, english ? FrameKeys[i].english : FrameKeys[i].japanese, PanelText);
    DrawKeyBox(screen, 4, y, 88, FrameKeys[i].colour, View.frameColour == static_cast<int>(i));
  }
}

}  // namespace

void StartGamon() { GamonPage = {}; }

// [SECTION] Entry
void EnterGamon() {
  GamonPage.rates = GamonRates{};
  GamonPage.helpItem = 0;
  CommentPanel.request = 13;
}

// [SECTION] Clicks
namespace {

// The graphs: CanvasRows / 2 + 32 <= y < CanvasRows + 32, by column.
struct GraphRegion {
  int left, right;  // inclusive
  int help;
};
constexpr std::array<GraphRegion, 3> GraphRegions = {{{101, 420, 5}, {421, 740, 6}, {741, 1060, 7}}};

// The half-size picture: 100 < x < 580, 33 <= y < 368.
constexpr Region HalfSizePictureArea{100, 32, 100 + Stride / 2, CanvasRows / 2 + 32};

// A click on the half-size picture centres the view area there; one on a
// graph explains it.
bool ImageAreaClick() {
  if (HalfSizePictureArea.Contains(MouseX, MouseY)) {
    CentreGamonViewArea(View.area, MouseX, MouseY);
    GamonPage.helpItem = 2;
    return true;
  }
  if (CanvasRows / 2 + 32 <= MouseY && MouseY < CanvasRows + 32) {
    for (const GraphRegion& graph : GraphRegions) {
      if (graph.left <= MouseX && MouseX <= graph.right) {
        GamonPage.helpItem = graph.help;
        return true;
      }
    }
  }
  return false;
}

}  // namespace

bool GamonClick() {
  const int code = PanelKeyAt(Panel, MouseX, MouseY);
  switch (code) {
    case NoKey: return ImageAreaClick();
    case CodeTitle: CommentPanel.request = 13; break;
    case CodeDarkReset:
      GamonPage.rates = GamonRates{};
      GamonPage.helpItem = 1;
      break;
    case CodeLightReset:
      SetViewScale(1);
      GamonPage.helpItem = 1;
      break;
    case CodeGetImage:
      Requests.openFile = true;
      Requests.getSlot = PageGamon;
      EnterGamon();
      break;
    case CodeScale1:
      SetViewScale(1);
      GamonPage.helpItem = 2;
      break;
    case CodeScale4:
      SetViewScale(4);
      GamonPage.helpItem = 2;
      break;
    case CodeViewAreaLabel:
    case CodeScale2:
    case CodeScale8:
    case CodeScale16: GamonPage.helpItem = 2; break;
    case CodeFineMoveLabel: GamonPage.helpItem = 3; break;
    case CodeUp: View.fineMove = FineMoveUp, GamonPage.helpItem = 3; break;
    case CodeDown: View.fineMove = FineMoveDown, GamonPage.helpItem = 3; break;
    case CodeLeft: View.fineMove = FineMoveLeft, GamonPage.helpItem = 3; break;
    case CodeRight: View.fineMove = FineMoveRight, GamonPage.helpItem = 3; break;
    case CodeSaveLabel: GamonPage.helpItem = 4; break;
    case CodeKeep13:
      GamonPage.setKeepRequest = true;
      GamonPage.helpItem = 4;
      break;
    case CodeSetSave:
      Requests.saveAs = true;
      GamonPage.helpItem = 4;
      break;
    case CodeGamonLabel: GamonPage.helpItem = 5; break;
    case CodeEachLabel: GamonPage.helpItem = 6; break;
    case CodeAllLabel: GamonPage.helpItem = 7; break;
    case CodeCut255:
    case CodeCut0: GamonPage.helpItem = 8; break;
    case CodeFrameColour0:
    case CodeFrameColour1:
    case CodeFrameColour2:
    case CodeFrameColour3:
    case CodeFrameColour4:
    case CodeFrameColour5: View.frameColour = code - CodeFrameColour0; break;
  }
  return true;
}

// [SECTION] Paint
namespace {

// "Save" of the analysis screen: the canvas goes to the file through the
// planes, and the planes are given back, so the image in hand stays.
void SaveScreenAs() {
  const std::size_t count = static_cast<std::size_t>(Stride) * CanvasRows;
  std::vector<std::uint32_t> kept(3 * count);
  for (std::size_t k = 0; k < 3; ++k) std::copy_n(WorkPlanes[k].begin(), count, kept.begin() + static_cast<std::ptrdiff_t>(k * count));
  PlanesFromCanvas(Canvas.data(), Stride, CanvasRows);
  SaveImageAs(LanguageId);
  for (std::size_t k = 0; k < 3; ++k)
    std::copy_n(kept.begin() + static_cast<std::ptrdiff_t>(k * count), count, WorkPlanes[k].begin());
}

}  // namespace

void PaintGamon() {
  Surface& screen = Screen();
  // The canvas is rebuilt from the planes below in every case, so the
  // picture file is not copied into it again first.
  // 1. The panel; Get and Restore of KEEP13.
  DrawGamonPanel(screen);
  ServeGetAndRestore(PageGamon, false);
  std::uint8_t* canvas = Canvas.data();
  const PlaneView planes = WorkView();
  // 2. - 3. White, and the half-size picture.
  FillCanvas(canvas, White);
  HalfSizePicture(planes, canvas);
  // 4. - 5. The view area on the half-size picture, the analysis window.
  UpdateGamonViewArea(View.area, ViewScale, FileWidth, FileHeight, View.fineMove);
  const ViewRect window = GamonAnalysisWindow(View.area);
  // 6. The frame and the enlarged view.
  if (ViewScale != 1) {
    DrawHalfSizeFrame(canvas, View.area, FrameKeys[static_cast<std::size_t>(View.frameColour % 6)].colour);
    EnlargedView(planes, window, View.area.zoom, canvas);
  }
  // 7. - 9. Tables, histograms, their maximum.
  CountGamonTables(planes, window, GamonCounts);
  const std::uint32_t maximum = HistogramMaximum(GamonCounts, GamonPage.rates.cut255, GamonPage.rates.cut0);
  // 10. - 13. The graphs and their headings.
  DrawAllColourGraph(canvas, GamonCounts, maximum, GamonPage.rates.tall);
  DrawEachColourGraph(canvas, GamonCounts, maximum, GamonPage.rates.each);
  DrawGamonGraph(canvas, GamonCounts, GamonPage.rates.rate);
  DrawGamonHeadings(canvas);
  // 14. Show; the tab bar; the comment or explanation.
  screen.BlitBottomUp(canvas, Stride, CanvasRows, 100, 32);
  DrawTabs();
  ServeComments(screen, Comments, GamonPage.helpItem);
  // 15. KEEP13 and Save, both of the screen; the image in hand stays.
  if (GamonPage.setKeepRequest) {
    WriteKeepFile(canvas, PageGamon, PixelSource::FromCanvas);
    GamonPage.setKeepRequest = false;
  }
  if (Requests.saveAs) {
    Requests.saveAs = false;
    SaveScreenAs();
  }
}

// [SECTION] Page entry

// The page's state, as the history of changes keeps it.
constexpr std::array<StateBlock, 1> States{StateBlockOf<GamonPage>()};
extern const PageEntry GamonPageEntry{.commentCode = 13,
                                      .start = StartGamon,
                                      .enter = EnterGamon,
                                      .click = GamonClick,
                                      .paint = PaintGamon,
                                      .panels = {Panel},
    .states = States};
