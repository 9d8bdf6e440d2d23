// The calculator keypad shared by the pages that carry one.
//
// One calculator state is shared by every page: digits typed on one page and
// not applied are still there on the next. A page draws its keypad (the same
// arrangement at its own y), passes clicks to CalculatorClick, and at its
// paint calls ServeCalculator with a pointer to the value of its selected
// value box (null when none is selected), then applies its own bounds.
//
// Routines:
//   MakeKeypad          a keypad table from the y of its rows
//   DrawKeypad          every key, the "cal" switch drawn by its state
//   CalcKeyAt           the key under the mouse, null when none
//   CalculatorClick     serves a key press; true when a key was hit
//   ServeCalculator     the paint steps: clear, show the number, apply to the value
//   ResetCalculator     every shared value back to 0
#pragma once

#include <array>

#include "panel/widgets.h"

// Shared calculator state, with its start values.
struct CalculatorState {
  int digitCount = 0;  // digits typed so far (0..4; a fifth discards the entry)
  int number = 0;      // the number typed so far
  int digit = 0;       // digit of the last digit key
  int operation = 0;   // 0 none, 1 add ("＋"), 2 subtract ("－")
  int clear = 0;       // 0 none, 1 "Ｃ" pressed, 2 "ＡＣ" pressed
  int delta = 0;       // signed amount to apply: +number or -number
  // The calculator switch ("電卓" / "cal") that FILTER, UNI C. and Pattern
  // share; the entry routines of the calculator pages switch it off. (APPEAR
  // keeps its own switch.)
  bool on = false;
};
extern CalculatorState Calc;

// Key codes.
inline constexpr int CalcSwitchCode = 109;
inline constexpr int CalcAllClearCode = 20;  // "ＡＣ"
inline constexpr int CalcZeroCode = 19;      // digit keys are 10..18 ("７" .. "３") and 19 ("０")
inline constexpr int CalcDisplayCode = 21;
inline constexpr int CalcAddCode = 22;
inline constexpr int CalcSubtractCode = 23;
inline constexpr int CalcClearCode = 24;  // "Ｃ"

// One key: code, where it is drawn, where it is hit (open bounds), its colour,
// its texts (the same full-width text in both languages except the switch),
// and its digit (-1 for the other keys).
struct CalcKey {
  int code = 0;
  int x = 0, y = 0, width = 26;
  Region hit{};
  Rgb colour{220, 220, 220};
  const char* english = "";
  const char* japanese = "";
  int digit = -1;
};

inline constexpr int KeypadKeyCount = 16;

struct Keypad {
  std::array<CalcKey, KeypadKeyCount> keys{};
  int displayX = 38, displayY = 609;  // the display key's corner
  int displayRight = 90;              // the number is drawn at displayRight - 10 * digits
};

// The y of the keypad's rows: the "cal" / "ＡＣ" row, the three digit rows
// ("７８９", "４５６", "１２３"), the "０" / display row and the operator row.
struct KeypadRows {
  int switchRow = 505;
  std::array<int, 3> digitRows{531, 557, 583};
  int zeroRow = 609;
  int operatorRow = 635;
  int displayRight = 84;  // 90 on FILTER, 84 on the other pages
};

// The keypad in its fixed arrangement (columns x 8, 38, 68; hit columns
// 8..34, 36..62, 64..92 for digits) at the given rows.
constexpr Keypad MakeKeypad(KeypadRows rows) {
  Keypad pad;
  auto key = [](int code, int x, int y, int width, Region hit, Rgb colour, const char* english,
                const char* japanese, int digit) {
    return CalcKey{code, x, y, width, hit, colour, english, japanese, digit};
  };
  constexpr Rgb digitColour{220, 220, 220};
  constexpr Rgb clearColour{220, 200, 200};
  const int top = rows.switchRow;
  pad.keys[0] = key(CalcSwitchCode, 8, top, 42, {8, top, 50, top + 20}, {200, 200, 40}, "cal", "電卓", -1);
  pad.keys[1] = key(CalcAllClearCode, 56, top, 36, {56, top, 92, top + 20}, clearColour, "ＡＣ", "ＡＣ", -1);
  constexpr std::array<std::array<const char*, 3>, 3> digitText = {{
      {"７", "８", "９"}, {"４", "５", "６"}, {"１", "２", "３"}}};
  constexpr std::array<int, 3> drawX = {8, 38, 68};
  constexpr std::array<int, 3> hitLeft = {8, 36, 64};
  constexpr std::array<int, 3> hitRight = {34, 62, 92};
  for (int row = 0; row < 3; ++row) {
    const int y = rows.digitRows[static_cast<std::size_t>(row)];
    for (int column = 0; column < 3; ++column) {
      const auto r = static_cast<std::size_t>(row);
      const auto c = static_cast<std::size_t>(column);
      const int digit = 7 - 3 * row + column;
      pad.keys[2 + r * 3 + c] = key(10 + row * 3 + column, drawX[c], y, 26, {hitLeft[c], y, hitRight[c], y + 20},
                                    digitColour, digitText[r][c], digitText[r][c], digit);
    }
  }
  const int zero = rows.zeroRow;
  pad.keys[11] = key(CalcZeroCode, 8, zero, 26, {8, zero, 34, zero + 20}, digitColour, "０", "０", 0);
  pad.keys[12] = key(CalcDisplayCode, 38, zero, 56, {}, digitColour, "    ", "    ", -1);
  const int ops = rows.operatorRow;
  pad.keys[13] = key(CalcAddCode, 8, ops, 24, {8, ops, 32, ops + 20}, {200, 220, 200}, " ＋", " ＋", -1);
  pad.keys[14] = key(CalcSubtractCode, 38, ops, 24, {38, ops, 62, ops + 20}, {200, 200, 220}, " －", " －", -1);
  pad.keys[15] = key(CalcClearCode, 68, ops, 24, {68, ops, 92, ops + 20}, clearColour, "Ｃ", "Ｃ", -1);
  pad.displayX = 38;
  pad.displayY = zero;
  pad.displayRight = rows.displayRight;
  return pad;
}

// The FILTER page's keypad; the other pages build theirs with MakeKeypad at
// their own rows (displayRight 84).
inline constexpr Keypad FilterKeypad = MakeKeypad({505, {531, 557, 583}, 609, 635, 90});

// Every key of the keypad: "cal" framed while calculatorOn, the others raised.
// A greyed keypad (shown but inert on its page) has its texts in (220, 220, 220).
void DrawKeypad(Surface& surface, const Keypad& pad, bool calculatorOn, bool greyed = false);

// The key whose hit region holds (x, y), null when none (the display is never hit).
const CalcKey* CalcKeyAt(const Keypad& pad, int x, int y);

// A click at (mouseX, mouseY): "cal" toggles calculatorSwitch; a digit key
// enters its digit once (unless an operation is pending); "ＡＣ", "Ｃ", "＋",
// "－" set CalcClear / CalcOperation. Every key hit sets CommentPanel.request = 11
// (the calculator note). True when a key was hit.
bool CalculatorClick(const Keypad& pad, bool& calculatorSwitch, int mouseX, int mouseY);

// The paint steps, after the keypad is drawn: clears, shows CalcNumber in
// the display, discards a fifth digit, applies a finished "＋" / "－" to
// *selectedValue and serves "ＡＣ" on it. With selectedValue null an
// operation stays pending. A paint that follows no click changes nothing.
// The caller applies its own bounds to the value afterwards.
void ServeCalculator(Surface& surface, const Keypad& pad, int* selectedValue);

// Every shared calculator value back to 0 (CalculatorOn included).
void ResetCalculator();
