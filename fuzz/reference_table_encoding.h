// A plain reference for the shortest encoding: the fewest codes for a run
// by dynamic programming over positions, every entry's text compared at
// every position, no trie; and greedy longest match the same plain way.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace talvo::fuzz {

struct ReferenceEntry {
  std::string text;
  std::uint16_t code;
};

// The fewest codes that spell `run` exactly, or nothing when none does.
std::optional<std::size_t> reference_fewest_codes(const std::vector<ReferenceEntry>& entries, std::string_view run);

// The furthest byte of `run` any sequence of entries reaches from its start.
std::size_t reference_furthest_reach(const std::vector<ReferenceEntry>& entries, std::string_view run);

// Greedy longest match (the lowest code among equal texts), or nothing
// where it stops.
std::optional<std::vector<std::uint16_t>> reference_greedy(const std::vector<ReferenceEntry>& entries,
                                                           std::string_view run);

}  // namespace talvo::fuzz
