// The control panel kit: key words and switches, diamonds, belts, the reset
// mark, panel tables, the calculator and the comment mechanism.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <optional>

#include "panel/calculator.h"
#include "panel/comments.h"
#include "panel/widgets.h"
#include "platform/surface.h"
#include "platform/text.h"

namespace {

constexpr const char* IpaGothic = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";

// Font-dependent checks use IPA Gothic and skip without it.
bool UseIpaGothic() {
  if (!std::filesystem::exists(IpaGothic)) return false;
  return UsePanelFontFile(IpaGothic);
}
#define REQUIRE_IPA_GOTHIC()                                                          \
  if (!UseIpaGothic()) GTEST_SKIP() << "font file " << IpaGothic << " is not installed"

struct Box {
  int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;  // inclusive
  bool Empty() const { return right < 0; }
};

// The pixels of one colour inside a window of the surface.
Box InkBox(const Surface& s, Rgb colour, int x0, int y0, int x1, int y1) {
  Box box;
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      if (s.Pixel(x, y) != colour) continue;
      box.left = std::min(box.left, x);
      box.top = std::min(box.top, y);
      box.right = std::max(box.right, x);
      box.bottom = std::max(box.bottom, y);
    }
  }
  return box;
}

int CountColour(const Surface& s, Rgb colour, int x0, int y0, int x1, int y1) {
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) n += s.Pixel(x, y) == colour ? 1 : 0;
  return n;
}

class PanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StartPanelState();
    surface.Clear(White);
  }
  Surface surface;
};

// ---------------------------------------------------------------------------
// Key words and switches
// ---------------------------------------------------------------------------

TEST_F(PanelTest, SwitchOnIsATwoPixelDarkFrameAroundTheBox) {
  DrawKeyBox(surface, 4, 50, 88, Rgb{240, 240, 40}, true);
  // Top edge rows 49..50, bottom 69..70, left columns 3..4, right 91..92.
  for (int x : {10, 48, 90}) {
    EXPECT_EQ(surface.Pixel(x, 49), SwitchFrame);
    EXPECT_EQ(surface.Pixel(x, 50), SwitchFrame);
    EXPECT_EQ(surface.Pixel(x, 51), White);
    EXPECT_EQ(surface.Pixel(x, 69), SwitchFrame);
    EXPECT_EQ(surface.Pixel(x, 70), SwitchFrame);
    EXPECT_EQ(surface.Pixel(x, 71), White);
  }
  for (int y : {55, 60, 66}) {
    EXPECT_EQ(surface.Pixel(3, y), SwitchFrame);
    EXPECT_EQ(surface.Pixel(4, y), SwitchFrame);
    EXPECT_EQ(surface.Pixel(5, y), White);
    EXPECT_EQ(surface.Pixel(91, y), SwitchFrame);
    EXPECT_EQ(surface.Pixel(92, y), SwitchFrame);
    EXPECT_EQ(surface.Pixel(93, y), White);
  }
  EXPECT_EQ(CountColour(surface, Rgb{240, 240, 40}, 0, 0, 100, 100), 0);  // no key colour when on
  EXPECT_EQ(CountColour(surface, SwitchFrame, 5, 51, 91, 69), 0);        // inside stays white
}

TEST_F(PanelTest, SwitchOffIsTheRaisedKeyInItsColour) {
  const Rgb key{0, 220, 220};
  DrawKeyBox(surface, 4, 490, 88, key, false);
  // Right edge: a 5-pixel line on x 92 (columns 90..94).
  for (int y : {496, 500, 505}) {
    EXPECT_EQ(surface.Pixel(89, y), White);
    for (int x = 90; x <= 94; ++x) EXPECT_EQ(surface.Pixel(x, y), key) << x << "," << y;
    EXPECT_EQ(surface.Pixel(95, y), White);
  }
  // Bottom shadow: a 5-pixel line on y 510 (rows 508..512).
  for (int x : {10, 48, 85}) {
    EXPECT_EQ(surface.Pixel(x, 507), White);
    for (int y = 508; y <= 512; ++y) EXPECT_EQ(surface.Pixel(x, y), key) << x << "," << y;
    EXPECT_EQ(surface.Pixel(x, 513), White);
    // Top edge: 2 pixels on y 490.
    EXPECT_EQ(surface.Pixel(x, 489), key);
    EXPECT_EQ(surface.Pixel(x, 490), key);
    EXPECT_EQ(surface.Pixel(x, 491), White);
  }
  // Left edge: 2 pixels on x 4.
  EXPECT_EQ(surface.Pixel(3, 500), key);
  EXPECT_EQ(surface.Pixel(4, 500), key);
  EXPECT_EQ(surface.Pixel(5, 500), White);
  EXPECT_EQ(CountColour(surface, SwitchFrame, 0, 400, 100, 600), 0);
}

