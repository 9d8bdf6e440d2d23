// Vantor Eye engine: known values, the channel-level rule, edge cases, and the
// fast engine against the literal n x n form over a corpus of pictures.
//
// [SECTION] Tables
// [SECTION] Known values
// [SECTION] Fast against literal
// [SECTION] Channel levels
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "pages/tone/tone_state.h"
#include "ops/vantor_eye.h"
#include "reference/vantor_eye_literal.h"
#include "support/pictures.h"

namespace {

using Bgr = std::array<std::uint32_t, 3>;

// Three planes of a w x h picture (stride w, h rows), read through a view
// even when const, as the engine reads its source.
struct Picture3 : TestPlanes {
  Picture3(int w, int h, std::uint32_t fill = 0) : TestPlanes(w, h, fill) {}
  PlaneView view() const { return const_cast<Picture3*>(this)->View(); }
  std::uint32_t& at(int c, int y, int x) const { return view().at(c, y, x); }
  Bgr pixel(int y, int x) const { return {at(0, y, x), at(1, y, x), at(2, y, x)}; }
};

// A w x h picture whose pixel (x, y) is colour(x, y) as blue, green, red,
// clamped to 0..255; pixels are made row by row from y = 0.
template <typename Colour>
Picture3 Painted(int w, int h, Colour colour) {
  Picture3 p(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const std::array<int, 3> c = colour(x, y);
      for (int k = 0; k < 3; ++k)
        p.at(k, y, x) = static_cast<std::uint32_t>(std::clamp(c[static_cast<std::size_t>(k)], 0, 255));
    }
  return p;
}

Picture3 Flat(int w, int h, const Bgr& colour) {
  Picture3 p(w, h);
  for (std::size_t c = 0; c < 3; ++c) std::fill(p.plane[c].begin(), p.plane[c].end(), colour[c]);
  return p;
}

EyeParameters Both(int b, int g, int r) { return {.reference = {b, g, r}}; }

// The fast engine and the literal form over every row into a target of 7s.
Picture3 RunFast(const Picture3& source, int n, const EyeParameters& p, int threads = 2) {
  Picture3 target(source.stride, source.rows, 7);
  VantorEyeRowsOn(source.view(), target.view(), source.stride, source.rows, n, p, 0, source.rows, threads);
  return target;
}

Picture3 RunLiteral(const Picture3& source, int n, const EyeParameters& p, Edges edges = Edges::AsCanvas) {
  Picture3 target(source.stride, source.rows, 7);
  VantorEyePassLiteral(source.view(), target.view(), source.stride, source.rows, n, p, edges);
  return target;
}
// The fast engine with the edges extended, as a whole picture is worked.
Picture3 RunExtended(const Picture3& source, int n, const EyeParameters& p, int threads = 2) {
  Picture3 target(source.stride, source.rows, 7);
  EdgeExtendedPlanes extended = EdgeExtended(source.view(), source.stride, source.rows, n / 2);
  VantorEyeBandExtended(extended.Inside(), 0, target.view(), source.stride, source.rows, n, p, 0, source.rows, threads);
  return target;
}

// Empty when the pictures agree sample for sample, else the first difference.
std::string Differences(const Picture3& a, const Picture3& b) {
  for (std::size_t c = 0; c < 3; ++c)
    for (std::size_t i = 0; i < a.plane[c].size(); ++i)
      if (a.plane[c][i] != b.plane[c][i]) {
        const auto w = static_cast<std::size_t>(a.stride);
        return "plane " + std::to_string(c) + " row " + std::to_string(i / w) + " column " + std::to_string(i % w) + ": " +
               std::to_string(a.plane[c][i]) + " vs " + std::to_string(b.plane[c][i]);
      }
  return "";
}

std::string FastAgainstLiteral(const Picture3& source, int n, const EyeParameters& p) {
  return Differences(RunFast(source, n, p), RunLiteral(source, n, p));
}

// ---- The corpus: flat patches, gradients, noise, a structured scene, and
// samples outside 0..255.

Picture3 FlatPatches(int w, int h) {
  static const std::array<int, 3> colours[6] = {{100, 120, 140}, {0, 0, 0},     {255, 255, 255},
                                                {110, 118, 126}, {30, 200, 90}, {128, 128, 128}};
  return Painted(w, h, [](int x, int y) { return colours[(x / 23 + (y / 17) * 3) % 6]; });
}

Picture3 Gradients(int w, int h) {
  return Painted(w, h, [&](int x, int y) {
    return std::array{x * 255 / (w - 1), y * 255 / (h - 1), (x + y) * 255 / (w + h - 2)};
  });
}

Picture3 Noise(int w, int h, unsigned seed) {
  Picture3 p(w, h);
  std::mt19937 random(seed);
  for (auto& plane : p.plane)
    for (auto& v : plane) v = static_cast<std::uint32_t>(random()) % 256;
  return p;
}

// A hazy scene: a sky gradient, a dark hill, a bright disc and fine stripes.
Picture3 Scene(int w, int h) {
  std::mt19937 random(5);
  return Painted(w, h, [&](int x, int y) {
    int b = 150 + y * 80 / h, g = 140 + y * 60 / h, r = 130 + y * 40 / h;
    if (y < h / 3 + (x % 37) / 3) b = 60, g = 80, r = 70;
    const int dx = x - w * 2 / 3, dy = y - h * 2 / 3;
    if (dx * dx + dy * dy < h * h / 25) b = 90, g = 230, r = 250;
    if (x > w / 5 && x < w / 3 && (x / 2) % 2 == 0) b = g = r = 40;
    const int noise = static_cast<int>(static_cast<std::uint32_t>(random()) % 9) - 4;
    return std::array{b + noise, g + noise, r + noise};
  });
}

// Samples a page may leave in the planes: above 255 and "negative" ones.
Picture3 OutOfRange(int w, int h, std::uint32_t spread) {
  Picture3 p = Noise(w, h, 11);
  std::mt19937 random(12);
  for (auto& plane : p.plane)
    for (auto& v : plane) {
      const std::uint32_t k = static_cast<std::uint32_t>(random()) % 8;
      if (k == 0) v = 256 + static_cast<std::uint32_t>(random()) % spread;
      if (k == 1) v = 0u - static_cast<std::uint32_t>(random()) % spread;
    }
  return p;
}

// Reference colours the equivalence runs cycle through.
constexpr std::array<int, 3> References[] = {{110, 118, 126}, {0, 0, 0}, {200, 50, 128}, {128, 128, 128}};

std::array<int, 3> Levels(const ChannelLevel& l) { return {l.low, l.middle, l.high}; }

}  // namespace

