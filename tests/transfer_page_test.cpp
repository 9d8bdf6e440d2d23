// The Transfer page through the whole program: the shadow picture cut by a
// polygon ("0000iso.bmp"), the stencil, the pattern file byte by byte, the
// real picture shot through the stencil ("0000trfr.bmp", KEEP11), Cancel of
// each of its dialogs, the guards of "close" and "delete", a failing work
// file reported once, and the golden screen.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "image/bmp_files.h"
#include "image/planes.h"
#include "pages/pattern/stencil.h"
#include "platform/dialogs.h"
#include "support/golden.h"
#include "support/program_session.h"

namespace {

constexpr int TransferTab = 11;

// No white anywhere in these two, so the only white is what the page makes.
Rgb Shadow(int x, int y) { return Rgb{static_cast<std::uint8_t>(x % 200), static_cast<std::uint8_t>(y % 200), 100}; }
Rgb Real(int x, int y) {
  return Rgb{static_cast<std::uint8_t>(x * 7 % 256), static_cast<std::uint8_t>(y * 3 % 256), 50};
}

// A canvas (bottom-up blue, green, red) of a 960 x 672 picture.
std::vector<std::uint8_t> CanvasOf(Rgb (*colour)(int, int)) {
  std::vector<std::uint8_t> canvas(CanvasByteCount);
  for (int row = 0; row < CanvasRows; ++row) {
    for (int column = 0; column < Stride; ++column) {
      const Rgb c = colour(column, CanvasRows - 1 - row);
      const std::size_t i = (static_cast<std::size_t>(row) * Stride + column) * 3;
      canvas[i] = c.b;
      canvas[i + 1] = c.g;
      canvas[i + 2] = c.r;
    }
  }
  return canvas;
}

// The triangle (300, 200), (400, 200), (300, 300) in client points, cut row
// by row: client rows 200..299 from column 200 to column 500 - y (pixel row
// 704 - y); the bottom vertex is a local bottom and its row stays.
bool InTriangle(int column, int row) {
  const int y = 704 - row;
  return y >= 200 && y <= 299 && column >= 200 && column <= 500 - y;
}

void Whiten(std::vector<std::uint8_t>& canvas, bool (*inside)(int, int)) {
  for (int row = 0; row < CanvasRows; ++row)
    for (int column = 0; column < Stride; ++column)
      if (inside(column, row)) {
        const std::size_t i = (static_cast<std::size_t>(row) * Stride + column) * 3;
        canvas[i] = canvas[i + 1] = canvas[i + 2] = 255;
      }
}

struct TransferSession {
  ProgramSession s;
  TransferSession() {
    s.StartOnPage(TransferTab, Shadow, 960, 672);
    WriteTestPicture(s.PathIn("shadow.bmp"), 960, 672, Shadow);
    WriteTestPicture(s.PathIn("real.bmp"), 960, 672, Real);
  }
  // A click on "1)GetShadow" or "5)CallReal" that opens `file`.
  void Open(const std::string& key, const std::string& file) {
    s.dialogs().QueueFile(s.PathIn(file));
    s.ClickControl(TransferTab, key);
  }
  void CutTriangle() {
    s.ClickControl(TransferTab, "start");
    s.Click(300, 200);
    s.Click(400, 200);
    s.Click(300, 300);
    s.ClickControl(TransferTab, "close");
    s.ClickControl(TransferTab, "delete");
  }
  std::vector<std::uint8_t> File(const std::string& name) { return FileBytes(s.PathIn(name)); }
};

TEST(TransferPage, WholeWorkflowByteForByte) {
  TransferSession t;
  // Entering the page writes the work file with the current picture.
  EXPECT_EQ(t.File("0000trfr.bmp"), KeepFileOf(CanvasOf(Shadow)));
  t.Open("1)GetShadow", "shadow.bmp");
  EXPECT_EQ(t.File("KEEP11.bmp"), KeepFileOf(CanvasOf(Shadow)));

  // The cut: the inside of the triangle white, written as "0000iso.bmp".
  t.CutTriangle();
  std::vector<std::uint8_t> cut = CanvasOf(Shadow);
  Whiten(cut, InTriangle);
  EXPECT_EQ(t.File("0000iso.bmp"), KeepFileOf(cut));
  EXPECT_EQ(t.File("0000trfr.bmp"), KeepFileOf(cut));
  EXPECT_EQ(t.s.ShownCanvas(), cut);

  // The stencil: the white cut is the zone, everything else grey 192.
  t.s.ClickControl(TransferTab, "3)Pattarn");
  std::vector<std::uint8_t> stencil(CanvasByteCount, StencilGrey);
  Whiten(stencil, InTriangle);
  EXPECT_EQ(t.s.ShownCanvas(), stencil);

  // The pattern file: header of a 960 x 672 24-bit BMP, then 255 in the
  // zone and 127 in the pattern part, in plane order.
  t.s.dialogs().QueueFile(t.s.PathIn("pattern.bmp"));
  t.s.ClickControl(TransferTab, "4)SavePatt.");
  const std::vector<std::uint8_t> pattern = t.File("pattern.bmp");
  ASSERT_EQ(pattern.size(), 1935414u);
  const std::vector<std::uint8_t> header = {'B', 'M', 0x36, 0x88, 0x1D, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0,
                                            0xC0, 0x03, 0, 0, 0xA0, 0x02, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0,
                                            0x00, 0x88, 0x1D, 0};
  EXPECT_EQ(std::vector<std::uint8_t>(pattern.begin(), pattern.begin() + 38), header);
  EXPECT_TRUE(std::all_of(pattern.begin() + 38, pattern.begin() + 54, [](std::uint8_t b) { return b == 0; }));
  std::vector<std::uint8_t> patternPixels(CanvasByteCount, 127);
  Whiten(patternPixels, InTriangle);
  EXPECT_TRUE(std::equal(patternPixels.begin(), patternPixels.end(), pattern.begin() + 54));

  // The real picture shot through the stencil: real on the pattern part,
  // the zone colour (white) in the zone; the work file follows at once.
  t.Open("5)CallReal", "real.bmp");
  t.s.ClickControl(TransferTab, "6)ShotPatt.");
  std::vector<std::uint8_t> shot = CanvasOf(Real);
  Whiten(shot, InTriangle);
  EXPECT_EQ(t.s.ShownCanvas(), shot);
  EXPECT_EQ(t.File("0000trfr.bmp"), KeepFileOf(shot));
  t.s.ClickControl(TransferTab, "2)KEEP11");
  EXPECT_EQ(t.File("KEEP11.bmp"), KeepFileOf(shot));
  t.s.dialogs().QueueFile(t.s.PathIn("transfer.bmp"));
  t.s.ClickControl(TransferTab, "7)SaveTrfr");
  EXPECT_EQ(t.File("transfer.bmp").size(), 1935414u);
  // Leaving by another tab leaves the shot picture as the transfer picture.
  t.s.Click(128, 15);
  EXPECT_EQ(t.File("0000trfr.bmp"), KeepFileOf(shot));
}

TEST(TransferPage, CancelledDialogsChangeNothing) {
  TransferSession t;
  t.Open("1)GetShadow", "shadow.bmp");
  t.CutTriangle();
  const auto keep = t.File("KEEP11.bmp");
  const auto transfer = t.File("0000trfr.bmp");
  const auto shown = t.s.ShownCanvas();
  // "5)CallReal" and "1)GetShadow" cancelled: no keep file, no read.
  for (const char* key : {"5)CallReal", "1)GetShadow"}) {
    t.s.dialogs().QueueFile(std::nullopt);
    t.s.ClickControl(TransferTab, key);
    EXPECT_EQ(t.File("KEEP11.bmp"), keep);
    EXPECT_EQ(t.File("0000trfr.bmp"), transfer);
    EXPECT_EQ(t.s.ShownCanvas(), shown);
  }
  // "4)SavePatt." cancelled: no file, and the picture is not turned into the stencil.
  t.s.dialogs().QueueFile(std::nullopt);
  t.s.ClickControl(TransferTab, "4)SavePatt.");
  EXPECT_EQ(t.File("0000trfr.bmp"), transfer);
  EXPECT_EQ(t.s.ShownCanvas(), shown);
}

TEST(TransferPage, CloseAndDeleteNeedAPolygon) {
  TransferSession t;
  t.Open("1)GetShadow", "shadow.bmp");
  const auto before = t.s.ShownCanvas();
  // "start", then close and a right click before any point, then "delete":
  // nothing is cut and no "0000iso.bmp" is written.
  t.s.ClickControl(TransferTab, "start");
  t.s.ClickControl(TransferTab, "close");
  t.s.RightClick(500, 300);
  t.s.ClickControl(TransferTab, "delete");
  EXPECT_FALSE(std::filesystem::exists(t.s.PathIn("0000iso.bmp")));
  EXPECT_EQ(t.s.ShownCanvas(), before);
  // After "3)Pattarn" the mask holds the stencil; "delete" without a polygon leaves it.
  t.s.ClickControl(TransferTab, "3)Pattarn");
  const auto stencil = t.s.ShownCanvas();
  t.s.ClickControl(TransferTab, "delete");
  EXPECT_EQ(t.s.ShownCanvas(), stencil);
  EXPECT_FALSE(std::filesystem::exists(t.s.PathIn("0000iso.bmp")));
  // Two points are no polygon to delete either.
  t.s.ClickControl(TransferTab, "start");
  t.s.Click(300, 200);
  t.s.Click(400, 300);
  t.s.ClickControl(TransferTab, "delete");
  EXPECT_FALSE(std::filesystem::exists(t.s.PathIn("0000iso.bmp")));
}

TEST(TransferPage, RightClickClosesThePolygon) {
  TransferSession t;
  t.Open("1)GetShadow", "shadow.bmp");
  t.s.ClickControl(TransferTab, "start");
  t.s.Click(300, 200);
  t.s.Click(400, 200);
  t.s.Click(300, 300);
  t.s.RightClick(700, 500);
  t.s.ClickControl(TransferTab, "delete");
  std::vector<std::uint8_t> cut = CanvasOf(Shadow);
  Whiten(cut, InTriangle);
  EXPECT_EQ(t.File("0000iso.bmp"), KeepFileOf(cut));
}

TEST(TransferPage, AFailingWorkFileIsReportedOnceUntilAWriteSucceeds) {
  TransferSession t;
  std::filesystem::remove(t.s.PathIn("0000trfr.bmp"));
  std::filesystem::create_directory(t.s.PathIn("0000trfr.bmp"));  // cannot be replaced by a file
  t.s.dialogs().TakeShown();
  t.Open("1)GetShadow", "shadow.bmp");
  for (int k = 0; k < 3; ++k) t.s.Click(40, 300);  // explanation clicks: paints
  EXPECT_EQ(t.s.dialogs().MessageCount(), 1u);
  std::filesystem::remove(t.s.PathIn("0000trfr.bmp"));
  t.s.Click(40, 300);
  EXPECT_EQ(t.File("0000trfr.bmp"), KeepFileOf(CanvasOf(Shadow)));
  EXPECT_EQ(t.s.dialogs().MessageCount(), 1u);
}

// The stores take the picture, never the marks drawn over it: with a polygon
// in progress, "2)KEEP11", "7)SaveTrfr", the Save tab and the work file hold
// exactly the picture, while the screen shows the red sides and the cross.
TEST(TransferPage, StoresDuringAPolygonHoldThePictureWithoutItsMarks) {
  ProgramSession folder;
  WriteTestPicture(folder.PathIn("shadow.bmp"), 960, 672, Shadow);
  const auto click = [](const char* key) {
    const ControlPoint point = ControlOf(TransferTab, key);
    return "click " + std::to_string(point.x) + " " + std::to_string(point.y) + "\n";
  };
  const DriverRun run = RunDriverScript(folder.Folder(), "open shadow.bmp\n"
                                         "click 744 16     # Transfer\n" +
                                         click("start") +
                                         "click 300 182\n"
                                         "click 500 182\n"
                                         "click 500 382\n" +
                                         click("2)KEEP11") +
                                         "save-as trfr.bmp\n" +
                                         click("7)SaveTrfr") +
                                         "save-as tab.bmp\n"
                                         "click 900 10     # Save tab\n"
                                         "shot marks.png\n");
  ASSERT_TRUE(run.ok) << run.error;
  const std::vector<std::uint8_t> picture = KeepFileOf(CanvasOf(Shadow));
  EXPECT_EQ(CanvasDifference(FileBytes(folder.PathIn("KEEP11.bmp")), picture), "");
  EXPECT_EQ(CanvasDifference(FileBytes(folder.PathIn("0000trfr.bmp")), picture), "");
  // A 960 x 672 picture saved under a name is the same bytes with the
  // reserved field 0.
  std::vector<std::uint8_t> saved = picture;
  saved[6] = 0;
  EXPECT_EQ(CanvasDifference(FileBytes(folder.PathIn("trfr.bmp")), saved), "");
  EXPECT_EQ(CanvasDifference(FileBytes(folder.PathIn("tab.bmp")), saved), "");
}

TEST(TransferPage, MarksAreShownButNotTaken) {
  TransferSession t;
  t.Open("1)GetShadow", "shadow.bmp");
  t.s.ClickControl(TransferTab, "start");
  t.s.Click(300, 182);
  t.s.Click(500, 182);
  // The side's end pixel (column 200, plane row 704 - 182 = 522, picture
  // row 149) is red on the screen, where plane row 522 shows at client y 181.
  EXPECT_EQ(t.s.Pixel(300, 181), (Rgb{255, 0, 0}));
  t.s.ClickControl(TransferTab, "2)KEEP11");
  EXPECT_EQ(KeepFilePixel(t.File("KEEP11.bmp"), 200, 522), Shadow(200, 149));
  // The polygon ended: the picture as it was, nothing red left in it.
  t.s.ClickControl(TransferTab, "start");
  EXPECT_EQ(t.s.ShownCanvas(), CanvasOf(Shadow));
  EXPECT_EQ(t.File("0000trfr.bmp"), KeepFileOf(CanvasOf(Shadow)));
}

// "4)SavePatt.": the picture becomes the stencil only once the pattern file
// is written, and then in the same paint as the work file.
TEST(TransferPage, APatternSaveThatFailsChangesNothing) {
  TransferSession t;
  t.Open("1)GetShadow", "shadow.bmp");
  t.CutTriangle();
  const auto transfer = t.File("0000trfr.bmp");
  const auto shown = t.s.ShownCanvas();
  t.s.dialogs().TakeShown();
  t.s.dialogs().QueueFile(t.s.PathIn("no-such-folder/pattern.bmp"));
  t.s.ClickControl(TransferTab, "4)SavePatt.");
  const auto messages = t.s.dialogs().TakeShown();
  ASSERT_EQ(messages.size(), 2u);  // the save dialog, then the message
  EXPECT_EQ(messages[1].text, "ピクセルデータの書き込みに失敗しました: pattern.bmp (フォルダがありません)");
  EXPECT_EQ(t.File("0000trfr.bmp"), transfer);
  EXPECT_EQ(t.s.ShownCanvas(), shown);
  EXPECT_FALSE(std::filesystem::exists(t.s.PathIn("no-such-folder")));
  // Written: the screen shows the stencil at once, as the work file holds it.
  t.s.dialogs().QueueFile(t.s.PathIn("pattern.bmp"));
  t.s.ClickControl(TransferTab, "4)SavePatt.");
  std::vector<std::uint8_t> stencil(CanvasByteCount, StencilGrey);
  Whiten(stencil, InTriangle);
  EXPECT_EQ(t.s.ShownCanvas(), stencil);
  EXPECT_EQ(t.File("0000trfr.bmp"), KeepFileOf(stencil));
}

// A black outline three pixels wide at picture columns 400..402.
Rgb ShadowWithOutline(int x, int y) { return x >= 400 && x <= 402 ? Rgb{0, 0, 0} : Shadow(x, y); }

TEST(TransferPage, TraceSnapsAClickOntoTheOutline) {
  TransferSession t;
  WriteTestPicture(t.s.PathIn("outlined.bmp"), 960, 672, ShadowWithOutline);
  t.Open("1)GetShadow", "outlined.bmp");
  t.s.ClickControl(TransferTab, "trace outline");  // outline colour black
  t.s.ClickControl(TransferTab, "start");
  t.s.Click(495, 300);  // six pixels left of the outline's middle (client x 501)
  // The cross marker stands at the snapped point (pixel row 704 - 300, shown
  // at client y 299), green because its pixel is outline.
  constexpr Rgb Green{0, 255, 0};
  EXPECT_EQ(t.s.Pixel(493, 299), Green);
  EXPECT_EQ(t.s.Pixel(508, 299), Green);
  EXPECT_EQ(t.s.Pixel(501, 291), Green);
  EXPECT_NE(t.s.Pixel(487, 299), Green);
  // Without the trace the cross stands where the click was, red.
  t.s.ClickControl(TransferTab, "trace outline");
  t.s.ClickControl(TransferTab, "start");
  t.s.ClickControl(TransferTab, "start");
  t.s.Click(495, 300);
  EXPECT_EQ(t.s.Pixel(487, 299), (Rgb{255, 0, 0}));
}

TEST(TransferPage, GoldenPolygon) {
  TransferSession t;
  t.Open("1)GetShadow", "shadow.bmp");
  t.s.ClickControl(TransferTab, "start");
  t.s.Click(300, 200);
  t.s.Click(500, 150);
  t.s.Click(450, 400);
  t.s.ClickControl(TransferTab, "close");
  const auto& shown = t.s.window().Shown();
  EXPECT_GOLDEN("transfer_polygon", std::vector<std::uint8_t>(shown.begin(), shown.end()));
}

}  // namespace
