// Undo and redo, the whole picture in view and the canvas moved over it, on
// a 6000 x 4000 photograph (24 MP) beside a plain read of its file:
//
//   ReadPicture      the file read into memory, as an open does
//   Overview         the reduced picture with the steps a user made (TOP's
//                    eye pass F, FILTER's colour power, DEVELOP's swap 5),
//                    banded at the picture's size on both cores
//   OverviewOfThePictureAlone  the reduction with no steps
//   OverviewLiteral  the same the literal way: the steps over the whole
//                    picture at once, then each reduced pixel summed alone
//   CanvasMove       a wheel notch: the window's part worked by the steps
//   Undo, Redo       Ctrl+Z and Ctrl+Shift+Z after the three steps, each to
//                    its paint

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "image/bmp_files.h"
#include "image/sample_scene.h"
#include "ops/overview.h"
#include "pages/kit/step_list.h"
#include "platform/picture_loader.h"
#include "reference/overview_literal.h"
#include "support/bench_session.h"

namespace {

constexpr int PhotoWidth = 6000, PhotoHeight = 4000;

// One session for every case: writing and opening 72 MB is slow.
BenchSession& Photo() {
  static std::unique_ptr<BenchSession> session = [] {
    auto s = std::make_unique<BenchSession>(EncodePictureBmp(MakeSampleScene(PhotoWidth, PhotoHeight)));
    s->Click(24, 370);   // TOP: F
    s->Click(184, 15);   // FILTER
    s->Click(48, 377);   // colour power: action
    s->Click(296, 15);   // DEVELOP
    s->Click(50, 76);    // swap color
    s->Click(50, 252);   // 5 [B] R<->G
    return s;
  }();
  return *session;
}

void ReadPicture(benchmark::State& state) {
  BenchSession& s = Photo();
  for (auto _ : state) benchmark::DoNotOptimize(LoadPicture(s.folder + "/picture.bmp"));
}
BENCHMARK(ReadPicture)->Unit(benchmark::kMillisecond)->UseRealTime();

void Overview(benchmark::State& state) {
  Photo();
  const std::vector<PictureStep> steps = StepsSoFar();
  const Picture whole = *LoadPicture(Photo().folder + "/picture.bmp");
  state.counters["steps"] = static_cast<double>(steps.size());
  for (auto _ : state) benchmark::DoNotOptimize(OverviewOf(whole, steps, Stride, CanvasRows, 2, Edges::Extend));
}
BENCHMARK(Overview)->Unit(benchmark::kMillisecond)->UseRealTime();

// The reduction alone, for a picture with no steps yet.
void OverviewOfThePictureAlone(benchmark::State& state) {
  const Picture whole = *LoadPicture(Photo().folder + "/picture.bmp");
  for (auto _ : state) benchmark::DoNotOptimize(OverviewOf(whole, {}, Stride, CanvasRows));
}
BENCHMARK(OverviewOfThePictureAlone)->Unit(benchmark::kMillisecond)->UseRealTime();

void OverviewLiteral(benchmark::State& state) {
  Photo();
  const std::vector<PictureStep> steps = StepsSoFar();
  const Picture whole = *LoadPicture(Photo().folder + "/picture.bmp");
  for (auto _ : state) benchmark::DoNotOptimize(LiteralOverview(whole, steps, Stride, CanvasRows, Edges::Extend));
}
BENCHMARK(OverviewLiteral)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void CanvasMove(benchmark::State& state) {
  BenchSession& s = Photo();
  int notch = -1;
  for (auto _ : state) {
    s.Wheel(notch);
    notch = -notch;
  }
}
BENCHMARK(CanvasMove)->Unit(benchmark::kMillisecond)->UseRealTime();

// Each a key to its paint; the other key, which puts the state back, is
// left out of the time.
void UndoOrRedo(benchmark::State& state, bool undo) {
  BenchSession& s = Photo();
  for (auto _ : state) {
    if (!undo) {
      state.PauseTiming();
      s.Key('Z', true);
      state.ResumeTiming();
    }
    s.Key('Z', true, !undo);
    if (undo) {
      state.PauseTiming();
      s.Key('Z', true, true);
      state.ResumeTiming();
    }
  }
}
void Undo(benchmark::State& state) { UndoOrRedo(state, true); }
void Redo(benchmark::State& state) { UndoOrRedo(state, false); }
BENCHMARK(Undo)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Redo)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
