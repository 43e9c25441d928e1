// The variable-length numbers of BPS patches: each value has exactly one
// encoding, and the reader refuses numbers that run out or overflow.
#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <vector>

#include "bps_number.h"

namespace talvo::bps {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes encode(std::uint64_t value) {
  Bytes out;
  append_number(out, value);
  return out;
}

TEST(BpsNumber, EdgeValuesHaveTheirOneEncoding) {
  const struct {
    std::uint64_t value;
    Bytes bytes;
  } cases[] = {
      {0, {0x80}}, {1, {0x81}}, {127, {0xFF}}, {128, {0x00, 0x80}}, {16511, {0x7F, 0xFF}}, {16512, {0x00, 0x00, 0x80}},
  };
  for (const auto& c : cases) EXPECT_EQ(encode(c.value), c.bytes) << c.value;
}

TEST(BpsNumber, ValuesRoundTripThroughTheirSize) {
  for (std::uint64_t value :
       {std::uint64_t{0}, std::uint64_t{127}, std::uint64_t{128}, std::uint64_t{16511}, std::uint64_t{16512},
        std::uint64_t{2113663}, std::uint64_t{2113664}, std::uint64_t{1} << 32, (std::uint64_t{1} << 32) - 1,
        std::uint64_t{1} << 62, std::uint64_t{1} << 63, ~std::uint64_t{0}}) {
    const Bytes bytes = encode(value);
    EXPECT_EQ(bytes.size(), number_size(value)) << value;
    std::size_t position = 0;
    std::uint64_t read = 0;
    ASSERT_EQ(read_number(bytes, position, read), NumberRead::Ok) << value;
    EXPECT_EQ(read, value);
    EXPECT_EQ(position, bytes.size());
  }
}

// Every one- and two-byte sequence reads as a different value, and together
// they cover 0 to 16511 without a gap: no value has two encodings.
TEST(BpsNumber, ShortEncodingsAreUnique) {
  std::set<std::uint64_t> values;
  for (unsigned last = 0x80; last <= 0xFF; ++last) {
    for (int first = -1; first < 0x80; ++first) {
      Bytes bytes;
      if (first >= 0) bytes.push_back(static_cast<std::uint8_t>(first));
      bytes.push_back(static_cast<std::uint8_t>(last));
      std::size_t position = 0;
      std::uint64_t value = 0;
      ASSERT_EQ(read_number(bytes, position, value), NumberRead::Ok);
      EXPECT_TRUE(values.insert(value).second) << value;
      EXPECT_EQ(encode(value), bytes);
    }
  }
  EXPECT_EQ(values.size(), 16512u);
  EXPECT_EQ(*values.rbegin(), 16511u);
}

TEST(BpsNumber, ReaderRefusesNumbersThatRunOutOrOverflow) {
  // 2^64, one more than the largest value: 0x00, 0x7F, seven 0x7E, 0x80.
  Bytes past_max{0x00, 0x7F};
  past_max.insert(past_max.end(), 7, 0x7E);
  past_max.push_back(0x80);
  const struct {
    Bytes bytes;
    NumberRead expected;
  } cases[] = {
      {{}, NumberRead::RunsPastEnd},
      {{0x00}, NumberRead::RunsPastEnd},
      {{0x7F, 0x00, 0x12}, NumberRead::RunsPastEnd},
      {Bytes(10, 0x00), NumberRead::TooLarge},  // ten bytes without an end exceed 64 bits
      {past_max, NumberRead::TooLarge},
  };
  for (const auto& c : cases) {
    std::size_t position = 0;
    std::uint64_t value = 99;
    EXPECT_EQ(read_number(c.bytes, position, value), c.expected) << ::testing::PrintToString(c.bytes);
    EXPECT_EQ(position, 0u);
    EXPECT_EQ(value, 99u);
  }
}

}  // namespace
}  // namespace talvo::bps
