// vazesample-eye [options] INPUT OUTPUT
//
// Runs one whole Vantor Eye pass over a picture, as the TOP page does: the
// picture is placed on the 960 x 672 canvas as the program places it (or, with
// --full-size, taken at its own size), every row is computed from the
// unprocessed picture, and the white frame is drawn. OUTPUT is a BMP in the
// program's layout or a PNG, by its extension, and is written atomically: a
// failed run never creates or changes it.
//
// [SECTION] options
// [SECTION] planes from and to pictures
// [SECTION] the pass with its progress bar
// [SECTION] main
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <memory>
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
// [SECTION] planes from and to pictures
// ============================================================================

// Samples of one plane of a large picture: 2 MB aligned and offered to the
// kernel for huge pages, which saves most page faults on a big picture. The
// contents start undefined.
class SampleBuffer {
 public:
  explicit SampleBuffer(std::size_t count) {
    constexpr std::size_t Huge = 2u << 20;
    const std::size_t bytes = (count * sizeof(std::uint32_t) + Huge - 1) / Huge * Huge;
    data_ = static_cast<std::uint32_t*>(std::aligned_alloc(Huge, bytes));
    if (data_ != nullptr) ::madvise(data_, bytes, MADV_HUGEPAGE);
  }
  SampleBuffer(const SampleBuffer&) = delete;
  SampleBuffer& operator=(const SampleBuffer&) = delete;
  ~SampleBuffer() { std::free(data_); }
  std::uint32_t* data() const { return data_; }

 private:
  std::uint32_t* data_ = nullptr;
};

// Three planes of a width x height picture, row 0 the bottom row.
struct OwnPlanes {
  int width = 0;
  int height = 0;
  std::array<std::unique_ptr<SampleBuffer>, 3> plane;
  OwnPlanes(int w, int h) : width(w), height(h) {
    for (auto& p : plane) p = std::make_unique<SampleBuffer>(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
  }
  bool allocated() const { return plane[0]->data() && plane[1]->data() && plane[2]->data(); }
  PlaneView view() const {
    return PlaneView{{plane[0]->data(), plane[1]->data(), plane[2]->data()}, width, height};
  }
};

void PlanesFromPictureRows(const Picture& picture, const OwnPlanes& p, int y0, int y1) {
  const std::size_t w = static_cast<std::size_t>(picture.width);
  std::uint32_t* blue = p.plane[0]->data();
  std::uint32_t* green = p.plane[1]->data();
  std::uint32_t* red = p.plane[2]->data();
  for (int y = y0; y < y1; ++y) {
    const std::uint8_t* from = picture.rgb.data() + static_cast<std::size_t>(y) * w * 3;
    const std::size_t row = static_cast<std::size_t>(picture.height - 1 - y) * w;
    for (std::size_t x = 0; x < w; ++x) {
      red[row + x] = from[3 * x];
      green[row + x] = from[3 * x + 1];
      blue[row + x] = from[3 * x + 2];
    }
  }
}

// The picture into planes of its size; a large one in two halves at once.
void PlanesFromPicture(const Picture& picture, const OwnPlanes& p) {
  const int middle = static_cast<long long>(picture.width) * picture.height >= 2000000 ? picture.height / 2 : 0;
  std::thread helper;
  if (middle > 0) helper = std::thread([&] { PlanesFromPictureRows(picture, p, 0, middle); });
  PlanesFromPictureRows(picture, p, middle, picture.height);
  if (helper.joinable()) helper.join();
}

// The low byte of each sample, as every file writer of the program takes it.
// Rows 0 .. rows - 1 of the planes into `file`, in the BMP layout (bottom
// row first), a band of rows at a time, so that no copy of a whole large
// picture is made.
bool AppendBmpRows(AtomicFileWriter& file, const PlaneView& planes, int width, int rows) {
  const std::size_t rowBytes = static_cast<std::size_t>(BmpRowBytes(width));
  constexpr int BandRows = 64;
  std::vector<std::uint8_t> band(rowBytes * BandRows, 0);
  for (int first = 0; first < rows; first += BandRows) {
    const int count = std::min(BandRows, rows - first);
    for (int r = 0; r < count; ++r) {
      std::uint8_t* out = band.data() + rowBytes * static_cast<std::size_t>(r);
      const std::size_t start = static_cast<std::size_t>(first + r) * static_cast<std::size_t>(planes.stride);
      const std::uint32_t* blue = planes.plane[0] + start;
      const std::uint32_t* green = planes.plane[1] + start;
      const std::uint32_t* red = planes.plane[2] + start;
      for (int x = 0; x < width; ++x, out += 3) {
        out[0] = static_cast<std::uint8_t>(blue[x]);
        out[1] = static_cast<std::uint8_t>(green[x]);
        out[2] = static_cast<std::uint8_t>(red[x]);
      }
    }
    if (!file.Append(std::span<const std::uint8_t>(band.data(), rowBytes * static_cast<std::size_t>(count)))) {
      return false;
    }
  }
  return true;
}

bool AppendBmpOf(AtomicFileWriter& file, const PlaneView& planes, int width, int height) {
  return file.Append(BmpHeader(width, height, 0)) && AppendBmpRows(file, planes, width, height);
}

// A progress bar on a terminal, for pictures that take a while.
bool WantsProgress(int width, int height) {
  return ::isatty(STDERR_FILENO) == 1 && static_cast<long long>(width) * height > 4000000;
}

void ShowProgress(int rowsDone, int height) {
  const int done = rowsDone * 40 / height;
  std::fprintf(stderr, "\r[%.*s%*s] %3d%%", done, "########################################", 40 - done, "",
               done * 100 / 40);
  std::fflush(stderr);
}

std::vector<std::uint8_t> RgbTopDownOf(const PlaneView& planes, int width, int height) {
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
  for (int y = 0; y < height; ++y) {
    std::uint8_t* to = rgb.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width) * 3;
    const int row = height - 1 - y;
    for (int x = 0; x < width; ++x) {
      to[3 * x] = static_cast<std::uint8_t>(planes.at(2, row, x) & 0xFFu);
      to[3 * x + 1] = static_cast<std::uint8_t>(planes.at(1, row, x) & 0xFFu);
      to[3 * x + 2] = static_cast<std::uint8_t>(planes.at(0, row, x) & 0xFFu);
    }
  }
  return rgb;
}

