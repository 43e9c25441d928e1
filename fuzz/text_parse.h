// Runs the encoders' text parser over bytes in memory, fed whole or in
// pieces of one size, as the encoder's block reads would hand them over.
#pragma once

#include <algorithm>
#include <cstdint>
#include <span>
#include <string>

#include "banks.h"
#include "text_bank_parser.h"
#include "vocabulary.h"

namespace talvo::fuzz {

struct ParsedText {
  std::string bank;
  std::string index;
  ParseFailure failure;
  std::uint64_t header_count = 0;
  std::uint64_t bank_offset = 0;
};

inline ParsedText parse_text(const EncoderVariant& variant, std::span<const std::uint8_t> text, std::size_t piece) {
  BufferedOutput bank, index;
  TextBankParser parser(variant, game_vocabulary(variant.token_table), bank, index);
  for (std::size_t at = 0; at < text.size(); at += piece) {
    if (!parser.feed(text.subspan(at, std::min(piece, text.size() - at)))) break;
  }
  return {std::string(bank.text()), std::string(index.text()), parser.failure(), parser.header_count(),
          parser.bank_offset()};
}

inline const EncoderVariant& variant_of(std::uint8_t choice) {
  static const EncoderVariant* const variants[] = {&kMessageVariant, &kFixedStringVariant, &kBattleTextVariant};
  return *variants[choice % 3];
}

}  // namespace talvo::fuzz
