// Direct lookup from an encoding-form token to its code.
//
// The encoders look up every character of a text file, so a search through
// the table for each one would dominate their run time. Two-byte tokens (all
// characters, "--", "Ex", the byte control codes) are found through a table
// indexed by the two bytes; the few longer or shorter tokens through a small
// hash table. The answer is the one a search from code 0 upward would give,
// since no token occurs twice in a table.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

namespace talvo {

class CodeLookup {
 public:
  static constexpr std::uint16_t kNone = 0xFFFF;

  // `tokens` holds the NUL-terminated encoding-form token of code i at i.
  template <std::size_t Slot>
  explicit CodeLookup(std::span<const std::array<char, Slot>> tokens) {
    pairs_.fill(kNone);
    for (std::size_t code = 0; code < tokens.size(); ++code) {
      add(std::string_view(tokens[code].data()), static_cast<std::uint16_t>(code));
    }
    finish();
  }

  // The code of a pair of bytes, or kNone.
  std::uint16_t find_pair(std::uint8_t first, std::uint8_t second) const {
    return pairs_[static_cast<std::size_t>(first) << 8 | second];
  }

  std::optional<std::uint16_t> find(std::string_view text) const;

 private:
  void add(std::string_view token, std::uint16_t code);
  void finish();
  static std::uint64_t pack(std::string_view text);

  // Open addressing over packed tokens; a key of 0 marks a free slot (no
  // packed token is 0: its length is never 0).
  struct Slot {
    std::uint64_t key = 0;
    std::uint16_t code = kNone;
  };
  std::size_t slot_of(std::uint64_t key) const;

  std::array<std::uint16_t, 65536> pairs_{};
  std::vector<std::pair<std::uint64_t, std::uint16_t>> others_;  // in code order, until finish()
  std::vector<Slot> slots_;                                      // a power of two, at most half full
};

}  // namespace talvo
