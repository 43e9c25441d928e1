// What a message bank costs in the game's Huffman code: every code's
// codeword length for given counts, and the bits of all of them. The
// insertion builds its tree from the same counts; any Huffman code over
// them gives the same total, whichever way it breaks ties.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace talvo::tables {

// One length per count: 0 for a count of 0; a single code used gets 1 bit,
// as the game's tree gives it both branches of its root.
std::vector<std::uint32_t> huffman_lengths(std::span<const std::uint64_t> counts);

// Sum of count times length.
std::uint64_t huffman_bits(std::span<const std::uint64_t> counts);

}  // namespace talvo::tables
