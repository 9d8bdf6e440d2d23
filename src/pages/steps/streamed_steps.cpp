#include "pages/steps/streamed_steps.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>

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

// ---- Sources --------------------------------------------------------------------

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
      const std::uint8_t* from = picture_.rgb.data() + y * rowBytes;
      for (int x = 0; x < picture_.width; ++x) {
        to.at(2, r, x) = from[3 * x];
        to.at(1, r, x) = from[3 * x + 1];
        to.at(0, r, x) = from[3 * x + 2];
      }
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
    bytes_.resize(reader_.rowBytes() * static_cast<std::size_t>(count));
    if (!reader_.ReadRows(first, count, bytes_.data())) return false;
    for (int r = 0; r < count; ++r) {
      const std::uint8_t* from = bytes_.data() + static_cast<std::size_t>(r) * reader_.rowBytes();
      for (int x = 0; x < reader_.width(); ++x) {
        for (int k = 0; k < 3; ++k) to.at(k, r, x) = from[3 * x + k];
      }
    }
    return true;
  }

 private:
  BmpRowReader reader_;
  std::vector<std::uint8_t> bytes_;
};

// ---- Stages ----------------------------------------------------------------------

// The levels of every row `source` gives, as ChannelLevelsOf finds them.
std::optional<std::array<ChannelLevel, 3>> LevelsOfAllRows(RowSource& source, int bandRows) {
  std::array<std::array<long long, 256>, 3> counts{};
  BandPlanes band(source.Width(), bandRows);
  source.Restart();
  for (int first = 0; first < source.Height(); first += bandRows) {
    const int count = std::min(bandRows, source.Height() - first);
    if (!source.Rows(first, count, band.View(0, count))) return std::nullopt;
    for (std::size_t k = 0; k < 3; ++k) {
      const std::uint32_t* p = band.plane[k].data();
      for (std::size_t i = 0, n = static_cast<std::size_t>(count) * band.width; i < n; ++i) {
        const std::int32_t v = static_cast<std::int32_t>(p[i]);
        if (v > 0 && v < 255) ++counts[k][static_cast<std::size_t>(v)];
      }
    }
  }
  source.Restart();
  std::array<ChannelLevel, 3> levels{};
  for (std::size_t k = 0; k < 3; ++k) levels[k] = ChannelLevelOfHistogram(counts[k]);
  return levels;
}


// A stage that changes each pixel by itself, with values found once over
// the whole picture before its first row (when it needs any).
class PointStage : public RowSource {
 public:
  enum class Kind { LightCore, Power, Peach, Berry };
  PointStage(RowSource& source, Kind kind, const FilterSettings& settings, int bandRows)
      : source_(source), kind_(kind), settings_(settings), bandRows_(bandRows) {}
  int Width() const override { return source_.Width(); }
  int Height() const override { return source_.Height(); }
  void Restart() override { source_.Restart(); }
  bool Rows(int first, int count, const PlaneView& to) override {
    if (!Prepared()) return false;
    if (!source_.Rows(first, count, to)) return false;
    PlaneView band = to;
    band.rows = count;
    band.stride = Width();  // the pixel routines walk stride x rows
    switch (kind_) {
      case Kind::LightCore: LightCore(band); break;
      case Kind::Power: ApplyColourPowerByPlane(band, PlanePowers(settings_)); break;
      case Kind::Peach: ApplyPeach(band, BalanceLevelsOf(*levels_)); break;
      case Kind::Berry: ApplyBerry(band, BalanceLevelsOf(*levels_)); break;
    }
    return true;
  }

 private:
  bool Prepared() {
    if (kind_ == Kind::Peach || kind_ == Kind::Berry) {
      if (!levels_) levels_ = LevelsOfAllRows(source_, bandRows_);
      return levels_.has_value();
    }
    if (kind_ == Kind::LightCore && !anyLit_) anyLit_ = AnyLit();
    return kind_ != Kind::LightCore || anyLit_.has_value();
  }
  // Whether the core leaves any sample of the whole picture lit; when none
  // is, every sample becomes 1 (as the light core on the canvas does).
  std::optional<bool> AnyLit() {
    BuildTable();
    BandPlanes band(Width(), bandRows_);
    source_.Restart();
    bool any = false;
    for (int first = 0; first < Height() && !any; first += bandRows_) {
      const int count = std::min(bandRows_, Height() - first);
      if (!source_.Rows(first, count, band.View(0, count))) return std::nullopt;
      for (std::size_t k = 0; k < 3 && !any; ++k) {
        for (std::size_t i = 0, n = static_cast<std::size_t>(count) * band.width; i < n && !any; ++i) {
          any = table_[band.plane[k][i] & 0xFFu] != 0;
        }
      }
    }
    source_.Restart();
    return any;
  }
  void BuildTable() {
    for (int v = 0; v < 256; ++v) {
      table_[static_cast<std::size_t>(v)] =
          static_cast<std::uint32_t>(LightCoreSample(v, settings_.LightCoreStart, settings_.LightCoreEnd));
    }
  }
  void LightCore(const PlaneView& band) {
    for (std::size_t k = 0; k < 3; ++k) {
      for (int row = 0; row < band.rows; ++row) {
        std::uint32_t* line = band.plane[k] + static_cast<std::size_t>(row) * band.stride;
        for (int x = 0; x < band.stride; ++x) line[x] = *anyLit_ ? table_[line[x] & 0xFFu] : 1u;
      }
    }
  }

