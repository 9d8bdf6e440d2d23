// The FILTER page: its pixel operations worked by hand and their fast forms
// against the literal ones, byte for byte; then the page through the whole
// program: KEEP1, its controls, the levels TOP's pass pivots on, the goldens.
//
// [SECTION] Hand-worked values: tone curve, grey, colour power, balances, light core
// [SECTION] The settings clamp and the fast forms against the literal ones
// [SECTION] The page through the whole program

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <random>
#include <tuple>
#include <vector>

#include "image/gray.h"
#include "ops/colour_power.h"
#include "pages/filter/filter_page.h"
#include "pages/kit/page_state.h"
#include "pages/tone/tone_state.h"
#include "panel/calculator.h"
#include "reference/colour_power_literal.h"
#include "support/golden.h"
#include "support/program_session.h"

namespace {

using Rgb3 = std::array<std::uint32_t, 3>;  // red, green, blue

// One pixel through the colour power.
Rgb3 Powered(const Rgb3& rgb, const FilterSettings& s) {
  TestPlanes p(1, 1);
  p.Set(0, 0, rgb[0], rgb[1], rgb[2]);
  ApplyColourPower(p.View(), s);
  return {p.plane[2][0], p.plane[1][0], p.plane[0][0]};
}

FilterSettings CommonPower(int power) { return {.colourPower = power, .channelPower = {}}; }

FilterLevels SameLevels(int low, int high) { return {{{low, 0, high}, {low, 0, high}, {low, 0, high}}}; }

// A balance worked by hand: `sample` of `plane` under `levels` gives `want`.
struct BalanceCase { FilterLevels levels; int sample, plane, want; };

// The case through the one-sample form and through the whole-view form.
template <typename OneSample, typename WholeView>
std::array<int, 2> Balanced(const BalanceCase& c, OneSample oneSample, WholeView wholeView) {
  TestPlanes p(1, 1);
  const auto plane = static_cast<std::size_t>(c.plane);
  p.plane[plane][0] = static_cast<std::uint32_t>(c.sample);
  wholeView(p.View(), c.levels);
  return {oneSample(c.sample, c.plane, c.levels), static_cast<int>(p.plane[plane][0])};
}

// [SECTION] Hand-worked values: tone curve, grey, colour power, balances, light core

TEST(ToneCurve, EndsPeakAndKnownPointsAndTheGreyRules) {
  const ToneCurve w = BuildToneCurve();
  EXPECT_EQ(std::pair(w[0], w[255]), std::pair(0.0, 0.0));
  // f(75) = sqrt(65025 - 180^2) - 75 = 105.62 is the largest gap.
  EXPECT_EQ(w[75], 1.0);
  for (double value : w) EXPECT_LE(value, 1.0);
  EXPECT_NEAR(w[128], (std::sqrt(48896.0) - 128) / (std::sqrt(32625.0) - 75), 1e-12);  // 0.8817
  EXPECT_NEAR(w[200], 0.4639, 1e-4);  // (sqrt(62000) - 200) / 105.62
  EXPECT_EQ(GrayOf(100, 70, 40), 75);     // 29.9 + 41.09 + 4.56 = 75.55
  for (int v = 0; v < 256; ++v) EXPECT_EQ(GrayOf(v, v, v), v);  // for 128 the double sum is 127.99999...
  EXPECT_EQ(GrayTruncated(-10, 0, 0), -2);  // -2.99 toward zero
  EXPECT_EQ(GrayTruncated(INT_MIN, INT_MIN, INT_MIN), INT_MIN);
  // The rounded form adds half a level before truncating.
  for (int v = 0; v < 256; ++v) EXPECT_EQ(RoundedGrayOf(v, v, v), v);
  EXPECT_EQ(RoundedGrayOf(100, 70, 40), 76);  // 75.55
  EXPECT_EQ(GrayRounded(4000000000LL, 0, 0), 1196000000LL);  // samples past 32 bits stay exact
}

TEST(ColourPower, GreysStayAtEveryPowerAndHandWorkedPixels) {
  const FilterSettings settings[] = {CommonPower(1), CommonPower(100), CommonPower(200), CommonPower(1000),
                                     {.channelPowerMode = 2, .channelPower = {700, 3, 1000}}};
  for (const FilterSettings& s : settings)
    for (std::uint32_t v = 0; v < 256; ++v)
      EXPECT_EQ(Powered({v, v, v}, s), (Rgb3{v, v, v})) << "grey " << v << " power " << s.colourPower;
  // Gray 75, where W = 1: the colour difference (25, -5, -35) is scaled by
  // power / 100 exactly. A light colour, gray 207, W = 0.4113: differences
  // 33, -12, -17 become 13.57, -4.94, -6.99, truncated toward zero to 13, -4,
  // -6. Per channel: red doubled, green kept, blue's colour taken away (the
  // common power is not used then).
  const FilterSettings perChannel{.colourPower = 1, .channelPowerMode = 1, .channelPower = {200, 100, 0}};
  const struct { Rgb3 in; FilterSettings s; Rgb3 want; } cases[] = {
      {{100, 70, 40}, CommonPower(100), {100, 70, 40}},
      {{100, 70, 40}, CommonPower(200), {125, 65, 5}},
      {{100, 70, 40}, CommonPower(1000), {255, 25, 0}},  // clamped
      {{240, 195, 190}, CommonPower(100), {220, 203, 201}},
      {{100, 70, 40}, perChannel, {125, 70, 75}}};
  for (const auto& c : cases)
    EXPECT_EQ(Powered(c.in, c.s), c.want) << "red " << c.in[0] << " power " << c.s.colourPower;
  EXPECT_EQ(CommonPowerOfChannels(perChannel.channelPower), 118);  // 59.8 + 58.7
  EXPECT_EQ(CommonPowerOfChannels({128, 128, 128}), 128);
}

TEST(ColourBalance, PeachMapsLevelsToTenAnd244AndBerryCentresEveryChannel) {
  const FilterLevels same = SameLevels(20, 220), mixed{{{0, 0, 117}, {50, 0, 200}, {20, 0, 220}}};
  // One empty range: every channel is only shifted down by its low level.
  const FilterLevels flat{{{0, 0, 117}, {80, 80, 80}, {20, 0, 220}}};
  const BalanceCase cases[] = {
      {same, 20, 2, 10},    {same, 220, 2, 244}, {same, 120, 1, 127},  // 100 * 234 / 200 + 10
      {same, 19, 0, 9},                                                // -1.17 toward zero
      {same, 0, 0, 0},      {same, 255, 0, 255},                       // -13 and 284, clamped
      {mixed, 117, 0, 244}, {mixed, 50, 0, 110}, {mixed, 50, 1, 10},   // each channel by its own levels
      {flat, 50, 0, 50},    {flat, 100, 1, 20},  {flat, 30, 1, 0},     {flat, 20, 2, 0}};
  for (const BalanceCase& c : cases)
    EXPECT_EQ(Balanced(c, PeachSample, ApplyPeach), (std::array{c.want, c.want})) << c.sample << " plane " << c.plane;
  // Berry: widest range 200: gain 1, each channel centred by (255 - range) / 2.
  // Widest range 100: gain 2. No range at all: D = 1, gain 255, a threshold
  // around the level.
  const FilterLevels centred{{{20, 0, 120}, {50, 0, 200}, {10, 0, 210}}};
  const FilterLevels narrow = SameLevels(60, 160), none = SameLevels(90, 90);
  const BalanceCase berries[] = {
      {same, 20, 0, 27},       {same, 220, 0, 227},    {same, 120, 2, 127},     {centred, 20, 0, 77},
      {centred, 120, 0, 177},  {centred, 50, 1, 52},   {centred, 200, 1, 202},  {centred, 210, 2, 227},
      {narrow, 60, 0, 27},  {narrow, 110, 0, 127}, {narrow, 160, 0, 227}, {narrow, 200, 0, 255},
      {none, 90, 0, 127},   {none, 91, 0, 255},    {none, 89, 0, 0}};
  for (const BalanceCase& c : berries)
    EXPECT_EQ(Balanced(c, BerrySample, ApplyBerry), (std::array{c.want, c.want})) << c.sample << " plane " << c.plane;
}

TEST(LightCore, StretchesTheCoreThresholdsAndReadsCanvasBytes) {
  const struct { int sample, start, end, want; } cases[] = {
      {100, 100, 150, 0}, {110, 100, 150, 50}, {150, 100, 150, 250}, {151, 100, 150, 255},  // g = 255 / 50 = 5
      {99, 100, 150, 0},  {128, 128, 129, 0},  {129, 128, 129, 255},                        // one-wide: a threshold at f
      {77, 0, 255, 77},   {101, 100, 100, 255}};                                            // meeting ends: one-wide
  for (const auto& c : cases)
    EXPECT_EQ(LightCoreSample(c.sample, c.start, c.end), c.want) << c.sample << " in " << c.start << ".." << c.end;
  // 2 x 2 canvas, bytes blue, green, red per pixel.
  const std::vector<std::uint8_t> canvas{10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120};
  TestPlanes p(2, 2);
  ApplyLightCore(canvas, p.View(), 0, 255);
  for (std::size_t i = 0; i < 4; ++i)
    for (std::size_t k = 0; k < 3; ++k) EXPECT_EQ(p.plane[k][i], canvas[3 * i + k]);
  ApplyLightCore(canvas, p.View(), 200, 210);  // everything below the core
  for (std::size_t k = 0; k < 3; ++k) EXPECT_EQ(p.plane[k], std::vector<std::uint32_t>(4, 1u));
  // A canvas too short for the view fills only the rows it holds.
  TestPlanes q(2, 3);
  ApplyLightCore(canvas, q.View(), 0, 255);
  EXPECT_EQ(std::pair(q.plane[0][4], q.plane[0][3]), std::pair(0u, 100u));
}

// [SECTION] The settings clamp and the fast forms against the literal ones

TEST(Settings, ClampSpectrumCoreMarkerAndTheFastFormsAgainstTheLiteralOnes) {
  // Start f, t, colour power, step and what the clamp keeps of them; a power
  // of 0 is what "ＡＣ" leaves.
  const struct { std::array<int, 4> in, want; } clamps[] = {
      {{-5, 255, 100, 8}, {0, 255, 100, 8}},    {{100, 50, 100, 8}, {100, 101, 100, 8}},
      {{100, 100, 100, 8}, {100, 101, 100, 8}}, {{0, 0, 100, 8}, {0, 1, 100, 8}},
      {{300, 10, 100, 8}, {254, 255, 100, 8}},  {{0, 300, 100, 8}, {0, 255, 100, 8}},
      {{0, -3, 100, 8}, {0, 1, 100, 8}},        {{254, 255, 100, 8}, {254, 255, 100, 8}},
      {{0, 255, 0, 1}, {0, 255, 1, 2}},         {{0, 255, 5000, 102}, {0, 255, 1000, 98}}};
  for (const auto& [in, want] : clamps) {
    FilterSettings s{
        .colourPower = in[2], .channelPower = {}, .lightCoreStart = in[0], .lightCoreEnd = in[1], .diamondStep = in[3]};
    ClampFilterSettings(s);
    EXPECT_EQ((std::array{s.lightCoreStart, s.lightCoreEnd, s.colourPower, s.diamondStep}), want)
        << in[0] << ".." << in[1];
  }
  // Switch, f, t and the core left by the collapse (switch off: unchanged).
  const struct { bool on; int f, t, wantF, wantT; } cores[] = {
      {false, 0, 255, 0, 255}, {true, 0, 255, 127, 128}, {true, 10, 12, 11, 12}};
  for (const auto& c : cores) {
    FilterSettings core{.channelPower = {}, .lightCoreStart = c.f, .lightCoreEnd = c.t, .spectrumCoreOn = c.on};
    CollapseSpectrumCore(core);
    EXPECT_EQ((std::array{core.lightCoreStart, core.lightCoreEnd}), (std::array{c.wantF, c.wantT}))
        << c.on << ": " << c.f << ".." << c.t;
  }
  // m 127 -> 25 + 24.
  EXPECT_EQ(std::tuple(LightCoreMarkerX(0, 255), LightCoreMarkerX(0, 1), LightCoreMarkerX(254, 255)), std::tuple(49, 24, 75));
  // Random bytes with the edge values and some samples no byte can hold.
  std::mt19937 random(20240611);
  const std::uint32_t edges[] = {0, 1, 254, 255, 256, 1000, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu, 0xFFFFFF00u};
  TestPlanes source(257, 33);
  for (auto& plane : source.plane)
    for (std::size_t i = 0; i < plane.size(); ++i)
      plane[i] = i % 97 == 0 ? edges[random() % 10] : i % 3 == 0 ? random() % 8 * 36 : random() % 256;
  // Whole greys and the colours whose double gray falls below a whole number.
  for (int v = 0; v < 256; ++v) source.Set(0, v, v, v, v);

  // fast(view, arguments...) and literal(view, arguments...) on copies of the source.
  const auto check = [&](const char* what, auto fast, auto literal, const auto&... arguments) {
    TestPlanes a = source, b = source;
    fast(a.View(), arguments...);
    literal(b.View(), arguments...);
    for (std::size_t k = 0; k < 3; ++k) ASSERT_EQ(a.plane[k], b.plane[k]) << what << " plane " << k;
  };
  const std::array<int, 3> powerSets[] = {{100, 100, 100}, {1, 1, 1},     {37, 37, 37},      {200, 200, 200},
                                          {999, 999, 999}, {1000, 1000, 1000}, {0, 250, 700}, {-300, 5000, 100},
                                          {INT_MAX, INT_MIN, 123}};
  for (const auto& powers : powerSets) check("colour power", ApplyColourPowerByPlane, LiteralColourPower, powers);
  const FilterLevels levelSets[] = {SameLevels(20, 220), {{{0, 5, 117}, {50, 90, 200}, {3, 100, 251}}},
                                    {{{0, 0, 117}, {80, 80, 80}, {20, 0, 220}}}, SameLevels(0, 0),
                                    {{{100, 0, 90}, {10, 0, 250}, {0, 0, 1}}}};
  for (const FilterLevels& levels : levelSets) {
    check("peach", ApplyPeach, LiteralPeach, levels);
    check("berry", ApplyBerry, LiteralBerry, levels);
  }
  std::vector<std::uint8_t> canvas(3 * 257 * 33);
  for (auto& byte : canvas) byte = static_cast<std::uint8_t>(random());
  const std::array<int, 2> lightCores[] = {{0, 255}, {100, 150}, {128, 129}, {0, 1}, {254, 255}, {60, 60}, {255, 256}};
  for (const auto& core : lightCores)
    check("light core", [&](const PlaneView& v) { ApplyLightCore(canvas, v, core[0], core[1]); },
          [&](const PlaneView& v) { LiteralLightCore(canvas, v, core[0], core[1]); });
}

// [SECTION] The page through the whole program

// Client points of the controls.
constexpr int PowerDiamondY = 215;
constexpr int UpperBarY = 243, LowerBarY = 253;

constexpr ControlPoint DigitKey[10] = {{20, 619}, {20, 593}, {49, 593}, {78, 593}, {20, 567},
                                   {49, 567}, {78, 567}, {20, 541}, {49, 541}, {78, 541}};
constexpr ControlPoint AddKey{20, 645}, AllClearKey{74, 515};

Rgb Gradient(int x, int y) {
  return Rgb{static_cast<std::uint8_t>(x * 255 / 199), static_cast<std::uint8_t>(y * 255 / 149),
             static_cast<std::uint8_t>(40 + (x + y) / 3)};
}

// Digits on the calculator's keys, then its add key when `add`.
void Type(ProgramSession& s, std::initializer_list<int> digits, bool add = true) {
  for (int d : digits) s.Click(DigitKey[d].x, DigitKey[d].y);
  if (add) s.Click(AddKey.x, AddKey.y);
}

TEST(FilterPage, ActionThenSetStoresColourPower100ByteByByte) {
  ProgramSession s;
  s.StartOnPage(PageFilter, Gradient, 200, 150);
  // With the action off the page shows the inner memory, the picture itself.
  const std::vector<std::uint8_t> source = s.ShownCanvas();
  EXPECT_EQ(source, PlacedCanvas(Gradient, 200, 150));

  s.ClickControl(PageFilter, "action");
  TestPlanes planes = PlanesOfCanvas(source);
  LiteralColourPower(planes.View(), {100, 100, 100});
  const std::vector<std::uint8_t> expected = planes.Canvas();
  ASSERT_NE(expected, source);  // the power changes the picture
  EXPECT_EQ(s.ShownCanvas(), expected);

  s.ClickControl(PageFilter, "set KEEP1");
  EXPECT_EQ(FileBytes(s.PathIn("KEEP1.bmp")), KeepFileOf(expected));
  // Further paints never apply the power twice.
  s.Paint();
  s.ClickControl(PageFilter, "color power");  // only an explanation
  EXPECT_EQ(s.ShownCanvas(), expected);

  // Action off: the inner memory again, unchanged.
  s.ClickControl(PageFilter, "action");
  EXPECT_EQ(s.ShownCanvas(), source);
}

TEST(FilterPage, BarsAndDiamondsSetTheColourPowerAndTheResetMarksReturnIt) {
  ProgramSession s;
  s.StartOnPage(PageFilter, Gradient, 200, 150);
  const FilterSettings& v = FilterPage.values;
  const struct { int x, y, power; } bars[] = {
      {3, UpperBarY, 1}, {97, UpperBarY, 98}, {3, LowerBarY, 109}, {97, LowerBarY, 990}};
  for (const auto& c : bars) {
    FilterPage.values.channelPowerMode = 2;
    s.Click(c.x, c.y);
    EXPECT_EQ(std::pair(v.colourPower, v.channelPowerMode), std::pair(c.power, 0)) << "bar at " << c.x << ", " << c.y;
  }
  // Clicks, how often, and the colour power and step after them: the power
  // diamond steps by 8 (not at the boundary column 88) within 1..1000, the
  // step diamond by 4 within 2..98.
  const struct { int x, y, times, power, step; } clicks[] = {
      {83, PowerDiamondY, 1, 982, 8}, {88, PowerDiamondY, 1, 982, 8}, {93, PowerDiamondY, 4, 1000, 8},
      {3, UpperBarY, 1, 1, 8},        {83, PowerDiamondY, 1, 1, 8},   {88, 686, 1, 1, 12},
      {88, 696, 30, 1, 2},            {20, 40, 1, 100, 8} /* the dark reset mark */};
  for (const auto& c : clicks) {
    for (int k = 0; k < c.times; ++k) s.Click(c.x, c.y);
    EXPECT_EQ(std::pair(v.colourPower, v.diamondStep), std::pair(c.power, c.step)) << c.x << ", " << c.y;
  }
  s.ClickControl(PageFilter, "action");
  s.Click(97, LowerBarY);
  s.Click(88, 686);
  // The light mark: switches only.
  s.Click(70, 40);
  EXPECT_EQ(std::tuple(v.colourPowerOn, v.colourPower, v.diamondStep), std::tuple(0, 990, 12));
  // The TOP page's reset mark: colour power off at 100, light core 0 .. 255.
  s.ClickControl(PageFilter, "action");
  FilterPage.values.lightCoreStart = 40;
  s.ClickTab(PageTop);
  s.Click(40, 105);
  EXPECT_EQ(std::tuple(v.colourPowerOn, v.colourPower, v.lightCoreStart, v.lightCoreEnd), std::tuple(0, 100, 0, 255));
}

TEST(FilterPage, CalculatorOnTheColourPower) {
  ProgramSession s;
  s.StartOnPage(PageFilter, Gradient, 200, 150);
  // Keys do nothing while the calculator is off.
  Type(s, {7}, false);
  EXPECT_EQ(Calc.digitCount, 0);

  s.ClickControl(PageFilter, "%4d");  // selects the colour power box, calculator on
  Type(s, {2, 5});
  EXPECT_EQ(FilterPage.values.colourPower, 125);

  // Above the range the clamp keeps 1000.
  Type(s, {9, 9, 9, 9});
  EXPECT_EQ(FilterPage.values.colourPower, 1000);

  // "ＡＣ" sets 0, which the clamp turns into 1.
  s.Click(AllClearKey.x, AllClearKey.y);
  EXPECT_EQ(FilterPage.values.colourPower, 1);

  s.ClickControl(PageFilter, "%2d");  // the step box: the calculator's target moves there
  Type(s, {9, 0});
  EXPECT_EQ(std::pair(FilterPage.values.diamondStep, FilterPage.values.colourPower), std::pair(98, 1));
  s.ClickControl(PageFilter, "%2d");  // deselected: the calculator goes off
  EXPECT_EQ(Calc.on, 0);
}

// The F pass of the TOP page on two blocks, the left half red 60, green 100,
// blue 140, the right half (180, 30, 220), after a visit to FILTER, which must
// have left `reference` as the reference colour, or with `reference` set.
std::vector<std::uint8_t> TopPassAfter(bool visitFilter, std::array<int, 3> reference) {
  ProgramSession s;
  WriteTestPicture(s.PathIn("blocks.bmp"), 200, 100,
                   [](int x, int) { return x < 100 ? Rgb{60, 100, 140} : Rgb{180, 30, 220}; });
  s.Start(s.PathIn("blocks.bmp"));
  if (visitFilter) {
    s.ClickTab(PageFilter);
    EXPECT_EQ(Tone.eye.reference, reference);
    s.ClickTab(PageTop);
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
  const auto afterFilter = TopPassAfter(true, {139, 29, 59});
  EXPECT_EQ(afterFilter, TopPassAfter(false, {139, 29, 59}));
  EXPECT_NE(afterFilter, TopPassAfter(false, {0, 0, 0}));
}

// The golden screens: FILTER with the action on and its explanation.
TEST(FilterPageGolden, JapaneseAndEnglish) {
  for (const bool english : {false, true}) {
    ProgramSession s;
    WriteTestPicture(s.PathIn("picture.bmp"), 200, 150, Gradient);
    s.Start(s.PathIn("picture.bmp"));
    if (english) s.ClickControl(PageTop, "ENGLISH");  // TOP's language switch
    s.ClickTab(PageFilter);
    s.ClickControl(PageFilter, "action");
    EXPECT_GOLDEN(english ? "filter_english" : "filter_japanese", s.window().Shown());
  }
}

}  // namespace