TEST_F(PanelTest, TableRowsDrawByKindAndState) {
  int comment = 1;
  const std::array<PanelKey, 3> panel = {{
      {.code = 110, .x = 4, .y = 50, .width = 88, .keyColour = {240, 240, 40}, .english = "", .japanese = "",
       .kind = KeyKind::Switch, .state = &comment},
      {.code = 4, .x = 4, .y = 128, .width = 88, .keyColour = {255, 0, 0}, .english = "", .japanese = "",
       .kind = KeyKind::Label},
      {.code = 7, .x = 4, .y = 200, .width = 88, .keyColour = {192, 192, 32}, .english = "", .japanese = "",
       .kind = KeyKind::Key, .state = &comment},
  }};
  DrawPanel(surface, panel);
  EXPECT_EQ(surface.Pixel(48, 50), SwitchFrame);           // switch on: frame
  EXPECT_EQ(CountColour(surface, Rgb{255, 0, 0}, 0, 100, 100, 160), 0);  // label: no box at all
  EXPECT_EQ(surface.Pixel(48, 200), (Rgb{192, 192, 32}));  // a Key is never drawn on

  comment = 0;
  surface.Clear(White);
  DrawPanel(surface, panel);
  EXPECT_EQ(surface.Pixel(48, 50), (Rgb{240, 240, 40}));   // switch off: raised
  EXPECT_EQ(CountColour(surface, SwitchFrame, 0, 0, 100, 300), 0);
}

TEST_F(PanelTest, KeyTextStandsAtXPlusTwoAndLowersByFour) {
  REQUIRE_IPA_GOTHIC();
  const PanelKey normal{.code = 1, .x = 4, .y = 100, .english = "AB", .japanese = "AB", .kind = KeyKind::Label};
  PanelKey lowered = normal;
  lowered.place = TextPlace::Lowered;

  DrawPanelKey(surface, normal);
  const Box a = InkBox(surface, PanelText, 0, 80, 100, 130);
  ASSERT_FALSE(a.Empty());
  EXPECT_GE(a.left, 6);
  EXPECT_LT(a.right, 6 + 10);  // two half-width cells of the height-10 font
  EXPECT_GE(a.top, 100);
  EXPECT_LE(a.bottom, 109);

  Surface other;
  DrawPanelKey(other, lowered);
  const Box b = InkBox(other, PanelText, 0, 80, 100, 130);
  EXPECT_EQ(b.left, a.left);
  EXPECT_EQ(b.right, a.right);
  EXPECT_EQ(b.top, a.top + 4);
  EXPECT_EQ(b.bottom, a.bottom + 4);
  UsePanelFontFile("");
}

TEST_F(PanelTest, TextsFollowTheLanguageAndFormatTheirValue) {
  int power = 7;
  const PanelKey key{.code = 30, .english = "step %2d", .japanese = "飛値 %2d", .value = &power};
  EXPECT_EQ(PanelKeyText(key), "飛値  7");
  LanguageId = EnglishLanguage;
  EXPECT_EQ(PanelKeyText(key), "step  7");
  power = 123;
  EXPECT_EQ(PanelKeyText(key), "step 123");

  EXPECT_EQ(FormatPanelText("%4d", 100), " 100");
  EXPECT_EQ(FormatPanelText("%3d", -5), " -5");
  EXPECT_EQ(FormatPanelText("[%3d", 0), "[  0");
  EXPECT_EQ(FormatPanelText("%-3d]", 4), "4  ]");
  EXPECT_EQ(FormatPanelText("%02d", 4), "04");
  EXPECT_EQ(FormatPanelText("%d", -2147483647 - 1), "-2147483648");
  EXPECT_EQ(FormatPanelText("100%% %d", 3), "100% 3");
  // Only one field is filled, and a field that is not "%d" is kept as written.
  EXPECT_EQ(FormatPanelText("%d %d", 1), "1 %d");
  EXPECT_EQ(FormatPanelText("%s%x %d", 9), "%s%x 9");
}

