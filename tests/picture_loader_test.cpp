// The picture loader: formats read, alpha over white, placement in the
// canvas, refusal of lying and broken files, and the PNG writer.

#include "platform/picture_loader.h"

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "image/bmp_files.h"
#include "image/planes.h"

namespace {

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}
void Put16(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void Put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  for (std::size_t k = 0; k < 4; ++k) b[at + k] = static_cast<std::uint8_t>(v >> (8 * k));
}
void PutBig32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  for (std::size_t k = 0; k < 4; ++k) b[at + k] = static_cast<std::uint8_t>(v >> (24 - 8 * k));
}

// A BMP header of any depth: 14 + 40 bytes, then `extra` bytes of zeros.
std::vector<std::uint8_t> BmpHeader(std::int32_t width, std::int32_t height, int bits, std::uint32_t compression,
                                    std::uint32_t offset, std::size_t extra) {
  std::vector<std::uint8_t> b(54 + extra, 0);
  b[0] = 'B';
  b[1] = 'M';
  Put32(b, 2, static_cast<std::uint32_t>(b.size()));
  Put32(b, 10, offset);
  Put32(b, 14, 40);
  Put32(b, 18, static_cast<std::uint32_t>(width));
  Put32(b, 22, static_cast<std::uint32_t>(height));
  Put16(b, 26, 1);
  Put16(b, 28, static_cast<std::uint32_t>(bits));
  Put32(b, 30, compression);
  return b;
}

