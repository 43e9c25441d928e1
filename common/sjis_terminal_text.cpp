#include "sjis_terminal_text.h"

#include <iconv.h>

#include <cstdint>
#include <cstdio>

namespace talvo {
namespace {

bool is_lead_byte(std::uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool is_trail_byte(std::uint8_t b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

void append_hex(std::string& out, std::uint8_t b) {
  char text[5];
  std::snprintf(text, sizeof text, "<%02X>", b);
  out += text;
}

class Cp932Converter {
 public:
  Cp932Converter() : cd_(iconv_open("UTF-8", "CP932")) {}
  ~Cp932Converter() {
    if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
  }
  Cp932Converter(const Cp932Converter&) = delete;
  Cp932Converter& operator=(const Cp932Converter&) = delete;

  // Appends the UTF-8 form of one character; false when it has none.
  bool append(std::string& out, const char* bytes, std::size_t count) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) return false;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char in[2] = {bytes[0], count > 1 ? bytes[1] : '\0'};
    char buffer[8];
    char* in_ptr = in;
    char* out_ptr = buffer;
    std::size_t in_left = count;
    std::size_t out_left = sizeof buffer;
    if (iconv(cd_, &in_ptr, &in_left, &out_ptr, &out_left) == static_cast<std::size_t>(-1) || in_left != 0) {
      return false;
    }
    out.append(buffer, static_cast<std::size_t>(out_ptr - buffer));
    return true;
  }

 private:
  iconv_t cd_;
};

}  // namespace

std::string sjis_to_utf8(std::string_view sjis) {
  Cp932Converter converter;
  std::string out;
  out.reserve(sjis.size() * 2);
  for (std::size_t i = 0; i < sjis.size();) {
    const auto b = static_cast<std::uint8_t>(sjis[i]);
    if (b == '\n' || (b >= 0x20 && b < 0x7F)) {
      out += static_cast<char>(b);
      ++i;
    } else if (is_lead_byte(b) && i + 1 < sjis.size() && is_trail_byte(static_cast<std::uint8_t>(sjis[i + 1])) &&
               converter.append(out, sjis.data() + i, 2)) {
      i += 2;
    } else if (b >= 0xA1 && b <= 0xDF && converter.append(out, sjis.data() + i, 1)) {
      ++i;  // half-width katakana
    } else {
      append_hex(out, b);
      ++i;
    }
  }
  return out;
}

}  // namespace talvo
