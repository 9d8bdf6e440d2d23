// Planes, the canvas copies, and the BMP files: keep files, "Save" and the
// readers' refusals. Every test runs in a fresh temporary folder (the keep
// files have relative names) with the program's globals at their start values.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "image/bmp_files.h"
#include "image/planes.h"
#include "support/program_session.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void WriteBytes(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}
// A little-endian field of `size` bytes.
std::uint32_t Field(const Bytes& file, std::size_t offset, std::size_t size) {
  std::uint32_t value = 0;
  for (std::size_t k = size; k-- > 0;) value = value << 8 | file.at(offset + k);
  return value;
}
void SetField(Bytes& file, std::size_t offset, std::size_t size, std::uint32_t value) {
  for (std::size_t k = 0; k < size; ++k) file.at(offset + k) = static_cast<std::uint8_t>(value >> (8 * k));
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
Bytes WorkPlanesBytes() {
  Bytes bytes(static_cast<std::size_t>(CanvasByteCount));
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(WorkPlanes[i % 3][i / 3]);
  return bytes;
}

class ImageFiles : public ::testing::Test {
 protected:
  // Names of everything in the working folder.
  std::vector<std::string> FolderEntries() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(s.Folder())) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }
  void ExpectOneMessage(const std::string& text, const std::string& title) {
    const auto shown = s.dialogs().TakeShown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, "message");
    EXPECT_EQ(shown[0].text, text);
    EXPECT_EQ(shown[0].title, title);
  }

  ProgramSession s;
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

TEST_F(ImageFiles, WhitenOutsideCoversOnlyWhatASmallPictureDoesNotCover) {
  // An 800 x 600 picture covers plane rows 72..671 and columns 0..799.
  WhitenOutside(canvas_.data(), 800, 600, Stride, CanvasRows);
  int wrong = 0;
  for (std::size_t i = 0; i < canvas_.size(); ++i) {
    const std::size_t row = i / 2880, column = i % 2880 / 3;
    wrong += canvas_[i] != (row < 72 || column >= 800 ? 255 : 0);
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

TEST_F(ImageFiles, KeepAndWorkFilesHaveTheWriterLayoutAndReadBack) {
  SetViewScale(4);
  FillCanvas(canvas_, 9);
  const CanvasBuffer original = canvas_;
  ASSERT_TRUE(WriteKeepFile(canvas_.data(), 3, PixelSource::FromCanvas));
  const Bytes file = FileBytes("KEEP3.bmp");
  ASSERT_EQ(file.size(), 1935414u);
  // Offset, size, value; reserved 1 (offset 6) holds the view scale.
  const std::uint32_t fields[][3] = {{0, 2, 'B' | 'M' << 8}, {2, 4, 1935414}, {6, 2, 4},  {8, 2, 0},  {10, 4, 54},
                                     {14, 4, 40},            {18, 4, 960},    {22, 4, 672}, {26, 2, 1}, {28, 2, 24},
                                     {30, 4, 0},             {34, 4, 1935360}, {38, 4, 0}, {42, 4, 0},  {46, 4, 0},
                                     {50, 4, 0}};
  for (const auto& [offset, size, value] : fields) EXPECT_EQ(Field(file, offset, size), value) << "offset " << offset;
  EXPECT_TRUE(std::equal(canvas_.begin(), canvas_.end(), file.begin() + 54));

  // Read back (whole samples, so no bits above the byte), ignoring the scale.
  ASSERT_TRUE(ReadKeepFile(canvas_.data(), 3, PixelTarget::IntoPlanes));
  int wrong = 0;
  for (std::size_t i = 0; i < original.size(); ++i) wrong += WorkPlanes[i % 3][i / 3] != original[i];
  EXPECT_EQ(wrong, 0);
  canvas_.fill(0);
  ASSERT_TRUE(ReadKeepFile(canvas_.data(), 3, PixelTarget::IntoCanvas));
  EXPECT_EQ(canvas_, original);
  EXPECT_EQ(s.dialogs().MessageCount(), 0u);

  // From WorkPlanes: the low byte of every sample, row 0 first.
  SetViewScale(1);
  FillWorkPlanes();
  ASSERT_TRUE(WriteAppearFile(canvas_.data(), 3, PixelSource::FromPlanes));
  const Bytes back = FileBytes("0000back.bmp");
  ASSERT_EQ(back.size(), 1935414u);
  EXPECT_EQ(Field(back, 6, 2), 1u);
  const Bytes expected = WorkPlanesBytes();
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), back.begin() + 54));

  // Reading a work file makes the whole canvas shown; a missing one changes nothing.
  SetShownArea(800, 600);
  EXPECT_FALSE(ReadAppearFile(canvas_.data(), 4, PixelTarget::IntoPlanes));
  EXPECT_EQ(ShownWidth, 800);
  EXPECT_EQ(ShownHeight, 600);
  ExpectOneMessage("ピクセルデータの読み込みに失敗しました: 0000iso.bmp", "pool Get Bmp 関数");
  ASSERT_TRUE(ReadAppearFile(canvas_.data(), 3, PixelTarget::IntoPlanes));
  EXPECT_EQ(ShownWidth, 960);
  EXPECT_EQ(ShownHeight, 672);
}

