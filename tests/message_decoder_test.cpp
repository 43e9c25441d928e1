// The Huffman walk over hand-made cartridge data.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "message_decoder.h"
#include "vocabulary.h"

namespace talvo {
namespace {

constexpr char kEnd[] = "[00AC]\n";
constexpr char kAi[] = "\x88\xA4";     // 愛, code 0x201
constexpr char kSpace[] = "\x81\x40";  // full-width space, code 0x200

// A cartridge whose tree is the small one below and whose every group
// pointer leads to bytes of 0xFF, so that every message is an end code
// alone unless a test says otherwise.
//   root 0 -> node 8;  node 8: 0 -> 0x201 (愛), 1 -> 0x200 (space)
//   root 1 -> end code 0x0AC
class Cartridge {
 public:
  static constexpr std::uint32_t kDefaultData = 0x1000;  // within the message data

  explicit Cartridge(std::size_t size = 0x400000) : bytes_(0x400000, 0) {
    set_entry(1001, 0x8010);  // branch to node 8
    set_entry(2003, 0x00AC);
    set_entry(8, 0x0201);
    set_entry(1010, 0x0200);
    for (std::size_t i = 0; i < 16; ++i) set_data(kDefaultData + i, 0xFF);
    for (std::uint32_t g = 0; g < rom::kMessageGroups; ++g) set_pointer(g, kDefaultData << 3 | 7);
    bytes_.resize(size);
  }

  void set_entry(std::size_t i, std::uint16_t e) {
    bytes_.at(rom::kMessageTree + 2 * i) = static_cast<std::uint8_t>(e & 0xFF);
    bytes_.at(rom::kMessageTree + 2 * i + 1) = static_cast<std::uint8_t>(e >> 8);
  }
  void set_pointer(std::uint32_t group, std::uint32_t v) {
    const std::size_t at = rom::kMessageAccessTable + 3 * group;
    bytes_.at(at) = static_cast<std::uint8_t>(v & 0xFF);
    bytes_.at(at + 1) = static_cast<std::uint8_t>(v >> 8 & 0xFF);
    bytes_.at(at + 2) = static_cast<std::uint8_t>(v >> 16 & 0xFF);
  }
  void set_data(std::size_t offset, std::uint8_t b) { bytes_.at(rom::kMessageData + offset) = b; }

  struct Decoded {
    TreeLoad tree;
    MessageFailure failure;
    std::string text;
  };
  Decoded decode() const {
    MessageTree tree;
    Decoded result{load_message_tree(bytes_, tree), MessageFailure::None, {}};
    if (result.tree != TreeLoad::Ok) return result;
    BufferedOutput out;
    result.failure = decode_message_text(bytes_, tree, game_vocabulary(CodeSet::Message), out);
    result.text = out.text();
    return result;
  }

