// vazesample-drive [--workdir DIR] SCRIPT: runs the program with no display,
// its input and dialog answers read from SCRIPT (see DriveUsage()).
#include "pages/kit/step_list.h"
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "app/program.h"
#include "image/bmp_files.h"
#include "platform/headless.h"

namespace {

int Usage(const char* problem) {
  std::cerr << "vazesample-drive: " << problem << "\n\n" << DriveUsage();
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string workdir;
  std::string script;
  bool checkSteps = false;
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
  const int status = RunDriveScript(commands, setup, std::cout, std::cerr);
  return status == 0 && checkFailed ? 1 : status;
}
