// The walk over the message bit stream, one code at a time: the extractor
// writes the codes it finds, insertion only measures where messages lie.
//
// The walk is the tree's, one bit after another: a code ends at its leaf, and
// a bit wanted past the end of the image stops the walk. Most codes are
// short, so at the root it reads several bits at once and looks up where they
// lead; it does so only where all of them lie within the image, which
// changes nothing of the answer.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "message_decoder.h"
#include "rom_layout.h"

namespace talvo {

// The bit where a group's first message starts, counted from the start of
// the cartridge data (bit 8k is the top bit of byte k, the first read). The
// pointer's bits 3-23 are the byte offset from the message data, bits 0-2 the
// first bit as a mask names it, 7 being the byte's most significant.
inline std::uint64_t message_group_start(std::uint32_t pointer) {
  return (std::uint64_t{rom::kMessageData} + (pointer >> 3)) * 8 + (7 - (pointer & 7));
}

class MessageCodeWalk {
 public:
  // Built from the tree as loaded, so only entries reachable from the root,
  // which the loader has judged, are followed.
  MessageCodeWalk(std::span<const std::uint8_t> cartridge, const MessageTree& tree)
      : data_(cartridge), bits_(std::uint64_t{cartridge.size()} * 8), tree_(tree) {
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

  // Reads codes from `bit` on, each from the root, and hands each code's leaf
  // (its tree entry) to `on_leaf` until it returns true, at the message's
  // end; `bit` is then just past that code. False when a code wants a bit
  // past the end of the image (`bit` is where the walk stopped). One loop
  // with the caller's work inlined: a call per code cost a tenth of the
  // extractor's instructions.
  template <typename OnLeaf>
  bool walk_message(std::uint64_t& bit, OnLeaf&& on_leaf) const {
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
        if (bit >= bits_) return false;
        const bool one = (data_[bit >> 3] >> (7 - (bit & 7)) & 1) != 0;
        const std::size_t entry = one ? node + rom::kTreeNodes : node;
        ++bit;
        if (tree_[entry].child >= 0) {
          node = static_cast<std::uint16_t>(tree_[entry].child);
          continue;
        }
        leaf = entry;
      }
      if (on_leaf(leaf)) return true;
      node = rom::kTreeRoot;
    }
  }

 private:
  static constexpr unsigned kLookupBits = 11;

  // Where the next kLookupBits bits lead from the root: to a leaf after
  // `length` of them, or, when no leaf is that near, to an inner node after
  // all of them.
  struct LookupStep {
    std::uint16_t target = 0;  // a leaf: its tree entry; otherwise the node reached
    std::uint8_t length = 0;   // the bits consumed
    bool leaf = false;
  };

  // The kLookupBits bits from `bit` on, the first of them highest; the
  // caller has checked that 8 bytes from bit's byte lie within the image.
  std::uint32_t peek(std::uint64_t bit) const {
    const std::uint8_t* p = data_.data() + (bit >> 3);
    std::uint64_t window = 0;
    for (int k = 0; k < 8; ++k) window = window << 8 | p[k];
    return static_cast<std::uint32_t>((window << (bit & 7)) >> (64 - kLookupBits));
  }

  std::span<const std::uint8_t> data_;
  std::uint64_t bits_;
  const MessageTree& tree_;
  std::array<LookupStep, std::size_t{1} << kLookupBits> lookup_{};
};

}  // namespace talvo