// The test pattern: a different colour at every pixel.
std::array<std::uint8_t, 3> PatternAt(int x, int y) {
  return {static_cast<std::uint8_t>(x * 7 + y), static_cast<std::uint8_t>(y * 5 + 3), static_cast<std::uint8_t>(x ^ y)};
}
Picture PatternPicture(int width, int height) {
  Picture picture{width, height, std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * 3)};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const auto colour = PatternAt(x, y);
      std::copy(colour.begin(), colour.end(), picture.rgb.begin() + (static_cast<std::ptrdiff_t>(y) * width + x) * 3);
    }
  }
  return picture;
}
std::vector<std::uint8_t> PatternBmp(int width, int height) {
  return EncodeBmp(width, height, 0, [&](int row, std::uint8_t* out) {
    for (int x = 0; x < width; ++x) {
      const auto colour = PatternAt(x, height - 1 - row);
      out[3 * x] = colour[2];
      out[3 * x + 1] = colour[1];
      out[3 * x + 2] = colour[0];
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

void AppendPngChunk(std::vector<std::uint8_t>& png, const char* type, const std::vector<std::uint8_t>& data) {
  std::vector<std::uint8_t> chunk(12 + data.size(), 0);
  PutBig32(chunk, 0, static_cast<std::uint32_t>(data.size()));
  std::copy(type, type + 4, chunk.begin() + 4);
  std::copy(data.begin(), data.end(), chunk.begin() + 8);
  PutBig32(chunk, 8 + data.size(), Crc32(chunk.data() + 4, 4 + data.size()));
  png.insert(png.end(), chunk.begin(), chunk.end());
}

// A PNG declaring the given size whose pixel data is one byte long.
std::vector<std::uint8_t> PngClaiming(std::uint32_t width, std::uint32_t height) {
  std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  std::vector<std::uint8_t> header(13, 0);
  PutBig32(header, 0, width);
  PutBig32(header, 4, height);
  header[8] = 8;  // bit depth
  header[9] = 2;  // truecolour
  AppendPngChunk(png, "IHDR", header);
  // A zlib stream holding one stored byte, 0.
  AppendPngChunk(png, "IDAT", {0x78, 0x01, 0x01, 0x01, 0x00, 0xFE, 0xFF, 0x00, 0x00, 0x01, 0x00, 0x01});
  AppendPngChunk(png, "IEND", {});
  return png;
}

std::vector<std::uint8_t> SaveWithPixbuf(GdkPixbuf* pixbuf, const char* type) {
  gchar* buffer = nullptr;
  gsize size = 0;
  EXPECT_TRUE(gdk_pixbuf_save_to_buffer(pixbuf, &buffer, &size, type, nullptr, nullptr));
  std::vector<std::uint8_t> bytes(reinterpret_cast<std::uint8_t*>(buffer), reinterpret_cast<std::uint8_t*>(buffer) + size);
  g_free(buffer);
  return bytes;
}

class PictureFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    char folderTemplate[] = "/tmp/vz-loader-test-XXXXXX";
    ASSERT_NE(::mkdtemp(folderTemplate), nullptr);
    folder_ = folderTemplate;
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }
  std::string Path(const char* name) const { return (folder_ / name).string(); }
  std::filesystem::path folder_;
};

// ---- Formats ------------------------------------------------------------------

TEST_F(PictureFiles, Plain24BitBmpReadsBackExactlyEitherRowOrder) {
  // 37 pixels: rows of 111 bytes padded to 112.
  WriteBytes(Path("pattern.bmp"), PatternBmp(37, 23));
  std::string error;
  const auto picture = LoadPicture(Path("pattern.bmp"), &error);
  ASSERT_TRUE(picture) << error;
  EXPECT_EQ(picture->width, 37);
  EXPECT_EQ(picture->height, 23);
  EXPECT_EQ(picture->rgb, PatternPicture(37, 23).rgb);

  // The same picture stored top-down (negative height, rows reversed).
  const std::vector<std::uint8_t> bottomUp = PatternBmp(37, 23);
  std::vector<std::uint8_t> topDown(bottomUp.begin(), bottomUp.begin() + 54);
  Put32(topDown, 22, static_cast<std::uint32_t>(-23));
  for (int row = 22; row >= 0; --row) {
    const auto first = bottomUp.begin() + 54 + row * 112;
    topDown.insert(topDown.end(), first, first + 112);
  }
  const auto flipped = LoadPictureFromBytes(topDown, &error);
  ASSERT_TRUE(flipped) << error;
  EXPECT_EQ(flipped->rgb, picture->rgb);

  // Writers that leave out the last row's padding are read too.
  std::vector<std::uint8_t> unpadded = bottomUp;
  unpadded.pop_back();
  const auto short_ = LoadPictureFromBytes(unpadded, &error);
  ASSERT_TRUE(short_) << error;
  EXPECT_EQ(short_->rgb, picture->rgb);
}

TEST_F(PictureFiles, LargeBmpIsReadFromItsFileInBands) {
  // 700 x 600 rows of 2,100 bytes take more than one band of the file reader.
  std::vector<std::uint8_t> file = PatternBmp(700, 600);
  WriteBytes(Path("large.bmp"), file);
  std::string error;
  const auto picture = LoadPicture(Path("large.bmp"), &error);
  ASSERT_TRUE(picture) << error;
  EXPECT_EQ(picture->rgb, PatternPicture(700, 600).rgb);

  file.resize(file.size() - 2100);
  WriteBytes(Path("large.bmp"), file);
  EXPECT_FALSE(LoadPicture(Path("large.bmp"), &error));
  EXPECT_EQ(error, "not a picture this program can read: the pixel data is cut short (1257900 of 1260000 bytes present)");
}

TEST_F(PictureFiles, PaletteAnd32BitBmpsAreRead) {
  // 8 bits, 3 x 2, a palette of 4 entries (blue, green, red, unused).
  std::vector<std::uint8_t> palette = BmpHeader(3, 2, 8, 0, 54 + 16, 16 + 8);
  Put32(palette, 46, 4);  // colours used
  const std::uint8_t entries[16] = {0, 0, 0, 0, 255, 255, 255, 0, 0, 0, 255, 0, 40, 160, 20, 0};
  std::copy(entries, entries + 16, palette.begin() + 54);
  const std::uint8_t indices[8] = {0, 1, 2, 0, /* top row: */ 3, 2, 1, 0};
  std::copy(indices, indices + 8, palette.begin() + 70);
  std::string error;
  const auto eight = LoadPictureFromBytes(palette, &error);
  ASSERT_TRUE(eight) << error;
  ASSERT_EQ(eight->width, 3);
  ASSERT_EQ(eight->height, 2);
  const std::vector<std::uint8_t> expected8 = {20, 160, 40, 255, 0, 0, 255, 255, 255,  // top row
                                               0,  0,   0,  255, 255, 255, 255, 0, 0};
  EXPECT_EQ(eight->rgb, expected8);

  // 32 bits, no compression: the fourth byte is not alpha and is ignored.
  std::vector<std::uint8_t> wide = BmpHeader(2, 1, 32, 0, 54, 8);
  const std::uint8_t pixels[8] = {10, 20, 30, 0, 40, 50, 60, 0};
  std::copy(pixels, pixels + 8, wide.begin() + 54);
  const auto thirtyTwo = LoadPictureFromBytes(wide, &error);
  ASSERT_TRUE(thirtyTwo) << error;
  EXPECT_EQ(thirtyTwo->rgb, (std::vector<std::uint8_t>{30, 20, 10, 60, 50, 40}));
}

TEST_F(PictureFiles, PngAlphaIsComposedOverWhiteAndJpegIsRead) {
  GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, 3, 1);
  ASSERT_NE(pixbuf, nullptr);
  guchar* p = gdk_pixbuf_get_pixels(pixbuf);
  const std::uint8_t rgba[12] = {200, 100, 0, 255, /**/ 200, 100, 0, 0, /**/ 200, 100, 0, 128};
  std::copy(rgba, rgba + 12, p);
  const std::vector<std::uint8_t> png = SaveWithPixbuf(pixbuf, "png");
  g_object_unref(pixbuf);
  std::string error;
  const auto picture = LoadPictureFromBytes(png, &error);
  ASSERT_TRUE(picture) << error;
  // Half alpha: (200 * 128 + 255 * 127 + 127) / 255 = 227, and so on.
  EXPECT_EQ(picture->rgb, (std::vector<std::uint8_t>{200, 100, 0, 255, 255, 255, 227, 177, 127}));

  GdkPixbuf* flat = gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, 16, 8);
  gdk_pixbuf_fill(flat, 0x5080C0FFu);
  const std::vector<std::uint8_t> jpeg = SaveWithPixbuf(flat, "jpeg");
  g_object_unref(flat);
  const auto photo = LoadPictureFromBytes(jpeg, &error);
  ASSERT_TRUE(photo) << error;
  EXPECT_EQ(photo->width, 16);
  EXPECT_EQ(photo->height, 8);
  EXPECT_NEAR(photo->rgb[0], 0x50, 3);
  EXPECT_NEAR(photo->rgb[1], 0x80, 3);
  EXPECT_NEAR(photo->rgb[2], 0xC0, 3);
}

