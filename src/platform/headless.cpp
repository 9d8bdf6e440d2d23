// The headless backend and the script runner.
//
// [SECTION] The window
// [SECTION] The dialogs
// [SECTION] Parsing a script
// [SECTION] Running a script
// [SECTION] Usage text
#include "platform/headless.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <ostream>
#include <sstream>

#include "platform/picture_loader.h"
#include "platform/surface.h"

// -----------------------------------------------------------------------------
// [SECTION] The window
// -----------------------------------------------------------------------------

HeadlessWindow::HeadlessWindow(WindowHandlers handlers, std::string title)
    : handlers_(std::move(handlers)),
      title_(std::move(title)),
      shown_(static_cast<std::size_t>(Surface::Width) * Surface::Height * 3, 255) {}

void HeadlessWindow::SetTitle(const std::string& title) {
  if (title == title_) return;
  title_ = title;
  if (onTitleChange) onTitleChange(title_);
}

void HeadlessWindow::Present() {
  const std::uint8_t* data = Screen().Data();
  std::copy(data, data + shown_.size(), shown_.begin());
}

void HeadlessWindow::Deliver(const WindowMessage& message) {
  if (destroyed_) return;
  if (handlers_.onMessage) handlers_.onMessage(message);
  Present();
}

bool HeadlessWindow::RunPendingPaints(int maxPaints) {
  for (int k = 0; k < maxPaints; ++k) {
    if (!invalid_ || destroyed_) return true;
    invalid_ = false;
    ++paints_;
    if (handlers_.onPaint) handlers_.onPaint();
    Present();
  }
  return !invalid_ || destroyed_;
}

// -----------------------------------------------------------------------------
// [SECTION] The dialogs
// -----------------------------------------------------------------------------

std::string MessageLine(const std::string& title, const std::string& text) {
  std::string line = "message: " + title + " | ";
  for (char c : text) {
    if (c == '\n')
      line += "\\n";
    else if (c != '\r')
      line += c;
  }
  return line;
}

PrintingDialogs::PrintingDialogs(std::ostream& out, std::ostream& notes) : out_(out), notes_(notes) {}

std::optional<std::string> PrintingDialogs::AskFile(const FileDialogRequest& request) {
  const bool open = request.kind == FileDialogKind::Open;
  out_ << "dialog: " << (open ? "open " : "save ") << request.title << '\n';
  if (!request.note.empty()) out_ << "dialog note: " << request.note << '\n';
  if (request.checks != nullptr) {
    for (const FileDialogRequest::Check& c : *request.checks) {
      out_ << "dialog check: " << (c.enabled ? "" : "(greyed) ") << c.label << '\n';
    }
  }
  out_ << std::flush;
  if (files_.empty()) return std::nullopt;
  const FileAnswer& next = files_.front();
  if (next.kind == FileAnswer::Cancel) {
    files_.pop_front();
    return std::nullopt;
  }
  if ((next.kind == FileAnswer::Open) != open) {
    notes_ << "vazesample-drive: the " << (open ? "open" : "save") << " dialog is cancelled: the next file answer ("
           << next.path << ") is for " << (open ? "a save" : "an open") << " dialog\n"
           << std::flush;
    return std::nullopt;
  }
  std::string path = next.path;
  const bool checksOn = next.checksOn;
  files_.pop_front();
  if (request.checks != nullptr) {
    for (FileDialogRequest::Check& c : *request.checks) {
      if (c.enabled) c.on = checksOn;
    }
  }
  if (open) {
    // The open dialog only takes files that exist.
    std::error_code ec;
    if (request.mustExist && !std::filesystem::is_regular_file(path, ec)) {
      notes_ << "vazesample-drive: " << path << ": no such file; the open dialog is cancelled\n" << std::flush;
      return std::nullopt;
    }
    return path;
  }
  // As a save dialog does: a name without an extension gets the default one.
  if (!request.defaultExtension.empty()) {
    const std::string leaf = std::filesystem::path(path).filename().string();
    if (leaf.find('.') == std::string::npos) path += "." + request.defaultExtension;
  }
  return path;
}

