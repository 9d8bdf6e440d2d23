#include "pages/pattern/zones.h"

#include <algorithm>
#include <cstddef>

#include "image/gray.h"
#include "image/planes.h"

CanvasArea ZoneAreaOf(const AreaRect& area) {
  return CanvasArea{area.left, PixelUnderPoint(0, area.bottom).row, area.right + 1,
                    PixelUnderPoint(0, area.top).row + 1};
}

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

int DrawZone(std::uint8_t* canvas, int canvasStride, int width, int height, const ZoneSettings& settings) {
  if (settings.areaSwitch != AreaDragging) return 0;
  const ZoneRange& range = settings.range;
  const CanvasArea& area = settings.area;
  // The area cut to the picture.
  const int firstColumn = std::max(area.left, 0);
  const int lastColumn = std::min(area.right, width) - 1;
  const int firstRow = std::max(area.bottom, 0);
  const int lastRow = std::min(area.top, height) - 1;
  const auto zone = static_cast<std::uint8_t>(settings.zoneColour);
  // The gray (299 R + 587 G + 114 B) / 1000 lies in lumaMin .. lumaMax
  // exactly when the weighted sum lies in 1000 lumaMin .. 1000 lumaMax + 999.
  const int sumLow = 1000 * range.lumaMin;
  const int sumHigh = 1000 * range.lumaMax + 999;
  int painted = 0;
  for (int row = firstRow; row <= lastRow; ++row) {
    std::uint8_t* __restrict p = canvas + (static_cast<std::size_t>(row) * static_cast<std::size_t>(canvasStride)) * 3;
    if (settings.judgeMode == 1) {
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
        const int sum = static_cast<int>(GraySumOfLanes(px[2], px[1], px[0]));
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

int MakePattern(std::uint8_t* canvas, int canvasStride, std::span<std::uint8_t> mask, int width, int height,
                const StencilSettings& settings) {
  if (width <= 0 || height <= 0) return 0;
  const std::size_t columns = static_cast<std::size_t>(width);
  if (mask.size() < columns * static_cast<std::size_t>(height)) return 0;
  const auto zone = static_cast<std::uint8_t>(settings.zoneColour);
  int zonePixels = 0;
  for (int row = 0; row < height; ++row) {
    std::uint8_t* __restrict px = canvas + static_cast<std::size_t>(row) * static_cast<std::size_t>(canvasStride) * 3;
    std::uint8_t* __restrict flags = mask.data() + static_cast<std::size_t>(row) * columns;
    for (std::size_t i = 0; i < columns; ++i) {
      const bool pattern = (px[3 * i] != zone) | (px[3 * i + 1] != zone) | (px[3 * i + 2] != zone);
      const std::uint8_t tone = pattern ? 192 : 255;
      px[3 * i] = tone;
      px[3 * i + 1] = tone;
      px[3 * i + 2] = tone;
      flags[i] = pattern ? 1 : 0;
      zonePixels += pattern ? 0 : 1;
    }
  }
  return zonePixels;
}
