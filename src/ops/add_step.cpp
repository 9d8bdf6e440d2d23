#include "ops/add_step.h"

AddColoursRoutine AddNodColoursRoutine = AddNodColours;

AddColourStep AddColourStep::RecipeStart() {
  AddColourStep step;
  step.settings.active = BuiltInNodColours.columns[0];
  return step;
}

const FieldTable<AddColourStep>& AddColourStep::Fields() {
  using S = AddColourStep;
  static const FieldTable<S> fields = {
      {"nod_colours",
       [](const RecipeValue& v, S& s) -> MaybeProblem {
         NodColumn& active = s.settings.active;
         if (v.type != RecipeValue::Type::List || v.list.size() != active.size()) {
           return FieldProblem{v.line, "nod_colours", "seven [red, green, blue] are wanted"};
         }
         for (std::size_t k = 0; k < active.size(); ++k) {
           std::vector<int> rgb;
           if (MaybeProblem problem = ReadNumbers(v.list[k], "nod_colours", 3, 0, 255, rgb)) return problem;
           active[k] = NodColour{rgb[0], rgb[1], rgb[2]};
         }
         return std::nullopt;
       },
       [](const S& s) {
         std::vector<RecipeValue> colours;
         for (const NodColour& c : s.settings.active) colours.push_back(NumbersValue({c.red, c.green, c.blue}));
         return RecipeValue::Of(std::move(colours));
       }},
      IntegerField<S>("gray_from", [](S& s) -> int& { return s.settings.lo; }, 0, 255),
      IntegerField<S>("gray_to", [](S& s) -> int& { return s.settings.hi; }, 0, 255),
      {"weights",
       [](const RecipeValue& v, S& s) -> MaybeProblem {
         std::vector<int> weights;
         if (MaybeProblem problem = ReadNumbers(v, "weights", 2, 0, 255, weights)) return problem;
         if (weights[0] + weights[1] == 0) return FieldProblem{v.line, "weights", "the two weights must not both be 0"};
         s.settings.weights = BlendWeights{weights[0], weights[1]};
         return std::nullopt;
       },
       [](const S& s) { return NumbersValue({s.settings.weights.old, s.settings.weights.nod}); }},
  };
  return fields;
}

MaybeProblem AddColourStep::Check() const {
  if (settings.hi < settings.lo) return FieldProblem{0, "gray_to", "must not be below gray_from"};
  return std::nullopt;
}

std::vector<Stage> AddColourStep::Stages() const {
  return {PixelStage([settings = settings](const PlaneView& rows, int width, int count, const WholeValues&) {
    AddNodColoursRoutine(rows, width, count, settings);
  })};
}
