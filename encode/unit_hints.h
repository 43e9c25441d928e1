// What to say about a unit of a text file that the bank's table lacks, and
// what to write instead.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "banks.h"
#include "text_bank_parser.h"
#include "vocabulary.h"

namespace talvo {

struct UnitReport {
  std::string message;
  std::string hint;
};

// `text` is the whole Shift_JIS text; `failure` a unit the reader could not
// find in the bank's table. The hints look in both of the game's tables,
// given as `vocabularies`.
UnitReport describe_unknown_unit(std::string_view text, const ParseFailure& failure, const BankRecord& bank,
                                 const Vocabularies& vocabularies);

// A Shift_JIS text as a terminal shows it, in quotes.
std::string quoted(std::string_view sjis);

}  // namespace talvo
