// The batch tool vazesample-eye: its output matches the engine run the way
// the TOP page runs it, and bad use or input gives one line on standard error,
// a non-zero exit and no OUTPUT (an existing OUTPUT stays as it was).
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "image/bmp_files.h"
#include "image/planes.h"
#include "pages/tone/vantor_eye.h"
#include "platform/files.h"
#include "platform/picture_loader.h"

namespace {

namespace fs = std::filesystem;

const std::string Tool = VZ_BINARY_DIR "/tools/eye/vazesample-eye";

struct ToolRun {
  int exitCode = 0;
  std::string errorText;
};

class EyeTool : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = fs::temp_directory_path() / ("vz_eye_tool_" + std::to_string(::getpid()) + "_" +
                                          ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder);
    fs::create_directories(folder);
  }
  void TearDown() override { fs::remove_all(folder); }

  std::string Path(const std::string& leaf) const { return (folder / leaf).string(); }

  ToolRun Run(const std::string& arguments) const {
    const std::string errors = Path("stderr.txt");
    const std::string command = "'" + Tool + "' " + arguments + " 2>'" + errors + "' >/dev/null";
    const int status = std::system(command.c_str());
    ToolRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream in(errors);
    run.errorText.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return run;
  }

  fs::path folder;
};

std::vector<std::uint8_t> ReadBytes(const std::string& path) {
  auto bytes = ReadWholeFile(path, 1u << 28);
  return bytes ? *bytes : std::vector<std::uint8_t>{};
}

// A w x h test picture as a 24-bit BMP (the program's own layout).
std::vector<std::uint8_t> TestPictureBmp(int w, int h) {
  return EncodeBmp(w, h, 0, [&](int row, std::uint8_t* out) {
    for (int x = 0; x < w; ++x) {
      out[3 * x] = static_cast<std::uint8_t>(60 + (x * 7 + row * 3) % 150);        // blue
      out[3 * x + 1] = static_cast<std::uint8_t>(90 + (x * x / 40 + row) % 120);   // green
      out[3 * x + 2] = static_cast<std::uint8_t>(row < h / 2 ? 200 - x % 50 : 40 + (x / 9) * 5 % 100);  // red
    }
  });
}

int LineCount(const std::string& text) {
  int lines = 0;
  for (char c : text) lines += c == '\n';
  return lines;
}

struct Planes3 {
  int width, height;
  std::array<std::vector<std::uint32_t>, 3> plane;
  PlaneView view() { return PlaneView{{plane[0].data(), plane[1].data(), plane[2].data()}, width, height}; }
};

}  // namespace

TEST_F(EyeTool, PlacedPictureMatchesTheEngine) {
  ASSERT_TRUE(fs::exists(Tool)) << Tool;
  const std::string input = Path("in.bmp");
  ASSERT_TRUE(WriteFileAtomically(input, TestPictureBmp(300, 200)));
  ToolRun run = Run("--key C --mode weak-light --sunglass 3 '" + input + "' '" + Path("out.bmp") + "'");
  ASSERT_EQ(run.exitCode, 0) << run.errorText;
  run = Run("'" + input + "' '" + Path("default.bmp") + "'");
  ASSERT_EQ(run.exitCode, 0) << run.errorText;

  // The same pass here: place the picture, levels of the canvas, every row.
  const auto picture = LoadPicture(input);
  ASSERT_TRUE(picture);
  std::vector<std::uint8_t> canvas(CanvasByteCount);
  DrawPictureIntoCanvas(*picture, canvas.data());
  for (const auto& [arguments, file] : {std::pair{std::string("C weak-light 3"), std::string("out.bmp")},
                                        std::pair{std::string("F both 2"), std::string("default.bmp")}}) {
    InnerFromCanvas(canvas.data(), Stride, CanvasRows);
    PlanesFromCanvas(canvas.data(), Stride, CanvasRows);
    EyeParameters p;
    p.mode = arguments[2] == 'w' ? 5 : 1;
    p.sunGlassLevel = arguments.back() - '0';
    const auto levels = ChannelLevelsOf(WorkView(), Stride, CanvasRows);
    for (std::size_t c = 0; c < 3; ++c) p.reference[c] = levels[c].middle;
    const int n = WindowOfHornKey(arguments[0] - 'A' + 1);
    VantorEyeRowsOn(InnerView(), WorkView(), Stride, CanvasRows, n, p, 0, CanvasRows, 2);
    const std::vector<std::uint8_t> expected = EncodeBmp(Stride, CanvasRows, 0, [](int row, std::uint8_t* out) {
      for (int x = 0; x < Stride; ++x)
        for (int k = 0; k < 3; ++k) out[3 * x + k] = static_cast<std::uint8_t>(WorkView().at(k, row, x));
    });
    EXPECT_TRUE(ReadBytes(Path(file)) == expected) << file;
  }
}

