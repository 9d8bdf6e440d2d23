// The Vantor Eye engine: a local pivoted-gain tone operation computed row by
// row ("level lines") from InnerPlanes into WorkPlanes, and the channel-level
// rule that gives its pivot.
//
// Every pixel takes the weighted sum of its n x n neighbourhood with the
// unnormalised window (1 - |dy|/r)^6 (1 - |dx|/r)^6, measured from a pivot
// (the reference colour, black or white), moves part of the way towards that
// amplified value (less near black and white: the sun glass), is blended back
// with its own value and clamped to 0..255.
//
// The window sum is computed exactly: the weights are (r-|dy|)^6 (r-|dx|)^6 /
// r^12, so the sum is an integer over r^12 and its truncation toward zero is
// found without rounding. Samples are read as signed 32-bit values; all
// intermediate values are held in 64 bits (or 128 for the window sums), so
// samples outside 0..255 give a defined result that is clamped at the end.
#pragma once

#include <array>
#include <vector>

#include "image/planes.h"

// Truncates num / scale toward zero, exactly. `estimate` is num in double
// (rounded); the quotient from estimate * inverseScale is off by at most one
// either way and is corrected in integers (the window sums' last step).
__extension__ inline long long EyeTruncatedQuotient(__int128 num, double estimate, long long scale,
                                                    double inverseScale) {
  long long q = static_cast<long long>(estimate * inverseScale);
  __extension__ __int128 rem = num - static_cast<__int128>(q) * scale;
  if (num >= 0) {
    while (rem < 0) { --q; rem += scale; }
    while (rem >= scale) { ++q; rem -= scale; }
  } else {
    while (rem > 0) { ++q; rem -= scale; }
    while (rem <= -scale) { --q; rem += scale; }
  }
  return q;
}

// ---- Parameters, with their start values.

struct AppointRange {  // open range low < sample < high
  int low = 0;
  int high = 255;
};

struct EyeRect {  // left and right are canvas columns, top and bottom client y
  int left = 0;
  int top = 32;
  int right = 1000;
  int bottom = 704;
};

struct ChannelLevel {  // the 4 %, 50 % and 96 % levels of one channel
  int low = 0;
  int middle = 0;
  int high = 0;
};

// ---- Tables.

