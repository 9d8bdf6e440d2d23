// GTK file dialogs and message boxes.
//
// [SECTION] Texts
// [SECTION] Starting GTK
// [SECTION] Filters
// [SECTION] File dialogs
// [SECTION] Message boxes
//
// Each dialog runs modally in its own GTK loop, transient for the main
// window (it stays above it and the window manager centres it there), and
// GTK events are pumped until it is gone from the screen. Input the main
// window received meanwhile is dropped when the dialog closes; exposes of the
// main window are served from its last frame while the dialog is up. When a
// signal asks the program to end, the dialog that is up goes as if cancelled
// and no further one is shown.
//
// Every word the program puts on a dialog is in the program's current
// language, not the desktop's: the buttons of message boxes and file
// choosers, the filter names, the overwrite question.
#include <fnmatch.h>
#include <gtk/gtk.h>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/interactive/interactive.h"
#include "platform/interactive/native.h"
#include "platform/language.h"

// -----------------------------------------------------------------------------
// [SECTION] Texts
// -----------------------------------------------------------------------------

namespace {

// The dialogs' own words, with GTK's mnemonics.
constexpr BilingualText YesButton{"はい(_Y)", "_Yes"};
constexpr BilingualText NoButton{"いいえ(_N)", "_No"};
constexpr BilingualText OkButton{"OK(_O)", "_OK"};
constexpr BilingualText CancelButton{"キャンセル(_C)", "_Cancel"};
constexpr BilingualText OpenButton{"開く(_O)", "_Open"};
constexpr BilingualText SaveButton{"保存(_S)", "_Save"};

// Asked before a file is replaced; the file's name follows the first part.
struct ReplaceQuestion {
  const char* before;
  const char* after;
};
constexpr ReplaceQuestion ReplaceTexts[2] = {{"「", "」は既に存在します。\n上書きしますか？"},
                                             {"", " already exists.\nDo you want to replace it?"}};

// Every format the picture loader reads.
constexpr BilingualText PictureFilterName{"画像ファイル (*.bmp *.png *.jpg *.tif *.gif *.pnm)",
                                          "Pictures (*.bmp *.png *.jpg *.tif *.gif *.pnm)"};
constexpr const char* PicturePatterns =
    "*.bmp;*.dib;*.png;*.jpg;*.jpeg;*.jpe;*.tif;*.tiff;*.gif;*.pnm;*.ppm;*.pgm;*.pbm";

std::string ReplaceQuestionFor(const std::string& leaf) {
  const ReplaceQuestion& q = ReplaceTexts[LanguageId == EnglishLanguage ? 1 : 0];
  return q.before + leaf + q.after;
}

}  // namespace

// -----------------------------------------------------------------------------
// [SECTION] Starting GTK
// -----------------------------------------------------------------------------

namespace {

bool IsSet(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

// True when a session bus can be reached: its address is given, or the
// per-user bus socket is there.
bool SessionBusThere() {
  if (IsSet("DBUS_SESSION_BUS_ADDRESS")) return true;
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime == nullptr || *runtime == '\0') return false;
  std::error_code ec;
  return std::filesystem::exists(std::string(runtime) + "/bus", ec);
}


void SetProgramIconForDialogs() {
  unsigned long size = 0;
  const unsigned char* png = ProgramIconPng(&size);
  if (png == nullptr || size == 0) return;
  GdkPixbufLoader* loader = gdk_pixbuf_loader_new();
  if (gdk_pixbuf_loader_write(loader, png, size, nullptr) && gdk_pixbuf_loader_close(loader, nullptr)) {
    GdkPixbuf* pixbuf = gdk_pixbuf_loader_get_pixbuf(loader);
    if (pixbuf != nullptr) gtk_window_set_default_icon(pixbuf);
  } else {
    gdk_pixbuf_loader_close(loader, nullptr);
  }
  g_object_unref(loader);
}

}  // namespace

