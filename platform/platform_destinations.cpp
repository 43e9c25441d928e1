// Whether two outputs would land in one file, for paths that may not exist
// yet: told by the folder they go into and the name they take there.
#include <string_view>

#include "platform.h"

#ifdef _WIN32
#include <windows.h>

#include "platform_win32_text.h"
#endif

namespace talvo::platform {
namespace {

bool is_separator(char c) {
#ifdef _WIN32
  if (c == '\\') return true;
#endif
  return c == '/';
}

struct FolderAndName {
  std::string folder;
  std::string name;
};

FolderAndName split(const std::string& path) {
  std::size_t end = path.size();
  while (end > 1 && is_separator(path[end - 1])) --end;  // "dir/" names "dir"
  std::size_t cut = end;
  while (cut > 0 && !is_separator(path[cut - 1])) --cut;
  std::string folder = path.substr(0, cut);
  if (folder.empty()) folder = ".";
  return {folder, path.substr(cut, end - cut)};
}

bool same_name(const std::string& a, const std::string& b) {
#ifdef _WIN32
  std::wstring wide_a, wide_b;
  if (!win32::wide_from_utf8(a, wide_a) || !win32::wide_from_utf8(b, wide_b)) return a == b;
  return CompareStringOrdinal(wide_a.c_str(), static_cast<int>(wide_a.size()), wide_b.c_str(),
                              static_cast<int>(wide_b.size()), TRUE) == CSTR_EQUAL;
#else
  return a == b;
#endif
}

}  // namespace

bool same_destination(const std::string& a, const std::string& b) {
  if (same_file(a, b)) return true;
  if (exists(a) || exists(b)) return false;
  const FolderAndName first = split(a), second = split(b);
  return same_name(first.name, second.name) && same_file(first.folder, second.folder);
}

}  // namespace talvo::platform
