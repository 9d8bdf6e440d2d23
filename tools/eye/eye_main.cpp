// vazesample-eye [options] INPUT OUTPUT
//
// Runs one whole Vantor Eye pass over a picture, as the TOP page does: the
// picture is placed on the 960 x 672 canvas as the program places it (or, with
// --full-size, taken at its own size), every row of the pass is computed from
// the unprocessed picture, and the white frame is drawn. OUTPUT is a BMP in
// the program's layout or a PNG, by its extension, and is written atomically:
// a failed or interrupted run never creates or changes it, and one stopped by
// SIGINT, SIGTERM or SIGHUP leaves no temporary file either.
//
// [SECTION] options
// [SECTION] band planes
// [SECTION] the pass, a band of rows at a time
// [SECTION] main
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <condition_variable>
#include <cstdlib>
#include <functional>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "image/bmp_files.h"
#include "image/picture_in_hand.h"
#include "image/planes.h"
#include "pages/tone/vantor_eye.h"
#include "platform/files.h"
#include "platform/picture_loader.h"

namespace {

// ============================================================================
// [SECTION] options
// ============================================================================

constexpr const char* UsageText =
    "usage: vazesample-eye [options] INPUT OUTPUT\n"
    "Runs one whole Vantor Eye pass over the picture INPUT and writes OUTPUT\n"
    "(.bmp in the program's BMP layout, or .png).\n"
    "\n"
    "  --key A..L         horn key, the window size 4..40 (default F)\n"
    "  --mode MODE        both, light, dark, weak-both, weak-light, weak-dark\n"
    "                     (default both)\n"
    "  --sunglass 1|2|3   sun glass: weak, middle, strong effect (default 2)\n"
    "  --ref auto|none|R,G,B\n"
    "                     pivot of the both modes: auto = the 50 % channel\n"
    "                     levels of the picture, none = 0,0,0, or red,green,blue\n"
    "                     (default auto)\n"
    "  --full-size        work on the whole picture at its own size instead of\n"
    "                     the top-left 960 x 672 placed on the canvas\n"
    "  --help             show this text\n";

struct ModeName {
  const char* name;
  int mode;
};
constexpr std::array<ModeName, 6> ModeNames{{{"both", 1},
                                             {"light", 2},
                                             {"dark", 3},
                                             {"weak-both", 4},
                                             {"weak-light", 5},
                                             {"weak-dark", 6}}};

struct Options {
  int hornKey = 6;  // F
  int mode = 1;
  int sunGlass = 2;
  bool referenceAuto = true;
  std::array<int, 3> reference{0, 0, 0};  // blue, green, red
  bool fullSize = false;
  bool help = false;
  std::string input;
  std::string output;
};

int Fail(const std::string& line, int code) {
  std::fprintf(stderr, "vazesample-eye: %s\n", line.c_str());
  return code;
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// A whole decimal number in 0..255.
std::optional<int> ParseByte(const std::string& text) {
  if (text.empty() || text.size() > 3) return std::nullopt;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value > 255) return std::nullopt;
  return value;
}

// Sets one option from its value; an error sentence when the value is bad.
std::optional<std::string> SetOption(Options& o, const std::string& name, const std::string& value) {
  if (name == "--key") {
    if (value.size() == 1) {
      const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(value[0])));
      for (std::size_t k = 0; k < HornKeyLetters.size(); ++k) {
        if (HornKeyLetters[k] == letter) {
          o.hornKey = static_cast<int>(k) + 1;
          return std::nullopt;
        }
      }
    }
    return "--key takes one letter A to L, not '" + value + "'";
  }
  if (name == "--mode") {
    for (const ModeName& m : ModeNames) {
      if (Lower(value) == m.name) {
        o.mode = m.mode;
        return std::nullopt;
      }
    }
    return "--mode takes both, light, dark, weak-both, weak-light or weak-dark, not '" + value + "'";
  }
  if (name == "--sunglass") {
    if (value == "1" || value == "2" || value == "3") {
      o.sunGlass = value[0] - '0';
      return std::nullopt;
    }
    return "--sunglass takes 1, 2 or 3, not '" + value + "'";
  }
  if (name == "--ref") {
    if (value == "auto") {
      o.referenceAuto = true;
      return std::nullopt;
    }
    if (value == "none") {
      o.referenceAuto = false;
      o.reference = {0, 0, 0};
      return std::nullopt;
    }
    const std::size_t a = value.find(',');
    const std::size_t b = a == std::string::npos ? a : value.find(',', a + 1);
    if (b != std::string::npos && value.find(',', b + 1) == std::string::npos) {
      const auto red = ParseByte(value.substr(0, a));
      const auto green = ParseByte(value.substr(a + 1, b - a - 1));
      const auto blue = ParseByte(value.substr(b + 1));
      if (red && green && blue) {
        o.referenceAuto = false;
        o.reference = {*blue, *green, *red};
        return std::nullopt;
      }
    }
    return "--ref takes auto, none or R,G,B with each of 0..255, not '" + value + "'";
  }
  return "unknown option '" + name + "' (see --help)";
}

