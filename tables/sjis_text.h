// A Shift_JIS text file made UTF-8 for the table-mode reader, which reads
// UTF-8 only, with the way back from every UTF-8 byte to the file's own
// offset, so that what the reader and encoder find is told at the file's
// line and column.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace talvo::tables {

struct Utf8FromSjis {
  std::string utf8;
  // Per UTF-8 byte, the offset in the Shift_JIS text of the character it
  // comes from; then one more, the Shift_JIS text's size.
  std::vector<std::uint32_t> sjis_offsets;
  // Shift_JIS offsets of the bytes that start no character (code page 932),
  // each left out, conversion going on behind it.
  std::vector<std::size_t> bad_bytes;

  std::size_t sjis_offset(std::size_t utf8_offset) const {
    return sjis_offsets[utf8_offset < sjis_offsets.size() ? utf8_offset : sjis_offsets.size() - 1];
  }
};

// Converts code page 932 to UTF-8. Texts must be under 4 GiB.
Utf8FromSjis sjis_to_utf8_with_offsets(std::string_view sjis);

}  // namespace talvo::tables
