// The translation project's file, talvo.toml: which image, where the texts
// and the outputs are, the encoding, tables, extra room and window of each
// bank. Read into a plain record from the file's bytes; every path in it is
// resolved against the file's folder. A key the reader does not know, or a
// value of the wrong kind, is refused with its line: a typo must not quietly
// leave a setting out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "offset_range.h"
#include "text_format.h"

namespace talvo::project {

inline constexpr const char* kProjectFileName = "talvo.toml";

// Larger files are refused unread: a project file is a few hundred bytes.
inline constexpr std::size_t kLargestProjectFile = 1 << 20;

// The largest width and number of lines a window may be given.
inline constexpr std::uint32_t kLargestWindow = 4096;

// One value for each of the three banks, as the file's keys name them.
template <typename T>
struct PerBank {
  T msg{};
  T str{};
  T btl{};
};

enum class WindowUnit { Tiles, Pixels };

// [window.msg], [window.str], [window.btl]: what a page of the game's window holds.
struct Window {
  std::optional<std::uint32_t> width;  // per line, in `unit`
  std::optional<std::uint32_t> lines;  // per page
  std::optional<WindowUnit> unit;
  std::string widths;             // the file of each code's width in pixels; "" when not given
  std::vector<std::string> page;  // the tokens after which a new page begins
  std::optional<std::string> line;
};

struct Project {
  std::string path;    // the project file, as it was found
  std::string folder;  // its folder, "" for the current one

  // Paths, resolved; "" when the file does not give them.
  std::string image;   // the original, never written
  std::string output;  // the new image
  std::string patch;   // the BPS patch from image to output
  std::optional<TextEncoding> encoding;
  PerBank<std::string> text;               // [text]
  std::string message_table;               // [tables] msg
  std::string byte_table;                  // [tables] byte
  PerBank<std::vector<OffsetRange>> room;  // [room], in the order given
  PerBank<std::optional<Window>> window;   // [window.*]

  // The line each key is on, by its dotted name ("image", "text.msg",
  // "window.btl.width"), for messages about a value a command cannot use.
  std::map<std::string, std::size_t, std::less<>> lines;
  std::size_t line_of(std::string_view key) const {
    const auto found = lines.find(key);
    return found == lines.end() ? 0 : found->second;
  }
};

// Where the file is wrong, and how: lines and columns count from 1.
struct ProjectError {
  std::size_t line = 0;
  std::size_t column = 0;
  std::string message;
};

// Reads the file's bytes; `path` is where they came from, the base of every
// path in it. TOML's own syntax errors and every key or value the project
// does not take end in a ProjectError.
std::variant<Project, ProjectError> read_project(std::string_view bytes, std::string_view path);

}  // namespace talvo::project