TEST_F(PanelTest, HitTestUsesOpenBoundsAndTheFirstRowWins) {
  const std::array<PanelKey, 3> panel = {{
      {.code = 1, .x = 4, .y = 0, .width = 88, .hit = {4, 0, 92, 22}},
      {.code = 2, .x = 4, .y = 24, .width = 88},
      {.code = 3, .x = 4, .y = 30, .width = 20},  // overlapped by row 2
  }};
  EXPECT_EQ(PanelKeyAt(panel, 5, 21), 1);
  EXPECT_EQ(PanelKeyAt(panel, 4, 10), NoKey);  // left bound open
  EXPECT_EQ(PanelKeyAt(panel, 5, 22), NoKey);  // explicit bottom open
  EXPECT_EQ(PanelKeyAt(panel, 91, 43), 2);
  EXPECT_EQ(PanelKeyAt(panel, 92, 30), NoKey);  // x + w is outside
  EXPECT_EQ(PanelKeyAt(panel, 10, 44), 3);      // y + 20 of row 2 is outside, row 3 still holds it
  EXPECT_EQ(PanelKeyAt(panel, 10, 35), 2);      // both hold it: the first wins
  EXPECT_EQ(FindPanelKey(panel, 3)->x, 4);
  EXPECT_EQ(FindPanelKey(panel, 9), nullptr);
}

TEST_F(PanelTest, SelectingAValueBoxDeselectsTheOther) {
  int selection = 0, calculator = 0;
  ToggleValueBox(selection, 1, calculator);
  EXPECT_EQ(selection, 1);
  EXPECT_EQ(calculator, 1);
  ToggleValueBox(selection, 2, calculator);
  EXPECT_EQ(selection, 2);
  EXPECT_EQ(calculator, 1);
  ToggleValueBox(selection, 2, calculator);
  EXPECT_EQ(selection, 0);
  EXPECT_EQ(calculator, 0);
}

// ---------------------------------------------------------------------------
// Diamonds, belts, reset mark
// ---------------------------------------------------------------------------

TEST_F(PanelTest, SideBySideDiamondGlyph) {
  const Rgb c{220, 220, 100};
  const int x = 78, y = 681;
  DrawDiamondSwitch(surface, x, y, c);
  // Frame corners (the frame runs through x + 20 and y + 20).
  EXPECT_EQ(surface.Pixel(x, y), c);
  EXPECT_EQ(surface.Pixel(x + 20, y + 20), c);
  EXPECT_EQ(surface.Pixel(x + 20, y + 10), c);
  // Left half, column x + 5: rows y .. y + 4 and y + 15 .. y + 19; hollow between.
  EXPECT_EQ(surface.Pixel(x + 5, y + 4), c);
  EXPECT_EQ(surface.Pixel(x + 5, y + 5), White);
  EXPECT_EQ(surface.Pixel(x + 5, y + 14), White);
  EXPECT_EQ(surface.Pixel(x + 5, y + 15), c);
  EXPECT_EQ(surface.Pixel(x + 9, y + 1), White);  // the arrow's wide end
  EXPECT_EQ(surface.Pixel(x + 9, y + 10), White);
  // Right half, column x + 15: rows y + 5 .. y + 14 (a solid triangle).
  EXPECT_EQ(surface.Pixel(x + 15, y + 4), White);
  EXPECT_EQ(surface.Pixel(x + 15, y + 5), c);
  EXPECT_EQ(surface.Pixel(x + 15, y + 14), c);
  EXPECT_EQ(surface.Pixel(x + 15, y + 15), White);
  EXPECT_EQ(surface.Pixel(x + 19, y + 9), c);  // tip
  EXPECT_EQ(surface.Pixel(x + 19, y + 8), White);
}

