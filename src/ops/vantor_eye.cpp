// The Vantor Eye engine.
//
// [SECTION] tables
// [SECTION] the exact window: integer weights, bounds, exact truncation
// [SECTION] the per-pixel rule after the window sum
// [SECTION] window sums: vectorised double passes and the exact 128-bit path
// [SECTION] the pass: region, threads, frame
// [SECTION] channel levels
//
// How the sum is kept exact. The weight of offset (dy, dx) is
// (r-|dy|)^6 (r-|dx|)^6 / r^12, so the window sum of integer samples is an
// integer V over r^12. The engine first sums each column over the window rows
// (integer weights times samples: exact in doubles), then sums those along the
// row. For windows up to 20 the second sum stays below 2^53 and is exact in
// doubles too; for larger windows the column sums are split into a high and a
// low part (V1 = hi * 2^16 + lo), each summed exactly, and joined in 128-bit
// integers. The truncation of V / r^12 toward zero is estimated in double and
// corrected by an exact 128-bit remainder check. Samples so large that even
// this cannot be exact take a scalar path in 64/128-bit integers.
#include "ops/vantor_eye.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <thread>

#include "image/gray.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

// ============================================================================
// [SECTION] tables
// ============================================================================

int WindowOfHornKey(int hornKey) {
  if (hornKey < 1 || hornKey > static_cast<int>(HornKeyWindows.size())) return 0;
  return HornKeyWindows[static_cast<std::size_t>(hornKey - 1)];
}

bool IsEyeWindow(int n) { return n >= 2 && n <= LargestEyeWindow && n % 2 == 0; }

double SunGlassLimit(int level) {
  static constexpr std::array<double, 3> limits{0.1, 0.5, 0.9};
  return limits[static_cast<std::size_t>(std::clamp(level, 1, 3) - 1)];
}

std::vector<double> EyeProfile(int n) {
  const int r = n / 2;
  std::vector<double> profile(static_cast<std::size_t>(n) + 1, 0.0);
  if (r < 1) return profile;
  for (int k = 0; k <= 2 * r; ++k) {
    profile[static_cast<std::size_t>(k)] = std::pow(1.0 - std::abs(k - r) / static_cast<double>(r), 6.0);
  }
  return profile;
}

double EyeGain(int n) {
  const int r = n / 2;
  if (r < 1) return 0.0;
  double s = 0.0;
  for (int d = -(r - 1); d <= r - 1; ++d) s += std::pow(1.0 - std::abs(d) / static_cast<double>(r), 6.0);
  return s * s;
}

std::array<double, 129> SunGlassTable(double s) {
  std::array<double, 129> table{};
  for (int i = 0; i <= 128; ++i) {
    table[static_cast<std::size_t>(i)] = 1.0 - s * std::sqrt(std::sqrt(1.0 - i / 128.0));
  }
  return table;
}

