// The window in force, and the geometry of showing the frame scaled.
#include "platform/window.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/files.h"
#include "platform/surface.h"
#include "platform/user_folders.h"

namespace {

constexpr int W = Surface::Width;
constexpr int H = Surface::Height;

// One 0x00RRGGBB pixel from RGB bytes.
std::uint32_t Packed(const std::uint8_t* p) {
  return (static_cast<std::uint32_t>(p[0]) << 16) | (static_cast<std::uint32_t>(p[1]) << 8) | p[2];
}

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

std::string LegacyTitle(const std::string& utf8) {
  std::string latin1;
  bool spaceDue = false;  // a space waits until something follows it
  const auto put = [&](unsigned code) {
    if (code == ' ') {
      spaceDue = !latin1.empty();
      return;
    }
    if (spaceDue) latin1 += ' ';
    spaceDue = false;
    latin1 += static_cast<char>(code);
  };
  const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
  const auto* end = p + utf8.size();
  while (p < end) {
    const unsigned lead = *p;
    const int length = lead < 0x80             ? 1
                       : (lead & 0xE0) == 0xC0 ? 2
                       : (lead & 0xF0) == 0xE0 ? 3
                       : (lead & 0xF8) == 0xF0 ? 4
                                               : 0;
    if (length == 0 || end - p < length) {
      ++p;  // not UTF-8: left out
      continue;
    }
    unsigned code = length == 1 ? lead : lead & (0x7Fu >> length);
    bool valid = true;
    for (int k = 1; k < length; ++k) {
      valid = valid && (p[k] & 0xC0) == 0x80;
      code = (code << 6) | (p[k] & 0x3Fu);
    }
    if (!valid) {
      ++p;
      continue;
    }
    p += length;
    if (code == '\t') code = ' ';
    if ((code >= 0x20 && code < 0x7F) || (code >= 0xA0 && code <= 0xFF)) put(code);  // no control characters
  }
  return latin1.empty() ? "vazesample" : latin1;
}

int LargestScaleStepIn(int width, int height) {
  int best = 0;
  for (const int tenths : ScaleSteps) {
    if (static_cast<long long>(W) * tenths <= static_cast<long long>(width) * 10 &&
        static_cast<long long>(H) * tenths <= static_cast<long long>(height) * 10) {
      best = tenths;
    }
  }
  return best;
}

WindowSize SizeAtScaleStep(int tenths) { return {W * tenths / 10, H * tenths / 10}; }

FrameRect FrameLayout(int windowWidth, int windowHeight) {
  FrameRect f;
  windowWidth = std::max(windowWidth, 1);
  windowHeight = std::max(windowHeight, 1);
  if (const int step = LargestScaleStepIn(windowWidth, windowHeight); step > 0) {
    f.whole = step % 10 == 0 ? step / 10 : 0;
    const WindowSize size = SizeAtScaleStep(step);
    f.width = size.width;
    f.height = size.height;
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

WindowSize StartWindowSize(int usableWidth, int usableHeight, int remembered) {
  const int roomHeight = std::max(usableHeight - DecorationRoom, 1);
  const int roomWidth = std::max(usableWidth, 1);
  const int largest = LargestScaleStepIn(roomWidth, roomHeight);
  if (largest > 0) {
    const bool offered = std::find(ScaleSteps.begin(), ScaleSteps.end(), remembered) != ScaleSteps.end();
    return SizeAtScaleStep(offered && remembered <= largest ? remembered : largest);
  }
  const FrameRect fit = FrameLayout(roomWidth, roomHeight);
  return {fit.width, fit.height};
}

int NextScaleStep(int windowWidth, int windowHeight, int direction, int usableWidth, int usableHeight) {
  const int largest = LargestScaleStepIn(std::max(usableWidth, 1), std::max(usableHeight - DecorationRoom, 1));
  if (largest == 0) return 0;
  const int now = LargestScaleStepIn(windowWidth, windowHeight);
  if (now == 0) return direction > 0 ? ScaleSteps.front() : 0;
  const auto at = std::find(ScaleSteps.begin(), ScaleSteps.end(), now);
  if (direction > 0) return std::min(at + 1 == ScaleSteps.end() ? now : *(at + 1), std::max(largest, now));
  return at == ScaleSteps.begin() ? now : *(at - 1);
}

std::string ScaleFileFor(const char* xdgConfigHome, const char* home) {
  const std::string folder = ProgramFolderUnder(xdgConfigHome, home, ".config");
  return folder.empty() ? folder : folder + "/window.conf";
}

int ScaleStepOfText(std::string_view text) {
  const auto trim = [](std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
  };
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    line = line.substr(0, std::min(line.find('#'), line.size()));
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos || trim(line.substr(0, equals)) != "scale") continue;
    // "1", "1.5", "2.0": whole tenths only.
    const std::string_view value = trim(line.substr(equals + 1));
    int whole = 0, tenth = 0;
    const char* last = value.data() + value.size();
    const auto [p, error] = std::from_chars(value.data(), last, whole);
    if (error != std::errc() || whole < 1 || whole > 9) return 0;
    if (p != last) {
      if (*p != '.' || last - p != 2 || !std::isdigit(static_cast<unsigned char>(p[1]))) return 0;
      tenth = p[1] - '0';
    }
    const int tenths = whole * 10 + tenth;
    return std::find(ScaleSteps.begin(), ScaleSteps.end(), tenths) != ScaleSteps.end() ? tenths : 0;
  }
  return 0;
}

int ReadScaleFile(const std::string& path) {
  // A small regular file of ours; anything else names no step.
  std::error_code ec;
  if (path.empty() || !std::filesystem::is_regular_file(path, ec)) return 0;
  const std::uintmax_t size = std::filesystem::file_size(path, ec);
  if (ec || size > 4096) return 0;
  std::ifstream in(path, std::ios::binary);
  std::string text(static_cast<std::size_t>(size), '\0');
  if (!in.read(text.data(), static_cast<std::streamsize>(text.size()))) return 0;
  return ScaleStepOfText(text);
}

bool WriteScaleFile(const std::string& path, int tenths) {
  if (path.empty() || std::find(ScaleSteps.begin(), ScaleSteps.end(), tenths) == ScaleSteps.end()) return false;
  if (!MakeFolder(std::filesystem::path(path).parent_path().string(), nullptr)) return false;
  const std::string text = "scale = " + std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + "\n";
  return WriteFileAtomically(path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

// The frame (RGB, W x H) into `out` (XRGB, frame.width x frame.height, rows
// of `pitch` pixels): whole-number scales repeat pixels; reduced frames are
// filtered bilinearly from the client pixels.
void ScaleFrame(const std::uint8_t* rgb, const FrameRect& frame, std::uint32_t* out, int pitch) {
  if (frame.whole >= 1) {
    const int k = frame.whole;
    std::vector<std::uint32_t> row(static_cast<std::size_t>(frame.width));
    for (int y = 0; y < H; ++y) {
      const std::uint8_t* src = rgb + static_cast<std::size_t>(y) * W * 3;
      for (int x = 0; x < W; ++x) {
        const std::uint32_t px = Packed(src + 3 * x);
        std::fill_n(row.begin() + static_cast<std::ptrdiff_t>(x) * k, k, px);
      }
      for (int r = 0; r < k; ++r)
        std::copy(row.begin(), row.end(), out + static_cast<std::size_t>(y * k + r) * pitch);
    }
    return;
  }
  // Source positions in 1/256 pixel for every destination column and row.
  const auto positions = [](int count, int source) {
    std::vector<std::pair<int, int>> at(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
      const double s = (i + 0.5) * source / count - 0.5;
      const int fixed = std::clamp(static_cast<int>(s * 256.0), 0, (source - 1) * 256);
      at[static_cast<std::size_t>(i)] = {fixed >> 8, fixed & 255};
    }
    return at;
  };
  const auto xs = positions(frame.width, W);
  const auto ys = positions(frame.height, H);
  for (int y = 0; y < frame.height; ++y) {
    const auto [sy, fy] = ys[static_cast<std::size_t>(y)];
    const std::uint8_t* r0 = rgb + static_cast<std::size_t>(sy) * W * 3;
    const std::uint8_t* r1 = rgb + static_cast<std::size_t>(std::min(sy + 1, H - 1)) * W * 3;
    std::uint32_t* dst = out + static_cast<std::size_t>(y) * pitch;
    for (int x = 0; x < frame.width; ++x) {
      const auto [sx, fx] = xs[static_cast<std::size_t>(x)];
      const int sx1 = std::min(sx + 1, W - 1);
      std::uint32_t px = 0;
      for (int c = 0; c < 3; ++c) {
        const int top = r0[3 * sx + c] * (256 - fx) + r0[3 * sx1 + c] * fx;
        const int bottom = r1[3 * sx + c] * (256 - fx) + r1[3 * sx1 + c] * fx;
        const int v = (top * (256 - fy) + bottom * fy + 32768) >> 16;
        px = (px << 8) | static_cast<std::uint32_t>(v);
      }
      dst[x] = px;
    }
  }
}

