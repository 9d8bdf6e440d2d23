// The TOP page, run whole on the headless backend: the one-click Vantor Eye
// pass and "save KEEP0" against the engine's own result, the live progress
// and blind mode as the window shows them, a picture shorter than the
// canvas, the level line, the colour graph and the vertical line, and two
// golden screens.

#include <gtest/gtest.h>

#include "pages/tone/tone_pages.h"

#include <cstdlib>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "image/bmp_files.h"
#include "image/planes.h"
#include "pages/tone/vantor_eye.h"
#include "platform/surface.h"
#include "platform/window.h"
#include "support/golden.h"
#include "support/program_session.h"

namespace {

// Client positions of the keys used here.
constexpr int GrayX = 70, GrayY = 184;
constexpr int VerticalX = 30, VerticalY = 210;
constexpr int FKeyX = 24, FKeyY = 370;
constexpr int BlindX = 30, BlindY = 422;
constexpr int SaveKeepX = 30, SaveKeepY = 500;

constexpr int PassWindow = 16;  // the F key
constexpr Rgb ProgressGrey{200, 200, 200};
constexpr std::size_t RowBytes = static_cast<std::size_t>(Stride) * 3;

// A picture with no pixel of the progress grey (blue stays below 180).
Rgb Varied(int x, int y) {
  return Rgb{static_cast<std::uint8_t>((x * 5 + y * 3) % 256), static_cast<std::uint8_t>((x * 2 + y * 7) % 256),
             static_cast<std::uint8_t>((x * x / 7 + y) % 180)};
}
Rgb WorkedExampleFlat(int, int) { return Rgb{140, 120, 100}; }
Rgb GraphFlat(int, int) { return Rgb{200, 100, 50}; }  // gray trunc(124.2) = 124

using CanvasBytesVector = std::vector<std::uint8_t>;  // bottom-up blue, green, red, 960 x 672

// The canvas as the paint places a width x height picture: its top-left part
// from the top of the canvas down, the rest white.
CanvasBytesVector PlacedCanvas(Rgb (*colour)(int, int), int width, int height) {
  CanvasBytesVector canvas(CanvasByteCount, 0);
  for (int y = 0; y < std::min(height, CanvasRows); ++y) {
    std::uint8_t* row = canvas.data() + static_cast<std::size_t>(CanvasRows - 1 - y) * RowBytes;
    for (int x = 0; x < std::min(width, Stride); ++x) {
      const Rgb c = colour(x, y);
      row[3 * x] = c.b;
      row[3 * x + 1] = c.g;
      row[3 * x + 2] = c.r;
    }
  }
  WhitenOutside(canvas.data(), width, height, Stride, CanvasRows);
  return canvas;
}

// Three planes of their own, filled from a canvas, and back.
struct OwnPlanes {
  std::array<std::vector<std::uint32_t>, 3> plane;
  explicit OwnPlanes(const CanvasBytesVector& canvas) {
    for (std::size_t k = 0; k < 3; ++k) {
      plane[k].resize(static_cast<std::size_t>(Stride) * CanvasRows);
      for (std::size_t i = 0; i < plane[k].size(); ++i) plane[k][i] = canvas[3 * i + k];
    }
  }
  PlaneView View() { return PlaneView{{plane[0].data(), plane[1].data(), plane[2].data()}, Stride, CanvasRows}; }
  CanvasBytesVector Canvas() const {
    CanvasBytesVector canvas(CanvasByteCount);
    for (std::size_t k = 0; k < 3; ++k) {
      for (std::size_t i = 0; i < plane[k].size(); ++i) canvas[3 * i + k] = static_cast<std::uint8_t>(plane[k][i]);
    }
    return canvas;
  }
};

// What the page's pass must give: every row from the top of the canvas down
// to CanvasRows - height is run through the engine with the page's values
// (both mode, n 16, sun glass 2, reference 0, 0, 0), except that the last
// row of the loop is taken as it stood before its own processing; then the
// white frame.
CanvasBytesVector ExpectedPass(const CanvasBytesVector& placed, int height) {
  OwnPlanes source(placed);
  OwnPlanes target(placed);
  const int lastRow = CanvasRows - std::min(height, CanvasRows);
  VantorEyeRowsOn(source.View(), target.View(), Stride, CanvasRows, PassWindow, EyeParameters{}, lastRow + 1,
                  CanvasRows + 1, 1);
  return target.Canvas();
}

// The placed picture with the pass's white frame and nothing computed: what
// the rows not yet reached show once the first band has been processed.
CanvasBytesVector FramedOriginal(const CanvasBytesVector& placed) {
  OwnPlanes planes(placed);
  WriteEyeFrame(planes.View(), Stride, CanvasRows, PassWindow);
  return planes.Canvas();
}

// The keep file a canvas gives (view scale 1 in the first reserved field).
std::vector<std::uint8_t> KeepFileOf(const CanvasBytesVector& canvas) {
  return EncodeBmp(Stride, CanvasRows, 1, [&](int row, std::uint8_t* out) {
    std::copy_n(canvas.data() + static_cast<std::size_t>(row) * RowBytes, RowBytes, out);
  });
}

// Rows of a shown screen (1100 x 840 top-down RGB).
const std::uint8_t* ShownPixel(const std::vector<std::uint8_t>& shown, int x, int y) {
  return shown.data() + (static_cast<std::size_t>(y) * Surface::Width + static_cast<std::size_t>(x)) * 3;
}
bool ShownIs(const std::vector<std::uint8_t>& shown, int x, int y, Rgb c) {
  const std::uint8_t* p = ShownPixel(shown, x, y);
  return p[0] == c.r && p[1] == c.g && p[2] == c.b;
}
// The image-area pixels of client row y equal canvas row 703 - y, except
// columns skipFrom <= x < skipTo.
bool ShownRowIs(const std::vector<std::uint8_t>& shown, int y, const CanvasBytesVector& canvas, int skipFrom = 0,
                int skipTo = 0) {
  const std::uint8_t* row = canvas.data() + static_cast<std::size_t>(CanvasRows + 31 - y) * RowBytes;
  for (int column = 0; column < Stride; ++column) {
    const int x = 100 + column;
    if (skipFrom <= x && x < skipTo) continue;
    if (!ShownIs(shown, x, y, Rgb{row[3 * column + 2], row[3 * column + 1], row[3 * column]})) return false;
  }
  return true;
}
// A progress line covers x = 100 + n .. 100 + Stride - n - 1 of its row.
constexpr int LineFrom = 100 + PassWindow;
constexpr int LineTo = 100 + Stride - PassWindow;
bool IsProgressLine(const std::vector<std::uint8_t>& shown, int y) {
  for (int x = LineFrom; x < LineTo; ++x) {
    if (!ShownIs(shown, x, y, ProgressGrey)) return false;
  }
  return true;
}
std::vector<int> ProgressLines(const std::vector<std::uint8_t>& shown) {
  std::vector<int> lines;
  for (int y = 32; y < 32 + CanvasRows; ++y) {
    if (IsProgressLine(shown, y)) lines.push_back(y);
  }
  return lines;
}

// Stands in front of the session's window and hands every Present made
// during a paint (the pass's progress shows) to a watcher.
class WatchedWindow : public Window {
 public:
  explicit WatchedWindow(HeadlessWindow& window) : window_(window) { UseWindow(this); }
  ~WatchedWindow() override { UseWindow(&window_); }
  WatchedWindow(const WatchedWindow&) = delete;
  WatchedWindow& operator=(const WatchedWindow&) = delete;

