// The window and its message loop, as the program sees them.
//
// The loop turns input into messages for the window procedure, runs the
// paint handler whenever the client area is invalid, and presents Screen().
// Long work inside a paint may present in the middle of it. An expose of the
// window shows the last presented frame again; only the program's own
// invalidations run the paint handler. Two backends implement it: the
// interactive one (an SDL2 window) and the headless one (input from a
// script). The backend calls only the handlers given to it.
//
// The client area is always 1100 x 840. A backend whose window has another
// size shows the frame scaled (FrameLayout) and maps mouse positions back
// into client pixels (ClientFromWindow), so the program never sees the scale.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

enum class MessageKind { LeftDown, LeftUp, MouseMove, RightDown, KeyDown, Close, Wheel };

struct WindowMessage {
  MessageKind kind = MessageKind::MouseMove;
  int x = 0;           // client position (mouse messages)
  int y = 0;
  int key = 0;         // virtual key code for KeyDown: 13 is Enter, 112 is F1
  bool leftHeld = false;
  bool control = false;  // KeyDown: a Ctrl key was held
  bool shift = false;    // KeyDown, Wheel: a Shift key was held
  int wheel = 0;         // Wheel: notches, away from the user positive
};

struct WindowHandlers {
  std::function<void(const WindowMessage&)> onMessage;  // the window procedure
  std::function<void()> onPaint;                       // the paint handler
  // A file dropped on the window (absolute path); may be empty.
  std::function<void(const std::string&)> onDropFile = {};
};

class Window {
 public:
  virtual ~Window() = default;
  virtual void SetTitle(const std::string& title) = 0;
  virtual void Invalidate() = 0;  // the whole client area is repainted when idle
  virtual void Present() = 0;     // shows Screen() now
  virtual void Destroy() = 0;     // ends the message loop
};

// The window in force (set by the backend that runs the loop).
Window& MainWindow();
void UseWindow(Window* window);

// The title for a window manager that reads only Latin-1 (an X11 WM_NAME of
// type STRING): the UTF-8 title as Latin-1 bytes, every character beyond
// Latin-1 (and every byte that is not UTF-8) left out and the spaces around
// it closed up; "vazesample" when nothing is left.
std::string LegacyTitle(const std::string& utf8);

// -----------------------------------------------------------------------------
// Showing the 1100 x 840 frame in a window of any size
// -----------------------------------------------------------------------------

// The scales the frame is shown at, in tenths: 1 x to 1.5 x by tenths (so
// that a screen of 1080 rows still gets a larger frame than 1 x), then whole
// and half steps.
inline constexpr std::array<int, 11> ScaleSteps{10, 11, 12, 13, 14, 15, 20, 25, 30, 35, 40};

// The largest step whose frame fits width x height; 0 when even 1 x does not.
int LargestScaleStepIn(int width, int height);

// Where the frame stands in a window of width x height pixels: at (left, top),
// width x height, letter-boxed and centred. A window at least as large as the
// frame shows it at the largest scale step that fits (`whole` > 0: a whole
// number, every client pixel a whole x whole block, drawn nearest-neighbour;
// `whole` = 0 at the steps in between, drawn smooth); a smaller one shows it
// reduced to fit, keeping the aspect ratio (`whole` = 0: drawn smooth).
struct FrameRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  int whole = 1;
};
FrameRect FrameLayout(int windowWidth, int windowHeight);

// The client pixel under window pixel (wx, wy) for that layout. False when the
// point is on the letter-box border (it is then clamped to the nearest client
// pixel, as a drag leaving the frame needs).
bool ClientFromWindow(const FrameRect& frame, int wx, int wy, int& x, int& y);

// The frame (RGB, 1100 x 840, rows top-down) into `out` (0x00RRGGBB pixels,
// frame.width x frame.height, rows of `pitch` pixels): whole-number scales
// repeat every pixel whole x whole times; other frames are filtered
// bilinearly (fixed point, the same at every run).
void ScaleFrame(const std::uint8_t* rgb, const FrameRect& frame, std::uint32_t* out, int pitch);

// The window size to start with on a usable screen area of width x height
// (less the room a title bar takes): the frame at the step the user chose
// last (`remembered`, in tenths) when it fits, else at the largest step that
// fits, or reduced to fit when even 1 x does not.
struct WindowSize {
  int width = 0;
  int height = 0;
};
WindowSize StartWindowSize(int usableWidth, int usableHeight, int remembered = 0);

// The step after (direction +1) or before (-1) the one a window of width x
// height shows, kept to what fits the usable area; the same step when there
// is none further. 0 when even 1 x does not fit.
int NextScaleStep(int windowWidth, int windowHeight, int direction, int usableWidth, int usableHeight);

// The frame's size at a step.
WindowSize SizeAtScaleStep(int tenths);

// The file that remembers the user's scale: "$XDG_CONFIG_HOME/vazesample/
// window.conf" when XDG_CONFIG_HOME is absolute, else under
// "$HOME/.config"; empty when neither gives an absolute folder. It holds one
// line, "scale = 1.2".
std::string ScaleFileFor(const char* xdgConfigHome, const char* home);
// The step the file names, in tenths; 0 when it is missing, unreadable, not
// a small regular file or names no step. ScaleStepOfText reads its text.
int ReadScaleFile(const std::string& path);
int ScaleStepOfText(std::string_view text);
// Writes the file (and its folder) for a step; false when it could not.
bool WriteScaleFile(const std::string& path, int tenths);