namespace {

__extension__ typedef __int128 Int128;

// ============================================================================
// [SECTION] the exact window
// ============================================================================

constexpr int MaxTaps = 2 * LargestEyeWindow;  // room for 2r - 1 taps
constexpr double SplitUnit = 65536.0;           // column sums = hi * 2^16 + lo
constexpr double ExactLimit = 9007199254740992.0;  // 2^53

// The 2r - 1 nonzero weights of one axis, (r - |d|)^6 for d = -(r-1) .. r-1
// (the first window row and column weigh 0 and are skipped), their sum S,
// S^2 and the common divisor r^12.
struct EyeWindow {
  int n = 0;
  int r = 0;
  int taps = 0;
  std::array<double, MaxTaps> weight{};
  std::array<long long, MaxTaps> weightInteger{};
  std::array<std::int32_t, MaxTaps> weight32{};  // the same (below 2^31 for r <= 20)
  long long sum = 0;
  Int128 sumSquared = 0;
  long long scale = 0;  // r^12 (< 2^63 for r <= 20)
  double inverseScale = 0.0;
};

EyeWindow MakeEyeWindow(int n) {
  EyeWindow w;
  w.n = n;
  w.r = n / 2;
  w.taps = 2 * w.r - 1;
  for (int t = 0; t < w.taps; ++t) {
    const long long base = w.r - std::abs(t - (w.r - 1));
    const long long p = base * base * base * base * base * base;
    w.weightInteger[static_cast<std::size_t>(t)] = p;
    w.weight32[static_cast<std::size_t>(t)] = static_cast<std::int32_t>(p);
    w.weight[static_cast<std::size_t>(t)] = static_cast<double>(p);
    w.sum += p;
  }
  const long long r6 = static_cast<long long>(w.r) * w.r * w.r * w.r * w.r * w.r;
  w.scale = r6 * r6;
  w.sumSquared = static_cast<Int128>(w.sum) * w.sum;
  w.inverseScale = 1.0 / static_cast<double>(w.scale);
  return w;
}

inline long long TruncatedQuotient(Int128 num, double estimate, const EyeWindow& w) {
  return EyeTruncatedQuotient(num, estimate, w.scale, w.inverseScale);
}

// Which arithmetic is exact for samples of magnitude up to maxSample.
enum class SumPath { Direct, Split, Exact };

SumPath ChooseSumPath(const EyeWindow& w, long long maxSample) {
  const double columnBound = static_cast<double>(maxSample) * static_cast<double>(w.sum);
  if (columnBound * static_cast<double>(w.sum) < ExactLimit * 0.5) return SumPath::Direct;
  const double highBound = (columnBound / SplitUnit + 1.0) * static_cast<double>(w.sum);
  const double lowBound = SplitUnit * static_cast<double>(w.sum);
  if (columnBound < ExactLimit * 0.5 && highBound < ExactLimit * 0.5 && lowBound < ExactLimit * 0.5) {
    return SumPath::Split;
  }
  return SumPath::Exact;
}

// Whether samples of magnitude up to maxSample keep every column sum, and so
// every partial sum and product of it, below 2^31.
bool SmallColumnSums(const EyeWindow& w, long long maxSample) {
  return static_cast<double>(maxSample) * static_cast<double>(w.sum) < 2147483648.0;
}

// ============================================================================
// [SECTION] the per-pixel rule after the window sum
// ============================================================================

enum class Pivot { Reference, Black, White };
enum class Blend { Always, ColourBox, GrayRange, None };

// The parameters of a pass turned into what the per-pixel rule needs.
struct EyeRule {
  Pivot pivot = Pivot::Reference;
  Blend blend = Blend::Always;
  std::array<long long, 3> reference{};
  int shiftInside = 2;   // log2(1 + w): w = 3 -> 2, 15 -> 4
  int shiftOutside = 5;  // w = 31 -> 5, 63 -> 6
  long long weightInside = 3;
  long long weightOutside = 31;
  long long grayLow = 0;
  long long grayHigh = 0;
  std::array<AppointRange, 3> box{};
  std::array<double, 129> sunGlass{};
};

EyeRule MakeEyeRule(const EyeParameters& p) {
  EyeRule rule;
  const int mode = std::clamp(p.mode, 1, 6);
  const int kind = (mode - 1) % 3;  // 0 both, 1 light, 2 dark
  rule.pivot = kind == 0 ? Pivot::Reference : kind == 1 ? Pivot::Black : Pivot::White;
  const bool weak = mode >= 4;
  rule.weightInside = weak ? 15 : 3;
  rule.weightOutside = weak ? 63 : 31;
  rule.shiftInside = weak ? 4 : 2;
  rule.shiftOutside = weak ? 6 : 5;
  for (std::size_t c = 0; c < 3; ++c) rule.reference[c] = rule.pivot == Pivot::Reference ? p.reference[c] : 0;
  if (!p.appointOn) {
    rule.blend = Blend::Always;
  } else if (p.appointKind == 1) {
    rule.blend = Blend::ColourBox;
  } else if (p.appointKind == 2) {
    rule.blend = Blend::GrayRange;
  } else {
    rule.blend = Blend::None;
  }
  if (p.appointSource == 0) {
    rule.grayLow = std::max<long long>(0, static_cast<long long>(p.appointGray) - p.appointHalfWidth);
    rule.grayHigh = std::min<long long>(255, static_cast<long long>(p.appointGray) + p.appointHalfWidth);
  } else {
    rule.grayLow = p.appointMin;
    rule.grayHigh = p.appointMax;
  }
  rule.box = p.appointBox;
  rule.sunGlass = SunGlassTable(SunGlassLimit(p.sunGlassLevel));
  return rule;
}

// x / 2^shift truncated toward zero.
inline long long TruncatedShift(long long x, int shift) {
  const long long bias = (x >> 63) & ((1LL << shift) - 1);
  return (x + bias) >> shift;
}

inline std::uint32_t ClampToByte(long long v) { return static_cast<std::uint32_t>(std::clamp<long long>(v, 0, 255)); }

// Steps 6-11 for one pixel: q = trunc(window sum) per channel (blue, green,
// red), own = the pixel's samples; writes the clamped result.
inline void FinishPixel(const EyeRule& rule, const std::array<long long, 3>& q, const std::array<long long, 3>& own,
                        std::array<std::uint32_t, 3>& out) {
  std::array<long long, 3> amplified{};
  for (std::size_t c = 0; c < 3; ++c) {
    amplified[c] = rule.pivot == Pivot::White ? 255 - q[c] : q[c] + rule.reference[c];
  }
  const int level = static_cast<int>(std::clamp<long long>(GrayTruncated(amplified[2], amplified[1], amplified[0]), 0, 255));
  const int folded = level >= 128 ? 255 - level : level;
  const double limit = rule.sunGlass[static_cast<std::size_t>(folded)];
  std::array<long long, 3> moved{};
  for (std::size_t c = 0; c < 3; ++c) {
    moved[c] = static_cast<long long>(static_cast<double>(amplified[c] - own[c]) * limit) + own[c];
  }
  bool inside = true;
  switch (rule.blend) {
    case Blend::None:
      for (std::size_t c = 0; c < 3; ++c) out[c] = ClampToByte(moved[c]);
      return;
    case Blend::Always:
      break;
    case Blend::ColourBox:
      for (std::size_t c = 0; c < 3; ++c) inside = inside && rule.box[c].low < own[c] && own[c] < rule.box[c].high;
      break;
    case Blend::GrayRange: {
      const long long ownLevel = GrayTruncated(own[2], own[1], own[0]);
      inside = rule.grayLow < ownLevel && ownLevel < rule.grayHigh;
      break;
    }
  }
  const long long w = inside ? rule.weightInside : rule.weightOutside;
  const int shift = inside ? rule.shiftInside : rule.shiftOutside;
  for (std::size_t c = 0; c < 3; ++c) out[c] = ClampToByte(TruncatedShift(moved[c] + w * own[c], shift));
}

// ============================================================================
// [SECTION] window sums
// ============================================================================

// The sums below do only exact integer arithmetic in doubles, so any
// evaluation order (and fused multiply-add) gives the same result. They run
// with AVX2 where the processor has it, else in plain code.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define VZ_EYE_CLONES __attribute__((target_clones("arch=x86-64-v3", "default")))
#else
#define VZ_EYE_CLONES
#endif

// out[k] = sum over t of weight[t] * rows[t][k], samples read as signed
// 32-bit, for k from `first` on.
void SumColumnsPlain(const std::int32_t* const* rows, const double* weight, int taps, int first, int count,
                     double* out) {
  for (int k = first; k < count; ++k) {
    double s = 0.0;
    for (int t = 0; t < taps; ++t) s += weight[t] * static_cast<double>(rows[t][k]);
    out[k] = s;
  }
}

// out[k] = sum over t of weight[t] * in[k + t], for k from `first` on.
void SumAlongRowPlain(const double* in, const double* weight, int taps, int first, int count, double* out) {
  for (int k = first; k < count; ++k) {
    double s = 0.0;
    for (int t = 0; t < taps; ++t) s += weight[t] * in[k + t];
    out[k] = s;
  }
}

#if defined(__x86_64__) && defined(__GNUC__)
// The same sums sixteen outputs at a time, the sums held in registers over
// all taps. Returns how many outputs were done.
__attribute__((target("avx2,fma"))) int SumColumnsAvx2(const std::int32_t* const* rows, const double* weight,
                                                       int taps, int count, double* out) {
  int k = 0;
  for (; k + 16 <= count; k += 16) {
    __m256d a0 = _mm256_setzero_pd(), a1 = a0, a2 = a0, a3 = a0;
    for (int t = 0; t < taps; ++t) {
      const __m256d w = _mm256_broadcast_sd(weight + t);
      const std::int32_t* row = rows[t] + k;
      a0 = _mm256_fmadd_pd(w, _mm256_cvtepi32_pd(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row))), a0);
      a1 = _mm256_fmadd_pd(w, _mm256_cvtepi32_pd(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row + 4))), a1);
      a2 = _mm256_fmadd_pd(w, _mm256_cvtepi32_pd(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row + 8))), a2);
      a3 = _mm256_fmadd_pd(w, _mm256_cvtepi32_pd(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row + 12))), a3);
    }
    _mm256_storeu_pd(out + k, a0);
    _mm256_storeu_pd(out + k + 4, a1);
    _mm256_storeu_pd(out + k + 8, a2);
    _mm256_storeu_pd(out + k + 12, a3);
  }
  return k;
}

