#include "extractor.h"

#include <memory>

#include "banks.h"
#include "byte_bank_decoder.h"
#include "extractor_texts.h"
#include "message_decoder.h"
#include "output_files.h"
#include "program_texts.h"
#include "text_format.h"
#include "vocabulary.h"

namespace talvo {
namespace {

void show_error(const char* text) { platform::message_box(text, texts::kErrorCaption, platform::BoxStyle::IconError); }

// Writes what is still gathered and closes the file. A write that failed
// anywhere, the late one that some file systems report only at the close
// included, is reported over any later failure: it came first.
bool finish_output(BufferedOutput& out, platform::FileHandle& file, const char* name) {
  const bool written = out.flush();
  const bool closed = platform::close(file);
  if (!written || !closed) report_write_failure(name);
  return written && closed;
}

bool decode_byte_bank(const RomImage& image, const BankRecord& bank, const char* name) {
  platform::FileHandle file = create_output_file(name);
  if (!file.valid()) return false;
  BufferedOutput out = file_output(file);
  const ByteBankFailure failure = decode_byte_bank_text(image.cartridge(), bank, game_vocabulary(CodeSet::Byte), out);
  if (!finish_output(out, file, name)) return false;
  if (failure == ByteBankFailure::ReadFailed) show_error(texts::kFixedStringReadFailed);
  return failure == ByteBankFailure::None;
}

}  // namespace

bool decode_messages(const RomImage& image) {
  const auto tree = std::make_unique<MessageTree>();
  switch (load_message_tree(image.cartridge(), *tree)) {
    case TreeLoad::Ok:
      break;
    case TreeLoad::ReadFailed:
      show_error(texts::kTreeReadFailed);
      show_error(texts::kTreeExpandFailed);
      return false;
    case TreeLoad::Invalid:
      show_error(texts::kTreeExpandFailed);
      return false;
  }
  const char* name = text_format::kMessageFileName;
  platform::FileHandle file = create_output_file(name);
  if (!file.valid()) return false;
  BufferedOutput out = file_output(file);
  const MessageFailure failure = decode_message_text(image.cartridge(), *tree, game_vocabulary(CodeSet::Message), out);
  if (!finish_output(out, file, name)) return false;
  if (failure == MessageFailure::AccessTableRead) show_error(texts::kAccessTableReadFailed);
  if (failure == MessageFailure::DataRead) show_error(texts::kMessageDataReadFailed);
  return failure == MessageFailure::None;
}

bool decode_fixed_strings(const RomImage& image) {
  return decode_byte_bank(image, kFixedStringBank, text_format::kFixedStringFileName);
}

bool decode_battle_text(const RomImage& image) {
  return decode_byte_bank(image, kBattleTextBank, text_format::kBattleTextFileName);
}

int run_extractor() {
  RomImage image;
  if (!open_rom_image(image)) return 0;
  if (decode_messages(image) && decode_fixed_strings(image) && decode_battle_text(image)) {
    // The image stays open, and locked, until the user has seen this.
    platform::message_box(texts::kFinishedText, texts::kFinishedCaption, platform::BoxStyle::Ok);
  }
  close_rom_image(image);
  return 0;
}

}  // namespace talvo
