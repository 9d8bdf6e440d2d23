// X11 ids and transient dialogs (see native.h).
#include <SDL.h>
#include <SDL_syswm.h>
#include <gtk/gtk.h>
#ifdef GDK_WINDOWING_X11
#include <gdk/gdkx.h>
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
