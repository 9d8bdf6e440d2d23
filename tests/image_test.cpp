// Planes, the canvas copies, the BMP files, whole-file writes and the picture
// loader. Every test runs in a fresh temporary folder (the keep files have
// relative names) with the program's globals at their start values.
//
// [SECTION] Planes, the canvas and keep files
// [SECTION] "Save" under a chosen name
// [SECTION] Whole-file writes and reads
// [SECTION] The picture loader: formats, placement, refusals, run-length codes
// [SECTION] PNG writer

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "image/bmp_files.h"
#include "image/picture_in_hand.h"
#include "image/planes.h"
#include "platform/files.h"
#include "platform/picture_loader.h"
#include "support/pictures.h"
#include "support/program_session.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// A little-endian field of `size` bytes.
std::uint32_t Field(const Bytes& file, std::size_t offset, std::size_t size) {
  std::uint32_t value = 0;
  for (std::size_t k = size; k-- > 0;) value = value << 8 | file.at(offset + k);
  return value;
}
// Stores v in n bytes at `at`, low byte first unless bigEndian.
void Put(Bytes& b, std::size_t at, std::uint32_t v, std::size_t n = 4, bool bigEndian = false) {
  for (std::size_t k = 0; k < n; ++k) b.at(at + (bigEndian ? n - 1 - k : k)) = static_cast<std::uint8_t>(v >> (8 * k));
}

// Samples with a varied low byte and, now and then, bits above it.
void FillWorkPlanes() {
  for (std::size_t k = 0; k < 3; ++k)
    for (std::size_t i = 0; i < static_cast<std::size_t>(Stride) * CanvasRows; ++i)
      WorkPlanes[k][i] = static_cast<std::uint32_t>((i * 31 + k * 17 + (i / Stride) * 7) & 0x3FF);
}
void FillCanvas(CanvasBuffer& canvas, unsigned salt) {
  for (std::size_t i = 0; i < canvas.size(); ++i) canvas[i] = static_cast<std::uint8_t>(i * 13 + i / 2880 + salt);
}
Bytes WorkPlanesBytes() {
  Bytes bytes(static_cast<std::size_t>(CanvasByteCount));
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(WorkPlanes[i % 3][i / 3]);
  return bytes;
}

const Bytes NewBytes = {'n', 'e', 'w'};
const Bytes OldBytes = {'o', 'l', 'd', '!'};

mode_t ModeOf(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

// Names of everything in a folder, by default the working one.
using Names = std::vector<std::string>;
Names FolderEntries(const std::string& folder = ".") {
  Names names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

class ImageFiles : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return s.PathIn(name); }
  void Write(const std::string& name, const Bytes& b) { ASSERT_TRUE(WriteFileAtomically(Path(name), b)) << name; }
  void ExpectOneMessage(const std::string& text, const std::string& title) {
    const auto shown = s.dialogs().TakeShown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(std::tuple(shown[0].kind, shown[0].text, shown[0].title), std::tuple("message", text, title));
  }

  ProgramSession s;
  CanvasBuffer canvas_{};
};
using PictureFiles = ImageFiles;

// [SECTION] Planes, the canvas and keep files

TEST_F(ImageFiles, PlanesTakeCanvasBytesGiveBackTheirLowBytesAndKeepFilesReadBack) {
  FillCanvas(canvas_, 5);
  const CanvasBuffer original = canvas_;
  PlanesFromCanvas(canvas_.data(), Stride, CanvasRows);
  canvas_.fill(0);
  CanvasFromPlanes(canvas_.data(), Stride, CanvasRows);
  EXPECT_EQ(canvas_, original);

  // A sample above 255 shows as its low byte: 300 as 44, not 255.
  WorkPlanes[2][5] = 300;
  WorkPlanes[0][6] = 256 + 255;
  CanvasFromPlanes(canvas_.data(), Stride, CanvasRows);
  EXPECT_TRUE(canvas_[3 * 5 + 2] == 44 && canvas_[3 * 6] == 255);

  // Keep and work files have the writer's layout and read back.
  SetViewScale(4);
  FillCanvas(canvas_, 9);
  const CanvasBuffer kept = canvas_;
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
  EXPECT_TRUE(std::equal(kept.begin(), kept.end(), WorkPlanesBytes().begin()));
  canvas_.fill(0);
  ASSERT_TRUE(ReadKeepFile(canvas_.data(), 3, PixelTarget::IntoCanvas));
  EXPECT_EQ(canvas_, kept);
  EXPECT_EQ(s.dialogs().MessageCount(), 0u);

  // From WorkPlanes: the low byte of every sample, row 0 first.
  SetViewScale(1);
  FillWorkPlanes();
  ASSERT_TRUE(WriteAppearFile(canvas_.data(), 3, PixelSource::FromPlanes));
  EXPECT_EQ(FileBytes("0000back.bmp"), KeepFileOf(WorkPlanesBytes()));  // view scale 1

  // Reading a work file makes the whole canvas shown; a missing one changes nothing.
  SetShownArea(800, 600);
  EXPECT_FALSE(ReadAppearFile(canvas_.data(), 4, PixelTarget::IntoPlanes));
  EXPECT_EQ(std::pair(ShownWidth, ShownHeight), std::pair(800, 600));
  ExpectOneMessage("ピクセルデータの読み込みに失敗しました: 0000iso.bmp", "pool Get Bmp 関数");
  ASSERT_TRUE(ReadAppearFile(canvas_.data(), 3, PixelTarget::IntoPlanes));
  EXPECT_EQ(std::pair(ShownWidth, ShownHeight), std::pair(960, 672));
}

