// VANTOR EYE page: the full work place of the Vantor Eye. The sun glass
// level (Ｏ, Ｐ, Ｑ, shared with the TOP page's pass), the both mode and the
// F horn key run a pass over every canvas row with live progress or in blind
// mode; a click on the picture reads its colour with running minimum and
// maximum; the shown picture can be made brighter or darker; "Set KEEP4"
// stores what is shown. The light, dark and weak keys, the other horn keys,
// the area eye and the appoint eye are shown inactive and only explain
// themselves; the engine works with them when their values are set.
//
// [SECTION] State
// [SECTION] Panel and texts
// [SECTION] Drawing helpers
// [SECTION] Appoint pick and brightness
// [SECTION] Entry
// [SECTION] Clicks
// [SECTION] Paint

#include "pages/tone/eye_page.h"

#include <algorithm>
#include <array>

#include "pages/kit/gestures.h"
#include "image/bmp_files.h"
#include "image/gray.h"
#include "pages/kit/page_entry.h"
#include "pages/kit/page_steps.h"
#include "pages/kit/page_state.h"
#include "pages/kit/step_list.h"
#include "image/planes.h"
#include "pages/pattern/outline_state.h"
#include "pages/tone/tone_pages.h"
#include "pages/tone/tone_state.h"
#include "panel/comments.h"
#include "panel/widgets.h"
#include "platform/surface.h"

// [SECTION] State: the page's block, with its start values.
EyePageState EyePage;