// [SECTION] Tables

TEST(EyeTables, HornKeysWindowSizesGainsProfileAndSunGlass) {
  // Key A..L: window n and gain to 4 significant digits. G(4) = 1.06348 and
  // G(6) = 1.38845 round by way of 1.0635 and 1.3885, hence 0.6 of a unit.
  const struct { int n; double gain; double margin; } table[12] = {
      {4, 1.064, 6e-4},  {6, 1.389, 6e-4},  {8, 1.926, 5e-4},  {10, 2.644, 5e-4}, {12, 3.532, 5e-4}, {16, 5.808, 5e-4},
      {20, 8.743, 5e-4}, {24, 12.33, 5e-3}, {28, 16.58, 5e-3}, {32, 21.47, 5e-3}, {36, 27.02, 5e-3}, {40, 33.23, 5e-3}};
  for (int key = 1; key <= 12; ++key) {
    const auto& row = table[key - 1];
    EXPECT_EQ(WindowOfHornKey(key), row.n) << "key " << key;
    EXPECT_NEAR(EyeGain(row.n), row.gain, row.margin) << "n = " << row.n;
  }
  EXPECT_EQ(std::pair(WindowOfHornKey(0), WindowOfHornKey(13)), std::pair(0, 0));
  const std::vector<double> p = EyeProfile(16);
  ASSERT_EQ(p.size(), 17u);
  EXPECT_EQ(std::tuple(p[0], p[8], p[16]), std::tuple(0.0, 1.0, 0.0));
  EXPECT_DOUBLE_EQ(p[4], 1.0 / 64.0);  // (1 - 4/8)^6
  const auto t = SunGlassTable(SunGlassLimit(2));
  EXPECT_EQ(std::pair(t[0], t[128]), std::pair(0.5, 1.0));
  EXPECT_NEAR(t[112], 0.7027, 5e-5);
  EXPECT_DOUBLE_EQ(SunGlassTable(SunGlassLimit(1))[0], 0.9);
  EXPECT_NEAR(SunGlassTable(SunGlassLimit(3))[0], 0.1, 1e-15);
}

// [SECTION] Known values