// Lying: the header does not describe a 960 x 672 24-bit picture with all its pixel bytes.
TEST_F(ImageFiles, MissingOrLyingKeepFileIsRefusedAndChangesNothing) {
  FillCanvas(canvas_, 11);
  ASSERT_TRUE(WriteKeepFile(canvas_.data(), 7, PixelSource::FromCanvas));
  const Bytes good = FileBytes("KEEP7.bmp");
  FillWorkPlanes();
  const auto planesBefore = std::make_unique<PlaneSet>(WorkPlanes);
  const auto canvasBefore = std::make_unique<CanvasBuffer>(canvas_);
  const auto expectRefused = [&](const std::string& what) {
    for (const PixelTarget target : {PixelTarget::IntoPlanes, PixelTarget::IntoCanvas}) {
      EXPECT_FALSE(ReadKeepFile(canvas_.data(), 7, target)) << what;
      ExpectOneMessage("ピクセルデータの読み込みに失敗しました: KEEP7.bmp", "pool Get Bmp 関数");
      EXPECT_TRUE(*planesBefore == WorkPlanes && canvas_ == *canvasBefore) << what;
    }
  };
  std::filesystem::remove("KEEP7.bmp");
  expectRefused("no file");

  // The field to change at offset, size; size 0 cuts the file to `value` bytes instead.
  const struct { const char* what; std::size_t offset, size; std::uint32_t value; } cases[] = {
      {"width 961", 18, 4, 961}, {"height 671", 22, 4, 671}, {"32 bits", 28, 2, 32}, {"RLE compression", 30, 4, 1},
      {"offset past the end", 10, 4, 1935414 + 100}, {"offset leaving too few pixel bytes", 10, 4, 100},
      {"short pixel data", 0, 0, 1935414 - 1}, {"only a header", 0, 0, 54}, {"nothing", 0, 0, 0},
  };
  for (const auto& c : cases) {
    Bytes file = good;
    c.size == 0 ? file.resize(c.value) : Put(file, c.offset, c.value, c.size);
    Write("KEEP7.bmp", file);
    expectRefused(c.what);
  }
}

TEST_F(ImageFiles, FailedKeepWriteLeavesTheOldFileAndNoTemporaryFile) {
  FillCanvas(canvas_, 1);
  ASSERT_TRUE(WriteKeepFile(canvas_.data(), 2, PixelSource::FromCanvas));
  const Bytes old = FileBytes("KEEP2.bmp");

  // A file-size limit makes the write fail even for root, which may write
  // into any folder. The signal it raises is ignored so that write() fails.
  const auto writeOverTheLimit = [&] {
    struct rlimit saved {};
    EXPECT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = ::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 100000;
    EXPECT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = WriteKeepFile(canvas_.data(), 2, PixelSource::FromCanvas);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::signal(SIGXFSZ, previousHandler);
    return written;
  };
  FillCanvas(canvas_, 2);
  EXPECT_FALSE(writeOverTheLimit());
  ExpectOneMessage("ピクセルデータの書き込みに失敗しました: KEEP2.bmp (ファイルが大きすぎます)", "PutBmp");
  // The same failure in English mode says it in English, naming the file.
  LanguageId = EnglishLanguage;
  EXPECT_FALSE(writeOverTheLimit());
  LanguageId = JapaneseLanguage;
  ExpectOneMessage("Writing the pixel data failed: KEEP2.bmp (the file is too large)", "PutBmp");
  EXPECT_EQ(FileBytes("KEEP2.bmp"), old);
  EXPECT_EQ(FolderEntries(), Names{"KEEP2.bmp"});
}

// [SECTION] "Save" under a chosen name