// The column sums in 32-bit integers, for samples small enough that no sum
// of products reaches 2^31 (see SmallColumnSums). The window is symmetric
// (weight t equals weight taps - 1 - t), so each pair of rows is added
// before its one product.
__attribute__((target("avx2"))) int SumColumnsSmallAvx2(const std::int32_t* const* rows, const std::int32_t* weight,
                                                        int taps, int count, double* out) {
  const int middle = taps / 2;
  int k = 0;
  for (; k + 16 <= count; k += 16) {
    const __m256i wm = _mm256_set1_epi32(weight[middle]);
    const auto* centre = reinterpret_cast<const __m256i*>(rows[middle] + k);
    __m256i a0 = _mm256_mullo_epi32(wm, _mm256_loadu_si256(centre));
    __m256i a1 = _mm256_mullo_epi32(wm, _mm256_loadu_si256(centre + 1));
    for (int t = 0; t < middle; ++t) {
      const __m256i w = _mm256_set1_epi32(weight[t]);
      const auto* from = reinterpret_cast<const __m256i*>(rows[t] + k);
      const auto* mirror = reinterpret_cast<const __m256i*>(rows[taps - 1 - t] + k);
      a0 = _mm256_add_epi32(a0, _mm256_mullo_epi32(w, _mm256_add_epi32(_mm256_loadu_si256(from),
                                                                        _mm256_loadu_si256(mirror))));
      a1 = _mm256_add_epi32(a1, _mm256_mullo_epi32(w, _mm256_add_epi32(_mm256_loadu_si256(from + 1),
                                                                        _mm256_loadu_si256(mirror + 1))));
    }
    _mm256_storeu_pd(out + k, _mm256_cvtepi32_pd(_mm256_castsi256_si128(a0)));
    _mm256_storeu_pd(out + k + 4, _mm256_cvtepi32_pd(_mm256_extracti128_si256(a0, 1)));
    _mm256_storeu_pd(out + k + 8, _mm256_cvtepi32_pd(_mm256_castsi256_si128(a1)));
    _mm256_storeu_pd(out + k + 12, _mm256_cvtepi32_pd(_mm256_extracti128_si256(a1, 1)));
  }
  return k;
}

// Along the row, the symmetric pairs are added first too: every value is an
// exact integer in a double, so this changes no result.
__attribute__((target("avx2,fma"))) int SumAlongRowAvx2(const double* in, const double* weight, int taps, int count,
                                                        double* out) {
  const int middle = taps / 2;
  int k = 0;
  for (; k + 16 <= count; k += 16) {
    const __m256d wm = _mm256_broadcast_sd(weight + middle);
    const double* centre = in + k + middle;
    __m256d a0 = _mm256_mul_pd(wm, _mm256_loadu_pd(centre)), a1 = _mm256_mul_pd(wm, _mm256_loadu_pd(centre + 4));
    __m256d a2 = _mm256_mul_pd(wm, _mm256_loadu_pd(centre + 8)), a3 = _mm256_mul_pd(wm, _mm256_loadu_pd(centre + 12));
    for (int t = 0; t < middle; ++t) {
      const __m256d w = _mm256_broadcast_sd(weight + t);
      const double* from = in + k + t;
      const double* mirror = in + k + taps - 1 - t;
      a0 = _mm256_fmadd_pd(w, _mm256_add_pd(_mm256_loadu_pd(from), _mm256_loadu_pd(mirror)), a0);
      a1 = _mm256_fmadd_pd(w, _mm256_add_pd(_mm256_loadu_pd(from + 4), _mm256_loadu_pd(mirror + 4)), a1);
      a2 = _mm256_fmadd_pd(w, _mm256_add_pd(_mm256_loadu_pd(from + 8), _mm256_loadu_pd(mirror + 8)), a2);
      a3 = _mm256_fmadd_pd(w, _mm256_add_pd(_mm256_loadu_pd(from + 12), _mm256_loadu_pd(mirror + 12)), a3);
    }
    _mm256_storeu_pd(out + k, a0);
    _mm256_storeu_pd(out + k + 4, a1);
    _mm256_storeu_pd(out + k + 8, a2);
    _mm256_storeu_pd(out + k + 12, a3);
  }
  return k;
}

#endif

bool VectorUnitsAllowed = true;  // see UseEyeVectorUnits

#if defined(__x86_64__) && defined(__GNUC__)
bool HaveAvx2() {
  static const bool have = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
  return have && VectorUnitsAllowed;
}
#endif

void SumColumns(const std::int32_t* const* rows, const EyeWindow& w, bool small, int count, double* out) {
  const double* weight = w.weight.data();
  const int taps = w.taps;
  int done = 0;
#if defined(__x86_64__) && defined(__GNUC__)
  if (HaveAvx2()) {
    done = small ? SumColumnsSmallAvx2(rows, w.weight32.data(), taps, count, out)
                 : SumColumnsAvx2(rows, weight, taps, count, out);
  }
#else
  (void)small;
#endif
  SumColumnsPlain(rows, weight, taps, done, count, out);
}

void SumAlongRow(const double* in, const double* weight, int taps, int count, double* out) {
  int done = 0;
#if defined(__x86_64__) && defined(__GNUC__)
  if (HaveAvx2()) done = SumAlongRowAvx2(in, weight, taps, count, out);
#endif
  SumAlongRowPlain(in, weight, taps, done, count, out);
}

// v = high * 2^16 + low with 0 <= low < 2^16; all exact.
VZ_EYE_CLONES void SplitHighLow(const double* v, int count, double* high, double* low) {
  for (int k = 0; k < count; ++k) {
    const double h = std::floor(v[k] * (1.0 / SplitUnit));
    high[k] = h;
    low[k] = v[k] - h * SplitUnit;
  }
}

// The per-pixel rule over a whole row in doubles, for samples and references
// small enough that every value is an exact integer in a double. The window
// numerator is nh * 2^16 + nl (both exact); the quotient by r^12 = rh * 2^16 +
// rl is estimated and corrected with remainders whose signs are exact (an
// exact product by 2^16 plus an exact integer rounds to the right sign).
// Every other step is the scalar rule's own double arithmetic. No fused
// multiply-add here: the gray and sun glass products must round as written.

struct RowFinish {
  // Whole sums: each window sum is one exact double (`high`; `low` unused),
  // and so are the numerator sign * sum + wholeBias and r^12 (`scale`).
  bool wholeSums = false;
  std::array<double, 3> wholeBias{};
  double scale = 0.0;
  std::array<double, 3> numeratorSign{};  // nh = sign * hi + high bias
  std::array<double, 3> highBias{};
  std::array<double, 3> lowBias{};
  std::array<double, 3> quotientSign{};   // A = sign * q + offset
  std::array<double, 3> amplifiedOffset{};
  std::array<double, 3> boxLow{};
  std::array<double, 3> boxHigh{};
  double inverseScale = 0.0;
  double scaleHigh = 0.0;  // r^12 = scaleHigh * 2^16 + scaleLow
  double scaleLow = 0.0;
  bool useBox = false;
  bool useGray = false;
  double grayLow = 0.0;
  double grayHigh = 0.0;
  double weightInside = 3.0, weightOutside = 31.0;  // 0 for no blend
  double scaleInside = 0.25, scaleOutside = 1.0 / 32.0;
  const double* sunGlass = nullptr;
};

