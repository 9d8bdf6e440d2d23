#include "pages/pattern/stencil.h"

#include "image/bmp_files.h"

void ShotPattern(const PlaneView& planes, std::span<const std::uint8_t> mask, int zoneColour) {
  const auto zone = static_cast<std::uint32_t>(zoneColour);
  for (int row = 0; row < CanvasRows; ++row) {
    for (int column = 0; column < Stride; ++column) {
      if (mask[static_cast<std::size_t>(row * Stride + column)] != 0) continue;
      for (int k = 0; k < 3; ++k) planes.at(k, row, column) = zone;
    }
  }
}

void PatternFromPlanes(const PlaneView& planes, std::span<std::uint8_t> mask, int zoneColour) {
  const auto zone = static_cast<std::uint32_t>(zoneColour);
  for (int row = 0; row < CanvasRows; ++row) {
    for (int column = 0; column < Stride; ++column) {
      const bool inZone =
          planes.at(0, row, column) == zone && planes.at(1, row, column) == zone && planes.at(2, row, column) == zone;
      for (int k = 0; k < 3; ++k) planes.at(k, row, column) = inZone ? 255u : StencilGrey;
      mask[static_cast<std::size_t>(row * Stride + column)] = inZone ? 0 : 1;
    }
  }
}

std::vector<std::uint8_t> EncodePatternFile(std::span<const std::uint8_t> mask) {
  return EncodeBmp(Stride, CanvasRows, 0, [&](int row, std::uint8_t* out) {
    const std::uint8_t* flags = mask.data() + static_cast<std::size_t>(row) * Stride;
    for (int c = 0; c < Stride; ++c) {
      const auto value = static_cast<std::uint8_t>(255 - 128 * (flags[c] != 0 ? 1 : 0));
      out[3 * c] = out[3 * c + 1] = out[3 * c + 2] = value;
    }
  });
}

void StencilMaskOfCanvas(const std::uint8_t* canvas, std::span<std::uint8_t> mask, int zoneColour) {
  for (std::size_t i = 0, n = static_cast<std::size_t>(Stride) * CanvasRows; i < n; ++i) {
    const std::uint8_t* p = canvas + 3 * i;
    const bool inZone = p[0] == zoneColour && p[1] == zoneColour && p[2] == zoneColour;
    mask[i] = inZone ? 0 : 1;
  }
}