// Horn key A..L (1..12) -> window size n.
inline constexpr std::array<int, 12> HornKeyWindows{4, 6, 8, 10, 12, 16, 20, 24, 28, 32, 36, 40};
inline constexpr std::array<char, 12> HornKeyLetters{'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'L'};
inline constexpr int LargestEyeWindow = 40;

int WindowOfHornKey(int hornKey);              // n for keys 1..12, 0 otherwise (no pass)
bool IsEyeWindow(int n);                       // even n in 2..40: a window the engine computes
double SunGlassLimit(int level);               // s: 1 -> 0.1, 2 -> 0.5, 3 -> 0.9 (out of range: nearest)
std::vector<double> EyeProfile(int n);         // P[0..n] = (1 - |k - r| / r)^6
double EyeGain(int n);                         // G = S^2, S = sum over |d| < r of (1 - |d| / r)^6
std::array<double, 129> SunGlassTable(double s);  // T[i] = 1 - s (1 - i / 128)^(1/4)

// ---- The pass.

// The settings of one pass, with their start values. The engine reads only
// these, so it runs on any planes and from several threads.
struct EyeParameters {
  int mode = 1;                      // 1 both, 2 light, 3 dark, 4..6 their weak forms
  int sunGlassLevel = 2;             // 1, 2, 3 (s = 0.1, 0.5, 0.9)
  std::array<int, 3> reference{0, 0, 0};  // blue, green, red pivot of the both mode
  bool appointOn = false;                 // 1: the blend weight follows the appoint condition
  int appointKind = 2;               // 1 colour box, 2 gray range, 3..5 no condition
  int appointSource = 0;             // 0 gray +- half width, 1 or 2 min .. Max
  int appointGray = 0;
  int appointHalfWidth = 8;
  int appointMin = 0;
  int appointMax = 0;
  std::array<AppointRange, 3> appointBox{};  // blue, green, red
  bool areaEyeOn = false;                 // 1: only the area-eye rectangle
  EyeRect areaEyeRect{};
  int eyeWindowShift = 0;            // window size of the VANTOR EYE page pass
};

// Rows and columns a pass computes on a width x height picture: rows
// yLow < y < yHigh, columns left..right (inclusive), already clipped to the
// rows whose window stays inside (r .. height - r) and the columns r ..
// width - r - 1. Empty when first > last.
struct EyeRegion {
  int firstRow = 0;
  int lastRow = -1;
  int firstColumn = 0;
  int lastColumn = -1;
};
EyeRegion EyeRegionOf(int width, int height, int n, const EyeParameters& parameters);

// The size-generic pass: computes every row y with yFrom <= y < yTo of the
// region above from `source` into `target` (views of at least width x height),
// using up to `threads` threads, then (area eye off) writes the white frame:
// rows 0..r and height-r..height-1, columns 0..r and width-r..width-1. Rows do
// not depend on each other, so bands may come in any order. An n that is not
// an engine window does nothing. source and target must not overlap.
void VantorEyeRowsOn(const PlaneView& source, const PlaneView& target, int width, int height, int n,
                     const EyeParameters& parameters, int yFrom, int yTo, int threads);

// The same over rows yFrom <= y < yTo into `band`, a view of just those rows
// (its row 0 is picture row yFrom), the frame of those rows included; every
// pixel of the band is written when the area eye is off. The source may hold
// only some rows too: its row 0 is picture row sourceFirstRow, and it must
// hold rows yFrom - n/2 .. yTo - 1 + n/2 of the picture (those that exist).
// Band by band, a large picture is never held whole.
void VantorEyeBandOn(const PlaneView& source, int sourceFirstRow, const PlaneView& band, int width, int height, int n,
                     const EyeParameters& parameters, int yFrom, int yTo, int threads);

// The same with the picture's edges extended, as a whole picture is worked:
// every pixel of rows yFrom <= y < yTo is computed into `band` (its row 0 is
// row yFrom), with the window's samples beyond the picture taken from the
// nearest edge pixel, and no frame is written (the area eye does not apply).
// `source` holds those samples: rows yFrom - n/2 .. yTo - 1 + n/2, a row
// beyond the picture a copy of its nearest edge row, and n/2 samples beyond
// each end of a row, copies of its end samples; its row 0 is picture row
// sourceFirstRow (below 0 when it holds rows under the picture) and its
// columns -n/2 .. -1 lie in memory before column 0 (EdgeExtendedRows in
// image/planes.h makes such rows).
void VantorEyeBandExtended(const PlaneView& source, int sourceFirstRow, const PlaneView& band, int width, int height,
                           int n, const EyeParameters& parameters, int yFrom, int yTo, int threads);

// The white frame alone, as above; and over rows yFrom <= y < yTo alone,
// into a view of just those rows.
void WriteEyeFrame(const PlaneView& target, int width, int height, int n);
void WriteEyeFrameOnRows(const PlaneView& band, int width, int height, int n, int yFrom, int yTo);

// For tests: false makes the engine use its plain code where it would use the
// processor's vector units (AVX2), so both forms can be checked on one machine.
// Set it only while no pass runs.
void UseEyeVectorUnits(bool on);

// ---- Channel levels.

// The channel-level rule over width x height of the planes: per channel a
// histogram with bins 0 and 255 (and samples outside 0..255) left out; each
// level is the last value whose running count is still below its share
// (trunc(total * 0.04), 0.5, 0.96); levels start at 0.
std::array<ChannelLevel, 3> ChannelLevelsOf(const PlaneView& planes, int width, int height);

// The levels from a ready histogram (bins 0..255), as above.
ChannelLevel ChannelLevelOfHistogram(const std::array<long long, 256>& histogram);
