// The writer's match index against a plain search of every position: where
// the index covers the whole target, it finds at each position a source
// match as long as the longest there is (of 4 bytes or more: shorter ones
// share no 4-byte string; and not from inside long runs of one byte), and
// an earlier-target match as long as the longest there is.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "match_index.h"
#include "match_length.h"

namespace talvo::bps {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes random_text(std::mt19937_64& rng, std::size_t size, unsigned alphabet) {
  Bytes text(size);
  for (auto& b : text) b = static_cast<std::uint8_t>(rng() % alphabet);
  return text;
}

// Words of a small vocabulary, as text in a game repeats itself.
Bytes words(std::mt19937_64& rng, std::size_t size) {
  static const char* const kWords[] = {"the ", "sword ", "of ", "light ", "opens ", "a ", "door ", "north ", "cave "};
  std::string text;
  while (text.size() < size) text += kWords[rng() % std::size(kWords)];
  return Bytes(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(size));
}

struct Pair {
  std::string what;
  Bytes source;
  Bytes target;
};

std::vector<Pair> pairs() {
  std::mt19937_64 rng(23);
  const Bytes text = words(rng, 1500);
  Bytes edited = text;
  for (int i = 0; i < 40; ++i) edited[rng() % edited.size()] = static_cast<std::uint8_t>('A' + rng() % 26);
  Bytes moved(text.begin() + 700, text.end());
  moved.insert(moved.end(), text.begin(), text.begin() + 700);
  const Bytes noise = random_text(rng, 800, 256);
  Bytes middle(noise.begin() + 200, noise.begin() + 600);
  middle.insert(middle.end(), text.begin(), text.begin() + 300);
  // Short runs: inside long ones only the ends are indexed, since a run in
  // the target copies itself more cheaply than from the source.
  Bytes runs;
  for (std::size_t n = 1; runs.size() < 900; n = n % 20 + 1) runs.insert(runs.end(), n, n % 2 == 0 ? 0x00 : 0xFF);
  Bytes run_edits = runs;
  run_edits[450] ^= 1;
  run_edits[100] ^= 0xFF;
  return {
      {"text and its edited copy", text, edited},
      {"text and its halves swapped", text, moved},
      {"two texts of the same words", words(rng, 1200), words(rng, 1300)},
      {"two letters at random", random_text(rng, 1000, 2), random_text(rng, 1100, 2)},
      {"random bytes and a copy of their middle", noise, middle},
      {"runs and runs edited", runs, run_edits},
      {"an empty source", {}, words(rng, 600)},
  };
}

std::size_t longest_in_source(const Pair& pair, std::size_t t) {
  std::size_t longest = 0;
  for (std::size_t s = 0; s < pair.source.size(); ++s) {
    const std::size_t limit = std::min(pair.source.size() - s, pair.target.size() - t);
    longest = std::max(longest, match_length(pair.source.data() + s, pair.target.data() + t, limit));
  }
  return longest;
}

std::size_t longest_earlier(const Pair& pair, std::size_t t) {
  std::size_t longest = 0;
  for (std::size_t q = 0; q < t; ++q) {
    longest = std::max(longest, match_length(pair.target.data() + q, pair.target.data() + t, pair.target.size() - t));
  }
  return longest;
}

TEST(MatchIndex, FindsEveryLongestMatch) {
  for (const Pair& pair : pairs()) {
    SCOPED_TRACE(pair.what);
    const MatchIndex index(pair.source, pair.target, {{0, pair.target.size()}});
    std::size_t hint = 0;
    for (std::size_t t = 0; t < pair.target.size(); ++t) {
      const LongestMatches* found = index.find(t, hint);
      ASSERT_NE(found, nullptr) << "at " << t;
      const std::size_t room = pair.target.size() - t;
      const std::size_t source_length =
          found->source_length == 0
              ? 0
              : match_length(pair.source.data() + found->source_from, pair.target.data() + t,
                             std::min<std::size_t>(pair.source.size() - found->source_from, room));
      const std::size_t best_source = longest_in_source(pair, t);
      if (best_source >= 4) {
        EXPECT_EQ(source_length, best_source) << "source match at " << t;
      }
      const std::size_t target_length =
          found->target_length == 0
              ? 0
              : match_length(pair.target.data() + found->target_from, pair.target.data() + t, room);
      if (found->target_length > 0) {
        EXPECT_LT(found->target_from, t) << "target match at " << t;
      }
      EXPECT_EQ(target_length, longest_earlier(pair, t)) << "target match at " << t;
    }
  }
}

// Positions outside the spans are not the index's; those inside are found
// whichever way the walk goes.
TEST(MatchIndex, FindsOnlyWithinItsSpans) {
  std::mt19937_64 rng(5);
  const Bytes source = words(rng, 2000);
  const Bytes target = words(rng, 3000);
  const MatchIndex index(source, target, {{100, 200}, {1000, 1001}, {2500, 3000}});
  std::size_t hint = 0;
  for (const std::size_t t : {std::size_t{2999}, std::size_t{0}, std::size_t{99}, std::size_t{100}, std::size_t{199},
                              std::size_t{200}, std::size_t{1000}, std::size_t{1001}, std::size_t{2500}}) {
    const bool inside = (t >= 100 && t < 200) || t == 1000 || t >= 2500;
    EXPECT_EQ(index.find(t, hint) != nullptr, inside) << "at " << t;
  }
}

}  // namespace
}  // namespace talvo::bps