// "Save" writes the shown width x height from the top plane rows down (the
// picture's bottom row first); at view scale 2 a full canvas keeps 640 rows.
TEST_F(ImageFiles, SaveWritesTheShownPictureFromTheTopRows) {
  FillWorkPlanes();
  const Bytes all = WorkPlanesBytes();
  const struct { int language, viewScale, width, height; std::size_t rows, firstPlaneRow; const char* title; }
      cases[] = {
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
    EXPECT_EQ(std::tuple(shown[0].kind, shown[0].title), std::tuple("save", c.title));

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

  Write("plainfile", {1, 2, 3});
  for (const char* path : {"missing-folder/out.bmp", "plainfile/out.bmp"}) {
    s.dialogs().TakeShown();
    s.dialogs().QueueFile(path);
    SaveImageAs(1);
    EXPECT_EQ(s.dialogs().MessageCount(), 1u) << path;
    const auto shown = s.dialogs().TakeShown();
    EXPECT_EQ(shown.back().text, "ピクセルデータの書き込みに失敗しました: out.bmp (フォルダがありません)");
    EXPECT_EQ(shown.back().title, "PutBmp");
  }
  EXPECT_EQ(FolderEntries(), Names{"plainfile"});
  EXPECT_EQ(FileBytes("plainfile"), (Bytes{1, 2, 3}));
}

// [SECTION] Whole-file writes and reads

// A link is written through to its target; a new file follows the umask.
TEST(Files, WritesKeepLinksAndModesRefuseReadOnlyAndSpecialFilesAndOddReadsFailAtOnce) {
  ProgramSession s;
  fs::create_directory("real");
  ASSERT_TRUE(WriteFileAtomically("real/picture.bmp", OldBytes));
  fs::create_symlink("real/picture.bmp", "link.bmp");
  ASSERT_TRUE(WriteFileAtomically("link.bmp", NewBytes));
  EXPECT_TRUE(fs::is_symlink("link.bmp"));
  EXPECT_EQ(std::pair(FolderEntries(), FolderEntries("real")),
            std::pair(Names{"link.bmp", "real"}, Names{"picture.bmp"}));  // no temporary file left
  EXPECT_EQ(FileBytes("real/picture.bmp"), NewBytes);

  // A link to a file not yet there makes the file where the link points.
  fs::create_symlink("real/later.bmp", "later.bmp");
  ASSERT_TRUE(WriteFileAtomically("later.bmp", NewBytes));
  EXPECT_TRUE(fs::is_symlink("later.bmp"));
  EXPECT_EQ(FileBytes("real/later.bmp"), NewBytes);
  ASSERT_TRUE(WriteFileAtomically("private.bmp", OldBytes));
  ASSERT_EQ(::chmod("private.bmp", 0600), 0);
  ASSERT_TRUE(WriteFileAtomically("private.bmp", NewBytes));
  EXPECT_EQ(std::pair(ModeOf("private.bmp"), FileBytes("private.bmp")), std::pair(mode_t{0600}, NewBytes));

  const mode_t previous = ::umask(027);
  const bool written = WriteFileAtomically("fresh.bmp", NewBytes);
  const mode_t during = ::umask(previous);
  ASSERT_TRUE(written);
  EXPECT_EQ(std::pair(during, ModeOf("fresh.bmp")), std::pair(mode_t{027}, mode_t{0640}));  // the umask as it was

  ASSERT_TRUE(WriteFileAtomically("kept.bmp", OldBytes));
  ASSERT_EQ(::chmod("kept.bmp", 0444), 0);
  EXPECT_FALSE(WriteFileAtomically("kept.bmp", NewBytes));
  EXPECT_EQ(std::pair(FileBytes("kept.bmp"), ModeOf("kept.bmp")), std::pair(OldBytes, mode_t{0444}));

  fs::create_directory("folder.bmp");
  EXPECT_FALSE(WriteFileAtomically("folder.bmp", NewBytes));
  EXPECT_TRUE(fs::is_directory("folder.bmp"));
  ASSERT_EQ(::mkfifo("pipe.bmp", 0644), 0);
  EXPECT_FALSE(WriteFileAtomically("pipe.bmp", NewBytes));
  EXPECT_FALSE(WriteFileAtomically("", NewBytes));
  // Nothing left behind by the refused writes.
  EXPECT_EQ(FolderEntries(), (Names{"folder.bmp", "fresh.bmp", "kept.bmp", "later.bmp", "link.bmp", "pipe.bmp",
                                    "private.bmp", "real"}));
  ASSERT_EQ(::mkfifo("KEEP3.bmp", 0644), 0);  // nobody ever writes to it
  fs::create_directory("KEEP4.bmp");
  for (const char* path : {"KEEP3.bmp", "/dev/zero", "KEEP4.bmp"}) EXPECT_FALSE(ReadWholeFile(path, 1 << 20)) << path;
  EXPECT_FALSE(ReadWholeFile("kept.bmp", 3));  // 4 bytes, larger than allowed
}

// [SECTION] The picture loader: formats, placement, refusals, run-length codes

Bytes With(Bytes b, std::size_t at, std::uint32_t v) {
  Put(b, at, v);
  return b;
}
Bytes Patch(Bytes b, std::size_t at, const Bytes& bytes) {
  std::copy(bytes.begin(), bytes.end(), b.begin() + static_cast<std::ptrdiff_t>(at));
  return b;
}
Bytes Head(const Bytes& b, std::size_t n) { return Bytes(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(n)); }

// A BMP header of any depth: 14 + 40 bytes, then `extra` bytes of zeros.
Bytes BmpHeader(std::int32_t width, std::int32_t height, int bits, std::uint32_t compression, std::uint32_t offset,
                std::size_t extra) {
  Bytes b(54 + extra, 0);
  const std::uint32_t fields[][3] = {
      {0, 'B' | 'M' << 8, 2}, {2, static_cast<std::uint32_t>(b.size()), 4},   {10, offset, 4}, {14, 40, 4},
      {18, static_cast<std::uint32_t>(width), 4}, {22, static_cast<std::uint32_t>(height), 4}, {26, 1, 2},
      {28, static_cast<std::uint32_t>(bits), 2},  {30, compression, 4}};
  for (const auto& [at, value, size] : fields) Put(b, at, value, size);
  return b;
}

// Varied(x, y) as a picture, and as a bottom-up 24-bit BMP.
Picture PatternPicture(int width, int height) {
  Picture picture{width, height, {}};
  for (int i = 0; i < width * height; ++i) {
    const Rgb c = Varied(i % width, i / width);
    picture.rgb.insert(picture.rgb.end(), {c.r, c.g, c.b});
  }
  return picture;
}
Bytes PatternBmp(int width, int height) {
  return EncodeBmp(width, height, 0, [&](int row, std::uint8_t* out) {
    for (int x = 0; x < width; ++x) {
      const Rgb c = Varied(x, height - 1 - row);
      std::copy_n(std::array{c.b, c.g, c.r}.begin(), 3, out + 3 * x);
    }
  });
}

std::uint32_t Crc32(const std::uint8_t* data, std::size_t length) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < length; ++i) {
    crc ^= data[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}
void AppendPngChunk(Bytes& png, const char* type, const Bytes& data) {
  Bytes chunk(12 + data.size(), 0);
  Put(chunk, 0, static_cast<std::uint32_t>(data.size()), 4, true);
  std::copy(type, type + 4, chunk.begin() + 4);
  std::copy(data.begin(), data.end(), chunk.begin() + 8);
  Put(chunk, 8 + data.size(), Crc32(chunk.data() + 4, 4 + data.size()), 4, true);
  png.insert(png.end(), chunk.begin(), chunk.end());
}
// A truecolour PNG declaring the given size whose pixel data is one byte long.
Bytes PngClaiming(std::uint32_t width, std::uint32_t height) {
  Bytes png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  Bytes header = {0, 0, 0, 0, 0, 0, 0, 0, 8, 2, 0, 0, 0};  // 8 bits, truecolour
  Put(header, 0, width, 4, true);
  Put(header, 4, height, 4, true);
  AppendPngChunk(png, "IHDR", header);
  // A zlib stream holding one stored byte, 0.
  AppendPngChunk(png, "IDAT", {0x78, 0x01, 0x01, 0x01, 0x00, 0xFE, 0xFF, 0x00, 0x00, 0x01, 0x00, 0x01});
  AppendPngChunk(png, "IEND", {});
  return png;
}

// A width x height pixbuf, filled with `rgba` or given its pixels, saved as `type`.
Bytes PixbufFile(int width, int height, bool alpha, std::uint32_t rgba, const Bytes& pixels, const char* type) {
  GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, alpha, 8, width, height);
  gdk_pixbuf_fill(pixbuf, rgba);
  std::copy(pixels.begin(), pixels.end(), gdk_pixbuf_get_pixels(pixbuf));
  gchar* buffer = nullptr;
  gsize size = 0;
  EXPECT_TRUE(gdk_pixbuf_save_to_buffer(pixbuf, &buffer, &size, type, nullptr, nullptr));
  Bytes bytes(reinterpret_cast<std::uint8_t*>(buffer), reinterpret_cast<std::uint8_t*>(buffer) + size);
  g_free(buffer);
  g_object_unref(pixbuf);
  return bytes;
}