MessageAnswer PrintingDialogs::ShowMessage(const std::string& text, const std::string& title,
                                           MessageButtons buttons, MessageIcon) {
  out_ << MessageLine(title, text) << '\n' << std::flush;
  if (buttons == MessageButtons::Ok) return MessageAnswer::Ok;
  if (answers_.empty()) return MessageAnswer::No;
  const MessageAnswer answer = answers_.front();
  answers_.pop_front();
  return answer;
}

// -----------------------------------------------------------------------------
// [SECTION] Parsing a script
// -----------------------------------------------------------------------------

bool IsAnswer(DriveOp op) {
  return op == DriveOp::Open || op == DriveOp::Cancel || op == DriveOp::SaveAs || op == DriveOp::SaveWhole ||
         op == DriveOp::AnswerYes ||
         op == DriveOp::AnswerNo;
}

namespace {

// The command table: name, what follows it, the operation.
enum class Operands { None, File, PngFile, YesNo, Point, TwoPoints, KeyName, Notches };

struct CommandRow {
  const char* name;
  Operands operands;
  DriveOp op;
  const char* form;  // how the line should look, for messages
};

constexpr CommandRow CommandTable[] = {
    {"open", Operands::File, DriveOp::Open, "open FILE"},
    {"cancel", Operands::None, DriveOp::Cancel, "cancel"},
    {"save-as", Operands::File, DriveOp::SaveAs, "save-as FILE"},
    {"save-whole", Operands::File, DriveOp::SaveWhole, "save-whole FILE"},
    {"answer", Operands::YesNo, DriveOp::AnswerYes, "answer yes|no"},
    {"click", Operands::Point, DriveOp::Click, "click X Y"},
    {"rclick", Operands::Point, DriveOp::RightClick, "rclick X Y"},
    {"drag", Operands::TwoPoints, DriveOp::Drag, "drag X1 Y1 X2 Y2"},
    {"move", Operands::Point, DriveOp::Move, "move X Y"},
    {"key", Operands::KeyName, DriveOp::Key, "key NAME"},
    {"wheel", Operands::Notches, DriveOp::Wheel, "wheel [shift] N"},
    {"close", Operands::None, DriveOp::Close, "close"},
    {"shot", Operands::PngFile, DriveOp::Shot, "shot FILE.png"},
};

std::string_view Trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

// A '#' at the start of the line or after a blank starts a comment, so file
// names may still hold one ("shot take#2.png").
std::string_view StripComment(std::string_view line) {
  for (std::size_t i = 0; i < line.size(); ++i)
    if (line[i] == '#' && (i == 0 || std::isspace(static_cast<unsigned char>(line[i - 1]))))
      return line.substr(0, i);
  return line;
}

std::vector<std::string_view> Words(std::string_view s) {
  std::vector<std::string_view> words;
  std::size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
    const std::size_t start = i;
    while (i < s.size() && !std::isspace(static_cast<unsigned char>(s[i]))) ++i;
    if (i > start) words.push_back(s.substr(start, i - start));
  }
  return words;
}

bool ParseInt(std::string_view word, int& value) {
  const char* first = word.data();
  const char* last = word.data() + word.size();
  if (first != last && *first == '+') ++first;
  const auto [ptr, ec] = std::from_chars(first, last, value);
  return ec == std::errc() && ptr == last && first != last;
}

bool EndsWithPng(std::string_view file) {
  if (file.size() < 5) return false;
  std::string tail(file.substr(file.size() - 4));
  for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return tail == ".png";
}

// "DIR/", ".", "..", "DIR/." and the like name a folder, never a file.
bool NamesAFolder(std::string_view file) {
  const std::size_t slash = file.find_last_of('/');
  const std::string_view leaf = slash == std::string_view::npos ? file : file.substr(slash + 1);
  return leaf.empty() || leaf == "." || leaf == "..";
}

