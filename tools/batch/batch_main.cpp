// vazesample-batch --recipe R.toml [--step KIND:SETTINGS]... [--out DIR]
//                  [--jobs N] [--overwrite] [--edges extend|white]
//                  [--recursive] [--language ja|en] PICTURE|FOLDER...
//
// Applies a recipe's steps, then the steps given with --step (in the order
// given), to each picture at its own size (a picture larger than the canvas
// a band of rows at a time, so memory stays small whatever its size), and
// writes the result as a BMP in the program's layout: DIR/NAME.bmp for a
// picture NAME.*. Each output is written atomically; an output that exists
// is kept unless --overwrite, and no output ever replaces a picture of the
// run. Before any work, outputs two pictures would share are found and
// neither is written. One line on standard error for each picture refused
// and each thing in a folder skipped as not a picture, with the reason; the
// run ends with one line that counts them, in the language of the locale.
//
// [SECTION] texts
// [SECTION] the pictures to work on
// [SECTION] before the work: clashes and inputs
// [SECTION] one picture
// [SECTION] main

#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <CLI/CLI.hpp>

#include "ops/picture_steps.h"
#include "ops/recipe.h"
#include "ops/streamed_steps.h"
#include "platform/files.h"
#include "platform/language.h"

namespace fs = std::filesystem;

namespace {

// ============================================================================
// [SECTION] texts
// ============================================================================

bool English() { return LanguageId == EnglishLanguage; }
std::string Say(const BilingualText& text) { return text.InCurrentLanguage(); }

// Why a picture was refused; the summary counts each.
enum class Refusal { Unreadable, Unwritable, ReplacesInput, SharedOutput, Count };
constexpr BilingualText RefusalWords[] = {
    {"画像として読めない", "not readable as a picture"},
    {"書き込めない", "could not be written"},
    {"出力が入力の画像を置き換える", "its output would replace a picture of the run"},
    {"出力を他の画像と取り合う", "its output is another picture's too"},
};
// Why a thing in a folder was skipped as not a picture.
constexpr BilingualText NotAPictureName{"画像の名前ではありません", "not a picture's name"};
constexpr BilingualText AFolder{"フォルダです（中には入りません。--recursive で入ります）",
                                "a folder (not entered; --recursive enters folders)"};
constexpr BilingualText AFolderNamedLikeAPicture{"画像の名前のフォルダです", "a folder, though named like a picture"};
constexpr BilingualText ADanglingLink{"指す先のないリンクです", "a link to nothing"};
constexpr BilingualText NotARegularFile{"普通のファイルではありません（デバイスなど）",
                                        "not a regular file (a device, a pipe or a socket)"};
constexpr BilingualText CannotBeListed{"フォルダを読めません", "the folder cannot be read"};
constexpr BilingualText NoSuchFile{"ファイルがありません", "no such file"};

constexpr BilingualText SkippedWord{"飛ばしました", "skipped"};
constexpr BilingualText RefusedWord{"書き出しません", "refused"};

void Line(const std::string& text) { std::fprintf(stderr, "vazesample-batch: %s\n", text.c_str()); }

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

// A picture to work on and where its output goes; or a named input that is
// refused before any work.
struct Job {
  fs::path input, output;
  std::optional<Refusal> refusal;
  std::string why;  // the refusal's own words, when there is more to say
};

struct Listing {
  std::vector<Job> jobs;
  std::vector<std::string> skipped;  // "PATH: reason", a line each
};

// What a folder entry is, links followed (a link to nothing said so).
void ListFolder(const fs::path& folder, const fs::path& outFolder, bool recursive, std::set<fs::path>& visited,
                Listing& listing) {
  std::error_code ec;
  const fs::path canonical = fs::weakly_canonical(folder, ec);
  if (!visited.insert(canonical).second) return;  // a folder reached again through a link
  std::vector<fs::directory_entry> entries;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) entries.push_back(*it);
  if (ec) {
    listing.skipped.push_back(folder.string() + ": " + Say(CannotBeListed));
    return;
  }
  std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.path() < b.path(); });
  for (const fs::directory_entry& entry : entries) {
    const fs::path& path = entry.path();
    const fs::file_status status = fs::status(path, ec);  // follows links
    if (ec || !fs::exists(status)) {
      listing.skipped.push_back(path.string() + ": " + Say(fs::is_symlink(fs::symlink_status(path, ec)) ? ADanglingLink : NoSuchFile));
      continue;
    }
    if (fs::is_directory(status)) {
      if (recursive) {
        ListFolder(path, outFolder / path.filename(), recursive, visited, listing);
      } else {
        listing.skipped.push_back(path.string() + ": " + Say(IsPictureName(path) ? AFolderNamedLikeAPicture : AFolder));
      }
      continue;
    }
    if (!fs::is_regular_file(status)) {
      listing.skipped.push_back(path.string() + ": " + Say(NotARegularFile));
      continue;
    }
    if (!IsPictureName(path)) {
      listing.skipped.push_back(path.string() + ": " + Say(NotAPictureName));
      continue;
    }
    listing.jobs.push_back({path, outFolder / fs::path(path.filename()).replace_extension(".bmp"), std::nullopt, {}});
  }
}