// Reads the command line; an error sentence on bad use.
std::optional<std::string> ParseOptions(int argc, char** argv, Options& o) {
  std::vector<std::string> positional;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      o.help = true;
      return std::nullopt;
    }
    if (arg == "--full-size") {
      o.fullSize = true;
      continue;
    }
    if (arg == "--") {
      for (++i; i < argc; ++i) positional.emplace_back(argv[i]);
      break;
    }
    if (arg.size() > 1 && arg[0] == '-') {
      std::string value;
      const std::size_t equals = arg.find('=');
      if (equals != std::string::npos) {
        value = arg.substr(equals + 1);
        arg = arg.substr(0, equals);
      } else if (arg == "--key" || arg == "--mode" || arg == "--sunglass" || arg == "--ref") {
        if (i + 1 >= argc) return arg + " needs a value";
        value = argv[++i];
      } else {
        return "unknown option '" + arg + "' (see --help)";
      }
      if (auto error = SetOption(o, arg, value)) return error;
      continue;
    }
    positional.push_back(arg);
  }
  if (positional.size() != 2) return "needs INPUT and OUTPUT (see --help)";
  o.input = positional[0];
  o.output = positional[1];
  const std::string lower = Lower(o.output);
  if (!EndsWith(lower, ".bmp") && !EndsWith(lower, ".png")) return "OUTPUT must end in .bmp or .png";
  return std::nullopt;
}

// ============================================================================
// [SECTION] band planes
// ============================================================================

// Three planes of width x rows samples for one band, row 0 its bottom row.
// The samples start undefined: only the pages a band touches are ever
// faulted in, which on a virtual machine costs more than their use.
struct BandPlanes {
  int width = 0;
  int rows = 0;
  std::array<std::unique_ptr<std::uint32_t[]>, 3> plane;
  BandPlanes(int w, int r) : width(w), rows(r) {
    const std::size_t count = static_cast<std::size_t>(w) * static_cast<std::size_t>(r);
    for (auto& p : plane) p = std::make_unique_for_overwrite<std::uint32_t[]>(count);
  }
  PlaneView view() const { return PlaneView{{plane[0].get(), plane[1].get(), plane[2].get()}, width, rows}; }
};

int Workers() { return static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 16u)); }

// ============================================================================
// [SECTION] the pass, a band of rows at a time
// ============================================================================

// The input picture's rows as a BMP stores them: row 0 the bottom row,
// BmpRowBytes(width) bytes a row, blue, green, red. At full size a plain BMP
// is read where it lies in its file, so a picture of many millions of pixels
// is never held whole, and any other picture is decoded first; placed, the
// rows are those of the canvas the picture was drawn into.
struct InputRows {
  int width = 0;
  int height = 0;
  // The lowest row the pass computes. At full size every row; placed, the
  // pass runs as the TOP page's does, from the top of the canvas down to
  // CanvasRows - ShownHeight (the picture's bottom row), so the white rows
  // under a picture shorter than the canvas go out as they were placed.
  int firstPassRow = 0;
  std::optional<BmpRowReader> file;
  std::optional<Picture> picture;
  std::vector<std::uint8_t> canvas;  // Stride x CanvasRows, rows as in a BMP

