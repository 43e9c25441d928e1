// The one place that reads TOML, with toml++: its parser gives every key
// and value its line, which each refusal names.
#include "project_file.h"

#include <toml++/toml.h>

#include <algorithm>
#include <cstdint>
#include <span>

#include "project_paths.h"
#include "toml_stand_ins.h"

namespace talvo::project {
namespace {

// The first problem found; read_project turns it into its result.
struct Refused {
  ProjectError error;
};

// At most 40 bytes of `text`, cut where a character begins: enough to
// recognise a value, without a line of garbage filling the screen.
std::string cut(std::string_view text) {
  if (text.size() <= 40) return std::string(text);
  std::size_t end = 40;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return std::string(text.substr(0, end)) + "...";
}

[[noreturn]] void refuse(const toml::source_region& where, std::string message) {
  throw Refused{{where.begin.line, where.begin.column, std::move(message)}};
}

std::string kind_of(const toml::node& node) {
  switch (node.type()) {
    case toml::node_type::string:
      return "a string";
    case toml::node_type::integer:
      return "a whole number";
    case toml::node_type::floating_point:
      return "a number with a fraction";
    case toml::node_type::boolean:
      return "true or false";
    case toml::node_type::date:
      return "a date";
    case toml::node_type::time:
      return "a time";
    case toml::node_type::date_time:
      return "a date and time";
    case toml::node_type::array:
      return "a list";
    case toml::node_type::table:
      return "a table";
    case toml::node_type::none:
      break;
  }
  return "nothing";
}

// Edits between two short names, a swap of two neighbours counting as one,
// for "did you mean".
std::size_t distance(std::string_view a, std::string_view b) {
  std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
  for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
  for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    for (std::size_t j = 1; j <= b.size(); ++j) {
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
    }
  }
  return d[a.size()][b.size()];
}

// What a table of the file may hold: its name in messages ("" for the
// file's top level) and its keys, as a person writes them.
struct Keys {
  std::string_view table;
  std::span<const std::string_view> names;
};

constexpr std::string_view kTopKeys[] = {"image", "output", "patch", "encoding", "text", "tables", "room", "window"};
constexpr std::string_view kBankKeys[] = {"msg", "str", "btl"};
constexpr std::string_view kTableKeys[] = {"msg", "byte"};
constexpr std::string_view kWindowKeys[] = {"width", "lines", "unit", "widths", "page", "line"};

// `name` is the key as the file holds it.
[[noreturn]] void unknown_key(const toml::key& key, std::string_view name, const Keys& keys) {
  const std::string shown = cut(name);
  std::string message = "unknown key '" + shown + "'";
  if (!keys.table.empty()) message += " in [" + std::string(keys.table) + "]";
  // One slip in a short name, two in a longer one.
  std::string_view nearest;
  std::size_t best = SIZE_MAX;
  std::string listed;
  for (std::string_view name : keys.names) {
    const std::size_t d = distance(shown, name);
    if (d < best && d <= (name.size() <= 4 ? 1u : 2u)) best = d, nearest = name;
    listed += (listed.empty() ? "" : ", ") + std::string(name);
  }
  if (!nearest.empty()) {
    message += "; did you mean '" + std::string(nearest) + "'?";
  } else {
    message += std::string("; the keys ") + (keys.table.empty() ? "here" : "there") + " are " + listed;
  }
  refuse(key.source(), std::move(message));
}

class Reader {
 public:
  Reader(Project& project, const std::vector<char32_t>& originals) : project_(project), originals_(originals) {}

