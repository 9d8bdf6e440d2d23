// The TOP and VANTOR EYE pages, run whole on the headless backend, against
// the engine's own results.
//
// [SECTION] The pass and KEEP0
// [SECTION] Level line, colour graph and vertical line
// [SECTION] Golden screens
// [SECTION] The VANTOR EYE page

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "ops/vantor_eye.h"
#include "pages/kit/page_state.h"
#include "pages/tone/eye_page.h"
#include "pages/tone/tone_pages.h"
#include "pages/tone/tone_state.h"
#include "platform/window.h"
#include "support/golden.h"
#include "support/program_session.h"

namespace {

constexpr int PassWindow = 16;  // the F key
constexpr Rgb ProgressGrey{200, 200, 200};
constexpr std::size_t RowBytes = static_cast<std::size_t>(Stride) * 3;

// A picture with no pixel of the progress grey (blue stays below 180).
Rgb Unprogressed(int x, int y) {
  return Rgb{static_cast<std::uint8_t>((x * 5 + y * 3) % 256), static_cast<std::uint8_t>((x * 2 + y * 7) % 256),
             static_cast<std::uint8_t>((x * x / 7 + y) % 180)};
}

using Bytes = std::vector<std::uint8_t>;  // a canvas (bottom-up BGR, 960 x 672) or a shown screen

// The engine run directly on plane rows yFrom <= y < yTo of a canvas (or of a
// keep file's pixel bytes), then its white frame, with the pages' values unless
// p says otherwise: both mode, n 16, sun glass 2, reference 0, 0, 0.
Bytes EnginePass(const std::uint8_t* canvas, const EyeParameters& p, int yFrom, int yTo = CanvasRows + 1) {
  TestPlanes source = PlanesOfCanvas(canvas), target = source;
  VantorEyeRowsOn(source.View(), target.View(), Stride, CanvasRows, PassWindow, p, yFrom, yTo, 1);
  return target.Canvas();
}

// Row `row` of canvas a equals that of b, outside a progress line's columns when `line`.
constexpr std::size_t LineFrom = 3 * PassWindow, LineTo = RowBytes - 3 * PassWindow;  // byte offsets in a row
bool RowIs(const Bytes& a, int row, const Bytes& b, bool line = false) {
  const auto x = a.begin() + static_cast<long>(row) * static_cast<long>(RowBytes), y = b.begin() + (x - a.begin());
  const long from = static_cast<long>(line ? LineFrom : RowBytes), to = static_cast<long>(line ? LineTo : RowBytes);
  return std::equal(x, x + from, y) && std::equal(x + to, x + static_cast<long>(RowBytes), y + to);
}
// The client rows (y = 703 - canvas row) holding a progress line, which covers
// x = 100 + n .. 100 + Stride - n - 1, top first.
std::vector<int> ProgressLines(const Bytes& canvas) {
  std::vector<int> lines;
  for (int row = CanvasRows - 1; row >= 0; --row) {
    const auto at = canvas.begin() + static_cast<long>(row) * static_cast<long>(RowBytes);
    const bool grey = std::all_of(at + LineFrom, at + LineTo, [](std::uint8_t v) { return v == ProgressGrey.r; });
    if (grey) lines.push_back(CanvasRows + 31 - row);
  }
  return lines;
}

// Stands in front of the session's window and tells a watcher of every
// Present made during a paint (the pass's progress shows).
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
    if (onPresent) onPresent();
  }
  void Destroy() override { window_.Destroy(); }

  std::function<void()> onPresent;  // the session's ShownCanvas() is what was just presented

 private:
  HeadlessWindow& window_;
};

// Starts a session on a width x height picture written into its folder.
void StartOn(ProgramSession& s, int width, int height, Rgb (*colour)(int, int)) {
  WriteTestPicture(s.PathIn("picture.bmp"), width, height, colour);
  s.Start(s.PathIn("picture.bmp"));
}

// [SECTION] The pass and KEEP0

