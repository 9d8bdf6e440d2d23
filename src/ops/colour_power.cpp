// The FILTER page's pixel work.
//
// [SECTION] Settings arithmetic
// [SECTION] Tone curve and gray
// [SECTION] Colour power
// [SECTION] Colour balance
// [SECTION] Light core
//
// The fast forms give exactly the bytes of the sample-by-sample formulas:
// every table entry is worked by the formula itself, and every sample outside
// 0..255 goes through the formula directly.

#include "ops/colour_power.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

#include "image/gray.h"

namespace {

// Samples are 32-bit; read them as signed so a value that went below zero
// somewhere upstream counts as negative.
int SampleAt(const std::uint32_t* plane, std::size_t i) { return static_cast<std::int32_t>(plane[i]); }

std::uint32_t ClampByte(long long value) { return static_cast<std::uint32_t>(std::clamp(value, 0LL, 255LL)); }

// Calls visit(pointer to the row's first sample, samples in the row) for every
// row of plane k of the view.
template <typename Visit>
void ForEachRow(const PlaneView& planes, std::size_t k, Visit visit) {
  const std::size_t stride = static_cast<std::size_t>(std::max(planes.stride, 0));
  for (int row = 0; row < planes.rows; ++row) visit(planes.plane[k] + static_cast<std::size_t>(row) * stride, stride);
}

// Runs a per-plane table of 256 results over the view: bytes through the
// table, any other sample through the formula.
template <typename Formula>
void MapSamples(const PlaneView& planes, const std::array<std::array<std::uint32_t, 256>, 3>& tables, Formula formula) {
  for (std::size_t k = 0; k < 3; ++k) {
    const auto& table = tables[k];
    ForEachRow(planes, k, [&](std::uint32_t* line, std::size_t count) {
      for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t sample = line[i];
        line[i] = sample <= 255u ? table[sample]
                                 : static_cast<std::uint32_t>(formula(static_cast<std::int32_t>(sample), static_cast<int>(k)));
      }
    });
  }
}

}  // namespace

// [SECTION] Settings arithmetic

void ClampFilterSettings(FilterSettings& settings) {
  int& f = settings.lightCoreStart;
  int& t = settings.lightCoreEnd;
  f = std::max(f, 0);
  if (t <= f) t = f + 1;  // equal ends would leave a core of no width
  t = std::min(t, 255);
  if (t < 1) {
    f = 0;
    t = 1;
  }
  if (f > 254) {
    f = 254;
    t = 255;
  }
  settings.colourPower = std::clamp(settings.colourPower, LowestColourPower, HighestColourPower);
  settings.diamondStep = std::clamp(settings.diamondStep, LowestDiamondStep, HighestDiamondStep);
}

void CollapseSpectrumCore(FilterSettings& settings) {
  if (!settings.spectrumCoreOn) return;
  int& f = settings.lightCoreStart;
  int& t = settings.lightCoreEnd;
  if (t - f >= 2) {
    f = (f + t) / 2;
    t = f + 1;
  }
}

int LightCoreMarkerX(int start, int end) {
  const int middle = (start + end) / 2;
  return middle * 52 / 256 + 24;
}

int CommonPowerOfChannels(const ChannelPowers& powers) {
  // Worked like the gray, in thousandths, so equal powers p show p.
  const long long common = GrayTruncated(powers.red, powers.green, powers.blue);
  return static_cast<int>(std::clamp(common, -2147483648LL, 2147483647LL));
}

// [SECTION] Tone curve and gray

ToneCurve BuildToneCurve() {
  ToneCurve curve{};
  double largest = 0.0;
  for (int v = 0; v < 256; ++v) {
    const double rise = static_cast<double>(v - 255);
    curve[static_cast<std::size_t>(v)] = std::sqrt(65025.0 - rise * rise) - v;
    largest = std::max(largest, curve[static_cast<std::size_t>(v)]);
  }
  for (double& w : curve) w /= largest;
  return curve;
}


