#include "pages/pattern/outline_state.h"

int JudgeMode = 2;
int JudgeValue = 16;
int OutlineColourIndex = 0;
OutlineRgb OutlineColour{};
std::array<std::uint8_t, PlaneCapacity> BrushMask{};
int BrushSize = 2;
int BrushPressure = 100;
int ZoneColour = 255;
ContrastPoint LocalContrastPoint{};

void RefreshOutlineColour() {
  const int index = OutlineColourIndex >= 0 && OutlineColourIndex < 6 ? OutlineColourIndex : 0;
  OutlineColour = OutlineColourTable[static_cast<unsigned>(index)];
}

void CycleOutlineColour() {
  OutlineColourIndex = OutlineColourIndex >= 5 ? 0 : OutlineColourIndex + 1;
  RefreshOutlineColour();
}

void ClearBrushMask() { BrushMask.fill(0); }

void StartOutlineState() {
  JudgeMode = 2;
  JudgeValue = 16;
  OutlineColourIndex = 0;
  RefreshOutlineColour();
  ClearBrushMask();
  BrushSize = 2;
  BrushPressure = 100;
  ZoneColour = 255;
  LocalContrastPoint = ContrastPoint{};
}
