// The picture loader.
//
// [SECTION] Small helpers (little-endian fields, messages, size limits)
// [SECTION] Our own reader of plain 24-bit BMPs, and the BMP size check
// [SECTION] What a BMP read by GdkPixbuf must hold: rows, run-length codes
// [SECTION] GdkPixbuf for everything else
// [SECTION] Entry points: LoadPicture, LoadPictureFromBytes
// [SECTION] PNG writer

#include "platform/picture_loader.h"

#include <fcntl.h>
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <utility>

#include "platform/files.h"

namespace {

// [SECTION] Small helpers

// A picture file larger than this is not read at all: the largest picture we
// take, 200 million pixels at 32 bits in an uncompressed BMP, is 800 MB.
constexpr long long PictureFileLimit = 1LL << 30;

constexpr const char* UnreadablePrefix = "not a picture this program can read: ";
constexpr const char* UnreadFilePrefix = "cannot read the picture file \"";

std::uint32_t Get16(const std::uint8_t* p) { return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8); }
std::uint32_t Get32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::int32_t GetSigned32(const std::uint8_t* p) { return static_cast<std::int32_t>(Get32(p)); }

// A reason in both languages, Japanese first.
struct Why {
  std::string japanese;
  std::string english;
};

// Sets *refusal (when asked for) and returns nothing, so that a failure is one line.
std::optional<Picture> Refuse(PictureRefusal* refusal, const Why& why) {
  if (refusal != nullptr) *refusal = PictureRefusal{false, why.japanese, why.english};
  return std::nullopt;
}

std::string Number(long long value) { return std::to_string(value); }

// The size check every picture passes before any pixel buffer is made.
// Sides are taken as 64-bit so that a header's extreme values cannot wrap.
bool SizeAccepted(long long width, long long height) {
  return width >= 1 && height >= 1 && width <= PictureSideLimit && height <= PictureSideLimit &&
         width * height <= PicturePixelLimit;
}

Why TooLargeReason(long long width, long long height) {
  return {Number(width) + " × " + Number(height) + " 画素と宣言されていて、このプログラムが扱える大きさ（一辺 " +
              Number(PictureSideLimit) + " 画素まで、全部で " + Number(PicturePixelLimit / 100000000) +
              " 億画素まで）を超えています",
          "it declares " + Number(width) + " x " + Number(height) +
              " pixels, more than this program takes (at most " + Number(PictureSideLimit) +
              " pixels on a side and " + Number(PicturePixelLimit / 1000000) + " million pixels in all)"};
}

// The size check against what the file can code (PixelsAFileMayDeclare).
bool FitsItsFile(long long width, long long height, std::size_t fileBytes) {
  return width * height <= PixelsAFileMayDeclare(fileBytes);
}

Why MoreThanItsFileReason(long long width, long long height, std::size_t fileBytes) {
  const long long most = std::min(PixelsAFileMayDeclare(fileBytes), PicturePixelLimit);
  const long long bytes = static_cast<long long>(fileBytes);
  return {Number(width) + " × " + Number(height) + " 画素と宣言されていますが、" + Number(bytes) +
              " バイトのファイルに入る画素数（多くとも " + Number(most) + " 画素）を超えています",
          "it declares " + Number(width) + " x " + Number(height) + " pixels, more than a file of " + Number(bytes) +
              " bytes can hold (at most " + Number(most) + " pixels)"};
}

Why CutShortReason(std::size_t present, std::size_t needed) {
  return {"画素データが途中で切れています（" + Number(static_cast<long long>(needed)) + " バイトのうち " +
              Number(static_cast<long long>(present)) + " バイトしかありません）",
          "the pixel data is cut short (" + Number(static_cast<long long>(present)) + " of " +
              Number(static_cast<long long>(needed)) + " bytes present)"};
}

// [SECTION] Our own reader of plain 24-bit BMPs, and the BMP size check

constexpr int BmpFileHeaderBytes = 14;
constexpr int BmpInfoHeaderBytes = 40;

// The width and height a BMP header declares, for the size check done before
// GdkPixbuf reads the file. Nothing when the header is too short to tell;
// GdkPixbuf then refuses it itself.
struct BmpHeader {
  std::uint32_t infoSize = 0;
  long long width = 0;
  long long height = 0;  // negative for top-down rows
  std::uint32_t planes = 0;
  std::uint32_t bitsPerPixel = 0;
  std::uint32_t compression = 0;
  std::uint32_t coloursUsed = 0;  // palette entries the header announces
};

std::optional<BmpHeader> ParseBmpHeader(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < BmpFileHeaderBytes + 4) return std::nullopt;
  const std::uint8_t* h = bytes.data();
  BmpHeader header;
  header.infoSize = Get32(h + 14);
  if (header.infoSize == 12) {  // the old core header: 16-bit sides
    if (bytes.size() < BmpFileHeaderBytes + 12) return std::nullopt;
    header.width = Get16(h + 18);
    header.height = Get16(h + 20);
    header.planes = Get16(h + 22);
    header.bitsPerPixel = Get16(h + 24);
    return header;
  }
  if (header.infoSize < 16) return std::nullopt;
  if (bytes.size() < BmpFileHeaderBytes + std::min<std::size_t>(header.infoSize, BmpInfoHeaderBytes)) return std::nullopt;
  header.width = GetSigned32(h + 18);
  header.height = GetSigned32(h + 22);
  header.planes = Get16(h + 26);
  header.bitsPerPixel = Get16(h + 28);
  if (header.infoSize >= 20) header.compression = Get32(h + 30);
  if (header.infoSize >= 36) header.coloursUsed = Get32(h + 46);
  return header;
}