// Checks a loaded picture against its size and pixels.
void ExpectPicture(const std::optional<Picture>& p, const std::string& error, int width, int height, const Bytes& rgb,
                   const std::string& what = "") {
  ASSERT_TRUE(p) << what << ": " << error;
  EXPECT_EQ(std::pair(p->width, p->height), std::pair(width, height)) << what;
  EXPECT_EQ(p->rgb, rgb) << what;
}

// Plain 24-bit BMPs read back exactly, from a file or from memory, stored
// bottom-up, top-down (negative height, rows reversed) or without the last
// row's padding, as some writers leave it. The row reader gives, for any rows
// asked in any order, the file's rows bottom first (blue, green, red); it
// takes only whole plain 24-bit BMPs.
TEST_F(PictureFiles, Plain24BitBmpsReadBackExactlyInEitherRowOrderInBandsAndThroughTheRowReader) {
  const Bytes bottomUp = PatternBmp(37, 23);  // rows of 111 bytes padded to 112
  const Bytes rgb = PatternPicture(37, 23).rgb;
  std::string error;
  for (const auto& [name, bytes] :
       {std::pair{"bottom-up.bmp", bottomUp}, std::pair{"top-down.bmp", TopDownBmp(bottomUp)},
        std::pair{"unpadded.bmp", Head(bottomUp, bottomUp.size() - 1)}}) {
    Write(name, bytes);
    ExpectPicture(LoadPicture(Path(name), &error), error, 37, 23, rgb, name);
    ExpectPicture(LoadPictureFromBytes(bytes, &error), error, 37, 23, rgb, name);
    const std::optional<BmpRowReader> reader = BmpRowReader::Open(Path(name));
    ASSERT_TRUE(reader) << name;
    EXPECT_EQ(std::pair(reader->width(), reader->height()), std::pair(37, 23));
    ASSERT_EQ(reader->rowBytes(), 112u);
    for (const auto& [first, count] : {std::pair{20, 3}, std::pair{0, 23}, std::pair{5, 1}, std::pair{9, 0}}) {
      Bytes rows(112 * 24, 0xEE);
      ASSERT_TRUE(reader->ReadRows(first, count, rows.data())) << name << " " << first;
      for (int k = 0; k < count; ++k) {
        const auto row = bottomUp.begin() + 54 + 112 * (first + k);
        ASSERT_TRUE(std::equal(row, row + 111, rows.begin() + 112 * k)) << name << " row " << first + k;
      }
      EXPECT_EQ(rows[static_cast<std::size_t>(count * 112 + 5)], 0xEE) << "nothing past the rows asked for";
    }
    Bytes row(112);
    EXPECT_FALSE(reader->ReadRows(22, 2, row.data())) << "past the top row";
    EXPECT_FALSE(reader->ReadRows(-1, 1, row.data()));
  }

  // 700 x 600 rows of 2,100 bytes take more than one band of the file reader.
  const Bytes large = PatternBmp(700, 600);
  Write("large.bmp", large);
  ExpectPicture(LoadPicture(Path("large.bmp"), &error), error, 700, 600, PatternPicture(700, 600).rgb);
  Write("large.bmp", Head(large, large.size() - 2100));
  EXPECT_FALSE(LoadPicture(Path("large.bmp"), &error));
  EXPECT_EQ(error,
            "not a picture this program can read: the pixel data is cut short (1257900 of 1260000 bytes present)");

  // Not taken: other pictures, other depths, and files whose pixels are cut
  // short (also when cut after the reader opened them).
  Write("palette.bmp", Patch(BmpHeader(2, 2, 8, 0, 1078, 1024 + 8), 46, {2, 0, 0, 0}));
  Write("picture.png", PixbufFile(3, 3, false, 0x102030FFu, {}, "png"));
  Write("short.bmp", Head(bottomUp, bottomUp.size() - 112));
  Write("text.bmp", Bytes{'h', 'e', 'l', 'l', 'o'});
  for (const char* name : {"palette.bmp", "picture.png", "short.bmp", "text.bmp", "missing.bmp"})
    EXPECT_FALSE(BmpRowReader::Open(Path(name))) << name;
  EXPECT_FALSE(BmpRowReader::Open(s.PathIn("")));
  Write("shrinking.bmp", bottomUp);
  const std::optional<BmpRowReader> reader = BmpRowReader::Open(Path("shrinking.bmp"));
  ASSERT_TRUE(reader);
  std::filesystem::resize_file(Path("shrinking.bmp"), 54 + 112 * 10);
  Bytes rows(112 * 23);
  EXPECT_TRUE(reader->ReadRows(0, 10, rows.data()));
  EXPECT_FALSE(reader->ReadRows(5, 10, rows.data()));
}

