// talvo po and csv as translators run them: round trips to the extracted
// files byte for byte, work already done moving into PO and CSV, every bad
// file refused at its line with nothing written, edited text never replaced
// unasked, and check's consistency warnings.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "bank_entries.h"
#include "banks.h"
#include "cp932.h"
#include "image_builder.h"
#include "support/process.h"
#include "support/sjis.h"
#include "support/talvo_cli.h"
#include "token_tables.h"

namespace talvo {
namespace {

using namespace testing;
namespace fs = std::filesystem;

constexpr const char* kTextFiles[] = {"MsgDataDecode.txt", "StrDataDecode.txt", "BtlDataDecode.txt"};

std::string utf8_of(const std::string& sjis) { return sjis_to_utf8_text(sjis).utf8; }

std::vector<std::string> expected_texts(const builder::ImageContent& content) {
  return {builder::expected_message_text(content), builder::expected_fixed_string_text(content),
          builder::expected_battle_text(content)};
}

// A folder with the image of `content` as game.smc.
struct Game {
  explicit Game(const builder::ImageContent& c, builder::ImageSize size = builder::ImageSize::Plain4Mb) : content(c) {
    write_file(folder / "game.smc", bytes(builder::build_image(content, size, 5)));
  }
  builder::ImageContent content;
  TempFolder folder;
};

// The line of a text that holds `needle`.
std::size_t line_of_text(const std::string& text, const std::string& needle) {
  const std::size_t at = text.find(needle);
  return 1 + static_cast<std::size_t>(std::count(text.begin(), text.begin() + static_cast<long>(at), '\n'));
}

std::size_t files_in(const fs::path& folder) {
  return fs::exists(folder) ? static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), {})) : 0;
}

TEST(TalvoExchange, BadCommandLinesGiveOneLineAndStatus2) {
  struct Case {
    std::vector<std::string> arguments;
    std::string says;
  };
  const Case cases[] = {
      {{"po"}, "talvo: 'po' needs one of its commands: export, import"},
      {{"patch"}, "talvo: 'patch' needs one of its commands: create, apply"},
      {{"po", "send"}, "talvo: 'send' is not a command; the commands are export, import"},
      {{"csv", "export", "game.smc"}, "--output is required"},
      {{"po", "import", "-o", "out"}, "PO is required"},
      {{"csv", "import", "a.csv", "b.csv", "-o", "out"}, "talvo: FILE: one CSV at a time; b.csv is a second"},
      {{"po", "export", "", "-o", "out"}, "an empty word names no file"},
      {{"po", "import", "x.po", "-o", "out", "--encoding", "latin1"}, "latin1"},
  };
  TempFolder folder;
  for (const Case& c : cases) {
    const ProcessResult run = talvo(c.arguments, folder.path());
    EXPECT_EQ(run.exit_status, 2) << c.says;
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
  }
  EXPECT_EQ(files_in(folder.path()), 0u);
}

TEST(TalvoExchange, ExportThenImportGivesTheExtractedFilesByteForByte) {
  const builder::ImageSize sizes[] = {builder::ImageSize::Plain4Mb, builder::ImageSize::CopierHeader4Mb,
                                      builder::ImageSize::Plain6Mb};
  for (std::uint64_t seed = 0; seed < 3; ++seed) {
    Game game(builder::random_content(60 + seed), sizes[seed]);
    const std::vector<std::string> expected = expected_texts(game.content);
    ASSERT_EQ(talvo({"po", "export", "game.smc", "-o", "po"}, game.folder.path()).exit_status, 0);
    ASSERT_EQ(talvo({"csv", "export", "game.smc", "-o", "game.csv"}, game.folder.path()).exit_status, 0);
    for (const char* encoding : {"sjis", "utf8"}) {
      const std::string po_out = std::string("from-po-") + encoding, csv_out = std::string("from-csv-") + encoding;
      const ProcessResult po =
          talvo({"po", "import", "po/msg.pot", "po/str.pot", "po/btl.pot", "-o", po_out, "--encoding", encoding},
                game.folder.path());
      ASSERT_EQ(po.exit_status, 0) << po.err;
      EXPECT_NE(po.err.find("MsgDataDecode.txt: 4047 entries: 0 translated, 0 fuzzy (their originals kept), 4047 "
                            "untranslated\n"),
                std::string::npos)
          << po.err;
      const ProcessResult csv =
          talvo({"csv", "import", "game.csv", "-o", csv_out, "--encoding", encoding}, game.folder.path());
      ASSERT_EQ(csv.exit_status, 0) << csv.err;
      for (std::size_t bank = 0; bank < 3; ++bank) {
        const std::string want = std::strcmp(encoding, "utf8") == 0 ? utf8_of(expected[bank]) : expected[bank];
        EXPECT_TRUE(read_file(game.folder / po_out / kTextFiles[bank]) == want) << seed << encoding << bank;
        EXPECT_TRUE(read_file(game.folder / csv_out / kTextFiles[bank]) == want) << seed << encoding << bank;
      }
    }
  }
}

