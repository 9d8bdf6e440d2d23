// The batch tool vazesample-eye: its output matches the engine run the way
// the TOP page runs it, and bad use or input gives one line on standard error,
// a non-zero exit and no OUTPUT (an existing OUTPUT stays as it was).
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "image/picture_in_hand.h"
#include "ops/vantor_eye.h"
#include "reference/vantor_eye_literal.h"
#include "platform/files.h"
#include "platform/picture_loader.h"
#include "support/program_session.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

const std::string Tool = VZ_BINARY_DIR "/tools/eye/vazesample-eye";

struct ToolRun {
  int exitCode = 0;
  std::string errorText;
};

// Runs a shell command line in the current folder, standard output and error
// kept in stdout.txt and stderr.txt there; by default the tool with `arguments`.
ToolRun RunShell(const std::string& line) {
  const int status = std::system(("(" + line + ") >stdout.txt 2>stderr.txt").c_str());
  const Bytes err = FileBytes("stderr.txt");
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, std::string(err.begin(), err.end())};
}
ToolRun RunTool(const std::string& arguments) { return RunShell("exec '" + Tool + "' " + arguments); }

int FilesIn(const std::string& folder) {
  int files = 0;
  for (const auto& entry : fs::directory_iterator(folder)) files += entry.is_regular_file();
  return files;
}

// Blue, green, red of pixel x in row `row` (from the bottom) of an h-row test picture.
std::array<int, 3> TestColour(int x, int row, int h) {
  return {60 + (x * 7 + row * 3) % 150, 90 + (x * x / 40 + row) % 120,
          row < h / 2 ? 200 - x % 50 : 40 + (x / 9) * 5 % 100};
}

// A w x h BMP in the program's own layout; sample(k, row, x) gives blue,
// green, red for k = 0, 1, 2, rows counted from the bottom.
template <typename Sample>
std::vector<std::uint8_t> Bmp(int w, int h, Sample sample) {
  return EncodeBmp(w, h, 0, [&](int row, std::uint8_t* out) {
    for (int x = 0; x < w; ++x)
      for (int k = 0; k < 3; ++k) out[3 * x + k] = static_cast<std::uint8_t>(sample(k, row, x));
  });
}

Bytes TestPictureBmp(int w, int h) {
  return Bmp(w, h, [&](int k, int row, int x) { return TestColour(x, row, h)[static_cast<std::size_t>(k)]; });
}
TestPlanes TestPicturePlanes(int w, int h) {
  TestPlanes planes(w, h);
  for (int k = 0; k < 3; ++k)
    for (int row = 0; row < h; ++row)
      for (int x = 0; x < w; ++x) planes.At(k, row, x) = static_cast<std::uint32_t>(TestColour(x, row, h)[static_cast<std::size_t>(k)]);
  return planes;
}

// The picture of `file` placed on the canvas and taken into the inner memory
// and the work planes, as the TOP page holds it; the canvas's 50 % levels.
std::array<int, 3> Placed(const std::string& file, Bytes& canvas) {
  const auto picture = LoadPicture(file);
  EXPECT_TRUE(picture) << file;
  canvas.assign(CanvasByteCount, 0);
  if (picture) DrawPictureIntoCanvas(*picture, canvas.data());
  InnerFromCanvas(canvas.data(), Stride, CanvasRows);
  PlanesFromCanvas(canvas.data(), Stride, CanvasRows);
  const auto levels = ChannelLevelsOf(WorkView(), Stride, CanvasRows);
  return {levels[0].middle, levels[1].middle, levels[2].middle};
}
Bytes BmpOf(const PlaneView& planes, int w, int h) {
  return Bmp(w, h, [&](int k, int row, int x) { return planes.at(k, row, x); });
}

// The address sanitizer reserves more address space than any memory limit.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool AddressSanitizerOn = true;
#elif defined(__has_feature)
constexpr bool AddressSanitizerOn = __has_feature(address_sanitizer);
#else
constexpr bool AddressSanitizerOn = false;
#endif

}  // namespace

// Each test runs in the fresh working folder of a program session.

