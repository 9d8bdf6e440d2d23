#include "pages/pattern/stencil.h"

#include "image/bmp_files.h"

namespace {

bool MaskHolds(std::size_t maskSize, int width, int height) {
  return width > 0 && height > 0 && maskSize >= static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
}

}  // namespace

void ShotPattern(const PlaneView& planes, std::span<const std::uint8_t> mask, int width, int height,
                 const StencilSettings& settings) {
  if (!MaskHolds(mask.size(), width, height)) return;
  const auto zone = static_cast<std::uint32_t>(settings.zoneColour);
  for (int row = 0; row < height; ++row) {
    const std::uint8_t* flags = mask.data() + static_cast<std::size_t>(row) * static_cast<std::size_t>(width);
    for (int column = 0; column < width; ++column) {
      if (flags[column] != 0) continue;
      for (int k = 0; k < 3; ++k) planes.at(k, row, column) = zone;
    }
  }
}

void PatternFromPlanes(const PlaneView& planes, std::span<std::uint8_t> mask, int width, int height,
                       const StencilSettings& settings) {
  if (!MaskHolds(mask.size(), width, height)) return;
  const auto zone = static_cast<std::uint32_t>(settings.zoneColour);
  for (int row = 0; row < height; ++row) {
    std::uint8_t* flags = mask.data() + static_cast<std::size_t>(row) * static_cast<std::size_t>(width);
    for (int column = 0; column < width; ++column) {
      const bool inZone =
          planes.at(0, row, column) == zone && planes.at(1, row, column) == zone && planes.at(2, row, column) == zone;
      for (int k = 0; k < 3; ++k) planes.at(k, row, column) = inZone ? 255u : StencilGrey;
      flags[column] = inZone ? 0 : 1;
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

void StencilMaskOfCanvas(const std::uint8_t* canvas, int canvasStride, std::span<std::uint8_t> mask, int width,
                         int height, const StencilSettings& settings) {
  if (!MaskHolds(mask.size(), width, height)) return;
  const int zone = settings.zoneColour;
  for (int row = 0; row < height; ++row) {
    const std::uint8_t* p = canvas + static_cast<std::size_t>(row) * static_cast<std::size_t>(canvasStride) * 3;
    std::uint8_t* flags = mask.data() + static_cast<std::size_t>(row) * static_cast<std::size_t>(width);
    for (int column = 0; column < width; ++column, p += 3) {
      const bool inZone = p[0] == zone && p[1] == zone && p[2] == zone;
      flags[column] = inZone ? 0 : 1;
    }
  }
}
