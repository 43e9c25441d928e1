// talvo extract: the image's three text files, exactly as Talvo_decode
// writes them (or as UTF-8 working copies), each written whole or not at all.
#include <memory>

#include "byte_bank_decoder.h"
#include "commands.h"
#include "cp932.h"
#include "image_file.h"
#include "message_decoder.h"
#include "text_format.h"

namespace talvo::cli {
namespace {

// The number in the last header a decoder wrote: the entry it was reading
// when it stopped.
std::string stopped_entry(std::string_view text) {
  const std::size_t at = text.rfind("(0x");
  if (at == std::string_view::npos) return "its first entry";
  return std::string(text.substr(at + 1, text.find(')', at) - at - 1));
}

// Writes one extracted text, converted when a UTF-8 working copy is asked.
bool write_text(const Options& options, const char* name, std::string_view sjis) {
  std::string converted_text;
  std::string_view bytes = sjis;
  if (options.encoding == TextEncoding::Utf8) {
    SjisToUtf8Result converted = sjis_to_utf8_text(sjis);
    if (converted.failed_at) {
      // Every token of the tables is a Shift_JIS character; this cannot be.
      say(std::string(name) + ": the extracted text does not convert to UTF-8 at byte " +
          std::to_string(*converted.failed_at));
      return false;
    }
    converted_text = std::move(converted.utf8);
    bytes = converted_text;
  }
  const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
  return write_outputs({{in_folder(options.output, name), {data, bytes.size()}}}, {options.image});
}

}  // namespace

int run_extract(const Options& options) {
  ImageFile image;
  if (!read_image(options.image, image)) return kFailure;
  const std::span<const std::uint8_t> cartridge = image.cartridge();

  const auto tree = std::make_unique<MessageTree>();
  switch (load_message_tree(cartridge, *tree)) {
    case TreeLoad::Ok:
      break;
    case TreeLoad::ReadFailed:
      say(options.image + ": the message tree cannot be read: it lies past the end of the image");
      return kFailure;
    case TreeLoad::Invalid:
      say(options.image + ": the message tree is broken: a branch leads past node 1001 or to a code past 0x60B");
      return kFailure;
  }
  BufferedOutput messages;
  switch (decode_message_text(cartridge, *tree, messages)) {
    case MessageFailure::None:
      break;
    case MessageFailure::AccessTableRead:
      say(options.image + ": messages: stopped at message " + stopped_entry(messages.text()) +
          ": its group pointer lies past the end of the image");
      return kFailure;
    case MessageFailure::DataRead:
    case MessageFailure::WriteFailed:
      say(options.image + ": messages: stopped at message " + stopped_entry(messages.text()) +
          ": its data runs past the end of the image");
      return kFailure;
  }
  if (!write_text(options, text_format::kMessageFileName, messages.text())) return kFailure;

  struct ByteBank {
    const rom::ByteBankLayout& layout;
    const char* file_name;
    const char* name;
  };
  for (const ByteBank& bank : {ByteBank{rom::kFixedStrings, text_format::kFixedStringFileName, "fixed strings"},
                               ByteBank{rom::kBattleText, text_format::kBattleTextFileName, "battle text"}}) {
    BufferedOutput text;
    if (decode_byte_bank_text(cartridge, bank.layout, text) != ByteBankFailure::None) {
      say(options.image + ": " + bank.name + ": stopped at entry " + stopped_entry(text.text()) +
          ": its pointer or its text runs past the end of the image");
      return kFailure;
    }
    if (!write_text(options, bank.file_name, text.text())) return kFailure;
  }
  return kSuccess;
}

}  // namespace talvo::cli
