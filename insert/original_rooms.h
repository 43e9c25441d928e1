// Where the input keeps each bank's text, found by reading it as the
// extractor does: each bank's room is what its entries occupy, group by
// group. The few bits a bank leaves between its groups belong to it, but a
// stretch that no entry uses and that is longer than kRoomGapLimit splits
// the room: an image made with extra room holds game data between its own
// room and the extra region, and that is nobody's to write.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <variant>
#include <vector>

#include "bank_space.h"
#include "banks.h"
#include "insertion.h"

namespace talvo::insert {

// The longest stretch, in bits, that no entry uses and that still counts as
// part of the bank's room: 64 bytes.
inline constexpr std::uint64_t kRoomGapLimit = 64 * 8;

struct OriginalRooms {
  // By bank_index: the bank's own regions, in address order, apart from one
  // another by more than kRoomGapLimit.
  std::array<std::vector<BitSpan>, kBankCount> rooms;
  // By bank_index: each entry's stored size in bits, end code included, as
  // the walk that found the rooms read it: what a new entry grew against.
  std::array<std::vector<std::uint64_t>, kBankCount> entry_bits;
  const std::vector<BitSpan>& room(Bank bank) const { return rooms[bank_index(bank)]; }
  const std::vector<std::uint64_t>& sizes(Bank bank) const { return entry_bits[bank_index(bank)]; }
};

// The spans given, sorted and joined where they overlap or lie no more
// than kRoomGapLimit apart.
std::vector<BitSpan> join_spans(std::vector<BitSpan> spans);

// Fails where the extractor fails, in its order (messages, fixed strings,
// battle text), naming the entry it was reading.
std::variant<OriginalRooms, BrokenOriginal> find_original_rooms(std::span<const std::uint8_t> cartridge);

// A bank's room and the stored size of each of its entries, in bits.
struct BankRoom {
  std::vector<BitSpan> room;
  std::vector<std::uint64_t> entry_bits;
};

// The message room alone: each group from its first bit to its last end
// code's last bit, as the walk from every group pointer finds them, joined.
std::variant<BankRoom, BrokenOriginal> find_message_room(std::span<const std::uint8_t> cartridge);

}  // namespace talvo::insert