// F runs the pass once (and turns the gray curve off); in blind mode every
// show before the last is the picture as it was, or grey lines over it.
TEST(TopPageTest, FRunsThePassAndKeep0HoldsItsResultWithOrWithoutBlindMode) {
  const Bytes placed = PlacedCanvas(Unprogressed, Stride, CanvasRows), result = EnginePass(placed.data(), {}, 0);
  for (const bool blind : {false, true}) {
    SCOPED_TRACE(blind ? "blind" : "not blind");
    ProgramSession s;
    StartOn(s, Stride, CanvasRows, Unprogressed);
    ASSERT_EQ(s.ShownCanvas(), placed);
    WatchedWindow watched(s.window());
    std::size_t mostLines = 0;
    bool hidden = true;
    Bytes last;
    if (blind) {
      s.ClickControl(PageTop, "blind mode");
      ASSERT_EQ(TopPage.blindMode, 1);
      watched.onPresent = [&] {
        if (!last.empty()) {
          const std::vector<int> lines = ProgressLines(last);
          mostLines = std::max(mostLines, lines.size());
          const std::set<int> lineSet(lines.begin(), lines.end());
          for (int row = 0; row < CanvasRows && hidden; ++row)
            hidden = RowIs(last, row, placed, lineSet.count(CanvasRows + 31 - row) > 0);
        }
        last = s.ShownCanvas();
      };
    } else {
      s.ClickControl(PageTop, "gray");
      EXPECT_EQ(std::pair(TopPage.graphChannel[3], TopPage.colourGraphOn), std::pair(true, true));
      EXPECT_EQ(s.Pixel(500, CanvasRows + 32), ProgressGrey) << "graph frame under the image";
    }

    s.ClickControl(PageTop, "F");
    if (blind) {
      EXPECT_TRUE(hidden) << "the result showed before the pass ended";
      // A line over every row from 672 down to 33 (client y 32 .. 671), shown as they come.
      EXPECT_GE(mostLines, 600u);
      EXPECT_TRUE(ProgressLines(last).empty()) << "grey lines left on the result";
    } else {
      EXPECT_EQ(std::pair(TopPage.graphChannel[3], TopPage.colourGraphOn), std::pair(false, false))
          << "F turns the gray curve off";
      EXPECT_EQ(s.Pixel(500, CanvasRows + 32), White) << "no graph after the pass";
    }
    EXPECT_EQ(s.ShownCanvas(), result);

    s.ClickControl(PageTop, "save KEEP0");
    const Bytes keep = FileBytes(s.PathIn("KEEP0.bmp"));
    ASSERT_EQ(keep.size(), static_cast<std::size_t>(KeepFileBytes));
    EXPECT_TRUE(keep == KeepFileOf(result)) << "KEEP0.bmp differs from the engine's pass";
    EXPECT_EQ(s.ShownCanvas(), result) << "not a second pass";
  }
}

TEST(TopPageTest, ThePassUsesTheReferenceColourAndLeavesAWhiteFrame) {
  ProgramSession s;
  StartOn(s, Stride, CanvasRows, [](int, int) { return Rgb{140, 120, 100}; });
  // As the FILTER page would leave it: blue, green, red medians.
  Tone.eye.reference = {110, 118, 126};
  s.ClickControl(PageTop, "F");
  // Worked by hand: blue, green, red 100, 120, 140 about 110, 118, 126 with
  // gain 5.808 gives 91, 121, 151. The frame: columns 0..8 and 952..959,
  // plane rows 0..8 and 664..671, is white.
  constexpr Rgb Result{151, 121, 91};
  ExpectShown(s, {{109, 40, Result}, {1051, 40, Result}, {109, 694, Result}, {1051, 694, Result}, {580, 370, Result},
                   {108, 370, White}, {1052, 370, White}, {580, 695, White}, {580, 39, White}, {100, 32, White}});
}

