// vazesample-soak: a seeded random soak of the whole program. It writes
// driver scripts of random events over every page (clicks weighted towards
// the panel and the tab bar, right clicks, drags of every shape, Enter,
// Save, Restore and Get with their answers, close with its answers), runs
// each with vazesample-drive in a fresh work folder, and fails on a crash or
// sanitizer report, a hang, a leftover temporary file, or a keep or work file
// that is not a whole BMP. A failing script is kept and its seed printed, so
// that it can be replayed with --seed S --runs 1.
//
//   vazesample-soak --drive PATH [--seconds N] [--runs N] [--seed S] [--keep DIR]

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <tuple>
#include <string>
#include <vector>

#include "image/bmp_files.h"
#include "image/planes.h"
#include "platform/files.h"
#include "platform/picture_loader.h"

namespace fs = std::filesystem;

namespace {

struct Options {
  std::string drive;
  double seconds = 120;
  long long runs = -1;  // -1: as many as the time allows
  unsigned long long seed = 0;
  bool seedGiven = false;
  std::string keep = "soak-failures";
  int eventsPerScript = 60;
};

// The pictures a script may open: three plain BMPs of other sizes than the
// canvas (one larger both ways, for the canvas's moves), one the canvas's
// size, a PNG, and two files that are not pictures.
const std::vector<std::string> Pictures = {"small.bmp", "full.bmp", "tall.bmp", "large.bmp",
                                           "shot.png",  "text.bmp", "cut.bmp"};

void WritePictures(const fs::path& folder) {
  auto bmp = [](int width, int height, int seed) {
    return EncodeBmp(width, height, 0, [&](int row, std::uint8_t* out) {
      for (int x = 0; x < width; ++x) {
        out[3 * x] = static_cast<std::uint8_t>(x * 3 + row + seed);
        out[3 * x + 1] = static_cast<std::uint8_t>(x + row * 2 + (x / 40) * 60);
        out[3 * x + 2] = static_cast<std::uint8_t>((x ^ row) + seed * 7);
      }
    });
  };
  WriteFileAtomically((folder / "small.bmp").string(), bmp(451, 300, 1));
  WriteFileAtomically((folder / "full.bmp").string(), bmp(960, 672, 2));
  WriteFileAtomically((folder / "tall.bmp").string(), bmp(300, 900, 3));
  WriteFileAtomically((folder / "large.bmp").string(), bmp(1500, 1000, 5));
  std::vector<std::uint8_t> picture(200 * 120 * 3);
  for (std::size_t i = 0; i < picture.size(); ++i) picture[i] = static_cast<std::uint8_t>(i * 7 / 3);
  SavePng((folder / "shot.png").string(), 200, 120, picture.data(), nullptr);
  const std::string text = "not a picture\n";
  WriteFileAtomically((folder / "text.bmp").string(), std::vector<std::uint8_t>(text.begin(), text.end()));
  std::vector<std::uint8_t> cut = bmp(640, 480, 4);
  cut.resize(cut.size() / 3);
  WriteFileAtomically((folder / "cut.bmp").string(), cut);
}

// One random script. Points are weighted: a third on the panel (x < 100), a
// sixth on the tab bar, the rest on the picture and the window's edges.
std::string MakeScript(std::mt19937_64& random, const fs::path& pictures, int events) {
  auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
  auto point = [&] {
    const int where = pick(0, 11);
    if (where < 4) return std::pair{pick(0, 99), pick(0, 839)};
    if (where < 6) return std::pair{pick(101, 1059), pick(1, 31)};
    if (where < 11) return std::pair{pick(100, 1059), pick(32, 703)};
    return std::pair{pick(0, 1099), pick(0, 839)};
  };
  auto picture = [&] { return (pictures / Pictures[static_cast<std::size_t>(pick(0, 6))]).string(); };
  std::ostringstream s;
  s << "open " << (pictures / Pictures[static_cast<std::size_t>(pick(0, 3))]).string() << "\n";
  for (int e = 0; e < events; ++e) {
    const int kind = pick(0, 99);
    if (kind < 37) {
      const auto [x, y] = point();
      s << "click " << x << ' ' << y << "\n";
    } else if (kind < 40) {  // the whole picture in view, and the canvas moved
      const int how = pick(0, 3);
      if (how == 0) s << "key ctrl+0\n";
      if (how == 1) s << "click " << pick(1063, 1097) << ' ' << pick(2, 30) << "\n";
      if (how >= 2) s << "wheel " << (how == 3 ? "shift " : "") << (pick(0, 1) ? pick(1, 4) : -pick(1, 4)) << "\n";
    } else if (kind < 45) {  // undo, and now and then redo
      const int key = pick(0, 4);
      s << "key " << (key < 3 ? "ctrl+z" : key == 3 ? "ctrl+shift+z" : "ctrl+y") << "\n";
    } else if (kind < 52) {
      const auto [x, y] = point();
      s << "rclick " << x << ' ' << y << "\n";
    } else if (kind < 64) {
      const auto [x1, y1] = point();
      const int shape = pick(0, 3);
      int x2 = x1, y2 = y1;  // shape 0: zero length
      if (shape == 1) std::tie(x2, y2) = point();
      if (shape == 2) x2 = std::max(0, x1 - pick(1, 300)), y2 = std::max(0, y1 - pick(1, 300));  // right to left
      if (shape == 3) x2 = std::min(1099, x1 + pick(1, 60)), y2 = std::min(839, y1 + pick(1, 60));
      s << "drag " << x1 << ' ' << y1 << ' ' << x2 << ' ' << y2 << "\n";
    } else if (kind < 67) {
      const auto [x, y] = point();
      s << "move " << x << ' ' << y << "\n";
    } else if (kind < 72) {
      if (pick(0, 2) == 0) s << "cancel\n"; else s << "open " << picture() << "\n";
      s << "key enter\n";
    } else if (kind < 78) {  // the Save tab
      // No answer is queued for an overwrite question: one left unused would
      // answer the close question of a later close.
      // save-whole ticks the whole-picture boxes (the tall picture is larger
      // than the canvas).
      const int answer = pick(0, 3);
      if (answer == 0) s << "cancel\n";
      else s << (answer == 3 ? "save-whole saved" : "save-as saved") << pick(0, 2) << ".bmp\n";
      s << "click " << pick(885, 939) << ' ' << pick(2, 30) << "\n";
    } else if (kind < 84) {  // Restore
      s << "click " << pick(941, 995) << ' ' << pick(2, 30) << "\n";
    } else if (kind < 92) {  // Get
      if (pick(0, 2) == 0) s << "cancel\n"; else s << "open " << picture() << "\n";
      s << "click " << pick(997, 1059) << ' ' << pick(2, 30) << "\n";
    } else if (kind < 95) {  // any dialog a panel key opens, answered or not
      s << (pick(0, 1) ? "cancel\n" : "open " + picture() + "\n");
      s << "save-as panel" << pick(0, 1) << (pick(0, 1) ? ".bmp\n" : ".txt\n");
      const auto [x, y] = point();
      s << "click " << x << ' ' << y << "\n";
    } else if (kind < 97) {
      s << "answer " << (pick(0, 1) ? "yes" : "no") << "\nanswer no\nclose\n";
    } else {
      s << "shot shot.png\n";
    }
  }
  s << "answer " << (pick(0, 1) ? "yes" : "no") << "\nanswer yes\nclose\n";
  return s.str();
}

struct RunResult {
  bool ok = true;
  std::string why;
};

// Runs the driver on the script in `work`, at most `limit` seconds.
RunResult RunDriver(const std::string& drive, const fs::path& work, const fs::path& script, int limit) {
  const fs::path output = work / "drive-output.txt";
  const pid_t child = ::fork();
  if (child == 0) {
    const int fd = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd >= 0) {
      ::dup2(fd, 1);
      ::dup2(fd, 2);
    }
    ::execl(drive.c_str(), drive.c_str(), "--check-steps", "--check-history", "--workdir", work.c_str(), script.c_str(),
            static_cast<char*>(nullptr));
    ::_exit(127);
  }
  if (child < 0) return {false, "could not start the driver"};
  const auto start = std::chrono::steady_clock::now();
  int status = 0;
  while (::waitpid(child, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() - start > std::chrono::seconds(limit)) {
      ::kill(child, SIGKILL);
      ::waitpid(child, &status, 0);
      return {false, "hang: the script did not end within " + std::to_string(limit) + " s"};
    }
    ::usleep(2000);
  }
  std::ifstream in(output);
  std::stringstream text;
  text << in.rdbuf();
  const std::string printed = text.str();
  for (const char* report : {"AddressSanitizer", "runtime error:", "LeakSanitizer", "UndefinedBehaviorSanitizer"}) {
    if (printed.find(report) != std::string::npos) return {false, std::string("sanitizer report: ") + report};
  }
  if (WIFSIGNALED(status)) return {false, "the driver died of signal " + std::to_string(WTERMSIG(status))};
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    return {false, "the driver exited with " + std::to_string(WEXITSTATUS(status))};
  }
  return {};
}

