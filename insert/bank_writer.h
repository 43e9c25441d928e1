// Writing a bank's new text and its group pointers where the placement put
// its groups. Only the bits the text takes are written: the bits of a first
// or last byte outside them keep their old values.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "bank_space.h"
#include "group_placement.h"
#include "huffman_code.h"

namespace talvo::insert {

// Writes the stored tree's entries, the bit stream and the access table.
// Needs code.has_codewords and a complete placement. Returns the spans of
// bits written in the stream, one per region used.
std::vector<BitSpan> write_messages(std::span<std::uint8_t> cartridge,
                                    const std::vector<std::vector<std::uint16_t>>& messages, const HuffmanCode& code,
                                    const GroupPlacement& placement, std::span<const BitSpan> regions);

// Writes a byte bank's entries and pointer table. Needs a complete placement.
std::vector<BitSpan> write_byte_bank(std::span<std::uint8_t> cartridge, Bank bank,
                                     const std::vector<std::vector<std::uint8_t>>& entries,
                                     const GroupPlacement& placement, std::span<const BitSpan> regions);

}  // namespace talvo::insert
