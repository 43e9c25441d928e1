#include "text_input.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <optional>

#include "cp932.h"
#include "platform.h"
#include "utf8.h"

namespace talvo::cli {
namespace {

std::string code_point_name(char32_t c) {
  char text[16];
  std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(c));
  return text;
}

// A character of a UTF-8 file as the conversion takes it: the bytes it
// takes in the file, and its code page 932 code, if it has one. Bytes that
// are not UTF-8 are taken as the reader can go on behind them.
struct FileCharacter {
  Utf8Char utf8;
  std::size_t length;
  std::optional<std::uint16_t> code;
};

FileCharacter character_at(std::string_view file, std::size_t at) {
  const Utf8Char c = decode_utf8(file.substr(at));
  if (c.error != Utf8Error::None) return {c, std::max<std::size_t>(c.length, 1), std::nullopt};
  return {c, c.length, encode_cp932(c.code_point)};
}

// Converts a UTF-8 file in one pass. What cannot be converted is noted and
// left out, and conversion goes on behind it.
void convert_utf8(TextInput& input) {
  const std::string_view file = input.file();
  std::size_t at = 0;
  if (file.starts_with("\xEF\xBB\xBF")) {
    input.conversion.push_back({Severity::Warning, 0, 2, "the file begins with a byte-order mark",
                                "it is ignored; save the file without one", false});
    at = 3;  // a mark anywhere else is a character like any other
  }
  std::string& sjis = input.converted;
  sjis.reserve(file.size());  // no character takes more bytes in Shift_JIS than in UTF-8
  std::size_t next_anchor = 0;
  while (at < file.size()) {
    const FileCharacter c = character_at(file, at);
    if (c.code) {
      if (sjis.size() >= next_anchor) {
        input.anchors.push_back({sjis.size(), at});
        next_anchor = sjis.size() + TextInput::kAnchorSpacing;
      }
      if (*c.code >= 0x100) sjis += static_cast<char>(*c.code >> 8);
      sjis += static_cast<char>(*c.code & 0xFF);
    } else if (c.utf8.error != Utf8Error::None) {
      input.conversion.push_back({Severity::Error, at, at + c.length - 1,
                                  "bytes that are not UTF-8 (" + std::string(utf8_error_text(c.utf8.error)) + ")",
                                  "is the file saved in another encoding?", true});
    } else {
      std::string character;
      append_utf8(character, c.utf8.code_point);
      input.conversion.push_back({Severity::Error,
                                  at,
                                  at + c.length - 1,
                                  "'" + character + "' (" + code_point_name(c.utf8.code_point) +
                                      ") has no Shift_JIS form, so no table holds it",
                                  {},
                                  true});
    }
    at += c.length;
  }
}

}  // namespace

std::size_t TextInput::file_offset(std::size_t sjis_offset) const {
  if (encoding == TextEncoding::ShiftJis) return sjis_offset;
  if (sjis_offset >= converted.size()) return bytes.size();
  // The last anchor at or before the offset, then character by character.
  const auto anchor = std::prev(std::upper_bound(anchors.begin(), anchors.end(), sjis_offset,
                                                 [](std::size_t n, const Anchor& a) { return n < a.sjis; }));
  std::size_t sjis = anchor->sjis;
  for (std::size_t at = anchor->file;;) {
    const FileCharacter c = character_at(file(), at);
    if (c.code) {
      sjis += *c.code >= 0x100 ? 2 : 1;
      if (sjis_offset < sjis) return at;
    }
    at += c.length;
  }
}

TextInput text_input(std::string path, std::string_view file, TextEncoding encoding) {
  TextInput input;
  input.path = std::move(path);
  input.encoding = encoding;
  input.bytes.assign(file.begin(), file.end());
  if (encoding == TextEncoding::Utf8) convert_utf8(input);
  return input;
}

bool load_text(const std::string& path, TextEncoding encoding, TextInput& input, std::string& reason) {
  input = TextInput{};
  if (!platform::read_whole_file(path, kLargestTextFile, input.bytes, reason)) return false;
  input.path = path;
  input.encoding = encoding;
  if (encoding == TextEncoding::Utf8) convert_utf8(input);
  return true;
}

}  // namespace talvo::cli
