// The project-file reader over any bytes: it reads them or refuses them
// with a line of the file, and what it reads holds only values the
// commands can use.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "project_file.h"

namespace {

using namespace talvo::project;

constexpr std::string_view kPath = "fuzz/talvo.toml";

void check_path(const std::string& path, const Project& project, std::string_view key) {
  if (path.empty()) return;
  FUZZ_CHECK(path.starts_with("fuzz/") || path.starts_with("/"));
  FUZZ_CHECK(path.size() > 5 || path.starts_with("/"));
  FUZZ_CHECK(path.find('\0') == std::string::npos);
  FUZZ_CHECK(project.line_of(key) >= 1);
}

void check_window(const std::optional<Window>& window) {
  if (!window) return;
  for (const auto& size : {window->width, window->lines}) {
    FUZZ_CHECK(!size || (*size >= 1 && *size <= kLargestWindow));
  }
  FUZZ_CHECK(std::none_of(window->page.begin(), window->page.end(), [](const std::string& t) { return t.empty(); }));
  FUZZ_CHECK(!window->line || !window->line->empty());
  FUZZ_CHECK(!(window->unit == WindowUnit::Tiles && !window->widths.empty()));
}

void check_rooms(const std::vector<OffsetRange>& rooms) {
  for (const OffsetRange& room : rooms) FUZZ_CHECK(room.end > room.start);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto result = read_project(bytes, kPath);
  if (const auto* error = std::get_if<ProjectError>(&result)) {
    // A line of the file: there is one more than it has line feeds.
    const auto lines = static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')) + 1;
    FUZZ_CHECK(error->line >= 1 && error->line <= lines);
    FUZZ_CHECK(error->column >= 1);
    FUZZ_CHECK(!error->message.empty());
    return 0;
  }
  const Project& project = std::get<Project>(result);
  FUZZ_CHECK(project.path == kPath && project.folder == "fuzz/");
  check_path(project.image, project, "image");
  check_path(project.output, project, "output");
  check_path(project.patch, project, "patch");
  check_path(project.text.msg, project, "text.msg");
  check_path(project.text.str, project, "text.str");
  check_path(project.text.btl, project, "text.btl");
  check_path(project.message_table, project, "tables.msg");
  check_path(project.byte_table, project, "tables.byte");
  check_rooms(project.room.msg);
  check_rooms(project.room.str);
  check_rooms(project.room.btl);
  check_window(project.window.msg);
  check_window(project.window.str);
  check_window(project.window.btl);
  return 0;
}