  // Rows first .. first + count - 1 into `to`; from several threads at once.
  bool Read(int first, int count, std::uint8_t* to) const {
    if (file) return file->ReadRows(first, count, to);
    const std::size_t rowBytes = static_cast<std::size_t>(BmpRowBytes(width));
    if (!canvas.empty()) {
      std::copy_n(canvas.data() + static_cast<std::size_t>(first) * rowBytes,
                  static_cast<std::size_t>(count) * rowBytes, to);
      return true;
    }
    const std::size_t w = static_cast<std::size_t>(width);
    for (int k = 0; k < count; ++k) {
      const std::uint8_t* from = picture->rgb.data() + static_cast<std::size_t>(height - 1 - (first + k)) * w * 3;
      CopySwappingRedAndBlue(from, to + static_cast<std::size_t>(k) * rowBytes, w);
    }
    return true;
  }
};

std::optional<InputRows> OpenInput(const std::string& path, bool fullSize, std::string* error) {
  InputRows input;
  if (!fullSize) {
    // The program's placement: the picture drawn into the canvas.
    const std::optional<Picture> picture = LoadPicture(path, error);
    if (!picture) return std::nullopt;
    input.width = Stride;
    input.height = CanvasRows;
    input.firstPassRow = CanvasRows - std::min(picture->height, CanvasRows);
    input.canvas.resize(CanvasByteCount);
    DrawPictureIntoCanvas(*picture, input.canvas.data());
    return input;
  }
  input.file = BmpRowReader::Open(path);
  if (input.file) {
    input.width = input.file->width();
    input.height = input.file->height();
    return input;
  }
  input.picture = LoadPicture(path, error);
  if (!input.picture) return std::nullopt;
  input.width = input.picture->width;
  input.height = input.picture->height;
  return input;
}

// The 50 % channel levels of the whole picture (blue, green, red), as
// ChannelLevelsOf finds them on its planes; the rows are counted in as many
// parts as there are workers. Nothing when the input can no longer be read.
std::optional<std::array<int, 3>> MiddleLevelsOf(const InputRows& input) {
  const int workers = std::min(Workers(), std::max(1, input.height / 64));
  std::vector<std::array<std::array<long long, 256>, 3>> counts(static_cast<std::size_t>(workers));
  std::vector<char> read(static_cast<std::size_t>(workers), 1);
  auto count = [&](int k) {
    constexpr int ChunkRows = 32;
    const std::size_t rowBytes = static_cast<std::size_t>(BmpRowBytes(input.width));
    std::vector<std::uint8_t> chunk(rowBytes * ChunkRows);
    // Two partial histograms a channel, so that runs of equal samples do not
    // wait on one counter.
    std::array<std::array<std::uint32_t, 256>, 6> partial{};
    auto& total = counts[static_cast<std::size_t>(k)];
    const int end = static_cast<int>(static_cast<long long>(input.height) * (k + 1) / workers);
    for (int first = static_cast<int>(static_cast<long long>(input.height) * k / workers); first < end;
         first += ChunkRows) {
      const int rows = std::min(ChunkRows, end - first);
      if (!input.Read(first, rows, chunk.data())) {
        read[static_cast<std::size_t>(k)] = 0;
        return;
      }
      for (int r = 0; r < rows; ++r) {
        const std::uint8_t* p = chunk.data() + rowBytes * static_cast<std::size_t>(r);
        int x = 0;
        for (; x + 2 <= input.width; x += 2, p += 6) {
          ++partial[0][p[0]];
          ++partial[1][p[1]];
          ++partial[2][p[2]];
          ++partial[3][p[3]];
          ++partial[4][p[4]];
          ++partial[5][p[5]];
        }
        if (x < input.width) {
          ++partial[0][p[0]];
          ++partial[1][p[1]];
          ++partial[2][p[2]];
        }
      }
      // Into the totals after every chunk, before a partial count could overflow.
      for (std::size_t c = 0; c < 3; ++c) {
        for (std::size_t v = 0; v < 256; ++v) total[c][v] += partial[c][v] + partial[c + 3][v];
      }
      partial = {};
    }
  };
  std::vector<std::thread> helpers;
  for (int k = 1; k < workers; ++k) helpers.emplace_back(count, k);
  count(0);
  for (std::thread& t : helpers) t.join();
  if (std::find(read.begin(), read.end(), 0) != read.end()) return std::nullopt;
  std::array<int, 3> middle{};
  for (std::size_t c = 0; c < 3; ++c) {
    std::array<long long, 256> histogram{};
    for (const auto& part : counts) {
      for (std::size_t v = 0; v < 256; ++v) histogram[v] += part[c][v];
    }
    middle[c] = ChannelLevelOfHistogram(histogram).middle;
  }
  return middle;
}

