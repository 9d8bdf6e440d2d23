// TOP page: takes a newly opened picture into the planes and shows it; the
// colour graph of one row with its level line and vertical line; one-click
// Vantor Eye over the whole picture with live progress or in blind mode;
// "save KEEP0"; the language and comment switches and the notation legend.
//
// [SECTION] State
// [SECTION] Panel and texts
// [SECTION] Entry
// [SECTION] Clicks
// [SECTION] Paint

#include <algorithm>
#include <array>

#include "pages/kit/page_entry.h"
#include "image/gray.h"
#include "pages/kit/page_steps.h"
#include "pages/kit/page_state.h"
#include "image/bmp_files.h"
#include "image/planes.h"
#include "pages/filter/filter_page.h"
#include "pages/tone/eye_page.h"
#include "pages/kit/step_list.h"
#include "pages/tone/tone_pages.h"
#include "pages/tone/tone_state.h"
#include "panel/comments.h"
#include "panel/widgets.h"
#include "platform/surface.h"

// [SECTION] State: the page's block, with its start values.
TopPageState TopPage;

namespace {

enum GraphIndex { GraphRed = 0, GraphGreen = 1, GraphBlue = 2, GraphGray = 3 };

// Key-word codes of this panel.
enum TopCode {
  CodeTitle = 1,
  CodeGetImage,
  CodeComment,
  CodeResetLabel,
  CodeGraphLabel,
  CodeRed,
  CodeGreen,
  CodeBlue,
  CodeGray,
  CodeVertical,
  CodeEyeLabel,
  CodeLight,
  CodeBoth,
  CodeDark,
  CodeB,
  CodeD,
  CodeF,
  CodeH,
  CodeJ,
  CodeL,
  CodeBlind,
  CodeWaiting,
  CodeKeepLabel,
  CodeSaveKeep,
  CodeLanguageLabel,
  CodeLanguage,
  CodeResetMark,  // the reset mark the page draws under "reset mark"
};

constexpr Rgb LabelWhite{255, 255, 255};
constexpr Rgb Grey{220, 220, 220};

// The panel, row by row; inactive key words have their text in light grey.
// A row's click region is its key box unless it gives its own `hit`; the
// click handler tests the rows in this order.
const std::array<PanelKey, 27> Panel = {{
    {.code = CodeTitle, .x = 4, .y = 4, .english = "[ TOP ]", .japanese = "[ トップ ]", .kind = KeyKind::Label,
     .fontHeight = LargeFontHeight, .hit = {4, 0, 92, 24}},
    {.code = CodeGetImage, .x = 4, .y = 24, .keyColour = {80, 160, 240}, .english = "get image", .japanese = "画像呼出"},
    {.code = CodeComment, .x = 4, .y = 50, .keyColour = {240, 240, 40}, .english = " comment",
     .japanese = "コメント表示", .kind = KeyKind::Switch, .place = TextPlace::Lowered, .fontHeight = LargeFontHeight,
     .flag = &CommentPanel.on},
    {.code = CodeResetLabel, .x = 4, .y = 78, .english = "reset mark", .japanese = "リセットマーク", .kind = KeyKind::Label, .hit = {4, 76, 92, 92}},
    {.code = CodeGraphLabel, .x = 4, .y = 128, .english = "color graph", .japanese = "色値グラフ", .kind = KeyKind::Label, .hit = {4, 128, 92, 168}},
    {.code = CodeRed, .x = 4, .y = 148, .width = 41, .keyColour = Grey, .textColour = Grey, .english = "red", .japanese = "赤", .hit = NoClick},
    {.code = CodeGreen, .x = 51, .y = 148, .width = 41, .keyColour = Grey, .textColour = Grey, .english = "green",
     .japanese = "緑", .hit = NoClick},
    {.code = CodeBlue, .x = 4, .y = 174, .width = 41, .keyColour = Grey, .textColour = Grey, .english = "blue",
     .japanese = "青", .hit = {4, 174, 51, 194}},
    {.code = CodeGray, .x = 51, .y = 174, .width = 41, .keyColour = {128, 128, 128}, .english = "gray", .japanese = "濃淡",
     .kind = KeyKind::Switch, .flag = &TopPage.graphChannel[GraphGray]},
    {.code = CodeVertical, .x = 4, .y = 200, .keyColour = {192, 192, 32}, .english = "vertical line", .japanese = "縦線",
     .kind = KeyKind::Switch, .flag = &TopPage.verticalLineOn},
    {.code = CodeEyeLabel, .x = 4, .y = 236, .english = "Vantor Eye", .japanese = "Vantor Eye", .kind = KeyKind::Label},
    {.code = CodeLight, .x = 4, .y = 256, .keyColour = Grey, .textColour = Grey, .english = "light VE □",
     .japanese = "明 VE   □"},
    {.code = CodeBoth, .x = 4, .y = 282, .keyColour = {255, 180, 180}, .english = "both VE  ", .japanese = "双 VE",
     .kind = KeyKind::Switch, .state = &Tone.eye.mode},
    {.code = CodeDark, .x = 4, .y = 308, .keyColour = Grey, .textColour = Grey, .english = "dark VE ■",
     .japanese = "暗 VE   ■"},
    {.code = CodeB, .x = 4, .y = 334, .width = 41, .keyColour = Grey, .textColour = Grey, .english = " B", .japanese = "B"},
    {.code = CodeD, .x = 51, .y = 334, .width = 41, .keyColour = Grey, .textColour = Grey, .english = " D", .japanese = "D"},
    {.code = CodeF, .x = 4, .y = 360, .width = 41, .keyColour = {112, 176, 204}, .english = " F", .japanese = "F",
     .kind = KeyKind::Switch, .state = &Tone.hornKey, .onValue = 6},
    {.code = CodeH, .x = 51, .y = 360, .width = 41, .keyColour = Grey, .textColour = Grey, .english = " H", .japanese = "H"},
    {.code = CodeJ, .x = 4, .y = 386, .width = 41, .keyColour = Grey, .textColour = Grey, .english = " J", .japanese = "J"},
    {.code = CodeL, .x = 51, .y = 386, .width = 41, .keyColour = Grey, .textColour = Grey, .english = " L", .japanese = "L"},
    {.code = CodeBlind, .x = 4, .y = 412, .keyColour = {200, 200, 255}, .english = "blind mode", .japanese = "目隠し",
     .kind = KeyKind::Switch, .flag = &TopPage.blindMode},
    {.code = CodeWaiting, .x = 4, .y = 444, .english = "on waiting", .japanese = "VE 処理待ち", .kind = KeyKind::Label},
    {.code = CodeKeepLabel, .x = 4, .y = 470, .english = "keep image", .japanese = "画像保存", .kind = KeyKind::Label},
    {.code = CodeSaveKeep, .x = 4, .y = 490, .keyColour = {0, 220, 220}, .english = "save KEEP0", .japanese = "像 KEEP0"},
    {.code = CodeLanguageLabel, .x = 4, .y = 522, .english = "language", .japanese = "表示言語", .kind = KeyKind::Label},
    {.code = CodeLanguage, .x = 4, .y = 542, .keyColour = {255, 192, 128}, .english = "JAPANESE", .japanese = "ENGLISH"},
    {.code = CodeResetMark, .kind = KeyKind::Region, .hit = {4, 92, 92, 122}},
}};


// Comment page and explanations, both languages side by side.
constexpr CommentText Comment{.lines = {{
    {"TOP [<>] (A)call a image;", "トップ [<>] (A)画像を呼び出す;"},
    {"    (B)[Enter] or [get image] [→] a new image; (C)[ F ] [→] Vantor Eye on the whole image;",
     "    (B)[Enter] か [画像呼出] [→] 新しい画像; (C)[ F ] [→] 画像全体に Vantor Eye;"},
    {"    (D)[save KEEP0] [→] save the image with a name of KEEP0.bmp;",
     "    (D)[像 KEEP0] [→] 画像を KEEP0.bmp の名で保存する;"},
}}};

const std::array<CommentText, 9> Explanations = {{
    {.selector = 1, .colour = ExplainBlue, .lines = {{
         {"[comment] [<>] comment sentences appear; only this page; directly on other page;",
          "[コメント表示] [<>] コメント文が現れる; このページだけ; 他のページでは直接;"}}}},
    {.selector = 2, .colour = ExplainGreen, .lines = {{
         {"reset mark [<>] Left click on deep blue mark [→] come back to default",
          "リセットマーク [<>] 紺色のマークを左クリック [→] 初期状態にもどる"}}}},
    {.selector = 3, .colour = ExplainRed, .lines = {{
         {"color graph [<>] Left click on each color switch (+) Left click on the image;",
          "色値グラフ [<>] 各色のスイッチを左クリック (+) 画像を左クリック;"},
         {"    the color graph appears beneath the image about the level line position;",
          "    水平線の位置の色値グラフが画像の下に現れる;"},
         {"    Where, on the color graph, bottom [<>] 0, top [<>] 255;",
          "    ここで, 色値グラフの 下端 [<>] 0, 上端 [<>] 255;"}}}},
    {.selector = 4, .colour = ExplainPurple, .lines = {{
         {"[vertical line] [→] (+)Left click on the image;", "[縦線] [→] (+)画像を左クリック;"},
         {"    a vertical line appears from the click position to the color graph bottom;",
          "    クリック位置から色値グラフの下端まで縦線が現れる;"}}}},
    {.selector = 5, .colour = ExplainTeal, .lines = {{
         {"Vantor Eye [<>] sweep the fog of the image;", "Vantor Eye [<>] 画像の「色のかすみ」をとる;"},
         {"    light VE □ [<>] stretch each color away from black; light colors change most;",
          "    明 VE   □ [<>] 各色を黒から引き離す; 明るい色ほど大きく変わる;"},
         {"    both VE   [<>] stretch each color away from its middle level;",
          "    双 VE     [<>] 各色をその中央の値から引き離す;"},
         {"    dark VE ■ [<>] stretch each color away from white; dark colors change most;",
          "    暗 VE   ■ [<>] 各色を白から引き離す; 暗い色ほど大きく変わる;"}}}},
    {.selector = 6, .colour = ExplainOlive, .lines = {{
         {"blind mode [<>] When Vantor Eye acts on each level line, the result image hide under level lines;",
          "目隠し [<>] Vantor Eye が各水平線に働くとき, 結果の画像は水平線の下にかくれる;"},
         {"    When all lines finish, all result image appear;", "    すべての線が終わると, 結果の画像全体が現れる;"}}}},
    {.selector = 7, .colour = ExplainDark, .lines = {{
         {"keep image [<>] Left click on [KEEP0] [→] save the image with a name of KEEP0.bmp;",
          "画像保存 [<>] [KEEP0] を左クリック [→] 画像を KEEP0.bmp の名で保存する;"}}}},
    {.selector = 8, .colour = ExplainDeepBlue, .lines = {{
         {"language [<>] select key words between japanese and english;",
          "表示言語 [<>] キーワードを日本語と英語から選ぶ;"}}}},
    {.selector = 9, .colour = ExplainBrown, .lines = {{
         {"on waiting [<>] on waiting to input B ～ L of Vantor Eye;",
          "VE 処理待ち [<>] Vantor Eye の B ～ L の入力を待っている;"}}}},
}};

const PageComments Comments{.commentCode = 0,
                            .slot = PageTop,
                            .onlyWhileCommentOn = true,
                            .comment = &Comment,
                            .explanations = Explanations};

void ResetTopSwitches() {
  const TopPageState start;
  TopPage.levelLine = start.levelLine;
  TopPage.graphChannel = start.graphChannel;
  TopPage.verticalLineOn = start.verticalLineOn;
  TopPage.blindMode = start.blindMode;
  TopPage.colourGraphOn = start.colourGraphOn;
  Tone.hornKey = ToneState{}.hornKey;
  ResetEyeBlindMode();
  Shell.newImageFlag = 1;
  Shell.planesLoaded = 0;
}

bool AnyGraphChannel() {
  return std::any_of(TopPage.graphChannel.begin(), TopPage.graphChannel.end(), [](int on) { return on != 0; });
}

// The colour graph of plane row TopPage.levelLine, top edge at `top`.
void DrawColourGraph(Surface& screen, int top) {
  screen.Rectangle(Pen{AnyGraphChannel() ? Rgb{200, 200, 200} : White}, std::nullopt, 100, top, 100 + Stride,
                   top + 128);
  const int bottom = top + 128;
  const std::size_t first = static_cast<std::size_t>(std::clamp(TopPage.levelLine, 0, CanvasRows - 1)) * Stride;
  auto value = [&](int curve, int x) {
    const std::size_t i = first + static_cast<std::size_t>(x);
    const std::int64_t blue = static_cast<std::int32_t>(WorkPlanes[0][i]);
    const std::int64_t green = static_cast<std::int32_t>(WorkPlanes[1][i]);
    const std::int64_t red = static_cast<std::int32_t>(WorkPlanes[2][i]);
    std::int64_t v = 0;
    switch (curve) {
      case GraphBlue: v = blue; break;
      case GraphGreen: v = green; break;
      case GraphRed: v = red; break;
      default: v = GrayTruncated(red, green, blue); break;
    }
    return static_cast<int>(std::clamp<std::int64_t>(v, 0, 255));
  };
  // Drawing order: blue, green, red, gray.
  constexpr std::array<std::pair<int, Rgb>, 4> Curves = {{{GraphBlue, {0, 0, 255}},
                                                          {GraphGreen, {0, 255, 0}},
                                                          {GraphRed, {255, 0, 0}},
                                                          {GraphGray, {100, 100, 100}}}};
  for (const auto& [curve, colour] : Curves) {
    if (!TopPage.graphChannel[static_cast<std::size_t>(curve)]) continue;
    const Pen pen{colour};
    for (int x = 1; x < Stride; ++x) {
      screen.Line(pen, 99 + x, bottom - value(curve, x - 1) / 2, 100 + x, bottom - value(curve, x) / 2);
    }
  }
}

// The half-filled square beside "both VE": between the hollow square of
// light and the filled one of dark.
void DrawBothMark(Surface& screen) {
  constexpr int x = 71, y = 292, side = 9;
  screen.Rectangle(Pen{PanelText}, std::nullopt, x, y, x + side, y + side);
  screen.FillRect(PanelText, x, y, x + side / 2 + 1, y + side);
}

}  // namespace