// An uncompressed 24-bit BMP with a Windows info header (40 bytes or one of
// its longer versions), rows bottom-up (positive height) or top-down
// (negative height), is read by our own code.
bool IsPlainBmp(const BmpHeader& header) {
  return header.infoSize >= BmpInfoHeaderBytes && header.planes == 1 && header.bitsPerPixel == 24 &&
         header.compression == 0;
}

// Where the pixel rows of a plain BMP lie in its file.
struct PlainBmpLayout {
  std::size_t columns = 0;
  std::size_t rows = 0;
  std::size_t rowBytes = 0;  // padded to a multiple of 4
  std::size_t offset = 0;    // of the first pixel byte in the file
  bool topDown = false;
};

// Bytes the first `rows` file rows take. The last row's padding is often
// left out by writers, so it is not asked for.
std::size_t PlainBmpPixelBytes(const PlainBmpLayout& layout, std::size_t rows) {
  return rows == 0 ? 0 : layout.rowBytes * (rows - 1) + layout.columns * 3;
}

// Checks every header field that decides where the pixel bytes are against
// the file's real length. False, with the reason in *refusal, when they do not fit.
bool CheckPlainBmp(const BmpHeader& header, std::span<const std::uint8_t> head, std::size_t fileSize,
                   PlainBmpLayout& layout, PictureRefusal* refusal) {
  layout.topDown = header.height < 0;
  const long long width = header.width;
  const long long height = layout.topDown ? -header.height : header.height;
  if (width < 1 || height < 1) {
    Refuse(refusal, {"BMP ヘッダーの大きさが " + Number(header.width) + " × " + Number(header.height) +
                         " 画素になっています",
                     "the BMP header gives a size of " + Number(header.width) + " x " + Number(header.height) +
                         " pixels"});
    return false;
  }
  if (!SizeAccepted(width, height)) {
    Refuse(refusal, TooLargeReason(width, height));
    return false;
  }
  const std::uint32_t offset = Get32(head.data() + 10);
  if (offset < BmpFileHeaderBytes + BmpInfoHeaderBytes || offset > fileSize) {
    const long long size = static_cast<long long>(fileSize);
    Refuse(refusal, {"BMP ヘッダーが画素データの位置を " + Number(offset) + " バイト目としていますが、ファイルは " +
                         Number(size) + " バイトしかありません",
                     "the BMP header puts the pixel data at byte " + Number(offset) + ", outside the file of " +
                         Number(size) + " bytes"});
    return false;
  }
  layout.columns = static_cast<std::size_t>(width);
  layout.rows = static_cast<std::size_t>(height);
  layout.rowBytes = (layout.columns * 3 + 3) / 4 * 4;
  layout.offset = offset;
  const std::size_t present = fileSize - offset;
  const std::size_t needed = PlainBmpPixelBytes(layout, layout.rows);
  if (present < needed) {
    Refuse(refusal, CutShortReason(present, needed));
    return false;
  }
  return true;
}

Picture EmptyPictureFor(const PlainBmpLayout& layout) {
  Picture picture;
  picture.width = static_cast<int>(layout.columns);
  picture.height = static_cast<int>(layout.rows);
  picture.rgb.resize(layout.columns * layout.rows * 3);
  return picture;
}

// Converts `count` file rows starting at file row `first` (counted as stored:
// from the bottom for bottom-up files) from BGR into the picture's RGB rows.
void ConvertBmpRows(const std::uint8_t* fileRows, std::size_t first, std::size_t count, const PlainBmpLayout& layout,
                    Picture& picture) {
  for (std::size_t r = 0; r < count; ++r) {
    const std::size_t fileRow = first + r;
    const std::size_t y = layout.topDown ? fileRow : layout.rows - 1 - fileRow;
    CopySwappingRedAndBlue(fileRows + r * layout.rowBytes, picture.rgb.data() + y * layout.columns * 3,
                           layout.columns);
  }
}

// [SECTION] What a BMP read by GdkPixbuf must hold: rows, run-length codes

constexpr std::uint32_t BmpUncompressed = 0, BmpRle8 = 1, BmpRle4 = 2, BmpBitFields = 3;

// The fewest bytes of run-length codes that reach every one of `rows` rows.
// A row needs at least its end-of-line code (2 bytes), but a delta code (4
// bytes) may move up to 255 rows on, so rows x 2 is no bound: the codes must
// get from the first row to the last (4 bytes for every 255 rows at best)
// and end there with an end-of-bitmap code (2 bytes), or move past it.
std::uint64_t FewestRleBytes(std::uint64_t rows) {
  const auto moves = [](std::uint64_t n) { return (n + 254) / 255 * 4; };
  return std::min(moves(rows - 1) + 2, moves(rows));
}