TEST_F(PictureFiles, PaletteAnd32BitBmpsAreReadAndPngAlphaIsComposedOverWhite) {
  // 8 bits, 3 x 2, a palette of 4 entries (blue, green, red, unused), then
  // the indices of the bottom row and the top row.
  const Bytes palette = Patch(With(BmpHeader(3, 2, 8, 0, 54 + 16, 16 + 8), 46, 4), 54,  // 4 colours used
                               {0, 0, 0, 0, 255, 255, 255, 0, 0, 0, 255, 0, 40, 160, 20, 0, 0, 1, 2, 0, 3, 2, 1, 0});
  // 32 bits, no compression: the fourth byte is not alpha and is ignored.
  const Bytes wide = Patch(BmpHeader(2, 1, 32, 0, 54, 8), 54, {10, 20, 30, 0, 40, 50, 60, 0});
  // Opaque, clear and half alpha: (200 * 128 + 255 * 127 + 127) / 255 = 227...
  const Bytes png = PixbufFile(3, 1, true, 0, {200, 100, 0, 255, 200, 100, 0, 0, 200, 100, 0, 128}, "png");

  const struct { const char* what; Bytes file; int width, height; Bytes rgb; } cases[] = {
      {"8-bit", palette, 3, 2, {20, 160, 40, 255, 0, 0, 255, 255, 255, 0, 0, 0, 255, 255, 255, 255, 0, 0}},
      {"32-bit", wide, 2, 1, {30, 20, 10, 60, 50, 40}},
      {"PNG with alpha", png, 3, 1, {200, 100, 0, 255, 255, 255, 227, 177, 127}},
  };
  std::string error;
  for (const auto& c : cases)
    ExpectPicture(LoadPictureFromBytes(c.file, &error), error, c.width, c.height, c.rgb, c.what);
  const auto photo = LoadPictureFromBytes(PixbufFile(16, 8, false, 0x5080C0FFu, {}, "jpeg"), &error);
  ASSERT_TRUE(photo) << error;
  EXPECT_EQ(std::pair(photo->width, photo->height), std::pair(16, 8));
  for (std::size_t k = 0; k < 3; ++k) EXPECT_NEAR(photo->rgb[k], (0x5080C0u >> (16 - 8 * k)) & 0xFF, 3) << k;
}