// Settings GTK reads at start come from dconf through the session bus;
// without a bus every read prints a warning. The memory backend answers
// them quietly, and the accessibility bridge would only wait for the bus.
// Both SDL and GTK would also try to start a bus of their own (a search of
// the PATH and a child process each); "disabled:" tells them there is none.
void QuietWithoutSessionBus() {
  if (SessionBusThere()) return;
  setenv("GSETTINGS_BACKEND", "memory", 0);
  setenv("NO_AT_BRIDGE", "1", 0);
  setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 0);
}

bool StartGtk(std::string* error) {
  static int state = 0;  // 0 not tried, 1 running, -1 failed
  if (state == 0) {
    QuietWithoutSessionBus();
    // The dialogs are made transient for an X11 main window, which needs
    // them on X11 too (XWayland included).
    if (MainWindowX11Id() != 0 && IsSet("DISPLAY")) setenv("GDK_BACKEND", "x11", 0);
    state = gtk_init_check(nullptr, nullptr) ? 1 : -1;
    // GTK takes the desktop's locale for its texts; numbers the program
    // formats must keep a decimal point whatever the desktop's language.
    std::setlocale(LC_NUMERIC, "C");
    if (state > 0) SetProgramIconForDialogs();
  }
  if (state < 0 && error != nullptr) *error = "GTK cannot reach the display";
  return state > 0;
}

