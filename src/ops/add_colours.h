// ADD's pixel work: a column of seven nod colours spread over a grey range
// and blended into the picture.
//
// ADD splits the grey range lo..hi into six bands; nod colour k sits at the
// start of band k - 1 (colour 7 at hi), and a pixel of grey g takes the ramp
// colour between the two nod colours of its band, blended with its own.
//
// Routines:
//   GreyBandsOf           the seven band boundaries of a grey range
//   BandOf                the band (0..5) of a grey value, -1 outside the range
//   RampColour            the ramp colour of a grey value inside the range
//   BlendNodChannel       one channel of the blend (old x wOld + ramp x wNod) / W
//   AddNodColours         the addition over the planes (the fast form), from AddColourSettings
#pragma once

#include <array>
#include <cstdint>

#include "image/planes.h"

struct NodColour {
  std::int32_t red = 0, green = 0, blue = 0;
  friend constexpr bool operator==(const NodColour&, const NodColour&) = default;
};

// Seven nod colours: nod colour k at [k - 1].
using NodColumn = std::array<NodColour, 7>;

// Columns A, B, C at [0], [1], [2].
struct NodTable {
  std::array<NodColumn, 3> columns{};
  friend constexpr bool operator==(const NodTable&, const NodTable&) = default;
};

inline constexpr int NodColumnA = 1, NodColumnB = 2, NodColumnC = 3;
inline constexpr int NodColourCount = 7;

// The built-in default table.
inline constexpr NodTable BuiltInNodColours{{{
    {{{0, 0, 0}, {255, 255, 0}, {0, 0, 128}, {0, 255, 255}, {128, 0, 255}, {255, 128, 255}, {255, 255, 255}}},
    {{{128, 0, 0}, {0, 32, 255}, {0, 196, 255}, {0, 255, 128}, {194, 255, 64}, {255, 255, 128}, {255, 245, 255}}},
    {{{0, 0, 0}, {0, 255, 0}, {255, 0, 0}, {0, 0, 255}, {0, 255, 255}, {255, 0, 255}, {255, 255, 255}}},
}}};

// The boundaries b0..b6 of a grey range: d = (hi - lo) / 6, b_j = lo + j d,
// b6 = hi (0, 42, 84, 126, 168, 210, 255 for 0..255).
struct GreyBands {
  std::array<int, 7> bound{};
};
GreyBands GreyBandsOf(int lo, int hi);

// Band j with b_j <= g < b_(j+1) (band 5 includes b6), or -1 outside lo..hi.
int BandOf(const GreyBands& bands, std::int64_t grey);

// N(j+1) + (N(j+2) - N(j+1)) x t / s for a grey inside the range (t = g - b_j,
// s = b_(j+1) - b_j, truncation toward zero), channel by channel.
NodColour RampColour(const NodColumn& active, const GreyBands& bands, std::int64_t grey);

// The blend weights (w_old, w_nod): "sft" (7, 1), "md" (3, 1), "hd" (0, 1).
struct BlendWeights {
  int old = 7, nod = 1;
};
inline constexpr BlendWeights SoftWeights{7, 1}, MiddleWeights{3, 1}, HardWeights{0, 1};

// (old x w_old + ramp x w_nod) / (w_old + w_nod), truncated toward zero.
constexpr std::int64_t BlendNodChannel(std::int64_t old, std::int64_t ramp, BlendWeights w) {
  return (old * w.old + ramp * w.nod) / (w.old + w.nod);
}

// What one addition does: the active column's nod colours spread over the
// grey range lo..hi, blended in with the weights.
struct AddColourSettings {
  NodColumn active{};
  int lo = 0, hi = 255;
  BlendWeights weights{};
};

// The addition over width x height of the planes, in place: each pixel whose
// rounded gray lies in lo..hi gets its ramp colour blended in. Gives the same
// samples as the pixel-by-pixel rule (bench/reference/add_colour_literal.cpp).
void AddNodColours(const PlaneView& planes, int width, int height, const AddColourSettings& settings);
