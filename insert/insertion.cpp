#include "insertion.h"

#include <array>
#include <cstring>
#include <optional>

#include "bank_fit.h"
#include "bank_space.h"
#include "bank_writer.h"
#include "banks.h"
#include "entry_growth.h"
#include "header_checksum.h"
#include "huffman_code.h"
#include "new_text_check.h"
#include "original_rooms.h"
#include "room_plan.h"
#include "verification.h"

namespace talvo::insert {
namespace {

std::array<bool, kBankCount> banks_given(const NewText& text) {
  return {text.messages.has_value(), text.fixed_strings.has_value(), text.battle_text.has_value()};
}

// Headers to rewrite: those that hold the input's own checksum. One that
// agrees with itself but not with the input marks an image edited before
// without fixing it; its bytes are left as they were.
// Both kinds are off limits to every region: a stale header is still the
// game's header, only its checksum is out of date.
struct Headers {
  std::vector<HeaderPlace> consistent;
  std::vector<HeaderPlace> valid;
  std::vector<std::uint32_t> stale;
};

Headers judge_headers(std::span<const std::uint8_t> cartridge) {
  Headers headers;
  headers.consistent = find_consistent_headers(cartridge);
  if (headers.consistent.empty()) return headers;
  const std::uint16_t sum = cartridge_checksum(cartridge);
  for (const HeaderPlace& place : headers.consistent) {
    if (place.checksum == sum) {
      headers.valid.push_back(place);
    } else {
      headers.stale.push_back(place.offset);
    }
  }
  return headers;
}

// What a bank's text must read as in the new cartridge: the text given for
// it, rendered into `rendered`, or the input's own, read into `original`.
std::string_view expected_text(std::span<const std::uint8_t> before, const NewText& text, Bank bank,
                               GatheredText& rendered, BufferedOutput& original) {
  switch (bank) {
    case Bank::Messages:
      if (text.messages) return rendered = render_messages(*text.messages);
      break;
    case Bank::FixedStrings:
      if (text.fixed_strings) return rendered = render_byte_bank(*text.fixed_strings);
      break;
    case Bank::BattleText:
      if (text.battle_text) return rendered = render_byte_bank(*text.battle_text);
      break;
  }
  read_bank_text(before, bank, original);
  return original.text();
}

// The bytes the extractor reads for a bank: its group pointers, the tree for
// the messages, and its own regions, which the walk that found them read.
std::vector<BitSpan> bytes_read_for(Bank bank, const OriginalRooms& original) {
  std::vector<BitSpan> read = original.room(bank);
  const std::size_t groups = (bank_record(bank).entries + bank_record(bank).group - 1) / bank_record(bank).group;
  read.push_back(
      byte_span(bank_record(bank).pointer_table, bank_record(bank).pointer_table + rom::kPointerSize * groups));
  if (bank == Bank::Messages) read.push_back(byte_span(rom::kMessageTree, kTablesEnd));
  return read;
}

bool touches_any(const std::vector<BitSpan>& spans, const std::vector<BitSpan>& others) {
  for (const BitSpan& span : spans) {
    for (const BitSpan& other : others) {
      if (span.touches_bytes(other.first_byte(), other.end_byte())) return true;
    }
  }
  return false;
}

std::optional<VerificationFailed> verify(std::span<const std::uint8_t> before, std::span<const std::uint8_t> after,
                                         const NewText& text, const OriginalRooms& original,
                                         const std::array<bool, kBankCount>& given, std::vector<BitSpan> written) {
  if (const auto offset = first_change_outside(before, after, written)) {
    return VerificationFailed{std::nullopt, 0, static_cast<std::uint32_t>(*offset)};
  }
  for (Bank bank : kBanks) {
    // A bank not given reads as it did when no byte it reads was written:
    // every other byte has just been found unchanged.
    if (!given[bank_index(bank)] && !touches_any(bytes_read_for(bank, original), written)) continue;
    GatheredText rendered;
    BufferedOutput original_text;
    const std::string_view expected = expected_text(before, text, bank, rendered, original_text);
    BufferedOutput actual;
    actual.reserve(expected.size());
    read_bank_text(after, bank, actual);
    if (const auto entry = first_differing_entry(expected, actual.text())) {
      return VerificationFailed{bank, *entry, 0};
    }
  }
  return std::nullopt;
}

}  // namespace

Outcome insert_text(std::span<const std::uint8_t> cartridge, const NewText& text, const Options& options) {
  if (cartridge.size() != rom::kSize4Mb && cartridge.size() != rom::kSize6Mb) {
    return UnsupportedImageSize{cartridge.size()};
  }
  const auto found = find_original_rooms(cartridge);
  if (const auto* broken = std::get_if<BrokenOriginal>(&found)) return *broken;
  const OriginalRooms& original = std::get<OriginalRooms>(found);
  if (auto fault = check_new_text(text)) return *fault;

  const std::array<bool, kBankCount> given = banks_given(text);
  const Headers headers = judge_headers(cartridge);
  const auto planned = plan_rooms(cartridge.size(), original, given, headers.consistent, options);
  if (const auto* bad = std::get_if<BadRegion>(&planned)) return *bad;
  const RoomPlan& rooms = std::get<RoomPlan>(planned);

  std::optional<HuffmanCode> code;
  if (text.messages) {
    const CodeCounts counts = count_codes(*text.messages);
    TooManyCodes too_many = too_many_codes(*text.messages, counts);
    if (!too_many.rarest.empty()) return too_many;
    code = build_huffman_code(counts);
  }

  std::array<std::optional<BankPlan>, kBankCount> plans;
  FitReport report;
  std::optional<Bank> first_overflow;
  for (Bank bank : kBanks) {
    if (!given[bank_index(bank)]) continue;
    const std::vector<std::uint64_t> sizes = bank == Bank::Messages       ? message_sizes(*text.messages, *code)
                                             : bank == Bank::FixedStrings ? byte_entry_sizes(*text.fixed_strings)
                                                                          : byte_entry_sizes(*text.battle_text);
    BankPlan& plan = plans[bank_index(bank)].emplace(plan_bank(bank, sizes, rooms.of(bank).spans, rooms.of(bank).own));
    plan.fit.grown = grown_most(sizes, original.sizes(bank));
    if (const auto& single = text.one_code_per_character[bank_index(bank)]) {
      const std::uint64_t needed = bank == Bank::Messages ? plan.fit.needed_bits : plan.fit.needed_bytes;
      plan.fit.saved = *single > needed ? *single - needed : 0;
    }
    if (bank == Bank::Messages) {
      plan.fit.distinct_codes = code->distinct;
      // Codewords past 64 bits need more codes than any image has bits.
      plan.fit.fits = plan.fit.fits && code->has_codewords;
    }
    if (!plan.fit.fits && !first_overflow) first_overflow = bank;
    report.banks.push_back(plan.fit);
  }
  if (first_overflow) return DoesNotFit{*first_overflow, std::move(report)};

  // Copied in one move of memory: file memory is left uninitialised by
  // resize, where a copy through the allocator goes element by element.
  Inserted result{FileBytes(), std::move(report)};
  result.cartridge.resize(cartridge.size());
  std::memcpy(result.cartridge.data(), cartridge.data(), cartridge.size());
  const std::span<std::uint8_t> out(result.cartridge);
  std::vector<BitSpan> written;
  for (Bank bank : kBanks) {
    if (!plans[bank_index(bank)]) continue;
    const BankPlan& plan = *plans[bank_index(bank)];
    const std::vector<BitSpan>& regions = rooms.of(bank).spans;
    const std::vector<BitSpan> spans =
        bank == Bank::Messages       ? write_messages(out, *text.messages, *code, plan.placement, regions)
        : bank == Bank::FixedStrings ? write_byte_bank(out, bank, *text.fixed_strings, plan.placement, regions)
                                     : write_byte_bank(out, bank, *text.battle_text, plan.placement, regions);
    written.insert(written.end(), spans.begin(), spans.end());
    const std::size_t groups = (bank_record(bank).entries + bank_record(bank).group - 1) / bank_record(bank).group;
    written.push_back(
        byte_span(bank_record(bank).pointer_table, bank_record(bank).pointer_table + rom::kPointerSize * groups));
    if (bank == Bank::Messages) written.push_back(byte_span(rom::kMessageTree, kTablesEnd));
  }

  ChecksumReport& checksum = result.report.checksum;
  checksum.stale = headers.stale;
  if (!headers.valid.empty()) {
    const std::uint16_t sum = cartridge_checksum(out);
    for (const HeaderPlace& header : headers.valid) {
      store_checksum(out, header.offset, sum);
      checksum.recomputed.push_back({header.offset, header.map_mode, header.checksum, sum});
      written.push_back(byte_span(header.offset + kComplementField, header.offset + kComplementField + 4));
    }
  }

  if (auto failed = verify(cartridge, out, text, original, given, std::move(written))) return *failed;
  return result;
}

}  // namespace talvo::insert
