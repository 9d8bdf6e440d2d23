// The interactive backend: an SDL2 window with its message loop, and GTK file
// dialogs and message boxes modal to it. Only the program `vazesample` links
// it.
#pragma once

#include <string>

#include "platform/dialogs.h"
#include "platform/window.h"

// Opens the window titled as given, resizable, at the largest whole-number
// scale of the 1100 x 840 frame that fits the screen (or reduced to fit).
// Asks SDL for the X11 or the Wayland driver only. False, with one sentence
// in *error, when no display can be opened.
bool OpenInteractiveWindow(const std::string& title, std::string* error);

// Runs the message loop until the program destroys the window or a signal
// asks the program to end: SDL events become window messages (mouse
// positions in client pixels), the paint handler runs whenever the client
// area is invalid, an expose shows the last presented frame again without
// painting. The window must be open. Returns the exit status (0).
int RunInteractive(const WindowHandlers& handlers);

// Ending on a signal. SIGTERM (a logout or shutdown), SIGINT and SIGHUP end
// the program promptly and without questions: the loop stops at its next
// turn, the paint in progress finishes (so no file is left half-written),
// a dialog or message box that is up goes as if cancelled, and none is shown
// any more. Nothing is deleted: the keep files and the work files stay, as
// after a "no" to deleting them. A second signal of the same kind ends the
// process at once.
// OpenInteractiveWindow catches the signals.
bool EndRequested();
// After the loop: when a signal ended the program, ends the process by that
// signal (its parent sees it killed by it); otherwise returns.
void EndAsSignalled();

// Around every dialog and message box: BeginModal() shows what is drawn so
// far; EndModal() drops the mouse and key input the main window received
// meanwhile, so a click made while a dialog was up is never replayed.
// ServeExposesWhileModal() shows the last frame again where the main window
// was uncovered while a dialog is up (the dialog's loop calls it).
void BeginModal();
void EndModal();
void ServeExposesWhileModal();

// The X11 window id of the main window, 0 when there is none (or not X11):
// dialogs are made transient for it.
unsigned long MainWindowX11Id();

// The main window's place and size on the screen; false when there is none.
bool MainWindowRect(int& x, int& y, int& width, int& height);

// The window icon and the dialogs' icon, as PNG bytes built into the program.
const unsigned char* ProgramIconPng(unsigned long* size);

// A desktop without a session bus: GTK gets the memory settings backend and
// nobody tries to start a bus, so GTK and SDL stay quiet. Called before SDL
// or GTK start.
void QuietWithoutSessionBus();

// Starts GTK once (dialogs call it lazily too). A desktop without a session
// bus gets the memory settings backend, so GTK stays quiet. False, with one
// sentence in *error, when GTK cannot reach the display.
bool StartGtk(std::string* error);

// The GTK file chooser and message boxes, as Dialogs. Their titles, filter
// names, buttons and questions are in the current language.
Dialogs& InteractiveDialogs();

// Where a file dialog starts when its request names no folder.
void SetDialogStartFolder(const std::string& folder);
