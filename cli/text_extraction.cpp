#include "text_extraction.h"

#include "bank_text.h"
#include "banks.h"
#include "commands.h"
#include "vocabulary.h"

namespace talvo::cli {

bool extract_texts(const std::string& image_path, std::span<const std::uint8_t> cartridge,
                   const Vocabularies& vocabularies, ExtractedTexts& out) {
  for (Bank bank : kBanks) {
    BufferedOutput& text = out.decoded[bank_index(bank)];
    const BankTextResult result = decode_bank_text(cartridge, bank, vocabularies.of(bank_record(bank).codes()), text);
    if (result.failure == BankTextFailure::TreeUnreadable || result.failure == BankTextFailure::TreeInvalid) {
      say(image_path + ": " + describe_bank_failure(bank, result));
      return false;
    }
    if (!result.ok()) {
      out.broken = describe_bank_failure(bank, result);
      break;
    }
    out.texts[out.count++] = text.text();
  }
  return true;
}

}  // namespace talvo::cli
