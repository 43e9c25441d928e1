// A span of the image as a translator writes it, "START-END": ROM offsets,
// hexadecimal with 0x or decimal, the end excluded. Read the same way from
// --room and from the project file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace talvo::project {

struct OffsetRange {
  std::uint32_t start = 0;
  std::uint32_t end = 0;
  friend bool operator==(const OffsetRange&, const OffsetRange&) = default;
};

// An offset: hexadecimal with 0x, else decimal; nothing past 0xFFFFFFFF.
std::optional<std::uint32_t> parse_offset(std::string_view text);

// Reads "START-END" into `range`; otherwise what is wrong, in words.
std::optional<std::string> parse_offset_range(std::string_view text, OffsetRange& range);

}  // namespace talvo::project
