// The Outline page's local contrast fixed around a point as a step: one
// Region stage over the rows within 24 of its row. On the canvas the window
// is cut by the picture's part; on a whole picture by the picture, or with
// the edges extended not at all (the samples beyond taken from the edge).
//
//   setting  member  takes
//   x        x       0..29999, the column (needed)
//   y        y       0..29999, the row counted from the picture's top (needed)
#pragma once

#include <vector>

#include "ops/fields.h"
#include "ops/local_contrast.h"
#include "ops/stage.h"

struct LocalContrastStep {
  static constexpr const char* Kind = "local_contrast";
  int x = 0, y = 0;  // the centre: column, and row counted from the picture's top

  // The step seen from a picture whose origin lies (dx, dy) from this one's:
  // a step made at a place has this; steps that work every pixel alike do not.
  LocalContrastStep MovedBy(int dx, int dy) const { return {x + dx, y + dy}; }

  static const FieldTable<LocalContrastStep>& Fields();
  std::vector<Stage> Stages() const;
};

// The local contrast of a step over width x height of the planes, the window
// cut to `picture`, or with the edges extended beyond the planes: the planes
// take the result (as the page's fix does).
void ApplyLocalContrastStep(const LocalContrastStep& step, const PlaneView& planes, int width, int height,
                            const CanvasArea& picture, Edges edges);
