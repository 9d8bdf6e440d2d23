#include "pages/pattern/save_as_shown.h"

#include <algorithm>
#include <array>
#include <vector>

#include "app/paint.h"
#include "app/state.h"
#include "image/planes.h"
#include "platform/dialogs.h"

namespace {

// Passes every dialog on, noting whether a file was chosen and whether a
// message (a failure) was shown.
class WatchedDialogs final : public Dialogs {
 public:
  explicit WatchedDialogs(Dialogs& inner) : inner_(inner) {}
  std::optional<std::string> AskFile(const FileDialogRequest& request) override {
    std::optional<std::string> path = inner_.AskFile(request);
    chosen = path.has_value();
    return path;
  }
  MessageAnswer ShowMessage(const std::string& text, const std::string& title, MessageButtons buttons,
                            MessageIcon icon) override {
    messageShown = true;
    return inner_.ShowMessage(text, title, buttons, icon);
  }
  bool chosen = false;
  bool messageShown = false;

 private:
  Dialogs& inner_;
};

}  // namespace

void ServeSaveAsShown() {
  if (SaveAsRequest != 1) return;
  const std::size_t count = static_cast<std::size_t>(Stride) * CanvasRows;
  std::array<std::vector<std::uint32_t>, 3> before;
  for (std::size_t k = 0; k < 3; ++k) before[k].assign(WorkPlanes[k].begin(), WorkPlanes[k].begin() + count);
  Dialogs& previous = CurrentDialogs();
  WatchedDialogs watch(previous);
  UseDialogs(&watch);
  ServeSave();
  UseDialogs(&previous);
  if (!watch.chosen || watch.messageShown) {
    for (std::size_t k = 0; k < 3; ++k) std::copy(before[k].begin(), before[k].end(), WorkPlanes[k].begin());
  }
}
