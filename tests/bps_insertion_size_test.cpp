// Patches of what insertion makes, held to a writer that takes the longest
// match at every position, found through a suffix array over the whole
// source and target: ours is no more than 1% larger on any such pair.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iostream>
#include <random>
#include <string>
#include <variant>
#include <vector>

#include "bps.h"
#include "bps_number.h"
#include "image_builder.h"
#include "insertion.h"
#include "match_length.h"
#include "patch_plan.h"
#include "suffix_array.h"

namespace talvo::bps {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct Longest {
  std::uint32_t source_from = 0, source_length = 0, target_from = 0, target_length = 0;
};

// For every target position, the longest source match and the longest
// match earlier in the target, through the suffix array of both together.
std::vector<Longest> longest_matches(const Bytes& source, const Bytes& target) {
  Bytes text = source;
  text.insert(text.end(), target.begin(), target.end());
  const std::size_t size = text.size();
  const std::vector<std::int32_t> sa = suffix_array(text);
  std::vector<std::uint32_t> rank(size), common(size + 1, 0);
  for (std::size_t i = 0; i < size; ++i) rank[static_cast<std::size_t>(sa[i])] = static_cast<std::uint32_t>(i);
  for (std::size_t i = 0, h = 0; i < size; ++i) {
    if (rank[i] == 0) {
      h = 0;
      continue;
    }
    const auto j = static_cast<std::size_t>(sa[rank[i] - 1]);
    h += match_length(text.data() + i + h, text.data() + j + h, size - std::max(i, j) - h);
    common[rank[i]] = static_cast<std::uint32_t>(h);
    if (h > 0) --h;
  }
  std::vector<Longest> found(target.size());
  const std::size_t ns = source.size();
  for (const bool forwards : {true, false}) {
    std::uint32_t run = 0;
    std::int64_t last_source = -1;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> earlier;  // target position, least common length up to here
    for (std::size_t k = 0; k < size; ++k) {
      const std::size_t i = forwards ? k : size - 1 - k;
      const std::uint32_t step = k == 0 ? 0 : common[forwards ? i : i + 1];
      run = std::min(run, step);
      if (!earlier.empty()) earlier.back().second = std::min(earlier.back().second, step);
      const auto at = static_cast<std::size_t>(sa[i]);
      if (at < ns) {
        last_source = static_cast<std::int64_t>(at);
        run = UINT32_MAX;
        continue;
      }
      const auto t = static_cast<std::uint32_t>(at - ns);
      Longest& here = found[t];
      if (last_source >= 0) {
        const auto length = static_cast<std::uint32_t>(
            std::min<std::uint64_t>({run, ns - static_cast<std::uint64_t>(last_source), target.size() - t}));
        if (length > here.source_length)
          here = {static_cast<std::uint32_t>(last_source), length, here.target_from, here.target_length};
      }
      while (!earlier.empty() && earlier.back().first > t) {
        const std::uint32_t passed = earlier.back().second;
        earlier.pop_back();
        if (!earlier.empty()) earlier.back().second = std::min(earlier.back().second, passed);
      }
      if (!earlier.empty() && earlier.back().second > here.target_length) {
        here.target_from = earlier.back().first;
        here.target_length = earlier.back().second;
      }
      earlier.push_back({t, UINT32_MAX});
    }
  }
  return found;
}

// The longest match at each position (SourceRead where it is as long),
// bytes stored where it is shorter than `shortest`.
std::size_t longest_match_patch_size(const Bytes& source, const Bytes& target, const std::vector<Longest>& found,
                                     std::size_t shortest) {
  Plan plan;
  for (std::size_t t = 0; t < target.size();) {
    const std::size_t read = t < source.size() ? match_length(source.data() + t, target.data() + t,
                                                              std::min(source.size(), target.size()) - t)
                                               : 0;
    const Longest& f = found[t];
    PlannedAction best{ActionKind::SourceRead, read, 0};
    if (f.source_length > best.length) best = {ActionKind::SourceCopy, f.source_length, f.source_from};
    if (f.target_length > best.length) best = {ActionKind::TargetCopy, f.target_length, f.target_from};
    if (best.length < shortest) best = {ActionKind::TargetRead, 1, 0};
    add_action(plan, best);
    t += best.length;
  }
  return 4 + number_size(source.size()) + number_size(target.size()) + 1 + encoded_size(plan) + 12;
}

// Every `step`th entry of each bank given another entry's text, no longer
// than its own so that it fits.
template <class Entries>
void give_other_texts(Entries& entries, std::size_t step, std::mt19937_64& rng) {
  const Entries before = entries;
  for (std::size_t n = 0; n < entries.size(); n += step) {
    const auto& other = before[rng() % before.size()];
    if (other.size() <= entries[n].size()) std::copy(other.begin(), other.end() - 1, entries[n].begin());
  }
}

struct Case {
  std::string what;
  builder::ImageContent content;
  std::size_t step;
};

TEST(BpsInsertionSize, WithinOnePercentOfTheLongestMatchWriter) {
  const std::vector<Case> cases = {
      {"our sample text, a message in ten rewritten", builder::sample_content(), 10},
      {"random text, a message in twenty rewritten", builder::random_content(1), 20},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Bytes source = builder::build_image(c.content, builder::ImageSize::Plain4Mb);
    std::mt19937_64 rng(31);
    insert::NewText text;
    text.messages = c.content.messages;
    text.fixed_strings = c.content.fixed_strings;
    text.battle_text = c.content.battle_text;
    give_other_texts(*text.messages, c.step, rng);
    give_other_texts(*text.fixed_strings, c.step, rng);
    give_other_texts(*text.battle_text, c.step, rng);
    const insert::Outcome outcome = insert::insert_text(source, text);
    const auto* inserted = std::get_if<insert::Inserted>(&outcome);
    ASSERT_NE(inserted, nullptr);
    const Bytes target(inserted->cartridge.begin(), inserted->cartridge.end());

    const std::vector<Longest> found = longest_matches(source, target);
    std::size_t reference = SIZE_MAX;
    for (const std::size_t shortest : {4, 5, 6}) {
      reference = std::min(reference, longest_match_patch_size(source, target, found, shortest));
    }
    const Bytes ours = bps::create(source, target);
    EXPECT_TRUE(bps::apply(ours, source).target == target);
    EXPECT_LE(ours.size() * 100, reference * 101)
        << "ours " << ours.size() << ", the longest-match writer's " << reference;
    std::cout << c.what << ": ours " << ours.size() << " bytes, the longest-match writer's " << reference << "\n";
  }
}

}  // namespace
}  // namespace talvo::bps
