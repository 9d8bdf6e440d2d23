// A colour swap mode of DEVELOP at x1 as a step: one stage that paints each
// pixel by itself, through the canvas.
//
//   setting  member         takes
//   mode     settings.mode  0..21 (needed; the page offers 0, 5, 12 and 17)
#pragma once

#include <vector>

#include "ops/colour_swap.h"
#include "ops/fields.h"
#include "ops/stage.h"

struct SwapStep {
  static constexpr const char* Kind = "swap";
  SwapSettings settings;  // the mode 0..21

  static const FieldTable<SwapStep>& Fields();
  std::vector<Stage> Stages() const;
};
