#include "pages/colour/colour_chart.h"

#include <algorithm>
#include <cstddef>

#include "image/planes.h"

void DrawColourChart(std::uint8_t* canvas, int chartGreen) {
  const int g = std::clamp(chartGreen, 0, 255);
  for (int r = 0; r < 256; ++r) {
    std::uint8_t* row = canvas + static_cast<std::size_t>(20 + r) * Stride * 3;
    for (int c = 0; c < 256; ++c) {
      row[c * 3 + 0] = static_cast<std::uint8_t>(c);
      row[c * 3 + 1] = static_cast<std::uint8_t>(g);
      row[c * 3 + 2] = static_cast<std::uint8_t>(r);
    }
  }
  const int markFrom = std::max(g - 2, 0), markTo = std::min(g + 2, 255);  // markTo excluded
  const std::uint8_t markGreen = g < 128 ? 255 : 0;
  for (int r = 0; r < 20; ++r) {
    std::uint8_t* row = canvas + static_cast<std::size_t>(r) * Stride * 3;
    for (int c = 0; c < 256; ++c) {
      row[c * 3 + 0] = 0;
      row[c * 3 + 1] = c >= markFrom && c < markTo ? markGreen : static_cast<std::uint8_t>(c);
      row[c * 3 + 2] = 0;
    }
  }
}

ChartPick TakeChartColour(int x, int y, int chartGreen) {
  ChartPick pick;
  if (x < 100 || x >= 356) return pick;
  if (y >= 428 && y < 684) {
    pick.kind = ChartPick::Colour;
    pick.red = 683 - y;
    pick.green = std::clamp(chartGreen, 0, 255);
    pick.blue = x - 100;
  } else if (y >= 684 && y < 704) {
    pick.kind = ChartPick::Green;
    pick.chartGreen = x - 100;
  }
  return pick;
}