// A picture larger than the canvas gives its top-left part; a smaller one is
// whitened from its own bottom row and right column on.
TEST_F(PictureFiles, PictureIsPlacedTopLeftAndWhitenedBelowAndRight) {
  for (const auto& [width, height] : {std::pair{1200, 900}, std::pair{800, 600}, std::pair{451, 300}}) {
    Bytes canvas(CanvasByteCount, 7);
    DrawPictureIntoCanvas(PatternPicture(width, height), canvas.data());
    EXPECT_TRUE(canvas == PlacedCanvas(Varied, width, height)) << width << " x " << height;
  }
}

// Headers claiming huge pictures are refused before any pixel buffer is
// made; broken files are refused with a sentence saying what is wrong.
TEST_F(PictureFiles, LyingAndBrokenFilesAreRefusedWithAMessage) {
  const Bytes gif = {'G', 'I', 'F', '8', '9', 'a', 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0,
                     ',', 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 8, 0x02, 0x4C, 0x01, 0, ';'};
  const Bytes bmp = PatternBmp(4, 4), bmp8 = BmpHeader(4, 4, 8, 0, 54, 64), pixelsCut = PatternBmp(40, 30);
  const Bytes png = PixbufFile(64, 64, false, 0x336699FFu, {}, "png");
  const Bytes jpeg = PixbufFile(64, 64, false, 0x336699FFu, {}, "jpeg");
  const std::string text = "just some text, not a picture";
  // huge: read from memory and refused for its size; else read from a file.
  const struct { const char* what; Bytes bytes; bool huge; } cases[] = {
      {"24-bit BMP", BmpHeader(100000, 100000, 24, 0, 54, 0), true},
      {"top-down 24-bit BMP", BmpHeader(100000, -100000, 24, 0, 54, 16), true},
      {"8-bit BMP", BmpHeader(100000, 100000, 8, 0, 54 + 1024, 1024), true},
      {"RLE BMP", BmpHeader(30001, 10, 8, 1, 54 + 1024, 1024), true},
      {"PNG", PngClaiming(100000, 100000), true},
      {"PNG over the pixel count", PngClaiming(20000, 20000), true},
      {"GIF", gif, true},
      {"unknown BMP header", With(bmp8, 14, 0x4D420A00), false},  // an info header of 1.3 GB
      {"palette past the end", With(bmp8, 46, 0xFFFFFFFF), false},  // colours used
      {"empty", {}, false},
      {"text", Bytes(text.begin(), text.end()), false},
      {"BMP cut in its header", Head(bmp, 30), false},
      {"BMP pixels cut", Head(pixelsCut, pixelsCut.size() - 200), false},
      {"offset past the end", With(bmp, 10, 100000), false},
      {"width 0", With(bmp, 18, 0), false},
      {"PNG cut", Head(png, png.size() / 2), false},
      {"JPEG cut", Head(jpeg, jpeg.size() / 2), false},
  };
  std::vector<std::string> errors;
  for (const auto& c : cases) {
    std::string& error = errors.emplace_back();
    if (!c.huge) Write("broken", c.bytes);
    EXPECT_FALSE(c.huge ? LoadPictureFromBytes(c.bytes, &error) : LoadPicture(Path("broken"), &error)) << c.what;
    EXPECT_EQ(error.rfind("not a picture this program can read: ", 0), 0u) << c.what << ": " << error;
    EXPECT_TRUE(!c.huge || error.find("more than this program takes") != std::string::npos) << c.what << ": " << error;
    EXPECT_GT(error.size(), 40u) << c.what;
  }
  EXPECT_EQ(errors[0],
            "not a picture this program can read: it declares 100000 x 100000 pixels, more than this program takes "
            "(at most 30000 pixels on a side and 200 million pixels in all)");
  std::string error;
  EXPECT_FALSE(LoadPictureFromBytes(PngClaiming(64, 64), &error));  // pixel data stops after one byte
  EXPECT_EQ(error, "not a picture this program can read: the picture data ends before the last row");
  EXPECT_FALSE(LoadPicture(Path("missing.bmp"), &error));
  EXPECT_EQ(error, "cannot read the picture file \"" + Path("missing.bmp") + "\": No such file or directory");
}

