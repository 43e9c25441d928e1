#include "original_rooms.h"

#include <algorithm>
#include <limits>
#include <memory>

#include "little_endian.h"
#include "message_decoder.h"
#include "message_walk.h"

namespace talvo::insert {
namespace {

constexpr std::uint64_t kNothingYet = std::numeric_limits<std::uint64_t>::max();

std::variant<BitSpan, BrokenOriginal> find_byte_bank_room(std::span<const std::uint8_t> cartridge, Bank bank) {
  const rom::ByteBankLayout& layout = byte_layout(bank);
  std::uint64_t begin = kNothingYet, end = 0, position = 0;
  for (std::size_t i = 0; i < layout.entries; ++i) {
    if (i % layout.group == 0) {
      const auto pointer = read_pointer(cartridge, layout.pointer_table + rom::kPointerSize * (i / layout.group));
      if (!pointer) return BrokenOriginal{bank, OriginalFailure::ByteBankRead, i};
      position = std::uint64_t{layout.data} + *pointer;
      begin = std::min(begin, position);
    }
    for (;;) {
      if (position >= cartridge.size()) return BrokenOriginal{bank, OriginalFailure::ByteBankRead, i};
      if (layout.is_terminator(cartridge[position++])) break;
    }
    end = std::max(end, position);
  }
  return byte_span(begin, end);
}

}  // namespace

std::variant<BitSpan, BrokenOriginal> find_message_room(std::span<const std::uint8_t> cartridge) {
  const auto tree = std::make_unique<MessageTree>();
  switch (load_message_tree(cartridge, *tree)) {
    case TreeLoad::Ok:
      break;
    case TreeLoad::ReadFailed:
      return BrokenOriginal{Bank::Messages, OriginalFailure::TreeUnreadable, 0};
    case TreeLoad::Invalid:
      return BrokenOriginal{Bank::Messages, OriginalFailure::TreeInvalid, 0};
  }
  const auto walk = std::make_unique<MessageCodeWalk>(cartridge, *tree);
  std::uint64_t begin = kNothingYet, end = 0, bit = 0;
  for (std::size_t n = 0; n < rom::kMessageCount; ++n) {
    if (n % rom::kMessageGroup == 0) {
      const auto pointer =
          read_pointer(cartridge, rom::kMessageAccessTable + rom::kPointerSize * (n / rom::kMessageGroup));
      if (!pointer) return BrokenOriginal{Bank::Messages, OriginalFailure::AccessTableRead, n};
      bit = message_group_start(*pointer);
      begin = std::min(begin, bit);
    }
    const bool ended = walk->walk_message(bit, [&](std::size_t leaf) {
      const std::uint16_t code = (*tree)[leaf].code;
      return code == rom::kMessageEnd || code == rom::kMessageEndAlt;
    });
    if (!ended) return BrokenOriginal{Bank::Messages, OriginalFailure::MessageDataRead, n};
    end = std::max(end, bit);
  }
  return BitSpan{begin, end};
}

std::variant<OriginalRooms, BrokenOriginal> find_original_rooms(std::span<const std::uint8_t> cartridge) {
  OriginalRooms rooms;
  const auto messages = find_message_room(cartridge);
  if (const auto* broken = std::get_if<BrokenOriginal>(&messages)) return *broken;
  rooms.rooms[bank_index(Bank::Messages)] = std::get<BitSpan>(messages);
  for (Bank bank : {Bank::FixedStrings, Bank::BattleText}) {
    const auto room = find_byte_bank_room(cartridge, bank);
    if (const auto* broken = std::get_if<BrokenOriginal>(&room)) return *broken;
    rooms.rooms[bank_index(bank)] = std::get<BitSpan>(room);
  }
  return rooms;
}

}  // namespace talvo::insert
