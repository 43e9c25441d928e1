// The three encoders as a translator runs them: extract, edit, encode.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "image_builder.h"
#include "support/programs.h"
#include "support/sjis.h"

namespace talvo {
namespace {

using namespace testing;
namespace fs = std::filesystem;

struct Encoder {
  Program program;
  const char* text_file;
  const char* bank_file;
  const char* index_file;
  std::string (*expected_bank)(const builder::ImageContent&);
  std::string (*expected_index)(const builder::ImageContent&);
};

const Encoder kEncoders[] = {
    {Program::EncodeMessages, "MsgDataDecode.txt", "MsgDataTalvo.bin", "MsgDataIDX.bin", builder::expected_message_bank,
     builder::expected_message_index},
    {Program::EncodeFixedStrings, "StrDataDecode.txt", "StrDataTalvo.bin", "StrDataIDX.bin",
     builder::expected_fixed_string_bank, builder::expected_fixed_string_index},
    {Program::EncodeBattleText, "BtlDataDecode.txt", "BtlDataTalvo.bin", "BtlDataIDX.bin",
     builder::expected_battle_bank, builder::expected_battle_index},
};

TEST(EncodePrograms, GiveBackTheCodesOfTheImage) {
  std::vector<std::pair<std::string, builder::ImageContent>> contents = {
      {"every code, first half", builder::every_code_content(0)},
      {"every code, second half", builder::every_code_content(1)},
      {"the sample", builder::sample_content()},
  };
  for (std::uint64_t seed = 20; seed < 24; ++seed) {
    contents.emplace_back("random seed " + std::to_string(seed), builder::random_content(seed));
  }
  const builder::ImageSize sizes[] = {builder::ImageSize::Plain4Mb, builder::ImageSize::CopierHeader4Mb,
                                      builder::ImageSize::Plain6Mb};
  std::uint64_t seed = 0;
  for (const auto& [what, content] : contents) {
    TempFolder folder;
    const auto image = builder::build_image(content, sizes[seed % 3], seed);
    ++seed;
    write_file(folder / "game.smc", std::string(image.begin(), image.end()));
    ASSERT_EQ(boxes(run_program(Program::Decode, folder.path(), "game.smc\n").out), kFinished) << what;
    for (const Encoder& encoder : kEncoders) {
      const std::string text = read_file(folder / encoder.text_file);
      const ProcessResult run = run_program(encoder.program, folder.path(), std::string(encoder.text_file) + "\n");
      EXPECT_EQ(run.exit_status, 0);
      EXPECT_EQ(boxes(run.out), kFinished) << what << ", " << encoder.text_file;
      EXPECT_EQ(boxes(run.err), Boxes{}) << what << ", " << encoder.text_file;
      EXPECT_TRUE(read_file(folder / encoder.bank_file) == encoder.expected_bank(content)) << what;
      EXPECT_TRUE(read_file(folder / encoder.index_file) == encoder.expected_index(content)) << what;
      EXPECT_TRUE(read_file(folder / encoder.text_file) == text) << what << ": the text file changed";
    }
  }
}

struct RunCase {
  const char* what;
  Program program;
  std::string text;    // written to edited.txt, which the dialog picks
  std::string answer;  // to the dialog
  Boxes err;
  Boxes out;
  std::string bank;  // what the bank file holds afterwards; "-" when it must not exist
  std::string index;
};

std::vector<RunCase> run_cases() {
  const std::string fixed_file = to_sjis("(0x0000)アイ[AC]\n(0x0001)[AC]\n");
  const std::string message_file = to_sjis("(0x0000)\nあ[00AC]\n\n(0x0001)\nい[00AC]\n");
  return {
      {"an empty file", Program::EncodeMessages, "", "edited.txt\n", {}, kFinished, "", ""},
      {"a fixed-string file",
       Program::EncodeFixedStrings,
       fixed_file,
       "edited.txt\n",
       {},
       kFinished,
       "\x43\x44\xAC\xAC",
       std::string("\0\0\0", 3)},
      {"a fixed-string file for the battle text: an index entry every 8 entries",
       Program::EncodeBattleText,
       to_sjis("(0x0000)アイ[AC]\n()[AC]\n()()()()()()(0x0008)ア[AC]"),
       "edited.txt\n",
       {},
       kFinished,
       "\x43\x44\xAC\xAC\x43\xAC",
       std::string("\0\0\0\x04\0\0", 6)},
      {"a message file for the fixed strings",
       Program::EncodeFixedStrings,
       message_file,
       "edited.txt\n",
       {"エラー: Talvoに使われていない文字が含まれています\n0000016byte目\n00AC"},
       {},
       "\x0C",
       std::string("\0\0\0", 3)},
      {"a character the table lacks",
       Program::EncodeMessages,
       to_sjis("(0x0000)\nあ鬱い"),
       "edited.txt\n",
       {"エラー: Talvoに使われていない文字が含まれています\n0000012byte目\n鬱"},
       {},
       "\x10\x05",
       std::string("\0\0\0", 3)},
      {"stray bytes show as their values",
       Program::EncodeMessages,
       "\xEF\xBB\xBF",
       "edited.txt\n",
       {"エラー: Talvoに使われていない文字が含まれています\n0000001byte目\n<EF>ｻ"},
       {},
       "",
       ""},
      {"cancelled",
       Program::EncodeMessages,
       message_file,
       "\n",
       {"ファイルが指定されていません: ファイルを指定してください"},
       {},
       "-",
       "-"},
      {"a file that does not exist",
       Program::EncodeBattleText,
       message_file,
       "nothing.txt\n",
       {"ファイルが指定されていません: ファイルを指定してください"},
       {},
       "-",
       "-"},
      {"a read-only text file",
       Program::EncodeFixedStrings,
       fixed_file,
       "readonly.txt\n",
       {"ファイルオープンの失敗: ファイルがオープンできません"},
       {},
       "-",
       "-"},
      {"a text file another program holds",
       Program::EncodeFixedStrings,
       fixed_file,
       "locked.txt\n",
       {"ファイルオープンの失敗: ファイルがオープンできません"},
       {},
       "-",
       "-"},
  };
}

TEST(EncodePrograms, ShowTheBoxesOfEachOutcome) {
  for (const RunCase& c : run_cases()) {
    TempFolder folder;
    write_file(folder / "edited.txt", c.text);
    write_file(folder / "readonly.txt", c.text);
    fs::permissions(folder / "readonly.txt", fs::perms::owner_read);
    write_file(folder / "locked.txt", c.text);
    const int holder = open((folder / "locked.txt").c_str(), O_RDONLY);
    ASSERT_EQ(flock(holder, LOCK_EX | LOCK_NB), 0);

    const ProcessResult run = run_program(c.program, folder.path(), c.answer);
    close(holder);
    EXPECT_EQ(run.exit_status, 0) << c.what;
    EXPECT_EQ(boxes(run.err), c.err) << c.what;
    EXPECT_EQ(boxes(run.out), c.out) << c.what;
    const char* bank = c.program == Program::EncodeMessages       ? "MsgDataTalvo.bin"
                       : c.program == Program::EncodeFixedStrings ? "StrDataTalvo.bin"
                                                                  : "BtlDataTalvo.bin";
    const char* index = c.program == Program::EncodeMessages       ? "MsgDataIDX.bin"
                        : c.program == Program::EncodeFixedStrings ? "StrDataIDX.bin"
                                                                   : "BtlDataIDX.bin";
    if (c.bank == "-") {
      EXPECT_FALSE(fs::exists(folder / bank)) << c.what;
      EXPECT_FALSE(fs::exists(folder / index)) << c.what;
    } else {
      EXPECT_EQ(read_file(folder / bank), c.bank) << c.what;
      EXPECT_EQ(read_file(folder / index), c.index) << c.what;
    }
    EXPECT_EQ(read_file(folder / "edited.txt"), c.text) << c.what << ": the text file changed";
  }
}

TEST(EncodePrograms, ReportOutputsThatCannotBeWritten) {
  struct Case {
    const char* blocked;
    bool as_folder;  // else a file whose every write fails
    Boxes expected;
  };
  const Case cases[] = {
      {"MsgDataTalvo.bin", true, {"エラー: ファイルが作成できません\nMsgDataTalvo.bin"}},
      {"MsgDataIDX.bin", true, {"エラー: ファイルが作成できません\nMsgDataIDX.bin"}},
      {"MsgDataTalvo.bin", false, {"エラー: ファイルの書き込みに失敗\nMsgDataTalvo.bin"}},
      {"MsgDataIDX.bin", false, {"エラー: ファイルの書き込みに失敗\nMsgDataIDX.bin"}},
  };
  for (const Case& c : cases) {
    TempFolder folder;
    write_file(folder / "edited.txt", to_sjis("(0x0000)\nあ[00AC]\n"));
    if (c.as_folder) fs::create_directory(folder / c.blocked);
    const ProcessResult run = run_program(Program::EncodeMessages, folder.path(), "edited.txt\n", {},
                                          c.as_folder ? ProcessSetup{} : failing_output(c.blocked, false));
    EXPECT_EQ(boxes(run.err), c.expected) << c.blocked;
    EXPECT_EQ(boxes(run.out), Boxes{}) << c.blocked << ": no completion box";
  }
}

}  // namespace
}  // namespace talvo
