// What the program adds on a desktop around the window procedure: its
// command line (with the start language and the working folder), keyboard
// shortcuts, and pictures opened without the open dialog (from the command
// line or dropped on the window).
//
// A picture opened these ways goes exactly the way of one chosen in the open
// dialog: the next open dialog is answered with it instead of being shown,
// and the paint handler does the rest.
#pragma once

#include <optional>
#include <string>

#include "platform/dialogs.h"
#include "platform/window.h"

inline constexpr const char* ProgramVersion = "0.1.0";

// `vazesample [--language ja|en] [--workdir DIR] [--desktop] [PICTURE]`,
// `--help`, `--version`. An option's value may also follow an '='.
struct CommandLine {
  enum class Action { Run, Help, Version, Wrong };
  Action action = Action::Run;
  std::string picture;     // absolute path, empty when none was given
  std::string error;       // Wrong: one sentence saying what is wrong
  int language = 0;        // --language: JapaneseLanguage or EnglishLanguage; 0 when not given
  std::string workFolder;  // --workdir: an existing folder, absolute; empty when not given
  bool desktop = false;    // --desktop: started from the desktop entry (the menu, a file manager)
};
CommandLine ReadCommandLine(int argc, const char* const* argv);
std::string UsageText();
std::string VersionText();

// Where a run works and where its dialogs start.
struct StartFolders {
  std::string work;       // the working folder: keep files and work files
  bool makeWork = false;  // made (with its parents) when missing
  std::string dialogs;    // where the open and save dialogs start until a picture is in hand
};

// The folders for a command line. `startedIn` is the current folder at start,
// `stateFolder` the program's folder under the user's state home
// (StateFolderFor), `pictures` the user's Pictures folder (PicturesFolder).
// A terminal start works in startedIn; a start from the desktop entry works
// in stateFolder, made on first use, and its dialogs start in pictures;
// --workdir chooses the working folder in either case.
StartFolders ChooseStartFolders(const CommandLine& line, const std::string& startedIn, const std::string& stateFolder,
                                const std::string& pictures);

// Answers the next open dialog with a preset picture, once; everything else
// goes to the dialogs it wraps.
class PresetOpenDialogs : public Dialogs {
 public:
  explicit PresetOpenDialogs(Dialogs& inner) : inner_(inner) {}
  void Preset(const std::string& path) { preset_ = path; }
  bool HasPreset() const { return preset_.has_value(); }

  std::optional<std::string> AskFile(const FileDialogRequest& request) override;
  MessageAnswer ShowMessage(const std::string& text, const std::string& title, MessageButtons buttons,
                            MessageIcon icon) override {
    return inner_.ShowMessage(text, title, buttons, icon);
  }
  bool ShowProgress(const std::string& title, double done) override { return inner_.ShowProgress(title, done); }
  void EndProgress() override { inner_.EndProgress(); }

 private:
  Dialogs& inner_;
  std::optional<std::string> preset_;
};

// Opens the picture at the next paint as if it had been chosen in the open
// dialog (the Enter key's way).
void OpenPictureAsChosen(PresetOpenDialogs& dialogs, const std::string& path);

// The program's handlers with the desktop's keys and drops in front:
// Ctrl+O opens (as Enter), Ctrl+S is the Save tab, Ctrl+Q closes (as the
// close button), F1 shows the current page's comment; a dropped file opens.
WindowHandlers DesktopHandlers(const WindowHandlers& program, PresetOpenDialogs& dialogs);
