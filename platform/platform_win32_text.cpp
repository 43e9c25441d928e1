#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>

#include <limits>

#include "platform_win32_text.h"

namespace talvo::platform::win32 {
namespace {

constexpr UINT kShiftJis = 932;

// The conversions take an int count; no text of these programs comes near it.
int length_of(std::size_t size) {
  return size > static_cast<std::size_t>(std::numeric_limits<int>::max()) ? -1 : static_cast<int>(size);
}

std::wstring to_wide(UINT code_page, DWORD flags, std::string_view text, bool& ok) {
  ok = true;
  if (text.empty()) return {};
  const int length = length_of(text.size());
  const int wide_length = length < 0 ? 0 : MultiByteToWideChar(code_page, flags, text.data(), length, nullptr, 0);
  if (wide_length <= 0) {
    ok = false;
    return {};
  }
  std::wstring wide(static_cast<std::size_t>(wide_length), L'\0');
  MultiByteToWideChar(code_page, flags, text.data(), length, wide.data(), wide_length);
  return wide;
}

std::string to_utf8(DWORD flags, std::wstring_view wide, bool& ok) {
  ok = true;
  if (wide.empty()) return {};
  const int length = length_of(wide.size());
  const int utf8_length =
      length < 0 ? 0 : WideCharToMultiByte(CP_UTF8, flags, wide.data(), length, nullptr, 0, nullptr, nullptr);
  if (utf8_length <= 0) {
    ok = false;
    return {};
  }
  std::string utf8(static_cast<std::size_t>(utf8_length), '\0');
  WideCharToMultiByte(CP_UTF8, flags, wide.data(), length, utf8.data(), utf8_length, nullptr, nullptr);
  return utf8;
}

}  // namespace

std::wstring wide_from_sjis(std::string_view sjis) {
  bool ok = false;
  return to_wide(kShiftJis, 0, sjis, ok);
}

bool wide_from_utf8(std::string_view utf8, std::wstring& wide) {
  bool ok = false;
  wide = to_wide(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, ok);
  return ok;
}

bool utf8_from_wide(std::wstring_view wide, std::string& utf8) {
  bool ok = false;
  utf8 = to_utf8(WC_ERR_INVALID_CHARS, wide, ok);
  return ok;
}

std::wstring wide_filter_list(std::span<const FileFilter> filters) {
  std::wstring list;
  for (const FileFilter& filter : filters) {
    list += wide_from_sjis(filter.description);
    list += L'\0';
    list += wide_from_sjis(filter.pattern);
    list += L'\0';
  }
  list += L'\0';
  return list;
}

std::vector<std::string> utf8_arguments(const wchar_t* command_line) {
  std::vector<std::string> arguments;
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(command_line, &count);
  if (wide == nullptr) return arguments;
  for (int i = 0; i < count; ++i) {
    bool ok = false;
    arguments.push_back(to_utf8(0, wide[i], ok));
  }
  LocalFree(wide);
  return arguments;
}

}  // namespace talvo::platform::win32
