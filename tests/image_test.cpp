// Planes, the canvas copies, and the BMP files: keep files, "Save" and the
// readers' refusals.
//
// Every test runs in a fresh temporary folder, since the keep files have
// relative names, with the file globals at their start values and a set of
// scripted dialogs that records every message.

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "image/bmp_files.h"
#include "image/planes.h"
#include "platform/dialogs.h"

namespace {

std::vector<std::uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}
std::uint32_t Field(const std::vector<std::uint8_t>& file, std::size_t offset, int size) {
  std::uint32_t value = 0;
  for (int k = size - 1; k >= 0; --k) value = value << 8 | file.at(offset + static_cast<std::size_t>(k));
  return value;
}
void SetField32(std::vector<std::uint8_t>& file, std::size_t offset, std::uint32_t value) {
  for (std::size_t k = 0; k < 4; ++k) file[offset + k] = static_cast<std::uint8_t>(value >> (8 * k));
}

// A sample value with a varied low byte and, now and then, bits above it.
std::uint32_t PlaneValue(std::size_t k, std::size_t i) {
  return static_cast<std::uint32_t>((i * 31 + k * 17 + (i / Stride) * 7) & 0x3FF);
}
void FillWorkPlanes() {
  for (std::size_t k = 0; k < 3; ++k) {
    for (std::size_t i = 0; i < static_cast<std::size_t>(Stride) * CanvasRows; ++i) WorkPlanes[k][i] = PlaneValue(k, i);
  }
}
void FillCanvas(CanvasBuffer& canvas, unsigned salt) {
  for (std::size_t i = 0; i < canvas.size(); ++i) canvas[i] = static_cast<std::uint8_t>(i * 13 + i / 2880 + salt);
}
std::vector<std::uint8_t> WorkPlanesBytes() {
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(CanvasByteCount));
  for (std::size_t i = 0; i < bytes.size() / 3; ++i) {
    for (std::size_t k = 0; k < 3; ++k) bytes[3 * i + k] = static_cast<std::uint8_t>(WorkPlanes[k][i]);
  }
  return bytes;
}
bool WorkPlanesHold(const std::vector<std::uint32_t>& samples) {
  for (std::size_t k = 0; k < 3; ++k) {
    if (!std::equal(samples.begin() + static_cast<std::ptrdiff_t>(k * PlaneCapacity),
                    samples.begin() + static_cast<std::ptrdiff_t>((k + 1) * PlaneCapacity), WorkPlanes[k].begin())) {
      return false;
    }
  }
  return true;
}
std::vector<std::uint32_t> CopyOfWorkPlanes() {
  std::vector<std::uint32_t> samples;
  for (const Plane& plane : WorkPlanes) samples.insert(samples.end(), plane.begin(), plane.end());
  return samples;
}

class ImageFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    char folderTemplate[] = "/tmp/vz-image-test-XXXXXX";
    ASSERT_NE(::mkdtemp(folderTemplate), nullptr);
    folder_ = folderTemplate;
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(folder_);
    ViewScale = 1;
    ShownWidth = Stride;
    ShownHeight = CanvasRows;
    FileWidth = 0;
    FileHeight = 0;
    for (Plane& plane : WorkPlanes) plane.fill(0);
    UseDialogs(&dialogs_);
  }
  void TearDown() override {
    UseDialogs(nullptr);
    std::filesystem::current_path(previous_);
    std::filesystem::remove_all(folder_);
  }
  // Names of everything in the working folder.
  std::vector<std::string> FolderEntries() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder_)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }
  void ExpectOneMessage(const char* text, const char* title) {
    const auto shown = dialogs_.TakeShown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, "message");
    EXPECT_EQ(shown[0].text, text);
    EXPECT_EQ(shown[0].title, title);
  }

  ScriptedDialogs dialogs_;
  std::filesystem::path folder_;
  std::filesystem::path previous_;
  CanvasBuffer canvas_{};
};

// ---- Planes and canvas -------------------------------------------------------

TEST_F(ImageFiles, PlanesTakeCanvasBytesAndGiveBackTheirLowBytes) {
  FillCanvas(canvas_, 5);
  const CanvasBuffer original = canvas_;
  PlanesFromCanvas(canvas_.data(), Stride, CanvasRows);
  EXPECT_EQ(WorkPlanes[0][0], original[0]);
  EXPECT_EQ(WorkPlanes[2][961], original[3 * 961 + 2]);
  canvas_.fill(0);
  CanvasFromPlanes(canvas_.data(), Stride, CanvasRows);
  EXPECT_EQ(canvas_, original);

  // A sample above 255 shows as its low byte: 300 as 44, not 255.
  WorkPlanes[2][5] = 300;
  WorkPlanes[0][6] = 256 + 255;
  CanvasFromPlanes(canvas_.data(), Stride, CanvasRows);
  EXPECT_EQ(canvas_[3 * 5 + 2], 44);
  EXPECT_EQ(canvas_[3 * 6], 255);
}

