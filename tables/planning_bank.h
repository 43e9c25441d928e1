// What both planners of new entries work on: the bank's distinct runs of
// running text with their codes so far, the texts of the table as it grows,
// and the counts of every code in use.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "bank_runs.h"
#include "entry_trie.h"
#include "run_encoding.h"
#include "translator_table.h"

namespace talvo::tables {

struct NewEntry {
  std::uint16_t code = 0;
  std::string text;  // running text, UTF-8
};

class PlanningBank {
 public:
  PlanningBank(const TranslatorTable& base, std::span<const TextToEncode> texts);

  CodeSet kind() const { return kind_; }
  std::size_t runs() const { return runs_.runs.size(); }
  std::string_view run(std::size_t r) const { return runs_.runs[r]; }
  std::uint64_t weight(std::size_t r) const { return runs_.weights[r]; }
  const std::vector<std::uint16_t>& codes_of(std::size_t r) const { return codes_[r]; }

  // Whether a code is a glyph with running text: only those join new entries.
  bool joinable(std::uint16_t code) const { return glyph_[code] && !texts_[code].empty(); }
  const std::string& text(std::uint16_t code) const { return texts_[code]; }
  std::size_t characters(std::uint16_t code) const { return characters_[code]; }
  // The code of a running text the table has, the lowest where several do.
  std::optional<std::uint16_t> code_of_text(std::string_view text) const;

  void add_entry(const NewEntry& entry);
  void remove_entry(std::uint16_t code);

  // Counts of every code over the bank, tokens' codes included, and of the
  // codes in use.
  const std::vector<std::uint64_t>& counts() const { return counts_; }
  std::size_t distinct() const { return distinct_; }
  std::uint64_t total() const { return total_; }

  // What a code costs the bank: a byte in the byte banks; in messages about
  // -log2 of its share of the codes, in 1/256 bits, `expected` standing in
  // for the count of a code not used yet.
  PathCosts costs(std::uint16_t fresh = EntryTrie::kNoCode, std::uint64_t expected = 0) const;

  // Encodes run `r` anew through the table as it stands with `costs`, the
  // counts following.
  void encode_run(std::size_t r, const PathCosts& costs);
  // The trie of the table as it stands; encode_run uses it.
  void rebuild_trie();

  // A TranslatorTable of the base with `entries` added.
  static TranslatorTable with_entries(const TranslatorTable& base, const std::vector<NewEntry>& entries);

 private:
  void count(std::size_t r, bool add);

  CodeSet kind_;
  BankRuns runs_;
  std::vector<std::vector<std::uint16_t>> codes_;  // per run
  std::vector<std::string> texts_;                 // per code: its running text, or empty
  std::vector<std::size_t> characters_;
  std::vector<bool> glyph_;
  std::unordered_map<std::string, std::uint16_t> code_of_text_;
  EntryTrie trie_;
  PathScratch scratch_;
  std::vector<std::uint64_t> counts_;
  std::size_t distinct_ = 0;
  std::uint64_t total_ = 0;
};

}  // namespace talvo::tables
