// How a bank's new text fits its regions: the stored size of every entry,
// the groups' places, and the report the user reads.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "bank_space.h"
#include "group_placement.h"
#include "huffman_code.h"
#include "insertion.h"

namespace talvo::insert {

struct BankPlan {
  BankFit fit;
  GroupPlacement placement;
};

// The stored size of each entry in bits.
std::vector<std::uint64_t> message_sizes(const std::vector<std::vector<std::uint16_t>>& messages,
                                         const HuffmanCode& code);
std::vector<std::uint64_t> byte_entry_sizes(const std::vector<std::vector<std::uint8_t>>& entries);

// Places the bank's groups in `regions` (its `own` regions first) and fills
// in its report; fit.fits tells whether every group found a place.
BankPlan plan_bank(Bank bank, std::span<const std::uint64_t> entry_bits, std::span<const BitSpan> regions,
                   std::size_t own);

}  // namespace talvo::insert
