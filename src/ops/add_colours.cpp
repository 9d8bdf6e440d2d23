#include "ops/add_colours.h"

#include <algorithm>
#include <cstddef>
#include <vector>

#include "image/gray.h"

GreyBands GreyBandsOf(int lo, int hi) {
  GreyBands bands;
  const int d = (hi - lo) / 6;
  for (int j = 0; j < 6; ++j) bands.bound[static_cast<std::size_t>(j)] = lo + j * d;
  bands.bound[6] = hi;
  return bands;
}

int BandOf(const GreyBands& bands, std::int64_t grey) {
  const auto& b = bands.bound;
  for (int j = 0; j < 5; ++j) {
    if (b[static_cast<std::size_t>(j)] <= grey && grey < b[static_cast<std::size_t>(j) + 1]) return j;
  }
  if (b[5] <= grey && grey <= b[6]) return 5;
  return -1;
}

namespace {

// One channel of the ramp; a band of no width (a range narrower than six
// greys) holds its first nod colour rather than dividing by zero.
std::int64_t RampChannel(std::int64_t from, std::int64_t to, std::int64_t t, std::int64_t s) {
  return s == 0 ? from : from + (to - from) * t / s;
}

}  // namespace

NodColour RampColour(const NodColumn& active, const GreyBands& bands, std::int64_t grey) {
  const int j = std::max(BandOf(bands, grey), 0);
  const auto k = static_cast<std::size_t>(j);
  const std::int64_t t = grey - bands.bound[k];
  const std::int64_t s = bands.bound[k + 1] - bands.bound[k];
  const NodColour& a = active[k];
  const NodColour& b = active[k + 1];
  return NodColour{static_cast<std::int32_t>(RampChannel(a.red, b.red, t, s)),
                   static_cast<std::int32_t>(RampChannel(a.green, b.green, t, s)),
                   static_cast<std::int32_t>(RampChannel(a.blue, b.blue, t, s))};
}