// How far run-length codes reach, read as the decoder reads them: a run
// fills the current row, an end-of-line code goes on to the next row, a
// delta code moves right and up, an end-of-bitmap code ends the picture.
// The codes are whole when they move past the last row or end in it; an
// end-of-bitmap code in an earlier row leaves the rows after it unfilled,
// and codes that run out first are cut short.
enum class RleEnd { Whole, EarlyEndOfBitmap, CutShort };
struct RleReach {
  RleEnd end = RleEnd::CutShort;
  std::uint64_t rows = 0;  // rows reached: for an early end the rows up to its own, else the rows passed
};

RleReach ReachOfRleCodes(std::span<const std::uint8_t> codes, std::uint64_t rows, bool fourBits) {
  std::uint64_t row = 0;
  std::size_t at = 0;
  while (codes.size() - at >= 2) {
    const std::uint8_t count = codes[at], code = codes[at + 1];
    at += 2;
    if (count != 0) continue;  // a run of `count` pixels of one colour
    if (code == 0) {           // end of line
      if (++row >= rows) return {RleEnd::Whole, rows};
    } else if (code == 1) {  // end of bitmap
      if (row + 1 >= rows) return {RleEnd::Whole, rows};
      return {RleEnd::EarlyEndOfBitmap, row + 1};
    } else if (code == 2) {  // delta: columns right, rows up
      if (codes.size() - at < 2) break;
      row += codes[at + 1];
      at += 2;
      if (row >= rows) return {RleEnd::Whole, rows};
    } else {  // `code` pixels given one by one, padded to 2 bytes
      const std::size_t bytes = fourBits ? (code + 1u) / 2 : code;
      const std::size_t padded = (bytes + 1) / 2 * 2;
      if (codes.size() - at < padded) break;
      at += padded;
    }
  }
  return {RleEnd::CutShort, row};
}

// What a BMP handed to GdkPixbuf must hold, checked before the decoder makes
// its pixel buffer: an uncompressed one every pixel byte of its rows (the
// last row's padding may be missing), a run-length coded one codes that
// reach every row. False, with the reason in *refusal, when it does not.
// Depths and compressions the decoder does not know are left to it.
bool BmpHoldsItsRows(const BmpHeader& header, std::span<const std::uint8_t> bytes, PictureRefusal* refusal) {
  const long long width = header.width;
  const long long height = header.height < 0 ? -header.height : header.height;
  if (width < 1 || height < 1) return true;  // refused by the decoder
  const std::uint64_t rows = static_cast<std::uint64_t>(height);
  const std::uint32_t offset = Get32(bytes.data() + 10);  // within the file: checked before
  const std::span<const std::uint8_t> pixelData = bytes.subspan(offset);
  const std::uint32_t bits = header.bitsPerPixel;
  const bool knownDepth = bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
  if ((header.compression == BmpUncompressed || header.compression == BmpBitFields) && knownDepth) {
    const std::uint64_t bitsInRow = static_cast<std::uint64_t>(width) * bits;
    const std::uint64_t rowBytes = (bitsInRow + 31) / 32 * 4;
    const std::uint64_t needed = rowBytes * (rows - 1) + (bitsInRow + 7) / 8;
    if (pixelData.size() < needed) {
      Refuse(refusal, CutShortReason(pixelData.size(), static_cast<std::size_t>(needed)));
      return false;
    }
    return true;
  }
  const bool rle8 = header.compression == BmpRle8 && bits == 8;
  const bool rle4 = header.compression == BmpRle4 && bits == 4;
  if (!rle8 && !rle4) return true;
  const long long present = static_cast<long long>(pixelData.size());
  const long long declared = static_cast<long long>(rows);
  const std::uint64_t fewest = FewestRleBytes(rows);
  if (pixelData.size() < fewest) {
    Refuse(refusal, {"画素データの " + Number(present) + " バイトでは、宣言された " + Number(declared) +
                         " 行を符号化できません（少なくとも " + Number(static_cast<long long>(fewest)) +
                         " バイト必要です）",
                     "its " + Number(present) + " bytes of pixel data cannot code the " + Number(declared) +
                         " rows it declares (at least " + Number(static_cast<long long>(fewest)) +
                         " bytes are needed)"});
    return false;
  }
  const RleReach reach = ReachOfRleCodes(pixelData, rows, rle4);
  const long long reached = static_cast<long long>(reach.rows);
  if (reach.end == RleEnd::CutShort) {
    Refuse(refusal, {"画素データが途中で切れています（宣言された " + Number(declared) + " 行のうち " +
                         Number(reached) + " 行にしか届きません）",
                     "the pixel data is cut short (its codes reach " + Number(reached) + " of the " +
                         Number(declared) + " rows it declares)"});
    return false;
  }
  if (reach.end == RleEnd::EarlyEndOfBitmap) {
    Refuse(refusal, {"画素データが、宣言された " + Number(declared) + " 行のうち " + Number(reached) +
                         " 行目で終了コードにより終わっていて、残りの行が埋まっていません",
                     "the pixel data ends with an end-of-bitmap code in row " + Number(reached) + " of the " +
                         Number(declared) + " rows it declares, leaving the rest unfilled"});
    return false;
  }
  return true;
}

// [SECTION] GdkPixbuf for everything else

