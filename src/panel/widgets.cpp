// The drawn controls of the control panel.
//
// [SECTION] Fonts and texts
// [SECTION] Key words and switches
// [SECTION] Panel tables
// [SECTION] Diamond switches
// [SECTION] Belt switches
// [SECTION] Reset mark

#include "panel/widgets.h"

#include <algorithm>
#include <cstdlib>

#include "panel/comments.h"

// [SECTION] Fonts and texts

Font MakePanelFont(int height) { return Font{height, true}; }

std::string FormatPanelText(std::string_view format, int value) {
  std::string out;
  out.reserve(format.size() + 8);
  bool replaced = false;
  std::size_t i = 0;
  while (i < format.size()) {
    const char c = format[i];
    if (c != '%') {
      out += c;
      ++i;
      continue;
    }
    if (i + 1 < format.size() && format[i + 1] == '%') {
      out += '%';
      i += 2;
      continue;
    }
    // Parse "%[flags][width]d"; anything else is written as it stands.
    std::size_t j = i + 1;
    bool left = false, zero = false, plus = false, space = false;
    while (j < format.size() && (format[j] == '-' || format[j] == '0' || format[j] == '+' || format[j] == ' ')) {
      left |= format[j] == '-';
      zero |= format[j] == '0';
      plus |= format[j] == '+';
      space |= format[j] == ' ';
      ++j;
    }
    int width = 0;
    while (j < format.size() && format[j] >= '0' && format[j] <= '9' && width < 100) {
      width = width * 10 + (format[j] - '0');
      ++j;
    }
    if (replaced || j >= format.size() || format[j] != 'd') {
      out += c;
      ++i;
      continue;
    }
    const long long wide = value;
    const std::string digits = std::to_string(wide < 0 ? -wide : wide);
    std::string sign;
    if (wide < 0) {
      sign = "-";
    } else if (plus) {
      sign = "+";
    } else if (space) {
      sign = " ";
    }
    const int length = static_cast<int>(sign.size() + digits.size());
    const std::size_t pad = width > length ? static_cast<std::size_t>(width - length) : 0;
    if (left) {
      out += sign + digits + std::string(pad, ' ');
    } else if (zero) {
      out += sign + std::string(pad, '0') + digits;
    } else {
      out += std::string(pad, ' ') + sign + digits;
    }
    replaced = true;
    i = j + 1;
  }
  return out;
}

std::string PanelKeyText(const PanelKey& key) {
  const char* text = LanguageId == EnglishLanguage ? key.english : key.japanese;
  if (text == nullptr) return {};
  if (key.value == nullptr) return text;
  return FormatPanelText(text, *key.value);
}

// [SECTION] Key words and switches

void DrawKeyText(Surface& surface, int x, int y, std::string_view text, Rgb colour, TextPlace place,
                 int fontHeight) {
  if (text.empty()) return;
  const int textY = place == TextPlace::Lowered ? y + 4 : y;
  surface.Text(MakePanelFont(fontHeight), colour, TextBackground::Opaque, White, x + 2, textY, text);
}

void DrawKeyBox(Surface& surface, int x, int y, int width, Rgb keyColour, bool on) {
  const int right = x + width;
  const int bottom = y + KeyHeight;
  if (on) {
    const Pen frame{SwitchFrame, 2};
    surface.Polyline(frame, {{x, y}, {right, y}, {right, bottom}, {x, bottom}, {x, y}});
    return;
  }
  // The raised key: a broad right edge and bottom shadow, thin top and left.
  const Pen shadow{keyColour, 5};
  surface.Line(shadow, right, y + 2, right, bottom);
  surface.Line(shadow, right - 2, bottom, x + 2, bottom);
  const Pen edge{keyColour, 2};
  surface.Line(edge, x, y, right, y);
  surface.Line(edge, x, bottom, x, y);
}

bool PanelKeyOn(const PanelKey& key) {
  if (key.kind != KeyKind::Switch && key.kind != KeyKind::ValueBox) return false;
  if (key.flag != nullptr) return *key.flag;
  return key.state != nullptr && *key.state == key.onValue;
}

void DrawPanelKeyAs(Surface& surface, const PanelKey& key, bool on) {
  if (key.kind == KeyKind::Region) return;
  DrawKeyText(surface, key.x, key.y, PanelKeyText(key), key.textColour, key.place, key.fontHeight);
  if (key.kind == KeyKind::Label) return;
  DrawKeyBox(surface, key.x, key.y, key.width, key.keyColour, key.kind != KeyKind::Key && on);
}

