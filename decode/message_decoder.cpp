#include "message_decoder.h"

#include <array>
#include <cstring>
#include <memory>
#include <vector>

#include "banks.h"
#include "little_endian.h"
#include "message_walk.h"
#include "text_format.h"

namespace talvo {
namespace {

// A message's tokens are gathered here and handed to the output whole: one
// append per message rather than one per code. Each token is copied as its
// whole slot, NUL padding included, and only its length counted: a copy of
// a size known at compile time for the game's 8-byte slots.
template <std::size_t Slot>
class TokenStage {
 public:
  TokenStage(BufferedOutput& out, std::size_t slot) : out_(out), slot_(Slot != 0 ? Slot : slot) {}
  void put(const char* token, std::size_t length) {
    if (buffer_.size() - count_ < slot_) hand_over();
    std::memcpy(buffer_.data() + count_, token, Slot != 0 ? Slot : slot_);
    count_ += length;
  }
  void hand_over() {
    out_.append(buffer_.data(), count_);
    count_ = 0;
  }

 private:
  BufferedOutput& out_;
  const std::size_t slot_;
  std::array<char, 8192> buffer_;
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
    const std::uint16_t e = read_le16(stored + 2 * i);
    if (e & rom::kTreeBranchFlag) {
      entry.child = static_cast<std::int16_t>((e & 0x7FFF) >> 1);
    } else {
      entry.code = e;
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

namespace {

template <std::size_t Slot>
MessageFailure decode_messages_with(std::span<const std::uint8_t> cartridge, const MessageTree& tree,
                                    const Vocabulary& vocabulary, BufferedOutput& out, std::uint32_t& stopped_at) {
  const MessageCodeWalk walk(cartridge, tree);
  // Each leaf's token, found once: a loaded tree's leaves hold codes of the
  // table (an unreachable one that does not is never reached).
  std::array<const char*, rom::kTreeEntries> leaf_token{};
  std::array<std::uint16_t, rom::kTreeEntries> token_length{};
  for (std::size_t i = 0; i < tree.size(); ++i) {
    if (tree[i].child >= 0 || tree[i].code >= vocabulary.size()) continue;
    leaf_token[i] = vocabulary.slot(tree[i].code);
    token_length[i] = static_cast<std::uint16_t>(vocabulary.extraction(tree[i].code).size());
  }

  // The messages of a group follow one another in the bit stream, so each is
  // decoded where the one before it ended. That gives what a walk from the
  // group pointer over the earlier messages gives, failures included: a code
  // is written once its last bit is read, and a bit wanted past the end of
  // the image stops the walk.
  TokenStage<Slot> tokens(out, vocabulary.slot_size());
  std::uint64_t bit = 0;
  char header[16];
  for (std::uint32_t n = 0; n < rom::kMessageCount; ++n) {
    stopped_at = n;
    out.append(n == 0 ? text_format::format_header(text_format::kFirstMessageHeaderFormat, n, header)
                      : text_format::format_header(text_format::kMessageHeaderFormat, n, header));
    if (n % rom::kMessageGroup == 0) {
      const auto pointer = read_pointer(cartridge, rom::kMessageAccessTable + 3 * (n / rom::kMessageGroup));
      if (!pointer) return MessageFailure::AccessTableRead;
      bit = message_group_start(*pointer);
    }
    const bool ended = walk.walk_message(bit, [&](std::size_t leaf) {
      tokens.put(leaf_token[leaf], token_length[leaf]);
      return kMessageBank.is_end(tree[leaf].code);
    });
    if (!ended) {
      tokens.hand_over();  // the message as far as it went
      return MessageFailure::DataRead;
    }
    tokens.hand_over();
    if (out.failed()) return MessageFailure::WriteFailed;
  }
  return MessageFailure::None;
}

}  // namespace

MessageFailure decode_message_text(std::span<const std::uint8_t> cartridge, const MessageTree& tree,
                                   const Vocabulary& vocabulary, BufferedOutput& out, std::uint32_t* stopped_at) {
  std::uint32_t at = 0;
  const MessageFailure failure = vocabulary.slot_size() == 8
                                     ? decode_messages_with<8>(cartridge, tree, vocabulary, out, at)
                                     : decode_messages_with<0>(cartridge, tree, vocabulary, out, at);
  if (stopped_at != nullptr) *stopped_at = at;
  return failure;
}

}  // namespace talvo
