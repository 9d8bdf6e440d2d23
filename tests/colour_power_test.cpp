// The FILTER page's pixel work: hand-worked values for the tone curve, the
// colour power, the two balances and the light core; the settings clamp; and
// the fast forms against the literal ones, byte for byte.

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "image/gray.h"
#include "ops/colour_power.h"
#include "reference/colour_power_literal.h"

namespace {

using Rgb3 = std::array<std::uint32_t, 3>;  // red, green, blue

// Three planes of columns x rows samples, owned here.
struct TestPlanes {
  std::array<std::vector<std::uint32_t>, 3> samples;
  int columns, rows;
  TestPlanes(int c, int r) : columns(c), rows(r) {
    for (auto& plane : samples) plane.assign(static_cast<std::size_t>(c * r), 0);
  }
  PlaneView View() { return PlaneView{{samples[0].data(), samples[1].data(), samples[2].data()}, columns, rows}; }
  void SetPixel(int i, std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
    samples[0][static_cast<std::size_t>(i)] = blue;
    samples[1][static_cast<std::size_t>(i)] = green;
    samples[2][static_cast<std::size_t>(i)] = red;
  }
};

// One pixel through the colour power.
Rgb3 Powered(const Rgb3& rgb, const FilterSettings& s) {
  TestPlanes p(1, 1);
  p.SetPixel(0, rgb[0], rgb[1], rgb[2]);
  ApplyColourPower(p.View(), s);
  return {p.samples[2][0], p.samples[1][0], p.samples[0][0]};
}

FilterSettings CommonPower(int power) {
  FilterSettings s;
  s.colourPower = power;
  return s;
}

// Per-channel powers (mode 1..3); the common power is left at `common`.
FilterSettings PerChannel(int mode, const ChannelPowers& powers, int common = 100) {
  FilterSettings s = CommonPower(common);
  s.channelPowerMode = mode;
  s.channelPower = powers;
  return s;
}

FilterLevels SameLevels(int low, int high) { return {{{low, 0, high}, {low, 0, high}, {low, 0, high}}}; }

// A balance worked by hand: `sample` of `plane` under `levels` gives `want`.
struct BalanceCase { FilterLevels levels; int sample, plane, want; };

// The case through the one-sample form and through the whole-view form.
template <typename OneSample, typename WholeView>
std::array<int, 2> Balanced(const BalanceCase& c, OneSample oneSample, WholeView wholeView) {
  TestPlanes p(1, 1);
  const auto plane = static_cast<std::size_t>(c.plane);
  p.samples[plane][0] = static_cast<std::uint32_t>(c.sample);
  wholeView(p.View(), c.levels);
  return {oneSample(c.sample, c.plane, c.levels), static_cast<int>(p.samples[plane][0])};
}

}  // namespace

TEST(ToneCurve, EndsPeakAndKnownPoints) {
  const ToneCurve w = BuildToneCurve();
  EXPECT_EQ(w[0], 0.0);
  EXPECT_EQ(w[255], 0.0);
  // f(75) = sqrt(65025 - 180^2) - 75 = 105.62 is the largest gap.
  EXPECT_EQ(w[75], 1.0);
  for (double value : w) EXPECT_LE(value, 1.0);
  EXPECT_NEAR(w[128], (std::sqrt(48896.0) - 128) / (std::sqrt(32625.0) - 75), 1e-12);  // 0.8817
  EXPECT_NEAR(w[200], 0.4639, 1e-4);  // (sqrt(62000) - 200) / 105.62
}

TEST(Gray, TruncatesTowardZeroAndKeepsWholeGrays) {
  EXPECT_EQ(GrayOf(100, 70, 40), 75);     // 29.9 + 41.09 + 4.56 = 75.55
  for (int v = 0; v < 256; ++v) EXPECT_EQ(GrayOf(v, v, v), v);  // for 128 the double sum is 127.99999...
  EXPECT_EQ(GrayTruncated(-10, 0, 0), -2);  // -2.99 toward zero
  EXPECT_EQ(GrayTruncated(INT_MIN, INT_MIN, INT_MIN), INT_MIN);
  // The rounded form adds half a level before truncating.
  for (int v = 0; v < 256; ++v) EXPECT_EQ(RoundedGrayOf(v, v, v), v);
  EXPECT_EQ(RoundedGrayOf(100, 70, 40), 76);  // 75.55
  EXPECT_EQ(GrayRounded(4000000000LL, 0, 0), 1196000000LL);  // samples past 32 bits stay exact
}

TEST(ColourPower, GraysBlackAndWhiteStayAtEveryPower) {
  const FilterSettings settings[] = {CommonPower(1), CommonPower(100), CommonPower(200), CommonPower(1000),
                                     PerChannel(2, {700, 3, 1000})};
  for (const FilterSettings& s : settings)
    for (std::uint32_t v = 0; v < 256; ++v)
      EXPECT_EQ(Powered({v, v, v}, s), (Rgb3{v, v, v})) << "grey " << v << " power " << s.colourPower;
}

