// CONTOUR's levels drawn in their colours as a step: one stage that paints
// each pixel by itself, through the canvas the page draws on.
//
//   setting      member                   takes
//   operation    settings.operation       "all" (the start value), "one", "none"
//   min, max     settings.ladder.min, max 0..255, max not below min
//   step         settings.ladder.step     1..255
//   scan         settings.scanIndex       0..256
//   colour_type  settings.colourType      0..7
#pragma once

#include <vector>

#include "ops/contour_levels.h"
#include "ops/fields.h"
#include "ops/stage.h"

// The routine the contour's stage draws with: the fast form; a benchmark may
// set the literal one to time the page's paint with it.
using ContourRoutine = void (*)(std::uint8_t* canvas, int stride, int width, int height,
                                const ContourDrawSettings& settings);
extern ContourRoutine ContourDrawRoutine;

struct ContourStep {
  static constexpr const char* Kind = "contour";
  ContourDrawSettings settings;  // as the page's paint draws them

  static ContourStep RecipeStart();  // a recipe's contour draws every level unless it says otherwise
  static const FieldTable<ContourStep>& Fields();
  MaybeProblem Check() const;
  std::vector<Stage> Stages() const;
};