int PoweredSample(int sample, int gray, int power, const ToneCurve& curve) {
  // The curve is 0 at both ends, so a gray beyond them keeps no colour.
  const double w = curve[static_cast<std::size_t>(std::clamp(gray, 0, 255))];
  const double moved = (static_cast<double>(sample) - gray) * 0.01 * power * w;
  return static_cast<int>(std::clamp(std::trunc(moved) + gray, 0.0, 255.0));
}

// [SECTION] Colour power

std::array<int, 3> PlanePowers(const FilterSettings& settings) {
  if (settings.channelPowerMode == 0) return {settings.colourPower, settings.colourPower, settings.colourPower};
  return {settings.channelPower.blue, settings.channelPower.green, settings.channelPower.red};
}

void ApplyColourPower(const PlaneView& planes, const FilterSettings& settings) {
  ApplyColourPowerByPlane(planes, PlanePowers(settings));
}

// A byte-sample pixel takes its results from a table of 256 grays x 256
// samples per distinct power, each entry worked by PoweredSample itself, so the
// table gives exactly the formula's bytes; the gray is the only per-pixel
// arithmetic left. Any other pixel goes through the formula directly.
using PowerTable = std::vector<std::uint8_t>;  // [gray * 256 + sample]

PowerTable BuildPowerTable(int power, const ToneCurve& curve) {
  PowerTable table(256 * 256);
  for (int gray = 0; gray < 256; ++gray)
    for (int sample = 0; sample < 256; ++sample)
      table[static_cast<std::size_t>(gray * 256 + sample)] = static_cast<std::uint8_t>(PoweredSample(sample, gray, power, curve));
  return table;
}

void ApplyColourPowerByPlane(const PlaneView& planes, const std::array<int, 3>& powers) {
  const ToneCurve curve = BuildToneCurve();
  // With the common power (or equal channel powers) one table serves all three.
  std::array<PowerTable, 3> tables;
  std::array<const std::uint8_t*, 3> table{};
  for (std::size_t k = 0; k < 3; ++k) {
    std::size_t same = 0;
    while (powers[same] != powers[k]) ++same;
    if (same == k) tables[k] = BuildPowerTable(powers[k], curve);
    table[k] = tables[same].data();
  }

  const std::size_t stride = static_cast<std::size_t>(std::max(planes.stride, 0));
  for (int row = 0; row < planes.rows; ++row) {
    const std::size_t start = static_cast<std::size_t>(row) * stride;
    std::uint32_t* blue = planes.plane[0] + start;
    std::uint32_t* green = planes.plane[1] + start;
    std::uint32_t* red = planes.plane[2] + start;
    for (std::size_t i = 0; i < stride; ++i) {
      const std::uint32_t b = blue[i];
      const std::uint32_t g = green[i];
      const std::uint32_t r = red[i];
      if ((b | g | r) > 255u) {
        const int y = static_cast<int>(GrayTruncated(SampleAt(red, i), SampleAt(green, i), SampleAt(blue, i)));
        blue[i] = static_cast<std::uint32_t>(PoweredSample(SampleAt(blue, i), y, powers[0], curve));
        green[i] = static_cast<std::uint32_t>(PoweredSample(SampleAt(green, i), y, powers[1], curve));
        red[i] = static_cast<std::uint32_t>(PoweredSample(SampleAt(red, i), y, powers[2], curve));
        continue;
      }
      const auto row256 = static_cast<std::uint32_t>(GrayOf(static_cast<int>(r), static_cast<int>(g), static_cast<int>(b))) * 256;
      blue[i] = table[0][row256 + b];
      green[i] = table[1][row256 + g];
      red[i] = table[2][row256 + r];
    }
  }
}

// [SECTION] Colour balance