  RowSource& source_;
  Kind kind_;
  FilterSettings settings_;
  int bandRows_;
  std::optional<std::array<ChannelLevel, 3>> levels_;
  std::optional<bool> anyLit_;
  std::array<std::uint32_t, 256> table_{};
};

// A step that changes each pixel by itself, run on each band as it passes.
class BandStage : public RowSource {
 public:
  BandStage(RowSource& source, const PictureStep& step) : source_(source), step_(step) {}
  int Width() const override { return source_.Width(); }
  int Height() const override { return source_.Height(); }
  void Restart() override { source_.Restart(); }
  bool Rows(int first, int count, const PlaneView& to) override {
    if (!source_.Rows(first, count, to)) return false;
    PlaneView band = to;
    band.rows = count;
    ApplyStep(step_, band, Width(), count, count, 1);
    return true;
  }

 private:
  RowSource& source_;
  PictureStep step_;
};

// The rows of a source a neighbourhood stage's window reaches, kept from
// band to band: asked for rows first .. end - 1 (clipped to the picture), it
// keeps what it holds of them, drops the rows below and reads the rest.
// Bands come from the bottom up; any other jump starts afresh. A stage after
// the one holding it may ask for more rows than a band (its own window's
// worth more): the rows kept grow to hold them.
class RowWindow {
 public:
  RowWindow(int width, int rows) : rows_(width, rows) {}
  bool Hold(RowSource& source, int first, int end) {
    first = std::max(0, first);
    end = std::min(source.Height(), end);
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
    if (end > have) {
      if (!source.Rows(have, end - have, rows_.View(count_, end - have))) return false;
      count_ = end - first_;
    }
    return true;
  }
  void Forget() { first_ = count_ = 0; }
  int First() const { return first_; }
  int Count() const { return count_; }
  PlaneView View() { return rows_.View(0, count_); }

 private:
  BandPlanes rows_;
  int first_ = 0, count_ = 0;
};

// The Vantor Eye pass: keeps the rows of its input that the window of the
// rows asked for reaches.
class EyeStage : public RowSource {
 public:
  EyeStage(RowSource& source, const EyeStep& step, int bandRows, int threads)
      : source_(source), step_(step), n_(WindowOfHornKey(step.hornKey)), half_(n_ / 2), bandRows_(bandRows),
        threads_(threads), rows_(source.Width(), bandRows + 2 * (n_ / 2) + 2) {}
  int Width() const override { return source_.Width(); }
  int Height() const override { return source_.Height(); }
  void Restart() override {
    source_.Restart();
    rows_.Forget();
  }
  bool Rows(int first, int count, const PlaneView& to) override {
    if (n_ <= 0) return source_.Rows(first, count, to);
    if (step_.levelsPivot && !pivotFound_) {
      const std::optional<std::array<ChannelLevel, 3>> levels = LevelsOfAllRows(source_, bandRows_);
      if (!levels) return false;
      for (std::size_t k = 0; k < 3; ++k) step_.settings.reference[k] = (*levels)[k].middle;
      pivotFound_ = true;
      rows_.Forget();
    }
    if (!rows_.Hold(source_, first - half_, first + count + half_)) return false;
    PlaneView band = to;
    band.rows = count;
    VantorEyeBandOn(rows_.View(), rows_.First(), band, Width(), Height(), n_, step_.settings, first, first + count,
                    threads_);
    return true;
  }

 private:
  RowSource& source_;
  EyeStep step_;
  int n_, half_, bandRows_, threads_;
  RowWindow rows_;
  bool pivotFound_ = false;
};

// An outline detector: keeps the rows of its input that the detector's
// neighbourhood of the rows asked for reaches, and runs the detector over
// them, so a row is outlined exactly when it lies inside the border of the
// whole picture.
class OutlineStage : public RowSource {
 public:
  OutlineStage(RowSource& source, const OutlineStep& step, int bandRows)
      : source_(source), settings_(step.settings), halo_(OutlineBorder(step.settings.outlineWidth)),
        rows_(source.Width(), bandRows + 2 * halo_) {}
  int Width() const override { return source_.Width(); }
  int Height() const override { return source_.Height(); }
  void Restart() override {
    source_.Restart();
    rows_.Forget();
  }
  bool Rows(int first, int count, const PlaneView& to) override {
    if (!rows_.Hold(source_, first - halo_, first + count + halo_)) return false;
    ApplyOutline(settings_, rows_.View(), Width(), rows_.Count(), first - rows_.First(), count, to);
    return true;
  }