// A light picture with a dark block over its bottom 40 rows in columns
// 150..399: its 50 % levels are light, so a white row under the block, if it
// were computed, would be pulled down (as it was: 255 -> 253 in row 271).
std::array<int, 3> DarkFootedColour(int x, int row) {
  if (x >= 150 && x < 400 && row < 40) return {10 + (x * 3 + row) % 40, 20 + (x + row * 5) % 30, 15 + (x * x / 50 + row) % 35};
  return {200 + (x * 7 + row * 3) % 50, 190 + (x + row) % 60, 205 + (x / 3 + row * 2) % 45};
}

// Placed, the pass is the TOP page's, here on the picture's work planes: the
// rows from the top of the canvas down to the picture's bottom row (272 for
// a 600 x 400 picture), and the white rows under it stay white. The literal
// form gives the same bytes.
TEST(EyeTool, APlacedPassIsTheEnginesAndLeavesTheRowsUnderA600By400PictureWhite) {
  ProgramSession session;
  ASSERT_TRUE(fs::exists(Tool)) << Tool;
  const auto bmp = Bmp(600, 400, [](int k, int row, int x) { return DarkFootedColour(x, row)[static_cast<std::size_t>(k)]; });
  ASSERT_TRUE(WriteFileAtomically("in.bmp", bmp));
  constexpr std::size_t RowBytes = Stride * 3;
  const struct { std::string options, file; int key, mode, sunGlass; } cases[] = {
      {"--key C", "out.bmp", 3, 1, 2},
      {"--key C --mode weak-light --sunglass 3", "weak.bmp", 3, 5, 3},
      {"", "default.bmp", 6, 1, 2}};  // key F, both, sun glass 2
  Bytes canvas;
  for (const auto& c : cases) {
    const ToolRun run = RunTool(c.options + " in.bmp " + c.file);
    ASSERT_EQ(run.exitCode, 0) << run.errorText;
    const Bytes out = FileBytes(c.file);
    ASSERT_EQ(out.size(), static_cast<std::size_t>(KeepFileBytes));
    const auto row = [&](int r) {
      return out.begin() + static_cast<long>(BmpHeaderBytes + RowBytes * static_cast<std::size_t>(r));
    };
    EXPECT_TRUE(std::all_of(row(0), row(272), [](std::uint8_t b) { return b == 255; })) << c.file << ": rows 0..271";
    const EyeParameters p{.mode = c.mode, .sunGlassLevel = c.sunGlass, .reference = Placed("in.bmp", canvas)};
    VantorEyeRowsOn(InnerView(), WorkView(), Stride, CanvasRows, WindowOfHornKey(c.key), p, 272, CanvasRows, 2);
    EXPECT_TRUE(out == BmpOf(WorkView(), Stride, CanvasRows)) << c.file;
    // The picture's bottom row is computed.
    EXPECT_FALSE(std::equal(row(272), row(273), canvas.begin() + static_cast<long>(272 * RowBytes))) << c.file;
  }
  // The engine over row 271 alone, to show that the row would change if the pass took it.
  const EyeParameters p{.reference = Placed("in.bmp", canvas)};
  VantorEyeRowsOn(InnerView(), WorkView(), Stride, CanvasRows, 8, p, 271, 272, 1);
  int changed = 0;
  for (int x = 0; x < Stride; ++x) changed += WorkView().at(0, 271, x) != 255;
  EXPECT_GT(changed, 200) << "row 271 would not change even if computed";

  const std::string literal = VZ_BINARY_DIR "/bench/vazesample-eye-literal";
  if (fs::exists(literal)) {
    ASSERT_EQ(std::system(("'" + literal + "' in.bmp literal.bmp C").c_str()), 0);
    EXPECT_TRUE(FileBytes("literal.bmp") == FileBytes("out.bmp")) << "the literal form gives other bytes";
  }
}

