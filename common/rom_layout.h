// Where the game keeps its text in the cartridge data. All offsets are ROM
// offsets: offsets into the cartridge data, not counting a copier header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "text_format.h"

namespace talvo::rom {

// The pointer tables and the tree lie back to back; every pointer is three
// bytes, least significant first.
inline constexpr std::uint32_t kBattleTextPointers = 0x152A4;   // 47 pointers
inline constexpr std::uint32_t kMessageAccessTable = 0x15331;   // 506 pointers
inline constexpr std::uint32_t kFixedStringPointers = 0x1591F;  // 60 pointers
inline constexpr std::uint32_t kMessageTree = 0x159D3;          // 2004 entries of 2 bytes
inline constexpr std::uint32_t kBattleTextData = 0x3C9F22;      // battle pointers count from here
inline constexpr std::uint32_t kMessageData = 0x3CC258;         // the Huffman-coded bit stream
inline constexpr std::uint32_t kFixedStringData = 0x3ECFB7;     // fixed-string pointers count from here
inline constexpr std::size_t kPointerSize = 3;

inline constexpr std::size_t kMessageCount = text_format::kMessageEntries;
inline constexpr std::size_t kMessageGroup = 8;
inline constexpr std::size_t kMessageGroups = (kMessageCount + kMessageGroup - 1) / kMessageGroup;  // 506

// The stored tree: entry n is node n's branch for a 0 bit, entry n + 1002 its
// branch for a 1 bit. An entry with bit 15 set leads to node (e & 0x7FFF) >> 1;
// otherwise it is a leaf holding the message code e & 0x7FFF.
inline constexpr std::size_t kTreeNodes = 1002;
inline constexpr std::uint16_t kTreeRoot = 1001;
inline constexpr std::size_t kTreeEntries = 2 * kTreeNodes;
inline constexpr std::uint16_t kTreeBranchFlag = 0x8000;

// Message codes that end a message; 0x0AD and 0x0AF break the line only.
inline constexpr std::uint16_t kMessageEnd = text_format::kMessageEnd;
inline constexpr std::uint16_t kMessageEndAlt = text_format::kMessageEndAlt;

// Images are recognised by their total size alone; the 4 MB dump may carry a
// 512-byte copier header in front of the cartridge data.
inline constexpr std::uint64_t kSizeWithCopierHeader = 0x400200;
inline constexpr std::uint64_t kSize4Mb = 0x400000;
inline constexpr std::uint64_t kSize6Mb = 0x600000;
inline constexpr std::uint32_t kCopierHeaderSize = 512;

// The copier-header offset of an accepted image size, or nothing.
inline std::optional<std::uint32_t> header_offset_for_size(std::uint64_t size) {
  if (size == kSizeWithCopierHeader) return kCopierHeaderSize;
  if (size == kSize4Mb || size == kSize6Mb) return 0;
  return std::nullopt;
}

}  // namespace talvo::rom
