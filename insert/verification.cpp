#include "verification.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

#include "banks.h"
#include "buffered_output.h"
#include "byte_bank_decoder.h"
#include "message_decoder.h"
#include "text_format.h"
#include "vocabulary.h"

namespace talvo::insert {
namespace {

// Every header, whatever its format, holds this; no token does, since
// neither a character's second byte nor a bracketed code is '('.
constexpr std::string_view kHeaderMark = "(0x";

std::uint8_t bits_mask(unsigned from, unsigned to) {  // bits [from, to) of a byte, 0 the top one
  return static_cast<std::uint8_t>((0xFFu >> from) & ~(0xFFu >> to));
}

}  // namespace

// Verification compares what the extractor writes with the game's own
// tables, which write every code apart: any two code sequences that read
// the same are the same.
GatheredText render_messages(const std::vector<std::vector<std::uint16_t>>& messages) {
  const Vocabulary& tokens = game_vocabulary(CodeSet::Message);
  const std::size_t slot = tokens.slot_size();
  // Each token is copied as its whole slot and only its length counted, so
  // the text is sized for what it holds and one slot more.
  std::size_t room = slot;
  for (const auto& message : messages) {
    room += 10;  // the header, "\n(0x0123)\n"
    for (std::uint16_t code : message) room += code < kMessageCodeCount ? tokens.extraction(code).size() : 0;
  }
  GatheredText text(room, '\0');
  char* at = text.data();
  char header[16];
  for (std::uint32_t n = 0; n < messages.size(); ++n) {
    const std::string_view head = n == 0 ? text_format::format_header(text_format::kFirstMessageHeaderFormat, n, header)
                                         : text_format::format_header(text_format::kMessageHeaderFormat, n, header);
    std::memcpy(at, head.data(), head.size());
    at += head.size();
    for (std::uint16_t code : messages[n]) {
      if (code >= kMessageCodeCount) continue;
      std::memcpy(at, tokens.slot(code), slot);
      at += tokens.extraction(code).size();
    }
  }
  text.resize(static_cast<std::size_t>(at - text.data()));
  return text;
}

GatheredText render_byte_bank(const std::vector<std::vector<std::uint8_t>>& entries) {
  const Vocabulary& tokens = game_vocabulary(CodeSet::Byte);
  GatheredText text;
  char header[16];
  for (std::uint32_t i = 0; i < entries.size(); ++i) {
    text += text_format::format_header(text_format::kHeaderFormat, i, header);
    for (std::uint8_t code : entries[i]) text.append(tokens.extraction(code));
    text += '\n';
  }
  return text;
}

void read_bank_text(std::span<const std::uint8_t> cartridge, Bank bank, BufferedOutput& out) {
  if (bank == Bank::Messages) {
    const auto tree = std::make_unique<MessageTree>();
    if (load_message_tree(cartridge, *tree) != TreeLoad::Ok) return;
    decode_message_text(cartridge, *tree, game_vocabulary(CodeSet::Message), out);
  } else {
    decode_byte_bank_text(cartridge, bank_record(bank), game_vocabulary(CodeSet::Byte), out);
  }
}

std::optional<std::size_t> first_differing_entry(std::string_view expected, std::string_view actual) {
  const std::size_t common = std::min(expected.size(), actual.size());
  std::size_t at = 0;
  if (common == 0 || std::memcmp(expected.data(), actual.data(), common) == 0) {
    if (expected.size() == actual.size()) return std::nullopt;
    at = common;
  } else {
    at = static_cast<std::size_t>(std::mismatch(expected.begin(), expected.begin() + common, actual.begin()).first -
                                  expected.begin());
  }
  // The entry is the last whose header starts at or before the difference,
  // counting a header the difference falls into.
  const std::string_view longer = expected.size() >= actual.size() ? expected : actual;
  const std::string_view seen = longer.substr(0, std::min(longer.size(), at + kHeaderMark.size()));
  std::size_t headers = 0;
  for (std::size_t found = seen.find(kHeaderMark); found != std::string_view::npos && found <= at;
       found = seen.find(kHeaderMark, found + 1)) {
    ++headers;
  }
  return headers == 0 ? 0 : headers - 1;
}

std::optional<std::uint64_t> first_change_outside(std::span<const std::uint8_t> before,
                                                  std::span<const std::uint8_t> after, std::vector<BitSpan> allowed) {
  std::sort(allowed.begin(), allowed.end(), [](const BitSpan& a, const BitSpan& b) { return a.begin < b.begin; });
  const std::uint64_t total = std::uint64_t{before.size()} * 8;
  // The bits [from, to) must be equal.
  const auto check = [&](std::uint64_t from, std::uint64_t to) -> std::optional<std::uint64_t> {
    while (from < to && from % 8 != 0) {  // the end of a partly allowed byte
      const std::uint64_t byte = from / 8;
      const auto stop = static_cast<unsigned>(std::min<std::uint64_t>(8, to - 8 * byte));
      if (((before[byte] ^ after[byte]) & bits_mask(from % 8, stop)) != 0) return byte;
      from = 8 * byte + stop;
    }
    const std::uint64_t first = from / 8, last = to / 8;
    if (first < last && std::memcmp(before.data() + first, after.data() + first, last - first) != 0) {
      return static_cast<std::uint64_t>(
          std::mismatch(before.begin() + first, before.begin() + last, after.begin() + first).first - before.begin());
    }
    if (first <= last && to % 8 != 0 && 8 * last >= from) {  // the start of a partly allowed byte
      if (((before[last] ^ after[last]) & bits_mask(0, static_cast<unsigned>(to % 8))) != 0) return last;
    }
    return std::nullopt;
  };
  std::uint64_t at = 0;
  for (const BitSpan& span : allowed) {
    if (span.begin > at) {
      if (auto changed = check(at, std::min(span.begin, total))) return changed;
    }
    at = std::max(at, span.end);
  }
  if (at < total) return check(at, total);
  return std::nullopt;
}

}  // namespace talvo::insert