TEST_F(ImageFiles, WhitenOutsideCoversTheBottomRowAndRightColumnOfASmallPicture) {
  canvas_.fill(0);
  WhitenOutside(canvas_.data(), 800, 600, Stride, CanvasRows);
  int wrong = 0;
  for (int row = 0; row < CanvasRows; ++row) {
    for (int column = 0; column < Stride; ++column) {
      const bool white = row <= 72 || column >= 799;
      for (int k = 0; k < 3; ++k) wrong += canvas_[static_cast<std::size_t>(3 * (row * Stride + column) + k)] != (white ? 255 : 0);
    }
  }
  EXPECT_EQ(wrong, 0);

  for (const auto& [width, height] : {std::pair{960, 672}, std::pair{1200, 900}}) {
    FillCanvas(canvas_, 1);
    const CanvasBuffer before = canvas_;
    WhitenOutside(canvas_.data(), width, height, Stride, CanvasRows);
    EXPECT_EQ(canvas_, before) << width << " x " << height;
  }
}

// ---- Keep files: layout and round trip ---------------------------------------

TEST_F(ImageFiles, KeepFileHasTheWriterLayout) {
  ViewScale = 4;
  FillCanvas(canvas_, 9);
  ASSERT_TRUE(WriteKeepFile(canvas_.data(), 3, PixelSource::FromCanvas));
  const std::vector<std::uint8_t> file = ReadBytes("KEEP3.bmp");
  ASSERT_EQ(file.size(), 1935414u);
  EXPECT_EQ(file[0], 'B');
  EXPECT_EQ(file[1], 'M');
  EXPECT_EQ(Field(file, 2, 4), 1935414u);
  EXPECT_EQ(Field(file, 6, 2), 4u);  // reserved 1: the view scale
  EXPECT_EQ(Field(file, 8, 2), 0u);
  EXPECT_EQ(Field(file, 10, 4), 54u);
  EXPECT_EQ(Field(file, 14, 4), 40u);
  EXPECT_EQ(Field(file, 18, 4), 960u);
  EXPECT_EQ(Field(file, 22, 4), 672u);
  EXPECT_EQ(Field(file, 26, 2), 1u);
  EXPECT_EQ(Field(file, 28, 2), 24u);
  EXPECT_EQ(Field(file, 30, 4), 0u);
  EXPECT_EQ(Field(file, 34, 4), 1935360u);
  for (std::size_t offset = 38; offset < 54; ++offset) EXPECT_EQ(file[offset], 0) << offset;
  EXPECT_TRUE(std::equal(canvas_.begin(), canvas_.end(), file.begin() + 54));
  EXPECT_EQ(dialogs_.MessageCount(), 0u);

  // From WorkPlanes: the low byte of every sample, row 0 first.
  ViewScale = 1;
  FillWorkPlanes();
  ASSERT_TRUE(WriteAppearFile(canvas_.data(), 3, PixelSource::FromPlanes));
  const std::vector<std::uint8_t> back = ReadBytes("0000back.bmp");
  ASSERT_EQ(back.size(), 1935414u);
  EXPECT_EQ(Field(back, 6, 2), 1u);
  const std::vector<std::uint8_t> expected = WorkPlanesBytes();
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), back.begin() + 54));
}

TEST_F(ImageFiles, KeepFileReadsBackIntoPlanesAndCanvas) {
  ViewScale = 4;  // the reader ignores the scale the file carries
  FillCanvas(canvas_, 3);
  const CanvasBuffer original = canvas_;
  ASSERT_TRUE(WriteKeepFile(canvas_.data(), 13, PixelSource::FromCanvas));

  ASSERT_TRUE(ReadKeepFile(canvas_.data(), 13, PixelSource::FromPlanes));
  for (std::size_t i : {std::size_t{0}, std::size_t{1234}, std::size_t{Stride * CanvasRows - 1}}) {
    for (std::size_t k = 0; k < 3; ++k) EXPECT_EQ(WorkPlanes[k][i], original[3 * i + k]);
  }
  EXPECT_TRUE(std::equal(original.begin(), original.end(), WorkPlanesBytes().begin()));

  canvas_.fill(0);
  ASSERT_TRUE(ReadKeepFile(canvas_.data(), 13, PixelSource::FromCanvas));
  EXPECT_EQ(canvas_, original);
  EXPECT_EQ(dialogs_.MessageCount(), 0u);
}

