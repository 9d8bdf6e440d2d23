// What the program adds on a desktop around the window procedure: its
// command line, keyboard shortcuts, and pictures opened without the open
// dialog (from the command line or dropped on the window).
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

// `vazesample [PICTURE]`, `--help`, `--version`.
struct CommandLine {
  enum class Action { Run, Help, Version, Wrong };
  Action action = Action::Run;
  std::string picture;  // absolute path, empty when none was given
  std::string error;    // Wrong: one sentence saying what is wrong
};
CommandLine ReadCommandLine(int argc, const char* const* argv);
std::string UsageText();
std::string VersionText();

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
