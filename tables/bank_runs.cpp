#include "bank_runs.h"

#include <unordered_map>

namespace talvo::tables {

BankRuns collect_bank_runs(CodeSet kind, std::span<const TextToEncode> texts) {
  BankRuns out;
  out.fixed_counts.assign(code_count(kind), 0);
  std::unordered_map<std::string_view, std::uint32_t> numbers;
  for (const TextToEncode& text : texts) {
    std::vector<std::uint32_t>& of_piece = out.run_of_piece.emplace_back(text.read->pieces.size(), 0);
    for (std::size_t i = 0; i < text.read->pieces.size(); ++i) {
      const TextPiece& piece = text.read->pieces[i];
      if (piece.kind == PieceKind::Code) {
        ++out.fixed_counts[piece.code];
        continue;
      }
      const std::string_view run = text.utf8.substr(piece.first, piece.end - piece.first);
      const auto [it, added] = numbers.emplace(run, static_cast<std::uint32_t>(out.runs.size()));
      if (added) {
        out.runs.push_back(run);
        out.weights.push_back(0);
      }
      ++out.weights[it->second];
      of_piece[i] = it->second;
    }
  }
  return out;
}

}  // namespace talvo::tables