// At full size the pass is the engine's over the picture's own rows, wider
// than the canvas here, and a PNG holds the same pixels. A write that fails
// part way through the bands (here: over the file size limit) stops every
// worker, says so once and leaves no file behind.
TEST(EyeTool, FullSizeBmpAndPngAgreeAndAWriteFailingHalfWayLeavesNothing) {
  ProgramSession session;
  ASSERT_TRUE(WriteFileAtomically("in.bmp", TestPictureBmp(1000, 400)));  // 1.2 MB out
  for (const char* arguments : {"--full-size --edges white --ref 10,200,30 --key E in.bmp full.bmp",
                                "--full-size --edges=white --ref=10,200,30 --key=E in.bmp full.png"}) {
    const ToolRun run = RunTool(arguments);
    ASSERT_EQ(run.exitCode, 0) << run.errorText;
  }
  TestPlanes source = TestPicturePlanes(1000, 400), target = source;
  const EyeParameters p{.reference = {30, 200, 10}};  // blue, green, red from R,G,B
  VantorEyeRowsOn(source.View(), target.View(), 1000, 400, 12, p, 0, 400, 1);
  EXPECT_TRUE(FileBytes("full.bmp") == BmpOf(target.View(), 1000, 400));
  const auto fromPng = LoadPicture("full.png"), fromBmp = LoadPicture("full.bmp");
  ASSERT_TRUE(fromPng && fromBmp);
  EXPECT_TRUE(fromPng->rgb == fromBmp->rgb);
  ASSERT_TRUE(fs::remove("full.bmp") && fs::remove("full.png"));
  const ToolRun run = RunShell("trap '' XFSZ; ulimit -f 200; exec '" + Tool + "' --full-size in.bmp out.bmp");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.errorText, "vazesample-eye: cannot write out.bmp: the file could not be written\n");
  EXPECT_EQ(FilesIn(session.Folder()), 3);  // in, stdout.txt, stderr.txt
}

// At full size the pivot is the 50 % levels of the whole picture, and the
// pass is the literal one over it with the edges extended, whether the input
// is a plain BMP read a band at a time (bottom-up or top-down) or any other
// picture decoded first.
TEST(EyeTool, FullSizeFromAnyInputIsTheEnginesPassWithTheWholePicturesLevels) {
  ProgramSession session;
  constexpr int W = 301, H = 150;  // five bands of rows, a last short one; rows padded
  const Bytes bottomUp = TestPictureBmp(W, H);
  ASSERT_TRUE(WriteFileAtomically("in.bmp", bottomUp));
  ASSERT_TRUE(WriteFileAtomically("top-down.bmp", TopDownBmp(bottomUp)));
  const auto picture = LoadPicture("in.bmp");
  ASSERT_TRUE(picture && SavePng("in.png", W, H, picture->rgb.data()));

  TestPlanes source = TestPicturePlanes(W, H), target = source;
  const auto levels = ChannelLevelsOf(source.View(), W, H);
  const EyeParameters p{.reference = {levels[0].middle, levels[1].middle, levels[2].middle}};
  VantorEyePassLiteral(source.View(), target.View(), W, H, WindowOfHornKey(6), p, Edges::Extend);
  const Bytes expected = BmpOf(target.View(), W, H);
  for (const char* input : {"in.bmp", "top-down.bmp", "in.png"}) {
    const ToolRun run = RunTool(std::string("--full-size ") + input + " out.bmp");
    ASSERT_EQ(run.exitCode, 0) << input << ": " << run.errorText;
    EXPECT_TRUE(FileBytes("out.bmp") == expected) << input;
  }
}