 private:
  std::vector<std::uint8_t> bytes_;
};

// The text of message n, without its header.
std::string message(const std::string& text, unsigned n) {
  char header[16];
  std::snprintf(header, sizeof header, "(0x%04X)\n", n);
  const std::size_t start = text.find(header);
  if (start == std::string::npos) return "<missing>";
  const std::size_t body = start + std::string(header).size();
  const std::size_t end = text.find("\n(0x", body);
  return text.substr(body, end == std::string::npos ? std::string::npos : end - body);
}

TEST(MessageDecoder, WritesEveryMessageUnderItsHeader) {
  const auto decoded = Cartridge().decode();
  ASSERT_EQ(decoded.failure, MessageFailure::None);
  EXPECT_EQ(decoded.text.rfind("(0x0000)\n[00AC]\n\n(0x0001)\n[00AC]\n", 0), 0u);
  const std::string last = "\n(0x0FCE)\n[00AC]\n";
  EXPECT_EQ(decoded.text.substr(decoded.text.size() - last.size()), last);
  EXPECT_EQ(decoded.text.size(), 9 + 10 * 4046 + 7 * 4047u);
}

TEST(MessageDecoder, WorkedExampleOfOneGroup) {
  Cartridge cartridge;
  // Pointer 7: data byte 0 from bit 7. 0x30 is 0 0 1 | 1 | 0 0 0 0, and the
  // message that starts on its low bits goes on into the next byte.
  cartridge.set_pointer(0, 7);
  cartridge.set_data(0, 0x30);
  cartridge.set_data(1, 0xFF);
  const auto decoded = cartridge.decode();
  ASSERT_EQ(decoded.failure, MessageFailure::None);
  EXPECT_EQ(message(decoded.text, 0), std::string(kAi) + kEnd);
  EXPECT_EQ(message(decoded.text, 1), kEnd);
  EXPECT_EQ(message(decoded.text, 2), std::string(kAi) + kAi + kEnd);
  EXPECT_EQ(message(decoded.text, 3), kEnd);
  EXPECT_EQ(message(decoded.text, 8), kEnd);
}

struct BitCase {
  const char* what;
  std::uint32_t pointer;
  std::vector<std::uint8_t> data;
  std::vector<std::string> messages;  // of group 0, from message 0
};

TEST(MessageDecoder, StartBitAndByteBoundaries) {
  const BitCase cases[] = {
      {"low bits 0: only bit 0 of the first byte", 0, {0x00, 0x7F}, {std::string(kAi) + kEnd, kEnd}},
      {"low bits 7: the first byte whole", 7, {0x3F}, {std::string(kAi) + kEnd, kEnd, kEnd}},
      {"pointer into a later byte, a message across bytes",
       2 << 3 | 4,
       {0, 0, 0x0C, 0xFF},
       {std::string(kSpace) + kEnd, std::string(kAi) + kEnd}},
      {"end code on bit 0: the next message starts at bit 7 of the next byte",
       6,
       {0x03, 0x7F},
       {std::string(kAi) + kAi + kSpace + kEnd, std::string(kSpace) + kEnd, kEnd}},
  };
  for (const BitCase& c : cases) {
    Cartridge cartridge;
    cartridge.set_pointer(0, c.pointer);
    for (std::size_t i = 0; i < c.data.size(); ++i) cartridge.set_data(i, c.data[i]);
    const auto decoded = cartridge.decode();
    ASSERT_EQ(decoded.failure, MessageFailure::None) << c.what;
    for (unsigned n = 0; n < c.messages.size(); ++n) EXPECT_EQ(message(decoded.text, n), c.messages[n]) << c.what;
  }
}

TEST(MessageDecoder, LineBreakCodesDoNotEndAMessage) {
  Cartridge cartridge;
  cartridge.set_entry(1010, 0x00AD);  // node 8, 1 bit: a line break
  cartridge.set_entry(8, 0x00AE);     // node 8, 0 bit: the other end code
  cartridge.set_pointer(0, 7);
  cartridge.set_data(0, 0x5F);  // 01 (break) 01 (break) 1 (end) | 1 | 1 | 1
  cartridge.set_data(1, 0x0F);  // 00 (end AE) ...
  const auto decoded = cartridge.decode();
  ASSERT_EQ(decoded.failure, MessageFailure::None);
  EXPECT_EQ(message(decoded.text, 0), "[00AD]\n[00AD]\n[00AC]\n");
  EXPECT_EQ(message(decoded.text, 4), "[00AE]\n");
}

TEST(MessageDecoder, DropsBitZeroOfABranch) {
  Cartridge cartridge;
  cartridge.set_entry(1001, 0x8011);  // still node 8
  cartridge.set_pointer(0, 7);
  cartridge.set_data(0, 0x3F);
  EXPECT_EQ(message(cartridge.decode().text, 0), std::string(kAi) + kEnd);
}

TEST(MessageDecoder, DataPastTheEndOfTheImageStopsTheDecoder) {
  struct Case {
    const char* what;
    std::uint32_t group;
    std::uint32_t pointer;
    std::size_t size;
    unsigned failing_message;
  };
  const Case cases[] = {
      {"group pointer past the end", 5, 0x1FFFFF << 3 | 7, 0x400000, 40},
      {"pointer to the very end", 3, (0x400000 - rom::kMessageData) << 3 | 7, 0x400000, 24},
  };
  for (const Case& c : cases) {
    Cartridge cartridge(c.size);
    cartridge.set_pointer(c.group, c.pointer);
    const auto decoded = cartridge.decode();
    EXPECT_EQ(decoded.failure, MessageFailure::DataRead) << c.what;
    char header[16];
    std::snprintf(header, sizeof header, "\n(0x%04X)\n", c.failing_message);
    EXPECT_EQ(decoded.text.substr(decoded.text.size() - 10), header) << c.what;
  }

  // A message that never ends before the image does: all zero bits are 愛.
  Cartridge endless(rom::kMessageData + 0x100);
  endless.set_pointer(0, 7);
  endless.set_data(0, 0x00);
  const auto decoded = endless.decode();
  EXPECT_EQ(decoded.failure, MessageFailure::DataRead);
  EXPECT_EQ(message(decoded.text, 0).size(), 2u * 4 * 0x100);
}

TEST(MessageDecoder, JudgesOnlyTheReachableTree) {
  struct Case {
    const char* what;
    std::size_t entry;
    std::uint16_t value;
    TreeLoad expected;
  };
  const Case cases[] = {
      {"branch to node 1002", 1010, 0x8000 | 1002 << 1, TreeLoad::Invalid},
      {"branch to node 16383", 2003, 0xFFFF, TreeLoad::Invalid},
      {"leaf code 0x60C", 8, 0x060C, TreeLoad::Invalid},
      {"leaf code 0x7FFF", 1001, 0x7FFF, TreeLoad::Invalid},
      {"leaf code 0x60B", 8, 0x060B, TreeLoad::Ok},
      {"garbage in an unreachable node", 500, 0xFFFF, TreeLoad::Ok},
      {"a branch back to the root", 1010, 0x8000 | 1001 << 1, TreeLoad::Ok},
  };
  for (const Case& c : cases) {
    Cartridge cartridge;
    cartridge.set_entry(c.entry, c.value);
    EXPECT_EQ(cartridge.decode().tree, c.expected) << c.what;
  }
  Cartridge short_image(rom::kMessageTree + 4007);
  EXPECT_EQ(short_image.decode().tree, TreeLoad::ReadFailed);
}

TEST(MessageDecoder, ATreeThatLoopsEndsWhenTheDataDoes) {
  Cartridge cartridge(rom::kMessageData + 0x2000);
  cartridge.set_entry(2003, 0x8000 | 1001 << 1);  // root 1 -> root: no end code can be reached by 1s
  cartridge.set_pointer(0, 7);
  for (std::size_t i = 0; i < 0x2000; ++i) cartridge.set_data(i, 0xFF);
  const auto decoded = cartridge.decode();
  EXPECT_EQ(decoded.tree, TreeLoad::Ok);
  EXPECT_EQ(decoded.failure, MessageFailure::DataRead);
  EXPECT_EQ(decoded.text, "(0x0000)\n");
}

}  // namespace
}  // namespace talvo
