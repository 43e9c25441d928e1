// Where each group of a bank goes: the regions are filled in order, groups
// back to back, and a group that does not fit in what is left of a region
// goes to the next one. A group never straddles two regions, since its
// entries are found by reading on from its first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "bank_space.h"

namespace talvo::insert {

struct RegionFill {
  std::uint64_t used_bits = 0;
  std::size_t first_group = 0;
  std::size_t groups = 0;
};

struct GroupPlacement {
  std::vector<std::uint64_t> group_start;  // the first bit of each group placed
  std::vector<RegionFill> fill;            // one for each region
  std::optional<std::size_t> first_left_out;
  bool complete() const { return !first_left_out; }
};

// `start_limit`: no group may start at or past this bit (its pointer could
// not say where). Stops at the first group that finds no place.
GroupPlacement place_groups(std::span<const std::uint64_t> group_bits, std::span<const BitSpan> regions,
                            std::uint64_t start_limit);

}  // namespace talvo::insert
