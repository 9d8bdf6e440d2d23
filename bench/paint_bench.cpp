// Whole paints through the headless backend, the way the message loop runs
// them: a page's paint with nothing long to do, and the paint that serves a
// click on "F" on TOP (the Vantor Eye pass with its progress display), beside
// the same pass written the literal way (the n x n engine and a canvas copy
// on every row).

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>

#include "app/paint.h"
#include "image/bmp_files.h"
#include "app/program.h"
#include "pages/kit/page_state.h"
#include "pages/kit/page_steps.h"
#include "image/planes.h"
#include "image/sample_scene.h"
#include "pages/tone/tone_pages.h"
#include "pages/tone/tone_state.h"
#include "platform/dialogs.h"
#include "platform/headless.h"
#include "platform/surface.h"
#include "platform/window.h"
#include "reference/vantor_eye_literal.h"
#include "support/bench_session.h"

namespace {

using Session = BenchSession;

void PaintOfPage(benchmark::State& state) {
  Session session;
  const int page = static_cast<int>(state.range(0));
  session.Click(128 + 56 * page, 15);
  session.window.RunPendingPaints();
  for (auto _ : state) {
    session.window.Invalidate();
    session.window.RunPendingPaints();
  }
}
BENCHMARK(PaintOfPage)->DenseRange(0, 13)->Unit(benchmark::kMillisecond);

void TopClickOnF(benchmark::State& state) {
  Session session;
  for (auto _ : state) {
    session.Click(24, 370);
    session.window.RunPendingPaints();
  }
}
BENCHMARK(TopClickOnF)->Unit(benchmark::kMillisecond)->UseRealTime();

// The VANTOR EYE page's pass with key L (window 40), the paint that serves it.
void EyePageKeyL(benchmark::State& state) {
  Session session;
  session.Click(128 + 56 * PageEye, 15);
  session.window.RunPendingPaints();
  for (auto _ : state) {
    Tone.hornKey = 12;
    Tone.runPending = true;
    session.window.Invalidate();
    session.window.RunPendingPaints();
  }
}
BENCHMARK(EyePageKeyL)->Unit(benchmark::kMillisecond)->UseRealTime();

// The pass as first written: every row through the n x n engine, the canvas
// copied from the planes before every row and shown every 64 rows.
void TopPassLiteral(benchmark::State& state) {
  Session session;
  const int n = 16;
  const EyeParameters parameters = Tone.eye;
  for (auto _ : state) {
    SaveToInner(Stride, CanvasRows);
    ShowCanvasNow();
    for (int row = CanvasRows; row >= CanvasRows - ShownHeight; --row) {
      CanvasFromPlanes(Canvas.data(), Stride, CanvasRows);
      if (row % 64 == 0) ShowCanvasNow();
      if (row >= n / 2 && row <= CanvasRows - n / 2) {
        VantorEyeRowLiteral(InnerView(), WorkView(), Stride, CanvasRows, n, parameters, row);
      }
      if (row >= 33 && row % 64 == 0) {
        Screen().Line(Pen{{200, 200, 200}}, 100 + n, CanvasRows + 32 - row, 100 + Stride - n, CanvasRows + 32 - row);
        MainWindow().Present();
      }
    }
    ShowCanvasNow();
    PlanesFromCanvas(Canvas.data(), Stride, CanvasRows);
  }
}
BENCHMARK(TopPassLiteral)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
