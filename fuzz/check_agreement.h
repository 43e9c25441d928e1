// Whether the checker and the encoder agree about a text: where the encoder
// stops, the checker's first error that stops the encoder lies in the unit
// where it stops (from the unit's first byte to the byte where it stops);
// where the encoder reads the text through, the checker has no such error.
// So a text without errors always encodes.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "banks.h"
#include "buffered_output.h"
#include "text_bank_parser.h"
#include "text_checker.h"
#include "vocabulary.h"

namespace talvo::fuzz {

// Empty when they agree; otherwise what differs, for the failure's message.
inline std::string check_disagreement(std::string_view text, const BankRecord& bank, const CheckedText& checked) {
  BufferedOutput bank_bytes, index_bytes;
  TextBankParser parser(bank.variant, game_vocabulary(bank.variant.token_table), bank_bytes, index_bytes);
  parser.feed(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
  const ParseFailure& failure = parser.failure();
  const Diagnostic* stop = nullptr;
  for (const Diagnostic& d : checked.diagnostics) {
    if (d.stops_encoder) {
      stop = &d;
      break;
    }
  }
  if (failure.kind == ParseFailure::Kind::None) {
    if (stop == nullptr) return {};
    return "the checker stops the encoder at byte " + std::to_string(stop->first) + " (" + stop->message +
           "), the encoder reads on";
  }
  const std::string where = "the encoder stops at byte " + std::to_string(failure.position) + " (unit from byte " +
                            std::to_string(failure.first) + ")";
  if (stop == nullptr) return where + ", the checker has no error that stops it";
  if (stop->severity != Severity::Error || stop->first < failure.first || stop->first > failure.position) {
    return where + ", the checker's first stop is at byte " + std::to_string(stop->first) + " (" + stop->message + ")";
  }
  return {};
}

}  // namespace talvo::fuzz
