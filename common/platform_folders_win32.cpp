#include <windows.h>

#include "platform_folders.h"
#include "platform_win32_text.h"

namespace talvo::platform {
namespace {

bool is_folder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

bool make_folders(const std::string& path, std::string& reason) {
  std::wstring wide;
  if (!win32::wide_from_utf8(path, wide)) {
    reason = "the name is not UTF-8";
    return false;
  }
  if (wide.empty() || is_folder(wide)) return true;
  // Each folder from the top down, past a drive ("C:\") or a share's name.
  for (std::size_t at = wide.find_first_of(L"\\/", 1);; at = wide.find_first_of(L"\\/", at + 1)) {
    const std::wstring part = wide.substr(0, at);
    if (!part.empty() && part.back() != L':' && part.back() != L'\\' && part.back() != L'/' && !is_folder(part) &&
        !CreateDirectoryW(part.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
      reason = "the folder cannot be made (error " + std::to_string(GetLastError()) + ")";
      return false;
    }
    if (at == std::wstring::npos) break;
  }
  if (is_folder(wide)) return true;
  reason = "not a folder";
  return false;
}

std::string program_folder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    if (path.size() > 32768) return {};
    path.resize(path.size() * 2);
  }
  path.resize(path.find_last_of(L"\\/") == std::wstring::npos ? 0 : path.find_last_of(L"\\/"));
  std::string utf8;
  return win32::utf8_from_wide(path, utf8) ? utf8 : std::string();
}

}  // namespace talvo::platform
