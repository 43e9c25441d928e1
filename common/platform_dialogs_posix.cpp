// Chooses, once per process, who shows the file dialog and the message boxes:
// GTK windows when the program runs on a graphical desktop (a translator who
// double-clicks it has no terminal to answer on), the terminal otherwise.
// TALVO_DIALOGS=terminal keeps a script on the terminal even on a desktop.
#include <cstdlib>
#include <cstring>

#include "platform_backends.h"

namespace talvo::platform {
namespace {

#ifdef TALVO_HAVE_GTK
bool is_set(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

bool terminal_requested() {
  const char* value = std::getenv("TALVO_DIALOGS");
  return value != nullptr && std::strcmp(value, "terminal") == 0;
}

bool use_gtk() {
  static const bool chosen = !terminal_requested() && (is_set("DISPLAY") || is_set("WAYLAND_DISPLAY")) && gtk::start();
  return chosen;
}
#endif

}  // namespace

bool choose_file(std::span<const FileFilter> filters, char* path, std::size_t capacity) {
#ifdef TALVO_HAVE_GTK
  if (use_gtk()) return gtk::choose_file(filters, path, capacity);
#endif
  return terminal::choose_file(filters, path, capacity);
}

void message_box(const char* text, const char* caption, BoxStyle style) {
#ifdef TALVO_HAVE_GTK
  if (use_gtk()) return gtk::message_box(text, caption, style);
#endif
  terminal::message_box(text, caption, style);
}

}  // namespace talvo::platform
