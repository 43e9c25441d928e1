// The first plan of a patch: one greedy walk over the target with hash
// tables of 8-byte windows. It finds long matches in a few milliseconds for
// a whole cartridge, and tells the thorough planner where the target holds
// long unchanged or moved stretches and where it holds new data.
#pragma once

#include <cstdint>
#include <span>

#include "patch_plan.h"

namespace talvo::bps {

// SourceRead where the source agrees at the same offset, SourceCopy and
// TargetCopy found through the windows, where the last copy left off and in
// a run of the byte before, TargetRead for the rest; fewer positions looked
// at in long unmatched stretches.
Plan quick_plan(std::span<const std::uint8_t> source, std::span<const std::uint8_t> target);

}  // namespace talvo::bps
