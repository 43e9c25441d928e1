#include "sjis_text.h"

#include "cp932.h"
#include "utf8.h"

namespace talvo::tables {

Utf8FromSjis sjis_to_utf8_with_offsets(std::string_view sjis) {
  Utf8FromSjis out;
  out.utf8.reserve(sjis.size() + sjis.size() / 2);
  out.sjis_offsets.reserve(sjis.size() + sjis.size() / 2 + 1);
  for (std::size_t at = 0; at < sjis.size();) {
    const auto byte = static_cast<unsigned char>(sjis[at]);
    if (byte < 0x80) {  // ASCII, the most of a translated file, as it is
      out.utf8 += static_cast<char>(byte);
      out.sjis_offsets.push_back(static_cast<std::uint32_t>(at));
      ++at;
      continue;
    }
    const Cp932Char c = decode_cp932(sjis.substr(at));
    if (c.length == 0) {
      out.bad_bytes.push_back(at);
      ++at;
      continue;
    }
    const std::size_t before = out.utf8.size();
    append_utf8(out.utf8, c.code_point);
    out.sjis_offsets.insert(out.sjis_offsets.end(), out.utf8.size() - before, static_cast<std::uint32_t>(at));
    at += c.length;
  }
  out.sjis_offsets.push_back(static_cast<std::uint32_t>(sjis.size()));
  return out;
}

}  // namespace talvo::tables
