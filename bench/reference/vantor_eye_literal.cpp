#include "image/gray.h"
#include "reference/vantor_eye_literal.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

void VantorEyeRowLiteral(const PlaneView& source, const PlaneView& target, int width, int height, int n,
                         const EyeParameters& p, int y, Edges edges) {
  if (n < 2 || n > 40 || n % 2 != 0) return;
  const bool extend = edges == Edges::Extend;
  // 1. Tables.
  const int r = n / 2;
  std::vector<double> profile(static_cast<std::size_t>(2 * r + 1));
  for (int k = 0; k <= 2 * r; ++k) {
    profile[static_cast<std::size_t>(k)] = std::pow(1.0 - std::abs(k - r) / static_cast<double>(r), 6.0);
  }
  std::vector<double> window(static_cast<std::size_t>(n * n));
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) {
      window[static_cast<std::size_t>(i * n + j)] =
          profile[static_cast<std::size_t>(j)] * profile[static_cast<std::size_t>(n - i)];
    }
  }
  const int level = std::clamp(p.sunGlassLevel, 1, 3);
  const double s = level == 1 ? 0.1 : level == 2 ? 0.5 : 0.9;
  double sunGlass[129];
  for (int i = 0; i <= 128; ++i) sunGlass[i] = 1.0 - s * std::sqrt(std::sqrt(1.0 - i / 128.0));
  const int mode = std::clamp(p.mode, 1, 6);

  // 2. Gray range of the appoint gray condition.
  long long lo = 0, hi = 0;
  if (p.appointSource == 0) {
    lo = std::max<long long>(0, static_cast<long long>(p.appointGray) - p.appointHalfWidth);
    hi = std::min<long long>(255, static_cast<long long>(p.appointGray) + p.appointHalfWidth);
  } else {
    lo = p.appointMin;
    hi = p.appointMax;
  }

  const bool rowInside = extend ? y >= 0 && y < height : y >= r && y <= height - r;
  bool rowEligible = rowInside;
  if (p.areaEyeOn && !extend) {
    const long long shift = static_cast<long long>(p.eyeWindowShift) + 32;
    const long long yLow = std::min<long long>(height, height - static_cast<long long>(p.areaEyeRect.bottom) + shift);
    const long long yHigh = std::max<long long>(0, height - static_cast<long long>(p.areaEyeRect.top) + shift);
    rowEligible = rowEligible && yLow < y && y < yHigh;
  }

  // 3. Columns r .. width - r - 1 (extended: all of them).
  for (int x = extend ? 0 : r; rowEligible && x <= (extend ? width - 1 : width - r - 1); ++x) {
    if (p.areaEyeOn && !extend && !(p.areaEyeRect.left <= x && x <= p.areaEyeRect.right)) continue;
    // 4. The pixel's own samples.
    long long own[3];
    for (int c = 0; c < 3; ++c) own[c] = static_cast<std::int32_t>(source.at(c, y, x));
    // 5. The window sum.
    double sum[3] = {0.0, 0.0, 0.0};
    for (int i = 0; i < n; ++i) {
      for (int j = 0; j < n; ++j) {
        const double k = window[static_cast<std::size_t>(i * n + j)];
        for (int c = 0; c < 3; ++c) {
          const int row = extend ? std::clamp(y - r + i, 0, height - 1) : y - r + i;
          const int column = extend ? std::clamp(x - r + j, 0, width - 1) : x - r + j;
          const long long q = static_cast<std::int32_t>(source.at(c, row, column));
          long long a = 0;
          if (mode == 1 || mode == 4) a = q - p.reference[static_cast<std::size_t>(c)];
          else if (mode == 2 || mode == 5) a = q;
          else a = 255 - q;
          sum[c] += k * static_cast<double>(a);
        }
      }
    }
    // 6. Amplified value.
    long long amplified[3];
    for (int c = 0; c < 3; ++c) {
      const long long t = static_cast<long long>(std::trunc(sum[c]));
      if (mode == 1 || mode == 4) amplified[c] = t + p.reference[static_cast<std::size_t>(c)];
      else if (mode == 2 || mode == 5) amplified[c] = t;
      else amplified[c] = 255 - t;
    }
    // 7. Pixel gray.
    const long long ownGray = GrayTruncated(own[2], own[1], own[0]);
    // 8. Value gray, clamped, folded.
    const long long valueGray = GrayTruncated(amplified[2], amplified[1], amplified[0]);
    const int l = static_cast<int>(std::clamp<long long>(valueGray, 0, 255));
    const int t = l >= 128 ? 255 - l : l;
    // 9. Moved value.
    long long moved[3];
    for (int c = 0; c < 3; ++c) {
      moved[c] = static_cast<long long>(static_cast<double>(amplified[c] - own[c]) * sunGlass[t]) + own[c];
    }
    // 10. Blend weight and result; 11. clamp.
    const bool weak = mode >= 4;
    long long w = weak ? 15 : 3;
    bool blend = true;
    if (p.appointOn) {
      if (p.appointKind == 1) {
        bool inside = true;
        for (int c = 0; c < 3; ++c) {
          const AppointRange& box = p.appointBox[static_cast<std::size_t>(c)];
          if (!(box.low < own[c] && own[c] < box.high)) inside = false;
        }
        if (!inside) w = weak ? 63 : 31;
      } else if (p.appointKind == 2) {
        if (!(lo < ownGray && ownGray < hi)) w = weak ? 63 : 31;
      } else {
        blend = false;
      }
    }
    for (int c = 0; c < 3; ++c) {
      const long long result = blend ? (moved[c] + w * own[c]) / (1 + w) : moved[c];
      target.at(c, y, x) = static_cast<std::uint32_t>(std::clamp<long long>(result, 0, 255));
    }
  }

  // 12. The white frame.
  if (!p.areaEyeOn && !extend) {
    for (int c = 0; c < 3; ++c) {
      for (int row = 0; row < height; ++row) {
        const bool frameRow = row <= r || row >= height - r;
        for (int column = 0; column < width; ++column) {
          if (!frameRow && column == r + 1) column = std::max(column, width - r);  // skip the inside
          if (column < width) target.at(c, row, column) = 255;
        }
      }
    }
  }
}

void VantorEyePassLiteral(const PlaneView& source, const PlaneView& target, int width, int height, int n,
                          const EyeParameters& parameters, Edges edges) {
  if (edges == Edges::Extend) {
    for (int y = height - 1; y >= 0; --y) VantorEyeRowLiteral(source, target, width, height, n, parameters, y, edges);
    return;
  }
  for (int y = height - n / 2; y >= n / 2; --y) VantorEyeRowLiteral(source, target, width, height, n, parameters, y);
}