// ---- Placement in the canvas ----------------------------------------------------

TEST_F(PictureFiles, LargePictureGivesItsTopLeftPart) {
  const Picture picture = PatternPicture(1200, 900);
  std::vector<std::uint8_t> canvas(CanvasByteCount, 7);
  DrawPictureIntoCanvas(picture, canvas.data());
  int wrong = 0;
  for (int row = 0; row < CanvasRows; ++row) {
    for (int column = 0; column < Stride; ++column) {
      const auto colour = PatternAt(column, CanvasRows - 1 - row);  // plane row 671 is picture row 0
      const std::uint8_t* pixel = canvas.data() + 3 * (row * Stride + column);
      wrong += pixel[0] != colour[2] || pixel[1] != colour[1] || pixel[2] != colour[0];
    }
  }
  EXPECT_EQ(wrong, 0);
}

TEST_F(PictureFiles, SmallPictureIsWhitenedBelowAndRight) {
  const Picture picture = PatternPicture(800, 600);
  std::vector<std::uint8_t> canvas(CanvasByteCount, 7);
  DrawPictureIntoCanvas(picture, canvas.data());
  int wrong = 0;
  for (int row = 0; row < CanvasRows; ++row) {
    for (int column = 0; column < Stride; ++column) {
      const std::uint8_t* pixel = canvas.data() + 3 * (row * Stride + column);
      std::array<std::uint8_t, 3> expected = {255, 255, 255};
      if (row > 72 && column < 799) {
        const auto colour = PatternAt(column, CanvasRows - 1 - row);
        expected = {colour[2], colour[1], colour[0]};
      }
      wrong += pixel[0] != expected[0] || pixel[1] != expected[1] || pixel[2] != expected[2];
    }
  }
  EXPECT_EQ(wrong, 0);
}

// ---- Refusals ---------------------------------------------------------------------

TEST_F(PictureFiles, HeadersClaimingHugePicturesAreRefusedBeforeReading) {
  struct Case {
    const char* what;
    std::vector<std::uint8_t> bytes;
  };
  std::vector<std::uint8_t> gif = {'G', 'I', 'F', '8', '9', 'a', 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0,
                                   ',', 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 8, 0x02, 0x4C, 0x01, 0, ';'};
  const Case cases[] = {
      {"24-bit BMP", BmpHeader(100000, 100000, 24, 0, 54, 0)},
      {"top-down 24-bit BMP", BmpHeader(100000, -100000, 24, 0, 54, 16)},
      {"8-bit BMP", BmpHeader(100000, 100000, 8, 0, 54 + 1024, 1024)},
      {"RLE BMP", BmpHeader(30001, 10, 8, 1, 54 + 1024, 1024)},
      {"PNG", PngClaiming(100000, 100000)},
      {"PNG over the pixel count", PngClaiming(20000, 20000)},
      {"GIF", gif},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_FALSE(LoadPictureFromBytes(c.bytes, &error)) << c.what;
    EXPECT_NE(error.find("more than this program takes"), std::string::npos) << c.what << ": " << error;
  }
  std::string error;
  LoadPictureFromBytes(cases[0].bytes, &error);
  EXPECT_EQ(error,
            "not a picture this program can read: it declares 100000 x 100000 pixels, more than this program takes "
            "(at most 30000 pixels on a side and 200 million pixels in all)");
}

