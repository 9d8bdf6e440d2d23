#include "pages/pattern/zones.h"

#include <algorithm>
#include <cstddef>

#include "image/gray.h"
#include "image/planes.h"

AppointColour SampleCanvas(const std::uint8_t* canvas, int columns, int x, int y) {
  const CanvasPixel pixel = PixelUnderPoint(x, y);
  const std::size_t index = static_cast<std::size_t>(pixel.row) * static_cast<std::size_t>(columns) +
                            static_cast<std::size_t>(pixel.column);
  AppointColour c;
  c.blue = canvas[3 * index];
  c.green = canvas[3 * index + 1];
  c.red = canvas[3 * index + 2];
  c.luma = GrayOf(c.red, c.green, c.blue);
  return c;
}

void WidenZoneRange(ZoneRange& range, const AppointColour& colour) {
  range.redMin = std::min(range.redMin, colour.red);
  range.redMax = std::max(range.redMax, colour.red);
  range.greenMin = std::min(range.greenMin, colour.green);
  range.greenMax = std::max(range.greenMax, colour.green);
  range.blueMin = std::min(range.blueMin, colour.blue);
  range.blueMax = std::max(range.blueMax, colour.blue);
  range.lumaMin = std::min(range.lumaMin, colour.luma);
  range.lumaMax = std::max(range.lumaMax, colour.luma);
}

int DrawZone(std::uint8_t* canvas, int columns, int rows, const ZoneRange& range, const AreaRect& area,
             int areaSwitch, int judgeMode, int zoneColour) {
  if (areaSwitch != 1) return 0;
  // Columns left .. right and plane rows 704 - bottom .. 704 - top, bounds
  // included, cut to the canvas.
  const int firstColumn = std::max(area.left, 0);
  const int lastColumn = std::min(area.right, columns - 1);
  const int firstRow = std::max(PixelUnderPoint(0, area.bottom).row, 0);
  const int lastRow = std::min(PixelUnderPoint(0, area.top).row, rows - 1);
  const auto zone = static_cast<std::uint8_t>(zoneColour);
  // The gray (299 R + 587 G + 114 B) / 1000 lies in lumaMin .. lumaMax
  // exactly when the weighted sum lies in 1000 lumaMin .. 1000 lumaMax + 999.
  const int sumLow = 1000 * range.lumaMin;
  const int sumHigh = 1000 * range.lumaMax + 999;
  int painted = 0;
  for (int row = firstRow; row <= lastRow; ++row) {
    std::uint8_t* __restrict p = canvas + (static_cast<std::size_t>(row) * static_cast<std::size_t>(columns)) * 3;
    if (judgeMode == 1) {
      for (int column = firstColumn; column <= lastColumn; ++column) {
        std::uint8_t* px = p + 3 * static_cast<std::size_t>(column);
        const int blue = px[0], green = px[1], red = px[2];
        const bool inside = (range.redMin <= red) & (red <= range.redMax) & (range.greenMin <= green) &
                            (green <= range.greenMax) & (range.blueMin <= blue) & (blue <= range.blueMax);
        px[0] = inside ? zone : px[0];
        px[1] = inside ? zone : px[1];
        px[2] = inside ? zone : px[2];
        painted += inside ? 1 : 0;
      }
    } else {
      for (int column = firstColumn; column <= lastColumn; ++column) {
        std::uint8_t* px = p + 3 * static_cast<std::size_t>(column);
        const int sum = 299 * px[2] + 587 * px[1] + 114 * px[0];
        const bool inside = (sumLow <= sum) & (sum <= sumHigh);
        px[0] = inside ? zone : px[0];
        px[1] = inside ? zone : px[1];
        px[2] = inside ? zone : px[2];
        painted += inside ? 1 : 0;
      }
    }
  }
  return painted;
}

int MakePattern(std::uint8_t* canvas, std::uint8_t* mask, int columns, int rows, int zoneColour) {
  const auto zone = static_cast<std::uint8_t>(zoneColour);
  const std::size_t count = static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows);
  std::uint8_t* __restrict px = canvas;
  std::uint8_t* __restrict flags = mask;
  int zonePixels = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const bool pattern = (px[3 * i] != zone) | (px[3 * i + 1] != zone) | (px[3 * i + 2] != zone);
    const std::uint8_t tone = pattern ? 192 : 255;
    px[3 * i] = tone;
    px[3 * i + 1] = tone;
    px[3 * i + 2] = tone;
    flags[i] = pattern ? 1 : 0;
    zonePixels += pattern ? 0 : 1;
  }
  return zonePixels;
}
