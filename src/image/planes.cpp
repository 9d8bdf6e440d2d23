#include "image/planes.h"

#include <algorithm>

PlaneSet WorkPlanes{};
PlaneSet InnerPlanes{};
CanvasBuffer Canvas{};

int FileWidth = 0;
int FileHeight = 0;
namespace {
int ShownWidthValue = 960;
int ShownHeightValue = 672;
}  // namespace
const int& ShownWidth = ShownWidthValue;
const int& ShownHeight = ShownHeightValue;

void SetShownArea(int width, int height) {
  ShownWidthValue = width;
  ShownHeightValue = height;
}

namespace {

PlaneView ViewOf(PlaneSet& set) {
  return PlaneView{{set[0].data(), set[1].data(), set[2].data()}, Stride, CanvasRows};
}

void CopyPlanes(PlaneSet& to, const PlaneSet& from, int columns, int rows) {
  for (std::size_t k = 0; k < 3; ++k) {
    for (int row = 0; row < rows; ++row) {
      const auto first = from[k].begin() + row * Stride;
      std::copy(first, first + columns, to[k].begin() + row * Stride);
    }
  }
}

}  // namespace

PlaneView WorkView() { return ViewOf(WorkPlanes); }
PlaneView InnerView() { return ViewOf(InnerPlanes); }

// The row copies in AVX2 where the processor has it.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define VZ_ROW_CLONES __attribute__((target_clones("arch=x86-64-v3", "default")))
#else
#define VZ_ROW_CLONES
#endif

VZ_ROW_CLONES void PlanesFromRows(const std::uint8_t* rows, std::size_t rowBytes, int columns, int count,
                                  const PlaneView& target) {
  for (int row = 0; row < count; ++row) {
    const std::size_t first = static_cast<std::size_t>(row) * static_cast<std::size_t>(target.stride);
    std::uint32_t* __restrict blue = target.plane[0] + first;
    std::uint32_t* __restrict green = target.plane[1] + first;
    std::uint32_t* __restrict red = target.plane[2] + first;
    const std::uint8_t* __restrict in = rows + static_cast<std::size_t>(row) * rowBytes;
    for (std::size_t c = 0; c < static_cast<std::size_t>(columns); ++c) {
      blue[c] = in[3 * c];
      green[c] = in[3 * c + 1];
      red[c] = in[3 * c + 2];
    }
  }
}

VZ_ROW_CLONES void RowsFromPlanes(const PlaneView& source, int columns, int count, std::uint8_t* rows,
                                  std::size_t rowBytes) {
  for (int row = 0; row < count; ++row) {
    const std::size_t first = static_cast<std::size_t>(row) * static_cast<std::size_t>(source.stride);
    const std::uint32_t* __restrict blue = source.plane[0] + first;
    const std::uint32_t* __restrict green = source.plane[1] + first;
    const std::uint32_t* __restrict red = source.plane[2] + first;
    std::uint8_t* __restrict out = rows + static_cast<std::size_t>(row) * rowBytes;
    for (std::size_t c = 0; c < static_cast<std::size_t>(columns); ++c) {
      out[3 * c] = static_cast<std::uint8_t>(blue[c]);  // the low byte, not clamped
      out[3 * c + 1] = static_cast<std::uint8_t>(green[c]);
      out[3 * c + 2] = static_cast<std::uint8_t>(red[c]);
    }
    std::fill(out + 3 * static_cast<std::size_t>(columns), out + rowBytes, std::uint8_t{0});
  }
}

void PlanesFromCanvasInto(const PlaneView& target, const std::uint8_t* canvas, int columns, int rows) {
  PlanesFromRows(canvas, 3 * static_cast<std::size_t>(Stride), columns, rows, target);
}

void PlanesFromCanvas(const std::uint8_t* canvas, int columns, int rows) {
  PlanesFromCanvasInto(WorkView(), canvas, columns, rows);
}

void InnerFromCanvas(const std::uint8_t* canvas, int columns, int rows) {
  PlanesFromCanvasInto(InnerView(), canvas, columns, rows);
}

