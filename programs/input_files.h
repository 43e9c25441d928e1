// The input file of every program: chosen in the file dialog, then opened
// for this process alone.
#pragma once

#include <cstddef>
#include <string>

#include "platform.h"

namespace talvo {

// Paths of up to 259 characters, as the Windows dialog's buffer (MAX_PATH)
// holds them. There the path travels in UTF-8, up to three bytes for each
// of its UTF-16 units; elsewhere a character is a byte.
#ifdef _WIN32
inline constexpr std::size_t kPathCapacity = 259 * 3 + 1;
#else
inline constexpr std::size_t kPathCapacity = 260;
#endif

// The file dialog with `filter` first (and selected) and all files second;
// `path` holds the text the name field starts with.
bool select_input_file(const platform::FileFilter& filter, char* path, std::size_t capacity);

// Lets the user choose a file with `select`, starting from `initial_name`,
// and opens it. When no file was chosen or it cannot be opened, shows the box
// that says so and returns an invalid handle. `chosen`, when given, receives
// the path chosen.
platform::FileHandle open_selected_input(bool (*select)(char* path, std::size_t capacity), const char* initial_name,
                                         std::string* chosen = nullptr);

}  // namespace talvo