void StartTop() {
  TopPage = {};
  ResetTopSwitches();
  Tone.runPending = ToneState{}.runPending;
}

// [SECTION] Entry
void EnterTop() {
  ResetTopSwitches();
  CommentPanel.request = 0;
  CommentPanel.on = true;
}

// [SECTION] Clicks
void PutLevelLine(int row) { TopPage.levelLine = row; }

bool TopClick() {
  if (MouseInImage() && MouseX < 100 + Stride && 32 < MouseY && MouseY < CanvasRows + 32) {
    PutLevelLine(std::max(0, CanvasRows + 32 - MouseY));
    return true;
  }
  const int code = PanelKeyAt(Panel, MouseX, MouseY);
  switch (code) {
    case NoKey: return false;
    case CodeTitle: CommentPanel.request = 0; break;
    case CodeGetImage:
      Requests.openFile = true;
      TopPage.graphChannel = {0, 0, 0, 0};
      TopPage.verticalLineOn = false;
      Tone.hornKey = 0;
      EnterTop();
      break;
    case CodeComment:
      if (!CommentPanel.on) {
        CommentPanel.on = true;
        CommentPanel.helpItem = 1;
        TopPage.colourGraphOn = false;
      } else {
        CommentPanel.on = false;
      }
      break;
    case CodeResetLabel: CommentPanel.helpItem = 2; break;
    case CodeResetMark:
      ResetTopSwitches();
      CommentPanel.helpItem = 2;
      ResetLightCoreAndColourPower();
      break;
    case CodeGraphLabel:
    case CodeBlue: CommentPanel.helpItem = 3; break;
    case CodeGray:
      if (!TopPage.graphChannel[GraphGray]) {
        TopPage.graphChannel[GraphGray] = true;
        Tone.hornKey = 0;
        TopPage.colourGraphOn = true;
        CommentPanel.on = false;
        CommentPanel.helpItem = 3;
      } else {
        TopPage.graphChannel[GraphGray] = false;
      }
      break;
    case CodeVertical:
      if (ToggleSwitch(Panel, code)) {
        Tone.hornKey = 0;
        CommentPanel.helpItem = 4;
      }
      break;
    case CodeBoth:
      Tone.eye.mode = 1;
      CommentPanel.helpItem = 5;
      break;
    case CodeF:
      Tone.hornKey = 6;
      Tone.runPending = true;
      TopPage.graphChannel[GraphGray] = false;
      TopPage.verticalLineOn = false;
      CommentPanel.helpItem = 5;
      break;
    case CodeEyeLabel:
    case CodeLight:
    case CodeDark:
    case CodeB:
    case CodeD:
    case CodeH:
    case CodeJ:
    case CodeL: CommentPanel.helpItem = 5; break;
    case CodeBlind:
      if (ToggleSwitch(Panel, code)) CommentPanel.helpItem = 6;
      break;
    case CodeWaiting: CommentPanel.helpItem = 9; break;
    case CodeKeepLabel: CommentPanel.helpItem = 7; break;
    case CodeSaveKeep:
      TopPage.setKeepRequest = true;
      CommentPanel.helpItem = 7;
      break;
    case CodeLanguageLabel: CommentPanel.helpItem = 8; break;
    case CodeLanguage:
      LanguageId = LanguageId == 1 ? 2 : 1;
      CommentPanel.helpItem = 8;
      break;
    default: break;
  }
  return true;
}