TEST_F(EyeTool, FullSizeAndPngAgree) {
  const std::string input = Path("in.bmp");
  ASSERT_TRUE(WriteFileAtomically(input, TestPictureBmp(1000, 90)));
  ToolRun run = Run("--full-size --ref 10,200,30 --key E '" + input + "' '" + Path("full.bmp") + "'");
  ASSERT_EQ(run.exitCode, 0) << run.errorText;
  run = Run("--full-size --ref=10,200,30 --key=E '" + input + "' '" + Path("full.png") + "'");
  ASSERT_EQ(run.exitCode, 0) << run.errorText;

  const auto picture = LoadPicture(input);
  ASSERT_TRUE(picture);
  Planes3 source{1000, 90, {}};
  for (auto& plane : source.plane) plane.resize(1000 * 90);
  for (int y = 0; y < 90; ++y)
    for (int x = 0; x < 1000; ++x)
      for (int k = 0; k < 3; ++k)
        source.view().at(k, 89 - y, x) = picture->rgb[static_cast<std::size_t>((y * 1000 + x) * 3 + (2 - k))];
  Planes3 target = source;
  EyeParameters p;
  p.reference = {30, 200, 10};  // blue, green, red from R,G,B
  VantorEyeRowsOn(source.view(), target.view(), 1000, 90, 12, p, 0, 90, 1);
  const std::vector<std::uint8_t> expected = EncodeBmp(1000, 90, 0, [&](int row, std::uint8_t* out) {
    for (int x = 0; x < 1000; ++x)
      for (int k = 0; k < 3; ++k) out[3 * x + k] = static_cast<std::uint8_t>(target.view().at(k, row, x));
  });
  EXPECT_TRUE(ReadBytes(Path("full.bmp")) == expected);
  const auto fromPng = LoadPicture(Path("full.png"));
  const auto fromBmp = LoadPicture(Path("full.bmp"));
  ASSERT_TRUE(fromPng && fromBmp);
  EXPECT_TRUE(fromPng->rgb == fromBmp->rgb);
}

TEST_F(EyeTool, FailuresSayOneLineAndLeaveOutputAlone) {
  const std::string input = Path("in.bmp");
  ASSERT_TRUE(WriteFileAtomically(input, TestPictureBmp(64, 64)));
  std::vector<std::uint8_t> damaged = TestPictureBmp(64, 64);
  damaged.resize(200);  // header promises far more pixels than follow
  ASSERT_TRUE(WriteFileAtomically(Path("damaged.bmp"), damaged));
  const std::vector<std::uint8_t> old = {'o', 'l', 'd'};
  const std::string existing = Path("existing.bmp");
  ASSERT_TRUE(WriteFileAtomically(existing, old));

  const struct {
    std::string arguments;
    std::string output;
  } cases[] = {
      {"--colour 3 '" + input + "' '" + Path("a.bmp") + "'", Path("a.bmp")},
      {"--key Z '" + input + "' '" + Path("b.bmp") + "'", Path("b.bmp")},
      {"--ref 1,2 '" + input + "' '" + Path("c.bmp") + "'", Path("c.bmp")},
      {"'" + Path("missing.bmp") + "' '" + Path("d.bmp") + "'", Path("d.bmp")},
      {"'" + Path("damaged.bmp") + "' '" + Path("e.png") + "'", Path("e.png")},
      {"'" + input + "' '" + Path("no/such/folder/f.bmp") + "'", Path("no/such/folder/f.bmp")},
      {"'" + Path("damaged.bmp") + "' '" + existing + "'", existing},
      {"--mode sideways '" + input + "' '" + existing + "'", existing},
      {"'" + input + "'", ""},
  };
  for (const auto& c : cases) {
    const ToolRun run = Run(c.arguments);
    EXPECT_NE(run.exitCode, 0) << c.arguments;
    EXPECT_EQ(LineCount(run.errorText), 1) << c.arguments << ": " << run.errorText;
    EXPECT_EQ(run.errorText.rfind("vazesample-eye: ", 0), 0u) << run.errorText;
    if (c.output == existing) {
      EXPECT_TRUE(ReadBytes(existing) == old) << c.arguments;
    } else if (!c.output.empty()) {
      EXPECT_FALSE(fs::exists(c.output)) << c.arguments;
    }
  }
  // No temporary file is left behind either.
  int files = 0;
  for (const auto& entry : fs::directory_iterator(folder)) files += entry.is_regular_file();
  EXPECT_EQ(files, 4);  // in, damaged, existing, stderr.txt
}

TEST_F(EyeTool, HelpPrintsUsage) {
  const std::string out = Path("help.txt");
  const int status = std::system(("'" + Tool + "' --help >'" + out + "'").c_str());
  EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 0);
  std::ifstream in(out);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("usage: vazesample-eye [options] INPUT OUTPUT"), std::string::npos);
  EXPECT_NE(text.find("--full-size"), std::string::npos);
}