namespace {

// While a dialog is up: the main window shows its last frame when uncovered,
// and when a signal asks the program to end, every dialog that is up (GTK's
// own ones inside it too) is answered as if closed.
gboolean ServeMainWindow(gpointer) {
  ServeExposesWhileModal();
  if (EndRequested()) {
    GList* windows = gtk_window_list_toplevels();
    for (GList* w = windows; w != nullptr; w = w->next)
      if (GTK_IS_DIALOG(w->data) && gtk_widget_get_visible(GTK_WIDGET(w->data)))
        gtk_dialog_response(GTK_DIALOG(w->data), GTK_RESPONSE_DELETE_EVENT);
    g_list_free(windows);
  }
  return G_SOURCE_CONTINUE;
}

// Makes the dialog transient for the main window (X11: the window manager
// keeps it above the window and may centre it there).
void AttachToMainWindow(GtkWidget* dialog) {
  gtk_window_set_modal(GTK_WINDOW(dialog), TRUE);
  MakeTransientForNative(dialog, MainWindowX11Id());
}

// A file chooser of a comfortable size that fits the screen's work area,
// centred in it (GTK's own choice may be taller than a small screen, its
// buttons then out of reach).
struct Placement {
  int x, y, width, height;
};

void PlaceWhenShown(GtkWidget* shown, gpointer data) {
  const auto* p = static_cast<const Placement*>(data);
  gtk_window_resize(GTK_WINDOW(shown), p->width, p->height);
  gtk_window_move(GTK_WINDOW(shown), p->x, p->y);
}

void FitOnScreen(GtkWidget* dialog) {
  constexpr int Width = 900;
  constexpr int Height = 640;
  GdkDisplay* display = gtk_widget_get_display(dialog);
  GdkMonitor* monitor = display != nullptr ? gdk_display_get_primary_monitor(display) : nullptr;
  if (monitor == nullptr && display != nullptr) monitor = gdk_display_get_monitor(display, 0);
  if (monitor == nullptr) return;
  GdkRectangle area{0, 0, Width, Height};
  gdk_monitor_get_workarea(monitor, &area);
  auto* p = new Placement;
  p->width = std::min(Width, area.width * 9 / 10);
  p->height = std::min(Height, area.height * 85 / 100);
  p->x = area.x + (area.width - p->width) / 2;
  p->y = area.y + (area.height - p->height) / 2;
  gtk_window_set_default_size(GTK_WINDOW(dialog), p->width, p->height);
  // The chooser sets its own size when it is shown; this comes after.
  g_object_set_data_full(G_OBJECT(dialog), "vazesample-placement", p, [](gpointer d) { delete static_cast<Placement*>(d); });
  g_signal_connect(dialog, "show", G_CALLBACK(PlaceWhenShown), p);
}

// Runs a dialog modal to the main window: everything drawn so far is on the
// screen (the open prompt stays visible behind the dialog), and input the
// main window gets while it is up is dropped afterwards.
gint RunModal(GtkWidget* dialog) {
  AttachToMainWindow(dialog);
  BeginModal();
  const guint timer = g_timeout_add(40, ServeMainWindow, nullptr);
  const gint response = gtk_dialog_run(GTK_DIALOG(dialog));
  g_source_remove(timer);
  gtk_widget_destroy(dialog);
  while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
  EndModal();
  return response;
}

std::string ValidUtf8(const std::string& text) {
  if (g_utf8_validate(text.c_str(), static_cast<gssize>(text.size()), nullptr)) return text;
  gchar* valid = g_utf8_make_valid(text.c_str(), static_cast<gssize>(text.size()));
  std::string result = valid;
  g_free(valid);
  return result;
}

// -----------------------------------------------------------------------------
// [SECTION] Filters
// -----------------------------------------------------------------------------

// A filter's patterns are ';'-separated and match without regard to case, as
// the program's patterns ("*.bmp") are meant; "*.*" means every file.
gboolean MatchPatterns(const GtkFileFilterInfo* info, gpointer data) {
  const auto* patterns = static_cast<const std::vector<std::string>*>(data);
  const char* name = info->display_name != nullptr ? info->display_name : info->filename;
  if (name == nullptr) return FALSE;
  for (const std::string& p : *patterns)
    if (p == "*" || p == "*.*" || fnmatch(p.c_str(), name, FNM_CASEFOLD) == 0) return TRUE;
  return FALSE;
}

void FreePatterns(gpointer data) { delete static_cast<std::vector<std::string>*>(data); }

GtkFileFilter* MakeFilter(const FileFilter& f) {
  auto* patterns = new std::vector<std::string>;
  std::size_t start = 0;
  while (start <= f.pattern.size()) {
    const std::size_t end = std::min(f.pattern.find(';', start), f.pattern.size());
    const std::string one = f.pattern.substr(start, end - start);
    if (!one.empty()) patterns->push_back(one);
    start = end + 1;
  }
  GtkFileFilter* filter = gtk_file_filter_new();
  gtk_file_filter_set_name(filter, ValidUtf8(f.label).c_str());
  gtk_file_filter_add_custom(filter, GTK_FILE_FILTER_DISPLAY_NAME, MatchPatterns, patterns, FreePatterns);
  return filter;
}

// A message box stands in the middle of the main window, where the eye is.
void CentreOnMainWindow(GtkWidget* shown, gpointer) {
  int x = 0, y = 0, width = 0, height = 0;
  if (!MainWindowRect(x, y, width, height)) return;
  GtkRequisition natural{};
  gtk_widget_get_preferred_size(shown, nullptr, &natural);
  gtk_window_move(GTK_WINDOW(shown), x + (width - natural.width) / 2, y + (height - natural.height) / 2);
}

MessageAnswer RunMessageBox(const std::string& text, const std::string& title, MessageButtons buttons,
                            MessageIcon icon) {
  if (EndRequested()) return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::No;
  GtkWidget* box = gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL,
                                          icon == MessageIcon::Question ? GTK_MESSAGE_QUESTION : GTK_MESSAGE_OTHER,
                                          GTK_BUTTONS_NONE, "%s", ValidUtf8(text).c_str());
  // The buttons in the language of the text, in GTK's order (No before Yes).
  if (buttons != MessageButtons::Ok) {
    gtk_dialog_add_button(GTK_DIALOG(box), NoButton.InCurrentLanguage(), GTK_RESPONSE_NO);
    gtk_dialog_add_button(GTK_DIALOG(box), YesButton.InCurrentLanguage(), GTK_RESPONSE_YES);
  } else {
    gtk_dialog_add_button(GTK_DIALOG(box), OkButton.InCurrentLanguage(), GTK_RESPONSE_OK);
  }
  gtk_window_set_title(GTK_WINDOW(box), ValidUtf8(title).c_str());
  if (icon == MessageIcon::Question) {
    // GTK 3 no longer draws the type's icon by itself; a question shows one.
    GtkWidget* image = gtk_image_new_from_icon_name("dialog-question-symbolic", GTK_ICON_SIZE_DIALOG);
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    gtk_message_dialog_set_image(GTK_MESSAGE_DIALOG(box), image);
    G_GNUC_END_IGNORE_DEPRECATIONS
    gtk_widget_show(image);
  }
  // Enter answers Yes, as the program's question boxes always did (No where
  // a Yes would lose something); Escape (or closing the box) answers No.
  const gint preferred = buttons == MessageButtons::YesNo          ? GTK_RESPONSE_YES
                         : buttons == MessageButtons::YesNoDefaultNo ? GTK_RESPONSE_NO
                                                                     : GTK_RESPONSE_OK;
  gtk_dialog_set_default_response(GTK_DIALOG(box), preferred);
  GtkWidget* button = gtk_dialog_get_widget_for_response(GTK_DIALOG(box), preferred);
  if (button != nullptr) gtk_widget_grab_focus(button);
  gtk_window_set_position(GTK_WINDOW(box), GTK_WIN_POS_CENTER);
  g_signal_connect(box, "show", G_CALLBACK(CentreOnMainWindow), nullptr);
  const gint response = RunModal(box);
  if (buttons == MessageButtons::Ok) return MessageAnswer::Ok;
  return response == GTK_RESPONSE_YES ? MessageAnswer::Yes : MessageAnswer::No;
}

