// Samples kept compressed, as the history of changes keeps the planes, the
// inner memory and the brush mask: each row as its differences from the
// sample to its left (a photograph's neighbours are alike), compressed with
// zstd. Planes whose samples all fit in a byte are kept a byte a sample;
// others (a page may leave samples beyond 255) four bytes a sample, as they
// are. Unpacking gives the samples back exactly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "image/planes.h"

struct PackedSamples {
  std::vector<std::uint8_t> bytes;  // compressed
  int width = 0, rows = 0, planes = 0;
  bool wide = false;  // four bytes a sample
};

// width x rows of each of the three planes of `view`.
PackedSamples PackPlanes(const PlaneView& view, int width, int rows);
// Back into the planes of `view` (of at least width x rows). False when the
// bytes are not what PackPlanes made.
bool UnpackPlanes(const PackedSamples& packed, const PlaneView& view);

// One plane of bytes, rows of `width`.
PackedSamples PackBytes(std::span<const std::uint8_t> samples, int width, int rows);
bool UnpackBytes(const PackedSamples& packed, std::span<std::uint8_t> samples);
