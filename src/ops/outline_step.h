// An outline detector of the Outline page as a step: one Window stage that
// reads up to three rows and columns each side of a pixel (the detector's
// border). As on the canvas, the rows and columns within that border of the
// picture's edge are never outlined; with the edges extended they are, the
// samples beyond the picture taken from its edge.
//
//   setting   member                 takes
//   width     settings.outlineWidth  "fine" (the start value), "middle", "fat", "none"
//   judge     settings.judgeValue    1..99
//   judge_by  settings.judgeMode     "luma" (the start value), "every_channel"
//   colour    settings.colour        [red, green, blue], 0..255 (black)
#pragma once

#include <vector>

#include "ops/fields.h"
#include "ops/outline_detect.h"
#include "ops/stage.h"

struct OutlineStep {
  static constexpr const char* Kind = "outline";
  OutlineSettings settings;  // the detector, judge value and mode, the colour

  static OutlineStep RecipeStart();  // the fine detector, as the page starts
  static const FieldTable<OutlineStep>& Fields();
  std::vector<Stage> Stages() const;
};

// The detector over width x height of the planes, as on the canvas (no
// outline within its border of the edges): the outline pixels take its
// colour, the others their low bytes. The `rows` rows from `firstRow` on,
// and in them the `columns` columns from `firstColumn` on, go into `to`
// (its row 0 and column 0 are row firstRow and column firstColumn).
void OutlineRowsInto(const OutlineSettings& settings, const PlaneView& planes, int width, int height, int firstRow,
                     int rows, int firstColumn, int columns, const PlaneView& to);