TEST_F(PanelTest, StackedDiamondGlyph) {
  const Rgb c{10, 20, 30};
  const int x = 78, y = 254;
  DrawUpDownDiamond(surface, x, y, c);
  // Upper half: columns x + 5 and x + 15 cover rows y + 6 .. y + 10.
  EXPECT_EQ(surface.Pixel(x + 5, y + 5), White);
  EXPECT_EQ(surface.Pixel(x + 5, y + 6), c);
  EXPECT_EQ(surface.Pixel(x + 15, y + 5), White);
  EXPECT_EQ(surface.Pixel(x + 15, y + 6), c);
  EXPECT_EQ(surface.Pixel(x + 10, y + 1), c);  // apex below the frame
  EXPECT_EQ(surface.Pixel(x + 1, y + 9), White);
  // Lower half: x + 5 covers y + 15 .. y + 19, x + 15 covers y + 15 .. y + 19.
  EXPECT_EQ(surface.Pixel(x + 5, y + 14), White);
  EXPECT_EQ(surface.Pixel(x + 5, y + 15), c);
  EXPECT_EQ(surface.Pixel(x + 15, y + 14), White);
  EXPECT_EQ(surface.Pixel(x + 15, y + 15), c);
  EXPECT_EQ(surface.Pixel(x + 1, y + 11), c);
  EXPECT_EQ(surface.Pixel(x + 11, y + 18), White);
}

TEST_F(PanelTest, DiamondHitsStepClampAndIgnoreTheMiddle) {
  int v = 100;
  EXPECT_TRUE(DiamondSwitchClick(v, 8, 1, 1000, 78, 205, 80, 215));
  EXPECT_EQ(v, 92);
  EXPECT_TRUE(DiamondSwitchClick(v, 8, 1, 1000, 78, 205, 95, 215));
  EXPECT_EQ(v, 100);
  EXPECT_FALSE(DiamondSwitchClick(v, 8, 1, 1000, 78, 205, 88, 215));  // column x + h
  EXPECT_FALSE(DiamondSwitchClick(v, 8, 1, 1000, 78, 205, 78, 215));  // open left bound
  EXPECT_FALSE(DiamondSwitchClick(v, 8, 1, 1000, 78, 205, 98, 215));
  EXPECT_FALSE(DiamondSwitchClick(v, 8, 1, 1000, 78, 205, 80, 225));
  EXPECT_EQ(v, 100);
  v = 1000;  // at the upper bound it stays
  EXPECT_TRUE(DiamondSwitchClick(v, 8, 1, 1000, 78, 205, 95, 215));
  EXPECT_EQ(v, 1000);
  v = 5;
  EXPECT_TRUE(DiamondSwitchClick(v, 8, 1, 1000, 78, 205, 80, 215));
  EXPECT_EQ(v, 1);

  int step = 8;  // FILTER's step: upper + 4, lower - 4
  EXPECT_TRUE(UpDownDiamondClick(step, 4, 2, 98, 78, 681, 85, 685));
  EXPECT_EQ(step, 12);
  EXPECT_TRUE(UpDownDiamondClick(step, 4, 2, 98, 78, 681, 85, 695));
  EXPECT_EQ(step, 8);
  EXPECT_FALSE(UpDownDiamondClick(step, 4, 2, 98, 78, 681, 85, 691));  // row y + h
  EXPECT_EQ(step, 8);
  step = 98;
  EXPECT_TRUE(UpDownDiamondClick(step, 4, 2, 98, 78, 681, 85, 685));
  EXPECT_EQ(step, 98);
}

TEST_F(PanelTest, BeltValuesTruncate) {
  EXPECT_EQ(BeltValue(3, {0, 100}), 1);      // 100 / 96
  EXPECT_EQ(BeltValue(97, {0, 100}), 98);    // 95 * 100 / 96 = 98.96
  EXPECT_EQ(BeltValue(50, {0, 100}), 50);    // 48 * 100 / 96
  EXPECT_EQ(BeltValue(3, {100, 1000}), 109);  // 100 + 900 / 96
  EXPECT_EQ(BeltValue(97, {100, 1000}), 990);
  EXPECT_EQ(BeltValue(3, {255, 0}), 253);    // a falling range: 255 - 255 / 96 toward zero

  int power = 100;
  EXPECT_FALSE(BeltClick(power, {0, 100}, 238, 2, 243));  // left end open
  EXPECT_FALSE(BeltClick(power, {0, 100}, 238, 98, 243));
  EXPECT_FALSE(BeltClick(power, {0, 100}, 238, 50, 248));
  EXPECT_EQ(power, 100);
  EXPECT_TRUE(DoubleBeltClick(power, {0, 100}, {100, 1000}, 238, 3, 243));
  EXPECT_EQ(power, 1);
  EXPECT_TRUE(DoubleBeltClick(power, {0, 100}, {100, 1000}, 238, 97, 253));
  EXPECT_EQ(power, 990);
  EXPECT_FALSE(DoubleBeltClick(power, {0, 100}, {100, 1000}, 238, 50, 248));  // between the strips
  EXPECT_EQ(power, 990);

  EXPECT_EQ(BeltFill(50, {0, 100}), 48);
  EXPECT_EQ(BeltFill(1000, {0, 100}), 96);  // at most the belt
  EXPECT_EQ(BeltFill(50, {100, 1000}), 0);
  EXPECT_EQ(BeltFill(550, {100, 1000}), 48);
}

