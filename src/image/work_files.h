// The work files of the APPEAR page (AppearFileNames): the Transfer page
// writes "0000trfr.bmp" from its picture, APPEAR reads the work files at
// every paint. Each is read or written only when it changed, as its file
// stamp and the pixels last written tell.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "image/planes.h"
#include "image/state_block.h"
#include "platform/files.h"

// A work file as last read.
class WorkFileReader {
 public:
  explicit WorkFileReader(int file) : file_(file) {}

  // True with the file's pixels (960 x 672, bottom-up blue, green, red) in
  // Pixels(); false when it is missing or not a work file (the reader's
  // message shown once, Pixels() unchanged). A file whose stamp has not
  // changed since the last good read is not read again. A good read sets the
  // shown area to the whole canvas, as the reader does.
  bool Load();
  const std::vector<std::uint8_t>& Pixels() const { return pixels_; }

 private:
  int file_ = 0;
  bool valid_ = false;
  std::optional<FileStamp> stamp_;
  std::vector<std::uint8_t> pixels_;
};

// A work file as last written.
class WorkFileWriter {
 public:
  explicit WorkFileWriter(int file) : file_(file) {}

  // Writes the file from the low bytes of the planes (Stride x CanvasRows)
  // unless it still holds what was last written and the planes hold it too.
  // The pixels are compared only when planesMayHaveChanged or the file's
  // stamp moved. A failed write leaves the file as it was, shows its message
  // once, and is tried again at the next call.
  void WriteIfChanged(const PlaneView& planes, bool planesMayHaveChanged);

 private:
  int file_ = 0;
  std::vector<std::uint8_t> pixels_;  // bottom-up blue, green, red
  std::optional<FileStamp> stamp_;
  bool failed_ = false;
};

// The work files as the history of changes keeps them: their bytes, taken
// again only when a file's stamp moved; put back, a file that has changed
// since is written again as it was (and one that was not there is removed),
// so that APPEAR shows and composes what it did.
std::shared_ptr<const void> TakeWorkFiles();
void PutWorkFiles(const void* copy);