TEST(TopPageTest, AShortPictureShowsProgressEvery64RowsAndEndsWithTheEnginesPass) {
  constexpr int Height = 500;  // plane rows 172 .. 671; the pass ends with row 172
  ProgramSession s;
  StartOn(s, Stride, Height, Unprogressed);
  const Bytes placed = PlacedCanvas(Unprogressed, Stride, Height);
  const Bytes result = EnginePass(placed.data(), {}, CanvasRows - Height);
  // No rows, the frame alone: what rows not yet reached show once the first
  // band has been processed.
  const Bytes framed = EnginePass(placed.data(), {}, CanvasRows, CanvasRows);

  WatchedWindow watched(s.window());
  std::vector<int> lineRows;
  bool inStep = true;
  watched.onPresent = [&] {
    const Bytes shown = s.ShownCanvas();
    const std::vector<int> lines = ProgressLines(shown);
    if (lines.size() > 1) inStep = false;
    if (lines.size() != 1) return;
    // The line of row R stands at client y = 704 - R (one below where row R
    // is shown, at 703 - R): rows above R are computed, R and below wait.
    const int line = lines[0];
    lineRows.push_back(line);
    for (int y = 32; y < 32 + CanvasRows && inStep; ++y)
      inStep = RowIs(shown, CanvasRows + 31 - y, y < line - 1 ? result : framed, y == line);
  };
  s.ClickControl(PageTop, "F");
  EXPECT_TRUE(inStep) << "a progress show did not match the rows reached";
  // Rows 640, 576, ..., 192 at client y = 704 - row.
  EXPECT_EQ(lineRows, (std::vector<int>{64, 128, 192, 256, 320, 384, 448, 512}));
  EXPECT_EQ(s.ShownCanvas(), result);
}

// A light picture with a dark block over its bottom 40 rows in columns
// 150..399 (y counted from the top, as a picture's rows).
Rgb DarkFooted(int x, int y) {
  const int row = 399 - y;  // from the picture's bottom row
  if (x >= 150 && x < 400 && row < 40) {
    return Rgb{static_cast<std::uint8_t>(15 + (x * x / 50 + row) % 35), static_cast<std::uint8_t>(20 + (x + row * 5) % 30),
               static_cast<std::uint8_t>(10 + (x * 3 + row) % 40)};
  }
  return Rgb{static_cast<std::uint8_t>(205 + (x / 3 + row * 2) % 45), static_cast<std::uint8_t>(190 + (x + row) % 60),
             static_cast<std::uint8_t>(200 + (x * 7 + row * 3) % 50)};
}

// A 600 x 400 picture covers plane rows 272 .. 671. The pass computes rows
// 672 down to 272, the picture's bottom row included, and not row 271, the
// white row just under it: with a light pivot, the dark block above would
// pull that row's white down if it were computed.
TEST(TopPageTest, APassOverA600By400PictureLeavesRow271WhiteAndComputesRow272) {
  ProgramSession s;
  StartOn(s, 600, 400, DarkFooted);
  const Bytes placed = PlacedCanvas(DarkFooted, 600, 400);
  ASSERT_EQ(s.ShownCanvas(), placed);
  const EyeParameters p{.reference = {220, 215, 225}};
  ASSERT_FALSE(RowIs(EnginePass(placed.data(), p, 271, 272), 271, placed))
      << "row 271 would not change even if computed";

  Tone.eye.reference = p.reference;
  s.ClickControl(PageTop, "F");
  const Bytes result = s.ShownCanvas();
  EXPECT_EQ(result, EnginePass(placed.data(), p, 272));
  const auto row = result.begin() + 271 * static_cast<long>(RowBytes);
  EXPECT_TRUE(std::all_of(row, row + static_cast<long>(RowBytes), [](std::uint8_t b) { return b == 255; }))
      << "row 271, under the picture, is no longer white";
  EXPECT_FALSE(RowIs(result, 272, placed)) << "the picture's bottom row was not computed";
}

// [SECTION] Level line, colour graph and vertical line

TEST(TopPageTest, TheLevelLineFollowsClicksInsideTheImageRowsOnly) {
  ProgramSession s;
  StartOn(s, Stride, CanvasRows, Unprogressed);
  // Under the image (y 704) is not a level-line click, nor is the image's open left bound (x 100).
  const int clicks[][3] = {{500, 33, 671}, {500, 703, 1}, {500, 704, 1}, {100, 400, 1}, {1059, 400, 304}};
  for (const auto& [x, y, level] : clicks) {
    s.Click(x, y);
    EXPECT_EQ(TopPage.levelLine, level) << x << ", " << y;
  }
}

