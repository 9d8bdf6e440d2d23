// The control panel kit: key words and switches, diamonds, belts, the reset
// mark, panel tables, the calculator and the comment mechanism.
//
// [SECTION] Key words and switches
// [SECTION] Diamonds, belts, reset mark
// [SECTION] Calculator
// [SECTION] Comments

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <tuple>

#include "panel/calculator.h"
#include "panel/comments.h"
#include "panel/widgets.h"
#include "platform/surface.h"
#include "platform/text.h"
#include "support/pictures.h"

namespace {

constexpr const char* IpaGothic = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";

// Font-dependent checks use IPA Gothic and skip without it.
bool UseIpaGothic() { return std::filesystem::exists(IpaGothic) && UsePanelFontFile(IpaGothic); }
#define REQUIRE_IPA_GOTHIC() \
  if (!UseIpaGothic()) GTEST_SKIP() << "font file " << IpaGothic << " is not installed"

// The pixels of one colour inside a window of the surface: how many, and their bounds (inclusive).
struct Box {
  int count = 0, left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
};
Box InkBox(const Surface& s, Rgb colour, int x0, int y0, int x1, int y1) {
  Box b;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x)
      if (s.Pixel(x, y) == colour)
        b = {b.count + 1, std::min(b.left, x), std::min(b.top, y), std::max(b.right, x), std::max(b.bottom, y)};
  return b;
}

struct Px { int x, y; Rgb colour; };

void ExpectPixels(const Surface& s, std::initializer_list<Px> pixels) {
  for (const Px& p : pixels) EXPECT_EQ(s.Pixel(p.x, p.y), p.colour) << "at " << p.x << "," << p.y;
}

class PanelTest : public ::testing::Test {
 protected:
  void SetUp() override { StartPanelState(); surface.Clear(White); }
  Surface surface;
};

// [SECTION] Key words and switches

// One panel table holds both switch scenes: the first switch is on while
// comment == 1, the second (onValue 2) stays off, and a Key is never drawn on.
TEST_F(PanelTest, KeysDrawByKindAndState) {
  int comment = 1;
  const Rgb yellow{240, 240, 40}, cyan{0, 220, 220}, f = SwitchFrame;
  const std::array<PanelKey, 4> panel = {{
      {.code = 110, .x = 4, .y = 50, .keyColour = yellow, .kind = KeyKind::Switch, .state = &comment},
      {.code = 4, .x = 4, .y = 128, .keyColour = {255, 0, 0}, .kind = KeyKind::Label},
      {.code = 7, .x = 4, .y = 200, .keyColour = {192, 192, 32}, .kind = KeyKind::Key, .state = &comment},
      {.code = 8, .x = 4, .y = 490, .keyColour = cyan, .kind = KeyKind::Switch, .state = &comment, .onValue = 2},
  }};
  DrawPanel(surface, panel);
  // On: a two-pixel dark frame, top rows 49..50, bottom 69..70, left columns 3..4, right 91..92,
  // 90 x 22 less the 86 x 18 inside: 432 pixels. All the rest is white: no key colour when on.
  const Box on = InkBox(surface, f, 0, 0, 100, 100);
  EXPECT_EQ(std::tuple(on.count, on.left, on.top, on.right, on.bottom), std::tuple(432, 3, 49, 92, 70));
  EXPECT_EQ(InkBox(surface, f, 5, 51, 91, 69).count, 0);
  EXPECT_EQ(InkBox(surface, White, 0, 0, 100, 100).count, 100 * 100 - 432);
  EXPECT_EQ(InkBox(surface, Rgb{255, 0, 0}, 0, 100, 100, 160).count, 0);  // label: no box at all
  EXPECT_EQ(surface.Pixel(48, 200), (Rgb{192, 192, 32}));                 // a Key is never drawn on

  // Off: the raised key in its colour. Right edge a 5-pixel line on x 92 (columns 90..94).
  for (int y : {496, 500, 505}) {
    ExpectPixels(surface, {{89, y, White}, {95, y, White}});
    for (int x = 90; x <= 94; ++x) ExpectPixels(surface, {{x, y, cyan}});
  }
  // Bottom shadow a 5-pixel line on y 510 (rows 508..512); top edge 2 pixels on y 490.
  for (int x : {10, 48, 85}) {
    ExpectPixels(surface, {{x, 507, White}, {x, 513, White}, {x, 489, cyan}, {x, 490, cyan}, {x, 491, White}});
    for (int y = 508; y <= 512; ++y) ExpectPixels(surface, {{x, y, cyan}});
  }
  ExpectPixels(surface, {{3, 500, cyan}, {4, 500, cyan}, {5, 500, White}});  // left edge: 2 pixels on x 4

  comment = 0;
  surface.Clear(White);
  DrawPanel(surface, panel);
  EXPECT_EQ(surface.Pixel(48, 50), yellow);  // the first switch is off now: raised
  EXPECT_EQ(InkBox(surface, f, 0, 0, 100, 600).count, 0);
}

