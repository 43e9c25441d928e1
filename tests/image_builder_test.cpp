// Checks the test-image builder against the game's layout as read back by an
// independent walker, so a fault in the builder cannot hide behind a decoder
// that shares it.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "image_builder.h"

namespace {

using talvo::builder::build_image;
using talvo::builder::ImageContent;
using talvo::builder::ImageSize;
using Image = std::vector<std::uint8_t>;

// The layout, written out here rather than taken from the decoder's header.
constexpr std::size_t kBattlePointers = 0x152A4;
constexpr std::size_t kMessagePointers = 0x15331;
constexpr std::size_t kFixedPointers = 0x1591F;
constexpr std::size_t kTree = 0x159D3;
constexpr std::size_t kBattleData = 0x3C9F22;
constexpr std::size_t kMessageData = 0x3CC258;
constexpr std::size_t kFixedData = 0x3ECFB7;
constexpr std::size_t kRoot = 1001;

std::uint32_t read16(const Image& image, std::size_t at) { return image.at(at) | image.at(at + 1) << 8; }
std::uint32_t read24(const Image& image, std::size_t at) {
  return image.at(at) | image.at(at + 1) << 8 | image.at(at + 2) << 16;
}

std::uint32_t tree_entry(const Image& image, std::size_t rom, std::size_t node, unsigned bit) {
  return read16(image, rom + kTree + 2 * (node + bit * 1002));
}

struct Walk {
  std::vector<std::vector<std::uint16_t>> messages;
  std::size_t end_byte = 0;  // stream byte holding the last bit read
};

// Follows the stored tree from the root bit by bit, from a group's pointer,
// through `count` messages.
Walk walk_group(const Image& image, std::size_t rom, std::size_t group, std::size_t count) {
  Walk walk;
  const std::uint32_t pointer = read24(image, rom + kMessagePointers + 3 * group);
  std::size_t byte = pointer >> 3;
  int bit = static_cast<int>(pointer & 7);
  std::vector<std::uint16_t> message;
  std::size_t node = kRoot;
  while (walk.messages.size() < count) {
    if (rom + kMessageData + byte >= rom + kFixedData) {
      ADD_FAILURE() << "walked out of the message region";
      return walk;
    }
    const unsigned value = image[rom + kMessageData + byte] >> bit & 1;
    walk.end_byte = byte;
    if (--bit < 0) bit = 7, ++byte;
    const std::uint32_t entry = tree_entry(image, rom, node, value);
    if (entry & 0x8000) {
      node = (entry & 0x7FFF) >> 1;
      if (node > kRoot) {
        ADD_FAILURE() << "branch to node " << node;
        return walk;
      }
      continue;
    }
    message.push_back(static_cast<std::uint16_t>(entry));
    node = kRoot;
    if (entry == 0x0AC || entry == 0x0AE) walk.messages.push_back(std::move(message)), message.clear();
  }
  return walk;
}

std::set<std::size_t> reachable_nodes(const Image& image) {
  std::set<std::size_t> seen{kRoot};
  std::vector<std::size_t> todo{kRoot};
  while (!todo.empty()) {
    const std::size_t node = todo.back();
    todo.pop_back();
    for (unsigned bit = 0; bit < 2; ++bit) {
      const std::uint32_t entry = tree_entry(image, 0, node, bit);
      if (entry & 0x8000 && seen.insert((entry & 0x7FFF) >> 1).second) todo.push_back((entry & 0x7FFF) >> 1);
    }
  }
  return seen;
}

std::size_t distinct_codes(const ImageContent& content) {
  std::set<std::uint16_t> codes;
  for (const auto& message : content.messages) codes.insert(message.begin(), message.end());
  return codes.size();
}

TEST(ImageBuilder, ImageSizes) {
  const struct {
    ImageSize size;
    std::size_t bytes;
  } cases[] = {{ImageSize::Plain4Mb, 4194304}, {ImageSize::CopierHeader4Mb, 4194816}, {ImageSize::Plain6Mb, 6291456}};
  const ImageContent content = talvo::builder::every_code_content(0);
  for (const auto& c : cases) {
    EXPECT_EQ(talvo::builder::image_size(c.size), c.bytes);
    EXPECT_EQ(build_image(content, c.size).size(), c.bytes);
    EXPECT_EQ(build_image(content, c.size, 5).size(), c.bytes);
  }
}

TEST(ImageBuilder, CopierHeaderShiftsCartridgeDataBy512) {
  const ImageContent content = talvo::builder::random_content(3);
  const Image plain = build_image(content, ImageSize::Plain4Mb);
  const Image with_header = build_image(content, ImageSize::CopierHeader4Mb);
  ASSERT_EQ(with_header.size(), plain.size() + 512);
  EXPECT_TRUE(std::equal(plain.begin(), plain.end(), with_header.begin() + 512));
}

TEST(ImageBuilder, WalkerDecodesMessagesOfRandomImages) {
  for (std::uint64_t seed = 1; seed <= 12; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    const ImageContent content = talvo::builder::random_content(seed);
    const ImageSize size = seed % 2 ? ImageSize::CopierHeader4Mb : ImageSize::Plain6Mb;
    const std::size_t rom = size == ImageSize::CopierHeader4Mb ? 512 : 0;
    const Image image = build_image(content, size, seed);
    // A group's first message, one in the middle of a group, the last one.
    for (const std::size_t n : {std::size_t{0}, std::size_t{805}, std::size_t{4040}, std::size_t{4046}}) {
      const Walk walk = walk_group(image, rom, n / 8, n % 8 + 1);
      ASSERT_EQ(walk.messages.size(), n % 8 + 1);
      EXPECT_EQ(walk.messages.back(), content.messages[n]) << "message " << n;
    }
  }
}

TEST(ImageBuilder, LoneCodeGetsAPartnerLeaf) {
  ImageContent content = talvo::builder::every_code_content(0);
  for (auto& message : content.messages) message = {0x0AE};
  const Image image = build_image(content, ImageSize::Plain4Mb, 7);
  const std::set<std::uint32_t> root{tree_entry(image, 0, kRoot, 0), tree_entry(image, 0, kRoot, 1)};
  EXPECT_EQ(root.count(0x0AE), 1u);
  EXPECT_EQ(root.size(), 2u);
  EXPECT_EQ(walk_group(image, 0, 505, 7).messages.back(), std::vector<std::uint16_t>{0x0AE});
}

TEST(ImageBuilder, GroupPointersStartAtEveryBitOfAByte) {
  const Image image = build_image(talvo::builder::random_content(4), ImageSize::Plain4Mb, 4);
  std::set<std::uint32_t> bits;
  for (std::size_t g = 0; g < 506; ++g) bits.insert(read24(image, kMessagePointers + 3 * g) & 7);
  EXPECT_EQ(bits.size(), 8u);
}

TEST(ImageBuilder, UnreachableTreeSlotsHoldGarbageInRandomImagesAndZeroOtherwise) {
  ImageContent content = talvo::builder::every_code_content(0);
  for (std::size_t n = 0; n < content.messages.size(); ++n) content.messages[n] = {std::uint16_t(n % 3), 0x0AC};
  for (const bool random : {true, false}) {
    const Image image =
        random ? build_image(content, ImageSize::Plain4Mb, 9) : build_image(content, ImageSize::Plain4Mb);
    const std::set<std::size_t> reachable = reachable_nodes(image);
    EXPECT_EQ(reachable.size(), 3u);  // four leaves
    for (std::size_t node = 0; node < 1002; ++node) {
      if (reachable.count(node)) continue;
      for (unsigned bit = 0; bit < 2; ++bit) ASSERT_EQ(tree_entry(image, 0, node, bit), random ? 0xFFFFu : 0u);
    }
  }
}

TEST(ImageBuilder, RandomImagesSetTheDroppedBitOfBranchesBothWays) {
  const Image image = build_image(talvo::builder::every_code_content(1), ImageSize::Plain4Mb, 11);
  std::set<std::uint32_t> low_bits;
  for (const std::size_t node : reachable_nodes(image)) {
    for (unsigned bit = 0; bit < 2; ++bit) {
      const std::uint32_t entry = tree_entry(image, 0, node, bit);
      if (entry & 0x8000) low_bits.insert(entry & 1);
    }
  }
  EXPECT_EQ(low_bits.size(), 2u);
}

TEST(ImageBuilder, ByteBankPointersLeadToTheirEntries) {
  const struct {
    const char* name;
    std::size_t pointers, data, group;
    bool ae_ends;
    std::vector<std::vector<std::uint8_t>> ImageContent::*entries;
  } banks[] = {{"fixed strings", kFixedPointers, kFixedData, 16, false, &ImageContent::fixed_strings},
               {"battle text", kBattlePointers, kBattleData, 8, true, &ImageContent::battle_text}};
  const ImageContent content = talvo::builder::random_content(6);
  for (const bool random : {true, false}) {
    const Image image =
        random ? build_image(content, ImageSize::CopierHeader4Mb, 6) : build_image(content, ImageSize::CopierHeader4Mb);
    for (const auto& bank : banks) {
      SCOPED_TRACE(std::string(bank.name) + (random ? ", random" : ", plain"));
      const auto& entries = content.*bank.entries;
      std::size_t at = 0;
      for (std::size_t n = 0; n < entries.size(); ++n) {
        if (n % bank.group == 0) at = 512 + bank.data + read24(image, 512 + bank.pointers + 3 * (n / bank.group));
        std::vector<std::uint8_t> entry;
        while (entry.empty() || !(entry.back() == 0xAC || (bank.ae_ends && entry.back() == 0xAE))) {
          entry.push_back(image.at(at++));
        }
        ASSERT_EQ(entry, entries[n]) << "entry " << n;
      }
    }
  }
}

TEST(ImageBuilder, RandomContentHoldsTheCasesADecoderMustHandle) {
  std::set<std::size_t> distinct;
  bool empty_message = false, line_codes = false, ae_in_fixed = false, long_fixed = false, long_battle = false;
  for (std::uint64_t seed = 1; seed <= 32; ++seed) {
    const ImageContent content = talvo::builder::random_content(seed);
    distinct.insert(distinct_codes(content));
    for (const auto& message : content.messages) {
      empty_message |= message.size() == 1;
      line_codes |=
          std::count(message.begin(), message.end(), 0x0AD) && std::count(message.begin(), message.end(), 0x0AF);
    }
    for (const auto& entry : content.fixed_strings) {
      ae_in_fixed |= std::count(entry.begin(), entry.end(), 0xAE) > 0;
      long_fixed |= entry.size() > 33;
    }
    for (const auto& entry : content.battle_text) long_battle |= entry.size() > 256;
  }
  EXPECT_TRUE(distinct.count(1)) << "a single code";
  EXPECT_TRUE(std::any_of(distinct.begin(), distinct.end(), [](std::size_t n) { return n > 1 && n <= 5; }))
      << "a handful of codes";
  EXPECT_TRUE(distinct.count(1003)) << "a full tree";
  EXPECT_TRUE(empty_message && line_codes && ae_in_fixed && long_fixed && long_battle);
}

TEST(ImageBuilder, EveryCodeImagesCoverAllCodes) {
  std::set<std::uint16_t> message_codes;
  for (const int which : {0, 1}) {
    const ImageContent content = talvo::builder::every_code_content(which);
    EXPECT_NO_THROW(build_image(content, ImageSize::Plain4Mb));
    EXPECT_LE(distinct_codes(content), 1003u);
    for (const auto& message : content.messages) message_codes.insert(message.begin(), message.end());
    for (const auto* bank : {&content.fixed_strings, &content.battle_text}) {
      std::set<std::uint8_t> bytes;
      for (const auto& entry : *bank) bytes.insert(entry.begin(), entry.end());
      EXPECT_EQ(bytes.size(), 256u) << "image " << which;
    }
  }
  EXPECT_EQ(message_codes.size(), 1548u);
  EXPECT_THROW(talvo::builder::every_code_content(2), std::invalid_argument);
}

TEST(ImageBuilder, InvalidContentThrows) {
  const struct {
    const char* fault;
    std::function<void(ImageContent&)> spoil;
  } cases[] = {
      {"end code inside a message",
       [](ImageContent& c) {
         c.messages[9] = {0x010, 0x0AE, 0x010, 0x0AC};
       }},
      {"message without an end code",
       [](ImageContent& c) {
         c.messages[9] = {0x010, 0x0AD};
       }},
      {"message with no codes", [](ImageContent& c) { c.messages[4046].clear(); }},
      {"message code past the table",
       [](ImageContent& c) {
         c.messages[0] = {0x60C, 0x0AC};
       }},
      {"0xAC inside a fixed string",
       [](ImageContent& c) {
         c.fixed_strings[3] = {0x10, 0xAC, 0x10, 0xAC};
       }},
      {"fixed string ending with 0xAE",
       [](ImageContent& c) {
         c.fixed_strings[3] = {0x10, 0xAE};
       }},
      {"0xAE inside battle text",
       [](ImageContent& c) {
         c.battle_text[374] = {0xAE, 0xAC};
       }},
      {"one message too many", [](ImageContent& c) { c.messages.push_back({0x0AC}); }},
      {"one fixed string too few", [](ImageContent& c) { c.fixed_strings.pop_back(); }},
      {"one battle entry too few", [](ImageContent& c) { c.battle_text.pop_back(); }},
      {"1004 distinct codes",
       [](ImageContent& c) {
         for (auto& message : c.messages) message = {0x0AC};
         for (std::uint16_t i = 0; i < 1003; ++i) c.messages[i] = {static_cast<std::uint16_t>(0x200 + i), 0x0AC};
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fault);
    ImageContent content = talvo::builder::every_code_content(0);
    c.spoil(content);
    EXPECT_THROW(build_image(content, ImageSize::Plain4Mb), std::runtime_error);
    EXPECT_THROW(talvo::builder::expected_message_text(content), std::runtime_error);
  }
}

// Byte banks are filled to exactly their region's size, then one byte more.
TEST(ImageBuilder, ContentBeyondItsRegionThrows) {
  const struct {
    const char* region;
    ImageSize size;
    std::size_t bytes;
    bool battle;
  } cases[] = {
      {"battle text", ImageSize::Plain4Mb, kMessageData - kBattleData, true},
      {"fixed strings, 4 MB", ImageSize::CopierHeader4Mb, 0x400000 - kFixedData, false},
      {"fixed strings, 6 MB", ImageSize::Plain6Mb, 0x600000 - kFixedData, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.region);
    for (const std::size_t extra : {0, 1}) {
      ImageContent content = talvo::builder::every_code_content(0);
      auto& entries = c.battle ? content.battle_text : content.fixed_strings;
      std::size_t total = 0;
      for (const auto& entry : entries) total += entry.size();
      entries[0].insert(entries[0].begin(), c.bytes + extra - total, 0x10);
      if (extra == 0) {
        EXPECT_NO_THROW(build_image(content, c.size, 1));
      } else {
        EXPECT_THROW(build_image(content, c.size, 1), std::runtime_error);
      }
    }
  }
  ImageContent content = talvo::builder::every_code_content(0);
  // Two codes make one-bit codewords: 4047 * 301 bits, more than the region's 1075960.
  for (auto& message : content.messages) message.assign(300, 0x300), message.push_back(0x0AC);
  EXPECT_THROW(build_image(content, ImageSize::Plain6Mb), std::runtime_error);
}

TEST(ImageBuilder, ExpectedMessageText) {
  ImageContent content = talvo::builder::every_code_content(0);
  for (auto& message : content.messages) message = {0x0AE};
  content.messages[0] = {0x000, 0x0AD, 0x200, 0x0AF, 0x604, 0x0AC};  // 0x200: full-width space, 0x604: 鍵
  std::string want = "(0x0000)\n[0000][00AD]\n\x81\x40[00AF]\n\x8C\xAE[00AC]\n";
  for (int n = 1; n < 4047; ++n) {
    char header[16];
    std::snprintf(header, sizeof header, "\n(0x%04X)\n", n);
    want += std::string(header) + "[00AE]\n";
  }
  EXPECT_EQ(talvo::builder::expected_message_text(content), want);
}

TEST(ImageBuilder, ExpectedByteBankTexts) {
  ImageContent content = talvo::builder::every_code_content(0);
  for (auto& entry : content.fixed_strings) entry = {0xAC};
  for (auto& entry : content.battle_text) entry = {0xAE};
  content.fixed_strings[1] = {0x0C, 0xAE, 0x00, 0xAC};
  content.battle_text[0] = {0x01, 0x7D, 0xAC};
  const std::string fixed = talvo::builder::expected_fixed_string_text(content);
  const std::string fixed_start = "(0x0000)[AC]\n(0x0001)\x82\xA0[AE][00][AC]\n";  // 0x0C: あ
  EXPECT_EQ(fixed.substr(0, fixed_start.size()), fixed_start);
  EXPECT_EQ(fixed.substr(fixed.size() - 13), "(0x03BD)[AC]\n");
  const std::string battle = talvo::builder::expected_battle_text(content);
  const std::string battle_start = "(0x0000)\x81\x40\x81\x5B[AC]\n(0x0001)[AE]\n";  // full-width space, ー
  EXPECT_EQ(battle.substr(0, battle_start.size()), battle_start);
  EXPECT_EQ(battle.substr(battle.size() - 13), "(0x0176)[AE]\n");
}

TEST(ImageBuilder, ExpectedBanksAndIndexes) {
  ImageContent content = talvo::builder::every_code_content(0);
  for (std::size_t n = 0; n < content.messages.size(); ++n) {
    content.messages[n].assign(n % 3, 0x5A1);
    content.messages[n].push_back(0x0AC);
  }
  for (auto& entry : content.fixed_strings) entry = {0x30, 0x31, 0xAC};
  for (auto& entry : content.battle_text) entry = {0xAE};
  content.battle_text[2] = {0x40, 0xAC};

  const std::string bank = talvo::builder::expected_message_bank(content);
  EXPECT_EQ(bank.substr(0, 6), std::string("\xAC\x00\xA1\x05\xAC\x00", 6));
  EXPECT_EQ(bank.size(), 2u * (4047 + 4047));  // 1349 rounds of 0, 1 and 2 codes, each with its end
  const std::string index = talvo::builder::expected_message_index(content);
  ASSERT_EQ(index.size(), 506u * 3);
  EXPECT_EQ(index.substr(3, 3), std::string("\x1E\x00\x00", 3));     // 8 messages, 15 codes
  EXPECT_EQ(index.substr(505 * 3), std::string("\x1E\x3F\x00", 3));  // 4040 messages: 4039 codes and 4040 ends

  EXPECT_EQ(talvo::builder::expected_fixed_string_bank(content).size(), 958u * 3);
  const std::string fixed_index = talvo::builder::expected_fixed_string_index(content);
  ASSERT_EQ(fixed_index.size(), 60u * 3);
  EXPECT_EQ(fixed_index.substr(59 * 3), std::string("\x10\x0B\x00", 3));  // 944 entries of 3 bytes

  EXPECT_EQ(talvo::builder::expected_battle_bank(content).substr(0, 4), std::string("\xAE\xAE\x40\xAC", 4));
  const std::string battle_index = talvo::builder::expected_battle_index(content);
  ASSERT_EQ(battle_index.size(), 47u * 3);
  EXPECT_EQ(battle_index.substr(3, 6), std::string("\x09\x00\x00\x11\x00\x00", 6));
}

TEST(ImageBuilder, SampleContentBuildsFromOurOwnText) {
  const ImageContent content = talvo::builder::sample_content();
  EXPECT_NO_THROW(build_image(content, ImageSize::CopierHeader4Mb));
  // The story opens with "ラウル：" and a line break.
  EXPECT_EQ(talvo::builder::expected_message_text(content).substr(0, 24),
            "(0x0000)\n\x83\x89\x83\x45\x83\x8B\x81\x46[00AD]\n");
}

TEST(ImageBuilder, FullSizeContentFillsTheMessageRegion) {
  const ImageContent content = talvo::builder::full_size_content(1);
  std::size_t codes = 0;
  for (const auto& message : content.messages) codes += message.size();
  EXPECT_NEAR(static_cast<double>(codes) / 4047, 30.0, 5.0);
  const Image image = build_image(content, ImageSize::Plain6Mb, 1);
  const Walk walk = walk_group(image, 0, 505, 7);
  ASSERT_EQ(walk.messages.size(), 7u);
  EXPECT_EQ(walk.messages.back(), content.messages[4046]);
  EXPECT_GT(walk.end_byte, (kFixedData - kMessageData) * 99 / 100);
}

TEST(ImageBuilder, SameSeedSameImage) {
  const ImageContent content = talvo::builder::random_content(8);
  const Image image = build_image(content, ImageSize::Plain4Mb, 8);
  EXPECT_TRUE(image == build_image(talvo::builder::random_content(8), ImageSize::Plain4Mb, 8));
  EXPECT_FALSE(image == build_image(content, ImageSize::Plain4Mb, 9));
}

int run(const std::string& arguments) {
  const int status = std::system((std::string(TALVO_BUILD_IMAGE) + " " + arguments + " 2>/dev/null").c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(BuildImageTool, WritesTheImageAndTheNineExpectedFiles) {
  // A folder of this process alone: test runs of other builds may share TempDir().
  const auto dir = std::filesystem::path(::testing::TempDir()) / ("talvo_build_image_test_" + std::to_string(getpid()));
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  const auto image = dir / "random.smc";
  ASSERT_EQ(run("--content random --seed 2 --size 4m-header --out " + image.string() + " --expected " +
                (dir / "expected").string()),
            0);
  EXPECT_EQ(std::filesystem::file_size(image), 4194816u);
  for (const char* name :
       {"MsgDataDecode.txt", "StrDataDecode.txt", "BtlDataDecode.txt", "MsgDataTalvo.bin", "MsgDataIDX.bin",
        "StrDataTalvo.bin", "StrDataIDX.bin", "BtlDataTalvo.bin", "BtlDataIDX.bin"}) {
    EXPECT_TRUE(std::filesystem::exists(dir / "expected" / name)) << name;
  }
  std::filesystem::remove_all(dir);
}

TEST(BuildImageTool, UsageErrorsExitWithTwo) {
  for (const char* arguments : {"", "--content random", "--content poem --out x", "--content random --seed -1 --out x",
                                "--content random --size 5m --out x", "--content random --out"}) {
    SCOPED_TRACE(arguments);
    EXPECT_EQ(run(arguments), 2);
  }
}

TEST(BuildImageTool, UnwritableOutputExitsWithOne) {
  EXPECT_EQ(run("--content every-code-0 --out /nonexistent-dir/x.smc"), 1);
}

}  // namespace
