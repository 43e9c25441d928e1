// Test texts to Shift_JIS on Windows, through the system's code page 932
// converter: like the iconv one on Linux, independent of the programs' tables.
#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <stdexcept>

#include "support/sjis.h"

namespace talvo::testing {

std::string to_sjis(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int length = static_cast<int>(utf8.size());
  const int wide_length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, nullptr, 0);
  if (wide_length <= 0) throw std::runtime_error("not UTF-8: " + std::string(utf8));
  std::wstring wide(static_cast<std::size_t>(wide_length), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, wide.data(), wide_length);
  BOOL lost = FALSE;
  const int sjis_length =
      WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide.data(), wide_length, nullptr, 0, nullptr, &lost);
  std::string sjis(static_cast<std::size_t>(sjis_length), '\0');
  WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide.data(), wide_length, sjis.data(), sjis_length, nullptr, &lost);
  if (sjis_length <= 0 || lost) throw std::runtime_error("not convertible to CP932: " + std::string(utf8));
  return sjis;
}

}  // namespace talvo::testing
