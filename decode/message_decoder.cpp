#include "message_decoder.h"

#include <array>
#include <cstring>
#include <vector>

#include "little_endian.h"
#include "text_format.h"

namespace talvo {
namespace {

bool is_end_code(std::uint16_t code) { return code == rom::kMessageEnd || code == rom::kMessageEndAlt; }

// The message bits, most significant bit of each byte first, counted from the
// start of the cartridge data. A bit past the end of the image ends the walk.
class BitStream {
 public:
  explicit BitStream(std::span<const std::uint8_t> data) : data_(data), bits_(std::uint64_t{data.size()} * 8) {}

  bool has(std::uint64_t bit) const { return bit < bits_; }
  bool at(std::uint64_t bit) const { return (data_[bit >> 3] >> (7 - (bit & 7)) & 1) != 0; }

  // Whether peek(bit, n) may read: its 8-byte window lies within the image.
  bool has_window(std::uint64_t bit) const { return (bit >> 3) + 8 <= data_.size(); }
  // The n (at most 57) bits from `bit` on, the first of them highest.
  std::uint32_t peek(std::uint64_t bit, unsigned n) const {
    const std::uint8_t* p = data_.data() + (bit >> 3);
    std::uint64_t window = 0;
    for (int k = 0; k < 8; ++k) window = window << 8 | p[k];
    return static_cast<std::uint32_t>((window << (bit & 7)) >> (64 - n));
  }

 private:
  std::span<const std::uint8_t> data_;
  std::uint64_t bits_;
};

// Most codes are short: at the root the walk reads this many bits at once and
// looks up where they lead, instead of going down the tree bit by bit.
constexpr unsigned kLookupBits = 11;

// Where the next kLookupBits bits lead from the root: to a leaf after
// `length` of them, or, when no leaf is that near, to an inner node after all
// of them.
struct LookupStep {
  std::uint16_t target = 0;  // a leaf: its tree entry; otherwise the node reached
  std::uint8_t length = 0;   // the bits consumed
  bool leaf = false;
};

using RootLookup = std::array<LookupStep, std::size_t{1} << kLookupBits>;

// Built from the tree as loaded, so only reachable entries are followed.
void build_root_lookup(const MessageTree& tree, RootLookup& lookup) {
  for (std::uint32_t pattern = 0; pattern < lookup.size(); ++pattern) {
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
    lookup[pattern] = step;
  }
}

// A message's tokens are gathered here and handed to the output whole: one
// append per message rather than one per code. Each token is copied as its
// whole slot, NUL padding included, and only its length counted.
class TokenStage {
 public:
  explicit TokenStage(BufferedOutput& out) : out_(out) {}
  void put(const char (&token)[kMessageTokenSlot], std::size_t length) {
    if (buffer_.size() - count_ < kMessageTokenSlot) hand_over();
    std::memcpy(buffer_.data() + count_, token, kMessageTokenSlot);
    count_ += length;
  }
  void hand_over() {
    out_.append(buffer_.data(), count_);
    count_ = 0;
  }

