// Channel planes, the inner memory and the display canvas.
//
// The picture in hand is held twice as three planes of 32-bit samples (plane 0
// blue, 1 green, 2 red): WorkPlanes, the current image every page works on,
// and InnerPlanes, the source copy a page that recomputes at every paint
// starts again from. Canvas is the 960 x 672 bottom-up 24-bit display bitmap.
// Index of column c in plane row r is r * Stride + c; plane row 0 is the
// BOTTOM row of the picture.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

inline constexpr int Stride = 960;       // row length of Canvas and the planes
inline constexpr int CanvasRows = 672;   // rows of Canvas and the planes
inline constexpr int PlaneCapacity = 1024000;  // room for 1280 x 800 samples
inline constexpr int CanvasByteCount = Stride * CanvasRows * 3;  // 1,935,360

using Plane = std::array<std::uint32_t, PlaneCapacity>;
using PlaneSet = std::array<Plane, 3>;
using CanvasBuffer = std::array<std::uint8_t, CanvasByteCount>;

extern PlaneSet WorkPlanes;    // the current image
extern PlaneSet InnerPlanes;   // the inner memory
extern CanvasBuffer Canvas;    // rebuilt at every paint

// Size of the picture file as read at the last paint, and the part of Canvas
// that holds the picture in hand: min(file size, 960 x 672) when the picture
// is taken from its file, the area a page's result covers when that result
// becomes the picture in hand (a development, a work file).
extern int FileWidth;
extern int FileHeight;
// The picture in hand's part of the canvas, read everywhere and written only
// through SetShownArea.
extern const int& ShownWidth;
extern const int& ShownHeight;
void SetShownArea(int width, int height);

// Where the canvas is shown in the client area: its top-left pixel at
// (ImageLeft, ImageTop), so the image area is x 100 .. 1059, y 32 .. 703.
inline constexpr int ImageLeft = 100;
inline constexpr int ImageTop = 32;

// The pixel under a client point, as every page takes it for a click (a
// pick, a brush centre, a local-contrast point, a polygon point): canvas
// column x - 100 and plane row 704 - y. The one rule of the program.
struct CanvasPixel {
  int column = 0;
  int row = 0;
  friend bool operator==(const CanvasPixel&, const CanvasPixel&) = default;
};
constexpr CanvasPixel PixelUnderPoint(int x, int y) {
  return CanvasPixel{x - ImageLeft, ImageTop + CanvasRows - y};
}

// A rectangle of the canvas: columns [left, right) and plane rows [bottom, top).
struct CanvasArea {
  int left = 0, bottom = 0, right = Stride, top = CanvasRows;
  constexpr bool Contains(CanvasPixel p) const {
    return left <= p.column && p.column < right && bottom <= p.row && p.row < top;
  }
  friend bool operator==(const CanvasArea&, const CanvasArea&) = default;
};
inline constexpr CanvasArea WholeCanvas{};
// The picture in hand's part of the canvas: its top-left ShownWidth x
// ShownHeight. Marks, brush strokes and fixes stay inside it.
CanvasArea PictureArea();
// The picture in hand is taken from its file again (opened, or taken into
// the planes by TOP): its area is min(file size, 960 x 672) once more.
void ShowPictureFileArea();

// A view of three planes of any size: the program's planes are 960 x 672 views
// of the static arrays; the batch tool makes views of pictures of any size.
struct PlaneView {
  std::array<std::uint32_t*, 3> plane{};
  int stride = 0;  // samples per row
  int rows = 0;    // rows in use
  std::uint32_t& at(int k, int row, int column) const {
    return plane[static_cast<std::size_t>(k)][static_cast<std::size_t>(row) * static_cast<std::size_t>(stride) +
                                              static_cast<std::size_t>(column)];
  }
};

PlaneView WorkView();   // WorkPlanes as a Stride x CanvasRows view
PlaneView InnerView();  // InnerPlanes likewise

// The copy routines. Each walks rows 0..rows-1 and columns 0..columns-1.
// Rows of bytes (blue, green, red; rowBytes apart, as a BMP or the canvas
// holds them) into rows 0..count-1 of the planes, and the planes' low bytes
// back into such rows, a row's bytes past 3 * columns set to 0.
void PlanesFromRows(const std::uint8_t* rows, std::size_t rowBytes, int columns, int count, const PlaneView& target);
void RowsFromPlanes(const PlaneView& source, int columns, int count, std::uint8_t* rows, std::size_t rowBytes);
void PlanesFromCanvas(const std::uint8_t* canvas, int columns, int rows);  // Canvas -> WorkPlanes
// The same into any planes (rows of the canvas are always Stride pixels).
void PlanesFromCanvasInto(const PlaneView& target, const std::uint8_t* canvas, int columns, int rows);
void CanvasFromPlanes(std::uint8_t* canvas, int columns, int rows);        // WorkPlanes -> Canvas, low byte
void InnerFromCanvas(const std::uint8_t* canvas, int columns, int rows);   // Canvas -> InnerPlanes
void SaveToInner(int columns, int rows);                                    // WorkPlanes -> InnerPlanes
void RestoreFromInner(int columns, int rows);                               // InnerPlanes -> WorkPlanes

// Paints white the part of the canvas that a picture of fileWidth x fileHeight
// placed at the top left does not cover: plane rows 0 .. height - 1 -
// fileHeight and columns fileWidth .. width - 1. The picture's own pixels stay.
void WhitenOutside(std::uint8_t* canvas, int fileWidth, int fileHeight, int width, int height);

// ---- The edges of a whole picture.

// How the steps that read a neighbourhood (the Vantor Eye pass, the outline
// detectors, the local contrast) meet a picture's edges. On the canvas they
// leave its border as the pages do (AsCanvas: the eye's white frame, no outline
// within the detector's reach of the edge, the local contrast's window cut
// at the edge); a whole picture is worked to its border (Extend), the
// window's samples beyond the picture taken from the nearest edge pixel.
enum class Edges { Extend, AsCanvas };

// Planes of width x height with `pad` samples more on every side, copies of
// the nearest edge sample: Inside() views the picture itself (its row -1 and
// column -1 lie in memory), All() the padded whole from its first sample.
struct EdgeExtendedPlanes {
  int width = 0, height = 0, pad = 0;
  std::array<std::vector<std::uint32_t>, 3> plane;
  PlaneView All();
  PlaneView Inside();
};
EdgeExtendedPlanes EdgeExtended(const PlaneView& planes, int width, int height, int pad);
// The `pad` samples before and after each of `count` rows of a view (whose
// row's column -pad .. width + pad - 1 lie in memory) become copies of the
// row's first and last sample.
void ExtendRowEnds(const PlaneView& rows, int width, int count, int pad);
