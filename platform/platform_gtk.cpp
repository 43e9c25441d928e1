// The GTK 3 backend of the file dialog and the message boxes, for Linux
// desktops. The file dialog is a GtkFileChooserNative, so that sandboxed
// desktops show their own through the portal. Texts arrive in Shift_JIS and
// are shown in UTF-8.
#include <gtk/gtk.h>
#include <sys/stat.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "platform_backends.h"
#include "sjis_terminal_text.h"

namespace talvo::platform::gtk {
namespace {

// The dialog's title and the box for a path the programs cannot hold, in
// UTF-8 as GTK takes them.
constexpr char kOpenTitle[] = "開く";
constexpr char kPathTooLongCaption[] = "ファイル名が長すぎます";
constexpr char kPathTooLongFormat[] =
    "このファイルの場所は %zu バイトまでしか扱えません。\n"
    "短い名前の場所に置いて、もう一度選んでください。\n\n%s";

// Lets the windows that were just closed disappear before work begins.
void finish_pending_events() {
  while (gtk_events_pending()) gtk_main_iteration();
  // Send the closing requests to the display now, not with the next window.
  if (GdkDisplay* display = gdk_display_get_default()) gdk_display_flush(display);
}

std::string utf8_of(const char* sjis) {
  const std::string converted = sjis_to_utf8(sjis);
  // The conversion yields UTF-8; this only guards GTK against a stray byte.
  gchar* valid = g_utf8_make_valid(converted.c_str(), static_cast<gssize>(converted.size()));
  std::string text(valid);
  g_free(valid);
  return text;
}

// A Windows wildcard as GTK matches it: "*.*" means every file there, and
// letters match either case, as Windows names do ("GAME.SMC" is a "*.smc").
std::string gtk_pattern_of(const std::string& pattern) {
  if (pattern == "*.*") return "*";
  std::string out;
  for (const char c : pattern) {
    if (g_ascii_isalpha(c)) {
      out += '[';
      out += g_ascii_tolower(c);
      out += g_ascii_toupper(c);
      out += ']';
    } else {
      out += c;
    }
  }
  return out;
}

void add_filters(GtkFileChooser* chooser, std::span<const FileFilter> filters) {
  for (const FileFilter& filter : filters) {
    GtkFileFilter* gtk_filter = gtk_file_filter_new();
    gtk_file_filter_set_name(gtk_filter, utf8_of(filter.description).c_str());
    const std::string patterns = filter.pattern;
    std::size_t start = 0;
    while (start <= patterns.size()) {
      std::size_t end = patterns.find(';', start);
      if (end == std::string::npos) end = patterns.size();
      if (end > start)
        gtk_file_filter_add_pattern(gtk_filter, gtk_pattern_of(patterns.substr(start, end - start)).c_str());
      start = end + 1;
    }
    gtk_file_chooser_add_filter(chooser, gtk_filter);  // takes the floating reference
    if (&filter == &filters.front()) gtk_file_chooser_set_filter(chooser, gtk_filter);
  }
}

// Runs the dialog once: the chosen file's name as the file system spells it,
// or nothing when the user cancelled.
std::optional<std::string> run_chooser(std::span<const FileFilter> filters) {
  GtkFileChooserNative* dialog =
      gtk_file_chooser_native_new(kOpenTitle, nullptr, GTK_FILE_CHOOSER_ACTION_OPEN, nullptr, nullptr);
  GtkFileChooser* chooser = GTK_FILE_CHOOSER(dialog);
  gtk_file_chooser_set_local_only(chooser, TRUE);
  gtk_file_chooser_set_select_multiple(chooser, FALSE);
  add_filters(chooser, filters);
  // Start where the outputs will land, as the Windows dialog does, rather
  // than in the list of recent files.
  if (gchar* folder = g_get_current_dir()) {
    gtk_file_chooser_set_current_folder(chooser, folder);
    g_free(folder);
  }
  // An open dialog has no file-name field to put the initial text in: the
  // first filter already narrows the list the same way.
  std::optional<std::string> chosen;
  if (gtk_native_dialog_run(GTK_NATIVE_DIALOG(dialog)) == GTK_RESPONSE_ACCEPT) {
    if (gchar* name = gtk_file_chooser_get_filename(chooser)) {
      chosen = name;
      g_free(name);
    }
  }
  g_object_unref(dialog);
  finish_pending_events();
  return chosen;
}

bool is_regular_file(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

void show_path_too_long(const std::string& path, std::size_t capacity) {
  gchar* shown = g_filename_display_name(path.c_str());
  gchar* text = g_strdup_printf(kPathTooLongFormat, capacity - 1, shown);
  GtkWidget* box = gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, GTK_MESSAGE_ERROR, GTK_BUTTONS_OK, "%s", text);
  gtk_window_set_title(GTK_WINDOW(box), kPathTooLongCaption);
  gtk_dialog_run(GTK_DIALOG(box));
  gtk_widget_destroy(box);
  finish_pending_events();
  g_free(text);
  g_free(shown);
}

}  // namespace

bool start() { return gtk_init_check(nullptr, nullptr) != FALSE; }

bool choose_file(std::span<const FileFilter> filters, char* path, std::size_t capacity) {
  for (;;) {
    const std::optional<std::string> chosen = run_chooser(filters);
    if (!chosen) return false;
    // The dialog accepts existing files only; one that vanished meanwhile is
    // asked for again, as the open dialog would.
    if (!is_regular_file(*chosen)) continue;
    // The caller's buffer is fixed: a longer path is refused rather than cut,
    // so that no other file gets opened, and the user may choose again.
    if (chosen->size() >= capacity) {
      show_path_too_long(*chosen, capacity);
      continue;
    }
    std::memcpy(path, chosen->c_str(), chosen->size() + 1);
    return true;
  }
}

void message_box(const char* text, const char* caption, BoxStyle style) {
  const GtkMessageType type = style == BoxStyle::IconError ? GTK_MESSAGE_ERROR : GTK_MESSAGE_OTHER;
  GtkWidget* box = gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, type, GTK_BUTTONS_OK, "%s", utf8_of(text).c_str());
  gtk_window_set_title(GTK_WINDOW(box), utf8_of(caption).c_str());
  gtk_window_set_position(GTK_WINDOW(box), GTK_WIN_POS_CENTER);
  gtk_dialog_run(GTK_DIALOG(box));
  gtk_widget_destroy(box);
  finish_pending_events();
}

}  // namespace talvo::platform::gtk
