// The FILTER page's pixel work: hand-worked values for the tone curve, the
// colour power, the two balances and the light core; the settings clamp; and
// the fast forms against the literal ones, byte for byte.

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "pages/filter/colour_power.h"
#include "reference/colour_power_literal.h"

namespace {

// Three planes of columns x rows samples, owned here.
struct TestPlanes {
  std::array<std::vector<std::uint32_t>, 3> samples;
  int columns;
  int rows;
  TestPlanes(int c, int r) : columns(c), rows(r) {
    for (auto& plane : samples) plane.assign(static_cast<std::size_t>(c * r), 0);
  }
  PlaneView View() { return PlaneView{{samples[0].data(), samples[1].data(), samples[2].data()}, columns, rows}; }
  void SetPixel(int i, std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
    samples[0][static_cast<std::size_t>(i)] = blue;
    samples[1][static_cast<std::size_t>(i)] = green;
    samples[2][static_cast<std::size_t>(i)] = red;
  }
  std::array<std::uint32_t, 3> Rgb(int i) const {
    const auto k = static_cast<std::size_t>(i);
    return {samples[2][k], samples[1][k], samples[0][k]};
  }
};

// One pixel through the colour power; returns red, green, blue.
std::array<std::uint32_t, 3> Powered(std::uint32_t red, std::uint32_t green, std::uint32_t blue, const FilterSettings& s) {
  TestPlanes p(1, 1);
  p.SetPixel(0, red, green, blue);
  ApplyColourPower(p.View(), s);
  return p.Rgb(0);
}

FilterSettings CommonPower(int power) {
  FilterSettings s;
  s.ColourPower = power;
  return s;
}

FilterLevels SameLevels(int low, int high) { return {{{low, 0, high}, {low, 0, high}, {low, 0, high}}}; }

// One value of one plane through a whole-view operation.
template <typename Apply>
std::uint32_t Through(Apply apply, std::uint32_t sample, int plane) {
  TestPlanes p(1, 1);
  p.samples[static_cast<std::size_t>(plane)][0] = sample;
  apply(p.View());
  return p.samples[static_cast<std::size_t>(plane)][0];
}

}  // namespace

TEST(ToneCurve, EndsPeakAndKnownPoints) {
  const ToneCurve w = BuildToneCurve();
  EXPECT_EQ(w[0], 0.0);
  EXPECT_EQ(w[255], 0.0);
  // f(75) = sqrt(65025 - 180^2) - 75 = 105.62 is the largest gap.
  EXPECT_EQ(w[75], 1.0);
  for (double value : w) EXPECT_LE(value, 1.0);
  EXPECT_NEAR(w[128], (std::sqrt(48896.0) - 128) / (std::sqrt(32625.0) - 75), 1e-12);
  EXPECT_NEAR(w[128], 0.8817, 1e-4);
  EXPECT_NEAR(w[200], 0.4639, 1e-4);  // (sqrt(62000) - 200) / 105.62
}

TEST(Gray, TruncatesTowardZeroAndKeepsWholeGrays) {
  EXPECT_EQ(GrayOf(40, 70, 100), 75);   // 29.9 + 41.09 + 4.56 = 75.55
  EXPECT_EQ(GrayOf(128, 128, 128), 128);  // the double sum is 127.99999...
  for (int v = 0; v < 256; ++v) EXPECT_EQ(GrayOf(v, v, v), v);
  EXPECT_EQ(GrayOf(0, 0, -10), -2);  // -2.99 toward zero
  EXPECT_EQ(GrayOf(INT_MIN, INT_MIN, INT_MIN), INT_MIN);
}

TEST(ColourPower, GraysBlackAndWhiteStayAtEveryPower) {
  FilterSettings perChannel;
  perChannel.ChannelPowerMode = 2;
  perChannel.ChannelPower = {700, 3, 1000};
  std::vector<FilterSettings> settings{CommonPower(1), CommonPower(100), CommonPower(200), CommonPower(1000), perChannel};
  for (const FilterSettings& s : settings) {
    for (std::uint32_t v = 0; v < 256; ++v) {
      const std::array<std::uint32_t, 3> grey{v, v, v};
      EXPECT_EQ(Powered(v, v, v, s), grey) << "grey " << v << " power " << s.ColourPower;
    }
  }
}

