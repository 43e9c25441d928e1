// A table made ready for reading and encoding text: the names that bracketed
// tokens are looked up by, and the trie of the texts that running text is
// encoded with. The lowest code takes a name or a text several codes share.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "entry_trie.h"
#include "translator_table.h"

namespace talvo::tables {

enum class TokenLookup : std::uint8_t { Found, Unknown, OutOfRange };

struct TokenCode {
  TokenLookup lookup = TokenLookup::Unknown;
  std::uint16_t code = 0;  // with Found
};

// Names looked up by the bytes between brackets, without a copy.
struct NameHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view name) const { return std::hash<std::string_view>{}(name); }
};

class TableIndex {
 public:
  explicit TableIndex(const TranslatorTable& table);

  CodeSet kind() const { return kind_; }
  // What stands between the brackets of a token: one of the table's names,
  // else a code's hexadecimal token (4 upper-case digits for messages, 2 for
  // bytes), which every code has; OutOfRange for a message token beyond
  // 0x60B.
  TokenCode token_code(std::string_view inside) const;
  // The texts of the entries that are not names.
  const EntryTrie& trie() const { return trie_; }

 private:
  CodeSet kind_;
  std::unordered_map<std::string, std::uint16_t, NameHash, std::equal_to<>> names_;
  EntryTrie trie_;
};

}  // namespace talvo::tables