void DrawPanelKey(Surface& surface, const PanelKey& key) { DrawPanelKeyAs(surface, key, PanelKeyOn(key)); }

// [SECTION] Panel tables

void DrawPanel(Surface& surface, std::span<const PanelKey> keys) {
  for (const PanelKey& key : keys) DrawPanelKey(surface, key);
}

Region PanelKeyHitBox(const PanelKey& key) {
  if (key.hit.Given()) return key.hit;
  return Region{key.x, key.y, key.x + key.width, key.y + KeyHeight};
}

int PanelKeyAt(std::span<const PanelKey> keys, int x, int y) {
  for (const PanelKey& key : keys) {
    if (PanelKeyHitBox(key).Contains(x, y)) return key.code;
  }
  return NoKey;
}

bool ToggleSwitch(std::span<const PanelKey> keys, int code) {
  const PanelKey* key = FindPanelKey(keys, code);
  if (key == nullptr || key->flag == nullptr) return false;
  *key->flag = !*key->flag;
  if (*key->flag) {
    for (bool* other : key->turnsOff) {
      if (other != nullptr) *other = false;
    }
  }
  return *key->flag;
}

const PanelKey* FindPanelKey(std::span<const PanelKey> keys, int code) {
  for (const PanelKey& key : keys) {
    if (key.code == code) return &key;
  }
  return nullptr;
}

namespace {
std::string_view Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}
}  // namespace

const PanelKey* FindPanelKeyByText(std::span<const PanelKey> keys, std::string_view text) {
  const std::string_view wanted = Trimmed(text);
  for (const PanelKey& key : keys) {
    if (Trimmed(key.english) == wanted || Trimmed(key.japanese) == wanted) return &key;
  }
  return nullptr;
}

PanelPoint PanelKeyCentre(const PanelKey& key) {
  const Region box = PanelKeyHitBox(key);
  return PanelPoint{(box.left + box.right) / 2, (box.top + box.bottom) / 2};
}

void ToggleValueBox(int& selection, int box, bool& calculatorSwitch) {
  if (selection == box) {
    selection = 0;
    calculatorSwitch = false;
  } else {
    selection = box;
    calculatorSwitch = true;
  }
}

// [SECTION] Diamond switches

namespace {

void DrawSquareFrame(Surface& surface, const Pen& pen, int x, int y, int size) {
  surface.Polyline(pen, {{x, y}, {x + size, y}, {x + size, y + size}, {x, y + size}, {x, y}});
}

// A vertical 1-pixel line from y1 towards y2 (y2 itself not drawn); nothing
// when the two are equal.
void VerticalLine(Surface& surface, const Pen& pen, int x, int y1, int y2) {
  if (y1 != y2) surface.Line(pen, x, y1, x, y2);
}

int Clamp(long long value, int lo, int hi) {
  return static_cast<int>(std::clamp<long long>(value, lo, std::max(lo, hi)));
}

}  // namespace

void DrawDiamondSwitch(Surface& surface, int x, int y, Rgb colour, int size) {
  const Pen pen{colour};
  const int h = size / 2;
  DrawSquareFrame(surface, pen, x, y, size);
  for (int i = 0; i < h; ++i) {  // left half: the uncovered wedge is a hollow left arrow
    VerticalLine(surface, pen, x + i, y, y + h - i);
    VerticalLine(surface, pen, x + i, y + h + i, y + size);
  }
  for (int i = 0; i < h; ++i) {  // right half: a solid right-pointing triangle
    VerticalLine(surface, pen, x + h + i, y + i, y + size - i);
  }
}

bool DiamondSwitchClick(int& value, int step, int lo, int hi, int x, int y, int mouseX, int mouseY, int size) {
  const int h = size / 2;
  if (!(y < mouseY && mouseY < y + size)) return false;
  if (x < mouseX && mouseX < x + h) {
    value = Clamp(static_cast<long long>(value) - step, lo, hi);
    return true;
  }
  if (x + h < mouseX && mouseX < x + size) {
    value = Clamp(static_cast<long long>(value) + step, lo, hi);
    return true;
  }
  return false;
}

void DrawUpDownDiamond(Surface& surface, int x, int y, Rgb colour, int size) {
  const Pen pen{colour};
  const int h = size / 2;
  DrawSquareFrame(surface, pen, x, y, size);
  for (int i = 0; i < h; ++i) {  // upper half: a solid upward triangle, apex at (x + h, y)
    VerticalLine(surface, pen, x + i, y + h, y + h - i);
    VerticalLine(surface, pen, x + h + i, y + h, y + i);
  }
  for (int i = 0; i < h; ++i) {  // lower half: the uncovered part is a hollow downward triangle
    VerticalLine(surface, pen, x + i, y + h + i, y + size);
    VerticalLine(surface, pen, x + h + i, y + size - i, y + size);
  }
}