TEST(ColourPower, HandWorkedPixels) {
  // Gray 75, where W = 1: the colour difference (25, -5, -35) is scaled by
  // power / 100 exactly.
  EXPECT_EQ(Powered(100, 70, 40, CommonPower(100)), (std::array<std::uint32_t, 3>{100, 70, 40}));
  EXPECT_EQ(Powered(100, 70, 40, CommonPower(200)), (std::array<std::uint32_t, 3>{125, 65, 5}));
  EXPECT_EQ(Powered(100, 70, 40, CommonPower(1000)), (std::array<std::uint32_t, 3>{255, 25, 0}));  // clamped
  // A light colour, gray 207, W = 0.4113: differences 33, -12, -17 become
  // 13.57, -4.94, -6.99, truncated toward zero to 13, -4, -6.
  EXPECT_EQ(Powered(240, 195, 190, CommonPower(100)), (std::array<std::uint32_t, 3>{220, 203, 201}));
  // Per-channel powers: red doubled, green kept, blue's colour taken away.
  FilterSettings s;
  s.ChannelPowerMode = 1;
  s.ChannelPower = {200, 100, 0};
  s.ColourPower = 1;  // not used in per-channel mode
  EXPECT_EQ(Powered(100, 70, 40, s), (std::array<std::uint32_t, 3>{125, 70, 75}));
  EXPECT_EQ(PlanePowers(s), (std::array<int, 3>{0, 100, 200}));
  EXPECT_EQ(CommonPowerOfChannels(s.ChannelPower), 118);  // 59.8 + 58.7
  EXPECT_EQ(CommonPowerOfChannels({128, 128, 128}), 128);
}

TEST(ColourBalance, PeachMapsLevelsToTenAnd244) {
  const FilterLevels levels = SameLevels(20, 220);
  const auto peach = [&](const PlaneView& v) { ApplyPeach(v, levels); };
  EXPECT_EQ(Through(peach, 20, 2), 10u);
  EXPECT_EQ(Through(peach, 220, 2), 244u);
  EXPECT_EQ(Through(peach, 120, 1), 127u);  // 100 * 234 / 200 + 10
  EXPECT_EQ(Through(peach, 19, 0), 9u);     // -1.17 toward zero
  EXPECT_EQ(Through(peach, 0, 0), 0u);      // -13, clamped
  EXPECT_EQ(Through(peach, 255, 0), 255u);  // 284, clamped
  // Each channel by its own levels.
  const FilterLevels mixed{{{0, 0, 117}, {50, 0, 200}, {20, 0, 220}}};
  EXPECT_EQ(PeachSample(117, 0, mixed), 244);
  EXPECT_EQ(PeachSample(50, 0, mixed), 110);
  EXPECT_EQ(PeachSample(50, 1, mixed), 10);
  // One empty range: every channel is only shifted down by its low level.
  const FilterLevels flat{{{0, 0, 117}, {80, 80, 80}, {20, 0, 220}}};
  EXPECT_EQ(PeachSample(50, 0, flat), 50);
  EXPECT_EQ(PeachSample(100, 1, flat), 20);
  EXPECT_EQ(PeachSample(30, 1, flat), 0);
  EXPECT_EQ(PeachSample(20, 2, flat), 0);
}

TEST(ColourBalance, BerryCentresEveryChannelWithOneGain) {
  // Widest range 200: gain 1, each channel centred by (255 - range) / 2.
  const FilterLevels same = SameLevels(20, 220);
  EXPECT_EQ(BerrySample(20, 0, same), 27);
  EXPECT_EQ(BerrySample(220, 0, same), 227);
  EXPECT_EQ(BerrySample(120, 2, same), 127);
  const FilterLevels mixed{{{20, 0, 120}, {50, 0, 200}, {10, 0, 210}}};
  EXPECT_EQ(BerrySample(20, 0, mixed), 77);
  EXPECT_EQ(BerrySample(120, 0, mixed), 177);
  EXPECT_EQ(BerrySample(50, 1, mixed), 52);
  EXPECT_EQ(BerrySample(200, 1, mixed), 202);
  EXPECT_EQ(BerrySample(210, 2, mixed), 227);
  // Widest range 100: gain 2.
  const FilterLevels narrow = SameLevels(60, 160);
  EXPECT_EQ(BerrySample(60, 0, narrow), 27);
  EXPECT_EQ(BerrySample(110, 0, narrow), 127);
  EXPECT_EQ(BerrySample(160, 0, narrow), 227);
  EXPECT_EQ(BerrySample(200, 0, narrow), 255);
  // No range at all: D = 1, gain 255, a threshold around the level.
  const FilterLevels none = SameLevels(90, 90);
  EXPECT_EQ(BerrySample(90, 0, none), 127);
  EXPECT_EQ(BerrySample(91, 0, none), 255);
  EXPECT_EQ(BerrySample(89, 0, none), 0);
  const auto berry = [&](const PlaneView& v) { ApplyBerry(v, mixed); };
  EXPECT_EQ(Through(berry, 120, 0), 177u);
}

