#include "shortest_encoding.h"

#include <algorithm>
#include <cassert>
#include <optional>

#include "huffman_lengths.h"
#include "run_encoding.h"

namespace talvo::tables {
namespace {

// Codes chosen for every distinct run.
struct RunCodes {
  std::vector<std::uint16_t> codes;
  std::vector<std::size_t> first;  // per run, then codes.size()
};

struct Measured {
  RunCodes choice;
  std::vector<std::uint64_t> counts;
  std::uint64_t size = 0;
  std::size_t distinct = 0;
};

// The lists of matches take at most this many (4 bytes each); beyond, the
// trie is walked again on every round, which costs time but no memory.
constexpr std::size_t kListedMatchesLimit = std::size_t{1} << 24;

// Rounds of choosing codes and building a tree from them; each gains less
// than the one before, and a handful reach the end. Without the lists, each
// round walks the trie at every place of the bank again: two rounds then.
constexpr int kMaxRounds = 12;
constexpr int kMaxWalkingRounds = 2;
constexpr std::uint64_t kRoundGainToGoOn = 1000;

class Encoder {
 public:
  Encoder(const TableIndex& index, const BankRuns& runs) : index_(index), trie_(index.trie()), runs_(runs) {
    for (std::string_view run : runs_.runs) bytes_ += run.size();
  }

  // The run's matches from the lists, or from the trie.
  template <typename Use>
  auto with_matches(std::size_t run, Use&& use) {
    if (listed_) return use(ListedMatches(*listed_, run));
    return use(WalkedMatches(trie_, runs_.runs[run]));
  }

  // Lists the matches of every run, when they fit the limit.
  void list_matches() {
    listed_.emplace();
    listed_->reserve(bytes_, std::min(2 * bytes_, kListedMatchesLimit));
    for (std::string_view run : runs_.runs) {
      if (!listed_->add_run(trie_, run) || listed_->size_in_bytes() > kListedMatchesLimit * sizeof(RunMatches::Match)) {
        listed_.reset();
        return;
      }
    }
  }

  // The fewest codes of every run, every code costing one: which runs can
  // be encoded at all is known afterwards (feasible()).
  void fewest(RunCodes& out) {
    feasible_.assign(runs_.runs.size(), true);
    const PathCosts unit(std::vector<std::uint32_t>(code_count(index_.kind()), 1));
    clear(out);
    for (std::size_t r = 0; r < runs_.runs.size(); ++r) {
      out.first.push_back(out.codes.size());
      feasible_[r] = with_matches(r, [&](const auto& matches) {
        return cheapest_codes(matches, runs_.runs[r].size(), trie_, unit, scratch_, out.codes);
      });
    }
    out.first.push_back(out.codes.size());
  }

  // Greedy longest match where it gets through, the fewest codes where it
  // does not: a choice for every run that can be encoded, which is known
  // afterwards.
  void greedy(RunCodes& out) {
    feasible_.assign(runs_.runs.size(), true);
    const PathCosts unit(std::vector<std::uint32_t>(code_count(index_.kind()), 1));
    clear(out);
    for (std::size_t r = 0; r < runs_.runs.size(); ++r) {
      out.first.push_back(out.codes.size());
      feasible_[r] = with_matches(r, [&](const auto& matches) {
        return greedy_codes(matches, runs_.runs[r].size(), out.codes) ||
               cheapest_codes(matches, runs_.runs[r].size(), trie_, unit, scratch_, out.codes);
      });
    }
    out.first.push_back(out.codes.size());
  }

  // The cheapest codes of every run that can be encoded. No run fails: the
  // costs forbid at most the codes a choice made before leaves unused, and
  // that choice is a path through every run.
  void cheapest(const std::vector<std::uint32_t>& cost_of_code, RunCodes& out) {
    const PathCosts costs(cost_of_code);
    clear(out);
    for (std::size_t r = 0; r < runs_.runs.size(); ++r) {
      out.first.push_back(out.codes.size());
      if (!feasible_[r]) continue;
      [[maybe_unused]] const bool found = with_matches(r, [&](const auto& matches) {
        return cheapest_codes(matches, runs_.runs[r].size(), trie_, costs, scratch_, out.codes);
      });
      assert(found);
    }
    out.first.push_back(out.codes.size());
  }

  // Counts, size and codes in use of the choice in `m`.
  void measure(Measured& m) const {
    m.counts = runs_.fixed_counts;
    for (std::size_t r = 0; r < runs_.runs.size(); ++r) {
      for (std::size_t i = m.choice.first[r]; i < m.choice.first[r + 1]; ++i)
        m.counts[m.choice.codes[i]] += runs_.weights[r];
    }
    m.size = bank_size(index_.kind(), m.counts);
    m.distinct =
        static_cast<std::size_t>(std::count_if(m.counts.begin(), m.counts.end(), [](auto c) { return c != 0; }));
  }

  bool feasible(std::size_t run) const { return feasible_[run]; }
  bool listed() const { return listed_.has_value(); }

  std::vector<std::size_t> stuck_places(std::size_t run) {
    return with_matches(run, [&](const auto& matches) { return unreachable_places(matches, runs_.runs[run]); });
  }

 private:
  const TableIndex& index_;
  const EntryTrie& trie_;
  const BankRuns& runs_;
  std::optional<RunMatches> listed_;
  // Empties a choice, keeping room for as many codes as the runs have bytes.
  void clear(RunCodes& codes) const {
    codes.codes.clear();
    codes.first.clear();
    codes.first.reserve(runs_.runs.size() + 1);
    codes.codes.reserve(bytes_);
  }

