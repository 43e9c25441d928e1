#include "project_paths.h"

namespace talvo::project {
namespace {

bool is_separator(char c) {
#ifdef _WIN32
  return c == '/' || c == '\\';
#else
  return c == '/';
#endif
}

}  // namespace

bool is_absolute(std::string_view path) {
  if (!path.empty() && is_separator(path[0])) return true;
#ifdef _WIN32
  // A drive letter: "C:" then a separator. "C:name" is relative to the
  // drive's current folder, which a project file cannot mean either.
  const bool letter = path.size() >= 2 && ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
  if (letter && path[1] == ':') return true;
#endif
  return false;
}

std::string folder_of(std::string_view file) {
  std::size_t end = file.size();
  while (end > 0 && !is_separator(file[end - 1])) --end;
  return std::string(file.substr(0, end));
}

std::string resolve(std::string_view folder, std::string_view path) {
  if (is_absolute(path) || folder.empty()) return std::string(path);
  std::string joined(folder);
  if (!is_separator(joined.back())) joined += '/';
  return joined + std::string(path);
}

}  // namespace talvo::project
