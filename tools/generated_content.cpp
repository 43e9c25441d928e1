// Generated content: random images for the decoder's tests, images that use
// every code, and a full-size image for the benchmark.
#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>
#include <stdexcept>

#include "banks.h"
#include "image_builder.h"
#include "message_tree.h"
#include "rom_layout.h"
#include "seeded_random.h"
#include "token_tables.h"

namespace talvo::builder {
namespace {

using Messages = std::vector<std::vector<std::uint16_t>>;
using ByteEntries = std::vector<std::vector<std::uint8_t>>;

constexpr std::size_t kMessageRegionBits = std::size_t{8} * (rom::kFixedStringData - rom::kMessageData);

struct BankShape {
  std::size_t long_entries;  // entries longer than the game's line buffer
  std::size_t long_min, long_max;
  std::size_t short_max;
};

// Fixed strings: the game's line buffer is 32 bytes; battle text: 512 bytes.
// The shapes keep the worst case inside the regions (battle: 6 * 400 + 369 *
// 16 bytes of 9014; fixed strings: 60 * 101 + 898 * 17 bytes of 77897).
constexpr BankShape kFixedStringShape{60, 17, 100, 16};
constexpr BankShape kBattleShape{6, 129, 399, 15};

ByteEntries random_bank(std::mt19937_64& rng, const BankRecord& layout, const BankShape& shape) {
  std::vector<std::uint8_t> body, ends;
  for (unsigned code = 0; code < kByteCodeCount; ++code) {
    (layout.is_end(static_cast<std::uint8_t>(code)) ? ends : body).push_back(static_cast<std::uint8_t>(code));
  }
  std::vector<std::size_t> order(layout.entries);
  std::iota(order.begin(), order.end(), std::size_t{0});
  shuffle(order, rng);
  ByteEntries entries(layout.entries);
  for (std::size_t i = 0; i < order.size(); ++i) {
    std::size_t length = 0;
    if (i < shape.long_entries) {
      length = shape.long_min + pick(rng, shape.long_max - shape.long_min + 1);
    } else if (pick(rng, 8) != 0) {  // one in eight is empty: the terminator alone
      length = 1 + pick(rng, shape.short_max);
    }
    auto& entry = entries[order[i]];
    for (std::size_t k = 0; k < length; ++k) entry.push_back(body[pick(rng, body.size())]);
    entry.push_back(ends[pick(rng, ends.size())]);
  }
  return entries;
}

// A cube of a uniform number favours the front of the list, so counts are
// skewed as in real text and the tree gets leaves at many depths.
std::uint16_t skewed(std::mt19937_64& rng, const std::vector<std::uint16_t>& codes) {
  const double u = unit(rng);
  return codes[static_cast<std::size_t>(static_cast<double>(codes.size()) * u * u * u)];
}

std::vector<std::uint16_t> shuffled_body_codes(std::mt19937_64& rng) {
  std::vector<std::uint16_t> codes;
  for (std::uint16_t code = 0; code < kMessageCodeCount; ++code) {
    if (code != rom::kMessageEnd && code != rom::kMessageEndAlt) codes.push_back(code);
  }
  shuffle(codes, rng);
  return codes;
}

}  // namespace

ImageContent random_content(std::uint64_t seed) {
  std::mt19937_64 rng(seed);
  ImageContent content;

  // How many distinct codes: a single one (the tree needs a partner leaf), a
  // handful, many, or exactly as many as the tree holds.
  const std::vector<std::vector<std::uint16_t>> end_sets{
      {rom::kMessageEnd}, {rom::kMessageEndAlt}, {rom::kMessageEnd, rom::kMessageEndAlt}};
  const auto& ends = end_sets[pick(rng, end_sets.size())];
  const std::size_t room = kMaxDistinctCodes - ends.size();
  const std::size_t mode = pick(rng, 8);
  const std::size_t body_count = mode == 0  ? 0
                                 : mode < 3 ? 1 + pick(rng, 4)
                                 : mode < 6 ? 5 + pick(rng, room - 5)
                                            : room;
  std::vector<std::uint16_t> body = shuffled_body_codes(rng);
  if (pick(rng, 2) == 0) {  // let the line-break codes 0x0AD and 0x0AF appear inside messages
    std::partition(body.begin(), body.end(), [](std::uint16_t code) { return code == 0x0AD || code == 0x0AF; });
  }
  body.resize(body_count);

  // 40 long messages of 60-200 codes, the rest up to 20, one in eight empty.
  // At most 93190 codes, and Huffman codewords average under log2(1003) + 1
  // bits, so the stream always fits its 1075960 bits.
  std::vector<std::size_t> order(rom::kMessageCount);
  std::iota(order.begin(), order.end(), std::size_t{0});
  shuffle(order, rng);
  content.messages.resize(rom::kMessageCount);
  for (std::size_t i = 0; i < order.size(); ++i) {
    std::size_t length = 0;
    if (!body.empty()) length = i < 40 ? 60 + pick(rng, 141) : pick(rng, 8) == 0 ? 0 : 1 + pick(rng, 20);
    auto& message = content.messages[order[i]];
    for (std::size_t k = 0; k < length; ++k) message.push_back(skewed(rng, body));
    message.push_back(ends[pick(rng, ends.size())]);
  }
  content.messages[0].back() = ends.front();
  content.messages[1].back() = ends.back();
  // Make sure every chosen code is used, so the distinct count is as planned.
  std::array<bool, kMessageCodeCount> used{};
  for (const auto& message : content.messages) {
    for (std::uint16_t code : message) used[code] = true;
  }
  for (std::uint16_t code : body) {
    if (used[code]) continue;
    auto& message = content.messages[order[pick(rng, 40)]];
    message.insert(message.begin() + static_cast<std::ptrdiff_t>(pick(rng, message.size())), code);
  }

  content.fixed_strings = random_bank(rng, kFixedStringBank, kFixedStringShape);
  content.battle_text = random_bank(rng, kBattleTextBank, kBattleShape);
  return content;
}

ImageContent every_code_content(int which) {
  if (which != 0 && which != 1) throw std::invalid_argument("every_code_content takes 0 or 1");
  ImageContent content;

  // Each image takes half of the 1548 codes (774 + the end codes <= 1003).
  const std::uint16_t half = kMessageCodeCount / 2;
  std::vector<std::uint16_t> body;
  for (std::uint16_t code = static_cast<std::uint16_t>(which * half); code < (which + 1) * half; ++code) {
    if (code != rom::kMessageEnd && code != rom::kMessageEndAlt) body.push_back(code);
  }
  std::size_t next = 0;
  for (std::size_t n = 0; n < rom::kMessageCount; ++n) {
    std::vector<std::uint16_t> message;
    for (std::size_t k = 0; k < n % 5; ++k) message.push_back(body[next++ % body.size()]);
    message.push_back(n % 2 == 0 ? rom::kMessageEnd : rom::kMessageEndAlt);
    content.messages.push_back(std::move(message));
  }

  // Both byte banks use every byte code, the terminators as terminators only;
  // the second image takes the codes in the other order.
  const auto bank = [which](const BankRecord& layout, std::size_t lengths) {
    std::vector<std::uint8_t> codes, ends;
    for (unsigned code = 0; code < kByteCodeCount; ++code) {
      (layout.is_end(static_cast<std::uint8_t>(code)) ? ends : codes).push_back(static_cast<std::uint8_t>(code));
    }
    if (which == 1) std::reverse(codes.begin(), codes.end());
    ByteEntries entries;
    std::size_t at = 0;
    for (std::size_t n = 0; n < layout.entries; ++n) {
      std::vector<std::uint8_t> entry;
      for (std::size_t k = 0; k < (n + static_cast<std::size_t>(which)) % lengths; ++k) {
        entry.push_back(codes[at++ % codes.size()]);
      }
      entry.push_back(ends[n % ends.size()]);
      entries.push_back(std::move(entry));
    }
    return entries;
  };
  content.fixed_strings = bank(kFixedStringBank, 7);
  content.battle_text = bank(kBattleTextBank, 5);
  return content;
}

ImageContent full_size_content(std::uint64_t seed) {
  std::mt19937_64 rng(seed);
  ImageContent content;

  // Every message gets a random share of 0-60 codes (30 on average) drawn
  // from 1001 codes; one scale for all shares is then searched for that
  // brings the stream as close to the end of its region as it gets.
  std::vector<std::uint16_t> body = shuffled_body_codes(rng);
  body.resize(kMaxDistinctCodes - 2);
  constexpr std::size_t kMaxLength = 120;
  std::vector<std::size_t> shares(rom::kMessageCount);
  std::vector<std::vector<std::uint16_t>> pools(rom::kMessageCount);
  for (std::size_t n = 0; n < rom::kMessageCount; ++n) {
    shares[n] = pick(rng, 61);
    for (std::size_t k = 0; k < kMaxLength; ++k) pools[n].push_back(skewed(rng, body));
    pools[n].push_back(pick(rng, 2) == 0 ? rom::kMessageEnd : rom::kMessageEndAlt);
  }
  const auto make = [&](double scale) {
    Messages messages(rom::kMessageCount);
    for (std::size_t n = 0; n < rom::kMessageCount; ++n) {
      const auto length =
          std::min(kMaxLength, static_cast<std::size_t>(std::lround(static_cast<double>(shares[n]) * scale)));
      messages[n].assign(pools[n].begin(), pools[n].begin() + static_cast<std::ptrdiff_t>(length));
      messages[n].push_back(pools[n].back());
    }
    return messages;
  };
  const auto stream_bits = [](const Messages& messages) {
    std::array<std::uint64_t, kMessageCodeCount> counts{};
    for (const auto& message : messages) {
      for (std::uint16_t code : message) ++counts[code];
    }
    const MessageTree tree = build_message_tree(counts, nullptr);
    std::uint64_t bits = 0;
    for (std::size_t code = 0; code < counts.size(); ++code)
      bits += counts[code] * static_cast<std::uint64_t>(tree.codewords[code].length);
    return bits;
  };
  double fits = 0.0, too_big = 2.0;
  for (int step = 0; step < 40; ++step) {
    const double scale = (fits + too_big) / 2;
    (stream_bits(make(scale)) <= kMessageRegionBits ? fits : too_big) = scale;
  }
  content.messages = make(fits);
  content.fixed_strings = random_bank(rng, kFixedStringBank, kFixedStringShape);
  content.battle_text = random_bank(rng, kBattleTextBank, kBattleShape);
  return content;
}

}  // namespace talvo::builder
