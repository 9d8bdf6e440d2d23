// vazesample-drive [--workdir DIR] [--check-steps] [--check-history] SCRIPT: runs the program with no display,
// its input and dialog answers read from SCRIPT (see DriveUsage()).
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "app/history.h"
#include "app/overview.h"
#include "app/program.h"
#include "image/bmp_files.h"
#include "image/planes.h"
#include "pages/kit/page_state.h"
#include "pages/kit/step_list.h"
#include "platform/headless.h"
#include "platform/picture_loader.h"
#include "platform/surface.h"

namespace {

// The image area of a shown client area (rows 32 .. 703, columns 100 ..
// 1059, RGB).
std::vector<std::uint8_t> ImageAreaOf(const std::vector<std::uint8_t>& shown) {
  std::vector<std::uint8_t> area;
  area.reserve(static_cast<std::size_t>(Stride) * CanvasRows * 3);
  for (int y = ImageTop; y < ImageTop + CanvasRows; ++y) {
    const auto row = shown.begin() + (static_cast<long>(y) * Surface::Width + ImageLeft) * 3;
    area.insert(area.end(), row, row + Stride * 3);
  }
  return area;
}

// For tests: every change an input made is taken back (the image area must
// be what it was when the state before it was kept) and done again (what it
// was after the input). An input that changes no more than a page's settings
// keeps no state, so what the image area showed at the last state kept is
// the one to compare with.
struct HistoryCheck {
  std::vector<std::uint8_t> kept;  // the image area when the state in place was kept
  int keptAt = 0;                  // the line that kept it
  HistoryFigures last;
  bool failed = false;

  // The image area with the whole picture out of view: the history keeps
  // what the canvas shows, and the overview is no change of it.
  static std::vector<std::uint8_t> CanvasOf(HeadlessWindow& window) {
    const bool overview = OverviewShown();
    if (overview) {
      ToggleOverview();
      window.RunPendingPaints();
    }
    std::vector<std::uint8_t> area = ImageAreaOf(window.Shown());
    if (overview) {
      ToggleOverview();
      window.RunPendingPaints();
    }
    return area;
  }