// What the program left in its folder: no temporary file, and every keep
// and work file a whole BMP in the keep layout.
RunResult CheckFolder(const fs::path& work) {
  for (const auto& entry : fs::directory_iterator(work)) {
    const std::string name = entry.path().filename().string();
    if (name.ends_with(".tmp")) return {false, "a temporary file was left: " + name};
    const bool keep = name.starts_with("KEEP") && name.ends_with(".bmp");
    const bool workFile = name.starts_with("0000") && name.ends_with(".bmp");
    if (!keep && !workFile) continue;
    const auto bytes = ReadWholeFile(entry.path().string(), 8u << 20);
    static std::vector<std::uint8_t> canvas(CanvasByteCount);
    if (!bytes || !DecodeKeepBytes(*bytes, canvas.data(), PixelTarget::IntoCanvas)) {
      return {false, name + " is not a whole keep-layout BMP"};
    }
  }
  return {};
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "vazesample-soak: %s needs a value\n", arg.c_str());
        std::exit(2);
      }
      return argv[++i];
    };
    if (arg == "--drive") o.drive = value();
    else if (arg == "--seconds") o.seconds = std::stod(value());
    else if (arg == "--runs") o.runs = std::stoll(value());
    else if (arg == "--seed") o.seed = std::stoull(value()), o.seedGiven = true;
    else if (arg == "--keep") o.keep = value();
    else if (arg == "--events") o.eventsPerScript = std::stoi(value());
    else {
      std::fprintf(stderr, "usage: vazesample-soak --drive PATH [--seconds N] [--runs N] [--seed S] [--keep DIR]\n");
      return 2;
    }
  }
  if (o.drive.empty()) {
    std::fprintf(stderr, "vazesample-soak: --drive PATH is needed\n");
    return 2;
  }
  o.drive = fs::absolute(o.drive).string();
  if (!o.seedGiven) o.seed = std::random_device{}();
  const fs::path root = fs::temp_directory_path() / ("vazesample-soak-" + std::to_string(::getpid()));
  fs::create_directories(root / "pictures");
  WritePictures(root / "pictures");

  const auto start = std::chrono::steady_clock::now();
  long long run = 0;
  int failures = 0;
  for (;; ++run) {
    if (o.runs >= 0 && run >= o.runs) break;
    if (o.runs < 0 && std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() > o.seconds) break;
    const unsigned long long seed = o.seed + static_cast<unsigned long long>(run);
    std::mt19937_64 random(seed);
    const fs::path work = root / ("run-" + std::to_string(run));
    fs::create_directories(work);
    const fs::path script = root / ("script-" + std::to_string(seed) + ".txt");
    {
      std::ofstream out(script);
      // The pictures by a name relative to the script, so that a kept
      // script runs beside the kept pictures.
      out << MakeScript(random, "pictures", o.eventsPerScript);
    }
    RunResult result = RunDriver(o.drive, work, script, 60);
    if (result.ok) result = CheckFolder(work);
    if (!result.ok) {
      ++failures;
      fs::create_directories(o.keep);
      const fs::path kept = fs::path(o.keep) / script.filename();
      fs::copy_file(script, kept, fs::copy_options::overwrite_existing);
      fs::copy(root / "pictures", fs::path(o.keep) / "pictures",
               fs::copy_options::overwrite_existing | fs::copy_options::recursive);
      fs::copy_file(work / "drive-output.txt", fs::path(o.keep) / ("output-" + std::to_string(seed) + ".txt"),
                    fs::copy_options::overwrite_existing);
      std::printf("FAILED seed %llu: %s (script kept as %s; replay: vazesample-soak --drive DRIVE --seed %llu --runs 1, or vazesample-drive --workdir EMPTY-FOLDER on the kept script)\n",
                  seed, result.why.c_str(), kept.c_str(), seed);
      std::fflush(stdout);
    }
    fs::remove_all(work);
    fs::remove(script);
  }
  fs::remove_all(root);
  std::printf("soak: %lld scripts from seed %llu, %d failed\n", run, o.seed, failures);
  return failures == 0 ? 0 : 1;
}
