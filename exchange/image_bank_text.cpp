#include "image_bank_text.h"

#include <memory>

#include "banks.h"
#include "byte_bank_decoder.h"
#include "cp932.h"
#include "message_decoder.h"
#include "vocabulary.h"

namespace talvo::exchange {
namespace {

// The number in the last header a decoder wrote: the entry it was reading
// when it stopped.
std::string stopped_entry(std::string_view text) {
  const std::size_t at = text.rfind("(0x");
  if (at == std::string_view::npos) return "its first entry";
  return std::string(text.substr(at + 1, text.find(')', at) - at - 1));
}

bool decode_messages(std::span<const std::uint8_t> cartridge, BufferedOutput& text, std::string& problem) {
  const auto tree = std::make_unique<MessageTree>();
  switch (load_message_tree(cartridge, *tree)) {
    case TreeLoad::Ok:
      break;
    case TreeLoad::ReadFailed:
      problem = "messages: the message tree cannot be read: it lies past the end of the image";
      return false;
    case TreeLoad::Invalid:
      problem = "messages: the message tree is broken: a branch leads past node 1001 or to a code past 0x60B";
      return false;
  }
  switch (decode_message_text(cartridge, *tree, game_vocabulary(CodeSet::Message), text)) {
    case MessageFailure::None:
      return true;
    case MessageFailure::AccessTableRead:
      problem = "messages: stopped at message " + stopped_entry(text.text()) +
                ": its group pointer lies past the end of the image";
      return false;
    case MessageFailure::DataRead:
    case MessageFailure::WriteFailed:
      break;
  }
  problem = "messages: stopped at message " + stopped_entry(text.text()) + ": its data runs past the end of the image";
  return false;
}

}  // namespace

bool image_bank_text(std::span<const std::uint8_t> cartridge, Bank bank, std::string& utf8, std::string& problem) {
  // The translator tables, once there are any, are handed to the decoders here.
  BufferedOutput text;
  if (bank == Bank::Messages) {
    if (!decode_messages(cartridge, text, problem)) return false;
  } else {
    const bool fixed = bank == Bank::FixedStrings;
    if (decode_byte_bank_text(cartridge, fixed ? kFixedStringBank : kBattleTextBank, game_vocabulary(CodeSet::Byte),
                              text) != ByteBankFailure::None) {
      problem = std::string(fixed ? "fixed strings" : "battle text") + ": stopped at entry " +
                stopped_entry(text.text()) + ": its pointer or its text runs past the end of the image";
      return false;
    }
  }
  SjisToUtf8Result converted = sjis_to_utf8_text(text.text());
  if (converted.failed_at) {
    // Every token of the tables is a Shift_JIS character; this cannot be.
    problem = std::string(bank_record(bank).bank_name) + " text does not convert to UTF-8 at byte " +
              std::to_string(*converted.failed_at);
    return false;
  }
  utf8 = std::move(converted.utf8);
  return true;
}

}  // namespace talvo::exchange
