// The message tree built anew from the new text's code counts, in the form
// the game stores it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "banks.h"
#include "insertion.h"
#include "rom_layout.h"

namespace talvo::insert {

using CodeCounts = std::array<std::uint64_t, kMessageCodeCount>;

// The most distinct codes the stored tree holds: one more than its nodes.
inline constexpr std::size_t kMaxDistinctCodes = rom::kTreeNodes + 1;

// A codeword: `length` bits, the first one read being the highest of `bits`.
struct Codeword {
  std::uint64_t bits = 0;
  std::uint32_t length = 0;  // 0: the code has no leaf
};

struct HuffmanCode {
  std::size_t distinct = 0;
  // The stored entries that the tree's nodes use: (entry, value). An inner
  // branch is 0x8000 | node << 1, a leaf its code. Every other entry of the
  // stored tree is left as it was.
  std::vector<std::pair<std::uint16_t, std::uint16_t>> entries;
  std::array<std::uint32_t, kMessageCodeCount> lengths{};
  // Set only when every codeword fits 64 bits. Longer ones need more codes
  // than any image holds bits, so such a text never fits anyway.
  bool has_codewords = false;
  std::array<Codeword, kMessageCodeCount> codewords{};
};

// The classic Huffman code over the codes counted (1 to kMaxDistinctCodes of
// them): the two lightest trees are joined, leaves before joined trees when
// weights tie, leaves ordered by count then code. The same counts always give
// the same tree. The root is node 1001; the other nodes are numbered from 0 in
// breadth-first order. A single code gets both root branches, so the tree
// stays one the game's walk can take: its codeword is one 0 bit.
HuffmanCode build_huffman_code(const CodeCounts& counts);

// How often each code occurs (codes past the table are not counted).
CodeCounts count_codes(const std::vector<std::vector<std::uint16_t>>& messages);

// For messages with more distinct codes than the tree holds: the count, and
// the codes that would have to go, the least used first.
TooManyCodes too_many_codes(const std::vector<std::vector<std::uint16_t>>& messages, const CodeCounts& counts);

}  // namespace talvo::insert
