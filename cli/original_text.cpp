#include "original_text.h"

#include "bank_text.h"
#include "banks.h"
#include "vocabulary.h"

namespace talvo::cli {

bool original_text(const ImageFile& image, Bank bank, const Vocabularies& vocabularies, std::string& text,
                   std::string& reason) {
  BufferedOutput out;
  const BankTextResult result =
      decode_bank_text(image.cartridge(), bank, vocabularies.of(bank_record(bank).codes()), out);
  if (!result.ok()) {
    reason = describe_bank_failure(bank, result);
    return false;
  }
  text.assign(out.text());
  return true;
}

}  // namespace talvo::cli
