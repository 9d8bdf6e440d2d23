// The Outline and Pattern pages' pixel work and whole paints.
//
// Detect*: one detector over the 960 x 672 sample scene, fast form
// (pages/pattern/outline_detect.cpp) and literal form (bench/reference).
// LocalContrast*: one 49 x 49 local contrast, fast and literal.
// BrushStep: one circle marker during a drag (disc into BrushMask, inverted
// circle, frame presented). *Paint*: the paint handler as the message loop
// runs it, through the headless backend, on the page with the tool on.

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "pages/kit/gestures.h"
#include "app/paint.h"
#include "app/program.h"
#include "image/bmp_files.h"
#include "image/planes.h"
#include "image/sample_scene.h"
#include "pages/pattern/brush.h"
#include "ops/local_contrast.h"
#include "ops/outline_detect.h"
#include "pages/pattern/outline_page.h"
#include "pages/pattern/outline_state.h"
#include "pages/pattern/zones.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/headless.h"
#include "platform/surface.h"
#include "reference/outline_literal.h"
#include "support/bench_session.h"

namespace {

// The sample scene as three planes and a canvas.
struct ScenePlanes {
  std::array<std::vector<std::uint32_t>, 3> planes;
  std::vector<std::uint8_t> canvas;
  ScenePlanes() {
    const Picture picture = MakeSampleScene(Stride, CanvasRows);
    for (auto& p : planes) p.resize(static_cast<std::size_t>(Stride) * CanvasRows);
    canvas.resize(static_cast<std::size_t>(CanvasByteCount));
    for (int y = 0; y < CanvasRows; ++y)
      for (int x = 0; x < Stride; ++x) {
        const std::size_t i = static_cast<std::size_t>(CanvasRows - 1 - y) * Stride + static_cast<std::size_t>(x);
        const std::uint8_t* px = picture.rgb.data() + 3 * (static_cast<std::size_t>(y) * Stride + x);
        planes[0][i] = px[2];
        planes[1][i] = px[1];
        planes[2][i] = px[0];
        canvas[3 * i] = px[2];
        canvas[3 * i + 1] = px[1];
        canvas[3 * i + 2] = px[0];
      }
  }
  PlaneView View() { return PlaneView{{planes[0].data(), planes[1].data(), planes[2].data()}, Stride, CanvasRows}; }
};

void DetectFast(benchmark::State& state) {
  ScenePlanes scene;
  const int width = static_cast<int>(state.range(0));
  const OutlineSettings settings{width, 16, JudgeByLuma, OutlineRgb{}};
  for (auto _ : state) {
    PaintOutlinePixels(scene.View(), scene.canvas.data(), Stride, Stride, CanvasRows, settings);
    benchmark::DoNotOptimize(scene.canvas[1000]);
  }
}

// Every-channel judge (no grays).
void DetectFastEveryChannel(benchmark::State& state) {
  ScenePlanes scene;
  const int width = static_cast<int>(state.range(0));
  const OutlineSettings settings{width, 16, JudgeByEveryChannel, OutlineRgb{}};
  for (auto _ : state) {
    PaintOutlinePixels(scene.View(), scene.canvas.data(), Stride, Stride, CanvasRows, settings);
    benchmark::DoNotOptimize(scene.canvas[1000]);
  }
}

void DetectLiteral(benchmark::State& state) {
  ScenePlanes scene;
  const int width = static_cast<int>(state.range(0));
  const OutlineSettings settings{width, 16, JudgeByLuma, OutlineRgb{}};
  for (auto _ : state) {
    LiteralOutline(scene.View(), scene.canvas.data(), Stride, Stride, CanvasRows, settings);
    benchmark::DoNotOptimize(scene.canvas[1000]);
  }
}

void LocalContrastFast(benchmark::State& state) {
  ScenePlanes scene;
  const LocalContrastSettings settings{{480, 336}, WholeCanvas, false};
  for (auto _ : state) {
    ApplyLocalContrast(scene.View(), scene.canvas.data(), Stride, Stride, CanvasRows, settings);
    benchmark::DoNotOptimize(scene.canvas[1000]);
  }
}

void LocalContrastLiteral(benchmark::State& state) {
  ScenePlanes scene;
  const LocalContrastSettings settings{{480, 336}, WholeCanvas, false};
  for (auto _ : state) {
    LiteralLocalContrast(scene.View(), scene.canvas.data(), Stride, Stride, CanvasRows, settings);
    benchmark::DoNotOptimize(scene.canvas[1000]);
  }
}

// The zone over the whole canvas (luma range 100..160) and the stencil.
void ZoneAndStencil(benchmark::State& state) {
  ScenePlanes scene;
  std::vector<std::uint8_t> mask(static_cast<std::size_t>(Stride) * CanvasRows);
  ZoneRange range;
  range.lumaMin = 100;
  range.lumaMax = 160;
  const ZoneSettings zone{range, ZoneAreaOf(AreaRect{}), 1, 2, 255};
  const std::vector<std::uint8_t> original = scene.canvas;
  for (auto _ : state) {
    std::copy(original.begin(), original.end(), scene.canvas.begin());
    DrawZone(scene.canvas.data(), Stride, Stride, CanvasRows, zone);
    benchmark::DoNotOptimize(MakePattern(scene.canvas.data(), Stride, mask, Stride, CanvasRows, StencilSettings{255}));
  }
}

using ProgramRun = BenchSession;  // the sample scene opened

void RepaintLoop(benchmark::State& state) {
  for (auto _ : state) {
    PaintHandler();
    benchmark::DoNotOptimize(Canvas[1000]);
  }
}

void OutlinePaintFine(benchmark::State& state) {
  ProgramRun run;
  run.Click(630, 10);  // the Outline tab
  run.Click(20, 193);  // "fine"
  RepaintLoop(state);
}

void OutlinePaintOff(benchmark::State& state) {
  ProgramRun run;
  run.Click(630, 10);
  RepaintLoop(state);
}

// The Pattern page with the outline diamond clicked `clicks` times
// (1 local contrast, 2 fine, 3 middle, 4 fat).
void PatternPaintOutline(benchmark::State& state) {
  ProgramRun run;
  run.Click(690, 10);  // the Pattern tab
  for (int i = 0; i < state.range(0); ++i) run.Click(20, 752);
  RepaintLoop(state);
}

// Zone picked, drawn and turned into a stencil, with the fine outline.
void PatternPaintStencilAndFine(benchmark::State& state) {
  ProgramRun run;
  run.Click(690, 10);
  run.Click(40, 162);  // "3)Zone"
  run.Click(400, 500);
  run.Click(40, 442);  // "5)draw zone"
  run.Click(40, 468);  // "6)Pattern"
  run.Click(20, 752);
  run.Click(20, 752);  // fine
  RepaintLoop(state);
}

// One brush step during a drag: DrawCircleMarker with Outline.brushSize 6.
void BrushStep(benchmark::State& state) {
  ProgramRun run;
  run.Click(630, 10);
  run.Click(40, 310);  // "4)Brush"
  run.Click(20, 362);  // "fat"
  int x = 300;
  for (auto _ : state) {
    DrawCircleMarker(x, 400, 6);
    x = x < 900 ? x + 1 : 300;
  }
}

// The same step without presenting the frame: the disc into BrushMask and
// the inverted circle drawn into the frame.
void BrushStepWithoutPresent(benchmark::State& state) {
  ProgramRun run;
  run.Click(630, 10);
  run.Click(40, 310);
  run.Click(20, 362);
  int x = 300;
  for (auto _ : state) {
    MarkBrushDisc(BrushMask.data(), Stride, CanvasRows, WholeCanvas, PixelUnderPoint(x, 400), 6, Outline.brushPressure);
    Screen().Ellipse(Pen{Black}, std::nullopt, x - 6, 394, x + 6, 406, RasterOp::Invert);
    x = x < 900 ? x + 1 : 300;
  }
}

// The paint after a release, with strokes in the mask.
void BrushPaintAfterRelease(benchmark::State& state) {
  ProgramRun run;
  run.Click(630, 10);
  run.Click(40, 310);
  run.Click(20, 362);
  run.Drag(200, 200, 800, 600);
  run.Drag(300, 600, 900, 100);
  RepaintLoop(state);
}

}  // namespace

BENCHMARK(DetectFast)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);
BENCHMARK(DetectFastEveryChannel)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond);
BENCHMARK(DetectLiteral)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);
BENCHMARK(LocalContrastFast)->Unit(benchmark::kMicrosecond);
BENCHMARK(LocalContrastLiteral)->Unit(benchmark::kMicrosecond);
BENCHMARK(ZoneAndStencil)->Unit(benchmark::kMillisecond);
BENCHMARK(OutlinePaintOff)->Unit(benchmark::kMillisecond);
BENCHMARK(OutlinePaintFine)->Unit(benchmark::kMillisecond);
BENCHMARK(PatternPaintOutline)->Arg(1)->Arg(2)->Arg(3)->Arg(4)->Unit(benchmark::kMillisecond);
BENCHMARK(PatternPaintStencilAndFine)->Unit(benchmark::kMillisecond);
BENCHMARK(BrushStep)->Unit(benchmark::kMicrosecond);
BENCHMARK(BrushStepWithoutPresent)->Unit(benchmark::kMicrosecond);
BENCHMARK(BrushPaintAfterRelease)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
