// The outline detectors.
//
// [SECTION] Shapes: the four pairs of half regions of each detector
// [SECTION] Exact form for any samples
// [SECTION] Row form for 0..255 samples
#define VZ_INLINE [[gnu::always_inline]] inline

// How the row form gets the same integer means as reading every pixel's
// neighbourhood: every half region is a few horizontal runs (a row offset
// and a span of 1 to 7 columns). For each picture row the run sums of every
// length are made once per channel (h2 = h1 + h1 shifted, h4 = h2 + h2
// shifted, ...) and kept in a ring of seven rows; a region's sum at a column
// is then the sum of a few run sums at shifted columns, added and divided in
// one pass over the columns. Sums of at most 14 samples of 0..255 fit 16
// bits, so the column loops run on 16-bit lanes (built for AVX2 as well);
// the means divide by a constant divisor and the gray divides by 1000
// exactly as image/gray.h does. A picture with a sample above 255 (no page makes one,
// but the planes are 32-bit) takes the exact form instead.

#include "ops/outline_detect.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <thread>
#include <vector>

#include "image/gray.h"

namespace {

// [SECTION] Shapes
struct Run {
  int row = 0;    // plane row offset
  int first = 0;  // column offsets first .. last
  int last = 0;
  constexpr int Length() const { return last - first + 1; }
};
struct Side {
  std::array<Run, 7> runs{};
  int count = 0;
};
struct Pair {
  Side a, b;
  int divisor = 1;
};
struct Shape {
  std::array<Pair, 4> pairs{};
  int border = 2;  // rows and columns left out at each edge
  int reach = 1;   // the largest row offset used
};

template <typename... R>
constexpr Side SideOf(R... runs) {
  return Side{{runs...}, static_cast<int>(sizeof...(runs))};
}

// Fine: 3 pixels a region, border 2.
constexpr Shape FineShape{
    {{
        // D1: {(-1,-1), (-1,0), (0,-1)} against {(0,+1), (+1,0), (+1,+1)}
        {SideOf(Run{-1, -1, 0}, Run{0, -1, -1}), SideOf(Run{0, 1, 1}, Run{1, 0, 1}), 3},
        // D2: {(0,-1), (+1,-1), (+1,0)} against {(-1,0), (-1,+1), (0,+1)}
        {SideOf(Run{0, -1, -1}, Run{1, -1, 0}), SideOf(Run{-1, 0, 1}, Run{0, 1, 1}), 3},
        // V: row -1 against row +1, columns -1..+1
        {SideOf(Run{-1, -1, 1}), SideOf(Run{1, -1, 1}), 3},
        // H: column +1 against column -1, rows -1..+1
        {SideOf(Run{-1, 1, 1}, Run{0, 1, 1}, Run{1, 1, 1}), SideOf(Run{-1, -1, -1}, Run{0, -1, -1}, Run{1, -1, -1}),
         3},
    }},
    2,
    1};

// Middle: the 5 x 5 square without its corners and centre, border 2.
constexpr Shape MiddleShape{
    {{
        {SideOf(Run{-2, -1, 1}, Run{-1, 0, 2}, Run{0, 1, 2}, Run{1, 2, 2}),
         SideOf(Run{-1, -2, -2}, Run{0, -2, -1}, Run{1, -2, 0}, Run{2, -1, 1}), 9},
        {SideOf(Run{-2, -1, 1}, Run{-1, -2, 0}, Run{0, -2, -1}, Run{1, -2, -2}),
         SideOf(Run{-1, 2, 2}, Run{0, 1, 2}, Run{1, 0, 2}, Run{2, -1, 1}), 9},
        {SideOf(Run{-2, -1, -1}, Run{-1, -2, -1}, Run{0, -2, -1}, Run{1, -2, -1}, Run{2, -1, -1}),
         SideOf(Run{-2, 1, 1}, Run{-1, 1, 2}, Run{0, 1, 2}, Run{1, 1, 2}, Run{2, 1, 1}), 8},
        {SideOf(Run{-2, -1, 1}, Run{-1, -2, 2}), SideOf(Run{1, -2, 2}, Run{2, -1, 1}), 8},
    }},
    2,
    2};

// Fat: the 7 x 7 square without its corners, border 3.
constexpr Shape FatShape{
    {{
        {SideOf(Run{-3, -2, 1}, Run{-2, -3, 0}, Run{-1, -3, -1}, Run{0, -3, -2}, Run{1, -3, -3}),
         SideOf(Run{3, -1, 2}, Run{2, 0, 3}, Run{1, 1, 3}, Run{0, 2, 3}, Run{-1, 3, 3}), 14},
        {SideOf(Run{-3, -1, 2}, Run{-2, 0, 3}, Run{-1, 1, 3}, Run{0, 2, 3}, Run{1, 3, 3}),
         SideOf(Run{3, -2, 1}, Run{2, -3, 0}, Run{1, -3, -1}, Run{0, -3, -2}, Run{-1, -3, -3}), 14},
        // H: column -3 rows -2..+2 and column -2 rows -3..+3, against the + side
        {SideOf(Run{-3, -2, -2}, Run{-2, -3, -2}, Run{-1, -3, -2}, Run{0, -3, -2}, Run{1, -3, -2}, Run{2, -3, -2},
                Run{3, -2, -2}),
         SideOf(Run{-3, 2, 2}, Run{-2, 2, 3}, Run{-1, 2, 3}, Run{0, 2, 3}, Run{1, 2, 3}, Run{2, 2, 3}, Run{3, 2, 2}),
         12},
        // V: row -3 columns -2..+2 and row -2 columns -3..+3, against rows +2, +3
        {SideOf(Run{-3, -2, 2}, Run{-2, -3, 3}), SideOf(Run{2, -3, 3}, Run{3, -2, 2}), 12},
    }},
    3,
    3};

const Shape* ShapeOf(int width) {
  switch (width) {
    case FineWidth: return &FineShape;
    case MiddleWidth: return &MiddleShape;
    case FatWidth: return &FatShape;
    default: return nullptr;
  }
}

// Where the outline pixels go: width x height of a canvas of `stride` pixels a row.
struct OutlineTarget {
  std::uint8_t* canvas;
  int stride, width, height;
};

void PaintPixel(std::uint8_t* canvas, std::size_t index, OutlineRgb colour) {
  canvas[3 * index] = static_cast<std::uint8_t>(colour.blue);
  canvas[3 * index + 1] = static_cast<std::uint8_t>(colour.green);
  canvas[3 * index + 2] = static_cast<std::uint8_t>(colour.red);
}

// [SECTION] Exact form for any samples
std::int64_t SideSum(const PlaneView& planes, int k, int row, int column, const Side& side) {
  std::int64_t sum = 0;
  for (int i = 0; i < side.count; ++i) {
    const Run& run = side.runs[static_cast<std::size_t>(i)];
    for (int c = run.first; c <= run.last; ++c) sum += planes.at(k, row + run.row, column + c);
  }
  return sum;
}

bool PairPasses(const PlaneView& planes, int row, int column, const Pair& pair, std::int64_t judge, int mode) {
  std::array<std::int64_t, 3> a{}, b{};
  for (int k = 0; k < 3; ++k) {
    a[static_cast<std::size_t>(k)] = SideSum(planes, k, row, column, pair.a) / pair.divisor;
    b[static_cast<std::size_t>(k)] = SideSum(planes, k, row, column, pair.b) / pair.divisor;
  }
  if (mode == 1) {
    for (std::size_t k = 0; k < 3; ++k) {
      const std::int64_t d = a[k] > b[k] ? a[k] - b[k] : b[k] - a[k];
      if (d <= judge) return false;
    }
    return true;
  }
  const std::int64_t la = GrayTruncated(a[2], a[1], a[0]);
  const std::int64_t lb = GrayTruncated(b[2], b[1], b[0]);
  return (la > lb ? la - lb : lb - la) > judge;
}

void PaintOutlineExact(const OutlineTarget& to, const PlaneView& planes, const Shape& shape, int judgeValue, int mode,
                       OutlineRgb colour) {
  const int b = shape.border;
  for (int row = b; row < to.height - b; ++row) {
    for (int column = b; column < to.width - b; ++column) {
      for (const Pair& pair : shape.pairs) {
        if (PairPasses(planes, row, column, pair, judgeValue, mode)) {
          PaintPixel(to.canvas, static_cast<std::size_t>(row) * static_cast<std::size_t>(to.stride) +
                                    static_cast<std::size_t>(column),
                     colour);
          break;
        }
      }
    }
  }
}

// [SECTION] Row form for 0..255 samples
constexpr int RingRows = 7;
constexpr int LongestRun = 7;
constexpr int Pad = 8;  // zero columns after each row, so shifted reads stay inside

using Lane = std::uint16_t;

// Run sums of every length 1..7 for the three channels of seven rows.
class RowSums {
 public:
  explicit RowSums(int width) : width_(width), span_(static_cast<std::size_t>(width + Pad)) {
    data_.assign(static_cast<std::size_t>(RingRows) * 3 * LongestRun * span_, 0);
  }
  // Run sums of `length` columns starting at each column of a row's channel.
  const Lane* Sums(int row, int k, int length) const { return data_.data() + Offset(row, k, length); }
  Lane* Sums(int row, int k, int length) { return data_.data() + Offset(row, k, length); }

