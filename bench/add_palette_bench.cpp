// The ADD and PALETTE pages' paints through the headless backend, and ADD's
// addition alone, fast and literal.
//
//   AddPaintHard      the click on "hd" to the end of its paint: KEEP6 read
//                     back, the addition with weights 0 : 1, the canvas shown
//   AddPaintAdd       the same for " add" (weights 7 : 1, blended again each time)
//   *Literal          the same paints with the literal addition of bench/reference
//   PalettePaintChart a PALETTE paint with the chart on, following a click on it
//   AdditionFast / AdditionLiteral  the addition over 960 x 672 alone

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "app/paint.h"
#include "app/program.h"
#include "image/bmp_files.h"
#include "image/planes.h"
#include "image/sample_scene.h"
#include "ops/add_step.h"
#include "pages/colour/add_page.h"
#include "pages/colour/nod_colours.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/headless.h"
#include "reference/add_colour_literal.h"
#include "support/bench_session.h"

namespace {

// The sample scene (960 x 672) opened, then a page's tab clicked.
struct PageRun : BenchSession {
  explicit PageRun(int page) { Click(128 + 56 * page, 15); }
};

void RunAddPaint(benchmark::State& state, int x, int y, AddColoursRoutine routine) {
  PageRun run(6);
  AddNodColoursRoutine = routine;
  for (auto _ : state) {
    run.Click(x, y);
    benchmark::DoNotOptimize(Canvas[1000]);
  }
  AddNodColoursRoutine = AddNodColours;
}

void AddPaintHard(benchmark::State& state) { RunAddPaint(state, 80, 418, AddNodColours); }
void AddPaintHardLiteral(benchmark::State& state) { RunAddPaint(state, 80, 418, LiteralAddNodColours); }
void AddPaintAdd(benchmark::State& state) { RunAddPaint(state, 50, 470, AddNodColours); }
void AddPaintAddLiteral(benchmark::State& state) { RunAddPaint(state, 50, 470, LiteralAddNodColours); }

void PalettePaintChart(benchmark::State& state) {
  PageRun run(7);
  run.Click(30, 460);  // "chart"
  for (auto _ : state) {
    run.Click(228, 500);  // a colour from the square
    benchmark::DoNotOptimize(Canvas[1000]);
  }
}

void PalettePaintPlain(benchmark::State& state) {
  PageRun run(7);
  for (auto _ : state) {
    run.Click(83, 382);  // the red arrow
    benchmark::DoNotOptimize(Canvas[1000]);
  }
}

// The addition alone over the sample scene, from a fresh copy each time.
void RunAddition(benchmark::State& state, AddColoursRoutine routine, BlendWeights weights) {
  const Picture scene = MakeSampleScene(Stride, CanvasRows);
  std::array<std::vector<std::uint32_t>, 3> source, work;
  for (std::size_t k = 0; k < 3; ++k) {
    source[k].resize(static_cast<std::size_t>(Stride) * CanvasRows);
    for (std::size_t i = 0; i < source[k].size(); ++i) source[k][i] = scene.rgb[3 * i + 2 - k];
  }
  for (auto _ : state) {
    work = source;
    routine(PlaneView{{work[0].data(), work[1].data(), work[2].data()}, Stride, CanvasRows}, Stride, CanvasRows,
            AddColourSettings{BuiltInNodColours.columns[0], 0, 255, weights});
    benchmark::DoNotOptimize(work[0][1000]);
  }
}

void CopyOnly(const PlaneView&, int, int, const AddColourSettings&) {}
void AdditionCopyOnly(benchmark::State& state) { RunAddition(state, CopyOnly, HardWeights); }
void AdditionFastHard(benchmark::State& state) { RunAddition(state, AddNodColours, HardWeights); }
void AdditionLiteralHard(benchmark::State& state) { RunAddition(state, LiteralAddNodColours, HardWeights); }
void AdditionFastSoft(benchmark::State& state) { RunAddition(state, AddNodColours, SoftWeights); }
void AdditionLiteralSoft(benchmark::State& state) { RunAddition(state, LiteralAddNodColours, SoftWeights); }

}  // namespace

BENCHMARK(AddPaintHard)->Unit(benchmark::kMillisecond);
BENCHMARK(AddPaintHardLiteral)->Unit(benchmark::kMillisecond);
BENCHMARK(AddPaintAdd)->Unit(benchmark::kMillisecond);
BENCHMARK(AddPaintAddLiteral)->Unit(benchmark::kMillisecond);
BENCHMARK(PalettePaintChart)->Unit(benchmark::kMillisecond);
BENCHMARK(PalettePaintPlain)->Unit(benchmark::kMillisecond);
BENCHMARK(AdditionCopyOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(AdditionFastHard)->Unit(benchmark::kMillisecond);
BENCHMARK(AdditionLiteralHard)->Unit(benchmark::kMillisecond);
BENCHMARK(AdditionFastSoft)->Unit(benchmark::kMillisecond);
BENCHMARK(AdditionLiteralSoft)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
