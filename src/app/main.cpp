// The program's entry: the interactive window and dialogs around the program.
#include <cstdio>
#include <filesystem>
#include <string>

#include "app/program.h"
#include "image/bmp_files.h"
#include "platform/dialogs.h"
#include "platform/interactive/interactive.h"

int main() {
  std::string why;
  if (!OpenInteractiveWindow(ProgramTitleAtStart, &why) || !StartGtk(&why)) {
    std::fprintf(stderr,
                 "vazesample: no display found (%s); run it on a desktop, or use vazesample-drive for a headless "
                 "run\n",
                 why.c_str());
    return 1;
  }
  StartProgram();
  // The open dialog starts in the folder the program was started in, where
  // the sample picture is.
  std::error_code ec;
  OpenStartFolder = std::filesystem::current_path(ec).string();
  UseDialogs(&InteractiveDialogs());
  const int status = RunInteractive(ProgramHandlers());
  UseDialogs(nullptr);
  return status;
}
