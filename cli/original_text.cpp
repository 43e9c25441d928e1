#include "original_text.h"

#include <memory>

#include "banks.h"
#include "byte_bank_decoder.h"
#include "message_decoder.h"
#include "vocabulary.h"

namespace talvo::cli {

bool original_text(const ImageFile& image, Bank bank, std::string& sjis, std::string& reason) {
  BufferedOutput text;
  if (bank == Bank::Messages) {
    const auto tree = std::make_unique<MessageTree>();
    if (load_message_tree(image.cartridge(), *tree) != TreeLoad::Ok) {
      reason = "its message tree cannot be read";
      return false;
    }
    if (decode_message_text(image.cartridge(), *tree, game_vocabulary(CodeSet::Message), text) !=
        MessageFailure::None) {
      reason = "its messages cannot be read to the end";
      return false;
    }
  } else {
    const BankRecord& layout = bank == Bank::FixedStrings ? kFixedStringBank : kBattleTextBank;
    if (decode_byte_bank_text(image.cartridge(), layout, game_vocabulary(CodeSet::Byte), text) !=
        ByteBankFailure::None) {
      reason = std::string("its ") + bank_record(bank).bank_name + " bank cannot be read to the end";
      return false;
    }
  }
  sjis.assign(text.text());
  return true;
}

}  // namespace talvo::cli
