// The steps over planes and over whole pictures, in memory: each step runs
// its stages (ops/stage.h) over every row at once. A picture that fits on
// the canvas (960 x 672 or smaller) is worked on the canvas exactly as the
// pages work it, placed at the top left with white around it, and the
// result is its top-left part: byte for byte what "Save" writes after the
// same operations on the pages. A larger picture is worked at its own size,
// and where an operation depends on the whole picture (the levels behind the
// balances or an automatic pivot) it takes the whole picture's values.
#pragma once

#include <vector>

#include "image/planes.h"
#include "ops/step_kinds.h"
#include "platform/picture_loader.h"

// One step over width x height of the planes (the view may be larger), in
// place. `picture` is the part of the planes that holds the picture: all of
// them at its own size, the shown part on the canvas (the Vantor Eye pass
// computes only its rows, the local contrast looks only inside it). threads
// for the passes that split their rows; `edges` for the neighbourhood steps
// (extended only at the picture's own size, where `picture` is all). The
// values of the last stage that took the channel levels, or nothing.
std::optional<WholeValues> ApplyStep(const PictureStep& step, const PlaneView& planes, int width, int height,
                                     const CanvasArea& picture, int threads = 2, Edges edges = Edges::AsCanvas);

// The steps over a whole picture: worked on the canvas as the pages work it
// when it fits there and the edges are as on the canvas (and cut back to its
// own size), at its own size otherwise. The result is top-down RGB like the
// picture.
Picture ApplySteps(const std::vector<PictureStep>& steps, const Picture& picture, int threads = 2,
                   Edges edges = Edges::AsCanvas);
// The same always at the picture's own size, whole in memory: the plain form
// the banded one (streamed_steps.h) is checked against.
Picture ApplyStepsAtOwnSize(const std::vector<PictureStep>& steps, const Picture& picture, int threads = 2,
                            Edges edges = Edges::Extend);

// A step as seen from a canvas whose top-left corner lies at picture column
// `left`, row `top` (from the top), and back: the steps that stand at a point
// of the picture (the local contrast) are kept in the picture's coordinates,
// so that they stay where they were made when the canvas moves; on the
// canvas they stand at the point less the corner.
PictureStep StepOnCanvasAt(const PictureStep& step, int left, int top);
PictureStep StepInPictureFrom(const PictureStep& step, int left, int top);
std::vector<PictureStep> StepsOnCanvasAt(const std::vector<PictureStep>& steps, int left, int top);