// Entry `index` of a bank's text file replaced: the file a translator edits.
std::string with_entry(const std::string& file, Bank bank, std::size_t index, const std::string& text) {
  exchange::SplitText split = exchange::split_entries(file, bank);
  std::vector<std::string> texts;
  for (const auto& entry : split.entries) texts.emplace_back(entry.text);
  texts.at(index) = text;
  return exchange::join_entries(texts, bank);
}

TEST(TalvoExchange, WorkAlreadyDoneMovesIntoPoAndCsvAndBack) {
  Game game(builder::random_content(8));
  const std::vector<std::string> expected = expected_texts(game.content);
  for (const char* encoding : {"sjis", "utf8"}) {
    const bool utf8 = std::strcmp(encoding, "utf8") == 0;
    const auto in_encoding = [&](const std::string& text) { return utf8 ? text : to_sjis(text); };
    // A message with a line break, a fixed string; CR LF line ends, which
    // editors on Windows write, read as the line feeds they stand for.
    std::string messages = with_entry(utf8_of(expected[0]), Bank::Messages, 2, "ＡＢ[00AD]\nＣ[00AC]");
    std::string strings = with_entry(utf8_of(expected[1]), Bank::FixedStrings, 1, "あい[AC]");
    const fs::path folder = game.folder / encoding;
    fs::create_directories(folder);
    write_file(folder / "MsgDataDecode.txt", in_encoding(messages));
    std::string crlf;
    for (const char c : in_encoding(strings)) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    write_file(folder / "StrData-edited.txt", crlf);
    const std::vector<std::string> texts{"--text", (fs::path(encoding) / "MsgDataDecode.txt").string(),
                                         (fs::path(encoding) / "StrData-edited.txt").string(), "--encoding", encoding};
    std::vector<std::string> po{"po", "export", "game.smc", "-o", (fs::path(encoding) / "po").string()};
    po.insert(po.end(), texts.begin(), texts.end());
    const ProcessResult exported = talvo(po, game.folder.path());
    ASSERT_EQ(exported.exit_status, 0) << exported.err;
    EXPECT_NE(exported.err.find("msg.pot: 1 of 4047 entries translated, from"), std::string::npos) << exported.err;
    const std::string pot = read_file(folder / "po" / "msg.pot");
    const std::size_t two = pot.find("msgctxt \"msg 0x0002\"\n");
    const std::string block = pot.substr(two, pot.find("\n\n", two) - two);
    EXPECT_TRUE(block.ends_with("msgstr \"\"\n\"ＡＢ[00AD]\\n\"\n\"Ｃ[00AC]\"")) << block;
    std::vector<std::string> csv{"csv", "export", "game.smc", "-o", (fs::path(encoding) / "game.csv").string()};
    csv.insert(csv.end(), texts.begin(), texts.end());
    ASSERT_EQ(talvo(csv, game.folder.path()).exit_status, 0);
    EXPECT_NE(read_file(folder / "game.csv").find(",あい[AC]\r\nstr,0x0002,"), std::string::npos);

    const std::string po_folder = (fs::path(encoding) / "po").string();
    ASSERT_EQ(talvo({"po", "import", po_folder + "/msg.pot", po_folder + "/str.pot", "-o",
                     (fs::path(encoding) / "from-po").string(), "--encoding", encoding},
                    game.folder.path())
                  .exit_status,
              0);
    ASSERT_EQ(talvo({"csv", "import", (fs::path(encoding) / "game.csv").string(), "-o",
                     (fs::path(encoding) / "from-csv").string(), "--encoding", encoding},
                    game.folder.path())
                  .exit_status,
              0);
    for (const char* from : {"from-po", "from-csv"}) {
      EXPECT_TRUE(read_file(folder / from / "MsgDataDecode.txt") == in_encoding(messages)) << encoding << from;
      EXPECT_TRUE(read_file(folder / from / "StrDataDecode.txt") == in_encoding(strings)) << encoding << from;
    }
    EXPECT_TRUE(read_file(folder / "from-csv" / "BtlDataDecode.txt") == (utf8 ? utf8_of(expected[2]) : expected[2]));
  }
}

