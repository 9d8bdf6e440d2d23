#include "pages/colour/range_convert.h"

#include <algorithm>
#include <cstddef>

#include "image/gray.h"

void WidenTargetRanges(ChannelRanges& ranges, int& lo, int& hi, const UniRgb& picked, int pickedGray) {
  if (picked.red == 0 && picked.green == 0 && picked.blue == 0 && pickedGray == 0) return;
  lo = std::min(lo, pickedGray);
  hi = std::max(hi, pickedGray);
  const std::array<int, 3> value{picked.red, picked.green, picked.blue};
  for (std::size_t k = 0; k < 3; ++k) {
    ranges.min[k] = std::min(ranges.min[k], value[k]);
    ranges.max[k] = std::max(ranges.max[k], value[k]);
  }
}

void GrayRangeOfChannels(const ChannelRanges& ranges, bool rounded, int& lo, int& hi) {
  const auto gray = [rounded](const std::array<int, 3>& c) {
    return static_cast<int>(rounded ? GrayRounded(c[0], c[1], c[2]) : GrayTruncated(c[0], c[1], c[2]));
  };
  lo = gray(ranges.min);
  hi = gray(ranges.max);
}

bool PickOnPicture(const PlaneView& planes, int x, int y, UniRgb& colour, int& gray) {
  if (!OnPicture(x, y)) return false;
  const auto [column, row] = PixelUnderPoint(x, y);
  if (column >= planes.stride || row < 0 || row >= planes.rows) return false;
  colour.red = static_cast<int>(planes.at(2, row, column) & 0xFF);
  colour.green = static_cast<int>(planes.at(1, row, column) & 0xFF);
  colour.blue = static_cast<int>(planes.at(0, row, column) & 0xFF);
  gray = RoundedGrayOf(colour.red, colour.green, colour.blue);
  return true;
}

bool GrayBarClick(int x, int& lo, int& hi) {
  if (x >= 3 && x <= 11) {
    lo = std::max(lo - UniArrowStep, 0);
  } else if (x >= 13 && x <= 21) {
    lo = std::min(lo + UniArrowStep, hi);
  } else if (x >= 25 && x <= 75) {
    const int middle = (lo + hi) * 52 / 510 + 24;
    const int value = (x - 24) * 255 / 52;
    if (x < middle) {
      lo = value;
    } else if (x > middle) {
      hi = value;
    }
  } else if (x >= 79 && x <= 87) {
    hi = std::max(hi - UniArrowStep, lo);
  } else if (x >= 89 && x <= 97) {
    hi = std::min(hi + UniArrowStep, 255);
  } else {
    return false;
  }
  return true;
}

bool ChannelBarClick(int x, int& value) {
  if (x >= 25 && x <= 75) {
    value = (x - 24) * 255 / 52;
  } else if (x >= 79 && x <= 87) {
    value = std::max(value - UniArrowStep, 0);
  } else if (x >= 89 && x <= 97) {
    value = std::min(value + UniArrowStep, 255);
  } else {
    return false;
  }
  return true;
}

bool RangeBarSpan(int lo, int hi, int& from, int& to) {
  if (lo > hi) return false;
  from = 24 + std::clamp(lo, 0, 255) * 52 / 256;
  to = 24 + std::clamp(hi, 0, 255) * 52 / 256;
  return true;
}

void PaintGrayRange(const PlaneView& planes, std::uint8_t* canvas, int canvasStride, int width, int height,
                    const GrayRangeSettings& settings) {
  const int lo = settings.lo, hi = settings.hi;
  const int first = std::max(lo, 0), last = std::min(hi, 255);
  if (first > last) return;  // grays of byte samples lie in 0..255
  // Which grays are in the range, so the loop is a gray and a look-up. The
  // gray of byte samples is worked in 32 bits; a sample above 255 (which a
  // page may leave in a plane) takes the 64-bit rule.
  std::array<std::uint8_t, 256> inRange{};
  for (int g = first; g <= last; ++g) inRange[static_cast<std::size_t>(g)] = 1;
  const UniRgb& colour = settings.colour;
  const auto b = static_cast<std::uint8_t>(colour.blue), gr = static_cast<std::uint8_t>(colour.green),
             r = static_cast<std::uint8_t>(colour.red);
  const std::size_t stride = static_cast<std::size_t>(planes.stride);
  for (int row = 0; row < height; ++row) {
    const std::uint32_t* pb = planes.plane[0] + static_cast<std::size_t>(row) * stride;
    const std::uint32_t* pg = planes.plane[1] + static_cast<std::size_t>(row) * stride;
    const std::uint32_t* pr = planes.plane[2] + static_cast<std::size_t>(row) * stride;
    std::uint8_t* out = canvas + static_cast<std::size_t>(row) * static_cast<std::size_t>(canvasStride) * 3;
    for (int x = 0; x < width; ++x) {
      const std::uint32_t sb = pb[x], sg = pg[x], sr = pr[x];
      bool take;
      if ((sb | sg | sr) < 256u) {
        take = inRange[GrayOfLanes(sr, sg, sb)] != 0;
      } else {
        const std::int64_t g = GrayTruncated(sr, sg, sb);
        take = g >= lo && g <= hi;
      }
      if (take) {
        out[3 * x] = b;
        out[3 * x + 1] = gr;
        out[3 * x + 2] = r;
      }
    }
  }
}
