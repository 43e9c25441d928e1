#include "message_decoder.h"

#include <cstring>
#include <vector>

#include "little_endian.h"
#include "text_format.h"

namespace talvo {
namespace {

bool is_end_code(std::uint16_t code) { return code == rom::kMessageEnd || code == rom::kMessageEndAlt; }

// The message bits, most significant bit of each byte first. The mask picks
// the current bit; a byte past the end of the image ends the walk.
struct BitReader {
  std::span<const std::uint8_t> data;
  std::uint64_t position = 0;  // of the current byte
  std::uint8_t byte = 0;
  std::uint8_t mask = 0;

  bool start(std::uint64_t byte_offset, unsigned bit) {
    position = byte_offset;
    mask = static_cast<std::uint8_t>(1u << bit);
    if (position >= data.size()) return false;
    byte = data[position];
    return true;
  }
  bool bit() const { return (byte & mask) != 0; }
  bool advance() {
    mask >>= 1;
    if (mask != 0) return true;
    ++position;
    if (position >= data.size()) return false;
    byte = data[position];
    mask = 0x80;
    return true;
  }
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
  // The messages of a group follow one another in the bit stream, so each is
  // decoded where the one before it ended. That gives what a walk from the
  // group pointer over the earlier messages gives, failures included.
  BitReader bits{cartridge};
  char header[16];
  for (std::uint32_t n = 0; n < rom::kMessageCount; ++n) {
    out.append(n == 0 ? text_format::format_header(text_format::kFirstMessageHeaderFormat, n, header)
                      : text_format::format_header(text_format::kMessageHeaderFormat, n, header));
    if (n % rom::kMessageGroup == 0) {
      const auto pointer = read_pointer(cartridge, rom::kMessageAccessTable + 3 * (n / rom::kMessageGroup));
      if (!pointer) return MessageFailure::AccessTableRead;
      if (!bits.start(std::uint64_t{rom::kMessageData} + (*pointer >> 3), *pointer & 7)) {
        return MessageFailure::DataRead;
      }
    } else if (!bits.advance()) {  // past the previous message's end code
      return MessageFailure::DataRead;
    }

    std::uint16_t node = rom::kTreeRoot;
    for (;;) {
      const MessageTreeEntry& branch = tree[bits.bit() ? node + rom::kTreeNodes : node];
      if (branch.child >= 0) {
        node = static_cast<std::uint16_t>(branch.child);
      } else {
        out.append(branch.token, std::strlen(branch.token));
        if (is_end_code(branch.code)) break;
        node = rom::kTreeRoot;
      }
      if (!bits.advance()) return MessageFailure::DataRead;
    }
    if (out.failed()) return MessageFailure::WriteFailed;
  }
  return MessageFailure::None;
}

}  // namespace talvo
