// Places in the cartridge counted in bits, and what insertion needs to know
// of each bank. Bit 8k is the top bit of byte k, the first the game reads,
// so a span of bits reads in the order the message stream is read.
#pragma once

#include <cstddef>
#include <cstdint>

#include "banks.h"
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
  const std::uint64_t reach = bank == Bank::Messages ? kMessageOffsetLimit : kByteOffsetLimit;
  return 8 * (bank_record(bank).data + reach);
}

}  // namespace talvo::insert
