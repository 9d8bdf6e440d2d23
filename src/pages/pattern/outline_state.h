// Outline, judge and brush state shared by the Outline, Pattern and Transfer
// pages (and set by the VANTOR EYE and UNI C. pages): one home for all of it.
#pragma once

#include <array>
#include <cstdint>

#include "image/planes.h"

// How an outline detector judges a pair of regions: 1 every channel, 2 luma.
extern int JudgeMode;           // start 2
// The outline threshold in sample units, 1..99.
extern int JudgeValue;          // start 16

struct OutlineRgb {
  int red = 0, green = 0, blue = 0;
};
// The six outline colours the "／" key word cycles through.
inline constexpr std::array<OutlineRgb, 6> OutlineColourTable = {{
    {0, 0, 0}, {255, 255, 255}, {0, 255, 255}, {128, 128, 128}, {0, 0, 255}, {255, 0, 0}}};
extern int OutlineColourIndex;  // 0..5, start 0
extern OutlineRgb OutlineColour;  // taken from the table by RefreshOutlineColour
void RefreshOutlineColour();
// "／": the next outline colour, 0 after 5.
void CycleOutlineColour();

// One flag per plane index (row * Stride + column, plane row 0 at the bottom):
// 1 = brushed / marked / pattern part.
extern std::array<std::uint8_t, PlaneCapacity> BrushMask;
void ClearBrushMask();

extern int BrushSize;      // 2, 4 or 6 by brush width
extern int BrushPressure;  // percent 40..100, start 100
extern int ZoneColour;     // the zone colour of the pattern pages: 255

// The point of the local contrast: column and plane row of the last left
// click on the picture while local contrast is on (Outline and Pattern
// pages). Column 0 counts as no point chosen.
struct ContrastPoint {
  int column = 0, row = 0;
  friend bool operator==(const ContrastPoint&, const ContrastPoint&) = default;
};
extern ContrastPoint LocalContrastPoint;  // start (0, 0)

// Writes the start values of everything above (a new run).
void StartOutlineState();
