// Where the input keeps each bank's text, found by reading it as the
// extractor does: each bank's room is the span from the first bit any of its
// entries uses to the last.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <variant>

#include "bank_space.h"
#include "insertion.h"

namespace talvo::insert {

struct OriginalRooms {
  std::array<BitSpan, kBankCount> rooms;  // by bank_index
  const BitSpan& room(Bank bank) const { return rooms[bank_index(bank)]; }
};

// Fails where the extractor fails, in its order (messages, fixed strings,
// battle text), naming the entry it was reading.
std::variant<OriginalRooms, BrokenOriginal> find_original_rooms(std::span<const std::uint8_t> cartridge);

// The message room alone: from the first group's first bit to the last end
// code's last bit, as the walk from every group pointer finds them.
std::variant<BitSpan, BrokenOriginal> find_message_room(std::span<const std::uint8_t> cartridge);

}  // namespace talvo::insert
