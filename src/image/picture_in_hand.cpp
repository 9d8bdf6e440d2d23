#include "image/picture_in_hand.h"

#include <algorithm>
#include <array>
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

// The picture whole, and its window as it lands in the canvas (bottom-up
// blue, green, red, the covered columns of the covered rows), so that each
// copy a paint makes is a row of memcpy; and the file it came from, to see
// when the file changes. Copies share the rows and the pixels.
struct PictureInHand {
  std::string path;
  FileStamp stamp;
  bool loaded = false;
  int width = 0, height = 0;  // the file's size
  int left = 0, top = 0;      // the window's corner
  std::shared_ptr<const std::vector<std::uint8_t>> canvasRows;  // CanvasRows rows of 960 pixels
  std::shared_ptr<const Picture> whole;
};
PictureInHand Held;

// The window's rows of the whole picture, with the corner kept inside it.
void DrawWindow() {
  Held.left = std::clamp(Held.left, 0, std::max(Held.width - Stride, 0));
  Held.top = std::clamp(Held.top, 0, std::max(Held.height - CanvasRows, 0));
  // The copies take only the rows and columns the picture covers, so the
  // whitening that comes with the drawing is never read from here.
  auto rows = std::make_shared<std::vector<std::uint8_t>>(CanvasByteCount, 0);
  DrawPictureWindowIntoCanvas(*Held.whole, Held.left, Held.top, rows->data());
  Held.canvasRows = std::move(rows);
}

void Hold(const std::string& path, const FileStamp& stamp, Picture picture) {
  Held.path = path;
  Held.stamp = stamp;
  Held.loaded = true;
  Held.width = picture.width;
  Held.height = picture.height;
  Held.left = Held.top = 0;
  Held.whole = std::make_shared<const Picture>(std::move(picture));
  DrawWindow();
}

std::string LeafOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The history's copy leaves the pixels out; put back, it keeps those in hand
// when they are the same picture's.
std::shared_ptr<const void> TakeHeld() {
  auto copy = std::make_shared<PictureInHand>(Held);
  copy->whole.reset();
  return copy;
}
void PutHeld(const void* copy) {
  const auto& kept = *static_cast<const PictureInHand*>(copy);
  std::shared_ptr<const Picture> whole = kept.path == Held.path && kept.stamp == Held.stamp ? Held.whole : nullptr;
  Held = kept;
  Held.whole = std::move(whole);
}
constexpr std::array<StateBlock, 1> HeldStates{StateBlock{TakeHeld, PutHeld, sizeof(PictureInHand)}};

}  // namespace

void DrawPictureIntoCanvas(const Picture& picture, std::uint8_t* canvas) {
  DrawPictureWindowIntoCanvas(picture, 0, 0, canvas);
}

void DrawPictureWindowIntoCanvas(const Picture& picture, int left, int top, std::uint8_t* canvas) {
  const std::size_t width = static_cast<std::size_t>(std::max(picture.width, 0));
  const std::size_t height = static_cast<std::size_t>(std::max(picture.height, 0));
  const std::size_t x0 = std::min<std::size_t>(static_cast<std::size_t>(std::max(left, 0)), width);
  const std::size_t y0 = std::min<std::size_t>(static_cast<std::size_t>(std::max(top, 0)), height);
  // A picture whose pixel bytes are fewer than its size says is drawn only
  // as far as its bytes go.
  const std::size_t fullRows = width == 0 ? 0 : picture.rgb.size() / (width * 3);
  const std::size_t columns = std::min<std::size_t>(width - x0, Stride);
  const std::size_t rows = std::min({height - y0, static_cast<std::size_t>(CanvasRows), fullRows > y0 ? fullRows - y0 : 0});
  for (std::size_t y = 0; y < rows; ++y) {
    CopySwappingRedAndBlue(picture.rgb.data() + ((y0 + y) * width + x0) * 3,
                           canvas + (static_cast<std::size_t>(CanvasRows) - 1 - y) * Stride * 3, columns);
  }
  WhitenOutside(canvas, static_cast<int>(width - x0), static_cast<int>(height - y0), Stride, CanvasRows);
}

bool RefreshPictureInHand() {
  if (PictureFile.path.empty()) return false;
  const std::optional<FileStamp> stamp = StampOfFile(PictureFile.path);
  if (!stamp) return Held.loaded && Held.path == PictureFile.path;  // gone from disk: keep what was read
  if (Held.loaded && Held.path == PictureFile.path && Held.stamp == *stamp) {
    return true;
  }
  if (std::optional<Picture> picture = LoadPicture(PictureFile.path)) {
    Hold(PictureFile.path, *stamp, std::move(*picture));
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
  if (!Held.loaded || !Held.canvasRows) return;
  const std::size_t columnBytes = static_cast<std::size_t>(std::min(Held.width, Stride)) * 3;
  const int rows = std::min(Held.height, CanvasRows);
  for (int row = CanvasRows - rows; row < CanvasRows; ++row) {
    const std::size_t offset = static_cast<std::size_t>(row) * Stride * 3;
    std::memcpy(canvas + offset, Held.canvasRows->data() + offset, columnBytes);
  }
}

PictureWindow WindowOfPictureInHand() {
  if (!Held.loaded) return {};
  return PictureWindow{Held.left, Held.top, std::min(Held.width, Stride), std::min(Held.height, CanvasRows)};
}

bool MovePictureWindow(int left, int top) {
  if (!Held.loaded) return false;
  left = std::clamp(left, 0, std::max(Held.width - Stride, 0));
  top = std::clamp(top, 0, std::max(Held.height - CanvasRows, 0));
  if (left == Held.left && top == Held.top) return false;
  if (!WholePictureInHand()) return false;
  Held.left = left;
  Held.top = top;
  DrawWindow();
  return true;
}

std::shared_ptr<const Picture> WholePictureInHand() {
  if (!Held.loaded) return nullptr;
  if (!Held.whole) {
    // Brought back by the history: the same file, read again while it is
    // still what was read then.
    const std::optional<FileStamp> stamp = StampOfFile(Held.path);
    if (!stamp || !(*stamp == Held.stamp)) return nullptr;
    std::optional<Picture> picture = LoadPicture(Held.path);
    if (!picture || picture->width != Held.width || picture->height != Held.height) return nullptr;
    Held.whole = std::make_shared<const Picture>(std::move(*picture));
  }
  return Held.whole;
}

std::span<const StateBlock> PictureInHandStates() { return HeldStates; }

bool TakeNewPicture(const std::string& path) {
  const std::optional<FileStamp> stamp = StampOfFile(path);
  PictureRefusal refusal;
  std::optional<Picture> picture = LoadPicture(path, &refusal);
  if (!picture || !stamp) {
    if (picture) refusal = PictureRefusal{true, "ファイルを読めませんでした", "the file could not be read"};
    CurrentDialogs().ShowMessage(PictureRefusedMessage(path, refusal), PictureRefusedTitle.InCurrentLanguage(),
                                 MessageButtons::Ok, MessageIcon::None);
    return false;
  }
  Hold(path, *stamp, std::move(*picture));
  PictureFile.path = path;
  PictureFile.fileName = LeafOf(path);
  return true;
}

void ForgetPictureInHand() { Held = PictureInHand{}; }
