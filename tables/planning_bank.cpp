#include "planning_bank.h"

#include <cmath>

#include "utf8.h"

namespace talvo::tables {
namespace {

std::size_t count_characters(std::string_view text) {
  std::size_t n = 0;
  while (!text.empty()) {
    const Utf8Char c = decode_utf8(text);
    text.remove_prefix(c.length > 0 ? c.length : text.size());
    ++n;
  }
  return n;
}

}  // namespace

PlanningBank::PlanningBank(const TranslatorTable& base, std::span<const TextToEncode> texts)
    : kind_(base.kind), runs_(collect_bank_runs(base.kind, texts)) {
  const std::size_t n = code_count(kind_);
  texts_.resize(n);
  characters_.assign(n, 0);
  glyph_.resize(n);
  for (std::size_t code = 0; code < n; ++code) {
    const auto c = static_cast<std::uint16_t>(code);
    glyph_[code] = !is_control_code(kind_, c);
    const auto& entry = base.codes[code];
    if (entry && !entry->bracketed) add_entry({c, entry->text});
  }
  counts_ = runs_.fixed_counts;
  for (std::uint64_t c : counts_) {
    distinct_ += c != 0;
    total_ += c;
  }
  codes_.resize(runs_.runs.size());
  rebuild_trie();
  const PathCosts unit(std::vector<std::uint32_t>(n, 1));
  for (std::size_t r = 0; r < runs_.runs.size(); ++r) encode_run(r, unit);
}

std::optional<std::uint16_t> PlanningBank::code_of_text(std::string_view text) const {
  const auto it = code_of_text_.find(std::string(text));
  if (it == code_of_text_.end()) return std::nullopt;
  return it->second;
}

void PlanningBank::add_entry(const NewEntry& entry) {
  texts_[entry.code] = entry.text;
  characters_[entry.code] = count_characters(entry.text);
  const auto [it, added] = code_of_text_.emplace(entry.text, entry.code);
  if (!added && entry.code < it->second) it->second = entry.code;
}

void PlanningBank::remove_entry(std::uint16_t code) {
  const auto it = code_of_text_.find(texts_[code]);
  if (it != code_of_text_.end() && it->second == code) code_of_text_.erase(it);
  texts_[code].clear();
  characters_[code] = 0;
}

void PlanningBank::rebuild_trie() {
  std::vector<EntryTrie::Entry> entries;
  for (std::size_t code = 0; code < texts_.size(); ++code) {
    if (!texts_[code].empty()) entries.push_back({texts_[code], static_cast<std::uint16_t>(code)});
  }
  trie_ = EntryTrie(entries);
}

PathCosts PlanningBank::costs(std::uint16_t fresh, std::uint64_t expected) const {
  if (kind_ == CodeSet::Byte) return PathCosts(std::vector<std::uint32_t>(counts_.size(), 1));
  const double total = static_cast<double>(std::max<std::uint64_t>(total_, 1));
  const auto cost_of = [&](std::uint64_t count) {
    const double bits = count == 0 ? std::log2(total) + 1 : std::log2(total / static_cast<double>(count));
    return static_cast<std::uint32_t>(std::lround(256 * std::max(bits, 1.0)));
  };
  std::vector<std::uint32_t> out(counts_.size());
  for (std::size_t code = 0; code < counts_.size(); ++code) out[code] = cost_of(counts_[code]);
  if (fresh != EntryTrie::kNoCode && counts_[fresh] == 0) out[fresh] = cost_of(expected);
  return PathCosts(out);
}

void PlanningBank::count(std::size_t r, bool add) {
  const std::uint64_t w = runs_.weights[r];
  for (std::uint16_t code : codes_[r]) {
    std::uint64_t& c = counts_[code];
    if (add) {
      distinct_ += c == 0;
      c += w;
      total_ += w;
    } else {
      c -= w;
      total_ -= w;
      distinct_ -= c == 0;
    }
  }
}

void PlanningBank::encode_run(std::size_t r, const PathCosts& costs) {
  count(r, false);
  std::vector<std::uint16_t> codes;
  const WalkedMatches matches(trie_, runs_.runs[r]);
  // A run the table cannot encode is left out of the plan: it keeps no codes.
  cheapest_codes(matches, runs_.runs[r].size(), trie_, costs, scratch_, codes);
  codes_[r] = std::move(codes);
  count(r, true);
}

TranslatorTable PlanningBank::with_entries(const TranslatorTable& base, const std::vector<NewEntry>& entries) {
  TranslatorTable table = base;
  for (const NewEntry& entry : entries) table.codes[entry.code] = TableEntry{entry.text, false, CodeRole::None, 0};
  return table;
}

}  // namespace talvo::tables