// -----------------------------------------------------------------------------
// [SECTION] File dialogs
// -----------------------------------------------------------------------------

bool HasExtension(const std::string& path) {
  return std::filesystem::path(path).filename().string().find('.') != std::string::npos;
}

// Reads the chosen file and folder as the dialog answers, before it goes.
void KeepAnswer(GtkDialog* dialog, gint response, gpointer out) {
  if (response != GTK_RESPONSE_ACCEPT) return;
  GtkFileChooser* chooser = GTK_FILE_CHOOSER(dialog);
  auto* answer = static_cast<std::pair<std::string, std::string>*>(out);
  gchar* file = gtk_file_chooser_get_filename(chooser);
  if (file != nullptr) answer->first = file;
  g_free(file);
  gchar* current = gtk_file_chooser_get_current_folder(chooser);
  if (current != nullptr) answer->second = current;
  g_free(current);
}

// A dialog for pictures offers BMP files among its filters (a dialog for
// the program's text files does not).
bool AsksForPictures(const FileDialogRequest& request) {
  for (const FileFilter& f : request.filters)
    if (f.pattern.find("*.bmp") != std::string::npos) return true;
  return false;
}

std::string DialogStartFolder;  // SetDialogStartFolder

class GtkDialogs : public Dialogs {
  std::pair<std::string, std::string> answerHolder;  // file and folder, read as the dialog answers
  GtkWidget* progress_ = nullptr;  // the progress window while one is shown
  GtkWidget* bar_ = nullptr;
  bool stopAsked_ = false;