TEST_F(PanelTest, ResetMarkBars) {
  const Rgb c{192, 16, 32};  // colour 2 (FILTER's dark mark at (2, 22))
  DrawResetMark(surface, 2, 22, ResetMarkUnit, 2);
  // Bar 1: columns 2..4, rows 22..51.
  EXPECT_EQ(surface.Pixel(2, 22), c);
  EXPECT_EQ(surface.Pixel(4, 51), c);
  EXPECT_EQ(surface.Pixel(2, 52), White);
  // Bars 2 and 3: columns 5..10, rows 22..33 and 40..51, open between.
  EXPECT_EQ(surface.Pixel(10, 33), c);
  EXPECT_EQ(surface.Pixel(7, 36), White);
  EXPECT_EQ(surface.Pixel(10, 40), c);
  // Bar 4: columns 11..28, rows 22..27.
  EXPECT_EQ(surface.Pixel(28, 27), c);
  EXPECT_EQ(surface.Pixel(29, 22), White);
  EXPECT_EQ(surface.Pixel(20, 28), White);
  // Bar 6: columns 29..34, rows 28..45; bar 7: columns 23..40, rows 46..51.
  EXPECT_EQ(surface.Pixel(34, 45), c);
  EXPECT_EQ(surface.Pixel(35, 45), White);
  EXPECT_EQ(surface.Pixel(40, 51), c);
  EXPECT_EQ(surface.Pixel(41, 51), White);
  // Bar 9: columns 41..46, rows 22..33; bar 8: columns 35..46, rows 34..39.
  EXPECT_EQ(surface.Pixel(46, 22), c);
  EXPECT_EQ(surface.Pixel(47, 30), White);
  EXPECT_EQ(surface.Pixel(35, 39), c);
  EXPECT_EQ(surface.Pixel(35, 40), White);
  // Nine bars with no overlap: 774 pixels in all, nothing outside 45 x 30.
  EXPECT_EQ(CountColour(surface, c, 0, 0, 100, 100), 774);
  EXPECT_EQ(CountColour(surface, c, 2, 22, 47, 52), 774);

  surface.Clear(White);
  DrawResetMark(surface, 10, 92, ResetMarkUnit, 0);
  EXPECT_EQ(surface.Pixel(10, 92), (Rgb{16, 32, 96}));
  DrawResetMark(surface, 60, 92, ResetMarkUnit, 10);  // no such colour: nothing
  EXPECT_EQ(CountColour(surface, White, 60, 92, 105, 122), 45 * 30);
}

// ---------------------------------------------------------------------------
// Calculator
// ---------------------------------------------------------------------------

class CalculatorTest : public PanelTest {
 protected:
  void SetUp() override {
    PanelTest::SetUp();
    ResetCalculator();
  }
  // Clicks the middle of a key's hit region, as a user would.
  bool Press(int code) {
    for (const CalcKey& key : pad.keys) {
      if (key.code != code) continue;
      return CalculatorClick(pad, calculatorSwitch, (key.hit.left + key.hit.right) / 2,
                             (key.hit.top + key.hit.bottom) / 2);
    }
    return false;
  }
  bool PressDigit(int digit) {
    for (const CalcKey& key : pad.keys)
      if (key.digit == digit) return Press(key.code);
    return false;
  }
  void Paint(int* selected) {
    surface.Clear(White);
    DrawKeypad(surface, pad, calculatorSwitch == 1);
    ServeCalculator(surface, pad, selected);
  }
  Keypad pad = FilterKeypad;
  int calculatorSwitch = 0;
};

