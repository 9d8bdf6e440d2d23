// Fuzz target: the picture loader on any bytes, and on success the drawing
// into the canvas.
//
// BMP inputs are also read through the file path (which reads plain BMPs a
// band of rows at a time) from an in-memory file, and both answers must
// agree; so must the row reader's rows, when it takes the file. A refused
// input must come with its reason in both languages. The decoders' own warnings about broken
// input are silenced so that the fuzzer's log stays readable; they are
// expected for such input.

#include <glib.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "image/picture_in_hand.h"
#include "image/planes.h"
#include "platform/picture_loader.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

// The same bytes in a memory-backed file, named by its path while it lives.
struct MemoryFile {
  int fd = -1;
  MemoryFile(const std::uint8_t* data, std::size_t size) : fd(::memfd_create("picture", MFD_CLOEXEC)) {
    std::size_t done = 0;
    while (fd >= 0 && done < size) {
      const ssize_t n = ::write(fd, data + done, size - done);
      if (n <= 0) break;
      done += static_cast<std::size_t>(n);
    }
  }
  ~MemoryFile() {
    if (fd >= 0) ::close(fd);
  }
  std::string path() const { return "/proc/self/fd/" + std::to_string(fd); }
};

// The picture as the row reader gives it, turned into a Picture's rows.
std::optional<Picture> ReadByRows(const BmpRowReader& reader) {
  Picture picture{reader.width(), reader.height(), {}};
  std::vector<std::uint8_t> row(reader.rowBytes());
  for (int y = 0; y < reader.height(); ++y) {
    if (!reader.ReadRows(reader.height() - 1 - y, 1, row.data())) return std::nullopt;
    for (int x = 0; x < reader.width(); ++x) {
      for (int c = 2; c >= 0; --c) picture.rgb.push_back(row[static_cast<std::size_t>(3 * x + c)]);
    }
  }
  return picture;
}

// Size and pixels in one number (FNV-1a), to compare two loads.
std::uint64_t Digest(const Picture& picture) {
  std::uint64_t hash = 1469598103934665603ull ^ static_cast<std::uint64_t>(picture.width) << 32 ^
                       static_cast<std::uint64_t>(picture.height);
  for (const std::uint8_t byte : picture.rgb) hash = (hash ^ byte) * 1099511628211ull;
  return hash;
}

void IgnoreMessage(const gchar*, GLogLevelFlags, const gchar*, gpointer) {}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  for (const char* domain : {"GdkPixbuf", "GLib", "GLib-GObject"}) {
    g_log_set_handler(domain, static_cast<GLogLevelFlags>(G_LOG_LEVEL_WARNING | G_LOG_LEVEL_CRITICAL), IgnoreMessage,
                      nullptr);
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  PictureRefusal refusal;
  std::optional<Picture> picture = LoadPictureFromBytes(std::span<const std::uint8_t>(data, size), &refusal);
  std::uint64_t digest = 0;
  if (!picture) {
    Check(!refusal.english.empty() && !refusal.japanese.empty());
  } else {
    Check(picture->width >= 1 && picture->height >= 1 && picture->width <= PictureSideLimit &&
          picture->height <= PictureSideLimit);
    Check(picture->rgb.size() ==
          static_cast<std::size_t>(picture->width) * static_cast<std::size_t>(picture->height) * 3);
    static CanvasBuffer canvas;
    DrawPictureIntoCanvas(*picture, canvas.data());
    digest = Digest(*picture);
  }
  const bool loaded = picture.has_value();
  picture.reset();  // a picture near the size limit must not be held twice

  if (size >= 2 && data[0] == 'B' && data[1] == 'M') {
    const MemoryFile file(data, size);
    if (file.fd < 0) return 0;
    std::string fileError;
    std::optional<Picture> fromFile = LoadPicture(file.path(), &fileError);
    Check(fromFile.has_value() == loaded);
    if (fromFile) Check(Digest(*fromFile) == digest);
    fromFile.reset();
    if (const std::optional<BmpRowReader> reader = BmpRowReader::Open(file.path())) {
      Check(loaded);
      const std::optional<Picture> fromRows = ReadByRows(*reader);
      Check(fromRows && Digest(*fromRows) == digest);
    }
  }
  return 0;
}
