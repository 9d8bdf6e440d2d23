// The operations a picture can be given as values, so that one run on the
// canvas can be run again on the whole picture, or on other pictures: each
// step is a settings struct, and ApplyStep is a pure function of the planes,
// their size and the step.
//
//   EyeStep     the Vantor Eye pass of the TOP and VANTOR EYE pages
//   FilterStep  FILTER's light core, colour power and colour balances
//   ContourStep CONTOUR's levels drawn in their colours
//   GrayRangeStep UNI C.'s conversion: the pixels of a grey range take one colour
//   AddColourStep ADD's nod colours spread over a grey range and blended in
//   SwapStep    a colour swap mode of DEVELOP at x1
//   OutlineStep an outline detector of the Outline page (a neighbourhood of
//               up to three rows and columns each side; none at the edges)
//   LocalContrastStep the Outline page's local contrast fixed around a point
//               of the picture (24 pixels each way)
//
// A picture that fits on the canvas (960 x 672 or smaller) is worked on the
// canvas exactly as the pages work it, placed at the top left with white
// around it, and the result is its top-left part: byte for byte what "Save"
// writes after the same operations on the pages. A larger picture is worked
// at its own size, and where an operation depends on the whole picture (the
// levels behind the balances or an automatic pivot) it takes the whole
// picture's values.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "image/planes.h"
#include "ops/contour_levels.h"
#include "ops/add_colours.h"
#include "ops/gray_range.h"
#include "ops/colour_power.h"
#include "ops/local_contrast.h"
#include "ops/outline_detect.h"
#include "ops/vantor_eye.h"
#include "ops/colour_swap.h"
#include "platform/picture_loader.h"

struct EyeStep {
  int hornKey = 6;            // 1..12, the keys A..L (6: F)
  EyeParameters settings;     // mode, sun glass, pivot, appoint and area values
  bool levelsPivot = false;   // true: the pivot is the picture's 50 % levels when the step runs
};

struct FilterStep {
  FilterSettings settings;    // as the page holds them after its clamps
  bool lightCore = false;     // the light core applied ("f".."t" selected)
};

struct ContourStep {
  ContourDrawSettings settings;  // as the page's paint draws them
};

struct GrayRangeStep {
  GrayRangeSettings settings;  // the grey range and its new colour
};

struct AddColourStep {
  AddColourSettings settings;  // the active column, the grey range, the weights
};

struct SwapStep {
  SwapSettings settings;  // the mode 0..21
};

struct OutlineStep {
  OutlineSettings settings;  // the detector, judge value and mode, the colour
};

struct LocalContrastStep {
  int x = 0, y = 0;  // the centre: column, and row counted from the picture's top
};

using PictureStep = std::variant<EyeStep, FilterStep, ContourStep, GrayRangeStep, AddColourStep, SwapStep,
                                 OutlineStep, LocalContrastStep>;

// Whether a step changes each pixel by itself alone (it can then be run on
// any band of rows as on the whole picture).
bool IsPointStep(const PictureStep& step);

// An outline detector over width x height of the planes, as on the canvas
// (no outline within its reach of the edges): the outline pixels take its
// colour, the others their low bytes. The `rows` rows from `firstRow` on, and
// in them the `columns` columns from `firstColumn` on, go into `to` (its row
// 0 and column 0 are row firstRow and column firstColumn).
void OutlineRowsInto(const OutlineSettings& settings, const PlaneView& planes, int width, int height, int firstRow,
                     int rows, int firstColumn, int columns, const PlaneView& to);
// The same over every row and column of the planes, in place, with the edges
// as given (extended: the picture's border outlined too).
void ApplyOutline(const OutlineSettings& settings, const PlaneView& planes, int width, int height, Edges edges);

// Three planes of one picture, row 0 the bottom row, as the program's planes.
struct StepPlanes {
  int width = 0, height = 0;
  std::array<std::vector<std::uint32_t>, 3> plane;  // blue, green, red
  PlaneView View();
};

// The channel levels as the balances take them.
FilterLevels BalanceLevelsOf(const std::array<ChannelLevel, 3>& levels);

// The colour power and balances of FILTER on planes already through the
// light core, as its paint runs them; the channel levels it computed last.
std::array<ChannelLevel, 3> ApplyPowerAndBalance(const PlaneView& planes, int width, int height,
                                                 const FilterSettings& settings,
                                                 ColourPowerRoutine power = ApplyColourPowerByPlane);

// One step over width x height of the planes (the view may be larger), in
// place. `picture` is the part of the planes that holds the picture: all of
// them at its own size, the shown part on the canvas (the Vantor Eye pass
// computes only its rows, the local contrast looks only inside it). threads
// for the passes that split their rows; `edges` for the neighbourhood steps
// (extended only at the picture's own size, where `picture` is all).
void ApplyStep(const PictureStep& step, const PlaneView& planes, int width, int height, const CanvasArea& picture,
               int threads = 2, Edges edges = Edges::AsCanvas);

// The local contrast of a step over width x height of the planes, the window
// cut to `picture`, or with the edges extended beyond the planes: the planes
// take the result (as the page's fix does).
void ApplyLocalContrastStep(const LocalContrastStep& step, const PlaneView& planes, int width, int height,
                            const CanvasArea& picture, Edges edges = Edges::AsCanvas);

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
