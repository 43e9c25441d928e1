// Chooses, once per process, who shows the file dialog and the message boxes:
// GTK windows when the program runs on a graphical desktop (a translator who
// double-clicks it has no terminal to answer on), the terminal otherwise.
// TALVO_DIALOGS=terminal keeps a script on the terminal even on a desktop.
#include <cstdlib>
#include <cstring>

#ifdef TALVO_HAVE_GTK
#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>

#include <string>
#endif

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

// The module is looked for next to the program, then in lib/talvo/ beside
// the program's folder (an install's bin/ and lib/talvo/, and the build tree
// alike), and nowhere else: a module from a folder that others may write
// would run with the user's rights.
const gtk::Backend* load_gtk() {
  // Plain strings rather than std::filesystem, which would double the size
  // of every program and the time the loader takes to start one.
  char program[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", program, sizeof program - 1);
  if (length <= 0) return nullptr;
  const std::string path(program, static_cast<std::size_t>(length));
  const std::string folder = path.substr(0, path.rfind('/'));
  const std::string beside = folder.substr(0, folder.rfind('/'));
  const std::string candidates[] = {folder + "/" + TALVO_GTK_MODULE_NAME,
                                    beside + "/" + TALVO_GTK_MODULE_DIR_BESIDE + "/" + TALVO_GTK_MODULE_NAME};
  for (const std::string& candidate : candidates) {
    void* module = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) continue;
    // The module stays loaded for the rest of the process.
    if (void* entry = dlsym(module, gtk::kModuleEntry)) {
      return reinterpret_cast<const gtk::Backend* (*)()>(entry)();
    }
    dlclose(module);
  }
  return nullptr;
}

// The GTK backend when the program runs on a desktop and it starts there;
// otherwise nothing, and the terminal serves.
const gtk::Backend* gtk_backend() {
  static const gtk::Backend* const chosen = []() -> const gtk::Backend* {
    if (terminal_requested() || !(is_set("DISPLAY") || is_set("WAYLAND_DISPLAY"))) return nullptr;
    const gtk::Backend* backend = load_gtk();
    return backend != nullptr && backend->start() ? backend : nullptr;
  }();
  return chosen;
}
#endif

}  // namespace

bool choose_file(std::span<const FileFilter> filters, char* path, std::size_t capacity) {
#ifdef TALVO_HAVE_GTK
  if (const gtk::Backend* backend = gtk_backend()) return backend->choose_file(filters, path, capacity);
#endif
  return terminal::choose_file(filters, path, capacity);
}

void message_box(const char* text, const char* caption, BoxStyle style) {
#ifdef TALVO_HAVE_GTK
  if (const gtk::Backend* backend = gtk_backend()) return backend->message_box(text, caption, style);
#endif
  terminal::message_box(text, caption, style);
}

}  // namespace talvo::platform
