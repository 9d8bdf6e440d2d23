// The row-by-row Vantor Eye pass of the tone pages, with its progress.
//
// [SECTION] Canvas rows
// [SECTION] The pass

#include <algorithm>

#include "pages/kit/page_steps.h"
#include "pages/kit/step_list.h"
#include "image/planes.h"
#include "pages/tone/tone_pages.h"
#include "platform/window.h"

namespace {

constexpr Rgb ProgressGrey{200, 200, 200};
constexpr int ShowEvery = 64;
// Blind mode draws a line per row; the screen is brought up to date every
// few lines so that showing the lines does not cost more than the pass.
constexpr int BlindPresentEvery = 16;

// [SECTION] Canvas rows

// Plane rows fromRow <= row < toRow (clipped to the canvas) into Canvas, low
// byte of each sample, as CanvasFromPlanes does for the whole canvas.
void CanvasRowsFromPlanes(int fromRow, int toRow) {
  const int first = std::max(0, fromRow);
  const int last = std::min(CanvasRows, toRow);
  for (int row = first; row < last; ++row) {
    const std::size_t start = static_cast<std::size_t>(row) * Stride;
    std::uint8_t* out = Canvas.data() + 3 * start;
    for (std::size_t i = start; i < start + Stride; ++i, out += 3) {
      out[0] = static_cast<std::uint8_t>(WorkPlanes[0][i] & 0xFFu);
      out[1] = static_cast<std::uint8_t>(WorkPlanes[1][i] & 0xFFu);
      out[2] = static_cast<std::uint8_t>(WorkPlanes[2][i] & 0xFFu);
    }
  }
}

}  // namespace

// [SECTION] The pass

void RunEyePassRows(Surface& screen, const EyeStep& step, bool blind, int firstRow, int lastRow, PassPresents presents) {
  const int n = WindowOfHornKey(step.hornKey);
  SaveToInner(Stride, CanvasRows);
  NoteInnerSet();  // the pass's source: the picture before it
  ShowCanvasNow();
  // Rows >= done have been computed. Rows are independent, so they are computed in bands
  // just before the canvas is shown, which gives what a row-by-row loop shows.
  int done = firstRow + 1;
  int linesSincePresent = 0;
  // The first show copies the whole canvas (the white frame is written with
  // the first band); after it the planes change only in the rows of each new
  // band, so copying those keeps the canvas equal to the planes.
  bool canvasInStep = false;
  for (int row = firstRow; row >= lastRow; --row) {
    const bool showPoint = row % ShowEvery == 0;
    // Rows above the canvas (an area-eye band reaching past the top) have no
    // line on the picture.
    const bool line = row >= 33 && row <= CanvasRows && (blind || showPoint);
    bool present = false;
    if (!blind && showPoint) {
      VantorEyeRows(row + 1, done, n, step.settings);
      if (canvasInStep) {
        CanvasRowsFromPlanes(row + 1, done);
      } else {
        CanvasFromPlanes(Canvas.data(), Stride, CanvasRows);
        canvasInStep = true;
      }
      done = row + 1;
      screen.BlitBottomUp(Canvas.data(), Stride, CanvasRows, 100, 32);
      if (presents == PassPresents::ShowThenLine) {
        MainWindow().Present();
      } else {
        present = true;  // with the row's line, one present a show
      }
    }
    if (line) {
      const int y = CanvasRows + 32 - row;
      screen.Line(Pen{ProgressGrey}, 100 + n, y, 100 + Stride - n, y);
      if (++linesSincePresent >= (blind ? BlindPresentEvery : 1)) present = true;
    }
    if (present) {
      MainWindow().Present();
      linesSincePresent = 0;
    }
  }
  // The rows still to do, the last row included, so that every row of the
  // picture is processed; then the planes go to the canvas once more.
  VantorEyeRows(lastRow, done, n, step.settings);
  if (canvasInStep) {
    CanvasRowsFromPlanes(lastRow, done);
  } else {
    CanvasFromPlanes(Canvas.data(), Stride, CanvasRows);
  }
  ShowCanvasNow();
}

void RunEyePass(Surface& screen, const EyeStep& step, bool blind) {
  RunEyePassRows(screen, step, blind, CanvasRows, CanvasRows - ShownHeight, PassPresents::ShowThenLine);
}
