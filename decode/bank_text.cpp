#include "bank_text.h"

#include <cstdio>
#include <memory>

#include "byte_bank_decoder.h"
#include "message_decoder.h"

namespace talvo {

BankTextResult decode_bank_text(std::span<const std::uint8_t> cartridge, Bank bank, const Vocabulary& vocabulary,
                                BufferedOutput& out) {
  BankTextResult result;
  if (bank != Bank::Messages) {
    switch (decode_byte_bank_text(cartridge, bank_record(bank), vocabulary, out, &result.entry)) {
      case ByteBankFailure::None:
        break;
      case ByteBankFailure::ReadFailed:
      case ByteBankFailure::WriteFailed:
        result.failure = BankTextFailure::DataPastEnd;
        break;
    }
    return result;
  }
  const auto tree = std::make_unique<MessageTree>();
  switch (load_message_tree(cartridge, *tree)) {
    case TreeLoad::Ok:
      break;
    case TreeLoad::ReadFailed:
      result.failure = BankTextFailure::TreeUnreadable;
      return result;
    case TreeLoad::Invalid:
      result.failure = BankTextFailure::TreeInvalid;
      return result;
  }
  switch (decode_message_text(cartridge, *tree, vocabulary, out, &result.entry)) {
    case MessageFailure::None:
      break;
    case MessageFailure::AccessTableRead:
      result.failure = BankTextFailure::PointerPastEnd;
      break;
    case MessageFailure::DataRead:
    case MessageFailure::WriteFailed:
      result.failure = BankTextFailure::DataPastEnd;
      break;
  }
  return result;
}

std::string describe_bank_failure(Bank bank, const BankTextResult& result) {
  char entry[24];
  std::snprintf(entry, sizeof entry, "0x%04X", static_cast<unsigned>(result.entry));
  const bool messages = bank == Bank::Messages;
  const std::string stopped =
      std::string(bank_record(bank).name) + ": stopped at " + (messages ? "message " : "entry ") + entry + ": ";
  switch (result.failure) {
    case BankTextFailure::None:
      break;
    case BankTextFailure::TreeUnreadable:
      return "the message tree cannot be read: it lies past the end of the image";
    case BankTextFailure::TreeInvalid:
      return "the message tree is broken: a branch leads past node 1001 or to a code past 0x60B";
    case BankTextFailure::PointerPastEnd:
      return stopped + "its group pointer lies past the end of the image";
    case BankTextFailure::DataPastEnd:
      return stopped + (messages ? "its data runs past the end of the image"
                                 : "its pointer or its text runs past the end of the image");
  }
  return {};
}

}  // namespace talvo