void FinishRowScalar(const RowFinish& k, const double* const* high, const double* const* low,
                     const std::int32_t* const* own, std::uint32_t* const* out, int first, int count) {
  const double* sunGlass = k.sunGlass;
  for (int x = first; x < count; ++x) {
    double amplified[3];
    double self[3];
    for (int c = 0; c < 3; ++c) {
      self[c] = static_cast<double>(own[c][x]);
      if (k.wholeSums) {
        const double num = k.numeratorSign[c] * high[c][x] + k.wholeBias[c];
        const long long q = static_cast<long long>(num) / static_cast<long long>(k.scale);
        amplified[c] = k.quotientSign[c] * static_cast<double>(q) + k.amplifiedOffset[c];
        continue;
      }
      const double nh = k.numeratorSign[c] * high[c][x] + k.highBias[c];
      const double nl = k.numeratorSign[c] * low[c][x] + k.lowBias[c];
      const double num = nh * SplitUnit + nl;
      const double q0 = std::trunc(num * k.inverseScale);
      const double d = nh - q0 * k.scaleHigh;
      const double e = nl - q0 * k.scaleLow;
      const double rem = d * SplitUnit + e;
      const double remAbove = (d - k.scaleHigh) * SplitUnit + (e - k.scaleLow);  // sign of rem - r^12
      const double remBelow = (d + k.scaleHigh) * SplitUnit + (e + k.scaleLow);  // sign of rem + r^12
      const bool positive = num >= 0.0;
      const double up = (positive & (remAbove >= 0.0)) | (!positive & (rem > 0.0)) ? 1.0 : 0.0;
      const double down = (positive & (rem < 0.0)) | (!positive & (remBelow <= 0.0)) ? 1.0 : 0.0;
      amplified[c] = k.quotientSign[c] * (q0 + up - down) + k.amplifiedOffset[c];
    }
    // The gray in thousandths is an exact integer here (samples are small),
    // and dividing by 1000 then truncating gives the integer quotient.
    const double gray = std::trunc((299.0 * amplified[2] + 587.0 * amplified[1] + 114.0 * amplified[0]) / 1000.0);
    const double level = std::min(std::max(gray, 0.0), 255.0);
    const double folded = level >= 128.0 ? 255.0 - level : level;
    const double limit = sunGlass[static_cast<int>(folded)];
    const bool inBox = (k.boxLow[0] < self[0]) & (self[0] < k.boxHigh[0]) & (k.boxLow[1] < self[1]) &
                       (self[1] < k.boxHigh[1]) & (k.boxLow[2] < self[2]) & (self[2] < k.boxHigh[2]);
    const double ownLevel = std::trunc((299.0 * self[2] + 587.0 * self[1] + 114.0 * self[0]) / 1000.0);
    const bool inGray = (k.grayLow < ownLevel) & (ownLevel < k.grayHigh);
    const bool inside = (!k.useBox | inBox) & (!k.useGray | inGray);
    const double w = inside ? k.weightInside : k.weightOutside;
    const double scale = inside ? k.scaleInside : k.scaleOutside;
    for (int c = 0; c < 3; ++c) {
      const double moved = std::trunc((amplified[c] - self[c]) * limit) + self[c];
      const double result = std::trunc((moved + w * self[c]) * scale);
      out[c][x] = static_cast<std::uint32_t>(static_cast<int>(std::min(std::max(result, 0.0), 255.0)));
    }
  }
}