// The formats handed to GdkPixbuf, recognised by their first bytes. Only
// loaders that report the picture's size before they allocate its pixels
// are used; formats whose loaders read the whole picture first (XPM, XBM),
// that render at any size asked (SVG), or whose loaders size their buffers
// from unchecked header fields (icons and cursors) are left out on purpose.
struct PixbufFormat {
  const char* loader;
  std::array<std::uint8_t, 8> magic;
  std::size_t magicLength;
};
constexpr std::array<PixbufFormat, 7> PixbufFormats = {{
    {"bmp", {'B', 'M'}, 2},
    {"png", {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}, 8},
    {"jpeg", {0xFF, 0xD8, 0xFF}, 3},
    {"gif", {'G', 'I', 'F', '8'}, 4},
    {"tiff", {'I', 'I', '*', 0}, 4},
    {"tiff", {'M', 'M', 0, '*'}, 4},
    {"pnm", {'P'}, 1},  // followed by '1' .. '6', checked below
}};

const char* SniffLoader(std::span<const std::uint8_t> bytes) {
  for (const PixbufFormat& format : PixbufFormats) {
    if (bytes.size() < format.magicLength) continue;
    if (!std::equal(format.magic.begin(), format.magic.begin() + static_cast<std::ptrdiff_t>(format.magicLength),
                    bytes.begin())) {
      continue;
    }
    if (std::strcmp(format.loader, "pnm") == 0 && (bytes.size() < 2 || bytes[1] < '1' || bytes[1] > '6')) continue;
    return format.loader;
  }
  return nullptr;
}

// True when a JPEG file's last scan is followed by its end marker. Inside a
// scan's coded data a 0xFF byte is always followed by 0x00 or a restart
// code, so going back from the end, the first start-of-scan or end-of-image
// marker met tells whether the data stops in the middle of the last scan.
// (The decoder would otherwise fill the missing rows with grey and succeed.)
bool JpegHasEnd(std::span<const std::uint8_t> bytes) {
  for (std::size_t i = bytes.size(); i >= 2; --i) {
    if (bytes[i - 2] != 0xFF) continue;
    if (bytes[i - 1] == 0xD9) return true;
    if (bytes[i - 1] == 0xDA) return false;
  }
  return false;
}

// The pixels of all the frames a GIF declares. Its decoder makes a buffer
// for each frame as large as the frame's own descriptor says (a frame may be
// far larger than the screen it is shown on), before it reads the frame's
// codes, so the frames' sizes are summed from their descriptors beforehand,
// walking the blocks as the decoder does: a byte that starts no block is
// passed over, the trailer ends the picture.
long long GifFramePixels(std::span<const std::uint8_t> bytes) {
  const auto skipSubBlocks = [&](std::size_t at) {
    while (at < bytes.size()) {
      const std::size_t length = bytes[at++];
      if (length == 0) return at;
      at += length;
    }
    return bytes.size();
  };
  const auto colourTableBytes = [](std::uint8_t flags) -> std::size_t {
    return (flags & 0x80) != 0 ? std::size_t{3} << ((flags & 7) + 1) : 0;
  };
  constexpr std::size_t ScreenDescriptorEnd = 13, ImageDescriptorBytes = 9;
  if (bytes.size() < ScreenDescriptorEnd) return 0;
  std::size_t at = ScreenDescriptorEnd + colourTableBytes(bytes[10]);
  long long total = 0;
  while (at < bytes.size()) {
    const std::uint8_t block = bytes[at++];
    if (block == 0x3B) break;  // the trailer
    if (block == 0x21) {       // an extension: its label, then sub-blocks
      at = skipSubBlocks(at + 1);
    } else if (block == 0x2C) {  // a frame
      if (bytes.size() - at < ImageDescriptorBytes) break;
      total += static_cast<long long>(Get16(bytes.data() + at + 4)) * Get16(bytes.data() + at + 6);
      const std::size_t tables = colourTableBytes(bytes[at + 8]);
      at += ImageDescriptorBytes;
      if (bytes.size() - at <= tables) break;
      at = skipSubBlocks(at + tables + 1);  // after the code size, the codes
    }
  }
  return total;
}

// What the loader's signals told us while it read.
struct LoadWatch {
  std::size_t fileBytes = 0;  // the length of the file being read
  bool refused = false;       // the declared size was over the limits or more than the file can hold
  long long width = 0;
  long long height = 0;
  std::vector<std::uint8_t> rowsWritten;  // per row of the picture: did the decoder write it?
};

// Called by the loader as soon as it knows the picture's size and before it
// makes the pixel buffer: a size of 0 x 0 tells it to stop.
void OnSizePrepared(GdkPixbufLoader* loader, gint width, gint height, gpointer data) {
  auto* watch = static_cast<LoadWatch*>(data);
  if (SizeAccepted(width, height) && FitsItsFile(width, height, watch->fileBytes) && !watch->refused) return;
  if (!watch->refused) {
    watch->refused = true;
    watch->width = width;
    watch->height = height;
  }
  gdk_pixbuf_loader_set_size(loader, 0, 0);
}

// Called once the pixel buffer exists and before anything is decoded into
// it. The buffer is not cleared by its maker, so a file that ends early
// would leave whatever the memory held; it starts white instead.
void OnAreaPrepared(GdkPixbufLoader* loader, gpointer data) {
  auto* watch = static_cast<LoadWatch*>(data);
  GdkPixbuf* pixbuf = gdk_pixbuf_loader_get_pixbuf(loader);
  if (pixbuf == nullptr) return;
  gdk_pixbuf_fill(pixbuf, 0xFFFFFFFFu);
  watch->rowsWritten.assign(static_cast<std::size_t>(std::max(gdk_pixbuf_get_height(pixbuf), 0)), 0);
}

