// The input file of every program: chosen in the file dialog, then opened
// for this process alone.
#pragma once

#include <cstddef>

#include "platform.h"

namespace talvo {

// As large as the path buffer of the Windows dialog.
inline constexpr std::size_t kPathCapacity = 260;

// The file dialog with `filter` first (and selected) and all files second;
// `path` holds the text the name field starts with.
bool select_input_file(const platform::FileFilter& filter, char* path, std::size_t capacity);

// Lets the user choose a file with `select`, starting from `initial_name`,
// and opens it. When no file was chosen or it cannot be opened, shows the box
// that says so and returns an invalid handle.
platform::FileHandle open_selected_input(bool (*select)(char* path, std::size_t capacity), const char* initial_name);

}  // namespace talvo
