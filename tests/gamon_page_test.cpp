// The GAMON page: its tables and graphs worked by hand and against the
// literal count, its view area, and the page through the whole program.

#include <gtest/gtest.h>

#include <memory>
#include <numeric>
#include <tuple>
#include <vector>

#include "image/gray.h"
#include "image/sample_scene.h"
#include "pages/gamon/gamon_graphs.h"
#include "pages/gamon/gamon_page.h"
#include "pages/kit/page_state.h"
#include "pages/view/view_area.h"
#include "platform/files.h"
#include "reference/develop_literal.h"
#include "support/golden.h"
#include "support/program_session.h"
#include "support/view_corpus.h"

namespace {

constexpr int GamonTabX = 856, TabY = 15;

// Pixels of a canvas: column, plane row, colour.
void ExpectCanvas(const std::vector<std::uint8_t>& canvas, std::initializer_list<std::tuple<int, int, Rgb>> pixels) {
  for (const auto& [column, row, colour] : pixels) EXPECT_EQ(CanvasRgb(canvas, row, column), colour) << column << ", " << row;
}

TEST(GamonGraphs, TwoColourPictureWorkedByHandAndHistogramsAgainstTheLiteralCount) {
  // 100 x 40 window: the left 30 columns (200, 100, 50), gray
  // (299·200 + 587·100 + 114·50) / 1000 = 124; the right 70 columns
  // (20, 40, 60), gray (5980 + 23480 + 6840) / 1000 = 36.
  TestPlanes planes = FlatPlanes(0, 0, 0);
  const ViewRect window{10, 20, 100, 40};
  for (int r = 0; r < window.height; ++r)
    for (int c = 0; c < window.width; ++c)
      c < 30 ? planes.Set(window.bottom + r, window.left + c, 200, 100, 50)
             : planes.Set(window.bottom + r, window.left + c, 20, 40, 60);
  auto tables = std::make_unique<GamonTables>();
  CountGamonTables(planes.View(), window, *tables);
  const GamonTables& t = *tables;
  EXPECT_EQ((std::array{t.density[0][124][50], t.density[1][124][100], t.density[2][124][200], t.histogram[3][124],
                        t.density[0][36][60], t.density[1][36][40], t.density[2][36][20], t.histogram[3][36]}),
            (std::array<std::uint32_t, 8>{1200, 1200, 1200, 1200, 2800, 2800, 2800, 2800}));
  const std::uint32_t maximum = HistogramMaximum(*tables, 0, 0);
  EXPECT_EQ(maximum, 2800u);

  std::vector<std::uint8_t> canvas(CanvasByteCount, 255);
  DrawGamonGraph(canvas.data(), *tables, 8);
  // Column 32 + gray, row 32 + value: each table lights its own channel; the
  // frame around.
  constexpr Rgb Blue{0, 0, 255}, Green{0, 255, 0}, Red{255, 0, 0};
  ExpectCanvas(canvas, {{32 + 124, 32 + 50, Blue}, {32 + 124, 32 + 100, Green}, {32 + 124, 32 + 200, Red},
                        {32 + 36, 32 + 60, Blue},  {32 + 36, 32 + 40, Green},   {32 + 36, 32 + 20, Red},
                        {32 + 100, 32 + 100, White} /* no count */, {32, 100, {200, 200, 20}}, {928, 100, {20, 200, 200}}});

  // "all color": red bin 200 h = min(256, 256 · 1200 / 2800) = 109; red 20
  // is the tallest (256). Rows 32 .. 32 + h.
  DrawAllColourGraph(canvas.data(), *tables, maximum, 1);
  // A bin of 0 count marks row 32 in every channel: white; blue 60 is the tallest blue.
  ExpectCanvas(canvas, {{672 + 200, 32 + 109, Red}, {672 + 200, 32 + 110, Black}, {672 + 20, 287, Red},
                        {672 + 7, 32, White}, {672 + 7, 33, Black}, {672 + 60, 32 + 256, Blue}});

  // "each color": red bins 200, 201 → (128 · 1200 / 2800 + 0) / 2 = 27.
  DrawEachColourGraph(canvas.data(), *tables, maximum, {1, 1, 1, 1});
  // Blue 60: (128 + 0) / 2; a bar of 0 count marks row 32; gray 36.
  constexpr Rgb Back{220, 220, 220};
  ExpectCanvas(canvas, {{352 + 100, 160 + 27, Red}, {352 + 100, 160 + 28, Back}, {352 + 30, 32 + 64, Blue},
                        {352 + 30, 32 + 65, Back}, {352 + 5, 32, Blue}, {480 + 18, 32 + 64, {128, 128, 128}}});
  const ViewRect windows[] = {{0, 0, 960, 672}, {200, 388, 240, 160}, {0, 192, 640, 480}, {5, 7, 0, 0}};
  auto fast = std::make_unique<GamonTables>();
  auto literal = std::make_unique<LiteralGamonTables>();
  for (TestPlanes& picture : ViewCorpus()) {
    for (const ViewRect& w : windows) {
      CountGamonTables(picture.View(), w, *fast);
      LiteralGamonCount(picture.View(), w, *literal);
      for (const auto& h : fast->histogram) {
        EXPECT_EQ(std::accumulate(h.begin(), h.end(), 0ull), 1ull * w.width * w.height) << picture.name;
      }
      EXPECT_EQ(fast->histogram, literal->histogram) << picture.name;
      EXPECT_TRUE(fast->density == literal->density) << picture.name;
    }
  }
  // An empty window: M = 50.
  CountGamonTables(GradientPlanes().View(), {5, 7, 0, 0}, *fast);
  EXPECT_EQ(HistogramMaximum(*fast, 0, 0), 50u);
}

// The mended fault: samples above 255 (or below 0) indexed the tables raw.
TEST(GamonGraphs, SamplesOutside0To255AreClampedAndGrayInFloatIsTheGrayRule) {
  TestPlanes planes = FlatPlanes(10, 10, 10);
  planes.Set(0, 0, 300, 300, 300);
  planes.Set(0, 1, -1, 100000, 70);
  auto tables = std::make_unique<GamonTables>();
  CountGamonTables(planes.View(), {0, 0, 2, 1}, *tables);
  // Red 300 and red -1; gray 300 and gray 58,707 both clamp to 255.
  const GamonTables& t = *tables;
  EXPECT_EQ((std::array{t.histogram[2][255], t.histogram[2][0], t.histogram[1][255], t.histogram[3][255],
                        t.density[0][255][255], t.density[0][255][70]}),
            (std::array<std::uint32_t, 6>{1, 1, 2, 2, 1, 1}));
  // The half-size picture clamps too: red (300 + 300 - 1 + 10) / 4 = 152,
  // green (300 + 300 + 100000 + 10) / 4, blue (300 + 300 + 70 + 10) / 4 = 170.
  std::vector<std::uint8_t> canvas(CanvasByteCount, 0);
  planes.Set(1, 0, 300, 300, 300);
  HalfSizePicture(planes.View(), canvas.data());
  EXPECT_EQ(CanvasRgb(canvas, 320, 0), (Rgb{152, 255, 170}));
  int differing = 0;
  for (std::uint32_t r = 0; r < 256; ++r)
    for (std::uint32_t g = 0; g < 256; ++g)
      for (std::uint32_t b = 0; b < 256; ++b) differing += GrayOfBytesInFloat(r, g, b) != GrayOf(r, g, b);
  EXPECT_EQ(differing, 0);
}

TEST(GamonViewArea, HalfSizeRulesAndTheAnalysisWindow) {
  ViewAreaRecord area;
  int fineMove = 0;
  const auto window = [&] {
    const ViewRect w = GamonAnalysisWindow(area);
    return std::tuple(w.left, w.bottom, w.width, w.height);
  };
  UpdateGamonViewArea(area, 1, 640, 480, fineMove);
  EXPECT_EQ(std::pair(area.left, area.bottom), std::pair(0, 672 - 240));
  EXPECT_EQ(window(), std::tuple(0, 192, 640, 480));  // the whole picture from the top-left corner
  // x4, a click at (260, 150): left 260 - 60 - 100 = 100, bottom 672 - 150 - 40 + 48 = 530.
  UpdateGamonViewArea(area, 4, 640, 480, fineMove);
  CentreGamonViewArea(area, 260, 150);
  EXPECT_EQ(std::pair(area.left, area.bottom), std::pair(100, 530));
  UpdateGamonViewArea(area, 4, 640, 480, fineMove);
  EXPECT_EQ(window(), std::tuple(200, 672 - 2 * (672 - 80 - 530) - 160, 240, 160));
  // The arrows step by 8; the edges hold.
  fineMove = FineMoveUp;
  UpdateGamonViewArea(area, 4, 640, 480, fineMove);
  EXPECT_EQ(area.bottom, 538);
  CentreGamonViewArea(area, 579, 33);
  UpdateGamonViewArea(area, 4, 640, 480, fineMove);
  EXPECT_EQ(std::pair(area.left, area.bottom), std::pair(360, 592));
  CentreGamonViewArea(area, 101, 367);
  EXPECT_EQ(area.bottom, 336);
  for (int i = 0; i < 4; ++i) {
    fineMove = FineMoveDown;
    UpdateGamonViewArea(area, 4, 640, 480, fineMove);
  }
  EXPECT_EQ(area.bottom, 320);
  EXPECT_EQ(std::get<1>(window()), 0);
}

// ---- The page through the whole program --------------------------------

void StartOnScene(ProgramSession& s) {
  ASSERT_TRUE(WriteFileAtomically(s.PathIn("scene.bmp"), EncodePictureBmp(MakeSampleScene(640, 480))));
  s.Start(s.PathIn("scene.bmp"));
}

std::vector<std::uint32_t> WorkPlanesCopy() {
  std::vector<std::uint32_t> copy;
  for (std::size_t k = 0; k < 3; ++k)
    copy.insert(copy.end(), WorkPlanes[k].begin(), WorkPlanes[k].begin() + Stride * CanvasRows);
  return copy;
}

TEST(GamonPage, Keep13AndSetSaveStoreTheScreenAndKeepTheImage) {
  ProgramSession s;
  StartOnScene(s);
  s.Click(GamonTabX, TabY);
  const std::vector<std::uint32_t> image = WorkPlanesCopy();
  const std::vector<std::uint8_t> screen = s.ShownCanvas();

  s.ClickControl(PageGamon, "KEEP13");
  EXPECT_EQ(CanvasDifference(FileBytes(s.PathIn("KEEP13.bmp")), KeepFileOf(screen)), "");
  EXPECT_EQ(WorkPlanesCopy(), image);

  // "set SAVE": the screen under a name (x1: the shown size, 640 x 480 from
  // the top-left), and the image in hand stays the picture.
  s.ClickControlWithFile(PageGamon, "set SAVE", s.PathIn("graphs.bmp"));
  EXPECT_EQ(FileBytes(s.PathIn("graphs.bmp")), SavedBmpOf(screen, 640, 480));
  EXPECT_EQ(WorkPlanesCopy(), image);
  EXPECT_EQ(s.ShownCanvas(), screen);  // the graphs are not drawn from themselves
  // The "Save" tab does the same; Cancel writes nothing.
  s.dialogs().QueueFile(std::nullopt);
  s.Click(912, TabY);
  EXPECT_EQ(WorkPlanesCopy(), image);
  s.Click(240, TabY);  // MAP
  EXPECT_EQ(WorkPlanesCopy(), image);
}

TEST(GamonPage, X1ShowsTheWholePictureWithoutFrameOrEnlargedView) {
  ProgramSession s;
  s.StartOnPage(PageGamon, [](int x, int) { return x < 320 ? Rgb{200, 100, 50} : Rgb{20, 40, 60}; }, 640, 480);
  // Half-size picture at the upper left; the enlarged view area stays white.
  ExpectShown(s, {{100 + 10, 32 + 671 - 600, {200, 100, 50}}, {100 + 300, 32 + 671 - 600, {20, 40, 60}},
                  {100 + 700, 32 + 671 - 500, White}});
  // The window is the whole picture plus nothing: the gray dots of the two
  // colours, and the white of the canvas below the picture is not counted.
  // (The picture's own last row and column may be whitened by the paint.)
  const auto& gray = GamonCounts.histogram[3];
  EXPECT_EQ(std::accumulate(gray.begin(), gray.end(), 0ull), 640ull * 480);
  EXPECT_GE(gray[124], 320u * 479u);
  EXPECT_GE(gray[36], 319u * 479u);
  EXPECT_EQ(gray[124] + gray[36] + gray[255], 640u * 480u);
  ExpectShown(s, {{100 + 32 + 124, 32 + 671 - (32 + 50), {0, 0, 255}}});
}

TEST(GamonPageGolden, X1JapaneseAndX4English) {
  for (const bool x4 : {false, true}) {
    ProgramSession s;
    StartOnScene(s);
    if (x4) s.ClickControl(PageTop, "ENGLISH");  // TOP's language switch
    s.Click(GamonTabX, TabY);
    if (x4) {
      s.ClickControl(PageGamon, "×4");
      s.Click(260, 150);  // the view area on the half-size picture
    }
    EXPECT_GOLDEN(x4 ? "gamon_x4_english" : "gamon_x1_japanese", s.window().Shown());
  }
}

}  // namespace
