// The SDL2 window and its message loop.
//
// [SECTION] Key codes: SDL keys to the virtual key codes the program knows
// [SECTION] The window
// [SECTION] The loop
//
// Input waits in SDL's queue while a paint runs, as it waits in a message
// queue: Present() only shows the frame and pumps nothing, so a long pass
// can show its progress without taking new clicks in the middle of it.
#include <SDL.h>

#include <array>
#include <cstdlib>

#include "platform/interactive/interactive.h"
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

// -----------------------------------------------------------------------------
// [SECTION] The window
// -----------------------------------------------------------------------------

class SdlWindow : public Window {
 public:
  SDL_Window* window = nullptr;
  SDL_Surface* frame = nullptr;  // Screen()'s pixels, wrapped without a copy
  bool invalid = true;
  bool destroyed = false;

  void SetTitle(const std::string& title) override {
    if (window != nullptr) SDL_SetWindowTitle(window, title.c_str());
  }
  void Invalidate() override { invalid = true; }
  void Present() override {
    if (window == nullptr || destroyed) return;
    SDL_Surface* target = SDL_GetWindowSurface(window);
    if (target == nullptr || frame == nullptr) return;
    SDL_BlitSurface(frame, nullptr, target, nullptr);
    SDL_UpdateWindowSurface(window);
  }
  void Destroy() override { destroyed = true; }
};

SdlWindow& TheWindow() {
  static SdlWindow window;
  return window;
}

}  // namespace

bool OpenInteractiveWindow(const std::string& title, std::string* error) {
  auto fail = [&](const std::string& why) {
    if (error != nullptr) *error = why;
    return false;
  };
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  if ((x11 == nullptr || *x11 == '\0') && (wayland == nullptr || *wayland == '\0'))
    return fail("neither DISPLAY nor WAYLAND_DISPLAY is set");
  // The close button only sends a close request: the program asks its two
  // questions before it ends.
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
  if (SDL_Init(SDL_INIT_VIDEO) != 0) return fail(std::string("SDL cannot start: ") + SDL_GetError());
  SdlWindow& w = TheWindow();
  w.window = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, Surface::Width,
                              Surface::Height, SDL_WINDOW_SHOWN);
  if (w.window == nullptr) {
    const std::string why = std::string("SDL cannot open a window: ") + SDL_GetError();
    SDL_Quit();
    return fail(why);
  }
  w.frame = SDL_CreateRGBSurfaceWithFormatFrom(Screen().Data(), Surface::Width, Surface::Height, 24,
                                               Surface::Width * 3, SDL_PIXELFORMAT_RGB24);
  SDL_StopTextInput();  // keys are keys here, not text for an input method
  return true;
}

// -----------------------------------------------------------------------------
// [SECTION] The loop
// -----------------------------------------------------------------------------

namespace {

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
      m.x = e.button.x;
      m.y = e.button.y;
      break;
    case SDL_MOUSEBUTTONUP:
      if (e.button.button != SDL_BUTTON_LEFT) return false;
      m.kind = MessageKind::LeftUp;
      m.x = e.button.x;
      m.y = e.button.y;
      break;
    case SDL_MOUSEMOTION:
      m.kind = MessageKind::MouseMove;
      m.x = e.motion.x;
      m.y = e.motion.y;
      m.leftHeld = (e.motion.state & SDL_BUTTON_LMASK) != 0;
      break;
    case SDL_KEYDOWN:
      m.kind = MessageKind::KeyDown;
      m.key = VirtualKey(e.key.keysym.sym);
      break;
    case SDL_WINDOWEVENT:
      if (e.window.event == SDL_WINDOWEVENT_EXPOSED) {
        w.Invalidate();  // an uncovered window is painted again
        return false;
      }
      if (e.window.event != SDL_WINDOWEVENT_CLOSE) return false;
      m.kind = MessageKind::Close;
      break;
    case SDL_QUIT:  // a signal (the close button comes as a window event)
      m.kind = MessageKind::Close;
      break;
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
  while (!w.destroyed) {
    SDL_Event e;
    bool delivered = false;
    // Sleep until input comes, unless a paint is due.
    if (!w.invalid) {
      if (SDL_WaitEvent(&e) == 0) break;
      delivered |= Translate(e, handlers, w);
    }
    while (!w.destroyed && SDL_PollEvent(&e) != 0) delivered |= Translate(e, handlers, w);
    if (w.destroyed) break;
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
  if (w.frame != nullptr) SDL_FreeSurface(w.frame);
  SDL_DestroyWindow(w.window);
  w.frame = nullptr;
  w.window = nullptr;
  SDL_Quit();
  return 0;
}
