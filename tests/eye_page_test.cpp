// The VANTOR EYE page through the whole program: a pass stored by "Set
// KEEP4" byte by byte against the engine run directly, the sun glass level
// shared with the TOP page, the colour readout with its running minimum and
// maximum, the brightness and darkness rule, the full reset, and the golden
// screens.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <span>
#include <filesystem>
#include <string>
#include <vector>

#include "image/bmp_files.h"
#include "image/planes.h"
#include "pages/kit/page_state.h"
#include "pages/tone/eye_page.h"
#include "pages/tone/tone_pages.h"
#include "pages/tone/tone_state.h"
#include "ops/vantor_eye.h"
#include "platform/text.h"
#include "support/golden.h"
#include "support/program_session.h"

namespace {

// Client points of the controls.
constexpr int EyeTabX = 340, TopTabX = 120, MapTabX = 240, TabY = 10;
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

Rgb Flat(int, int) { return Rgb{100, 200, 255}; }

using Bytes = std::vector<std::uint8_t>;

// Three planes of the canvas size, filled from the pixel bytes of a keep file.
struct TestPlanes {
  std::array<std::vector<std::uint32_t>, 3> plane;
  explicit TestPlanes(const Bytes& keepFile) {
    const std::span<const std::uint8_t> pixels(keepFile.begin() + BmpHeaderBytes, keepFile.end());
    for (std::size_t i = 0; i < pixels.size(); ++i) plane[i % 3].push_back(pixels[i]);
  }
  PlaneView View() { return PlaneView{{plane[0].data(), plane[1].data(), plane[2].data()}, Stride, CanvasRows}; }
  Bytes KeepFile() const {
    return EncodeBmp(Stride, CanvasRows, 1, [&](int row, std::uint8_t* out) {
      const std::size_t from = static_cast<std::size_t>(row) * Stride * 3;
      for (std::size_t i = 0; i < static_cast<std::size_t>(Stride) * 3; ++i) {
        out[i] = static_cast<std::uint8_t>(plane[(from + i) % 3][(from + i) / 3]);
      }
    });
  }
};

// The engine run directly on rows yFrom <= y < yTo of `before`, window 16
// (both mode, appoint and area eye off unless p says otherwise).
Bytes EnginePass(const Bytes& before, const EyeParameters& p, int yFrom, int yTo) {
  TestPlanes source(before), target(before);
  VantorEyeRowsOn(source.View(), target.View(), Stride, CanvasRows, 16, p, yFrom, yTo, 1);
  return target.KeepFile();
}
constexpr std::array<int, 3> Reference{235, 240, 245};  // as the FILTER page would leave it

// The sample of a keep file at plane row `row`, column `x`, channel k.
int KeepSample(const Bytes& file, int row, int x, int k) {
  return file[BmpHeaderBytes + 3 * (static_cast<std::size_t>(row) * Stride + static_cast<std::size_t>(x)) +
              static_cast<std::size_t>(k)];
}

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
  EXPECT_EQ(Tone.hornKey, 0);  // released after the pass
  EXPECT_EQ(Tone.eye.eyeWindowShift, 16);
  e.s.ClickControl(PageEye, "Set KEEP4");
  const Bytes stored = e.Keep(4);
  // Row 0 is the last row of the loop and lies in the white frame.
  const Bytes expected = EnginePass(entry, {.reference = Reference}, 0, CanvasRows);
  ASSERT_EQ(stored.size(), expected.size());
  EXPECT_TRUE(stored == expected) << "KEEP4 differs from the engine's pass";
  EXPECT_EQ(e.s.ShownCanvas(), Bytes(expected.begin() + BmpHeaderBytes, expected.end()));

  // The rows below the short picture were processed too: just below its
  // dark bottom edge they are no longer white (the TOP page keeps them).
  const int belowPicture = CanvasRows - 150 - 1;
  EXPECT_EQ(KeepSample(entry, belowPicture, 100, 1), 255);
  EXPECT_LT(KeepSample(stored, belowPicture, 100, 1), 255);

