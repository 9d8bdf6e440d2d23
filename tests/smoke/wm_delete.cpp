// vazesample-wm-delete WINDOW: asks an X11 window to close, as a window
// manager does when its close button is pressed (a WM_DELETE_WINDOW message
// of the WM_PROTOCOLS kind). The smoke test runs under xvfb-run, where no
// window manager draws a close button to press.
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: vazesample-wm-delete WINDOW\n", stderr);
    return 2;
  }
  char* end = nullptr;
  const unsigned long window = std::strtoul(argv[1], &end, 0);
  if (end == argv[1] || *end != '\0' || window == 0) {
    std::fprintf(stderr, "vazesample-wm-delete: '%s' is no window id\n", argv[1]);
    return 2;
  }
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fputs("vazesample-wm-delete: no display\n", stderr);
    return 1;
  }
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  const Status sent = XSendEvent(display, window, False, NoEventMask, &event);
  XCloseDisplay(display);  // sends what is queued
  return sent != 0 ? 0 : 1;
}
