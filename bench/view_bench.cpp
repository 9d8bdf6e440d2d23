// The view pages: the x4 development (zoom, both regrids, margins, lift)
// fast and literal, the click on "act" to the shown result, the colour swap
// and the GAMON tables fast and literal, and whole paints of MAP, DEVELOP
// with a swap mode on, and GAMON at x1 and x4, through the headless backend.

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <array>
#include <filesystem>
#include <memory>
#include <vector>

#include "app/program.h"
#include "pages/kit/page_state.h"
#include "image/bmp_files.h"
#include "image/planes.h"
#include "image/sample_scene.h"
#include "pages/gamon/gamon_graphs.h"
#include "ops/colour_swap.h"
#include "pages/view/develop_zoom.h"
#include "pages/view/view_area.h"
#include "pages/view/view_pages.h"
#include "platform/dialogs.h"
#include "platform/headless.h"
#include "platform/surface.h"
#include "platform/window.h"
#include "reference/develop_literal.h"
#include "support/bench_session.h"

namespace {

// The sample scene as 960 x 672 planes, row 0 at the bottom.
struct ScenePlanes {
  std::array<std::vector<std::uint32_t>, 3> plane;
  ScenePlanes() {
    const Picture scene = MakeSampleScene(Stride, CanvasRows);
    for (auto& p : plane) p.resize(static_cast<std::size_t>(Stride) * CanvasRows);
    for (int y = 0; y < CanvasRows; ++y)
      for (int x = 0; x < Stride; ++x)
        for (std::size_t k = 0; k < 3; ++k)
          plane[k][static_cast<std::size_t>(CanvasRows - 1 - y) * Stride + static_cast<std::size_t>(x)] =
              scene.rgb[(static_cast<std::size_t>(y) * Stride + static_cast<std::size_t>(x)) * 3 + 2 - k];
  }
  PlaneView View() { return PlaneView{{plane[0].data(), plane[1].data(), plane[2].data()}, Stride, CanvasRows}; }
};

constexpr ViewRect CentreArea{360, 256, 240, 160};

void DevelopX4Fast(benchmark::State& state) {
  ScenePlanes planes;
  std::vector<std::uint8_t> canvas(static_cast<std::size_t>(CanvasByteCount));
  auto work = std::make_unique<std::array<DevelopPlanes, 2>>();
  for (auto _ : state) {
    DevelopViewArea(planes.View(), CentreArea, 4, 640, canvas.data(), *work);
    benchmark::DoNotOptimize(canvas.data());
  }
}
BENCHMARK(DevelopX4Fast)->Unit(benchmark::kMillisecond)->UseRealTime();

void DevelopX4Literal(benchmark::State& state) {
  ScenePlanes planes;
  std::vector<std::uint8_t> canvas(static_cast<std::size_t>(CanvasByteCount));
  for (auto _ : state) {
    LiteralDevelop(planes.View(), CentreArea, 4, 640, canvas.data());
    benchmark::DoNotOptimize(canvas.data());
  }
}
BENCHMARK(DevelopX4Literal)->Unit(benchmark::kMillisecond)->UseRealTime();

void SwapEelFast(benchmark::State& state) {
  ScenePlanes planes;
  std::vector<std::uint8_t> canvas(static_cast<std::size_t>(CanvasByteCount));
  for (auto _ : state) {
    SwapIntoCanvas(planes.View(), canvas.data(), Stride, Stride, CanvasRows, SwapSettings{17});
    benchmark::DoNotOptimize(canvas.data());
  }
}
BENCHMARK(SwapEelFast)->Unit(benchmark::kMillisecond)->UseRealTime();

void SwapEelLiteral(benchmark::State& state) {
  ScenePlanes planes;
  std::vector<std::uint8_t> canvas(static_cast<std::size_t>(CanvasByteCount));
  for (auto _ : state) {
    LiteralSwap(planes.View(), canvas.data(), Stride, Stride, CanvasRows, SwapSettings{17});
    benchmark::DoNotOptimize(canvas.data());
  }
}
BENCHMARK(SwapEelLiteral)->Unit(benchmark::kMillisecond)->UseRealTime();

void GamonCountWholeFast(benchmark::State& state) {
  ScenePlanes planes;
  auto tables = std::make_unique<GamonTables>();
  for (auto _ : state) {
    CountGamonTables(planes.View(), {0, 0, Stride, CanvasRows}, *tables);
    benchmark::DoNotOptimize(tables.get());
  }
}
BENCHMARK(GamonCountWholeFast)->Unit(benchmark::kMillisecond)->UseRealTime();

void GamonCountWholeLiteral(benchmark::State& state) {
  ScenePlanes planes;
  auto tables = std::make_unique<LiteralGamonTables>();
  for (auto _ : state) {
    LiteralGamonCount(planes.View(), {0, 0, Stride, CanvasRows}, *tables);
    benchmark::DoNotOptimize(tables.get());
  }
}
BENCHMARK(GamonCountWholeLiteral)->Unit(benchmark::kMillisecond)->UseRealTime();

// ---- Whole paints ---------------------------------------------------------

using Session = BenchSession;

constexpr int MapTabX = 240, GamonTabX = 856, TabY = 15;

// From the click on "act" (x4) to the end of the paint that shows the result;
// the way back to MAP (which reads KEEP2) is not timed.
void ActToShownX4(benchmark::State& state) {
  Session session;
  session.Click(MapTabX, TabY);
  session.Click(70, 154);  // x4
  for (auto _ : state) {
    session.Click(40, 336);  // act: KEEP2, then the development in the paint
    state.PauseTiming();
    session.Click(MapTabX, TabY);
    state.ResumeTiming();
  }
}
BENCHMARK(ActToShownX4)->Unit(benchmark::kMillisecond)->UseRealTime();

void PaintMapX4(benchmark::State& state) {
  Session session;
  session.Click(MapTabX, TabY);
  session.Click(70, 154);
  session.Click(40, 508);  // the frame-colour list shown as well
  for (auto _ : state) session.Repaint();
}
BENCHMARK(PaintMapX4)->Unit(benchmark::kMillisecond)->UseRealTime();

void PaintDevelopSwapEel(benchmark::State& state) {
  Session session;
  session.Click(MapTabX, TabY);
  session.Click(70, 154);
  session.Click(40, 336);  // act
  session.Click(40, 76);   // swap color
  session.Click(40, 604);  // 17 eel
  for (auto _ : state) session.Repaint();
}
BENCHMARK(PaintDevelopSwapEel)->Unit(benchmark::kMillisecond)->UseRealTime();

void PaintGamon(benchmark::State& state) {
  Session session;
  session.Click(GamonTabX, TabY);
  if (state.range(0) == 4) {
    session.Click(70, 148);
    session.Click(300, 200);
  }
  for (auto _ : state) session.Repaint();
}
BENCHMARK(PaintGamon)->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
