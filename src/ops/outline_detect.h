// The three outline detectors (fine, middle, fat) and the judge value's
// arrows. Pure pixel work: the detectors read three planes and paint the
// outline pixels into a bottom-up 24-bit canvas; nothing here draws on the
// screen.
//
// For every pixel inside the border a detector forms four pairs of opposite
// half regions of its neighbourhood (two diagonals, the row above against
// the row below, the column left against the column right), takes for each
// region and channel the integer mean (sum / divisor, truncated), and paints
// the pixel when any pair passes the judge:
//   mode 1 (every channel): all three absolute mean differences > judge value;
//   mode 2 (luma): |gray(A) - gray(B)| > judge value, gray by image/gray.h.
//
// Routines:
//   PaintOutlinePixels  one detector over the planes into a canvas, from OutlineSettings
//   OutlineBorder       rows and columns never outlined at each side
//   JudgeStep / StepJudgeValue   the judge arrows: +-2 (fine), +-4, 1..99
#pragma once

#include <cstdint>

#include "image/planes.h"

struct OutlineRgb {
  int red = 0, green = 0, blue = 0;
};

// How an outline detector judges a pair of regions.
enum JudgeModeKind : int { JudgeByEveryChannel = 1, JudgeByLuma = 2 };

// Which detector: the outline width of the Outline and Pattern pages.
enum OutlineWidth : int { NoOutline = 0, FineWidth = 1, MiddleWidth = 2, FatWidth = 3 };

inline constexpr int LowestJudgeValue = 1;
inline constexpr int HighestJudgeValue = 99;

// Rows and columns at each edge that a detector never reaches: 2 for fine
// and middle, 3 for fat.
constexpr int OutlineBorder(int width) { return width == FatWidth ? 3 : 2; }

// What a detector paints: the page builds it from the outline state.
struct OutlineSettings {
  int outlineWidth = NoOutline;  // the detector, FineWidth..FatWidth; any other paints nothing
  int judgeValue = 16;
  int judgeMode = JudgeByLuma;   // a JudgeModeKind
  OutlineRgb colour{};
};

// Paints the outline pixels that the detector finds in width x height of the
// planes into the canvas (bottom-up, `canvasStride` pixels of blue, green,
// red a row; canvas row r is plane row r). Exact for samples of any value;
// fastest when every sample is 0..255.
void PaintOutlinePixels(const PlaneView& planes, std::uint8_t* canvas, int canvasStride, int width, int height,
                        const OutlineSettings& settings);

// The judge arrows: the step is 2 with the fine detector, 4 otherwise.
constexpr int JudgeStep(int width) { return width == FineWidth ? 2 : 4; }
// The judge value moved one step up (direction +1) or down (-1), kept in 1..99.
constexpr int StepJudgeValue(int value, int width, int direction) {
  const int moved = value + direction * JudgeStep(width);
  return moved < LowestJudgeValue ? LowestJudgeValue : moved > HighestJudgeValue ? HighestJudgeValue : moved;
}
