// Undo and redo as the user meets them: a pass taken back and done again
// byte for byte, the steps that remain after an undo in a whole save, a brush
// stroke as one change, a result a tab change dropped brought back, the
// history's bound; and the packed planes it keeps, unpacked exactly.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/history.h"
#include "image/packed_samples.h"
#include "image/planes.h"
#include "pages/filter/filter_page.h"
#include "pages/kit/page_state.h"
#include "pages/pattern/outline_state.h"
#include "platform/language.h"
#include "support/program_session.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr int SaveTabX = 912, TabY = 10;

// Noise that compresses badly, so that a few hundred states fill the bound.
Rgb Noise(int x, int y) {
  std::uint32_t h = static_cast<std::uint32_t>(x) * 2654435761u ^ static_cast<std::uint32_t>(y) * 2246822519u;
  h ^= h >> 13;
  h *= 3266489917u;
  return Rgb{static_cast<std::uint8_t>(h), static_cast<std::uint8_t>(h >> 8), static_cast<std::uint8_t>(h >> 16)};
}

}  // namespace

TEST(History, TopFTakenBackAndDoneAgainByteForByte) {
  ProgramSession s;
  s.StartOnPage(PageTop, Varied, 960, 672);
  const Bytes before = s.ShownCanvas();
  s.ClickControl(PageTop, "F");
  const Bytes after = s.ShownCanvas();
  ASSERT_NE(before, after);

  s.Undo();
  EXPECT_EQ(CanvasDifference(s.ShownCanvas(), before), "");
  EXPECT_EQ(HistoryNoticeShown(), "元に戻しました: トップ F");
  s.window().Invalidate();
  s.Paint();
  EXPECT_EQ(HistoryNoticeShown(), "");  // shown once
  s.Redo();
  EXPECT_EQ(CanvasDifference(s.ShownCanvas(), after), "");
  EXPECT_EQ(HistoryNoticeShown(), "やり直しました: トップ F");
  // Ctrl+Y redoes too; with nothing left, the line says so and nothing moves.
  LanguageId = EnglishLanguage;
  s.Key('Y', true);
  EXPECT_EQ(HistoryNoticeShown(), "Nothing to redo");
  EXPECT_EQ(CanvasDifference(s.ShownCanvas(), after), "");
  s.Undo();
  EXPECT_EQ(HistoryNoticeShown(), "Undone: TOP F");
  s.Undo();  // the picture as opened is the first state
  EXPECT_EQ(HistoryNoticeShown(), "Nothing to undo");
  EXPECT_EQ(CanvasDifference(s.ShownCanvas(), before), "");
}

TEST(History, AnUndoInTheMiddleLeavesTheStepsBeforeItForTheWholeSave) {
  // The eye pass, FILTER's colour power and ADD's addition; the addition
  // taken back, then a new change drops what could be redone.
  const auto run = [](ProgramSession& s, bool withAdd) {
    WriteTestPicture(s.PathIn("photo.bmp"), 1200, 810, Varied);
    s.Start(s.PathIn("photo.bmp"));
    s.ClickControl(PageTop, "F");
    s.ClickTab(PageFilter);
    s.ClickControl(PageFilter, "action");
    if (withAdd) {
      s.ClickTab(PageAdd);
      s.ClickControl(PageAdd, "add");
      s.Undo();
      EXPECT_EQ(PageId, PageAdd);  // the page the change was made on, as it was before the addition
    }
    s.dialogs().QueueFile(s.PathIn("whole.bmp"), true);
    s.Click(SaveTabX, TabY);
  };
  Bytes expected;
  {
    ProgramSession straight;
    run(straight, false);
    expected = FileBytes(straight.PathIn("whole.bmp"));
    ASSERT_EQ(expected.size(), 54u + 1200u * 810u * 3u);
  }
  ProgramSession undone;
  run(undone, true);
  EXPECT_EQ(KindsOf(undone.PathIn("whole.toml")), "eye filter");
  EXPECT_EQ(FileBytes(undone.PathIn("whole.bmp")), expected);

  // A new change after the undo: the addition can no longer be redone.
  undone.ClickControl(PageAdd, "add");
  undone.Undo();
  EXPECT_EQ(HistoryNoticeShown(), "元に戻しました: 色加味 実行");
  undone.ClickControl(PageAdd, "add");
  undone.Redo();
  EXPECT_EQ(HistoryNoticeShown(), "やり直せる変更はありません");
}

