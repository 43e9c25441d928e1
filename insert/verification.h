// The check of a new cartridge before it is handed back: the extractor's own
// decoders must read from it the text that went in, and nothing outside what
// insertion writes may have changed.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "bank_space.h"
#include "buffered_output.h"
#include "insertion.h"

namespace talvo::insert {

// What the extractor writes for these entries: headers, the extraction-form
// tokens, line feeds, as in its text files.
GatheredText render_messages(const std::vector<std::vector<std::uint16_t>>& messages);
GatheredText render_byte_bank(const std::vector<std::vector<std::uint8_t>>& entries);

// What the extractor writes for the bank of this cartridge, as far as it
// gets, into `out` (made without a file).
void read_bank_text(std::span<const std::uint8_t> cartridge, Bank bank, BufferedOutput& out);

// The number of the first entry whose text differs between two texts of one
// bank in the extractor's form, or nothing when they are equal. A text that
// stops early differs at the first entry it lacks or leaves incomplete.
std::optional<std::size_t> first_differing_entry(std::string_view expected, std::string_view actual);

// The first byte that differs between `before` and `after` (of equal size)
// at a bit outside every span of `allowed`, or nothing.
std::optional<std::uint64_t> first_change_outside(std::span<const std::uint8_t> before,
                                                  std::span<const std::uint8_t> after, std::vector<BitSpan> allowed);

}  // namespace talvo::insert
