// The window and its message loop, as the program sees them.
//
// The loop turns input into messages for the window procedure, runs the
// paint handler whenever the client area is invalid, and presents Screen().
// Long work inside a paint may present in the middle of it. Two backends
// implement it: the interactive one (an SDL2 window) and the headless one
// (input from a script). The backend calls only the two handlers given to it.
#pragma once

#include <functional>
#include <string>

enum class MessageKind { LeftDown, LeftUp, MouseMove, RightDown, KeyDown, Close };

struct WindowMessage {
  MessageKind kind = MessageKind::MouseMove;
  int x = 0;           // client position (mouse messages)
  int y = 0;
  int key = 0;         // virtual key code for KeyDown: 13 is Enter
  bool leftHeld = false;
};

struct WindowHandlers {
  std::function<void(const WindowMessage&)> onMessage;  // the window procedure
  std::function<void()> onPaint;                       // the paint handler
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