// Runs an import of files written into a fresh folder, expecting it to
// fail with `says` on standard error and to write nothing.
void expect_refused(const std::vector<std::string>& command,
                    const std::vector<std::pair<std::string, std::string>>& files, const std::string& says,
                    const fs::path& image = {}) {
  TempFolder folder;
  if (!image.empty()) fs::copy_file(image, folder / "game.smc");
  for (const auto& [name, text] : files) write_file(folder / name, text);
  const ProcessResult run = talvo(command, folder.path());
  EXPECT_EQ(run.exit_status, 1) << says;
  EXPECT_NE(run.err.find(says), std::string::npos) << run.err;
  EXPECT_EQ(files_in(folder / "out"), 0u) << says;
}

TEST(TalvoExchange, PoImportRefusesBadFilesAtTheirLineAndWritesNothing) {
  Game game(builder::random_content(9));
  ASSERT_EQ(talvo({"po", "export", "game.smc", "-o", "."}, game.folder.path()).exit_status, 0);
  const std::string btl = read_file(game.folder / "btl.pot");
  const std::string one = "msgctxt \"btl 0x0000\"\nmsgid \"a\"\nmsgstr \"\"\n";
  // The last message of the template, translated into what Shift_JIS lacks.
  std::string unwritable = btl;
  unwritable.replace(unwritable.rfind("msgstr \"\""), 9, "msgstr \"\"\n\"[AC]\\n\"\n\"caf\xC3\xA9[AC]\"");
  std::string missing = btl;
  const std::size_t five = missing.find("msgctxt \"btl 0x0005\"");
  missing.erase(five, missing.find("msgctxt \"btl 0x0006\"") - five);
  const std::size_t lines = static_cast<std::size_t>(std::count(btl.begin(), btl.end(), '\n'));
  struct Case {
    std::string po;
    std::string says;
  };
  const Case cases[] = {
      {"msgid \"a\"\nmsgstr \"b\"\n", "x.po:1: error: a message without msgctxt"},
      {"\n" + one + "msgctxt \"btl 0x0000\"\nmsgid \"b\"\nmsgstr \"\"\n",
       "x.po:5: error: a second message for btl 0x0000; the first is at x.po:2"},
      {"msgctxt \"btl 0x0177\"\nmsgid \"a\"\nmsgstr \"\"\n",
       "x.po:1: error: btl 0x0177 names no entry: the battle-text bank has 375, 0x0000 to 0x0176"},
      {"msgctxt \"battle 1\"\nmsgid \"a\"\nmsgstr \"\"\n", "x.po:1: error: the context \"battle 1\" names no entry"},
      {one + "msgctxt \"btl 0x0001\"\nmsgid \"b\nmsgstr \"\"\n", "x.po:5: error: the string is not closed"},
      {one + "msgstr \"b\"\n", "x.po:4: error: msgstr without a msgid before it"},
      {"msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n", "x.po: error: no messages"},
      {"msgctxt \"btl 0x0000\"\nmsgid \"a\"\nmsgid_plural \"b\"\nmsgstr[0] \"c\"\n", "x.po:1: error: a plural message"},
      {one + "msgctxt \"btl 0x0002\"\nmsgid \"a\"\nmsgstr \"\"\n",
       "x.po:1: error: btl 0x0001 is missing (the entry before it is here): the battle-text bank has 375 entries"},
      {missing,
       "x.po:" + std::to_string(line_of_text(missing, "msgctxt \"btl 0x0004\"")) + ": error: btl 0x0005 is missing"},
      {unwritable, "x.po:" + std::to_string(lines + 2) +
                       ": error: 'é' (U+00E9) in btl 0x0176 has no Shift_JIS form: write it otherwise, or import "
                       "with --encoding utf8"},
  };
  for (const Case& c : cases) {
    expect_refused({"po", "import", "x.po", "-o", "out"}, {{"x.po", c.po}}, c.says);
  }
  // Two files of one bank are one bank's messages: each entry once in all.
  expect_refused({"po", "import", "a.po", "b.po", "-o", "out"}, {{"a.po", btl}, {"b.po", one}},
                 "b.po:1: error: a second message for btl 0x0000; the first is at a.po:");
  // What Shift_JIS lacks, a UTF-8 file holds.
  write_file(game.folder / "x.po", unwritable);
  const ProcessResult utf8 = talvo({"po", "import", "x.po", "-o", "out", "--encoding", "utf8"}, game.folder.path());
  EXPECT_EQ(utf8.exit_status, 0) << utf8.err;
  EXPECT_TRUE(read_file(game.folder / "out" / "BtlDataDecode.txt").ends_with("(0x0176)[AC]\ncafé[AC]\n"));
}

