// The classic planner of multi-character entries, as translators' tools
// have long made them: take the most frequent pair of neighbouring codes
// whose texts together fit the length, give it a free code, put it in
// everywhere from left to right, and repeat. The comparison for our own
// planner (entry_planner.h), which must never do worse.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "planning_bank.h"

namespace talvo::tables {

// New entries at `free_codes`, in order, at most `count` of them and each of
// at most `max_length` characters. `bank` is changed: its runs end up
// encoded as the merges left them.
std::vector<NewEntry> classic_plan(PlanningBank& bank, const std::vector<std::uint16_t>& free_codes,
                                   std::size_t max_length, std::size_t count);

}  // namespace talvo::tables
