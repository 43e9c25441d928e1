#include "offset_range.h"

namespace talvo::project {

std::optional<std::uint32_t> parse_offset(std::string_view text) {
  if (text.empty()) return std::nullopt;
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  std::uint64_t value = 0;
  for (std::size_t i = hex ? 2 : 0; i < text.size(); ++i) {
    const char c = text[i];
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    if (hex && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    if (hex && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0) return std::nullopt;
    value = value * (hex ? 16 : 10) + static_cast<std::uint64_t>(digit);
    if (value > 0xFFFFFFFFu) return std::nullopt;
  }
  return static_cast<std::uint32_t>(value);
}

std::optional<std::string> parse_offset_range(std::string_view text, OffsetRange& range) {
  const std::size_t dash = text.find('-');
  if (dash == std::string_view::npos) return "expected START-END, such as 0x3F0000-0x3F8000";
  const auto start = parse_offset(text.substr(0, dash));
  const auto end = parse_offset(text.substr(dash + 1));
  if (!start || !end) return "START and END are offsets, such as 0x3F0000 or 4128768";
  if (*end <= *start) return "END must lie after START";
  range = {*start, *end};
  return std::nullopt;
}

}  // namespace talvo::project