TEST(TalvoExchange, CsvImportRefusesBadRowsAtTheirLineAndWritesNothing) {
  const std::string header = "bank,entry,original,translation\r\n";
  struct Case {
    std::string csv;
    std::string says;
  };
  const Case cases[] = {
      {"",
       "x.csv:1: error: no header row naming the columns bank,entry,original,translation (missing: bank, entry, "
       "original, translation)"},
      {"bank,entry,original\r\nbtl,0x0000,a\r\n",
       "x.csv:1: error: no header row naming the columns "
       "bank,entry,original,translation (missing: translation)"},
      {header, "x.csv: error: no rows below the header row"},
      {header + "battle,0x0000,a,\r\n", "x.csv:2: error: row 2: 'battle' is no bank"},
      {header + "btl,12,a,\r\n", "x.csv:2: error: row 2: '12' is no entry number"},
      {header + "btl,0x0177,a,\r\n", "x.csv:2: error: row 2: btl 0x0177 names no entry"},
      {header + "btl,0x0000,\"a\nb\",\r\n,,,\r\nbtl,0x0000,c,\r\n",
       "x.csv:5: error: row 4: a second row for btl 0x0000; the first is row 2, at line 2"},
      {header + "btl,0x0001,a,\r\n", "x.csv:2: error: btl 0x0000 is missing (the entry after it is here)"},
      {header + "btl,0x0000,a,\"b\"c\r\n", "x.csv:2: error: text after the closing quote"},
      {header + "btl,0x0000,a,\"ok\n\ncaf\xC3\xA9\"\r\n",
       "x.csv:4: error: 'é' (U+00E9) in btl 0x0000 has no Shift_JIS form"},
  };
  for (const Case& c : cases) expect_refused({"csv", "import", "x.csv", "-o", "out"}, {{"x.csv", c.csv}}, c.says);
}

TEST(TalvoExchange, ExportsRefuseTextFilesThatAreNotTheBanksEntriesInOrder) {
  Game game(builder::random_content(10));
  const std::string messages = builder::expected_message_text(game.content);
  const std::string doubled = with_entry(messages, Bank::Messages, 7, "[00AC]\n\n(0x0007)\n[00AC]");
  const std::string shorter = messages.substr(0, messages.rfind("\n(0x"));
  struct Case {
    std::string name;
    std::string text;
    std::string says;
  };
  const Case cases[] = {
      {"MsgDataDecode.txt", doubled,
       "MsgDataDecode.txt:" + std::to_string(line_of_text(doubled, "(0x0007)\n[00AC]\n\n(0x0008)")) +
           ": error: this header reads 0x0007 where message 0x0008 stands"},
      {"MsgDataDecode.txt", shorter, "MsgDataDecode.txt: error: 4046 entries; the message bank has 4047"},
      {"MsgDataDecode.txt", "\x82\xA0\n" + messages, "MsgDataDecode.txt:1: error: text before the first"},
      {"MsgDataDecode.txt", messages + "\x82",
       "MsgDataDecode.txt:" + std::to_string(std::count(messages.begin(), messages.end(), '\n') + 1) +
           ": error: bytes that are not Shift_JIS"},
      {"translation.txt", messages, "talvo: translation.txt: which bank does it hold?"},
  };
  for (const Case& c : cases) {
    for (const char* command : {"po", "csv"}) {
      expect_refused({command, "export", "game.smc", "-o", "out/x", "--text", c.name}, {{c.name, c.text}}, c.says,
                     game.folder / "game.smc");
    }
  }
}

