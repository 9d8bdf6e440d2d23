// Pictures the tests make and compare: planes of their own, canvases
// (bottom-up blue, green, red, Stride pixels a row) and the files made of
// them, and the few pictures several test programs need.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "image/bmp_files.h"
#include "image/planes.h"
#include "platform/surface.h"

// How a failing check shows a colour.
inline void PrintTo(const Rgb& c, std::ostream* os) { *os << "(" << int{c.r} << ", " << int{c.g} << ", " << int{c.b} << ")"; }

// A picture of many colours and no symmetry: colour(x, y) for WriteTestPicture.
inline Rgb Varied(int x, int y) {
  return Rgb{static_cast<std::uint8_t>((x * 3 + y * 5) & 0xFF), static_cast<std::uint8_t>((x * 7) ^ y),
             static_cast<std::uint8_t>(60 + (x + 2 * y) % 150)};
}

// Three planes of their own (blue, green, red), `stride` samples a row.
struct TestPlanes {
  std::string name;
  int stride = Stride, rows = CanvasRows;
  std::array<std::vector<std::uint32_t>, 3> plane;
  explicit TestPlanes(int stride_ = Stride, int rows_ = CanvasRows, std::uint32_t fill = 0)
      : stride(stride_), rows(rows_) {
    for (auto& p : plane) p.assign(static_cast<std::size_t>(stride) * static_cast<std::size_t>(rows), fill);
  }
  PlaneView View() { return PlaneView{{plane[0].data(), plane[1].data(), plane[2].data()}, stride, rows}; }
  std::uint32_t& At(int k, int row, int column) {
    return plane[static_cast<std::size_t>(k)][static_cast<std::size_t>(row) * static_cast<std::size_t>(stride) +
                                              static_cast<std::size_t>(column)];
  }
  void Set(int row, int column, int red, int green, int blue) {
    At(0, row, column) = static_cast<std::uint32_t>(blue);
    At(1, row, column) = static_cast<std::uint32_t>(green);
    At(2, row, column) = static_cast<std::uint32_t>(red);
  }
  // The low bytes of a pixel.
  Rgb PixelAt(int row, int column) {
    return Rgb{static_cast<std::uint8_t>(At(2, row, column)), static_cast<std::uint8_t>(At(1, row, column)),
               static_cast<std::uint8_t>(At(0, row, column))};
  }
  // The planes' low bytes as a canvas.
  std::vector<std::uint8_t> Canvas() const {
    std::vector<std::uint8_t> canvas(plane[0].size() * 3);
    for (std::size_t i = 0; i < canvas.size(); ++i) canvas[i] = static_cast<std::uint8_t>(plane[i % 3][i / 3]);
    return canvas;
  }
};

// The planes a 960 x 672 canvas (or a keep file's pixel bytes) fills.
inline TestPlanes PlanesOfCanvas(const std::uint8_t* canvas) {
  TestPlanes t;
  for (std::size_t i = 0; i < static_cast<std::size_t>(CanvasByteCount); ++i) t.plane[i % 3][i / 3] = canvas[i];
  return t;
}
inline TestPlanes PlanesOfCanvas(const std::vector<std::uint8_t>& canvas) { return PlanesOfCanvas(canvas.data()); }

inline Rgb CanvasRgb(const std::vector<std::uint8_t>& canvas, int row, int column) {
  const std::size_t i = (static_cast<std::size_t>(row) * Stride + static_cast<std::size_t>(column)) * 3;
  return Rgb{canvas[i + 2], canvas[i + 1], canvas[i]};
}
inline void SetCanvasRgb(std::vector<std::uint8_t>& canvas, int row, int column, Rgb c) {
  const std::size_t i = (static_cast<std::size_t>(row) * Stride + static_cast<std::size_t>(column)) * 3;
  canvas[i] = c.b;
  canvas[i + 1] = c.g;
  canvas[i + 2] = c.r;
}

// The canvas of a width x height picture placed as the program places it:
// colour(x, y) (y from the top) at the top left, white where it does not reach.
inline std::vector<std::uint8_t> PlacedCanvas(Rgb (*colour)(int x, int y), int width = Stride,
                                              int height = CanvasRows) {
  std::vector<std::uint8_t> canvas(CanvasByteCount, 255);
  for (int y = 0; y < std::min(height, CanvasRows); ++y)
    for (int x = 0; x < std::min(width, Stride); ++x) SetCanvasRgb(canvas, CanvasRows - 1 - y, x, colour(x, y));
  return canvas;
}

// Every pixel of one colour in a canvas replaced by another.
inline std::vector<std::uint8_t> Replaced(std::vector<std::uint8_t> canvas, Rgb from, Rgb to) {
  for (int row = 0; row < CanvasRows; ++row)
    for (int column = 0; column < Stride; ++column)
      if (CanvasRgb(canvas, row, column) == from) SetCanvasRgb(canvas, row, column, to);
  return canvas;
}

// The file "Save" writes of a canvas showing a width x height picture: its
// top rows, the picture's bottom row first.
inline std::vector<std::uint8_t> SavedBmpOf(const std::vector<std::uint8_t>& canvas, int width, int height) {
  return EncodeBmp(width, height, 0, [&](int row, std::uint8_t* out) {
    const auto from = canvas.begin() + static_cast<std::ptrdiff_t>(CanvasRows - height + row) * Stride * 3;
    std::copy(from, from + 3 * width, out);
  });
}

// A BMP stored top-down (negative height, rows reversed) from a bottom-up one.
inline std::vector<std::uint8_t> TopDownBmp(const std::vector<std::uint8_t>& bottomUp) {
  const auto field = [&](std::size_t at) {
    return static_cast<int>(bottomUp[at] | bottomUp[at + 1] << 8 | bottomUp[at + 2] << 16 | bottomUp[at + 3] << 24);
  };
  const int width = field(18), height = field(22);
  const auto rowBytes = static_cast<std::ptrdiff_t>(BmpRowBytes(width));
  std::vector<std::uint8_t> topDown(bottomUp.begin(), bottomUp.begin() + BmpHeaderBytes);
  const auto negative = static_cast<std::uint32_t>(-height);
  for (std::size_t k = 0; k < 4; ++k) topDown[22 + k] = static_cast<std::uint8_t>(negative >> (8 * k));
  for (int row = height - 1; row >= 0; --row) {
    const auto start = bottomUp.begin() + BmpHeaderBytes + rowBytes * row;
    topDown.insert(topDown.end(), start, start + rowBytes);
  }
  return topDown;
}

// An 8-bit run-length coded BMP of 1,124 bytes declaring 14000 x 14000
// pixels whose codes end at once (an end-of-bitmap code): far too small for
// the rows it declares.
inline std::vector<std::uint8_t> SmallRleBmp() {
  const auto header = BmpHeader(14000, 14000, 0);
  std::vector<std::uint8_t> file(1124, 0);
  std::copy(header.begin(), header.end(), file.begin());
  file[28] = 8;     // bits a pixel
  file[30] = 1;     // run-length coded, 8 bits
  file[10] = 0x36;  // the codes start at byte 1078, after a palette of 256 entries
  file[11] = 0x04;
  file[1079] = 1;   // 0, 1: end of bitmap
  return file;
}
