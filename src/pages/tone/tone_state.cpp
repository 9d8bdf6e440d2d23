#include "pages/tone/tone_state.h"

#include <algorithm>

#include "image/planes.h"

ToneState Tone;

void ResetToneState() { Tone = ToneState{}; }

void VantorEyeRows(int yFrom, int yTo, int n) { VantorEyeRows(yFrom, yTo, n, Tone.eye); }

void VantorEyeRows(int yFrom, int yTo, int n, const EyeParameters& settings) {
  VantorEyeRowsOn(InnerView(), WorkView(), Stride, CanvasRows, n, settings, yFrom, yTo, 2);
}

EyeStep CurrentEyeStep() { return EyeStep{.hornKey = Tone.hornKey, .settings = Tone.eye, .levelsPivot = false}; }

void VantorEyeRow(int width, int n, int y) {
  VantorEyeRowsOn(InnerView(), WorkView(), std::min(width, Stride), CanvasRows, n, Tone.eye, y, y + 1, 1);
}

void TakeChannelLevels(const std::array<ChannelLevel, 3>& levels) {
  Tone.channelLevels = levels;
  for (std::size_t c = 0; c < 3; ++c) Tone.eye.reference[c] = Tone.channelLevels[c].middle;
}

void ComputeChannelLevels() { TakeChannelLevels(ChannelLevelsOf(WorkView(), Stride, CanvasRows)); }