// Called for every stretch of rows the decoder has written.
void OnAreaUpdated(GdkPixbufLoader*, gint, gint y, gint, gint height, gpointer data) {
  auto* watch = static_cast<LoadWatch*>(data);
  const long long rows = static_cast<long long>(watch->rowsWritten.size());
  const long long first = std::clamp<long long>(y, 0, rows);
  const long long last = std::clamp<long long>(static_cast<long long>(y) + height, 0, rows);
  std::fill(watch->rowsWritten.begin() + first, watch->rowsWritten.begin() + last, std::uint8_t{1});
}

Why UnknownLayoutReason() {
  return {"復号器が、このプログラムの知らない並びで画素を返しました",
          "the decoder gave pixels in a layout this program does not know"};
}

// Copies a GdkPixbuf into a Picture: rows have a rowstride (the last row may
// be shorter), and a fourth channel is alpha, composed over white.
std::optional<Picture> PictureFromPixbuf(GdkPixbuf* pixbuf, PictureRefusal* refusal) {
  const int width = gdk_pixbuf_get_width(pixbuf);
  const int height = gdk_pixbuf_get_height(pixbuf);
  const int channels = gdk_pixbuf_get_n_channels(pixbuf);
  const bool alpha = gdk_pixbuf_get_has_alpha(pixbuf) != FALSE;
  if (!SizeAccepted(width, height)) return Refuse(refusal, TooLargeReason(width, height));
  if (gdk_pixbuf_get_colorspace(pixbuf) != GDK_COLORSPACE_RGB || gdk_pixbuf_get_bits_per_sample(pixbuf) != 8 ||
      channels != (alpha ? 4 : 3)) {
    return Refuse(refusal, UnknownLayoutReason());
  }
  const std::size_t stride = static_cast<std::size_t>(gdk_pixbuf_get_rowstride(pixbuf));
  const std::uint8_t* pixels = gdk_pixbuf_read_pixels(pixbuf);
  const std::size_t columns = static_cast<std::size_t>(width);
  const std::size_t step = static_cast<std::size_t>(channels);
  if (pixels == nullptr || stride < columns * step) {
    return Refuse(refusal, UnknownLayoutReason());
  }

  Picture picture;
  picture.width = width;
  picture.height = height;
  picture.rgb.resize(columns * static_cast<std::size_t>(height) * 3);
  for (std::size_t y = 0; y < static_cast<std::size_t>(height); ++y) {
    const std::uint8_t* from = pixels + y * stride;
    std::uint8_t* to = picture.rgb.data() + y * columns * 3;
    if (!alpha) {
      std::memcpy(to, from, columns * 3);
      continue;
    }
    for (std::size_t x = 0; x < columns; ++x, from += 4, to += 3) {
      const unsigned a = from[3];
      for (std::size_t k = 0; k < 3; ++k) to[k] = static_cast<std::uint8_t>((from[k] * a + 255u * (255u - a) + 127u) / 255u);
    }
  }
  return picture;
}

std::optional<Picture> ReadWithPixbuf(std::span<const std::uint8_t> bytes, const char* loaderName,
                                      PictureRefusal* refusal) {
  GError* failure = nullptr;
  GdkPixbufLoader* loader = gdk_pixbuf_loader_new_with_type(loaderName, &failure);
  const std::string name = loaderName;
  if (loader == nullptr) {
    if (failure != nullptr) g_error_free(failure);
    return Refuse(refusal, {name + " 画像の復号器が入っていません", "no decoder for " + name + " pictures is installed"});
  }
  LoadWatch watch;
  watch.fileBytes = bytes.size();
  g_signal_connect(loader, "size-prepared", G_CALLBACK(OnSizePrepared), &watch);
  g_signal_connect(loader, "area-prepared", G_CALLBACK(OnAreaPrepared), &watch);
  g_signal_connect(loader, "area-updated", G_CALLBACK(OnAreaUpdated), &watch);

  bool ok = gdk_pixbuf_loader_write(loader, bytes.data(), bytes.size(), &failure) != FALSE;
  // The loader must be closed in every case; after a failed write its own
  // second error is of no interest.
  ok = gdk_pixbuf_loader_close(loader, ok ? &failure : nullptr) != FALSE && ok;

  std::optional<Picture> picture;
  // Some decoders report success on a file that ends early. A GIF's frame
  // may cover only part of its screen, so rows are not counted for GIFs;
  // their decoder reports missing frames itself.
  const bool rowsMissing = std::strcmp(loaderName, "gif") != 0 &&
                           std::find(watch.rowsWritten.begin(), watch.rowsWritten.end(), 0) != watch.rowsWritten.end();
  if (watch.refused) {
    picture = Refuse(refusal, SizeAccepted(watch.width, watch.height)
                                  ? MoreThanItsFileReason(watch.width, watch.height, watch.fileBytes)
                                  : TooLargeReason(watch.width, watch.height));
  } else if (ok && rowsMissing) {
    picture = Refuse(refusal, {"画像データが最後の行より前で終わっています", "the picture data ends before the last row"});
  } else if (!ok || gdk_pixbuf_loader_get_pixbuf(loader) == nullptr) {
    // The decoder's own words, in English, stand in both languages.
    std::string said = failure != nullptr && failure->message != nullptr ? std::string(failure->message) : "";
    while (!said.empty() && (said.back() == '.' || said.back() == '\n' || said.back() == ' ')) said.pop_back();
    picture = Refuse(refusal, said.empty() ? Why{name + " の復号器が読めませんでした", "the " + name + " decoder could not read it"}
                                           : Why{name + " の復号器が読めませんでした（" + said + "）", said});
  } else {
    picture = PictureFromPixbuf(gdk_pixbuf_loader_get_pixbuf(loader), refusal);
  }
  if (failure != nullptr) g_error_free(failure);
  g_object_unref(loader);
  return picture;
}

}  // namespace