TEST_F(CalculatorTest, FilterKeypadIsTheDesignedTable) {
  const CalcKey* seven = CalcKeyAt(pad, 20, 540);
  ASSERT_NE(seven, nullptr);
  EXPECT_EQ(seven->code, 10);
  EXPECT_EQ(seven->digit, 7);
  EXPECT_EQ(CalcKeyAt(pad, 35, 540), nullptr);  // between the columns 8..34 and 36..62
  EXPECT_EQ(CalcKeyAt(pad, 61, 590)->digit, 2);
  EXPECT_EQ(CalcKeyAt(pad, 91, 566)->digit, 6);
  EXPECT_EQ(CalcKeyAt(pad, 20, 620)->digit, 0);
  EXPECT_EQ(CalcKeyAt(pad, 60, 620), nullptr);  // the display is not a key
  EXPECT_EQ(CalcKeyAt(pad, 49, 515)->code, CalcSwitchCode);
  EXPECT_EQ(CalcKeyAt(pad, 91, 524)->code, CalcAllClearCode);
  EXPECT_EQ(CalcKeyAt(pad, 91, 525), nullptr);
  EXPECT_EQ(CalcKeyAt(pad, 31, 645)->code, CalcAddCode);
  EXPECT_EQ(CalcKeyAt(pad, 32, 645), nullptr);
  EXPECT_EQ(CalcKeyAt(pad, 39, 645)->code, CalcSubtractCode);
  EXPECT_EQ(CalcKeyAt(pad, 69, 645)->code, CalcClearCode);

  // Another page's arrangement: rows 20 apart under a 26-pixel first gap.
  const Keypad unic = MakeKeypad({623, {649, 669, 689}, 709, 729, 84});
  EXPECT_EQ(CalcKeyAt(unic, 9, 624)->code, CalcSwitchCode);
  EXPECT_EQ(CalcKeyAt(unic, 33, 650)->digit, 7);
  EXPECT_EQ(CalcKeyAt(unic, 65, 688)->digit, 6);
  EXPECT_EQ(CalcKeyAt(unic, 65, 690)->digit, 3);
  EXPECT_EQ(CalcKeyAt(unic, 69, 748)->code, CalcClearCode);
  EXPECT_EQ(unic.displayY, 709);
  EXPECT_EQ(unic.displayRight, 84);
}

TEST_F(CalculatorTest, FourDigitsMakeANumberAndAFifthDiscardsIt) {
  for (int d : {1, 2, 3, 4}) {
    EXPECT_TRUE(PressDigit(d));
    Paint(nullptr);
  }
  EXPECT_EQ(CalcNumber, 1234);
  EXPECT_EQ(CalcDigitCount, 4);
  Paint(nullptr);  // a paint without a click changes nothing
  Paint(nullptr);
  EXPECT_EQ(CalcNumber, 1234);
  EXPECT_EQ(CalcDigitCount, 4);

  PressDigit(5);
  Paint(nullptr);
  EXPECT_EQ(CalcNumber, 0);
  EXPECT_EQ(CalcDigitCount, 0);
  PressDigit(9);
  Paint(nullptr);
  EXPECT_EQ(CalcNumber, 9);  // a new entry starts from the next digit
}

TEST_F(CalculatorTest, DisplayIsRightAlignedByDigitCount) {
  REQUIRE_IPA_GOTHIC();
  for (int d : {1, 2, 3, 4}) {
    PressDigit(d);
    Paint(nullptr);
  }
  // "1234" at x 90 - 40 = 50, ten pixels a digit: ink within 50..89.
  const Box four = InkBox(surface, PanelText, 40, 609, 100, 629);
  ASSERT_FALSE(four.Empty());
  EXPECT_GE(four.left, 50);
  EXPECT_LT(four.left, 60);
  EXPECT_LT(four.right, 90);
  EXPECT_GE(four.right, 80);
  UsePanelFontFile("");
}

