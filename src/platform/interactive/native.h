// The few calls that need the X11 headers, kept apart: those headers name
// a type Window, as the program's own window interface is named.
#pragma once

struct SDL_Window;
typedef struct _GtkWidget GtkWidget;

// The X11 window id of an SDL window, 0 when it is none or not on X11.
unsigned long X11IdOf(SDL_Window* window);

// Makes a realized-or-not GTK dialog transient for the X11 window `parent`
// (nothing when parent is 0 or GTK is not on X11).
void MakeTransientForNative(GtkWidget* dialog, unsigned long parent);
