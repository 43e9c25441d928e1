#include "encoder_engine.h"

#include <cinttypes>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "banks.h"
#include "buffered_output.h"
#include "encoder_texts.h"
#include "input_files.h"
#include "output_files.h"
#include "program_texts.h"
#include "text_bank_parser.h"
#include "vocabulary.h"

namespace talvo {
namespace {

constexpr std::size_t kReadBlock = 1 << 16;

void show_error(const std::string& text) {
  platform::message_box(text.c_str(), texts::kErrorCaption, platform::BoxStyle::IconError);
}

void report(const ParseFailure& failure, const EncoderVariant& variant) {
  char position[64];
  std::snprintf(position, sizeof position, texts::kPositionFormat, static_cast<unsigned long long>(failure.position));
  if (failure.kind == ParseFailure::Kind::UnknownToken) {
    show_error(texts::kUnusedCharacterText + std::string(position) + failure.gathered);
  } else {
    show_error(texts::kBankTooLargeText + std::string(variant.index_file_name));
  }
}

enum class ReadResult { Complete, Stopped, Failed };

// Reads the input in blocks and hands them to the parser. A read that fails,
// or that delivers nothing before the size is reached (the file shrank), is
// a read failure: no byte is ever made up.
ReadResult read_through(const EncoderInput& input, TextBankParser& parser) {
  if (input.size == 0) return ReadResult::Complete;
  if (!platform::set_position(input.file, 0)) return ReadResult::Failed;
  // Not zeroed first: the reads fill it.
  const std::unique_ptr<std::uint8_t[]> block(new std::uint8_t[kReadBlock]);
  std::uint64_t remaining = input.size;
  while (remaining > 0) {
    const std::size_t wanted = remaining < kReadBlock ? static_cast<std::size_t>(remaining) : kReadBlock;
    std::size_t delivered = 0;
    const bool read = platform::read(input.file, block.get(), wanted, delivered);
    // What did arrive is parsed first, so that a failure in it is reported
    // where it stands.
    if (!parser.feed(std::span(block.get(), delivered))) return ReadResult::Stopped;
    if (!read || delivered == 0) return ReadResult::Failed;
    remaining -= delivered;
  }
  return ReadResult::Complete;
}

}  // namespace

bool encode_text_bank(const EncoderVariant& variant, const EncoderInput& input) {
  platform::FileHandle bank_file = create_output_file(variant.bank_file_name);
  if (!bank_file.valid()) return false;
  platform::FileHandle index_file = create_output_file(variant.index_file_name);
  if (!index_file.valid()) {
    platform::close(bank_file);
    return false;
  }
  BufferedOutput bank = file_output(bank_file);
  BufferedOutput index = file_output(index_file);
  TextBankParser parser(variant, game_vocabulary(variant.token_table), bank, index);
  const ReadResult result = read_through(input, parser);

  // Whatever was encoded before a failure stays in the files. A write that
  // failed (a late one reported at the close included) came before any later
  // failure, so it is the one reported.
  const bool bank_written = bank.flush() && platform::close(bank_file);
  const bool index_written = index.flush() && platform::close(index_file);
  platform::close(bank_file);  // where a flush failed, the file is still open
  platform::close(index_file);
  if (!bank_written || !index_written) {
    report_write_failure(!bank_written ? variant.bank_file_name : variant.index_file_name);
    return false;
  }
  if (result == ReadResult::Stopped) report(parser.failure(), variant);
  if (result == ReadResult::Failed) show_error(texts::kReadFailedText);
  return result == ReadResult::Complete;
}

bool select_text_file(char* path, std::size_t capacity) {
  return select_input_file({texts::kTextFilter, texts::kTextPattern}, path, capacity);
}

bool open_text_input(EncoderInput& input) {
  input.file = open_selected_input(select_text_file, texts::kTextInitialName);
  if (!input.file.valid()) return false;
  // A file whose size cannot be taken cannot be read either.
  if (!platform::file_size(input.file, input.size)) {
    platform::close(input.file);
    platform::message_box(texts::kOpenFailedText, texts::kOpenFailedCaption, platform::BoxStyle::IconError);
    return false;
  }
  return true;
}

int run_encoder(const EncoderVariant& variant) {
  EncoderInput input;
  if (!open_text_input(input)) return 0;
  if (encode_text_bank(variant, input)) {
    // The text file stays open, and locked, until the user has seen this.
    platform::message_box(texts::kFinishedText, texts::kFinishedCaption, platform::BoxStyle::Ok);
  }
  platform::close(input.file);
  return 0;
}

}  // namespace talvo
