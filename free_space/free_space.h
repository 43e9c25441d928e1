// Space a translator might give a bank with --room: runs of one repeated
// byte, 0x00 or 0xFF, which is what a cartridge holds where nothing was
// put, that the bank's pointers can reach and that no bank's text, pointer
// table, message tree or internal header occupies. Nothing proves such
// bytes unused: the game may read a blank stretch as graphics or data.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <variant>
#include <vector>

#include "bank_space.h"
#include "banks.h"
#include "insertion.h"

namespace talvo::free_space {

// Shorter runs are too small to hold a group worth moving, and too common
// inside ordinary data to mean anything.
inline constexpr std::uint32_t kShortestRun = 256;

struct FreeRun {
  std::uint32_t start = 0;  // ROM offsets, the end excluded
  std::uint32_t end = 0;
  std::uint8_t byte = 0;  // 0x00 or 0xFF
  std::uint32_t bytes() const { return end - start; }
  friend bool operator==(const FreeRun&, const FreeRun&) = default;
};

struct FreeSpace {
  // By bank index: the runs the bank may be given, largest first, ties by
  // address. A run several banks reach is listed for each.
  std::array<std::vector<FreeRun>, kBankCount> banks;
  const std::vector<FreeRun>& of(Bank bank) const { return banks[bank_index(bank)]; }
};

// Reads the banks' rooms as insertion does, so it fails where insertion
// would refuse the image; one pass over the bytes for the runs.
std::variant<FreeSpace, insert::BrokenOriginal> find_free_space(std::span<const std::uint8_t> cartridge);

}  // namespace talvo::free_space