// The window sum's last step: an estimate just below a whole quotient, or just
// above, still gives the truncated quotient (r = 8: r^12 = 68719476736).
TEST(EyeEngine, TheQuotientOfAWindowSumIsExactWhateverItsEstimate) {
  const long long scale = 68719476736;
  const double inverse = 1.0 / static_cast<double>(scale);
  for (const long long whole : {5LL, -5LL, 1000003LL}) {
    __extension__ const __int128 num = static_cast<__int128>(whole) * scale;
    const double exact = static_cast<double>(num);
    for (const double estimate : {std::nextafter(exact, 0.0), exact, std::nextafter(exact, 2 * exact)}) {
      EXPECT_EQ(EyeTruncatedQuotient(num, estimate, scale, inverse), whole) << whole;
      EXPECT_EQ(EyeTruncatedQuotient(num - 1, estimate, scale, inverse), whole > 0 ? whole - 1 : whole) << whole;
      EXPECT_EQ(EyeTruncatedQuotient(num + 1, estimate, scale, inverse), whole > 0 ? whole : whole + 1) << whole;
    }
  }
}

// The worked example, mode 1, n = 16, sun glass 2: flat 100, 120, 140 against
// 110, 118, 126. A whole picture is worked to its edges: the window's samples
// beyond it are the nearest edge pixel's, so a flat picture gives the worked
// example's value at every pixel, its corners included, and no white frame.
TEST(EyeEngine, WorkedExampleAndAWholePictureWorkedToItsEdges) {
  const Picture3 source = Flat(40, 30, {100, 120, 140});
  const EyeParameters p = Both(110, 118, 126);
  for (const Picture3& run : {RunFast(source, 16, p), RunLiteral(source, 16, p)})
    EXPECT_EQ(run.pixel(20, 20), (Bgr{91, 121, 151}));
  for (const Picture3& run : {RunExtended(source, 16, p), RunLiteral(source, 16, p, Edges::Extend)})
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 40; ++x) ASSERT_EQ(run.pixel(y, x), (Bgr{91, 121, 151})) << y << ", " << x;
  // The pixel itself, not its row's first: a column darker at the left edge
  // reaches the pixels next to it exactly as a column beyond it would.
  const Picture3 edged = Painted(30, 20, [](int x, int) { return x == 0 ? std::array{0, 0, 0} : std::array{200, 200, 200}; });
  Picture3 wider = Painted(30 + 8, 20, [](int x, int) { return x <= 8 ? std::array{0, 0, 0} : std::array{200, 200, 200}; });
  const Picture3 a = RunExtended(edged, 16, Both(0, 0, 0)), b = RunExtended(wider, 16, Both(0, 0, 0));
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 30; ++x) ASSERT_EQ(a.pixel(y, x), b.pixel(y, x + 8)) << y << ", " << x;
}

