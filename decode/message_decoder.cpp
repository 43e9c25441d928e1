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
  const MessageCodeWalk walk(cartridge, tree);
  std::array<std::uint8_t, rom::kTreeEntries> token_length{};
  for (std::size_t i = 0; i < tree.size(); ++i) token_length[i] = static_cast<std::uint8_t>(std::strlen(tree[i].token));

  // The messages of a group follow one another in the bit stream, so each is
  // decoded where the one before it ended. That gives what a walk from the
  // group pointer over the earlier messages gives, failures included: a code
  // is written once its last bit is read, and a bit wanted past the end of
  // the image stops the walk.
  TokenStage tokens(out);
  std::uint64_t bit = 0;
  char header[16];
  for (std::uint32_t n = 0; n < rom::kMessageCount; ++n) {
    out.append(n == 0 ? text_format::format_header(text_format::kFirstMessageHeaderFormat, n, header)
                      : text_format::format_header(text_format::kMessageHeaderFormat, n, header));
    if (n % rom::kMessageGroup == 0) {
      const auto pointer = read_pointer(cartridge, rom::kMessageAccessTable + 3 * (n / rom::kMessageGroup));
      if (!pointer) return MessageFailure::AccessTableRead;
      bit = message_group_start(*pointer);
    }
    const bool ended = walk.walk_message(bit, [&](std::size_t leaf) {
      tokens.put(tree[leaf].token, token_length[leaf]);
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

}  // namespace talvo