  std::size_t bytes_ = 0;  // of all runs
  std::vector<bool> feasible_;
  PathScratch scratch_;
};

// Rounds of Huffman lengths as costs, from greedy longest match, kept while
// they gain; a round that gains less than a part in kRoundGainToGoOn is the
// last. On a full English script with 300 multi-character entries the
// rounds gain 3.4%, 0.8%, 0.5%, 0.07%, 0.02%: the fourth is the last, at
// 0.02% from where they stop.
Measured fewest_bits(Encoder& encoder, Measured start) {
  const std::size_t allowed = std::max(kMaxMessageCodesInUse, start.distinct);
  Measured best = std::move(start), next;
  const int rounds = encoder.listed() ? kMaxRounds : kMaxWalkingRounds;
  for (int round = 0; round < rounds; ++round) {
    const std::vector<std::uint32_t> lengths = huffman_lengths(best.counts);
    const std::uint32_t longest = *std::max_element(lengths.begin(), lengths.end());
    // A code unused so far would get a codeword about as long as the
    // rarest's.
    std::vector<std::uint32_t> costs(lengths.size());
    for (std::size_t c = 0; c < costs.size(); ++c) costs[c] = lengths[c] != 0 ? lengths[c] : longest + 1;
    encoder.cheapest(costs, next.choice);
    encoder.measure(next);
    if (next.distinct > allowed || next.size >= best.size) {
      // With only the codes in use, a round never loses: the Huffman code of
      // the new counts is no longer than the old lengths over them, and
      // those are no more than the old total.
      for (std::size_t c = 0; c < costs.size(); ++c) costs[c] = lengths[c] != 0 ? lengths[c] : kForbidden;
      encoder.cheapest(costs, next.choice);
      encoder.measure(next);
    }
    if (next.size >= best.size) break;
    const bool last = best.size - next.size < best.size / kRoundGainToGoOn;
    std::swap(best, next);
    if (last) break;
  }
  return best;
}

// Every text's codes in file order, from the codes of its distinct runs.
void assemble(const std::span<const TextToEncode> texts, const BankRuns& runs, const EntryTrie& trie,
              const RunCodes& choice, const std::vector<std::vector<std::size_t>>& stuck, BankEncoding& out) {
  out.texts.resize(texts.size());
  for (std::size_t t = 0; t < texts.size(); ++t) {
    const TableText& read = *texts[t].read;
    EncodedText& text = out.texts[t];
    text.codes.reserve(read.pieces.size());
    std::size_t next_entry = 0;
    for (std::size_t p = 0; p < read.pieces.size(); ++p) {
      while (next_entry < read.entries.size() && read.entries[next_entry].first_piece == p) {
        text.entry_first.push_back(text.codes.size());
        ++next_entry;
      }
      const TextPiece& piece = read.pieces[p];
      const auto first = static_cast<std::uint32_t>(piece.first);
      if (piece.kind == PieceKind::Code) {
        text.codes.push_back({first, static_cast<std::uint32_t>(piece.end), piece.code});
        continue;
      }
      const std::uint32_t run = runs.run_of_piece[t][p];
      if (!stuck[run].empty()) {
        for (std::size_t offset : stuck[run]) text.stuck.push_back({piece.first + offset, piece.first, piece.end});
        continue;
      }
      std::uint32_t at = first;
      for (std::size_t i = choice.first[run]; i < choice.first[run + 1]; ++i) {
        const std::uint32_t end = at + trie.text_bytes(choice.codes[i]);
        text.codes.push_back({at, end, choice.codes[i]});
        at = end;
      }
    }
    while (next_entry++ < read.entries.size()) text.entry_first.push_back(text.codes.size());
    text.entry_first.push_back(text.codes.size());
  }
}

}  // namespace

std::uint64_t bank_size(CodeSet kind, std::span<const std::uint64_t> counts) {
  if (kind == CodeSet::Message) return huffman_bits(counts);
  std::uint64_t codes = 0;
  for (std::uint64_t c : counts) codes += c;
  return codes;
}

BankEncoding encode_bank(const TableIndex& index, std::span<const TextToEncode> texts, EncodingMethod method) {
  const BankRuns runs = collect_bank_runs(index.kind(), texts);
  const EntryTrie& trie = index.trie();
  Encoder encoder(index, runs);
  std::vector<std::vector<std::size_t>> stuck(runs.runs.size());
  RunCodes choice;

  if (method == EncodingMethod::Greedy) {
    choice.first.reserve(runs.runs.size() + 1);
    for (std::size_t r = 0; r < runs.runs.size(); ++r) {
      choice.first.push_back(choice.codes.size());
      const WalkedMatches matches(trie, runs.runs[r]);
      if (!greedy_codes(matches, runs.runs[r].size(), choice.codes)) stuck[r] = greedy_stops(matches, runs.runs[r]);
    }
    choice.first.push_back(choice.codes.size());
  } else {
    Measured measured;
    if (index.kind() == CodeSet::Message) {
      encoder.list_matches();
      encoder.greedy(measured.choice);
      encoder.measure(measured);
      choice = fewest_bits(encoder, std::move(measured)).choice;
    } else {
      encoder.fewest(choice);
    }
    for (std::size_t r = 0; r < runs.runs.size(); ++r) {
      if (!encoder.feasible(r)) stuck[r] = encoder.stuck_places(r);
    }
  }

  BankEncoding out;
  assemble(texts, runs, trie, choice, stuck, out);
  Measured measured;
  measured.choice = std::move(choice);
  encoder.measure(measured);
  out.counts = std::move(measured.counts);
  out.size = measured.size;
  out.distinct = measured.distinct;
  return out;
}

}  // namespace talvo::tables
