// ADD's addition as a step: the active column of nod colours spread over a
// grey range and blended into the picture. One stage on the planes
// themselves, each pixel by itself.
//
//   setting             member                  takes
//   nod_colours         settings.active         seven [red, green, blue], 0..255 (column A of the built-in table)
//   gray_from, gray_to  settings.lo, settings.hi 0..255, gray_to not below gray_from
//   weights             settings.weights        [old, nod], 0..255 each, not both 0
#pragma once

#include <vector>

#include "ops/add_colours.h"
#include "ops/fields.h"
#include "ops/stage.h"

// The routine the addition's stage runs: the fast form; a benchmark may set
// the literal one to time the page's paint with it.
using AddColoursRoutine = void (*)(const PlaneView& planes, int width, int height, const AddColourSettings& settings);
extern AddColoursRoutine AddNodColoursRoutine;

struct AddColourStep {
  static constexpr const char* Kind = "add";
  AddColourSettings settings;  // the active column, the grey range, the weights

  static AddColourStep RecipeStart();  // column A of the built-in table
  static const FieldTable<AddColourStep>& Fields();
  MaybeProblem Check() const;
  std::vector<Stage> Stages() const;
};