  void read(const toml::table& root) {
    const Keys keys{"", kTopKeys};
    for (const auto& [key, node] : root) {
      const std::string_view name = key.str();
      note(name, key);
      if (name == "image") {
        project_.image = path(node, name);
      } else if (name == "output") {
        project_.output = path(node, name);
      } else if (name == "patch") {
        project_.patch = path(node, name);
      } else if (name == "encoding") {
        project_.encoding = encoding(node);
      } else if (name == "text") {
        per_bank(table(node, name), name, project_.text,
                 [&](const toml::node& value, const std::string& dotted) { return path(value, dotted); });
      } else if (name == "tables") {
        read_tables(table(node, name));
      } else if (name == "room") {
        per_bank(table(node, name), name, project_.room,
                 [&](const toml::node& value, const std::string& dotted) { return rooms(value, dotted); });
      } else if (name == "window") {
        per_bank(table(node, name), name, project_.window, [&](const toml::node& value, const std::string& dotted) {
          return std::optional<Window>(window(table(value, dotted), dotted));
        });
      } else {
        unknown_key(key, put_back(key.str(), originals_), keys);
      }
    }
  }

 private:
  void note(std::string_view dotted, const toml::key& key) {
    project_.lines[std::string(dotted)] = key.source().begin.line;
  }

  static const toml::table& table(const toml::node& node, std::string_view dotted) {
    if (const toml::table* table = node.as_table()) return *table;
    refuse(node.source(),
           std::string(dotted) + ": expected a table ([" + std::string(dotted) + "]), not " + kind_of(node));
  }

  std::string string(const toml::node& node, std::string_view dotted, std::string_view expected) const {
    const auto* value = node.as_string();
    if (value == nullptr) {
      refuse(node.source(), std::string(dotted) + ": expected " + std::string(expected) + ", not " + kind_of(node));
    }
    return put_back(value->get(), originals_);
  }

  std::string path(const toml::node& node, std::string_view dotted) const {
    const std::string text = string(node, dotted, "a path in quotes");
    if (text.empty()) refuse(node.source(), std::string(dotted) + ": an empty string names no file");
    // The system would read a path only up to a NUL, and so open another file.
    if (text.find('\0') != std::string::npos) {
      refuse(node.source(), std::string(dotted) + ": a path cannot hold the character U+0000");
    }
    return resolve(project_.folder, text);
  }

  TextEncoding encoding(const toml::node& node) const {
    const std::string text = string(node, "encoding", "\"utf8\" or \"sjis\"");
    if (text == "utf8") return TextEncoding::Utf8;
    if (text == "sjis") return TextEncoding::ShiftJis;
    refuse(node.source(), "encoding: expected \"utf8\" or \"sjis\", not \"" + cut(text) + "\"");
  }

  // [text], [room] and [window] hold one value for each bank.
  template <typename T, typename ReadValue>
  void per_bank(const toml::table& table, std::string_view name, PerBank<T>& banks, ReadValue read_value) {
    const Keys keys{name, kBankKeys};
    for (const auto& [key, node] : table) {
      const std::string dotted = std::string(name) + "." + std::string(key.str());
      T* slot = key.str() == "msg"   ? &banks.msg
                : key.str() == "str" ? &banks.str
                : key.str() == "btl" ? &banks.btl
                                     : nullptr;
      if (slot == nullptr) unknown_key(key, put_back(key.str(), originals_), keys);
      note(dotted, key);
      *slot = read_value(node, dotted);
    }
  }

  void read_tables(const toml::table& table) {
    const Keys keys{"tables", kTableKeys};
    for (const auto& [key, node] : table) {
      const std::string dotted = "tables." + std::string(key.str());
      if (key.str() == "msg") {
        project_.message_table = path(node, dotted);
      } else if (key.str() == "byte") {
        project_.byte_table = path(node, dotted);
      } else {
        unknown_key(key, put_back(key.str(), originals_), keys);
      }
      note(dotted, key);
    }
  }

  std::vector<OffsetRange> rooms(const toml::node& node, const std::string& dotted) const {
    const toml::array* list = node.as_array();
    if (list == nullptr) {
      refuse(
          node.source(),
          dotted + ": expected a list of \"START-END\" strings, such as [\"0x500000-0x5C0000\"], not " + kind_of(node));
    }
    std::vector<OffsetRange> ranges;
    for (const toml::node& element : *list) {
      const std::string text = string(element, dotted, "\"START-END\" in quotes, such as \"0x500000-0x5C0000\"");
      OffsetRange range;
      if (const auto problem = parse_offset_range(text, range)) {
        refuse(element.source(), dotted + ": \"" + cut(text) + "\": " + *problem);
      }
      ranges.push_back(range);
    }
    return ranges;
  }

