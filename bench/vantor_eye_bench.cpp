// Whole 960 x 672 Vantor Eye pass: the literal n x n form against the fast
// engine, for keys F (n = 16) and L (n = 40), on a structured hazy picture.
//   build-eye/bench/vantor_eye_bench --benchmark_filter=Eye
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <random>
#include <vector>

#include "ops/vantor_eye.h"
#include "reference/vantor_eye_literal.h"

namespace {

struct BenchPlanes {
  std::array<std::vector<std::uint32_t>, 3> plane;
  BenchPlanes() {
    for (auto& p : plane) p.assign(static_cast<std::size_t>(Stride) * CanvasRows, 0);
  }
  PlaneView view() { return PlaneView{{plane[0].data(), plane[1].data(), plane[2].data()}, Stride, CanvasRows}; }
};

// Sky gradient, dark hill, bright disc, stripes and a little noise.
BenchPlanes& Scene() {
  static BenchPlanes scene = [] {
    BenchPlanes p;
    std::mt19937 random(5);
    const int w = Stride, h = CanvasRows;
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        int b = 150 + y * 80 / h, g = 140 + y * 60 / h, r = 130 + y * 40 / h;
        if (y < h / 3 + (x % 37) / 3) b = 60, g = 80, r = 70;
        const int dx = x - w * 2 / 3, dy = y - h * 2 / 3;
        if (dx * dx + dy * dy < h * h / 25) b = 90, g = 230, r = 250;
        if (x > w / 5 && x < w / 3 && (x / 2) % 2 == 0) b = g = r = 40;
        const int noise = static_cast<int>(random() % 9) - 4;
        const std::size_t i = static_cast<std::size_t>(y * w + x);
        p.plane[0][i] = static_cast<std::uint32_t>(std::clamp(b + noise, 0, 255));
        p.plane[1][i] = static_cast<std::uint32_t>(std::clamp(g + noise, 0, 255));
        p.plane[2][i] = static_cast<std::uint32_t>(std::clamp(r + noise, 0, 255));
      }
    }
    return p;
  }();
  return scene;
}

EyeParameters BenchParameters() {
  EyeParameters p;
  p.reference = {140, 130, 120};
  return p;
}

void LiteralPass(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  BenchPlanes target;
  for (auto _ : state) {
    VantorEyePassLiteral(Scene().view(), target.view(), Stride, CanvasRows, n, BenchParameters());
    benchmark::DoNotOptimize(target.plane[0].data());
  }
}

void FastPass(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const int threads = static_cast<int>(state.range(1));
  BenchPlanes target;
  for (auto _ : state) {
    VantorEyeRowsOn(Scene().view(), target.view(), Stride, CanvasRows, n, BenchParameters(), 0, CanvasRows, threads);
    benchmark::DoNotOptimize(target.plane[0].data());
  }
}

// The TOP page's way: bands of 64 rows from the top down.
void FastPassInBands(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  BenchPlanes target;
  for (auto _ : state) {
    for (int top = CanvasRows; top > 0; top -= 64) {
      VantorEyeRowsOn(Scene().view(), target.view(), Stride, CanvasRows, n, BenchParameters(), std::max(0, top - 64),
                      top, 2);
    }
    benchmark::DoNotOptimize(target.plane[0].data());
  }
}

}  // namespace

BENCHMARK(LiteralPass)->Name("EyeLiteral")->Arg(16)->Arg(40)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(FastPass)->Name("EyeFast")->Args({16, 1})->Args({16, 2})->Args({40, 1})->Args({40, 2})
    ->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(FastPassInBands)->Name("EyeFastBands64")->Arg(16)->Arg(40)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
