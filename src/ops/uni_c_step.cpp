#include "ops/uni_c_step.h"

RangeConvertRoutine UniCConvertRoutine = PaintGrayRange;

const FieldTable<GrayRangeStep>& GrayRangeStep::Fields() {
  using S = GrayRangeStep;
  static const FieldTable<S> fields = {
      IntegerField<S>("gray_from", [](S& s) -> int& { return s.settings.lo; }, 0, 255),
      IntegerField<S>("gray_to", [](S& s) -> int& { return s.settings.hi; }, 0, 255),
      ColourField<S>("colour", [](S& s) -> UniRgb& { return s.settings.colour; }),
  };
  return fields;
}

std::vector<Stage> GrayRangeStep::Stages() const {
  // The grays of the planes as they are, the colour into the canvas.
  return {CanvasPainterStage([settings = settings](const PlaneView& planes, std::uint8_t* canvas, int stride, int width,
                                                   int height) { UniCConvertRoutine(planes, canvas, stride, width, height, settings); })};
}
