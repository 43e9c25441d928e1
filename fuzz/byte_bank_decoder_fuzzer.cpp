// The fixed-string and battle-text decoders over edited images: a pointer
// table, the bank's bytes or the image length changed by the fuzz input.
//
// Input: one byte picks the bank (bit 0) and the good image (bit 1), the
// rest are edits (cartridge_edits.h).
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "banks.h"
#include "byte_bank_decoder.h"
#include "cartridge_edits.h"
#include "fuzz_check.h"
#include "fuzz_regions.h"
#include "image_builder.h"
#include "reference_byte_bank_walk.h"
#include "text_format.h"
#include "vocabulary.h"

namespace {

using namespace talvo;

struct GoodImage {
  fuzz::CartridgeEditor editor;
  std::string expected_fixed_strings;
  std::string expected_battle_text;
};

// Built once per process: the builder's images take a while to make.
GoodImage& good_image(unsigned which) {
  static std::unique_ptr<GoodImage> images[2];
  if (!images[which]) {
    const builder::ImageContent content = which == 0 ? builder::random_content(3) : builder::every_code_content(1);
    auto image = which == 0 ? builder::build_image(content, builder::ImageSize::Plain4Mb, 3)
                            : builder::build_image(content, builder::ImageSize::Plain6Mb);
    images[which] = std::make_unique<GoodImage>(GoodImage{fuzz::CartridgeEditor(std::move(image)),
                                                          builder::expected_fixed_string_text(content),
                                                          builder::expected_battle_text(content)});
  }
  return *images[which];
}

bool is_terminator_token(std::string_view token, const BankRecord& bank) {
  return token == "[AC]" || ((bank.bank == Bank::BattleText) && token == "[AE]");
}

// Every line holds one entry: its header, then tokens up to the first
// terminator, which ends it. A failed read leaves the header of the entry
// being read, and nothing of its bytes.
void check_text(std::string_view text, ByteBankFailure failure, const BankRecord& bank) {
  FUZZ_CHECK(failure != ByteBankFailure::WriteFailed);  // no file: nothing to fail
  char header[16];
  std::size_t at = 0;
  std::uint32_t entry = 0;
  for (;; ++entry) {
    const std::string_view expected_header = text_format::format_header(text_format::kHeaderFormat, entry, header);
    if (failure == ByteBankFailure::None && entry == bank.entries) break;
    FUZZ_CHECK(entry < bank.entries);
    FUZZ_CHECK(text.substr(at).starts_with(expected_header));
    at += expected_header.size();
    const std::size_t line_end = text.find('\n', at);
    if (line_end == std::string_view::npos) break;
    // Tokens: a character of two bytes, or a control code in brackets.
    bool ended = false;
    while (at < line_end) {
      FUZZ_CHECK(!ended);
      const std::size_t length = text[at] == '[' ? 4 : 2;
      FUZZ_CHECK(at + length <= line_end);
      ended = is_terminator_token(text.substr(at, length), bank);
      at += length;
    }
    FUZZ_CHECK(ended);
    at = line_end + 1;
  }
  FUZZ_CHECK(at == text.size());
  if (failure == ByteBankFailure::None) FUZZ_CHECK(entry == bank.entries);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::InputReader input(std::span(data, size));
  const std::uint8_t choice = input.byte();
  const BankRecord& bank = (choice & 1) == 0 ? kFixedStringBank : kBattleTextBank;
  GoodImage& image = good_image(choice >> 1 & 1);
  const auto regions = fuzz::byte_bank_regions(bank);
  const std::span<const std::uint8_t> cartridge = image.editor.apply(input, regions);

  BufferedOutput out;
  const ByteBankFailure failure = decode_byte_bank_text(cartridge, bank, game_vocabulary(CodeSet::Byte), out);
  check_text(out.text(), failure, bank);
  std::string reference;
  FUZZ_CHECK(fuzz::reference_byte_bank_walk(cartridge, bank, reference) == failure);
  FUZZ_CHECK(out.text() == reference);
  if (image.editor.edit_count() == 0) {
    FUZZ_CHECK(failure == ByteBankFailure::None);
    FUZZ_CHECK(out.text() ==
               ((bank.bank == Bank::BattleText) ? image.expected_battle_text : image.expected_fixed_strings));
  }
  return 0;
}