 private:
  BufferedOutput& out_;
  std::array<char, 4096> buffer_;
  std::size_t count_ = 0;
};

}  // namespace

TreeLoad load_message_tree(std::span<const std::uint8_t> cartridge, MessageTree& tree) {
  constexpr std::size_t kBytes = 2 * rom::kTreeEntries;
  if (cartridge.size() < rom::kMessageTree || cartridge.size() - rom::kMessageTree < kBytes) {
    return TreeLoad::ReadFailed;
  }
  const std::uint8_t* stored = cartridge.data() + rom::kMessageTree;
  for (std::size_t i = 0; i < rom::kTreeEntries; ++i) {
    MessageTreeEntry& entry = tree[i];
    entry = MessageTreeEntry{};
    entry.raw_low = stored[2 * i];
    entry.raw_high = stored[2 * i + 1];
    const std::uint16_t e = static_cast<std::uint16_t>(entry.raw_low | entry.raw_high << 8);
    if (e & rom::kTreeBranchFlag) {
      entry.child = static_cast<std::int16_t>((e & 0x7FFF) >> 1);
    } else {
      entry.code = e;
      if (entry.code < kMessageCodeCount) message_token(entry.code, entry.token);
    }
  }

  // Judge what the walk can reach from the root.
  std::vector<bool> seen(rom::kTreeNodes, false);
  std::vector<std::uint16_t> pending{rom::kTreeRoot};
  seen[rom::kTreeRoot] = true;
  while (!pending.empty()) {
    const std::uint16_t node = pending.back();
    pending.pop_back();
    for (const MessageTreeEntry* branch : {&tree[node], &tree[node + rom::kTreeNodes]}) {
      if (branch->child < 0) {
        if (branch->code >= kMessageCodeCount) return TreeLoad::Invalid;
      } else if (static_cast<std::size_t>(branch->child) >= rom::kTreeNodes) {
        return TreeLoad::Invalid;
      } else if (!seen[static_cast<std::size_t>(branch->child)]) {
        seen[static_cast<std::size_t>(branch->child)] = true;
        pending.push_back(static_cast<std::uint16_t>(branch->child));
      }
    }
  }
  return TreeLoad::Ok;
}

MessageFailure decode_message_text(std::span<const std::uint8_t> cartridge, const MessageTree& tree,
                                   BufferedOutput& out) {
  RootLookup lookup;
  build_root_lookup(tree, lookup);
  std::array<std::uint8_t, rom::kTreeEntries> token_length{};
  for (std::size_t i = 0; i < tree.size(); ++i) token_length[i] = static_cast<std::uint8_t>(std::strlen(tree[i].token));

  // The messages of a group follow one another in the bit stream, so each is
  // decoded where the one before it ended. That gives what a walk from the
  // group pointer over the earlier messages gives, failures included.
  //
  // The walk is the tree's, one bit after another: a code is written once its
  // last bit is read, and a bit wanted past the end of the image stops it.
  // Reading several bits at once through the root lookup changes nothing of
  // that, as it is used only where all of its bits lie within the image.
  const BitStream stream(cartridge);
  TokenStage tokens(out);
  std::uint64_t bit = 0;
  char header[16];
  for (std::uint32_t n = 0; n < rom::kMessageCount; ++n) {
    out.append(n == 0 ? text_format::format_header(text_format::kFirstMessageHeaderFormat, n, header)
                      : text_format::format_header(text_format::kMessageHeaderFormat, n, header));
    if (n % rom::kMessageGroup == 0) {
      const auto pointer = read_pointer(cartridge, rom::kMessageAccessTable + 3 * (n / rom::kMessageGroup));
      if (!pointer) return MessageFailure::AccessTableRead;
      // The low three bits pick the first bit as a mask, 1 << (v & 7): 7 is
      // the byte's most significant bit, the one read first.
      bit = (std::uint64_t{rom::kMessageData} + (*pointer >> 3)) * 8 + (7 - (*pointer & 7));
    }

    std::uint16_t node = rom::kTreeRoot;
    for (;;) {
      std::size_t leaf;
      if (node == rom::kTreeRoot && stream.has_window(bit)) {
        const LookupStep step = lookup[stream.peek(bit, kLookupBits)];
        bit += step.length;
        if (!step.leaf) {
          node = step.target;
          continue;
        }
        leaf = step.target;
      } else {
        if (!stream.has(bit)) {
          tokens.hand_over();  // the message as far as it went
          return MessageFailure::DataRead;
        }
        const std::size_t entry = stream.at(bit) ? node + rom::kTreeNodes : node;
        ++bit;
        if (tree[entry].child >= 0) {
          node = static_cast<std::uint16_t>(tree[entry].child);
          continue;
        }
        leaf = entry;
      }
      tokens.put(tree[leaf].token, token_length[leaf]);
      if (is_end_code(tree[leaf].code)) break;
      node = rom::kTreeRoot;
    }
    tokens.hand_over();
    if (out.failed()) return MessageFailure::WriteFailed;
  }
  return MessageFailure::None;
}

}  // namespace talvo
