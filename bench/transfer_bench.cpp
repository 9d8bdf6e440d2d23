// The Transfer page and the APPEAR page as the user waits for them, through
// the headless backend: a Transfer paint per polygon click (the work file
// "0000trfr.bmp" checked and written only when the picture changed), the
// paint of "delete" (fill, gap pass, "0000iso.bmp"), the paint of
// "3)Pattarn", an APPEAR paint in "3)real appear", one step of a "mouse move"
// drag; and the pixel work alone beside its literal forms: the polygon fill
// and RealAppear at every edge width.

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <random>

#include "app/program.h"
#include "pages/kit/page_state.h"
#include "image/planes.h"
#include "image/sample_scene.h"
#include "pages/appear/real_appear.h"
#include "pages/pattern/polygon_cut.h"
#include "platform/dialogs.h"
#include "platform/headless.h"
#include "platform/picture_loader.h"
#include "platform/surface.h"
#include "platform/window.h"
#include "reference/polygon_fill_literal.h"
#include "reference/real_appear_literal.h"
#include "support/bench_session.h"

namespace {

constexpr int TransferTabX = 128 + 56 * 11, AppearTabX = 128 + 56 * 12, TabY = 15;
constexpr int StartX = 26, StartY = 367, CloseX = 76, CloseY = 367, DeleteX = 38, DeleteY = 406;

// The sample picture opened, on the Transfer page.
struct Session : BenchSession {
  Session() { Click(TransferTabX, TabY); }
};

// A click that adds a polygon point, to the end of its paint.
void TransferPaintPerClick(benchmark::State& state) {
  Session session;
  session.Click(StartX, StartY);
  int k = 0;
  for (auto _ : state) {
    session.Click(200 + (k * 37) % 800, 60 + (k * 53) % 600);
    ++k;
  }
}
BENCHMARK(TransferPaintPerClick)->Unit(benchmark::kMillisecond)->UseRealTime();

// "delete" of a five-point polygon: fill, gap pass, planes, "0000iso.bmp".
void TransferDelete(benchmark::State& state) {
  Session session;
  for (auto _ : state) {
    state.PauseTiming();
    session.Click(StartX, StartY);
    for (const auto& [x, y] : {std::pair{300, 100}, {800, 150}, {900, 600}, {500, 650}, {200, 400}}) session.Click(x, y);
    session.Click(CloseX, CloseY);
    state.ResumeTiming();
    session.Click(DeleteX, DeleteY);
  }
}
BENCHMARK(TransferDelete)->Unit(benchmark::kMillisecond)->UseRealTime();

// "3)Pattarn": the stencil and the mask, to the end of its paint (the work file rewritten).
void TransferPattern(benchmark::State& state) {
  Session session;
  int k = 0;
  for (auto _ : state) {
    state.PauseTiming();
    // A changed picture each time, so the work file is really written.
    session.Click(StartX, StartY);
    for (const auto& [x, y] : {std::pair{300 + k % 50, 100}, {800, 150}, {500, 650}}) session.Click(x, y);
    session.Click(CloseX, CloseY);
    session.Click(DeleteX, DeleteY);
    ++k;
    state.ResumeTiming();
    session.Click(50, 473);
  }
}
BENCHMARK(TransferPattern)->Unit(benchmark::kMillisecond)->UseRealTime();

// An APPEAR paint in "3)real appear" (edge width 0, the page's own), the
// two work files cached.
void AppearPaintRealAppear(benchmark::State& state) {
  Session session;
  session.Click(AppearTabX, TabY);
  session.Click(50, 310);
  for (auto _ : state) {
    session.window.Invalidate();
    session.window.RunPendingPaints();
  }
}
BENCHMARK(AppearPaintRealAppear)->Unit(benchmark::kMillisecond)->UseRealTime();

// One mouse move of a "mouse move" drag: tracked, no repaint.
void AppearDragStep(benchmark::State& state) {
  Session session;
  session.Click(AppearTabX, TabY);
  session.Click(50, 336);
  session.window.Deliver({MessageKind::LeftDown, 500, 300, 0, true});
  int k = 0;
  for (auto _ : state) {
    session.window.Deliver({MessageKind::MouseMove, 500 + k % 100, 300 + k % 50, 0, true});
    ++k;
  }
  session.window.Deliver({MessageKind::LeftUp, 520, 310, 0, false});
  session.window.RunPendingPaints();
}
BENCHMARK(AppearDragStep)->Unit(benchmark::kMicrosecond);

// ---------------------------------------------------------------------------
// The pixel work alone
// ---------------------------------------------------------------------------
struct FillScene {
  std::vector<std::uint8_t> canvas = std::vector<std::uint8_t>(CanvasByteCount, 90);
  std::vector<std::uint8_t> mask = std::vector<std::uint8_t>(PlaneCapacity, 0);
  std::vector<int> extrema;
  FillScene() {
    const std::vector<PolygonPoint> points{{300, 100}, {800, 150}, {900, 600}, {600, 300}, {200, 400}, {300, 100}};
    std::vector<int> pixels;
    for (std::size_t k = 0; k + 1 < points.size(); ++k) StraightSidePixels(points[k], points[k + 1], CutByRows, pixels);
    for (const int i : pixels) mask[static_cast<std::size_t>(i)] = 1;
    extrema = ExtremumVertexPixels(points, CutByRows);
  }
};

void FillFast(benchmark::State& state) {
  FillScene scene;
  for (auto _ : state) {
    auto canvas = scene.canvas;
    FillPolygonInside(canvas.data(), scene.mask, static_cast<int>(state.range(0)), scene.extrema);
    benchmark::DoNotOptimize(canvas.data());
  }
}
BENCHMARK(FillFast)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void FillLiteral(benchmark::State& state) {
  FillScene scene;
  for (auto _ : state) {
    auto canvas = scene.canvas;
    LiteralFillPolygonInside(canvas.data(), scene.mask, static_cast<int>(state.range(0)), scene.extrema);
    benchmark::DoNotOptimize(canvas.data());
  }
}
BENCHMARK(FillLiteral)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// RealAppear over the sample scene as the transfer picture (its white is the
// pass zone) and noise as the back picture.
struct AppearScene {
  std::vector<std::uint8_t> transfer = std::vector<std::uint8_t>(CanvasByteCount);
  std::array<std::vector<std::uint32_t>, 3> back;
  AppearScene() {
    const Picture scene = MakeSampleScene(960, 672);
    std::mt19937 random(3);
    for (int row = 0; row < CanvasRows; ++row)
      for (int column = 0; column < Stride; ++column) {
        const std::uint8_t* p = scene.rgb.data() + (static_cast<std::size_t>(CanvasRows - 1 - row) * Stride + column) * 3;
        std::uint8_t* t = transfer.data() + (static_cast<std::size_t>(row) * Stride + column) * 3;
        // A quarter of the picture white, in blocks, so that borders are many.
        const bool white = (row / 24 + column / 32) % 4 == 0;
        t[0] = white ? 255 : p[2];
        t[1] = white ? 255 : p[1];
        t[2] = white ? 255 : p[0];
      }
    for (auto& plane : back) {
      plane.resize(PlaneCapacity);
      for (auto& s : plane) s = random() % 256;
    }
  }
  PlaneView View() { return PlaneView{{back[0].data(), back[1].data(), back[2].data()}, Stride, CanvasRows}; }
};

void RealAppearFast(benchmark::State& state) {
  AppearScene scene;
  for (auto _ : state) {
    RealAppear(scene.transfer.data(), scene.View(), Stride, CanvasRows, PassZone{}, static_cast<int>(state.range(0)));
  }
}
BENCHMARK(RealAppearFast)->DenseRange(0, 8, 1)->Unit(benchmark::kMillisecond);

void RealAppearLiteral(benchmark::State& state) {
  AppearScene scene;
  for (auto _ : state) {
    LiteralRealAppear(scene.transfer.data(), scene.View(), Stride, CanvasRows, PassZone{},
                      static_cast<int>(state.range(0)));
  }
}
BENCHMARK(RealAppearLiteral)->Arg(0)->Arg(1)->Arg(4)->Arg(8)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