  // Makes the run sums of one picture row; false when a sample is above 255.
  [[gnu::always_inline]] bool Build(const PlaneView& planes, int row) {
    const std::size_t w = static_cast<std::size_t>(width_);
    for (int k = 0; k < 3; ++k) {
      const std::uint32_t* in = planes.plane[static_cast<std::size_t>(k)] + static_cast<std::size_t>(row) * planes.stride;
      Lane* __restrict h1 = Sums(row, k, 1);
      std::uint32_t above = 0;
      for (std::size_t c = 0; c < w; ++c) {
        above |= in[c];
        h1[c] = static_cast<Lane>(in[c]);
      }
      if (above > 255) return false;
      Lane* __restrict h2 = Sums(row, k, 2);
      Lane* __restrict h3 = Sums(row, k, 3);
      Lane* __restrict h4 = Sums(row, k, 4);
      Lane* __restrict h5 = Sums(row, k, 5);
      Lane* __restrict h6 = Sums(row, k, 6);
      Lane* __restrict h7 = Sums(row, k, 7);
      // Each reads at most 6 columns past c: the zero pad.
      for (std::size_t c = 0; c < w; ++c) h2[c] = static_cast<Lane>(h1[c] + h1[c + 1]);
      for (std::size_t c = 0; c < w; ++c) h3[c] = static_cast<Lane>(h2[c] + h1[c + 2]);
      for (std::size_t c = 0; c < w; ++c) h4[c] = static_cast<Lane>(h2[c] + h2[c + 2]);
      for (std::size_t c = 0; c < w; ++c) h5[c] = static_cast<Lane>(h4[c] + h1[c + 4]);
      for (std::size_t c = 0; c < w; ++c) h6[c] = static_cast<Lane>(h3[c] + h3[c + 3]);
      for (std::size_t c = 0; c < w; ++c) h7[c] = static_cast<Lane>(h4[c] + h3[c + 4]);
    }
    return true;
  }