// The restore note is the same picture as its two lines drawn by hand.
TEST_F(PanelTest, KeyTextStandsAtXPlusTwoLowersByFourAndTheRestoreNoteCarriesTheSlot) {
  REQUIRE_IPA_GOTHIC();
  PanelKey key{.code = 1, .x = 4, .y = 100, .english = "AB", .japanese = "AB", .kind = KeyKind::Label};
  DrawPanelKey(surface, key);
  const Box a = InkBox(surface, PanelText, 0, 80, 100, 130);
  ASSERT_GT(a.count, 0);
  // In two half-width cells of the height-10 font from (6, 100).
  EXPECT_TRUE(a.left >= 6 && a.right < 6 + 10 && a.top >= 100 && a.bottom <= 109)
      << a.left << ".." << a.right << ", " << a.top << ".." << a.bottom;

  Surface lowered;
  key.place = TextPlace::Lowered;
  DrawPanelKey(lowered, key);
  const Box b = InkBox(lowered, PanelText, 0, 80, 100, 130);
  EXPECT_EQ(std::tuple(b.left, b.right, b.top, b.bottom), std::tuple(a.left, a.right, a.top + 4, a.bottom + 4));
  surface.Clear(White);
  LanguageId = EnglishLanguage;
  DrawRestoreNote(surface, 12);
  Surface expected;
  const std::array<std::string_view, 2> lines = {"Restore← [<>] call KEEP12.bmp image;",
                                                 "       All black image [←] no KEEP12.bmp image;"};
  DrawCommentLines(expected, NoteColour, lines);
  EXPECT_EQ(std::memcmp(surface.Data(), expected.Data(), Surface::Width * Surface::Height * 3), 0);
  UsePanelFontFile("");
}

TEST_F(PanelTest, TextsFollowTheLanguageAndFormatTheirValue) {
  int power = 7;
  const PanelKey key{.code = 30, .english = "step %2d", .japanese = "飛値 %2d", .value = &power};
  const std::string japanese = PanelKeyText(key);
  LanguageId = EnglishLanguage;
  const std::string english = PanelKeyText(key);
  power = 123;
  EXPECT_EQ(std::tuple(japanese, english, PanelKeyText(key)), std::tuple("飛値  7", "step  7", "step 123"));

  const std::tuple<const char*, int, const char*> cases[] = {
      {"%4d", 100, " 100"}, {"%3d", -5, " -5"}, {"[%3d", 0, "[  0"}, {"%-3d]", 4, "4  ]"}, {"%02d", 4, "04"},
      {"%d", -2147483647 - 1, "-2147483648"}, {"100%% %d", 3, "100% 3"},
      // Only one field is filled, and a field that is not "%d" is kept as written.
      {"%d %d", 1, "1 %d"}, {"%s%x %d", 9, "%s%x 9"},
  };
  for (const auto& [format, value, text] : cases) EXPECT_EQ(FormatPanelText(format, value), text) << format;
}

