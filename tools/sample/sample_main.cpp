// vazesample-sample [--size WxH] OUTPUT.bmp
//
// Writes the sample scene (a foggy landscape with a colour cast, the same
// bytes on every run) as an uncompressed 24-bit BMP, 960 x 672 unless a size
// is given.

#include <cstdio>
#include <cstring>
#include <string>

#include "image/bmp_files.h"
#include "image/sample_scene.h"
#include "platform/files.h"
#include "platform/picture_loader.h"

namespace {

constexpr const char* Usage = "usage: vazesample-sample [--size WxH] OUTPUT.bmp\n";

// Reads "WxH" with both sides whole numbers within the picture limits.
bool ParseSize(const std::string& text, int& width, int& height) {
  const std::size_t cross = text.find('x');
  if (cross == std::string::npos || cross == 0 || cross + 1 >= text.size()) return false;
  long long sides[2] = {0, 0};
  const std::string parts[2] = {text.substr(0, cross), text.substr(cross + 1)};
  for (int k = 0; k < 2; ++k) {
    if (parts[k].size() > 6) return false;
    for (const char c : parts[k]) {
      if (c < '0' || c > '9') return false;
      sides[k] = sides[k] * 10 + (c - '0');
    }
  }
  if (sides[0] < 1 || sides[1] < 1 || sides[0] > PictureSideLimit || sides[1] > PictureSideLimit ||
      sides[0] * sides[1] > PicturePixelLimit) {
    return false;
  }
  width = static_cast<int>(sides[0]);
  height = static_cast<int>(sides[1]);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  int width = 960;
  int height = 672;
  std::string output;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--size") {
      if (i + 1 >= argc || !ParseSize(argv[i + 1], width, height)) {
        std::fprintf(stderr, "vazesample-sample: --size wants WxH, each side 1 to %d and at most %lld pixels in all\n",
                     PictureSideLimit, PicturePixelLimit);
        return 2;
      }
      ++i;
    } else if (argument == "--help" || argument == "-h") {
      std::fputs(Usage, stdout);
      return 0;
    } else if (!argument.empty() && argument[0] == '-') {
      std::fprintf(stderr, "vazesample-sample: unknown option %s\n%s", argument.c_str(), Usage);
      return 2;
    } else if (output.empty()) {
      output = argument;
    } else {
      std::fprintf(stderr, "vazesample-sample: only one output file may be given\n%s", Usage);
      return 2;
    }
  }
  if (output.empty()) {
    std::fputs(Usage, stderr);
    return 2;
  }

  if (!WriteFileAtomically(output, EncodePictureBmp(MakeSampleScene(width, height)))) {
    std::fprintf(stderr, "vazesample-sample: cannot write %s\n", output.c_str());
    return 1;
  }
  return 0;
}
