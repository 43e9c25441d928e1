// The walk over a byte bank's entries, shared by the decoder and by
// insertion's finding of the bank's room: each group from its pointer, each
// entry from where the one before it ended, up to and with its end code.
// Beside the message walk (message_walk.h), the other way the game's text
// is found.
#pragma once

#include <cstdint>
#include <span>

#include "banks.h"
#include "little_endian.h"

namespace talvo {

enum class ByteWalkStop : std::uint8_t {
  Done,     // every entry found
  Broken,   // a group pointer or an entry's bytes run past the end of the image
  Stopped,  // the caller stopped it
};

struct ByteWalk {
  ByteWalkStop stop = ByteWalkStop::Done;
  std::uint32_t entry = 0;  // where it stopped: the entry being read
};

// `begin(i)` is called before entry i is looked for; `found(i, first, end)`
// once its bytes [first, end) of the cartridge are known, the end code the
// last of them, and returns false to stop the walk.
template <typename Begin, typename Found>
ByteWalk walk_byte_bank(std::span<const std::uint8_t> cartridge, const BankRecord& bank, Begin&& begin, Found&& found) {
  std::uint64_t position = 0;
  for (std::uint32_t i = 0; i < bank.entries; ++i) {
    begin(i);
    if (i % bank.group == 0) {
      const auto pointer = read_pointer(cartridge, bank.pointer_table + rom::kPointerSize * (i / bank.group));
      if (!pointer) return {ByteWalkStop::Broken, i};
      position = std::uint64_t{bank.data} + *pointer;
    }
    const std::uint64_t first = position;
    for (;;) {
      if (position >= cartridge.size()) return {ByteWalkStop::Broken, i};
      if (bank.is_end(cartridge[position++])) break;
    }
    if (!found(i, first, position)) return {ByteWalkStop::Stopped, i};
  }
  return {};
}

}  // namespace talvo
