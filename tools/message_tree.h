// The Huffman tree the game stores for its messages, built from code counts.
#pragma once

#include <array>
#include <cstdint>
#include <random>

#include "rom_layout.h"
#include "token_tables.h"

namespace talvo::builder {

// A codeword: `length` bits, the first one sent being the highest of `bits`.
struct Codeword {
  std::uint64_t bits = 0;
  int length = 0;  // 0: the code has no leaf
};

struct MessageTree {
  std::array<std::uint16_t, rom::kTreeEntries> entries{};
  std::array<Codeword, kMessageCodeCount> codewords{};
};

// The most distinct codes a tree of kTreeNodes inner nodes can hold.
inline constexpr std::size_t kMaxDistinctCodes = rom::kTreeNodes + 1;

// Builds the tree for codes counted in `counts` (at least one, at most
// kMaxDistinctCodes nonzero). With `rng`, node numbers, branch order and the
// dropped bit of inner branches are random and unused slots hold 0xFFFF;
// without it nodes are numbered in order and unused slots hold 0.
MessageTree build_message_tree(const std::array<std::uint64_t, kMessageCodeCount>& counts, std::mt19937_64* rng);

}  // namespace talvo::builder