 public:
  std::optional<std::string> AskFile(const FileDialogRequest& request) override {
    if (EndRequested()) return std::nullopt;
    if (!StartGtk(nullptr)) {
      std::fprintf(stderr, "vazesample: no dialog can be shown (GTK cannot start); \"%s\" is cancelled\n",
                   request.title.c_str());
      return std::nullopt;
    }
    const bool open = request.kind == FileDialogKind::Open;
    std::string folder = request.startFolder.empty() ? DialogStartFolder : request.startFolder;
    if (folder.empty()) {
      std::error_code ec;
      folder = std::filesystem::current_path(ec).string();
    }
    std::string name;  // the name typed last, offered again after a refusal
    for (;;) {
      GtkWidget* dialog = gtk_file_chooser_dialog_new(
          ValidUtf8(request.title).c_str(), nullptr, open ? GTK_FILE_CHOOSER_ACTION_OPEN : GTK_FILE_CHOOSER_ACTION_SAVE,
          CancelButton.InCurrentLanguage(), GTK_RESPONSE_CANCEL,
          open ? OpenButton.InCurrentLanguage() : SaveButton.InCurrentLanguage(), GTK_RESPONSE_ACCEPT, nullptr);
      GtkFileChooser* chooser = GTK_FILE_CHOOSER(dialog);
      gtk_window_set_position(GTK_WINDOW(dialog), GTK_WIN_POS_CENTER);
      FitOnScreen(dialog);
      gtk_file_chooser_set_local_only(chooser, TRUE);
      if (!folder.empty()) gtk_file_chooser_set_current_folder(chooser, folder.c_str());
      if (!open) {
        // The question before replacing a file is asked below, in the
        // program's language (GTK's own would be in the desktop's).
        gtk_file_chooser_set_do_overwrite_confirmation(chooser, FALSE);
        if (!name.empty()) gtk_file_chooser_set_current_name(chooser, name.c_str());
      }
      // Opening a picture offers every format the loader reads first, then
      // the program's own filters (BMP, all files).
      if (open && AsksForPictures(request))
        gtk_file_chooser_add_filter(chooser, MakeFilter({PictureFilterName.InCurrentLanguage(), PicturePatterns}));
      for (const FileFilter& f : request.filters) gtk_file_chooser_add_filter(chooser, MakeFilter(f));

      // The request's note and check boxes, under the file list.
      // Each box's state, kept as it is toggled (the dialog is gone when it
      // has been answered).
      std::vector<char> states;
      if (request.checks != nullptr) {
        for (const FileDialogRequest::Check& c : *request.checks) states.push_back(c.on ? 1 : 0);
      }
      if (request.checks != nullptr || !request.note.empty()) {
        GtkWidget* extra = gtk_box_new(GTK_ORIENTATION_VERTICAL, 4);
        if (!request.note.empty()) {
          GtkWidget* label = gtk_label_new(ValidUtf8(request.note).c_str());
          gtk_label_set_xalign(GTK_LABEL(label), 0.0f);
          gtk_label_set_line_wrap(GTK_LABEL(label), TRUE);
          gtk_box_pack_start(GTK_BOX(extra), label, FALSE, FALSE, 0);
        }
        if (request.checks != nullptr) {
          for (std::size_t i = 0; i < request.checks->size(); ++i) {
            const FileDialogRequest::Check& c = (*request.checks)[i];
            GtkWidget* box = gtk_check_button_new_with_label(ValidUtf8(c.label).c_str());
            gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(box), c.on ? TRUE : FALSE);
            gtk_widget_set_sensitive(box, c.enabled ? TRUE : FALSE);
            g_signal_connect(box, "toggled", G_CALLBACK(+[](GtkToggleButton* button, gpointer state) {
                               *static_cast<char*>(state) = gtk_toggle_button_get_active(button) ? 1 : 0;
                             }),
                             &states[i]);
            gtk_box_pack_start(GTK_BOX(extra), box, FALSE, FALSE, 0);
          }
        }
        gtk_widget_show_all(extra);
        gtk_file_chooser_set_extra_widget(chooser, extra);
      }

      std::optional<std::string> chosen;
      gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_ACCEPT);
      g_signal_connect(dialog, "response", G_CALLBACK(KeepAnswer), &answerHolder);
      answerHolder = {};
      if (RunModal(dialog) == GTK_RESPONSE_ACCEPT && !answerHolder.first.empty()) {
        chosen = answerHolder.first;
        if (!answerHolder.second.empty()) folder = answerHolder.second;
      }
      if (!chosen || EndRequested()) return std::nullopt;
      if (request.checks != nullptr) {
        for (std::size_t i = 0; i < states.size(); ++i) (*request.checks)[i].on = states[i] != 0;
      }