// Checks one line; an empty string means it is good.
std::string ParseLine(std::string_view text, DriveCommand& command, bool& blank) {
  blank = false;
  const std::string_view line = Trim(StripComment(text));
  if (line.empty()) {
    blank = true;
    return {};
  }
  const std::vector<std::string_view> words = Words(line);
  const std::string_view name = words.front();
  const CommandRow* row = nullptr;
  for (const CommandRow& r : CommandTable)
    if (name == r.name) row = &r;
  if (row == nullptr)
    return "unknown command '" + std::string(name) +
           "' (commands: open, cancel, save-as, save-whole, answer, click, rclick, drag, move, key, wheel, close, shot)";
  command.op = row->op;
  const std::string_view rest = Trim(line.substr(name.size()));
  const std::size_t operandCount = words.size() - 1;
  const std::string form = std::string("'") + row->form + "'";
  switch (row->operands) {
    case Operands::None:
      if (operandCount != 0) return std::string(name) + " takes nothing after it: write " + form;
      return {};
    case Operands::File:
    case Operands::PngFile:
      if (rest.empty()) return std::string(name) + " needs a file name: write " + form;
      if (row->operands == Operands::PngFile && !EndsWithPng(rest))
        return "a shot is a PNG file: the name must end in .png: write " + form;
      if (NamesAFolder(rest)) return std::string(name) + " needs a file name, not a folder: write " + form;
      command.file = std::string(rest);
      return {};
    case Operands::YesNo:
      if (operandCount == 1 && words[1] == "yes") {
        command.op = DriveOp::AnswerYes;
        return {};
      }
      if (operandCount == 1 && words[1] == "no") {
        command.op = DriveOp::AnswerNo;
        return {};
      }
      return "answer is 'answer yes' or 'answer no'";
    case Operands::KeyName:
      for (const DriveKey& key : DriveKeys) {
        if (operandCount == 1 && words[1] == key.name) {
          command.key = key.key;
          command.control = key.control;
          command.shift = key.shift;
          return {};
        }
      }
      return "the keys a script presses are enter, ctrl+z, ctrl+shift+z, ctrl+y and ctrl+0: write " + form;
    case Operands::Notches: {
      const bool shift = operandCount == 2 && words[1] == "shift";
      int notches = 0;
      if (operandCount != (shift ? 2u : 1u) || !ParseInt(words[operandCount], notches) || notches == 0 ||
          notches < -100 || notches > 100)
        return "wheel takes a whole number of notches, -100..100 but not 0 (away from the user positive): write " +
               form;
      command.shift = shift;
      command.wheel = notches;
      return {};
    }
    case Operands::Point:
    case Operands::TwoPoints: {
      const std::size_t want = row->operands == Operands::Point ? 2 : 4;
      if (operandCount != want)
        return std::string(name) + " needs " + (want == 2 ? "two" : "four") + " whole numbers: write " + form;
      for (std::size_t k = 0; k < want; ++k) {
        int v = 0;
        if (!ParseInt(words[k + 1], v)) {
          std::string problem(1, '\'');
          problem.append(words[k + 1]).append("' is not a whole number: write ").append(form);
          return problem;
        }
        const bool isX = k % 2 == 0;
        const int limit = isX ? Surface::Width : Surface::Height;
        if (v < 0 || v >= limit)
          return std::string(isX ? "x " : "y ") + std::to_string(v) + " lies outside the client area (0.." +
                 std::to_string(limit - 1) + ")";
        command.xy[k] = v;
      }
      return {};
    }
  }
  return {};
}

}  // namespace

bool ParseDriveScript(std::string_view text, const std::string& scriptName, std::vector<DriveCommand>& commands,
                      std::string* error) {
  std::vector<DriveCommand> parsed;
  int lineNumber = 0;
  std::size_t pos = 0;
  while (pos <= text.size()) {
    const std::size_t end = std::min(text.find('\n', pos), text.size());
    const std::string_view line = text.substr(pos, end - pos);
    ++lineNumber;
    pos = end + 1;
    if (end == text.size() && line.empty()) break;
    DriveCommand command;
    command.line = lineNumber;
    bool blank = false;
    const std::string problem = ParseLine(line, command, blank);
    if (!problem.empty()) {
      if (error != nullptr) *error = scriptName + ":" + std::to_string(lineNumber) + ": " + problem;
      return false;
    }
    if (!blank) parsed.push_back(std::move(command));
  }
  commands = std::move(parsed);
  return true;
}

