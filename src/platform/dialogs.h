// Dialogs and message boxes, as the pages see them.
//
// The program asks for file names and shows its messages only through this
// interface. Two implementations exist: the interactive one (GTK file
// chooser and message boxes) and the scripted one below, which answers from a
// queue and records everything it was asked, for the headless driver and
// the tests. The pages call it; it never calls back into the pages.
#pragma once

#include <deque>
#include <utility>
#include <optional>
#include <string>
#include <vector>

#include "platform/language.h"

struct FileFilter {
  std::string label;    // "ビットマップファイル(*.bmp)", in the current language
  std::string pattern;  // "*.bmp"
};

// The name of the filter that shows every file.
inline constexpr BilingualText AllFilesFilterName{"すべてのファイル(*.*)", "All files (*.*)"};

enum class FileDialogKind { Open, Save };

struct FileDialogRequest {
  FileDialogKind kind = FileDialogKind::Open;
  std::string title;
  std::vector<FileFilter> filters;
  std::string defaultExtension;  // appended to a chosen name that has none
  bool overwritePrompt = false;  // ask before replacing an existing file
  bool mustExist = false;        // only existing files may be chosen
  std::string startFolder;       // empty: the dialog's own choice
  // Check boxes under the file list (a save dialog's choices), and a line of
  // text above them. The dialog leaves each box's state in `on`; a box that
  // is not `enabled` is shown greyed and stays as it is.
  struct Check {
    std::string label;
    bool on = false;
    bool enabled = true;
  };
  std::vector<Check>* checks = nullptr;
  std::string note;
};

enum class MessageButtons { Ok, YesNo, YesNoDefaultNo };  // Enter answers Yes, or No
enum class MessageIcon { None, Question };
enum class MessageAnswer { Ok, Yes, No };

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // The chosen path, or nothing when the user cancelled.
  virtual std::optional<std::string> AskFile(const FileDialogRequest& request) = 0;
  virtual MessageAnswer ShowMessage(const std::string& text, const std::string& title, MessageButtons buttons,
                                    MessageIcon icon) = 0;
  // A long piece of work: `done` of it (0..1) so far, under a title, with a
  // way to stop it (a stop button, Escape). False once the user asked to
  // stop. EndProgress takes the display away.
  virtual bool ShowProgress(const std::string& title, double done) {
    (void)title;
    (void)done;
    return true;
  }
  virtual void EndProgress() {}
};

// The dialogs in force. Starts as a scripted set with nothing queued, so that
// code run without a window never blocks on a dialog.
Dialogs& CurrentDialogs();
void UseDialogs(Dialogs* dialogs);  // nullptr goes back to the start set

// Answers from queues, records what was shown. An unanswered file dialog is
// cancelled; an unanswered Yes/No box gets No.
class ScriptedDialogs : public Dialogs {
 public:
  struct Shown {
    std::string kind;  // "open", "save" or "message"
    std::string title;
    std::string text;                  // message text; empty for dialogs
    std::vector<std::string> filters;  // a file dialog's filter names, in order
    std::vector<std::string> checks;   // its check boxes: "[x] label", "[ ] label", "[-] label" (greyed)
    std::string note;
    std::string startFolder;  // a file dialog's folder to start in
  };

  // A file answer; its check boxes are all left off, as unticked, unless
  // `checksOn` (then every enabled box is on).
  void QueueFile(std::optional<std::string> path, bool checksOn = false) {
    files_.push_back(std::move(path));
    checksOn_.push_back(checksOn);
  }
  void QueueAnswer(MessageAnswer answer) { answers_.push_back(answer); }
  const std::vector<Shown>& shown() const { return shown_; }
  std::vector<Shown> TakeShown() { return std::exchange(shown_, {}); }
  std::size_t MessageCount() const;
  bool HasQueuedFile() const { return !files_.empty(); }

  std::optional<std::string> AskFile(const FileDialogRequest& request) override;
  MessageAnswer ShowMessage(const std::string& text, const std::string& title, MessageButtons buttons,
                            MessageIcon icon) override;
  // Progress reports are counted; StopProgressAfter(n) answers "stop" from
  // the n-th report of a piece of work on (0: never).
  bool ShowProgress(const std::string& title, double done) override;
  void EndProgress() override { progressReports_ = 0; }
  void StopProgressAfter(int reports) { stopAfter_ = reports; }
  int ProgressReportsSeen() const { return progressSeen_; }

 private:
  int stopAfter_ = 0, progressReports_ = 0, progressSeen_ = 0;
  std::deque<std::optional<std::string>> files_;
  std::deque<bool> checksOn_;
  std::deque<MessageAnswer> answers_;
  std::vector<Shown> shown_;
};