TEST_F(PanelTest, HitTestUsesOpenBoundsTheFirstRowWinsAndAValueBoxDeselectsTheOther) {
  const std::array<PanelKey, 3> panel = {{
      {.code = 1, .x = 4, .y = 0, .width = 88, .hit = {4, 0, 92, 22}},
      {.code = 2, .x = 4, .y = 24, .width = 88},
      {.code = 3, .x = 4, .y = 30, .width = 20},  // overlapped by row 2
  }};
  const std::array<int, 3> hits[] = {
      {5, 21, 1},  {4, 10, NoKey} /* left bound open */, {5, 22, NoKey} /* explicit bottom open */,
      {91, 43, 2}, {92, 30, NoKey} /* x + w is outside */,
      {10, 44, 3} /* y + 20 of row 2 is outside, row 3 still holds it */, {10, 35, 2} /* both: the first wins */,
  };
  for (const auto& [x, y, code] : hits) EXPECT_EQ(PanelKeyAt(panel, x, y), code) << x << "," << y;
  EXPECT_EQ(FindPanelKey(panel, 3), &panel[2]);
  EXPECT_EQ(FindPanelKey(panel, 9), nullptr);
  // Box 1, then box 2 (the calculator stays on), then box 2 again: nothing selected, calculator off.
  int selection = 0;
  bool calculator = false;
  for (const auto& [box, after] :
       {std::pair{1, std::pair{1, true}}, std::pair{2, std::pair{2, true}}, std::pair{2, std::pair{0, false}}}) {
    ToggleValueBox(selection, box, calculator);
    EXPECT_EQ(std::pair(selection, calculator), after) << box;
  }
}

// [SECTION] Diamonds, belts, reset mark

TEST_F(PanelTest, DiamondGlyphs) {
  const Rgb c{220, 220, 100}, w = White;
  int x = 78, y = 681;
  DrawDiamondSwitch(surface, x, y, c);
  ExpectPixels(surface, {
      {x, y, c}, {x + 20, y + 20, c}, {x + 20, y + 10, c},  // frame corners: it runs through x + 20 and y + 20
      // Left half, column x + 5: rows y .. y + 4 and y + 15 .. y + 19; hollow between.
      {x + 5, y + 4, c}, {x + 5, y + 5, w}, {x + 5, y + 14, w}, {x + 5, y + 15, c},
      {x + 9, y + 1, w}, {x + 9, y + 10, w},  // the arrow's wide end
      // Right half, column x + 15: rows y + 5 .. y + 14 (a solid triangle), tip at (x + 19, y + 9).
      {x + 15, y + 4, w}, {x + 15, y + 5, c}, {x + 15, y + 14, c}, {x + 15, y + 15, w},
      {x + 19, y + 9, c}, {x + 19, y + 8, w},
  });

  const Rgb d{10, 20, 30};
  y = 254;
  DrawUpDownDiamond(surface, x, y, d);
  ExpectPixels(surface, {
      // Upper half: columns x + 5 and x + 15 cover rows y + 6 .. y + 10, apex below the frame.
      {x + 5, y + 5, w}, {x + 5, y + 6, d}, {x + 15, y + 5, w}, {x + 15, y + 6, d},
      {x + 10, y + 1, d}, {x + 1, y + 9, w},
      // Lower half: x + 5 and x + 15 cover y + 15 .. y + 19.
      {x + 5, y + 14, w}, {x + 5, y + 15, d}, {x + 15, y + 14, w}, {x + 15, y + 15, d},
      {x + 1, y + 11, d}, {x + 11, y + 18, w},
  });
}

// Clicks on one control: the value before, the mouse, whether it was hit, the value after.
struct ClickCase { int before, mouseX, mouseY; bool hit; int after; };

void ExpectClicks(const std::function<bool(int&, int, int)>& click, std::initializer_list<ClickCase> cases) {
  for (const ClickCase& c : cases) {
    int v = c.before;
    EXPECT_EQ(click(v, c.mouseX, c.mouseY), c.hit) << c.before << " at " << c.mouseX << "," << c.mouseY;
    EXPECT_EQ(v, c.after) << c.before << " at " << c.mouseX << "," << c.mouseY;
  }
}