namespace {

// [SECTION] Panel and texts


// Key-word codes of this panel.
enum EyeCode {
  CodeTitle = 1,
  CodeSunO,
  CodeSunP,
  CodeSunQ,
  CodeLight,
  CodeWeakLight,
  CodeBoth,
  CodeWeakBoth,
  CodeDark,
  CodeWeakDark,
  CodeHornA,  // A .. L follow in order
  CodeHornL = CodeHornA + 11,
  CodeBlind,
  CodeSetKeep,
  CodeAreaEye,
  CodeDragLabel,
  CodeAppointEye,
  CodeColourFlag,
  CodeGrayFlag,
  CodeReadoutHeading,  // four rows, red .. gray
  CodeBrightHeading = CodeReadoutHeading + 4,
  CodeBrightLowScale,
  CodeBrightHighScale,
  CodeDarkHeading,
  CodeDarkLowScale,
  CodeDarkHighScale,
  CodeFullReset,  // the dark reset mark
  CodeModeReset,  // the light reset mark
  CodeBar,        // the four bars, in the order of Bars
};

constexpr Rgb Grey = InactiveText;
constexpr Rgb ScaleText{128, 128, 128};
constexpr Rgb BothColour{255, 180, 180};
constexpr Rgb HornFColour{88, 198, 216};

// Ｏ, Ｐ, Ｑ: the sun glass levels 1, 2, 3, drawn on while chosen.
constexpr int SunO = 1, SunP = 2, SunQ = 3;
constexpr int HornKeyF = 6;

// The horn keys A .. L, row by row at x 4, 36, 68 and y 164, 190, 216, 242.
constexpr std::array<const char*, 12> HornLabels = {"A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L"};
constexpr PanelKey HornKeyRow(int k) {
  const bool f = k == HornKeyF - 1;
  return PanelKey{.code = CodeHornA + k,
                  .x = 4 + 32 * (k % 3),
                  .y = 164 + 26 * (k / 3),
                  .width = 26,
                  .keyColour = f ? HornFColour : Grey,
                  .textColour = f ? PanelText : Grey,
                  .english = HornLabels[static_cast<std::size_t>(k)],
                  .japanese = HornLabels[static_cast<std::size_t>(k)],
                  .kind = f ? KeyKind::Switch : KeyKind::Key,
                  .state = f ? &Tone.hornKey : nullptr,
                  .onValue = HornKeyF};
}

// The readout: "min appoint Max" over the minimum, the picked value and the
// maximum, for red, green, blue and gray, in the small font, grey text.
constexpr std::array<int, 4> ReadoutHeadingY = {450, 502, 554, 606};
constexpr std::array<int, 4> ReadoutValuesY = {463, 515, 567, 619};
constexpr std::array<int, 4> InactiveBeltY = {424, 476, 528, 580};
constexpr PanelKey ReadoutHeadingRow(int k) {
  return PanelKey{.code = CodeReadoutHeading + k, .x = 2, .y = ReadoutHeadingY[static_cast<std::size_t>(k)],
                  .width = 96, .textColour = ScaleText, .english = "min appoint Max",
                  .japanese = "min appoint Max", .kind = KeyKind::Label, .hit = NoClick};
}

// The panel, row by row (the readout values and the bars are drawn apart,
// after the tab bar, as they show values). A row's click region is its key
// box unless it gives its own `hit`; the click handler tests the rows in this
// order, then those of DarkScales.
const std::array<PanelKey, 43> Panel = {{
    {.code = CodeTitle, .x = 4, .y = 4, .width = 104, .english = "[VANTOR EYE]", .japanese = "[Ｖ.アイ]",
     .kind = KeyKind::Label, .fontHeight = LargeFontHeight, .hit = {4, 0, 92, 24}},
    {.code = CodeSunO, .x = 4, .y = 60, .width = 26, .keyColour = {255, 255, 45}, .english = "Ｏ", .japanese = "Ｏ",
     .kind = KeyKind::Switch, .state = &Tone.eye.sunGlassLevel, .onValue = SunO},
    {.code = CodeSunP, .x = 36, .y = 60, .width = 26, .keyColour = {45, 255, 255}, .english = "Ｐ", .japanese = "Ｐ",
     .kind = KeyKind::Switch, .state = &Tone.eye.sunGlassLevel, .onValue = SunP},
    {.code = CodeSunQ, .x = 68, .y = 60, .width = 26, .keyColour = {255, 45, 255}, .english = "Ｑ", .japanese = "Ｑ",
     .kind = KeyKind::Switch, .state = &Tone.eye.sunGlassLevel, .onValue = SunQ},
    {.code = CodeLight, .x = 4, .y = 86, .width = 57, .keyColour = Grey, .textColour = Grey, .english = "light□",
     .japanese = "明VE□", .hit = {4, 86, 61, 102}},
    {.code = CodeWeakLight, .x = 67, .y = 86, .width = 25, .keyColour = Grey, .textColour = Grey, .english = "◇",
     .japanese = "◇", .hit = {67, 86, 92, 102}},
    {.code = CodeBoth, .x = 4, .y = 112, .width = 57, .keyColour = BothColour, .english = "both", .japanese = "双VE",
     .kind = KeyKind::Switch, .state = &Tone.eye.mode, .onValue = 1},
    {.code = CodeWeakBoth, .x = 67, .y = 112, .width = 25, .keyColour = Grey, .textColour = Grey, .english = "   ",
     .japanese = "   "},
    {.code = CodeDark, .x = 4, .y = 138, .width = 57, .keyColour = Grey, .textColour = Grey, .english = "dark■",
     .japanese = "暗VE■"},
    {.code = CodeWeakDark, .x = 67, .y = 138, .width = 25, .keyColour = Grey, .textColour = Grey, .english = "◆",
     .japanese = "◆"},
    HornKeyRow(0), HornKeyRow(1), HornKeyRow(2), HornKeyRow(3), HornKeyRow(4), HornKeyRow(5),
    HornKeyRow(6), HornKeyRow(7), HornKeyRow(8), HornKeyRow(9), HornKeyRow(10), HornKeyRow(11),
    {.code = CodeBlind, .x = 4, .y = 268, .keyColour = {200, 200, 255}, .english = " blind", .japanese = "目隠し",
     .kind = KeyKind::Switch, .flag = &EyePage.blindMode},
    {.code = CodeSetKeep, .x = 4, .y = 294, .keyColour = {20, 240, 200}, .english = "Set KEEP4",
     .japanese = "決定KEEP4"},
    {.code = CodeAreaEye, .x = 2, .y = 320, .width = 92, .textColour = Grey, .english = "area eye",
     .japanese = "エリアアイ", .kind = KeyKind::Label, .hit = {4, 320, 92, 372}},
    {.code = CodeDragLabel, .x = 4, .y = 346, .english = "L Click + drag", .japanese = "L Click + drag",
     .kind = KeyKind::Label, .hit = NoClick},
    {.code = CodeAppointEye, .x = 2, .y = 372, .width = 92, .textColour = Grey, .english = "appoint eye",
     .japanese = "アポイントアイ", .kind = KeyKind::Label, .hit = {0, 372, 98, 632}},
    {.code = CodeColourFlag, .x = 2, .y = 398, .width = 30, .textColour = Grey, .english = "color", .japanese = "３色",
     .hit = NoClick},
    {.code = CodeGrayFlag, .x = 62, .y = 398, .width = 26, .textColour = Grey, .english = "gray", .japanese = "濃淡",
     .hit = NoClick},
    ReadoutHeadingRow(0), ReadoutHeadingRow(1), ReadoutHeadingRow(2), ReadoutHeadingRow(3),
    {.code = CodeBrightHeading, .x = 2, .y = 632, .width = 96, .textColour = ScaleText, .english = "---bright---",
     .japanese = "---ブライト---", .kind = KeyKind::Label, .hit = {2, 632, 98, 658}},
    {.code = CodeBrightLowScale, .x = 2, .y = 645, .width = 96, .textColour = ScaleText, .english = "1      50   100",
     .japanese = "1      50   100", .kind = KeyKind::Label, .hit = NoClick},
    {.code = CodeBrightHighScale, .x = 2, .y = 684, .width = 96, .textColour = ScaleText,
     .english = "100   150   200", .japanese = "100   150   200", .kind = KeyKind::Label, .hit = {2, 684, 98, 723}},
    {.code = CodeDarkHeading, .x = 2, .y = 697, .width = 96, .textColour = ScaleText, .english = "----dark----",
     .japanese = "----ダーク----", .kind = KeyKind::Label, .hit = NoClick},
    // What the page draws itself: the reset marks and the bars (in the order of Bars).
    {.code = CodeFullReset, .kind = KeyKind::Region, .hit = {0, 24, 50, 54}},
    {.code = CodeModeReset, .kind = KeyKind::Region, .hit = {50, 24, 100, 34}},
    {.code = CodeBar, .kind = KeyKind::Region, .hit = {2, 658, 98, 671}},
    {.code = CodeBar + 1, .kind = KeyKind::Region, .hit = {2, 671, 98, 684}},
    {.code = CodeBar + 2, .kind = KeyKind::Region, .hit = {2, 723, 98, 736}},
    {.code = CodeBar + 3, .kind = KeyKind::Region, .hit = {2, 736, 98, 749}},
}};

// The rows of the panel that come after the dark heading (kept apart only to
// keep the table above readable).
const std::array<PanelKey, 2> DarkScales = {{
    {.code = CodeDarkLowScale, .x = 2, .y = 710, .width = 96, .textColour = ScaleText, .english = "-100   -50    0",
     .japanese = "-100   -50    0", .kind = KeyKind::Label, .hit = NoClick},
    {.code = CodeDarkHighScale, .x = 2, .y = 749, .width = 96, .textColour = ScaleText, .english = "0    +50   +100",
     .japanese = "0    +50   +100", .kind = KeyKind::Label, .hit = {2, 749, 98, 763}},
}};

// The brightness and darkness bars: 96 x 13 frames, each filled in
// proportion to the value within its range.
struct ValueBar {
  int y;
  BeltRange range;
  int* value;
};
constexpr int BarLeft = 2, BarLength = 96, BarHeight = 13;
constexpr Rgb BarGrey{192, 192, 192};
const std::array<ValueBar, 4> Bars = {{
    {658, {0, 100}, &EyePage.bright},
    {671, {100, 200}, &EyePage.bright},
    {723, {-100, 0}, &EyePage.dark},
    {736, {0, 100}, &EyePage.dark},
}};

// Which explanation each click asks for.
enum EyeHelp {
  HelpReset = 1,
  HelpEye = 2,
  HelpBlind = 3,
  HelpSetKeep = 4,
  HelpArea = 5,
  HelpAppoint = 6,
  HelpBright = 7,
  HelpWeak = 8,
  HelpHorn = 9,
  HelpSunGlass = 10,
};

// The page comment and the ten explanations, both languages side by side.
constexpr CommentText Comment{.lines = {{
    {"VANTOR EYE [<>] (A) do Vantor Eye operation on the image; save after image to inner memory;",
     "Ｖ.アイ [<>] (A) 画像にVantor Eye処理をする; 処理後の画像を内部メモリに保存する;"},
    {"    (B) [Ｏ][Ｐ][Ｑ] [→] sun glass level; [F] [→] Vantor Eye on the whole image;",
     "    (B) [Ｏ][Ｐ][Ｑ] [→] サングラスの強さ; [F] [→] 画像全体に Vantor Eye;"},
    {"    (C) Left click on the image [→] appoint [<>] read pixel color values on the image;",
     "    (C) 画像を左クリック [→] アポイント [<>] 画像の画素の色の値を読む;"},
    {"    (D) bright, dark [→] the shown image; [Set KEEP4] [→] save it with a name of KEEP4.bmp;",
     "    (D) ブライト, ダーク [→] 表示の画像; [決定KEEP4] [→] KEEP4.bmp の名で保存する;"},
    {"    KEEP4.bmp is reset when you travel from other page;",
     "    他のページから来ると KEEP4.bmp は書き直される;"},
}}};

const std::array<CommentText, 10> Explanations = {{
    {.selector = HelpReset, .colour = ExplainGreen, .lines = {{
         {"reset mark [<>] switch to come back to default;", "リセットマーク [<>] 初期状態にもどすスイッチ;"},
         {"    left mark [→] come back to all default; but the image of KEEP4;",
          "    左のマーク [→] すべて初期状態にもどる; ただし画像は KEEP4 の画像;"},
         {"    right mark [→] come back to default mode against each number;",
          "    右のマーク [→] 各値はそのままで, モードだけ初期状態にもどる;"}}}},
    {.selector = HelpEye, .colour = ExplainTeal, .lines = {{
         {"Vantor Eye [<>] sweep the fog of the image;", "Vantor Eye [<>] 画像の「色のかすみ」をとる;"},
         {"    light□ [<>] stretch colors away from black; light areas change most;",
          "    明VE□ [<>] 色を黒から引き離す; 明るい部分ほど大きく変わる;"},
         {"    both   [<>] stretch each color away from its middle level;",
          "    双VE   [<>] 各色をその中央の値から引き離す;"},
         {"    dark■  [<>] stretch colors away from white; dark areas change most;",
          "    暗VE■ [<>] 色を白から引き離す; 暗い部分ほど大きく変わる;"}}}},
    {.selector = HelpBlind, .colour = ExplainOlive, .lines = {{
         {"blind mode [<>] When Vantor Eye acts on each level line, the result image hide under level lines;",
          "目隠し [<>] Vantor Eye が各水平線に働くとき, 結果の画像は水平線の下にかくれる;"},
         {"    When all lines finish, all result image appear;", "    すべての線が終わると, 結果の画像全体が現れる;"}}}},
    {.selector = HelpSetKeep, .colour = ExplainDeepBlue, .lines = {{
         {"Left click on [set KEEP4] [→] save the image to inner memory ([<>] set), and save as outer file with a "
          "name of KEEP4.bmp;",
          "[決定KEEP4] を左クリック [→] 画像を内部メモリに保存し ([<>] 決定), KEEP4.bmp の名で外部ファイルにも保存する;"},
         {"    KEEP4.bmp is reset when you travel from other page;",
          "    他のページから来ると KEEP4.bmp は書き直される;"}}}},
    {.selector = HelpArea, .colour = ExplainPurple, .lines = {{
         {"[area eye] [→] Left click on the image (+) drag (+) release [→] a square area;",
          "[エリアアイ] [→] 画像を左クリック (+) ドラッグ (+) はなす [→] 四角の領域;"},
         {"    the image only in the square area is changed;", "    四角の領域の中の画像だけが変わる;"},
         {"    area eye [<>] set a square only where Vantor Eye (VE) operation do;",
          "    エリアアイ [<>] Vantor Eye (VE) 処理をする四角だけを決める;"}}}},
    {.selector = HelpAppoint, .colour = ExplainRed, .lines = {{
         {"[appoint eye] [→] Select 3-color flag or gray [→] Left click on the image;",
          "[アポイントアイ] [→] ３色 か 濃淡 の旗を選ぶ [→] 画像を左クリック;"},
         {"    appoint [<>] read pixel color values on the image;", "    アポイント [<>] 画像の画素の色の値を読む;"},
         {"    min appoint Max [<>] the least, the last and the largest value of the clicks;",
          "    min appoint Max [<>] クリックした値の 最小, 最後, 最大;"},
         {"    Vantor Eye acts fully only on colors near the appointed color;",
          "    指定した色に近い色だけに Vantor Eye が十分に働く;"}}}},
    {.selector = HelpBright, .colour = ExplainBrown, .lines = {{
         {"bright [<>] brightness of the image; standard <> 100;", "ブライト [<>] 画像の明るさ; 標準 <> 100;"},
         {"dark   [<>] darkness of the image;   standard <>   0;", "ダーク   [<>] 画像の暗さ;   標準 <>   0;"},
         {"    do not save after image to inner memory; [KEEP4] save it;",
          "    処理後の画像を内部メモリに保存しない; [KEEP4] で保存する;"}}}},
    {.selector = HelpWeak, .colour = ExplainBlue, .lines = {{
         {"Weak Vantor Eye [<>] sweep the fog of the image under fewer color change;",
          "弱い Vantor Eye [<>] 色の変化を少なくして画像の「色のかすみ」をとる;"},
         {"    ◇ [<>] weak light;  (◇+◆)/2 [<>] weak both;  ◆ [<>] weak dark;",
          "    ◇ [<>] 弱い明VE;  (◇+◆)/2 [<>] 弱い双VE;  ◆ [<>] 弱い暗VE;"}}}},
    {.selector = HelpHorn, .colour = ExplainCrimson, .lines = {{
         {"horn [<>] tool of Vantor Eye;", "ホーン [<>] Vantor Eye の道具;"},
         {"    A [<>] dummy to check Vantor Eye algorithm;", "    A [<>] Vantor Eye の算法を確かめるダミー;"},
         {"    nearer to B [<>] finer, but smaller result;", "    B に近いほど [<>] 細かいが, 効果は小さい;"},
         {"    nearer to L [<>] larger result, but rougher;", "    L に近いほど [<>] 効果は大きいが, 粗い;"}}}},
    {.selector = HelpSunGlass, .colour = ExplainDark, .lines = {{
         {"[Ｏ][Ｐ][Ｑ] [<>] Both limits sun glass mode;", "[Ｏ][Ｐ][Ｑ] [<>] 両端を制限するサングラス モード;"},
         {"    limit Vantor-Eye operation on light color; and limit Vantor-Eye operation on dark color, too;",
          "    明るい色で Vantor Eye 処理を制限する; そして暗い色でも Vantor Eye 処理を制限する;"},
         {"    [Ｏ] [<>] weak effect;  [Ｐ] [<>] middle effect;  [Ｑ] [<>] strong effect;",
          "    [Ｏ] [<>] 弱い効果;  [Ｐ] [<>] 中くらいの効果;  [Ｑ] [<>] 強い効果;"}}}},
}};

const PageComments Comments{.commentCode = 4, .slot = PageEye, .comment = &Comment, .explanations = Explanations};

// [SECTION] Drawing helpers

constexpr Rgb MarkColour = PanelText;

// A square of 9 x 9 pixels around (cx, cy), its left half filled: the mark
// of the both mode, half way between light "□" and dark "■".
void DrawHalfSquare(Surface& screen, int cx, int cy, Rgb colour) {
  screen.Rectangle(Pen{colour}, std::nullopt, cx - 4, cy - 4, cx + 5, cy + 5);
  screen.FillRect(colour, cx - 4, cy - 4, cx + 1, cy + 5);
}

// A diamond of radius 4 around (cx, cy), its left half filled: the weak
// both mark, half way between "◇" and "◆".
void DrawHalfDiamond(Surface& screen, int cx, int cy, Rgb colour) {
  for (int dx = -4; dx <= 4; ++dx) {
    const int reach = 4 - (dx < 0 ? -dx : dx);
    if (dx <= 0) {
      screen.FillRect(colour, cx + dx, cy - reach, cx + dx + 1, cy + reach + 1);
    } else {
      screen.SetPixel(cx + dx, cy - reach, colour);
      screen.SetPixel(cx + dx, cy + reach, colour);
    }
  }
}

// The appoint-kind mark, a 20 x 21 block at (40, 398): the three pale colour
// stripes of the colour flag, solid grey for the gray flag, one pale colour
// for the single-colour flags.
constexpr std::array<Rgb, 3> PaleStripes = {{{226, 220, 220}, {220, 226, 220}, {220, 220, 226}}};
constexpr Rgb GrayFlag{128, 128, 128};
void DrawAppointKindMark(Surface& screen) {
  constexpr int x = 40, y = 398, width = 20, stripe = 7;
  if (Tone.eye.appointKind == 1) {
    for (int k = 0; k < 3; ++k) {
      screen.FillRect(PaleStripes[static_cast<std::size_t>(k)], x, y + stripe * k, x + width, y + stripe * (k + 1));
    }
  } else if (Tone.eye.appointKind == 2) {
    screen.FillRect(GrayFlag, x, y, x + width, y + 3 * stripe);
  } else if (Tone.eye.appointKind >= 3 && Tone.eye.appointKind <= 5) {
    screen.FillRect(PaleStripes[static_cast<std::size_t>(Tone.eye.appointKind - 3)], x, y, x + width, y + 3 * stripe);
  }
}

// The four min/Max belts of the appoint eye, shown inactive.
void DrawInactiveBelts(Surface& screen) {
  for (int y : InactiveBeltY) DrawBeltBar(screen, BeltLeft, y, BeltLength, BeltHeight, 0, Grey, Grey);
}

// "%3d   %3d   %3d": minimum, picked value, maximum of each readout row.
void DrawReadoutValues(Surface& screen) {
  const std::array<int, 4> picked = {EyePage.appointColour[2], EyePage.appointColour[1], EyePage.appointColour[0], Tone.eye.appointGray};
  for (std::size_t k = 0; k < 4; ++k) {
    const std::string text = FormatPanelText("%3d   ", EyePage.readout[k].minimum) + FormatPanelText("%3d   ", picked[k]) +
                             FormatPanelText("%3d", EyePage.readout[k].maximum);
    DrawKeyText(screen, 2, ReadoutValuesY[k], text, ScaleText);
  }
}

void DrawBars(Surface& screen) {
  for (const ValueBar& bar : Bars) {
    DrawBeltBar(screen, BarLeft, bar.y, BarLength, BarHeight, BeltFill(*bar.value, bar.range, BarLength), BarGrey,
                BarGrey);
  }
}

// The whole panel: key words, labels, marks, readout and bars.
void DrawEyePanel(Surface& screen) {
  DrawPanel(screen, Panel);
  DrawPanel(screen, DarkScales);
  DrawResetMark(screen, 2, 24, ResetMarkUnit, 3);
  DrawResetMark(screen, 52, 24, ResetMarkUnit, 6);
  DrawHalfSquare(screen, 48, 122, MarkColour);
  DrawHalfDiamond(screen, 77, 122, Grey);
  DrawReadoutValues(screen);
  DrawBars(screen);
}

// [SECTION] Appoint pick and brightness

void ResetReadout() { EyePage.readout = {}; }

// The appoint and area values the page starts from, on entry and at its full
// reset. Two differ from the program's start (tone_state.h): the appoint kind
// is the colour box (1, not the gray range 2) and the box bounds are 0..0 (not
// 0..255). No pass sees the difference: the appoint condition stays off until
// this page turns it on, and then its own values hold.
constexpr int EntryAppointKind = 1;
constexpr AppointRange EntryAppointBound{0, 0};

void ResetAppointAndArea() {
  const EyeParameters start;
  Tone.eye.appointOn = start.appointOn;
  Tone.eye.appointKind = EntryAppointKind;
  Tone.eye.appointHalfWidth = start.appointHalfWidth;
  Tone.eye.appointGray = start.appointGray;
  Tone.eye.appointSource = start.appointSource;
  Tone.eye.appointBox = {EntryAppointBound, EntryAppointBound, EntryAppointBound};
  Tone.eye.appointMin = start.appointMin;
  Tone.eye.appointMax = start.appointMax;
  Tone.eye.areaEyeOn = start.areaEyeOn;
  Tone.eye.areaEyeRect = start.areaEyeRect;
  EyePage.appointColour = EyePageState{}.appointColour;
  ResetReadout();
}

// The area eye's rectangle from a drag: corners in drag order, x as canvas
// columns, y as client rows; stored with left <= right and top <= bottom.
void TakeAreaRectangle(int x1, int y1, int x2, int y2) {
  if (PageId != PageEye || !Tone.eye.areaEyeOn) return;
  Tone.eye.areaEyeRect = EyeRect{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

// Applies brightness and darkness to every byte of the canvas.
void ApplyBrightDark() {
  std::array<std::uint8_t, 256> table{};
  for (int v = 0; v < 256; ++v) table[static_cast<std::size_t>(v)] = BrightDarkByte(v, EyePage.bright, EyePage.dark);
  for (std::uint8_t& byte : Canvas) byte = table[byte];
}

}  // namespace

void PickAppointColour(int x, int y) {
  const std::size_t i = static_cast<std::size_t>(y) * Stride + static_cast<std::size_t>(x);
  for (std::size_t c = 0; c < 3; ++c) {
    const int value = static_cast<int>(WorkPlanes[c][i]);
    EyePage.appointColour[c] = value;
    Tone.eye.appointBox[c] = AppointRange{std::max(0, value - Tone.eye.appointHalfWidth), std::min(255, value + Tone.eye.appointHalfWidth)};
  }
  const int blue = EyePage.appointColour[0], green = EyePage.appointColour[1], red = EyePage.appointColour[2];
  Tone.eye.appointGray = static_cast<int>(GrayRounded(red, green, blue));
  if (Tone.eye.appointGray == 0) return;  // a pick of pure black leaves the trackers as they were
  const std::array<int, 4> values = {red, green, blue, Tone.eye.appointGray};
  for (std::size_t k = 0; k < 4; ++k) {
    EyePage.readout[k].minimum = std::min(EyePage.readout[k].minimum, values[k]);
    EyePage.readout[k].maximum = std::max(EyePage.readout[k].maximum, values[k]);
  }
}

// The rule is trunc((v - dark) * 2.55 * bright / 255); 2.55 * bright / 255 is
// bright / 100, so it is computed in integers: in doubles 2.55 is inexact and
// (100 - 0) * 2.55 * 50 / 255 comes out as 49.999..., one level short.
std::uint8_t BrightDarkByte(int v, int bright, int dark) {
  const long long scaled = static_cast<long long>(v - dark) * bright / 100;
  return static_cast<std::uint8_t>(std::clamp<long long>(scaled, 0, 255));
}

void StartEye() { EyePage = {}; }

void ResetEyeBlindMode() { EyePage.blindMode = EyePageState{}.blindMode; }

// [SECTION] Entry
void EnterEye() {
  const EyePageState start;
  EyePage.setKeepRequest = start.setKeepRequest;
  EyePage.blindMode = start.blindMode;
  EyePage.dark = start.dark;
  EyePage.bright = start.bright;
  Tone.eye.mode = EyeParameters{}.mode;
  Tone.eye.sunGlassLevel = EyeParameters{}.sunGlassLevel;
  Tone.hornKey = ToneState{}.hornKey;
  ResetAppointAndArea();
  JudgeEveryChannel();  // the outline pages judge every channel after this page
  CommentPanel.request = 4;
}

// [SECTION] Clicks
bool EyeClick() {
  // On the picture: with the area eye on a click starts its rectangle;
  // otherwise the click only moves MouseX, MouseY and the next paint reads
  // the colour there.
  if (100 < MouseX && MouseX < Shell.imageWidth + 100 && 33 <= MouseY && MouseY < 800) {
    if (Tone.eye.areaEyeOn) {
      CurrentDragReceivers = DragReceivers{.rectangle = TakeAreaRectangle};
      StartRectDrag();
      return true;
    }
    if (MouseInImage()) return false;
  }
  int code = PanelKeyAt(Panel, MouseX, MouseY);
  if (code == NoKey) code = PanelKeyAt(DarkScales, MouseX, MouseY);
  switch (code) {
    case NoKey: return false;
    case CodeTitle: CommentPanel.request = 4; break;
    case CodeFullReset:
      Tone.hornKey = ToneState{}.hornKey;
      EyePage.blindMode = EyePageState{}.blindMode;
      ResetAppointAndArea();
      EyePage.bright = EyePageState{}.bright;
      EyePage.dark = EyePageState{}.dark;
      EyePage.helpItem = HelpReset;
      Requests.restore = RestoreAsked;  // the picture of KEEP4 comes back at the next paint
      break;
    case CodeModeReset:
      Tone.eye.appointSource = EyeParameters{}.appointSource;
      Tone.eye.areaEyeOn = EyeParameters{}.areaEyeOn;
      Tone.eye.areaEyeRect = EyeParameters{}.areaEyeRect;
      EyePage.helpItem = HelpReset;
      break;
    case CodeSunO:
    case CodeSunP:
    case CodeSunQ:
      Tone.eye.sunGlassLevel = SunO + (code - CodeSunO);
      EyePage.helpItem = HelpSunGlass;
      break;
    case CodeBoth:
      Tone.eye.mode = 1;
      Tone.hornKey = 0;
      EyePage.helpItem = HelpEye;
      break;
    case CodeLight:
    case CodeDark: EyePage.helpItem = HelpEye; break;
    case CodeWeakLight:
    case CodeWeakBoth:
    case CodeWeakDark: EyePage.helpItem = HelpWeak; break;
    case CodeHornA + HornKeyF - 1:
      Tone.hornKey = HornKeyF;
      Tone.runPending = true;
      EyePage.helpItem = HelpHorn;
      break;
    case CodeBlind:
      if (ToggleSwitch(Panel, code)) EyePage.helpItem = HelpBlind;
      break;
    case CodeSetKeep:
      EyePage.setKeepRequest = true;
      EyePage.helpItem = HelpSetKeep;
      break;
    case CodeAreaEye:
      if (!Tone.eye.areaEyeOn) EyePage.helpItem = HelpArea;
      break;
    case CodeAppointEye: EyePage.helpItem = HelpAppoint; break;
    case CodeBar:
    case CodeBar + 1:
    case CodeBar + 2:
    case CodeBar + 3: {
      const ValueBar& bar = Bars[static_cast<std::size_t>(code - CodeBar)];
      *bar.value = BeltValue(MouseX, bar.range);
      EyePage.helpItem = HelpBright;
      break;
    }
    case CodeBrightHeading:
    case CodeBrightHighScale:
    case CodeDarkHighScale: EyePage.helpItem = HelpBright; break;
    default:  // the other horn keys, A .. L; they only explain
      if (code < CodeHornA || code > CodeHornL) return false;
      EyePage.helpItem = HelpHorn;
      break;
  }
  return true;
}

// [SECTION] Paint
namespace {

// The page's work that is not a step, as the save dialog names it.
constexpr BilingualText AreaEyeWork{"Ｖ.アイ エリアアイ", "VANTOR EYE area eye"};
constexpr BilingualText BrightDarkWork{"Ｖ.アイ ---ブライト---", "VANTOR EYE ---bright---"};

}  // namespace

void PaintEye() {
  Surface& screen = Screen();
  // 1. The picture into the canvas again, and the panel.
  BeginPageSection();
  DrawEyePanel(screen);
  // 2. Get and Restore of KEEP4.
  ServeGetAndRestore(PageEye, false);
  // 3. The planes shown.
  ShowPlanes();
  // 4. Appoint pick: the row above the one shown at MouseY. Only points on
  //    the picture are read; a click on the tab bar or right of the canvas
  //    would otherwise address rows and columns outside it.
  if (100 < MouseX && MouseX < 100 + Stride && 33 <= MouseY && MouseY < CanvasRows + 32) {
    const CanvasPixel pixel = PixelUnderPoint(MouseX, MouseY);
    PickAppointColour(pixel.column, pixel.row);
  }
  // 5. The pass over every canvas row, or over the area eye's band.
  const int n = WindowOfHornKey(Tone.hornKey);
  if (Tone.runPending && n > 0) {
    Tone.eye.eyeWindowShift = n;
    int firstRow = CanvasRows;
    int lastRow = 0;
    if (Tone.eye.areaEyeOn) {
      firstRow = std::max(0, CanvasRows - Tone.eye.areaEyeRect.top + n + 32);
      lastRow = CanvasRows - Tone.eye.areaEyeRect.bottom + n + 32;
    }
    // The pass is the step it records. Over every row it is a step; the
    // area eye's band lies where the canvas puts it, and the canvas then
    // says the steps end here.
    const EyeStep step = CurrentEyeStep();
    RunEyePassRows(screen, step, EyePage.blindMode, firstRow, lastRow, PassPresents::Together);
    if (!step.settings.areaEyeOn) {
      AddStep(step);
    } else {
      NoteNotAStep(AreaEyeWork);
    }
    Tone.eye.areaEyeOn = false;
    Tone.eye.appointOn = false;
  }
  // 6. The result into the planes.
  PlanesFromCanvas(Canvas.data(), Stride, CanvasRows);
  DrawAppointKindMark(screen);
  DrawInactiveBelts(screen);
  Tone.runPending = false;
  // 7. Brightness and darkness of the shown picture only.
  const bool brightDark = EyePage.bright != EyePageState{}.bright || EyePage.dark != EyePageState{}.dark;
  if (brightDark) ApplyBrightDark();
  SetShownNotAStep(brightDark ? std::optional<BilingualText>(BrightDarkWork) : std::nullopt);
  screen.BlitBottomUp(Canvas.data(), Stride, CanvasRows, 100, 32);
  // 8. Set and Save take the picture as shown.
  ServeSet(PageEye, EyePage.setKeepRequest);
  ServeSave();
  // 9. The panel again (the horn key is released), the tab bar, the comments.
  Tone.hornKey = 0;
  DrawTabs();
  DrawEyePanel(screen);
  DrawAppointKindMark(screen);
  DrawInactiveBelts(screen);
  ServeComments(screen, Comments, EyePage.helpItem);
}

// The VANTOR EYE tab: the page starts from a stored copy of the current
// image, KEEP4, written before its entry (also when it is entered again).
bool KeepImageBeforeEye(int) {
  // Restore goes back to it, and to the steps it was written with.
  if (WriteKeepFile(Canvas.data(), PageEye, PixelSource::FromPlanes)) {
    NoteKeepWritten(PageEye, PictureFile.path, KeepFileName(PageEye));
  }
  return true;
}

// [SECTION] Page entry

// The page's state, as the history of changes keeps it.
constexpr std::array<StateBlock, 1> States{StateBlockOf<EyePage>()};
extern const PageEntry EyePageEntry{.commentCode = 4,
                                    .start = StartEye,
                                    .enter = EnterEye,
                                    .click = EyeClick,
                                    .paint = PaintEye,
                                    .beforeEntry = KeepImageBeforeEye,
                                    .panels = {Panel, DarkScales},
    .states = States};