// [SECTION] Entry points

std::optional<Picture> LoadPictureFromBytes(std::span<const std::uint8_t> bytes, PictureRefusal* refusal) {
  if (bytes.empty()) return Refuse(refusal, {"ファイルが空です", "the file is empty"});
  const char* loader = SniffLoader(bytes);
  if (loader == nullptr) {
    return Refuse(refusal, {"BMP・PNG・JPEG・GIF・TIFF・PNM のどの画像でもありません",
                            "it is not a BMP, PNG, JPEG, GIF, TIFF or PNM picture"});
  }
  if (std::strcmp(loader, "bmp") == 0) {
    const std::optional<BmpHeader> header = ParseBmpHeader(bytes);
    if (!header) return Refuse(refusal, {"BMP ヘッダーが途中で切れています", "the BMP header is cut short"});
    if (IsPlainBmp(*header)) {
      PlainBmpLayout layout;
      if (!CheckPlainBmp(*header, bytes, bytes.size(), layout, refusal)) return std::nullopt;
      Picture picture = EmptyPictureFor(layout);
      ConvertBmpRows(bytes.data() + layout.offset, 0, layout.rows, layout, picture);
      return picture;
    }
    // Other depths and compressions go to GdkPixbuf, whose BMP decoder makes
    // buffers as large as the header's own size, its palette and the pixel
    // offset say: all must fit in the file, and the header must be one of the known
    // versions. A lying picture size, and pixel data too short for the rows
    // the header declares, are refused before the decoder would make a pixel
    // buffer for them.
    constexpr std::array<std::uint32_t, 8> knownInfoSizes = {12, 16, 40, 52, 56, 64, 108, 124};
    if (std::find(knownInfoSizes.begin(), knownInfoSizes.end(), header->infoSize) == knownInfoSizes.end()) {
      return Refuse(refusal, {"BMP ヘッダーが知らない種類です（" + Number(header->infoSize) + " バイト）",
                              "the BMP header is of an unknown kind (" + Number(header->infoSize) + " bytes)"});
    }
    const std::uint32_t offset = Get32(bytes.data() + 10);
    const std::uint64_t paletteBytes = std::uint64_t{header->coloursUsed} * 4;
    if (BmpFileHeaderBytes + header->infoSize + paletteBytes > bytes.size() || offset > bytes.size()) {
      return Refuse(refusal, {"BMP ヘッダー、パレットまたは画素データの位置がファイルの終わりを越えています",
                              "the BMP header, its palette or its pixel offset lies beyond the end of the file"});
    }
    const long long height = header->height < 0 ? -header->height : header->height;
    if (header->width > 0 && height > 0 && !SizeAccepted(header->width, height)) {
      return Refuse(refusal, TooLargeReason(header->width, height));
    }
    if (!BmpHoldsItsRows(*header, bytes, refusal)) return std::nullopt;
    // Delta codes may skip rows without a byte for them: the bound of every
    // decoded picture holds as well.
    if (header->width > 0 && height > 0 && !FitsItsFile(header->width, height, bytes.size())) {
      return Refuse(refusal, MoreThanItsFileReason(header->width, height, bytes.size()));
    }
  }
  if (std::strcmp(loader, "gif") == 0 && bytes.size() >= 10) {
    const long long screenWidth = Get16(bytes.data() + 6), screenHeight = Get16(bytes.data() + 8);
    if (!SizeAccepted(screenWidth, screenHeight) && screenWidth > 0 && screenHeight > 0) {
      return Refuse(refusal, TooLargeReason(screenWidth, screenHeight));
    }
    const long long framePixels = GifFramePixels(bytes);
    if (framePixels > std::min(PixelsAFileMayDeclare(bytes.size()), PicturePixelLimit)) {
      const long long most = std::min(PixelsAFileMayDeclare(bytes.size()), PicturePixelLimit);
      const long long length = static_cast<long long>(bytes.size());
      return Refuse(refusal, {"フレームが合わせて " + Number(framePixels) + " 画素と宣言されていますが、" +
                                  Number(length) + " バイトのファイルに入る画素数（多くとも " + Number(most) +
                                  " 画素）を超えています",
                              "its frames declare " + Number(framePixels) + " pixels in all, more than a file of " +
                                  Number(length) + " bytes can hold (at most " + Number(most) + " pixels)"});
    }
  }
  if (std::strcmp(loader, "jpeg") == 0 && !JpegHasEnd(bytes)) {
    return Refuse(refusal, {"JPEG データが画像の終わりより前で切れています",
                            "the JPEG data ends before the end of the picture"});
  }
  return ReadWithPixbuf(bytes, loader, refusal);
}

