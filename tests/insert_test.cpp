// Insertion end to end: edited content goes into builder images and the
// reference images, and the extractor's decoders must read it back exactly,
// with nothing else of the image changed.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "banks.h"
#include "buffered_output.h"
#include "byte_bank_decoder.h"
#include "image_builder.h"
#include "insertion.h"
#include "message_decoder.h"
#include "rom_layout.h"
#include "vocabulary.h"

namespace talvo::insert {
namespace {

using builder::ImageContent;
using builder::ImageSize;
namespace fs = std::filesystem;

struct Image {
  std::vector<std::uint8_t> bytes;
  std::size_t header = 0;
  std::span<const std::uint8_t> cartridge() const { return std::span(bytes).subspan(header); }
  std::span<std::uint8_t> cartridge() { return std::span(bytes).subspan(header); }
};

Image build(const ImageContent& content, ImageSize size, std::uint64_t seed) {
  return {builder::build_image(content, size, seed), size == ImageSize::CopierHeader4Mb ? rom::kCopierHeaderSize : 0u};
}

NewText all_banks(const ImageContent& content) {
  return {content.messages, content.fixed_strings, content.battle_text, {}};
}

// What the extractor writes for a bank, read with its own decoders.
std::string extracted(std::span<const std::uint8_t> cartridge, Bank bank) {
  BufferedOutput out;
  if (bank == Bank::Messages) {
    const auto tree = std::make_unique<MessageTree>();
    if (load_message_tree(cartridge, *tree) != TreeLoad::Ok) return "<tree>";
    decode_message_text(cartridge, *tree, game_vocabulary(CodeSet::Message), out);
  } else {
    decode_byte_bank_text(cartridge, bank == Bank::FixedStrings ? kFixedStringBank : kBattleTextBank,
                          game_vocabulary(CodeSet::Byte), out);
  }
  return std::string(out.text());
}

std::string expected(const ImageContent& content, Bank bank) {
  switch (bank) {
    case Bank::Messages:
      return builder::expected_message_text(content);
    case Bank::FixedStrings:
      return builder::expected_fixed_string_text(content);
    case Bank::BattleText:
      return builder::expected_battle_text(content);
  }
  return {};
}

constexpr Bank kAllBanks[] = {Bank::Messages, Bank::FixedStrings, Bank::BattleText};

std::uint32_t table_of(Bank bank) {
  return bank == Bank::Messages       ? rom::kMessageAccessTable
         : bank == Bank::FixedStrings ? rom::kFixedStringPointers
                                      : rom::kBattleTextPointers;
}
std::uint32_t table_end(Bank bank) {
  const std::uint32_t groups = bank == Bank::Messages ? 506 : bank == Bank::FixedStrings ? 60 : 47;
  return table_of(bank) + 3 * groups;
}

// Every byte that differs lies in what the report says the banks given wrote:
// their tables (and the tree), the used part of their regions, or a header
// checksum that was recomputed.
void expect_changes_only_where_reported(std::span<const std::uint8_t> before, std::span<const std::uint8_t> after,
                                        const FitReport& report) {
  std::vector<std::pair<std::uint32_t, std::uint32_t>> allowed;
  for (const BankFit& fit : report.banks) {
    allowed.emplace_back(table_of(fit.bank), table_end(fit.bank));
    if (fit.bank == Bank::Messages) allowed.emplace_back(rom::kMessageTree, rom::kMessageTree + 4008);
    for (const RegionUse& use : fit.regions) {
      allowed.emplace_back(use.region.start, use.region.start + static_cast<std::uint32_t>(use.used_bytes));
    }
  }
  for (const HeaderChecksum& header : report.checksum.recomputed) {
    allowed.emplace_back(header.offset + 0x1C, header.offset + 0x20);
  }
  ASSERT_EQ(before.size(), after.size());
  // Blocks compared whole first: most of the image is unchanged.
  constexpr std::size_t kBlock = 4096;
  for (std::size_t block = 0; block < before.size(); block += kBlock) {
    const std::size_t length = std::min(kBlock, before.size() - block);
    if (std::memcmp(before.data() + block, after.data() + block, length) == 0) continue;
    for (std::size_t i = block; i < block + length; ++i) {
      if (before[i] == after[i]) continue;
      bool inside = false;
      for (const auto& [start, end] : allowed) inside = inside || (start <= i && i < end);
      ASSERT_TRUE(inside) << "byte " << std::hex << i << " changed outside what was written";
    }
  }
}

// Keep the outcome alive while the result is in use.
const Inserted& inserted(const Outcome& outcome) {
  static const Inserted kNone;
  if (const auto* done = std::get_if<Inserted>(&outcome)) return *done;
  ADD_FAILURE() << "refused, kind " << std::get<Refusal>(outcome).index();
  return kNone;
}

// ---- The edits ----

bool is_message_end(std::uint16_t code) { return code == rom::kMessageEnd || code == rom::kMessageEndAlt; }

struct Edit {
  const char* name;
  std::function<void(ImageContent&)> apply;
  bool messages, fixed_strings, battle_text;
  bool message_extra_room;  // declare the free rest of the message region
};

const Edit kEdits[] = {
    {"the same text", [](ImageContent&) {}, true, true, true, false},
    {"messages in reverse order", [](ImageContent& c) { std::reverse(c.messages.begin(), c.messages.end()); }, true,
     false, false, false},
    {"every second message code dropped, battle text halved",
     [](ImageContent& c) {
       for (auto& message : c.messages) {
         std::vector<std::uint16_t> kept;
         for (std::size_t i = 0; i + 1 < message.size(); i += 2) kept.push_back(message[i]);
         kept.push_back(message.back());
         message = kept;
       }
       for (auto& entry : c.battle_text) {
         entry.erase(entry.begin(), entry.begin() + static_cast<std::ptrdiff_t>(entry.size() / 2));
       }
     },
     true, false, true, false},
    {"five body codes only",
     [](ImageContent& c) {
       for (auto& message : c.messages) {
         for (std::size_t i = 0; i + 1 < message.size(); ++i)
           message[i] = static_cast<std::uint16_t>(0x200 + message[i] % 5);
       }
     },
     true, true, false, false},
    {"a thousand distinct codes in short messages",
     [](ImageContent& c) {
       for (std::size_t n = 0; n < c.messages.size(); ++n) {
         std::vector<std::uint16_t> message;
         for (std::size_t i = 0; i < n % 4; ++i)
           message.push_back(static_cast<std::uint16_t>(0x200 + (3 * n + i) % 1001));
         message.push_back(c.messages[n].back());
         c.messages[n] = message;
       }
     },
     true, false, true, true},
    {"a single distinct code",
     [](ImageContent& c) {
       for (auto& message : c.messages) message = {rom::kMessageEnd};
     },
     true, false, false, false},
    {"fixed strings longer and shorter",
     [](ImageContent& c) {
       for (std::size_t i = 0; i + 1 < c.fixed_strings.size(); i += 2) {
         auto& longer = c.fixed_strings[i];
         auto& shorter = c.fixed_strings[i + 1];
         for (int k = 0; k < 3 && shorter.size() > 1; ++k) {
           longer.insert(longer.begin(), shorter.front());
           shorter.erase(shorter.begin());
         }
       }
     },
     false, true, false, false},
};

NewText new_text_for(const Edit& edit, const ImageContent& content) {
  NewText text;
  if (edit.messages) text.messages = content.messages;
  if (edit.fixed_strings) text.fixed_strings = content.fixed_strings;
  if (edit.battle_text) text.battle_text = content.battle_text;
  return text;
}

void check_round_trip(const Image& image, const ImageContent& original, const Edit& edit) {
  ImageContent content = original;
  edit.apply(content);
  const NewText text = new_text_for(edit, content);
  Options options;
  if (edit.message_extra_room) {
    // Ask for the report of the text as it is to find where its stream ends.
    NewText same;
    same.messages = original.messages;
    const Outcome probed = insert_text(image.cartridge(), same);
    const Inserted& probe = inserted(probed);
    ASSERT_FALSE(probe.report.banks.empty());
    const Region room = probe.report.banks[0].regions[0].region;
    if (room.end < rom::kFixedStringData)
      options.extra_room.push_back({Bank::Messages, {room.end, rom::kFixedStringData}});
  }
  const Outcome outcome = insert_text(image.cartridge(), text, options);
  const Inserted& done = inserted(outcome);
  ASSERT_EQ(done.cartridge.size(), image.cartridge().size());
  for (Bank bank : kAllBanks) {
    EXPECT_TRUE(extracted(done.cartridge, bank) == expected(content, bank)) << "bank " << static_cast<int>(bank);
  }
  expect_changes_only_where_reported(image.cartridge(), done.cartridge, done.report);
  EXPECT_TRUE(done.report.checksum.recomputed.empty());
}

// ---- Builder images ----

struct Source {
  const char* name;
  std::function<ImageContent()> content;
  ImageSize size;
};

// Each size once, and the full-size text in the largest image.
const Source kSources[] = {
    {"random_3_plain4mb", [] { return builder::random_content(3); }, ImageSize::Plain4Mb},
    {"random_8_header4mb", [] { return builder::random_content(8); }, ImageSize::CopierHeader4Mb},
    {"every_code_1_plain6mb", [] { return builder::every_code_content(1); }, ImageSize::Plain6Mb},
    {"full_size_plain6mb", [] { return builder::full_size_content(1); }, ImageSize::Plain6Mb},
};

class BuilderImages : public ::testing::TestWithParam<int> {};

TEST_P(BuilderImages, EditedTextReadsBackExactly) {
  const Source& source = kSources[GetParam()];
  const ImageContent content = source.content();
  const Image image = build(content, source.size, 11 + static_cast<std::uint64_t>(GetParam()));
  for (const Edit& edit : kEdits) {
    SCOPED_TRACE(edit.name);
    check_round_trip(image, content, edit);
  }
}

INSTANTIATE_TEST_SUITE_P(Sources, BuilderImages, ::testing::Range(0, static_cast<int>(std::size(kSources))),
                         [](const auto& info) { return std::string(kSources[info.param].name); });

TEST(Insertion, SameInputGivesTheSameBytes) {
  const ImageContent content = builder::random_content(5);
  const Image image = build(content, ImageSize::Plain4Mb, 5);
  ImageContent edited = content;
  std::reverse(edited.fixed_strings.begin(), edited.fixed_strings.end());
  const Outcome first = insert_text(image.cartridge(), all_banks(edited));
  const Outcome second = insert_text(image.cartridge(), all_banks(edited));
  EXPECT_TRUE(inserted(first).cartridge == inserted(second).cartridge);
}

TEST(Insertion, TreeEntriesNoNodeUsesKeepTheirBytes) {
  const ImageContent content = builder::random_content(3);
  const Image image = build(content, ImageSize::Plain4Mb, 3);
  NewText text;
  text.messages.emplace(rom::kMessageCount, std::vector<std::uint16_t>{rom::kMessageEndAlt});
  const Outcome outcome = insert_text(image.cartridge(), text);
  const Inserted& done = inserted(outcome);
  EXPECT_EQ(done.report.banks.at(0).distinct_codes, 1u);
  const auto tree = image.cartridge().subspan(rom::kMessageTree, 4008);
  const auto new_tree = std::span(done.cartridge).subspan(rom::kMessageTree, 4008);
  for (std::size_t entry = 0; entry < 2004; ++entry) {
    if (entry == 1001 || entry == 2003) {
      EXPECT_EQ(new_tree[2 * entry] | new_tree[2 * entry + 1] << 8, rom::kMessageEndAlt);
    } else {
      EXPECT_TRUE(tree[2 * entry] == new_tree[2 * entry] && tree[2 * entry + 1] == new_tree[2 * entry + 1]) << entry;
    }
  }
}

// ---- The reference images ----

std::vector<std::uint8_t> read_file(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The entries of a bank file the encoders wrote, cut after each end code.
template <typename Code>
std::vector<std::vector<Code>> split_bank(const std::vector<std::uint8_t>& bank, bool wide, bool battle) {
  std::vector<std::vector<Code>> entries(1);
  for (std::size_t at = 0; at + (wide ? 1 : 0) < bank.size(); at += wide ? 2 : 1) {
    const auto code = static_cast<Code>(wide ? bank[at] | bank[at + 1] << 8 : bank[at]);
    entries.back().push_back(code);
    const bool end = wide ? is_message_end(code) : (code == 0xAC || (battle && code == 0xAE));
    if (end) entries.emplace_back();
  }
  entries.pop_back();
  return entries;
}

class ReferenceImages : public ::testing::TestWithParam<const char*> {};

TEST_P(ReferenceImages, EditedTextReadsBackExactly) {
  const fs::path reference = fs::path(TALVO_GOLDEN_DIR) / GetParam();
  if (!fs::exists(reference / "image.smc.gz")) {
    if (std::getenv("CI") != nullptr) FAIL() << "reference images missing: " << reference;
    GTEST_SKIP() << "reference images missing: " << reference;
  }
  const fs::path folder = fs::temp_directory_path() / ("talvo-insert-" + std::to_string(::getpid()));
  fs::create_directories(folder);
  const std::string command =
      "gzip -dc '" + (reference / "image.smc.gz").string() + "' > '" + (folder / "image.smc").string() + "'";
  ASSERT_EQ(std::system(command.c_str()), 0);
  Image image{read_file(folder / "image.smc"), 0};
  fs::remove_all(folder);
  if (image.bytes.size() == rom::kSizeWithCopierHeader) image.header = rom::kCopierHeaderSize;

  ImageContent content;
  content.messages = split_bank<std::uint16_t>(read_file(reference / "MsgDataTalvo.bin"), true, false);
  content.fixed_strings = split_bank<std::uint8_t>(read_file(reference / "StrDataTalvo.bin"), false, false);
  content.battle_text = split_bank<std::uint8_t>(read_file(reference / "BtlDataTalvo.bin"), false, true);
  ASSERT_EQ(content.messages.size(), rom::kMessageCount);
  for (const Edit& edit : kEdits) {
    SCOPED_TRACE(edit.name);
    check_round_trip(image, content, edit);
  }
}

INSTANTIATE_TEST_SUITE_P(Golden, ReferenceImages, ::testing::Values("header-4mb", "plain-6mb"));

}  // namespace
}  // namespace talvo::insert