TEST_F(PanelTest, DiamondAndBeltClicksStepClampAndIgnoreTheMiddleAndBeltValuesTruncate) {
  // Step 8 within 1..1000, glyph at (78, 205).
  ExpectClicks([](int& v, int mx, int my) { return DiamondSwitchClick(v, 8, 1, 1000, 78, 205, mx, my); },
               {{100, 80, 215, true, 92}, {92, 95, 215, true, 100},
                {100, 88, 215, false, 100} /* column x + h */, {100, 78, 215, false, 100} /* open left bound */,
                {100, 98, 215, false, 100}, {100, 80, 225, false, 100},
                {1000, 95, 215, true, 1000} /* at the upper bound it stays */, {5, 80, 215, true, 1}});
  // FILTER's step: upper + 4, lower - 4, within 2..98, glyph at (78, 681).
  ExpectClicks([](int& v, int mx, int my) { return UpDownDiamondClick(v, 4, 2, 98, 78, 681, mx, my); },
               {{8, 85, 685, true, 12}, {12, 85, 695, true, 8}, {8, 85, 691, false, 8} /* row y + h */,
                {98, 85, 685, true, 98}});
  // Belts at y 238: the ends and the row below are open; a double belt's lower strip has its own range.
  ExpectClicks([](int& v, int mx, int my) { return BeltClick(v, {0, 100}, 238, mx, my); },
               {{100, 2, 243, false, 100}, {100, 98, 243, false, 100}, {100, 50, 248, false, 100}});
  ExpectClicks([](int& v, int mx, int my) { return DoubleBeltClick(v, {0, 100}, {100, 1000}, 238, mx, my); },
               {{100, 3, 243, true, 1}, {1, 97, 253, true, 990},
                {990, 50, 248, false, 990} /* between the strips */});
  const std::tuple<int, BeltRange, int> values[] = {
      {3, {0, 100}, 1},       // 100 / 96
      {97, {0, 100}, 98},     // 95 * 100 / 96 = 98.96
      {50, {0, 100}, 50},     // 48 * 100 / 96
      {3, {100, 1000}, 109},  // 100 + 900 / 96
      {97, {100, 1000}, 990},
      {3, {255, 0}, 253},  // a falling range: 255 - 255 / 96 toward zero
  };
  for (const auto& [mouseX, range, value] : values) EXPECT_EQ(BeltValue(mouseX, range), value) << mouseX;
  const std::tuple<int, BeltRange, int> fills[] = {
      {50, {0, 100}, 48}, {1000, {0, 100}, 96} /* at most the belt */, {50, {100, 1000}, 0}, {550, {100, 1000}, 48}};
  for (const auto& [value, range, filled] : fills) EXPECT_EQ(BeltFill(value, range), filled) << value;
}

TEST_F(PanelTest, ResetMarkBars) {
  const Rgb c{192, 16, 32}, w = White;  // colour 2 (FILTER's dark mark at (2, 22))
  DrawResetMark(surface, 2, 22, ResetMarkUnit, 2);
  ExpectPixels(surface, {
      {2, 22, c}, {4, 51, c}, {2, 52, w},                // bar 1: columns 2..4, rows 22..51
      {10, 33, c}, {7, 36, w}, {10, 40, c},              // bars 2, 3: columns 5..10, rows 22..33 and 40..51
      {28, 27, c}, {29, 22, w}, {20, 28, w},             // bar 4: columns 11..28, rows 22..27
      {34, 45, c}, {35, 45, w}, {40, 51, c}, {41, 51, w},  // bar 6: 29..34 x 28..45; bar 7: 23..40 x 46..51
      {46, 22, c}, {47, 30, w}, {35, 39, c}, {35, 40, w},  // bar 9: 41..46 x 22..33; bar 8: 35..46 x 34..39
  });
  // Nine bars with no overlap: 774 pixels in all, nothing outside 45 x 30.
  EXPECT_EQ(std::pair(InkBox(surface, c, 0, 0, 100, 100).count, InkBox(surface, c, 2, 22, 47, 52).count),
            std::pair(774, 774));

  surface.Clear(White);
  DrawResetMark(surface, 10, 92, ResetMarkUnit, 0);
  EXPECT_EQ(surface.Pixel(10, 92), (Rgb{16, 32, 96}));
  DrawResetMark(surface, 60, 92, ResetMarkUnit, 10);  // no such colour: nothing
  EXPECT_EQ(InkBox(surface, White, 60, 92, 105, 122).count, 45 * 30);
}

