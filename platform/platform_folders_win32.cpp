// The running program's own folder on Windows.
#include <windows.h>

#include "platform_folders.h"
#include "platform_win32_text.h"

namespace talvo::platform {

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