TEST(EyeEngine, PivotsStayInsideTheWhiteFrameAppointBoundsAreStrictAndTheAreaEyeKeepsItsBand) {
  // A flat picture at its mode's pivot keeps its level; the frame is rows and
  // columns 0..r at the bottom and left, H-r.. and W-r.. at the top and right.
  const Bgr white{255, 255, 255};
  const struct { Bgr colour; EyeParameters p; } cases[] = {
      {{110, 118, 126}, Both(110, 118, 126)}, {{0, 0, 0}, {.mode = 2}}, {white, {.mode = 3}}};
  const int w = 60, h = 50;
  for (int n : {4, 8, 16, 40})
    for (const auto& c : cases) {
      const int r = n / 2;
      const Picture3 out = RunFast(Flat(w, h, c.colour), n, c.p);
      const struct { int y, x; Bgr want; } probes[] = {
          {25, 25, c.colour}, {r, 30, white},    {r + 1, 30, c.colour}, {h - r, 30, white}, {h - r - 1, 30, c.colour},
          {25, r, white},     {25, r + 1, c.colour}, {25, w - r, white},  {25, w - r - 1, c.colour}};
      for (const auto& q : probes)
        EXPECT_EQ(out.pixel(q.y, q.x), q.want) << "n " << n << " mode " << c.p.mode << " at " << q.y << "," << q.x;
    }
  // A gray patch: its own gray level is on a bound, so it counts as outside.
  const Picture3 source = Gradients(40, 40);
  const int y = 20, x = 20;
  const int level = static_cast<int>(0.299 * source.at(2, y, x) + 0.587 * source.at(1, y, x) + 0.114 * source.at(0, y, x));
  const auto at = [&](const EyeParameters& p) { return RunFast(source, 16, p).pixel(y, x); };
  const auto grayRange = [&](int low, int high) {
    return at({.reference = {100, 100, 100}, .appointOn = true, .appointKind = 2, .appointSource = 1, .appointMin = low,
               .appointMax = high});
  };
  const Bgr off = at(Both(100, 100, 100)), onBound = grayRange(level, level + 5), farAway = grayRange(250, 255);
  EXPECT_EQ(grayRange(level - 1, level + 5), off);  // inside: weight 3 as with appoint off
  EXPECT_EQ(onBound, farAway);                      // on the bound: weight 31
  EXPECT_NE(off[0], farAway[0]);
  // Colour box: a bound equal to the sample is outside too.
  const std::array<AppointRange, 3> box{AppointRange{static_cast<int>(source.at(0, y, x)), 255}, AppointRange{0, 255},
                                        AppointRange{0, 255}};
  EXPECT_EQ(at({.reference = {100, 100, 100}, .appointOn = true, .appointKind = 1, .appointBox = box}), farAway);
  // The area eye touches only its band and draws no frame.
  const Picture3 scene = Scene(120, 100);
  const EyeParameters area{.reference = {120, 130, 140}, .areaEyeOn = true,
                           .areaEyeRect = {30, 60, 80, 90},  // client y 60..90
                           .eyeWindowShift = 16};
  // Plane rows strictly between yLow = 100 - 90 + 48 = 58 and yHigh = 100 - 60 + 48 = 88.
  const Picture3 out = RunFast(scene, 16, area);
  EXPECT_EQ(Differences(out, RunLiteral(scene, 16, area)), "");
  for (int row = 0; row < 100; ++row)
    for (int column = 0; column < 120; ++column) {
      const bool eligible = row > 58 && row < 88 && column >= 30 && column <= 80 && row <= 100 - 8 && column <= 120 - 9;
      EXPECT_EQ(out.at(1, row, column) != 7u, eligible) << row << "," << column;
    }
}

// A band target holds only its rows and gets every pixel of them, the frame
// included, whatever the band height and even for pictures narrower or lower
// than the window. The source may be just the rows the band's windows reach
// (read past them, the sanitizer build stops).
TEST(EyeEngine, RowOrderBandsAndStackedBandTargetsGiveTheWholePass) {
  for (const auto& [w, h, n, bandRows] : {std::tuple{90, 80, 20, 7}, std::tuple{90, 80, 40, 64},
                                          std::tuple{12, 30, 16, 5}, std::tuple{50, 9, 8, 4}}) {
    const Picture3 source = Scene(w, h);
    const EyeParameters p = Both(120, 130, 140);
    const Picture3 whole = RunFast(source, n, p, 1);
    Picture3 bands(w, h, 7), rowByRow(w, h, 7), stacked(w, h, 7), stackedFromWindows(w, h, 7);
    for (int top = h; top > 0; top -= bandRows)  // bands from the top down
      VantorEyeRowsOn(source.view(), bands.view(), w, h, n, p, std::max(0, top - bandRows), top, 2);
    for (int y = 0; y < h; y += 2) VantorEyeRowsOn(source.view(), rowByRow.view(), w, h, n, p, y, y + 1, 1);
    for (int y = 1; y < h; y += 2) VantorEyeRowsOn(source.view(), rowByRow.view(), w, h, n, p, y, y + 1, 1);
    for (int y = 0; y < h; y += bandRows) {
      const int rows = std::min(bandRows, h - y);
      const int windowFirst = std::max(0, y - n / 2), windowEnd = std::min(h, y + rows + n / 2);
      Picture3 window(w, windowEnd - windowFirst, 0);
      for (std::size_t k = 0; k < 3; ++k)
        std::copy_n(source.plane[k].begin() + windowFirst * w, window.plane[k].size(), window.plane[k].begin());
      Picture3 band(w, rows, 3), bandFromWindow(w, rows, 3);
      VantorEyeBandOn(source.view(), 0, band.view(), w, h, n, p, y, y + rows, 2);
      VantorEyeBandOn(window.view(), windowFirst, bandFromWindow.view(), w, h, n, p, y, y + rows, 1);
      for (std::size_t k = 0; k < 3; ++k) {
        std::ranges::copy(band.plane[k], stacked.plane[k].begin() + y * w);
        std::ranges::copy(bandFromWindow.plane[k], stackedFromWindows.plane[k].begin() + y * w);
      }
    }
    for (const Picture3* run : {&bands, &rowByRow, &stacked, &stackedFromWindows})
      EXPECT_EQ(Differences(whole, *run), "") << w << " x " << h << ", n " << n;
  }
}

