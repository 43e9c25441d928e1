// Lays content out the way the game stores it: three pointer tables, the
// message tree, and the three data regions.
#include "image_builder.h"

#include <array>
#include <cstdio>
#include <random>
#include <stdexcept>
#include <string>

#include "banks.h"
#include "message_tree.h"
#include "rom_layout.h"
#include "token_tables.h"

namespace talvo::builder {
namespace {

std::string hex(std::size_t value, int digits) {
  char buffer[24];
  std::snprintf(buffer, sizeof buffer, "0x%0*zX", digits, value);
  return buffer;
}

bool is_message_end(std::uint16_t code) { return code == rom::kMessageEnd || code == rom::kMessageEndAlt; }

template <typename Code, typename IsEnd>
void check_entries(const std::vector<std::vector<Code>>& entries, std::size_t count, const char* what, IsEnd is_end) {
  if (entries.size() != count) {
    throw std::runtime_error(std::string(what) + ": " + std::to_string(entries.size()) + " entries, the game has " +
                             std::to_string(count));
  }
  for (std::size_t n = 0; n < entries.size(); ++n) {
    const auto& entry = entries[n];
    const std::string name = std::string(what) + " " + hex(n, 4);
    if (entry.empty() || !is_end(entry.back())) throw std::runtime_error(name + " does not end with its terminator");
    for (std::size_t i = 0; i + 1 < entry.size(); ++i) {
      if (is_end(entry[i])) throw std::runtime_error(name + " has a terminator at position " + std::to_string(i));
    }
  }
}

void put16(std::vector<std::uint8_t>& image, std::size_t at, std::uint16_t value) {
  image[at] = static_cast<std::uint8_t>(value & 0xFF);
  image[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

void put24(std::vector<std::uint8_t>& image, std::size_t at, std::uint32_t value) {
  image[at] = static_cast<std::uint8_t>(value & 0xFF);
  image[at + 1] = static_cast<std::uint8_t>(value >> 8 & 0xFF);
  image[at + 2] = static_cast<std::uint8_t>(value >> 16 & 0xFF);
}

void check_fits(const char* what, std::size_t needed, std::size_t region) {
  if (needed > region) {
    throw std::runtime_error(std::string(what) + " needs " + std::to_string(needed) + " bytes but its region holds " +
                             std::to_string(region));
  }
}

// Writes one byte bank and its group pointers; `rom` is the file position of
// ROM offset 0. Random images leave a few stray bytes between groups so that
// only a decoder that follows the pointers finds the entries.
void write_byte_bank(std::vector<std::uint8_t>& image, std::size_t rom, const BankRecord& layout,
                     const std::vector<std::vector<std::uint8_t>>& entries, std::size_t region, const char* what,
                     std::mt19937_64* rng) {
  std::size_t total = 0;
  for (const auto& entry : entries) total += entry.size();
  check_fits(what, total, region);
  std::vector<std::size_t> gaps(layout.groups(), 0);
  if (rng != nullptr) {
    std::size_t gap_total = 0;
    for (auto& gap : gaps) gap_total += gap = (*rng)() % 8;
    if (total + gap_total > region) gaps.assign(gaps.size(), 0);
  }
  std::size_t offset = 0;
  for (std::size_t n = 0; n < entries.size(); ++n) {
    if (n % layout.group == 0) {
      offset += gaps[n / layout.group];
      put24(image, rom + layout.pointer_table + n / layout.group * rom::kPointerSize,
            static_cast<std::uint32_t>(offset));
    }
    for (std::uint8_t byte : entries[n]) image[rom + layout.data + offset++] = byte;
  }
}

void write_messages(std::vector<std::uint8_t>& image, std::size_t rom,
                    const std::vector<std::vector<std::uint16_t>>& messages, std::mt19937_64* rng) {
  std::array<std::uint64_t, kMessageCodeCount> counts{};
  for (const auto& message : messages) {
    for (std::uint16_t code : message) ++counts[code];
  }
  const MessageTree tree = build_message_tree(counts, rng);
  for (std::size_t e = 0; e < tree.entries.size(); ++e) put16(image, rom + rom::kMessageTree + 2 * e, tree.entries[e]);

  std::uint64_t bits = 0;
  for (const auto& message : messages) {
    for (std::uint16_t code : message) bits += static_cast<std::uint64_t>(tree.codewords[code].length);
  }
  const std::size_t region = rom::kFixedStringData - rom::kMessageData;
  check_fits("the message stream", static_cast<std::size_t>((bits + 7) / 8), region);

  // Bits go into each byte from the top down; a pointer names the byte and
  // the bit number (7 = top) at which its group's first message starts.
  const std::size_t data = rom + rom::kMessageData;
  std::uint64_t at = 0;
  for (std::size_t n = 0; n < messages.size(); ++n) {
    if (n % rom::kMessageGroup == 0) {
      const auto pointer = static_cast<std::uint32_t>(at / 8 << 3 | (7 - at % 8));
      put24(image, rom + rom::kMessageAccessTable + n / rom::kMessageGroup * rom::kPointerSize, pointer);
    }
    for (std::uint16_t code : messages[n]) {
      const Codeword word = tree.codewords[code];
      for (int i = word.length - 1; i >= 0; --i, ++at) {
        const auto mask = static_cast<std::uint8_t>(0x80 >> at % 8);
        std::uint8_t& byte = image[data + at / 8];
        byte = static_cast<std::uint8_t>(word.bits >> i & 1 ? byte | mask : byte & ~mask);
      }
    }
  }
}

std::vector<std::uint8_t> build(const ImageContent& content, ImageSize size, std::mt19937_64* rng) {
  validate(content);
  std::vector<std::uint8_t> image(image_size(size), 0);
  if (rng != nullptr) {
    for (std::size_t i = 0; i < image.size(); i += 8) {
      const std::uint64_t word = (*rng)();
      for (std::size_t b = 0; b < 8 && i + b < image.size(); ++b)
        image[i + b] = static_cast<std::uint8_t>(word >> 8 * b);
    }
  }
  const std::size_t rom = size == ImageSize::CopierHeader4Mb ? rom::kCopierHeaderSize : 0;
  const std::size_t cartridge = image.size() - rom;
  write_byte_bank(image, rom, kBattleTextBank, content.battle_text, rom::kMessageData - rom::kBattleTextData,
                  "the battle text", rng);
  write_byte_bank(image, rom, kFixedStringBank, content.fixed_strings, cartridge - rom::kFixedStringData,
                  "the fixed strings", rng);
  write_messages(image, rom, content.messages, rng);
  return image;
}

}  // namespace

void validate(const ImageContent& content) {
  check_entries(content.messages, rom::kMessageCount, "message", is_message_end);
  check_entries(content.fixed_strings, kFixedStringBank.entries, "fixed string",
                [](std::uint8_t code) { return kFixedStringBank.is_end(code); });
  check_entries(content.battle_text, kBattleTextBank.entries, "battle text entry",
                [](std::uint8_t code) { return kBattleTextBank.is_end(code); });
  std::array<bool, kMessageCodeCount> used{};
  std::size_t distinct = 0;
  for (std::size_t n = 0; n < content.messages.size(); ++n) {
    for (std::uint16_t code : content.messages[n]) {
      if (code >= kMessageCodeCount) {
        throw std::runtime_error("message " + hex(n, 4) + " has code " + hex(code, 3) + ", past the last code " +
                                 hex(kMessageCodeCount - 1, 3));
      }
      if (!used[code]) ++distinct, used[code] = true;
    }
  }
  if (distinct > kMaxDistinctCodes) {
    throw std::runtime_error("the messages use " + std::to_string(distinct) + " distinct codes; the tree holds " +
                             std::to_string(kMaxDistinctCodes));
  }
}

std::uint64_t image_size(ImageSize size) {
  switch (size) {
    case ImageSize::Plain4Mb:
      return rom::kSize4Mb;
    case ImageSize::CopierHeader4Mb:
      return rom::kSizeWithCopierHeader;
    case ImageSize::Plain6Mb:
      return rom::kSize6Mb;
  }
  throw std::invalid_argument("unknown image size");
}

std::vector<std::uint8_t> build_image(const ImageContent& content, ImageSize size, std::uint64_t seed) {
  std::mt19937_64 rng(seed);
  return build(content, size, &rng);
}

std::vector<std::uint8_t> build_image(const ImageContent& content, ImageSize size) {
  return build(content, size, nullptr);
}

}  // namespace talvo::builder