// ============================================================================
// [SECTION] the pass with its progress bar
// ============================================================================

// Every row from the top down in bands of 64, as the TOP page runs it; a
// progress bar on a terminal's standard error for large pictures.
void RunPass(const PlaneView& source, const PlaneView& target, int width, int height, int n,
             const EyeParameters& parameters) {
  const int threads = static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 16u));
  const bool showProgress = WantsProgress(width, height);
  if (!showProgress) {
    // All rows at once: the threads share them, and the frame is written once.
    VantorEyeRowsOn(source, target, width, height, n, parameters, 0, height, threads);
    return;
  }
  constexpr int Band = 512;
  for (int top = height; top > 0; top -= Band) {
    VantorEyeRowsOn(source, target, width, height, n, parameters, std::max(0, top - Band), top, threads);
    if (showProgress) ShowProgress(height - std::max(0, top - Band), height);
  }
  if (showProgress) std::fputc('\n', stderr);
}

// The whole pass into a BMP, a band of rows at a time: each band is computed
// into a band-sized target and written at once, so a large picture needs no
// second set of planes.
bool WriteBandedPass(const std::string& path, const OwnPlanes& source, int n, const EyeParameters& parameters,
                     std::string* error) {
  const int width = source.width, height = source.height;
  constexpr int BandRows = 128;
  // Two band targets: while one band is written out, the next is computed.
  std::array<std::unique_ptr<OwnPlanes>, 2> bands = {std::make_unique<OwnPlanes>(width, BandRows),
                                                     std::make_unique<OwnPlanes>(width, BandRows)};
  if (!bands[0]->allocated() || !bands[1]->allocated()) {
    *error = "not enough memory";
    return false;
  }
  const int threads = static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 16u));
  const bool showProgress = WantsProgress(width, height);
  AtomicFileWriter file(path);
  bool ok = file.Append(BmpHeader(width, height, 0));
  std::thread writer;
  bool written = true;
  int k = 0;
  for (int y = 0; ok && y < height; y += BandRows, k ^= 1) {
    const int rows = std::min(BandRows, height - y);
    VantorEyeBandOn(source.view(), bands[static_cast<std::size_t>(k)]->view(), width, height, n, parameters, y,
                    y + rows, threads);
    if (writer.joinable()) writer.join();
    ok = written;
    if (!ok) break;
    writer = std::thread([&file, &written, band = bands[static_cast<std::size_t>(k)].get(), width, rows] {
      written = AppendBmpRows(file, band->view(), width, rows);
    });
    if (showProgress) ShowProgress(y + rows, height);
  }
  if (writer.joinable()) writer.join();
  ok = ok && written;
  if (showProgress) std::fputc('\n', stderr);
  if (!ok || !file.Commit(Durability::Ordinary)) {
    *error = "the file could not be written";
    return false;
  }
  return true;
}

