// The picture loader: reads the picture the user opened, in place of the
// platform's bitmap loader, and writes PNG files.
//
// Plain uncompressed 24-bit BMPs (bottom-up or top-down) are read by our own
// code, which is quick enough for pictures of many millions of pixels; every
// other BMP, and PNG, JPEG, GIF, TIFF and PNM pictures, go through
// GdkPixbuf. Alpha is composed over white. The declared size of a picture is
// checked against PictureSideLimit and PicturePixelLimit, and against what
// its file can code, before any pixel buffer is made, so a lying header
// cannot make the program allocate beyond what its file holds. Nothing here
// needs a display.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// A picture in memory: rows top-down, 3 bytes red, green, blue per pixel,
// no padding between rows.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;
};

// Copies `pixels` pixels of 3 bytes, the first and third byte of each
// swapped: red, green, blue to blue, green, red (as BMP rows and the canvas
// hold them) and back.
inline void CopySwappingRedAndBlue(const std::uint8_t* from, std::uint8_t* to, std::size_t pixels) {
  for (std::size_t x = 0; x < pixels; ++x) {
    to[3 * x] = from[3 * x + 2];
    to[3 * x + 1] = from[3 * x + 1];
    to[3 * x + 2] = from[3 * x];
  }
}

inline constexpr int PictureSideLimit = 30000;             // pixels on either side, at most
inline constexpr long long PicturePixelLimit = 200000000;  // pixels in all, at most

// The size a picture file declares, read from its header only; nothing when
// it is not a picture file GdkPixbuf knows.
struct PictureSize {
  int width = 0, height = 0;
};
std::optional<PictureSize> PictureSizeOfFile(const std::string& path);

// A picture is never given more pixels than its file can code. Our own
// readers know exactly what a BMP needs: every byte of an uncompressed one,
// and for a run-length coded one codes that reach every row (see the loader).
// For everything the decoders read, the declared size must stay within
// max(PixelsFreeOfFileSize, PixelsPerFileByte x the file's length): no
// format we read packs more than 8 x 1,032 pixels into a byte (a 1-bit PNG
// at deflate's best ratio, 1,032 to 1), and a picture of up to 4096 x 4096
// pixels (at most about 120 MB while it is read) is taken from a file of any
// length, so that a small file may still declare an odd size (a GIF frame
// on a larger screen). Only a few exotic files (a fax-coded TIFF or an
// arithmetic-coded JPEG of one flat colour, over 16 million pixels) could
// code more, and are refused.
inline constexpr long long PixelsFreeOfFileSize = 4096LL * 4096;
inline constexpr long long PixelsPerFileByte = 8LL * 1032;
// The most pixels a picture file of `fileBytes` bytes is let declare, as above
// (PicturePixelLimit applies as well).
long long PixelsAFileMayDeclare(std::size_t fileBytes);

// Why a picture file was not read: one clause in each language, as a message
// shows it ("the pixel data is cut short (5000 of 10000 bytes present)").
struct PictureRefusal {
  bool fileUnread = false;  // the file itself could not be opened or read; else it is no picture we read
  std::string japanese;
  std::string english;
};

// Reads the picture file at path. Nothing (and one sentence in *error) when
// the file cannot be read or is not a picture this program reads. The
// sentence is "not a picture this program can read: <why>", or for a file
// that could not be read at all "cannot read the picture file "<path>": <why>".
std::optional<Picture> LoadPicture(const std::string& path, std::string* error = nullptr);
// The same, with the reason in both languages.
std::optional<Picture> LoadPicture(const std::string& path, PictureRefusal* refusal);

// The same, on the bytes of a whole picture file already in memory.
std::optional<Picture> LoadPictureFromBytes(std::span<const std::uint8_t> bytes, std::string* error = nullptr);
std::optional<Picture> LoadPictureFromBytes(std::span<const std::uint8_t> bytes, PictureRefusal* refusal);

// A plain 24-bit BMP read a band of rows at a time where it lies in its file,
// for a tool that goes through a picture of many millions of pixels without
// ever holding it whole. Rows are read, not mapped, so a file cut short
// under the reader gives a failed read rather than a crash.
class BmpRowReader {
 public:
  // Nothing when the file cannot be opened, is not a plain uncompressed
  // 24-bit BMP, is over the size limits or lacks some of its pixel bytes.
  static std::optional<BmpRowReader> Open(const std::string& path);
  BmpRowReader(BmpRowReader&& other) noexcept;
  BmpRowReader& operator=(BmpRowReader&& other) noexcept;
  BmpRowReader(const BmpRowReader&) = delete;
  ~BmpRowReader();

  int width() const { return width_; }
  int height() const { return height_; }
  std::size_t rowBytes() const { return rowBytes_; }  // 3 bytes a pixel, padded to a multiple of 4

  // Reads rows first .. first + count - 1, counted from the bottom row as a
  // BMP stores them, into `to`: rowBytes() a row, blue, green, red (a row's
  // padding bytes are undefined). May be called from several threads at
  // once. False when the file can no longer be read whole.
  bool ReadRows(int first, int count, std::uint8_t* to) const;

 private:
  BmpRowReader() = default;
  int fd_ = -1;
  int width_ = 0;
  int height_ = 0;
  std::size_t rowBytes_ = 0;
  std::size_t offset_ = 0;
  bool topDown_ = false;
};

// Writes a width x height top-down RGB picture as a PNG file, through an
// atomic write. False, with one sentence in *error, on failure.
bool SavePng(const std::string& path, int width, int height, const std::uint8_t* rgbTopDown,
             std::string* error = nullptr);