TEST(LightCore, StretchesTheCoreAndThresholds) {
  EXPECT_EQ(LightCoreSample(100, 100, 150), 0);  // g = 255 / 50 = 5
  EXPECT_EQ(LightCoreSample(110, 100, 150), 50);
  EXPECT_EQ(LightCoreSample(150, 100, 150), 250);
  EXPECT_EQ(LightCoreSample(151, 100, 150), 255);
  EXPECT_EQ(LightCoreSample(99, 100, 150), 0);
  EXPECT_EQ(LightCoreSample(128, 128, 129), 0);  // one-wide: a threshold at f
  EXPECT_EQ(LightCoreSample(129, 128, 129), 255);
  EXPECT_EQ(LightCoreSample(77, 0, 255), 77);
  EXPECT_EQ(LightCoreSample(101, 100, 100), 255);  // meeting ends: one-wide
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
  struct Case {
    int f, t, wantF, wantT;
  };
  const Case cases[] = {{-5, 255, 0, 255}, {100, 50, 100, 101}, {100, 100, 100, 101}, {0, 0, 0, 1},
                        {300, 10, 254, 255}, {0, 300, 0, 255}, {0, -3, 0, 1}, {254, 255, 254, 255}};
  for (const Case& c : cases) {
    FilterSettings s;
    s.LightCoreStart = c.f;
    s.LightCoreEnd = c.t;
    ClampFilterSettings(s);
    EXPECT_EQ(s.LightCoreStart, c.wantF) << c.f << ".." << c.t;
    EXPECT_EQ(s.LightCoreEnd, c.wantT) << c.f << ".." << c.t;
  }
  FilterSettings s;
  s.ColourPower = 0;  // what "ＡＣ" leaves
  s.DiamondStep = 1;
  ClampFilterSettings(s);
  EXPECT_EQ(s.ColourPower, 1);
  EXPECT_EQ(s.DiamondStep, 2);
  s.ColourPower = 5000;
  s.DiamondStep = 102;
  ClampFilterSettings(s);
  EXPECT_EQ(s.ColourPower, 1000);
  EXPECT_EQ(s.DiamondStep, 98);

  FilterSettings core;
  CollapseSpectrumCore(core);  // switch off: unchanged
  EXPECT_EQ(core.LightCoreEnd, 255);
  core.SpectrumCoreOn = 1;
  CollapseSpectrumCore(core);
  EXPECT_EQ(core.LightCoreStart, 127);
  EXPECT_EQ(core.LightCoreEnd, 128);
  core.LightCoreStart = 10;
  core.LightCoreEnd = 12;
  CollapseSpectrumCore(core);
  EXPECT_EQ(core.LightCoreStart, 11);
  EXPECT_EQ(core.LightCoreEnd, 12);

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
  for (int v = 0; v < 256; ++v) source.SetPixel(v, static_cast<std::uint32_t>(v), static_cast<std::uint32_t>(v), static_cast<std::uint32_t>(v));

  const auto check = [&](auto fast, auto literal, const char* what) {
    TestPlanes a = source;
    TestPlanes b = source;
    fast(a.View());
    literal(b.View());
    for (std::size_t k = 0; k < 3; ++k) ASSERT_EQ(a.samples[k], b.samples[k]) << what << " plane " << k;
  };
  const std::array<int, 3> powerSets[] = {{100, 100, 100}, {1, 1, 1},     {37, 37, 37},   {200, 200, 200}, {999, 999, 999},
                                          {1000, 1000, 1000}, {0, 250, 700}, {-300, 5000, 100}, {INT_MAX, INT_MIN, 123}};
  for (const auto& powers : powerSets)
    check([&](const PlaneView& v) { ApplyColourPowerByPlane(v, powers); },
          [&](const PlaneView& v) { LiteralColourPower(v, powers); }, "colour power");

  const FilterLevels levelSets[] = {SameLevels(20, 220), {{{0, 5, 117}, {50, 90, 200}, {3, 100, 251}}},
                                    {{{0, 0, 117}, {80, 80, 80}, {20, 0, 220}}}, SameLevels(0, 0),
                                    {{{100, 0, 90}, {10, 0, 250}, {0, 0, 1}}}};
  for (const FilterLevels& levels : levelSets) {
    check([&](const PlaneView& v) { ApplyPeach(v, levels); }, [&](const PlaneView& v) { LiteralPeach(v, levels); }, "peach");
    check([&](const PlaneView& v) { ApplyBerry(v, levels); }, [&](const PlaneView& v) { LiteralBerry(v, levels); }, "berry");
  }

  std::vector<std::uint8_t> canvas(3 * 257 * 33);
  for (auto& byte : canvas) byte = static_cast<std::uint8_t>(random());
  const std::array<int, 2> cores[] = {{0, 255}, {100, 150}, {128, 129}, {0, 1}, {254, 255}, {60, 60}, {255, 256}};
  for (const auto& core : cores)
    check([&](const PlaneView& v) { ApplyLightCore(canvas, v, core[0], core[1]); },
          [&](const PlaneView& v) { LiteralLightCore(canvas, v, core[0], core[1]); }, "light core");
}

TEST(FastAndLiteral, IdenticalOverAWholeCanvasOfColours) {
  // Every byte triple's gray occurs; the full 960 x 672 size the page uses.
  TestPlanes source(Stride, CanvasRows);
  std::mt19937 random(7);
  for (int i = 0; i < Stride * CanvasRows; ++i) source.SetPixel(i, random() % 256, random() % 256, random() % 256);
  for (int power : {100, 450}) {
    TestPlanes a = source;
    TestPlanes b = source;
    ApplyColourPower(a.View(), CommonPower(power));
    LiteralColourPower(b.View(), {power, power, power});
    for (std::size_t k = 0; k < 3; ++k) ASSERT_EQ(a.samples[k], b.samples[k]) << "power " << power << " plane " << k;
  }
}
