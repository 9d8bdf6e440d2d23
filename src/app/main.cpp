// The program's entry: the command line, the start language and the working
// folder, then the interactive window and dialogs around the program.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/desktop.h"
#include "app/program.h"
#include "image/bmp_files.h"
#include "platform/dialogs.h"
#include "platform/interactive/interactive.h"
#include "platform/language.h"
#include "platform/user_folders.h"

namespace {

// Moves into the working folder (made first when asked). False, with one
// sentence in *why, when the program cannot work there.
bool EnterWorkFolder(const StartFolders& folders, std::string* why) {
  if (folders.makeWork && !MakeFolder(folders.work, why)) return false;
  std::error_code ec;
  std::filesystem::current_path(folders.work, ec);
  if (ec) *why = "cannot work in " + folders.work + ": " + ec.message();
  return !ec;
}

}  // namespace

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

  StartLanguageId = line.language != 0
                        ? line.language
                        : LanguageFromLocale(std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"), std::getenv("LANG"));

  // The working folder: where the program was started, unless it was started
  // from the desktop entry or --workdir names one. All files are opened by
  // relative name there.
  std::error_code ec;
  const std::string startedIn = std::filesystem::current_path(ec).string();
  const std::string stateFolder =
      line.desktop ? StateFolderFor(std::getenv("XDG_STATE_HOME"), std::getenv("HOME")) : std::string();
  const StartFolders folders =
      ChooseStartFolders(line, startedIn, stateFolder, line.desktop ? PicturesFolder() : "");
  std::string why;
  if (folders.work != startedIn && !EnterWorkFolder(folders, &why)) {
    if (!line.workFolder.empty()) {
      std::fprintf(stderr, "vazesample: %s\n", why.c_str());
      return 2;
    }
    std::fprintf(stderr, "vazesample: %s; the keep files are written in %s\n", why.c_str(), startedIn.c_str());
  }

  if (!OpenInteractiveWindow(ProgramTitleAtStart, &why)) {
    std::fprintf(stderr,
                 "vazesample: %s; run it on a desktop, or use vazesample-drive for a headless run\n",
                 why.c_str());
    return 1;
  }
  StartProgram();
  PictureFile.openStartFolder = folders.dialogs;
  SetDialogStartFolder(folders.dialogs);
  PresetOpenDialogs dialogs(InteractiveDialogs());
  // A picture on the command line answers the first open dialog, which is
  // then never shown.
  if (!line.picture.empty()) dialogs.Preset(line.picture);
  UseDialogs(&dialogs);
  const int status = RunInteractive(DesktopHandlers(ProgramHandlers(), dialogs));
  UseDialogs(nullptr);
  // Ended by a signal: the process ends as that signal asks.
  EndAsSignalled();
  return status;
}
