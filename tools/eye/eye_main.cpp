// vazesample-eye [options] INPUT OUTPUT
//
// Runs one whole Vantor Eye pass over a picture, as the TOP page does: the
// picture is placed on the 960 x 672 canvas as the program places it (or, with
// --full-size, taken at its own size), every row of the pass is computed from
// the unprocessed picture, and the white frame is drawn. OUTPUT is a BMP in
// the program's layout or a PNG, by its extension, and is written atomically:
// a failed or interrupted run never creates or changes it, and one stopped by
// SIGINT, SIGTERM or SIGHUP leaves no temporary file either. The pass is one
// eye step of vazesample-batch: at full size the same banded work over both
// cores.
//
// [SECTION] options
// [SECTION] the pass
// [SECTION] main
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <memory>
#include <new>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include <CLI/CLI.hpp>

#include "image/bmp_files.h"
#include "image/picture_in_hand.h"
#include "image/planes.h"
#include "ops/picture_steps.h"
#include "ops/streamed_steps.h"
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
    "  --edges extend|white\n"
    "                     with --full-size: extend (default) works the picture\n"
    "                     to its border, the window's samples beyond it taken\n"
    "                     from the nearest edge pixel; white leaves the white\n"
    "                     frame of the canvas (n/2 + 1 pixels at the bottom and\n"
    "                     left, n/2 at the top and right)\n"
    "  --help             show this text\n";

constexpr std::array<const char*, 6> ModeNames{"both", "light", "dark", "weak-both", "weak-light", "weak-dark"};

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
  if (text.empty() || text.size() > 3 || !std::all_of(text.begin(), text.end(), ::isdigit)) return std::nullopt;
  const int value = std::stoi(text);
  if (value > 255) return std::nullopt;
  return value;
}

struct Options {
  EyeStep step{.hornKey = 6, .settings = {}, .levelsPivot = true};  // F, mode both, sun glass 2, the levels as the pivot
  bool fullSize = false;
  Edges edges = Edges::Extend;
  bool help = false;
  std::string input, output;
};

// The command line into `o`; an error sentence on bad use.
std::optional<std::string> ParseOptions(int argc, char** argv, Options& o) {
  CLI::App app{"vazesample-eye"};
  app.set_help_flag();  // the usage text is ours
  std::string key, mode, sunGlass, reference, edges;
  app.add_flag("-h,--help", o.help);
  app.add_option("--key", key);
  app.add_option("--mode", mode);
  app.add_option("--sunglass", sunGlass);
  app.add_option("--ref", reference);
  app.add_flag("--full-size", o.fullSize);
  app.add_option("--edges", edges);
  app.add_option("INPUT", o.input);
  app.add_option("OUTPUT", o.output);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    return std::string(e.what()) + " (see --help)";
  }
  if (o.help) return std::nullopt;
  if (!key.empty()) {
    const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(key[0])));
    const auto at = std::find(HornKeyLetters.begin(), HornKeyLetters.end(), letter);
    if (key.size() != 1 || at == HornKeyLetters.end()) return "--key takes one letter A to L, not '" + key + "'";
    o.step.hornKey = static_cast<int>(at - HornKeyLetters.begin()) + 1;
  }
  if (!mode.empty()) {
    const auto at = std::find(ModeNames.begin(), ModeNames.end(), Lower(mode));
    if (at == ModeNames.end()) {
      return "--mode takes both, light, dark, weak-both, weak-light or weak-dark, not '" + mode + "'";
    }
    o.step.settings.mode = static_cast<int>(at - ModeNames.begin()) + 1;
  }
  if (!sunGlass.empty()) {
    if (sunGlass != "1" && sunGlass != "2" && sunGlass != "3") return "--sunglass takes 1, 2 or 3, not '" + sunGlass + "'";
    o.step.settings.sunGlassLevel = sunGlass[0] - '0';
  }
  if (!reference.empty() && reference != "auto") {
    o.step.levelsPivot = false;
    o.step.settings.reference = {0, 0, 0};
    if (reference != "none") {
      const std::size_t a = reference.find(',');
      const std::size_t b = a == std::string::npos ? a : reference.find(',', a + 1);
      const bool three = b != std::string::npos && reference.find(',', b + 1) == std::string::npos;
      const auto red = three ? ParseByte(reference.substr(0, a)) : std::nullopt;
      const auto green = three ? ParseByte(reference.substr(a + 1, b - a - 1)) : std::nullopt;
      const auto blue = three ? ParseByte(reference.substr(b + 1)) : std::nullopt;
      if (!red || !green || !blue) {
        return "--ref takes auto, none or R,G,B with each of 0..255, not '" + reference + "'";
      }
      o.step.settings.reference = {*blue, *green, *red};
    }
  }
  if (!edges.empty()) {
    if (edges != "extend" && edges != "white") return "--edges takes extend or white, not '" + edges + "'";
    o.edges = edges == "white" ? Edges::AsCanvas : Edges::Extend;
  }
  if (o.input.empty() || o.output.empty()) return "needs INPUT and OUTPUT (see --help)";
  const std::string lower = Lower(o.output);
  if (!EndsWith(lower, ".bmp") && !EndsWith(lower, ".png")) return "OUTPUT must end in .bmp or .png";
  return std::nullopt;
}

