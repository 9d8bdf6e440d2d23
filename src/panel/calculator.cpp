// The calculator keypad: drawing, key presses and the paint steps.
//
// Digits are entered in the click handler, one per key press, so a paint that
// follows no click (an uncovered window, a second paint of the same click)
// can never enter a digit twice. Everything else happens at the paint.

#include "panel/calculator.h"

#include <algorithm>
#include <climits>
#include <string>

#include "panel/comments.h"

CalculatorState Calc;

namespace {

constexpr int MaxDigits = 4;
constexpr int DisplayFontHeight = 20;  // digits 10 pixels wide: the display steps 10 a digit

void ClearEntry() {
  Calc.delta = 0;
  Calc.operation = 0;
  Calc.number = 0;
  Calc.digitCount = 0;
}

}  // namespace

void DrawKeypad(Surface& surface, const Keypad& pad, bool calculatorOn, bool greyed) {
  for (const CalcKey& key : pad.keys) {
    const bool english = LanguageId == EnglishLanguage;
    const Rgb text = greyed ? InactiveText : PanelText;
    DrawKeyText(surface, key.x, key.y, english ? key.english : key.japanese, text);
    DrawKeyBox(surface, key.x, key.y, key.width, key.colour, key.code == CalcSwitchCode && calculatorOn);
  }
}

const CalcKey* CalcKeyAt(const Keypad& pad, int x, int y) {
  for (const CalcKey& key : pad.keys) {
    if (key.hit.Given() && key.hit.Contains(x, y)) return &key;
  }
  return nullptr;
}

bool CalculatorClick(const Keypad& pad, bool& calculatorSwitch, int mouseX, int mouseY) {
  const CalcKey* key = CalcKeyAt(pad, mouseX, mouseY);
  if (key == nullptr) return false;
  CommentPanel.request = CalculatorNoteRequest;
  if (key->digit >= 0) {
    Calc.digit = key->digit;
    Calc.clear = 0;
    // While an operation waits for a value box, digits are not taken.
    if (Calc.operation == 0) {
      Calc.digitCount += 1;
      // A fifth digit is still shown once before the paint discards it;
      // further presses before that paint leave the number alone.
      if (Calc.digitCount == 1) {
        Calc.number = Calc.digit;
      } else if (Calc.digitCount <= MaxDigits + 1) {
        Calc.number = Calc.number * 10 + Calc.digit;
      }
    }
    return true;
  }
  switch (key->code) {
    case CalcSwitchCode: calculatorSwitch = !calculatorSwitch; break;
    case CalcAllClearCode: Calc.clear = 2; break;
    case CalcClearCode: Calc.clear = 1; break;
    case CalcAddCode: Calc.operation = 1; break;
    case CalcSubtractCode: Calc.operation = 2; break;
    default: break;
  }
  return true;
}

void ServeCalculator(Surface& surface, const Keypad& pad, int* selectedValue) {
  if (Calc.operation == 0) {
    if (Calc.clear == 1 || Calc.clear == 2) {
      Calc.number = 0;
      Calc.digitCount = 0;
    }
    const std::string shown = std::to_string(Calc.number);
    const int x = pad.displayRight - 10 * Calc.digitCount;
    // Transparent, so the display key's frame stays whole around the digits.
    surface.Text(MakePanelFont(DisplayFontHeight), PanelText, TextBackground::Transparent, White, x, pad.displayY,
                 shown);
    if (Calc.digitCount > MaxDigits) ClearEntry();  // a fifth digit discards the entry
  }
  if (Calc.operation == 1) Calc.delta = Calc.number;
  if (Calc.operation == 2) Calc.delta = -Calc.number;
  if (Calc.operation != 0 && selectedValue != nullptr) {
    const long long sum = static_cast<long long>(*selectedValue) + Calc.delta;
    *selectedValue = static_cast<int>(std::clamp<long long>(sum, INT_MIN, INT_MAX));
    ClearEntry();
  }
  if (Calc.clear == 2 && selectedValue != nullptr) {
    *selectedValue = 0;
    Calc.clear = 0;
    ClearEntry();
  }
}

void ResetCalculator() {
  ClearEntry();
  Calc.digit = 0;
  Calc.clear = 0;
  Calc.on = false;
}
