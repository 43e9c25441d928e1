#include "text_bank_parser.h"

#include <algorithm>
#include <cstring>

#include "text_format.h"
#include "token_tables.h"

namespace talvo {
namespace {

using text_format::kCarriageReturn;
using text_format::kHeaderClose;
using text_format::kHeaderOpen;
using text_format::kLineFeed;
using text_format::kMaxTokenBytes;
using text_format::kTokenClose;
using text_format::kTokenOpen;

const CodeLookup& lookup_for(const EncoderVariant& variant) {
  return variant.token_table == TokenTableKind::Message ? message_code_lookup() : byte_code_lookup();
}

}  // namespace

TextBankParser::TextBankParser(const EncoderVariant& variant, BufferedOutput& bank, BufferedOutput& index)
    : lookup_(lookup_for(variant)), variant_(variant), bank_(bank), index_(index) {}

void TextBankParser::hand_over_staged() {
  bank_.append(staged_.data(), staged_count_);
  staged_count_ = 0;
}

void TextBankParser::clear_gathered() {
  gathered_.fill(0);
  gathered_count_ = 0;
}

bool TextBankParser::fail_unknown() {
  // The gathered bytes are looked up, and shown, as a NUL-terminated string.
  failure_.kind = ParseFailure::Kind::UnknownToken;
  failure_.position = position_;
  failure_.gathered.assign(gathered_.data(), strnlen(gathered_.data(), gathered_count_));
  return false;
}

bool TextBankParser::emit_gathered() {
  const std::string_view text(gathered_.data(), strnlen(gathered_.data(), gathered_count_));
  const auto code = lookup_.find(text);
  if (!code) return fail_unknown();
  clear_gathered();
  return emit(*code);
}

bool TextBankParser::close_header() {
  if (header_count_ % variant_.index_group == 0) {
    if (bank_offset_ >= kIndexLimit) {
      failure_.kind = ParseFailure::Kind::BankTooLarge;
      failure_.position = position_;
      return false;
    }
    const char entry[3] = {static_cast<char>(bank_offset_ & 0xFF), static_cast<char>(bank_offset_ >> 8 & 0xFF),
                           static_cast<char>(bank_offset_ >> 16 & 0xFF)};
    index_.append(entry, sizeof entry);
  }
  ++header_count_;
  return true;
}

bool TextBankParser::feed(std::span<const std::uint8_t> bytes) {
  if (failure_.kind != ParseFailure::Kind::None) return false;
  const bool read_all = read(bytes);
  hand_over_staged();
  return read_all;
}

std::size_t TextBankParser::read_whole_token(const std::uint8_t* open, const std::uint8_t* end) {
  const std::uint8_t* const text = open + 1;
  const auto room = std::min(static_cast<std::size_t>(end - text), kMaxTokenBytes + 1);
  std::size_t length = 0;
  for (;; ++length) {
    if (length == room || text[length] == '\0') return 0;
    if (text[length] == kTokenClose) break;
  }
  const auto code = lookup_.find(std::string_view(reinterpret_cast<const char*>(text), length));
  if (!code) return 0;
  emit(*code);
  return length + 2;
}

bool TextBankParser::read(std::span<const std::uint8_t> bytes) {
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
            }
          } else if (b == kHeaderOpen) {
            state_ = ParserState::InHeader;
          } else if (end - p >= 2) {
            // The common case: a whole pair at hand.
            const std::uint8_t second = p[1];
            ++p;
            ++position_;
            if (b != kCarriageReturn || second != kLineFeed) {
              const std::uint16_t code = lookup_.find_pair(b, second);
              if (code == CodeLookup::kNone) {
                gathered_[0] = static_cast<char>(b);
                gathered_[1] = static_cast<char>(second);
                gathered_count_ = 2;
                return fail_unknown();
              }
              emit(code);
            }
          } else {
            gathered_[0] = static_cast<char>(b);
            gathered_count_ = 1;
          }
        } else {
          // The second byte of a pair split between two reads.
          const auto first = static_cast<std::uint8_t>(gathered_[0]);
          if (first != kCarriageReturn || b != kLineFeed) {
            gathered_[1] = static_cast<char>(b);
            gathered_count_ = 2;
            const std::uint16_t code = lookup_.find_pair(first, b);
            if (code == CodeLookup::kNone) return fail_unknown();
            emit(code);
          }
          clear_gathered();
        }
        break;
      case ParserState::InToken:
        if (b == kTokenClose) {
          if (!emit_gathered()) return false;
          state_ = ParserState::Plain;
        } else {
          gathered_[gathered_count_++] = static_cast<char>(b);
          // No token is this long: stop at once rather than at a "]" that a
          // forgotten bracket may leave far away.
          if (gathered_count_ > kMaxTokenBytes) return fail_unknown();
        }
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

}  // namespace talvo
