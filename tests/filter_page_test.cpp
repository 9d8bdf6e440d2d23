// The FILTER page through the whole program: the colour power stored byte by
// byte as KEEP1, the bar, diamond and calculator values, the channel levels
// that the TOP page's pass then pivots on, and the golden screens.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "image/bmp_files.h"
#include "image/planes.h"
#include "pages/filter/filter_page.h"
#include "pages/kit/page_state.h"
#include "pages/tone/tone_state.h"
#include "ops/vantor_eye.h"
#include "panel/calculator.h"
#include "platform/picture_loader.h"
#include "platform/text.h"
#include "reference/colour_power_literal.h"
#include "support/golden.h"
#include "support/program_session.h"

namespace {

// Client points of the controls.
constexpr int FilterTabX = 180, TopTabX = 120, TabY = 10;
constexpr int PowerDiamondY = 215;
constexpr int UpperBarY = 243, LowerBarY = 253;

struct KeyPoint {
  int x, y;
};
constexpr KeyPoint DigitKey[10] = {{20, 619}, {20, 593}, {49, 593}, {78, 593}, {20, 567},
                                   {49, 567}, {78, 567}, {20, 541}, {49, 541}, {78, 541}};
constexpr KeyPoint AddKey{20, 645}, AllClearKey{74, 515};

Rgb Gradient(int x, int y) {
  return Rgb{static_cast<std::uint8_t>(x * 255 / 199), static_cast<std::uint8_t>(y * 255 / 149),
             static_cast<std::uint8_t>(40 + (x + y) / 3)};
}

// Left half (red 60, green 100, blue 140), right half (180, 30, 220).
Rgb TwoBlocks(int x, int) { return x < 100 ? Rgb{60, 100, 140} : Rgb{180, 30, 220}; }

// A session on the FILTER page with a 200 x 150 gradient picture.
struct FilterSession {
  ProgramSession s;
  explicit FilterSession(Rgb (*colour)(int, int) = Gradient, int width = 200, int height = 150) {
    s.StartOnPage(1, colour, width, height);
  }
};

// Colour power at one power over a bottom-up canvas, by the literal form.
std::vector<std::uint8_t> LiteralPowered(const std::vector<std::uint8_t>& canvas, int power) {
  std::array<std::vector<std::uint32_t>, 3> planes;
  for (std::size_t k = 0; k < 3; ++k) {
    planes[k].resize(canvas.size() / 3);
    for (std::size_t i = 0; i < planes[k].size(); ++i) planes[k][i] = canvas[3 * i + k];
  }
  LiteralColourPower(PlaneView{{planes[0].data(), planes[1].data(), planes[2].data()}, Stride, CanvasRows},
                     {power, power, power});
  std::vector<std::uint8_t> out(canvas.size());
  for (std::size_t k = 0; k < 3; ++k)
    for (std::size_t i = 0; i < planes[k].size(); ++i) out[3 * i + k] = static_cast<std::uint8_t>(planes[k][i]);
  return out;
}

void Type(ProgramSession& s, std::initializer_list<int> digits) {
  for (int d : digits) s.Click(DigitKey[d].x, DigitKey[d].y);
}

TEST(FilterPage, ActionThenSetStoresColourPower100ByteByByte) {
  FilterSession f;
  // With the action off the page shows the inner memory, the picture itself.
  const std::vector<std::uint8_t> source = f.s.ShownCanvas();
  EXPECT_EQ(f.s.Pixel(100, 32), Gradient(0, 0));
  EXPECT_EQ(f.s.Pixel(100 + 120, 32 + 60), Gradient(120, 60));

  f.s.ClickControl(PageFilter, "action");
  EXPECT_EQ(FilterPage.values.colourPowerOn, 1);
  const std::vector<std::uint8_t> expected = LiteralPowered(source, 100);
  ASSERT_NE(expected, source);  // the power changes the picture
  EXPECT_EQ(f.s.ShownCanvas(), expected);

  f.s.ClickControl(PageFilter, "set KEEP1");
  EXPECT_EQ(FileBytes(f.s.PathIn("KEEP1.bmp")), KeepFileOf(expected));
  // Further paints never apply the power twice.
  f.s.Paint();
  f.s.ClickControl(PageFilter, "color power");  // only an explanation
  EXPECT_EQ(f.s.ShownCanvas(), expected);

  // Action off: the inner memory again, unchanged.
  f.s.ClickControl(PageFilter, "action");
  EXPECT_EQ(f.s.ShownCanvas(), source);
}

TEST(FilterPage, BarsAndDiamondsSetTheColourPower) {
  FilterSession f;
  struct Case {
    int x, y, power;
  };
  const Case cases[] = {{3, UpperBarY, 1}, {97, UpperBarY, 98}, {3, LowerBarY, 109}, {97, LowerBarY, 990}};
  for (const Case& c : cases) {
    FilterPage.values.channelPowerMode = 2;
    f.s.Click(c.x, c.y);
    EXPECT_EQ(FilterPage.values.colourPower, c.power) << "bar at " << c.x << ", " << c.y;
    EXPECT_EQ(FilterPage.values.channelPowerMode, 0);
  }
  // Diamond: step 8 down and up; the boundary column 88 changes nothing.
  f.s.Click(83, PowerDiamondY);
  EXPECT_EQ(FilterPage.values.colourPower, 982);
  f.s.Click(88, PowerDiamondY);
  EXPECT_EQ(FilterPage.values.colourPower, 982);
  for (int i = 0; i < 4; ++i) f.s.Click(93, PowerDiamondY);
  EXPECT_EQ(FilterPage.values.colourPower, 1000);
  f.s.Click(3, UpperBarY);
  f.s.Click(83, PowerDiamondY);
  EXPECT_EQ(FilterPage.values.colourPower, 1);
  // The step diamond: +4 up to 98, -4 down to 2.
  f.s.Click(88, 686);
  EXPECT_EQ(FilterPage.values.diamondStep, 12);
  for (int i = 0; i < 30; ++i) f.s.Click(88, 696);
  EXPECT_EQ(FilterPage.values.diamondStep, 2);
  // The dark reset mark puts every value back.
  f.s.Click(20, 40);
  EXPECT_EQ(FilterPage.values.colourPower, 100);
  EXPECT_EQ(FilterPage.values.diamondStep, 8);
}

TEST(FilterPage, CalculatorOnTheColourPower) {
  FilterSession f;
  // Keys do nothing while the calculator is off.
  Type(f.s, {7});
  EXPECT_EQ(Calc.digitCount, 0);

  f.s.ClickControl(PageFilter, "%4d");  // selects the colour power box, calculator on
  EXPECT_EQ(FilterPage.calculatorTarget, FilterTargetColourPower);
  EXPECT_EQ(Calc.on, 1);
  Type(f.s, {2, 5});
  f.s.Click(AddKey.x, AddKey.y);
  EXPECT_EQ(FilterPage.values.colourPower, 125);

  // A fifth digit discards the entry: "＋" then adds nothing.
  Type(f.s, {1, 2, 3, 4, 5});
  EXPECT_EQ(Calc.number, 0);
  f.s.Click(AddKey.x, AddKey.y);
  EXPECT_EQ(FilterPage.values.colourPower, 125);

  // Above the range the clamp keeps 1000.
  Type(f.s, {9, 9, 9, 9});
  f.s.Click(AddKey.x, AddKey.y);
  EXPECT_EQ(FilterPage.values.colourPower, 1000);

  // "ＡＣ" sets 0, which the clamp turns into 1.
  f.s.Click(AllClearKey.x, AllClearKey.y);
  EXPECT_EQ(FilterPage.values.colourPower, 1);

  // Selecting the step box moves the calculator's target there.
  f.s.ClickControl(PageFilter, "%2d");
  EXPECT_EQ(FilterPage.calculatorTarget, FilterTargetStep);
  Type(f.s, {9, 0});
  f.s.Click(AddKey.x, AddKey.y);
  EXPECT_EQ(FilterPage.values.diamondStep, 98);
  EXPECT_EQ(FilterPage.values.colourPower, 1);
  // Deselecting turns the calculator off.
  f.s.ClickControl(PageFilter, "%2d");
  EXPECT_EQ(Calc.on, 0);
}

// The F pass of the TOP page on the shown picture, with the reference colour
// as it stands.
std::vector<std::uint8_t> TopPassAfter(bool visitFilter, std::array<int, 3> reference) {
  ResetToneState();
  ProgramSession s;
  const std::string picture = s.PathIn("blocks.bmp");
  WriteTestPicture(picture, 200, 100, TwoBlocks);
  s.Start(picture);
  if (visitFilter) {
    s.Click(FilterTabX, TabY);
    s.Click(TopTabX, TabY);
  } else {
    Tone.eye.reference = reference;
  }
  s.ClickControl(PageTop, "F");
  return s.ShownCanvas();
}

TEST(FilterPage, VisitSetsTheLevelsTheTopPassPivotsOn) {
  // Worked by hand: 100 x 100 left pixels and as many right ones, so half
  // of the 20,000 is 10,000. Red: 60 (10,000) and 180: the last value whose
  // running count is still below half is 59. Green: 30 (10,000) and 100: 29.
  // Blue: 140 (10,000) and 220: 139.
  ResetToneState();
  {
    ProgramSession s;
    WriteTestPicture(s.PathIn("blocks.bmp"), 200, 100, TwoBlocks);
    s.Start(s.PathIn("blocks.bmp"));
    s.Click(FilterTabX, TabY);
    EXPECT_EQ(Tone.eye.reference, (std::array<int, 3>{139, 29, 59}));
  }
  const auto afterFilter = TopPassAfter(true, {});
  const auto pivoted = TopPassAfter(false, {139, 29, 59});
  const auto onBlack = TopPassAfter(false, {0, 0, 0});
  EXPECT_EQ(afterFilter, pivoted);
  EXPECT_NE(afterFilter, onBlack);
  ResetToneState();
}

TEST(FilterPage, ResetMarksAndTopResetReturnTheValues) {
  FilterSession f;
  f.s.ClickControl(PageFilter, "action");
  f.s.Click(97, LowerBarY);
  f.s.Click(88, 686);
  // The light mark: switches only.
  f.s.Click(70, 40);
  EXPECT_EQ(FilterPage.values.colourPowerOn, 0);
  EXPECT_EQ(FilterPage.values.colourPower, 990);
  EXPECT_EQ(FilterPage.values.diamondStep, 12);
  // The TOP page's reset mark: colour power off at 100, light core 0 .. 255.
  f.s.ClickControl(PageFilter, "action");
  FilterPage.values.lightCoreStart = 40;
  f.s.Click(TopTabX, TabY);
  f.s.Click(40, 105);
  EXPECT_EQ(FilterPage.values.colourPowerOn, 0);
  EXPECT_EQ(FilterPage.values.colourPower, 100);
  EXPECT_EQ(FilterPage.values.lightCoreStart, 0);
  EXPECT_EQ(FilterPage.values.lightCoreEnd, 255);
}

// The golden screens: FILTER with the action on and its explanation.
void CheckGolden(const std::string& name, bool english) {
  ProgramSession s;
  const std::string picture = s.PathIn("picture.bmp");
  WriteTestPicture(picture, 200, 150, Gradient);
  s.Start(picture);
  if (english) s.ClickControl(PageTop, "ENGLISH");  // TOP's language switch
  s.Click(FilterTabX, TabY);
  s.ClickControl(PageFilter, "action");
  EXPECT_GOLDEN(name, s.window().Shown());
}

TEST(FilterPageGolden, Japanese) { CheckGolden("filter_japanese", false); }
TEST(FilterPageGolden, English) { CheckGolden("filter_english", true); }

}  // namespace
