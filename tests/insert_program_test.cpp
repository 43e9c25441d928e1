// Insertion end to end, as translators run it: extract, edit, insert with
// talvo or Talvo_insert, extract again, and the edited text comes back; the
// BPS patch gives the same image; what does not fit or has errors leaves
// nothing behind.
#include <gtest/gtest.h>

#include "image_builder.h"
#include "support/process.h"
#include "support/programs.h"
#include "support/sjis.h"
#include "support/talvo_cli.h"

namespace talvo {
namespace {

using namespace testing;
namespace fs = std::filesystem;

ProcessResult talvo_insert(const fs::path& folder, const std::string& answer) {
  return run_process({TALVO_INSERT}, folder, answer);
}

// A translator's edit: messages shorter and longer, other characters, fixed
// strings longer and shorter; the battle text is left alone.
builder::ImageContent edited(builder::ImageContent content) {
  for (std::size_t n = 0; n < content.messages.size(); ++n) {
    auto& message = content.messages[n];
    const std::uint16_t end = message.back();
    if (n % 3 == 0 && message.size() > 2) message.erase(message.begin(), message.begin() + message.size() / 2);
    if (n % 50 == 1) message.insert(message.begin(), {0x200, 0x201, 0x202, 0x0AD, 0x5FE});
    message.back() = end;
  }
  content.fixed_strings[0].insert(content.fixed_strings[0].begin(), {0x43, 0x44, 0x45});
  content.fixed_strings[1].erase(content.fixed_strings[1].begin(), content.fixed_strings[1].end() - 1);
  return content;
}

struct Scene {
  builder::ImageContent original, edited;
  std::string image;
};

Scene scene(builder::ImageSize size) {
  Scene s;
  s.original = builder::random_content(61);
  s.edited = edited(s.original);
  s.image = bytes(builder::build_image(s.original, size, 61));
  return s;
}

void write_edits(const Scene& s, const fs::path& folder) {
  write_file(folder / "game.smc", s.image);
  write_file(folder / "MsgDataDecode.txt", builder::expected_message_text(s.edited));
  write_file(folder / "StrDataDecode.txt", builder::expected_fixed_string_text(s.edited));
}

// The texts the new image extracts to: the edits, and the battle text as it was.
void expect_edited_text(const Scene& s, const fs::path& folder, const std::string& image) {
  fs::create_directories(folder / "again");
  ASSERT_EQ(talvo({"extract", image, "-o", "again"}, folder).exit_status, 0) << image;
  EXPECT_TRUE(read_file(folder / "again/MsgDataDecode.txt") == builder::expected_message_text(s.edited)) << image;
  EXPECT_TRUE(read_file(folder / "again/StrDataDecode.txt") == builder::expected_fixed_string_text(s.edited)) << image;
  EXPECT_TRUE(read_file(folder / "again/BtlDataDecode.txt") == builder::expected_battle_text(s.original)) << image;
  fs::remove_all(folder / "again");
}

TEST(Insertion, TalvoInsertPutsTheEditsBackAndItsPatchGivesTheSameImage) {
  for (const builder::ImageSize size :
       {builder::ImageSize::Plain4Mb, builder::ImageSize::CopierHeader4Mb, builder::ImageSize::Plain6Mb}) {
    const Scene s = scene(size);
    TempFolder folder;
    write_edits(s, folder.path());
    const ProcessResult run = talvo({"insert", "game.smc", "--msg", "MsgDataDecode.txt", "--str", "StrDataDecode.txt",
                                     "-o", "new.smc", "--bps", "new.bps"},
                                    folder.path());
    ASSERT_EQ(run.exit_status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out.rfind("messages: ", 0), 0u) << run.out;
    EXPECT_NE(run.out.find("internal header: no valid checksum found, left as it was"), std::string::npos);
    EXPECT_EQ(read_file(folder / "game.smc"), s.image) << "the input changed";
    const std::string inserted = read_file(folder / "new.smc");
    ASSERT_EQ(inserted.size(), s.image.size());
    EXPECT_EQ(inserted.substr(0, s.image.size() % 1024), s.image.substr(0, s.image.size() % 1024))
        << "the copier header is kept";
    expect_edited_text(s, folder.path(), "new.smc");

    // The patch, and one made afresh, both give the image again.
    ASSERT_EQ(talvo({"patch", "apply", "new.bps", "game.smc", "-o", "applied.smc"}, folder.path()).exit_status, 0);
    EXPECT_TRUE(read_file(folder / "applied.smc") == inserted);
    ASSERT_EQ(talvo({"patch", "create", "game.smc", "new.smc", "-o", "made.bps"}, folder.path()).exit_status, 0);
    ASSERT_EQ(talvo({"patch", "apply", "made.bps", "game.smc", "-o", "again.smc"}, folder.path()).exit_status, 0);
    EXPECT_TRUE(read_file(folder / "again.smc") == inserted);
  }
}

TEST(Insertion, UtfEightCopiesAndJsonReportGiveTheSameImage) {
  const Scene s = scene(builder::ImageSize::Plain4Mb);
  TempFolder folder;
  write_edits(s, folder.path());
  ASSERT_EQ(talvo({"insert", "game.smc", "--msg", "MsgDataDecode.txt", "-o", "sjis.smc"}, folder.path()).exit_status,
            0);
  fs::create_directories(folder / "utf8");
  ASSERT_EQ(talvo({"extract", "game.smc", "-o", "utf8", "--encoding", "utf8"}, folder.path()).exit_status, 0);
  // The edited messages as a UTF-8 working copy: converted by the command line itself.
  const ProcessResult converted = run_process(
      {"/bin/sh", "-c", "iconv -f CP932 -t UTF-8 MsgDataDecode.txt > utf8/MsgDataDecode.txt"}, folder.path(), "");
  ASSERT_EQ(converted.exit_status, 0);
  const ProcessResult run = talvo({"insert", "game.smc", "--msg", "utf8/MsgDataDecode.txt", "--encoding", "utf8", "-o",
                                   "utf8.smc", "--report", "json"},
                                  folder.path());
  ASSERT_EQ(run.exit_status, 0) << run.err;
  EXPECT_EQ(run.out.rfind("{\"inserted\":true,\"banks\":[{\"bank\":\"msg\",\"fits\":true,", 0), 0u) << run.out;
  EXPECT_TRUE(read_file(folder / "utf8.smc") == read_file(folder / "sjis.smc"));
}

TEST(Insertion, RefusalsWriteNothing) {
  const Scene s = scene(builder::ImageSize::Plain4Mb);
  builder::ImageContent longer = s.original;
  for (auto& message : longer.messages) message.insert(message.begin(), message.begin(), message.end() - 1);
  struct Case {
    const char* what;
    std::string messages;  // the text file
    std::vector<std::string> extra;
    std::string says;
  };
  const Case cases[] = {
      {"messages twice as long", builder::expected_message_text(longer), {}, "the messages do not fit: they need"},
      {"an error in the text", to_sjis("(0x0000)\nあa[00AC]\n"), {}, "errors that the game would misread"},
      {"room the pointers cannot reach",
       builder::expected_message_text(s.edited),
       {"--room", "msg=0x1000-0x2000"},
       "lies where the bank's pointers cannot reach"},
      {"a broken image", builder::expected_message_text(s.edited), {}, "cannot be read as the extractor reads them"},
  };
  for (const Case& c : cases) {
    TempFolder folder;
    std::string image = s.image;
    // The root's 0-branch leads past node 1001: the extractor fails on the tree.
    if (std::string(c.what) == "a broken image") image.replace(0x159D3 + 2 * 1001, 2, "\xFF\xFF");
    write_file(folder / "game.smc", image);
    write_file(folder / "MsgDataDecode.txt", c.messages);
    std::vector<std::string> arguments{"insert", "game.smc", "--msg", "MsgDataDecode.txt",
                                       "-o",     "new.smc",  "--bps", "new.bps"};
    arguments.insert(arguments.end(), c.extra.begin(), c.extra.end());
    const ProcessResult run = talvo(arguments, folder.path());
    EXPECT_EQ(run.exit_status, 1) << c.what;
    EXPECT_NE(run.err.find(c.says), std::string::npos) << c.what << "\n" << run.err;
    EXPECT_FALSE(fs::exists(folder / "new.smc")) << c.what;
    EXPECT_FALSE(fs::exists(folder / "new.bps")) << c.what;
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 2) << c.what;
  }
}

// A script that asks for JSON gets one object for every refusal, on
// standard output, with the refusal's code and the message said.
TEST(Insertion, JsonReportsGiveEveryRefusalItsCode) {
  const Scene s = scene(builder::ImageSize::Plain4Mb);
  struct Case {
    const char* what;
    std::string messages;
    std::vector<std::string> extra;
    std::string code;
  };
  const Case cases[] = {
      {"an error in the text", to_sjis("(0x0000)\nあa[00AC]\n"), {}, "text-errors"},
      {"room the pointers cannot reach",
       builder::expected_message_text(s.edited),
       {"--room", "msg=0x1000-0x2000"},
       "bad-region"},
      {"a missing text file", "", {}, "unreadable-text"},
  };
  for (const Case& c : cases) {
    TempFolder folder;
    write_file(folder / "game.smc", s.image);
    if (!c.messages.empty()) write_file(folder / "MsgDataDecode.txt", c.messages);
    std::vector<std::string> arguments{"insert", "game.smc", "--msg",    "MsgDataDecode.txt",
                                       "-o",     "new.smc",  "--report", "json"};
    arguments.insert(arguments.end(), c.extra.begin(), c.extra.end());
    const ProcessResult run = talvo(arguments, folder.path());
    EXPECT_EQ(run.exit_status, 1) << c.what;
    EXPECT_EQ(run.out.rfind("{\"inserted\":false,\"banks\":[", 0), 0u) << c.what << "\n" << run.out;
    EXPECT_NE(run.out.find(",\"refusal\":\"" + c.code + "\",\"message\":\""), std::string::npos) << c.what << "\n"
                                                                                                 << run.out;
    EXPECT_EQ(run.out.back(), '\n');
    EXPECT_FALSE(fs::exists(folder / "new.smc"));
  }
}

TEST(Insertion, RoomForABankNotGivenIsWarnedAbout) {
  const Scene s = scene(builder::ImageSize::Plain6Mb);
  TempFolder folder;
  write_edits(s, folder.path());
  const ProcessResult run =
      talvo({"insert", "game.smc", "--msg", "MsgDataDecode.txt", "-o", "new.smc", "--room", "btl=0x500000-0x510000"},
            folder.path());
  EXPECT_EQ(run.exit_status, 0) << run.err;
  EXPECT_EQ(run.err, "talvo: warning: --room for the battle-text bank is not used: no --btl file is given\n");
}

TEST(Insertion, TalvoInsertProgramWritesTheImageAndItsPatch) {
  const Scene s = scene(builder::ImageSize::CopierHeader4Mb);
  TempFolder folder;
  write_edits(s, folder.path());
  ASSERT_EQ(
      talvo({"insert", "game.smc", "--msg", "MsgDataDecode.txt", "--str", "StrDataDecode.txt", "-o", "by-talvo.smc"},
            folder.path())
          .exit_status,
      0);
  const ProcessResult run = talvo_insert(folder.path(), "game.smc\n");
  EXPECT_EQ(run.exit_status, 0);
  EXPECT_EQ(boxes(run.err), Boxes{});
  const Boxes shown = boxes(run.out);
  ASSERT_EQ(shown.size(), 1u) << run.out;
  EXPECT_EQ(shown[0].rfind("終了: 終了しました\n\nTalvoInsert.smc\nTalvoInsert.bps\n\nメッセージ: ", 0), 0u)
      << shown[0];
  EXPECT_NE(shown[0].find("\n固定文字列: "), std::string::npos) << shown[0];
  EXPECT_NE(shown[0].find("\n内部ヘッダーのチェックサムはそのままです"), std::string::npos) << shown[0];
  // The same inputs give the same image as talvo's, and the patch gives it too.
  EXPECT_TRUE(read_file(folder / "TalvoInsert.smc") == read_file(folder / "by-talvo.smc"));
  ASSERT_EQ(talvo({"patch", "apply", "TalvoInsert.bps", "game.smc", "-o", "applied.smc"}, folder.path()).exit_status,
            0);
  EXPECT_TRUE(read_file(folder / "applied.smc") == read_file(folder / "TalvoInsert.smc"));
  EXPECT_EQ(read_file(folder / "game.smc"), s.image);
}

// A disk that fills while the image is written: the box says writing
// failed (the file could be made), and the old outputs stay as they were.
TEST(Insertion, TalvoInsertProgramOnAFullDiskSaysWritingFailed) {
  const Scene s = scene(builder::ImageSize::Plain4Mb);
  TempFolder folder;
  write_edits(s, folder.path());
  write_file(folder / "TalvoInsert.smc", "an earlier image");
  const ProcessResult run =
      run_process({TALVO_INSERT}, folder.path(), "game.smc\n", failing_output("(unnamed)", false));
  EXPECT_EQ(run.exit_status, 0);
  const Boxes shown = boxes(run.err);
  ASSERT_EQ(shown.size(), 1u) << run.err;
  EXPECT_EQ(shown[0], "エラー: ファイルの書き込みに失敗\nTalvoInsert.smc");
  EXPECT_EQ(read_file(folder / "TalvoInsert.smc"), "an earlier image");
  EXPECT_FALSE(fs::exists(folder / "TalvoInsert.bps"));
}

TEST(Insertion, TalvoInsertProgramShowsWhyNothingWasWritten) {
  const Scene s = scene(builder::ImageSize::Plain4Mb);
  builder::ImageContent longer = s.original;
  for (auto& message : longer.messages) message.insert(message.begin(), message.begin(), message.end() - 1);
  struct Case {
    const char* what;
    std::string messages;  // MsgDataDecode.txt, none when empty
    std::string box;       // how the error box begins
    std::string image = "game.smc";
  };
  const Case cases[] = {
      {"no text file", "",
       "エラー: テキストファイルが見つかりません\nMsgDataDecode.txt\nStrDataDecode.txt\nBtlDataDecode.txt"},
      {"an error in the text", to_sjis("(0x0000)\nあa[00AC]\n"),
       "エラー: テキストに誤りがあります\nMsgDataDecode.txt:2:2: half-width 'a'"},
      {"messages twice as long", builder::expected_message_text(longer), "エラー: 容量が足りません\nメッセージ: 必要 "},
      // An earlier run's output chosen as the input: it would be replaced.
      {"its own output as the image", builder::expected_message_text(s.edited),
       "エラー: 入力ファイルと出力ファイルが同じです", "TalvoInsert.smc"},
  };
  for (const Case& c : cases) {
    TempFolder folder;
    write_file(folder / c.image, s.image);
    if (!c.messages.empty()) write_file(folder / "MsgDataDecode.txt", c.messages);
    const ProcessResult run = talvo_insert(folder.path(), c.image + "\n");
    EXPECT_EQ(run.exit_status, 0) << c.what;
    EXPECT_EQ(boxes(run.out), Boxes{}) << c.what;
    const Boxes shown = boxes(run.err);
    ASSERT_EQ(shown.size(), 1u) << c.what << "\n" << run.err;
    EXPECT_EQ(shown[0].rfind(c.box, 0), 0u) << c.what << "\n" << shown[0];
    EXPECT_EQ(read_file(folder / c.image), s.image) << c.what;
    if (c.image != "TalvoInsert.smc") {
      EXPECT_FALSE(fs::exists(folder / "TalvoInsert.smc")) << c.what;
    }
    EXPECT_FALSE(fs::exists(folder / "TalvoInsert.bps")) << c.what;
  }
}

}  // namespace
}  // namespace talvo
