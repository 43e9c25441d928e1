// The implementations of the file dialog and the message boxes behind
// platform.h on POSIX systems. platform_dialogs_posix.cpp picks one of them
// once per process: GTK on a graphical desktop, the terminal elsewhere.
#pragma once

#include <cstddef>
#include <span>

#include "platform.h"

namespace talvo::platform::terminal {

bool choose_file(std::span<const FileFilter> filters, char* path, std::size_t capacity);
void message_box(const char* text, const char* caption, BoxStyle style);

}  // namespace talvo::platform::terminal

namespace talvo::platform::gtk {

// Connects to the display; false when there is none to show windows on.
bool start();
bool choose_file(std::span<const FileFilter> filters, char* path, std::size_t capacity);
void message_box(const char* text, const char* caption, BoxStyle style);

// The GTK backend is a module of its own, loaded only when a desktop is
// there to show its windows: linked into the programs, GTK's seventy-odd
// libraries would be loaded on every run, terminal and scripts included,
// and that took longer than extracting a whole image.
struct Backend {
  bool (*start)();
  bool (*choose_file)(std::span<const FileFilter> filters, char* path, std::size_t capacity);
  void (*message_box)(const char* text, const char* caption, BoxStyle style);
};

// The name of the module's one entry, which returns its Backend.
inline constexpr char kModuleEntry[] = "talvo_gtk_backend";

}  // namespace talvo::platform::gtk
