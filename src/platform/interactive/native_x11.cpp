// X11 ids and transient dialogs (see native.h).
#include <SDL.h>
#include <SDL_syswm.h>
#include <gtk/gtk.h>
#ifdef GDK_WINDOWING_X11
#include <gdk/gdkx.h>
#endif
#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xutil.h>
#endif

#include "platform/interactive/native.h"

unsigned long X11IdOf(SDL_Window* window) {
  if (window == nullptr) return 0;
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info)) return 0;
#if defined(SDL_VIDEO_DRIVER_X11)
  if (info.subsystem == SDL_SYSWM_X11) return static_cast<unsigned long>(info.info.x11.window);
#endif
  return 0;
}

// FIXME: on a Wayland session without XWayland (no DISPLAY) the window and the
// dialogs are native Wayland surfaces and are not attached here; that needs the
// xdg-foreign protocol. Input is still dropped while a dialog is up.
void MakeTransientForNative(GtkWidget* dialog, unsigned long parent) {
#ifdef GDK_WINDOWING_X11
  GdkDisplay* display = gtk_widget_get_display(dialog);
  if (parent == 0 || !GDK_IS_X11_DISPLAY(display)) return;
  gtk_widget_realize(dialog);
  GdkWindow* foreign = gdk_x11_window_foreign_new_for_display(display, parent);
  if (foreign == nullptr) return;
  gdk_window_set_transient_for(gtk_widget_get_window(dialog), foreign);
  // The foreign window lives as long as the dialog.
  g_object_set_data_full(G_OBJECT(dialog), "vazesample-parent", foreign, g_object_unref);
#else
  (void)dialog;
  (void)parent;
#endif
}

void SetLegacyTitle(SDL_Window* window, const std::string& title, const std::string& latin1) {
  if (window == nullptr) return;
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info)) return;
#if defined(SDL_VIDEO_DRIVER_X11)
  if (info.subsystem != SDL_SYSWM_X11 || info.info.x11.display == nullptr) return;
  Display* display = info.info.x11.display;
  const ::Window xwindow = info.info.x11.window;
  // The locale's converters give STRING for a Latin-1 title and
  // COMPOUND_TEXT for any other; a positive result counts characters they
  // could not convert, and then only the Latin-1 part is set.
  XTextProperty property{};
  char* list[] = {const_cast<char*>(title.c_str())};
  int status = Xutf8TextListToTextProperty(display, list, 1, XStdICCTextStyle, &property);
  if (status != Success) {
    if (status > 0 && property.value != nullptr) XFree(property.value);
    property = XTextProperty{};
    std::string plainTitle = latin1;
    char* plain[] = {plainTitle.data()};
    if (XStringListToTextProperty(plain, 1, &property) == 0) return;
  }
  XSetWMName(display, xwindow, &property);
  XSetWMIconName(display, xwindow, &property);
  XFree(property.value);
  XFlush(display);
#else
  (void)title;
  (void)latin1;
#endif
}