// ============================================================================
// [SECTION] the pass
// ============================================================================

int Workers() { return static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 16u)); }

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

// The pass into OUTPUT, a BMP written as its rows come, a PNG gathered whole
// and then encoded; empty when written, else what went wrong.
std::string WritePass(const Options& o) {
  std::string error;
  std::optional<BmpRowReader> file = o.fullSize ? BmpRowReader::Open(o.input) : std::nullopt;
  std::optional<Picture> picture;
  if (!file) {
    picture = LoadPicture(o.input, &error);
    if (!picture) return "cannot read " + o.input + ": " + error;
  }
  // Placed, the pass runs as the TOP page's does, from the top of the canvas
  // down to the picture's bottom row: the white rows under a picture shorter
  // than the canvas go out as they were placed.
  std::vector<std::uint8_t> canvas;
  int firstPassRow = 0;
  if (!o.fullSize) {
    firstPassRow = CanvasRows - std::min(picture->height, CanvasRows);
    canvas.resize(CanvasByteCount);
    DrawPictureIntoCanvas(*picture, canvas.data());
  }
  const std::unique_ptr<RowSource> source = !o.fullSize ? BmpRowsInMemory(canvas.data(), Stride, CanvasRows)
                                            : file      ? BmpFileRows(std::move(*file))
                                                        : PictureRows(*picture);
  const int width = source->Width(), height = source->Height();
  const std::size_t rowBytes = static_cast<std::size_t>(BmpRowBytes(width));
  const bool showProgress = WantsProgress(width, height);
  const bool png = EndsWith(Lower(o.output), ".png");
  std::vector<std::uint8_t> rgb(png ? static_cast<std::size_t>(width) * height * 3 : 0);
  std::optional<AtomicFileWriter> bmp;
  if (!png) bmp.emplace(o.output);
  bool written = png || bmp->Append(BmpHeader(width, height, 0));
  // Rows from .. from + count - 1, bottom-up, to the output.
  const auto put = [&](int from, int count, const std::uint8_t* rows) {
    if (!png) {
      written = written && bmp->Append(std::span(rows, rowBytes * static_cast<std::size_t>(count)));
      return;
    }
    for (int k = 0; k < count; ++k) {
      CopySwappingRedAndBlue(rows + rowBytes * static_cast<std::size_t>(k),
                             rgb.data() + static_cast<std::size_t>(height - 1 - (from + k)) * width * 3,
                             static_cast<std::size_t>(width));
    }
  };
  const BmpRowSink sink = [&](int first, int count, const std::uint8_t* rows) {
    const int placed = std::clamp(firstPassRow - first, 0, count);  // the rows below the pass, as placed
    if (placed > 0) put(first, placed, canvas.data() + static_cast<std::size_t>(first) * rowBytes);
    put(first + placed, count - placed, rows + static_cast<std::size_t>(placed) * rowBytes);
    if (showProgress) ShowProgress(first + count, height);
    return written;
  };
  // Placed on the canvas, the pass meets its edges as the pages' pass does.
  const bool read = StreamStepsAsBmpRows({o.step}, *source, sink, 64, Workers(), o.fullSize ? o.edges : Edges::AsCanvas);
  if (showProgress) std::fputc('\n', stderr);
  if (!written) return "cannot write " + o.output + ": the file could not be written";
  if (!read) return "cannot read " + o.input + ": the file could no longer be read";
  if (png ? !SavePng(o.output, width, height, rgb.data(), &error) : !bmp->Commit(Durability::Ordinary)) {
    return "cannot write " + o.output + ": " + (png && !error.empty() ? error : "the file could not be written");
  }
  return {};
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
  if (const std::string error = WritePass(options); !error.empty()) return Fail(error, 1);
  return 0;
} catch (const std::bad_alloc&) {
  return Fail("not enough memory for this picture", 1);
}
