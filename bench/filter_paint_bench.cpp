// The whole FILTER paint through the headless backend: the paint handler as
// the message loop runs it (picture into the canvas, the page section with
// its panel, the restart from InnerPlanes, channel levels, colour power, the
// canvas shown, tab bar, comments), with a 960 x 672 picture. The literal case
// is the same paint with the literal colour power swapped in.

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/paint.h"
#include "app/program.h"
#include "image/bmp_files.h"
#include "ops/filter_step.h"
#include "pages/filter/filter_page.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/headless.h"
#include "reference/colour_power_literal.h"
#include "support/bench_session.h"

namespace {

// A picture of smooth colours with noise.
std::vector<std::uint8_t> NoisyPictureBmp() {
  unsigned noise = 1;
  return EncodeBmp(Stride, CanvasRows, 0, [&](int row, std::uint8_t* out) {
    for (int x = 0; x < Stride; ++x) {
      for (int k = 0; k < 3; ++k) {
        noise = noise * 1103515245u + 12345u;
        const int base = (row * (k + 1) + x * (3 - k)) / 7 % 256;
        out[3 * x + k] = static_cast<std::uint8_t>((base + static_cast<int>((noise >> 16) % 24)) % 256);
      }
    }
  });
}

// That picture opened, then the FILTER tab clicked.
struct FilterRun : BenchSession {
  FilterRun() : BenchSession(NoisyPictureBmp()) { Click(180, 10); }
};

void RunFilterPaint(benchmark::State& state, bool powerOn, ColourPowerRoutine routine) {
  FilterRun run;
  if (powerOn) run.Click(40, 377);  // "  action"
  FilterPowerRoutine = routine;
  for (auto _ : state) {
    PaintHandler();
    benchmark::DoNotOptimize(Canvas[1000]);
  }
  FilterPowerRoutine = ApplyColourPowerByPlane;
}

void FilterPaintPowerOff(benchmark::State& state) { RunFilterPaint(state, false, ApplyColourPowerByPlane); }
void FilterPaintPowerOn(benchmark::State& state) { RunFilterPaint(state, true, ApplyColourPowerByPlane); }
void FilterPaintPowerOnLiteral(benchmark::State& state) { RunFilterPaint(state, true, LiteralColourPower); }

}  // namespace

BENCHMARK(FilterPaintPowerOff)->Unit(benchmark::kMillisecond);
BENCHMARK(FilterPaintPowerOn)->Unit(benchmark::kMillisecond);
BENCHMARK(FilterPaintPowerOnLiteral)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