int PeachSample(int sample, int plane, const FilterLevels& levels) {
  const bool everyRangeOpen = std::all_of(levels.begin(), levels.end(), [](const FilterLevel& l) { return l.high - l.low > 0; });
  const FilterLevel& level = levels[static_cast<std::size_t>(plane)];
  long long d = static_cast<long long>(sample) - level.low;
  if (everyRangeOpen) d = d * 234 / (static_cast<long long>(level.high) - level.low) + 10;
  return static_cast<int>(ClampByte(d));
}

int BerrySample(int sample, int plane, const FilterLevels& levels) {
  long long widest = 0;
  for (const FilterLevel& l : levels) widest = std::max(widest, static_cast<long long>(l.high) - l.low);
  if (widest == 0) widest = 1;
  const double gain = static_cast<double>(255 / widest);
  const FilterLevel& level = levels[static_cast<std::size_t>(plane)];
  const double range = static_cast<double>(static_cast<long long>(level.high) - level.low);
  const double value = std::trunc((static_cast<double>(sample) - level.low) * gain) + std::trunc((255.0 - range * gain) * 0.5);
  return static_cast<int>(std::clamp(value, 0.0, 255.0));
}

void ApplyPeach(const PlaneView& planes, const FilterLevels& levels) {
  std::array<std::array<std::uint32_t, 256>, 3> tables{};
  for (int k = 0; k < 3; ++k)
    for (int v = 0; v < 256; ++v) tables[static_cast<std::size_t>(k)][static_cast<std::size_t>(v)] = static_cast<std::uint32_t>(PeachSample(v, k, levels));
  MapSamples(planes, tables, [&](int sample, int k) { return PeachSample(sample, k, levels); });
}

void ApplyBerry(const PlaneView& planes, const FilterLevels& levels) {
  std::array<std::array<std::uint32_t, 256>, 3> tables{};
  for (int k = 0; k < 3; ++k)
    for (int v = 0; v < 256; ++v) tables[static_cast<std::size_t>(k)][static_cast<std::size_t>(v)] = static_cast<std::uint32_t>(BerrySample(v, k, levels));
  MapSamples(planes, tables, [&](int sample, int k) { return BerrySample(sample, k, levels); });
}

// [SECTION] Light core

int LightCoreSample(int sample, int start, int end) {
  // Ends that meet or cross act as a one-wide core at f (a threshold).
  const long long width = end > start ? static_cast<long long>(end) - start : 1;
  const long long gain = 255 / width;
  return static_cast<int>(ClampByte(gain * (static_cast<long long>(sample) - start)));
}

void ApplyLightCore(std::span<const std::uint8_t> canvas, const PlaneView& planes, int start, int end) {
  std::array<std::uint32_t, 256> table{};
  for (int v = 0; v < 256; ++v) table[static_cast<std::size_t>(v)] = static_cast<std::uint32_t>(LightCoreSample(v, start, end));

  const std::size_t stride = static_cast<std::size_t>(std::max(planes.stride, 0));
  const std::size_t rowBytes = 3 * stride;
  // Rows the canvas does not hold are left as they are.
  const std::size_t rows = std::min(static_cast<std::size_t>(std::max(planes.rows, 0)), rowBytes == 0 ? 0 : canvas.size() / rowBytes);
  std::uint32_t any = 0;
  for (std::size_t row = 0; row < rows; ++row) {
    const std::uint8_t* bytes = canvas.data() + row * rowBytes;
    for (std::size_t k = 0; k < 3; ++k) {
      std::uint32_t* line = planes.plane[k] + row * stride;
      for (std::size_t i = 0; i < stride; ++i) {
        line[i] = table[bytes[3 * i + k]];
        any |= line[i];
      }
    }
  }
  // A core that leaves nothing lit gives a picture of 1s rather than of 0s.
  if (any != 0) return;
  for (std::size_t k = 0; k < 3; ++k)
    for (std::size_t row = 0; row < rows; ++row) std::fill_n(planes.plane[k] + row * stride, stride, std::uint32_t{1});
}