TEST(TalvoExchange, ImportsNeverReplaceEditedTextUnasked) {
  Game game(builder::random_content(11));
  ASSERT_EQ(talvo({"po", "export", "game.smc", "-o", "po"}, game.folder.path()).exit_status, 0);
  const std::vector<std::string> import{"po", "import", "po/msg.pot", "po/str.pot", "po/btl.pot", "-o", "text"};
  ASSERT_EQ(talvo(import, game.folder.path()).exit_status, 0);
  // The same import again finds the same files: nothing to refuse.
  ASSERT_EQ(talvo(import, game.folder.path()).exit_status, 0);
  write_file(game.folder / "text" / "MsgDataDecode.txt", "a week of work");
  write_file(game.folder / "text" / "StrDataDecode.txt", "more work");
  fs::remove(game.folder / "text" / "BtlDataDecode.txt");
  const ProcessResult refused = talvo(import, game.folder.path());
  EXPECT_EQ(refused.exit_status, 1);
  EXPECT_EQ(refused.err,
            "talvo: text/MsgDataDecode.txt and text/StrDataDecode.txt hold other text than this would write; nothing "
            "written: give --force to replace them\n");
  EXPECT_EQ(read_file(game.folder / "text" / "MsgDataDecode.txt"), "a week of work");
  EXPECT_EQ(read_file(game.folder / "text" / "StrDataDecode.txt"), "more work");
  EXPECT_FALSE(fs::exists(game.folder / "text" / "BtlDataDecode.txt"));
  std::vector<std::string> forced = import;
  forced.push_back("--force");
  ASSERT_EQ(talvo(forced, game.folder.path()).exit_status, 0);
  EXPECT_TRUE(read_file(game.folder / "text" / "MsgDataDecode.txt") == builder::expected_message_text(game.content));

  // The spreadsheet a team fills in is their work too.
  write_file(game.folder / "game.csv", "bank,entry,original,translation\r\n");
  const ProcessResult csv = talvo({"csv", "export", "game.smc", "-o", "game.csv"}, game.folder.path());
  EXPECT_EQ(csv.exit_status, 1);
  EXPECT_EQ(csv.err,
            "talvo: game.csv holds other text than this would write; nothing written: give --force to "
            "replace it\n");
  EXPECT_EQ(talvo({"csv", "export", "game.smc", "-o", "game.csv", "--force"}, game.folder.path()).exit_status, 0);
}

TEST(TalvoExchange, OutputFoldersAreMadeWithTheirParents) {
  Game game(builder::random_content(12));
  ASSERT_EQ(talvo({"po", "export", "game.smc", "-o", "a/b/po"}, game.folder.path()).exit_status, 0);
  ASSERT_EQ(talvo({"po", "import", "a/b/po/btl.pot", "-o", "c/d/"}, game.folder.path()).exit_status, 0);
  ASSERT_EQ(talvo({"csv", "export", "game.smc", "-o", "e/f/game.csv"}, game.folder.path()).exit_status, 0);
  EXPECT_TRUE(fs::exists(game.folder / "c" / "d" / "BtlDataDecode.txt"));
  EXPECT_TRUE(fs::exists(game.folder / "e" / "f" / "game.csv"));
  const ProcessResult blocked = talvo({"po", "export", "game.smc", "-o", "game.smc/po"}, game.folder.path());
  EXPECT_EQ(blocked.exit_status, 1);
  EXPECT_EQ(blocked.err, "talvo: game.smc/po: the folder cannot be made: Not a directory\n");
}