std::optional<Picture> LoadPictureFromBytes(std::span<const std::uint8_t> bytes, std::string* error) {
  PictureRefusal refusal;
  std::optional<Picture> picture = LoadPictureFromBytes(bytes, &refusal);
  if (!picture && error != nullptr) *error = UnreadablePrefix + refusal.english;
  return picture;
}

namespace {

// A plain BMP read straight from its file a band of rows at a time, so that
// a picture of many millions of pixels is never held twice.
std::optional<Picture> StreamPlainBmp(int fd, const PlainBmpLayout& layout, PictureRefusal* refusal) {
  Picture picture = EmptyPictureFor(layout);
  const std::size_t bandRows = std::max<std::size_t>(1, (std::size_t{1} << 20) / layout.rowBytes);
  std::vector<std::uint8_t> band(bandRows * layout.rowBytes);
  for (std::size_t first = 0; first < layout.rows; first += bandRows) {
    const std::size_t count = std::min(bandRows, layout.rows - first);
    const std::size_t bytes = PlainBmpPixelBytes(layout, first + count) - first * layout.rowBytes;
    if (!ReadAt(fd, band.data(), bytes, layout.offset + first * layout.rowBytes)) {
      return Refuse(refusal, {"画素の行を読む途中でファイルが終わったか、読めなくなりました",
                              "the file ended or could not be read while its pixel rows were read"});
    }
    ConvertBmpRows(band.data(), first, count, layout, picture);
  }
  return picture;
}

// Opens a picture file for reading: not blocking on a FIFO, only a regular
// file of at most PictureFileLimit bytes. -1 with the reason in `reason`.
int OpenPictureFile(const std::string& path, std::size_t& size, Why& reason) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);  // a FIFO must not block
  if (fd < 0) {
    const int number = errno;
    reason = {number == ENOENT   ? "ファイルがありません"
              : number == EACCES ? "ファイルを読む許可がありません"
                                 : std::string("ファイルを開けません（") + std::strerror(number) + "）",
              std::strerror(number)};
    return -1;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    reason = {"普通のファイルではありません", "it is not a regular file"};
  } else if (static_cast<long long>(info.st_size) > PictureFileLimit) {
    reason = {"1 GiB より大きいファイルです", "it is larger than 1 GiB"};
  } else {
    size = static_cast<std::size_t>(info.st_size);
    return fd;
  }
  ::close(fd);
  return -1;
}

// The first bytes of a file of `size` bytes, enough for any header; nothing
// when they cannot be read.
std::optional<std::vector<std::uint8_t>> ReadHead(int fd, std::size_t size) {
  std::vector<std::uint8_t> head(std::min<std::size_t>(size, 4096));
  if (!ReadAt(fd, head.data(), head.size(), 0)) return std::nullopt;
  return head;
}

// The layout of a plain BMP of `size` bytes from its first bytes; nothing
// when it is not one our own reader takes, or (with the reason in *refusal)
// when its header does not fit the file.
std::optional<PlainBmpLayout> PlainBmpLayoutOf(std::span<const std::uint8_t> head, std::size_t size,
                                               PictureRefusal* refusal) {
  const char* loader = SniffLoader(head);
  if (loader == nullptr || std::strcmp(loader, "bmp") != 0) return std::nullopt;
  const std::optional<BmpHeader> header = ParseBmpHeader(head);
  if (!header || !IsPlainBmp(*header)) return std::nullopt;
  PlainBmpLayout layout;
  if (!CheckPlainBmp(*header, head, size, layout, refusal)) return std::nullopt;
  return layout;
}

}  // namespace

std::optional<BmpRowReader> BmpRowReader::Open(const std::string& path) {
  std::size_t size = 0;
  Why reason;
  const int fd = OpenPictureFile(path, size, reason);
  if (fd < 0) return std::nullopt;
  const std::optional<std::vector<std::uint8_t>> head = ReadHead(fd, size);
  const std::optional<PlainBmpLayout> layout = head ? PlainBmpLayoutOf(*head, size, nullptr) : std::nullopt;
  if (!layout) {
    ::close(fd);
    return std::nullopt;
  }
  BmpRowReader reader;
  reader.fd_ = fd;
  reader.width_ = static_cast<int>(layout->columns);
  reader.height_ = static_cast<int>(layout->rows);
  reader.rowBytes_ = layout->rowBytes;
  reader.offset_ = layout->offset;
  reader.topDown_ = layout->topDown;
  return reader;
}

BmpRowReader::BmpRowReader(BmpRowReader&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      width_(other.width_),
      height_(other.height_),
      rowBytes_(other.rowBytes_),
      offset_(other.offset_),
      topDown_(other.topDown_) {}

BmpRowReader& BmpRowReader::operator=(BmpRowReader&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = std::exchange(other.fd_, -1);
    width_ = other.width_;
    height_ = other.height_;
    rowBytes_ = other.rowBytes_;
    offset_ = other.offset_;
    topDown_ = other.topDown_;
  }
  return *this;
}

BmpRowReader::~BmpRowReader() {
  if (fd_ >= 0) ::close(fd_);
}