      std::error_code ec;
      if (open) {
        if (request.mustExist && !std::filesystem::is_regular_file(*chosen, ec)) continue;
        return chosen;
      }
      // A name without an extension gets the default one.
      const std::string path = request.defaultExtension.empty() || HasExtension(*chosen)
                                   ? *chosen
                                   : *chosen + "." + request.defaultExtension;
      if (request.overwritePrompt && std::filesystem::exists(path, ec)) {
        const std::string leaf = std::filesystem::path(path).filename().string();
        if (RunMessageBox(ReplaceQuestionFor(leaf), request.title, MessageButtons::YesNo, MessageIcon::Question) !=
            MessageAnswer::Yes) {
          name = std::filesystem::path(*chosen).filename().string();
          if (EndRequested()) return std::nullopt;
          continue;
        }
      }
      return path;
    }
  }

  // A small window with the title, a bar and a stop button; Escape or
  // closing it stops the work too. It stays above the main window.
  bool ShowProgress(const std::string& title, double done) override {
    if (EndRequested()) return false;
    if (!StartGtk(nullptr)) return true;
    if (progress_ == nullptr) {
      progress_ = gtk_dialog_new_with_buttons(ValidUtf8(title).c_str(), nullptr, GTK_DIALOG_MODAL,
                                              CancelButton.InCurrentLanguage(), GTK_RESPONSE_CANCEL, nullptr);
      bar_ = gtk_progress_bar_new();
      gtk_progress_bar_set_show_text(GTK_PROGRESS_BAR(bar_), TRUE);
      gtk_widget_set_size_request(bar_, 360, -1);
      GtkWidget* area = gtk_dialog_get_content_area(GTK_DIALOG(progress_));
      gtk_container_set_border_width(GTK_CONTAINER(area), 12);
      gtk_box_pack_start(GTK_BOX(area), bar_, TRUE, TRUE, 0);
      stopAsked_ = false;
      // Escape, the stop button and the close box all answer with a response.
      g_signal_connect(progress_, "response", G_CALLBACK(+[](GtkDialog*, gint, gpointer stop) {
                         *static_cast<bool*>(stop) = true;
                       }),
                       &stopAsked_);
      g_signal_connect(progress_, "delete-event", G_CALLBACK(gtk_true), nullptr);
      AttachToMainWindow(progress_);
      gtk_window_set_position(GTK_WINDOW(progress_), GTK_WIN_POS_CENTER);
      gtk_widget_show_all(progress_);
    }
    gtk_progress_bar_set_fraction(GTK_PROGRESS_BAR(bar_), std::clamp(done, 0.0, 1.0));
    while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
    return !stopAsked_ && !EndRequested();
  }

  void EndProgress() override {
    if (progress_ == nullptr) return;
    gtk_widget_destroy(progress_);
    progress_ = bar_ = nullptr;
    while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
  }

  MessageAnswer ShowMessage(const std::string& text, const std::string& title, MessageButtons buttons,
                            MessageIcon icon) override {
    // Ending, a question is a No and goes unasked; a report, which nobody
    // answers, still reaches standard error (as without GTK, questions too).
    const bool ending = EndRequested();
    if (ending || !StartGtk(nullptr)) {
      if (!ending || buttons == MessageButtons::Ok)
        std::fprintf(stderr, "vazesample: %s: %s\n", title.c_str(), text.c_str());
      return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::No;
    }
    return RunMessageBox(text, title, buttons, icon);
  }
};

}  // namespace

Dialogs& InteractiveDialogs() {
  static GtkDialogs dialogs;
  return dialogs;
}

void SetDialogStartFolder(const std::string& folder) { DialogStartFolder = folder; }
