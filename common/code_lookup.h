// Direct lookup from an encoding-form token to its code, built by the
// compiler from the token tables: nothing to build when a program starts.
//
// The encoders look up every character of a text file, so a search through
// the table for each one would dominate their run time. Two-byte tokens (all
// characters, "--", "Ex", the byte control codes) are found through a
// two-level table: the first byte picks a row of 256 codes, one row for each
// first byte that some token has, and a shared empty row for the others. The
// few longer or shorter tokens are found through a small hash table. The
// answer is the one a search from code 0 upward would give.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace talvo {

class CodeLookup {
 public:
  static constexpr std::uint16_t kNone = 0xFFFF;
  // Room for the first bytes of pairs in either table (24 in the message
  // table) and the empty row; hash slots for twice the other tokens (513).
  // The tables are data in the program's image, of which a run touches only
  // the pages it looks at.
  static constexpr std::size_t kRows = 32;
  static constexpr std::size_t kSlots = 2048;

  // From a table whose entry i is the NUL-terminated token of code i. Where
  // a token occurs twice, the lower code wins, as in a search.
  template <typename Table>
  constexpr explicit CodeLookup(const Table& tokens) {
    pairs_.fill(kNone);
    codes_.fill(kNone);
    std::size_t rows = 1;  // row 0 stays empty
    std::size_t others = 0;
    for (std::size_t code = 0; code < tokens.size(); ++code) {
      const std::string_view token(tokens[code].data());
      if (token.size() == 2) {
        std::uint16_t& start = row_start_[static_cast<std::uint8_t>(token[0])];
        if (start == 0) {
          if (rows == kRows) throw "more first bytes of pairs than CodeLookup has rows";
          start = static_cast<std::uint16_t>(256 * rows++);
        }
        std::uint16_t& slot = pairs_[start + static_cast<std::uint8_t>(token[1])];
        if (slot == kNone) slot = static_cast<std::uint16_t>(code);
        continue;
      }
      if (2 * ++others > kSlots) throw "more tokens than CodeLookup has hash slots";
      const std::uint64_t key = pack(token);
      std::size_t i = slot_of(key);
      while (keys_[i] != 0 && keys_[i] != key) i = (i + 1) & (kSlots - 1);
      if (keys_[i] == 0) {
        keys_[i] = key;
        codes_[i] = static_cast<std::uint16_t>(code);
      }
    }
  }

  // The code of a pair of bytes, or kNone.
  std::uint16_t find_pair(std::uint8_t first, std::uint8_t second) const { return pairs_[row_start_[first] + second]; }

  // Inline, as the parser looks up every bracketed token through it.
  std::optional<std::uint16_t> find(std::string_view text) const {
    if (text.size() == 2) {
      const std::uint16_t code = find_pair(static_cast<std::uint8_t>(text[0]), static_cast<std::uint8_t>(text[1]));
      if (code == kNone) return std::nullopt;
      return code;
    }
    if (text.empty() || text.size() >= 8) return std::nullopt;
    const std::uint16_t code = find_packed(pack(text));
    if (code == kNone) return std::nullopt;
    return code;
  }

  // The code of a token other than a pair, given as its key: its bytes from
  // the low end, its length (1 or 3 to 7) in the top byte; or kNone. The
  // parser builds such keys straight from the text it reads.
  std::uint16_t find_packed(std::uint64_t key) const {
    for (std::size_t i = slot_of(key);; i = (i + 1) & (kSlots - 1)) {
      if (keys_[i] == key) return codes_[i];
      if (keys_[i] == 0) return kNone;
    }
  }

 private:
  // Tokens other than pairs are at most 7 bytes long, so a token packs into
  // one 64-bit key: its bytes from the low end and its length in the top
  // byte. No key is 0, as no token is empty.
  static constexpr std::uint64_t pack(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<std::uint64_t>(static_cast<std::uint8_t>(text[i])); };
    std::uint64_t key = static_cast<std::uint64_t>(text.size()) << 56;
    // Unrolled by length: the four-digit tokens of the message table are
    // most of what reaches here.
    switch (text.size()) {
      case 7:
        key |= byte(6) << 48;
        [[fallthrough]];
      case 6:
        key |= byte(5) << 40;
        [[fallthrough]];
      case 5:
        key |= byte(4) << 32;
        [[fallthrough]];
      case 4:
        key |= byte(3) << 24;
        [[fallthrough]];
      case 3:
        key |= byte(2) << 16;
        [[fallthrough]];
      case 2:
        key |= byte(1) << 8;
        [[fallthrough]];
      case 1:
        key |= byte(0);
    }
    return key;
  }

  // Fibonacci hashing: the top bits of the product spread the few hundred
  // short hexadecimal tokens well.
  static constexpr std::size_t slot_of(std::uint64_t key) {
    return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15u) >> (64 - std::countr_zero(kSlots)));
  }

  std::array<std::uint16_t, 256> row_start_{};  // offset in pairs_ of each first byte's row
  std::array<std::uint16_t, kRows * 256> pairs_{};
  std::array<std::uint64_t, kSlots> keys_{};  // open addressing; 0 marks a free slot
  std::array<std::uint16_t, kSlots> codes_{};
};

}  // namespace talvo
