// The steps over a picture too large to hold, a band of rows at a time: each
// step is a stage that asks the stage before it for just the rows it needs
// (the Vantor Eye pass keeps the rows its window reaches), so memory stays a
// few bands of rows whatever the picture's size. A step that depends on the
// whole picture (the levels behind the balances or a "levels" pivot, the
// light core's all-dark rule) first runs the stages before it over every
// row once to find its values, then the rows go through. The bands are
// shared out over both cores, each with stages of its own.
//
// The result equals ApplyStepsAtOwnSize byte for byte, for any band size,
// with the edges either way (extended, the default for a whole picture, or
// as on the canvas).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "ops/picture_steps.h"
#include "platform/files.h"
#include "platform/picture_loader.h"

// Rows of a picture as planes, row 0 the bottom row.
class RowSource {
 public:
  virtual ~RowSource() = default;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  // Rows first .. first + count - 1 into `to` (its row 0 is row `first`, its
  // stride at least Width()). False when the rows could not be had. A source
  // given to StreamSteps is asked from several threads at once.
  virtual bool Rows(int first, int count, const PlaneView& to) = 0;
};

// The rows of a picture in memory (top-down RGB).
std::unique_ptr<RowSource> PictureRows(const Picture& picture);
// The rows of a plain 24-bit BMP where it lies in its file.
std::unique_ptr<RowSource> BmpFileRows(BmpRowReader reader);
// Rows held as a BMP holds them (bottom-up, blue, green, red, BmpRowBytes a
// row), as the canvas is: they must outlive the source.
std::unique_ptr<RowSource> BmpRowsInMemory(const std::uint8_t* rows, int width, int height);

// The steps over every row of `source`, band by band from the bottom row up,
// the bands shared out over `threads` threads: each band (bandRows rows at
// most) goes to `sink` as planes, its row 0 the band's first row, one band at
// a time and in order. False when a row could not be read or the sink said no.
using RowSink = std::function<bool(int first, int count, const PlaneView& band)>;
bool StreamSteps(const std::vector<PictureStep>& steps, RowSource& source, const RowSink& sink, int bandRows = 64,
                 int threads = 2, Edges edges = Edges::Extend);

// The same with the bands as BMP rows (BmpRowBytes(width) bytes a row, blue,
// green, red, the low byte of each sample), made on the threads that work
// them: `sink` gets rows first .. first + count - 1.
using BmpRowSink = std::function<bool(int first, int count, const std::uint8_t* rows)>;
bool StreamStepsAsBmpRows(const std::vector<PictureStep>& steps, RowSource& source, const BmpRowSink& sink,
                          int bandRows = 64, int threads = 2, Edges edges = Edges::Extend);

// The steps over the picture file `input`, written as a BMP in the program's
// layout to `output` through a temporary file: a picture that fits on the
// canvas is worked in memory (ApplySteps: on the canvas with the edges as
// there, at its own size otherwise), a larger one band by band, a plain
// BMP read where it lies in its file. `progress`, when given, hears the part
// done (0..1) after each band and may answer false to stop: then, as on any
// failure, nothing is written.
using StepProgress = std::function<bool(double done)>;
struct StepsWritten {
  enum class Outcome { Written, Unreadable, Unwritable, Stopped };
  Outcome outcome = Outcome::Written;
  std::string japanese, english;  // what went wrong, one clause in each language
  bool ok() const { return outcome == Outcome::Written; }
  const std::string& Text(bool inEnglish) const { return inEnglish ? english : japanese; }
};
// `durability` as the atomic writer takes it: OnDisk (the program's saves)
// waits until the bytes are on the disk before the rename; a batch run may
// take Ordinary, as vazesample-eye does, which is still whole or nothing.
StepsWritten WritePictureWithSteps(const std::string& input, const std::string& output,
                                   const std::vector<PictureStep>& steps, int threads,
                                   const StepProgress& progress = nullptr, Durability durability = Durability::OnDisk,
                                   Edges edges = Edges::Extend);
