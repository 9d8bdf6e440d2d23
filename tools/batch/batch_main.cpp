// vazesample-batch --recipe R.toml [--step KIND:SETTINGS]... [--out DIR]
//                  [--jobs N] [--overwrite] PICTURE|FOLDER...
//
// Applies a recipe's steps, then the steps given with --step (in the order
// given), to each picture at its own size (a picture larger than the canvas
// a band of rows at a time, so memory stays small whatever its size), and writes the result as a BMP in
// the program's layout: DIR/NAME.bmp for a picture NAME.*. A picture that
// fits on the program's canvas gives, byte for byte, what the pages store
// after the same steps. Each output is written atomically; an output that
// exists is kept unless --overwrite. One line on standard error for each
// picture that failed, with the reason; exit status 0 only when every
// picture was written.
//
// [SECTION] the pictures to work on
// [SECTION] one picture
// [SECTION] main

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <CLI/CLI.hpp>

#include "pages/steps/picture_steps.h"
#include "pages/steps/recipe.h"
#include "pages/steps/streamed_steps.h"
#include "platform/files.h"

namespace fs = std::filesystem;

namespace {

// ============================================================================
// [SECTION] the pictures to work on
// ============================================================================

bool IsPictureName(const fs::path& path) {
  std::string extension = path.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  for (const char* known : {".bmp", ".png", ".jpg", ".jpeg", ".tif", ".tiff", ".gif", ".pnm", ".ppm", ".pgm"}) {
    if (extension == known) return true;
  }
  return false;
}

// The pictures named, a folder standing for the pictures in it (by name).
std::vector<fs::path> PicturesOf(const std::vector<std::string>& inputs, std::vector<std::string>& problems) {
  std::vector<fs::path> pictures;
  for (const std::string& input : inputs) {
    std::error_code ec;
    if (fs::is_directory(input, ec)) {
      std::vector<fs::path> inFolder;
      for (const fs::directory_entry& entry : fs::directory_iterator(input, ec)) {
        if (entry.is_regular_file(ec) && IsPictureName(entry.path())) inFolder.push_back(entry.path());
      }
      if (ec) problems.push_back(input + ": the folder cannot be read");
      std::sort(inFolder.begin(), inFolder.end());
      pictures.insert(pictures.end(), inFolder.begin(), inFolder.end());
    } else {
      pictures.emplace_back(input);
    }
  }
  return pictures;
}

// ============================================================================
// [SECTION] one picture
// ============================================================================

// Works one picture; empty when its output was written, else the reason.
std::string WorkPicture(const fs::path& input, const fs::path& output, const std::vector<PictureStep>& steps,
                        bool overwrite, int threads) {
  std::error_code ec;
  if (fs::exists(output, ec) && !overwrite) return "kept " + output.string() + ", which exists (--overwrite replaces it)";
  if (fs::exists(output, ec) && fs::equivalent(input, output, ec)) return "the output would replace the picture itself";
  return WritePictureWithSteps(input.string(), output.string(), steps, threads, nullptr, Durability::Ordinary);
}

// A bar over the pictures on a terminal: done of all.
void ShowProgress(std::size_t done, std::size_t all) {
  constexpr int Width = 40;
  const int filled = all == 0 ? Width : static_cast<int>(done * Width / all);
  std::fprintf(stderr, "\r[%-*.*s] %zu / %zu", Width, filled, "########################################", done, all);
  if (done == all) std::fputc('\n', stderr);
  std::fflush(stderr);
}

}  // namespace

// ============================================================================
// [SECTION] main
// ============================================================================

int main(int argc, char** argv) {
  CLI::App app{"vazesample-batch: applies a recipe's steps to pictures at their own size"};
  std::string recipe;
  std::vector<std::string> stepOptions, inputs;
  std::string out = ".";
  unsigned jobs = std::max(1u, std::thread::hardware_concurrency());
  bool overwrite = false, quiet = false;
  app.add_option("--recipe", recipe, "recipe file (TOML) whose steps are applied first")->check(CLI::ExistingFile);
  app.add_option("--step", stepOptions,
                 "one more step, as KIND:SETTING=VALUE,... (the settings of a recipe's [[step]]), "
                 "e.g. eye:horn_key=F or filter:peach=true; may be given again");
  app.add_option("--out", out, "folder the outputs go to (NAME.bmp for a picture NAME.*)")->capture_default_str();
  app.add_option("--jobs", jobs, "pictures worked at once")->capture_default_str()->check(CLI::Range(1u, 256u));
  app.add_flag("--overwrite", overwrite, "replace outputs that exist (kept otherwise)");
  app.add_flag("--quiet", quiet, "no progress bar");
  app.add_option("pictures", inputs, "pictures, or folders of pictures")->required();
  CLI11_PARSE(app, argc, argv);

  std::vector<PictureStep> steps;
  if (!recipe.empty()) {
    const RecipeResult read = ReadRecipeFile(recipe);
    if (!read.ok()) {
      std::fprintf(stderr, "vazesample-batch: %s\n", read.error.c_str());
      return 2;
    }
    steps = read.steps;
  }
  for (const std::string& option : stepOptions) {
    const RecipeResult read = ReadStepOption(option);
    if (!read.ok()) {
      std::fprintf(stderr, "vazesample-batch: %s\n", read.error.c_str());
      return 2;
    }
    steps.insert(steps.end(), read.steps.begin(), read.steps.end());
  }
  if (steps.empty()) {
    std::fprintf(stderr, "vazesample-batch: no steps: give --recipe or --step\n");
    return 2;
  }
  // The output folder is made when it is not there yet, as mkdir -p would.
  std::error_code ec;
  if (!fs::exists(out, ec)) fs::create_directories(out, ec);
  if (!fs::is_directory(out, ec)) {
    std::fprintf(stderr, "vazesample-batch: %s: not a folder, and none can be made there\n", out.c_str());
    return 2;
  }

  std::vector<std::string> problems;
  const std::vector<fs::path> pictures = PicturesOf(inputs, problems);
  const bool progress = !quiet && isatty(STDERR_FILENO) != 0 && pictures.size() > 1;
  // Pictures are worked side by side, each on one core; a single picture
  // takes the cores for its own passes.
  const unsigned workers = std::min<unsigned>(jobs, static_cast<unsigned>(std::max<std::size_t>(pictures.size(), 1)));
  const int threads = workers == 1 ? static_cast<int>(jobs) : 1;
  std::atomic<std::size_t> next{0}, done{0};
  std::mutex report;
  std::vector<std::thread> pool;
  for (unsigned w = 0; w < workers; ++w) {
    pool.emplace_back([&] {
      for (std::size_t i = next++; i < pictures.size(); i = next++) {
        const fs::path output = fs::path(out) / pictures[i].filename().replace_extension(".bmp");
        const std::string problem = WorkPicture(pictures[i], output, steps, overwrite, threads);
        const std::lock_guard<std::mutex> lock(report);
        if (!problem.empty()) problems.push_back(pictures[i].string() + ": " + problem);
        ++done;
        if (progress) ShowProgress(done, pictures.size());
      }
    });
  }
  for (std::thread& worker : pool) worker.join();
  for (const std::string& problem : problems) std::fprintf(stderr, "vazesample-batch: %s\n", problem.c_str());
  return problems.empty() && !pictures.empty() ? 0 : 1;
}
