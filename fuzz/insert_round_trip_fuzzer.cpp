// Insertion of random text into a good builder image: the extractor must read
// the new image back as that text, or insertion must refuse for a reason the
// text gives (it does not fit, it has too many distinct codes, an extra
// region it was given is unusable). A verification failure, or any other
// refusal, is a fault.
//
// Input: one byte of flags, then, when bit 7 is set, an extra region (bank
// byte, start u24, length u16); the rest is cut in three, one part per bank:
//   bits 0-1  the image: short random messages (4 MB), the sample text (4 MB
//             with copier header), every code (6 MB)
//   bits 2-4  which banks are given: messages, fixed strings, battle text
//   bits 5-6  how the messages' codes are made: any code; a dozen codes; a
//             sweep over a span of codes (can pass the tree's limit); the
//             image's own messages with edits
// Message and entry lengths, codes and end codes all come from the input; an
// exhausted part reads as zeros, so every later entry is its end code alone.
#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "banks.h"
#include "buffered_output.h"
#include "byte_bank_decoder.h"
#include "fuzz_check.h"
#include "image_builder.h"
#include "input_reader.h"
#include "insertion.h"
#include "message_decoder.h"
#include "rom_layout.h"
#include "token_tables.h"
#include "vocabulary.h"

namespace {

using namespace talvo;
using fuzz::InputReader;

struct GoodImage {
  builder::ImageContent content;
  std::vector<std::uint8_t> image;
  std::size_t header = 0;
  // What the extractor writes for it, bank by bank: rendered once, since
  // most inputs leave some banks as they are.
  std::string messages, fixed_strings, battle_text;
};

// Built once per process: the builder's images take a while to make.
const GoodImage& good_image(unsigned which) {
  static std::unique_ptr<GoodImage> images[3];
  if (!images[which]) {
    auto good = std::make_unique<GoodImage>();
    if (which == 0) {
      good->content = builder::random_content(1);
      for (auto& message : good->content.messages) {
        if (message.size() > 3) message.erase(message.begin() + 2, message.end() - 1);
      }
      good->image = builder::build_image(good->content, builder::ImageSize::Plain4Mb, 1);
    } else if (which == 1) {
      good->content = builder::sample_content();
      good->image = builder::build_image(good->content, builder::ImageSize::CopierHeader4Mb);
      good->header = rom::kCopierHeaderSize;
    } else {
      good->content = builder::every_code_content(0);
      good->image = builder::build_image(good->content, builder::ImageSize::Plain6Mb, 2);
    }
    good->messages = builder::expected_message_text(good->content);
    good->fixed_strings = builder::expected_fixed_string_text(good->content);
    good->battle_text = builder::expected_battle_text(good->content);
    images[which] = std::move(good);
  }
  return *images[which];
}

bool is_message_end(std::uint16_t code) { return code == rom::kMessageEnd || code == rom::kMessageEndAlt; }

std::uint16_t message_end(std::uint8_t byte) { return byte & 1 ? rom::kMessageEndAlt : rom::kMessageEnd; }

std::vector<std::vector<std::uint16_t>> make_messages(InputReader& input, unsigned mode,
                                                      const std::vector<std::vector<std::uint16_t>>& own) {
  std::vector<std::vector<std::uint16_t>> messages(rom::kMessageCount);
  if (mode == 3) {  // the image's own messages, edited: a code replaced, put in or taken out
    messages = own;
    while (input.remaining() >= 5) {
      auto& message = messages[input.u16() % rom::kMessageCount];
      const std::uint8_t op = input.byte();
      auto code = static_cast<std::uint16_t>(input.u16() % kMessageCodeCount);
      if (is_message_end(code)) code = 0x200;
      const auto at = static_cast<std::ptrdiff_t>(op / 3 % message.size());
      if (op % 3 == 0) message.insert(message.begin() + at, code);
      if (op % 3 == 1 && message.size() > 1 && at + 1 < static_cast<std::ptrdiff_t>(message.size())) {
        message.erase(message.begin() + at);
      }
      if (op % 3 == 2 && at + 1 < static_cast<std::ptrdiff_t>(message.size())) message[at] = code;
    }
    return messages;
  }
  const std::uint32_t span = input.u16() % 1100 + 1;
  const std::uint32_t step = input.byte() + 1u;
  std::uint32_t sweep = 0;
  for (auto& message : messages) {
    const std::uint8_t shape = input.byte();
    for (unsigned k = 0; k < shape % 8u; ++k) {
      std::uint16_t code = 0;
      if (mode == 0) code = static_cast<std::uint16_t>(input.u16() % kMessageCodeCount);
      if (mode == 1) code = static_cast<std::uint16_t>(0x200 + input.byte() % 12);
      if (mode == 2) code = static_cast<std::uint16_t>(0x100 + (sweep += step) % span);
      message.push_back(is_message_end(code) ? std::uint16_t{0x201} : code);
    }
    message.push_back(message_end(shape >> 3));
  }
  return messages;
}

std::vector<std::vector<std::uint8_t>> make_byte_bank(InputReader& input, const BankRecord& layout) {
  std::vector<std::vector<std::uint8_t>> entries(layout.entries);
  for (auto& entry : entries) {
    const std::uint8_t shape = input.byte();
    for (unsigned k = 0; k < shape % 12u; ++k) {
      const std::uint8_t code = input.byte();
      entry.push_back(layout.is_end(code) ? std::uint8_t{0x0C} : code);
    }
    entry.push_back((layout.bank == Bank::BattleText) && (shape & 0x80) ? 0xAE : 0xAC);
  }
  return entries;
}

std::string extracted(std::span<const std::uint8_t> cartridge, const BankRecord* bank) {
  BufferedOutput out;
  if (bank == nullptr) {
    const auto tree = std::make_unique<MessageTree>();
    if (load_message_tree(cartridge, *tree) != TreeLoad::Ok) return "<tree>";
    decode_message_text(cartridge, *tree, game_vocabulary(CodeSet::Message), out);
  } else {
    decode_byte_bank_text(cartridge, *bank, game_vocabulary(CodeSet::Byte), out);
  }
  return std::string(out.text());
}

std::size_t distinct_codes(const std::vector<std::vector<std::uint16_t>>& messages) {
  std::array<bool, kMessageCodeCount> used{};
  std::size_t distinct = 0;
  for (const auto& message : messages) {
    for (std::uint16_t code : message) distinct += used[code] ? 0 : 1, used[code] = true;
  }
  return distinct;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  InputReader input(std::span(data, size));
  const std::uint8_t flags = input.byte();
  const GoodImage& good = good_image(flags % 4 % 3);
  const std::span<const std::uint8_t> cartridge = std::span(good.image).subspan(good.header);

  insert::Options options;
  if (flags & 0x80) {
    const auto bank = static_cast<Bank>(input.byte() % 3);
    const std::uint32_t start = input.u24() % static_cast<std::uint32_t>(cartridge.size());
    options.extra_room.push_back({bank, {start, start + input.u16() + 1}});
  }
  const std::size_t third = input.remaining() / 3;
  InputReader message_input(input.bytes(third));
  InputReader fixed_input(input.bytes(third));
  InputReader battle_input(input.bytes(input.remaining()));

  insert::NewText text;
  if (flags & 0x04) text.messages = make_messages(message_input, flags >> 5 & 3, good.content.messages);
  if (flags & 0x08) text.fixed_strings = make_byte_bank(fixed_input, kFixedStringBank);
  if (flags & 0x10) text.battle_text = make_byte_bank(battle_input, kBattleTextBank);

  const insert::Outcome outcome = insert::insert_text(cartridge, text, options);
  if (const auto* done = std::get_if<insert::Inserted>(&outcome)) {
    FUZZ_CHECK(done->cartridge.size() == cartridge.size());
    // The builder renders what each bank given must read as; the others
    // read as they did.
    FUZZ_CHECK(extracted(done->cartridge, nullptr) ==
               (text.messages ? builder::message_text(*text.messages) : good.messages));
    FUZZ_CHECK(extracted(done->cartridge, &kFixedStringBank) ==
               (text.fixed_strings ? builder::byte_bank_text(*text.fixed_strings) : good.fixed_strings));
    FUZZ_CHECK(extracted(done->cartridge, &kBattleTextBank) ==
               (text.battle_text ? builder::byte_bank_text(*text.battle_text) : good.battle_text));
    return 0;
  }
  const insert::Refusal& refusal = std::get<insert::Refusal>(outcome);
  if (const auto* too_many = std::get_if<insert::TooManyCodes>(&refusal)) {
    FUZZ_CHECK(text.messages && too_many->distinct == distinct_codes(*text.messages));
    FUZZ_CHECK(too_many->distinct > too_many->limit && too_many->rarest.size() == too_many->distinct - too_many->limit);
    return 0;
  }
  if (const auto* overflow = std::get_if<insert::DoesNotFit>(&refusal)) {
    const auto& banks = overflow->report.banks;
    FUZZ_CHECK(std::any_of(banks.begin(), banks.end(), [](const insert::BankFit& fit) { return !fit.fits; }));
    return 0;
  }
  FUZZ_CHECK(std::holds_alternative<insert::BadRegion>(refusal) && !options.extra_room.empty());
  return 0;
}
