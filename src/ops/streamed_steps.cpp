// The banded runner: rows of a picture through the stages of its steps, a
// band at a time, shared out over the cores.
//
// [SECTION] Sources
// [SECTION] Stages
// [SECTION] Rows kept in a scratch file
// [SECTION] Bands on every core
// [SECTION] Values of the whole picture
// [SECTION] Sources, runs and the picture written

#include "ops/streamed_steps.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

#include "image/bmp_files.h"
#include "platform/files.h"

namespace {

// Planes for `rows` rows of `width` samples.
struct BandPlanes {
  int width = 0, rows = 0;
  std::array<std::vector<std::uint32_t>, 3> plane;
  BandPlanes(int w, int r) : width(w), rows(r) {
    for (auto& p : plane) p.resize(static_cast<std::size_t>(std::max(w, 1)) * std::max(r, 1));
  }
  // Room for at least `count` rows, the rows held kept.
  void Fit(int count) {
    if (count <= rows) return;
    rows = count;
    for (auto& p : plane) p.resize(static_cast<std::size_t>(std::max(width, 1)) * rows);
  }
  // A view of rows from `first` (of these planes) on, `count` of them.
  PlaneView View(int first = 0, int count = -1) {
    PlaneView view;
    for (std::size_t k = 0; k < 3; ++k) view.plane[k] = plane[k].data() + static_cast<std::size_t>(first) * width;
    view.stride = width;
    view.rows = count < 0 ? rows - first : count;
    return view;
  }
};

// [SECTION] Sources

class PictureSource : public RowSource {
 public:
  explicit PictureSource(const Picture& picture) : picture_(picture) {}
  int Width() const override { return picture_.width; }
  int Height() const override { return picture_.height; }
  bool Rows(int first, int count, const PlaneView& to) override {
    const std::size_t rowBytes = static_cast<std::size_t>(picture_.width) * 3;
    for (int r = 0; r < count; ++r) {
      const std::size_t y = static_cast<std::size_t>(picture_.height - 1 - (first + r));
      if ((y + 1) * rowBytes > picture_.rgb.size()) return false;
      // Red, green, blue: the planes in the other order.
      PlaneView row = to;
      for (std::size_t k = 0; k < 3; ++k) row.plane[k] = to.plane[2 - k] + static_cast<std::size_t>(r) * to.stride;
      PlanesFromRows(picture_.rgb.data() + y * rowBytes, rowBytes, picture_.width, 1, row);
    }
    return true;
  }

 private:
  const Picture& picture_;
};

class BmpSource : public RowSource {
 public:
  explicit BmpSource(BmpRowReader reader) : reader_(std::move(reader)) {}
  int Width() const override { return reader_.width(); }
  int Height() const override { return reader_.height(); }
  bool Rows(int first, int count, const PlaneView& to) override {
    // One buffer a thread: the reader may be asked from several at once.
    thread_local std::vector<std::uint8_t> bytes;
    bytes.resize(reader_.rowBytes() * static_cast<std::size_t>(count));
    if (!reader_.ReadRows(first, count, bytes.data())) return false;
    PlanesFromRows(bytes.data(), reader_.rowBytes(), reader_.width(), count, to);
    return true;
  }

 private:
  BmpRowReader reader_;
};

class BmpMemorySource : public RowSource {
 public:
  BmpMemorySource(const std::uint8_t* rows, int width, int height) : rows_(rows), width_(width), height_(height) {}
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  bool Rows(int first, int count, const PlaneView& to) override {
    const std::size_t rowBytes = static_cast<std::size_t>(BmpRowBytes(width_));
    PlanesFromRows(rows_ + static_cast<std::size_t>(first) * rowBytes, rowBytes, width_, count, to);
    return true;
  }

