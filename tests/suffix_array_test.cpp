// The suffix arrays the patch writer finds its matches with: the library's
// and our own induced sorting (the Windows build's) agree with a plain sort
// of every suffix, on texts that take each path of the induction: runs,
// repeats that need the recursion, both ends of the byte range.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "suffix_array.h"

namespace talvo::bps {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::vector<std::int32_t> plain_sort(const Bytes& text) {
  std::vector<std::int32_t> sa(text.size());
  std::iota(sa.begin(), sa.end(), 0);
  std::sort(sa.begin(), sa.end(), [&](std::int32_t a, std::int32_t b) {
    return std::lexicographical_compare(text.begin() + a, text.end(), text.begin() + b, text.end());
  });
  return sa;
}

Bytes random_text(std::uint64_t seed, std::size_t size, unsigned alphabet) {
  std::mt19937_64 rng(seed);
  Bytes text(size);
  for (auto& b : text) b = static_cast<std::uint8_t>(rng() % alphabet);
  return text;
}

Bytes repeated(const std::string& piece, std::size_t times) {
  Bytes text;
  for (std::size_t i = 0; i < times; ++i) text.insert(text.end(), piece.begin(), piece.end());
  return text;
}

struct Case {
  std::string what;
  Bytes text;
};

std::vector<Case> cases() {
  Bytes ends(600);
  for (std::size_t i = 0; i < ends.size(); ++i) ends[i] = i % 3 == 0 ? 0x00 : 0xFF;
  Bytes falling(300);
  for (std::size_t i = 0; i < falling.size(); ++i) falling[i] = static_cast<std::uint8_t>(255 - i % 256);
  Bytes rising(300);
  for (std::size_t i = 0; i < rising.size(); ++i) rising[i] = static_cast<std::uint8_t>(i % 256);
  Bytes runs;
  for (std::size_t n = 1; n < 40; ++n) runs.insert(runs.end(), n, static_cast<std::uint8_t>(n % 3));
  Bytes copies = random_text(7, 400, 256);
  copies.insert(copies.end(), copies.begin(), copies.end());
  copies.insert(copies.end(), copies.begin() + 100, copies.begin() + 500);
  return {
      {"empty", {}},
      {"one byte", {0x42}},
      {"two equal bytes", {7, 7}},
      {"two falling bytes", {9, 3}},
      {"a run of zeros", Bytes(1000, 0)},
      {"a run of 0xFF", Bytes(513, 0xFF)},
      {"banana", {'b', 'a', 'n', 'a', 'n', 'a'}},
      {"a repeated pair", repeated("ab", 500)},
      {"a repeated word", repeated("mississippi", 90)},
      {"nested repeats", repeated("abaabaaab", 120)},
      {"zeros and 0xFF", ends},
      {"falling bytes", falling},
      {"rising bytes", rising},
      {"runs of growing length", runs},
      {"two letters at random", random_text(1, 3000, 2)},
      {"four letters at random", random_text(2, 3000, 4)},
      {"any bytes at random", random_text(3, 3000, 256)},
      {"random bytes copied within", copies},
  };
}

TEST(SuffixArray, TheLibraryAndOurOwnSortAsAPlainSortDoes) {
  for (const Case& c : cases()) {
    SCOPED_TRACE(c.what);
    const std::vector<std::int32_t> expected = plain_sort(c.text);
    EXPECT_EQ(suffix_array(c.text), expected);
    EXPECT_EQ(induced_suffix_array(c.text), expected);
  }
}

// Every length from 0 to 64 over a small alphabet: the positions of the
// LMS suffixes, and whether the recursion is needed, differ at each.
TEST(SuffixArray, EveryShortLengthSorts) {
  for (std::size_t size = 0; size <= 64; ++size) {
    for (const unsigned alphabet : {1u, 2u, 3u}) {
      const Bytes text = random_text(size * 7 + alphabet, size, alphabet);
      SCOPED_TRACE(std::to_string(size) + " bytes of " + std::to_string(alphabet) + " letters");
      EXPECT_EQ(induced_suffix_array(text), plain_sort(text));
    }
  }
}

// Texts as large as the writer sorts, too long for the plain sort: ours
// and the library's agree.
TEST(SuffixArray, OurOwnAgreesWithTheLibraryOnLargeTexts) {
  Bytes mixed = random_text(4, 1 << 18, 256);
  std::fill(mixed.begin() + 1000, mixed.begin() + 30000, 0);
  std::copy(mixed.begin() + 50000, mixed.begin() + 90000, mixed.begin() + 150000);
  for (const Bytes& text : {random_text(5, 1 << 18, 256), random_text(6, 1 << 18, 2), mixed}) {
    EXPECT_EQ(induced_suffix_array(text), suffix_array(text));
  }
}

}  // namespace
}  // namespace talvo::bps
