// The colour chart shared by the PALETTE and UNI C. pages: drawn over the
// lowest 276 rows and first 256 columns of the canvas, and read back at the
// last mouse position.
#pragma once

#include <cstdint>

// Draws the chart into a 960 x 672 bottom-up canvas (bytes blue, green, red):
// rows 20..275 the square (column c, row 20 + r: red r, green chartGreen,
// blue c), rows 0..19 the green strip with its marker of the chosen green.
void DrawColourChart(std::uint8_t* canvas, int chartGreen);

struct ChartPick {
  enum Kind { None, Colour, Green } kind = None;
  int red = 0, green = 0, blue = 0;  // Colour: the colour under the point
  int chartGreen = 0;                // Green: the new chart green
};
// What the chart holds at client point (x, y) for the chart green in force.
ChartPick TakeChartColour(int x, int y, int chartGreen);