TEST_F(PictureFiles, BrokenFilesAreRefusedWithAMessage) {
  std::vector<std::uint8_t> cut = PatternBmp(40, 30);
  cut.resize(cut.size() - 200);
  std::vector<std::uint8_t> farOffset = PatternBmp(4, 4);
  Put32(farOffset, 10, 100000);
  std::vector<std::uint8_t> noWidth = PatternBmp(4, 4);
  Put32(noWidth, 18, 0);
  GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, 64, 64);
  gdk_pixbuf_fill(pixbuf, 0x336699FFu);
  std::vector<std::uint8_t> halfPng = SaveWithPixbuf(pixbuf, "png");
  g_object_unref(pixbuf);
  halfPng.resize(halfPng.size() / 2);
  GdkPixbuf* photo = gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, 64, 64);
  gdk_pixbuf_fill(photo, 0x336699FFu);
  std::vector<std::uint8_t> halfJpeg = SaveWithPixbuf(photo, "jpeg");
  g_object_unref(photo);
  halfJpeg.resize(halfJpeg.size() / 2);
  const std::string text = "just some text, not a picture";
  const std::vector<std::uint8_t> words(text.begin(), text.end());
  std::vector<std::uint8_t> shortHeader = PatternBmp(4, 4);
  shortHeader.resize(30);

  std::vector<std::uint8_t> oddHeader = BmpHeader(4, 4, 8, 0, 54, 64);
  Put32(oddHeader, 14, 0x4D420A00);  // an info header of 1.3 GB
  std::vector<std::uint8_t> hugePalette = BmpHeader(4, 4, 8, 0, 54, 64);
  Put32(hugePalette, 46, 0xFFFFFFFF);  // colours used

  const std::pair<const char*, std::vector<std::uint8_t>> cases[] = {
      {"unknown BMP header", oddHeader}, {"palette past the end", hugePalette},
      {"empty", {}},           {"text", words},          {"BMP cut in its header", shortHeader},
      {"BMP pixels cut", cut}, {"offset past the end", farOffset}, {"width 0", noWidth},
      {"PNG cut", halfPng},    {"JPEG cut", halfJpeg},
  };
  for (const auto& [what, bytes] : cases) {
    WriteBytes(Path("broken"), bytes);
    std::string error;
    EXPECT_FALSE(LoadPicture(Path("broken"), &error)) << what;
    EXPECT_EQ(error.rfind("not a picture this program can read: ", 0), 0u) << what << ": " << error;
    EXPECT_GT(error.size(), 40u) << what;
  }
  std::string error;
  // A PNG whose pixel data stops after its first byte.
  EXPECT_FALSE(LoadPictureFromBytes(PngClaiming(64, 64), &error));
  EXPECT_EQ(error, "not a picture this program can read: the picture data ends before the last row");
  EXPECT_FALSE(LoadPicture(Path("missing.bmp"), &error));
  EXPECT_EQ(error, "cannot read the picture file \"" + Path("missing.bmp") + "\": No such file or directory");
}

// ---- PNG writer ----------------------------------------------------------------------

TEST_F(PictureFiles, SavePngReadsBackExactly) {
  const Picture picture = PatternPicture(17, 9);
  std::string error;
  ASSERT_TRUE(SavePng(Path("shot.png"), 17, 9, picture.rgb.data(), &error)) << error;
  const auto back = LoadPicture(Path("shot.png"), &error);
  ASSERT_TRUE(back) << error;
  EXPECT_EQ(back->width, 17);
  EXPECT_EQ(back->height, 9);
  EXPECT_EQ(back->rgb, picture.rgb);

  EXPECT_FALSE(SavePng(Path("no-such-folder/shot.png"), 17, 9, picture.rgb.data(), &error));
  EXPECT_EQ(error.rfind("cannot write the PNG file", 0), 0u) << error;
  EXPECT_FALSE(std::filesystem::exists(Path("no-such-folder")));
}

}  // namespace