// ---- Keep files: refusals ----------------------------------------------------

// A missing keep file, or one whose header does not describe a 960 x 672
// 24-bit picture with all its pixel bytes, shows the read failure once and
// leaves both WorkPlanes and the canvas as they were.
TEST_F(ImageFiles, MissingOrLyingKeepFileIsRefusedAndChangesNothing) {
  FillCanvas(canvas_, 11);
  ASSERT_TRUE(WriteKeepFile(canvas_.data(), 7, PixelSource::FromCanvas));
  const Bytes good = FileBytes("KEEP7.bmp");
  FillWorkPlanes();
  const auto before = std::make_unique<PlaneSet>(WorkPlanes);
  const auto expectRefused = [&](const std::string& what) {
    EXPECT_FALSE(ReadKeepFile(canvas_.data(), 7, PixelTarget::IntoPlanes)) << what;
    ExpectOneMessage("ピクセルデータの読み込みに失敗しました: KEEP7.bmp", "pool Get Bmp 関数");
    EXPECT_TRUE(*before == WorkPlanes) << what;
    const auto canvasBefore = std::make_unique<CanvasBuffer>(canvas_);
    EXPECT_FALSE(ReadKeepFile(canvas_.data(), 7, PixelTarget::IntoCanvas)) << what;
    ExpectOneMessage("ピクセルデータの読み込みに失敗しました: KEEP7.bmp", "pool Get Bmp 関数");
    EXPECT_TRUE(canvas_ == *canvasBefore) << what;
  };
  std::filesystem::remove("KEEP7.bmp");
  expectRefused("no file");

  const struct {
    const char* what;
    std::size_t offset, size;  // the field to change; size 0: cut the file to `value` bytes instead
    std::uint32_t value;
  } cases[] = {
      {"width 961", 18, 4, 961},
      {"height 671", 22, 4, 671},
      {"32 bits", 28, 2, 32},
      {"RLE compression", 30, 4, 1},
      {"offset past the end", 10, 4, 1935414 + 100},
      {"offset leaving too few pixel bytes", 10, 4, 100},
      {"short pixel data", 0, 0, 1935414 - 1},
      {"only a header", 0, 0, 54},
      {"nothing", 0, 0, 0},
  };
  for (const auto& c : cases) {
    Bytes file = good;
    c.size == 0 ? file.resize(c.value) : SetField(file, c.offset, c.size, c.value);
    WriteBytes("KEEP7.bmp", file);
    expectRefused(c.what);
  }
}

TEST_F(ImageFiles, FailedKeepWriteLeavesTheOldFileAndNoTemporaryFile) {
  FillCanvas(canvas_, 1);
  ASSERT_TRUE(WriteKeepFile(canvas_.data(), 2, PixelSource::FromCanvas));
  const Bytes old = FileBytes("KEEP2.bmp");

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
  ExpectOneMessage("ピクセルデータの書き込みに失敗しました: KEEP2.bmp (ファイルが大きすぎます)", "PutBmp");
  // The same failure in English mode says it in English, naming the file.
  LanguageId = EnglishLanguage;
  ::setrlimit(RLIMIT_FSIZE, &small);
  ::signal(SIGXFSZ, SIG_IGN);
  EXPECT_FALSE(WriteKeepFile(canvas_.data(), 2, PixelSource::FromCanvas));
  ::setrlimit(RLIMIT_FSIZE, &saved);
  ::signal(SIGXFSZ, previousHandler);
  LanguageId = JapaneseLanguage;
  ExpectOneMessage("Writing the pixel data failed: KEEP2.bmp (the file is too large)", "PutBmp");
  EXPECT_EQ(FileBytes("KEEP2.bmp"), old);
  EXPECT_EQ(FolderEntries(), std::vector<std::string>{"KEEP2.bmp"});
}

