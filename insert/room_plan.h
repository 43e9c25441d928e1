// The regions each bank may write: its own room, found in the input, then
// the extra regions given for it, each checked before anything is written.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <variant>
#include <vector>

#include "bank_space.h"
#include "banks.h"
#include "header_checksum.h"
#include "insertion.h"
#include "original_rooms.h"

namespace talvo::insert {

struct BankRegions {
  // The bank's own regions in address order, then the extra regions in the
  // order given.
  std::vector<BitSpan> spans;
  std::size_t own = 0;  // how many of the spans are the bank's own
};

struct RoomPlan {
  std::array<BankRegions, kBankCount> banks;  // by bank_index
  const BankRegions& of(Bank bank) const { return banks[bank_index(bank)]; }
};

// Refuses, in this order, an own region of a bank being inserted that
// touches the tables, a header or another bank's room; then, in the order
// given, an extra region that is empty, outside the image, touches the
// tables or a header, cannot be reached by its bank's pointers, touches a
// bank's room or an extra region given before it.
std::variant<RoomPlan, BadRegion> plan_rooms(std::size_t cartridge_size, const OriginalRooms& original,
                                             const std::array<bool, kBankCount>& inserted,
                                             std::span<const HeaderPlace> headers, const Options& options);

}  // namespace talvo::insert
