#include "pages/pattern/outline_state.h"

OutlineState Outline;
std::array<std::uint8_t, PlaneCapacity> BrushMask{};

void RefreshOutlineColour() {
  const int index = Outline.outlineColourIndex >= 0 && Outline.outlineColourIndex < 6 ? Outline.outlineColourIndex : 0;
  Outline.outlineColour = OutlineColourTable[static_cast<unsigned>(index)];
}

void CycleOutlineColour() {
  Outline.outlineColourIndex = Outline.outlineColourIndex >= 5 ? 0 : Outline.outlineColourIndex + 1;
  RefreshOutlineColour();
}

void JudgeEveryChannel() { Outline.judgeMode = JudgeByEveryChannel; }
void JudgeLuma() { Outline.judgeMode = JudgeByLuma; }

void ClearBrushMask() { BrushMask.fill(0); }

void StartOutlineState() {
  Outline = {};
  RefreshOutlineColour();
  ClearBrushMask();
}
