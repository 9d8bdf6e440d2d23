// Fuzz target: the keep-file reader's layout check and copy, into both
// targets (canvas bytes and WorkPlanes).
//
// A keep file that passes the check is 1,935,414 bytes, far more than a
// fuzzer likes to make, so besides the input as it is, the target also tries
// the input as the start of a file whose length (chosen by the first two
// input bytes) lies near the keep size, the rest zeros. That way short
// inputs reach the success path and the length and offset limits.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "image/bmp_files.h"
#include "image/planes.h"

namespace {

void Decode(std::span<const std::uint8_t> file) {
  static CanvasBuffer canvas;
  DecodeKeepBytes(file, canvas.data(), PixelTarget::IntoCanvas);
  DecodeKeepBytes(file, canvas.data(), PixelTarget::IntoPlanes);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Decode(std::span<const std::uint8_t>(data, size));
  if (size >= 2) {
    const std::size_t length = KeepFileBytes - 256 + ((data[0] | (data[1] << 8)) % 512);
    std::vector<std::uint8_t> file(length, 0);
    std::memcpy(file.data(), data + 2, std::min(size - 2, length));
    Decode(file);
  }
  return 0;
}