#if defined(__x86_64__) && defined(__GNUC__)
// FinishRowScalar four pixels at a time, operation for operation (AVX2
// without FMA, so every product and sum rounds as in the scalar form), but
// for the quotient by r^12 of whole sums, which is found another exact way.
// Returns the number of pixels done; the caller finishes the rest.
__attribute__((target("avx2"))) int FinishRowAvx2(const RowFinish& k, const double* const* high,
                                                  const double* const* low, const std::int32_t* const* own,
                                                  std::uint32_t* const* out, int count) {
  const __m256d unit = _mm256_set1_pd(SplitUnit);
  const __m256d zero = _mm256_setzero_pd();
  const __m256d one = _mm256_set1_pd(1.0);
  const __m256d top = _mm256_set1_pd(255.0);
  const __m256d half = _mm256_set1_pd(128.0);
  const __m256d inverse = _mm256_set1_pd(k.inverseScale);
  const __m256d scaleHigh = _mm256_set1_pd(k.scaleHigh);
  const __m256d scaleLow = _mm256_set1_pd(k.scaleLow);
  const __m256d redShare = _mm256_set1_pd(299.0), greenShare = _mm256_set1_pd(587.0);
  const __m256d blueShare = _mm256_set1_pd(114.0), thousand = _mm256_set1_pd(1000.0);
  const __m256d weightInside = _mm256_set1_pd(k.weightInside), weightOutside = _mm256_set1_pd(k.weightOutside);
  const __m256d scaleInside = _mm256_set1_pd(k.scaleInside), scaleOutside = _mm256_set1_pd(k.scaleOutside);
  const __m256d grayLow = _mm256_set1_pd(k.grayLow), grayHigh = _mm256_set1_pd(k.grayHigh);
  const __m256d divisor = _mm256_set1_pd(k.scale);
  const __m256d signBit = _mm256_set1_pd(-0.0);
  constexpr int toZero = _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC;
  int x = 0;
  for (; x + 4 <= count; x += 4) {
    __m256d amplified[3];
    __m256d self[3];
    for (int c = 0; c < 3; ++c) {
      self[c] = _mm256_cvtepi32_pd(_mm_loadu_si128(reinterpret_cast<const __m128i*>(own[c] + x)));
      const __m256d sign = _mm256_set1_pd(k.numeratorSign[c]);
      if (k.wholeSums) {
        // |num| = qa r^12 + rem: every product and difference here is an
        // integer below 2^53, so exact, and qa is off by at most one.
        const __m256d num = _mm256_add_pd(_mm256_mul_pd(sign, _mm256_loadu_pd(high[c] + x)),
                                          _mm256_set1_pd(k.wholeBias[c]));
        const __m256d magnitude = _mm256_andnot_pd(signBit, num);
        __m256d qa = _mm256_round_pd(_mm256_mul_pd(magnitude, inverse), toZero);
        const __m256d rem = _mm256_sub_pd(magnitude, _mm256_mul_pd(qa, divisor));
        qa = _mm256_add_pd(qa, _mm256_and_pd(_mm256_cmp_pd(rem, divisor, _CMP_GE_OQ), one));
        qa = _mm256_sub_pd(qa, _mm256_and_pd(_mm256_cmp_pd(rem, zero, _CMP_LT_OQ), one));
        const __m256d q = _mm256_or_pd(qa, _mm256_and_pd(signBit, num));
        amplified[c] = _mm256_add_pd(_mm256_mul_pd(_mm256_set1_pd(k.quotientSign[c]), q),
                                     _mm256_set1_pd(k.amplifiedOffset[c]));
        continue;
      }
      const __m256d nh = _mm256_add_pd(_mm256_mul_pd(sign, _mm256_loadu_pd(high[c] + x)), _mm256_set1_pd(k.highBias[c]));
      const __m256d nl = _mm256_add_pd(_mm256_mul_pd(sign, _mm256_loadu_pd(low[c] + x)), _mm256_set1_pd(k.lowBias[c]));
      const __m256d num = _mm256_add_pd(_mm256_mul_pd(nh, unit), nl);
      const __m256d q0 = _mm256_round_pd(_mm256_mul_pd(num, inverse), toZero);
      const __m256d d = _mm256_sub_pd(nh, _mm256_mul_pd(q0, scaleHigh));
      const __m256d e = _mm256_sub_pd(nl, _mm256_mul_pd(q0, scaleLow));
      const __m256d rem = _mm256_add_pd(_mm256_mul_pd(d, unit), e);
      const __m256d remAbove =
          _mm256_add_pd(_mm256_mul_pd(_mm256_sub_pd(d, scaleHigh), unit), _mm256_sub_pd(e, scaleLow));
      const __m256d remBelow =
          _mm256_add_pd(_mm256_mul_pd(_mm256_add_pd(d, scaleHigh), unit), _mm256_add_pd(e, scaleLow));
      const __m256d positive = _mm256_cmp_pd(num, zero, _CMP_GE_OQ);
      const __m256d up = _mm256_blendv_pd(_mm256_cmp_pd(rem, zero, _CMP_GT_OQ),
                                          _mm256_cmp_pd(remAbove, zero, _CMP_GE_OQ), positive);
      const __m256d down = _mm256_blendv_pd(_mm256_cmp_pd(remBelow, zero, _CMP_LE_OQ),
                                            _mm256_cmp_pd(rem, zero, _CMP_LT_OQ), positive);
      const __m256d q = _mm256_sub_pd(_mm256_add_pd(q0, _mm256_and_pd(up, one)), _mm256_and_pd(down, one));
      amplified[c] = _mm256_add_pd(_mm256_mul_pd(_mm256_set1_pd(k.quotientSign[c]), q),
                                   _mm256_set1_pd(k.amplifiedOffset[c]));
    }
    const __m256d gray = _mm256_add_pd(
        _mm256_add_pd(_mm256_mul_pd(redShare, amplified[2]), _mm256_mul_pd(greenShare, amplified[1])),
        _mm256_mul_pd(blueShare, amplified[0]));
    const __m256d level =
        _mm256_min_pd(_mm256_max_pd(_mm256_round_pd(_mm256_div_pd(gray, thousand), toZero), zero), top);
    const __m256d folded =
        _mm256_blendv_pd(level, _mm256_sub_pd(top, level), _mm256_cmp_pd(level, half, _CMP_GE_OQ));
    alignas(16) std::int32_t index[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(index), _mm256_cvttpd_epi32(folded));
    const __m256d limit =
        _mm256_set_pd(k.sunGlass[index[3]], k.sunGlass[index[2]], k.sunGlass[index[1]], k.sunGlass[index[0]]);
    __m256d inside = _mm256_cmp_pd(zero, zero, _CMP_EQ_OQ);  // all true
    if (k.useBox) {
      for (int c = 0; c < 3; ++c) {
        inside = _mm256_and_pd(inside, _mm256_cmp_pd(_mm256_set1_pd(k.boxLow[c]), self[c], _CMP_LT_OQ));
        inside = _mm256_and_pd(inside, _mm256_cmp_pd(self[c], _mm256_set1_pd(k.boxHigh[c]), _CMP_LT_OQ));
      }
    }
    if (k.useGray) {
      const __m256d ownLevel = _mm256_round_pd(
          _mm256_div_pd(
              _mm256_add_pd(_mm256_add_pd(_mm256_mul_pd(redShare, self[2]), _mm256_mul_pd(greenShare, self[1])),
                            _mm256_mul_pd(blueShare, self[0])),
              thousand),
          toZero);
      inside = _mm256_and_pd(_mm256_cmp_pd(grayLow, ownLevel, _CMP_LT_OQ),
                             _mm256_cmp_pd(ownLevel, grayHigh, _CMP_LT_OQ));
    }
    const __m256d w = _mm256_blendv_pd(weightOutside, weightInside, inside);
    const __m256d scale = _mm256_blendv_pd(scaleOutside, scaleInside, inside);
    for (int c = 0; c < 3; ++c) {
      const __m256d moved =
          _mm256_add_pd(_mm256_round_pd(_mm256_mul_pd(_mm256_sub_pd(amplified[c], self[c]), limit), toZero), self[c]);
      const __m256d result =
          _mm256_round_pd(_mm256_mul_pd(_mm256_add_pd(moved, _mm256_mul_pd(w, self[c])), scale), toZero);
      const __m256d clamped = _mm256_min_pd(_mm256_max_pd(result, zero), top);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out[c] + x), _mm256_cvttpd_epi32(clamped));
    }
  }
  return x;
}
#endif

void FinishRow(const RowFinish& k, const double* const* high, const double* const* low,
               const std::int32_t* const* own, std::uint32_t* const* out, int count) {
  int done = 0;
#if defined(__x86_64__) && defined(__GNUC__)
  if (HaveAvx2()) done = FinishRowAvx2(k, high, low, own, out, count);
#endif
  FinishRowScalar(k, high, low, own, out, done, count);
}