TEST(History, ABrushStrokeIsOneChange) {
  ProgramSession s;
  s.StartOnPage(PageOutline, Varied, 960, 672);
  s.ClickControl(PageOutline, "4)Brush");
  const Bytes before = s.ShownCanvas();
  const HistoryFigures start = HistoryNow();
  s.Drag(200, 500, 400, 500, 20);
  ASSERT_NE(s.ShownCanvas(), before);
  EXPECT_EQ(HistoryNow().changes, start.changes + 1);
  s.Undo();
  EXPECT_EQ(CanvasDifference(s.ShownCanvas(), before), "");
  EXPECT_EQ(BrushMask[static_cast<std::size_t>(704 - 500) * Stride + 200], 0);
}

TEST(History, ADroppedContourComesBackWithCtrlZ) {
  ProgramSession s;
  LanguageId = EnglishLanguage;
  s.StartOnPage(PageContour, Varied, 960, 672);
  s.ClickControl(PageContour, " limit area");
  const Bytes contours = s.ShownCanvas();
  s.ClickTab(PageAdd);
  EXPECT_EQ(HistoryNoticeShown(),
            "Dropped with the page change, never taken in: CONTOUR limit area (Ctrl+Z brings it back)");
  ASSERT_NE(s.ShownCanvas(), contours);
  s.Undo();
  EXPECT_EQ(PageId, PageContour);
  EXPECT_EQ(CanvasDifference(s.ShownCanvas(), contours), "");
  // A page that shows nothing over the picture drops nothing.
  s.ClickControl(PageContour, " clear");
  s.ClickTab(PageAdd);
  EXPECT_EQ(HistoryNoticeShown(), "");
}

TEST(History, StaysInItsBoundOverFiveHundredChanges) {
  ProgramSession s;
  s.StartOnPage(PageFilter, Noise, 960, 672);
  s.ClickControl(PageFilter, "action");
  // Each click on the colour power's diamonds changes the picture.
  for (int k = 0; k < 500; ++k) s.Click(k % 2 == 0 ? 93 : 83, 215);
  const HistoryFigures figures = HistoryNow();
  EXPECT_LE(figures.bytes, HistoryByteBound);
  EXPECT_GE(figures.changes, 50);
  EXPECT_LT(figures.changes, 501);  // the oldest went
  EXPECT_EQ(figures.position, figures.changes - 1);
  // The newest are all there: fifty undos, each a step back.
  const int power = FilterPage.values.colourPower;
  for (int k = 0; k < 50; ++k) s.Undo();
  EXPECT_NE(HistoryNoticeShown(), "元に戻せる変更はありません");
  EXPECT_EQ(FilterPage.values.colourPower, power);  // fifty clicks, as many up as down
}

TEST(PackedSamples, UnpackGivesTheSamplesBack) {
  for (const bool wide : {false, true}) {
    TestPlanes planes;
    for (int k = 0; k < 3; ++k)
      for (int r = 0; r < CanvasRows; ++r)
        for (int c = 0; c < Stride; ++c) planes.At(k, r, c) = static_cast<std::uint32_t>((c * 7 + r * 3 + k) % 256);
    if (wide) planes.At(1, 300, 400) = 70000;  // a sample a page left above 255
    const PackedSamples packed = PackPlanes(planes.View(), Stride, CanvasRows);
    EXPECT_EQ(packed.wide, wide);
    EXPECT_LT(packed.bytes.size(), static_cast<std::size_t>(CanvasByteCount) / 10);  // a smooth picture packs small
    TestPlanes back(Stride, CanvasRows, 1);
    ASSERT_TRUE(UnpackPlanes(packed, back.View()));
    EXPECT_EQ(back.plane, planes.plane) << wide;
  }
  Bytes mask(static_cast<std::size_t>(Stride) * CanvasRows, 0);
  mask[12345] = 1;
  const PackedSamples packed = PackBytes(mask, Stride, CanvasRows);
  Bytes back(mask.size(), 7);
  ASSERT_TRUE(UnpackBytes(packed, back));
  EXPECT_EQ(back, mask);
  // Bytes that are not a packing are refused.
  PackedSamples broken = packed;
  broken.bytes.resize(broken.bytes.size() / 2);
  EXPECT_FALSE(UnpackBytes(broken, back));
}
