// One bank of a cartridge image as the extractor writes its text file,
// through a vocabulary: what extract, init, the exchange files and the
// previews read, in one place. A bank that cannot be read whole says where
// it stopped.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "banks.h"
#include "buffered_output.h"
#include "vocabulary.h"

namespace talvo {

enum class BankTextFailure : std::uint8_t {
  None,
  TreeUnreadable,  // the message tree lies past the end of the image
  TreeInvalid,     // a branch leads past node 1001 or to a code past 0x60B
  PointerPastEnd,  // an entry's group pointer lies past the end of the image
  DataPastEnd,     // an entry's data runs past the end of the image
};

struct BankTextResult {
  BankTextFailure failure = BankTextFailure::None;
  std::uint32_t entry = 0;  // the entry being read when it stopped
  bool ok() const { return failure == BankTextFailure::None; }
};

// Writes the bank's text into `out` (made without a file) through
// `vocabulary`, a vocabulary of the bank's code set; what came before a
// failure stays in `out`, as the extractor leaves it.
BankTextResult decode_bank_text(std::span<const std::uint8_t> cartridge, Bank bank, const Vocabulary& vocabulary,
                                BufferedOutput& out);

// "messages: stopped at message 0x0012: its data runs past the end of the
// image", for a result that is not ok.
std::string describe_bank_failure(Bank bank, const BankTextResult& result);

}  // namespace talvo