 private:
  std::size_t Offset(int row, int k, int length) const {
    const std::size_t slot = static_cast<std::size_t>(row % RingRows);
    return ((slot * 3 + static_cast<std::size_t>(k)) * LongestRun + static_cast<std::size_t>(length - 1)) * span_;
  }
  int width_;
  std::size_t span_;
  std::vector<Lane> data_;
};

// The integer means of N runs' sums: one pass over the columns.
template <int N, int Divisor>
VZ_INLINE void SumRuns(Lane* __restrict out, const std::array<const Lane*, 7>& runs, int first, int last) {
  std::array<const Lane*, N> s{};
  for (int i = 0; i < N; ++i) s[static_cast<std::size_t>(i)] = runs[static_cast<std::size_t>(i)];
  for (int c = first; c <= last; ++c) {
    unsigned acc = s[0][c];
    for (int i = 1; i < N; ++i) acc += s[static_cast<std::size_t>(i)][c];
    out[c] = static_cast<Lane>(acc / Divisor);
  }
}

// Any other count and divisor (not used by the three shapes).
VZ_INLINE void SumRunsAny(Lane* __restrict out, const std::array<const Lane*, 7>& runs, int count, int divisor,
                          int first, int last) {
  for (int c = first; c <= last; ++c) {
    unsigned acc = 0;
    for (int i = 0; i < count; ++i) acc += runs[static_cast<std::size_t>(i)][c];
    out[c] = static_cast<Lane>(acc / static_cast<unsigned>(divisor));
  }
}

// The integer means of one side, per channel, for columns first .. last.
VZ_INLINE void SideMeansOf(int divisor, const RowSums& sums, int row, const Side& side, int first, int last,
                           std::array<Lane*, 3> means) {
  for (int k = 0; k < 3; ++k) {
    std::array<const Lane*, 7> runs{};
    for (int i = 0; i < side.count; ++i) {
      const Run& run = side.runs[static_cast<std::size_t>(i)];
      runs[static_cast<std::size_t>(i)] = sums.Sums(row + run.row, k, run.Length()) + run.first;
    }
    Lane* out = means[static_cast<std::size_t>(k)];
    const int key = divisor * 8 + side.count;
    switch (key) {
      case 3 * 8 + 1: SumRuns<1, 3>(out, runs, first, last); break;
      case 3 * 8 + 2: SumRuns<2, 3>(out, runs, first, last); break;
      case 3 * 8 + 3: SumRuns<3, 3>(out, runs, first, last); break;
      case 9 * 8 + 4: SumRuns<4, 9>(out, runs, first, last); break;
      case 8 * 8 + 5: SumRuns<5, 8>(out, runs, first, last); break;
      case 8 * 8 + 2: SumRuns<2, 8>(out, runs, first, last); break;
      case 14 * 8 + 5: SumRuns<5, 14>(out, runs, first, last); break;
      case 12 * 8 + 7: SumRuns<7, 12>(out, runs, first, last); break;
      case 12 * 8 + 2: SumRuns<2, 12>(out, runs, first, last); break;
      default: SumRunsAny(out, runs, side.count, divisor, first, last); break;
    }
  }
}

struct RowWork {
  explicit RowWork(int width) {
    for (auto& m : means) m.assign(static_cast<std::size_t>(width), 0);
    gray.assign(static_cast<std::size_t>(width), 0);
    hit.assign(static_cast<std::size_t>(width), 0);
  }
  std::array<std::vector<Lane>, 6> means;  // side a blue, green, red; side b blue, green, red
  std::vector<Lane> gray;
  std::vector<std::uint8_t> hit;
};

// Judges one pair for the columns of a row; passes are or-ed into hit.
VZ_INLINE void JudgePair(RowWork& work, int mode, int judge, int first, int last) {
  const Lane* __restrict ab = work.means[0].data();
  const Lane* __restrict ag = work.means[1].data();
  const Lane* __restrict ar = work.means[2].data();
  const Lane* __restrict bb = work.means[3].data();
  const Lane* __restrict bg = work.means[4].data();
  const Lane* __restrict br = work.means[5].data();
  std::uint8_t* __restrict hit = work.hit.data();
  const int j = judge;
  if (mode == 1) {
    for (int c = first; c <= last; ++c) {
      const int db = ab[c] > bb[c] ? ab[c] - bb[c] : bb[c] - ab[c];
      const int dg = ag[c] > bg[c] ? ag[c] - bg[c] : bg[c] - ag[c];
      const int dr = ar[c] > br[c] ? ar[c] - br[c] : br[c] - ar[c];
      hit[c] = static_cast<std::uint8_t>(hit[c] | ((db > j) & (dg > j) & (dr > j)));
    }
    return;
  }
  Lane* __restrict gray = work.gray.data();
  for (int c = first; c <= last; ++c) {
    gray[c] = static_cast<Lane>(GrayOfLanes(ar[c], ag[c], ab[c]));
  }
  for (int c = first; c <= last; ++c) {
    const int lb = static_cast<int>(GrayOfLanes(br[c], bg[c], bb[c]));
    const int d = gray[c] > lb ? gray[c] - lb : lb - gray[c];
    hit[c] = static_cast<std::uint8_t>(hit[c] | (d > j));
  }
}

// False (with nothing decided) when a sample above 255 turns up.
VZ_INLINE bool PaintOutlineRowsOn(const OutlineTarget& to, const PlaneView& planes, const Shape& shape, int judgeValue,
                                  int mode, OutlineRgb colour, int rowFrom, int rowTo) {
  const int width = to.width;
  const int b = shape.border;
  const int first = b;
  const int last = width - 1 - b;
  // A judge value above every possible difference passes nothing; a negative
  // one is kept as it is (every difference of 0 passes it).
  const int judge = std::clamp(judgeValue, -1, 256);
  RowSums sums(width);
  RowWork work(width);
  int built = rowFrom - shape.reach;
  for (int row = rowFrom; row <= rowTo; ++row) {
    while (built <= row + shape.reach) {
      if (!sums.Build(planes, built)) return false;
      ++built;
    }
    std::fill(work.hit.begin(), work.hit.end(), std::uint8_t{0});
    for (const Pair& pair : shape.pairs) {
      SideMeansOf(pair.divisor, sums, row, pair.a, first, last,
                  {work.means[0].data(), work.means[1].data(), work.means[2].data()});
      SideMeansOf(pair.divisor, sums, row, pair.b, first, last,
                  {work.means[3].data(), work.means[4].data(), work.means[5].data()});
      JudgePair(work, mode, judge, first, last);
    }
    const std::size_t rowStart = static_cast<std::size_t>(row) * static_cast<std::size_t>(to.stride);
    for (int c = first; c <= last; ++c) {
      if (work.hit[static_cast<std::size_t>(c)] != 0) PaintPixel(to.canvas, rowStart + static_cast<std::size_t>(c), colour);
    }
  }
  return true;
}

// The same code built twice: for processors with AVX2 (16 lanes of 16 bits)
// and for any x86-64 (8 lanes).
__attribute__((target("avx2"))) bool PaintBandAvx2(const OutlineTarget& to, const PlaneView& planes,
                                                   const Shape& shape, int judgeValue, int mode, OutlineRgb colour,
                                                   int rowFrom, int rowTo) {
  return PaintOutlineRowsOn(to, planes, shape, judgeValue, mode, colour, rowFrom, rowTo);
}
bool PaintBandPlain(const OutlineTarget& to, const PlaneView& planes, const Shape& shape, int judgeValue, int mode,
                    OutlineRgb colour, int rowFrom, int rowTo) {
  return PaintOutlineRowsOn(to, planes, shape, judgeValue, mode, colour, rowFrom, rowTo);
}

bool PaintBand(const OutlineTarget& to, const PlaneView& planes, const Shape& shape, int judgeValue, int mode,
               OutlineRgb colour, int rowFrom, int rowTo) {
  static const bool avx2 = __builtin_cpu_supports("avx2");
  return avx2 ? PaintBandAvx2(to, planes, shape, judgeValue, mode, colour, rowFrom, rowTo)
              : PaintBandPlain(to, planes, shape, judgeValue, mode, colour, rowFrom, rowTo);
}

// The rows inside the border in two bands, one on a second thread (each
// band paints only its own canvas rows). False when a sample above 255
// turned up in either band.
bool PaintOutlineRows(const OutlineTarget& to, const PlaneView& planes, const Shape& shape, int judgeValue, int mode,
                      OutlineRgb colour) {
  const int b = shape.border;
  const int rowFrom = b;
  const int rowTo = to.height - 1 - b;
  if (to.width - 1 - b < b || rowTo < rowFrom) return true;
  const int middle = rowFrom + (rowTo - rowFrom + 1) / 2;
  if (std::thread::hardware_concurrency() < 2 || rowTo - rowFrom < 64) {
    return PaintBand(to, planes, shape, judgeValue, mode, colour, rowFrom, rowTo);
  }
  bool upper = true;
  std::thread helper([&] { upper = PaintBand(to, planes, shape, judgeValue, mode, colour, middle, rowTo); });
  const bool lower = PaintBand(to, planes, shape, judgeValue, mode, colour, rowFrom, middle - 1);
  helper.join();
  return lower && upper;
}

}  // namespace

void PaintOutlinePixels(const PlaneView& planes, std::uint8_t* canvas, int canvasStride, int width, int height,
                        const OutlineSettings& settings) {
  const Shape* shape = ShapeOf(settings.outlineWidth);
  if (shape == nullptr) return;
  const OutlineTarget to{canvas, canvasStride, width, height};
  if (!PaintOutlineRows(to, planes, *shape, settings.judgeValue, settings.judgeMode, settings.colour)) {
    PaintOutlineExact(to, planes, *shape, settings.judgeValue, settings.judgeMode, settings.colour);
  }
}