// -----------------------------------------------------------------------------
// [SECTION] Running a script
// -----------------------------------------------------------------------------

namespace {

std::string Resolve(const std::string& folder, const std::string& file) {
  const std::filesystem::path path(file);
  if (path.is_absolute() || folder.empty()) return file;
  return (std::filesystem::path(folder) / path).lexically_normal().string();
}

const char* CommandName(DriveOp op) {
  for (const CommandRow& r : CommandTable)
    if (r.op == op) return r.name;
  return op == DriveOp::AnswerNo ? "answer" : "?";
}

// Puts the window and dialogs of the run back when it ends, however it ends.
struct InForce {
  ~InForce() {
    UseWindow(nullptr);
    UseDialogs(nullptr);
  }
};

}  // namespace

int RunDriveScript(const std::vector<DriveCommand>& commands, const DriveSetup& setup, std::ostream& out,
                   std::ostream& err) {
  PrintingDialogs dialogs(out, err);
  std::optional<HeadlessWindow> window;
  InForce restore;
  int closedAt = 0;  // line of the close that destroyed the window

  auto settle = [&] {
    if (!window->RunPendingPaints())
      err << "vazesample-drive: the paint handler keeps invalidating the window; going on\n" << std::flush;
  };
  auto start = [&] {
    window.emplace(setup.handlers ? setup.handlers() : WindowHandlers{}, setup.startTitle);
    window->onTitleChange = [&out](const std::string& title) { out << "title: " << title << '\n' << std::flush; };
    UseWindow(&*window);
    UseDialogs(&dialogs);
    if (setup.startProgram) setup.startProgram();
    window->Invalidate();
    settle();
  };
  auto deliver = [&](MessageKind kind, int x, int y, bool held, int key = 0, bool control = false, bool shift = false,
                     int wheel = 0) {
    WindowMessage message;
    message.wheel = wheel;
    message.kind = kind;
    message.x = x;
    message.y = y;
    message.leftHeld = held;
    message.key = key;
    message.control = control;
    message.shift = shift;
    window->Deliver(message);
    settle();
  };

  for (const DriveCommand& c : commands) {
    switch (c.op) {
      case DriveOp::Open: dialogs.QueueOpen(Resolve(setup.scriptFolder, c.file)); continue;
      case DriveOp::Cancel: dialogs.QueueCancel(); continue;
      case DriveOp::SaveAs: dialogs.QueueSave(Resolve(setup.workFolder, c.file)); continue;
      case DriveOp::SaveWhole: dialogs.QueueSave(Resolve(setup.workFolder, c.file), true); continue;
      case DriveOp::AnswerYes: dialogs.QueueAnswer(MessageAnswer::Yes); continue;
      case DriveOp::AnswerNo: dialogs.QueueAnswer(MessageAnswer::No); continue;
      default: break;
    }
    if (!window) start();
    if (c.op == DriveOp::Shot) {
      const std::string path = Resolve(setup.workFolder, c.file);
      std::string problem;
      const bool written = setup.writeShot ? setup.writeShot(path, window->Shown(), &problem)
                                           : SavePng(path, Surface::Width, Surface::Height, window->Shown().data(),
                                                     &problem);
      if (!written) {
        err << setup.scriptName << ':' << c.line << ": cannot write the shot " << path << ": " << problem << '\n';
        return 1;
      }
      continue;
    }
    if (window->Destroyed()) {
      err << setup.scriptName << ':' << c.line << ": the window was closed at line " << closedAt << "; '"
          << CommandName(c.op) << "' cannot run after that\n";
      return 1;
    }
    const auto& p = c.xy;
    switch (c.op) {
      case DriveOp::Click:
        deliver(MessageKind::LeftDown, p[0], p[1], true);
        deliver(MessageKind::LeftUp, p[0], p[1], false);
        break;
      case DriveOp::RightClick: deliver(MessageKind::RightDown, p[0], p[1], false); break;
      case DriveOp::Move: deliver(MessageKind::MouseMove, p[0], p[1], false); break;
      case DriveOp::Drag:
        deliver(MessageKind::LeftDown, p[0], p[1], true);
        for (int k = 1; k <= DragSteps; ++k)
          deliver(MessageKind::MouseMove, p[0] + (p[2] - p[0]) * k / DragSteps, p[1] + (p[3] - p[1]) * k / DragSteps,
                  true);
        deliver(MessageKind::LeftUp, p[2], p[3], false);
        break;
      case DriveOp::Key: deliver(MessageKind::KeyDown, 0, 0, false, c.key, c.control, c.shift); break;
      case DriveOp::Wheel: deliver(MessageKind::Wheel, 0, 0, false, 0, false, c.shift, c.wheel); break;
      case DriveOp::Close:
        deliver(MessageKind::Close, 0, 0, false);
        if (window->Destroyed()) closedAt = c.line;
        break;
      default: break;
    }
    if (setup.afterInput && !window->Destroyed()) {
      setup.afterInput(c, *window, [&](const DriveCommand& key) {
        deliver(MessageKind::KeyDown, 0, 0, false, key.key, key.control, key.shift);
      });
    }
  }
  if (!window) start();
  out << std::flush;
  return 0;
}