bool UpDownDiamondClick(int& value, int step, int lo, int hi, int x, int y, int mouseX, int mouseY, int size) {
  const int h = size / 2;
  if (!(x < mouseX && mouseX < x + size)) return false;
  if (y < mouseY && mouseY < y + h) {
    value = Clamp(static_cast<long long>(value) + step, lo, hi);
    return true;
  }
  if (y + h < mouseY && mouseY < y + size) {
    value = Clamp(static_cast<long long>(value) - step, lo, hi);
    return true;
  }
  return false;
}

// [SECTION] Belt switches

int BeltValue(int mouseX, BeltRange range) {
  const long long offset = static_cast<long long>(mouseX - BeltLeft) * (range.hi - range.lo) / BeltLength;
  return static_cast<int>(range.lo + offset);
}

bool BeltClick(int& value, BeltRange range, int y, int mouseX, int mouseY) {
  if (!(BeltLeft < mouseX && mouseX < BeltLeft + BeltLength && y < mouseY && mouseY < y + BeltHeight)) return false;
  value = BeltValue(mouseX, range);
  return true;
}

bool DoubleBeltClick(int& value, BeltRange upper, BeltRange lower, int y, int mouseX, int mouseY) {
  return BeltClick(value, upper, y, mouseX, mouseY) || BeltClick(value, lower, y + BeltHeight, mouseX, mouseY);
}

int BeltFill(int value, BeltRange range, int length) {
  if (range.hi == range.lo) return 0;
  const long long fill = (static_cast<long long>(value) - range.lo) * length / (range.hi - range.lo);
  return static_cast<int>(std::clamp<long long>(fill, 0, length));
}

void DrawBeltBar(Surface& surface, int x, int y, int length, int height, int filled, Rgb frameColour,
                 Rgb fillColour) {
  surface.Rectangle(Pen{frameColour}, std::nullopt, x, y, x + length, y + height);
  const Pen fill{fillColour};
  const int columns = std::clamp(filled, 0, length);
  for (int i = 0; i < columns; ++i) VerticalLine(surface, fill, x + i, y + 1, y + height - 1);
}

// [SECTION] Reset mark

namespace {

// One bar: columns from halfFrom * h + unitFrom * u up to (not including)
// halfTo * h + unitTo * u; rows from rowFrom * u up to rowTo * u.
struct ResetBar {
  int halfFrom, unitFrom, halfTo, unitTo, rowFrom, rowTo;
};
constexpr std::array<ResetBar, 9> ResetBars = {{
    {0, 0, 1, 0, 0, 5},  // 1: columns 0 .. h-1, rows 0 .. 5u
    {1, 0, 1, 1, 0, 2},  // 2: h .. h+u-1, 0 .. 2u
    {1, 0, 1, 1, 3, 5},  // 3: h .. h+u-1, 3u .. 5u
    {1, 1, 1, 4, 0, 1},  // 4: h+u .. h+4u-1, 0 .. u
    {1, 2, 1, 4, 2, 3},  // 5: h+2u .. h+4u-1, 2u .. 3u
    {1, 4, 1, 5, 1, 4},  // 6: h+4u .. h+5u-1, u .. 4u
    {1, 3, 1, 6, 4, 5},  // 7: h+3u .. h+6u-1, 4u .. 5u
    {1, 5, 1, 7, 2, 3},  // 8: h+5u .. h+7u-1, 2u .. 3u
    {1, 6, 1, 7, 0, 2},  // 9: h+6u .. h+7u-1, 0 .. 2u
}};

}  // namespace

void DrawResetMark(Surface& surface, int x, int y, int unit, int colourIndex) {
  if (colourIndex < 0 || colourIndex >= static_cast<int>(ResetMarkColours.size())) return;
  const Pen pen{ResetMarkColours[static_cast<std::size_t>(colourIndex)]};
  const int u = unit;
  const int h = u / 2;
  for (const ResetBar& bar : ResetBars) {
    const int from = bar.halfFrom * h + bar.unitFrom * u;
    const int to = bar.halfTo * h + bar.unitTo * u;
    for (int column = from; column < to; ++column) {
      VerticalLine(surface, pen, x + column, y + bar.rowFrom * u, y + bar.rowTo * u);
    }
  }
}
