// The interactive backend: an SDL2 window with its message loop, and GTK file
// dialogs and message boxes. Only the program `vazesample` links it.
#pragma once

#include <string>

#include "platform/dialogs.h"
#include "platform/window.h"

// Opens the 1100 x 840 window (not resizable) titled as given. False, with
// one sentence in *error, when there is no display or SDL cannot start.
bool OpenInteractiveWindow(const std::string& title, std::string* error);

// Runs the message loop until the program destroys the window: SDL events
// become window messages, the paint handler runs whenever the client area is
// invalid, and Screen() is shown. The window must be open. Returns the exit
// status (0).
int RunInteractive(const WindowHandlers& handlers);

// Starts GTK once (dialogs call it lazily too). False, with one sentence in
// *error, when GTK cannot reach the display.
bool StartGtk(std::string* error);

// The GTK file chooser and message boxes, as Dialogs.
Dialogs& InteractiveDialogs();