namespace {

// The ramp of every byte gray, worked once per addition.
struct RampTable {
  std::array<std::array<std::uint8_t, 256>, 3> channel{};  // plane order: blue, green, red
  std::array<bool, 256> inside{};
  bool allInside = true;  // the range covers every byte gray (ADD's 0..255)
  bool bytes = true;      // every ramp channel within 0..255
};

RampTable MakeRampTable(const NodColumn& active, int lo, int hi) {
  RampTable table;
  const GreyBands bands = GreyBandsOf(lo, hi);
  for (int g = 0; g < 256; ++g) {
    const auto i = static_cast<std::size_t>(g);
    table.inside[i] = BandOf(bands, g) >= 0;
    table.allInside = table.allInside && table.inside[i];
    if (!table.inside[i]) continue;
    const NodColour c = RampColour(active, bands, g);
    const std::array<std::int32_t, 3> planeOrder = {c.blue, c.green, c.red};
    for (std::size_t k = 0; k < 3; ++k) {
      table.bytes = table.bytes && planeOrder[k] >= 0 && planeOrder[k] <= 255;
      table.channel[k][i] = static_cast<std::uint8_t>(planeOrder[k]);
    }
  }
  return table;
}

// A pixel the byte path cannot take (a sample above 255): the rule itself.
void AddToPixel(std::uint32_t& blue, std::uint32_t& green, std::uint32_t& red, const NodColumn& active,
                const GreyBands& bands, BlendWeights w) {
  const std::int64_t g = GrayRounded(red, green, blue);
  if (BandOf(bands, g) < 0) return;
  const NodColour ramp = RampColour(active, bands, g);
  blue = static_cast<std::uint32_t>(BlendNodChannel(blue, ramp.blue, w));
  green = static_cast<std::uint32_t>(BlendNodChannel(green, ramp.green, w));
  red = static_cast<std::uint32_t>(BlendNodChannel(red, ramp.red, w));
}

// The rounded grays of a row of byte samples; false when a sample of the
// row lies above 255. Built twice, for processors with AVX2 and without, as
// both loops vectorise well.
__attribute__((target_clones("arch=x86-64-v3", "default"))) bool GreysOfByteRow(const std::uint32_t* blue,
                                                                                 const std::uint32_t* green,
                                                                                 const std::uint32_t* red,
                                                                                 std::uint8_t* greys, int width) {
  std::uint32_t any = 0;
  for (int x = 0; x < width; ++x) any |= blue[x] | green[x] | red[x];
  if (any > 255u) return false;
  for (int x = 0; x < width; ++x) {
    greys[x] = static_cast<std::uint8_t>(RoundedGrayOfLanes(red[x], green[x], blue[x]));
  }
  return true;
}

// The rows with weights known at compile time, so the division by W is a
// multiplication; every operand is a non-negative byte product. A row is
// taken in three passes that the compiler can vectorise (are all samples
// bytes? the grays) and one of table look-ups; a row with a sample above
// 255 goes through the rule pixel by pixel.
template <int WOld, int WNod>
void AddRows(const PlaneView& p, int width, int height, const RampTable& table, const NodColumn& active,
             const GreyBands& bands) {
  constexpr std::uint32_t W = WOld + WNod;
  std::vector<std::uint8_t> greys(static_cast<std::size_t>(width));
  for (int row = 0; row < height; ++row) {
    const std::size_t start = static_cast<std::size_t>(row) * static_cast<std::size_t>(p.stride);
    std::uint32_t* blue = p.plane[0] + start;
    std::uint32_t* green = p.plane[1] + start;
    std::uint32_t* red = p.plane[2] + start;
    if (!GreysOfByteRow(blue, green, red, greys.data(), width)) {
      for (int x = 0; x < width; ++x) AddToPixel(blue[x], green[x], red[x], active, bands, BlendWeights{WOld, WNod});
      continue;
    }
    if (table.allInside) {
      // Every pixel takes part: one branch-free pass per plane.
      for (std::size_t k = 0; k < 3; ++k) {
        std::uint32_t* samples = p.plane[k] + start;
        const std::uint8_t* ramp = table.channel[k].data();
        for (int x = 0; x < width; ++x) {
          samples[x] = (samples[x] * WOld + ramp[greys[static_cast<std::size_t>(x)]] * std::uint32_t{WNod}) / W;
        }
      }
      continue;
    }
    for (int x = 0; x < width; ++x) {
      const std::size_t grey = greys[static_cast<std::size_t>(x)];
      if (!table.inside[grey]) continue;
      blue[x] = (blue[x] * WOld + table.channel[0][grey] * std::uint32_t{WNod}) / W;
      green[x] = (green[x] * WOld + table.channel[1][grey] * std::uint32_t{WNod}) / W;
      red[x] = (red[x] * WOld + table.channel[2][grey] * std::uint32_t{WNod}) / W;
    }
  }
}

}  // namespace

void AddNodColours(const PlaneView& planes, int width, int height, const AddColourSettings& settings) {
  const BlendWeights weights = settings.weights;
  if (weights.old < 0 || weights.nod < 0 || weights.old + weights.nod <= 0) return;  // no blend to make
  if (width <= 0 || height <= 0) return;
  const NodColumn& active = settings.active;
  const GreyBands bands = GreyBandsOf(settings.lo, settings.hi);
  const RampTable table = MakeRampTable(active, settings.lo, settings.hi);
  if (table.bytes && weights.old == 7 && weights.nod == 1) {
    return AddRows<7, 1>(planes, width, height, table, active, bands);
  }
  if (table.bytes && weights.old == 3 && weights.nod == 1) {
    return AddRows<3, 1>(planes, width, height, table, active, bands);
  }
  if (table.bytes && weights.old == 0 && weights.nod == 1) {
    return AddRows<0, 1>(planes, width, height, table, active, bands);
  }
  // Any other weights or ramp: the rule pixel by pixel.
  for (int row = 0; row < height; ++row) {
    for (int x = 0; x < width; ++x) {
      AddToPixel(planes.at(0, row, x), planes.at(1, row, x), planes.at(2, row, x), active, bands, weights);
    }
  }
}
