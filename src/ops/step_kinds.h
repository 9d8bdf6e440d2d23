// The step kinds: the operations a picture can be given as values, one row
// each. Every road to the pixels, the recipe reader and writer and the
// banded runner visit this list, so a kind is added by its own file (its
// settings, their field table, its stages) and one row here; a kind that
// lacks any of these does not build.
#pragma once

#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "ops/add_step.h"
#include "ops/contour_step.h"
#include "ops/eye_step.h"
#include "ops/filter_step.h"
#include "ops/local_contrast_step.h"
#include "ops/outline_step.h"
#include "ops/swap_step.h"
#include "ops/uni_c_step.h"

using PictureStep = std::variant<EyeStep,            // the Vantor Eye pass of TOP and VANTOR EYE
                                 FilterStep,         // FILTER's light core, colour power and balances
                                 ContourStep,        // CONTOUR's levels drawn in their colours
                                 GrayRangeStep,      // UNI C.'s conversion of a grey range to one colour
                                 AddColourStep,      // ADD's nod colours spread and blended in
                                 SwapStep,           // a colour swap mode of DEVELOP at x1
                                 OutlineStep,        // an outline detector of the Outline page
                                 LocalContrastStep>; // the Outline page's local contrast at a point

// f(std::type_identity<Kind>{}) for every kind, in the order of the list.
template <typename F>
void ForEachStepKind(F&& f) {
  [&]<std::size_t... I>(std::index_sequence<I...>) {
    (f(std::type_identity<std::variant_alternative_t<I, PictureStep>>{}), ...);
  }(std::make_index_sequence<std::variant_size_v<PictureStep>>{});
}

// The recipe word of the step's kind ("eye", "uni_c", ...).
inline const char* KindOf(const PictureStep& step) {
  return std::visit([](const auto& s) { return std::decay_t<decltype(s)>::Kind; }, step);
}

// The stages the step's pixel work runs as.
inline std::vector<Stage> StagesOf(const PictureStep& step) {
  return std::visit([](const auto& s) { return s.Stages(); }, step);
}