TEST(TopPageTest, TheColourGraphDrawsItsFrameCurveLevelAndVerticalLines) {
  constexpr int Height = 400;  // picture at client y 32 .. 431
  constexpr int Top = Height + 32, Bottom = Top + 128;  // the graph's top and bottom edges
  constexpr Rgb Frame{200, 200, 200}, GrayPen{100, 100, 100}, VerticalPen{192, 192, 32};
  ProgramSession s;
  StartOn(s, Stride, Height, [](int, int) { return Rgb{200, 100, 50}; });  // gray trunc(124.2) = 124
  s.ClickControl(PageTop, "gray");
  s.Click(500, 132);
  ASSERT_EQ(TopPage.levelLine, 572);
  // The frame: columns 100 .. 1059, rows Top .. Bottom - 1. The gray curve of
  // a flat row: gray 124, halved, up from the bottom. The level line at the
  // click, across the image.
  for (int x = 100; x < 1050; x += 7) ASSERT_EQ(s.Pixel(x, Bottom - 62), GrayPen) << x;
  ExpectShown(s, {{500, Top, Frame}, {500, Bottom - 1, Frame}, {100, 500, Frame}, {1059, 500, Frame},
                   {500, Bottom, White}, {500, Bottom - 61, White}, {500, Bottom - 63, White},
                   {100, 132, Frame}, {1059, 132, Frame}, {99, 132, White}});

  // The vertical line from the click down to the graph's bottom.
  s.ClickControl(PageTop, "vertical line");
  s.Click(400, 132);
  ExpectShown(s, {{400, 133, VerticalPen}, {400, Bottom - 62, VerticalPen}, {400, Bottom - 1, VerticalPen},
                   {400, Bottom, White}});

  // The gray switch off: no curve is on, so the graph is not drawn even
  // though nothing else turned it off.
  s.ClickControl(PageTop, "gray");
  EXPECT_EQ(TopPage.colourGraphOn, 0);
  ExpectShown(s, {{500, Top, White}, {500, Bottom - 62, White}, {400, Bottom - 30, White}});
}

// [SECTION] Golden screens

// The sample picture after F, or with the colour graph and a vertical line.
void CheckGolden(const std::string& name, bool graph) {
  ProgramSession s;
  s.Start(GoldenSamplePicture());
  if (graph) s.ClickControls(PageTop, {"gray", "vertical line"});
  graph ? s.Click(620, 420) : s.ClickControl(PageTop, "F");
  EXPECT_GOLDEN(name, s.window().Shown());
}

TEST(TopGolden, AfterTheFPass) { CheckGolden("top_after_f", false); }
TEST(TopGolden, WithTheColourGraphAndVerticalLine) { CheckGolden("top_colour_graph", true); }

// [SECTION] The VANTOR EYE page

// Client points of the controls.
constexpr int EyeTabX = 340, TabY = 10;
constexpr int FullResetX = 20, FullResetY = 40;
constexpr int BrightLowY = 664, BrightHighY = 677, DarkLowY = 729, DarkHighY = 742;

// A 200 x 150 picture, dark at the bottom, so that the rows below it (white
// on the canvas) change near its edge when the pivot is above black.
Rgb Hazy(int x, int y) {
  return Rgb{static_cast<std::uint8_t>(90 + x / 4 + (y % 7) * 3), static_cast<std::uint8_t>(200 - y),
             static_cast<std::uint8_t>(60 + (x * y) % 50)};
}

// 960 x 672: red = column, green = row (from the top), blue 50, with a pure
// black 20 x 20 corner.
Rgb Coordinates(int x, int y) {
  if (x < 20 && y < 20) return Rgb{0, 0, 0};
  return Rgb{static_cast<std::uint8_t>(x % 256), static_cast<std::uint8_t>(y % 256), 50};
}

constexpr std::array<int, 3> Reference{235, 240, 245};  // as the FILTER page would leave it

struct EyeSession {
  ProgramSession s;
  explicit EyeSession(Rgb (*colour)(int, int) = Hazy, int width = 200, int height = 150) {
    s.StartOnPage(4, colour, width, height);
  }
  Bytes Keep(int slot) { return FileBytes(s.PathIn(KeepFileName(slot))); }
};

