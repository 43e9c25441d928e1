#include "original_rooms.h"

#include <algorithm>
#include <memory>

#include "banks.h"
#include "byte_bank_walk.h"
#include "little_endian.h"
#include "message_decoder.h"
#include "message_walk.h"

namespace talvo::insert {
namespace {

std::variant<BankRoom, BrokenOriginal> find_byte_bank_room(std::span<const std::uint8_t> cartridge, Bank bank) {
  const BankRecord& layout = bank_record(bank);
  std::vector<BitSpan> groups;
  groups.reserve(layout.groups());
  std::vector<std::uint64_t> sizes(layout.entries);
  const ByteWalk walk = walk_byte_bank(
      cartridge, layout, [](std::uint32_t) {},
      [&](std::uint32_t i, std::uint64_t first, std::uint64_t end) {
        if (i % layout.group == 0) groups.push_back(byte_span(first, first));
        sizes[i] = 8 * (end - first);
        groups.back().end = 8 * end;
        return true;
      });
  if (walk.stop != ByteWalkStop::Done) return BrokenOriginal{bank, OriginalFailure::ByteBankRead, walk.entry};
  return BankRoom{join_spans(std::move(groups)), std::move(sizes)};
}

}  // namespace

std::vector<BitSpan> join_spans(std::vector<BitSpan> spans) {
  std::sort(spans.begin(), spans.end(),
            [](const BitSpan& a, const BitSpan& b) { return a.begin != b.begin ? a.begin < b.begin : a.end < b.end; });
  std::vector<BitSpan> joined;
  for (const BitSpan& span : spans) {
    if (!joined.empty() && span.begin <= joined.back().end + kRoomGapLimit) {
      joined.back().end = std::max(joined.back().end, span.end);
    } else {
      joined.push_back(span);
    }
  }
  return joined;
}

std::variant<BankRoom, BrokenOriginal> find_message_room(std::span<const std::uint8_t> cartridge) {
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
  std::vector<BitSpan> groups;
  groups.reserve(rom::kMessageGroups);
  std::vector<std::uint64_t> sizes(rom::kMessageCount);
  std::uint64_t bit = 0;
  for (std::size_t n = 0; n < rom::kMessageCount; ++n) {
    if (n % rom::kMessageGroup == 0) {
      const auto pointer =
          read_pointer(cartridge, rom::kMessageAccessTable + rom::kPointerSize * (n / rom::kMessageGroup));
      if (!pointer) return BrokenOriginal{Bank::Messages, OriginalFailure::AccessTableRead, n};
      bit = message_group_start(*pointer);
      groups.push_back(BitSpan{bit, bit});
    }
    const std::uint64_t start = bit;
    const bool ended = walk->walk_message(bit, [&](std::size_t leaf) {
      const std::uint16_t code = (*tree)[leaf].code;
      return kMessageBank.is_end(code);
    });
    if (!ended) return BrokenOriginal{Bank::Messages, OriginalFailure::MessageDataRead, n};
    sizes[n] = bit - start;
    groups.back().end = bit;
  }
  return BankRoom{join_spans(std::move(groups)), std::move(sizes)};
}

std::variant<OriginalRooms, BrokenOriginal> find_original_rooms(std::span<const std::uint8_t> cartridge) {
  OriginalRooms rooms;
  for (Bank bank : kBanks) {
    auto found = bank == Bank::Messages ? find_message_room(cartridge) : find_byte_bank_room(cartridge, bank);
    if (const auto* broken = std::get_if<BrokenOriginal>(&found)) return *broken;
    BankRoom& room = std::get<BankRoom>(found);
    rooms.rooms[bank_index(bank)] = std::move(room.room);
    rooms.entry_bits[bank_index(bank)] = std::move(room.entry_bits);
  }
  return rooms;
}

}  // namespace talvo::insert