// [SECTION] Calculator

class CalculatorTest : public PanelTest {
 protected:
  void SetUp() override { PanelTest::SetUp(); ResetCalculator(); }
  // Clicks the middle of the hit region of the key of a code (or of a digit).
  bool Press(int code, bool byDigit = false) {
    for (const CalcKey& key : pad.keys)
      if ((byDigit ? key.digit : key.code) == code)
        return CalculatorClick(pad, calculatorSwitch, (key.hit.left + key.hit.right) / 2,
                               (key.hit.top + key.hit.bottom) / 2);
    return false;
  }
  void Paint(int* selected) {
    surface.Clear(White);
    DrawKeypad(surface, pad, calculatorSwitch);
    ServeCalculator(surface, pad, selected);
  }
  // Each digit pressed and followed by a paint.
  void Type(std::initializer_list<int> digits, int* selected = nullptr) {
    for (int d : digits) {
      EXPECT_TRUE(Press(d, true)) << d;
      Paint(selected);
    }
  }
  Keypad pad = FilterKeypad;
  bool calculatorSwitch = false;
};

// What a click at (x, y) hits: the key's code and digit (digit keys are codes
// 10..18 for "７" .. "３" and 19 for "０"; the others have digit -1), code 0 for none.
struct KeyHit { int x, y, code, digit = -1; };

TEST_F(CalculatorTest, FilterKeypadIsTheDesignedTableAndItsSwitchTogglesAndRequestsTheNote) {
  const auto expectKeys = [](const Keypad& keypad, std::initializer_list<KeyHit> hits) {
    for (const KeyHit& h : hits) {
      const CalcKey* key = CalcKeyAt(keypad, h.x, h.y);
      EXPECT_EQ(std::pair(key ? key->code : 0, key ? key->digit : -1), std::pair(h.code, h.digit))
          << "at " << h.x << "," << h.y;
    }
  };
  expectKeys(pad, {
      {20, 540, 10, 7}, {35, 540, 0} /* between the columns 8..34 and 36..62 */, {61, 590, 17, 2},
      {91, 566, 15, 6}, {20, 620, 19, 0}, {60, 620, 0} /* the display is not a key */,
      {49, 515, CalcSwitchCode}, {91, 524, CalcAllClearCode}, {91, 525, 0},
      {31, 645, CalcAddCode}, {32, 645, 0}, {39, 645, CalcSubtractCode}, {69, 645, CalcClearCode},
  });
  // Another page's arrangement: rows 20 apart under a 26-pixel first gap.
  const Keypad unic = MakeKeypad({623, {649, 669, 689}, 709, 729, 84});
  expectKeys(unic, {{9, 624, CalcSwitchCode}, {33, 650, 10, 7}, {65, 688, 15, 6}, {65, 690, 18, 3},
                    {69, 748, CalcClearCode}});

  CommentPanel.request = 99;
  EXPECT_FALSE(CalculatorClick(pad, calculatorSwitch, 95, 540));
  EXPECT_EQ(CommentPanel.request, 99);
  EXPECT_TRUE(Press(CalcSwitchCode));
  EXPECT_EQ(std::pair(calculatorSwitch, CommentPanel.request), std::pair(true, CalculatorNoteRequest));
  Paint(nullptr);
  EXPECT_EQ(surface.Pixel(20, 505), SwitchFrame);  // "cal" drawn on
  Press(CalcSwitchCode);
  EXPECT_FALSE(calculatorSwitch);
}

