// The desktop's additions around the window procedure.
//
// [SECTION] Command line and start folders
// [SECTION] Pictures opened without the dialog
// [SECTION] Shortcuts
#include "app/desktop.h"

#include <filesystem>

#include "app/pages.h"
#include "pages/kit/page_state.h"
#include "panel/comments.h"
#include "platform/language.h"

// -----------------------------------------------------------------------------
// [SECTION] Command line and start folders
// -----------------------------------------------------------------------------

std::string UsageText() {
  return "usage: vazesample [--language ja|en] [--workdir DIR] [--desktop] [PICTURE]\n"
         "       vazesample --help | --version\n"
         "\n"
         "Opens the image-processing workbench. With PICTURE (BMP, PNG, JPEG, TIFF,\n"
         "GIF or PNM), that picture is opened at start; without it, the open dialog\n"
         "comes first.\n"
         "\n"
         "Keep files (KEEP0.bmp ... KEEP13.bmp) and work files are written in the\n"
         "working folder: the current folder, or DIR with --workdir. Started from\n"
         "the desktop entry (--desktop) it is $XDG_STATE_HOME/vazesample\n"
         "(~/.local/state/vazesample when XDG_STATE_HOME is not set), made on first\n"
         "use, and the open and save dialogs start in the Pictures folder (as\n"
         "xdg-user-dir PICTURES names it; the home folder without one). From a\n"
         "terminal they start in the current folder.\n"
         "\n"
         "The texts are Japanese when the locale (the first of LC_ALL, LC_MESSAGES\n"
         "and LANG that is set) is Japanese, C, POSIX or not set, and English\n"
         "otherwise; the language key word on the TOP page switches them.\n"
         "\n"
         "Keys: Enter or Ctrl+O open a picture, Ctrl+S saves under a name,\n"
         "Ctrl+Q closes, F1 shows the page's comment. A picture dropped on the\n"
         "window is opened. SIGTERM, SIGINT and SIGHUP end the program at once,\n"
         "without the closing questions: keep files and work files stay.\n"
         "\n"
         "  --language ja|en  start in Japanese or in English, whatever the locale\n"
         "  --workdir DIR     work in the folder DIR, which must exist\n"
         "  --desktop         started from the desktop entry: work in the state\n"
         "                    folder above and open pictures from Pictures\n"
         "  --help            show this text and exit\n"
         "  --version         show the version and exit\n";
}

std::string VersionText() { return std::string("vazesample ") + ProgramVersion + "\n"; }

namespace {

CommandLine Wrong(const std::string& why) {
  CommandLine line;
  line.action = CommandLine::Action::Wrong;
  line.error = why;
  return line;
}

CommandLine Only(CommandLine::Action action) {
  CommandLine line;
  line.action = action;
  return line;
}

std::string AbsoluteNormal(const std::string& path) {
  std::error_code ec;
  const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
  return ec ? path : absolute.lexically_normal().string();
}

}  // namespace

CommandLine ReadCommandLine(int argc, const char* const* argv) {
  CommandLine line;
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i] != nullptr ? argv[i] : "";
    const bool option = !optionsEnded && arg.size() > 1 && arg[0] == '-';
    // An option with a value: "--name VALUE" or "--name=VALUE".
    const auto valueOf = [&](const std::string& name, std::string& value) {
      if (!option) return false;
      if (arg == name) {
        value = i + 1 < argc && argv[i + 1] != nullptr ? argv[++i] : "";
        return true;
      }
      if (arg.rfind(name + "=", 0) == 0) {
        value = arg.substr(name.size() + 1);
        return true;
      }
      return false;
    };
    std::string value;
    if (!optionsEnded && arg == "--") {
      optionsEnded = true;
    } else if (option && (arg == "--help" || arg == "-h")) {
      return Only(CommandLine::Action::Help);
    } else if (option && arg == "--version") {
      return Only(CommandLine::Action::Version);
    } else if (option && arg == "--desktop") {
      line.desktop = true;
    } else if (valueOf("--language", value)) {
      if (value.empty()) {
        return Wrong("--language needs ja or en");
      } else if (value == "ja") {
        line.language = JapaneseLanguage;
      } else if (value == "en") {
        line.language = EnglishLanguage;
      } else {
        return Wrong("--language takes ja or en, not '" + value + "'");
      }
    } else if (valueOf("--workdir", value)) {
      std::error_code ec;
      if (value.empty()) return Wrong("--workdir needs a folder");
      if (!std::filesystem::is_directory(value, ec))
        return Wrong("no folder '" + value + "' (the working folder must exist)");
      line.workFolder = AbsoluteNormal(value);
    } else if (option) {
      return Wrong("unknown option '" + arg + "'");
    } else if (!line.picture.empty()) {
      return Wrong("only one picture can be given");
    } else if (arg.empty()) {
      return Wrong("the picture's name is empty");
    } else {
      std::error_code ec;
      if (!std::filesystem::is_regular_file(arg, ec)) return Wrong("no picture file '" + arg + "'");
      line.picture = AbsoluteNormal(arg);
    }
  }
  return line;
}

StartFolders ChooseStartFolders(const CommandLine& line, const std::string& startedIn, const std::string& stateFolder,
                                const std::string& pictures) {
  StartFolders folders;
  folders.work = startedIn;
  folders.dialogs = startedIn;
  if (line.desktop) {
    // A start from the menu is in the home folder: the keep files go where
    // the program keeps its state, and pictures are looked for in Pictures.
    if (!stateFolder.empty()) {
      folders.work = stateFolder;
      folders.makeWork = true;
    }
    folders.dialogs = pictures;
  }
  if (!line.workFolder.empty()) {
    folders.work = line.workFolder;
    folders.makeWork = false;
  }
  return folders;
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
  Requests.openFile = true;
  MainWindow().Invalidate();
}

// -----------------------------------------------------------------------------
// [SECTION] Shortcuts
// -----------------------------------------------------------------------------

namespace {

constexpr int EnterKey = 13;
constexpr int F1Key = 112;
constexpr int SaveTabX = TabLeft(TabSave) + TabWidth / 2;  // the centre of the Save tab
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
      if (PageId == PageTop) CommentPanel.on = true;
      MainWindow().Invalidate();
      return;
    }
    deliver(m);
  };
  handlers.onDropFile = [&dialogs](const std::string& path) { OpenPictureAsChosen(dialogs, path); };
  return handlers;
}
