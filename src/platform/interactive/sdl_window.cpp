// The SDL2 window and its message loop.
//
// [SECTION] Key codes: SDL keys to the virtual key codes the program knows
// [SECTION] The window
// [SECTION] Ending on a signal
// [SECTION] Opening the window
// [SECTION] Modal dialogs
// [SECTION] The loop
//
// Input waits in SDL's queue while a paint runs, as it waits in a message
// queue: Present() only shows the frame and pumps nothing, so a long pass
// can show its progress without taking new clicks in the middle of it.
//
// The frame last presented is kept. An expose (the window uncovered, mapped
// again, resized) shows that frame again and never runs the paint handler:
// the paint serves one-shot requests (a comment, an explanation, the open
// prompt), and painting again would wipe what they drew.
#include <SDL.h>
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <signal.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <clocale>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "platform/interactive/interactive.h"
#include "platform/interactive/native.h"
#include "platform/surface.h"

namespace {

// -----------------------------------------------------------------------------
// [SECTION] Key codes
// -----------------------------------------------------------------------------

struct KeyRow {
  SDL_Keycode sdl;
  int virtualKey;
};

constexpr std::array<KeyRow, 32> KeyTable{{
    {SDLK_BACKSPACE, 8},  {SDLK_TAB, 9},        {SDLK_RETURN, 13},   {SDLK_KP_ENTER, 13}, {SDLK_LSHIFT, 16},
    {SDLK_RSHIFT, 16},    {SDLK_LCTRL, 17},     {SDLK_RCTRL, 17},    {SDLK_LALT, 18},     {SDLK_RALT, 18},
    {SDLK_PAUSE, 19},     {SDLK_CAPSLOCK, 20},  {SDLK_ESCAPE, 27},   {SDLK_SPACE, 32},    {SDLK_PAGEUP, 33},
    {SDLK_PAGEDOWN, 34},  {SDLK_END, 35},       {SDLK_HOME, 36},     {SDLK_LEFT, 37},     {SDLK_UP, 38},
    {SDLK_RIGHT, 39},     {SDLK_DOWN, 40},      {SDLK_INSERT, 45},   {SDLK_DELETE, 46},   {SDLK_KP_0, 96},
    {SDLK_KP_MULTIPLY, 106}, {SDLK_KP_PLUS, 107}, {SDLK_KP_MINUS, 109}, {SDLK_KP_PERIOD, 110},
    {SDLK_KP_DIVIDE, 111}, {SDLK_NUMLOCKCLEAR, 144}, {SDLK_SCROLLLOCK, 145},
}};

int VirtualKey(SDL_Keycode key) {
  if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
  if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
  if (key >= SDLK_F1 && key <= SDLK_F12) return 112 + (key - SDLK_F1);
  if (key >= SDLK_KP_1 && key <= SDLK_KP_9) return 97 + (key - SDLK_KP_1);
  for (const KeyRow& row : KeyTable)
    if (row.sdl == key) return row.virtualKey;
  return 0;
}

constexpr int W = Surface::Width;
constexpr int H = Surface::Height;

// -----------------------------------------------------------------------------
// [SECTION] The window
// -----------------------------------------------------------------------------

class SdlWindow : public Window {
 public:
  SDL_Window* window = nullptr;
  std::vector<std::uint8_t> shown;  // the last presented frame, RGB
  SDL_Surface* staging = nullptr;   // the scaled frame, XRGB8888
  FrameRect frame;
  bool invalid = true;
  bool destroyed = false;

  void SetTitle(const std::string& title) override {
    if (window == nullptr) return;
    SDL_SetWindowTitle(window, title.c_str());
    SetLegacyTitle(window, title, LegacyTitle(title));
  }
  void Invalidate() override { invalid = true; }
  void Present() override {
    if (window == nullptr || destroyed) return;
    const std::uint8_t* data = Screen().Data();
    std::copy(data, data + shown.size(), shown.begin());
    ShowFrame();
  }
  void Destroy() override { destroyed = true; }