TEST_F(CalculatorTest, FourDigitsMakeANumberAndAFifthDiscardsIt) {
  Type({1, 2, 3, 4});
  EXPECT_EQ(std::pair(Calc.number, Calc.digitCount), std::pair(1234, 4));
  Paint(nullptr);  // a paint without a click changes nothing
  Paint(nullptr);
  EXPECT_EQ(std::pair(Calc.number, Calc.digitCount), std::pair(1234, 4));
  Type({5});
  EXPECT_EQ(std::pair(Calc.number, Calc.digitCount), std::pair(0, 0));
  Type({9});
  EXPECT_EQ(Calc.number, 9);  // a new entry starts from the next digit
}

TEST_F(CalculatorTest, DisplayIsRightAlignedByDigitCount) {
  REQUIRE_IPA_GOTHIC();
  Type({1, 2, 3, 4});
  // "1234" at x 90 - 40 = 50, ten pixels a digit: ink within 50..89.
  const Box four = InkBox(surface, PanelText, 40, 609, 100, 629);
  ASSERT_GT(four.count, 0);
  EXPECT_TRUE(four.left >= 50 && four.left < 60 && four.right >= 80 && four.right < 90)
      << four.left << ".." << four.right;
  UsePanelFontFile("");
}

TEST_F(CalculatorTest, PlusAppliesOnceMinusWaitsForAValueBoxAndAllClearZeroesIt) {
  int power = 100;
  Type({2, 5}, &power);
  EXPECT_EQ(power, 100);  // digits alone do not change the value
  EXPECT_TRUE(Press(CalcAddCode));
  Paint(&power);
  EXPECT_EQ(std::tuple(power, Calc.number, Calc.operation, Calc.delta, Calc.digitCount), std::tuple(125, 0, 0, 0, 0));
  Paint(&power);
  EXPECT_EQ(power, 125);  // applied once

  int step = 50;
  Type({7});
  EXPECT_TRUE(Press(CalcSubtractCode));
  Paint(nullptr);
  Paint(nullptr);
  EXPECT_EQ(std::pair(Calc.operation, Calc.delta), std::pair(2, -7));
  Type({3});  // not taken while the operation waits
  EXPECT_EQ(Calc.number, 7);
  Paint(&step);  // a value box is selected now
  EXPECT_EQ(std::pair(step, Calc.operation), std::pair(43, 0));

  int value = 321;
  Type({4});
  Press(CalcAllClearCode);
  Paint(nullptr);  // nothing selected: the number is cleared, ＡＣ waits
  EXPECT_EQ(std::pair(Calc.number, Calc.clear), std::pair(0, 2));
  Paint(&value);
  EXPECT_EQ(std::pair(value, Calc.clear), std::pair(0, 0));

  Press(6, true);
  Press(CalcClearCode);  // "Ｃ" clears the number only
  value = 10;
  Paint(&value);
  EXPECT_EQ(std::pair(Calc.number, value), std::pair(0, 10));
}

// [SECTION] Comments

constexpr CommentText PageComment = {.lines = {{{"FILTER [<>] (A)call a image;", "フィルタ [<>] (A)画像を呼び出す;"}}}};
constexpr std::array<CommentText, 2> Explanations = {{
    {.selector = 2, .colour = ExplainGreen, .lines = {{{"color power [<>] ...", "色の強弱 [<>] ..."}}}},
    {.selector = 7, .colour = ExplainRed, .lines = {{{"reset mark", "リセット"}, {"second line", "二行目"}}}},
}};
const PageComments FilterComments{.commentCode = 1, .slot = 1, .hasCalculator = true, .comment = &PageComment,
                                  .explanations = Explanations};

