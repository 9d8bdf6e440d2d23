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
