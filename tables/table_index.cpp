#include "table_index.h"

#include <vector>

namespace talvo::tables {
namespace {

std::vector<EntryTrie::Entry> running_texts(const TranslatorTable& table) {
  std::vector<EntryTrie::Entry> entries;
  for (std::size_t code = 0; code < table.codes.size(); ++code) {
    const auto& entry = table.codes[code];
    if (entry && !entry->bracketed) entries.push_back({entry->text, static_cast<std::uint16_t>(code)});
  }
  return entries;
}

// The value of upper-case hexadecimal digits, or nothing.
std::optional<std::uint32_t> upper_hex(std::string_view digits) {
  std::uint32_t value = 0;
  for (char c : digits) {
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0) return std::nullopt;
    value = value << 4 | static_cast<std::uint32_t>(digit);
  }
  return value;
}

}  // namespace

TableIndex::TableIndex(const TranslatorTable& table) : kind_(table.kind), trie_(running_texts(table)) {
  for (std::size_t code = 0; code < table.codes.size(); ++code) {
    const auto& entry = table.codes[code];
    if (entry && entry->bracketed) names_.emplace(std::string(entry_name(*entry)), static_cast<std::uint16_t>(code));
  }
}

TokenCode TableIndex::token_code(std::string_view inside) const {
  if (!names_.empty()) {
    const auto named = names_.find(inside);
    if (named != names_.end()) return {TokenLookup::Found, named->second};
  }
  if (inside.size() != (kind_ == CodeSet::Message ? 4u : 2u)) return {};
  const auto value = upper_hex(inside);
  if (!value) return {};
  if (*value >= code_count(kind_)) return {TokenLookup::OutOfRange, 0};
  return {TokenLookup::Found, static_cast<std::uint16_t>(*value)};
}

}  // namespace talvo::tables
