// Finding blank runs a translator might give a bank: planted runs in builder
// images are found, cut to what each bank reaches and to what nothing else
// occupies, and every run listed is one insertion takes.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "banks.h"
#include "free_space.h"
#include "header_checksum.h"
#include "image_builder.h"
#include "original_rooms.h"
#include "rom_layout.h"

namespace talvo::free_space {
namespace {

using builder::ImageSize;

struct Planted {
  std::vector<std::uint8_t> cartridge;
  void fill(std::uint32_t start, std::uint32_t end, std::uint8_t byte) {
    std::fill(cartridge.begin() + start, cartridge.begin() + end, byte);
  }
};

// Random bytes wherever the decoders do not read: no blank run but those planted.
Planted random_6mb() { return {builder::build_image(builder::random_content(8), ImageSize::Plain6Mb, 8)}; }

FreeSpace found(const std::variant<FreeSpace, insert::BrokenOriginal>& result) {
  if (!std::holds_alternative<FreeSpace>(result)) {
    ADD_FAILURE() << "the image's banks did not read";
    return {};
  }
  return std::get<FreeSpace>(result);
}

using Runs = std::vector<FreeRun>;

}  // namespace

void PrintTo(const FreeRun& run, std::ostream* out) {
  *out << std::hex << "0x" << run.start << "-0x" << run.end << " of 0x" << int{run.byte};
}

namespace {

struct PlantCase {
  const char* name;
  std::function<void(Planted&)> plant;
  Runs msg, str, btl;
};

constexpr std::uint32_t kMessageReach = rom::kMessageData + (1u << 21);  // 0x5CC258

const PlantCase kPlants[] = {
    {"nothing planted", [](Planted&) {}, {}, {}, {}},
    {"a run of 0xFF every bank reaches", [](Planted& p) { p.fill(0x500000, 0x520000, 0xFF); },
     Runs{{0x500000, 0x520000, 0xFF}}, Runs{{0x500000, 0x520000, 0xFF}}, Runs{{0x500000, 0x520000, 0xFF}}},
    {"a run across the end of the messages' reach", [](Planted& p) { p.fill(0x5C0000, 0x5D0000, 0x00); },
     Runs{{0x5C0000, kMessageReach, 0x00}}, Runs{{0x5C0000, 0x5D0000, 0x00}}, Runs{{0x5C0000, 0x5D0000, 0x00}}},
    {"a run to the end of the image",
     [](Planted& p) { p.fill(0x5FF000, 0x600000, 0xFF); },
     {},
     Runs{{0x5FF000, 0x600000, 0xFF}},
     Runs{{0x5FF000, 0x600000, 0xFF}}},
    {"255 bytes are too few, 256 enough",
     [](Planted& p) {
       p.fill(0x450000, 0x450000 + 255, 0x00);
       p.fill(0x460000, 0x460000 + 256, 0x00);
     },
     Runs{{0x460000, 0x460100, 0x00}}, Runs{{0x460000, 0x460100, 0x00}}, Runs{{0x460000, 0x460100, 0x00}}},
    {"below the banks' data no pointer reaches", [](Planted& p) { p.fill(0x200000, 0x210000, 0xFF); }, {}, {}, {}},
    {"0x00 then 0xFF is two runs, each too short",
     [](Planted& p) {
       p.fill(0x480000, 0x480080, 0x00);
       p.fill(0x480080, 0x480100, 0xFF);
     },
     {},
     {},
     {}},
    {"another repeated byte is not blank", [](Planted& p) { p.fill(0x480000, 0x490000, 0x55); }, {}, {}, {}},
    {"largest first",
     [](Planted& p) {
       p.fill(0x420000, 0x420400, 0xFF);
       p.fill(0x430000, 0x438000, 0x00);
       p.fill(0x440000, 0x441000, 0xFF);
     },
     Runs{{0x430000, 0x438000, 0x00}, {0x440000, 0x441000, 0xFF}, {0x420000, 0x420400, 0xFF}},
     Runs{{0x430000, 0x438000, 0x00}, {0x440000, 0x441000, 0xFF}, {0x420000, 0x420400, 0xFF}},
     Runs{{0x430000, 0x438000, 0x00}, {0x440000, 0x441000, 0xFF}, {0x420000, 0x420400, 0xFF}}},
    {"an internal header splits a run",
     [](Planted& p) {
       p.fill(0x40F000, 0x411000, 0x00);
       p.cartridge[0x40FFC0 + insert::kMapModeField] = 0x25;
       insert::store_checksum(p.cartridge, 0x40FFC0, 0x1234);
     },
     Runs{{0x40FFE0, 0x411000, 0x00}, {0x40F000, 0x40FFC0, 0x00}},
     Runs{{0x40FFE0, 0x411000, 0x00}, {0x40F000, 0x40FFC0, 0x00}},
     Runs{{0x40FFE0, 0x411000, 0x00}, {0x40F000, 0x40FFC0, 0x00}}},
};

class PlantedRuns : public ::testing::TestWithParam<int> {};

TEST_P(PlantedRuns, AreListedForEveryBankThatReachesThem) {
  const PlantCase& c = kPlants[GetParam()];
  SCOPED_TRACE(c.name);
  Planted image = random_6mb();
  c.plant(image);
  const FreeSpace space = found(find_free_space(image.cartridge));
  EXPECT_EQ(space.of(Bank::Messages), c.msg);
  EXPECT_EQ(space.of(Bank::FixedStrings), c.str);
  EXPECT_EQ(space.of(Bank::BattleText), c.btl);
}

INSTANTIATE_TEST_SUITE_P(Cases, PlantedRuns, ::testing::Range(0, static_cast<int>(std::size(kPlants))));

TEST(FreeSpace, IsNeverInsideABanksText) {
  // Entries of one code repeated: blank runs of 400 bytes inside the fixed
  // strings' and the battle text's rooms.
  builder::ImageContent content = builder::random_content(8);
  content.fixed_strings.at(5).assign(400, 0x00);
  content.fixed_strings.at(5).push_back(0xAC);
  content.battle_text.at(9).assign(400, 0xFF);
  content.battle_text.at(9).push_back(0xAC);
  const std::vector<std::uint8_t> cartridge = builder::build_image(content, ImageSize::Plain6Mb, 8);
  const FreeSpace space = found(find_free_space(cartridge));
  for (Bank bank : kBanks) EXPECT_EQ(space.of(bank), Runs{}) << static_cast<int>(bank);
}

TEST(FreeSpace, RefusesAnImageWhoseBanksDoNotRead) {
  // Group 3 of a 4 MB image pointing 2 MiB past the message data.
  Planted image{builder::build_image(builder::random_content(8), ImageSize::Plain4Mb, 8)};
  for (int k = 0; k < 3; ++k) image.cartridge[rom::kMessageAccessTable + 9 + k] = 0xFF;
  const auto result = find_free_space(image.cartridge);
  ASSERT_TRUE(std::holds_alternative<insert::BrokenOriginal>(result));
  EXPECT_EQ(std::get<insert::BrokenOriginal>(result).failure, insert::OriginalFailure::MessageDataRead);
}

// Plain images are blank wherever the decoders do not read: between the
// banks and, in a 6 MB image, its whole last part.
class PlainImages : public ::testing::TestWithParam<ImageSize> {};

TEST_P(PlainImages, ListOnlyRunsInsertionTakes) {
  const builder::ImageContent content = builder::random_content(9);
  const std::vector<std::uint8_t> cartridge = builder::build_image(content, GetParam());
  const FreeSpace space = found(find_free_space(cartridge));
  const auto rooms = std::get<insert::OriginalRooms>(insert::find_original_rooms(cartridge));
  for (Bank bank : kBanks) {
    SCOPED_TRACE(static_cast<int>(bank));
    ASSERT_FALSE(space.of(bank).empty());
    for (const FreeRun& run : space.of(bank)) {
      EXPECT_GE(run.bytes(), kShortestRun);
      EXPECT_TRUE(std::all_of(cartridge.begin() + run.start, cartridge.begin() + run.end,
                              [&](std::uint8_t b) { return b == run.byte; }));
      // Insertion takes the run as extra room for the bank.
      insert::NewText text;
      if (bank == Bank::Messages) text.messages = content.messages;
      if (bank == Bank::FixedStrings) text.fixed_strings = content.fixed_strings;
      if (bank == Bank::BattleText) text.battle_text = content.battle_text;
      insert::Options options;
      options.extra_room = {{bank, {run.start, run.end}}};
      const insert::Outcome outcome = insert::insert_text(cartridge, text, options);
      EXPECT_TRUE(std::holds_alternative<insert::Inserted>(outcome))
          << std::hex << run.start << "-" << run.end << ": refusal " << std::get<insert::Refusal>(outcome).index();
    }
  }
  // The blank bytes after the last message are offered from the first byte
  // the message stream leaves alone.
  const std::uint64_t message_end = rooms.room(Bank::Messages).back().end_byte();
  EXPECT_TRUE(std::any_of(space.of(Bank::Messages).begin(), space.of(Bank::Messages).end(),
                          [&](const FreeRun& run) { return run.start == message_end; }));
  const std::uint64_t reach = std::min<std::uint64_t>(cartridge.size(), kMessageReach);
  for (const FreeRun& run : space.of(Bank::Messages)) EXPECT_LE(run.end, reach);
}

INSTANTIATE_TEST_SUITE_P(Sizes, PlainImages, ::testing::Values(ImageSize::Plain4Mb, ImageSize::Plain6Mb));

}  // namespace
}  // namespace talvo::free_space