// Where the pass's rows go, in order from the bottom row up: rows first ..
// first + count - 1 as BMP rows. False when they could not be kept.
using BandSink = std::function<bool(int first, int count, const std::uint8_t* rows)>;

// A progress bar on a terminal, for pictures that take a while.
bool WantsProgress(int width, int height) {
  return ::isatty(STDERR_FILENO) == 1 && static_cast<long long>(width) * height > 4000000;
}

void ShowProgress(int rowsDone, int height) {
  const int done = static_cast<int>(static_cast<long long>(rowsDone) * 40 / height);
  std::fprintf(stderr, "\r[%.*s%*s] %3d%%", done, "########################################", 40 - done, "",
               done * 100 / 40);
  std::fflush(stderr);
}

// The whole pass over the input, a band of rows at a time:
// each worker takes the next band, reads the rows its windows reach, computes
// it into one of a few slots and hands on, in order, every band that is then
// ready. A worker held up (by the system) keeps only its own band back while
// the others go on ahead, as far as the slots allow; only those bands are
// ever in memory. With the area eye off every pixel of every band is written
// (the frame included).
bool RunBandedPass(const InputRows& input, int n, const EyeParameters& parameters, const BandSink& sink,
                   std::string* error) {
  constexpr int BandRows = 32;
  const int width = input.width, height = input.height;
  const int reach = n / 2;
  const int bandCount = (height + BandRows - 1) / BandRows;
  const int workers = std::min(Workers(), bandCount);
  const std::size_t rowBytes = static_cast<std::size_t>(BmpRowBytes(width));
  const bool showProgress = WantsProgress(width, height);
  struct Slot {
    std::vector<std::uint8_t> rows;
    int band = -1;  // the band it holds or is being filled with; -1 free
    bool ready = false;
  };
  std::vector<Slot> slots(static_cast<std::size_t>(3 * workers));
  std::mutex lock;
  std::condition_variable slotFreed;
  int nextBand = 0;  // the next band to take
  int turn = 0;      // the next band to hand on
  std::string failure;

  // Hands on the bands that are ready in order; called with the lock held.
  auto handOn = [&] {
    for (;;) {
      Slot& slot = slots[static_cast<std::size_t>(turn) % slots.size()];
      if (slot.band != turn || !slot.ready || !failure.empty()) return;
      const int y = turn * BandRows;
      const int count = std::min(BandRows, height - y);
      if (!sink(y, count, slot.rows.data())) {
        failure = "the file could not be written";
        return;
      }
      slot = Slot{std::move(slot.rows)};
      ++turn;
      if (showProgress) ShowProgress(y + count, height);
    }
  };

  auto fail = [&](const std::string& why) {
    const std::lock_guard held(lock);
    if (failure.empty()) failure = why;
    slotFreed.notify_all();
  };
  auto workOn = [&] {
    const BandPlanes window(width, BandRows + 2 * reach);
    const BandPlanes band(width, BandRows);
    std::vector<std::uint8_t> rows(rowBytes * static_cast<std::size_t>(BandRows + 2 * reach));
    for (;;) {
      std::unique_lock held(lock);
      if (nextBand >= bandCount || !failure.empty()) return;
      const int i = nextBand++;
      // Band i's slot is free once band i - slots.size() is handed on. Waiting
      // for that, rather than for the slot to be free, keeps a later band
      // (i + slots.size()) from taking the slot first and waiting for ever
      // on band i.
      Slot& slot = slots[static_cast<std::size_t>(i) % slots.size()];
      slotFreed.wait(held, [&] { return turn + static_cast<int>(slots.size()) > i || !failure.empty(); });
      if (!failure.empty()) return;
      slot.band = i;
      held.unlock();

      const int y = i * BandRows;
      const int count = std::min(BandRows, height - y);
      const int windowFirst = std::max(0, y - reach);
      const int windowRows = std::min(height, y + count + reach) - windowFirst;
      if (!input.Read(windowFirst, windowRows, rows.data())) return fail("the input could no longer be read");
      PlanesFromRows(rows.data(), rowBytes, width, windowRows, window.view());
      // Rows under the pass's lowest row are taken as they are; the rest of
      // the band is computed into the band from that row up.
      const int passFrom = std::clamp(input.firstPassRow, y, y + count);
      const std::size_t columns = static_cast<std::size_t>(width);
      const std::size_t skipped = static_cast<std::size_t>(passFrom - y) * columns;
      for (std::size_t k = 0; k < 3; ++k) {
        std::copy_n(window.plane[k].get() + static_cast<std::size_t>(y - windowFirst) * columns, skipped,
                    band.plane[k].get());
      }
      const PlaneView computed{{band.plane[0].get() + skipped, band.plane[1].get() + skipped,
                                band.plane[2].get() + skipped},
                               width,
                               y + count - passFrom};
      VantorEyeBandOn(window.view(), windowFirst, computed, width, height, n, parameters, passFrom, y + count, 1);
      slot.rows.resize(rowBytes * BandRows);
      RowsFromPlanes(band.view(), width, count, slot.rows.data(), rowBytes);

      held.lock();
      slot.ready = true;
      handOn();
      slotFreed.notify_all();
    }
  };
  auto work = [&] {
    try {
      workOn();
    } catch (const std::bad_alloc&) {
      fail("not enough memory");
    }
  };
  std::vector<std::thread> helpers;
  for (int k = 1; k < workers; ++k) helpers.emplace_back(work);
  work();
  for (std::thread& t : helpers) t.join();
  if (showProgress) std::fputc('\n', stderr);
  if (!failure.empty()) *error = failure;
  return failure.empty();
}

