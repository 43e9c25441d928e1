// Talvo_decode as a translator runs it: the dialog, the boxes and the three
// files, for good images and for everything that can go wrong.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "image_builder.h"
#include "support/programs.h"

namespace talvo {
namespace {

using namespace testing;
namespace fs = std::filesystem;

const char* const kOutputs[] = {"MsgDataDecode.txt", "StrDataDecode.txt", "BtlDataDecode.txt"};

std::string to_string(const std::vector<std::uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

struct ImageCase {
  std::string what;
  builder::ImageContent content;
  builder::ImageSize size;
  std::uint64_t seed;
};

TEST(DecodeProgram, WritesWhatTheImageHolds) {
  std::vector<ImageCase> cases = {
      {"every code, first half", builder::every_code_content(0), builder::ImageSize::Plain4Mb, 1},
      {"every code, second half", builder::every_code_content(1), builder::ImageSize::Plain6Mb, 2},
      {"the sample", builder::sample_content(), builder::ImageSize::CopierHeader4Mb, 3},
  };
  const builder::ImageSize sizes[] = {builder::ImageSize::Plain4Mb, builder::ImageSize::CopierHeader4Mb,
                                      builder::ImageSize::Plain6Mb};
  for (std::uint64_t seed = 10; seed < 16; ++seed) {
    cases.push_back({"random seed " + std::to_string(seed), builder::random_content(seed), sizes[seed % 3], seed});
  }
  for (const ImageCase& c : cases) {
    TempFolder folder;
    const std::string image = to_string(builder::build_image(c.content, c.size, c.seed));
    write_file(folder / "game.smc", image);
    const ProcessResult run = run_program(Program::Decode, folder.path(), "game.smc\n");
    EXPECT_EQ(run.exit_status, 0) << c.what;
    EXPECT_EQ(boxes(run.out), kFinished) << c.what;
    EXPECT_EQ(boxes(run.err), Boxes{}) << c.what;
    EXPECT_TRUE(read_file(folder / "MsgDataDecode.txt") == builder::expected_message_text(c.content)) << c.what;
    EXPECT_TRUE(read_file(folder / "StrDataDecode.txt") == builder::expected_fixed_string_text(c.content)) << c.what;
    EXPECT_TRUE(read_file(folder / "BtlDataDecode.txt") == builder::expected_battle_text(c.content)) << c.what;
    EXPECT_TRUE(read_file(folder / "game.smc") == image) << c.what << ": the image changed";
  }
}

TEST(DecodeProgram, RefusesImagesOfOtherSizes) {
  // The last size passes 4 GiB by an accepted size: only its low 32 bits
  // would look right.
  for (const std::uintmax_t size : {0ull, 4194303ull, 4194305ull, 6291968ull, 0x100400000ull}) {
    TempFolder folder;
    write_file(folder / "game.smc", "");
    fs::resize_file(folder / "game.smc", size);  // sparse: no disk space taken
    const ProcessResult run = run_program(Program::Decode, folder.path(), "game.smc\n");
    EXPECT_EQ(run.exit_status, 0);
    EXPECT_EQ(boxes(run.out), Boxes{"ファイルサイズの不正: Talvo(SFC)のファイルではありません"}) << size;
    EXPECT_EQ(boxes(run.err), Boxes{}) << size;
    for (const char* output : kOutputs) EXPECT_FALSE(fs::exists(folder / output)) << size;
    // The file was closed: nothing holds its lock any more.
    const int fd = open((folder / "game.smc").c_str(), O_RDONLY);
    EXPECT_EQ(flock(fd, LOCK_EX | LOCK_NB), 0);
    close(fd);
  }
}

TEST(DecodeProgram, DialogCancelledOrFileUnopenable) {
  const Boxes no_file{"ファイルが指定されていません: ファイルを指定してください"};
  const Boxes open_failed{"ファイルオープンの失敗: ファイルがオープンできません"};
  struct Case {
    const char* what;
    std::string answer;
    Boxes expected;
    const char* dialog_says = "";
  };
  const Case cases[] = {
      {"the end of input", "", no_file},
      {"an empty line", "\n", no_file},
      {"a file that does not exist, then cancel", "missing.smc\n\n", no_file, "No such file: missing.smc"},
      {"a folder is no file", ".\n", no_file, "Not a regular file: ."},
      {"a pattern lists the files", "*.smc\n", no_file, "  game.smc\n"},
      {"a read-only image", "readonly.smc\n", open_failed},
      {"an image another program holds", "locked.smc\n", open_failed},
  };
  for (const Case& c : cases) {
    TempFolder folder;
    const std::string image(0x400000, '\0');
    write_file(folder / "game.smc", image);
    write_file(folder / "readonly.smc", image);
    fs::permissions(folder / "readonly.smc", fs::perms::owner_read | fs::perms::group_read);
    write_file(folder / "locked.smc", image);
    const int holder = open((folder / "locked.smc").c_str(), O_RDONLY);
    ASSERT_EQ(flock(holder, LOCK_EX | LOCK_NB), 0);
    write_file(folder / "MsgDataDecode.txt", "earlier work");

    const ProcessResult run = run_program(Program::Decode, folder.path(), c.answer);
    close(holder);
    EXPECT_EQ(run.exit_status, 0) << c.what;
    EXPECT_EQ(boxes(run.err), c.expected) << c.what;
    EXPECT_EQ(boxes(run.out), Boxes{}) << c.what;
    EXPECT_NE(run.err.find(c.dialog_says), std::string::npos) << c.what << "\n" << run.err;
    EXPECT_EQ(read_file(folder / "MsgDataDecode.txt"), "earlier work") << c.what;
    EXPECT_FALSE(fs::exists(folder / "StrDataDecode.txt")) << c.what;
  }
}

// A random image with one thing broken in it.
struct BrokenImage {
  const char* what;
  std::size_t offset;  // ROM offset of the bytes to overwrite
  std::vector<std::uint8_t> bytes;
  Boxes expected;
  std::vector<const char*> written;    // files the run leaves complete or partial
  const char* message_file_ends = "";  // how the message file ends, when partial
};

TEST(DecodeProgram, ReportsBrokenImagesAndStops) {
  const BrokenImage cases[] = {
      {"a root branch to node 16383", 0x159D3 + 2 * 1001, {0xFF, 0xFF}, {"エラー: ハフマン木の展開に失敗"}, {}},
      {"a root leaf with code 0x7FFF", 0x159D3 + 2 * 2003, {0xFF, 0x7F}, {"エラー: ハフマン木の展開に失敗"}, {}},
      {"message group 3 points past the end",
       0x15331 + 9,
       {0xFF, 0xFF, 0xFF},
       {"エラー: メッセージデータの読み込みに失敗"},
       {"MsgDataDecode.txt"},
       "\n(0x0018)\n"},
      {"fixed-string group 5 points past the end",
       0x1591F + 15,
       {0xFF, 0xFF, 0xFF},
       {"エラー: 固定文字列の読み込みに失敗"},
       {"MsgDataDecode.txt", "StrDataDecode.txt"}},
      {"battle group 46 points past the end",
       0x152A4 + 138,
       {0xFF, 0xFF, 0xFF},
       {"エラー: 固定文字列の読み込みに失敗"},
       {"MsgDataDecode.txt", "StrDataDecode.txt", "BtlDataDecode.txt"}},
  };
  const builder::ImageContent content = builder::random_content(7);
  for (const BrokenImage& c : cases) {
    TempFolder folder;
    std::vector<std::uint8_t> image = builder::build_image(content, builder::ImageSize::Plain4Mb, 7);
    std::copy(c.bytes.begin(), c.bytes.end(), image.begin() + static_cast<std::ptrdiff_t>(c.offset));
    write_file(folder / "game.smc", to_string(image));
    const ProcessResult run = run_program(Program::Decode, folder.path(), "game.smc\n");
    EXPECT_EQ(run.exit_status, 0) << c.what;
    EXPECT_EQ(boxes(run.err), c.expected) << c.what;
    EXPECT_EQ(boxes(run.out), Boxes{}) << c.what;
    for (const char* output : kOutputs) {
      const bool written = std::find(c.written.begin(), c.written.end(), std::string(output)) != c.written.end();
      EXPECT_EQ(fs::exists(folder / output), written) << c.what << ": " << output;
    }
    const std::string messages = read_file(folder / "MsgDataDecode.txt");
    const std::string ends(c.message_file_ends);
    EXPECT_TRUE(messages.size() >= ends.size() &&
                messages.compare(messages.size() - ends.size(), ends.size(), ends) == 0)
        << c.what;
    if (c.written.size() > 1) {
      EXPECT_TRUE(messages == builder::expected_message_text(content)) << c.what;
    }
    EXPECT_TRUE(read_file(folder / "game.smc") == to_string(image)) << c.what;
  }
}

TEST(DecodeProgram, ReportsOutputsThatCannotBeWritten) {
  struct Case {
    const char* what;
    const char* blocked;
    bool as_folder;  // else a file whose every write fails
    Boxes expected;
  };
  const Case cases[] = {
      {"message file cannot be created",
       "MsgDataDecode.txt",
       true,
       {"エラー: ファイルが作成できません\nMsgDataDecode.txt"}},
      {"fixed-string file cannot be written",
       "StrDataDecode.txt",
       false,
       {"エラー: ファイルの書き込みに失敗\nStrDataDecode.txt"}},
      {"battle file cannot be created",
       "BtlDataDecode.txt",
       true,
       {"エラー: ファイルが作成できません\nBtlDataDecode.txt"}},
  };
  const builder::ImageContent content = builder::random_content(3);
  for (const Case& c : cases) {
    TempFolder folder;
    write_file(folder / "game.smc", to_string(builder::build_image(content, builder::ImageSize::Plain4Mb, 3)));
    if (c.as_folder) fs::create_directory(folder / c.blocked);
    const ProcessResult run = run_program(Program::Decode, folder.path(), "game.smc\n", {},
                                          c.as_folder ? ProcessSetup{} : failing_output(c.blocked, false));
    EXPECT_EQ(boxes(run.err), c.expected) << c.what;
    EXPECT_EQ(boxes(run.out), Boxes{}) << c.what << ": no completion box";
  }
}

TEST(DecodeProgram, IgnoresItsArguments) {
  TempFolder folder;
  const builder::ImageContent content = builder::random_content(4);
  write_file(folder / "game.smc", to_string(builder::build_image(content, builder::ImageSize::Plain4Mb, 4)));
  const ProcessResult run = run_program(Program::Decode, folder.path(), "game.smc\n", {"other.smc", "--help"});
  EXPECT_EQ(run.exit_status, 0);
  EXPECT_EQ(boxes(run.out), kFinished);
  EXPECT_TRUE(read_file(folder / "MsgDataDecode.txt") == builder::expected_message_text(content));
}

}  // namespace
}  // namespace talvo