// -----------------------------------------------------------------------------
// [SECTION] Usage text
// -----------------------------------------------------------------------------

std::string DriveUsage() {
  return R"(usage: vazesample-drive [--workdir DIR] [--check-steps] [--check-history] SCRIPT

Runs vazesample without a display in DIR (default: the current folder; it
must exist) and feeds it the commands of SCRIPT, one a line. '#' at the start
of a line or after a blank starts a comment; blank lines are skipped. With
--check-steps (for tests), every save that offers the whole picture runs the
steps again on the canvas part and compares; with --check-history, every
change an input makes is undone (the image area must be as before it) and
redone (as after it). A difference is reported and the run exits 1.

Answers, queued for the dialogs and message boxes to come:
  open FILE        the next open dialog chooses FILE (relative to the
                   script's folder, or absolute); a file that does not exist
                   cancels that dialog
  cancel           the next open or save dialog is cancelled
  save-as FILE     the next save dialog chooses FILE (relative to DIR, or
                   absolute); a name without extension gets the dialog's one;
                   the dialog's check boxes are left off
  save-whole FILE  the same with every check box on (the whole picture, and
                   its steps as FILE's name with .toml)
  answer yes|no    the next Yes/No message box
An unanswered file dialog is cancelled, an unanswered Yes/No box gets No, an
OK box needs no answer. File answers keep their kind: an open answer is never
given to a save dialog (that dialog is cancelled and the answer waits).

Input, each followed by paints until nothing is invalid:
  click X Y        left button down and up at client point (X, Y)
  rclick X Y       right click
  drag X1 Y1 X2 Y2 left down at the first point, 8 moves with the button
                   held, up at the second
  move X Y         mouse move without buttons
  key NAME         a key: enter, ctrl+z (undo), ctrl+shift+z or ctrl+y
                   (redo), ctrl+0 (the whole picture in view)
  wheel N          N notches of the mouse wheel (away from the user
                   positive): the canvas's window moves up N quarters of the
                   canvas over a picture larger than it (down for -N)
  wheel shift N    the same with Shift held: left (right for -N)
  close            the window's close button
  shot FILE.png    writes the client area as shown (1100 x 840) as a PNG
                   (relative to DIR, or absolute)
Client points lie in 0..1099 x 0..839.

The program starts, with its first paint, just before the first command that
is not an answer (or at the end of a script of answers only). Once a close
has destroyed the window, a further input command stops the run with an
error; shots still write the last picture shown.

Output, one line each: "message: TITLE | TEXT" for a message box (line feeds
in TEXT as \n), "dialog: open|save TITLE" for a dialog, "title: TEXT" when the
window title changes.

Exit status: 0 when the script ran to its end; 1 when the run had to stop
(a shot not written, input after the window was destroyed); 2 for a bad
command line or a malformed script line, reported as "SCRIPT:LINE: what is
wrong" before anything runs.
)";
}