bool WriteOutput(const std::string& path, const PlaneView& planes, int width, int height, std::string* error) {
  if (EndsWith(Lower(path), ".png")) {
    const std::vector<std::uint8_t> rgb = RgbTopDownOf(planes, width, height);
    return SavePng(path, width, height, rgb.data(), error);
  }
  // Written beside the output and renamed over it when whole; like any
  // ordinary file tool, the tool leaves flushing to disk to the system.
  AtomicFileWriter file(path);
  if (!AppendBmpOf(file, planes, width, height) || !file.Commit(Durability::Ordinary)) {
    *error = "the file could not be written";
    return false;
  }
  return true;
}

}  // namespace

// ============================================================================
// [SECTION] main
// ============================================================================

int main(int argc, char** argv) {
  Options options;
  if (auto error = ParseOptions(argc, argv, options)) return Fail(*error, 2);
  if (options.help) {
    std::fputs(UsageText, stdout);
    return 0;
  }

  std::string error;
  std::optional<Picture> picture = LoadPicture(options.input, &error);
  if (!picture) return Fail("cannot read " + options.input + ": " + error, 1);

  EyeParameters parameters;
  parameters.mode = options.mode;
  parameters.sunGlassLevel = options.sunGlass;
  parameters.reference = options.reference;
  const int n = WindowOfHornKey(options.hornKey);

  if (options.fullSize) {
    // With the area eye off every pixel of the target is written: the rows
    // and columns the window reaches are computed, the rest is the frame.
    OwnPlanes source(picture->width, picture->height);
    if (!source.allocated()) return Fail("not enough memory for " + options.input, 1);
    PlanesFromPicture(*picture, source);
    picture.reset();
    if (options.referenceAuto) {
      const auto levels = ChannelLevelsOf(source.view(), source.width, source.height);
      for (std::size_t c = 0; c < 3; ++c) parameters.reference[c] = levels[c].middle;
    }
    if (!EndsWith(Lower(options.output), ".png")) {
      if (!WriteBandedPass(options.output, source, n, parameters, &error)) {
        return Fail("cannot write " + options.output + ": " + error, 1);
      }
      return 0;
    }
    OwnPlanes target(source.width, source.height);
    if (!target.allocated()) return Fail("not enough memory for " + options.input, 1);
    RunPass(source.view(), target.view(), source.width, source.height, n, parameters);
    if (!WriteOutput(options.output, target.view(), target.width, target.height, &error)) {
      return Fail("cannot write " + options.output + ": " + error, 1);
    }
    return 0;
  }

  // The program's placement: the picture drawn into the canvas, whose
  // samples are the source; the pass writes every pixel of the target.
  OwnPlanes source(Stride, CanvasRows);
  OwnPlanes target(Stride, CanvasRows);
  if (!source.allocated() || !target.allocated()) return Fail("not enough memory for " + options.input, 1);
  {
    std::vector<std::uint8_t> canvas(CanvasByteCount, 0);
    DrawPictureIntoCanvas(*picture, canvas.data());
    PlanesFromCanvasInto(source.view(), canvas.data(), Stride, CanvasRows);
  }
  if (options.referenceAuto) {
    const auto levels = ChannelLevelsOf(source.view(), Stride, CanvasRows);
    for (std::size_t c = 0; c < 3; ++c) parameters.reference[c] = levels[c].middle;
  }
  RunPass(source.view(), target.view(), Stride, CanvasRows, n, parameters);
  if (!WriteOutput(options.output, target.view(), Stride, CanvasRows, &error)) {
    return Fail("cannot write " + options.output + ": " + error, 1);
  }
  return 0;
}
