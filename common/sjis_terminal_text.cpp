#include "sjis_terminal_text.h"

#include <cstdint>
#include <cstdio>

#include "cp932.h"
#include "utf8.h"

namespace talvo {
namespace {

void append_hex(std::string& out, std::uint8_t b) {
  char text[5];
  std::snprintf(text, sizeof text, "<%02X>", b);
  out += text;
}

}  // namespace

std::string sjis_to_utf8(std::string_view sjis) {
  std::string out;
  out.reserve(sjis.size() * 2);
  for (std::size_t i = 0; i < sjis.size();) {
    const auto b = static_cast<std::uint8_t>(sjis[i]);
    if (b == '\n' || (b >= 0x20 && b < 0x7F)) {
      out += static_cast<char>(b);
      ++i;
      continue;
    }
    // Other control bytes have characters of their own, which a terminal
    // would act on rather than show.
    const Cp932Char c = b < 0x20 || b == 0x7F ? Cp932Char{} : decode_cp932(sjis.substr(i));
    if (c.length == 0) {
      append_hex(out, b);
      ++i;
    } else {
      append_utf8(out, c.code_point);
      i += c.length;
    }
  }
  return out;
}

}  // namespace talvo
