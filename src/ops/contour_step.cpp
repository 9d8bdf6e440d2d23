#include "ops/contour_step.h"

ContourRoutine ContourDrawRoutine = ApplyContour;

ContourStep ContourStep::RecipeStart() {
  ContourStep step;
  step.settings.operation = ContourAllLevels;
  return step;
}

const FieldTable<ContourStep>& ContourStep::Fields() {
  using S = ContourStep;
  static const FieldTable<S> fields = {
      WordField<S>("operation", {"none", "all", "one"}, {ContourNone, ContourAllLevels, ContourOneLevel},
                   [](const S& s) { return s.settings.operation; }, [](S& s, int v) { s.settings.operation = v; }),
      IntegerField<S>("min", [](S& s) -> int& { return s.settings.ladder.min; }, 0, 255),
      IntegerField<S>("max", [](S& s) -> int& { return s.settings.ladder.max; }, 0, 255),
      IntegerField<S>("step", [](S& s) -> int& { return s.settings.ladder.step; }, 1, 255),
      IntegerField<S>("scan", [](S& s) -> int& { return s.settings.scanIndex; }, 0, 256),
      IntegerField<S>("colour_type", [](S& s) -> int& { return s.settings.colourType; }, 0, ContourColourTypes - 1),
  };
  return fields;
}

MaybeProblem ContourStep::Check() const {
  if (settings.ladder.max < settings.ladder.min) return FieldProblem{0, "max", "must not be below min"};
  return std::nullopt;
}

std::vector<Stage> ContourStep::Stages() const {
  if (settings.operation == ContourNone) return {};
  return {CanvasPainterStage([settings = settings](const PlaneView&, std::uint8_t* canvas, int stride, int width, int height) {
    ContourDrawRoutine(canvas, stride, width, height, settings);
  })};
}