  // Blind mode gives the same result.
  e.s.Click(EyeTabX, TabY);
  Tone.eye.reference = Reference;
  e.s.ClickControl(PageEye, "blind");
  EXPECT_EQ(EyePage.blindMode, 1);
  e.s.ClickControl(PageEye, "F");
  e.s.ClickControl(PageEye, "Set KEEP4");
  EXPECT_TRUE(e.Keep(4) == EnginePass(expected, {.reference = Reference}, 0, CanvasRows));
  Tone.eye.reference = {0, 0, 0};
}

// No control of the page turns the area eye on, but the pass honours it when
// set: only the band of rows and the columns of the rectangle change, no
// frame is drawn, and the switch is off again after the pass.
TEST(EyePage, AnAreaEyePassCoversOnlyItsBand) {
  EyeSession e(Coordinates, 960, 672);
  const Bytes entry = e.Keep(4);
  constexpr EyeRect Rect{20, 200, 150, 400};
  Tone.eye.areaEyeOn = true;
  Tone.eye.areaEyeRect = Rect;
  e.s.ClickControl(PageEye, "F");
  EXPECT_EQ(Tone.eye.areaEyeOn, 0);
  e.s.ClickControl(PageEye, "Set KEEP4");
  const Bytes expected = EnginePass(entry, {.areaEyeOn = true, .areaEyeRect = Rect, .eyeWindowShift = 16}, 0, CanvasRows);
  EXPECT_TRUE(e.Keep(4) == expected);
  // Rows 321 .. 519 (672 - 400 + 16 + 32 < y < 672 - 200 + 16 + 32) change.
  EXPECT_NE(KeepSample(expected, 400, 80, 2), KeepSample(entry, 400, 80, 2));
  EXPECT_EQ(KeepSample(expected, 520, 80, 2), KeepSample(entry, 520, 80, 2));
  EXPECT_EQ(KeepSample(expected, 400, 200, 2), KeepSample(entry, 400, 200, 2));
}

TEST(EyePage, SunGlassLevelIsSharedWithTheTopPass) {
  EyeSession e;
  const Bytes entry = e.Keep(4);
  EXPECT_EQ(Tone.eye.sunGlassLevel, 2);
  e.s.ClickControl(PageEye, "Ｑ");
  EXPECT_EQ(Tone.eye.sunGlassLevel, 3);
  EXPECT_EQ(e.s.Pixel(68, 60), (Rgb{16, 16, 16}));  // Ｑ drawn selected
  e.s.ClickControl(PageEye, "Ｏ");
  EXPECT_EQ(Tone.eye.sunGlassLevel, 1);
  e.s.ClickControl(PageEye, "Ｑ");

  // TOP keeps the level and its pass uses it, over the picture's rows only:
  // 672 down to 672 - 150, the picture's bottom row included.
  e.s.Click(TopTabX, TabY);
  EXPECT_EQ(Tone.eye.sunGlassLevel, 3);
  e.s.ClickControl(PageTop, "F");
  e.s.ClickControl(PageTop, "save KEEP0");
  const Bytes atLevel3 = EnginePass(entry, {.sunGlassLevel = 3}, CanvasRows - 150, CanvasRows);
  EXPECT_TRUE(e.Keep(0) == atLevel3);
  EXPECT_FALSE(atLevel3 == EnginePass(entry, {.sunGlassLevel = 2}, CanvasRows - 150, CanvasRows));

  // Entering VANTOR EYE again starts from the middle level.
  e.s.Click(EyeTabX, TabY);
  EXPECT_EQ(Tone.eye.sunGlassLevel, 2);
}

