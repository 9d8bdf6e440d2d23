// The FILTER page recomputes at every paint: RestoreFromInner, then the colour
// power (and, when set, a balance or the light core) over 960 x 672. Each case
// runs the real copy from InnerPlanes first, as the paint does, so the figures
// are per paint; "Restore" alone gives the copy's share.

#include <benchmark/benchmark.h>

#include <random>

#include "image/planes.h"
#include "ops/colour_power.h"
#include "reference/colour_power_literal.h"

namespace {

// A picture of random colours in InnerPlanes (smooth enough that neighbours
// share grays, as a photograph does, with noise on top).
void FillInner() {
  static bool filled = false;
  if (filled) return;
  std::mt19937 random(1);
  for (int row = 0; row < CanvasRows; ++row)
    for (int column = 0; column < Stride; ++column)
      for (std::size_t k = 0; k < 3; ++k) {
        const int base = static_cast<int>((row * (k + 1) + column * (3 - k)) / 7 % 256);
        InnerPlanes[k][static_cast<std::size_t>(row * Stride + column)] =
            static_cast<std::uint32_t>((base + static_cast<int>(random() % 24)) % 256);
      }
  filled = true;
}

const FilterLevels Levels{{{18, 90, 201}, {25, 120, 230}, {9, 100, 188}}};

template <typename Work>
void RunPaint(benchmark::State& state, Work work) {
  FillInner();
  for (auto _ : state) {
    RestoreFromInner(Stride, CanvasRows);
    work(WorkView());
    benchmark::DoNotOptimize(WorkPlanes[0][1000]);
  }
  state.SetItemsProcessed(state.iterations() * Stride * CanvasRows);
}

void Restore(benchmark::State& state) {
  RunPaint(state, [](const PlaneView&) {});
}
void ColourPowerFast(benchmark::State& state) {
  const int power = static_cast<int>(state.range(0));
  RunPaint(state, [&](const PlaneView& v) { ApplyColourPowerByPlane(v, {power, power, power}); });
}
// The tables alone: the same call over a single pixel.
void ColourPowerTables(benchmark::State& state) {
  const int power = static_cast<int>(state.range(0));
  std::array<std::uint32_t, 3> pixel{40, 70, 100};
  const PlaneView one{{&pixel[0], &pixel[1], &pixel[2]}, 1, 1};
  for (auto _ : state) {
    ApplyColourPowerByPlane(one, {power, power, power});
    benchmark::DoNotOptimize(pixel);
  }
}
void ColourPowerLiteral(benchmark::State& state) {
  const int power = static_cast<int>(state.range(0));
  RunPaint(state, [&](const PlaneView& v) { LiteralColourPower(v, {power, power, power}); });
}
void PeachFast(benchmark::State& state) {
  RunPaint(state, [](const PlaneView& v) { ApplyPeach(v, Levels); });
}
void PeachLiteral(benchmark::State& state) {
  RunPaint(state, [](const PlaneView& v) { LiteralPeach(v, Levels); });
}
void BerryFast(benchmark::State& state) {
  RunPaint(state, [](const PlaneView& v) { ApplyBerry(v, Levels); });
}
void BerryLiteral(benchmark::State& state) {
  RunPaint(state, [](const PlaneView& v) { LiteralBerry(v, Levels); });
}
void LightCoreFast(benchmark::State& state) {
  RunPaint(state, [](const PlaneView& v) { ApplyLightCore(Canvas, v, 40, 200); });
}
void LightCoreLiteral(benchmark::State& state) {
  RunPaint(state, [](const PlaneView& v) { LiteralLightCore(Canvas, v, 40, 200); });
}

}  // namespace

BENCHMARK(Restore)->Unit(benchmark::kMillisecond);
BENCHMARK(ColourPowerFast)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(ColourPowerTables)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(ColourPowerLiteral)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(PeachFast)->Unit(benchmark::kMillisecond);
BENCHMARK(PeachLiteral)->Unit(benchmark::kMillisecond);
BENCHMARK(BerryFast)->Unit(benchmark::kMillisecond);
BENCHMARK(BerryLiteral)->Unit(benchmark::kMillisecond);
BENCHMARK(LightCoreFast)->Unit(benchmark::kMillisecond);
BENCHMARK(LightCoreLiteral)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
