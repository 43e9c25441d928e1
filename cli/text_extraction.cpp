#include "text_extraction.h"

#include <memory>

#include "banks.h"
#include "byte_bank_decoder.h"
#include "commands.h"
#include "cp932.h"
#include "message_decoder.h"
#include "vocabulary.h"

namespace talvo::cli {
namespace {

// The number in the last header a decoder wrote: the entry it was reading
// when it stopped.
std::string stopped_entry(std::string_view text) {
  const std::size_t at = text.rfind("(0x");
  if (at == std::string_view::npos) return "its first entry";
  return std::string(text.substr(at + 1, text.find(')', at) - at - 1));
}

// One extracted text as it is written: the decoder's own, or converted into
// `converted` when a UTF-8 working copy is asked.
bool convert_text(TextEncoding encoding, const char* name, std::string_view sjis, std::string& converted_text,
                  std::string_view& out) {
  out = sjis;
  if (encoding == TextEncoding::ShiftJis) return true;
  SjisToUtf8Result converted = sjis_to_utf8_text(sjis);
  if (converted.failed_at) {
    // Every token of the tables is a Shift_JIS character; this cannot be.
    say(std::string(name) + ": the extracted text does not convert to UTF-8 at byte " +
        std::to_string(*converted.failed_at));
    return false;
  }
  converted_text = std::move(converted.utf8);
  out = converted_text;
  return true;
}

}  // namespace

bool extract_texts(const std::string& image_path, std::span<const std::uint8_t> cartridge, TextEncoding encoding,
                   ExtractedTexts& out) {
  const auto tree = std::make_unique<MessageTree>();
  switch (load_message_tree(cartridge, *tree)) {
    case TreeLoad::Ok:
      break;
    case TreeLoad::ReadFailed:
      say(image_path + ": the message tree cannot be read: it lies past the end of the image");
      return false;
    case TreeLoad::Invalid:
      say(image_path + ": the message tree is broken: a branch leads past node 1001 or to a code past 0x60B");
      return false;
  }
  BufferedOutput& messages = out.decoded[0];
  switch (decode_message_text(cartridge, *tree, game_vocabulary(CodeSet::Message), messages)) {
    case MessageFailure::None:
      break;
    case MessageFailure::AccessTableRead:
      out.broken = "messages: stopped at message " + stopped_entry(messages.text()) +
                   ": its group pointer lies past the end of the image";
      break;
    case MessageFailure::DataRead:
    case MessageFailure::WriteFailed:
      out.broken = "messages: stopped at message " + stopped_entry(messages.text()) +
                   ": its data runs past the end of the image";
      break;
  }
  if (out.broken.empty()) {
    if (!convert_text(encoding, kTextFileNames[0], messages.text(), out.converted[0], out.texts[0])) return false;
    out.count = 1;
  }

  struct ByteBank {
    const BankRecord& layout;
    const char* name;
  };
  for (const ByteBank& bank : {ByteBank{kFixedStringBank, "fixed strings"}, ByteBank{kBattleTextBank, "battle text"}}) {
    if (!out.broken.empty()) break;
    BufferedOutput& text = out.decoded[out.count];
    if (decode_byte_bank_text(cartridge, bank.layout, game_vocabulary(CodeSet::Byte), text) != ByteBankFailure::None) {
      out.broken = std::string(bank.name) + ": stopped at entry " + stopped_entry(text.text()) +
                   ": its pointer or its text runs past the end of the image";
      break;
    }
    if (!convert_text(encoding, kTextFileNames[out.count], text.text(), out.converted[out.count],
                      out.texts[out.count])) {
      return false;
    }
    ++out.count;
  }
  return true;
}

}  // namespace talvo::cli
