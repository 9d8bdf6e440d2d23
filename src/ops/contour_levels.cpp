#include "ops/contour_levels.h"

#include <algorithm>
#include <cstddef>

#include "image/gray.h"

int ContourTopLevel(const ContourLadder& ladder) {
  if (ladder.step <= 0) return 0;
  return (ladder.max - ladder.min) / ladder.step;
}

int ContourColourStep(int topLevel) { return topLevel > 0 ? 256 / topLevel : 0; }

int ContourLevelGray(const ContourLadder& ladder, int k) { return ladder.min + k * ladder.step; }

ContourColour ContourLevelColour(int type, int k, int increment) {
  const int up = k * increment;  // kK
  const int down = 255 - up;     // 255 - kK
  ContourColour c;
  switch (type) {
    case 1: c = {255, 0, 0}; break;
    case 2: c = {down, down, 0}; break;
    case 3: c = {0, down, down}; break;
    case 4: c = {down, up, up}; break;
    case 5: c = {up, 255, down}; break;
    case 6: c = {up, up, up}; break;
    case 7: c = {down, down, down}; break;
    default: c = {0, 0, 0}; break;
  }
  c.red = std::clamp(c.red, 0, 255);
  c.green = std::clamp(c.green, 0, 255);
  c.blue = std::clamp(c.blue, 0, 255);
  return c;
}

bool ContourSwatchColour(int type, int column, ContourColour& colour) {
  const int last = type == 1 ? ContourSwatchColumns : ContourSwatchColumns - 1;
  if (type < 1 || type > 7 || column < 0 || column > last) return false;
  const int up = 4 * column, down = 255 - 4 * column;
  switch (type) {
    case 1: colour = {255, 0, 0}; break;
    case 2: colour = {down, down, 0}; break;
    case 3: colour = {0, down, down}; break;
    case 4: colour = {down, up, up}; break;
    case 5: colour = {up, 255, down}; break;
    case 6: colour = {up, up, up}; break;
    default: colour = {down, down, down}; break;
  }
  return true;
}

int NextContourColourType(int type) { return type == 0 || type >= 7 || type < 0 ? 1 : type + 1; }

int WrapContourScan(int scanIndex, int topLevel) { return topLevel + 1 < scanIndex ? 1 : scanIndex; }

namespace {

ContourTableEntry EntryOf(const ContourColour& c) {
  return {true, static_cast<std::uint8_t>(c.blue), static_cast<std::uint8_t>(c.green),
          static_cast<std::uint8_t>(c.red)};
}

}  // namespace

ContourTable BuildContourTable(const ContourLadder& ladder, int operation, int scanIndex, int colourType) {
  ContourTable table{};
  const int top = ContourTopLevel(ladder);
  const int increment = ContourColourStep(top);
  if (ladder.step <= 0) return table;
  const int lowest = std::max(ladder.min, 0), highest = std::min(ladder.max, 255);
  if (operation == ContourAllLevels) {
    for (int k = 0; k <= top; ++k) {
      const int g = ContourLevelGray(ladder, k);
      if (g < lowest || g > highest) continue;
      table[static_cast<std::size_t>(g)] = EntryOf(ContourLevelColour(colourType, k, increment));
    }
  } else if (operation == ContourOneLevel) {
    const int g = ContourLevelGray(ladder, scanIndex - 1);
    if (scanIndex >= 1 && g >= lowest && g <= highest) {
      const int k = (g - ladder.min) / ladder.step;
      table[static_cast<std::size_t>(g)] = EntryOf(ContourLevelColour(colourType, k, increment));
    }
  }
  return table;
}

void DrawContour(std::uint8_t* canvas, int columns, int rows, int stride, const ContourTable& table) {
  bool any = false;
  for (const ContourTableEntry& e : table) any = any || e.painted;
  if (!any) return;
  // Per gray a byte mask of what the pixel keeps (all of it, or nothing)
  // and the bytes it takes, so every pixel is a gray, one look-up and three
  // stores, with no branch to mispredict on noisy pictures.
  struct Blend {
    std::uint8_t keep, blue, green, red;
  };
  std::array<Blend, 256> blend{};
  for (std::size_t g = 0; g < 256; ++g) {
    const ContourTableEntry& e = table[g];
    blend[g] = e.painted ? Blend{0, e.blue, e.green, e.red} : Blend{0xFF, 0, 0, 0};
  }
  for (int row = 0; row < rows; ++row) {
    std::uint8_t* p = canvas + static_cast<std::size_t>(row) * static_cast<std::size_t>(stride) * 3;
    for (int x = 0; x < columns; ++x, p += 3) {
      const Blend b = blend[static_cast<unsigned>(GrayOf(p[2], p[1], p[0]))];
      p[0] = static_cast<std::uint8_t>((p[0] & b.keep) | b.blue);
      p[1] = static_cast<std::uint8_t>((p[1] & b.keep) | b.green);
      p[2] = static_cast<std::uint8_t>((p[2] & b.keep) | b.red);
    }
  }
}

void ApplyContour(std::uint8_t* canvas, int stride, int width, int height, const ContourDrawSettings& settings) {
  if (settings.operation == ContourNone) return;
  const int s = settings.operation == ContourOneLevel
                    ? WrapContourScan(settings.scanIndex, ContourTopLevel(settings.ladder))
                    : settings.scanIndex;
  DrawContour(canvas, width, height, stride,
              BuildContourTable(settings.ladder, settings.operation, s, settings.colourType));
}