  // Scales the kept frame to the window and shows it.
  void ShowFrame() {
    SDL_Surface* target = SDL_GetWindowSurface(window);
    if (target == nullptr) return;
    frame = FrameLayout(target->w, target->h);
    if (staging == nullptr || staging->w != frame.width || staging->h != frame.height) {
      if (staging != nullptr) SDL_FreeSurface(staging);
      staging = SDL_CreateRGBSurfaceWithFormat(0, frame.width, frame.height, 32, SDL_PIXELFORMAT_RGB888);
      if (staging == nullptr) return;
    }
    ScaleFrame(shown.data(), frame, static_cast<std::uint32_t*>(staging->pixels), staging->pitch / 4);
    if (frame.width != target->w || frame.height != target->h)
      SDL_FillRect(target, nullptr, SDL_MapRGB(target->format, 48, 48, 48));  // the letter-box border
    SDL_Rect at{frame.left, frame.top, frame.width, frame.height};
    SDL_BlitSurface(staging, nullptr, target, &at);
    SDL_UpdateWindowSurface(window);
    drawnWidth = target->w;
    drawnHeight = target->h;
  }

  // An expose: the window's surface still holds the frame unless the window
  // changed size; it is only sent to the screen again. With VAZESAMPLE_TIMING
  // set, the time it took goes to standard error (for the benchmark notes).
  void ShowAgain() {
    const Uint64 start = SDL_GetPerformanceCounter();
    SDL_Surface* target = SDL_GetWindowSurface(window);
    if (target == nullptr) return;
    // A surface of another size is a new one, holding nothing yet.
    if (target->w != drawnWidth || target->h != drawnHeight) {
      ShowFrame();
    } else {
      SDL_UpdateWindowSurface(window);
    }
    if (timing) {
      const double ms = 1000.0 * static_cast<double>(SDL_GetPerformanceCounter() - start) /
                        static_cast<double>(SDL_GetPerformanceFrequency());
      std::fprintf(stderr, "vazesample: expose shown again in %.3f ms (%d x %d)\n", ms, target->w, target->h);
    }
  }
  bool timing = false;
  int drawnWidth = -1;  // the window surface's size when the frame was last drawn on it
  int drawnHeight = -1;
};

SdlWindow& TheWindow() {
  static SdlWindow window;
  return window;
}

void SetProgramIcon(SDL_Window* window) {
  unsigned long size = 0;
  const unsigned char* png = ProgramIconPng(&size);
  if (png == nullptr || size == 0) return;
  GdkPixbufLoader* loader = gdk_pixbuf_loader_new();
  if (!gdk_pixbuf_loader_write(loader, png, size, nullptr) || !gdk_pixbuf_loader_close(loader, nullptr)) {
    g_object_unref(loader);
    return;
  }
  GdkPixbuf* pixbuf = gdk_pixbuf_loader_get_pixbuf(loader);
  if (pixbuf != nullptr && gdk_pixbuf_get_n_channels(pixbuf) == 4 && gdk_pixbuf_get_bits_per_sample(pixbuf) == 8) {
    SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(
        gdk_pixbuf_get_pixels(pixbuf), gdk_pixbuf_get_width(pixbuf), gdk_pixbuf_get_height(pixbuf), 32,
        gdk_pixbuf_get_rowstride(pixbuf), SDL_PIXELFORMAT_RGBA32);
    if (icon != nullptr) {
      SDL_SetWindowIcon(window, icon);
      SDL_FreeSurface(icon);
    }
  }
  g_object_unref(loader);
}

bool Set(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

}  // namespace

// -----------------------------------------------------------------------------
// [SECTION] Ending on a signal
// -----------------------------------------------------------------------------
//
// The handler only notes the signal; the loop looks for it at every turn and
// at least every EndPollMs while it waits (a signal interrupts SDL's wait,
// which then resumes), the dialogs' loop every 40 ms. So the program ends
// between two paints, never in the middle of a write.

namespace {

// The signal that asked the program to end, 0 while none has; set by the
// handler, so a lock-free atomic.
std::atomic<int> endSignal{0};
// An end asked without a signal (SDL's quit event).
std::atomic<bool> endAsked{false};
static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free);

constexpr std::array<int, 3> EndSignals = {SIGTERM, SIGINT, SIGHUP};
constexpr int EndPollMs = 100;

void NoteEndSignal(int number) { endSignal.store(number); }

// Catches the end signals, except one the program was started ignoring (as
// under nohup). Interrupted file calls resume; a second signal of the same
// kind finds the default action again and ends the process at once.
void CatchEndSignals() {
  for (const int number : EndSignals) {
    struct sigaction old {};
    if (sigaction(number, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) continue;
    struct sigaction action {};
    action.sa_handler = NoteEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    sigaction(number, &action, nullptr);
  }
}

}  // namespace

bool EndRequested() { return endSignal.load() != 0 || endAsked.load(); }

void EndAsSignalled() {
  const int number = endSignal.load();
  if (number == 0) return;
  std::fflush(nullptr);
  std::signal(number, SIG_DFL);
  std::raise(number);
  std::_Exit(128 + number);  // only if the signal did not end the process
}

// -----------------------------------------------------------------------------
// [SECTION] Opening the window
// -----------------------------------------------------------------------------

bool OpenInteractiveWindow(const std::string& title, std::string* error) {
  auto fail = [&](const std::string& why) {
    if (error != nullptr) *error = why;
    return false;
  };
  QuietWithoutSessionBus();
  CatchEndSignals();
  // The desktop's locale, as GTK takes it too: the legacy window title is
  // encoded in it. Numbers the program formats keep a decimal point.
  std::setlocale(LC_ALL, "");
  std::setlocale(LC_NUMERIC, "C");
  if (!Set("DISPLAY") && !Set("WAYLAND_DISPLAY")) return fail("no display could be opened (neither DISPLAY nor WAYLAND_DISPLAY is set)");
  // Only a real display will do: left to itself SDL may fall back to an
  // off-screen driver and show nothing. X11 first (the dialogs are made
  // transient for the window there, XWayland included), then Wayland.
  const bool x11 = Set("DISPLAY");
  const bool wayland = Set("WAYLAND_DISPLAY");
  if (!Set("SDL_VIDEODRIVER")) SDL_SetHint(SDL_HINT_VIDEODRIVER, x11 && wayland ? "x11,wayland" : x11 ? "x11" : "wayland");
  // The close button only sends a close request: the program asks its two
  // questions before it ends.
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  // The end signals are the program's own (CatchEndSignals).
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
  // The frame is scaled here and shown through the window's own surface
  // (shared memory on X11): loading OpenGL for it would cost half a second
  // at start and gain nothing.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    std::string where;
    if (x11) where += std::string(" DISPLAY=") + std::getenv("DISPLAY");
    if (wayland) where += std::string(" WAYLAND_DISPLAY=") + std::getenv("WAYLAND_DISPLAY");
    return fail("no display could be opened (" + where.substr(1) + ")");
  }
  const std::string driver = SDL_GetCurrentVideoDriver() != nullptr ? SDL_GetCurrentVideoDriver() : "";
  if (driver != "x11" && driver != "wayland") {
    SDL_Quit();
    return fail("no display could be opened (only the \"" + driver + "\" video driver started)");
  }
  SDL_Rect usable{0, 0, W, H + 48};
  if (SDL_GetDisplayUsableBounds(0, &usable) != 0) usable = SDL_Rect{0, 0, W, H + 48};
  const WindowSize size =
      StartWindowSize(usable.w, usable.h, ReadScaleFile(ScaleFileFor(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"))));
  SdlWindow& w = TheWindow();
  w.window = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, size.width, size.height,
                              SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE);
  if (w.window == nullptr) {
    const std::string why = std::string("SDL cannot open a window: ") + SDL_GetError();
    SDL_Quit();
    return fail(why);
  }
  SDL_SetWindowMinimumSize(w.window, W / 4, H / 4);
  SetLegacyTitle(w.window, title, LegacyTitle(title));
  SetProgramIcon(w.window);
  w.shown.assign(static_cast<std::size_t>(W) * H * 3, 255);
  w.timing = Set("VAZESAMPLE_TIMING");
  SDL_StopTextInput();  // keys are keys here, not text for an input method
  SDL_EventState(SDL_DROPFILE, SDL_ENABLE);
  return true;
}

bool MainWindowRect(int& x, int& y, int& width, int& height) {
  SdlWindow& w = TheWindow();
  if (w.window == nullptr) return false;
  SDL_GetWindowPosition(w.window, &x, &y);
  SDL_GetWindowSize(w.window, &width, &height);
  return width > 0 && height > 0;
}

unsigned long MainWindowX11Id() { return X11IdOf(TheWindow().window); }

// -----------------------------------------------------------------------------
// [SECTION] Modal dialogs
// -----------------------------------------------------------------------------

namespace {
Uint32 modalSince = 0;
int modalDepth = 0;

bool IsInput(Uint32 type) {
  switch (type) {
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
    case SDL_MOUSEMOTION:
    case SDL_MOUSEWHEEL:
    case SDL_KEYDOWN:
    case SDL_KEYUP:
    case SDL_TEXTINPUT:
    case SDL_TEXTEDITING:
    case SDL_DROPFILE:
    case SDL_DROPBEGIN:
    case SDL_DROPCOMPLETE:
    case SDL_DROPTEXT:
      return true;
    default:
      return false;
  }
}

// Keeps an event unless it is input that arrived while a dialog was up.
int KeepUnlessModalInput(void*, SDL_Event* e) {
  return IsInput(e->type) && SDL_TICKS_PASSED(e->common.timestamp, modalSince) ? 0 : 1;
}
}  // namespace

void BeginModal() {
  SdlWindow& w = TheWindow();
  if (w.window == nullptr) return;
  if (modalDepth++ > 0) return;
  w.Present();  // what is drawn so far shows behind the dialog
  // Input that came before the dialog keeps its turn; what comes after is
  // stamped later and goes.
  SDL_PumpEvents();
  modalSince = SDL_GetTicks() + 1;
}

void EndModal() {
  SdlWindow& w = TheWindow();
  if (w.window == nullptr || modalDepth == 0) return;
  if (--modalDepth > 0) return;
  SDL_PumpEvents();
  SDL_FilterEvents(KeepUnlessModalInput, nullptr);
  ServeExposesWhileModal();
}

void ServeExposesWhileModal() {
  SdlWindow& w = TheWindow();
  if (w.window == nullptr) return;
  SDL_PumpEvents();
  SDL_Event events[16];
  bool expose = false;
  int count = 0;
  while ((count = SDL_PeepEvents(events, 16, SDL_GETEVENT, SDL_WINDOWEVENT, SDL_WINDOWEVENT)) > 0) {
    for (int i = 0; i < count; ++i) {
      const Uint8 kind = events[i].window.event;
      if (kind == SDL_WINDOWEVENT_EXPOSED || kind == SDL_WINDOWEVENT_SIZE_CHANGED || kind == SDL_WINDOWEVENT_SHOWN)
        expose = true;
      // A close request while a dialog is up is not lost: it waits.
      if (kind == SDL_WINDOWEVENT_CLOSE) {
        SDL_Event again = events[i];
        SDL_PushEvent(&again);
        if (expose) w.ShowAgain();
        return;
      }
    }
  }
  if (expose) w.ShowAgain();
}

// -----------------------------------------------------------------------------
// [SECTION] The loop
// -----------------------------------------------------------------------------

namespace {

// A mouse position in the window as a client position. False on the
// letter-box border.
bool ToClient(const SdlWindow& w, int wx, int wy, WindowMessage& m) {
  return ClientFromWindow(w.frame, wx, wy, m.x, m.y);
}

// + (or =, the key it shares) and - without Ctrl: the window a scale step
// larger or smaller, kept to the screen, and the step remembered for the
// next start. True when the key was one of them.
bool ChangeScale(SdlWindow& w, const SDL_Keysym& key) {
  if ((key.mod & (KMOD_CTRL | KMOD_ALT | KMOD_GUI)) != 0) return false;
  int direction = 0;
  if (key.sym == SDLK_PLUS || key.sym == SDLK_EQUALS || key.sym == SDLK_KP_PLUS) direction = 1;
  if (key.sym == SDLK_MINUS || key.sym == SDLK_KP_MINUS) direction = -1;
  if (direction == 0) return false;
  SDL_Rect usable{0, 0, W, H + 48};
  const int display = std::max(SDL_GetWindowDisplayIndex(w.window), 0);
  if (SDL_GetDisplayUsableBounds(display, &usable) != 0) usable = SDL_Rect{0, 0, W, H + 48};
  int width = 0, height = 0;
  SDL_GetWindowSize(w.window, &width, &height);
  const int step = NextScaleStep(width, height, direction, usable.w, usable.h);
  if (step == 0) return true;
  const WindowSize size = SizeAtScaleStep(step);
  if (SDL_GetWindowFlags(w.window) & SDL_WINDOW_MAXIMIZED) SDL_RestoreWindow(w.window);
  SDL_SetWindowSize(w.window, size.width, size.height);
  WriteScaleFile(ScaleFileFor(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME")), step);
  return true;
}

// One SDL event as a window message. True when something was delivered.
bool Translate(const SDL_Event& e, const WindowHandlers& handlers, SdlWindow& w) {
  WindowMessage m;
  switch (e.type) {
    case SDL_MOUSEBUTTONDOWN:
      if (e.button.button == SDL_BUTTON_LEFT) {
        m.kind = MessageKind::LeftDown;
        m.leftHeld = true;
      } else if (e.button.button == SDL_BUTTON_RIGHT) {
        m.kind = MessageKind::RightDown;
      } else {
        return false;
      }
      if (!ToClient(w, e.button.x, e.button.y, m)) return false;  // a press on the border is no click
      break;
    case SDL_MOUSEBUTTONUP:
      if (e.button.button != SDL_BUTTON_LEFT) return false;
      m.kind = MessageKind::LeftUp;
      ToClient(w, e.button.x, e.button.y, m);  // a drag may end outside: clamped
      break;
    case SDL_MOUSEMOTION:
      m.kind = MessageKind::MouseMove;
      ToClient(w, e.motion.x, e.motion.y, m);
      m.leftHeld = (e.motion.state & SDL_BUTTON_LMASK) != 0;
      break;
    case SDL_MOUSEWHEEL: {
      m.kind = MessageKind::Wheel;
      const int flip = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -1 : 1;
      // A sideways wheel moves as Shift with the wheel does (right is
      // positive in SDL, as a notch towards the user is for the rows).
      m.shift = e.wheel.y == 0 || (SDL_GetModState() & KMOD_SHIFT) != 0;
      m.wheel = flip * (e.wheel.y != 0 ? e.wheel.y : -e.wheel.x);
      if (m.wheel == 0) return false;
      int x = 0, y = 0;
      SDL_GetMouseState(&x, &y);
      ToClient(w, x, y, m);
      break;
    }
    case SDL_KEYDOWN:
      if (ChangeScale(w, e.key.keysym)) return false;  // + and - are the window's
      m.kind = MessageKind::KeyDown;
      m.key = VirtualKey(e.key.keysym.sym);
      m.control = (e.key.keysym.mod & KMOD_CTRL) != 0;
      m.shift = (e.key.keysym.mod & KMOD_SHIFT) != 0;
      break;
    case SDL_DROPFILE: {
      if (e.drop.file == nullptr) return false;
      std::string path = e.drop.file;
      SDL_free(e.drop.file);
      std::error_code ec;
      const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
      if (!ec) path = absolute.string();
      if (handlers.onDropFile) handlers.onDropFile(path);
      return true;
    }
    case SDL_WINDOWEVENT:
      switch (e.window.event) {
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
          w.ShowAgain();  // the last frame, not a paint
          return false;
        case SDL_WINDOWEVENT_CLOSE:
          m.kind = MessageKind::Close;
          break;
        default:
          return false;
      }
      break;
    case SDL_QUIT:
      // Only an end asked from outside comes this way: the close button is
      // a window event, and SDL's own signal handlers are off. It ends the
      // program as a signal does, without the closing questions.
      endAsked.store(true);
      return false;
    default:
      return false;
  }
  if (handlers.onMessage) handlers.onMessage(m);
  return true;
}

}  // namespace

int RunInteractive(const WindowHandlers& handlers) {
  SdlWindow& w = TheWindow();
  if (w.window == nullptr) return 1;
  UseWindow(&w);
  w.Invalidate();
  while (!w.destroyed && !EndRequested()) {
    SDL_Event e;
    bool delivered = false;
    // Sleep until input comes, unless a paint is due; look for an end
    // signal now and then.
    if (!w.invalid && SDL_WaitEventTimeout(&e, EndPollMs) != 0) delivered |= Translate(e, handlers, w);
    while (!w.destroyed && !EndRequested() && SDL_PollEvent(&e) != 0) delivered |= Translate(e, handlers, w);
    if (w.destroyed || EndRequested()) break;
    if (w.invalid) {
      w.invalid = false;
      if (handlers.onPaint) handlers.onPaint();
      w.Present();
    } else if (delivered) {
      // Drawing done on the window outside a paint (the inverted drag marks)
      // shows at once.
      w.Present();
    }
  }
  UseWindow(nullptr);
  if (w.staging != nullptr) SDL_FreeSurface(w.staging);
  SDL_DestroyWindow(w.window);
  w.staging = nullptr;
  w.window = nullptr;
  SDL_Quit();
  return 0;
}