TEST(EyeTool, FailuresSayOneLineAndLeaveOutputAlone) {
  ProgramSession session;
  ASSERT_TRUE(WriteFileAtomically("in.bmp", TestPictureBmp(64, 64)));
  Bytes damaged = TestPictureBmp(64, 64);
  damaged.resize(200);  // header promises far more pixels than follow
  ASSERT_TRUE(WriteFileAtomically("damaged.bmp", damaged));
  const Bytes old = {'o', 'l', 'd'};
  ASSERT_TRUE(WriteFileAtomically("existing.bmp", old));
  const struct { std::string arguments, output; } cases[] = {
      {"--colour 3 in.bmp a.bmp", "a.bmp"},          {"--key Z in.bmp b.bmp", "b.bmp"},
      {"--ref 1,2 in.bmp c.bmp", "c.bmp"},           {"missing.bmp d.bmp", "d.bmp"},
      {"damaged.bmp e.png", "e.png"},                {"in.bmp no/such/folder/f.bmp", "no/such/folder/f.bmp"},
      {"damaged.bmp existing.bmp", "existing.bmp"}, {"--mode sideways in.bmp existing.bmp", "existing.bmp"},
      {"in.bmp", ""},
      {"--full-size damaged.bmp existing.bmp", "existing.bmp"},
      {"--full-size in.bmp no/such/folder/g.bmp", "no/such/folder/g.bmp"},
      {"--full-size in.bmp no/such/folder/g.png", "no/such/folder/g.png"},
      {"--full-size stdout.txt h.bmp", "h.bmp"}};
  for (const auto& c : cases) {
    const ToolRun run = RunTool(c.arguments);
    EXPECT_NE(run.exitCode, 0) << c.arguments;
    EXPECT_EQ(std::count(run.errorText.begin(), run.errorText.end(), '\n'), 1) << c.arguments << ": " << run.errorText;
    EXPECT_EQ(run.errorText.rfind("vazesample-eye: ", 0), 0u) << run.errorText;
    if (c.output == "existing.bmp") {
      EXPECT_TRUE(FileBytes(c.output) == old) << c.arguments;
    } else if (!c.output.empty()) {
      EXPECT_FALSE(fs::exists(c.output)) << c.arguments;
    }
  }
  // No temporary file is left behind either: in, damaged, existing, stdout.txt, stderr.txt.
  EXPECT_EQ(FilesIn(session.Folder()), 5);
}

// An 8-bit run-length coded BMP of 1,124 bytes declaring 14000 x 14000
// pixels whose codes end at once (an end-of-bitmap code) is refused from its
// header, with its reason, and within a quarter of a gigabyte of address
// space: it used to take 1.4 GB, and a run then wrote an output.
TEST(EyeTool, ASmallRunLengthFileDeclaringAHugePictureIsRefusedAtOnceWithItsReason) {
  ProgramSession session;
  ASSERT_TRUE(WriteFileAtomically("rle.bmp", SmallRleBmp()));
  const std::string limit = AddressSanitizerOn ? "" : "ulimit -v 262144; ";  // the sanitizer needs more
  for (const char* size : {"", "--full-size "}) {
    const ToolRun run = RunShell(limit + "exec '" + Tool + "' " + size + "rle.bmp out.bmp");
    EXPECT_EQ(run.exitCode, 1) << size;
    EXPECT_EQ(run.errorText,
              "vazesample-eye: cannot read rle.bmp: not a picture this program can read: its 46 bytes of pixel data "
              "cannot code the 14000 rows it declares (at least 220 bytes are needed)\n")
        << size;
    EXPECT_FALSE(fs::exists("out.bmp")) << size;
  }
}

// The workers take bands as they come free and hand them on in order: run
// after run, and on one processor as on all, the bytes are the same and no
// run waits for ever (a run over 20 s counts as hung).
TEST(EyeTool, RunsRepeatedAreIdenticalAndNeverHang) {
  ProgramSession session;
  ASSERT_TRUE(WriteFileAtomically("in.bmp", TestPictureBmp(500, 700)));
  ASSERT_EQ(RunTool("--key C in.bmp first.bmp").exitCode, 0);
  ASSERT_EQ(RunTool("--full-size --key B in.bmp first-full.bmp").exitCode, 0);
  for (int k = 0; k < 24; ++k) {
    const std::string run = std::string("timeout 20 ") + (k % 3 == 2 ? "taskset -c 0 " : "") + "'" + Tool + "' ";
    ASSERT_EQ(std::system((run + "--key C in.bmp again.bmp").c_str()), 0) << "run " << k;
    ASSERT_EQ(std::system((run + "--full-size --key B in.bmp again-full.bmp").c_str()), 0) << "run " << k;
    ASSERT_TRUE(FileBytes("again.bmp") == FileBytes("first.bmp")) << "run " << k;
    ASSERT_TRUE(FileBytes("again-full.bmp") == FileBytes("first-full.bmp")) << "run " << k;
  }
}
