// The headless backend: a window with no display, dialogs answered from a
// script, and the script runner behind vazesample-drive.
//
// HeadlessWindow runs the same window procedure and paint handler as the
// interactive window: Deliver() hands a message to the window procedure,
// RunPendingPaints() paints until nothing is invalid (as an idle message loop
// would), and what Present() copied is the client area "as shown".
// PrintingDialogs answers file dialogs and message boxes from queues and
// prints every one it was asked. The runner parses a whole script first, so
// a malformed line stops it before anything runs.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/dialogs.h"
#include "platform/window.h"

// -----------------------------------------------------------------------------
// The window
// -----------------------------------------------------------------------------

class HeadlessWindow : public Window {
 public:
  HeadlessWindow(WindowHandlers handlers, std::string title);

  void SetTitle(const std::string& title) override;  // records it; reports a change to onTitleChange
  void Invalidate() override { invalid_ = true; }
  void Present() override;  // copies Screen() into Shown()
  void Destroy() override { destroyed_ = true; }

  // Hands one message to the window procedure, then presents (drawing done
  // on the window outside a paint shows at once). Ignored once destroyed.
  void Deliver(const WindowMessage& message);
  // Runs the paint handler while the window is invalid, presenting after
  // each paint. False when it was still invalid after maxPaints paints (a
  // paint handler that keeps invalidating its window).
  bool RunPendingPaints(int maxPaints = 50);

  bool Invalid() const { return invalid_; }
  bool Destroyed() const { return destroyed_; }
  const std::string& Title() const { return title_; }
  int PaintCount() const { return paints_; }
  // The client area as last presented: 1100 x 840, rows top-down, RGB.
  const std::vector<std::uint8_t>& Shown() const { return shown_; }

  std::function<void(const std::string&)> onTitleChange;

 private:
  WindowHandlers handlers_;
  std::string title_;
  bool invalid_ = false;
  bool destroyed_ = false;
  int paints_ = 0;
  std::vector<std::uint8_t> shown_;
};

// -----------------------------------------------------------------------------
// The dialogs
// -----------------------------------------------------------------------------

// Prints "dialog: open|save TITLE" for each file dialog and
// "message: TITLE | TEXT" for each message box (a line feed in TEXT as \n).
// File answers are kept in script order and each goes to a dialog of its own
// kind: an open answer is never given to a save dialog (which would write
// over the picture), so a dialog whose next answer is of the other kind is
// cancelled and the answer waits. An unanswered dialog is cancelled; an
// unanswered Yes/No box gets No; an OK box takes no answer.
class PrintingDialogs : public Dialogs {
 public:
  PrintingDialogs(std::ostream& out, std::ostream& notes);

  void QueueOpen(const std::string& path) { files_.push_back({FileAnswer::Open, path}); }
  void QueueSave(const std::string& path, bool checksOn = false) {
    files_.push_back({FileAnswer::Save, path, checksOn});
  }
  void QueueCancel() { files_.push_back({FileAnswer::Cancel, {}}); }
  void QueueAnswer(MessageAnswer answer) { answers_.push_back(answer); }

  std::optional<std::string> AskFile(const FileDialogRequest& request) override;
  MessageAnswer ShowMessage(const std::string& text, const std::string& title, MessageButtons buttons,
                            MessageIcon icon) override;

 private:
  struct FileAnswer {
    enum Kind { Open, Save, Cancel } kind;
    std::string path;
    bool checksOn = false;
  };
  std::ostream& out_;
  std::ostream& notes_;
  std::deque<FileAnswer> files_;
  std::deque<MessageAnswer> answers_;
};

// The line a message box prints: "message: TITLE | TEXT", line feeds as \n.
std::string MessageLine(const std::string& title, const std::string& text);

// -----------------------------------------------------------------------------
// The script
// -----------------------------------------------------------------------------

enum class DriveOp { Open, Cancel, SaveAs, SaveWhole, AnswerYes, AnswerNo, Click, RightClick, Drag, Move, Key, Wheel, Close, Shot };

struct DriveCommand {
  DriveOp op = DriveOp::Click;
  int line = 0;                  // line number in the script, from 1
  std::string file;              // open, save-as, shot
  std::array<int, 4> xy{};       // click/rclick/move: x, y; drag: x1, y1, x2, y2
  int key = 0;                   // key: the virtual key code
  bool control = false, shift = false;  // key; wheel: shift
  int wheel = 0;                 // wheel: notches, away from the user positive
};

// The keys a script presses, by the names it gives them.
struct DriveKey {
  const char* name;
  int key;
  bool control, shift;
};
inline constexpr std::array<DriveKey, 5> DriveKeys{{
    {"enter", 13, false, false},
    {"ctrl+z", 'Z', true, false},
    {"ctrl+shift+z", 'Z', true, true},
    {"ctrl+y", 'Y', true, false},
    {"ctrl+0", '0', true, false},
}};

// True for the commands that only queue an answer.
bool IsAnswer(DriveOp op);

// Parses a whole script. On the first malformed line: false, with
// "SCRIPT:LINE: what is wrong" in *error.
bool ParseDriveScript(std::string_view text, const std::string& scriptName, std::vector<DriveCommand>& commands,
                      std::string* error);

// Where a run takes place and what it runs.
struct DriveSetup {
  std::string scriptName;    // as given, for messages
  std::string scriptFolder;  // open FILE is relative to it
  std::string workFolder;    // save-as FILE and shot FILE are relative to it
  std::string startTitle;    // the window's title at creation
  std::function<void()> startProgram;            // puts the program's globals to their start values
  std::function<WindowHandlers()> handlers;      // its window procedure and paint handler
  // Writes a shot (1100 x 840 top-down RGB); defaults to a PNG writer.
  std::function<bool(const std::string& path, const std::vector<std::uint8_t>& rgb, std::string* error)> writeShot;
  // Called after every input command has been served, with the window and
  // a way to press a key as a script would (for checks of tests).
  std::function<void(const DriveCommand&, HeadlessWindow&, const std::function<void(const DriveCommand&)>& press)>
      afterInput;
};

// Number of mouse moves a drag makes between its two points.
inline constexpr int DragSteps = 8;

// Runs the commands: answers are queued, the program starts (window,
// dialogs, first paint) just before the first command that is not an
// answer, or at the end, and every input command is followed by paints
// until idle. Program reports go to out, driver errors to err. Returns the
// exit status: 0 when the script ran to its end, 1 when it had to stop (a
// shot that could not be written, input after the window was destroyed).
int RunDriveScript(const std::vector<DriveCommand>& commands, const DriveSetup& setup, std::ostream& out,
                   std::ostream& err);

// The driver's --help text.
std::string DriveUsage();