 private:
  RowSource& source_;
  OutlineSettings settings_;
  int halo_;
  RowWindow rows_;
};

}  // namespace

std::unique_ptr<RowSource> PictureRows(const Picture& picture) { return std::make_unique<PictureSource>(picture); }

std::unique_ptr<RowSource> BmpFileRows(BmpRowReader reader) { return std::make_unique<BmpSource>(std::move(reader)); }

bool StreamSteps(const std::vector<PictureStep>& steps, RowSource& source, const RowSink& sink, int bandRows,
                 int threads) {
  bandRows = std::max(bandRows, 1);
  std::vector<std::unique_ptr<RowSource>> stages;
  RowSource* last = &source;
  auto add = [&](std::unique_ptr<RowSource> stage) {
    last = stage.get();
    stages.push_back(std::move(stage));
  };
  for (const PictureStep& step : steps) {
    if (IsPointStep(step)) add(std::make_unique<BandStage>(*last, step));
    if (const OutlineStep* outline = std::get_if<OutlineStep>(&step)) {
      add(std::make_unique<OutlineStage>(*last, *outline, bandRows));
    }
    if (const EyeStep* eye = std::get_if<EyeStep>(&step)) add(std::make_unique<EyeStage>(*last, *eye, bandRows, threads));
    if (const FilterStep* filter = std::get_if<FilterStep>(&step)) {
      using Kind = PointStage::Kind;
      const FilterSettings& f = filter->settings;
      if (filter->lightCore) add(std::make_unique<PointStage>(*last, Kind::LightCore, f, bandRows));
      if (f.ColourPowerOn == 1) add(std::make_unique<PointStage>(*last, Kind::Power, f, bandRows));
      if (f.PeachOn == 1) add(std::make_unique<PointStage>(*last, Kind::Peach, f, bandRows));
      if (f.BerryOn == 1) add(std::make_unique<PointStage>(*last, Kind::Berry, f, bandRows));
    }
  }
  BandPlanes band(source.Width(), bandRows);
  last->Restart();
  for (int first = 0; first < source.Height(); first += bandRows) {
    const int count = std::min(bandRows, source.Height() - first);
    const PlaneView view = band.View(0, count);
    if (!last->Rows(first, count, view) || !sink(first, count, view)) return false;
  }
  return true;
}

std::string WritePictureWithSteps(const std::string& input, const std::string& output,
                                  const std::vector<PictureStep>& steps, int threads, const StepProgress& progress,
                                  Durability durability) {
  // A plain BMP larger than the canvas is read where it lies, band by band;
  // any other picture is decoded first.
  std::optional<BmpRowReader> reader = BmpRowReader::Open(input);
  std::optional<Picture> picture;
  if (!reader || (reader->width() <= Stride && reader->height() <= CanvasRows)) {
    reader.reset();
    std::string error;
    picture = LoadPicture(input, &error);
    if (!picture) return error.empty() ? "not a picture this program reads" : error;
    if (picture->width <= Stride && picture->height <= CanvasRows) {
      // On the canvas, as the pages work it.
      if (progress && !progress(0.0)) return StepsStoppedText;
      AtomicFileWriter small(output);
      if (!small.Append(EncodePictureBmp(ApplySteps(steps, *picture, threads))) || !small.Commit(durability)) {
        return "could not write " + output;
      }
      return {};
    }
  }
  const std::unique_ptr<RowSource> source = reader ? BmpFileRows(std::move(*reader)) : PictureRows(*picture);
  const int width = source->Width(), height = source->Height();
  AtomicFileWriter writer(output);
  writer.Append(BmpHeader(width, height, 0));
  std::vector<std::uint8_t> rows;
  bool stopped = false;
  const bool streamed = StreamSteps(steps, *source, [&](int first, int count, const PlaneView& band) {
    const std::size_t rowBytes = static_cast<std::size_t>(BmpRowBytes(width));
    rows.assign(rowBytes * static_cast<std::size_t>(count), 0);
    for (int r = 0; r < count; ++r) {
      std::uint8_t* to = rows.data() + static_cast<std::size_t>(r) * rowBytes;
      for (int x = 0; x < width; ++x) {
        for (int k = 0; k < 3; ++k) to[3 * x + k] = static_cast<std::uint8_t>(band.at(k, r, x));
      }
    }
    if (progress && !progress(static_cast<double>(first + count) / height)) {
      stopped = true;
      return false;
    }
    return writer.Append(rows);
  }, 64, threads);
  if (stopped) return StepsStoppedText;
  if (!streamed) return "the picture could not be read to its end";
  if (!writer.Commit(durability)) return "could not write " + output;
  return {};
}