// [SECTION] Paint
void PaintTop() {
  Surface& screen = Screen();
  // 1. A new picture goes into both plane sets.
  if (Shell.newImageFlag == 1 && Shell.planesLoaded == 0) {
    InnerFromCanvas(Canvas.data(), Stride, CanvasRows);
    PlanesFromCanvas(Canvas.data(), Stride, CanvasRows);
    StartStepList();  // the file's picture again: no steps
    NoteInnerSet();
    Shell.newImageFlag = 2;
    Shell.planesLoaded = 2;
  }
  // 2. Get and Restore of KEEP0.
  ServeGetAndRestore(PageTop, false);
  // 3. The picture into the canvas again, and the panel.
  SetViewScale(1);
  BeginPageSection();
  if (!AnyGraphChannel()) TopPage.colourGraphOn = false;
  DrawPanel(screen, Panel);
  DrawResetMark(screen, 10, 92, ResetMarkUnit, 0);
  DrawBothMark(screen);
  DrawNotationLegend(screen);

  // A pending pass with no horn key chosen has no window to run with.
  if (Tone.runPending && WindowOfHornKey(Tone.hornKey) <= 0) Tone.runPending = false;
  if (!Tone.runPending) {
    // 4. Normal view.
    SaveToInner(Stride, CanvasRows);
    NoteInnerSet();
    ShowPlanes();
    if (TopPage.colourGraphOn) {
      DrawColourGraph(screen, FileHeight + 32);
      screen.Line(Pen{{200, 200, 200}}, 100, MouseY, 100 + Stride, MouseY);
      if (MouseX > 100 && TopPage.verticalLineOn) {
        screen.Line(Pen{{192, 192, 32}}, MouseX, MouseY, MouseX, FileHeight + 32 + 128);
      }
    }
  } else {
    // 5. The pass, row by row from the top of the picture down.
    // The pass is the step it records.
    const EyeStep step = CurrentEyeStep();
    RunEyePass(screen, step, TopPage.blindMode);
    AddStep(step);
  }
  // 6. The result into the planes.
  PlanesFromCanvas(Canvas.data(), Stride, CanvasRows);
  Tone.runPending = false;
  // 7. Set and Save.
  ServeSet(PageTop, TopPage.setKeepRequest);
  ServeSave();
  // 8. The result is also the source of the next page.
  InnerFromCanvas(Canvas.data(), Stride, CanvasRows);
  NoteInnerSet();
  Tone.hornKey = 0;
  for (const PanelKey& key : Panel) {
    if (key.code >= CodeB && key.code <= CodeL) DrawPanelKey(screen, key);  // the six horn keys
  }
  DrawTabs();
  // 9. Comments and explanations, while the comment switch is on.
  ServeComments(screen, Comments, CommentPanel.helpItem);
}

// [SECTION] Page entry

// The page's state, as the history of changes keeps it.
constexpr std::array<StateBlock, 1> States{StateBlockOf<TopPage>()};
extern const PageEntry TopPageEntry{.commentCode = 0,
                                    .start = StartTop,
                                    .enter = EnterTop,
                                    .click = TopClick,
                                    .paint = PaintTop,
                                    .panels = {Panel},
    .states = States};
