// The patch writer as it was before the suffix-array planner: the
// benchmark's baseline. Never linked into the programs.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace talvo::bps::baseline {

std::vector<std::uint8_t> create(std::span<const std::uint8_t> source, std::span<const std::uint8_t> target,
                                 std::span<const std::uint8_t> metadata = {});

}  // namespace talvo::bps::baseline
