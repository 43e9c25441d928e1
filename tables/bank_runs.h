// A bank's texts as the encoder sees them: the runs of running text, each
// distinct run once with how often it occurs (a script says "Thank you."
// many times over, and every copy encodes alike), and the codes that the
// tokens fix.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "table_text_reader.h"
#include "translator_table.h"

namespace talvo::tables {

// One text file of a bank: its UTF-8 text and what the reader made of it.
struct TextToEncode {
  std::string_view utf8;
  const TableText* read = nullptr;
};

struct BankRuns {
  std::vector<std::string_view> runs;                    // distinct, in order of first appearance
  std::vector<std::uint64_t> weights;                    // how often each occurs
  std::vector<std::vector<std::uint32_t>> run_of_piece;  // per text, per piece: its run's number (runs only)
  std::vector<std::uint64_t> fixed_counts;               // per code: how often tokens give it
};

BankRuns collect_bank_runs(CodeSet kind, std::span<const TextToEncode> texts);

}  // namespace talvo::tables
