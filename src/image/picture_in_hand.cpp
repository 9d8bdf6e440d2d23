#include "image/picture_in_hand.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "image/bmp_files.h"
#include "image/planes.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/language.h"
#include "platform/picture_loader.h"

namespace {

// The picture as it lands in the canvas (bottom-up blue, green, red, the
// covered columns of the covered rows), so that each copy a paint makes is a
// row of memcpy; and the file it came from, to see when the file changes.
struct PictureInHand {
  std::string path;
  FileStamp stamp;
  bool loaded = false;
  int width = 0, height = 0;             // the file's size
  std::vector<std::uint8_t> canvasRows;  // CanvasRows rows of 960 pixels
};
PictureInHand Held;

void Hold(const std::string& path, const FileStamp& stamp, const Picture& picture) {
  Held.path = path;
  Held.stamp = stamp;
  Held.loaded = true;
  Held.width = picture.width;
  Held.height = picture.height;
  // The copies take only the rows and columns the picture covers, so the
  // whitening that comes with the drawing is never read from here.
  Held.canvasRows.assign(CanvasByteCount, 0);
  DrawPictureIntoCanvas(picture, Held.canvasRows.data());
}

std::string LeafOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

void DrawPictureIntoCanvas(const Picture& picture, std::uint8_t* canvas) {
  const std::size_t width = static_cast<std::size_t>(std::max(picture.width, 0));
  // A picture whose pixel bytes are fewer than its size says is drawn only
  // as far as its bytes go.
  const std::size_t fullRows = width == 0 ? 0 : picture.rgb.size() / (width * 3);
  const std::size_t columns = std::min<std::size_t>(width, Stride);
  const std::size_t rows =
      std::min({static_cast<std::size_t>(std::max(picture.height, 0)), static_cast<std::size_t>(CanvasRows), fullRows});
  for (std::size_t y = 0; y < rows; ++y) {
    CopySwappingRedAndBlue(picture.rgb.data() + y * width * 3,
                           canvas + (static_cast<std::size_t>(CanvasRows) - 1 - y) * Stride * 3, columns);
  }
  WhitenOutside(canvas, picture.width, picture.height, Stride, CanvasRows);
}

bool RefreshPictureInHand() {
  if (PictureFile.path.empty()) return false;
  const std::optional<FileStamp> stamp = StampOfFile(PictureFile.path);
  if (!stamp) return Held.loaded && Held.path == PictureFile.path;  // gone from disk: keep what was read
  if (Held.loaded && Held.path == PictureFile.path && Held.stamp == *stamp) {
    return true;
  }
  if (const std::optional<Picture> picture = LoadPicture(PictureFile.path)) {
    Hold(PictureFile.path, *stamp, *picture);
  } else if (Held.loaded && Held.path == PictureFile.path) {
    // Changed into something unreadable: keep the picture last read, and do
    // not try again until the file changes once more.
    Held.stamp = *stamp;
  }
  return Held.loaded && Held.path == PictureFile.path;
}

int PictureInHandWidth() { return Held.width; }
int PictureInHandHeight() { return Held.height; }

void CopyPictureInHand(std::uint8_t* canvas) {
  if (!Held.loaded) return;
  const std::size_t columnBytes = static_cast<std::size_t>(std::min(Held.width, Stride)) * 3;
  const int rows = std::min(Held.height, CanvasRows);
  for (int row = CanvasRows - rows; row < CanvasRows; ++row) {
    const std::size_t offset = static_cast<std::size_t>(row) * Stride * 3;
    std::memcpy(canvas + offset, Held.canvasRows.data() + offset, columnBytes);
  }
}

bool TakeNewPicture(const std::string& path) {
  const std::optional<FileStamp> stamp = StampOfFile(path);
  PictureRefusal refusal;
  const std::optional<Picture> picture = LoadPicture(path, &refusal);
  if (!picture || !stamp) {
    if (picture) refusal = PictureRefusal{true, "ファイルを読めませんでした", "the file could not be read"};
    CurrentDialogs().ShowMessage(PictureRefusedMessage(path, refusal), PictureRefusedTitle.InCurrentLanguage(),
                                 MessageButtons::Ok, MessageIcon::None);
    return false;
  }
  Hold(path, *stamp, *picture);
  PictureFile.path = path;
  PictureFile.fileName = LeafOf(path);
  return true;
}

void ForgetPictureInHand() { Held = PictureInHand{}; }