TEST(ColourPower, HandWorkedPixels) {
  // Gray 75, where W = 1: the colour difference (25, -5, -35) is scaled by
  // power / 100 exactly. A light colour, gray 207, W = 0.4113: differences
  // 33, -12, -17 become 13.57, -4.94, -6.99, truncated toward zero to 13, -4,
  // -6. Per channel: red doubled, green kept, blue's colour taken away (the
  // common power is not used then).
  const FilterSettings perChannel = PerChannel(1, {200, 100, 0}, 1);
  const struct { Rgb3 in; FilterSettings s; Rgb3 want; } cases[] = {
      {{100, 70, 40}, CommonPower(100), {100, 70, 40}},
      {{100, 70, 40}, CommonPower(200), {125, 65, 5}},
      {{100, 70, 40}, CommonPower(1000), {255, 25, 0}},  // clamped
      {{240, 195, 190}, CommonPower(100), {220, 203, 201}},
      {{100, 70, 40}, perChannel, {125, 70, 75}}};
  for (const auto& c : cases)
    EXPECT_EQ(Powered(c.in, c.s), c.want) << "red " << c.in[0] << " power " << c.s.colourPower;
  EXPECT_EQ(PlanePowers(perChannel), (std::array<int, 3>{0, 100, 200}));
  EXPECT_EQ(CommonPowerOfChannels(perChannel.channelPower), 118);  // 59.8 + 58.7
  EXPECT_EQ(CommonPowerOfChannels({128, 128, 128}), 128);
}

TEST(ColourBalance, PeachMapsLevelsToTenAnd244) {
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
}

TEST(ColourBalance, BerryCentresEveryChannelWithOneGain) {
  // Widest range 200: gain 1, each channel centred by (255 - range) / 2.
  // Widest range 100: gain 2. No range at all: D = 1, gain 255, a threshold
  // around the level.
  const FilterLevels same = SameLevels(20, 220), mixed{{{20, 0, 120}, {50, 0, 200}, {10, 0, 210}}};
  const FilterLevels narrow = SameLevels(60, 160), none = SameLevels(90, 90);
  const BalanceCase cases[] = {
      {same, 20, 0, 27},    {same, 220, 0, 227},   {same, 120, 2, 127},   {mixed, 20, 0, 77},
      {mixed, 120, 0, 177}, {mixed, 50, 1, 52},    {mixed, 200, 1, 202},  {mixed, 210, 2, 227},
      {narrow, 60, 0, 27},  {narrow, 110, 0, 127}, {narrow, 160, 0, 227}, {narrow, 200, 0, 255},
      {none, 90, 0, 127},   {none, 91, 0, 255},    {none, 89, 0, 0}};
  for (const BalanceCase& c : cases)
    EXPECT_EQ(Balanced(c, BerrySample, ApplyBerry), (std::array{c.want, c.want})) << c.sample << " plane " << c.plane;
}

TEST(LightCore, StretchesTheCoreAndThresholds) {
  const struct { int sample, start, end, want; } cases[] = {
      {100, 100, 150, 0}, {110, 100, 150, 50}, {150, 100, 150, 250}, {151, 100, 150, 255},  // g = 255 / 50 = 5
      {99, 100, 150, 0},  {128, 128, 129, 0},  {129, 128, 129, 255},                        // one-wide: a threshold at f
      {77, 0, 255, 77},   {101, 100, 100, 255}};                                            // meeting ends: one-wide
  for (const auto& c : cases)
    EXPECT_EQ(LightCoreSample(c.sample, c.start, c.end), c.want) << c.sample << " in " << c.start << ".." << c.end;
}

TEST(LightCore, ReadsCanvasBytesIntoPlanesAndLightsAnEmptyResult) {
  // 2 x 2 canvas, bytes blue, green, red per pixel.
  const std::vector<std::uint8_t> canvas{10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120};
  TestPlanes p(2, 2);
  ApplyLightCore(canvas, p.View(), 0, 255);
  for (std::size_t i = 0; i < 4; ++i)
    for (std::size_t k = 0; k < 3; ++k) EXPECT_EQ(p.samples[k][i], canvas[3 * i + k]);
  ApplyLightCore(canvas, p.View(), 200, 210);  // everything below the core
  for (std::size_t k = 0; k < 3; ++k) EXPECT_EQ(p.samples[k], std::vector<std::uint32_t>(4, 1u));
  // A canvas too short for the view fills only the rows it holds.
  TestPlanes q(2, 3);
  ApplyLightCore(canvas, q.View(), 0, 255);
  EXPECT_EQ(q.samples[0][4], 0u);
  EXPECT_EQ(q.samples[0][3], 100u);
}

