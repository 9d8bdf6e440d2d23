#include "ops/swap_step.h"

const FieldTable<SwapStep>& SwapStep::Fields() {
  using S = SwapStep;
  static const FieldTable<S> fields = {
      IntegerField<S>("mode", [](S& s) -> int& { return s.settings.mode; }, 0, SwapModeCount - 1,
                      "missing (a swap step needs its mode, 0 .. 21)"),
  };
  return fields;
}

std::vector<Stage> SwapStep::Stages() const {
  return {CanvasPainterStage([settings = settings](const PlaneView& planes, std::uint8_t* canvas, int stride, int width,
                                                   int height) { SwapIntoCanvas(planes, canvas, stride, width, height, settings); })};
}
