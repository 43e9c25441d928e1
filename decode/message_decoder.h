// The message bank: 4047 messages Huffman-coded into one bit stream, found
// through one pointer for every group of eight.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "buffered_output.h"
#include "rom_layout.h"
#include "vocabulary.h"

namespace talvo {

// One stored branch of the tree, expanded for the walk.
struct MessageTreeEntry {
  std::uint16_t code = 0;   // leaf: its message code
  std::int16_t child = -1;  // branch: the node it leads to; leaf: -1
};

using MessageTree = std::array<MessageTreeEntry, rom::kTreeEntries>;

enum class TreeLoad { Ok, ReadFailed, Invalid };

// Reads the stored tree out of the cartridge data and expands it. Fails when
// the tree lies past the end of the image, or when a branch that the walk can
// reach from the root leads past node 1001 or holds a code past 0x60B.
// Entries the walk cannot reach are never used, so they are not judged.
TreeLoad load_message_tree(std::span<const std::uint8_t> cartridge, MessageTree& tree);

enum class MessageFailure { None, AccessTableRead, DataRead, WriteFailed };

// Writes every message, each under its header and its codes as `vocabulary`
// writes them (a message vocabulary), into `out` in number order. Stops at
// the first pointer or data byte that lies past the end of the image, or
// when `out` can no longer be written; what was written up to then,
// including the header of the message being read, stays in `out`.
// `stopped_at`, when given, receives the message being read at a failure.
MessageFailure decode_message_text(std::span<const std::uint8_t> cartridge, const MessageTree& tree,
                                   const Vocabulary& vocabulary, BufferedOutput& out,
                                   std::uint32_t* stopped_at = nullptr);

}  // namespace talvo