  void SetTitle(const std::string& title) override { window_.SetTitle(title); }
  void Invalidate() override { window_.Invalidate(); }
  void Present() override {
    window_.Present();
    if (onPresent) onPresent(window_.Shown());
  }
  void Destroy() override { window_.Destroy(); }

  std::function<void(const std::vector<std::uint8_t>&)> onPresent;

 private:
  HeadlessWindow& window_;
};

// The full-size varied picture and its pass result, computed once.
struct VariedCase {
  CanvasBytesVector placed = PlacedCanvas(Varied, Stride, CanvasRows);
  CanvasBytesVector result = ExpectedPass(placed, CanvasRows);
};
const VariedCase& Full() {
  static const VariedCase value;
  return value;
}

class TopPageTest : public ::testing::Test {
 protected:
  ProgramSession s;
  std::string Picture(const std::string& name, int width, int height, Rgb (*colour)(int, int)) {
    const std::string path = s.PathIn(name);
    WriteTestPicture(path, width, height, colour);
    return path;
  }
};

// ---------------------------------------------------------------------------
// The pass and KEEP0
// ---------------------------------------------------------------------------

TEST_F(TopPageTest, FWithTheGrayCurveOnRunsThePassAndKeep0HoldsItsResult) {
  s.Start(Picture("varied.bmp", Stride, CanvasRows, Varied));
  ASSERT_EQ(s.ShownCanvas(), Full().placed);

  s.Click(GrayX, GrayY);
  EXPECT_EQ(GraphChannel[3], 1);
  EXPECT_EQ(ColourGraphOn, 1);
  EXPECT_TRUE(ShownIs(s.window().Shown(), 500, CanvasRows + 32, ProgressGrey)) << "graph frame under the image";

  s.Click(FKeyX, FKeyY);
  EXPECT_EQ(GraphChannel[3], 0) << "F turns the gray curve off";
  EXPECT_EQ(ColourGraphOn, 0);
  EXPECT_TRUE(ShownIs(s.window().Shown(), 500, CanvasRows + 32, White)) << "no graph after the pass";
  EXPECT_EQ(s.ShownCanvas(), Full().result);

  s.Click(SaveKeepX, SaveKeepY);
  const std::vector<std::uint8_t> keep = FileBytes(s.PathIn("KEEP0.bmp"));
  ASSERT_EQ(keep.size(), static_cast<std::size_t>(KeepFileBytes));
  EXPECT_TRUE(keep == KeepFileOf(Full().result)) << "KEEP0.bmp differs from the engine's pass";
  // The pass ran once: the shown image is still its result, not a second pass.
  EXPECT_EQ(s.ShownCanvas(), Full().result);
}

TEST_F(TopPageTest, ThePassUsesTheReferenceColourAndLeavesAWhiteFrame) {
  s.Start(Picture("flat.bmp", Stride, CanvasRows, WorkedExampleFlat));
  // As the FILTER page would leave it: blue, green, red medians.
  ReferenceColour = {110, 118, 126};
  s.Click(FKeyX, FKeyY);
  ReferenceColour = {0, 0, 0};
  // Worked by hand: blue, green, red 100, 120, 140 about 110, 118, 126 with
  // gain 5.808 gives 91, 121, 151.
  const Rgb result{151, 121, 91};
  for (const auto& [x, y] : std::vector<std::pair<int, int>>{{109, 40}, {1051, 40}, {109, 694}, {1051, 694}, {580, 370}}) {
    EXPECT_EQ(s.Pixel(x, y), result) << x << ", " << y;
  }
  // The frame: columns 0..8 and 952..959, plane rows 0..8 and 664..671.
  for (const auto& [x, y] : std::vector<std::pair<int, int>>{{108, 370}, {1052, 370}, {580, 695}, {580, 39}, {100, 32}}) {
    EXPECT_EQ(s.Pixel(x, y), White) << x << ", " << y;
  }
}

TEST_F(TopPageTest, BlindModeHidesTheProgressAndGivesTheSameResult) {
  s.Start(Picture("varied.bmp", Stride, CanvasRows, Varied));
  s.Click(BlindX, BlindY);
  ASSERT_EQ(BlindMode, 1);

  WatchedWindow watched(s.window());
  std::size_t mostLines = 0;
  bool hidden = true;
  std::vector<std::uint8_t> last;
  watched.onPresent = [&](const std::vector<std::uint8_t>& shown) {
    // Every present before the final one shows the picture as it was, or
    // grey lines over it.
    if (!last.empty()) {
      const std::vector<int> lines = ProgressLines(last);
      mostLines = std::max(mostLines, lines.size());
      const std::set<int> lineSet(lines.begin(), lines.end());
      for (int y = 32; y < 32 + CanvasRows && hidden; ++y) {
        hidden = ShownRowIs(last, y, Full().placed, lineSet.count(y) ? LineFrom : 0, lineSet.count(y) ? LineTo : 0);
      }
    }
    last = shown;
  };
  s.Click(FKeyX, FKeyY);
  EXPECT_TRUE(hidden) << "the result showed before the pass ended";
  // A line over every row from 672 down to 33 (client y 32 .. 671), shown as they come.
  EXPECT_GE(mostLines, 600u);
  EXPECT_TRUE(ProgressLines(last).empty()) << "grey lines left on the result";
  EXPECT_EQ(s.ShownCanvas(), Full().result);

  s.Click(SaveKeepX, SaveKeepY);
  EXPECT_TRUE(FileBytes(s.PathIn("KEEP0.bmp")) == KeepFileOf(Full().result));
}

TEST_F(TopPageTest, AShortPictureShowsProgressEvery64RowsAndKeepsItsRowsBelowWhite) {
  constexpr int Height = 500;  // plane rows 172 .. 671; the loop ends at row 172
  s.Start(Picture("short.bmp", Stride, Height, Varied));
  const CanvasBytesVector placed = PlacedCanvas(Varied, Stride, Height);
  const CanvasBytesVector result = ExpectedPass(placed, Height);
  const CanvasBytesVector framed = FramedOriginal(placed);

  WatchedWindow watched(s.window());
  std::vector<int> lineRows;
  bool inStep = true;
  watched.onPresent = [&](const std::vector<std::uint8_t>& shown) {
    const std::vector<int> lines = ProgressLines(shown);
    if (lines.size() > 1) inStep = false;
    if (lines.size() != 1) return;
    // The line of row R stands at client y = 704 - R (one below where row R
    // is shown, at 703 - R): rows above R are computed, R and below wait.
    const int line = lines[0];
    lineRows.push_back(line);
    for (int y = 32; y < 32 + CanvasRows && inStep; ++y) {
      if (y < line - 1) inStep = ShownRowIs(shown, y, result);
      if (y == line - 1 || y > line) inStep = ShownRowIs(shown, y, framed);
      if (y == line) inStep = ShownRowIs(shown, y, framed, LineFrom, LineTo);
    }
  };
  s.Click(FKeyX, FKeyY);
  EXPECT_TRUE(inStep) << "a progress show did not match the rows reached";
  // Rows 640, 576, ..., 192 at client y = 704 - row.
  EXPECT_EQ(lineRows, (std::vector<int>{64, 128, 192, 256, 320, 384, 448, 512}));
  EXPECT_EQ(s.ShownCanvas(), result);

  s.Click(SaveKeepX, SaveKeepY);
  const std::vector<std::uint8_t> keep = FileBytes(s.PathIn("KEEP0.bmp"));
  ASSERT_TRUE(keep == KeepFileOf(result));
  // The bottom 173 rows of the file (the picture's own bottom row whitened
  // with those below it) are white.
  const auto firstPicked = keep.begin() + BmpHeaderBytes;
  EXPECT_TRUE(std::all_of(firstPicked, firstPicked + 173 * static_cast<long>(RowBytes),
                          [](std::uint8_t b) { return b == 255; }));
  // The first row the pass took is computed, not white.
  EXPECT_FALSE(ShownRowIs(s.window().Shown(), 703 - 173, placed));
}

// ---------------------------------------------------------------------------
// Level line, colour graph and vertical line
// ---------------------------------------------------------------------------

TEST_F(TopPageTest, TheLevelLineFollowsClicksInsideTheImageRowsOnly) {
  s.Start(Picture("varied.bmp", Stride, CanvasRows, Varied));
  s.Click(500, 33);
  EXPECT_EQ(LevelLine, 671);
  s.Click(500, 703);
  EXPECT_EQ(LevelLine, 1);
  s.Click(500, 704);  // under the image: not a level-line click
  EXPECT_EQ(LevelLine, 1);
  s.Click(100, 400);  // the image's left bound is open
  EXPECT_EQ(LevelLine, 1);
  s.Click(1059, 400);
  EXPECT_EQ(LevelLine, 304);
}

TEST_F(TopPageTest, TheColourGraphDrawsItsFrameCurveLevelAndVerticalLines) {
  constexpr int Height = 400;       // picture at client y 32 .. 431
  constexpr int Top = Height + 32;  // the graph's top edge
  constexpr int Bottom = Top + 128;
  constexpr Rgb Frame{200, 200, 200}, GrayPen{100, 100, 100}, VerticalPen{192, 192, 32};
  s.Start(Picture("flat.bmp", Stride, Height, GraphFlat));
  s.Click(GrayX, GrayY);
  s.Click(500, 132);
  ASSERT_EQ(LevelLine, 572);
  // The frame: columns 100 .. 1059, rows Top .. Bottom - 1.
  for (const auto& [x, y] : std::vector<std::pair<int, int>>{{500, Top}, {500, Bottom - 1}, {100, 500}, {1059, 500}}) {
    EXPECT_EQ(s.Pixel(x, y), Frame) << x << ", " << y;
  }
  EXPECT_EQ(s.Pixel(500, Bottom), White);
  // The gray curve of a flat row: gray 124, halved, up from the bottom.
  for (int x = 100; x < 1050; x += 7) ASSERT_EQ(s.Pixel(x, Bottom - 62), GrayPen) << x;
  EXPECT_EQ(s.Pixel(500, Bottom - 61), White);
  EXPECT_EQ(s.Pixel(500, Bottom - 63), White);
  // The level line at the click, across the image.
  EXPECT_EQ(s.Pixel(100, 132), Frame);
  EXPECT_EQ(s.Pixel(1059, 132), Frame);
  EXPECT_EQ(s.Pixel(99, 132), White);

  // The vertical line from the click down to the graph's bottom.
  s.Click(VerticalX, VerticalY);
  s.Click(400, 132);
  EXPECT_EQ(s.Pixel(400, 133), VerticalPen);
  EXPECT_EQ(s.Pixel(400, Bottom - 62), VerticalPen);
  EXPECT_EQ(s.Pixel(400, Bottom - 1), VerticalPen);
  EXPECT_EQ(s.Pixel(400, Bottom), White);

  // The gray switch off: no curve is on, so the graph is not drawn even
  // though nothing else turned it off.
  s.Click(GrayX, GrayY);
  EXPECT_EQ(ColourGraphOn, 0);
  EXPECT_EQ(s.Pixel(500, Top), White);
  EXPECT_EQ(s.Pixel(500, Bottom - 62), White);
  EXPECT_EQ(s.Pixel(400, Bottom - 30), White);
}

// ---------------------------------------------------------------------------
// Golden screens
// ---------------------------------------------------------------------------

std::string GoldenSample() {
  const std::string sample = std::string(VZ_BINARY_DIR) + "/tools/sample/golden-sample.bmp";
  const std::string tool = std::string(VZ_BINARY_DIR) + "/tools/sample/vazesample-sample " + sample;
  return std::system(tool.c_str()) == 0 ? sample : std::string();
}

TEST(TopGolden, AfterTheFPass) {
  ProgramSession s;
  const std::string sample = GoldenSample();
  ASSERT_FALSE(sample.empty());
  s.Start(sample);
  s.Click(FKeyX, FKeyY);
  EXPECT_GOLDEN("top_after_f", s.window().Shown());
}

TEST(TopGolden, WithTheColourGraphAndVerticalLine) {
  ProgramSession s;
  const std::string sample = GoldenSample();
  ASSERT_FALSE(sample.empty());
  s.Start(sample);
  s.Click(GrayX, GrayY);
  s.Click(VerticalX, VerticalY);
  s.Click(620, 420);
  EXPECT_GOLDEN("top_colour_graph", s.window().Shown());
}

}  // namespace
