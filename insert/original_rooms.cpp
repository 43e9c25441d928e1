#include "original_rooms.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <memory>

#include "little_endian.h"
#include "message_decoder.h"

namespace talvo::insert {
namespace {

constexpr std::uint64_t kNothingYet = std::numeric_limits<std::uint64_t>::max();

// Most codes are short, so the walk reads this many bits at once at the
// root and looks up where they lead; near the end of the image it goes bit
// by bit, so that no bit past the end is ever read.
constexpr unsigned kLookupBits = 11;

struct LookupStep {
  std::uint16_t target = 0;  // a leaf: its tree entry; otherwise the node reached
  std::uint8_t length = 0;   // bits consumed
  bool leaf = false;
};

class MessageWalk {
 public:
  MessageWalk(std::span<const std::uint8_t> cartridge, const MessageTree& tree) : data_(cartridge), tree_(tree) {
    for (std::size_t i = 0; i < tree.size(); ++i) {
      ends_[i] = tree[i].child < 0 && (tree[i].code == rom::kMessageEnd || tree[i].code == rom::kMessageEndAlt);
    }
    // Built from the tree as loaded: only branches reachable from the root,
    // which the loader has judged, are followed.
    for (std::uint32_t pattern = 0; pattern < lookup_.size(); ++pattern) {
      LookupStep step{rom::kTreeRoot, kLookupBits, false};
      for (unsigned k = 0; k < kLookupBits; ++k) {
        const bool one = (pattern >> (kLookupBits - 1 - k) & 1) != 0;
        const std::size_t entry = one ? step.target + rom::kTreeNodes : step.target;
        if (tree[entry].child < 0) {
          step = LookupStep{static_cast<std::uint16_t>(entry), static_cast<std::uint8_t>(k + 1), true};
          break;
        }
        step.target = static_cast<std::uint16_t>(tree[entry].child);
      }
      lookup_[pattern] = step;
    }
  }

  // Moves `bit` past the message starting there; false when the message
  // wants a bit past the end of the image.
  bool pass_message(std::uint64_t& bit) const {
    const std::uint64_t bits = std::uint64_t{data_.size()} * 8;
    std::uint16_t node = rom::kTreeRoot;
    for (;;) {
      std::size_t leaf;
      if (node == rom::kTreeRoot && (bit >> 3) + 8 <= data_.size()) {
        const LookupStep step = lookup_[peek(bit)];
        bit += step.length;
        if (!step.leaf) {
          node = step.target;
          continue;
        }
        leaf = step.target;
      } else {
        if (bit >= bits) return false;
        const bool one = (data_[bit >> 3] >> (7 - (bit & 7)) & 1) != 0;
        const std::size_t entry = one ? node + rom::kTreeNodes : node;
        ++bit;
        if (tree_[entry].child >= 0) {
          node = static_cast<std::uint16_t>(tree_[entry].child);
          continue;
        }
        leaf = entry;
      }
      if (ends_[leaf]) return true;
      node = rom::kTreeRoot;
    }
  }

 private:
  // The kLookupBits bits from `bit` on, the first of them highest; the
  // caller has checked that 8 bytes from bit's byte lie within the image.
  std::uint32_t peek(std::uint64_t bit) const {
    const std::uint8_t* p = data_.data() + (bit >> 3);
    std::uint64_t window = 0;
    for (int k = 0; k < 8; ++k) window = window << 8 | p[k];
    return static_cast<std::uint32_t>((window << (bit & 7)) >> (64 - kLookupBits));
  }

  std::span<const std::uint8_t> data_;
  const MessageTree& tree_;
  std::array<bool, rom::kTreeEntries> ends_{};
  std::array<LookupStep, std::size_t{1} << kLookupBits> lookup_{};
};

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
  const auto walk = std::make_unique<MessageWalk>(cartridge, *tree);
  std::uint64_t begin = kNothingYet, end = 0, bit = 0;
  for (std::size_t n = 0; n < rom::kMessageCount; ++n) {
    if (n % rom::kMessageGroup == 0) {
      const auto pointer =
          read_pointer(cartridge, rom::kMessageAccessTable + rom::kPointerSize * (n / rom::kMessageGroup));
      if (!pointer) return BrokenOriginal{Bank::Messages, OriginalFailure::AccessTableRead, n};
      // Bits 0-2 name the first bit as the game's mask does, 7 the top one.
      bit = (std::uint64_t{rom::kMessageData} + (*pointer >> 3)) * 8 + (7 - (*pointer & 7));
      begin = std::min(begin, bit);
    }
    if (!walk->pass_message(bit)) return BrokenOriginal{Bank::Messages, OriginalFailure::MessageDataRead, n};
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
