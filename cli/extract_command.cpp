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

// One extracted text as it is written: the decoder's own, or converted into
// `converted` when a UTF-8 working copy is asked.
bool convert_text(const Options& options, const char* name, std::string_view sjis, std::string& converted_text,
                  std::string_view& out) {
  out = sjis;
  if (options.encoding == TextEncoding::ShiftJis) return true;
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

int run_extract(const Options& options) {
  const char* const names[] = {text_format::kMessageFileName, text_format::kFixedStringFileName,
                               text_format::kBattleTextFileName};
  std::vector<NamedPath> outputs;
  for (const char* name : names) outputs.push_back({in_folder(options.output, name), name});
  if (!outputs_are_safe(outputs, {{options.image, "the input image"}})) return kUsage;
  ImageFile image;
  if (!read_image(options.image, image)) return kFailure;
  const std::span<const std::uint8_t> cartridge = image.cartridge();

  // The banks are decoded first and written together, so that a failure to
  // write (a full disk) leaves every file there was as it was. A broken
  // bank stops the pass; the banks before it are still written.
  BufferedOutput decoded_texts[3];
  std::string converted[3];
  std::string_view texts[3];
  std::size_t decoded = 0;
  std::string broken;
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
  BufferedOutput& messages = decoded_texts[0];
  switch (decode_message_text(cartridge, *tree, messages)) {
    case MessageFailure::None:
      break;
    case MessageFailure::AccessTableRead:
      broken = "messages: stopped at message " + stopped_entry(messages.text()) +
               ": its group pointer lies past the end of the image";
      break;
    case MessageFailure::DataRead:
    case MessageFailure::WriteFailed:
      broken = "messages: stopped at message " + stopped_entry(messages.text()) +
               ": its data runs past the end of the image";
      break;
  }
  if (broken.empty()) {
    if (!convert_text(options, names[0], messages.text(), converted[0], texts[0])) return kFailure;
    decoded = 1;
  }

  struct ByteBank {
    const rom::ByteBankLayout& layout;
    const char* name;
  };
  for (const ByteBank& bank :
       {ByteBank{rom::kFixedStrings, "fixed strings"}, ByteBank{rom::kBattleText, "battle text"}}) {
    if (!broken.empty()) break;
    BufferedOutput& text = decoded_texts[decoded];
    if (decode_byte_bank_text(cartridge, bank.layout, text) != ByteBankFailure::None) {
      broken = std::string(bank.name) + ": stopped at entry " + stopped_entry(text.text()) +
               ": its pointer or its text runs past the end of the image";
      break;
    }
    if (!convert_text(options, names[decoded], text.text(), converted[decoded], texts[decoded])) return kFailure;
    ++decoded;
  }

  std::vector<OutputFile> files;
  for (std::size_t i = 0; i < decoded; ++i) {
    files.push_back({outputs[i].path, {reinterpret_cast<const std::uint8_t*>(texts[i].data()), texts[i].size()}});
  }
  if (!files.empty() && !write_outputs(files, {options.image})) return kFailure;
  if (!broken.empty()) {
    say(options.image + ": " + broken);
    return kFailure;
  }
  return kSuccess;
}

}  // namespace talvo::cli
