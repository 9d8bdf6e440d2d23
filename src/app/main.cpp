// The program's entry: the command line, then the interactive window and
// dialogs around the program.
#include <cstdio>
#include <filesystem>
#include <string>

#include "app/desktop.h"
#include "app/program.h"
#include "image/bmp_files.h"
#include "platform/dialogs.h"
#include "platform/interactive/interactive.h"

int main(int argc, char** argv) {
  const CommandLine line = ReadCommandLine(argc, argv);
  switch (line.action) {
    case CommandLine::Action::Help:
      std::fputs(UsageText().c_str(), stdout);
      return 0;
    case CommandLine::Action::Version:
      std::fputs(VersionText().c_str(), stdout);
      return 0;
    case CommandLine::Action::Wrong:
      std::fprintf(stderr, "vazesample: %s\nTry 'vazesample --help'.\n", line.error.c_str());
      return 2;
    case CommandLine::Action::Run:
      break;
  }

  std::string why;
  if (!OpenInteractiveWindow(ProgramTitleAtStart, &why)) {
    std::fprintf(stderr,
                 "vazesample: %s; run it on a desktop, or use vazesample-drive for a headless run\n",
                 why.c_str());
    return 1;
  }
  StartProgram();
  // The working folder stays the folder the program was started in: the
  // keep files go there and the open dialog starts there.
  std::error_code ec;
  PictureFile.openStartFolder = std::filesystem::current_path(ec).string();
  PresetOpenDialogs dialogs(InteractiveDialogs());
  // A picture on the command line answers the first open dialog, which is
  // then never shown.
  if (!line.picture.empty()) dialogs.Preset(line.picture);
  UseDialogs(&dialogs);
  const int status = RunInteractive(DesktopHandlers(ProgramHandlers(), dialogs));
  UseDialogs(nullptr);
  return status;
}
