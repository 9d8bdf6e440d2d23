#include "ops/eye_step.h"

#include <algorithm>

const FieldTable<EyeStep>& EyeStep::Fields() {
  using S = EyeStep;
  static const FieldTable<S> fields = {
      {"horn_key",
       [](const RecipeValue& v, S& s) -> MaybeProblem {
         const auto at = v.type == RecipeValue::Type::Text && v.text.size() == 1
                             ? std::find(HornKeyLetters.begin(), HornKeyLetters.end(), v.text[0])
                             : HornKeyLetters.end();
         if (at == HornKeyLetters.end()) return FieldProblem{v.line, "horn_key", "one of the keys \"A\" .. \"L\" is wanted"};
         s.hornKey = static_cast<int>(at - HornKeyLetters.begin()) + 1;
         return std::nullopt;
       },
       [](const S& s) {
         return RecipeValue::Of(std::string(1, HornKeyLetters[static_cast<std::size_t>(std::clamp(s.hornKey, 1, 12) - 1)]));
       },
       "missing (an eye step needs its key, \"A\" .. \"L\")"},
      IntegerField<S>("mode", [](S& s) -> int& { return s.settings.mode; }, 1, 6),
      IntegerField<S>("sun_glass", [](S& s) -> int& { return s.settings.sunGlassLevel; }, 1, 3),
      {"pivot",
       [](const RecipeValue& v, S& s) -> MaybeProblem {
         if (v.type == RecipeValue::Type::Text && v.text == "levels") {
           s.levelsPivot = true;
           return std::nullopt;
         }
         if (v.type == RecipeValue::Type::Text) return FieldProblem{v.line, "pivot", "\"levels\" or [red, green, blue] is wanted"};
         std::vector<int> rgb;
         if (MaybeProblem problem = ReadNumbers(v, "pivot", 3, 0, 255, rgb)) return problem;
         s.settings.reference = {rgb[2], rgb[1], rgb[0]};
         s.levelsPivot = false;
         return std::nullopt;
       },
       [](const S& s) {
         if (s.levelsPivot) return RecipeValue::Of(std::string("levels"));
         const auto& r = s.settings.reference;
         return NumbersValue({r[2], r[1], r[0]});
       }},
      FlagField<S>("appoint_on", [](S& s) -> bool& { return s.settings.appointOn; }),
      IntegerField<S>("appoint_kind", [](S& s) -> int& { return s.settings.appointKind; }, 1, 5),
      IntegerField<S>("appoint_source", [](S& s) -> int& { return s.settings.appointSource; }, 0, 2),
      IntegerField<S>("appoint_gray", [](S& s) -> int& { return s.settings.appointGray; }, 0, 255),
      IntegerField<S>("appoint_half_width", [](S& s) -> int& { return s.settings.appointHalfWidth; }, 0, 255),
      IntegerField<S>("appoint_min", [](S& s) -> int& { return s.settings.appointMin; }, 0, 255),
      IntegerField<S>("appoint_max", [](S& s) -> int& { return s.settings.appointMax; }, 0, 255),
      {"appoint_box",
       [](const RecipeValue& v, S& s) -> MaybeProblem {
         // red low, high, green low, high, blue low, high
         if (v.type != RecipeValue::Type::List || v.list.size() != 3) {
           return FieldProblem{v.line, "appoint_box", "[[low, high] of red, green, blue] is wanted"};
         }
         for (std::size_t c = 0; c < 3; ++c) {
           std::vector<int> pair;
           if (MaybeProblem problem = ReadNumbers(v.list[c], "appoint_box", 2, 0, 255, pair)) return problem;
           s.settings.appointBox[2 - c] = AppointRange{pair[0], pair[1]};
         }
         return std::nullopt;
       },
       [](const S& s) {
         std::vector<RecipeValue> box;
         for (int c = 2; c >= 0; --c) {
           const AppointRange& range = s.settings.appointBox[static_cast<std::size_t>(c)];
           box.push_back(NumbersValue({range.low, range.high}));
         }
         return RecipeValue::Of(std::move(box));
       }},
  };
  return fields;
}

std::vector<Stage> EyeStep::Stages() const {
  const int n = WindowOfHornKey(hornKey);
  if (n <= 0) return {};
  Stage stage;
  stage.reads = Stage::Reads::Window;
  stage.reach = n / 2;
  stage.slow = true;
  stage.need = levelsPivot ? WholeNeed::Levels : WholeNeed::None;
  stage.window = [step = *this, n](const PlaneView& window, int windowFirst, int, const PlaneView& band, int first,
                                   int count, const StageFrame& frame, const WholeValues& values) {
    EyeParameters parameters = step.settings;
    if (step.levelsPivot) {
      for (std::size_t k = 0; k < 3; ++k) parameters.reference[k] = values.levels[k].middle;
    }
    if (frame.edges == Edges::Extend) {
      VantorEyeBandExtended(window, windowFirst, band, frame.width, frame.height, n, parameters, first, first + count,
                            frame.threads);
      return;
    }
    // As on the canvas, only the picture's rows are worked (the rows under a
    // picture shorter than the canvas stay as they come), and outside the
    // area eye the pixels stay as they come.
    const int from = std::max(first, frame.picture.bottom), to = std::min(first + count, frame.picture.top);
    if (parameters.areaEyeOn || from > first || to < first + count) {
      for (int k = 0; k < 3; ++k) {
        for (int row = 0; row < count; ++row) {
          std::copy_n(&window.at(k, first + row - windowFirst, 0), frame.width, &band.at(k, row, 0));
        }
      }
    }
    if (from < to) {
      PlaneView rows = band;
      for (auto& plane : rows.plane) plane += static_cast<std::size_t>(from - first) * band.stride;
      VantorEyeBandOn(window, windowFirst, rows, frame.width, frame.height, n, parameters, from, to, frame.threads);
    }
    // The white frame lies over every row of the canvas, as the pass draws it.
    if (!parameters.areaEyeOn && (from > first || to < first + count)) {
      WriteEyeFrameOnRows(band, frame.width, frame.height, n, first, first + count);
    }
  };
  return {stage};
}
