#include "image/work_files.h"

#include <array>
#include <memory>

#include "image/bmp_files.h"
#include "image/packed_samples.h"

#include <cstring>

#include "image/bmp_files.h"

bool WorkFileReader::Load() {
  const char* name = AppearFileNames[static_cast<std::size_t>(file_)];
  const std::optional<FileStamp> stamp = StampOfFile(name);
  if (stamp && valid_ && stamp == stamp_) {
    SetShownArea(Stride, CanvasRows);
    return true;
  }
  stamp_ = stamp;
  pixels_.resize(static_cast<std::size_t>(CanvasByteCount));
  valid_ = ReadAppearFile(pixels_.data(), file_, PixelTarget::IntoCanvas);
  return valid_;
}

void WorkFileWriter::WriteIfChanged(const PlaneView& planes, bool planesMayHaveChanged) {
  const char* name = AppearFileNames[static_cast<std::size_t>(file_)];
  const std::size_t count = static_cast<std::size_t>(Stride) * CanvasRows;
  const std::optional<FileStamp> stamp = StampOfFile(name);
  bool same = stamp && stamp == stamp_ && pixels_.size() == 3 * count;
  if (same && !planesMayHaveChanged) return;
  for (std::size_t i = 0; same && i < count; ++i) {
    const std::uint8_t* p = pixels_.data() + 3 * i;
    same = p[0] == static_cast<std::uint8_t>(planes.plane[0][i]) &&
           p[1] == static_cast<std::uint8_t>(planes.plane[1][i]) &&
           p[2] == static_cast<std::uint8_t>(planes.plane[2][i]);
  }
  if (same) return;
  pixels_.resize(3 * count);
  for (std::size_t i = 0; i < count; ++i) {
    for (std::size_t k = 0; k < 3; ++k) pixels_[3 * i + k] = static_cast<std::uint8_t>(planes.plane[k][i]);
  }
  const std::vector<std::uint8_t> file =
      EncodeBmp(Stride, CanvasRows, static_cast<std::uint16_t>(ViewScale & 0xFFFF), [&](int row, std::uint8_t* out) {
        std::memcpy(out, pixels_.data() + static_cast<std::size_t>(row) * Stride * 3, Stride * 3);
      });
  if (!WriteFileAtomically(name, file)) {
    stamp_.reset();  // try again at the next call, without a second message
    if (!failed_) ShowWriteFailure(name);
    failed_ = true;
    return;
  }
  failed_ = false;
  stamp_ = StampOfFile(name);
}

namespace {

struct WorkFileCopy {
  std::optional<FileStamp> stamp;
  std::shared_ptr<const PackedSamples> bytes;  // null when the file was not there
  std::size_t size = 0;
};
using WorkFileCopies = std::array<WorkFileCopy, AppearFileNames.size()>;

// The copies last taken, so that a file whose stamp has not moved is not
// read again.
WorkFileCopies LastTaken;

constexpr std::size_t WorkFileLimit = std::size_t{8} << 20;

}  // namespace

std::shared_ptr<const void> TakeWorkFiles() {
  for (std::size_t k = 0; k < AppearFileNames.size(); ++k) {
    WorkFileCopy& copy = LastTaken[k];
    const std::optional<FileStamp> stamp = StampOfFile(AppearFileNames[k]);
    if (stamp == copy.stamp && (copy.bytes || !stamp)) continue;
    copy = WorkFileCopy{stamp, nullptr, 0};
    if (!stamp) continue;
    if (const auto bytes = ReadWholeFile(AppearFileNames[k], WorkFileLimit)) {
      copy.size = bytes->size();
      copy.bytes = std::make_shared<const PackedSamples>(PackBytes(*bytes, static_cast<int>(bytes->size()), 1));
    }
  }
  return std::make_shared<const WorkFileCopies>(LastTaken);
}

void PutWorkFiles(const void* copy) {
  const auto& files = *static_cast<const WorkFileCopies*>(copy);
  for (std::size_t k = 0; k < files.size(); ++k) {
    const WorkFileCopy& file = files[k];
    if (StampOfFile(AppearFileNames[k]) == file.stamp) continue;
    if (!file.stamp) {
      DeleteFileQuietly(AppearFileNames[k]);
    } else if (file.bytes) {
      std::vector<std::uint8_t> bytes(file.size);
      if (UnpackBytes(*file.bytes, bytes)) WriteFileAtomically(AppearFileNames[k], bytes);
    }
    LastTaken[k] = WorkFileCopy{StampOfFile(AppearFileNames[k]), file.bytes, file.size};
  }
}
