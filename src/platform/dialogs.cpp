#include "platform/dialogs.h"

#include <algorithm>

namespace {
ScriptedDialogs& StartDialogs() {
  static ScriptedDialogs dialogs;
  return dialogs;
}
Dialogs* current = nullptr;
}  // namespace

Dialogs& CurrentDialogs() { return current != nullptr ? *current : StartDialogs(); }
void UseDialogs(Dialogs* dialogs) { current = dialogs; }

std::size_t ScriptedDialogs::MessageCount() const {
  return static_cast<std::size_t>(
      std::count_if(shown_.begin(), shown_.end(), [](const Shown& s) { return s.kind == "message"; }));
}

std::optional<std::string> ScriptedDialogs::AskFile(const FileDialogRequest& request) {
  Shown shown{request.kind == FileDialogKind::Open ? "open" : "save", request.title, {}, {}, {}, request.note, {}};
  for (const FileFilter& filter : request.filters) shown.filters.push_back(filter.label);
  if (request.checks != nullptr) {
    for (const FileDialogRequest::Check& c : *request.checks) {
      shown.checks.push_back((!c.enabled ? "[-] " : c.on ? "[x] " : "[ ] ") + c.label);
    }
  }
  shown.startFolder = request.startFolder;
  shown_.push_back(std::move(shown));
  if (files_.empty()) return std::nullopt;
  std::optional<std::string> answer = std::move(files_.front());
  const bool checksOn = checksOn_.empty() ? false : checksOn_.front();
  files_.pop_front();
  if (!checksOn_.empty()) checksOn_.pop_front();
  if (answer && request.checks != nullptr) {
    for (FileDialogRequest::Check& c : *request.checks) {
      if (c.enabled) c.on = checksOn;
    }
  }
  if (answer && request.kind == FileDialogKind::Save && !request.defaultExtension.empty()) {
    // As a save dialog does: a name without an extension gets the default one.
    const std::size_t slash = answer->find_last_of('/');
    const std::string leaf = slash == std::string::npos ? *answer : answer->substr(slash + 1);
    if (leaf.find('.') == std::string::npos) *answer += "." + request.defaultExtension;
  }
  return answer;
}

MessageAnswer ScriptedDialogs::ShowMessage(const std::string& text, const std::string& title,
                                           MessageButtons buttons, MessageIcon) {
  shown_.push_back({"message", title, text, {}, {}, {}, {}});
  if (buttons == MessageButtons::Ok) return MessageAnswer::Ok;
  if (answers_.empty()) return MessageAnswer::No;
  const MessageAnswer answer = answers_.front();
  answers_.pop_front();
  return answer;
}

bool ScriptedDialogs::ShowProgress(const std::string&, double) {
  ++progressReports_;
  ++progressSeen_;
  return stopAfter_ == 0 || progressReports_ < stopAfter_;
}