// An 8-bit (or, with fourBits, 4-bit) run-length coded BMP: a palette of
// `colours` entries (blue, green, red of entry k = k * 10, k * 20 + 5, 255 - k),
// then the codes.
Bytes RleBmp(std::int32_t width, std::int32_t height, const Bytes& codes, bool fourBits = false, int colours = 256) {
  const std::uint32_t offset = 54 + 4 * static_cast<std::uint32_t>(colours);
  Bytes b = With(BmpHeader(width, height, fourBits ? 4 : 8, fourBits ? 2 : 1, offset, offset - 54 + codes.size()), 46,
                 static_cast<std::uint32_t>(colours));
  for (int k = 0; k < colours; ++k) {
    b[static_cast<std::size_t>(54 + 4 * k)] = static_cast<std::uint8_t>(k * 10);
    b[static_cast<std::size_t>(55 + 4 * k)] = static_cast<std::uint8_t>(k * 20 + 5);
    b[static_cast<std::size_t>(56 + 4 * k)] = static_cast<std::uint8_t>(255 - k);
  }
  return Patch(b, offset, codes);
}
// Red, green, blue of the palette entries above; -1 is a pixel no code filled, white.
Bytes Pixels(std::initializer_list<int> entries) {
  Bytes rgb;
  for (const int k : entries)
    for (const int v : {255 - k, k * 20 + 5, k * 10}) rgb.push_back(static_cast<std::uint8_t>(k < 0 ? 255 : v));
  return rgb;
}

