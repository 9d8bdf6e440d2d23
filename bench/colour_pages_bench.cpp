// The CONTOUR and UNI C. pages: their pixel work alone, fast and literal, and
// their whole paints through the headless backend with the sample picture
// (960 x 672): CONTOUR with all levels (" limit area"), UNI C. with the
// colour chart on, and the UNI C. paint that serves "all" (KEEP8 read back,
// the conversion). The literal cases are the same paints with the literal
// forms of bench/reference swapped in.

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/paint.h"
#include "app/program.h"
#include "image/bmp_files.h"
#include "image/picture_in_hand.h"
#include "image/planes.h"
#include "image/sample_scene.h"
#include "ops/contour_levels.h"
#include "ops/contour_step.h"
#include "ops/uni_c_step.h"
#include "pages/colour/contour_page.h"
#include "pages/colour/range_convert.h"
#include "pages/colour/uni_c_page.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/headless.h"
#include "reference/contour_literal.h"
#include "reference/range_convert_literal.h"
#include "support/bench_session.h"

namespace {

// The sample scene as a bottom-up canvas.
std::vector<std::uint8_t> SceneCanvas() {
  std::vector<std::uint8_t> c(CanvasByteCount);
  DrawPictureIntoCanvas(MakeSampleScene(Stride, CanvasRows), c.data());
  return c;
}

void ContourDrawing(benchmark::State& state, ContourRoutine routine) {
  const std::vector<std::uint8_t> scene = SceneCanvas();
  std::vector<std::uint8_t> canvas = scene;
  for (auto _ : state) {
    state.PauseTiming();
    canvas = scene;
    state.ResumeTiming();
    routine(canvas.data(), Stride, Stride, CanvasRows, ContourDrawSettings{ContourLadder{}, ContourAllLevels, 0, 4});
    benchmark::DoNotOptimize(canvas[1000]);
  }
}
void ContourAllLevelsFast(benchmark::State& state) { ContourDrawing(state, ApplyContour); }
void ContourAllLevelsLiteral(benchmark::State& state) { ContourDrawing(state, LiteralContour); }

void Conversion(benchmark::State& state, RangeConvertRoutine routine) {
  const std::vector<std::uint8_t> scene = SceneCanvas();
  PlanesFromCanvas(scene.data(), Stride, CanvasRows);
  std::vector<std::uint8_t> canvas = scene;
  for (auto _ : state) {
    routine(WorkView(), canvas.data(), Stride, Stride, CanvasRows, GrayRangeSettings{60, 180, UniRgb{12, 240, 99}});
    benchmark::DoNotOptimize(canvas[1000]);
  }
}
void ConvertFast(benchmark::State& state) { Conversion(state, PaintGrayRange); }
void ConvertLiteral(benchmark::State& state) { Conversion(state, LiteralPaintGrayRange); }

using ProgramRun = BenchSession;  // the sample picture opened

void ContourPaint(benchmark::State& state, ContourRoutine routine, bool allLevels = true) {
  ProgramRun run;
  run.Click(408, 10);  // CONTOUR
  run.Click(88, 324);  // colour type 1
  if (allLevels) run.Click(40, 383);  // " limit area"
  ContourDrawRoutine = routine;
  for (auto _ : state) {
    PaintHandler();
    benchmark::DoNotOptimize(Canvas[1000]);
  }
  ContourDrawRoutine = ApplyContour;
}
void ContourPaintAllLevels(benchmark::State& state) { ContourPaint(state, ApplyContour); }
void ContourPaintAllLevelsLiteral(benchmark::State& state) { ContourPaint(state, LiteralContour); }
void ContourPaintNoContour(benchmark::State& state) { ContourPaint(state, ApplyContour, false); }

// UNI C. with a target collected and a new colour, then the chart on (each
// paint reads the chart and draws it), or "all" served at every paint.
void UniCPaint(benchmark::State& state, bool all, RangeConvertRoutine routine, bool chart = true) {
  ProgramRun run;
  run.Click(576, 10);   // UNI C.
  run.Click(40, 98);    // 1)target
  run.Click(700, 200);  // a target pick
  run.Click(40, 334);   // 2)convert
  run.Click(800, 300);  // the new colour
  if (!all && chart) {
    run.Click(30, 469);   // " chart"
    run.Click(300, 470);  // a colour from the chart
  }
  UniCConvertRoutine = routine;
  for (auto _ : state) {
    if (all) {
      UniCPage.values.readKeepRequest = true;
      UniCPage.values.convertRequest = true;
    }
    PaintHandler();
    benchmark::DoNotOptimize(Canvas[1000]);
  }
  UniCConvertRoutine = PaintGrayRange;
}
void UniCPaintChart(benchmark::State& state) { UniCPaint(state, false, PaintGrayRange); }
void UniCPaintAll(benchmark::State& state) { UniCPaint(state, true, PaintGrayRange); }
void UniCPaintAllLiteral(benchmark::State& state) { UniCPaint(state, true, LiteralPaintGrayRange); }
void UniCPaintNoChart(benchmark::State& state) { UniCPaint(state, false, PaintGrayRange, false); }

}  // namespace

BENCHMARK(ContourAllLevelsFast)->Unit(benchmark::kMillisecond);
BENCHMARK(ContourAllLevelsLiteral)->Unit(benchmark::kMillisecond);
BENCHMARK(ConvertFast)->Unit(benchmark::kMillisecond);
BENCHMARK(ConvertLiteral)->Unit(benchmark::kMillisecond);
BENCHMARK(ContourPaintNoContour)->Unit(benchmark::kMillisecond);
BENCHMARK(ContourPaintAllLevels)->Unit(benchmark::kMillisecond);
BENCHMARK(ContourPaintAllLevelsLiteral)->Unit(benchmark::kMillisecond);
BENCHMARK(UniCPaintNoChart)->Unit(benchmark::kMillisecond);
BENCHMARK(UniCPaintChart)->Unit(benchmark::kMillisecond);
BENCHMARK(UniCPaintAll)->Unit(benchmark::kMillisecond);
BENCHMARK(UniCPaintAllLiteral)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