// The pictures named, a folder standing for the pictures in it (by name),
// and what was skipped.
Listing PicturesOf(const std::vector<std::string>& inputs, const fs::path& out, bool recursive) {
  Listing listing;
  std::set<fs::path> visited;
  for (const std::string& input : inputs) {
    std::error_code ec;
    const fs::file_status status = fs::status(input, ec);
    if (fs::is_directory(status)) {
      ListFolder(input, out, recursive, visited, listing);
      continue;
    }
    Job job{input, out / fs::path(fs::path(input).filename()).replace_extension(".bmp"), std::nullopt, {}};
    // A picture named by hand is tried whatever its name; what is no file
    // at all is refused here.
    if (!fs::exists(status)) {
      job.refusal = Refusal::Unreadable;
      job.why = Say(NoSuchFile);
    } else if (!fs::is_regular_file(status)) {
      job.refusal = Refusal::Unreadable;
      job.why = Say(NotARegularFile);
    }
    listing.jobs.push_back(job);
  }
  return listing;
}

// ============================================================================
// [SECTION] before the work: clashes and inputs
// ============================================================================

// The path a file is known by, links and "." and ".." resolved, whether it
// exists or not.
fs::path Resolved(const fs::path& path) {
  std::error_code ec;
  fs::path resolved = fs::weakly_canonical(fs::absolute(path, ec), ec);
  return ec ? fs::absolute(path).lexically_normal() : resolved;
}

// Outputs two pictures would share are found before any work and neither
// picture is written; an output that is a picture of the run is never
// written, with or without --overwrite. Each pair is named.
void RefuseClashes(std::vector<Job>& jobs) {
  std::set<fs::path> inputs;
  for (const Job& job : jobs) inputs.insert(Resolved(job.input));
  std::map<fs::path, std::vector<std::size_t>> byOutput;
  for (std::size_t i = 0; i < jobs.size(); ++i) byOutput[Resolved(jobs[i].output)].push_back(i);
  for (auto& [output, sharing] : byOutput) {
    for (std::size_t a = 0; a < sharing.size(); ++a) {
      for (std::size_t b = a + 1; b < sharing.size(); ++b) {
        const Job &first = jobs[sharing[a]], &second = jobs[sharing[b]];
        Line(first.input.string() + (English() ? " and " : " と ") + second.input.string() +
             (English() ? " would both be written to " : " はどちらも ") + first.output.string() +
             (English() ? ": neither is written" : " に書き出すことになります：どちらも書き出しません"));
      }
    }
    if (sharing.size() > 1) {
      for (const std::size_t i : sharing) {
        if (!jobs[i].refusal) jobs[i].refusal = Refusal::SharedOutput;
      }
    }
    if (inputs.count(output) != 0) {
      for (const std::size_t i : sharing) {
        if (!jobs[i].refusal) {
          jobs[i].refusal = Refusal::ReplacesInput;
          jobs[i].why = (English() ? "its output " : "出力 ") + jobs[i].output.string() +
                        (English() ? " is a picture of this run" : " はこの実行の入力の画像です");
        }
      }
    }
  }
}

// ============================================================================
// [SECTION] one picture
// ============================================================================

enum class Outcome { Written, Kept, Refused };

struct Result {
  Outcome outcome = Outcome::Written;
  Refusal refusal = Refusal::Unreadable;
  std::string why;
};

Result WorkPicture(const Job& job, const std::vector<PictureStep>& steps, bool overwrite, int threads, Edges edges) {
  std::error_code ec;
  if (job.refusal) return {Outcome::Refused, *job.refusal, job.why};
  if (fs::exists(fs::symlink_status(job.output, ec)) && !overwrite) return {Outcome::Kept, {}, {}};
  fs::create_directories(job.output.parent_path(), ec);
  const StepsWritten written =
      WritePictureWithSteps(job.input.string(), job.output.string(), steps, threads, nullptr, Durability::Ordinary, edges);
  if (written.ok()) return {};
  const Refusal refusal =
      written.outcome == StepsWritten::Outcome::Unwritable ? Refusal::Unwritable : Refusal::Unreadable;
  return {Outcome::Refused, refusal, written.Text(English())};
}

