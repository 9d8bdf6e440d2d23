// The small arithmetic of the UNI C. page: the target colour's channel
// ranges and grey range, the pick from the picture and the grey range bar's
// clicks. The conversion itself is ops/gray_range.
//
// Routines:
//   WidenTargetRanges      a target pick widens the channel and grey ranges
//   GrayRangeOfChannels    lo, hi from the channel minima and maxima (truncated or rounded gray)
//   PickOnPicture          the WorkPlanes pixel under a client point, only on the picture
//   GrayBarClick           the grey range bar's arrows and bar
//   ChannelBarClick        a new-colour bar and its arrows
//   RangeBarSpan           the columns a range bar fills
#pragma once

#include <array>
#include <cstdint>

#include "image/planes.h"
#include "ops/gray_range.h"

// [min, max] per channel (red, green, blue); empty as [255, 0].
struct ChannelRanges {
  std::array<int, 3> min{255, 255, 255};
  std::array<int, 3> max{0, 0, 0};
};

// A target pick: the target colour becomes the picked colour; unless the
// picked colour and its rounded gray p are all zero, lo := min(lo, p),
// hi := max(hi, p) and each channel range takes in the picked value.
void WidenTargetRanges(ChannelRanges& ranges, int& lo, int& hi, const UniRgb& picked, int pickedGray);

// lo, hi as the grays of (Rmin, Gmin, Bmin) and (Rmax, Gmax, Bmax):
// truncated (the lower panel's recomputation) or rounded (the calculator's).
void GrayRangeOfChannels(const ChannelRanges& ranges, bool rounded, int& lo, int& hi);

// The picture as a click may read it: 100 < x < 1060 and 33 <= y < 704.
inline constexpr bool OnPicture(int x, int y) { return 100 < x && x < 1060 && 33 <= y && y < 704; }

// The WorkPlanes pixel under client (x, y) (PixelUnderPoint: column x - 100,
// plane row 704 - y), each sample's low byte, and its rounded gray. False, with
// nothing read, off the picture.
bool PickOnPicture(const PlaneView& planes, int x, int y, UniRgb& colour, int& gray);

inline constexpr int UniArrowStep = 8;

// A click at x on the grey range bar's row (bar x 24 .. 76, arrows at 2 and
// 78): x 3-11 lo - 8 (not below 0), 13-21 lo + 8 (not past hi), 25-75 lo or
// hi (whichever side of the middle m = (lo + hi) * 52 / 510 + 24 the click
// lies) := (x - 24) * 255 / 52, 79-87 hi - 8 (not below lo), 89-97 hi + 8
// (not past 255). False when x hits none of these.
bool GrayBarClick(int x, int& lo, int& hi);

// A click at x on a new-colour bar's row: x 25-75 v := (x - 24) * 255 / 52,
// 79-87 v - 8 (not below 0), 89-97 v + 8 (not past 255). False otherwise.
bool ChannelBarClick(int x, int& value);

// The columns a range bar at x 24 fills: from 24 + lo * 52 / 256 to
// 24 + hi * 52 / 256 (false when lo > hi: nothing).
bool RangeBarSpan(int lo, int hi, int& from, int& to);
