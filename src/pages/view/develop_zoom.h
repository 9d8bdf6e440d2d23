// The digital development of the DEVELOP page: the view area enlarged by its
// scale to 960 x 640 with the bilinear zoom and the grid smoothing schedule,
// or, at x1, copied as it is. Pure functions over byte planes; no drawing.
//
// The steps work on DevelopPlanes, three byte planes of 960 x 672 (blue,
// green, red; row 0 at the bottom), the canvas of the development:
//   CopyViewArea   the view area of WorkPlanes into a w x h source
//   ZoomNearest    white, then each source pixel as an S x S block
//   WhiteMargin    white rows and columns of width m along the four sides
//   ZoomBilinear   each source pixel's S x S block blended with its right,
//                  upper and upper-right neighbours, shifted by a - 1
//   Regrid         re-interpolation on a grid of spacing G from (o, o)
//   LiftRows       the lowest n rows moved to the top, white below
// DevelopViewArea runs them in the order of the development and writes the
// result into the canvas bytes.
//
// A neighbour beyond the view area (x + 1 = w or y + 1 = h) is the area's own
// last column or row, and a corner beyond the canvas (row 672, column 960) is
// its last row or column: every pixel of the result depends on the view area
// only, and nothing is read or written outside the planes.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "image/planes.h"
#include "pages/view/view_area.h"

struct DevelopPlanes {
  static constexpr int Width = Stride;
  static constexpr int Height = CanvasRows;
  std::array<std::vector<std::uint8_t>, 3> plane;  // Width * Height each
  DevelopPlanes();
  std::uint8_t* Row(int k, int row) { return plane[static_cast<std::size_t>(k)].data() + static_cast<std::size_t>(row) * Width; }
  const std::uint8_t* Row(int k, int row) const {
    return plane[static_cast<std::size_t>(k)].data() + static_cast<std::size_t>(row) * Width;
  }
};

// The view area as three w x h byte planes (low byte of each sample).
struct AreaSource {
  int width = 0, height = 0;
  std::array<std::vector<std::uint8_t>, 3> plane;
  std::uint8_t At(int k, int row, int column) const {
    return plane[static_cast<std::size_t>(k)][static_cast<std::size_t>(row) * width + column];
  }
};

AreaSource CopyViewArea(const PlaneView& planes, ViewRect area);
void ZoomNearest(DevelopPlanes& b, const AreaSource& source, int scale);
void WhiteMargin(DevelopPlanes& b, int scale, const AreaSource& source, int margin);
void ZoomBilinear(DevelopPlanes& b, const AreaSource& source, int scale);
// Reads `from` (the previous pass), writes `to`: corners kept, the rest of
// each cell blended from its four corners; pixels in no cell copied.
void Regrid(const DevelopPlanes& from, DevelopPlanes& to, int grid, int origin);
void LiftRows(DevelopPlanes& b, int rows);

// The margin of a scale: S / 2, and 2 for S = 2.
int DevelopMargin(int scale);

// The whole development: the view area `area` of `planes` at `scale` into
// the 960 x 672 canvas bytes (bottom-up blue, green, red). liftRows > 0 lifts
// that many rows to the top (640 for S > 1; the file height at x1 when the
// lift is due; 0 for none). `work` is scratch space (kept between calls).
void DevelopViewArea(const PlaneView& planes, ViewRect area, int scale, int liftRows, std::uint8_t* canvas,
                     std::array<DevelopPlanes, 2>& work);
