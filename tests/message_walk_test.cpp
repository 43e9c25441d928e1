// The message walk against a plain walk down the tree one bit at a time, on
// builder images, whole and broken: the written text and the way it stops
// must be the same to the byte.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "image_builder.h"
#include "message_decoder.h"
#include "reference_message_walk.h"
#include "vocabulary.h"

namespace talvo {
namespace {

struct Walked {
  TreeLoad tree = TreeLoad::Ok;
  MessageFailure failure = MessageFailure::None;
  std::string text;
};

void expect_same_walk(std::span<const std::uint8_t> cartridge, const std::string& what) {
  MessageTree tree;
  const TreeLoad load = load_message_tree(cartridge, tree);
  if (load != TreeLoad::Ok) return;  // the walk never starts
  BufferedOutput out;
  const MessageFailure failure = decode_message_text(cartridge, tree, game_vocabulary(CodeSet::Message), out);
  std::string expected;
  // The plain one-bit-at-a-time walk that the fuzz target also holds it to.
  const MessageFailure expected_failure = fuzz::reference_message_walk(cartridge, expected);
  EXPECT_EQ(failure, expected_failure) << what;
  ASSERT_EQ(out.text().size(), expected.size()) << what;
  EXPECT_TRUE(out.text() == expected) << what;
}

constexpr builder::ImageSize kSizes[] = {builder::ImageSize::Plain4Mb, builder::ImageSize::CopierHeader4Mb,
                                         builder::ImageSize::Plain6Mb};

std::span<const std::uint8_t> cartridge_of(const std::vector<std::uint8_t>& image, builder::ImageSize size) {
  const std::size_t skip = size == builder::ImageSize::CopierHeader4Mb ? 512 : 0;
  return std::span<const std::uint8_t>(image).subspan(skip);
}

TEST(MessageWalk, MatchesTheBitByBitWalkOnRandomImages) {
  for (std::uint64_t seed = 1; seed <= 24; ++seed) {
    const auto size = kSizes[seed % 3];
    const auto image = builder::build_image(builder::random_content(seed), size, seed);
    expect_same_walk(cartridge_of(image, size), "seed " + std::to_string(seed));
  }
  const auto full = builder::build_image(builder::full_size_content(1), builder::ImageSize::Plain6Mb, 1);
  expect_same_walk(full, "full size");
}

// Cut inside the message data, in its last bytes (where the walk reads fewer
// bits than it looks ahead) and everywhere else.
TEST(MessageWalk, MatchesTheBitByBitWalkOnTruncatedImages) {
  const auto image = builder::build_image(builder::full_size_content(2), builder::ImageSize::Plain4Mb, 2);
  std::mt19937_64 rng(2);
  std::vector<std::size_t> cuts;
  for (std::size_t back = 0; back < 24; ++back) cuts.push_back(image.size() - back);
  for (int k = 0; k < 24; ++k) cuts.push_back(rom::kMessageData + rng() % (image.size() - rom::kMessageData));
  cuts.push_back(rom::kMessageData);
  for (const std::size_t cut : cuts) {
    // A copy of its own, so that a sanitizer sees any read past the cut.
    const std::vector<std::uint8_t> truncated(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(cut));
    expect_same_walk(truncated, "cut at " + std::to_string(cut));
  }
}

// Trees no builder makes: random branches, loops back to the root or to
// themselves, codes deeper than the lookup reaches, over random data and
// random group pointers, for odd seeds some of them past the end of the image.
TEST(MessageWalk, MatchesTheBitByBitWalkOnGarbageTrees) {
  for (std::uint64_t seed = 1; seed <= 40; ++seed) {
    std::mt19937_64 rng(seed);
    const std::size_t size = rom::kMessageData + 0x800 + rng() % 0x800;
    std::vector<std::uint8_t> cartridge(size);
    for (auto& b : cartridge) b = static_cast<std::uint8_t>(rng());
    // Mostly branches, so that codes run long; leaf codes stay in range and
    // branches stay within the tree, so the tree loads.
    const unsigned leaf_share = 1 + seed % 4;  // in eighths
    for (std::size_t i = 0; i < rom::kTreeEntries; ++i) {
      std::uint16_t e;
      if (rng() % 8 < leaf_share) {
        e = static_cast<std::uint16_t>(rng() % 0x60C);
      } else {
        e = static_cast<std::uint16_t>(0x8000 | (rng() % rom::kTreeNodes) << 1 | (rng() & 1));
      }
      cartridge[rom::kMessageTree + 2 * i] = static_cast<std::uint8_t>(e & 0xFF);
      cartridge[rom::kMessageTree + 2 * i + 1] = static_cast<std::uint8_t>(e >> 8);
    }
    for (std::size_t g = 0; g < rom::kMessageGroups; ++g) {
      const std::size_t past_end = seed % 2 == 1 ? 16 : 0;
      const std::uint32_t v = static_cast<std::uint32_t>(rng() % ((size - rom::kMessageData + past_end) * 8));
      for (std::size_t k = 0; k < 3; ++k) {
        cartridge[rom::kMessageAccessTable + 3 * g + k] = static_cast<std::uint8_t>(v >> (8 * k));
      }
    }
    expect_same_walk(cartridge, "garbage tree, seed " + std::to_string(seed));
  }
}

}  // namespace
}  // namespace talvo
