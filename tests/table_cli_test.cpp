// talvo table as scripts run it: the game's tables exported, a table shown,
// new entries planned, with exact messages, exit statuses, and nothing
// written or replaced on a failure.
#include <gtest/gtest.h>

#include "builtin_tables_export.h"
#include "english_script.h"
#include "support/process.h"
#include "support/sjis.h"
#include "support/talvo_cli.h"
#include "table_file_reader.h"

namespace talvo {
namespace {

using namespace testing;
namespace fs = std::filesystem;

TEST(TableCommands, ExportWritesTheGamesTablesToStandardOutputOrAFile) {
  TempFolder folder;
  const ProcessResult out = talvo({"table", "export", "msg"}, folder.path());
  EXPECT_EQ(out.exit_status, 0) << out.err;
  EXPECT_EQ(out.out, tables::export_builtin_table(CodeSet::Message));
  const ProcessResult file = talvo({"table", "export", "byte", "-o", "byte.tbl"}, folder.path());
  EXPECT_EQ(file.exit_status, 0) << file.err;
  EXPECT_EQ(file.out, "");
  EXPECT_EQ(read_file(folder / "byte.tbl"), tables::export_builtin_table(CodeSet::Byte));
}

TEST(TableCommands, ShowTellsWhatATableNames) {
  TempFolder folder;
  write_file(folder / "t.tbl", "/0AC=[end]\n0200= \n0300=th\n");
  const ProcessResult run = talvo({"table", "show", "msg", "t.tbl"}, folder.path());
  EXPECT_EQ(run.exit_status, 0) << run.err;
  EXPECT_EQ(run.out.substr(0, run.out.find('\n')), "message table: 3 codes named, 1545 free");
  EXPECT_NE(run.out.find("multi-character entries: 1\n  0x300  th  (line 3)\n"), std::string::npos) << run.out;
}

TEST(TableCommands, ShowNamesEveryBadLineOfATable) {
  TempFolder folder;
  write_file(folder / "bad.tbl", "0302=e\n0302=f\n0AC=.\n");
  const ProcessResult run = talvo({"table", "show", "msg", "bad.tbl"}, folder.path());
  EXPECT_EQ(run.exit_status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err,
            "bad.tbl:2: error: code 0x302 is named twice (first on line 1)\n"
            "bad.tbl:3: error: code 0x0AC ends a message, so its text must be a name, such as [00AC]; running text "
            "never encodes into it\n"
            "talvo: bad.tbl: 2 errors in the message table; nothing was done\n");
}

struct English {
  TempFolder folder;
  English() {
    write_file(folder / "letters.tbl", builder::english_message_table(0));
    write_file(folder / "MsgEnglish.txt", builder::english_message_text(4, 300));
    write_file(folder / "bytes.tbl", builder::english_byte_table(0));
    write_file(folder / "StrEnglish.txt", builder::english_byte_text(5, 100, false));
    write_file(folder / "BtlEnglish.txt", builder::english_byte_text(6, 50, true));
  }
};

TEST(TableCommands, SuggestWritesTheBaseWithTheNewEntriesAndTellsTheSizes) {
  English e;
  const ProcessResult run = talvo({"table", "suggest", "--bank", "msg", "--table", "letters.tbl", "--free",
                                   "0x300-0x33F", "--encoding", "utf8", "MsgEnglish.txt", "-o", "planned.tbl"},
                                  e.folder.path());
  ASSERT_EQ(run.exit_status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_TRUE(run.out.starts_with("through letters.tbl: ")) << run.out;
  EXPECT_NE(run.out.find("\nclassic planner, "), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("\nthis plan, 64 entries: "), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("\nwritten: planned.tbl\n"), std::string::npos) << run.out;
  const std::string base = read_file(e.folder / "letters.tbl");
  const std::string planned = read_file(e.folder / "planned.tbl");
  ASSERT_TRUE(planned.starts_with(base));
  const tables::TableReading r = tables::read_translator_table(planned, CodeSet::Message);
  ASSERT_TRUE(r.ok());
  std::size_t added = 0;
  for (std::size_t code = 0x300; code <= 0x33F; ++code) added += r.table.codes[code].has_value();
  EXPECT_EQ(added, 64u);
}

TEST(TableCommands, SuggestTakesBothByteBanksTogether) {
  English e;
  const ProcessResult run =
      talvo({"table", "suggest", "--bank", "byte", "--table", "bytes.tbl", "--free", "0x00-0xAB,0xAF-0xFF", "--count",
             "10", "--max-length", "3", "--encoding", "utf8", "StrEnglish.txt", "BtlEnglish.txt", "-o", "planned.tbl"},
            e.folder.path());
  ASSERT_EQ(run.exit_status, 0) << run.err;
  EXPECT_NE(run.out.find("\nthis plan, 10 entries: "), std::string::npos) << run.out;
  EXPECT_NE(run.out.find(" bytes"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("passed over in --free: 72 codes bytes.tbl names, 39 controls of the game\n"),
            std::string::npos)
      << run.out;
}

TEST(TableCommands, SuggestReadsShiftJisFilesAndPointsAtWhatTheTableLacks) {
  TempFolder folder;
  write_file(folder / "kana.tbl", "/0AC=[end]\n0200=\xE3\x81\x82\n0201=\xE3\x81\x84\n");  // あ, い
  // Line 3: "う" lies beyond the table, two characters in.
  write_file(folder / "MsgKana.txt", to_sjis("(0x0000)\nあい[end]\n\n(0x0001)\nいう[end]\n"));
  const ProcessResult plain = talvo(
      {"table", "suggest", "--bank", "msg", "--table", "kana.tbl", "--free", "0x300", "MsgKana.txt", "-o", "out.tbl"},
      folder.path());
  EXPECT_EQ(plain.exit_status, 1);
  EXPECT_EQ(plain.err,
            "MsgKana.txt:5:2: error: no entry of kana.tbl covers '\xE3\x81\x86' here\n"
            "talvo: 1 error in the text read through kana.tbl; nothing was written\n");
  EXPECT_FALSE(fs::exists(folder / "out.tbl"));
}

TEST(TableCommands, SuggestNeverReplacesTheBaseTable) {
  English e;
  const std::string base = read_file(e.folder / "letters.tbl");
  const ProcessResult run = talvo({"table", "suggest", "--bank", "msg", "--table", "letters.tbl", "--free", "0x300",
                                   "--encoding", "utf8", "MsgEnglish.txt", "-o", "letters.tbl"},
                                  e.folder.path());
  EXPECT_EQ(run.exit_status, 1);
  EXPECT_EQ(run.err, "talvo: letters.tbl: would replace the input letters.tbl; name another file\n");
  EXPECT_EQ(read_file(e.folder / "letters.tbl"), base);
}

TEST(TableCommands, SuggestRefusesBadArgumentsWithTheirStatus) {
  English e;
  struct Case {
    std::vector<std::string> arguments;
    int status;
    const char* says;
  };
  const std::vector<std::string> start{"table", "suggest", "--bank", "msg", "--table", "letters.tbl"};
  const Case cases[] = {
      {{"--free", "0x0AC", "MsgEnglish.txt", "-o", "x.tbl"},
       2,
       "talvo: --free 0x0AC: code 0x0AC ends an entry or breaks a line; it cannot take running text\n"},
      {{"--free", "0x300-0x2FF", "MsgEnglish.txt", "-o", "x.tbl"},
       2,
       "talvo: --free 0x300-0x2FF: '0x300-0x2FF' ends before it begins\n"},
      {{"--free", "0x200-0x210", "MsgEnglish.txt", "-o", "x.tbl"},
       1,
       "talvo: --free 0x200-0x210: letters.tbl names every glyph code given; name free ones\n"},
      {{"--free", "0x300", "--max-length", "1", "MsgEnglish.txt", "-o", "x.tbl"}, 2, "--max-length"},
      {{"--free", "0x300", "MsgEnglish.txt"}, 2, "--output is required"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> arguments = start;
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    arguments.insert(arguments.end(), {"--encoding", "utf8"});
    const ProcessResult run = talvo(arguments, e.folder.path());
    EXPECT_EQ(run.exit_status, c.status) << c.says << "\n" << run.err;
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(e.folder / "x.tbl"));
  }
}

}  // namespace
}  // namespace talvo