TEST_F(CalculatorTest, PlusAppliesToTheSelectedValue) {
  int power = 100;
  PressDigit(2);
  Paint(&power);
  PressDigit(5);
  Paint(&power);
  EXPECT_EQ(power, 100);  // digits alone do not change the value
  EXPECT_TRUE(Press(CalcAddCode));
  Paint(&power);
  EXPECT_EQ(power, 125);
  EXPECT_EQ(CalcNumber, 0);
  EXPECT_EQ(CalcOperation, 0);
  EXPECT_EQ(CalcDelta, 0);
  EXPECT_EQ(CalcDigitCount, 0);
  Paint(&power);
  EXPECT_EQ(power, 125);  // applied once
}

TEST_F(CalculatorTest, MinusWaitsForAValueBox) {
  int step = 50;
  PressDigit(7);
  Paint(nullptr);
  Press(CalcSubtractCode);
  Paint(nullptr);
  Paint(nullptr);
  EXPECT_EQ(CalcOperation, 2);
  EXPECT_EQ(CalcDelta, -7);
  PressDigit(3);  // not taken while the operation waits
  Paint(nullptr);
  EXPECT_EQ(CalcNumber, 7);
  Paint(&step);  // a value box is selected now
  EXPECT_EQ(step, 43);
  EXPECT_EQ(CalcOperation, 0);
}

TEST_F(CalculatorTest, AllClearSetsTheSelectedValueToZero) {
  int value = 321;
  PressDigit(4);
  Paint(nullptr);
  Press(CalcAllClearCode);
  Paint(nullptr);  // nothing selected: the number is cleared, ＡＣ waits
  EXPECT_EQ(CalcNumber, 0);
  EXPECT_EQ(CalcClear, 2);
  Paint(&value);
  EXPECT_EQ(value, 0);
  EXPECT_EQ(CalcClear, 0);

  PressDigit(6);
  Press(CalcClearCode);  // "Ｃ" clears the number only
  value = 10;
  Paint(&value);
  EXPECT_EQ(CalcNumber, 0);
  EXPECT_EQ(value, 10);
}

TEST_F(CalculatorTest, KeysRequestTheNoteAndTheSwitchToggles) {
  CommentRequest = 99;
  EXPECT_FALSE(CalculatorClick(pad, calculatorSwitch, 95, 540));
  EXPECT_EQ(CommentRequest, 99);
  EXPECT_TRUE(Press(CalcSwitchCode));
  EXPECT_EQ(calculatorSwitch, 1);
  EXPECT_EQ(CommentRequest, CalculatorNoteRequest);
  Paint(nullptr);
  EXPECT_EQ(surface.Pixel(20, 505), SwitchFrame);  // "cal" drawn on
  Press(CalcSwitchCode);
  EXPECT_EQ(calculatorSwitch, 0);
}

// ---------------------------------------------------------------------------
// Comments
// ---------------------------------------------------------------------------

constexpr CommentText PageComment = {.lines = {{{"FILTER [<>] (A)call a image;", "フィルタ [<>] (A)画像を呼び出す;"}}}};
constexpr std::array<CommentText, 2> Explanations = {{
    {.selector = 2, .colour = ExplainGreen, .lines = {{{"color power [<>] ...", "色の強弱 [<>] ..."}}}},
    {.selector = 7, .colour = ExplainRed, .lines = {{{"reset mark", "リセット"}, {"second line", "二行目"}}}},
}};
const PageComments FilterComments{.commentCode = 1, .slot = 1, .hasCalculator = true, .comment = &PageComment,
                                  .explanations = Explanations};

int TextAreaCount(const Surface& s, Rgb colour) { return CountColour(s, colour, 100, 700, 1100, 790); }

TEST_F(PanelTest, RestoreNoteShowsForOnePaintOnly) {
  int selector = 2;
  CommentRequest = RestoreNoteRequest;
  EXPECT_EQ(ServeComments(surface, FilterComments, selector), RestoreNoteRequest);
  EXPECT_GT(CountColour(surface, NoteColour, 120, 708, 1100, 722), 0);  // line 1
  EXPECT_GT(CountColour(surface, NoteColour, 120, 722, 1100, 736), 0);  // line 2
  EXPECT_EQ(TextAreaCount(surface, ExplainGreen), 0);  // the selector was reset first
  EXPECT_EQ(CommentRequest, NoCommentRequest);
  EXPECT_EQ(selector, 0);

  surface.Clear(White);
  EXPECT_EQ(ServeComments(surface, FilterComments, selector), NoCommentRequest);
  EXPECT_EQ(TextAreaCount(surface, NoteColour), 0);
}

