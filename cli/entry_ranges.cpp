#include "entry_ranges.h"

#include <charconv>

namespace talvo::cli {
namespace {

bool parse_number(std::string_view text, std::uint32_t& value) {
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  if (hex) text.remove_prefix(2);
  if (text.empty()) return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, hex ? 16 : 10);
  return error == std::errc() && end == text.data() + text.size();
}

}  // namespace

std::vector<bool> EntryRanges::chosen(std::size_t count) const {
  std::vector<bool> out(count, ranges.empty());
  for (const auto& [first, last] : ranges) {
    for (std::size_t k = first; k <= last && k < count; ++k) out[k] = true;
  }
  return out;
}

std::string parse_entry_ranges(const std::string& text, EntryRanges& ranges) {
  const std::string expected = "expected entry numbers and ranges such as 0x10-0x20,0x100";
  std::string_view rest = text;
  if (rest.empty()) return expected;
  while (true) {
    const std::size_t comma = rest.find(',');
    const std::string_view piece = rest.substr(0, comma);
    const std::size_t dash = piece.find('-');
    std::uint32_t first = 0, last = 0;
    if (!parse_number(piece.substr(0, dash), first)) return expected;
    last = first;
    if (dash != std::string_view::npos && !parse_number(piece.substr(dash + 1), last)) return expected;
    if (last < first) return "in " + std::string(piece) + " the last entry comes before the first";
    ranges.ranges.emplace_back(first, last);
    if (comma == std::string_view::npos) return {};
    rest.remove_prefix(comma + 1);
  }
}

}  // namespace talvo::cli
