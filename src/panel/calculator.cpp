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

int CalcDigitCount = 0;
int CalcNumber = 0;
int CalcDigit = 0;
int CalcOperation = 0;
int CalcClear = 0;
int CalcDelta = 0;
int CalculatorOn = 0;

namespace {

constexpr int MaxDigits = 4;
constexpr int DisplayFontHeight = 20;  // digits 10 pixels wide: the display steps 10 a digit

void ClearEntry() {
  CalcDelta = 0;
  CalcOperation = 0;
  CalcNumber = 0;
  CalcDigitCount = 0;
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

bool CalculatorClick(const Keypad& pad, int& calculatorSwitch, int mouseX, int mouseY) {
  const CalcKey* key = CalcKeyAt(pad, mouseX, mouseY);
  if (key == nullptr) return false;
  CommentRequest = CalculatorNoteRequest;
  if (key->digit >= 0) {
    CalcDigit = key->digit;
    CalcClear = 0;
    // While an operation waits for a value box, digits are not taken.
    if (CalcOperation == 0) {
      CalcDigitCount += 1;
      // A fifth digit is still shown once before the paint discards it;
      // further presses before that paint leave the number alone.
      if (CalcDigitCount == 1) {
        CalcNumber = CalcDigit;
      } else if (CalcDigitCount <= MaxDigits + 1) {
        CalcNumber = CalcNumber * 10 + CalcDigit;
      }
    }
    return true;
  }
  switch (key->code) {
    case CalcSwitchCode: calculatorSwitch = calculatorSwitch == 1 ? 0 : 1; break;
    case CalcAllClearCode: CalcClear = 2; break;
    case CalcClearCode: CalcClear = 1; break;
    case CalcAddCode: CalcOperation = 1; break;
    case CalcSubtractCode: CalcOperation = 2; break;
    default: break;
  }
  return true;
}

void ServeCalculator(Surface& surface, const Keypad& pad, int* selectedValue) {
  if (CalcOperation == 0) {
    if (CalcClear == 1 || CalcClear == 2) {
      CalcNumber = 0;
      CalcDigitCount = 0;
    }
    const std::string shown = std::to_string(CalcNumber);
    const int x = pad.displayRight - 10 * CalcDigitCount;
    // Transparent, so the display key's frame stays whole around the digits.
    surface.Text(MakePanelFont(DisplayFontHeight), PanelText, TextBackground::Transparent, White, x, pad.displayY,
                 shown);
    if (CalcDigitCount > MaxDigits) ClearEntry();  // a fifth digit discards the entry
  }
  if (CalcOperation == 1) CalcDelta = CalcNumber;
  if (CalcOperation == 2) CalcDelta = -CalcNumber;
  if (CalcOperation != 0 && selectedValue != nullptr) {
    const long long sum = static_cast<long long>(*selectedValue) + CalcDelta;
    *selectedValue = static_cast<int>(std::clamp<long long>(sum, INT_MIN, INT_MAX));
    ClearEntry();
  }
  if (CalcClear == 2 && selectedValue != nullptr) {
    *selectedValue = 0;
    CalcClear = 0;
    ClearEntry();
  }
}

void ResetCalculator() {
  ClearEntry();
  CalcDigit = 0;
  CalcClear = 0;
  CalculatorOn = 0;
}