TEST(EyePage, ReadoutShowsPickedValuesWithRunningMinimumAndMaximum) {
  EyeSession e(Coordinates, 960, 672);
  EXPECT_EQ(Tone.eye.appointKind, 1);
  // Blue, green, red and gray: running minimum and maximum.
  const auto expectTrackers = [](const std::array<ReadoutTracker, 4>& expected, const char* when) {
    for (std::size_t k = 0; k < 4; ++k) {
      EXPECT_EQ(EyePage.readout[k].minimum, expected[k].minimum) << when << ", row " << k;
      EXPECT_EQ(EyePage.readout[k].maximum, expected[k].maximum) << when << ", row " << k;
    }
  };
  expectTrackers({{{255, 0}, {255, 0}, {255, 0}, {255, 0}}}, "at the start");
  // Client (300, 200) reads the row above the one shown there: column 200,
  // picture row 167. Gray 0.299*200 + 0.587*167 + 0.114*50 = 163.529 -> 164.
  e.s.Click(300, 200);
  EXPECT_EQ(EyePage.appointColour, (std::array<int, 3>{50, 167, 200}));
  EXPECT_EQ(Tone.eye.appointGray, 164);
  EXPECT_EQ(Tone.eye.appointBox[2].low, 192);
  EXPECT_EQ(Tone.eye.appointBox[2].high, 208);
  EXPECT_EQ(Tone.eye.appointBox[0].low, 42);
  // Column 50, row 67: gray 14.95 + 39.329 + 5.7 = 59.979 -> 60.
  e.s.Click(150, 100);
  EXPECT_EQ(EyePage.appointColour, (std::array<int, 3>{50, 67, 50}));
  EXPECT_EQ(Tone.eye.appointGray, 60);
  const std::array<ReadoutTracker, 4> afterTwo = {{{50, 200}, {67, 167}, {50, 50}, {60, 164}}};
  expectTrackers(afterTwo, "after two picks");
  // Pure black: gray 0, the trackers stay.
  e.s.Click(110, 40);
  EXPECT_EQ(EyePage.appointColour, (std::array<int, 3>{0, 0, 0}));
  EXPECT_EQ(Tone.eye.appointGray, 0);
  EXPECT_EQ(Tone.eye.appointBox[1].low, 0);
  EXPECT_EQ(Tone.eye.appointBox[1].high, 8);
  expectTrackers(afterTwo, "after black");
  // Clicks off the picture read nothing: the tab bar between two tabs and
  // the strip right of the canvas lie outside its rows and columns.
  e.s.Click(300, 200);
  e.s.Click(156, 10);
  e.s.Click(1070, 300);
  EXPECT_EQ(EyePage.appointColour, (std::array<int, 3>{50, 167, 200}));
  // The full reset clears the trackers.
  e.s.Click(FullResetX, FullResetY);
  EXPECT_EQ(EyePage.readout[ReadoutGray].minimum, 255);
  EXPECT_EQ(EyePage.readout[ReadoutGray].maximum, 0);
  EXPECT_EQ(EyePage.appointColour, (std::array<int, 3>{0, 0, 0}));
}

TEST(EyePage, BrightAndDarkChangeOnlyTheShownPictureUntilSet) {
  EyeSession e(Flat);
  const Rgb inside{100, 200, 255};
  ASSERT_EQ(e.s.Pixel(150, 100), inside);
  // The bars: value = trunc((x - 2) * 100 / 96) in each bar's range.
  const struct {
    int x, y, bright, dark;
  } bars[] = {{3, BrightLowY, 1, 0}, {97, BrightHighY, 198, 0}, {3, DarkLowY, 198, -99}, {97, DarkHighY, 198, 98}};
  for (const auto& bar : bars) {
    e.s.Click(bar.x, bar.y);
    EXPECT_EQ(EyePage.bright, bar.bright) << bar.x << ", " << bar.y;
    EXPECT_EQ(EyePage.dark, bar.dark) << bar.x << ", " << bar.y;
  }
  e.s.Click(FullResetX, FullResetY);
  EXPECT_EQ(EyePage.bright, 100);
  EXPECT_EQ(EyePage.dark, 0);

  // Bright 50: v * 50 / 100 (100 -> 50 exactly, 255 -> 127).
  e.s.Click(50, BrightLowY);
  ASSERT_EQ(EyePage.bright, 50);
  EXPECT_EQ(e.s.Pixel(150, 100), (Rgb{50, 100, 127}));
  // Dark 50 as well: (v - 50) * 50 / 100.
  e.s.Click(50, DarkHighY);
  ASSERT_EQ(EyePage.dark, 50);
  EXPECT_EQ(e.s.Pixel(150, 100), (Rgb{25, 75, 102}));
  EXPECT_EQ(e.s.Pixel(900, 600), (Rgb{102, 102, 102}));  // white outside the picture too
  // WorkPlanes stay as they were: another page shows the picture itself.
  const std::size_t i = static_cast<std::size_t>(CanvasRows - 1 - 68) * Stride + 50;
  EXPECT_EQ(WorkPlanes[2][i], 100u);
  e.s.Click(MapTabX, TabY);
  EXPECT_EQ(e.s.Pixel(150, 100), inside);

  // "Set KEEP4" stores the adjusted picture, in the file and in WorkPlanes.
  e.s.Click(EyeTabX, TabY);
  e.s.Click(50, BrightLowY);
  e.s.ClickControl(PageEye, "Set KEEP4");
  const Bytes stored = e.Keep(4);
  EXPECT_EQ(KeepSample(stored, CanvasRows - 1 - 68, 50, 0), 127);
  EXPECT_EQ(KeepSample(stored, CanvasRows - 1 - 68, 50, 1), 100);
  EXPECT_EQ(KeepSample(stored, CanvasRows - 1 - 68, 50, 2), 50);
  EXPECT_EQ(WorkPlanes[2][i], 50u);
}

