// The patch writer: every patch it makes gives its target back through the
// reader, and it picks the action that fits each kind of change.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "bps.h"
#include "bps_actions.h"
#include "bps_number.h"
#include "match_length.h"
#include "patch_plan.h"
#include "quick_plan.h"

namespace talvo::bps {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes random_bytes(std::mt19937_64& rng, std::size_t count) {
  Bytes bytes(count);
  for (auto& b : bytes) b = static_cast<std::uint8_t>(rng());
  return bytes;
}

Bytes joined(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

Bytes slice(const Bytes& bytes, std::size_t from, std::size_t to) {
  return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(from), bytes.begin() + static_cast<std::ptrdiff_t>(to));
}

// How many bytes each kind of action writes in a patch.
std::array<std::uint64_t, 4> bytes_by_action(const Bytes& patch) {
  const HeaderResult read = read_header(patch);
  EXPECT_EQ(read.failure, Failure::None) << read.message;
  const auto start = static_cast<std::size_t>(read.header.metadata.data() - patch.data()) + read.header.metadata.size();
  const std::span<const std::uint8_t> actions = std::span(patch).subspan(start, patch.size() - 12 - start);
  ActionReader reader(actions);
  std::array<std::uint64_t, 4> written{};
  Action action;
  ActionRead status;
  while ((status = reader.next(action)) == ActionRead::Ok) written[static_cast<int>(action.kind)] += action.length;
  EXPECT_EQ(status, ActionRead::End);
  return written;
}

std::uint64_t written_by(const Bytes& patch, ActionKind kind) { return bytes_by_action(patch)[static_cast<int>(kind)]; }

struct Pair {
  std::string what;
  Bytes source;
  Bytes target;
};

std::vector<Pair> pairs() {
  std::mt19937_64 rng(611);
  const Bytes base = random_bytes(rng, 20000);
  Bytes edited = base;
  for (int i = 0; i < 30; ++i) edited[rng() % edited.size()] ^= static_cast<std::uint8_t>(1 + rng() % 255);
  Bytes zeros(100000, 0);
  Bytes zeros_edited = zeros;
  for (std::size_t at : {7u, 4000u, 4001u, 65535u, 99999u}) zeros_edited[at] = 0x5A;
  Bytes runs = base;
  std::fill(runs.begin() + 1000, runs.begin() + 9000, 0x41);
  for (std::size_t i = 12000; i < 15000; ++i) runs[i] = "xyz"[i % 3];
  return {
      {"both empty", {}, {}},
      {"empty source", {}, random_bytes(rng, 3000)},
      {"empty target", base, {}},
      {"one byte each", {1}, {2}},
      {"shorter than a hash window", {'a', 'b', 'c'}, {'a', 'b', 'd', 'c'}},
      {"random pair", random_bytes(rng, 5000), random_bytes(rng, 7000)},
      {"equal", base, base},
      {"small edits", base, edited},
      {"moved block", base,
       joined({slice(base, 0, 2000), slice(base, 6000, 15000), slice(base, 2000, 6000), slice(base, 15000, 20000)})},
      {"insertion", base, joined({slice(base, 0, 9000), random_bytes(rng, 777), slice(base, 9000, 20000)})},
      {"deletion", base, joined({slice(base, 0, 5000), slice(base, 5600, 20000)})},
      {"truncation", base, slice(base, 0, 12345)},
      {"growth", base, joined({base, random_bytes(rng, 5000)})},
      {"runs and a repeated pattern", base, runs},
      {"zeros with a few bytes set", zeros, zeros_edited},
      {"the target's data repeated from itself", base, joined({random_bytes(rng, 3000), base, base})},
  };
}

TEST(BpsCreate, EveryPatchGivesItsTargetBack) {
  const std::string metadata = "<?xml version=\"1.0\"?><note>ours</note>";
  for (const Pair& pair : pairs()) {
    for (const bool with_metadata : {false, true}) {
      const Bytes patch = with_metadata ? bps::create(pair.source, pair.target, Bytes(metadata.begin(), metadata.end()))
                                        : bps::create(pair.source, pair.target);
      const ApplyResult result = bps::apply(patch, pair.source);
      ASSERT_TRUE(result.ok()) << pair.what << ": " << result.message;
      EXPECT_TRUE(result.target == pair.target) << pair.what;
      const HeaderResult read = read_header(patch);
      EXPECT_EQ(std::string(read.header.metadata.begin(), read.header.metadata.end()), with_metadata ? metadata : "");
    }
  }
}

TEST(BpsCreate, UnchangedDataIsOneSourceRead) {
  std::mt19937_64 rng(1);
  const Bytes data = random_bytes(rng, 100000);
  const Bytes patch = bps::create(data, data);
  // "BPS1", three sizes (3 + 3 + 1 bytes), one action of 3 bytes, the checksums.
  EXPECT_EQ(patch.size(), 4u + 7u + 3u + 12u);
  EXPECT_EQ(written_by(patch, ActionKind::SourceRead), data.size());
}

TEST(BpsCreate, MovedDataIsCopiedFromTheSource) {
  std::mt19937_64 rng(2);
  const Bytes source = random_bytes(rng, 65536);
  Bytes target = source;
  std::copy(source.begin() + 40000, source.begin() + 42000, target.begin() + 1000);  // 2000 bytes from elsewhere
  const Bytes patch = bps::create(source, target);
  EXPECT_GE(written_by(patch, ActionKind::SourceCopy), 2000u);
  EXPECT_LE(written_by(patch, ActionKind::TargetRead), 8u);
  EXPECT_LT(patch.size(), 60u);
}

TEST(BpsCreate, RunsAndRepeatsAreCopiedFromTheTarget) {
  std::mt19937_64 rng(3);
  const Bytes source = random_bytes(rng, 30000);
  Bytes target = source;
  std::fill(target.begin() + 100, target.begin() + 5100, 0xAB);  // a run
  for (std::size_t i = 0; i < 3000; ++i) target[10000 + i] = "pqr"[i % 3];
  const Bytes new_text = random_bytes(rng, 500);  // said twice
  std::copy(new_text.begin(), new_text.end(), target.begin() + 20000);
  std::copy(new_text.begin(), new_text.end(), target.begin() + 25000);
  const Bytes patch = bps::create(source, target);
  EXPECT_GE(written_by(patch, ActionKind::TargetCopy), 5000u - 2 + 3000u - 4 + 500u);
  EXPECT_LE(written_by(patch, ActionKind::TargetRead), 500u + 8u);
}

TEST(BpsCreate, OnlyNewBytesAreStored) {
  std::mt19937_64 rng(4);
  const Bytes source = random_bytes(rng, 50000);
  const Bytes inserted = random_bytes(rng, 1234);
  const Bytes target = joined({slice(source, 0, 25000), inserted, slice(source, 25000, 50000)});
  const Bytes patch = bps::create(source, target);
  EXPECT_EQ(written_by(patch, ActionKind::TargetRead), inserted.size());
  EXPECT_LT(patch.size(), inserted.size() + 40);
}

// The size of the patch of `plan`, with no metadata.
std::size_t patch_size(const Bytes& source, const Bytes& target, const Plan& plan) {
  return 4 + number_size(source.size()) + number_size(target.size()) + 1 + encoded_size(plan) + 12;
}

// The plan of a plain writer: at each position the longest match found by
// trying every source position and every earlier target position, or the
// same offset in the source if that is as long; bytes stored where the
// longest is shorter than `shortest`.
Plan longest_match_plan(const Bytes& source, const Bytes& target, std::size_t shortest) {
  Plan plan;
  for (std::size_t t = 0; t < target.size();) {
    PlannedAction best{ActionKind::TargetRead, 1, 0};
    std::size_t longest = 0;
    if (t < source.size())
      longest = match_length(source.data() + t, target.data() + t, std::min(source.size(), target.size()) - t);
    if (longest > 0) best = {ActionKind::SourceRead, longest, t};
    for (std::size_t s = 0; s < source.size(); ++s) {
      const std::size_t n =
          match_length(source.data() + s, target.data() + t, std::min(source.size() - s, target.size() - t));
      if (n > longest) best = {ActionKind::SourceCopy, longest = n, s};
    }
    for (std::size_t q = 0; q < t; ++q) {
      const std::size_t n = match_length(target.data() + q, target.data() + t, target.size() - t);
      if (n > longest) best = {ActionKind::TargetCopy, longest = n, q};
    }
    if (longest < shortest) best = {ActionKind::TargetRead, 1, 0};
    add_action(plan, best);
    t += best.length;
  }
  return plan;
}

// Small pairs of the kinds a translator's patch holds, each tried by the
// plain writer with every shortest match from 2 to 8 bytes.
TEST(BpsCreate, NoLargerThanAWriterOfTheLongestMatchesFoundByTryingEveryPosition) {
  std::mt19937_64 rng(29);
  const auto sentences = [&](std::size_t size) {
    static const char* const kSentences[] = {"The gate opens. ", "You found a key! ", "Rest here, traveller. ",
                                             "The king awaits. ", "Not enough gold. "};
    std::string text;
    while (text.size() < size) text += kSentences[rng() % std::size(kSentences)];
    return Bytes(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(size));
  };
  const Bytes text = sentences(2500);
  Bytes edited = text;
  for (int i = 0; i < 25; ++i) edited[rng() % edited.size()] = static_cast<std::uint8_t>('0' + rng() % 10);
  Bytes inserted = text;
  for (int i = 0; i < 8; ++i) {
    const Bytes words = sentences(10 + rng() % 40);
    inserted.insert(inserted.begin() + static_cast<std::ptrdiff_t>(rng() % inserted.size()), words.begin(),
                    words.end());
  }
  const Bytes noise = random_bytes(rng, 2000);
  const std::vector<Pair> cases = {
      {"text with bytes changed", text, edited},
      {"text with sentences inserted", text, inserted},
      {"text rewritten in the same sentences", text, sentences(2600)},
      {"text with its halves swapped", text, joined({slice(text, 1300, 2500), slice(text, 0, 1300)})},
      {"random bytes with a block moved and new bytes", noise,
       joined({slice(noise, 0, 500), random_bytes(rng, 100), slice(noise, 1200, 2000), slice(noise, 500, 1200)})},
      {"random bytes and text", noise, joined({sentences(600), slice(noise, 300, 900), sentences(400)})},
  };
  for (const Pair& pair : cases) {
    std::size_t reference = SIZE_MAX;
    for (std::size_t shortest = 2; shortest <= 8; ++shortest) {
      reference = std::min(
          reference, patch_size(pair.source, pair.target, longest_match_plan(pair.source, pair.target, shortest)));
    }
    EXPECT_LE(bps::create(pair.source, pair.target).size(), reference) << pair.what;
  }
}

// The quick plan is the writer as it was: a patch never comes out larger.
TEST(BpsCreate, NeverLargerThanTheQuickPlan) {
  for (const Pair& pair : pairs()) {
    EXPECT_LE(bps::create(pair.source, pair.target).size(),
              patch_size(pair.source, pair.target, quick_plan(pair.source, pair.target)))
        << pair.what;
  }
}

}  // namespace
}  // namespace talvo::bps