// ---- "Save" under a chosen name -----------------------------------------------

// "Save" writes the shown width x height from the top plane rows down (the
// picture's bottom row first); at view scale 2 a full canvas keeps 640 rows.
TEST_F(ImageFiles, SaveWritesTheShownPictureFromTheTopRows) {
  FillWorkPlanes();
  const Bytes all = WorkPlanesBytes();
  const struct {
    int language, viewScale, width, height;
    std::size_t rows, firstPlaneRow;
    const char* title;
  } cases[] = {
      {1, 1, 801, 601, 601, 672 - 601, "名前をつけて保存する"},  // rows of 2403 bytes and one zero byte
      {2, 1, 960, 672, 672, 0, "SAVE WITH A NAME"},
      {2, 2, 960, 672, 640, 32, "SAVE WITH A NAME"},
  };
  for (const auto& c : cases) {
    SetViewScale(c.viewScale);
    SetShownArea(c.width, c.height);
    const std::string name = "picture" + std::to_string(c.viewScale) + std::to_string(c.language) + ".bmp";
    s.dialogs().QueueFile(name);
    SaveImageAs(c.language);
    const auto shown = s.dialogs().TakeShown();
    ASSERT_EQ(shown.size(), 1u) << c.title;
    EXPECT_EQ(shown[0].kind, "save");
    EXPECT_EQ(shown[0].title, c.title);

    const std::size_t rowBytes = (static_cast<std::size_t>(c.width) * 3 + 3) / 4 * 4;
    Bytes pixels;
    for (std::size_t row = c.firstPlaneRow; row < c.firstPlaneRow + c.rows; ++row) {
      const auto from = all.begin() + static_cast<std::ptrdiff_t>(row * 2880);
      pixels.insert(pixels.end(), from, from + c.width * 3);
      pixels.resize(pixels.size() + rowBytes - static_cast<std::size_t>(c.width) * 3, 0);
    }
    const Bytes file = FileBytes(name);
    ASSERT_EQ(file.size(), 54 + pixels.size()) << c.title << " at scale " << c.viewScale;
    using U = std::uint32_t;
    const U fields[][3] = {{2, 4, static_cast<U>(file.size())}, {6, 2, 0}, {18, 4, static_cast<U>(c.width)},
                           {22, 4, static_cast<U>(c.rows)}, {34, 4, static_cast<U>(pixels.size())}};
    for (const auto& [offset, size, value] : fields) EXPECT_EQ(Field(file, offset, size), value) << "offset " << offset;
    EXPECT_TRUE(std::equal(pixels.begin(), pixels.end(), file.begin() + 54)) << c.title << " at scale " << c.viewScale;
  }
}

TEST_F(ImageFiles, CancelledOrFailedSaveWritesNothing) {
  SaveImageAs(1);  // no queued answer: the dialog is cancelled
  EXPECT_EQ(s.dialogs().MessageCount(), 0u);
  EXPECT_TRUE(FolderEntries().empty());

  WriteBytes("plainfile", {1, 2, 3});
  for (const char* path : {"missing-folder/out.bmp", "plainfile/out.bmp"}) {
    s.dialogs().TakeShown();
    s.dialogs().QueueFile(path);
    SaveImageAs(1);
    EXPECT_EQ(s.dialogs().MessageCount(), 1u) << path;
    const auto shown = s.dialogs().TakeShown();
    EXPECT_EQ(shown.back().text, "ピクセルデータの書き込みに失敗しました: out.bmp (フォルダがありません)");
    EXPECT_EQ(shown.back().title, "PutBmp");
  }
  EXPECT_EQ(FolderEntries(), std::vector<std::string>{"plainfile"});
  EXPECT_EQ(FileBytes("plainfile"), (Bytes{1, 2, 3}));
}

}  // namespace
