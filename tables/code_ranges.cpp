#include "code_ranges.h"

namespace talvo::tables {
namespace {

std::optional<std::uint32_t> parse_code(std::string_view text) {
  if (text.starts_with("0x") || text.starts_with("0X")) text.remove_prefix(2);
  if (text.empty() || text.size() > 4) return std::nullopt;
  std::uint32_t value = 0;
  for (char c : text) {
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    if (digit < 0) return std::nullopt;
    value = value << 4 | static_cast<std::uint32_t>(digit);
  }
  return value;
}

}  // namespace

std::optional<std::vector<std::uint16_t>> parse_code_ranges(std::string_view text, CodeSet kind, std::string& problem) {
  std::vector<std::uint16_t> codes;
  std::vector<bool> seen(code_count(kind), false);
  const std::string last = code_label(kind, static_cast<std::uint16_t>(code_count(kind) - 1));
  for (std::size_t start = 0; start <= text.size();) {
    std::size_t comma = text.find(',', start);
    if (comma == std::string_view::npos) comma = text.size();
    const std::string_view item = text.substr(start, comma - start);
    start = comma + 1;
    const std::size_t dash = item.find('-');
    const auto first = parse_code(item.substr(0, dash));
    const auto end = dash == std::string_view::npos ? first : parse_code(item.substr(dash + 1));
    if (!first || !end) {
      problem = "'" + std::string(item) + "' is neither a code nor a range of codes, such as 0x300 or 0x300-0x3FF";
      return std::nullopt;
    }
    if (*first >= code_count(kind) || *end >= code_count(kind)) {
      problem = "'" + std::string(item) + "' lies beyond the " + std::string(kind_name(kind)) +
                " codes, which end at " + last;
      return std::nullopt;
    }
    if (*end < *first) {
      problem = "'" + std::string(item) + "' ends before it begins";
      return std::nullopt;
    }
    for (std::uint32_t code = *first; code <= *end; ++code) {
      if (!seen[code]) codes.push_back(static_cast<std::uint16_t>(code));
      seen[code] = true;
    }
  }
  return codes;
}

std::optional<FreeCodes> free_codes_for(const TranslatorTable& table, const std::vector<std::uint16_t>& given,
                                        std::string& problem) {
  FreeCodes free;
  for (std::uint16_t code : given) {
    if (code_role(table.kind, code) != CodeRole::None) {
      problem = "code " + code_label(table.kind, code) + " ends an entry or breaks a line; it cannot take running text";
      return std::nullopt;
    }
    if (is_control_code(table.kind, code)) {
      ++free.controls;
      continue;
    }
    if (table.codes[code]) {
      ++free.named;
      continue;
    }
    free.codes.push_back(code);
  }
  return free;
}

}  // namespace talvo::tables
