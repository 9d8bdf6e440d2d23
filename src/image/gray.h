// The one gray (luma) rule of the program: 0.299 red + 0.587 green +
// 0.114 blue, worked exactly in thousandths so that no neutral grey loses a
// level to binary rounding (128,128,128 is 128, not 127). Every page, the
// engine and the tools take gray from here.
#pragma once

#include <cstdint>

// (299 R + 587 G + 114 B) / 1000, truncated toward zero. 64-bit, so samples
// of any size a plane may hold (negative ones included) are exact.
constexpr std::int64_t GrayTruncated(std::int64_t red, std::int64_t green, std::int64_t blue) {
  return (299 * red + 587 * green + 114 * blue) / 1000;
}

// The same gray rounded (the design's "+ 0.5 before truncation"):
// (299 R + 587 G + 114 B + 500) / 1000, truncated toward zero.
constexpr std::int64_t GrayRounded(std::int64_t red, std::int64_t green, std::int64_t blue) {
  return (299 * red + 587 * green + 114 * blue + 500) / 1000;
}

// Byte forms for the common case of 0..255 samples.
constexpr int GrayOf(int red, int green, int blue) { return (299 * red + 587 * green + 114 * blue) / 1000; }
constexpr int RoundedGrayOf(int red, int green, int blue) {
  return (299 * red + 587 * green + 114 * blue + 500) / 1000;
}

// The same in unsigned 32-bit lanes, for loops the compiler turns into
// vector code; samples must be 0..255 (then nothing overflows).
// GraySumOfLanes is the thousandfold gray before the division, for tests
// against a range of grays worked on the same scale.
constexpr std::uint32_t GraySumOfLanes(std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
  return 299u * red + 587u * green + 114u * blue;
}
constexpr std::uint32_t GrayOfLanes(std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
  return GraySumOfLanes(red, green, blue) / 1000u;
}
constexpr std::uint32_t RoundedGrayOfLanes(std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
  return (GraySumOfLanes(red, green, blue) + 500u) / 1000u;
}

static_assert(GrayOf(128, 128, 128) == 128);
static_assert(GrayOfLanes(255, 255, 255) == 255 && RoundedGrayOfLanes(0, 5, 0) == 3);
static_assert(GrayOf(255, 255, 255) == 255);
static_assert(RoundedGrayOf(0, 0, 1) == 0 && RoundedGrayOf(0, 5, 0) == 3);
