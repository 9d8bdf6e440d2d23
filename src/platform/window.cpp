#include "platform/window.h"

namespace {
// Stands in before a backend has set its window, so that drawing code run
// without one (tests, tools) never dereferences nothing.
class NoWindow : public Window {
 public:
  void SetTitle(const std::string&) override {}
  void Invalidate() override {}
  void Present() override {}
  void Destroy() override {}
};

Window* current = nullptr;
}  // namespace

Window& MainWindow() {
  static NoWindow none;
  return current != nullptr ? *current : none;
}

void UseWindow(Window* window) { current = window; }