  void After(const DriveCommand& command, HeadlessWindow& window,
             const std::function<void(const DriveCommand&)>& press) {
    // A paint more, as the next input would make: a page may show a thing
    // for one paint only (APPEAR's work file under its comment).
    window.Invalidate();
    window.RunPendingPaints();
    const HistoryFigures now = HistoryNow();
    const bool historyKey = command.op == DriveOp::Key && command.control && (command.key == 'Z' || command.key == 'Y');
    const int added = now.position - last.position;
    const bool newStates = !historyKey && added > 0;
    if (std::getenv("VAZESAMPLE_CHECK_TRACE") != nullptr && newStates) {
      std::cerr << "check: line " << command.line << " kept " << added << " state(s)\n";
    }
    if (newStates && !kept.empty() && last.changes > 0) {
      const std::vector<std::uint8_t> after = CanvasOf(window);
      DriveCommand key;
      key.op = DriveOp::Key;
      key.key = 'Z';
      key.control = true;
      for (int k = 0; k < added; ++k) press(key);
      const std::vector<std::uint8_t> undone = CanvasOf(window);
      if (undone != kept) Fail(command, "taken back, the picture is not what it was before", {kept, undone});
      key.shift = true;
      for (int k = 0; k < added; ++k) press(key);
      const std::vector<std::uint8_t> redone = CanvasOf(window);
      if (redone != after) Fail(command, "done again, the picture is not what it was after", {after, redone});
    }
    if (newStates || (historyKey && now.position != last.position)) {
      kept = CanvasOf(window);
      keptAt = command.line;
    }
    last = HistoryNow();
  }
  // The two image areas go beside each other into check-LINE.png.
  void Fail(const DriveCommand& command, const char* what, std::array<std::vector<std::uint8_t>, 2> areas) {
    const std::string shot = "check-" + std::to_string(command.line) + ".png";
    std::cerr << "vazesample-drive: check failed at line " << command.line << ": the change it made, " << what
              << " (kept at line " << keptAt << ", on page " << PageId << "; expected and found: " << shot << ")\n";
    std::vector<std::uint8_t> both(static_cast<std::size_t>(Stride) * 2 * CanvasRows * 3);
    for (int y = 0; y < CanvasRows; ++y) {
      for (std::size_t k = 0; k < 2; ++k) {
        std::copy_n(areas[k].begin() + static_cast<long>(y) * Stride * 3, Stride * 3,
                    both.begin() + (static_cast<long>(y) * 2 * Stride + static_cast<long>(k) * Stride) * 3);
      }
    }
    SavePng(shot, Stride * 2, CanvasRows, both.data(), nullptr);
    failed = true;
  }
};

int Usage(const char* problem) {
  std::cerr << "vazesample-drive: " << problem << "\n\n" << DriveUsage();
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string workdir;
  std::string script;
  bool checkSteps = false;
  bool checkHistory = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::cout << DriveUsage();
      return 0;
    }
    if (arg == "--workdir") {
      if (i + 1 >= argc) return Usage("--workdir needs a folder");
      workdir = argv[++i];
    } else if (arg.rfind("--workdir=", 0) == 0) {
      workdir = arg.substr(10);
    } else if (arg == "--check-steps") {
      checkSteps = true;
    } else if (arg == "--check-history") {
      checkHistory = true;
    } else if (!arg.empty() && arg[0] == '-' && arg != "-") {
      return Usage(("unknown option " + arg).c_str());
    } else if (script.empty()) {
      script = arg;
    } else {
      return Usage("only one SCRIPT is run at a time");
    }
  }
  if (script.empty()) return Usage("no SCRIPT given");

  std::error_code ec;
  const std::filesystem::path scriptPath = std::filesystem::absolute(script, ec);
  std::ifstream in(scriptPath, std::ios::binary);
  if (ec || !in) {
    std::cerr << "vazesample-drive: " << script << ": cannot read the script\n";
    return 2;
  }
  std::ostringstream text;
  text << in.rdbuf();

  std::vector<DriveCommand> commands;
  std::string error;
  if (!ParseDriveScript(text.str(), script, commands, &error)) {
    std::cerr << error << '\n';
    return 2;
  }

  // The program opens every file by relative name, so it runs inside DIR.
  if (!workdir.empty()) {
    if (!std::filesystem::is_directory(workdir, ec)) {
      std::cerr << "vazesample-drive: " << workdir << ": no such folder (the work folder must exist)\n";
      return 2;
    }
    std::filesystem::current_path(workdir, ec);
    if (ec) {
      std::cerr << "vazesample-drive: " << workdir << ": cannot work there: " << ec.message() << '\n';
      return 2;
    }
  }
  const std::string here = std::filesystem::current_path(ec).string();

  DriveSetup setup;
  setup.scriptName = script;
  setup.scriptFolder = scriptPath.parent_path().string();
  setup.workFolder = here;
  setup.startTitle = ProgramTitleAtStart;
  setup.startProgram = [here] {
    StartProgram();
    PictureFile.openStartFolder = here;
  };
  setup.handlers = ProgramHandlers;
  // For tests: every save that offers the whole picture checks that the
  // steps give what the canvas shows.
  bool checkFailed = false;
  if (checkSteps) {
    CheckStepsAtSaves([&](const std::string& why) {
      std::cerr << "vazesample-drive: check failed at a save: " << why << '\n';
      checkFailed = true;
    });
  }
  HistoryCheck history;
  if (checkHistory) {
    setup.afterInput = [&history](const DriveCommand& command, HeadlessWindow& window,
                                  const std::function<void(const DriveCommand&)>& press) {
      history.After(command, window, press);
    };
  }
  const int status = RunDriveScript(commands, setup, std::cout, std::cerr);
  return status == 0 && (checkFailed || history.failed) ? 1 : status;
}