// One paint's comment step on a cleared surface, for a request.
int Serve(Surface& s, const PageComments& page, int request, int& selector) {
  s.Clear(White);
  CommentPanel.request = request;
  return ServeComments(s, page, selector);
}
int TextAreaCount(const Surface& s, Rgb colour) { return InkBox(s, colour, 100, 700, 1100, 790).count; }
// Ink of a colour on the first and on the second comment line.
std::pair<bool, bool> OnLines(const Surface& s, Rgb colour) {
  return {InkBox(s, colour, 120, 708, 1100, 722).count > 0, InkBox(s, colour, 120, 722, 1100, 736).count > 0};
}

TEST_F(PanelTest, APageShowsWhatItCarriesForOnePaintAndResetsTheSelectorAndTheLegendHasItsColours) {
  int selector = 2;
  EXPECT_EQ(Serve(surface, FilterComments, RestoreNoteRequest, selector), RestoreNoteRequest);
  EXPECT_EQ(OnLines(surface, NoteColour), std::pair(true, true));
  EXPECT_EQ(std::tuple(TextAreaCount(surface, ExplainGreen), CommentPanel.request, selector),
            std::tuple(0, int{NoCommentRequest}, 0));  // the selector was reset first
  EXPECT_EQ(Serve(surface, FilterComments, CommentPanel.request, selector), NoCommentRequest);
  EXPECT_EQ(TextAreaCount(surface, NoteColour), 0);

  selector = 7;
  Serve(surface, FilterComments, NoCommentRequest, selector);
  EXPECT_EQ(OnLines(surface, ExplainRed), std::pair(true, true));
  EXPECT_EQ(selector, 0);
  Serve(surface, FilterComments, NoCommentRequest, selector);
  EXPECT_EQ(TextAreaCount(surface, ExplainRed), 0);
  selector = 5;  // no such explanation: nothing drawn, still reset
  Serve(surface, FilterComments, NoCommentRequest, selector);
  EXPECT_EQ(selector, 0);

  // A page serves only what it carries.
  selector = 2;
  EXPECT_EQ(Serve(surface, FilterComments, 1, selector), 1);
  EXPECT_GT(TextAreaCount(surface, CommentColour), 0);
  EXPECT_EQ(std::pair(TextAreaCount(surface, ExplainGreen), CommentPanel.request), std::pair(0, int{NoCommentRequest}));
  EXPECT_EQ(Serve(surface, FilterComments, CalculatorNoteRequest, selector), CalculatorNoteRequest);
  EXPECT_GT(TextAreaCount(surface, NoteColour), 0);

  // A page without a calculator leaves the request for its own pages.
  PageComments plain = FilterComments;
  plain.hasCalculator = false;
  EXPECT_EQ(Serve(surface, plain, CalculatorNoteRequest, selector), NoCommentRequest);
  EXPECT_EQ(std::pair(TextAreaCount(surface, NoteColour), CommentPanel.request),
            std::pair(0, int{CalculatorNoteRequest}));

  // TOP serves nothing while comments are off.
  PageComments top = FilterComments;
  top.commentCode = top.slot = 0;
  top.onlyWhileCommentOn = true;
  CommentPanel.on = 0;
  selector = 2;
  EXPECT_EQ(Serve(surface, top, 0, selector), NoCommentRequest);
  EXPECT_EQ(std::pair(TextAreaCount(surface, CommentColour), TextAreaCount(surface, ExplainGreen)), std::pair(0, 0));
  CommentPanel.on = 1;
  EXPECT_EQ(Serve(surface, top, 0, selector), 0);
  EXPECT_EQ(selector, 0);
  surface.Clear(White);
  DrawNotationLegend(surface);
  const Rgb red{200, 100, 100}, blue{100, 100, 200};
  // Whether each band of rows holds ink of a colour; the heading first.
  const std::tuple<Rgb, int, bool> bands[] = {
      {PanelText, 574, true}, {red, 594, true}, {blue, 594, false}, {blue, 612, true}, {blue, 684, true}};
  for (const auto& [colour, row, inked] : bands)
    EXPECT_EQ(InkBox(surface, colour, 0, row, 100, row + 12).count > 0, inked) << row;
}

}  // namespace
