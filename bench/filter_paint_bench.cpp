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
#include "pages/filter/filter_page.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/headless.h"
#include "reference/colour_power_literal.h"

namespace {

// The program started in a temporary folder on a picture of smooth colours
// with noise, then the FILTER tab clicked.
class FilterRun {
 public:
  FilterRun() : window_(ProgramHandlers(), ProgramTitleAtStart) {
    previous_ = std::filesystem::current_path();
    std::string pattern = (std::filesystem::temp_directory_path() / "vazesample-bench-XXXXXX").string();
    folder_ = ::mkdtemp(pattern.data());
    std::filesystem::current_path(folder_);
    StartProgram();
    UseDialogs(&dialogs_);
    UseWindow(&window_);

    unsigned noise = 1;
    const auto file = EncodeBmp(Stride, CanvasRows, 0, [&](int row, std::uint8_t* out) {
      for (int x = 0; x < Stride; ++x) {
        for (int k = 0; k < 3; ++k) {
          noise = noise * 1103515245u + 12345u;
          const int base = (row * (k + 1) + x * (3 - k)) / 7 % 256;
          out[3 * x + k] = static_cast<std::uint8_t>((base + static_cast<int>((noise >> 16) % 24)) % 256);
        }
      }
    });
    WriteFileAtomically("picture.bmp", file);
    dialogs_.QueueFile(std::string("picture.bmp"));
    window_.Invalidate();
    window_.RunPendingPaints();
    Click(180, 10);  // the FILTER tab
  }
  ~FilterRun() {
    UseDialogs(nullptr);
    UseWindow(nullptr);
    std::filesystem::current_path(previous_);
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  void Click(int x, int y) {
    window_.Deliver({MessageKind::LeftDown, x, y, 0, true});
    window_.Deliver({MessageKind::LeftUp, x, y, 0, false});
    window_.RunPendingPaints();
  }

 private:
  std::filesystem::path previous_;
  std::string folder_;
  ScriptedDialogs dialogs_;
  HeadlessWindow window_;
};

void RunFilterPaint(benchmark::State& state, bool powerOn, ColourPowerRoutine routine) {
  FilterRun run;
  if (powerOn) run.Click(40, 377);  // "  action"
  FilterColourPowerRoutine = routine;
  for (auto _ : state) {
    PaintHandler();
    benchmark::DoNotOptimize(Canvas[1000]);
  }
  FilterColourPowerRoutine = ApplyColourPowerByPlane;
}

void FilterPaintPowerOff(benchmark::State& state) { RunFilterPaint(state, false, ApplyColourPowerByPlane); }
void FilterPaintPowerOn(benchmark::State& state) { RunFilterPaint(state, true, ApplyColourPowerByPlane); }
void FilterPaintPowerOnLiteral(benchmark::State& state) { RunFilterPaint(state, true, LiteralColourPower); }

}  // namespace

BENCHMARK(FilterPaintPowerOff)->Unit(benchmark::kMillisecond);
BENCHMARK(FilterPaintPowerOn)->Unit(benchmark::kMillisecond);
BENCHMARK(FilterPaintPowerOnLiteral)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
