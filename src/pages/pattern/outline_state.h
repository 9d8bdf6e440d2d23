// Outline, judge and brush state shared by the Outline, Pattern and Transfer
// pages (and set by the VANTOR EYE and UNI C. pages): one home for all of it.
#pragma once

#include <array>
#include <cstdint>

#include "image/planes.h"
#include "ops/outline_detect.h"

// The six outline colours the "／" key word cycles through.
inline constexpr std::array<OutlineRgb, 6> OutlineColourTable = {{
    {0, 0, 0}, {255, 255, 255}, {0, 255, 255}, {128, 128, 128}, {0, 0, 255}, {255, 0, 0}}};

// The point of the local contrast: column and plane row of the last left
// click on the picture while local contrast is on (Outline and Pattern
// pages). Column 0 counts as no point chosen.
struct ContrastPoint {
  int column = 0, row = 0;
  friend bool operator==(const ContrastPoint&, const ContrastPoint&) = default;
};

struct OutlineState {
  int judgeMode = JudgeByLuma;
  int judgeValue = 16;          // the outline threshold in sample units, 1..99
  int outlineColourIndex = 0;   // 0..5
  OutlineRgb outlineColour{};   // taken from the table by RefreshOutlineColour
  int brushSize = 2;            // 2, 4 or 6 by brush width
  int brushPressure = 100;      // percent 40..100
  int zoneColour = 255;         // the zone colour of the pattern pages
  ContrastPoint localContrastPoint{};
};
extern OutlineState Outline;

void RefreshOutlineColour();
// "／": the next outline colour, 0 after 5.
void CycleOutlineColour();

// The other pages' say in the judge: the VANTOR EYE page leaves the outline
// pages judging every channel, UNI C.'s reset leaves them judging luma.
void JudgeEveryChannel();
void JudgeLuma();

// One flag per plane index (row * Stride + column, plane row 0 at the bottom):
// 1 = brushed / marked / pattern part.
extern std::array<std::uint8_t, PlaneCapacity> BrushMask;
void ClearBrushMask();

// Everything above back to its start values (a new run).
void StartOutlineState();