TEST(TalvoExchange, ABrokenImageIsRefusedWithWhatStoppedIt) {
  builder::ImageContent content = builder::random_content(13);
  std::vector<std::uint8_t> image = builder::build_image(content, builder::ImageSize::Plain4Mb);
  const std::size_t pointer = 0x152A4 + 3 * 2;  // battle-text group 2, past the end of the image
  image[pointer] = image[pointer + 1] = image[pointer + 2] = 0xFF;
  TempFolder folder;
  write_file(folder / "game.smc", bytes(image));
  for (const char* command : {"po", "csv"}) {
    const ProcessResult run = talvo({command, "export", "game.smc", "-o", "out"}, folder.path());
    EXPECT_EQ(run.exit_status, 1);
    EXPECT_EQ(run.err,
              "talvo: game.smc: battle text: stopped at entry 0x0010: its pointer or its text runs past the end of "
              "the image\n");
    EXPECT_FALSE(fs::exists(folder / "out"));
  }
}

// The message code whose token is this character.
std::uint16_t message_code(const char* utf8) {
  const std::string sjis = to_sjis(utf8);
  const MessageTokenTable& table = message_extraction_table();
  for (std::uint16_t code = 0; code < table.size(); ++code) {
    if (sjis == table[code].data()) return code;
  }
  throw std::runtime_error(std::string("no message code for ") + utf8);
}

TEST(TalvoExchange, CheckWarnsOfOneOriginalTranslatedTwoWaysAndOfTermsLeftOut) {
  builder::ImageContent content = builder::sample_content();
  const std::vector<std::uint16_t> aiu{message_code("あ"), message_code("い"), message_code("う"), 0x0AC};
  content.messages[2] = content.messages[5] = content.messages[9] = aiu;
  content.messages[11] = {message_code("う"), message_code("い"), 0x0AC};
  Game game(content);
  std::string text = utf8_of(builder::expected_message_text(content));
  text = with_entry(text, Bank::Messages, 2, "ＡＢ[00AC]");
  text = with_entry(text, Bank::Messages, 5, "Ａ\nＢ[00AC]");  // the same, line feeds aside
  text = with_entry(text, Bank::Messages, 9, "ＡＣ[00AC]");
  text = with_entry(text, Bank::Messages, 11, "ＸＹ[00AC]");
  write_file(game.folder / "MsgData-utf8.txt", text);
  write_file(game.folder / "MsgData-sjis.txt", to_sjis(text));
  write_file(game.folder / "glossary.csv", "\xEF\xBB\xBFsource,target\r\nい,Ｂ\r\n");
  const std::string nine = std::to_string(line_of_text(text, "(0x0009)"));
  const std::string eleven = std::to_string(line_of_text(text, "(0x000B)"));
  for (const char* encoding : {"utf8", "sjis"}) {
    const std::string file = std::string("MsgData-") + encoding + ".txt";
    const ProcessResult run =
        talvo({"check", file, "--encoding", encoding, "--original", "game.smc", "--glossary", "glossary.csv"},
              game.folder.path());
    EXPECT_EQ(run.exit_status, 0) << run.err;
    EXPECT_EQ(run.err, file + ":" + nine +
                           ":1: warning: message 0x0009 has the same original as message 0x0002 but another "
                           "translation; translate them alike, unless their places in the game need different words\n" +
                           file + ":" + nine +
                           ":1: warning: message 0x0009: the original holds 'い' but the translation lacks 'Ｂ'; the "
                           "glossary gives it (glossary.csv:2)\n" +
                           file + ":" + eleven +
                           ":1: warning: message 0x000B: the original holds 'い' but the translation lacks 'Ｂ'; the "
                           "glossary gives it (glossary.csv:2)\n"
                           "talvo: 0 errors, 3 warnings\n");
  }
  // Without the original nothing is compared; a glossary needs it.
  EXPECT_EQ(talvo({"check", "MsgData-sjis.txt"}, game.folder.path()).err, "talvo: 0 errors, 0 warnings\n");
  EXPECT_EQ(talvo({"check", "MsgData-sjis.txt", "--glossary", "glossary.csv"}, game.folder.path()).exit_status, 2);
  write_file(game.folder / "glossary.csv", "source,target\nい,\n");
  const ProcessResult bad =
      talvo({"check", "MsgData-sjis.txt", "--original", "game.smc", "--glossary", "glossary.csv"}, game.folder.path());
  EXPECT_EQ(bad.exit_status, 1);
  EXPECT_EQ(bad.err, "glossary.csv:2: error: a term without its target: each row of the glossary gives both\n");
}

}  // namespace
}  // namespace talvo
