// The two banks stored one byte per character: the fixed strings and the
// battle text.
#pragma once

#include <cstdint>
#include <span>

#include "banks.h"
#include "buffered_output.h"
#include "rom_layout.h"
#include "vocabulary.h"

namespace talvo {

enum class ByteBankFailure { None, ReadFailed, WriteFailed };

// Writes every entry of the bank as one line, its header then the tokens of
// all its bytes as `vocabulary` (a byte vocabulary) writes them, terminator
// included, into `out`. Stops at the first pointer
// or byte that lies past the end of the image, or when `out` can no longer
// be written; the header of the entry being read stays in `out`.
// `stopped_at`, when given, receives the entry being read at a failure.
ByteBankFailure decode_byte_bank_text(std::span<const std::uint8_t> cartridge, const BankRecord& bank,
                                      const Vocabulary& vocabulary, BufferedOutput& out,
                                      std::uint32_t* stopped_at = nullptr);

}  // namespace talvo
