// The parts of insertion on their own: the Huffman code, and the two
// comparisons that stand between a fault and a result.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <numeric>
#include <optional>
#include <string>
#include <vector>

#include "huffman_code.h"
#include "verification.h"

namespace talvo::insert {
namespace {

// ---- The Huffman code ----

CodeCounts counts_of(std::initializer_list<std::pair<std::uint16_t, std::uint64_t>> uses) {
  CodeCounts counts{};
  for (const auto& [code, count] : uses) counts[code] = count;
  return counts;
}

std::uint64_t cost(const HuffmanCode& code, const CodeCounts& counts) {
  std::uint64_t bits = 0;
  for (std::size_t c = 0; c < counts.size(); ++c) bits += counts[c] * code.lengths[c];
  return bits;
}

TEST(HuffmanCode, IsOptimalAndPrefixFree) {
  // The textbook case: weights 5, 9, 12, 13, 16, 45 cost 224 bits.
  const CodeCounts counts = counts_of({{0x201, 45}, {0x202, 13}, {0x203, 12}, {0x204, 16}, {0x205, 9}, {0x0AC, 5}});
  const HuffmanCode code = build_huffman_code(counts);
  EXPECT_EQ(code.distinct, 6u);
  EXPECT_EQ(cost(code, counts), 224u);
  ASSERT_TRUE(code.has_codewords);
  std::vector<Codeword> words;
  for (std::size_t c = 0; c < counts.size(); ++c) {
    if (counts[c] != 0) words.push_back(code.codewords[c]);
  }
  for (const Codeword& a : words) {
    for (const Codeword& b : words) {
      if (&a == &b || a.length > b.length) continue;
      EXPECT_NE(b.bits >> (b.length - a.length), a.bits) << "a codeword is the prefix of another";
    }
  }
  // Five inner nodes: the root's two entries and four more nodes numbered 0-3.
  EXPECT_EQ(code.entries.size(), 10u);
  for (const auto& [entry, value] : code.entries) {
    const std::uint16_t node = entry % 1002;
    EXPECT_TRUE(node == 1001 || node < 4) << entry;
    if (value & 0x8000) {
      EXPECT_LT((value & 0x7FFF) >> 1, 4);
    }
  }
}

// ---- The comparison of texts ----

std::vector<std::vector<std::uint16_t>> sample_messages() {
  std::vector<std::vector<std::uint16_t>> messages;
  for (std::uint16_t n = 0; n < 12; ++n) messages.push_back({static_cast<std::uint16_t>(0x200 + n), 0x0AD, 0x0AC});
  return messages;
}

struct TextFault {
  const char* name;
  std::function<void(std::string&)> plant;
  std::optional<std::size_t> entry;
};

std::size_t header_at(const std::string& text, unsigned n) {
  char header[16];
  std::snprintf(header, sizeof header, "(0x%04X)", n);
  return text.find(header);
}

const TextFault kTextFaults[] = {
    {"none", [](std::string&) {}, {}},
    {"a token changed in entry 2", [](std::string& t) { t[header_at(t, 2) + 10] ^= 1; }, 2},
    {"cut inside entry 3", [](std::string& t) { t.resize(header_at(t, 3) + 12); }, 3},
    {"cut right before the header of entry 4", [](std::string& t) { t.resize(header_at(t, 4)); }, 4},
    {"cut inside the header of entry 5", [](std::string& t) { t.resize(header_at(t, 5) + 4); }, 5},
    {"a digit of header 6 changed", [](std::string& t) { t[header_at(t, 6) + 6] = '9'; }, 6},
    {"a token more at the end of entry 1", [](std::string& t) { t.insert(header_at(t, 2) - 1, "\x88\xA4"); }, 1},
    {"nothing at all", [](std::string& t) { t.clear(); }, 0},
    {"a token more after the last entry", [](std::string& t) { t += "[00AC]\n"; }, 11},
};

class TextComparison : public ::testing::TestWithParam<int> {};

TEST_P(TextComparison, NamesTheFirstEntryThatDiffers) {
  const TextFault& fault = kTextFaults[GetParam()];
  SCOPED_TRACE(fault.name);
  const std::string expected(render_messages(sample_messages()));
  std::string actual = expected;
  fault.plant(actual);
  EXPECT_EQ(first_differing_entry(expected, actual), fault.entry);
}

INSTANTIATE_TEST_SUITE_P(Cases, TextComparison, ::testing::Range(0, static_cast<int>(std::size(kTextFaults))));

// ---- The comparison of bytes ----

struct ByteFault {
  const char* name;
  std::size_t byte;
  std::uint8_t flip;
  std::optional<std::uint64_t> found;
};

// Allowed: bits 13-29 (byte 1 from its bit 5, bytes 2 whole, byte 3 up to
// its bit 5) and bytes 8-9.
const ByteFault kByteFaults[] = {
    {"in byte 0", 0, 0x01, 0},
    {"above the allowed bits of byte 1", 1, 0x08, 1},
    {"in the allowed bits of byte 1", 1, 0x03, {}},
    {"in byte 2", 2, 0xFF, {}},
    {"in the allowed bits of byte 3", 3, 0xF8, {}},
    {"below the allowed bits of byte 3", 3, 0x04, 3},
    {"in byte 7", 7, 0x80, 7},
    {"in byte 9", 9, 0x80, {}},
    {"in the last byte", 15, 0x01, 15},
};

class ByteComparison : public ::testing::TestWithParam<int> {};

TEST_P(ByteComparison, FindsChangesOutsideTheAllowedBits) {
  const ByteFault& fault = kByteFaults[GetParam()];
  SCOPED_TRACE(fault.name);
  std::vector<std::uint8_t> before(16);
  std::iota(before.begin(), before.end(), std::uint8_t{0x40});
  std::vector<std::uint8_t> after = before;
  after[fault.byte] ^= fault.flip;
  EXPECT_EQ(first_change_outside(before, after, {{64, 80}, {13, 29}}), fault.found);
}

INSTANTIATE_TEST_SUITE_P(Cases, ByteComparison, ::testing::Range(0, static_cast<int>(std::size(kByteFaults))));

}  // namespace
}  // namespace talvo::insert
