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

}  // namespace talvo::platform::gtk
