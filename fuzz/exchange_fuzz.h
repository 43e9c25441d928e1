// What the exchange files' fuzz targets share: text made valid UTF-8 from any
// bytes, and the count of lines an error may name.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

#include "utf8.h"

namespace talvo::fuzz {

// The bytes, every one that starts no UTF-8 character turned into '?'.
inline std::string as_utf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  while (!bytes.empty()) {
    const Utf8Char c = decode_utf8(bytes);
    if (c.error == Utf8Error::None) {
      out.append(bytes.substr(0, c.length));
    } else {
      out += '?';
    }
    bytes.remove_prefix(std::max<std::size_t>(c.length, 1));
  }
  return out;
}

// The lines of a text, the last one counted even when it is not ended.
inline std::size_t line_count(std::string_view text) {
  return 1 + static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

}  // namespace talvo::fuzz
