#include "text_input.h"

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

// Converts a UTF-8 file piece by piece: where a piece ends on a problem, the
// problem is noted and conversion goes on behind it.
void convert_utf8(TextInput& input) {
  std::string_view rest = input.file();
  std::size_t base = 0;
  if (rest.starts_with("\xEF\xBB\xBF")) {
    input.conversion.push_back({Severity::Warning, 0, 2, "the file begins with a byte-order mark",
                                "it is ignored; save the file without one", false});
  }
  for (;;) {
    std::vector<std::size_t> offsets;
    // A mark behind a fault is a character like any other, not one to drop.
    const Utf8ToSjisResult piece = utf8_to_sjis_text(rest, &offsets, base == 0 ? LeadingBom::Drop : LeadingBom::Refuse);
    input.converted += piece.sjis;
    for (std::size_t i = 0; i + 1 < offsets.size(); ++i) input.file_offsets.push_back(base + offsets[i]);
    if (piece.error == Utf8ToSjisError::None) break;
    std::size_t skip = 1;
    if (piece.error == Utf8ToSjisError::InvalidUtf8) {
      const Utf8Char bad = decode_utf8(rest.substr(piece.error_offset));
      skip = std::max<std::size_t>(bad.length, 1);
      input.conversion.push_back({Severity::Error, base + piece.error_offset, base + piece.error_offset + skip - 1,
                                  "bytes that are not UTF-8 (" + std::string(utf8_error_text(piece.utf8_error)) + ")",
                                  "is the file saved in another encoding?", true});
    } else {
      skip = decode_utf8(rest.substr(piece.error_offset)).length;
      std::string character;
      append_utf8(character, piece.code_point);
      input.conversion.push_back({Severity::Error,
                                  base + piece.error_offset,
                                  base + piece.error_offset + skip - 1,
                                  "'" + character + "' (" + code_point_name(piece.code_point) +
                                      ") has no Shift_JIS form, so no table holds it",
                                  {},
                                  true});
    }
    base += piece.error_offset + skip;
    rest.remove_prefix(piece.error_offset + skip);
  }
  input.file_offsets.push_back(input.bytes.size());
}

}  // namespace

std::size_t TextInput::file_offset(std::size_t sjis_offset) const {
  if (encoding == TextEncoding::ShiftJis) return sjis_offset;
  return file_offsets[std::min(sjis_offset, file_offsets.size() - 1)];
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
