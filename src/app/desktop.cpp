// The desktop's additions around the window procedure.
//
// [SECTION] Command line
// [SECTION] Pictures opened without the dialog
// [SECTION] Shortcuts
#include "app/desktop.h"

#include <filesystem>

#include "app/pages.h"
#include "pages/kit/page_state.h"
#include "panel/comments.h"

// -----------------------------------------------------------------------------
// [SECTION] Command line
// -----------------------------------------------------------------------------

std::string UsageText() {
  return "usage: vazesample [PICTURE]\n"
         "       vazesample --help | --version\n"
         "\n"
         "Opens the image-processing workbench. With PICTURE (BMP, PNG, JPEG, TIFF,\n"
         "GIF or PNM), that picture is opened at start; without it, the open dialog\n"
         "comes first. Keep files (KEEP0.bmp ... KEEP13.bmp) and work files are\n"
         "written in the current folder.\n"
         "\n"
         "Keys: Enter or Ctrl+O open a picture, Ctrl+S saves under a name,\n"
         "Ctrl+Q closes, F1 shows the page's comment. A picture dropped on the\n"
         "window is opened.\n"
         "\n"
         "  --help      show this text and exit\n"
         "  --version   show the version and exit\n";
}

std::string VersionText() { return std::string("vazesample ") + ProgramVersion + "\n"; }

CommandLine ReadCommandLine(int argc, const char* const* argv) {
  CommandLine line;
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i] != nullptr ? argv[i] : "";
    if (!optionsEnded && arg == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && (arg == "--help" || arg == "-h")) {
      return CommandLine{CommandLine::Action::Help, {}, {}};
    } else if (!optionsEnded && arg == "--version") {
      return CommandLine{CommandLine::Action::Version, {}, {}};
    } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
      return CommandLine{CommandLine::Action::Wrong, {}, "unknown option '" + arg + "'"};
    } else if (!line.picture.empty()) {
      return CommandLine{CommandLine::Action::Wrong, {}, "only one picture can be given"};
    } else if (arg.empty()) {
      return CommandLine{CommandLine::Action::Wrong, {}, "the picture's name is empty"};
    } else {
      std::error_code ec;
      if (!std::filesystem::is_regular_file(arg, ec))
        return CommandLine{CommandLine::Action::Wrong, {}, "no picture file '" + arg + "'"};
      const std::filesystem::path absolute = std::filesystem::absolute(arg, ec);
      line.picture = ec ? arg : absolute.lexically_normal().string();
    }
  }
  return line;
}

// -----------------------------------------------------------------------------
// [SECTION] Pictures opened without the dialog
// -----------------------------------------------------------------------------

std::optional<std::string> PresetOpenDialogs::AskFile(const FileDialogRequest& request) {
  if (request.kind == FileDialogKind::Open && preset_) {
    std::optional<std::string> answer = std::move(preset_);
    preset_.reset();
    return answer;
  }
  return inner_.AskFile(request);
}

void OpenPictureAsChosen(PresetOpenDialogs& dialogs, const std::string& path) {
  dialogs.Preset(path);
  Requests.openFile = 1;
  MainWindow().Invalidate();
}

// -----------------------------------------------------------------------------
// [SECTION] Shortcuts
// -----------------------------------------------------------------------------

namespace {

constexpr int EnterKey = 13;
constexpr int F1Key = 112;
constexpr int SaveTabX = 100 + 56 * 14 + 28;  // the centre of the Save tab
constexpr int SaveTabY = 16;

}  // namespace

WindowHandlers DesktopHandlers(const WindowHandlers& program, PresetOpenDialogs& dialogs) {
  WindowHandlers handlers = program;
  const auto deliver = program.onMessage;
  handlers.onMessage = [deliver](const WindowMessage& m) {
    if (!deliver) return;
    if (m.kind != MessageKind::KeyDown) return deliver(m);
    WindowMessage as = m;
    as.control = false;
    if (m.control && m.key == 'O') {
      as.key = EnterKey;
      return deliver(as);
    }
    if (m.control && m.key == 'S') {
      as.x = SaveTabX;
      as.y = SaveTabY;
      as.kind = MessageKind::LeftDown;
      as.leftHeld = true;
      deliver(as);
      as.kind = MessageKind::LeftUp;
      as.leftHeld = false;
      return deliver(as);
    }
    if (m.control && m.key == 'Q') {
      as.kind = MessageKind::Close;
      return deliver(as);
    }
    if (m.key == F1Key && !m.control) {
      // The comment lines of the page in hand; on TOP they need the comment
      // switch on.
      CommentPanel.request = CurrentPage().commentCode;
      if (PageId == PageTop) CommentPanel.on = 1;
      MainWindow().Invalidate();
      return;
    }
    deliver(m);
  };
  handlers.onDropFile = [&dialogs](const std::string& path) { OpenPictureAsChosen(dialogs, path); };
  return handlers;
}
