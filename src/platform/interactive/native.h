// The few calls that need the X11 headers, kept apart: those headers name
// a type Window, as the program's own window interface is named.
#pragma once

#include <string>

struct SDL_Window;
typedef struct _GtkWidget GtkWidget;

// The X11 window id of an SDL window, 0 when it is none or not on X11.
unsigned long X11IdOf(SDL_Window* window);

// Sets the legacy title properties (WM_NAME, WM_ICON_NAME) of an X11
// window as the desktop's locale can encode the UTF-8 title: STRING when it
// is Latin-1, COMPOUND_TEXT otherwise; where the locale cannot, `latin1`
// (its Latin-1 part, LegacyTitle) as STRING. SDL writes WM_NAME as the UTF-8
// bytes taken for Latin-1; the UTF-8 _NET_WM_NAME it sets is right and stays.
void SetLegacyTitle(SDL_Window* window, const std::string& title, const std::string& latin1);

// Makes a realized-or-not GTK dialog transient for the X11 window `parent`
// (nothing when parent is 0 or GTK is not on X11).
void MakeTransientForNative(GtkWidget* dialog, unsigned long parent);
