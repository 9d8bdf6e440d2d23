// The drawn controls of the control panel (x 0 .. 99, left of the image).
//
// Every control has the same shape: compute its box, test the mouse against
// it in the click handler, draw it by state in the paint. A page keeps its
// panel as one table of PanelKey rows (both languages side by side in each
// row) and draws it with one DrawPanel call; its click handler asks
// PanelKeyAt which row the mouse is in.
//
// Routines:
//   MakePanelFont        the bold panel font of a cell height
//   FormatPanelText      a key word's text with its value put into "%d"-style fields
//   PanelKeyText         a row's text in the current language, value formatted in
//   PanelKeyOn           whether a switch / value box row is drawn on
//   DrawKeyText          a key word's text at (x + 2, y) or lowered at (x + 2, y + 4)
//   DrawKeyBox           the switch frame (on) or the raised key (off)
//   DrawPanelKey         one table row by its state (or DrawPanelKeyAs with a given state)
//   DrawPanel            every row of a table
//   PanelKeyHitBox       the row's hit rectangle (explicit, or the key's box)
//   PanelKeyAt           code of the first row whose hit rectangle holds the point
//   FindPanelKey         the row of a code
//   FindPanelKeyByText   the row of a text (either language); PanelKeyCentre a point on it
//   ToggleValueBox       a value box click: select (calculator on) or deselect (off)
//   DrawDiamondSwitch    side-by-side diamond: hollow left arrow, solid right triangle
//   DiamondSwitchClick   left half decreases, right half increases, clamped
//   DrawUpDownDiamond    stacked diamond: solid upper triangle, hollow lower one
//   UpDownDiamondClick   upper half increases, lower half decreases, clamped
//   BeltValue            lo + (MouseX - 2) * (hi - lo) / 96
//   BeltClick            a click on a 96 x 10 belt strip sets its value
//   DoubleBeltClick      two strips one above the other, two ranges of one value
//   BeltFill             how many of a belt's columns a value fills
//   DrawBeltBar          a belt's frame and its filled columns
//   DrawResetMark        the nine-bar reset glyph in one of ten colours
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

#include "platform/surface.h"

// ---------------------------------------------------------------------------
// Colours and metrics shared by every panel
// ---------------------------------------------------------------------------
inline constexpr Rgb PanelText{64, 64, 64};      // ordinary key-word text
inline constexpr Rgb InactiveText{220, 220, 220};  // inactive key words: a click only explains
inline constexpr Rgb SwitchFrame{16, 16, 16};    // frame of a switch that is on
inline constexpr int KeyHeight = 20;             // every key box is 20 pixels high
inline constexpr int PanelFontHeight = 10;       // ordinary key words
inline constexpr int LargeFontHeight = 12;       // titles and larger texts
inline constexpr int NoKey = -1;                 // PanelKeyAt: no row holds the point

// A rectangle tested with open bounds (left < x < right, top < y < bottom),
// the one rule every click region keeps. All zero means "not given".
struct Region {
  int left = 0, top = 0, right = 0, bottom = 0;
  constexpr bool Given() const { return left != 0 || top != 0 || right != 0 || bottom != 0; }
  constexpr bool Contains(int x, int y) const { return left < x && x < right && top < y && y < bottom; }
};
// The hit of a row that takes no click (an inactive word inside another
// row's region, say): given, and holding no point.
inline constexpr Region NoClick{-1, -1, -1, -1};

// ---------------------------------------------------------------------------
// Key words as table rows
// ---------------------------------------------------------------------------
enum class KeyKind : unsigned char {
  Key,       // always drawn raised
  Switch,    // framed while on, raised while off
  ValueBox,  // a switch whose text shows a value; on = selected for the calculator
  Label,     // text only, no box (titles, headings, value displays)
  Region,    // a click region only, never drawn (marks, bars and belts the page draws itself)
};

enum class TextPlace : unsigned char { Normal, Lowered };  // text at y, or at y + 4

// One key word of a page's panel. `english` and `japanese` are the texts; when
// `value` is given they are formats with one "%d"-style field ("%4d", " %2d",
// "飛値 %2d"). A Switch or ValueBox is on while *state == onValue. `hit`, when
// given, replaces the default hit box x < MouseX < x + width, y < MouseY < y + 20.
// Write rows with designated initializers, e.g.
//   {.code = 110, .x = 4, .y = 50, .width = 88, .keyColour = {240, 240, 40},
//    .english = " comment", .japanese = "コメント表示", .kind = KeyKind::Switch,
//    .place = TextPlace::Lowered, .fontHeight = 12, .flag = &CommentPanel.on}
struct PanelKey {
  int code = 0;
  int x = 0, y = 0, width = 88;
  Rgb keyColour = White;
  Rgb textColour = PanelText;
  const char* english = "";
  const char* japanese = "";
  KeyKind kind = KeyKind::Key;
  TextPlace place = TextPlace::Normal;
  int fontHeight = PanelFontHeight;
  const int* value = nullptr;  // shown through the texts' "%d" field
  const int* state = nullptr;  // Switch / ValueBox: on while *state == onValue
  int onValue = 1;
  bool* flag = nullptr;        // a Switch of a flag: on while *flag
  // A switch that a click turns over (ToggleSwitch): the flags it turns
  // off as it turns on, so that one of a group is on at a time.
  std::array<bool*, 3> turnsOff{};
  Region hit{};
};

// The bold panel font ("MS ゴシック", weight 700) of a cell height.
Font MakePanelFont(int height);

// The text with its first "%[flags][width]d" field replaced by the value and
// "%%" by "%". Only the flags '-', '0', '+' and ' ' are understood; any other
// '%' sequence is kept as written, so a table typo cannot read a wrong argument.
std::string FormatPanelText(std::string_view format, int value);

