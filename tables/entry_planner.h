// The planner of new multi-character entries: which texts of two or more
// characters, given free codes, make a bank smallest after the shortest
// encoding (shortest_encoding.h). Messages are measured in Huffman bits,
// never with more than the 1003 codes the game's tree holds in use; byte
// banks in codes.
//
// It grows the table one entry at a time, taking the run of neighbouring
// codes whose merging gains most by the measure (for messages, the change
// of the bank's entropy), and encodes again every run that holds its text,
// so that an entry is used wherever it helps and not only where it was
// found. Entries the final shortest encoding leaves unused give their codes
// to the next best. The classic planner (classic_planner.h) runs beside it;
// the entries of both together, the most used kept, make a third plan; the
// smallest of the three is the answer, so it never does worse than the
// classic one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "bank_runs.h"
#include "planning_bank.h"
#include "translator_table.h"

namespace talvo::tables {

// The longest new entry, in characters.
inline constexpr std::size_t kMaxPlannedLength = 8;

struct PlanRequest {
  std::vector<std::uint16_t> free_codes;  // glyph codes the base leaves free (free_codes_for), in order
  std::size_t max_length = 2;             // characters, 2 to kMaxPlannedLength
  std::size_t count = 0;                  // at most this many new entries
};

struct Plan {
  std::vector<NewEntry> entries;   // in code order
  std::uint64_t size_before = 0;   // through the base table
  std::uint64_t size_after = 0;    // through the base and the entries
  std::uint64_t classic_size = 0;  // through the base and the classic planner's entries
  std::size_t classic_entries = 0;
  bool classic_chosen = false;     // the classic plan was the smaller
  std::size_t distinct_after = 0;  // codes in use after
};

// `texts` are read through `base` (read_table_text); runs it cannot encode
// are left out of the measure.
Plan plan_entries(const TranslatorTable& base, std::span<const TextToEncode> texts, const PlanRequest& request);

}  // namespace talvo::tables