bool BmpRowReader::ReadRows(int first, int count, std::uint8_t* to) const {
  if (fd_ < 0 || first < 0 || count < 0 || count > height_ - first) return false;
  const std::size_t rows = static_cast<std::size_t>(height_);
  const std::size_t pixelBytes = static_cast<std::size_t>(width_) * 3;
  if (!topDown_) {
    // Bottom-up rows lie in the file as asked for: one read. The last row's
    // padding may be missing from the file, and is not read.
    const std::size_t bytes = count == 0 ? 0 : rowBytes_ * static_cast<std::size_t>(count - 1) + pixelBytes;
    return ReadAt(fd_, to, bytes, offset_ + static_cast<std::size_t>(first) * rowBytes_);
  }
  for (int k = 0; k < count; ++k) {
    const std::size_t fileRow = rows - 1 - static_cast<std::size_t>(first + k);
    if (!ReadAt(fd_, to + static_cast<std::size_t>(k) * rowBytes_, pixelBytes, offset_ + fileRow * rowBytes_)) {
      return false;
    }
  }
  return true;
}

std::optional<Picture> LoadPicture(const std::string& path, PictureRefusal* refusal) {
  auto cannotRead = [&](const Why& why) -> std::optional<Picture> {
    if (refusal != nullptr) *refusal = PictureRefusal{true, why.japanese, why.english};
    return std::nullopt;
  };
  std::size_t size = 0;
  Why reason;
  struct Descriptor {
    int fd;
    ~Descriptor() {
      if (fd >= 0) ::close(fd);
    }
  } file{OpenPictureFile(path, size, reason)};
  if (file.fd < 0) return cannotRead(reason);

  // The header decides whether our own BMP reader can take the file as it is.
  const std::optional<std::vector<std::uint8_t>> head = ReadHead(file.fd, size);
  if (!head) return cannotRead({"ファイルを読めませんでした", "the file could not be read"});
  PictureRefusal damage;
  if (const std::optional<PlainBmpLayout> layout = PlainBmpLayoutOf(*head, size, &damage)) {
    return StreamPlainBmp(file.fd, *layout, refusal);
  }
  if (!damage.english.empty()) {  // a plain BMP, but its header does not fit the file
    if (refusal != nullptr) *refusal = damage;
    return std::nullopt;
  }

  // Everything else is decoded from the whole file in memory. The buffer is
  // left uninitialised on purpose: every byte of it is read into.
  const std::unique_ptr<std::uint8_t[]> bytes(new (std::nothrow) std::uint8_t[std::max<std::size_t>(size, 1)]);
  if (!bytes) return cannotRead({"メモリが足りません", "there is not enough memory"});
  std::copy(head->begin(), head->end(), bytes.get());
  if (!ReadAt(file.fd, bytes.get() + head->size(), size - head->size(), head->size())) {
    return cannotRead({"読む途中でファイルが終わったか、読めなくなりました",
                       "the file ended or could not be read while it was read"});
  }
  return LoadPictureFromBytes(std::span<const std::uint8_t>(bytes.get(), size), refusal);
}

std::optional<Picture> LoadPicture(const std::string& path, std::string* error) {
  PictureRefusal refusal;
  std::optional<Picture> picture = LoadPicture(path, &refusal);
  if (!picture && error != nullptr) {
    *error = refusal.fileUnread ? UnreadFilePrefix + path + "\": " + refusal.english : UnreadablePrefix + refusal.english;
  }
  return picture;
}

long long PixelsAFileMayDeclare(std::size_t fileBytes) {
  constexpr std::size_t mostBytes = static_cast<std::size_t>(std::numeric_limits<long long>::max() / PixelsPerFileByte);
  if (fileBytes >= mostBytes) return std::numeric_limits<long long>::max();
  return std::max(PixelsFreeOfFileSize, static_cast<long long>(fileBytes) * PixelsPerFileByte);
}

// [SECTION] PNG writer

bool SavePng(const std::string& path, int width, int height, const std::uint8_t* rgbTopDown, std::string* error) {
  auto fail = [&](const std::string& reason) {
    if (error != nullptr) *error = "cannot write the PNG file \"" + path + "\": " + reason;
    return false;
  };
  if (rgbTopDown == nullptr || !SizeAccepted(width, height)) return fail("the picture has no pixels or is too large");
  // GdkPixbuf only reads these bytes while it saves.
  GdkPixbuf* pixbuf = gdk_pixbuf_new_from_data(rgbTopDown, GDK_COLORSPACE_RGB, FALSE, 8, width, height, width * 3,
                                               nullptr, nullptr);
  if (pixbuf == nullptr) return fail("out of memory");
  gchar* buffer = nullptr;
  gsize size = 0;
  GError* failure = nullptr;
  const bool encoded = gdk_pixbuf_save_to_buffer(pixbuf, &buffer, &size, "png", &failure, nullptr) != FALSE;
  g_object_unref(pixbuf);
  if (!encoded) {
    std::string reason = failure != nullptr ? failure->message : "the PNG encoder failed";
    if (failure != nullptr) g_error_free(failure);
    g_free(buffer);
    return fail(reason);
  }
  const bool written =
      WriteFileAtomically(path, std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(buffer), size));
  g_free(buffer);
  if (!written) return fail("the file could not be written there");
  return true;
}

std::optional<PictureSize> PictureSizeOfFile(const std::string& path) {
  gint width = 0, height = 0;
  if (gdk_pixbuf_get_file_info(path.c_str(), &width, &height) == nullptr || width <= 0 || height <= 0) {
    return std::nullopt;
  }
  return PictureSize{width, height};
}
