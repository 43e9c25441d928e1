// Places in the cartridge counted in bits, and what insertion needs to know
// of each bank. Bit 8k is the top bit of byte k, the first the game reads,
// so a span of bits reads in the order the message stream is read.
#pragma once

#include <cstddef>
#include <cstdint>

#include "insertion.h"
#include "rom_layout.h"

namespace talvo::insert {

struct BitSpan {
  std::uint64_t begin = 0;
  std::uint64_t end = 0;
  std::uint64_t bits() const { return end - begin; }
  std::uint64_t first_byte() const { return begin / 8; }
  std::uint64_t end_byte() const { return (end + 7) / 8; }  // past the last byte it touches
  bool touches_bytes(std::uint64_t start, std::uint64_t stop) const {
    return begin < end && start < stop && first_byte() < stop && start < end_byte();
  }
};

inline BitSpan byte_span(std::uint64_t start, std::uint64_t end) { return {8 * start, 8 * end}; }

inline Region bytes_of(const BitSpan& span) {
  return {static_cast<std::uint32_t>(span.first_byte()), static_cast<std::uint32_t>(span.end_byte())};
}

inline constexpr std::size_t kBankCount = 3;
inline constexpr Bank kBanks[kBankCount] = {Bank::Messages, Bank::FixedStrings, Bank::BattleText};
inline std::size_t bank_index(Bank bank) { return static_cast<std::size_t>(bank); }

inline const rom::ByteBankLayout& byte_layout(Bank bank) {
  return bank == Bank::FixedStrings ? rom::kFixedStrings : rom::kBattleText;
}

// The pointer tables and the tree, back to back.
inline constexpr std::uint32_t kTablesStart = rom::kBattleTextPointers;
inline constexpr std::uint32_t kTablesEnd = rom::kMessageTree + 2 * rom::kTreeEntries;  // 0x1697B

// A message group pointer holds the byte offset from the message data in
// bits 3-23 and the starting bit in bits 0-2; a byte-bank pointer holds the
// byte offset from the bank's data base in all 24 bits.
inline constexpr std::uint64_t kMessageOffsetLimit = std::uint64_t{1} << 21;
inline constexpr std::uint64_t kByteOffsetLimit = std::uint64_t{1} << 24;

// The first bit at which a group of the bank can no longer start.
inline std::uint64_t group_start_limit(Bank bank) {
  if (bank == Bank::Messages) return 8 * (rom::kMessageData + kMessageOffsetLimit);
  return 8 * (byte_layout(bank).data + kByteOffsetLimit);
}

// The lowest byte a bank's pointers reach.
inline std::uint32_t bank_base(Bank bank) {
  return bank == Bank::Messages ? rom::kMessageData : byte_layout(bank).data;
}

inline std::size_t entry_count(Bank bank) {
  return bank == Bank::Messages ? rom::kMessageCount : byte_layout(bank).entries;
}

inline std::size_t group_size(Bank bank) {
  return bank == Bank::Messages ? rom::kMessageGroup : byte_layout(bank).group;
}

inline std::uint32_t pointer_table(Bank bank) {
  return bank == Bank::Messages ? rom::kMessageAccessTable : byte_layout(bank).pointer_table;
}

}  // namespace talvo::insert