TEST(EyeEngine, ProgramEntryPointsWorkOnTheProgramPlanes) {
  // VantorEyeRow over every row, VantorEyeRows in bands and the generic form
  // on a copy give the same planes.
  ResetToneState();
  const Picture3 scene = Scene(Stride, CanvasRows);
  for (std::size_t c = 0; c < 3; ++c) std::copy(scene.plane[c].begin(), scene.plane[c].end(), InnerPlanes[c].begin());
  Tone.eye.reference = {120, 130, 140};
  Tone.hornKey = 6;
  const int n = WindowOfHornKey(Tone.hornKey);
  for (auto& plane : WorkPlanes) std::fill(plane.begin(), plane.end(), 7u);
  for (int y = CanvasRows - 1; y >= 0; --y) VantorEyeRow(Stride, n, y);
  const auto first = std::make_unique<PlaneSet>(WorkPlanes);  // 12 MB: not on the stack
  for (auto& plane : WorkPlanes) std::fill(plane.begin(), plane.end(), 7u);
  for (int top = CanvasRows; top > 0; top -= 64) VantorEyeRows(std::max(0, top - 64), top, n);
  EXPECT_TRUE(*first == WorkPlanes);
  const Picture3 target = RunFast(scene, n, Tone.eye);
  EXPECT_TRUE(std::equal(target.plane[1].begin(), target.plane[1].end(), WorkPlanes[1].begin()));
  ResetToneState();
}

// [SECTION] Fast against literal
// The fast window sum is exact, so only rounding in
// the literal double sum could differ; none has turned up over this corpus.

class EyeEquivalenceUnits : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override { UseEyeVectorUnits(GetParam()); }
  void TearDown() override { UseEyeVectorUnits(true); }
};
INSTANTIATE_TEST_SUITE_P(VectorAndPlain, EyeEquivalenceUnits, ::testing::Values(true, false));

TEST_P(EyeEquivalenceUnits, EveryKeyAndModeOverTheCorpusWithTheEdgesAsOnTheCanvasOrExtended) {
  const Picture3 corpus[] = {FlatPatches(100, 90), Gradients(100, 90), Noise(100, 90, 3), Scene(100, 90)};
  for (int key = 1; key <= 12; ++key)
    for (int mode = 1; mode <= 6; ++mode) {
      const std::size_t which = static_cast<std::size_t>(key + mode) % 4;
      const EyeParameters p{.mode = mode, .sunGlassLevel = (key + 2 * mode) % 3 + 1,
                            .reference = References[static_cast<std::size_t>(key * 7 + mode) % 4]};
      EXPECT_EQ(FastAgainstLiteral(corpus[which], WindowOfHornKey(key), p), "")
          << "key " << HornKeyLetters[static_cast<std::size_t>(key - 1)] << " mode " << mode << " picture " << which;
    }
  // With the edges extended, over the corpus and over pictures smaller than
  // the window (every sample of the window then a copy of an edge pixel).
  const Picture3 extended[] = {FlatPatches(100, 90), Gradients(60, 50), Noise(70, 40, 5), Scene(100, 90),
                               Noise(1, 1, 2),       Noise(3, 2, 4),     Gradients(7, 41)};
  for (int key = 1; key <= 12; ++key)
    for (const int mode : {1 + key % 3, 4 + (key + 1) % 3})
      for (std::size_t which = 0; which < std::size(extended); ++which) {
        if (which < 4 && (key + mode + static_cast<int>(which)) % 3 != 0) continue;  // a third of the large ones
        const EyeParameters p{.mode = mode, .sunGlassLevel = (key + 2 * mode) % 3 + 1,
                              .reference = References[static_cast<std::size_t>(key * 7 + mode) % 4],
                              .appointOn = key % 4 == 0, .appointKind = 2, .appointGray = 120,
                              .appointHalfWidth = 40};
        const int n = WindowOfHornKey(key);
        EXPECT_EQ(Differences(RunExtended(extended[which], n, p), RunLiteral(extended[which], n, p, Edges::Extend)), "")
            << "key " << HornKeyLetters[static_cast<std::size_t>(key - 1)] << " mode " << mode << " picture " << which;
      }
}