TEST(Settings, ClampSpectrumCoreAndMarker) {
  // Start f, t, colour power, step and what the clamp keeps of them; a power
  // of 0 is what "ＡＣ" leaves.
  const struct { std::array<int, 4> in, want; } clamps[] = {
      {{-5, 255, 100, 8}, {0, 255, 100, 8}},    {{100, 50, 100, 8}, {100, 101, 100, 8}},
      {{100, 100, 100, 8}, {100, 101, 100, 8}}, {{0, 0, 100, 8}, {0, 1, 100, 8}},
      {{300, 10, 100, 8}, {254, 255, 100, 8}},  {{0, 300, 100, 8}, {0, 255, 100, 8}},
      {{0, -3, 100, 8}, {0, 1, 100, 8}},        {{254, 255, 100, 8}, {254, 255, 100, 8}},
      {{0, 255, 0, 1}, {0, 255, 1, 2}},         {{0, 255, 5000, 102}, {0, 255, 1000, 98}}};
  for (const auto& c : clamps) {
    FilterSettings s = CommonPower(c.in[2]);
    s.lightCoreStart = c.in[0];
    s.lightCoreEnd = c.in[1];
    s.diamondStep = c.in[3];
    ClampFilterSettings(s);
    EXPECT_EQ((std::array{s.lightCoreStart, s.lightCoreEnd, s.colourPower, s.diamondStep}), c.want)
        << c.in[0] << ".." << c.in[1];
  }
  // Switch, f, t and the core left by the collapse (switch off: unchanged).
  const struct { int on, f, t, wantF, wantT; } cores[] = {
      {0, 0, 255, 0, 255}, {1, 0, 255, 127, 128}, {1, 10, 12, 11, 12}};
  for (const auto& c : cores) {
    FilterSettings core;
    core.spectrumCoreOn = c.on;
    core.lightCoreStart = c.f;
    core.lightCoreEnd = c.t;
    CollapseSpectrumCore(core);
    EXPECT_EQ((std::array{core.lightCoreStart, core.lightCoreEnd}), (std::array{c.wantF, c.wantT}))
        << c.on << ": " << c.f << ".." << c.t;
  }
  EXPECT_EQ(LightCoreMarkerX(0, 255), 49);  // m 127 -> 25 + 24
  EXPECT_EQ(LightCoreMarkerX(0, 1), 24);
  EXPECT_EQ(LightCoreMarkerX(254, 255), 75);
}

// Random bytes with the edge values and some samples no byte can hold.
TEST(FastAndLiteral, IdenticalOverRandomPlanes) {
  std::mt19937 random(20240611);
  const std::uint32_t edges[] = {0, 1, 254, 255, 256, 1000, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu, 0xFFFFFF00u};
  TestPlanes source(257, 33);
  for (auto& plane : source.samples)
    for (std::size_t i = 0; i < plane.size(); ++i)
      plane[i] = i % 97 == 0 ? edges[random() % 10] : i % 3 == 0 ? random() % 8 * 36 : random() % 256;
  // Whole greys and the colours whose double gray falls below a whole number.
  for (std::uint32_t v = 0; v < 256; ++v) source.SetPixel(static_cast<int>(v), v, v, v);

  // fast(view, arguments...) and literal(view, arguments...) on copies of the source.
  const auto check = [&](const char* what, auto fast, auto literal, const auto&... arguments) {
    TestPlanes a = source, b = source;
    fast(a.View(), arguments...);
    literal(b.View(), arguments...);
    for (std::size_t k = 0; k < 3; ++k) ASSERT_EQ(a.samples[k], b.samples[k]) << what << " plane " << k;
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
  const std::array<int, 2> cores[] = {{0, 255}, {100, 150}, {128, 129}, {0, 1}, {254, 255}, {60, 60}, {255, 256}};
  for (const auto& core : cores)
    check("light core", [&](const PlaneView& v) { ApplyLightCore(canvas, v, core[0], core[1]); },
          [&](const PlaneView& v) { LiteralLightCore(canvas, v, core[0], core[1]); });
}

TEST(FastAndLiteral, IdenticalOverAWholeCanvasOfColours) {
  // Every byte triple's gray occurs; the full 960 x 672 size the page uses.
  TestPlanes source(Stride, CanvasRows);
  std::mt19937 random(7);
  for (int i = 0; i < Stride * CanvasRows; ++i) source.SetPixel(i, random() % 256, random() % 256, random() % 256);
  for (int power : {100, 450}) {
    TestPlanes a = source, b = source;
    ApplyColourPower(a.View(), CommonPower(power));
    LiteralColourPower(b.View(), {power, power, power});
    for (std::size_t k = 0; k < 3; ++k) ASSERT_EQ(a.samples[k], b.samples[k]) << "power " << power << " plane " << k;
  }
}