// A bar over the pictures on a terminal: done of all, and the time left at
// the pace so far.
void ShowProgress(std::size_t done, std::size_t all, std::chrono::steady_clock::time_point start) {
  constexpr int Width = 30;
  const int filled = all == 0 ? Width : static_cast<int>(done * Width / all);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const long left = done == 0 ? -1 : static_cast<long>(seconds / static_cast<double>(done) * static_cast<double>(all - done) + 0.5);
  std::string time = "--:--";
  if (left >= 0) time = std::to_string(left / 60) + ":" + (left % 60 < 10 ? "0" : "") + std::to_string(left % 60);
  std::fprintf(stderr, English() ? "\r[%-*.*s] %zu / %zu pictures, %s left " : "\r[%-*.*s] %zu / %zu 枚、残り %s ", Width,
               filled, "##############################", done, all, time.c_str());
  if (done == all) std::fputc('\n', stderr);
  std::fflush(stderr);
}

// The run's last line: what was written, refused (by reason), skipped and kept.
std::string Summary(std::size_t written, const std::array<std::size_t, static_cast<std::size_t>(Refusal::Count)>& refused,
                    std::size_t skipped, std::size_t kept) {
  std::size_t allRefused = 0;
  std::string reasons;
  for (std::size_t r = 0; r < refused.size(); ++r) {
    allRefused += refused[r];
    if (refused[r] == 0) continue;
    reasons += (reasons.empty() ? "" : ", ") + Say(RefusalWords[r]) + " " + std::to_string(refused[r]);
  }
  if (!reasons.empty()) reasons = " (" + reasons + ")";
  if (English()) {
    return std::to_string(written) + " written; " + std::to_string(allRefused) + " refused" + reasons + "; " +
           std::to_string(skipped) + " skipped as not pictures; " + std::to_string(kept) +
           " kept because the output was there";
  }
  return "書き出し " + std::to_string(written) + "、拒否 " + std::to_string(allRefused) + reasons +
         "、画像でないため飛ばした " + std::to_string(skipped) + "、出力があったため残した " + std::to_string(kept);
}

constexpr const char* StatusText =
    "Exit status: 0 when no picture was refused (written, or kept because the output was there), 1 when some "
    "picture was refused (a line names it and why; the others are written), 2 on bad use or a bad recipe (nothing "
    "is written). Sub-folders are not entered unless --recursive is given.";

}  // namespace

// ============================================================================
// [SECTION] main
// ============================================================================

