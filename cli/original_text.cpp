#include "original_text.h"

#include <memory>

#include "byte_bank_decoder.h"
#include "message_decoder.h"

namespace talvo::cli {

bool original_text(const ImageFile& image, BankKind bank, std::string& sjis, std::string& reason) {
  BufferedOutput text;
  if (bank == BankKind::Messages) {
    const auto tree = std::make_unique<MessageTree>();
    if (load_message_tree(image.cartridge(), *tree) != TreeLoad::Ok) {
      reason = "its message tree cannot be read";
      return false;
    }
    if (decode_message_text(image.cartridge(), *tree, text) != MessageFailure::None) {
      reason = "its messages cannot be read to the end";
      return false;
    }
  } else {
    const rom::ByteBankLayout& layout = bank == BankKind::FixedStrings ? rom::kFixedStrings : rom::kBattleText;
    if (decode_byte_bank_text(image.cartridge(), layout, text) != ByteBankFailure::None) {
      reason = std::string("its ") + text_bank(bank).bank_name + " bank cannot be read to the end";
      return false;
    }
  }
  sjis.assign(text.text());
  return true;
}

}  // namespace talvo::cli
