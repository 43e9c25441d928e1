// A text file read through a translator's table: its bytes, the UTF-8 text
// the table-mode reader reads (the file itself, or its conversion from
// Shift_JIS), the way back from that text's offsets to the file's, and what
// the conversion found, as diagnostics in file offsets.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "text_checker.h"
#include "text_format.h"
#include "text_input.h"

namespace talvo::cli {

struct TableTextInput {
  TextInput file;                      // the path, the encoding and the bytes as read; nothing converted
  std::string converted;               // Shift_JIS files: the UTF-8 the reader reads
  std::vector<std::uint32_t> offsets;  // Shift_JIS files: the file offset of each byte of `converted`, and one more
  std::vector<Diagnostic> conversion;  // bytes that are not Shift_JIS or not UTF-8: errors

  std::string_view utf8() const {
    return file.encoding == TextEncoding::Utf8 ? file.file() : std::string_view(converted);
  }
  std::size_t file_offset(std::size_t utf8_offset) const;
};

// Reads a text file and makes its UTF-8 form; false with the reason when it
// cannot be read. A UTF-8 file with bytes that are not UTF-8 is refused in
// `conversion`, since the reader takes its bytes as they are.
bool load_table_text(const std::string& path, TextEncoding encoding, TableTextInput& input, std::string& reason);

}  // namespace talvo::cli
