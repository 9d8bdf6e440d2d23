// A step's pixel work as stages: each step kind says once, in its own file,
// which passes over the rows it makes and what each needs, and every road to
// the pixels (a page's canvas, a whole picture in memory, a large picture
// band by band) runs those same stages.
//
// A stage reads one of three ways:
//   Pixels  each pixel by itself: any band of rows, in place
//   Window  the rows and columns within `reach` of each pixel it writes
//           (the Vantor Eye pass, an outline detector)
//   Region  only the rows of one stretch of the picture, all at once (the
//           local contrast around its point)
// and may need a value of the whole picture, as the stages before it leave
// it, before its first row: the channel levels (the balances, a "levels"
// pivot) or whether any sample is lit (the light core).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "image/planes.h"
#include "ops/vantor_eye.h"

// Three planes of one picture, row 0 the bottom row, as the program's planes.
struct StepPlanes {
  int width = 0, height = 0;
  std::array<std::vector<std::uint32_t>, 3> plane;  // blue, green, red
  PlaneView View();
};

enum class WholeNeed { None, Levels, AnyLit };

struct WholeValues {
  std::array<ChannelLevel, 3> levels{};  // blue, green, red
  bool anyLit = true;
};

// Where stages work: the planes' size, the part of them that holds the
// picture (all of them at its own size, the shown part on the canvas), and
// how the neighbourhood stages meet the picture's edges.
struct StageFrame {
  int width = 0, height = 0;
  CanvasArea picture{};
  Edges edges = Edges::AsCanvas;
  int threads = 1;  // for a stage that splits its rows itself
};

// Rows first .. end - 1 of a picture.
struct RowSpan {
  int first = 0, end = 0;
};

struct Stage {
  enum class Reads { Pixels, Window, Region };
  Reads reads = Reads::Pixels;
  WholeNeed need = WholeNeed::None;
  // AnyLit: whether a sample counts as lit, by its low byte.
  std::array<bool, 256> lit{};

  // Pixels: `count` rows of frame.width samples, `rows.stride` apart, in place.
  std::function<void(const PlaneView& rows, int count, const StageFrame&, const WholeValues&)> pixels;

  // Window: the rows and columns the stage reads each side of a pixel.
  int reach = 0;
  // Worth keeping the rows it gives rather than working them again.
  bool slow = false;
  // From `window`, rows windowFirst .. windowFirst + windowRows - 1 of the
  // picture (as on the canvas cut to the picture; extended, every one of
  // them, a row beyond the picture a copy of its nearest edge row, with
  // `reach` samples before column 0 and after the last, copies of the end
  // samples), into `band`, rows first .. first + count - 1 (its row 0 is row
  // first). The window holds at least rows first - reach .. first + count -
  // 1 + reach (those that exist, as on the canvas).
  std::function<void(const PlaneView& window, int windowFirst, int windowRows, const PlaneView& band, int first,
                     int count, const StageFrame&, const WholeValues&)>
      window;

  // Region: the rows it works, and the work on them, in place (`rows` row 0
  // is row region.first of the picture).
  std::function<RowSpan(const StageFrame&)> region;
  std::function<void(const PlaneView& rows, const RowSpan& span, const StageFrame&)> regionWork;

  // The stage on the canvas, as a page paints it (the whole canvas, the
  // edges as on the canvas): the routine that paints a canvas holding the
  // planes' low bytes from the planes. Where it is set, a page draws the
  // stage with it, and it gives what the stage gives.
  std::function<void(const PlaneView& planes, std::uint8_t* canvas, int canvasStride, int width, int height,
                     const CanvasArea& picture)>
      canvas;

  // The columns a Window stage needs beyond each end of a row.
  int Pad(Edges edges) const { return reads == Reads::Window && edges == Edges::Extend ? reach : 0; }
};

// A routine that paints a canvas from the planes (bytes blue, green, red,
// bottom-up, `canvasStride` pixels a row, already holding the planes' low
// bytes), each pixel by itself.
using CanvasPainter =
    std::function<void(const PlaneView& planes, std::uint8_t* canvas, int canvasStride, int width, int height)>;
// Its stage: the planes take what it painted; on the canvas it paints.
Stage CanvasPainterStage(CanvasPainter paint);
// The stage of a routine that works the planes in place.
Stage PixelStage(std::function<void(const PlaneView& rows, int width, int count, const WholeValues&)> work,
                 WholeNeed need = WholeNeed::None);

// The planes' low bytes as a bottom-up canvas of width pixels a row, and back.
std::vector<std::uint8_t> CanvasBytesOf(const PlaneView& planes, int width, int height);
void PlanesFromCanvasBytes(const std::uint8_t* canvas, int width, int height, const PlaneView& planes);

// The whole value a stage needs, over width x height of the planes.
WholeValues WholeValuesOf(const Stage& stage, const PlaneView& planes, int width, int height);

// The stages over width x height of the planes in place, one after the
// other, each over every row at once (a Window stage reads a copy of the
// planes as the stages before it left them). The values of the last stage
// that needed the channel levels, or nothing.
std::optional<WholeValues> RunStages(std::span<const Stage> stages, const PlaneView& planes, const StageFrame& frame);