TEST(EyePage, PassOverEveryRowIsStoredByteByByteAsKeep4) {
  EyeSession e;
  const Bytes entry = e.Keep(4);  // written by the tab from WorkPlanes
  ASSERT_EQ(entry.size(), static_cast<std::size_t>(KeepFileBytes));
  Tone.eye.reference = Reference;
  e.s.ClickControl(PageEye, "F");
  EXPECT_EQ(std::pair(Tone.hornKey, Tone.eye.eyeWindowShift), std::pair(0, 16));  // the key released after the pass
  e.s.ClickControl(PageEye, "Set KEEP4");
  const Bytes stored = e.Keep(4);
  // Row 0 is the last row of the loop and lies in the white frame.
  const Bytes expected = EnginePass(entry.data() + BmpHeaderBytes, {.reference = Reference}, 0, CanvasRows);
  EXPECT_TRUE(stored == KeepFileOf(expected)) << "KEEP4 differs from the engine's pass";
  EXPECT_EQ(e.s.ShownCanvas(), expected);

  // The rows below the short picture were processed too: just below its
  // dark bottom edge they are no longer white (the TOP page keeps them).
  const int belowPicture = CanvasRows - 150 - 1;
  EXPECT_EQ(KeepFilePixel(entry, 100, belowPicture).g, 255);
  EXPECT_LT(KeepFilePixel(stored, 100, belowPicture).g, 255);

  // Blind mode gives the same result.
  e.s.Click(EyeTabX, TabY);
  Tone.eye.reference = Reference;
  e.s.ClickControl(PageEye, "blind");
  EXPECT_EQ(EyePage.blindMode, 1);
  e.s.ClickControls(PageEye, {"F", "Set KEEP4"});
  EXPECT_TRUE(e.Keep(4) == KeepFileOf(EnginePass(expected.data(), {.reference = Reference}, 0, CanvasRows)));
}

// No control of the page turns the area eye on, but the pass honours it when
// set: only the band of rows and the columns of the rectangle change, no
// frame is drawn, and the switch is off again after the pass.
TEST(EyePage, AnAreaEyePassCoversOnlyItsBand) {
  EyeSession e(Coordinates, 960, 672);
  const Bytes entry = e.Keep(4);
  constexpr EyeRect Rect{20, 200, 150, 400};
  Tone.eye.areaEyeOn = 1;
  Tone.eye.areaEyeRect = Rect;
  e.s.ClickControl(PageEye, "F");
  EXPECT_EQ(Tone.eye.areaEyeOn, 0);
  e.s.ClickControl(PageEye, "Set KEEP4");
  const EyeParameters p{.areaEyeOn = 1, .areaEyeRect = Rect, .eyeWindowShift = 16};
  const Bytes expected = KeepFileOf(EnginePass(entry.data() + BmpHeaderBytes, p, 0, CanvasRows));
  EXPECT_TRUE(e.Keep(4) == expected);
  // Rows 321 .. 519 (672 - 400 + 16 + 32 < y < 672 - 200 + 16 + 32) change.
  EXPECT_NE(KeepFilePixel(expected, 80, 400).r, KeepFilePixel(entry, 80, 400).r);
  EXPECT_EQ(KeepFilePixel(expected, 80, 520).r, KeepFilePixel(entry, 80, 520).r);
  EXPECT_EQ(KeepFilePixel(expected, 200, 400).r, KeepFilePixel(entry, 200, 400).r);
}