RowFinish MakeRowFinish(const EyeRule& rule, const EyeWindow& w) {
  RowFinish k;
  const long long s2 = static_cast<long long>(w.sumSquared);  // < 2^57
  const double s2High = static_cast<double>(s2 >> 16);
  const double s2Low = static_cast<double>(s2 & 0xFFFF);
  for (std::size_t c = 0; c < 3; ++c) {
    const double ref = static_cast<double>(rule.reference[c]);
    switch (rule.pivot) {
      case Pivot::Reference:
        k.numeratorSign[c] = 1.0;
        k.highBias[c] = -ref * s2High;
        k.lowBias[c] = -ref * s2Low;
        k.quotientSign[c] = 1.0;
        k.amplifiedOffset[c] = ref;
        break;
      case Pivot::Black:
        k.numeratorSign[c] = 1.0;
        k.quotientSign[c] = 1.0;
        break;
      case Pivot::White:
        k.numeratorSign[c] = -1.0;
        k.highBias[c] = 255.0 * s2High;
        k.lowBias[c] = 255.0 * s2Low;
        k.quotientSign[c] = -1.0;
        k.amplifiedOffset[c] = 255.0;
        break;
    }
    k.boxLow[c] = rule.box[c].low;
    k.boxHigh[c] = rule.box[c].high;
  }
  for (std::size_t c = 0; c < 3; ++c) k.wholeBias[c] = k.highBias[c] * SplitUnit + k.lowBias[c];
  k.scale = static_cast<double>(w.scale);
  k.inverseScale = w.inverseScale;
  k.scaleHigh = static_cast<double>(w.scale >> 16);
  k.scaleLow = static_cast<double>(w.scale & 0xFFFF);
  k.useBox = rule.blend == Blend::ColourBox;
  k.useGray = rule.blend == Blend::GrayRange;
  k.grayLow = static_cast<double>(rule.grayLow);
  k.grayHigh = static_cast<double>(rule.grayHigh);
  if (rule.blend == Blend::None) {
    k.weightInside = k.weightOutside = 0.0;
    k.scaleInside = k.scaleOutside = 1.0;
  } else {
    k.weightInside = static_cast<double>(rule.weightInside);
    k.weightOutside = rule.blend == Blend::Always ? k.weightInside : static_cast<double>(rule.weightOutside);
    k.scaleInside = 1.0 / static_cast<double>(1 << rule.shiftInside);
    k.scaleOutside = rule.blend == Blend::Always ? k.scaleInside : 1.0 / static_cast<double>(1 << rule.shiftOutside);
  }
  k.sunGlass = rule.sunGlass.data();
  return k;
}

// Samples and references up to this size keep every value of FinishRow an
// exact integer below 2^53 (the quotient stays below 2^16).
constexpr long long RowFinishLimit = 511;

// What one worker computes: rows firstRow..lastRow of the region.
struct EyeJob {
  PlaneView source;
  PlaneView target;
  const EyeWindow* window = nullptr;
  const EyeRule* rule = nullptr;
  const RowFinish* finish = nullptr;
  SumPath path = SumPath::Direct;
  bool rowFinish = false;  // FinishRow may be used
  bool smallColumnSums = false;  // column sums in 32-bit integers (SmallColumnSums)
  int firstColumn = 0;
  int lastColumn = -1;
  int sourceFirstRow = 0;  // the source's row 0 is this row of the picture
  int targetFirstRow = 0;  // the target's row 0 is this row of the picture
};

// The numerator of the window sum of a = Q - ref, Q, or 255 - Q from V, the
// window sum of the samples Q themselves (all times r^12).
inline Int128 PivotedNumerator(const EyeRule& rule, const EyeWindow& w, Int128 v, std::size_t c) {
  switch (rule.pivot) {
    case Pivot::Reference: return v - static_cast<Int128>(rule.reference[c]) * w.sumSquared;
    case Pivot::Black: return v;
    case Pivot::White: return static_cast<Int128>(255) * w.sumSquared - v;
  }
  return v;
}

inline double PivotedEstimate(const EyeRule& rule, const EyeWindow& w, double v, std::size_t c) {
  const double s2 = static_cast<double>(w.sumSquared);
  switch (rule.pivot) {
    case Pivot::Reference: return v - static_cast<double>(rule.reference[c]) * s2;
    case Pivot::Black: return v;
    case Pivot::White: return 255.0 * s2 - v;
  }
  return v;
}

void RunEyeRows(const EyeJob& job, int firstRow, int lastRow) {
  const EyeWindow& w = *job.window;
  const EyeRule& rule = *job.rule;
  const int reach = w.r - 1;  // nonzero weights reach r - 1 either way
  const int count = job.lastColumn - job.firstColumn + 1;
  const int span = count + 2 * reach;
  const int inputColumn = job.firstColumn - reach;
  const std::size_t ucount = static_cast<std::size_t>(count);
  const std::size_t uspan = static_cast<std::size_t>(span);

  std::vector<double> column(3 * uspan), high(3 * uspan), low(3 * uspan), sum(3 * ucount), sumLow(3 * ucount);
  std::vector<long long> exactColumn(job.path == SumPath::Exact ? uspan : 0);
  std::vector<Int128> exactSum(job.path == SumPath::Exact ? 3 * ucount : 0);
  std::array<const std::int32_t*, MaxTaps> rows{};

  for (int y = firstRow; y <= lastRow; ++y) {
    for (std::size_t c = 0; c < 3; ++c) {
      for (int t = 0; t < w.taps; ++t) {
        const int sourceRow = y - reach + t - job.sourceFirstRow;
        rows[static_cast<std::size_t>(t)] =
            reinterpret_cast<const std::int32_t*>(&job.source.at(static_cast<int>(c), sourceRow, inputColumn));
      }
      double* col = column.data() + c * uspan;
      switch (job.path) {
        case SumPath::Direct:
          SumColumns(rows.data(), w, job.smallColumnSums, span, col);
          SumAlongRow(col, w.weight.data(), w.taps, count, sum.data() + c * ucount);
          break;
        case SumPath::Split:
          SumColumns(rows.data(), w, job.smallColumnSums, span, col);
          SplitHighLow(col, span, high.data() + c * uspan, low.data() + c * uspan);
          SumAlongRow(high.data() + c * uspan, w.weight.data(), w.taps, count, sum.data() + c * ucount);
          SumAlongRow(low.data() + c * uspan, w.weight.data(), w.taps, count, sumLow.data() + c * ucount);
          break;
        case SumPath::Exact:
          for (int k = 0; k < span; ++k) {
            long long s = 0;
            for (int t = 0; t < w.taps; ++t) {
              s += w.weightInteger[static_cast<std::size_t>(t)] * rows[static_cast<std::size_t>(t)][k];
            }
            exactColumn[static_cast<std::size_t>(k)] = s;
          }
          for (int k = 0; k < count; ++k) {
            Int128 s = 0;
            for (int t = 0; t < w.taps; ++t) {
              s += static_cast<Int128>(w.weightInteger[static_cast<std::size_t>(t)]) *
                   exactColumn[static_cast<std::size_t>(k + t)];
            }
            exactSum[c * ucount + static_cast<std::size_t>(k)] = s;
          }
          break;
      }
    }

    if (job.rowFinish) {
      // Direct sums not whole enough for FinishRow are split here, so it
      // sees one of its two forms.
      if (job.path == SumPath::Direct && !job.finish->wholeSums) {
        for (std::size_t c = 0; c < 3; ++c) {
          SplitHighLow(sum.data() + c * ucount, count, high.data() + c * ucount, sumLow.data() + c * ucount);
          std::copy(high.data() + c * ucount, high.data() + (c + 1) * ucount, sum.data() + c * ucount);
        }
      }
      const double* highs[3] = {sum.data(), sum.data() + ucount, sum.data() + 2 * ucount};
      const double* lows[3] = {sumLow.data(), sumLow.data() + ucount, sumLow.data() + 2 * ucount};
      const std::int32_t* owns[3];
      std::uint32_t* outs[3];
      for (int c = 0; c < 3; ++c) {
        owns[c] = reinterpret_cast<const std::int32_t*>(&job.source.at(c, y - job.sourceFirstRow, job.firstColumn));
        outs[c] = &job.target.at(c, y - job.targetFirstRow, job.firstColumn);
      }
      FinishRow(*job.finish, highs, lows, owns, outs, count);
      continue;
    }

    for (int k = 0; k < count; ++k) {
      const int x = job.firstColumn + k;
      const std::size_t uk = static_cast<std::size_t>(k);
      std::array<long long, 3> q{};
      std::array<long long, 3> own{};
      for (std::size_t c = 0; c < 3; ++c) {
        own[c] = static_cast<std::int32_t>(job.source.at(static_cast<int>(c), y - job.sourceFirstRow, x));
        Int128 v = 0;
        double estimate = 0.0;
        switch (job.path) {
          case SumPath::Direct:
            estimate = sum[c * ucount + uk];
            v = static_cast<long long>(estimate);
            break;
          case SumPath::Split: {
            const double h = sum[c * ucount + uk];
            const double l = sumLow[c * ucount + uk];
            v = static_cast<Int128>(static_cast<long long>(h)) * 65536 + static_cast<long long>(l);
            estimate = h * SplitUnit + l;
            break;
          }
          case SumPath::Exact:
            v = exactSum[c * ucount + uk];
            estimate = static_cast<double>(v);
            break;
        }
        q[c] = TruncatedQuotient(PivotedNumerator(rule, w, v, c), PivotedEstimate(rule, w, estimate, c), w);
      }
      std::array<std::uint32_t, 3> out{};
      FinishPixel(rule, q, own, out);
      for (std::size_t c = 0; c < 3; ++c) job.target.at(static_cast<int>(c), y - job.targetFirstRow, x) = out[c];
    }
  }
}