// A row's text in the current language (LanguageId), its value formatted in.
std::string PanelKeyText(const PanelKey& key);

// Whether a Switch or ValueBox row is on now (false for Key and Label).
bool PanelKeyOn(const PanelKey& key);

// The text of a key word: opaque on white, at (x + 2, y) or (x + 2, y + 4).
void DrawKeyText(Surface& surface, int x, int y, std::string_view text, Rgb colour,
                 TextPlace place = TextPlace::Normal, int fontHeight = PanelFontHeight);

// The box (x, y) - (x + width, y + 20): on, a frame of four lines with a
// 2-pixel pen of (16, 16, 16); off, the raised key in the key colour (a 5-pixel
// right edge and bottom shadow, 2-pixel top and left edges).
void DrawKeyBox(Surface& surface, int x, int y, int width, Rgb keyColour, bool on);

// One row: its text, then its box by kind and state.
void DrawPanelKey(Surface& surface, const PanelKey& key);
void DrawPanelKeyAs(Surface& surface, const PanelKey& key, bool on);

// Every row of a page's panel table, in order.
void DrawPanel(Surface& surface, std::span<const PanelKey> keys);

// The hit rectangle of a row.
Region PanelKeyHitBox(const PanelKey& key);

// The code of the first row whose hit rectangle holds (x, y), NoKey when none.
int PanelKeyAt(std::span<const PanelKey> keys, int x, int y);

// The first row of a code, null when the table has none.
const PanelKey* FindPanelKey(std::span<const PanelKey> keys, int code);

// A click on the switch row of `code`: its flag turned over, and as it turns
// on the flags the row turns off go off. True when the switch is on now
// (false too for a row without a flag).
bool ToggleSwitch(std::span<const PanelKey> keys, int code);
// The first row whose English or Japanese text is `text`, leading and
// trailing spaces aside (a format is matched as written, "%4d" and all).
const PanelKey* FindPanelKeyByText(std::span<const PanelKey> keys, std::string_view text);
// A point a click on the row lands on: the middle of its hit rectangle.
struct PanelPoint {
  int x = 0, y = 0;
};
PanelPoint PanelKeyCentre(const PanelKey& key);

// A value box click. `selection` is the page's selected box (0 none): a click
// on another box selects this one and turns the calculator switch on; a click
// on the selected box deselects it and turns the calculator switch off.
void ToggleValueBox(int& selection, int box, bool& calculatorSwitch);

// ---------------------------------------------------------------------------
// Diamond switches (glyph of size s = 20 by default, h = s / 2)
// ---------------------------------------------------------------------------
void DrawDiamondSwitch(Surface& surface, int x, int y, Rgb colour, int size = 20);
// x < MouseX < x + h: value - step; x + h < MouseX < x + s: value + step (both
// with y < MouseY < y + s); then clamped to lo..hi. The column x + h changes
// nothing. True when one of the halves was hit.
bool DiamondSwitchClick(int& value, int step, int lo, int hi, int x, int y, int mouseX, int mouseY,
                        int size = 20);

void DrawUpDownDiamond(Surface& surface, int x, int y, Rgb colour, int size = 20);
// y < MouseY < y + h: value + step; y + h < MouseY < y + s: value - step (both
// with x < MouseX < x + s); then clamped. The row y + h changes nothing.
bool UpDownDiamondClick(int& value, int step, int lo, int hi, int x, int y, int mouseX, int mouseY,
                        int size = 20);

// ---------------------------------------------------------------------------
// Belt switches: a strip 96 pixels long from x 2 to x 98, 10 pixels high
// ---------------------------------------------------------------------------
inline constexpr int BeltLeft = 2;
inline constexpr int BeltLength = 96;
inline constexpr int BeltHeight = 10;

struct BeltRange {
  int lo = 0, hi = 100;
};

// lo + (mouseX - 2) * (hi - lo) / 96, integer arithmetic truncating toward zero.
int BeltValue(int mouseX, BeltRange range);
// A click with 2 < MouseX < 98 and y < MouseY < y + 10 sets the value; true then.
bool BeltClick(int& value, BeltRange range, int y, int mouseX, int mouseY);
// The upper strip (y .. y + 10) in the upper range, the lower one (y + 10 ..
// y + 20) in the lower range; the row y + 10 between them changes nothing.
bool DoubleBeltClick(int& value, BeltRange upper, BeltRange lower, int y, int mouseX, int mouseY);

// Filled columns of a belt of `length` columns for a value: trunc((value - lo)
// * length / (hi - lo)), kept within 0..length.
int BeltFill(int value, BeltRange range, int length = BeltLength);

// A belt's frame (columns x .. x + length - 1, rows y .. y + height - 1) and
// its first `filled` columns drawn inside as vertical lines in the fill colour.
void DrawBeltBar(Surface& surface, int x, int y, int length, int height, int filled, Rgb frameColour,
                 Rgb fillColour);

// ---------------------------------------------------------------------------
// Reset mark
// ---------------------------------------------------------------------------
inline constexpr int ResetMarkUnit = 6;
inline constexpr std::array<Rgb, 10> ResetMarkColours = {{
    {16, 32, 96},   {16, 128, 32}, {192, 16, 32},  {192, 192, 16}, {16, 192, 192},
    {16, 32, 192},  {240, 240, 16}, {255, 32, 64}, {16, 96, 96},   {240, 160, 200},
}};

// The nine bars of the reset glyph, each drawn as 1-pixel vertical lines in
// ResetMarkColours[colourIndex] (an index outside 0..9 draws nothing).
void DrawResetMark(Surface& surface, int x, int y, int unit, int colourIndex);
