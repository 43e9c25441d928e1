#include "text_bank_parser.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <cstring>

#include "banks.h"
#include "little_endian.h"
#include "text_events.h"
#include "text_format.h"

namespace talvo {
namespace {

using text_format::kCarriageReturn;
using text_format::kHeaderClose;
using text_format::kHeaderOpen;
using text_format::kLineFeed;
using text_format::kMaxTokenBytes;
using text_format::kTokenClose;
using text_format::kTokenOpen;
using Unit = ParseFailure::Unit;

// A byte that is a character on its own in Shift_JIS: ASCII, control bytes
// and half-width katakana. After a pair that such a byte began is reported,
// a reader that goes on takes the pair's second byte as the start of the
// next unit, as the writer of the text meant it.
bool is_single_byte_character(std::uint8_t b) { return b < 0x80 || (b >= 0xA1 && b <= 0xDF); }

const CodeLookup& lookup_of(const Vocabulary& vocabulary) {
  assert(vocabulary.lookup() != nullptr);
  return *vocabulary.lookup();
}

}  // namespace

template <typename Events>
BasicTextBankParser<Events>::BasicTextBankParser(const EncoderVariant& variant, const Vocabulary& vocabulary,
                                                 BufferedOutput& bank, BufferedOutput& index, Events* events)
    : lookup_(lookup_of(vocabulary)), variant_(variant), bank_(bank), index_(index), events_(events) {}

template <typename Events>
void BasicTextBankParser<Events>::hand_over_staged() {
  // The checker hears every code through its listener: the bank's bytes
  // would only be thrown away.
  if constexpr (!Events::kGoesOn) bank_.append(staged_.data(), staged_count_);
  staged_count_ = 0;
}

template <typename Events>
void BasicTextBankParser<Events>::clear_gathered() {
  gathered_.fill(0);
  gathered_count_ = 0;
}

template <typename Events>
bool BasicTextBankParser<Events>::fail_unknown(Unit unit, std::uint64_t first) {
  // The gathered bytes are looked up, and shown, as a NUL-terminated string.
  ParseFailure failure;
  failure.kind = ParseFailure::Kind::UnknownToken;
  failure.unit = unit;
  failure.first = first;
  failure.position = position_;
  failure.gathered.assign(gathered_.data(), strnlen(gathered_.data(), gathered_count_));
  failure.line_ended = unit == Unit::Token && token_line_feed_.has_value();
  if constexpr (Events::kGoesOn) {
    events_->problem(failure);
    clear_gathered();
    return true;
  }
  failure_ = std::move(failure);
  return false;
}

template <typename Events>
bool BasicTextBankParser<Events>::emit_gathered() {
  const std::string_view text(gathered_.data(), strnlen(gathered_.data(), gathered_count_));
  const auto code = lookup_.find(text);
  if (!code) {
    fail_unknown(Unit::Token, unit_first_);
    return false;
  }
  clear_gathered();
  emit(*code, unit_first_, position_);
  return true;
}

template <typename Events>
bool BasicTextBankParser<Events>::back_to_line_feed(const std::uint8_t*& p, const std::uint8_t* begin) {
  if (!token_line_feed_) return false;
  const std::uint64_t back = position_ - *token_line_feed_;
  if (back > static_cast<std::uint64_t>(p - begin)) return false;  // the line feed came in an earlier piece
  p -= back;
  position_ -= back;
  return true;
}

template <typename Events>
bool BasicTextBankParser<Events>::close_header() {
  if (header_count_ % variant_.index_group == 0) {
    if (bank_offset_ >= kIndexLimit) {
      ParseFailure failure;
      failure.kind = ParseFailure::Kind::BankTooLarge;
      failure.unit = Unit::Header;
      failure.first = unit_first_;
      failure.position = position_;
      if constexpr (!Events::kGoesOn) {
        failure_ = std::move(failure);
        return false;
      }
      events_->problem(failure);
    } else {
      std::uint8_t entry[3];
      write_le24(entry, static_cast<std::uint32_t>(bank_offset_));
      index_.append(reinterpret_cast<const char*>(entry), sizeof entry);
    }
  }
  if constexpr (Events::kGoesOn) events_->header(unit_first_, position_);
  ++header_count_;
  return true;
}

template <typename Events>
std::optional<UnfinishedUnit> BasicTextBankParser<Events>::unfinished() const {
  switch (state_) {
    case ParserState::Plain:
      if (gathered_count_ == 0) return std::nullopt;
      return UnfinishedUnit{Unit::Pair, unit_first_};
    case ParserState::InToken:
      return UnfinishedUnit{Unit::Token, unit_first_};
    case ParserState::InHeader:
      return UnfinishedUnit{Unit::Header, unit_first_};
    case ParserState::SkippingToken:
      break;  // already reported as too long
  }
  return std::nullopt;
}

template <typename Events>
bool BasicTextBankParser<Events>::feed(std::span<const std::uint8_t> bytes) {
  if (failure_.kind != ParseFailure::Kind::None) return false;
  const bool read_all = read(bytes);
  hand_over_staged();
  return read_all;
}

namespace {

// Bit 7 of every byte of `v` that is zero, and perhaps of bytes above the
// first such byte (a borrow can set them): the lowest bit set is exact.
constexpr std::uint64_t zero_bytes(std::uint64_t v) { return (v - 0x0101010101010101u) & ~v & 0x8080808080808080u; }

}  // namespace

template <typename Events>
std::size_t BasicTextBankParser<Events>::read_whole_token(const std::uint8_t* open, const std::uint8_t* end) {
  const std::uint8_t* const text = open + 1;
  if constexpr (std::endian::native == std::endian::little) {
    // The common case: eight bytes at hand after the "[", looked at in one
    // word. Its low bytes up to the "]" are the token's key as the lookup
    // packs it, so no byte needs handling one at a time.
    if (end - text >= static_cast<std::ptrdiff_t>(kMaxTokenBytes + 1)) {
      std::uint64_t word;
      std::memcpy(&word, text, sizeof word);
      const std::uint64_t close = zero_bytes(word ^ (0x0101010101010101u * kTokenClose));
      const std::uint64_t nul = zero_bytes(word);
      // No "]" in reach, or a NUL before it: the byte-by-byte reading says so.
      if (close == 0 || (nul != 0 && std::countr_zero(nul) < std::countr_zero(close))) return 0;
      const auto length = static_cast<std::size_t>(std::countr_zero(close) / 8);
      std::uint16_t code = CodeLookup::kNone;
      if (length == 2) {
        code = lookup_.find_pair(text[0], text[1]);
      } else if (length != 0) {
        const std::uint64_t key = (word & ((std::uint64_t{1} << (8 * length)) - 1)) | std::uint64_t{length} << 56;
        code = lookup_.find_packed(key);
      }
      if (code == CodeLookup::kNone) return 0;
      emit(code, position_, position_ + length + 1);
      return length + 2;
    }
  }
  const auto room = std::min(static_cast<std::size_t>(end - text), kMaxTokenBytes + 1);
  std::size_t length = 0;
  for (;; ++length) {
    if (length == room || text[length] == '\0') return 0;
    if (text[length] == kTokenClose) break;
  }
  const auto code = lookup_.find(std::string_view(reinterpret_cast<const char*>(text), length));
  if (!code) return 0;
  emit(*code, position_, position_ + length + 1);
  return length + 2;
}

template <typename Events>
bool BasicTextBankParser<Events>::read(std::span<const std::uint8_t> bytes) {
  const std::uint8_t* p = bytes.data();
  const std::uint8_t* const end = p + bytes.size();
  // position_ is the offset of *p throughout.
  while (p < end) {
    const std::uint8_t b = *p;
    switch (state_) {
      case ParserState::Plain:
        if (gathered_count_ == 0) {
          if (b == kLineFeed) {
          } else if (b == kTokenOpen) {
            if (const std::size_t length = read_whole_token(p, end)) {
              p += length - 1;  // the loop steps over the last byte
              position_ += length - 1;
            } else {
              state_ = ParserState::InToken;
              unit_first_ = position_;
              token_line_feed_.reset();
            }
          } else if (b == kHeaderOpen) {
            state_ = ParserState::InHeader;
            unit_first_ = position_;
          } else if (end - p >= 2) {
            // The common case: a whole pair at hand.
            const std::uint64_t first = position_;
            const std::uint8_t second = p[1];
            ++p;
            ++position_;
            if (b != kCarriageReturn || second != kLineFeed) {
              const std::uint16_t code = lookup_.find_pair(b, second);
              if (code == CodeLookup::kNone) {
                gathered_[0] = static_cast<char>(b);
                gathered_[1] = static_cast<char>(second);
                gathered_count_ = 2;
                if (!fail_unknown(Unit::Pair, first)) return false;
                if (is_single_byte_character(b)) {
                  // Going on: the second byte begins the next unit.
                  --p;
                  --position_;
                }
              } else {
                emit(code, first, position_);
              }
            }
          } else {
            gathered_[0] = static_cast<char>(b);
            gathered_count_ = 1;
            unit_first_ = position_;
          }
        } else {
          // The second byte of a pair split between two reads.
          const auto first = static_cast<std::uint8_t>(gathered_[0]);
          if (first != kCarriageReturn || b != kLineFeed) {
            gathered_[1] = static_cast<char>(b);
            gathered_count_ = 2;
            const std::uint16_t code = lookup_.find_pair(first, b);
            if (code == CodeLookup::kNone) {
              if (!fail_unknown(Unit::Pair, unit_first_)) return false;
              if (is_single_byte_character(first)) continue;  // going on: this byte begins the next unit
            } else {
              emit(code, unit_first_, position_);
            }
          }
          clear_gathered();
        }
        break;
      case ParserState::InToken:
        if (b == kTokenClose) {
          if (!emit_gathered()) {
            if constexpr (!Events::kGoesOn) return false;
            back_to_line_feed(p, bytes.data());
          }
          state_ = ParserState::Plain;
        } else {
          if constexpr (Events::kGoesOn) {
            if (b == kLineFeed && !token_line_feed_) token_line_feed_ = position_;
          }
          gathered_[gathered_count_++] = static_cast<char>(b);
          // No token is this long: stop at once rather than at a "]" that a
          // forgotten bracket may leave far away.
          if (gathered_count_ > kMaxTokenBytes) {
            if (!fail_unknown(Unit::Token, unit_first_)) return false;
            state_ = back_to_line_feed(p, bytes.data()) ? ParserState::Plain : ParserState::SkippingToken;
          }
        }
        break;
      case ParserState::SkippingToken:
        if (b == kTokenClose || b == kLineFeed) state_ = ParserState::Plain;
        break;
      case ParserState::InHeader:
        if (b == kHeaderClose) {
          if (!close_header()) return false;
          state_ = ParserState::Plain;
        }
        break;
    }
    ++p;
    ++position_;
  }
  return true;
}

template class BasicTextBankParser<NoTextEvents>;
template class BasicTextBankParser<TextEvents>;

}  // namespace talvo
