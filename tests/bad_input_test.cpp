// Hostile input for all four programs, run as processes: random and broken
// images, text files no editor should write, inputs another process holds.
// Every case states the boxes it must show and the files it must leave, and
// checks that the input file is unchanged.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <optional>
#include <random>

#include "banks.h"
#include "image_builder.h"
#include "sjis_terminal_text.h"
#include "support/programs.h"
#include "support/sjis.h"
#include "text_bank_parser.h"
#include "vocabulary.h"

namespace talvo {
namespace {

using namespace testing;
namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

const std::string kTreeInvalid = "エラー: ハフマン木の展開に失敗";
const std::string kMessageDataFailed = "エラー: メッセージデータの読み込みに失敗";
const std::string kByteBankFailed = "エラー: 固定文字列の読み込みに失敗";
const char* const kDecodeOutputs[] = {"MsgDataDecode.txt", "StrDataDecode.txt", "BtlDataDecode.txt"};

constexpr std::size_t kMessageData = 0x3CC258;
constexpr std::size_t kTree = 0x159D3;
constexpr std::size_t kAccessTable = 0x15331;
constexpr std::size_t kFixedPointers = 0x1591F;
constexpr std::size_t kFixedData = 0x3ECFB7;
constexpr std::size_t kBattlePointers = 0x152A4;
constexpr std::size_t kBattleData = 0x3C9F22;
constexpr std::uint16_t kRootZero = 1001;  // tree entry of the root's 0 branch
constexpr std::uint16_t kRootOne = 2003;   // and of its 1 branch

std::string as_string(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

std::string repeat(const std::string& text, std::size_t times) {
  std::string out;
  out.reserve(text.size() * times);
  for (std::size_t i = 0; i < times; ++i) out += text;
  return out;
}

Bytes random_bytes(std::size_t size, std::uint64_t seed) {
  std::mt19937_64 random(seed);
  Bytes bytes(size);
  for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
  return bytes;
}

void set_entry(Bytes& image, std::size_t header, std::size_t entry, std::uint16_t value) {
  image.at(header + kTree + 2 * entry) = static_cast<std::uint8_t>(value & 0xFF);
  image.at(header + kTree + 2 * entry + 1) = static_cast<std::uint8_t>(value >> 8);
}

void set_pointer(Bytes& image, std::size_t at, std::uint32_t value) {
  image.at(at) = static_cast<std::uint8_t>(value & 0xFF);
  image.at(at + 1) = static_cast<std::uint8_t>(value >> 8 & 0xFF);
  image.at(at + 2) = static_cast<std::uint8_t>(value >> 16 & 0xFF);
}

std::uint32_t pointer_at(const Bytes& image, std::size_t at) {
  return image.at(at) | image.at(at + 1) << 8 | image.at(at + 2) << 16;
}

// The first `lines` lines of an extracted byte-bank text.
std::string first_lines(const std::string& text, std::size_t lines) {
  std::size_t end = 0;
  for (std::size_t i = 0; i < lines; ++i) end = text.find('\n', end) + 1;
  return text.substr(0, end);
}

std::string header(std::uint32_t n) {
  char text[16];
  std::snprintf(text, sizeof text, n == 0 ? "(0x%04X)\n" : "\n(0x%04X)\n", n);
  return text;
}

// Runs the program on `input`, written as `name` into a fresh folder, and
// checks that the input is unchanged afterwards.
void run_on(Program program, const std::string& name, const std::string& input, const std::string& what,
            const std::function<void(const ProcessResult&, const TempFolder&)>& check) {
  TempFolder folder;
  write_file(folder / name, input);
  const ProcessResult run = run_program(program, folder.path(), name + "\n");
  EXPECT_EQ(run.exit_status, 0) << what;
  check(run, folder);
  EXPECT_TRUE(read_file(folder / name) == input) << what << ": the input changed";
}

struct ImageCase {
  std::string what;
  Bytes image;
  Boxes errors;
  // What each of the three files holds afterwards; nothing: it must not exist.
  std::optional<std::string> messages, fixed_strings, battle_text;
};

void check_image_case(const ImageCase& c) {
  run_on(Program::Decode, "game.smc", as_string(c.image), c.what, [&](const ProcessResult& run, const TempFolder& f) {
    EXPECT_EQ(boxes(run.err), c.errors) << c.what;
    EXPECT_EQ(boxes(run.out), c.errors.empty() ? kFinished : Boxes{}) << c.what;
    const std::optional<std::string>* expected[] = {&c.messages, &c.fixed_strings, &c.battle_text};
    for (int i = 0; i < 3; ++i) {
      const fs::path path = f / kDecodeOutputs[i];
      ASSERT_EQ(fs::exists(path), expected[i]->has_value()) << c.what << ": " << kDecodeOutputs[i];
      if (!expected[i]->has_value()) continue;
      const std::string written = read_file(path);
      EXPECT_EQ(written.size(), (*expected[i])->size()) << c.what << ": " << kDecodeOutputs[i];
      EXPECT_TRUE(written == **expected[i]) << c.what << ": " << kDecodeOutputs[i];
    }
  });
}

TEST(BadInput, RandomImagesOfEveryAcceptedSizeStopAtTheTree) {
  // Random root entries lead far past node 1001 or hold codes past 0x60B.
  for (const std::size_t size : {0x400000u, 0x400200u, 0x600000u}) {
    check_image_case({"random bytes, " + std::to_string(size), random_bytes(size, size), {kTreeInvalid}, {}, {}, {}});
  }
}

// An image of zeros: the tree's root leads to code 0 on both branches, every
// group pointer to the first bit of the data, and no end code is ever read.
Bytes zero_image(std::size_t header) {
  Bytes image(header + 0x400000, 0);
  std::fill(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(header), 0xFF);  // never read
  return image;
}

// What message 0 of a zero image holds: the first group pointer starts at
// bit 0 of the first data byte; code 0 for that bit and for every later one.
std::string zero_image_messages() { return "(0x0000)\n" + repeat("[0000]", 1 + 8 * (0x400000 - kMessageData - 1)); }

// A zero image whose tree reads a 1 bit as the end code and a 0 bit as 愛,
// and whose data ends every message at once but the last, which never ends:
// its group starts two bits before the zeros that fill the rest of the image.
Bytes endless_last_message_image() {
  Bytes image = zero_image(0);
  set_entry(image, 0, kRootZero, 0x0201);
  set_entry(image, 0, kRootOne, 0x00AC);
  image[kMessageData] = 0xFF;  // groups 0-504: bit 0 of byte 0, then bits 7-1 of byte 1
  image[kMessageData + 1] = 0xFF;
  image[kMessageData + 0x100] = 0xFC;  // group 505: six end codes, then 0 0
  set_pointer(image, kAccessTable + 3 * 505, 0x100 << 3 | 7);
  return image;
}

std::string endless_last_message_text() {
  std::string text;
  for (std::uint32_t n = 0; n < 4046; ++n) text += header(n) + "[00AC]\n";
  return text + header(4046) + repeat("\x88\xA4", 2 + 8 * (0x400000 - kMessageData - 0x101));
}

TEST(BadInput, ImagesWhoseDataNeverEnds) {
  const builder::ImageContent content = builder::random_content(31);
  const Bytes good = builder::build_image(content, builder::ImageSize::Plain4Mb, 31);
  const std::string messages = builder::expected_message_text(content);
  const std::string fixed_strings = builder::expected_fixed_string_text(content);
  const std::string battle_text = builder::expected_battle_text(content);

  std::vector<ImageCase> cases;
  cases.push_back({"all zeros: message 0 runs to the end of the image",
                   zero_image(0),
                   {kMessageDataFailed},
                   zero_image_messages(),
                   {},
                   {}});
  cases.push_back(
      {"all zeros behind a copier header", zero_image(512), {kMessageDataFailed}, zero_image_messages(), {}, {}});

  Bytes loop = zero_image(0);
  set_entry(loop, 0, kRootZero, 0x8000 | 1001 << 1);  // 0 bits lead back to the root
  cases.push_back({"a tree that loops back to its root", loop, {kMessageDataFailed}, "(0x0000)\n", {}, {}});

  cases.push_back({"the last message never ends",
                   endless_last_message_image(),
                   {kMessageDataFailed},
                   endless_last_message_text(),
                   {},
                   {}});

  // The fixed strings' last group is the last thing in the image: from its
  // start on, nothing but あ (0x0C) up to the end.
  Bytes no_fixed_end = good;
  std::fill(no_fixed_end.begin() + static_cast<std::ptrdiff_t>(kFixedData + pointer_at(good, kFixedPointers + 3 * 59)),
            no_fixed_end.end(), 0x0C);
  cases.push_back({"fixed strings of the last group without terminators",
                   no_fixed_end,
                   {kByteBankFailed},
                   messages,
                   first_lines(fixed_strings, 944) + "(0x03B0)",
                   {}});

  // The last battle group points at the image's last 16 bytes, all あ.
  Bytes no_battle_end = good;
  set_pointer(no_battle_end, kBattlePointers + 3 * 46, 0x400000 - 16 - kBattleData);
  std::fill(no_battle_end.end() - 16, no_battle_end.end(), 0x0C);
  cases.push_back({"battle text of the last group without terminators",
                   no_battle_end,
                   {kByteBankFailed},
                   messages,
                   fixed_strings,
                   first_lines(battle_text, 368) + "(0x0170)"});

  for (const ImageCase& c : cases) check_image_case(c);
}

TEST(BadInput, TreeEntriesJustPastTheirLimits) {
  const Bytes good = builder::build_image(builder::random_content(32), builder::ImageSize::CopierHeader4Mb, 32);
  struct Entry {
    const char* what;
    std::uint16_t entry;
    std::uint16_t value;
  };
  const Entry entries[] = {
      {"a root branch to node 1002", kRootZero, 0x8000 | 1002 << 1},
      {"a root branch to node 8191", kRootOne, 0xBFFE},
      {"a root leaf with code 0x60C", kRootOne, 0x060C},
  };
  for (const Entry& e : entries) {
    Bytes image = good;
    set_entry(image, 512, e.entry, e.value);
    check_image_case({e.what, image, {kTreeInvalid}, {}, {}, {}});
  }
}

struct Encoder {
  Program program;
  const EncoderVariant& variant;
};

const Encoder kEncoders[] = {
    {Program::EncodeMessages, kMessageVariant},
    {Program::EncodeFixedStrings, kFixedStringVariant},
    {Program::EncodeBattleText, kBattleTextVariant},
};

// The box of an unknown character, as boxes() gives it: the text's last line
// feed dropped.
std::string unused_character(std::uint64_t position, const std::string& shown) {
  char line[32];
  std::snprintf(line, sizeof line, "%07llubyte目\n", static_cast<unsigned long long>(position));
  std::string box = "エラー: Talvoに使われていない文字が含まれています\n" + std::string(line) + shown;
  if (box.back() == '\n') box.pop_back();
  return box;
}

struct TextCase {
  std::string what;
  Program program;
  std::string text;
  Boxes errors;
  std::string bank;
  std::string index;
};

void check_text_case(const TextCase& c) {
  const Encoder& encoder = *std::find_if(std::begin(kEncoders), std::end(kEncoders),
                                         [&](const Encoder& e) { return e.program == c.program; });
  run_on(c.program, "edited.txt", c.text, c.what, [&](const ProcessResult& run, const TempFolder& f) {
    EXPECT_EQ(boxes(run.err), c.errors) << c.what;
    EXPECT_EQ(boxes(run.out), c.errors.empty() ? kFinished : Boxes{}) << c.what;
    EXPECT_TRUE(read_file(f / encoder.variant.bank_file_name) == c.bank) << c.what;
    EXPECT_EQ(read_file(f / encoder.variant.index_file_name), c.index) << c.what;
  });
}

const std::string kIndex0("\0\0\0", 3);

TEST(BadInput, TextFilesNoEditorShouldWrite) {
  const std::string a = to_sjis("あ"), i = to_sjis("い");
  const std::string message = "(0x0000)\n" + a;  // 11 bytes, あ is code 0x510
  const std::string a_code = "\x10\x05";
  // The 65 536th byte is the first of the second block the encoder reads.
  const std::string across_blocks = "()" + repeat(a, 32766) + "\nZ";
  const TextCase cases[] = {
      {"a byte-order mark before a fixed string",
       Program::EncodeFixedStrings,
       "\xEF\xBB\xBF(0x0000)" + a + "[AC]\n",
       {unused_character(1, "<EF>ｻ")},
       "",
       ""},
      {"a 20-byte token stops at its 8th byte",
       Program::EncodeMessages,
       message + "[ABCDEFGHIJKLMNOPQRST]",
       {unused_character(19, "ABCDEFGH")},
       a_code,
       kIndex0},
      {"a 20-byte token in battle text",
       Program::EncodeBattleText,
       "(0x0000)[ABCDEFGHIJKLMNOPQRST][AC]",
       {unused_character(16, "ABCDEFGH")},
       "",
       kIndex0},
      {"a lone carriage return",
       Program::EncodeMessages,
       message + "\r" + i,
       {unused_character(12, "<0D><82>")},
       a_code,
       kIndex0},
      {"NUL bytes in running text show nothing",
       Program::EncodeMessages,
       message + std::string("\0\0", 2) + i,
       {unused_character(12, "")},
       a_code,
       kIndex0},
      {"a NUL inside a token hides what follows",
       Program::EncodeFixedStrings,
       "(0x0000)" + a + std::string("[A\0C]", 5),
       {unused_character(14, "A")},
       "\x0C",
       kIndex0},
      {"an unknown pair split between two reads",
       Program::EncodeBattleText,
       across_blocks + "z",
       {unused_character(65536, "Zz")},
       std::string(32766, '\x0C'),
       kIndex0},
      // What is unfinished at the end of the file writes nothing.
      {"the end inside a character", Program::EncodeMessages, message + "\x82", {}, a_code, kIndex0},
      {"the end inside a token", Program::EncodeMessages, message + "[00A", {}, a_code, kIndex0},
      {"the end inside a header", Program::EncodeBattleText, repeat("()", 8) + a + "(0x0008", {}, "\x0C", kIndex0},
      {"the end inside CR LF", Program::EncodeFixedStrings, "(0x0000)" + a + "\r", {}, "\x0C", kIndex0},
  };
  for (const TextCase& c : cases) check_text_case(c);
}

TEST(BadInput, RandomTextFiles) {
  // Random bytes stop the encoder where the parser stops, with the bytes it
  // gathered there; before that, every code it read is in the bank.
  for (const Encoder& encoder : kEncoders) {
    for (std::uint64_t seed = 1; seed <= 3; ++seed) {
      Bytes text = random_bytes(70000, seed);
      if (seed == 3) {
        // Valid characters up to the second read, then random bytes.
        for (std::size_t at = 0; at + 1 < 65540; at += 2) text[at] = 0x82, text[at + 1] = 0xA0;
      }
      BufferedOutput bank, index;
      TextBankParser parser(encoder.variant, game_vocabulary(encoder.variant.token_table), bank, index);
      ASSERT_FALSE(parser.feed(text));
      const ParseFailure& failure = parser.failure();
      ASSERT_EQ(failure.kind, ParseFailure::Kind::UnknownToken);
      check_text_case({"random bytes, seed " + std::to_string(seed),
                       encoder.program,
                       as_string(text),
                       {unused_character(failure.position, sjis_to_utf8(failure.gathered))},
                       std::string(bank.text()),
                       std::string(index.text())});
    }
  }
}

TEST(BadInput, TextFilesAnotherProcessHolds) {
  for (const Program program : {Program::EncodeMessages, Program::EncodeBattleText}) {
    TempFolder folder;
    const std::string text = to_sjis("(0x0000)\nあ[00AC]\n");
    write_file(folder / "edited.txt", text);
    write_file(folder / "MsgDataTalvo.bin", "earlier work");
    const int holder = open((folder / "edited.txt").c_str(), O_RDONLY);
    ASSERT_EQ(flock(holder, LOCK_EX | LOCK_NB), 0);
    const ProcessResult run = run_program(program, folder.path(), "edited.txt\n");
    close(holder);
    EXPECT_EQ(run.exit_status, 0);
    EXPECT_EQ(boxes(run.err), Boxes{"ファイルオープンの失敗: ファイルがオープンできません"});
    EXPECT_EQ(boxes(run.out), Boxes{});
    EXPECT_EQ(read_file(folder / "MsgDataTalvo.bin"), "earlier work");
    for (const char* output : {"MsgDataIDX.bin", "BtlDataTalvo.bin", "BtlDataIDX.bin"}) {
      EXPECT_FALSE(fs::exists(folder / output)) << output;
    }
    EXPECT_EQ(read_file(folder / "edited.txt"), text);
  }
}

}  // namespace
}  // namespace talvo
