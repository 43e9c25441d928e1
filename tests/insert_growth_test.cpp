// The fit report's entries that grew: measured against the input image's own
// text, in bits for messages and bytes for the byte banks.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "banks.h"
#include "entry_growth.h"
#include "image_builder.h"
#include "insertion.h"
#include "rom_layout.h"

namespace talvo::insert {
namespace {

using builder::ImageContent;

// ---- The choice of entries ----

struct ChoiceCase {
  const char* name;
  std::vector<std::uint64_t> before, after;
  std::vector<EntryGrowth> grown;
};

const ChoiceCase kChoices[] = {
    {"nothing changed", {8, 16, 24}, {8, 16, 24}, {}},
    {"shrunk entries are not growth", {40, 40}, {8, 16}, {}},
    {"most first", {8, 8, 8}, {9, 20, 12}, {{1, 12}, {2, 4}, {0, 1}}},
    {"ties by entry number", {0, 0, 0, 0}, {5, 7, 5, 7}, {{1, 7}, {3, 7}, {0, 5}, {2, 5}}},
    {"five of seven", {0, 0, 0, 0, 0, 0, 0}, {3, 1, 4, 1, 5, 9, 2}, {{5, 9}, {4, 5}, {2, 4}, {0, 3}, {6, 2}}},
    {"a longer new list is compared as far as the old goes", {8}, {8, 100}, {}},
};

class GrowthChoice : public ::testing::TestWithParam<int> {};

TEST_P(GrowthChoice, KeepsTheFiveThatGrewMost) {
  const ChoiceCase& c = kChoices[GetParam()];
  SCOPED_TRACE(c.name);
  EXPECT_EQ(grown_most(c.after, c.before), c.grown);
}

INSTANTIATE_TEST_SUITE_P(Cases, GrowthChoice, ::testing::Range(0, static_cast<int>(std::size(kChoices))));

// ---- Growth in an insertion ----

// Messages of two codes alone: the builder's tree and insertion's new one
// both give each a codeword of one bit, so a message of k codes takes k bits
// in the input and in the new image alike.
ImageContent two_code_content() {
  ImageContent content = builder::random_content(5);
  for (std::size_t n = 0; n < content.messages.size(); ++n) {
    content.messages[n].assign(n % 7 + 1, 0x201);
    content.messages[n].push_back(rom::kMessageEnd);
  }
  return content;
}

struct InsertionCase {
  const char* name;
  std::function<void(NewText&)> edit;
  Bank bank;
  std::vector<EntryGrowth> grown;  // bits
};

template <typename Entries>
void lengthen(Entries& entries, std::size_t entry, std::size_t by) {
  auto& e = entries->at(entry);
  e.insert(e.begin(), by, e.front());
}

// The input's message room holds its text exactly: what grows is made room
// for by messages further on that lose a code.
void make_room(NewText& t, std::size_t codes) {
  for (std::size_t n = 3000; codes > 0; ++n) {
    auto& message = t.messages->at(n);
    if (message.size() > 2) message.erase(message.begin()), --codes;
  }
}

const InsertionCase kInsertions[] = {
    {"unchanged messages", [](NewText&) {}, Bank::Messages, {}},
    {"one message five codes longer, another shorter",
     [](NewText& t) {
       lengthen(t.messages, 10, 5);
       make_room(t, 5);
     },
     Bank::Messages,
     {{10, 5}}},
    {"six messages longer",
     [](NewText& t) {
       const std::size_t by[] = {3, 1, 4, 1, 5, 9};
       for (std::size_t k = 0; k < 6; ++k) lengthen(t.messages, 100 + k, by[k]);
       make_room(t, 23);
     },
     Bank::Messages,
     {{105, 9}, {104, 5}, {102, 4}, {100, 3}, {101, 1}}},
    {"a fixed string three bytes longer",
     [](NewText& t) { lengthen(t.fixed_strings, 5, 3); },
     Bank::FixedStrings,
     {{5, 24}}},
    {"battle text shorter only",
     [](NewText& t) {
       for (auto& entry : *t.battle_text) {
         if (entry.size() > 1) entry.erase(entry.begin());
       }
     },
     Bank::BattleText,
     {}},
};

class GrowthInInsertion : public ::testing::TestWithParam<int> {};

TEST_P(GrowthInInsertion, IsMeasuredAgainstTheInputsText) {
  const InsertionCase& c = kInsertions[GetParam()];
  SCOPED_TRACE(c.name);
  const ImageContent content = two_code_content();
  const std::vector<std::uint8_t> cartridge = builder::build_image(content, builder::ImageSize::Plain4Mb, 5);
  NewText text{content.messages, content.fixed_strings, content.battle_text, {}};
  c.edit(text);
  const Outcome outcome = insert_text(cartridge, text);
  ASSERT_TRUE(std::holds_alternative<Inserted>(outcome)) << std::get<Refusal>(outcome).index();
  const FitReport& report = std::get<Inserted>(outcome).report;
  ASSERT_EQ(report.banks.size(), 3u);
  for (const BankFit& fit : report.banks) {
    EXPECT_EQ(fit.grown, fit.bank == c.bank ? c.grown : std::vector<EntryGrowth>{})
        << "bank " << static_cast<int>(fit.bank);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, GrowthInInsertion, ::testing::Range(0, static_cast<int>(std::size(kInsertions))));

TEST(GrowthInInsertion, IsReportedWhenTheTextDoesNotFit) {
  const ImageContent content = two_code_content();
  const std::vector<std::uint8_t> cartridge = builder::build_image(content, builder::ImageSize::Plain4Mb, 5);
  NewText text;
  text.fixed_strings = content.fixed_strings;
  for (auto& entry : *text.fixed_strings) entry.insert(entry.begin(), 40, 0x0C);
  const Outcome outcome = insert_text(cartridge, text);
  ASSERT_TRUE(std::holds_alternative<Refusal>(outcome));
  const auto* overflow = std::get_if<DoesNotFit>(&std::get<Refusal>(outcome));
  ASSERT_NE(overflow, nullptr);
  const std::vector<EntryGrowth> expected{{0, 320}, {1, 320}, {2, 320}, {3, 320}, {4, 320}};
  EXPECT_EQ(overflow->report.banks.at(0).grown, expected);
}

}  // namespace
}  // namespace talvo::insert