TEST_F(PanelTest, ExplanationIsDrawnOnceAndTheSelectorReset) {
  int selector = 7;
  CommentRequest = NoCommentRequest;
  ServeComments(surface, FilterComments, selector);
  EXPECT_GT(CountColour(surface, ExplainRed, 120, 708, 1100, 722), 0);
  EXPECT_GT(CountColour(surface, ExplainRed, 120, 722, 1100, 736), 0);
  EXPECT_EQ(selector, 0);
  surface.Clear(White);
  ServeComments(surface, FilterComments, selector);
  EXPECT_EQ(TextAreaCount(surface, ExplainRed), 0);

  selector = 5;  // no such explanation: nothing drawn, still reset
  ServeComments(surface, FilterComments, selector);
  EXPECT_EQ(selector, 0);
}

TEST_F(PanelTest, PageCommentAndCalculatorNote) {
  int selector = 2;
  CommentRequest = 1;
  EXPECT_EQ(ServeComments(surface, FilterComments, selector), 1);
  EXPECT_GT(TextAreaCount(surface, CommentColour), 0);
  EXPECT_EQ(TextAreaCount(surface, ExplainGreen), 0);
  EXPECT_EQ(CommentRequest, NoCommentRequest);

  surface.Clear(White);
  CommentRequest = CalculatorNoteRequest;
  EXPECT_EQ(ServeComments(surface, FilterComments, selector), CalculatorNoteRequest);
  EXPECT_GT(TextAreaCount(surface, NoteColour), 0);

  // A page without a calculator leaves the request for its own pages.
  PageComments plain = FilterComments;
  plain.hasCalculator = false;
  surface.Clear(White);
  CommentRequest = CalculatorNoteRequest;
  EXPECT_EQ(ServeComments(surface, plain, selector), NoCommentRequest);
  EXPECT_EQ(TextAreaCount(surface, NoteColour), 0);
  EXPECT_EQ(CommentRequest, CalculatorNoteRequest);
}

TEST_F(PanelTest, TopServesNothingWhileCommentsAreOff) {
  PageComments top = FilterComments;
  top.commentCode = 0;
  top.slot = 0;
  top.onlyWhileCommentOn = true;
  CommentOn = 0;
  CommentRequest = 0;
  int selector = 2;
  EXPECT_EQ(ServeComments(surface, top, selector), NoCommentRequest);
  EXPECT_EQ(TextAreaCount(surface, CommentColour), 0);
  EXPECT_EQ(TextAreaCount(surface, ExplainGreen), 0);
  CommentOn = 1;
  EXPECT_EQ(ServeComments(surface, top, selector), 0);
  EXPECT_EQ(selector, 0);
}

TEST_F(PanelTest, RestoreNoteTextsCarryTheSlot) {
  REQUIRE_IPA_GOTHIC();
  // The note is the same picture as the two lines drawn by hand.
  LanguageId = EnglishLanguage;
  DrawRestoreNote(surface, 12);
  Surface expected;
  const std::array<std::string_view, 2> lines = {"Restore← [<>] call KEEP12.bmp image;",
                                                 "       All black image [←] no KEEP12.bmp image;"};
  DrawCommentLines(expected, NoteColour, lines);
  EXPECT_EQ(std::memcmp(surface.Data(), expected.Data(), Surface::Width * Surface::Height * 3), 0);
  UsePanelFontFile("");
}

TEST_F(PanelTest, NotationLegendColours) {
  DrawNotationLegend(surface);
  EXPECT_GT(CountColour(surface, Rgb{200, 100, 100}, 0, 594, 100, 606), 0);
  EXPECT_EQ(CountColour(surface, Rgb{100, 100, 200}, 0, 594, 100, 606), 0);
  EXPECT_GT(CountColour(surface, Rgb{100, 100, 200}, 0, 612, 100, 624), 0);
  EXPECT_GT(CountColour(surface, Rgb{100, 100, 200}, 0, 684, 100, 696), 0);
  EXPECT_GT(CountColour(surface, PanelText, 0, 574, 100, 586), 0);  // the heading
}

}  // namespace
