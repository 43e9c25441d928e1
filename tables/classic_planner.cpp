#include "classic_planner.h"

#include <unordered_map>

namespace talvo::tables {
namespace {

std::uint32_t pair_key(std::uint16_t a, std::uint16_t b) { return std::uint32_t{a} << 16 | b; }

}  // namespace

std::vector<NewEntry> classic_plan(PlanningBank& bank, const std::vector<std::uint16_t>& free_codes,
                                   std::size_t max_length, std::size_t count) {
  std::vector<NewEntry> added;
  std::vector<std::vector<std::uint16_t>> runs(bank.runs());
  for (std::size_t r = 0; r < bank.runs(); ++r) runs[r] = bank.codes_of(r);
  const bool message = bank.kind() == CodeSet::Message;
  std::size_t next_free = 0;
  std::unordered_map<std::uint32_t, std::uint64_t> pairs;
  while (added.size() < count && next_free < free_codes.size()) {
    if (message && bank.distinct() + added.size() >= kMaxMessageCodesInUse) break;
    pairs.clear();
    for (std::size_t r = 0; r < runs.size(); ++r) {
      const auto& codes = runs[r];
      bool counted_equal = false;  // "aaa" holds one "aa" to merge, not two
      for (std::size_t i = 0; i + 1 < codes.size(); ++i) {
        const std::uint16_t a = codes[i], b = codes[i + 1];
        if (!bank.joinable(a) || !bank.joinable(b) || bank.characters(a) + bank.characters(b) > max_length) {
          counted_equal = false;
          continue;
        }
        if (a == b && counted_equal && codes[i - 1] == a) {
          counted_equal = false;
          continue;
        }
        pairs[pair_key(a, b)] += bank.weight(r);
        counted_equal = a == b;
      }
    }
    std::uint32_t best = 0;
    std::uint64_t best_count = 0;
    for (const auto& [key, n] : pairs) {
      if (n > best_count || (n == best_count && key < best)) {
        best = key;
        best_count = n;
      }
    }
    if (best_count < 2) break;
    const auto a = static_cast<std::uint16_t>(best >> 16), b = static_cast<std::uint16_t>(best & 0xFFFF);
    const std::string text = bank.text(a) + bank.text(b);
    std::uint16_t merged;
    if (const auto known = bank.code_of_text(text)) {
      merged = *known;
    } else {
      merged = free_codes[next_free++];
      added.push_back({merged, text});
      bank.add_entry(added.back());
    }
    for (auto& codes : runs) {
      std::size_t out = 0;
      for (std::size_t i = 0; i < codes.size(); ++i) {
        if (i + 1 < codes.size() && codes[i] == a && codes[i + 1] == b) {
          codes[out++] = merged;
          ++i;
        } else {
          codes[out++] = codes[i];
        }
      }
      codes.resize(out);
    }
  }
  return added;
}

}  // namespace talvo::tables