// Largest |sample| over rows and columns of the three planes (read as signed).
VZ_EYE_CLONES long long LargestSample(const PlaneView& planes, int firstRow, int lastRow, int firstColumn,
                                     int lastColumn) {
  long long largest = 0;
  for (int c = 0; c < 3; ++c) {
    for (int y = firstRow; y <= lastRow; ++y) {
      const std::uint32_t* row = &planes.at(c, y, firstColumn);
      std::uint32_t high = 0;  // as unsigned, a row of samples in 0..255 stays at or below 255
      for (int k = 0; k <= lastColumn - firstColumn; ++k) high = std::max(high, row[k]);
      if (high <= 255u) {
        largest = std::max<long long>(largest, high);
        continue;
      }
      for (int k = 0; k <= lastColumn - firstColumn; ++k) {
        largest = std::max<long long>(largest, std::llabs(static_cast<std::int32_t>(row[k])));
      }
    }
  }
  return largest;
}

}  // namespace

// ============================================================================
// [SECTION] the pass
// ============================================================================

EyeRegion EyeRegionOf(int width, int height, int n, const EyeParameters& p) {
  EyeRegion region;
  if (!IsEyeWindow(n)) return region;
  const int r = n / 2;
  region.firstRow = r;
  region.lastRow = height - r;
  region.firstColumn = r;
  region.lastColumn = width - r - 1;
  if (p.areaEyeOn) {
    // The rectangle's top and bottom are client y values; the band of plane
    // rows lies eyeWindowShift .. eyeWindowShift + 2 rows above those shown.
    const long long shift = static_cast<long long>(p.eyeWindowShift) + 32;
    const long long yLow = std::min<long long>(height, height - static_cast<long long>(p.areaEyeRect.bottom) + shift);
    const long long yHigh = std::max<long long>(0, height - static_cast<long long>(p.areaEyeRect.top) + shift);
    region.firstRow = static_cast<int>(std::max<long long>(region.firstRow, yLow + 1));
    region.lastRow = static_cast<int>(std::min<long long>(region.lastRow, yHigh - 1));
    region.firstColumn = std::max(region.firstColumn, p.areaEyeRect.left);
    region.lastColumn = std::min(region.lastColumn, p.areaEyeRect.right);
  }
  return region;
}

namespace {

// The white frame over picture rows yFrom <= y < yTo, into a target whose
// row 0 is picture row targetFirstRow.
void WriteEyeFrameRows(const PlaneView& target, int width, int height, int n, int yFrom, int yTo,
                       int targetFirstRow) {
  const int r = n / 2;
  const int leftEnd = std::min(r, width - 1);      // columns 0..r
  const int rightStart = std::max(0, width - r);   // columns width-r..width-1
  for (int c = 0; c < 3; ++c) {
    for (int y = std::max(yFrom, 0); y < std::min(yTo, height); ++y) {
      std::uint32_t* row = &target.at(c, y - targetFirstRow, 0);
      if (y <= r || y >= height - r) {
        std::fill(row, row + width, 255u);
        continue;
      }
      std::fill(row, row + leftEnd + 1, 255u);
      std::fill(row + rightStart, row + width, 255u);
    }
  }
}

// The pixels of `region` with rows yFrom <= y < yTo.
void RunEyeRegion(EyeRegion region, const PlaneView& source, const PlaneView& target, int n,
                  const EyeParameters& parameters, int yFrom, int yTo, int threads, int sourceFirstRow,
                  int targetFirstRow) {
  region.firstRow = std::max(region.firstRow, yFrom);
  region.lastRow = std::min(region.lastRow, yTo - 1);
  if (region.firstRow > region.lastRow || region.firstColumn > region.lastColumn) return;
  const EyeWindow window = MakeEyeWindow(n);
  const EyeRule rule = MakeEyeRule(parameters);
  const int reach = window.r - 1;
  EyeJob job;
  job.source = source;
  job.target = target;
  job.window = &window;
  job.rule = &rule;
  job.firstColumn = region.firstColumn;
  job.lastColumn = region.lastColumn;
  job.sourceFirstRow = sourceFirstRow;
  job.targetFirstRow = targetFirstRow;
  const long long largest = LargestSample(source, region.firstRow - reach - sourceFirstRow,
                                          region.lastRow + reach - sourceFirstRow,
                                          region.firstColumn - reach, region.lastColumn + reach);
  job.path = ChooseSumPath(window, largest);
  job.smallColumnSums = SmallColumnSums(window, largest);
  RowFinish finish = MakeRowFinish(rule, window);
  // Whole sums when every sum, the pivot's share and so the numerator stay
  // below 2^52 in magnitude (r^12 always does): then all is exact in doubles.
  long long bound = largest;
  for (long long v : rule.reference) bound = std::max(bound, std::llabs(v));
  if (rule.pivot == Pivot::White) bound = std::max<long long>(bound, 255);
  finish.wholeSums = job.path == SumPath::Direct &&
                     static_cast<double>(bound) * static_cast<double>(window.sumSquared) < ExactLimit * 0.5;
  job.finish = &finish;
  job.rowFinish = job.path != SumPath::Exact && largest <= RowFinishLimit &&
                  std::all_of(rule.reference.begin(), rule.reference.end(),
                              [](long long v) { return std::llabs(v) <= RowFinishLimit; });
  const int rowCount = region.lastRow - region.firstRow + 1;
  const int workers = std::clamp(threads, 1, std::min(rowCount, 16));
  if (workers == 1) {
    RunEyeRows(job, region.firstRow, region.lastRow);
    return;
  }
  std::vector<std::thread> pool;
  for (int k = 0; k < workers; ++k) {
    const int first = region.firstRow + rowCount * k / workers;
    const int last = region.firstRow + rowCount * (k + 1) / workers - 1;
    pool.emplace_back([&job, first, last] { RunEyeRows(job, first, last); });
  }
  for (std::thread& t : pool) t.join();
}

}  // namespace