TEST(EyePage, BrightDarkByteRule) {
  // Value, bright, dark, byte: 100 at 50 in doubles 2.55 would give 49;
  // 200 at 198 is clamped to 255, 30 less dark 50 to 0.
  const int cases[][4] = {{100, 50, 0, 50}, {200, 198, 0, 255}, {30, 100, 50, 0}, {0, 100, -100, 100}, {255, 1, 0, 2}};
  for (const auto& [v, bright, dark, byte] : cases) EXPECT_EQ(BrightDarkByte(v, bright, dark), byte) << v;
}

TEST(EyePage, FullResetBringsBackTheImageOfKeep4) {
  EyeSession e;
  const Bytes entry = e.Keep(4);
  const Bytes entryPixels(entry.begin() + BmpHeaderBytes, entry.end());
  e.s.ClickControl(PageEye, "blind");  // on
  e.s.ClickControl(PageEye, "F");
  ASSERT_NE(e.s.ShownCanvas(), entryPixels);
  e.s.Click(FullResetX, FullResetY);
  EXPECT_EQ(EyePage.blindMode, 0);
  EXPECT_EQ(e.s.ShownCanvas(), entryPixels);
  EXPECT_EQ(e.s.dialogs().MessageCount(), 0u);
  // Without KEEP4 the reset reports the failed read and keeps the picture.
  std::filesystem::remove(e.s.PathIn("KEEP4.bmp"));
  e.s.ClickControl(PageEye, "F");
  const Bytes result = e.s.ShownCanvas();
  e.s.Click(FullResetX, FullResetY);
  ASSERT_EQ(e.s.dialogs().MessageCount(), 1u);
  EXPECT_EQ(e.s.dialogs().shown().back().text, "ピクセルデータの読み込みに失敗しました: KEEP4.bmp");
  EXPECT_EQ(e.s.ShownCanvas(), result);
}

// The golden screens: a pick on the picture, then in Japanese the sun glass
// explanation (Ｑ chosen), in English the page comment.
void CheckGolden(const std::string& name, bool english) {
  ProgramSession s;
  const std::string picture = s.PathIn("picture.bmp");
  WriteTestPicture(picture, 200, 150, Hazy);
  s.Start(picture);
  if (english) s.ClickControl(PageTop, "ENGLISH");  // TOP's language switch
  s.Click(EyeTabX, TabY);
  s.Click(180, 120);
  s.ClickControl(PageEye, english ? "[VANTOR EYE]" : "Ｑ");
  EXPECT_GOLDEN(name, s.window().Shown());
}

TEST(EyePageGolden, Japanese) { CheckGolden("eye_japanese", false); }
TEST(EyePageGolden, English) { CheckGolden("eye_english", true); }

}  // namespace