  static std::uint32_t size(const toml::node& node, const std::string& dotted) {
    const auto* value = node.as_integer();
    const std::string expected = "expected a whole number from 1 to " + std::to_string(kLargestWindow);
    if (value == nullptr) refuse(node.source(), dotted + ": " + expected + ", not " + kind_of(node));
    if (value->get() < 1 || value->get() > kLargestWindow) {
      refuse(node.source(), dotted + ": " + expected + ", not " + std::to_string(value->get()));
    }
    return static_cast<std::uint32_t>(value->get());
  }

  std::string token(const toml::node& node, const std::string& dotted) const {
    const std::string text = string(node, dotted, "a token in quotes, such as \"[00AF]\"");
    if (text.empty()) refuse(node.source(), dotted + ": an empty string is no token");
    return text;
  }

  Window window(const toml::table& table, const std::string& name) {
    const Keys keys{name, kWindowKeys};
    Window window;
    const toml::node* unit_tiles = nullptr;
    const toml::node* widths = nullptr;
    for (const auto& [key, node] : table) {
      const std::string dotted = name + "." + std::string(key.str());
      note(dotted, key);
      if (key.str() == "width") {
        window.width = size(node, dotted);
      } else if (key.str() == "lines") {
        window.lines = size(node, dotted);
      } else if (key.str() == "unit") {
        const std::string unit = string(node, dotted, "\"tiles\" or \"px\"");
        if (unit != "tiles" && unit != "px") {
          refuse(node.source(), dotted + ": expected \"tiles\" or \"px\", not \"" + cut(unit) + "\"");
        }
        window.unit = unit == "px" ? WindowUnit::Pixels : WindowUnit::Tiles;
        if (unit == "tiles") unit_tiles = &node;
      } else if (key.str() == "widths") {
        window.widths = path(node, dotted);
        widths = &node;
      } else if (key.str() == "page") {
        const toml::array* list = node.as_array();
        if (list == nullptr) {
          refuse(node.source(), dotted + ": expected a list of tokens, such as [\"[00AF]\"], not " + kind_of(node));
        }
        for (const toml::node& element : *list) window.page.push_back(token(element, dotted));
      } else if (key.str() == "line") {
        window.line = token(node, dotted);
      } else {
        unknown_key(key, put_back(key.str(), originals_), keys);
      }
    }
    if (unit_tiles != nullptr && widths != nullptr) {
      refuse(widths->source(), name +
                                   ".widths: widths are in pixels, and unit = \"tiles\" counts tiles; write unit = "
                                   "\"px\", or leave the widths out");
    }
    return window;
  }

  Project& project_;
  const std::vector<char32_t>& originals_;
};

}  // namespace

std::variant<Project, ProjectError> read_project(std::string_view bytes, std::string_view path) {
  if (bytes.size() > kLargestProjectFile) {
    return ProjectError{1, 1,
                        "a project file of " + std::to_string(bytes.size()) + " bytes; it holds at most " +
                            std::to_string(kLargestProjectFile)};
  }
  Project project;
  project.path = std::string(path);
  project.folder = folder_of(path);
  const std::optional<StandIns> guarded = with_stand_ins(bytes);
  if (!guarded) return ProjectError{1, 1, "more distinct characters of the private-use planes than a file may hold"};
  try {
    const toml::table root = toml::parse(guarded->text, path);
    Reader(project, guarded->originals).read(root);
  } catch (const toml::parse_error& error) {
    return ProjectError{error.source().begin.line, error.source().begin.column,
                        put_back(error.description(), guarded->originals)};
  } catch (const Refused& refused) {
    return refused.error;
  }
  return project;
}

}  // namespace talvo::project
