// The encodings of one run of text through a trie of entry texts: greedy
// longest match, and the cheapest path for given costs per code, a shortest
// path over the run's byte positions (exact, where greedy is not: with "a",
// "ab" and "bc", greedy reads "abc" as "ab" and is stuck, the cheapest is
// "a" "bc"). Where no choice of entries covers a run, the place where every
// choice stops: the furthest byte any reaches.
//
// The matches at each position come from walking the trie there, or from
// a list made once (RunMatches) when the run is encoded many times over.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string_view>
#include <vector>

#include "entry_trie.h"

namespace talvo::tables {

// A cost that forbids a code.
inline constexpr std::uint32_t kForbidden = std::numeric_limits<std::uint32_t>::max();

// Every match at every position of a set of runs, made once.
class RunMatches {
 public:
  // A match in four bytes: its code, and its bytes less one (a text has at
  // most 64 characters of at most 4 bytes).
  struct Match {
    std::uint16_t code;
    std::uint8_t bytes_less_one;
  };
  // Appends the matches of `run`, which becomes run number runs() - 1; false,
  // appending nothing, where a text is longer than 256 bytes.
  bool add_run(const EntryTrie& trie, std::string_view run);
  std::size_t runs() const { return run_first_position_.size(); }
  void reserve(std::size_t positions, std::size_t matches) {
    firsts_.reserve(positions + 1);
    matches_.reserve(matches);
  }
  std::size_t size_in_bytes() const { return firsts_.size() * 4 + matches_.size() * sizeof(Match); }

  // The first-match numbers of a run's positions, and one more.
  const std::uint32_t* firsts(std::size_t run) const { return firsts_.data() + run_first_position_[run]; }
  const Match* matches() const { return matches_.data(); }

 private:
  std::vector<std::size_t> run_first_position_;  // where each run's positions start in firsts_
  std::vector<std::uint32_t> firsts_;            // per position: its first match; and one more at the end
  std::vector<Match> matches_;
};

// The matches of one run, from a list made before or from the trie.
class ListedMatches {
 public:
  ListedMatches(const RunMatches& matches, std::size_t run)
      : firsts_(matches.firsts(run)), matches_(matches.matches()) {}
  template <typename Found>
  void operator()(std::size_t position, Found&& found) const {
    for (std::uint32_t m = firsts_[position]; m < firsts_[position + 1]; ++m)
      found(position + matches_[m].bytes_less_one + 1, matches_[m].code);
  }

 private:
  const std::uint32_t* firsts_;
  const RunMatches::Match* matches_;
};

class WalkedMatches {
 public:
  WalkedMatches(const EntryTrie& trie, std::string_view run) : trie_(trie), run_(run) {}
  template <typename Found>
  void operator()(std::size_t position, Found&& found) const {
    trie_.for_each_match(run_, position, found);
  }

 private:
  const EntryTrie& trie_;
  std::string_view run_;
};

// Costs per code as the path search adds them: a forbidden code, and a
// place from which the end cannot be reached, cost so much that no sum of
// real costs comes near, so the search needs no branch to tell them apart.
class PathCosts {
 public:
  static constexpr std::uint64_t kUnreachable = std::uint64_t{1} << 62;
  static constexpr std::uint64_t kForbiddenCost = std::uint64_t{1} << 61;

  explicit PathCosts(const std::vector<std::uint32_t>& costs) : costs_(costs.size()) {
    for (std::size_t c = 0; c < costs.size(); ++c) costs_[c] = costs[c] == kForbidden ? kForbiddenCost : costs[c];
  }
  std::uint64_t operator[](std::uint16_t code) const { return costs_[code]; }

