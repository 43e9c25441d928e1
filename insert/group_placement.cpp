#include "group_placement.h"

namespace talvo::insert {

GroupPlacement place_groups(std::span<const std::uint64_t> group_bits, std::span<const BitSpan> regions,
                            std::uint64_t start_limit) {
  GroupPlacement placement;
  placement.fill.resize(regions.size());
  placement.group_start.reserve(group_bits.size());
  std::size_t region = 0;
  std::size_t group = 0;
  while (group < group_bits.size()) {
    if (region == regions.size()) {
      placement.first_left_out = group;
      break;
    }
    RegionFill& fill = placement.fill[region];
    const std::uint64_t at = regions[region].begin + fill.used_bits;
    if (at >= start_limit || group_bits[group] > regions[region].end - at) {
      ++region;
      continue;
    }
    if (fill.groups == 0) fill.first_group = group;
    placement.group_start.push_back(at);
    fill.used_bits += group_bits[group];
    ++fill.groups;
    ++group;
  }
  return placement;
}

}  // namespace talvo::insert
