// What insertion refuses, and the regions and header checksums it uses: a
// refusal produces nothing and says why.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <numeric>
#include <string>
#include <vector>

#include "banks.h"
#include "image_builder.h"
#include "insertion.h"
#include "message_decoder.h"
#include "rom_layout.h"
#include "vocabulary.h"

namespace talvo::insert {
namespace {

using builder::ImageContent;
using builder::ImageSize;

// A builder image and its content; tests change either before inserting.
struct Scenario {
  ImageContent content = builder::random_content(3);
  std::vector<std::uint8_t> cartridge = builder::build_image(content, ImageSize::Plain4Mb, 3);
  NewText text;
  Options options;

  void put24(std::size_t at, std::uint32_t value) {
    for (int k = 0; k < 3; ++k) cartridge.at(at + k) = static_cast<std::uint8_t>(value >> 8 * k);
  }
  void put16(std::size_t at, std::uint16_t value) {
    for (int k = 0; k < 2; ++k) cartridge.at(at + k) = static_cast<std::uint8_t>(value >> 8 * k);
  }
  // The room each bank's text has in the image, as insertion reports it.
  Region room(Bank bank) const {
    NewText same;
    same.messages = content.messages;
    same.fixed_strings = content.fixed_strings;
    same.battle_text = content.battle_text;
    const Outcome outcome = insert_text(cartridge, same);
    return std::get<Inserted>(outcome).report.banks.at(static_cast<std::size_t>(bank)).regions.at(0).region;
  }
};

template <typename Facts>
const Facts& refused_with(const Outcome& outcome) {
  static const Facts kNone{};
  if (std::holds_alternative<Inserted>(outcome)) {
    ADD_FAILURE() << "inserted";
    return kNone;
  }
  const Refusal& refusal = std::get<Refusal>(outcome);
  if (!std::holds_alternative<Facts>(refusal)) {
    ADD_FAILURE() << "refused with kind " << refusal.index();
    return kNone;
  }
  return std::get<Facts>(refusal);
}

std::vector<std::vector<std::uint16_t>> with_body(std::size_t length, std::uint16_t code) {
  std::vector<std::uint16_t> message(length, code);
  message.push_back(rom::kMessageEnd);
  return std::vector<std::vector<std::uint16_t>>(rom::kMessageCount, message);
}

// ---- Faulty new text and broken inputs ----

struct FaultCase {
  const char* name;
  std::function<void(Scenario&)> arrange;
  std::function<void(const Outcome&)> check;
};

// Checks that the refusal is exactly `expected`.
template <typename Facts>
std::function<void(const Outcome&)> refused(Facts expected) {
  return [expected](const Outcome& o) { EXPECT_TRUE(refused_with<Facts>(o) == expected); };
}

const FaultCase kFaults[] = {
    {"a cartridge of 4 MB and one byte", [](Scenario& s) { s.cartridge.push_back(0); },
     refused(UnsupportedImageSize{rom::kSize4Mb + 1})},
    {"4046 messages", [](Scenario& s) { s.text.messages = s.content.messages, s.text.messages->pop_back(); },
     refused(WrongEntryCount{Bank::Messages, 4046, 4047})},
    {"a fixed string without its end code",
     [](Scenario& s) {
       s.text.fixed_strings = s.content.fixed_strings, s.text.fixed_strings->at(5) = {0x0C, 0x0D};
     },
     refused(MisplacedEndCode{Bank::FixedStrings, 5, 2, true})},
    {"an empty battle entry",
     [](Scenario& s) { s.text.battle_text = s.content.battle_text, s.text.battle_text->at(374).clear(); },
     refused(MisplacedEndCode{Bank::BattleText, 374, 0, true})},
    {"a battle entry with 0xAE inside",
     [](Scenario& s) {
       s.text.battle_text = s.content.battle_text, s.text.battle_text->at(3) = {0x0C, 0xAE, 0x0D, 0xAC};
     },
     refused(MisplacedEndCode{Bank::BattleText, 3, 1, false})},
    {"0xAE inside a fixed string is a plain code",
     [](Scenario& s) {
       s.text.fixed_strings = s.content.fixed_strings, s.text.fixed_strings->at(3) = {0xAE, 0xAC};
     },
     [](const Outcome& o) { EXPECT_TRUE(std::holds_alternative<Inserted>(o)); }},
    {"message code 0x60C",
     [](Scenario& s) {
       s.text.messages = s.content.messages;
       s.text.messages->at(9).insert(s.text.messages->at(9).begin(), 0x60C);
     },
     refused(CodeOutOfRange{9, 0, 0x60C})},
    {"the input's tree leads past node 1001",
     [](Scenario& s) { s.put16(rom::kMessageTree + 2 * 1001, 0x8000 | 1500 << 1); },
     refused(BrokenOriginal{Bank::Messages, OriginalFailure::TreeInvalid, 0})},
    {"the input's group 3 points past the end", [](Scenario& s) { s.put24(rom::kMessageAccessTable + 9, 0xFFFFFF); },
     refused(BrokenOriginal{Bank::Messages, OriginalFailure::MessageDataRead, 24})},
    {"the input's last battle group points past the end",
     [](Scenario& s) { s.put24(rom::kBattleTextPointers + 3 * 46, 0xFFFFFF); },
     refused(BrokenOriginal{Bank::BattleText, OriginalFailure::ByteBankRead, 368})},
    {"fixed strings twice as long as their room",
     [](Scenario& s) {
       s.text.fixed_strings = s.content.fixed_strings;
       for (auto& entry : *s.text.fixed_strings) entry.insert(entry.begin(), entry.size() + 1, 0x0C);
     },
     [](const Outcome& o) {
       const auto& f = refused_with<DoesNotFit>(o);
       EXPECT_EQ(f.bank, Bank::FixedStrings);
       ASSERT_EQ(f.report.banks.size(), 1u);
       const BankFit& fit = f.report.banks[0];
       EXPECT_FALSE(fit.fits);
       EXPECT_GT(fit.needed_bytes, fit.room_bytes);
       EXPECT_TRUE(fit.first_group_left_out.has_value());
       ASSERT_EQ(fit.largest.size(), 5u);
       EXPECT_TRUE(std::is_sorted(fit.largest.begin(), fit.largest.end(),
                                  [](const EntrySize& a, const EntrySize& b) { return a.bytes > b.bytes; }));
     }},
    {"messages that overflow beside battle text that fits",
     [](Scenario& s) {
       s.text.messages = with_body(1000, 0x201);
       s.text.messages->at(7).insert(s.text.messages->at(7).begin(), 0x202);  // a second body code: 2 bits each
       s.text.battle_text = s.content.battle_text;
     },
     [](const Outcome& o) {
       const auto& f = refused_with<DoesNotFit>(o);
       EXPECT_EQ(f.bank, Bank::Messages);
       ASSERT_EQ(f.report.banks.size(), 2u);
       EXPECT_FALSE(f.report.banks[0].fits);
       EXPECT_EQ(f.report.banks[0].distinct_codes, 3u);
       EXPECT_EQ(f.report.banks[0].largest[0].entry, 7u);
       EXPECT_TRUE(f.report.banks[1].fits);
     }},
    {"1010 distinct codes",
     [](Scenario& s) {
       s.text.messages = with_body(0, 0);
       for (std::uint16_t k = 0; k < 1009; ++k) {
         auto& message = s.text.messages->at(k + 1);
         message.insert(message.begin(), k == 500 ? 1 : 20 - k % 13, static_cast<std::uint16_t>(0x100 + k));
       }
     },
     [](const Outcome& o) {
       // The code used once, then six of those used 8 times (k % 13 == 12), by code.
       const auto& f = refused_with<TooManyCodes>(o);
       EXPECT_EQ(f.distinct, 1010u);
       EXPECT_EQ(f.limit, 1003u);
       const std::vector<CodeUse> rarest{{0x100 + 500, 1, 501}, {0x100 + 12, 8, 13}, {0x100 + 25, 8, 26},
                                         {0x100 + 38, 8, 39},   {0x100 + 51, 8, 52}, {0x100 + 64, 8, 65},
                                         {0x100 + 77, 8, 78}};
       EXPECT_EQ(f.rarest, rarest);
     }},
};

class Faults : public ::testing::TestWithParam<int> {};

TEST_P(Faults, AreRefusedWithTheirFacts) {
  const FaultCase& c = kFaults[GetParam()];
  SCOPED_TRACE(c.name);
  Scenario scenario;
  c.arrange(scenario);
  c.check(insert_text(scenario.cartridge, scenario.text, scenario.options));
}

INSTANTIATE_TEST_SUITE_P(Cases, Faults, ::testing::Range(0, static_cast<int>(std::size(kFaults))));

// ---- Extra regions ----

TEST(ExtraRegions, AreFilledInTheOrderGiven) {
  Scenario s;
  const Region room = s.room(Bank::Messages);
  // Twice the text: the default room holds about half of it.
  s.text.messages = s.content.messages;
  for (auto& message : *s.text.messages) {
    const std::vector<std::uint16_t> body(message.begin(), message.end() - 1);
    message.insert(message.begin(), body.begin(), body.end());
  }
  const std::uint32_t size = room.end - room.start;
  const Region tiny{room.end + 16, room.end + 17};  // too small for any group: passed over
  const Region second{room.end + 32, room.end + 32 + size / 2};
  const Region third{room.end + 64 + size / 2, rom::kFixedStringData};
  s.options.extra_room = {{Bank::Messages, tiny}, {Bank::Messages, second}, {Bank::Messages, third}};
  const Outcome outcome = insert_text(s.cartridge, s.text, s.options);
  ASSERT_TRUE(std::holds_alternative<Inserted>(outcome)) << std::get<Refusal>(outcome).index();
  const Inserted& done = std::get<Inserted>(outcome);

  const BankFit& fit = done.report.banks.at(0);
  ASSERT_EQ(fit.regions.size(), 4u);
  EXPECT_TRUE(fit.regions[0].default_room);
  EXPECT_EQ(fit.regions[0].region, room);
  EXPECT_EQ(fit.regions[1].region, tiny);
  EXPECT_EQ(fit.regions[1].groups, 0u);
  EXPECT_EQ(fit.regions[2].region, second);
  EXPECT_EQ(fit.regions[3].region, third);
  std::size_t next = 0;
  for (std::size_t r : {0u, 2u, 3u}) {
    EXPECT_GT(fit.regions[r].groups, 0u) << r;
    EXPECT_EQ(fit.regions[r].first_group, next) << r;
    EXPECT_LE(fit.regions[r].used_bits, fit.regions[r].room_bits);
    next += fit.regions[r].groups;
  }
  EXPECT_EQ(next, rom::kMessageGroups);
  // Group pointers lead into the regions in turn: the first group of the
  // second region starts at its first byte, top bit.
  const std::size_t at = rom::kMessageAccessTable + 3 * fit.regions[2].first_group;
  const std::uint32_t pointer = done.cartridge[at] | done.cartridge[at + 1] << 8 | done.cartridge[at + 2] << 16;
  EXPECT_EQ(pointer, (second.start - rom::kMessageData) << 3 | 7);

  ImageContent edited = s.content;
  edited.messages = *s.text.messages;
  MessageTree tree;
  ASSERT_EQ(load_message_tree(done.cartridge, tree), TreeLoad::Ok);
  BufferedOutput out;
  ASSERT_EQ(decode_message_text(done.cartridge, tree, game_vocabulary(CodeSet::Message), out), MessageFailure::None);
  EXPECT_TRUE(out.text() == builder::expected_message_text(edited));
}

// An image made with extra room holds game bytes between its own room and
// the extra region. Inserting into that image again must take the two as
// separate regions and leave the bytes between them alone.
struct ReinsertionCase {
  const char* name;
  ImageSize size;
  Bank bank;
};

const ReinsertionCase kReinsertionCases[] = {
    {"messages, 4 MB", ImageSize::Plain4Mb, Bank::Messages},
    {"messages, 6 MB", ImageSize::Plain6Mb, Bank::Messages},
    {"fixed strings, 4 MB", ImageSize::Plain4Mb, Bank::FixedStrings},
    {"fixed strings, 6 MB", ImageSize::Plain6Mb, Bank::FixedStrings},
    {"battle text, 6 MB", ImageSize::Plain6Mb, Bank::BattleText},
};

class Reinsertion : public ::testing::TestWithParam<int> {};

// The bank's text with one more code in every entry, before its end code.
NewText grown_text(const ImageContent& content, Bank bank) {
  NewText text;
  const auto grow = [](auto entries, auto code) {
    for (auto& entry : entries) entry.insert(entry.end() - 1, code);
    return entries;
  };
  // A code the text already uses, so the tree keeps its number of codes.
  std::uint16_t used = 0;
  for (const auto& message : content.messages) used = message.size() > 1 ? message[0] : used;
  if (bank == Bank::Messages) text.messages = grow(content.messages, used);
  if (bank == Bank::FixedStrings) text.fixed_strings = grow(content.fixed_strings, std::uint8_t{0x20});
  if (bank == Bank::BattleText) text.battle_text = grow(content.battle_text, std::uint8_t{0x20});
  return text;
}

TEST_P(Reinsertion, NeverWritesBetweenTheOwnRoomAndTheExtraRegion) {
  const ReinsertionCase& c = kReinsertionCases[GetParam()];
  SCOPED_TRACE(c.name);
  const ImageContent content = builder::random_content(5);
  const std::vector<std::uint8_t> cartridge = builder::build_image(content, c.size, 5);
  const NewText text = grown_text(content, c.bank);
  const auto b = static_cast<std::size_t>(c.bank);

  // Where the bank's room ends in the input; the extra region lies well
  // beyond it, or, for the battle text, in the 6 MB image's last part.
  NewText unchanged;
  unchanged.messages = content.messages;
  unchanged.fixed_strings = content.fixed_strings;
  unchanged.battle_text = content.battle_text;
  const Outcome before = insert_text(cartridge, unchanged);
  ASSERT_TRUE(std::holds_alternative<Inserted>(before));
  const Region own = std::get<Inserted>(before).report.banks.at(b).regions.at(0).region;
  const Region extra =
      c.bank == Bank::BattleText ? Region{0x500000, 0x510000} : Region{own.end + 4096, own.end + 36864};

  const Outcome first = insert_text(cartridge, text, Options{{{c.bank, extra}}});
  ASSERT_TRUE(std::holds_alternative<Inserted>(first)) << std::get<Refusal>(first).index();
  const std::vector<std::uint8_t> made(std::get<Inserted>(first).cartridge.begin(),
                                       std::get<Inserted>(first).cartridge.end());
  ASSERT_GT(std::get<Inserted>(first).report.banks.at(0).regions.at(1).groups, 0u);

  // The same text again, into the image just made, with no extra room: it
  // fits the two regions its entries occupy there, and nothing else.
  const Outcome again = insert_text(made, text);
  ASSERT_TRUE(std::holds_alternative<Inserted>(again)) << std::get<Refusal>(again).index();
  const Inserted& done = std::get<Inserted>(again);
  const BankFit& fit = done.report.banks.at(0);
  ASSERT_EQ(fit.regions.size(), 2u);
  EXPECT_TRUE(fit.regions[0].default_room && fit.regions[1].default_room);
  EXPECT_LT(fit.regions[0].region.end, fit.regions[1].region.start);
  EXPECT_EQ(fit.regions[1].region.start, extra.start);
  for (std::uint32_t at = fit.regions[0].region.end; at < fit.regions[1].region.start; ++at) {
    ASSERT_EQ(done.cartridge[at], made[at]) << "byte " << at << " between the regions was written";
  }
  EXPECT_TRUE(std::equal(made.begin(), made.end(), done.cartridge.begin()));
}

INSTANTIATE_TEST_SUITE_P(Cases, Reinsertion, ::testing::Range(0, static_cast<int>(std::size(kReinsertionCases))));

struct RegionCase {
  const char* name;
  ImageSize size;
  std::vector<std::pair<Bank, Region>> regions;
  RegionFault fault;
  std::optional<Bank> other_bank;
};

const RegionCase kRegionCases[] = {
    {"empty", ImageSize::Plain4Mb, {{Bank::Messages, {0x3F0000, 0x3F0000}}}, RegionFault::Empty, {}},
    {"past the end of a 4 MB image",
     ImageSize::Plain4Mb,
     {{Bank::FixedStrings, {0x3FFF00, 0x400001}}},
     RegionFault::OutsideImage,
     {}},
    {"over the tree", ImageSize::Plain4Mb, {{Bank::Messages, {0x16900, 0x17000}}}, RegionFault::OverlapsTables, {}},
    {"messages below their data",
     ImageSize::Plain4Mb,
     {{Bank::Messages, {0x300000, 0x300100}}},
     RegionFault::Unreachable,
     {}},
    {"messages past 2 MiB of their data",
     ImageSize::Plain6Mb,
     {{Bank::Messages, {0x5CC200, 0x5CC300}}},
     RegionFault::Unreachable,
     {}},
    {"battle text below its data",
     ImageSize::Plain4Mb,
     {{Bank::BattleText, {0x3C0000, 0x3C0100}}},
     RegionFault::Unreachable,
     {}},
    {"messages over the fixed strings",
     ImageSize::Plain4Mb,
     {{Bank::Messages, {rom::kFixedStringData + 0x10, rom::kFixedStringData + 0x20}}},
     RegionFault::OverlapsRoom,
     Bank::FixedStrings},
    {"messages over their own room",
     ImageSize::Plain4Mb,
     {{Bank::Messages, {rom::kMessageData + 0x10, rom::kMessageData + 0x20}}},
     RegionFault::OverlapsRoom,
     Bank::Messages},
    {"two regions overlapping",
     ImageSize::Plain4Mb,
     {{Bank::FixedStrings, {0x3F8000, 0x3F9000}}, {Bank::BattleText, {0x3F8FFF, 0x3FA000}}},
     RegionFault::OverlapsRegion,
     Bank::FixedStrings},
};

class BadRegions : public ::testing::TestWithParam<int> {};

TEST_P(BadRegions, AreRefusedWithTheReason) {
  const RegionCase& c = kRegionCases[GetParam()];
  SCOPED_TRACE(c.name);
  const ImageContent content = builder::random_content(3);
  const std::vector<std::uint8_t> cartridge = builder::build_image(content, c.size, 3);
  NewText text;
  text.fixed_strings = content.fixed_strings;
  const Outcome outcome = insert_text(cartridge, text, Options{c.regions});
  const auto& bad = refused_with<BadRegion>(outcome);
  EXPECT_EQ(bad.fault, c.fault);
  EXPECT_FALSE(bad.default_room);
  EXPECT_EQ(bad.region, c.regions.back().second);
  EXPECT_EQ(bad.other_bank, c.other_bank);
}

INSTANTIATE_TEST_SUITE_P(Cases, BadRegions, ::testing::Range(0, static_cast<int>(std::size(kRegionCases))));

TEST(ExtraRegions, ReachingTheLastPlaceAPointerNamesIsAccepted) {
  const ImageContent content = builder::random_content(3);
  const std::vector<std::uint8_t> cartridge = builder::build_image(content, ImageSize::Plain6Mb, 3);
  NewText text;
  text.messages = content.messages;
  const std::uint32_t end = rom::kMessageData + (1u << 21);
  EXPECT_TRUE(
      std::holds_alternative<Inserted>(insert_text(cartridge, text, Options{{{Bank::Messages, {end - 0x100, end}}}})));
}

TEST(DefaultRooms, ThatOverlapAnotherBanksRoomAreRefused) {
  Scenario s;
  // The last battle group now starts inside the message stream, so the
  // battle text's room spans the messages' room.
  s.put24(rom::kBattleTextPointers + 3 * 46, rom::kMessageData + 0x100 - rom::kBattleTextData);
  s.text.battle_text = s.content.battle_text;
  const Outcome outcome = insert_text(s.cartridge, s.text, s.options);
  if (const auto* broken = std::get_if<Refusal>(&outcome); broken && std::holds_alternative<BrokenOriginal>(*broken)) {
    GTEST_SKIP() << "no terminator after the new pointer";
  }
  const auto& bad = refused_with<BadRegion>(outcome);
  EXPECT_TRUE(bad.default_room);
  EXPECT_EQ(bad.bank, Bank::BattleText);
  EXPECT_EQ(bad.fault, RegionFault::OverlapsRoom);
  EXPECT_EQ(bad.other_bank, Bank::Messages);
}

// ---- The internal header checksum ----

// The sum as the header records it, counted here independently.
std::uint16_t sum_of(std::span<const std::uint8_t> cartridge) {
  std::uint64_t sum = 0;
  for (std::size_t i = 0; i < std::min<std::size_t>(cartridge.size(), 0x400000); ++i) sum += cartridge[i];
  for (std::size_t i = 0x400000; i < cartridge.size(); ++i) sum += 2 * cartridge[i];
  return static_cast<std::uint16_t>(sum);
}

std::uint16_t read16(std::span<const std::uint8_t> data, std::size_t at) {
  return static_cast<std::uint16_t>(data[at] | data[at + 1] << 8);
}

// Writes a header with checksum and complement that agree with each other:
// with the image's sum plus `off`.
void plant_header(std::vector<std::uint8_t>& cartridge, std::uint32_t at, std::uint8_t map_mode, int off) {
  cartridge[at + 0x15] = map_mode;
  cartridge[at + 0x1C] = 0xFF, cartridge[at + 0x1D] = 0xFF, cartridge[at + 0x1E] = 0, cartridge[at + 0x1F] = 0;
  const auto checksum = static_cast<std::uint16_t>(sum_of(cartridge) + off);
  const auto complement = static_cast<std::uint16_t>(checksum ^ 0xFFFF);
  cartridge[at + 0x1C] = complement & 0xFF, cartridge[at + 0x1D] = complement >> 8;
  cartridge[at + 0x1E] = checksum & 0xFF, cartridge[at + 0x1F] = checksum >> 8;
}

struct HeaderCase {
  const char* name;
  ImageSize size;
  std::uint32_t at;
  std::uint8_t map_mode;
  int off;  // 0: the checksum matches the image
  bool recomputed;
  bool stale;
};

const HeaderCase kHeaderCases[] = {
    {"HiROM header", ImageSize::Plain4Mb, 0xFFC0, 0x31, 0, true, false},
    {"LoROM header", ImageSize::Plain4Mb, 0x7FC0, 0x20, 0, true, false},
    {"ExHiROM header of a 6 MB image", ImageSize::Plain6Mb, 0x40FFC0, 0x35, 0, true, false},
    {"header whose checksum an earlier edit left wrong", ImageSize::Plain4Mb, 0xFFC0, 0x21, 7, false, true},
    {"LoROM mode in the HiROM place", ImageSize::Plain4Mb, 0xFFC0, 0x20, 0, false, false},
    {"no header at all", ImageSize::Plain4Mb, 0, 0, 0, false, false},
};

class Headers : public ::testing::TestWithParam<int> {};

TEST_P(Headers, ValidChecksumsAreRecomputedOthersLeftAlone) {
  const HeaderCase& c = kHeaderCases[GetParam()];
  SCOPED_TRACE(c.name);
  // A plain image: zeros wherever the text is not, so no header by chance.
  const ImageContent content = builder::random_content(4);
  std::vector<std::uint8_t> cartridge = builder::build_image(content, c.size);
  if (c.at != 0) plant_header(cartridge, c.at, c.map_mode, c.off);
  ImageContent edited = content;
  std::reverse(edited.messages.begin(), edited.messages.end());
  NewText text;
  text.messages = edited.messages;
  const Outcome outcome = insert_text(cartridge, text);
  ASSERT_TRUE(std::holds_alternative<Inserted>(outcome));
  const Inserted& done = std::get<Inserted>(outcome);
  const ChecksumReport& report = done.report.checksum;
  if (c.recomputed) {
    ASSERT_EQ(report.recomputed.size(), 1u);
    EXPECT_EQ(report.recomputed[0].offset, c.at);
    EXPECT_EQ(report.recomputed[0].map_mode, c.map_mode);
    EXPECT_EQ(report.recomputed[0].old_checksum, sum_of(cartridge));
    EXPECT_EQ(report.recomputed[0].new_checksum, sum_of(done.cartridge));
    EXPECT_NE(sum_of(done.cartridge), sum_of(cartridge));
    EXPECT_EQ(read16(done.cartridge, c.at + 0x1E), sum_of(done.cartridge));
    EXPECT_EQ(read16(done.cartridge, c.at + 0x1C), sum_of(done.cartridge) ^ 0xFFFF);
  } else {
    EXPECT_TRUE(report.recomputed.empty());
    if (c.at != 0) {
      EXPECT_TRUE(std::equal(cartridge.begin() + c.at, cartridge.begin() + c.at + 32, done.cartridge.begin() + c.at));
    }
  }
  EXPECT_EQ(report.stale, c.stale ? std::vector<std::uint32_t>{c.at} : std::vector<std::uint32_t>{});
}

INSTANTIATE_TEST_SUITE_P(Cases, Headers, ::testing::Range(0, static_cast<int>(std::size(kHeaderCases))));

// A header whose checksum an earlier edit left stale is still the game's
// header: no region may write over it, valid or not.
TEST(Headers, ARegionOverAHeaderIsRefusedValidOrStale) {
  for (const int off : {0, 7}) {
    SCOPED_TRACE(off == 0 ? "valid" : "stale");
    const ImageContent content = builder::random_content(4);
    std::vector<std::uint8_t> cartridge = builder::build_image(content, ImageSize::Plain6Mb);
    plant_header(cartridge, 0x40FFC0, 0x25, off);
    NewText text;
    text.fixed_strings = content.fixed_strings;
    const Region over{0x40FF00, 0x410000};
    const Outcome outcome = insert_text(cartridge, text, Options{{{Bank::FixedStrings, over}}});
    const auto& bad = refused_with<BadRegion>(outcome);
    EXPECT_EQ(bad.fault, RegionFault::OverlapsHeader);
    EXPECT_EQ(bad.other, (Region{0x40FFC0, 0x40FFE0}));
  }
}

}  // namespace
}  // namespace talvo::insert