int main(int argc, char** argv) {
  // A run stopped by Ctrl+C, kill or a closed terminal removes the temporary
  // files of the outputs it was writing; those outputs stay as they were.
  RemoveTemporaryFilesOnSignals();
  LanguageId = LanguageFromLocale(std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"), std::getenv("LANG"));

  CLI::App app{"vazesample-batch: applies a recipe's steps to pictures at their own size"};
  app.footer(StatusText);
  std::string recipe, edgesWord, language;
  std::vector<std::string> stepOptions, inputs;
  std::string out = ".";
  unsigned jobs = std::max(1u, std::thread::hardware_concurrency());
  bool overwrite = false, quiet = false, recursive = false;
  app.add_option("--recipe", recipe, "recipe file (TOML) whose steps are applied first");
  app.add_option("--step", stepOptions,
                 "one more step, as KIND:SETTING=VALUE,... (the settings of a recipe's [[step]]), "
                 "e.g. eye:horn_key=F or filter:peach=true; may be given again");
  app.add_option("--out", out, "folder the outputs go to (NAME.bmp for a picture NAME.*)")->capture_default_str();
  app.add_option("--jobs", jobs, "pictures worked at once")->capture_default_str()->check(CLI::Range(1u, 256u));
  app.add_flag("--overwrite", overwrite, "replace outputs that exist (kept otherwise); a picture of the run is never replaced");
  app.add_option("--edges", edgesWord,
                 "extend (default, or as the recipe says): the Vantor Eye, outline and local contrast work the "
                 "picture to its border, the samples beyond it taken from the nearest edge pixel; white: as on "
                 "the canvas (the eye's white frame, no outline next to the edge)")
      ->check(CLI::IsMember({"extend", "white"}));
  app.add_flag("--recursive", recursive, "enter sub-folders; their outputs go to the same sub-folders of --out");
  app.add_option("--language", language, "ja or en for the lines it prints (default: by the locale)")
      ->check(CLI::IsMember({"ja", "en"}));
  app.add_flag("--quiet", quiet, "no progress bar");
  // An option given twice takes its last value, as most commands do.
  for (const char* name : {"--recipe", "--out", "--jobs", "--edges", "--language"}) {
    app.get_option(name)->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
  }
  app.add_option("pictures", inputs, "pictures, or folders of pictures")->required();
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp&) {
    std::fputs(app.help().c_str(), stdout);
    return 0;
  } catch (const CLI::ParseError& error) {
    // Every bad use ends the same way, whatever CLI11 calls it.
    Line(std::string(error.what()) + " (see --help)");
    return 2;
  }
  if (!language.empty()) LanguageId = language == "en" ? EnglishLanguage : JapaneseLanguage;

  std::vector<PictureStep> steps;
  std::optional<Edges> edges;
  if (!recipe.empty()) {
    const RecipeResult read = ReadRecipeFile(recipe);
    if (!read.ok()) {
      Line(read.error);
      return 2;
    }
    steps = read.steps;
    edges = read.edges;
  }
  for (const std::string& option : stepOptions) {
    const RecipeResult read = ReadStepOption(option);
    if (!read.ok()) {
      Line(read.error);
      return 2;
    }
    steps.insert(steps.end(), read.steps.begin(), read.steps.end());
  }
  if (steps.empty()) {
    Line("no steps: give --recipe or --step");
    return 2;
  }
  if (!edgesWord.empty()) edges = EdgesOfWord(edgesWord);
  // The output folder is made when it is not there yet, as mkdir -p would.
  std::error_code ec;
  if (!fs::exists(out, ec)) fs::create_directories(out, ec);
  if (!fs::is_directory(out, ec)) {
    Line(out + ": not a folder, and none can be made there");
    return 2;
  }

  Listing listing = PicturesOf(inputs, out, recursive);
  for (const std::string& skipped : listing.skipped) Line(skipped + ": " + Say(SkippedWord));
  RefuseClashes(listing.jobs);
  const std::vector<Job>& pictures = listing.jobs;
  const bool progress = !quiet && isatty(STDERR_FILENO) != 0 && pictures.size() > 1;
  // Pictures are worked side by side, each on one core; a single picture
  // takes the cores for its own passes.
  const unsigned workers = std::min<unsigned>(jobs, static_cast<unsigned>(std::max<std::size_t>(pictures.size(), 1)));
  const int threads = workers == 1 ? static_cast<int>(jobs) : 1;
  std::atomic<std::size_t> next{0};
  std::size_t done = 0, written = 0, kept = 0;
  std::array<std::size_t, static_cast<std::size_t>(Refusal::Count)> refused{};
  std::mutex report;
  const auto start = std::chrono::steady_clock::now();
  std::vector<std::thread> pool;
  for (unsigned w = 0; w < workers; ++w) {
    pool.emplace_back([&] {
      for (std::size_t i = next++; i < pictures.size(); i = next++) {
        const Result result = WorkPicture(pictures[i], steps, overwrite, threads, edges.value_or(Edges::Extend));
        const std::lock_guard<std::mutex> lock(report);
        if (progress) std::fputc('\r', stderr);
        switch (result.outcome) {
          case Outcome::Written: ++written; break;
          case Outcome::Kept:
            ++kept;
            Line(pictures[i].input.string() + ": " +
                 (English() ? "kept " + pictures[i].output.string() + ", which exists (--overwrite replaces it)"
                            : pictures[i].output.string() + " があるので残しました（--overwrite で置き換えます）"));
            break;
          case Outcome::Refused: {
            ++refused[static_cast<std::size_t>(result.refusal)];
            const std::string why = result.why.empty() ? Say(RefusalWords[static_cast<std::size_t>(result.refusal)]) : result.why;
            Line(pictures[i].input.string() + ": " + Say(RefusedWord) + ": " + why);
            break;
          }
        }
        ++done;
        if (progress) ShowProgress(done, pictures.size(), start);
      }
    });
  }
  for (std::thread& worker : pool) worker.join();
  Line(Summary(written, refused, listing.skipped.size(), kept));
  const bool anyRefused = std::any_of(refused.begin(), refused.end(), [](std::size_t n) { return n > 0; });
  return anyRefused ? 1 : 0;
}
