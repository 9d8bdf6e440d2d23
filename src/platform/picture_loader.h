// The picture loader: reads the picture the user opened, in place of the
// platform's bitmap loader, and writes PNG files.
//
// Plain uncompressed 24-bit BMPs (bottom-up or top-down) are read by our own
// code, which is quick enough for pictures of many millions of pixels; every
// other BMP, and PNG, JPEG, GIF, TIFF and PNM pictures, go through
// GdkPixbuf. Alpha is composed over white. The declared size of a picture is
// checked against PictureSideLimit and PicturePixelLimit before any pixel
// buffer is made, so a lying header cannot make the program allocate without
// bound. Nothing here needs a display.
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

inline constexpr int PictureSideLimit = 30000;             // pixels on either side, at most
inline constexpr long long PicturePixelLimit = 200000000;  // pixels in all, at most

// Reads the picture file at path. Nothing (and one sentence in *error) when
// the file cannot be read or is not a picture this program reads.
std::optional<Picture> LoadPicture(const std::string& path, std::string* error = nullptr);

// The same, on the bytes of a whole picture file already in memory.
std::optional<Picture> LoadPictureFromBytes(std::span<const std::uint8_t> bytes, std::string* error = nullptr);

// Writes a width x height top-down RGB picture as a PNG file, through an
// atomic write. False, with one sentence in *error, on failure.
bool SavePng(const std::string& path, int width, int height, const std::uint8_t* rgbTopDown,
             std::string* error = nullptr);
