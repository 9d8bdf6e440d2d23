// The literal forms of the view pages' pixel work, written as designed: the
// reference the fast forms in src/pages/view and src/pages/gamon are checked
// against (tests) and measured beside (bench/view_bench.cpp).
#pragma once

#include <array>
#include <cstdint>

#include "image/planes.h"
#include "ops/colour_swap.h"
#include "pages/view/view_area.h"

// The development on the canvas bytes B and the planes P (both 960 x 672),
// step by step: CopyViewArea, PlanesFromCanvas, white, ZoomNearest, margin,
// ZoomBilinear and the Regrids in doubles (each Regrid after a
// PlanesFromCanvas), margin, LiftRows. A neighbour beyond the area is its
// last row or column; a corner beyond the canvas its last row or column.
void LiteralDevelop(const PlaneView& planes, ViewRect area, int scale, int liftRows, std::uint8_t* canvas);

// The swap of a mode, pixel by pixel through the mode table: the planes'
// low bytes through the mode into width x height of the canvas bytes
// (`canvasStride` pixels a row).
void LiteralSwap(const PlaneView& planes, std::uint8_t* canvas, int canvasStride, int width, int height,
                 const SwapSettings& settings);

// The GAMON tables of a window, pixel by pixel (gray by the one gray rule,
// every index clamped to 0..255).
struct LiteralGamonTables {
  std::array<std::array<std::array<std::uint32_t, 256>, 256>, 3> density{};  // [channel][gray][value]
  std::array<std::array<std::uint32_t, 256>, 4> histogram{};                  // blue, green, red, gray
};
void LiteralGamonCount(const PlaneView& planes, ViewRect window, LiteralGamonTables& tables);
