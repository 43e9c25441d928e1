#include "image_bank_text.h"

#include "bank_text.h"
#include "banks.h"
#include "vocabulary.h"

namespace talvo::exchange {

bool image_bank_text(std::span<const std::uint8_t> cartridge, Bank bank, const Vocabularies& vocabularies,
                     std::string& utf8, std::string& problem) {
  BufferedOutput text;
  const BankTextResult result = decode_bank_text(cartridge, bank, vocabularies.of(bank_record(bank).codes()), text);
  if (!result.ok()) {
    problem = describe_bank_failure(bank, result);
    // The tree's faults are the messages'.
    if (problem.rfind("the message tree", 0) == 0) problem = "messages: " + problem;
    return false;
  }
  utf8.assign(text.text());
  return true;
}

}  // namespace talvo::exchange
