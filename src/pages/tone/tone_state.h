// The tone state the TOP and VANTOR EYE pages share: the horn key, the
// settings of the Vantor Eye pass, the channel levels behind its pivot, and
// the request to run it. Both pages change these; this module owns them.
#pragma once

#include <array>

#include "ops/eye_step.h"
#include "ops/vantor_eye.h"

struct ToneState {
  int hornKey = 0;                              // 0 none, 1..12 the keys A..L
  EyeParameters eye;                            // the settings of the pass
  std::array<ChannelLevel, 3> channelLevels{};  // blue, green, red levels of WorkPlanes
  bool runPending = false;                           // 1: the page shown runs the pass at its next paint
};

extern ToneState Tone;

// Everything above back to its start values.
void ResetToneState();

// The program's pass over InnerPlanes -> WorkPlanes (Stride x CanvasRows)
// with the given settings (Tone.eye when none are given): rows yFrom <= y <
// yTo, on both cores. The tone pages call it band by band (64 rows) and
// show progress between.
void VantorEyeRows(int yFrom, int yTo, int n);
void VantorEyeRows(int yFrom, int yTo, int n, const EyeParameters& settings);

// The step the pages' pass is: the horn key and the settings in force.
EyeStep CurrentEyeStep();

// One level line, as the program calls it: row y (counted from the bottom)
// of InnerPlanes into WorkPlanes over `width` columns, then the frame.
void VantorEyeRow(int width, int n, int y);

// Fills Tone.channelLevels and the pivot Tone.eye.reference (the 50 %
// levels) from WorkPlanes over Stride x CanvasRows, or from levels found.
void ComputeChannelLevels();
void TakeChannelLevels(const std::array<ChannelLevel, 3>& levels);
