// The fixed-string and battle-text decoders over hand-made cartridge data.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "banks.h"
#include "byte_bank_decoder.h"
#include "vocabulary.h"

namespace talvo {
namespace {

// A bank whose every group pointer is 0, so that every group reads the same
// entries from the start of the bank's data; tests then write those bytes.
class Bank {
 public:
  explicit Bank(const BankRecord& layout) : layout_(layout), bytes_(0x400000, 0) {
    for (std::uint32_t i = 0; i < 0x1000; ++i) set_data(i, 0xAC);
  }
  void set_pointer(std::size_t group, std::uint32_t p) {
    const std::size_t at = layout_.pointer_table + 3 * group;
    bytes_.at(at) = static_cast<std::uint8_t>(p & 0xFF);
    bytes_.at(at + 1) = static_cast<std::uint8_t>(p >> 8 & 0xFF);
    bytes_.at(at + 2) = static_cast<std::uint8_t>(p >> 16 & 0xFF);
  }
  void set_data(std::size_t offset, std::vector<std::uint8_t> data) {
    for (std::uint8_t b : data) bytes_.at(layout_.data + offset++) = b;
  }
  void set_data(std::size_t offset, std::uint8_t b) { bytes_.at(layout_.data + offset) = b; }
  void resize(std::size_t size) { bytes_.resize(size); }

  std::pair<ByteBankFailure, std::string> decode() const {
    BufferedOutput out;
    const ByteBankFailure failure = decode_byte_bank_text(bytes_, layout_, game_vocabulary(CodeSet::Byte), out);
    return {failure, std::string(out.text())};
  }

 private:
  BankRecord layout_;
  std::vector<std::uint8_t> bytes_;
};

// Line n of the text: header, tokens, line feed.
std::string line(const std::string& text, std::size_t n) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < n; ++i) start = text.find('\n', start) + 1;
  return text.substr(start, text.find('\n', start) + 1 - start);
}

TEST(ByteBankDecoder, EntriesOfAGroupFollowOneAnother) {
  Bank bank(kFixedStringBank);
  bank.set_data(0, {0x11, 0x16, 0xAC, 0xAC, 0x0C, 0xAE, 0x0D, 0xAC});  // かさ / (empty) / あ[AE]い
  const auto [failure, text] = bank.decode();
  ASSERT_EQ(failure, ByteBankFailure::None);
  EXPECT_EQ(line(text, 0), "(0x0000)\x82\xA9\x82\xB3[AC]\n");
  EXPECT_EQ(line(text, 1), "(0x0001)[AC]\n");
  EXPECT_EQ(line(text, 2), "(0x0002)\x82\xA0[AE]\x82\xA2[AC]\n");  // 0xAE does not end a fixed string
  EXPECT_EQ(line(text, 16), "(0x0010)\x82\xA9\x82\xB3[AC]\n");     // group 1 starts over
  EXPECT_EQ(line(text, 957), "(0x03BD)[AC]\n");
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 958);
}

TEST(ByteBankDecoder, BattleTextEndsAtEitherTerminator) {
  Bank bank(kBattleTextBank);
  bank.set_data(0, {0x0C, 0xAE, 0x0D, 0xAC, 0xAE});
  const auto [failure, text] = bank.decode();
  ASSERT_EQ(failure, ByteBankFailure::None);
  EXPECT_EQ(line(text, 0), "(0x0000)\x82\xA0[AE]\n");
  EXPECT_EQ(line(text, 1), "(0x0001)\x82\xA2[AC]\n");
  EXPECT_EQ(line(text, 2), "(0x0002)[AE]\n");
  EXPECT_EQ(line(text, 374), "(0x0176)[AC]\n");
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 375);
}

TEST(ByteBankDecoder, LastGroupAndPointers) {
  Bank bank(kFixedStringBank);
  bank.set_pointer(59, 0x100);
  bank.set_data(0x100, {0xAE, 0xAC});
  bank.set_data(0x100 + 2 + 12, {0x43, 0x44, 0xAC});  // entry 957: after 13 skipped entries
  const auto [failure, text] = bank.decode();
  ASSERT_EQ(failure, ByteBankFailure::None);
  EXPECT_EQ(line(text, 944), "(0x03B0)[AE][AC]\n");
  EXPECT_EQ(line(text, 957), "(0x03BD)\x83\x41\x83\x43[AC]\n");
}

TEST(ByteBankDecoder, LongEntriesAreWrittenWhole) {
  Bank bank(kFixedStringBank);
  std::vector<std::uint8_t> entry(600, 0x0C);
  entry.push_back(0xAC);
  bank.set_data(0, entry);
  const auto [failure, text] = bank.decode();
  ASSERT_EQ(failure, ByteBankFailure::None);
  EXPECT_EQ(line(text, 0).size(), 8 + 600 * 2 + 4 + 1u);
}

TEST(ByteBankDecoder, DataPastTheEndOfTheImageStops) {
  struct Case {
    const char* what;
    BankRecord layout;
    std::size_t group;
    std::uint32_t pointer;
    const char* last_header;
  };
  const Case cases[] = {
      {"fixed-string pointer past the end", kFixedStringBank, 2, 0xFFFFFF, "(0x0020)"},
      {"battle pointer past the end", kBattleTextBank, 46, 0xFFFFFF, "(0x0170)"},
  };
  for (const Case& c : cases) {
    Bank bank(c.layout);
    bank.set_pointer(c.group, c.pointer);
    const auto [failure, text] = bank.decode();
    EXPECT_EQ(failure, ByteBankFailure::ReadFailed) << c.what;
    EXPECT_EQ(text.substr(text.size() - 8), c.last_header) << c.what;
  }

  // An entry without a terminator before the end of the image.
  Bank bank(kFixedStringBank);
  bank.set_pointer(1, 0x13000);
  for (std::uint32_t i = 0x13000; i < 0x13049; ++i) bank.set_data(i, 0x0C);
  const auto [failure, text] = bank.decode();
  EXPECT_EQ(failure, ByteBankFailure::ReadFailed);
  EXPECT_EQ(text.substr(text.size() - 8), "(0x0010)");
}

}  // namespace
}  // namespace talvo