TEST_F(ImageFiles, ReadAppearFileMakesTheWholeCanvasShown) {
  FillCanvas(canvas_, 7);
  ASSERT_TRUE(WriteAppearFile(canvas_.data(), 0, PixelSource::FromCanvas));
  ShownWidth = 800;
  ShownHeight = 600;
  // A missing work file changes nothing.
  EXPECT_FALSE(ReadAppearFile(canvas_.data(), 4, PixelSource::FromPlanes));
  EXPECT_EQ(ShownWidth, 800);
  EXPECT_EQ(ShownHeight, 600);
  ExpectOneMessage(ReadFailureText, ReadFailureTitle);

  ASSERT_TRUE(ReadAppearFile(canvas_.data(), 0, PixelSource::FromPlanes));
  EXPECT_EQ(ShownWidth, 960);
  EXPECT_EQ(ShownHeight, 672);
}

// ---- Keep files: refusals ----------------------------------------------------

TEST_F(ImageFiles, MissingKeepFileShowsTheReadFailureOnceAndKeepsThePlanes) {
  FillWorkPlanes();
  const std::vector<std::uint32_t> before = CopyOfWorkPlanes();
  EXPECT_FALSE(ReadKeepFile(canvas_.data(), 5, PixelSource::FromPlanes));
  ExpectOneMessage("ピクセルデータの読み込みに失敗しました", "pool Get Bmp 関数");
  EXPECT_TRUE(WorkPlanesHold(before));
}

TEST_F(ImageFiles, KeepFileWithALyingHeaderIsRefused) {
  FillCanvas(canvas_, 11);
  ASSERT_TRUE(WriteKeepFile(canvas_.data(), 7, PixelSource::FromCanvas));
  const std::vector<std::uint8_t> good = ReadBytes("KEEP7.bmp");
  struct Case {
    const char* what;
    std::size_t offset;  // field to change, or 0 to cut the file instead
    std::uint32_t value;
  };
  const Case cases[] = {
      {"width 961", 18, 961},
      {"height 671", 22, 671},
      {"32 bits", 28, 32},  // a 16-bit field
      {"RLE compression", 30, 1},
      {"offset past the end", 10, 1935414 + 100},
      {"offset leaving too few pixel bytes", 10, 100},
      {"short pixel data", 0, 1935414 - 1},
      {"only a header", 0, 54},
      {"nothing", 0, 0},
  };
  FillWorkPlanes();
  const std::vector<std::uint32_t> before = CopyOfWorkPlanes();
  for (const Case& c : cases) {
    std::vector<std::uint8_t> file = good;
    if (c.offset == 0) {
      file.resize(c.value);
    } else if (c.offset == 28) {
      file[28] = static_cast<std::uint8_t>(c.value);
      file[29] = 0;
    } else {
      SetField32(file, c.offset, c.value);
    }
    WriteBytes("KEEP7.bmp", file);
    EXPECT_FALSE(ReadKeepFile(canvas_.data(), 7, PixelSource::FromPlanes)) << c.what;
    ExpectOneMessage(ReadFailureText, ReadFailureTitle);
    EXPECT_TRUE(WorkPlanesHold(before)) << c.what;
    const CanvasBuffer canvasBefore = canvas_;
    EXPECT_FALSE(ReadKeepFile(canvas_.data(), 7, PixelSource::FromCanvas)) << c.what;
    ExpectOneMessage(ReadFailureText, ReadFailureTitle);
    EXPECT_EQ(canvas_, canvasBefore) << c.what;
  }
}

