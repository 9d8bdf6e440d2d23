// The GAMON page's pixel work: the half-size picture, the view-area frame,
// the enlarged view, the density tables and histograms of the analysis
// window, and the three graphs, all drawn into the canvas bytes (960 x 672,
// bottom-up blue, green, red; row 0 at the bottom). Pure functions; nothing
// here touches the window or WorkPlanes.
//
// Samples are read as signed 32-bit values and clamped to 0..255 wherever
// they index a table or become a colour, so a page that left samples outside
// 0..255 in the planes cannot send a count outside its table.
#pragma once

#include <array>
#include <cstdint>

#include "image/planes.h"
#include "pages/view/view_area.h"
#include "platform/surface.h"

struct GamonTables {
  // Counts by (gray, value): [0] blue, [1] green, [2] red.
  std::array<std::array<std::array<std::uint32_t, 256>, 256>, 3> density{};
  // Histograms: [0] blue, [1] green, [2] red, [3] gray.
  std::array<std::array<std::uint32_t, 256>, 4> histogram{};
};

// The rates of the graphs and the cut flags.
struct GamonRates {
  double rate = 8;                                 // Gamon graph brightness
  std::array<double, 4> each{1, 1, 1, 1};          // red, green, blue, gray bar heights
  double tall = 1;                                 // "all color" height
  bool cut255 = false, cut0 = false;                      // leave bin 255 / bin 0 out of the maximum
};

void FillCanvas(std::uint8_t* canvas, Rgb colour);
// Canvas row i + 320, column j: the 2 x 2 mean of plane rows 2i, 2i + 1 and
// columns 2j, 2j + 1, per channel, clamped to 0..255.
void HalfSizePicture(const PlaneView& planes, std::uint8_t* canvas);
// The frame of the view area on the half-size picture: columns left ..
// left + hw, rows max(bottom, 16) - 16 .. that + hh, one pixel wide.
void DrawHalfSizeFrame(std::uint8_t* canvas, const ViewAreaRecord& area, Rgb colour);
// Every pixel of the window as a (zoom / 2)-square block from column 480, row 336 up.
void EnlargedView(const PlaneView& planes, ViewRect window, int zoom, std::uint8_t* canvas);

void CountGamonTables(const PlaneView& planes, ViewRect window, GamonTables& tables);
// The largest blue, green or red count over the bins the cut flags leave; 50 when 0.
std::uint32_t HistogramMaximum(const GamonTables& tables, bool cut255, bool cut0);

// Columns 672..927, rows 32..287 black; the three histograms overlaid.
void DrawAllColourGraph(std::uint8_t* canvas, const GamonTables& tables, std::uint32_t maximum, double tall);
// Columns 352..607, rows 32..288: the four small histograms in quadrants.
void DrawEachColourGraph(std::uint8_t* canvas, const GamonTables& tables, std::uint32_t maximum,
                         const std::array<double, 4>& rates);
// Columns 32..287, rows 32..287: the density of each channel value by gray,
// and the frames of this graph and of the "all color" box.
void DrawGamonGraph(std::uint8_t* canvas, const GamonTables& tables, double rate);
// The headings under the graphs, drawn with a small stroke alphabet.
void DrawGamonHeadings(std::uint8_t* canvas);

// GrayOf for samples 0..255, worked in float (exact; see gamon_graphs.cpp).
std::uint8_t GrayOfBytesInFloat(std::uint32_t red, std::uint32_t green, std::uint32_t blue);

// The bar height of the "each color" graph for bins 2k and 2k + 1.
int EachColourBar(std::uint32_t count0, std::uint32_t count1, std::uint32_t maximum, double rate);
// The bar height of the "all color" graph for a bin.
int AllColourBar(std::uint32_t count, std::uint32_t maximum, double tall);
