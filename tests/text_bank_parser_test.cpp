// The text parser of the encoders, on texts written here. Every case runs
// twice: the whole text at once, and one byte per read, so that pairs,
// tokens and headers split between reads are covered too.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "banks.h"
#include "check_agreement.h"
#include "support/sjis.h"
#include "text_bank_parser.h"
#include "vocabulary.h"

namespace talvo {
namespace {

using testing::to_sjis;
using Kind = ParseFailure::Kind;

struct Parsed {
  std::string bank;
  std::string index;
  ParseFailure failure;
};

Parsed parse(const EncoderVariant& variant, const std::string& input, std::size_t chunk) {
  BufferedOutput bank, index;
  TextBankParser parser(variant, game_vocabulary(variant.token_table), bank, index);
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(input.data());
  for (std::size_t at = 0; at < input.size(); at += chunk) {
    if (!parser.feed(std::span(bytes + at, std::min(chunk, input.size() - at)))) break;
  }
  return {std::string(bank.text()), std::string(index.text()), parser.failure()};
}

std::string message_codes(std::initializer_list<std::uint16_t> codes) {
  std::string bytes;
  for (std::uint16_t code : codes) {
    bytes += static_cast<char>(code & 0xFF);
    bytes += static_cast<char>(code >> 8);
  }
  return bytes;
}

std::string byte_codes(std::initializer_list<std::uint8_t> codes) { return std::string(codes.begin(), codes.end()); }

std::string offsets(std::initializer_list<std::uint32_t> values) {
  std::string bytes;
  for (std::uint32_t v : values) {
    bytes += static_cast<char>(v & 0xFF);
    bytes += static_cast<char>(v >> 8 & 0xFF);
    bytes += static_cast<char>(v >> 16 & 0xFF);
  }
  return bytes;
}

std::string repeat(const std::string& text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

struct Case {
  const char* what;
  const EncoderVariant& variant;
  std::string input;
  std::string bank;
  std::string index;
  Kind failure = Kind::None;
  std::uint64_t position = 0;
  std::string gathered = {};
};

const EncoderVariant& kMsg = kMessageVariant;
const EncoderVariant& kStr = kFixedStringVariant;
const EncoderVariant& kBtl = kBattleTextVariant;

std::vector<Case> cases() {
  const std::string a = to_sjis("あ"), i = to_sjis("い");
  return {
      {"an empty file", kMsg, "", "", ""},
      {"nine headers and nothing else", kMsg, repeat("(0x0000)\n", 9), "", offsets({0, 0})},
      {"a fixed string", kStr, to_sjis("(0x0000)アイ[AC]\n"), byte_codes({0x43, 0x44, 0xAC}), offsets({0})},
      {"a message as the extractor writes it", kMsg, to_sjis("(0x0000)\nあ[00AD]\nい[00AC]\n\n(0x0001)\n"),
       message_codes({0x510, 0x0AD, 0x5D2, 0x0AC}), offsets({0})},
      {"CR LF line ends", kMsg, to_sjis("(0x0000)\r\nあ[00AD]\r\nい[00AC]\r\n\r\n(0x0001)\r\n"),
       message_codes({0x510, 0x0AD, 0x5D2, 0x0AC}), offsets({0})},
      {"blank lines and a whole entry on one line", kStr, to_sjis("\n\n(0x0000)ア\nイ\n\n[AC]"),
       byte_codes({0x43, 0x44, 0xAC}), offsets({0})},
      {"header digits are not read", kBtl,
       to_sjis(std::string("()あ(0x9999)い(junk)う") + repeat("()", 6) + "(0x0001)え"),
       byte_codes({0x0C, 0x0D, 0x0E, 0x0F}), offsets({0, 3})},
      {"the index entry of header 16 in fixed strings", kStr, repeat(std::string("()") + a, 17),
       std::string(17, '\x0C'), offsets({0, 16})},
      {"text before the first header", kMsg, a + std::string("()") + i, message_codes({0x510, 0x5D2}), offsets({2})},
      {"a message end token", kMsg, "[00AC]\n", message_codes({0x0AC}), ""},
      {"a character in brackets", kMsg, std::string("[") + a + "]", message_codes({0x510}), ""},
      {"named tokens and the double hyphen", kMsg, "[Heart][Ex][10][Lv]--ExLv10",
       message_codes({0x5FE, 0x525, 0x539, 0x579, 0x532, 0x525, 0x579, 0x539}), ""},
      {"byte control codes without brackets", kStr, a + std::string("AC") + i + "[7A]",
       byte_codes({0x0C, 0xAC, 0x0D, 0x7A}), ""},
      {"second bytes 0x5B and 0x5D in running text", kMsg, to_sjis("ーゼゾ望"),
       message_codes({0x535, 0x5E4, 0x543, 0x24A}), ""},
      {"ー in a byte bank", kBtl, to_sjis("ー"), byte_codes({0x7D}), ""},
      {"a NUL after a token's text is its end", kStr, std::string("[AC\0\0]", 6), byte_codes({0xAC}), ""},
      {"an ASCII ( swallows text up to the next )", kBtl, to_sjis("()あ(いう)え"), byte_codes({0x0C, 0x0F}),
       offsets({0})},
      {"the end of input inside a character", kMsg, a + "\x82", message_codes({0x510}), ""},
      {"the end of input inside a token", kMsg, a + "[00A", message_codes({0x510}), ""},
      {"the end of input inside a header", kMsg, repeat("()", 8) + a + "(0x0008", message_codes({0x510}), offsets({0})},

      {"a single byte before CR LF pairs with the CR", kMsg, "(0x0000)\nA\r\n", "", offsets({0}), Kind::UnknownToken,
       10, "A\r"},
      {"a half-width letter in running text", kMsg, std::string("(0x0000)") + a + std::string("A") + i,
       message_codes({0x510}), offsets({0}), Kind::UnknownToken, 11, "A\x82"},
      {"a prefix of a token", kMsg, "[Hear]", "", "", Kind::UnknownToken, 5, "Hear"},
      {"a token too long", kMsg, "[Hearts]", "", "", Kind::UnknownToken, 7, "Hearts"},
      {"a token in upper case", kMsg, "[HEART]", "", "", Kind::UnknownToken, 6, "HEART"},
      {"hexadecimal in lower case", kMsg, "[00ac]", "", "", Kind::UnknownToken, 5, "00ac"},
      {"a byte code in a message file", kMsg, "[AC]", "", "", Kind::UnknownToken, 3, "AC"},
      {"a message code in a byte file", kStr, "[00AC]", "", "", Kind::UnknownToken, 5, "00AC"},
      {"empty brackets", kMsg, "[]", "", "", Kind::UnknownToken, 1, ""},
      {"a line feed inside brackets", kMsg, "[AC\n]", "", "", Kind::UnknownToken, 4, "AC\n"},
      {"ゾ in brackets ends the token at its second byte", kMsg, std::string("[") + to_sjis("ゾ") + "]", "", "",
       Kind::UnknownToken, 2, "\x83"},
      {"a single hyphen", kMsg, std::string("-") + a, "", "", Kind::UnknownToken, 1, "-\x82"},
      {"a byte-order mark", kMsg, "\xEF\xBB\xBF(0x0000)", "", "", Kind::UnknownToken, 1, "\xEF\xBB"},
      {"a lone carriage return", kMsg, std::string("\r") + a, "", "", Kind::UnknownToken, 1, "\r\x82"},
      {"a NUL as the second byte shows the first alone", kMsg, a + std::string("A\0", 2), message_codes({0x510}), "",
       Kind::UnknownToken, 3, "A"},
      {"a NUL before a token's text hides it", kStr, std::string("[\0AC]", 5), "", "", Kind::UnknownToken, 4, ""},
      {"a token of eight bytes stops at its eighth", kMsg, "[ABCDEFGHIJKLMNOPQRST]", "", "", Kind::UnknownToken, 8,
       "ABCDEFGH"},
      {"a forgotten ] stops the token early", kMsg, std::string("[00AC") + repeat(a, 4), "", "", Kind::UnknownToken, 8,
       std::string("00AC") + a + a},
  };
}

TEST(TextBankParser, ReadsTextAsTheExtractorWritesItAndMore) {
  for (const Case& c : cases()) {
    for (std::size_t chunk : {std::size_t{1 << 16}, std::size_t{1}}) {
      const Parsed parsed = parse(c.variant, c.input, chunk);
      EXPECT_EQ(parsed.bank, c.bank) << c.what << ", read " << chunk << " at a time";
      EXPECT_EQ(parsed.index, c.index) << c.what;
      EXPECT_EQ(parsed.failure.kind, c.failure) << c.what;
      if (c.failure == Kind::None) continue;
      EXPECT_EQ(parsed.failure.position, c.position) << c.what;
      EXPECT_EQ(parsed.failure.gathered, c.gathered) << c.what;
    }
  }
}

// The checker reads with this reader; where the encoder stops, its first
// error that stops the encoder lies in the unit where it stops, and where the
// encoder reads through, it has none.
TEST(TextBankParser, CheckerAgreesWithTheEncoder) {
  for (const Case& c : cases()) {
    const BankRecord& bank = &c.variant == &kMsg   ? kMessageBank
                             : &c.variant == &kStr ? kFixedStringBank
                                                   : kBattleTextBank;
    const CheckedText checked = check_text(c.input, bank, game_vocabularies(), CheckOptions{});
    EXPECT_EQ(fuzz::check_disagreement(c.input, bank, checked), "") << c.what;
  }
}

TEST(TextBankParser, StopsWhenAnIndexEntryWouldPassThreeBytes) {
  // 2^23 two-byte codes fill the bank to 2^24 bytes; the next entry cannot be
  // written into three bytes.
  const std::string a = to_sjis("あ");
  const std::string input = std::string("()") + repeat(a, 1 << 23) + repeat("()", 8);
  const Parsed parsed = parse(kMessageVariant, input, 1 << 16);
  EXPECT_EQ(parsed.failure.kind, Kind::BankTooLarge);
  EXPECT_EQ(parsed.failure.position, input.size() - 1);
  EXPECT_EQ(parsed.index, offsets({0}));
  EXPECT_EQ(parsed.bank.size(), std::size_t{1} << 24);
}

}  // namespace
}  // namespace talvo