 private:
  const std::uint8_t* rows_;
  int width_, height_;
};

// [SECTION] Stages

// The stages of every step, in order.
std::vector<Stage> StagesOfSteps(const std::vector<PictureStep>& steps) {
  std::vector<Stage> stages;
  for (const PictureStep& step : steps) {
    std::vector<Stage> more = StagesOf(step);
    stages.insert(stages.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
  }
  return stages;
}

// Where the stages of a banded run work: the whole picture, one thread a band.
StageFrame FrameOf(const RowSource& source, Edges edges) {
  return StageFrame{source.Width(), source.Height(), CanvasArea{0, 0, source.Width(), source.Height()}, edges, 1};
}

// A stage that works each pixel by itself: the rows asked for, in place.
class PixelsStage : public RowSource {
 public:
  PixelsStage(RowSource& source, const Stage& stage, const WholeValues& values, const StageFrame& frame)
      : source_(source), stage_(stage), values_(values), frame_(frame) {}
  int Width() const override { return source_.Width(); }
  int Height() const override { return source_.Height(); }
  bool Rows(int first, int count, const PlaneView& to) override {
    if (!source_.Rows(first, count, to)) return false;
    PlaneView band = to;
    band.rows = count;
    stage_.pixels(band, count, frame_, values_);
    return true;
  }

 private:
  RowSource& source_;
  const Stage& stage_;
  const WholeValues& values_;
  StageFrame frame_;
};

// The rows of a source a neighbourhood stage's window reaches, kept from
// band to band: asked for rows first .. end - 1, it keeps what it holds of
// them, drops the rows below and reads the rest. Bands come from the bottom
// up; any other jump starts afresh. A stage after the one holding it may ask
// for more rows than a band (its own window's worth more): the rows kept
// grow to hold them.
//
// As on the canvas (`pad` 0), the rows asked for are cut to the picture. With
// the edges extended, every row asked for is held, a row beyond the picture
// a copy of its nearest edge row, and each row has `pad` samples beyond both
// ends, copies of its end samples: View()'s column -pad lies in memory.
class RowWindow {
 public:
  RowWindow(int width, int rows, int pad = 0, bool extend = false)
      : width_(width), pad_(pad), extend_(extend), rows_(width + 2 * pad, rows) {}
  bool Hold(RowSource& source, int first, int end) {
    const int height = source.Height();
    if (!extend_) {
      first = std::max(0, first);
      end = std::min(height, end);
    }
    if (first < first_ || first > first_ + count_) {
      first_ = first;
      count_ = 0;
    } else if (first > first_) {
      const int drop = first - first_;
      for (auto& plane : rows_.plane) {
        std::memmove(plane.data(), plane.data() + static_cast<std::size_t>(drop) * rows_.width,
                     static_cast<std::size_t>(count_ - drop) * rows_.width * sizeof(std::uint32_t));
      }
      first_ = first;
      count_ -= drop;
    }
    rows_.Fit(end - first_);
    const int have = first_ + count_;
    if (end <= have) return true;
    // The picture's own rows, read where they go; then the rows beyond it.
    const int from = std::max(have, 0), to = std::min(end, height);
    if (from < to) {
      const PlaneView rows = Rows(from - first_, to - from);
      if (!source.Rows(from, to - from, rows)) return false;
      ExtendRowEnds(rows, width_, to - from, pad_);
    }
    for (int row = have; row < end; ++row) {
      if (row >= 0 && row < height) continue;
      const int edge = std::clamp(row, 0, height - 1) - first_;
      for (auto& plane : rows_.plane) {
        std::copy_n(plane.data() + static_cast<std::size_t>(edge) * rows_.width, rows_.width,
                    plane.data() + static_cast<std::size_t>(row - first_) * rows_.width);
      }
    }
    count_ = end - first_;
    return true;
  }
  int First() const { return first_; }
  int Count() const { return count_; }
  // The rows held from column 0 of the picture (the pad lies before it).
  PlaneView View() { return Rows(0, count_); }
  // The rows held from the first sample of the pad.
  PlaneView Padded() { return rows_.View(0, count_); }

 private:
  PlaneView Rows(int first, int count) {
    PlaneView view = rows_.View(first, count);
    for (auto& plane : view.plane) plane += pad_;
    return view;
  }

  int width_, pad_;
  bool extend_;
  BandPlanes rows_;
  int first_ = 0, count_ = 0;
};

// A stage that reads a neighbourhood: keeps the rows of its input that its
// reach of the rows asked for takes in, and works the rows from them.
class WindowStage : public RowSource {
 public:
  WindowStage(RowSource& source, const Stage& stage, const WholeValues& values, const StageFrame& frame, int bandRows)
      : source_(source), stage_(stage), values_(values), frame_(frame),
        rows_(source.Width(), bandRows + 2 * stage.reach + 2, stage.Pad(frame.edges), frame.edges == Edges::Extend) {}
  int Width() const override { return source_.Width(); }
  int Height() const override { return source_.Height(); }
  bool Rows(int first, int count, const PlaneView& to) override {
    if (!rows_.Hold(source_, first - stage_.reach, first + count + stage_.reach)) return false;
    PlaneView band = to;
    band.rows = count;
    stage_.window(rows_.View(), rows_.First(), rows_.Count(), band, first, count, frame_, values_);
    return true;
  }

 private:
  RowSource& source_;
  const Stage& stage_;
  const WholeValues& values_;
  StageFrame frame_;
  RowWindow rows_;
};

// A stage that works one stretch of rows: those rows are worked once, when
// a band first meets them, and each band takes its rows of the result.
class RegionStage : public RowSource {
 public:
  RegionStage(RowSource& source, const Stage& stage, const StageFrame& frame)
      : source_(source), stage_(stage), frame_(frame), span_(ClippedSpan(stage.region(frame), source.Height())),
        rows_(source.Width(), std::max(span_.end - span_.first, 1)) {}
  int Width() const override { return source_.Width(); }
  int Height() const override { return source_.Height(); }
  bool Rows(int first, int count, const PlaneView& to) override {
    if (!source_.Rows(first, count, to)) return false;
    const int from = std::max(first, span_.first), end = std::min(first + count, span_.end);
    if (from >= end) return true;
    if (!worked_) {
      const int rows = span_.end - span_.first;
      if (!source_.Rows(span_.first, rows, rows_.View(0, rows))) return false;
      stage_.regionWork(rows_.View(0, rows), span_, frame_);
      worked_ = true;
    }
    for (std::size_t k = 0; k < 3; ++k) {
      for (int row = from; row < end; ++row) {
        std::copy_n(rows_.plane[k].data() + static_cast<std::size_t>(row - span_.first) * Width(), Width(),
                    to.plane[k] + static_cast<std::size_t>(row - first) * to.stride);
      }
    }
    return true;
  }

 private:
  static RowSpan ClippedSpan(RowSpan span, int height) {
    const int first = std::clamp(span.first, 0, height);
    return RowSpan{first, std::clamp(span.end, first, height)};
  }

  RowSource& source_;
  const Stage& stage_;
  StageFrame frame_;
  RowSpan span_;
  BandPlanes rows_;
  bool worked_ = false;
};

// Stages from .. to - 1 over a source, for one worker: each worker has its
// own, since the neighbourhood stages keep rows.
class Chain {
 public:
  Chain(const std::vector<Stage>& stages, const std::vector<WholeValues>& values, std::size_t from, std::size_t to,
        RowSource& source, int bandRows, Edges edges) {
    RowSource* last = &source;
    const StageFrame frame = FrameOf(source, edges);
    for (std::size_t i = from; i < to; ++i) {
      const Stage& stage = stages[i];
      switch (stage.reads) {
        case Stage::Reads::Pixels: stages_.push_back(std::make_unique<PixelsStage>(*last, stage, values[i], frame)); break;
        case Stage::Reads::Window:
          stages_.push_back(std::make_unique<WindowStage>(*last, stage, values[i], frame, bandRows));
          break;
        case Stage::Reads::Region: stages_.push_back(std::make_unique<RegionStage>(*last, stage, frame)); break;
      }
      last = stages_.back().get();
    }
    last_ = last;
  }
  RowSource& Last() { return *last_; }

 private:
  std::vector<std::unique_ptr<RowSource>> stages_;
  RowSource* last_ = nullptr;
};

// [SECTION] Rows kept in a scratch file

// The rows as the stages before some stage left them, kept in a scratch
// file a band at a time (in any order), so that the stages after it need
// not work them again. A band whose samples all lie in 0..255 takes a byte
// a sample, any other band four.
class SpillRows : public RowSource {
 public:
  SpillRows(ScratchFile file, int width, int height, int bandRows)
      : file_(std::move(file)), width_(width), height_(height), bandRows_(bandRows),
        bands_(static_cast<std::size_t>((height + bandRows - 1) / bandRows)) {}
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  // The band of rows from `first` (a multiple of the band size); false when
  // it could not be written. Each band from one thread, before any is read.
  bool Put(int first, int count, const PlaneView& band) {
    bool wide = false;
    for (std::size_t k = 0; k < 3 && !wide; ++k) {
      for (int row = 0; row < count && !wide; ++row) {
        const std::uint32_t* p = band.plane[k] + static_cast<std::size_t>(row) * band.stride;
        wide = std::any_of(p, p + Columns(), [](std::uint32_t v) { return v > 255; });
      }
    }
    thread_local std::vector<std::uint8_t> bytes;
    const std::size_t rowBytes = RowBytes(wide);
    bytes.resize(rowBytes * static_cast<std::size_t>(count));
    for (int row = 0; row < count; ++row) {
      std::uint8_t* out = bytes.data() + rowBytes * static_cast<std::size_t>(row);
      for (std::size_t k = 0; k < 3; ++k) {
        const std::uint32_t* p = band.plane[k] + static_cast<std::size_t>(row) * band.stride;
        if (wide) {
          std::memcpy(out + k * Columns() * sizeof(std::uint32_t), p, Columns() * sizeof(std::uint32_t));
        } else {
          std::copy_n(p, Columns(), out + k * Columns());  // each sample to its byte
        }
      }
    }
    const std::optional<std::uint64_t> at = file_.Put(bytes);
    if (!at) return false;
    bands_[static_cast<std::size_t>(first / bandRows_)] = Kept{*at, wide};
    return true;
  }
  bool Rows(int first, int count, const PlaneView& to) override {
    thread_local std::vector<std::uint8_t> bytes;
    for (int row = first; row < first + count;) {
      const int band = row / bandRows_;
      const int end = std::min({first + count, (band + 1) * bandRows_, height_});
      const Kept& kept = bands_[static_cast<std::size_t>(band)];
      const std::size_t rowBytes = RowBytes(kept.wide);
      bytes.resize(rowBytes * static_cast<std::size_t>(end - row));
      if (!file_.Get(kept.offset + rowBytes * static_cast<std::size_t>(row - band * bandRows_), bytes.size(),
                     bytes.data())) {
        return false;
      }
      for (int r = row; r < end; ++r) {
        const std::uint8_t* in = bytes.data() + rowBytes * static_cast<std::size_t>(r - row);
        for (std::size_t k = 0; k < 3; ++k) {
          std::uint32_t* p = to.plane[k] + static_cast<std::size_t>(r - first) * to.stride;
          if (kept.wide) {
            std::memcpy(p, in + k * Columns() * sizeof(std::uint32_t), Columns() * sizeof(std::uint32_t));
          } else {
            std::copy_n(in + k * Columns(), Columns(), p);
          }
        }
      }
      row = end;
    }
    return true;
  }

 private:
  struct Kept {
    std::uint64_t offset = 0;
    bool wide = false;
  };
  std::size_t RowBytes(bool wide) const { return 3 * Columns() * (wide ? 4 : 1); }

  std::size_t Columns() const { return static_cast<std::size_t>(width_); }

  ScratchFile file_;
  int width_, height_, bandRows_;
  std::vector<Kept> bands_;
};

// [SECTION] Bands on every core

// Every band of bandRows rows, from the bottom up, through a chain of its
// own on each of `workers` threads. `done(worker, slot, first, count, band)`
// runs on the worker's thread as soon as its band is computed; with
// `handOn`, that band then waits in its slot until each band below it has
// been handed on, one at a time and in order, on the calling thread.
// Only the bands in the slots are ever kept. False, with the other workers
// stopped, as soon as a band could not be read or a callback said no.
struct BandRun {
  int width = 0, height = 0, bandRows = 64, workers = 1;
  std::function<std::unique_ptr<Chain>()> makeChain;
  std::function<bool(int worker, int slot, int first, int count, const PlaneView& band)> done;
  std::function<bool(int slot, int first, int count)> handOn;  // none: the bands' order does not matter
  int Slots() const { return handOn ? 2 * workers + 1 : 0; }
};

bool RunBands(const BandRun& run) {
  const int bandCount = (run.height + run.bandRows - 1) / run.bandRows;
  const int slots = run.Slots();
  std::vector<int> slotBand(static_cast<std::size_t>(slots), -1);
  std::vector<char> slotReady(static_cast<std::size_t>(slots), 0);
  std::mutex lock;
  std::condition_variable moved;
  int nextBand = 0;  // the next band to take
  int turn = 0;      // the next band to hand on
  bool failed = false;

  // Hands on the bands that are ready, in order; with the lock held.
  auto handOnReady = [&] {
    while (!failed && turn < bandCount) {
      const std::size_t slot = static_cast<std::size_t>(turn % slots);
      if (slotBand[slot] != turn || !slotReady[slot]) return;
      const int first = turn * run.bandRows;
      if (!run.handOn(static_cast<int>(slot), first, std::min(run.bandRows, run.height - first))) failed = true;
      slotBand[slot] = -1;
      slotReady[slot] = 0;
      ++turn;
    }
  };
  // The calling thread alone hands the bands on (a sink may show a
  // window), between its own bands and, when it has none left, to the end.
  auto workOn = [&](int worker) {
    const bool handsOn = worker == 0 && slots > 0;
    const std::unique_ptr<Chain> chain = run.makeChain();
    BandPlanes band(run.width, run.bandRows);
    std::unique_lock held(lock);
    for (;;) {
      if (nextBand >= bandCount || failed) break;
      const int i = nextBand++;
      const int slot = slots > 0 ? i % slots : 0;
      if (slots > 0) {
        // Band i's slot is free once band i - slots is handed on; waiting for
        // that, not for the slot, keeps a later band from taking it first.
        for (;;) {
          if (handsOn) {
            handOnReady();
            moved.notify_all();
          }
          if (turn + slots > i || failed) break;
          moved.wait(held);
        }
        if (failed) break;
        slotBand[static_cast<std::size_t>(slot)] = i;
      }
      held.unlock();

      const int first = i * run.bandRows;
      const int count = std::min(run.bandRows, run.height - first);
      const PlaneView view = band.View(0, count);
      const bool ok = chain->Last().Rows(first, count, view) && run.done(worker, slot, first, count, view);

      held.lock();
      if (!ok) failed = true;
      if (slots > 0 && ok) slotReady[static_cast<std::size_t>(slot)] = 1;
      if (handsOn) handOnReady();
      moved.notify_all();
    }
    while (handsOn) {
      handOnReady();
      moved.notify_all();
      if (failed || turn >= bandCount) break;
      moved.wait(held);
    }
  };
  auto work = [&](int worker) {
    try {
      workOn(worker);
    } catch (const std::bad_alloc&) {
      const std::lock_guard held(lock);
      failed = true;
      moved.notify_all();
    }
  };
  const int workers = std::clamp(std::min(run.workers, bandCount), 1, 16);
  std::vector<std::thread> helpers;
  for (int k = 1; k < workers; ++k) helpers.emplace_back(work, k);
  work(0);
  for (std::thread& t : helpers) t.join();
  return !failed;
}

// [SECTION] Values of the whole picture

// The counts of samples 1..254 of each channel of a band, as ChannelLevelsOf
// counts them, added to `counts`.
void CountLevels(const PlaneView& band, int width, std::array<std::array<long long, 256>, 3>& counts) {
  for (std::size_t k = 0; k < 3; ++k) {
    // Four partial counts, so that runs of equal samples do not wait on one;
    // every sample below 256 is counted, and only 1..254 are added.
    std::array<std::array<std::uint32_t, 256>, 4> partial{};
    for (int row = 0; row < band.rows; ++row) {
      const std::uint32_t* p = band.plane[k] + static_cast<std::size_t>(row) * band.stride;
      int x = 0;
      for (; x + 4 <= width; x += 4) {
        const std::uint32_t a = p[x], b = p[x + 1], c = p[x + 2], d = p[x + 3];
        if ((a | b | c | d) < 256) {
          ++partial[0][a];
          ++partial[1][b];
          ++partial[2][c];
          ++partial[3][d];
          continue;
        }
        for (const std::uint32_t v : {a, b, c, d}) {
          if (v < 256) ++partial[0][v];
        }
      }
      for (; x < width; ++x) {
        if (p[x] < 256) ++partial[0][p[x]];
      }
    }
    for (std::size_t v = 1; v < 255; ++v) counts[k][v] += partial[0][v] + partial[1][v] + partial[2][v] + partial[3][v];
  }
}

// The values of every stage, found in order (a stage's values come from the
// rows as the stages before it left them), and where the stages from `from`
// on take their rows: the picture, or `kept` when a pass for some stage's
// values kept the rows the slow stages before it (a Vantor Eye pass, an
// outline) gave, so that they are not worked again.
struct Prepared {
  std::vector<WholeValues> values;
  std::size_t from = 0;
  std::unique_ptr<SpillRows> kept;
  RowSource& Rows(RowSource& picture) const { return kept ? *kept : picture; }
};

// What stage `index` must know of the whole picture, from every row of the
// stages before it; nothing when the rows could not be read.
std::optional<WholeValues> FindWholeValues(const std::vector<Stage>& stages, Prepared& prepared, std::size_t index,
                                           RowSource& picture, int bandRows, int workers, Edges edges) {
  const WholeNeed need = stages[index].need;
  WholeValues found;
  if (need == WholeNeed::None) return found;
  RowSource& source = prepared.Rows(picture);
  // Rows worth keeping: those a slow stage gave. When no scratch file can be
  // had, or it cannot take them all, the stages are simply worked again.
  std::unique_ptr<SpillRows> keep;
  const bool slow = std::any_of(stages.begin() + static_cast<long>(prepared.from), stages.begin() + static_cast<long>(index),
                                [](const Stage& s) { return s.slow; });
  if (slow) {
    if (std::optional<ScratchFile> file = ScratchFile::Make()) {
      keep = std::make_unique<SpillRows>(std::move(*file), source.Width(), source.Height(), bandRows);
    }
  }
  std::atomic<bool> kept{keep != nullptr};
  const std::array<bool, 256>& table = stages[index].lit;
  std::vector<std::array<std::array<long long, 256>, 3>> counts(static_cast<std::size_t>(workers));
  std::vector<char> lit(static_cast<std::size_t>(workers), 0);
  BandRun run;
  run.width = source.Width();
  run.height = source.Height();
  run.bandRows = bandRows;
  run.workers = workers;
  run.makeChain = [&] {
    return std::make_unique<Chain>(stages, prepared.values, prepared.from, index, source, bandRows, edges);
  };
  run.done = [&](int worker, int, int first, int count, const PlaneView& band) {
    if (kept && !keep->Put(first, count, band)) kept = false;
    if (need == WholeNeed::Levels) {
      CountLevels(band, run.width, counts[static_cast<std::size_t>(worker)]);
      return true;
    }
    char& any = lit[static_cast<std::size_t>(worker)];
    for (std::size_t k = 0; k < 3 && !any; ++k) {
      for (int row = 0; row < band.rows && !any; ++row) {
        const std::uint32_t* p = band.plane[k] + static_cast<std::size_t>(row) * band.stride;
        for (int x = 0; x < run.width && !any; ++x) any = table[p[x] & 0xFFu];
      }
    }
    return true;
  };
  if (!RunBands(run)) return std::nullopt;
  if (kept) {
    prepared.kept = std::move(keep);
    prepared.from = index;
  }
  found.anyLit = std::find(lit.begin(), lit.end(), 1) != lit.end();
  for (std::size_t k = 0; k < 3; ++k) {
    std::array<long long, 256> histogram{};
    for (const auto& part : counts) {
      for (std::size_t v = 0; v < 256; ++v) histogram[v] += part[k][v];
    }
    found.levels[k] = ChannelLevelOfHistogram(histogram);
  }
  return found;
}

std::optional<Prepared> PrepareStages(const std::vector<Stage>& stages, RowSource& picture, int bandRows,
                                      int workers, Edges edges) {
  Prepared prepared;
  prepared.values.resize(stages.size());
  for (std::size_t i = 0; i < stages.size(); ++i) {
    const std::optional<WholeValues> found = FindWholeValues(stages, prepared, i, picture, bandRows, workers, edges);
    if (!found) return std::nullopt;
    prepared.values[i] = *found;
  }
  return prepared;
}

// Every band through every stage, handed on in order: `convert` runs on the
// worker's thread into the band's slot, `handOn` then takes the slot.
template <typename Slot>
bool StreamStages(const std::vector<PictureStep>& steps, RowSource& source, int bandRows, int threads, Edges edges,
                  const std::function<void(Slot&, int first, int count, const PlaneView& band)>& convert,
                  const std::function<bool(Slot&, int first, int count)>& handOn) {
  bandRows = std::max(bandRows, 1);
  const int workers = std::max(threads, 1);
  const std::vector<Stage> stages = StagesOfSteps(steps);
  const std::optional<Prepared> prepared = PrepareStages(stages, source, bandRows, workers, edges);
  if (!prepared) return false;
  BandRun run;
  run.width = source.Width();
  run.height = source.Height();
  run.bandRows = bandRows;
  run.workers = workers;
  std::vector<Slot> slots;
  run.handOn = [&](int slot, int first, int count) { return handOn(slots[static_cast<std::size_t>(slot)], first, count); };
  slots.resize(static_cast<std::size_t>(run.Slots()));
  run.makeChain = [&] {
    return std::make_unique<Chain>(stages, prepared->values, prepared->from, stages.size(), prepared->Rows(source),
                                   bandRows, edges);
  };
  run.done = [&](int, int slot, int first, int count, const PlaneView& band) {
    convert(slots[static_cast<std::size_t>(slot)], first, count, band);
    return true;
  };
  return RunBands(run);
}

}  // namespace

// [SECTION] Sources, runs and the picture written

std::unique_ptr<RowSource> PictureRows(const Picture& picture) { return std::make_unique<PictureSource>(picture); }

std::unique_ptr<RowSource> BmpFileRows(BmpRowReader reader) { return std::make_unique<BmpSource>(std::move(reader)); }

std::unique_ptr<RowSource> BmpRowsInMemory(const std::uint8_t* rows, int width, int height) {
  return std::make_unique<BmpMemorySource>(rows, width, height);
}

bool StreamSteps(const std::vector<PictureStep>& steps, RowSource& source, const RowSink& sink, int bandRows,
                 int threads, Edges edges) {
  struct Slot {
    std::unique_ptr<BandPlanes> planes;
  };
  const int width = source.Width();
  return StreamStages<Slot>(
      steps, source, bandRows, threads, edges,
      [&](Slot& slot, int, int count, const PlaneView& band) {
        if (!slot.planes) slot.planes = std::make_unique<BandPlanes>(width, std::max(bandRows, 1));
        for (std::size_t k = 0; k < 3; ++k) {
          std::copy_n(band.plane[k], static_cast<std::size_t>(count) * band.stride, slot.planes->plane[k].data());
        }
      },
      [&](Slot& slot, int first, int count) { return sink(first, count, slot.planes->View(0, count)); });
}

bool StreamStepsAsBmpRows(const std::vector<PictureStep>& steps, RowSource& source, const BmpRowSink& sink,
                          int bandRows, int threads, Edges edges) {
  struct Slot {
    std::vector<std::uint8_t> rows;
  };
  const int width = source.Width();
  const std::size_t rowBytes = static_cast<std::size_t>(BmpRowBytes(width));
  return StreamStages<Slot>(
      steps, source, bandRows, threads, edges,
      [&](Slot& slot, int, int count, const PlaneView& band) {
        slot.rows.resize(rowBytes * static_cast<std::size_t>(count));
        RowsFromPlanes(band, width, count, slot.rows.data(), rowBytes);
      },
      [&](Slot& slot, int first, int count) { return sink(first, count, slot.rows.data()); });
}

namespace {

StepsWritten Unreadable(const std::string& japanese, const std::string& english) {
  return {StepsWritten::Outcome::Unreadable, japanese, english};
}

// The output could not be written: the system's reason, when it gave one.
StepsWritten Unwritable(const std::string& output, int error) {
  const std::string why = error == 0 ? std::string() : ": ";
  return {StepsWritten::Outcome::Unwritable,
          output + " に書き込めませんでした" + (error == 0 ? "" : "（" + WriteErrorText(error, false) + "）"),
          "could not write " + output + why + (error == 0 ? "" : WriteErrorText(error, true))};
}

}  // namespace

StepsWritten WritePictureWithSteps(const std::string& input, const std::string& output,
                                   const std::vector<PictureStep>& steps, int threads, const StepProgress& progress,
                                   Durability durability, Edges edges) {
  const StepsWritten stopped{StepsWritten::Outcome::Stopped, "止めました", "stopped"};
  // A plain BMP larger than the canvas is read where it lies, band by band;
  // any other picture is decoded first.
  std::optional<BmpRowReader> reader = BmpRowReader::Open(input);
  std::optional<Picture> picture;
  const auto fits = [](int width, int height) { return width <= Stride && height <= CanvasRows; };
  if (!reader || fits(reader->width(), reader->height())) {
    reader.reset();
    PictureRefusal refusal;
    picture = LoadPicture(input, &refusal);
    if (!picture) return Unreadable(refusal.japanese, refusal.english);
    if (fits(picture->width, picture->height)) {
      // In memory: on the canvas, as the pages work it, when its edges are
      // to be as on the canvas; at its own size otherwise.
      if (progress && !progress(0.0)) return stopped;
      AtomicFileWriter small(output);
      if (!small.Append(EncodePictureBmp(ApplySteps(steps, *picture, threads, edges))) || !small.Commit(durability)) {
        return Unwritable(output, small.Error());
      }
      return {};
    }
  }
  const std::unique_ptr<RowSource> source = reader ? BmpFileRows(std::move(*reader)) : PictureRows(*picture);
  const int width = source->Width(), height = source->Height();
  const std::size_t rowBytes = static_cast<std::size_t>(BmpRowBytes(width));
  AtomicFileWriter writer(output);
  bool written = writer.Append(BmpHeader(width, height, 0));
  bool stop = false;
  const bool streamed = written && StreamStepsAsBmpRows(steps, *source, [&](int first, int count, const std::uint8_t* rows) {
    if (progress && !progress(static_cast<double>(first + count) / height)) {
      stop = true;
      return false;
    }
    written = writer.Append(std::span(rows, rowBytes * static_cast<std::size_t>(count)));
    return written;
  }, 64, threads, edges);
  if (stop) return stopped;
  if (!written) return Unwritable(output, writer.Error());
  if (!streamed) return Unreadable("画像を最後まで読めませんでした", "the picture could not be read to its end");
  if (!writer.Commit(durability)) return Unwritable(output, writer.Error());
  return {};
}