void CanvasFromPlanes(std::uint8_t* canvas, int columns, int rows) {
  const std::uint32_t* __restrict blue = WorkPlanes[0].data();
  const std::uint32_t* __restrict green = WorkPlanes[1].data();
  const std::uint32_t* __restrict red = WorkPlanes[2].data();
  for (int row = 0; row < rows; ++row) {
    const std::size_t first = static_cast<std::size_t>(row) * Stride;
    std::uint8_t* __restrict out = canvas + 3 * first;
    for (std::size_t c = 0; c < static_cast<std::size_t>(columns); ++c) {
      out[3 * c] = static_cast<std::uint8_t>(blue[first + c]);  // the low byte, not clamped
      out[3 * c + 1] = static_cast<std::uint8_t>(green[first + c]);
      out[3 * c + 2] = static_cast<std::uint8_t>(red[first + c]);
    }
  }
}

CanvasArea PictureArea() {
  const int width = std::clamp(ShownWidth, 0, Stride);
  const int height = std::clamp(ShownHeight, 0, CanvasRows);
  return CanvasArea{0, CanvasRows - height, width, CanvasRows};
}

void ShowPictureFileArea() {
  SetShownArea(std::min(FileWidth, Stride), std::min(FileHeight, CanvasRows));
}

void SaveToInner(int columns, int rows) { CopyPlanes(InnerPlanes, WorkPlanes, columns, rows); }
void RestoreFromInner(int columns, int rows) { CopyPlanes(WorkPlanes, InnerPlanes, columns, rows); }

void WhitenOutside(std::uint8_t* canvas, int fileWidth, int fileHeight, int width, int height) {
  const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
  if (fileHeight < height) {
    // The picture covers the top fileHeight rows: plane rows height -
    // fileHeight .. height - 1. Rows 0 .. height - fileHeight - 1 go white.
    const int whiteRows = height - std::max(fileHeight, 0);
    std::fill(canvas, canvas + rowBytes * static_cast<std::size_t>(whiteRows), std::uint8_t{255});
  }
  if (fileWidth < width) {
    const int firstColumn = std::max(0, fileWidth);
    for (int row = 0; row < height; ++row) {
      std::uint8_t* line = canvas + rowBytes * static_cast<std::size_t>(row);
      std::fill(line + 3 * firstColumn, line + rowBytes, std::uint8_t{255});
    }
  }
}

// ---- The edges of a whole picture.

PlaneView EdgeExtendedPlanes::All() {
  PlaneView view;
  for (std::size_t k = 0; k < 3; ++k) view.plane[k] = plane[k].data();
  view.stride = width + 2 * pad;
  view.rows = height + 2 * pad;
  return view;
}

PlaneView EdgeExtendedPlanes::Inside() {
  PlaneView view = All();
  const std::size_t first = static_cast<std::size_t>(pad) * static_cast<std::size_t>(view.stride) + pad;
  for (std::size_t k = 0; k < 3; ++k) view.plane[k] += first;
  view.rows = height;
  return view;
}

void ExtendRowEnds(const PlaneView& rows, int width, int count, int pad) {
  if (width <= 0 || pad <= 0) return;
  for (int k = 0; k < 3; ++k) {
    for (int row = 0; row < count; ++row) {
      std::uint32_t* samples = &rows.at(k, row, 0);
      std::fill(samples - pad, samples, samples[0]);
      std::fill(samples + width, samples + width + pad, samples[width - 1]);
    }
  }
}

EdgeExtendedPlanes EdgeExtended(const PlaneView& planes, int width, int height, int pad) {
  EdgeExtendedPlanes extended;
  extended.width = width;
  extended.height = height;
  extended.pad = pad;
  const std::size_t stride = static_cast<std::size_t>(width + 2 * pad);
  for (auto& p : extended.plane) p.resize(stride * static_cast<std::size_t>(height + 2 * pad));
  if (width <= 0 || height <= 0) return extended;
  const PlaneView inside = extended.Inside();
  for (int row = -pad; row < height + pad; ++row) {
    const int from = std::clamp(row, 0, height - 1);
    for (int k = 0; k < 3; ++k) std::copy_n(&planes.at(k, from, 0), width, &inside.at(k, row, 0));
  }
  ExtendRowEnds(PlaneView{{&inside.at(0, -pad, 0), &inside.at(1, -pad, 0), &inside.at(2, -pad, 0)}, inside.stride,
                          height + 2 * pad},
                width, height + 2 * pad, pad);
  return extended;
}
