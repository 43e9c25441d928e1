// A bank's texts encoded for the least room, the codes of its entries
// chosen where the table's texts overlap ("t", "h", "th", "the "):
//
//   - byte banks in the fewest codes there are: a cheapest path over each
//     run's positions, every code costing one byte;
//   - messages in the fewest Huffman bits over the whole bank: the codes
//     chosen give counts, the counts a Huffman code, its lengths the costs
//     of the next choice, until a round gains nothing or less than a
//     thousandth (the rounds after it would gain a few bits in a million).
//     Greedy longest match is where it starts from, so the result is never
//     larger; and it uses no more than the 1003 codes the game's tree holds
//     where greedy does not.
//
// Deterministic: the same texts and table give the same codes. Every code
// keeps the bytes of the text it stands for, for diagnostics and widths.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "bank_runs.h"
#include "table_index.h"

namespace talvo::tables {

struct CodedUnit {
  std::uint32_t first = 0;  // the bytes it stands for: a token with its brackets, or its part of a run
  std::uint32_t end = 0;
  std::uint16_t code = 0;
};

// A run that no choice of entries covers, and the character of it where
// every choice stops (the furthest any reaches); one run may have several,
// each found again from the character behind the one before.
struct StuckPlace {
  std::size_t offset = 0;
  std::size_t run_first = 0;
  std::size_t run_end = 0;
};

struct EncodedText {
  std::vector<CodedUnit> codes;          // in file order; pieces before the first header give the first ones
  std::vector<std::size_t> entry_first;  // per entry the number of its first code, then codes.size()
  std::vector<StuckPlace> stuck;         // in file order; their runs give no codes

  std::span<const CodedUnit> entry_codes(std::size_t entry) const {
    return std::span(codes).subspan(entry_first[entry], entry_first[entry + 1] - entry_first[entry]);
  }
};

struct BankEncoding {
  std::vector<EncodedText> texts;     // one per text given
  std::vector<std::uint64_t> counts;  // per code, over every text
  std::uint64_t size = 0;             // messages: Huffman bits; byte banks: codes (bytes)
  std::size_t distinct = 0;           // codes in use
};

enum class EncodingMethod : std::uint8_t {
  Shortest,
  Greedy,  // longest match at each place; the usual tools' choice, a baseline
};

// Encodes the texts of one bank (several files for the two byte banks,
// which share their table, or a message file). Texts must be under 4 GiB.
BankEncoding encode_bank(const TableIndex& index, std::span<const TextToEncode> texts, EncodingMethod method);

// Huffman bits of message code counts; the sum of byte code counts.
std::uint64_t bank_size(CodeSet kind, std::span<const std::uint64_t> counts);

}  // namespace talvo::tables