void WriteEyeFrame(const PlaneView& target, int width, int height, int n) {
  WriteEyeFrameRows(target, width, height, n, 0, height, 0);
}

void WriteEyeFrameOnRows(const PlaneView& band, int width, int height, int n, int yFrom, int yTo) {
  if (IsEyeWindow(n)) WriteEyeFrameRows(band, width, height, n, yFrom, yTo, yFrom);
}

void VantorEyeRowsOn(const PlaneView& source, const PlaneView& target, int width, int height, int n,
                     const EyeParameters& parameters, int yFrom, int yTo, int threads) {
  if (!IsEyeWindow(n) || width <= 0 || height <= 0) return;
  RunEyeRegion(EyeRegionOf(width, height, n, parameters), source, target, n, parameters, yFrom, yTo, threads, 0, 0);
  if (!parameters.areaEyeOn) WriteEyeFrame(target, width, height, n);
}

void VantorEyeBandOn(const PlaneView& source, int sourceFirstRow, const PlaneView& band, int width, int height, int n,
                     const EyeParameters& parameters, int yFrom, int yTo, int threads) {
  if (!IsEyeWindow(n) || width <= 0 || height <= 0 || yFrom >= yTo) return;
  RunEyeRegion(EyeRegionOf(width, height, n, parameters), source, band, n, parameters, yFrom, yTo, threads,
               sourceFirstRow, yFrom);
  if (!parameters.areaEyeOn) WriteEyeFrameRows(band, width, height, n, yFrom, yTo, yFrom);
}

void VantorEyeBandExtended(const PlaneView& source, int sourceFirstRow, const PlaneView& band, int width, int height,
                           int n, const EyeParameters& parameters, int yFrom, int yTo, int threads) {
  if (!IsEyeWindow(n) || width <= 0 || height <= 0 || yFrom >= yTo) return;
  // Every pixel, whatever the area eye says: the area eye is the canvas's.
  EyeParameters whole = parameters;
  whole.areaEyeOn = false;
  const EyeRegion region{.firstRow = 0, .lastRow = height - 1, .firstColumn = 0, .lastColumn = width - 1};
  RunEyeRegion(region, source, band, n, whole, yFrom, yTo, threads, sourceFirstRow, yFrom);
}

void UseEyeVectorUnits(bool on) { VectorUnitsAllowed = on; }

// ============================================================================
// [SECTION] channel levels
// ============================================================================

ChannelLevel ChannelLevelOfHistogram(const std::array<long long, 256>& histogram) {
  long long total = 0;
  for (int v = 1; v <= 254; ++v) total += histogram[static_cast<std::size_t>(v)];
  const double t = static_cast<double>(total);
  const long long share4 = static_cast<long long>(t * 0.04);
  const long long share50 = static_cast<long long>(t * 0.5);
  const long long share96 = static_cast<long long>(t * 0.96);
  ChannelLevel level;
  long long running = 0;
  for (int v = 1; v <= 254; ++v) {
    running += histogram[static_cast<std::size_t>(v)];
    if (share4 > running) level.low = v;
    if (share50 > running) level.middle = v;
    if (share96 > running) level.high = v;
  }
  return level;
}

namespace {

using ChannelCounts = std::array<std::array<long long, 257>, 3>;

// Histograms of rows y0 <= y < y1 of the three planes.
void CountChannelRows(const PlaneView& planes, int width, int y0, int y1, ChannelCounts& counts) {
  for (std::size_t c = 0; c < 3; ++c) {
    // Four partial histograms, so that runs of equal samples (flat areas, the
    // white outside the picture) do not wait on one counter.
    std::array<std::array<std::uint32_t, 257>, 4> partial{};
    for (int y = y0; y < y1; ++y) {
      const std::uint32_t* row = planes.plane[c] + static_cast<std::size_t>(y) * static_cast<std::size_t>(planes.stride);
      int x = 0;
      // Samples outside 0..255 would fall outside the histogram; like the
      // bins 0 and 255 they do not count (they land in bin 256).
      for (; x + 4 <= width; x += 4) {
        ++partial[0][std::min<std::uint32_t>(row[x], 256u)];
        ++partial[1][std::min<std::uint32_t>(row[x + 1], 256u)];
        ++partial[2][std::min<std::uint32_t>(row[x + 2], 256u)];
        ++partial[3][std::min<std::uint32_t>(row[x + 3], 256u)];
      }
      for (; x < width; ++x) ++partial[0][std::min<std::uint32_t>(row[x], 256u)];
      // Flushed every 4096 rows, so a partial count never overflows.
      if ((y - y0) % 4096 == 4095 || y + 1 == y1) {
        for (std::size_t k = 0; k < 4; ++k) {
          for (std::size_t v = 0; v < 257; ++v) counts[c][v] += partial[k][v];
          partial[k].fill(0);
        }
      }
    }
  }
}

}  // namespace

std::array<ChannelLevel, 3> ChannelLevelsOf(const PlaneView& planes, int width, int height) {
  // Large pictures (the batch tool's) are counted in two halves at once.
  ChannelCounts counts{}, upper{};
  const int middle = static_cast<long long>(width) * height >= 2000000 ? height / 2 : height;
  std::thread helper;
  if (middle < height) helper = std::thread([&] { CountChannelRows(planes, width, middle, height, upper); });
  CountChannelRows(planes, width, 0, middle, counts);
  if (helper.joinable()) helper.join();
  std::array<ChannelLevel, 3> levels{};
  for (std::size_t c = 0; c < 3; ++c) {
    std::array<long long, 256> histogram{};
    for (std::size_t v = 0; v < 256; ++v) histogram[v] = counts[c][v] + upper[c][v];
    levels[c] = ChannelLevelOfHistogram(histogram);
  }
  return levels;
}
