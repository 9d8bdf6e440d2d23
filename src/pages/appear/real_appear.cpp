#include "pages/appear/real_appear.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "image/gray.h"

namespace {

constexpr int RowBytes = Stride * 3;

// The pass zone as a table over the 256 values of each test, so that a pixel
// costs three look-ups (the luma test looks up its gray).
struct PassTable {
  int mode = 0;
  int channel = 0;
  std::uint8_t within[256]{};
};

PassTable MakePassTable(const PassZone& zone) {
  PassTable table{zone.mode, zone.channel, {}};
  for (int v = 0; v < 256; ++v) table.within[v] = zone.start <= v && v <= zone.end ? 1 : 0;
  return table;
}

bool InZone(const PassTable& t, std::uint8_t blue, std::uint8_t green, std::uint8_t red) {
  switch (t.mode) {
    case 1: return blue == 0 && green == 0 && red == 0;
    case 2: return blue == 255 && green == 255 && red == 255;
    case 3:
    case 4:
      switch (t.channel) {
        case 1: return t.within[red] && t.within[green] && t.within[blue];
        case 2: return t.within[GrayOf(red, green, blue)];
        case 3: return t.within[red];
        case 4: return t.within[green];
        case 5: return t.within[blue];
        case 6: return t.within[green] && t.within[blue];
        case 7: return t.within[red] && t.within[blue];
        case 8: return t.within[red] && t.within[green];
        default: return false;
      }
    default: return false;
  }
}

std::int64_t Blend(std::uint32_t back, std::uint8_t transfer, std::int64_t p, std::int64_t n) {
  return (static_cast<std::int64_t>(static_cast<std::int32_t>(back)) * p + static_cast<std::int64_t>(transfer) * (n - p)) /
         n;
}

}  // namespace

bool InPassZone(const PassZone& zone, std::uint8_t blue, std::uint8_t green, std::uint8_t red) {
  const auto within = [&](int v) { return zone.start <= v && v <= zone.end; };
  switch (zone.mode) {
    case 1: return blue == 0 && green == 0 && red == 0;
    case 2: return blue == 255 && green == 255 && red == 255;
    case 3:
    case 4:
      switch (zone.channel) {
        case 1: return within(red) && within(green) && within(blue);
        case 2: return within(GrayOf(red, green, blue));
        case 3: return within(red);
        case 4: return within(green);
        case 5: return within(blue);
        case 6: return within(green) && within(blue);
        case 7: return within(red) && within(blue);
        case 8: return within(red) && within(green);
        default: return false;
      }
    default: return false;
  }
}

void PlaceTransferPixels(const std::uint8_t* source, std::uint8_t* canvas, int offsetX, int offsetY) {
  std::memset(canvas, 255, static_cast<std::size_t>(CanvasByteCount));
  // Columns c with 0 <= c + offsetX <= 959.
  const long long firstColumn = std::max<long long>(0, -static_cast<long long>(offsetX));
  const long long lastColumn = std::min<long long>(Stride - 1, Stride - 1 - static_cast<long long>(offsetX));
  if (firstColumn > lastColumn) return;
  for (int row = 0; row < CanvasRows; ++row) {
    const long long sourceRow = static_cast<long long>(row) + offsetY;
    if (sourceRow < 0 || sourceRow >= CanvasRows) continue;
    std::memcpy(canvas + static_cast<std::size_t>(row) * RowBytes + static_cast<std::size_t>(firstColumn) * 3,
                source + static_cast<std::size_t>(sourceRow) * RowBytes +
                    static_cast<std::size_t>(firstColumn + offsetX) * 3,
                static_cast<std::size_t>(lastColumn - firstColumn + 1) * 3);
  }
}

void RealAppear(const std::uint8_t* transfer, const PlaneView& back, int columns, int rows, const PassZone& zone,
                int edgeWidth) {
  const int e = std::max(edgeWidth, 0);
  columns = std::clamp(columns, 0, Stride);
  rows = std::clamp(rows, 0, CanvasRows);
  if (rows - 2 * e <= 0 || columns - 2 * e <= 0) return;
  const PassTable table = MakePassTable(zone);
  // Summed-area table of the pass zone: sum[(r + 1) * w1 + c + 1] counts the
  // pass pixels of rows 0..r and columns 0..c.
  const int w1 = columns + 1;
  std::vector<std::int32_t> sum(static_cast<std::size_t>(rows + 1) * static_cast<std::size_t>(w1), 0);
  std::vector<std::uint8_t> pass(static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns));
  for (int r = 0; r < rows; ++r) {
    const std::uint8_t* t = transfer + static_cast<std::size_t>(r) * RowBytes;
    std::int32_t* line = sum.data() + static_cast<std::size_t>(r + 1) * w1;
    const std::int32_t* previous = line - w1;
    std::uint8_t* flags = pass.data() + static_cast<std::size_t>(r) * columns;
    std::int32_t running = 0;
    for (int c = 0; c < columns; ++c) {
      flags[c] = InZone(table, t[3 * c], t[3 * c + 1], t[3 * c + 2]) ? 1 : 0;
      running += flags[c];
      line[c + 1] = previous[c + 1] + running;
    }
  }
  const std::int64_t n = static_cast<std::int64_t>(2 * e + 1) * (2 * e + 1);
  for (int r = e; r < rows - e; ++r) {
    const std::uint8_t* t = transfer + static_cast<std::size_t>(r) * RowBytes;
    const std::int32_t* top = sum.data() + static_cast<std::size_t>(r + e + 1) * w1;
    const std::int32_t* bottom = sum.data() + static_cast<std::size_t>(r - e) * w1;
    std::uint32_t* b0 = &back.at(0, r, 0);
    std::uint32_t* b1 = &back.at(1, r, 0);
    std::uint32_t* b2 = &back.at(2, r, 0);
    for (int c = e; c < columns - e; ++c) {
      const std::int64_t p = e == 0 ? pass[static_cast<std::size_t>(r) * columns + c]
                                    : static_cast<std::int64_t>(top[c + e + 1]) - top[c - e] - bottom[c + e + 1] +
                                          bottom[c - e];
      if (p == n) continue;  // (B * n) / n = B
      if (p == 0) {          // (T * n) / n = T
        b0[c] = t[3 * c];
        b1[c] = t[3 * c + 1];
        b2[c] = t[3 * c + 2];
        continue;
      }
      b0[c] = static_cast<std::uint32_t>(Blend(b0[c], t[3 * c], p, n));
      b1[c] = static_cast<std::uint32_t>(Blend(b1[c], t[3 * c + 1], p, n));
      b2[c] = static_cast<std::uint32_t>(Blend(b2[c], t[3 * c + 2], p, n));
    }
  }
}
