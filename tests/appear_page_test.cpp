// The APPEAR page: RealAppear worked by hand and against its literal form,
// the placement by an offset, and the compositing workflow through the program.

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "image/picture_in_hand.h"
#include "image/sample_scene.h"
#include "pages/kit/page_state.h"
#include "pages/appear/real_appear.h"
#include "reference/real_appear_literal.h"
#include "support/golden.h"
#include "support/program_session.h"

namespace {

// Grey 100 with a 10 x 10 square of one colour at plane rows 100..109, columns 200..209.
std::vector<std::uint8_t> SquareTransfer(Rgb square) {
  std::vector<std::uint8_t> canvas(CanvasByteCount, 100);
  for (int row = 100; row < 110; ++row)
    for (int column = 200; column < 210; ++column) SetCanvasRgb(canvas, row, column, square);
  return canvas;
}
constexpr Rgb BackColour{30, 20, 10};  // red, green, blue
constexpr Rgb TransferGrey{100, 100, 100};
TestPlanes BackPlanes() { return PlanesOfCanvas(PlacedCanvas([](int, int) { return BackColour; })); }

TEST(RealAppear, HardCutForEveryPassKind) {
  const struct { PassZone zone; Rgb square; bool passes; } cases[] = {
      {{1, 0, 0, 1}, {0, 0, 0}, true},            // black
      {{2, 255, 255, 1}, {255, 255, 255}, true},  // white
      {{3, 200, 220, 1}, {210, 205, 215}, true}, {{3, 200, 220, 1}, {210, 199, 215}, false},  // all three within
      {{4, 150, 160, 2}, {150, 160, 150}, true},  // luma (44850 + 93920 + 17100) / 1000 = 155
      {{4, 156, 160, 2}, {150, 160, 150}, false},
      {{4, 240, 255, 3}, {250, 0, 0}, true}, {{4, 240, 255, 4}, {0, 250, 0}, true},  // red, green
      {{4, 240, 255, 5}, {0, 0, 250}, true},  // blue
      {{4, 240, 255, 6}, {0, 250, 250}, true}, {{4, 240, 255, 6}, {250, 250, 0}, false},  // green and blue
      {{4, 240, 255, 7}, {250, 0, 250}, true}, {{4, 240, 255, 8}, {250, 250, 0}, true},  // red and blue, red and green
      // No pass zone (modes 0 and 5): the transfer picture.
      {{0, 255, 255, 1}, {255, 255, 255}, false}, {{5, 255, 255, 1}, {255, 255, 255}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("mode " + std::to_string(c.zone.mode) + " channel " + std::to_string(c.zone.channel));
    const auto transfer = SquareTransfer(c.square);
    TestPlanes back = BackPlanes();
    RealAppear(transfer.data(), back.View(), Stride, CanvasRows, c.zone, 0);
    const Rgb square = c.passes ? BackColour : c.square;
    EXPECT_EQ((std::array{back.PixelAt(105, 205), back.PixelAt(100, 200), back.PixelAt(99, 200), back.PixelAt(0, 0),
                          back.PixelAt(671, 959)}),
              (std::array{square, square, TransferGrey, TransferGrey, TransferGrey}));
  }
}

TEST(RealAppear, EdgeWidthOneBlendsOverThreeByThree) {
  const auto transfer = SquareTransfer(White);
  TestPlanes back = BackPlanes();
  RealAppear(transfer.data(), back.View(), Stride, CanvasRows, PassZone{2, 255, 255, 1}, 1);
  const std::tuple<int, int, Rgb> pixels[] = {
      // Corner of the square: p = 4 of n = 9, T = 255: (10*4 + 255*5) / 9 = 146,
      // (20*4 + 1275) / 9 = 150, (30*4 + 1275) / 9 = 155.
      {100, 200, {155, 150, 146}},
      // Just below it: p = 2, T = 100: (10*2 + 700) / 9 = 80, 740 / 9 = 82, 760 / 9 = 84.
      {99, 200, {84, 82, 80}},
      // Edge middle: p = 6, T = 255: (60 + 765) / 9 = 91, (120 + 765) / 9 = 98, (180 + 765) / 9 = 105.
      {105, 200, {105, 98, 91}},
      // The whole window passes, none of it does; the frame of width 1 keeps the back picture.
      {105, 205, BackColour}, {300, 300, TransferGrey}, {0, 500, BackColour}, {300, 959, BackColour}};
  for (const auto& [row, column, colour] : pixels) EXPECT_EQ(back.PixelAt(row, column), colour) << row << ", " << column;
  // A transfer picture that is white everywhere gives the back picture.
  const std::vector<std::uint8_t> allWhite(CanvasByteCount, 255);
  TestPlanes plain = BackPlanes();
  RealAppear(allWhite.data(), plain.View(), Stride, CanvasRows, PassZone{}, 1);
  EXPECT_EQ(plain.plane, BackPlanes().plane);
}

TEST(RealAppear, FastFormGivesTheLiteralBytes) {
  std::mt19937 random(12);
  // Flat white, a gradient, noise half of it white, and the sample scene.
  std::vector<std::vector<std::uint8_t>> corpus(4, std::vector<std::uint8_t>(CanvasByteCount, 255));
  for (std::size_t i = 0; i < CanvasByteCount; ++i) corpus[1][i] = static_cast<std::uint8_t>((i / 3) % 960 * 255 / 959);
  for (std::size_t i = 0; i < corpus[2].size(); i += 3) {
    const bool white = random() % 2 == 0;
    for (std::size_t k = 0; k < 3; ++k) corpus[2][i + k] = white ? 255 : static_cast<std::uint8_t>(random());
  }
  DrawPictureIntoCanvas(MakeSampleScene(Stride, CanvasRows), corpus[3].data());
  const std::vector<PassZone> zones = {PassZone{2, 255, 255, 1}, PassZone{4, 100, 180, 2}};
  for (std::size_t t = 0; t < corpus.size(); ++t)
    for (const PassZone& zone : zones)
      for (const int e : {0, 1, 3, 8}) {
        // The literal form is slow with wide windows: those run on one picture each.
        if ((e == 8 && (zone.mode != 2 || t != 3)) || (e == 3 && t != 2)) continue;
        TestPlanes fast = PlanesOfCanvas(corpus[3]), literal = fast;
        RealAppear(corpus[t].data(), fast.View(), Stride, CanvasRows, zone, e);
        LiteralRealAppear(corpus[t].data(), literal.View(), Stride, CanvasRows, zone, e);
        EXPECT_EQ(fast.plane, literal.plane) << "picture " << t << " mode " << zone.mode << " e " << e;
      }
}

TEST(PlaceTransfer, OffsetMovesThePictureAndLeavesWhite) {
  // The colour of plane row r, column c is (r, c, 7), their low bytes.
  const std::vector<std::uint8_t> source = PlacedCanvas([](int x, int y) {
    return Rgb{static_cast<std::uint8_t>(CanvasRows - 1 - y), static_cast<std::uint8_t>(x), 7};
  });
  std::vector<std::uint8_t> placed(CanvasByteCount);
  PlaceTransferPixels(source.data(), placed.data(), 0, 0);
  EXPECT_EQ(placed, source);  // row 0 and column 0 included
  // A drag 30 right and 20 down: offset (-30, +20).
  PlaceTransferPixels(source.data(), placed.data(), -30, 20);
  const std::tuple<int, int, Rgb> pixels[] = {{100, 130, {120, 100, 7}}, {0, 30, {20, 0, 7}},     {100, 29, White},
                                              {652, 500, White},         {651, 959, {671 % 256, 929 % 256, 7}}};
  for (const auto& [row, column, colour] : pixels) EXPECT_EQ(CanvasRgb(placed, row, column), colour) << row << ", " << column;
  PlaceTransferPixels(source.data(), placed.data(), 5000, -5000);
  EXPECT_EQ(std::count(placed.begin(), placed.end(), 255), CanvasByteCount);
}

// [SECTION] Through the program
constexpr int TabY = 15;
constexpr int AppearTabX = 128 + 56 * 12, TransferTabX = 128 + 56 * 11, RestoreTabX = 128 + 56 * 15;

Rgb Back(int x, int) { return Rgb{200, static_cast<std::uint8_t>(x / 40 % 2 * 200), 50}; }
// White in x 300..499, y 200..399 (from the top), never white elsewhere.
Rgb Transfer(int x, int y) {
  if (x >= 300 && x < 500 && y >= 200 && y < 400) return White;
  return Rgb{static_cast<std::uint8_t>(x % 250), 80, static_cast<std::uint8_t>(y % 250)};
}

// The composite worked directly: the transfer picture placed by the offset
// (white where nothing lands), the back picture wherever that is white.
std::vector<std::uint8_t> Composite(int offsetX, int offsetY) {
  const auto back = PlacedCanvas(Back), transfer = PlacedCanvas(Transfer);
  std::vector<std::uint8_t> out(CanvasByteCount);
  for (int row = 0; row < CanvasRows; ++row)
    for (int column = 0; column < Stride; ++column) {
      const int sourceRow = row + offsetY, sourceColumn = column + offsetX;
      const bool lands = sourceRow >= 0 && sourceRow < CanvasRows && sourceColumn >= 0 && sourceColumn < Stride;
      const Rgb t = lands ? CanvasRgb(transfer, sourceRow, sourceColumn) : White;
      SetCanvasRgb(out, row, column, t == White ? CanvasRgb(back, row, column) : t);
    }
  return out;
}

// A session with the back picture taken from FILTER and the transfer
// picture loaded on Transfer, then on APPEAR.
struct AppearSession {
  ProgramSession s;
  AppearSession() {
    s.StartOnPage(1, Back, 960, 672);
    s.Click(AppearTabX, TabY);
    s.Click(TransferTabX, TabY);
    WriteTestPicture(s.PathIn("transfer.bmp"), 960, 672, Transfer);
    s.ClickControlWithFile(PageTransfer, "1)GetShadow", s.PathIn("transfer.bmp"));
    s.Click(AppearTabX, TabY);
  }
  std::vector<std::uint8_t> File(const std::string& name) { return FileBytes(s.PathIn(name)); }
};

TEST(AppearPage, WholeCompositingWorkflowByteForByte) {
  AppearSession a;
  EXPECT_EQ(a.File("0000back.bmp"), KeepFileOf(PlacedCanvas(Back)));
  EXPECT_EQ(a.File("0000trfr.bmp"), KeepFileOf(PlacedCanvas(Transfer)));
  EXPECT_EQ(a.s.ShownCanvas(), PlacedCanvas(Transfer));  // entered from Transfer: the transfer picture
  a.s.ClickControl(PageAppear, "3)real appear");
  EXPECT_EQ(a.s.ShownCanvas(), Composite(0, 0));
  // "mouse move" on without a drag places the picture where it was.
  a.s.ClickControl(PageAppear, "mouse move");
  EXPECT_EQ(a.s.ShownCanvas(), Composite(0, 0));
  // Dragging 30 right and 20 down, then 10 right and 5 up: the offsets add up.
  a.s.Drag(500, 300, 530, 320);
  EXPECT_EQ(a.s.ShownCanvas(), Composite(-30, 20));
  a.s.Drag(600, 400, 610, 395);
  const auto moved = Composite(-40, 15);
  EXPECT_EQ(a.s.ShownCanvas(), moved);
  a.s.ClickControl(PageAppear, "4)KEEP12");
  EXPECT_EQ(a.File("KEEP12.bmp"), KeepFileOf(moved));
  EXPECT_EQ(a.s.dialogs().MessageCount(), 0u);
  EXPECT_GOLDEN("appear_moved", a.s.window().Shown());
}

TEST(AppearPage, MissingOrForeignWorkFileIsReportedOnceAndTheLoadedPictureShows) {
  for (const bool foreign : {false, true}) {
    ProgramSession s;
    s.StartOnPage(1, Back, 960, 672);
    if (foreign) WriteTestPicture(s.PathIn("0000trfr.bmp"), 100, 100, Transfer);
    s.Click(AppearTabX, TabY);
    s.ClickControl(PageAppear, "3)real appear");
    for (int k = 0; k < 3; ++k) s.ClickControl(PageAppear, "pass zone");  // explanation clicks: more paints
    EXPECT_EQ(s.dialogs().MessageCount(), 1u) << (foreign ? "foreign" : "missing");
    EXPECT_EQ(s.ShownCanvas(), PlacedCanvas(Back));
  }
}

TEST(AppearPage, FailedRestoreAndCancelledOpensKeepTheWorkFilesAndChosenPicturesReplaceThem) {
  AppearSession a;
  const auto back = a.File("0000back.bmp");
  const auto transfer = a.File("0000trfr.bmp");
  a.s.Click(RestoreTabX, TabY);  // no KEEP12 yet
  EXPECT_EQ(a.s.dialogs().MessageCount(), 1u);
  EXPECT_EQ(a.File("0000back.bmp"), back);
  for (const char* key : {"1)back image", "2)trfr image"}) {
    a.s.ClickControlWithFile(PageAppear, key, std::nullopt);
    EXPECT_EQ(a.File("0000back.bmp"), back);
    EXPECT_EQ(a.File("0000trfr.bmp"), transfer);
  }
  // A chosen back picture becomes the work file; Restore of a stored KEEP12 does too.
  WriteTestPicture(a.s.PathIn("other.bmp"), 960, 672, Transfer);
  a.s.ClickControlWithFile(PageAppear, "1)back image", a.s.PathIn("other.bmp"));
  EXPECT_EQ(a.File("0000back.bmp"), KeepFileOf(PlacedCanvas(Transfer)));
  a.s.ClickControl(PageAppear, "4)KEEP12");
  std::filesystem::remove(a.s.PathIn("0000back.bmp"));
  a.s.Click(RestoreTabX, TabY);
  EXPECT_EQ(a.File("0000back.bmp"), a.File("KEEP12.bmp"));
}

}  // namespace