TEST(EyePage, SunGlassLevelIsSharedWithTheTopPassAndTheFullResetBringsBackKeep4) {
  EyeSession e;
  const Bytes entry = e.Keep(4);
  EXPECT_EQ(Tone.eye.sunGlassLevel, 2);
  e.s.ClickControl(PageEye, "Ｑ");
  EXPECT_EQ(Tone.eye.sunGlassLevel, 3);
  ExpectShown(e.s, {{68, 60, {16, 16, 16}}});  // Ｑ drawn selected
  e.s.ClickControl(PageEye, "Ｏ");
  EXPECT_EQ(Tone.eye.sunGlassLevel, 1);
  e.s.ClickControl(PageEye, "Ｑ");

  // TOP keeps the level and its pass uses it, over the picture's rows only:
  // 672 down to 672 - 150, the picture's bottom row included.
  e.s.Click(120, TabY);  // TOP
  EXPECT_EQ(Tone.eye.sunGlassLevel, 3);
  e.s.ClickControls(PageTop, {"F", "save KEEP0"});
  const std::uint8_t* pixels = entry.data() + BmpHeaderBytes;
  const Bytes atLevel3 = EnginePass(pixels, {.sunGlassLevel = 3}, CanvasRows - 150, CanvasRows);
  EXPECT_TRUE(e.Keep(0) == KeepFileOf(atLevel3));
  EXPECT_FALSE(atLevel3 == EnginePass(pixels, {.sunGlassLevel = 2}, CanvasRows - 150, CanvasRows));

  // Entering VANTOR EYE again starts from the middle level, and stores the
  // picture as KEEP4: the full reset brings it back.
  e.s.Click(EyeTabX, TabY);
  EXPECT_EQ(Tone.eye.sunGlassLevel, 2);
  const Bytes entered = e.Keep(4);
  const Bytes entryPixels(entered.begin() + BmpHeaderBytes, entered.end());
  e.s.ClickControls(PageEye, {"blind", "F"});  // blind on
  ASSERT_NE(e.s.ShownCanvas(), entryPixels);
  e.s.Click(FullResetX, FullResetY);
  EXPECT_EQ(std::pair(EyePage.blindMode, e.s.dialogs().MessageCount()), std::pair(false, std::size_t{0}));
  EXPECT_EQ(e.s.ShownCanvas(), entryPixels);
  // Without KEEP4 the reset reports the failed read and keeps the picture.
  std::filesystem::remove(e.s.PathIn("KEEP4.bmp"));
  e.s.ClickControl(PageEye, "F");
  const Bytes result = e.s.ShownCanvas();
  e.s.Click(FullResetX, FullResetY);
  ASSERT_EQ(e.s.dialogs().MessageCount(), 1u);
  EXPECT_EQ(e.s.dialogs().shown().back().text, "ピクセルデータの読み込みに失敗しました: KEEP4.bmp");
  EXPECT_EQ(e.s.ShownCanvas(), result);
}

TEST(EyePage, ReadoutShowsPickedValuesWithRunningMinimumAndMaximum) {
  EyeSession e(Coordinates, 960, 672);
  EXPECT_EQ(Tone.eye.appointKind, 1);
  // Minimum, maximum of red, green, blue and gray.
  const auto trackers = [] {
    std::vector<std::pair<int, int>> v;
    for (const ReadoutTracker& t : EyePage.readout) v.emplace_back(t.minimum, t.maximum);
    return v;
  };
  const std::vector<std::pair<int, int>> atTheStart = {{255, 0}, {255, 0}, {255, 0}, {255, 0}};
  EXPECT_EQ(trackers(), atTheStart);
  // Client (300, 200) reads the row above the one shown there: column 200,
  // picture row 167. Gray 0.299*200 + 0.587*167 + 0.114*50 = 163.529 -> 164.
  e.s.Click(300, 200);
  EXPECT_EQ(EyePage.appointColour, (std::array<int, 3>{50, 167, 200}));
  EXPECT_EQ(std::tuple(Tone.eye.appointGray, Tone.eye.appointBox[2].low, Tone.eye.appointBox[2].high,
                       Tone.eye.appointBox[0].low),
            std::tuple(164, 192, 208, 42));
  // Column 50, row 67: gray 14.95 + 39.329 + 5.7 = 59.979 -> 60.
  e.s.Click(150, 100);
  EXPECT_EQ(std::pair(EyePage.appointColour, Tone.eye.appointGray), std::pair(std::array<int, 3>{50, 67, 50}, 60));
  const std::vector<std::pair<int, int>> afterTwo = {{50, 200}, {67, 167}, {50, 50}, {60, 164}};
  EXPECT_EQ(trackers(), afterTwo);
  // Pure black: gray 0, the trackers stay.
  e.s.Click(110, 40);
  EXPECT_EQ(EyePage.appointColour, (std::array<int, 3>{0, 0, 0}));
  EXPECT_EQ(std::tuple(Tone.eye.appointGray, Tone.eye.appointBox[1].low, Tone.eye.appointBox[1].high),
            std::tuple(0, 0, 8));
  EXPECT_EQ(trackers(), afterTwo) << "after black";
  // Clicks off the picture read nothing: the tab bar between two tabs and
  // the strip right of the canvas lie outside its rows and columns.
  e.s.Click(300, 200);
  e.s.Click(156, 10);
  e.s.Click(1070, 300);
  EXPECT_EQ(EyePage.appointColour, (std::array<int, 3>{50, 167, 200}));
  // The full reset clears the trackers.
  e.s.Click(FullResetX, FullResetY);
  EXPECT_EQ(trackers(), atTheStart);
  EXPECT_EQ(EyePage.appointColour, (std::array<int, 3>{0, 0, 0}));
}

