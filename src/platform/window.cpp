// The window in force, and the geometry of showing the frame scaled.
#include "platform/window.h"

#include <algorithm>

#include "platform/surface.h"

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

// Room kept for a title bar and borders when choosing the start size.
constexpr int DecorationRoom = 48;
}  // namespace

Window& MainWindow() {
  static NoWindow none;
  return current != nullptr ? *current : none;
}

void UseWindow(Window* window) { current = window; }

FrameRect FrameLayout(int windowWidth, int windowHeight) {
  constexpr int W = Surface::Width;
  constexpr int H = Surface::Height;
  FrameRect f;
  windowWidth = std::max(windowWidth, 1);
  windowHeight = std::max(windowHeight, 1);
  const int whole = std::min(windowWidth / W, windowHeight / H);
  if (whole >= 1) {
    f.whole = whole;
    f.width = W * whole;
    f.height = H * whole;
  } else {
    // Reduced: the side that limits the fit takes the window's full length;
    // the other follows the aspect ratio (integers, rounded, at least 1).
    f.whole = 0;
    if (static_cast<long long>(windowWidth) * H <= static_cast<long long>(windowHeight) * W) {
      f.width = windowWidth;
      f.height = std::max(1, static_cast<int>((static_cast<long long>(windowWidth) * H + W / 2) / W));
    } else {
      f.height = windowHeight;
      f.width = std::max(1, static_cast<int>((static_cast<long long>(windowHeight) * W + H / 2) / H));
    }
  }
  f.left = (windowWidth - f.width) / 2;
  f.top = (windowHeight - f.height) / 2;
  return f;
}

bool ClientFromWindow(const FrameRect& frame, int wx, int wy, int& x, int& y) {
  const bool inside =
      wx >= frame.left && wx < frame.left + frame.width && wy >= frame.top && wy < frame.top + frame.height;
  const auto map = [](int w, int origin, int length, int client) {
    if (length <= 0) return 0;
    const long long scaled = static_cast<long long>(w - origin) * client;
    // Floor division, so that points left of or above the frame map below 0
    // before clamping.
    long long c = scaled >= 0 ? scaled / length : -((-scaled + length - 1) / length);
    return static_cast<int>(std::clamp<long long>(c, 0, client - 1));
  };
  x = map(wx, frame.left, frame.width, Surface::Width);
  y = map(wy, frame.top, frame.height, Surface::Height);
  return inside;
}

WindowSize StartWindowSize(int usableWidth, int usableHeight) {
  constexpr int W = Surface::Width;
  constexpr int H = Surface::Height;
  const int roomHeight = std::max(usableHeight - DecorationRoom, 1);
  const int roomWidth = std::max(usableWidth, 1);
  const int whole = std::min(roomWidth / W, roomHeight / H);
  if (whole >= 1) return {W * whole, H * whole};
  const FrameRect fit = FrameLayout(roomWidth, roomHeight);
  return {fit.width, fit.height};
}
