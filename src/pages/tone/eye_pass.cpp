#include <algorithm>

#include "app/paint.h"
#include "image/planes.h"
#include "pages/tone/tone_pages.h"
#include "platform/window.h"

namespace {

constexpr Rgb ProgressGrey{200, 200, 200};
constexpr int ShowEvery = 64;
// Blind mode draws a line per row; the screen is brought up to date every
// few lines so that showing the lines does not cost more than the pass.
constexpr int BlindPresentEvery = 16;

}  // namespace

void RunEyePass(Surface& screen, int n, bool blind) {
  SaveToInner(Stride, CanvasRows);
  ShowCanvasNow();
  const int lastRow = CanvasRows - ShownHeight;  // the row processed last
  // Rows >= done have been computed. Rows are independent, so they are computed in bands
  // just before the canvas is shown, which gives what a row-by-row loop shows.
  int done = CanvasRows + 1;
  int linesSincePresent = 0;
  for (int row = CanvasRows; row >= lastRow; --row) {
    const bool showPoint = row % ShowEvery == 0;
    if (!blind && showPoint) {
      VantorEyeRows(row + 1, done, n);
      CanvasFromPlanes(Canvas.data(), Stride, CanvasRows);
      done = row + 1;
      ShowCanvasNow();
    }
    if (row >= 33 && (blind || showPoint)) {
      const int y = CanvasRows + 32 - row;
      screen.Line(Pen{ProgressGrey}, 100 + n, y, 100 + Stride - n, y);
      if (++linesSincePresent >= (blind ? BlindPresentEvery : 1)) {
        MainWindow().Present();
        linesSincePresent = 0;
      }
    }
  }
  // Every row but the last is taken into the result; the canvas is what the
  // planes held before the last row was processed.
  VantorEyeRows(lastRow + 1, done, n);
  CanvasFromPlanes(Canvas.data(), Stride, CanvasRows);
  ShowCanvasNow();
}