// Run-length codes are read as the decoder reads them: runs, absolute runs
// (padded to 2 bytes), end-of-line and delta codes that reach every row are
// a whole picture; rows skipped by a delta stay white.
TEST_F(PictureFiles, RunLengthCodedBmpsAreReadWhenTheyReachEveryRowAndRefusedWithTheirReasonElse) {
  std::string error;
  // 4 x 3, rows bottom first: a run of 4 of entry 1; a run of 2 of 2 and of
  // 2 of 3; 4 pixels given one by one (3, 2, 1, 4); then end of bitmap.
  const Bytes rle8 = RleBmp(4, 3, {4, 1, 0, 0, 2, 2, 2, 3, 0, 0, 0, 4, 3, 2, 1, 4, 0, 1});
  ExpectPicture(LoadPictureFromBytes(rle8, &error), error, 4, 3, Pixels({3, 2, 1, 4, 2, 2, 3, 3, 1, 1, 1, 1}), "RLE8");
  // A delta two rows up from the bottom row goes past the top: rows 1 and 2 stay white.
  const Bytes delta = RleBmp(4, 3, {4, 1, 0, 0, 0, 2, 0, 2});
  ExpectPicture(LoadPictureFromBytes(delta, &error), error, 4, 3, Pixels({-1, -1, -1, -1, -1, -1, -1, -1, 1, 1, 1, 1}),
                "delta");
  // 4 bits, 5 x 2: five pixels given one by one (1..5, 3 bytes padded to 4),
  // then a run of 5 alternating entries 2 and 1.
  const Bytes rle4 = RleBmp(5, 2, {0, 5, 0x12, 0x34, 0x50, 0, 0, 0, 5, 0x21, 0, 0}, true, 16);
  ExpectPicture(LoadPictureFromBytes(rle4, &error), error, 5, 2, Pixels({2, 1, 2, 1, 2, 1, 2, 3, 4, 5}), "RLE4");
  // Codes that end before the last row, and an end-of-bitmap code that leaves
  // rows unfilled, are a damaged file.
  Bytes deltas;  // 55 deltas of 255 rows: past the top of 14,000 rows, with no pixel
  for (int k = 0; k < 55; ++k) deltas.insert(deltas.end(), {0, 2, 0, 255});
  PictureRefusal refusal;
  const struct { const char* what; Bytes file; const char* reason; } cases[] = {
      // A file too small for the rows it declares is refused from its header,
      // before any pixel buffer is made: 1,124 bytes declaring 14000 x 14000 that
      // end at once took 1.4 GB and seconds, and were then taken as read. The
      // fewest codes to reach 14,000 rows: 55 deltas of 255 rows, 220 bytes.
      {"46 bytes of codes for 14000 rows", SmallRleBmp(),
       "its 46 bytes of pixel data cannot code the 14000 rows it declares (at least 220 bytes are needed)"},
      {"codes end in the second of 3 rows", RleBmp(4, 3, {4, 1, 0, 0, 4, 1}),
       "the pixel data is cut short (its codes reach 1 of the 3 rows it declares)"},
      {"end of bitmap in the second of 3 rows", RleBmp(4, 3, {4, 1, 0, 0, 0, 1}),
       "the pixel data ends with an end-of-bitmap code in row 2 of the 3 rows it declares, leaving the rest unfilled"},
      {"an absolute run cut short", RleBmp(4, 1, {0, 4, 1, 2}),
       "the pixel data is cut short (its codes reach 0 of the 1 rows it declares)"},
      {"deltas alone over 14000 x 14000", RleBmp(14000, 14000, deltas),
       "it declares 14000 x 14000 pixels, more than a file of 1298 bytes can hold (at most 16777216 pixels)"},
      {"8-bit rows cut short", BmpHeader(100, 100, 8, 0, 1078, 1024 + 5000),
       "the pixel data is cut short (5000 of 10000 bytes present)"},
      // A GIF frame is given a buffer of its own size, however small its screen.
      {"GIF frame of 20000 x 20000 on a 4 x 4 screen",
       Bytes{'G', 'I', 'F', '8', '9', 'a', 4, 0, 4, 0, 0x80, 0, 0, 0, 0, 0, 255, 255, 255,
             ',', 0, 0, 0, 0, 0x20, 0x4E, 0x20, 0x4E, 0, 2, 0, ';'},
       "its frames declare 400000000 pixels in all, more than a file of 32 bytes can hold (at most 16777216 pixels)"},
      // A PNG of 69 bytes declaring 25 million pixels was given a 100 MB buffer.
      {"PNG of 5000 x 5000 in 69 bytes", PngClaiming(5000, 5000),
       "it declares 5000 x 5000 pixels, more than a file of 69 bytes can hold (at most 16777216 pixels)"},
  };
  for (const auto& c : cases) {
    EXPECT_FALSE(LoadPictureFromBytes(c.file, &error)) << c.what;
    EXPECT_EQ(error, std::string("not a picture this program can read: ") + c.reason) << c.what;
    EXPECT_FALSE(LoadPictureFromBytes(c.file, &refusal)) << c.what;
    EXPECT_EQ(refusal.english, c.reason) << c.what;
    EXPECT_TRUE(!refusal.japanese.empty() && refusal.japanese != refusal.english) << c.what;
  }
  // A small file may declare up to 4096 x 4096 pixels whatever its length.
  EXPECT_EQ(std::pair(PixelsAFileMayDeclare(70), PixelsAFileMayDeclare(10000)),
            std::pair(4096LL * 4096, 10000LL * 8 * 1032));
}

// [SECTION] PNG writer

TEST_F(PictureFiles, SavePngReadsBackExactly) {
  const Picture picture = PatternPicture(17, 9);
  std::string error;
  ASSERT_TRUE(SavePng(Path("shot.png"), 17, 9, picture.rgb.data(), &error)) << error;
  ExpectPicture(LoadPicture(Path("shot.png"), &error), error, 17, 9, picture.rgb);
  EXPECT_FALSE(SavePng(Path("no-such-folder/shot.png"), 17, 9, picture.rgb.data(), &error));
  EXPECT_EQ(error.rfind("cannot write the PNG file", 0), 0u) << error;
  EXPECT_FALSE(std::filesystem::exists(Path("no-such-folder")));
}

}  // namespace