 private:
  std::vector<std::uint64_t> costs_;
};

// Scratch room reused from run to run.
struct PathScratch {
  std::vector<std::uint64_t> ring;
  std::vector<std::uint16_t> choice;
};

// The cheapest codes for the `size` bytes of a run, appended to `out`; false,
// appending nothing, when no path avoids forbidden codes. Among paths of equal
// cost the one whose codes are longest earliest wins, as greedy reads, so the
// result does not depend on anything but the costs and the texts. Real costs
// are below 2^32 and runs below 4 GiB, so their sums stay below kForbiddenCost.
template <typename Matches>
bool cheapest_codes(const Matches& matches, std::size_t size, const EntryTrie& trie, const PathCosts& costs,
                    PathScratch& scratch, std::vector<std::uint16_t>& out) {
  std::size_t ring_size = 1;
  while (ring_size <= trie.longest_text()) ring_size <<= 1;
  const std::size_t mask = ring_size - 1;
  scratch.ring.assign(ring_size, PathCosts::kUnreachable);
  scratch.choice.resize(size);
  std::uint64_t* const ring = scratch.ring.data();
  std::uint16_t* const choice = scratch.choice.data();
  // best(p): the least cost from byte p to the end; best(size) = 0. Only the
  // next longest_text() positions are ever looked at, so a ring holds them.
  ring[size & mask] = 0;
  const std::size_t before = out.size();
  for (std::size_t p = size; p-- > 0;) {
    std::uint64_t best = PathCosts::kUnreachable;
    std::uint16_t chosen = EntryTrie::kNoCode;
    matches(p, [&](std::size_t end, std::uint16_t code) {
      const std::uint64_t total = ring[end & mask] + costs[code];
      const bool take = total <= best;  // matches come shortest first: on a tie the longer one
      best = take ? total : best;
      chosen = take ? code : chosen;
    });
    ring[p & mask] = best < PathCosts::kForbiddenCost ? best : PathCosts::kUnreachable;
    choice[p] = chosen;
  }
  if (ring[0] >= PathCosts::kForbiddenCost) return false;
  // At most a code per byte: room for all, then what the path takes.
  out.resize(before + size);
  std::uint16_t* codes = out.data() + before;
  for (std::size_t p = 0; p < size; p += trie.text_bytes(choice[p])) *codes++ = choice[p];
  out.resize(static_cast<std::size_t>(codes - out.data()));
  return true;
}

// Greedy longest match, appended to `out`; false, appending nothing, where
// at some place no entry matches.
template <typename Matches>
bool greedy_codes(const Matches& matches, std::size_t size, std::vector<std::uint16_t>& out) {
  const std::size_t before = out.size();
  for (std::size_t p = 0; p < size;) {
    std::size_t longest = 0;
    std::uint16_t chosen = 0;
    matches(p, [&](std::size_t end, std::uint16_t code) {
      longest = end;
      chosen = code;
    });
    if (longest == 0) {
      out.resize(before);
      return false;
    }
    out.push_back(chosen);
    p = longest;
  }
  return true;
}

// Where greedy longest match stops in a run: every offset where it finds no
// entry, going on one character behind each.
template <typename Matches>
std::vector<std::size_t> greedy_stops(const Matches& matches, std::string_view run);

// Where every choice of entries stops in a run that cannot be encoded: the
// furthest byte that any reaches, then, from the character behind it, the
// furthest again, and so on. Empty when the run can be encoded.
template <typename Matches>
std::vector<std::size_t> unreachable_places(const Matches& matches, std::string_view run);

// The bytes of the character at `offset`, at least 1.
std::size_t character_bytes(std::string_view text, std::size_t offset);

template <typename Matches>
std::vector<std::size_t> greedy_stops(const Matches& matches, std::string_view run) {
  std::vector<std::size_t> stops;
  for (std::size_t p = 0; p < run.size();) {
    std::size_t longest = 0;
    matches(p, [&](std::size_t end, std::uint16_t) { longest = end; });
    if (longest == 0) {
      stops.push_back(p);
      p += character_bytes(run, p);
    } else {
      p = longest;
    }
  }
  return stops;
}

template <typename Matches>
std::vector<std::size_t> unreachable_places(const Matches& matches, std::string_view run) {
  std::vector<std::size_t> places;
  std::vector<bool> reached(run.size() + 1, false);
  for (std::size_t start = 0; start < run.size();) {
    reached[start] = true;
    std::size_t furthest = start;
    for (std::size_t p = start; p <= furthest && p < run.size(); ++p) {
      if (!reached[p]) continue;
      matches(p, [&](std::size_t end, std::uint16_t) {
        reached[end] = true;
        if (end > furthest) furthest = end;
      });
    }
    if (furthest == run.size()) break;
    places.push_back(furthest);
    start = furthest + character_bytes(run, furthest);
  }
  return places;
}

}  // namespace talvo::tables