TEST_F(ImageFiles, FailedKeepWriteLeavesTheOldFileAndNoTemporaryFile) {
  FillCanvas(canvas_, 1);
  ASSERT_TRUE(WriteKeepFile(canvas_.data(), 2, PixelSource::FromCanvas));
  const std::vector<std::uint8_t> old = ReadBytes("KEEP2.bmp");

  // A file-size limit makes the write fail even for root, which may write
  // into any folder. The signal it raises is ignored so that write() fails.
  struct rlimit saved {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto previousHandler = ::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = saved;
  small.rlim_cur = 100000;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  FillCanvas(canvas_, 2);
  const bool written = WriteKeepFile(canvas_.data(), 2, PixelSource::FromCanvas);
  ::setrlimit(RLIMIT_FSIZE, &saved);
  ::signal(SIGXFSZ, previousHandler);

  EXPECT_FALSE(written);
  ExpectOneMessage("ピクセルデータの書き込みに失敗しました", "PutBmp");
  EXPECT_EQ(ReadBytes("KEEP2.bmp"), old);
  EXPECT_EQ(FolderEntries(), std::vector<std::string>{"KEEP2.bmp"});
}

// ---- "Save" under a chosen name -----------------------------------------------

TEST_F(ImageFiles, SaveWritesTheShownPictureFromTheTopRows) {
  FillWorkPlanes();
  ShownWidth = 801;
  ShownHeight = 601;
  dialogs_.QueueFile("picture.bmp");
  SaveImageAs(1);
  const auto shown = dialogs_.TakeShown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].kind, "save");
  EXPECT_EQ(shown[0].title, "名前をつけて保存する");

  const std::vector<std::uint8_t> file = ReadBytes("picture.bmp");
  constexpr std::size_t rowBytes = 2404;  // 801 * 3 = 2403, and one zero byte
  ASSERT_EQ(file.size(), 54 + rowBytes * 601);
  EXPECT_EQ(Field(file, 2, 4), 54 + rowBytes * 601);
  EXPECT_EQ(Field(file, 6, 2), 0u);
  EXPECT_EQ(Field(file, 18, 4), 801u);
  EXPECT_EQ(Field(file, 22, 4), 601u);
  EXPECT_EQ(Field(file, 34, 4), rowBytes * 601);
  int wrong = 0;
  for (std::size_t row = 0; row < 601; ++row) {
    const std::uint8_t* line = file.data() + 54 + row * rowBytes;
    const std::size_t planeRow = 672 - 601 + row;  // the picture's bottom row first
    for (std::size_t column = 0; column < 801; ++column) {
      for (std::size_t k = 0; k < 3; ++k) {
        wrong += line[3 * column + k] != static_cast<std::uint8_t>(PlaneValue(k, planeRow * Stride + column));
      }
    }
    wrong += line[2403] != 0;
  }
  EXPECT_EQ(wrong, 0);
}

TEST_F(ImageFiles, SaveOfAFullCanvasKeepsAllRowsUnlessZoomed) {
  FillWorkPlanes();
  const std::vector<std::uint8_t> all = WorkPlanesBytes();
  struct Case {
    int viewScale;
    std::uint32_t rows;
    std::size_t firstPlaneRow;
  };
  for (const Case& c : {Case{1, 672, 0}, Case{2, 640, 32}}) {
    ViewScale = c.viewScale;
    dialogs_.QueueFile("full.bmp");
    SaveImageAs(2);
    EXPECT_EQ(dialogs_.TakeShown().at(0).title, "SAVE WITH A NAME");
    const std::vector<std::uint8_t> file = ReadBytes("full.bmp");
    ASSERT_EQ(file.size(), 54 + 2880u * c.rows) << c.viewScale;
    EXPECT_EQ(Field(file, 18, 4), 960u);
    EXPECT_EQ(Field(file, 22, 4), c.rows);
    EXPECT_TRUE(std::equal(file.begin() + 54, file.end(), all.begin() + static_cast<std::ptrdiff_t>(c.firstPlaneRow * 2880)))
        << c.viewScale;
  }
}

TEST_F(ImageFiles, CancelledOrFailedSaveWritesNothing) {
  SaveImageAs(1);  // no queued answer: the dialog is cancelled
  EXPECT_EQ(dialogs_.MessageCount(), 0u);
  EXPECT_TRUE(FolderEntries().empty());

  WriteBytes("plainfile", {1, 2, 3});
  for (const char* path : {"missing-folder/out.bmp", "plainfile/out.bmp"}) {
    dialogs_.TakeShown();
    dialogs_.QueueFile(path);
    SaveImageAs(1);
    EXPECT_EQ(dialogs_.MessageCount(), 1u) << path;
    const auto shown = dialogs_.TakeShown();
    EXPECT_EQ(shown.back().text, WriteFailureText);
    EXPECT_EQ(shown.back().title, WriteFailureTitle);
  }
  EXPECT_EQ(FolderEntries(), std::vector<std::string>{"plainfile"});
  EXPECT_EQ(ReadBytes("plainfile"), (std::vector<std::uint8_t>{1, 2, 3}));
}

}  // namespace
