#include "table_text_input.h"

#include <cstdio>

#include "platform.h"
#include "sjis_text.h"
#include "utf8.h"

namespace talvo::cli {

std::size_t TableTextInput::file_offset(std::size_t utf8_offset) const {
  if (file.encoding == TextEncoding::Utf8) return utf8_offset;
  return offsets[utf8_offset < offsets.size() ? utf8_offset : offsets.size() - 1];
}

bool load_table_text(const std::string& path, TextEncoding encoding, TableTextInput& input, std::string& reason) {
  input = TableTextInput{};
  if (!platform::read_whole_file(path, kLargestTextFile, input.file.bytes, reason)) return false;
  input.file.path = path;
  input.file.encoding = encoding;
  const std::string_view bytes = input.file.file();
  if (encoding == TextEncoding::ShiftJis) {
    tables::Utf8FromSjis utf8 = tables::sjis_to_utf8_with_offsets(bytes);
    input.converted = std::move(utf8.utf8);
    input.offsets = std::move(utf8.sjis_offsets);
    for (std::size_t at : utf8.bad_bytes) {
      char byte[8];
      std::snprintf(byte, sizeof byte, "0x%02X", static_cast<unsigned>(static_cast<unsigned char>(bytes[at])));
      input.conversion.push_back({Severity::Error, at, at, std::string("byte ") + byte + " is no Shift_JIS character",
                                  "is the file saved in another encoding? --encoding utf8 reads UTF-8", true});
    }
    return true;
  }
  for (std::size_t at = 0; at < bytes.size();) {
    const Utf8Char c = decode_utf8(bytes.substr(at));
    if (c.error != Utf8Error::None) {
      input.conversion.push_back({Severity::Error, at, at + c.length - 1,
                                  "bytes that are not UTF-8 (" + std::string(utf8_error_text(c.error)) + ")",
                                  "is the file saved in another encoding?", true});
    }
    at += c.length;
  }
  return true;
}

}  // namespace talvo::cli