// The pass into OUTPUT: a BMP is written as the bands come, a PNG is
// gathered whole and then encoded.
bool WritePass(const std::string& path, const InputRows& input, int n, const EyeParameters& parameters,
               std::string* error) {
  const int width = input.width, height = input.height;
  const std::size_t rowBytes = static_cast<std::size_t>(BmpRowBytes(width));
  const std::size_t w = static_cast<std::size_t>(width);
  if (EndsWith(Lower(path), ".png")) {
    std::vector<std::uint8_t> rgb(w * static_cast<std::size_t>(height) * 3);
    const BandSink gather = [&](int first, int count, const std::uint8_t* rows) {
      for (int k = 0; k < count; ++k) {
        const std::uint8_t* from = rows + static_cast<std::size_t>(k) * rowBytes;
        CopySwappingRedAndBlue(from, rgb.data() + static_cast<std::size_t>(height - 1 - (first + k)) * w * 3, w);
      }
      return true;
    };
    return RunBandedPass(input, n, parameters, gather, error) && SavePng(path, width, height, rgb.data(), error);
  }
  AtomicFileWriter file(path);
  const BandSink append = [&](int, int count, const std::uint8_t* rows) {
    return file.Append(std::span<const std::uint8_t>(rows, rowBytes * static_cast<std::size_t>(count)));
  };
  if (!file.Append(BmpHeader(width, height, 0)) || !RunBandedPass(input, n, parameters, append, error)) {
    if (error->empty()) *error = "the file could not be written";
    return false;
  }
  if (!file.Commit(Durability::Ordinary)) {
    *error = "the file could not be written";
    return false;
  }
  return true;
}

}  // namespace

// ============================================================================
// [SECTION] main
// ============================================================================

int main(int argc, char** argv) try {
  // A run stopped by Ctrl+C or a kill removes its temporary file; OUTPUT
  // stays as it was.
  RemoveTemporaryFilesOnSignals();
  Options options;
  if (auto error = ParseOptions(argc, argv, options)) return Fail(*error, 2);
  if (options.help) {
    std::fputs(UsageText, stdout);
    return 0;
  }

  EyeParameters parameters;
  parameters.mode = options.mode;
  parameters.sunGlassLevel = options.sunGlass;
  parameters.reference = options.reference;
  const int n = WindowOfHornKey(options.hornKey);
  std::string error;

  std::optional<InputRows> input = OpenInput(options.input, options.fullSize, &error);
  if (!input) return Fail("cannot read " + options.input + ": " + error, 1);
  if (options.referenceAuto) {
    const auto middle = MiddleLevelsOf(*input);
    if (!middle) return Fail("cannot read " + options.input + ": the file could no longer be read", 1);
    parameters.reference = *middle;
  }
  if (!WritePass(options.output, *input, n, parameters, &error)) {
    return Fail("cannot write " + options.output + ": " + error, 1);
  }
  return 0;
} catch (const std::bad_alloc&) {
  return Fail("not enough memory for this picture", 1);
}
