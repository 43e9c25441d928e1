#include "vocabulary.h"

#include <algorithm>
#include <cstring>

#include "cp932.h"
#include "token_tables.h"

namespace talvo {

Vocabulary::Vocabulary(CodeSet set, TextEncoding encoding, const std::vector<std::string>& extraction,
                       std::vector<bool> control, const CodeLookup* lookup)
    : set_(set), encoding_(encoding), control_(std::move(control)), lookup_(lookup) {
  std::size_t longest = 0;
  for (const std::string& text : extraction) longest = std::max(longest, text.size());
  // Slots of 8 bytes at the least, rounded up to 8: the game's message
  // tokens fill 8-byte slots, NUL included.
  slot_size_ = std::max<std::size_t>(8, (longest + 1 + 7) / 8 * 8);
  slots_.assign(extraction.size() * slot_size_, '\0');
  lengths_.resize(extraction.size());
  for (std::size_t code = 0; code < extraction.size(); ++code) {
    std::memcpy(slots_.data() + code * slot_size_, extraction[code].data(), extraction[code].size());
    lengths_[code] = static_cast<std::uint16_t>(extraction[code].size());
  }
}

namespace {

// The game's tables are the only door to the compiled-in tokens: every
// other reader and writer takes one of these values.
Vocabulary make_game_vocabulary(CodeSet set, TextEncoding encoding) {
  const bool messages = set == CodeSet::Message;
  std::vector<std::string> extraction(code_count(set));
  std::vector<bool> control(code_count(set));
  for (std::size_t code = 0; code < extraction.size(); ++code) {
    std::string token = messages ? message_extraction_table()[code].data() : byte_extraction_table()[code].data();
    // Message codes below 0x200 are the game's controls; of the byte codes,
    // those its table writes as hexadecimal tokens.
    control[code] = messages ? code < 0x200 : token.front() == '[';
    if (encoding == TextEncoding::Utf8) token = sjis_to_utf8_text(token).utf8;
    extraction[code] = std::move(token);
  }
  return Vocabulary(set, encoding, extraction, std::move(control),
                    messages ? &message_code_lookup() : &byte_code_lookup());
}

}  // namespace

// Each made when first asked for: a program that extracts messages alone
// makes one.
const Vocabulary& game_vocabulary(CodeSet set, TextEncoding encoding) {
  const bool sjis = encoding == TextEncoding::ShiftJis;
  if (set == CodeSet::Message) {
    if (sjis) {
      static const Vocabulary kMessages = make_game_vocabulary(CodeSet::Message, TextEncoding::ShiftJis);
      return kMessages;
    }
    static const Vocabulary kMessagesUtf8 = make_game_vocabulary(CodeSet::Message, TextEncoding::Utf8);
    return kMessagesUtf8;
  }
  if (sjis) {
    static const Vocabulary kBytes = make_game_vocabulary(CodeSet::Byte, TextEncoding::ShiftJis);
    return kBytes;
  }
  static const Vocabulary kBytesUtf8 = make_game_vocabulary(CodeSet::Byte, TextEncoding::Utf8);
  return kBytesUtf8;
}

Vocabularies game_vocabularies(TextEncoding encoding) {
  return {game_vocabulary(CodeSet::Message, encoding), game_vocabulary(CodeSet::Byte, encoding)};
}

}  // namespace talvo