TEST(EyeEquivalence, SunGlassAppointAreaEyeAndSamplesOutsideTheByteRange) {
  const Picture3 scene = Scene(110, 96), noise = Noise(110, 96, 9);
  for (int level = 1; level <= 3; ++level)
    for (int kind = 1; kind <= 3; ++kind)
      for (int source = 0; source <= 1; ++source)
        for (int n : {6, 16, 40}) {
          EyeParameters p{.mode = (level + 2 * (kind - 1) - 1) % 6 + 1,  // 1..6 across the cases
                          .sunGlassLevel = level, .reference = {140, 150, 160}, .appointOn = true, .appointKind = kind,
                          .appointSource = source, .appointGray = 150, .appointHalfWidth = 30, .appointMin = 60,
                          .appointMax = 190,
                          .appointBox = {AppointRange{50, 200}, AppointRange{80, 240}, AppointRange{30, 170}}};
          for (const Picture3* picture : {&scene, &noise})
            EXPECT_EQ(FastAgainstLiteral(*picture, n, p), "")
                << "kind " << kind << " source " << source << " level " << level << " n " << n;
          p.appointOn = false;
          p.areaEyeOn = true;
          p.areaEyeRect = {10 + n, 40, 90, 100};
          p.eyeWindowShift = n;
          EXPECT_EQ(FastAgainstLiteral(scene, n, p), "") << "area eye, level " << level << " n " << n;
        }
  // Samples outside the byte range: a small spread stays on the fast double paths, a large one takes the exact
  // integer path; both give the literal result, clamped.
  for (std::uint32_t spread : {300u, 100000u, 50000000u, 2000000000u}) {
    const Picture3 source = OutOfRange(90, 80, spread);
    for (int n : {4, 16, 24, 40})
      for (int mode : {1, 2, 3, 5}) {
        const EyeParameters p{.mode = mode, .reference = {100, 20, 240}};
        EXPECT_EQ(FastAgainstLiteral(source, n, p), "") << "spread " << spread << " n " << n << " mode " << mode;
      }
  }
}

// [SECTION] Channel levels

TEST(ChannelLevels, HandMadeHistogramsAndTheWorkPlanesIntoTheReferenceColour) {
  // Each level is the last value whose running count is still below its share.
  std::array<long long, 256> spike{}, uniform{}, tiny{};
  spike[10] = 100;  // running count 0 below 10, 100 from 10 on: 9 for every share
  spike[0] = 5000;  // 0 and 255 are left out
  spike[255] = 9000;
  for (std::size_t v = 1; v <= 100; ++v) uniform[v] = 1;  // total 100, running count v: 4 > v for v <= 3, ...
  tiny[7] = 3;  // total 3: shares 0, 1, 2; the 4 % share is 0 and never moves
  const struct { const std::array<long long, 256>* histogram; std::array<int, 3> want; } cases[] = {
      {&spike, {9, 9, 9}}, {&uniform, {3, 49, 95}}, {&tiny, {0, 6, 6}}};
  for (const auto& c : cases) EXPECT_EQ(Levels(ChannelLevelOfHistogram(*c.histogram)), c.want);
  ResetToneState();
  // Blue: the left half 40, the right half 200; green all white (left out);
  // red 1..254 cycling, and one sample of 300 which does not count.
  for (std::size_t i = 0; i < static_cast<std::size_t>(Stride * CanvasRows); ++i) {
    const int x = static_cast<int>(i) % Stride;
    WorkPlanes[0][i] = x < Stride / 2 ? 40 : 200;
    WorkPlanes[1][i] = 255;
    WorkPlanes[2][i] = static_cast<std::uint32_t>(1 + (x % 254));
  }
  WorkPlanes[2][5] = 300;
  ComputeChannelLevels();
  EXPECT_EQ(Levels(Tone.channelLevels[0]), (std::array{39, 39, 199}));  // half the count is reached only at 40
  EXPECT_EQ(Tone.eye.reference, (std::array{39, 0, Tone.channelLevels[2].middle}));
  EXPECT_TRUE(Tone.channelLevels[2].middle > 100 && Tone.channelLevels[2].middle < 140) << Tone.channelLevels[2].middle;
  ResetToneState();
}