// Bright and dark change only the shown picture until set, by their byte rule.
TEST(EyePage, BrightAndDarkChangeOnlyTheShownPictureUntilSet) {
  EyeSession e([](int, int) { return Rgb{100, 200, 255}; });
  const Rgb inside{100, 200, 255};
  ASSERT_EQ(e.s.Pixel(150, 100), inside);
  // The bars: value = trunc((x - 2) * 100 / 96) in each bar's range.
  const struct { int x, y, bright, dark; } bars[] = {
      {3, BrightLowY, 1, 0}, {97, BrightHighY, 198, 0}, {3, DarkLowY, 198, -99}, {97, DarkHighY, 198, 98}};
  for (const auto& bar : bars) {
    e.s.Click(bar.x, bar.y);
    EXPECT_EQ(std::pair(EyePage.bright, EyePage.dark), std::pair(bar.bright, bar.dark)) << bar.x << ", " << bar.y;
  }
  e.s.Click(FullResetX, FullResetY);
  EXPECT_EQ(std::pair(EyePage.bright, EyePage.dark), std::pair(100, 0));

  // Bright 50: v * 50 / 100 (100 -> 50 exactly, 255 -> 127).
  e.s.Click(50, BrightLowY);
  ASSERT_EQ(EyePage.bright, 50);
  ExpectShown(e.s, {{150, 100, {50, 100, 127}}});
  // Dark 50 as well: (v - 50) * 50 / 100.
  e.s.Click(50, DarkHighY);
  ASSERT_EQ(EyePage.dark, 50);
  ExpectShown(e.s, {{150, 100, {25, 75, 102}}, {900, 600, {102, 102, 102}} /* white outside the picture too */});
  // WorkPlanes stay as they were: another page shows the picture itself.
  const std::size_t i = static_cast<std::size_t>(CanvasRows - 1 - 68) * Stride + 50;
  EXPECT_EQ(WorkPlanes[2][i], 100u);
  e.s.Click(240, TabY);  // MAP
  ExpectShown(e.s, {{150, 100, inside}});

  // "Set KEEP4" stores the adjusted picture, in the file and in WorkPlanes.
  e.s.Click(EyeTabX, TabY);
  e.s.Click(50, BrightLowY);
  e.s.ClickControl(PageEye, "Set KEEP4");
  EXPECT_EQ(KeepFilePixel(e.Keep(4), 50, CanvasRows - 1 - 68), (Rgb{50, 100, 127}));
  EXPECT_EQ(WorkPlanes[2][i], 50u);
  // The byte rule. Value, bright, dark, byte: 100 at 50 in doubles 2.55 would give 49;
  // 200 at 198 is clamped to 255, 30 less dark 50 to 0.
  const int cases[][4] = {{100, 50, 0, 50}, {200, 198, 0, 255}, {30, 100, 50, 0}, {0, 100, -100, 100}, {255, 1, 0, 2}};
  for (const auto& [v, bright, dark, byte] : cases) EXPECT_EQ(BrightDarkByte(v, bright, dark), byte) << v;
}

// The golden screens: a pick on the picture, then in Japanese the sun glass
// explanation (Ｑ chosen), in English the page comment.
void CheckEyeGolden(const std::string& name, bool english) {
  ProgramSession s;
  StartOn(s, 200, 150, Hazy);
  if (english) s.ClickControl(PageTop, "ENGLISH");  // TOP's language switch
  s.Click(EyeTabX, TabY);
  s.Click(180, 120);
  s.ClickControl(PageEye, english ? "[VANTOR EYE]" : "Ｑ");
  EXPECT_GOLDEN(name, s.window().Shown());
}

TEST(EyePageGolden, Japanese) { CheckEyeGolden("eye_japanese", false); }
TEST(EyePageGolden, English) { CheckEyeGolden("eye_english", true); }

}  // namespace
