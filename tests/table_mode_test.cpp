// Text written through translators' tables, as a translation into English
// goes: checked, encoded, inserted into builder images of every size and
// extracted back exactly; the game's own tables exported and used give
// today's files byte for byte; what a table lacks is told once, where it is.
#include <gtest/gtest.h>

#include "builtin_tables_export.h"
#include "english_script.h"
#include "image_builder.h"
#include "support/process.h"
#include "support/sjis.h"
#include "support/talvo_cli.h"

namespace talvo {
namespace {

using namespace testing;
namespace fs = std::filesystem;

// A whole English translation of the three banks, through tables of
// letters, punctuation and pairs, in a folder beside an image.
struct Translation {
  TempFolder folder;
  // `sentences`: at most in a message, few enough for a 4 MB image's room.
  Translation(builder::ImageSize size, std::size_t sentences) {
    write_file(folder / "game.smc", bytes(builder::build_image(builder::random_content(9), size, 9)));
    write_file(folder / "msg.tbl", builder::english_message_table(200));
    write_file(folder / "byte.tbl", builder::english_byte_table(100));
    write_file(folder / "MsgDataDecode.txt", builder::english_message_text(11, 4047, 24, sentences));
    write_file(folder / "StrDataDecode.txt", builder::english_byte_text(12, 958, false));
    write_file(folder / "BtlDataDecode.txt", builder::english_byte_text(13, 375, true));
  }
  std::vector<std::string> tables() const {
    return {"--msg-table", "msg.tbl", "--byte-table", "byte.tbl", "--encoding", "utf8"};
  }
};

std::vector<std::string> with(std::vector<std::string> arguments, const std::vector<std::string>& more) {
  arguments.insert(arguments.end(), more.begin(), more.end());
  return arguments;
}

TEST(TableMode, AnEnglishTranslationGoesInAndComesBackExactly) {
  struct Case {
    builder::ImageSize size;
    std::size_t sentences;
    std::vector<std::string> rooms;  // where the English needs more than the Japanese took
  };
  const Case cases[] = {
      {builder::ImageSize::Plain4Mb, 1, {"--room", "msg=0x3F0000-0x3FC000", "--room", "btl=0x3FC000-0x400000"}},
      {builder::ImageSize::CopierHeader4Mb, 1, {"--room", "msg=0x3F0000-0x3FC000", "--room", "btl=0x3FC000-0x400000"}},
      {builder::ImageSize::Plain6Mb, 3, {"--room", "msg=0x400000-0x500000", "--room", "btl=0x500000-0x510000"}},
  };
  for (const Case& c : cases) {
    Translation t(c.size, c.sentences);
    const auto check = talvo(with({"check", "MsgDataDecode.txt", "StrDataDecode.txt", "BtlDataDecode.txt"}, t.tables()),
                             t.folder.path());
    ASSERT_EQ(check.exit_status, 0) << check.err;
    EXPECT_EQ(check.err, "talvo: 0 errors, 0 warnings\n");
    const auto insert = talvo(with(with({"insert", "game.smc", "--msg", "MsgDataDecode.txt", "--str",
                                         "StrDataDecode.txt", "--btl", "BtlDataDecode.txt", "-o", "new.smc"},
                                        t.tables()),
                                   c.rooms),
                              t.folder.path());
    ASSERT_EQ(insert.exit_status, 0) << insert.err << insert.out;
    EXPECT_NE(insert.out.find("multi-character entries save "), std::string::npos) << insert.out;
    fs::create_directories(t.folder / "back");
    const auto extract = talvo(with({"extract", "new.smc", "-o", "back"}, t.tables()), t.folder.path());
    ASSERT_EQ(extract.exit_status, 0) << extract.err;
    for (const char* name : {"MsgDataDecode.txt", "StrDataDecode.txt", "BtlDataDecode.txt"}) {
      EXPECT_TRUE(read_file(t.folder / "back" / name) == read_file(t.folder / name)) << name;
    }
  }
}

// The encoder writes the codes the shortest encoding chose, laid out as the
// encoder programs lay out theirs: inserted, they read back as the text.
TEST(TableMode, EncodeWritesTheBankAndIndexOfTheChosenCodes) {
  Translation t(builder::ImageSize::Plain6Mb, 3);
  const auto run = talvo(with({"encode", "str", "StrDataDecode.txt"}, t.tables()), t.folder.path());
  ASSERT_EQ(run.exit_status, 0) << run.err;
  const std::string bank = read_file(t.folder / "StrDataTalvo.bin");
  const std::string index = read_file(t.folder / "StrDataIDX.bin");
  EXPECT_EQ(index.size(), 3u * 60);
  EXPECT_EQ(std::count(bank.begin(), bank.end(), '\xAC'), 958);
  // Fewer bytes than characters: the pairs were used.
  const std::string text = read_file(t.folder / "StrDataDecode.txt");
  EXPECT_LT(bank.size(), text.size() / 2);
}

// Extracting through the game's own tables, exported, gives the files of
// the game's tables byte for byte, in both encodings.
TEST(TableMode, TheGamesExportedTablesGiveTodaysFiles) {
  TempFolder folder;
  const builder::ImageContent content = builder::random_content(14);
  write_file(folder / "game.smc", bytes(builder::build_image(content, builder::ImageSize::Plain4Mb, 14)));
  write_file(folder / "msg.tbl", tables::export_builtin_table(CodeSet::Message));
  write_file(folder / "byte.tbl", tables::export_builtin_table(CodeSet::Byte));
  for (const char* encoding : {"sjis", "utf8"}) {
    const fs::path plain = folder / (std::string("plain-") + encoding);
    const fs::path tabled = folder / (std::string("tabled-") + encoding);
    fs::create_directories(plain);
    fs::create_directories(tabled);
    ASSERT_EQ(talvo({"extract", "game.smc", "-o", plain.string(), "--encoding", encoding}, folder.path()).exit_status,
              0);
    const auto run = talvo({"extract", "game.smc", "-o", tabled.string(), "--encoding", encoding, "--msg-table",
                            "msg.tbl", "--byte-table", "byte.tbl"},
                           folder.path());
    ASSERT_EQ(run.exit_status, 0) << run.err;
    for (const char* name : {"MsgDataDecode.txt", "StrDataDecode.txt", "BtlDataDecode.txt"}) {
      EXPECT_TRUE(read_file(plain / name) == read_file(tabled / name)) << encoding << " " << name;
    }
  }
}

TEST(TableMode, WhatATableLacksIsToldOnceWhereItIs) {
  TempFolder folder;
  write_file(folder / "caps.tbl", "/0AC=[end]\n*0AD=[line]\n0200= \n0201=W\n0202=E\n0203=L\n0204=C\n0205=O\n0206=M\n");
  write_file(folder / "MsgData.txt", "(0x0000)\nWelcome[end]\n");
  const auto run = talvo({"check", "--msg-table", "caps.tbl", "--encoding", "utf8", "MsgData.txt"}, folder.path());
  EXPECT_EQ(run.exit_status, 1);
  EXPECT_NE(run.err.find("MsgData.txt:2:2: error: no entry of caps.tbl covers 'elcome' here; the table has no "
                         "lower-case letters"),
            std::string::npos)
      << run.err;
  // One diagnostic for the run, and the entry count.
  EXPECT_NE(run.err.find("talvo: 2 errors, 0 warnings"), std::string::npos) << run.err;
}

TEST(TableMode, ATableAShiftJisFileCannotCarryIsRefusedByItsLine) {
  TempFolder folder;
  write_file(folder / "accents.tbl", "/0AC=[end]\n0200= \n0201=\xC3\xA9\n");
  write_file(folder / "MsgData.txt", "");
  const auto run = talvo({"check", "--msg-table", "accents.tbl", "MsgData.txt"}, folder.path());
  EXPECT_EQ(run.exit_status, 1);
  EXPECT_NE(run.err.find("accents.tbl:3: "), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("--encoding utf8"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace talvo
