// The talvo command line as scripts run it: exact files, one line for each
// problem, the documented exit status, and nothing written on a failure.
#include <gtest/gtest.h>

#include <cstdlib>

#include "banks.h"
#include "bps.h"
#include "image_builder.h"
#include "support/process.h"
#include "support/sjis.h"
#include "support/talvo_cli.h"

namespace talvo {
namespace {

using namespace testing;
namespace fs = std::filesystem;

// UTF-8 working copy of a Shift_JIS text, through the C library.
std::string to_utf8(const std::string& sjis) {
  TempFolder folder;
  write_file(folder / "in", sjis);
  const ProcessResult run = run_process({"/bin/sh", "-c", "iconv -f CP932 -t UTF-8 in > out"}, folder.path(), "");
  if (run.exit_status != 0) throw std::runtime_error("iconv: " + run.err);
  return read_file(folder / "out");
}

struct BankFiles {
  const char* bank;
  const char* text;
  const char* bank_file;
  const char* index_file;
  std::string (*expected_text)(const builder::ImageContent&);
  std::string (*expected_bank)(const builder::ImageContent&);
  std::string (*expected_index)(const builder::ImageContent&);
};

const BankFiles kBanks[] = {
    {"msg", "MsgDataDecode.txt", "MsgDataTalvo.bin", "MsgDataIDX.bin", builder::expected_message_text,
     builder::expected_message_bank, builder::expected_message_index},
    {"str", "StrDataDecode.txt", "StrDataTalvo.bin", "StrDataIDX.bin", builder::expected_fixed_string_text,
     builder::expected_fixed_string_bank, builder::expected_fixed_string_index},
    {"btl", "BtlDataDecode.txt", "BtlDataTalvo.bin", "BtlDataIDX.bin", builder::expected_battle_text,
     builder::expected_battle_bank, builder::expected_battle_index},
};

TEST(TalvoCommandLine, WritesWhatTheFourProgramsWrite) {
  const builder::ImageSize sizes[] = {builder::ImageSize::Plain4Mb, builder::ImageSize::CopierHeader4Mb,
                                      builder::ImageSize::Plain6Mb};
  for (std::uint64_t seed = 0; seed < 3; ++seed) {
    const builder::ImageContent content = builder::random_content(40 + seed);
    TempFolder folder;
    write_file(folder / "game.smc", bytes(builder::build_image(content, sizes[seed], seed)));
    fs::create_directories(folder / "sjis");
    fs::create_directories(folder / "utf8");
    ASSERT_EQ(talvo({"extract", "game.smc", "-o", "sjis"}, folder.path()).exit_status, 0);
    const ProcessResult utf8 = talvo({"extract", "game.smc", "-o", "utf8", "--encoding", "utf8"}, folder.path());
    ASSERT_EQ(utf8.exit_status, 0) << utf8.err;
    for (const BankFiles& bank : kBanks) {
      const std::string text = read_file(folder / "sjis" / bank.text);
      EXPECT_TRUE(text == bank.expected_text(content)) << bank.text << " differs, seed " << seed;
      EXPECT_TRUE(read_file(folder / "utf8" / bank.text) == to_utf8(text)) << bank.text << ": UTF-8 copy";
      // The Shift_JIS road and the UTF-8 road give the same banks.
      for (const char* road : {"sjis", "utf8"}) {
        const fs::path file = fs::path(road) / bank.text;
        const ProcessResult run =
            talvo({"encode", bank.bank, file.string(), "-o", road, "--encoding", road}, folder.path());
        ASSERT_EQ(run.exit_status, 0) << run.err;
        EXPECT_TRUE(read_file(folder / road / bank.bank_file) == bank.expected_bank(content)) << road << bank.bank;
        EXPECT_TRUE(read_file(folder / road / bank.index_file) == bank.expected_index(content)) << road << bank.bank;
      }
    }
  }
}

TEST(TalvoCommandLine, WritesTheReferenceFilesOfTheGoldenImages) {
  for (const char* name : {"header-4mb", "plain-6mb"}) {
    const fs::path reference = fs::path(TALVO_GOLDEN_DIR) / name;
    if (!fs::exists(reference / "image.smc.gz")) {
      if (std::getenv("CI") != nullptr) FAIL() << "reference images missing: " << reference;
      GTEST_SKIP() << "reference images missing: " << reference;
    }
    TempFolder folder;
    ASSERT_EQ(run_process({"/bin/sh", "-c", "gzip -dc \"$0\" > image.smc", (reference / "image.smc.gz").string()},
                          folder.path(), "")
                  .exit_status,
              0);
    ASSERT_EQ(talvo({"extract", "image.smc"}, folder.path()).exit_status, 0);
    for (const BankFiles& bank : kBanks) {
      EXPECT_TRUE(read_file(folder / bank.text) == read_file(reference / bank.text)) << name << " " << bank.text;
      ASSERT_EQ(talvo({"encode", bank.bank, bank.text}, folder.path()).exit_status, 0);
      EXPECT_TRUE(read_file(folder / bank.bank_file) == read_file(reference / bank.bank_file)) << name;
      EXPECT_TRUE(read_file(folder / bank.index_file) == read_file(reference / bank.index_file)) << name;
    }
  }
}

TEST(TalvoCommandLine, BadArgumentsGiveOneLineAndTheirStatus) {
  struct Case {
    std::vector<std::string> arguments;
    int status;
    std::string says;  // on standard error, or standard output for help
  };
  const Case cases[] = {
      {{}, 2, "talvo: A subcommand is required"},
      {{"unpack", "game.smc"}, 2, "talvo: "},
      {{"extract", "game.smc", "--fast"}, 2, "--fast"},
      {{"extract"}, 2, "IMAGE is required"},
      {{"encode", "txt", "file.txt"}, 2, "txt"},
      {{"check", "game.txt"}, 2, "--bank"},
      {{"extract", "missing.smc"}, 1, "talvo: missing.smc: No such file or directory"},
      {{"extract", "folder"}, 1, "talvo: folder: a folder, not a file"},
      {{"extract", "small.smc"}, 1, "talvo: small.smc: not a Talvo (SFC) image: 5 bytes"},
      {{"extract", "game.smc", "-o", "missing/out"}, 1, "talvo: missing/out/MsgDataDecode.txt: cannot be written"},
      {{"encode", "msg", "missing.txt"}, 1, "talvo: missing.txt: No such file or directory"},
      {{"insert", "game.smc", "-o", "new.smc"}, 2, "give at least one text file"},
      {{"insert", "game.smc", "--msg", "MsgDataDecode.txt", "-o", "game.smc"}, 2, "would replace the input image"},
      {{"insert", "game.smc", "--msg", "x.txt", "-o", "new.smc", "--room", "msg=0x20-0x10"},
       2,
       "END must lie after START"},
      {{"patch", "apply", "p.bps", "game.smc", "-o", "game.smc"}, 2, "may not replace the image"},
      {{"encode", "msg", "MsgDataTalvo.bin"}, 2, "talvo: MsgDataTalvo.bin: would replace the input MsgDataTalvo.bin"},
      {{"patch", "create", "game.smc", "small.smc", "-o", "small.smc"}, 2, "would replace the input small.smc"},
      {{"patch", "apply", "small.smc", "game.smc", "-o", "small.smc"}, 2, "small.smc: would replace the patch"},
      {{"extract", "MsgDataDecode.txt"}, 2, "MsgDataDecode.txt: would replace the input image"},
      // Two outputs that are one file: the patch would be written over the image.
      {{"insert", "game.smc", "--msg", "x.txt", "-o", "new.smc", "--bps", "new.smc"},
       2,
       "talvo: new.smc: -o and --bps name one file, which would hold only the last; name two files"},
      {{"insert", "game.smc", "--msg", "x.txt", "-o", "new.smc", "--bps", "./new.smc"}, 2, "name one file"},
      {{"insert", "game.smc", "--msg", "x.txt", "-o", "folder/../new.smc", "--bps", "new.smc"}, 2, "name one file"},
      {{"insert", "game.smc", "--msg", "x.txt", "-o", "small.smc", "--bps", "./small.smc"}, 2, "name one file"},
      {{"--bogus"}, 2, "talvo: unknown option --bogus; the commands are init, extract, encode, check, wrap, preview"},
      {{"patch", "frobnicate"}, 2, "talvo: 'frobnicate' is not a command; the commands are create, apply"},
      {{"check", "--max-line", "0", "game.txt"}, 2, "--max-line: expected a whole number from 1 to 1000000, not '0'"},
      {{"check", "--max-entry", "99999999999999999999999", "game.txt"}, 2, "expected a whole number from 1"},
      {{"insert", "game.smc", "--msg", "", "-o", "new.smc"}, 2, "talvo: --msg: an empty word names no file"},
      {{"extract", "game.smc", "--project", "p.toml", "--no-project"}, 2, "--project excludes --no-project"},
      {{"--project", "", "extract", "game.smc"}, 2, "talvo: --project: an empty word names no file"},
      {{"--version"}, 0, "talvo 1.0.0"},
      {{"--help"}, 0, "Usage: talvo"},
      {{"check", "--help"}, 0, "--max-line"},
  };
  TempFolder folder;
  write_file(folder / "game.smc",
             bytes(builder::build_image(builder::random_content(1), builder::ImageSize::Plain4Mb)));
  write_file(folder / "small.smc", "small");
  write_file(folder / "game.txt", "");
  write_file(folder / "MsgDataTalvo.bin", to_sjis("(0x0000)\nあ[00AC]\n"));
  write_file(folder / "MsgDataDecode.txt", "");
  fs::create_directory(folder / "folder");
  for (const Case& c : cases) {
    std::string what;
    for (const std::string& a : c.arguments) what += a + " ";
    const ProcessResult run = talvo(c.arguments, folder.path());
    EXPECT_EQ(run.exit_status, c.status) << what << "\n" << run.err;
    EXPECT_NE((c.status == 0 ? run.out : run.err).find(c.says), std::string::npos) << what << "\n" << run.err;
    if (c.status != 0) {
      EXPECT_EQ(run.out, "") << what;
    }
  }
  // Nothing was written by any of them.
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 6);
}

// --project and --no-project are taken before the command and by every one.
TEST(TalvoCommandLine, EveryCommandTakesTheProjectOptions) {
  for (const std::vector<std::string>& command : {std::vector<std::string>{"init"},
                                                  {"extract"},
                                                  {"encode"},
                                                  {"check"},
                                                  {"insert"},
                                                  {"patch", "create"},
                                                  {"patch", "apply"},
                                                  {"room"}}) {
    for (const char* option : {"--project=p.toml", "--no-project"}) {
      std::vector<std::string> arguments{option};
      arguments.insert(arguments.end(), command.begin(), command.end());
      arguments.insert(arguments.end(), {option, "--help"});
      const ProcessResult run = talvo(arguments, fs::temp_directory_path());
      EXPECT_EQ(run.exit_status, 0) << command[0] << " " << option << ": " << run.err;
      EXPECT_NE(run.out.find("--no-project"), std::string::npos) << command[0];
    }
  }
}

TEST(TalvoCommandLine, ExtractWritesTheBanksBeforeTheOneThatFails) {
  builder::ImageContent content = builder::random_content(7);
  std::vector<std::uint8_t> image = builder::build_image(content, builder::ImageSize::Plain4Mb);
  // Battle-text group 2 points past the end of the image.
  const std::size_t pointer = 0x152A4 + 3 * 2;
  image[pointer] = image[pointer + 1] = image[pointer + 2] = 0xFF;
  TempFolder folder;
  write_file(folder / "game.smc", bytes(image));
  write_file(folder / "BtlDataDecode.txt", "earlier work");
  const ProcessResult run = talvo({"extract", "game.smc"}, folder.path());
  EXPECT_EQ(run.exit_status, 1);
  EXPECT_EQ(run.err,
            "talvo: game.smc: battle text: stopped at entry 0x0010: its pointer or its text runs past the "
            "end of the image\n");
  EXPECT_TRUE(read_file(folder / "MsgDataDecode.txt") == builder::expected_message_text(content));
  EXPECT_TRUE(read_file(folder / "StrDataDecode.txt") == builder::expected_fixed_string_text(content));
  EXPECT_EQ(read_file(folder / "BtlDataDecode.txt"), "earlier work");
}

// A file that cannot be written (here a folder is in its place) leaves every
// file of the extraction as it was: none is replaced until all are written.
TEST(TalvoCommandLine, ExtractReplacesAllItsFilesOrNone) {
  TempFolder folder;
  write_file(folder / "game.smc",
             bytes(builder::build_image(builder::random_content(2), builder::ImageSize::Plain4Mb)));
  write_file(folder / "MsgDataDecode.txt", "a week of work");
  write_file(folder / "StrDataDecode.txt", "more work");
  fs::create_directory(folder / "BtlDataDecode.txt");
  const ProcessResult run = talvo({"extract", "game.smc"}, folder.path());
  EXPECT_EQ(run.exit_status, 1);
  EXPECT_NE(run.err.find("BtlDataDecode.txt: cannot be written"), std::string::npos) << run.err;
  EXPECT_EQ(read_file(folder / "MsgDataDecode.txt"), "a week of work");
  EXPECT_EQ(read_file(folder / "StrDataDecode.txt"), "more work");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 4);
}

TEST(TalvoCommandLine, EncodeShowsWhereTheEncoderStopsAndWritesNothing) {
  TempFolder folder;
  write_file(folder / "edited.txt", to_sjis("(0x0000)\nあい\nうaえ[00AC]\n"));
  write_file(folder / "MsgDataTalvo.bin", "old bank");
  const ProcessResult run = talvo({"encode", "msg", "edited.txt"}, folder.path());
  EXPECT_EQ(run.exit_status, 1);
  EXPECT_EQ(run.err,
            "edited.txt:3:2: error: half-width 'a' is not in the message table: running text is written in full-width "
            "characters; the game writes full-width upper-case letters: 'Ａ'\n");
  EXPECT_EQ(read_file(folder / "MsgDataTalvo.bin"), "old bank");
  EXPECT_FALSE(fs::exists(folder / "MsgDataIDX.bin"));
}

TEST(TalvoCommandLine, CheckListsEveryProblemAsCompilersDo) {
  TempFolder folder;
  const std::string text = "(0x0000)\nあ[00ac]\nい[00AC]\n\n(0x0002)\nうｶ(注)\n";
  write_file(folder / "msgdata-edited.txt", to_sjis(text));
  write_file(folder / "copy.txt", to_sjis(text));
  write_file(folder / "copy-utf8.txt", text);
  const std::string expected =
      "FILE:2:2: error: '[00ac]' is not a token of the message table; did you mean '[00AC]'?\n"
      "FILE:5:1: error: 3 entries; the message bank has 4047: 1 entry missing before here (this header is numbered "
      "0x0002 but begins entry 0x0001)\n"
      "FILE:6:2: error: half-width 'ｶ' is not in the message table: running text is written in full-width "
      "characters; write the full-width 'カ'\n"
      "FILE:6:3: error: '(' opens an entry header here, in the text of message 0x0002, which loses its end; write "
      "the full-width '（' in running text\n";
  struct Case {
    std::vector<std::string> arguments;
    std::string file;
  };
  const Case cases[] = {{{"check", "msgdata-edited.txt"}, "msgdata-edited.txt"},
                        {{"check", "--bank", "msg", "copy.txt"}, "copy.txt"},
                        {{"check", "--bank", "msg", "--encoding", "utf8", "copy-utf8.txt"}, "copy-utf8.txt"}};
  for (const Case& c : cases) {
    const ProcessResult run = talvo(c.arguments, folder.path());
    std::string lines = expected;
    for (std::size_t at; (at = lines.find("FILE")) != std::string::npos;) lines.replace(at, 4, c.file);
    EXPECT_EQ(run.exit_status, 1);
    EXPECT_EQ(run.err, lines + "talvo: 4 errors, 0 warnings\n") << c.file;
  }
  const ProcessResult colored = talvo({"check", "--color=always", "msgdata-edited.txt"}, folder.path());
  EXPECT_NE(colored.err.find("\033[1;31merror:\033[m"), std::string::npos);
}

// Some patchers make patches between whole files, copier header included:
// those apply to the whole file, and a refusal says what it found.
TEST(TalvoCommandLine, PatchesOfWholeHeaderedFilesApplyToTheWholeFile) {
  std::vector<std::uint8_t> source(2048 + 512), target;
  for (std::size_t i = 0; i < source.size(); ++i) source[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
  target = source;
  for (std::size_t i = 600; i < 700; ++i) target[i] ^= 0x5A;
  target[3] = 0x42;  // the copier header changes too
  const std::vector<std::uint8_t> patch = bps::create(source, target);
  TempFolder folder;
  write_file(folder / "whole.bps", bytes(patch));
  write_file(folder / "game.smc", bytes(source));
  const ProcessResult run = talvo({"patch", "apply", "whole.bps", "game.smc", "-o", "new.smc"}, folder.path());
  ASSERT_EQ(run.exit_status, 0) << run.err;
  EXPECT_TRUE(read_file(folder / "new.smc") == bytes(target));

  std::vector<std::uint8_t> other = source;
  other[10] ^= 1;  // another copier header before the same cartridge data
  write_file(folder / "other.smc", bytes(other));
  const ProcessResult refused =
      talvo({"patch", "apply", "whole.bps", "other.smc", "-o", "other-new.smc"}, folder.path());
  EXPECT_EQ(refused.exit_status, 1);
  EXPECT_NE(refused.err.find("copier header included"), std::string::npos) << refused.err;
  EXPECT_EQ(refused.err.find("this one has none"), std::string::npos) << refused.err;
  EXPECT_FALSE(fs::exists(folder / "other-new.smc"));
}

// What patch apply would refuse, patch create does not write.
TEST(TalvoCommandLine, PatchCreateRefusesATargetLargerThanAPatchMayMake) {
  TempFolder folder;
  write_file(folder / "game.smc", "source");
  // A sparse file: no disk, and its zeros read fast.
  write_file(folder / "huge.smc", "");
  fs::resize_file(folder / "huge.smc", bps::kMaxTargetSize + 1);
  const ProcessResult run = talvo({"patch", "create", "game.smc", "huge.smc", "-o", "huge.bps"}, folder.path());
  EXPECT_EQ(run.exit_status, 1);
  EXPECT_NE(run.err.find("huge.smc: a target of 268435457 bytes, more than the 256 MiB a patch may make here"),
            std::string::npos)
      << run.err;
  EXPECT_FALSE(fs::exists(folder / "huge.bps"));
}

// talvo with its standard streams on a terminal: `script` gives it one. Empty
// with the reason in `why_not` where no pseudo-terminal can be had (a fresh
// container may have none mounted).
std::string on_a_terminal(const std::string& arguments, const fs::path& folder, std::string& why_not) {
  const ProcessResult probe = run_process({"/usr/bin/script", "-qec", "true", "/dev/null"}, folder, "");
  if (probe.exit_status != 0) {
    why_not = "script cannot give a pseudo-terminal here (status " + std::to_string(probe.exit_status) +
              "): " + probe.err + probe.out;
    return {};
  }
  const ProcessResult run =
      run_process({"/usr/bin/script", "-qec", std::string(TALVO_CLI) + " " + arguments, "/dev/null"}, folder, "");
  std::string out = run.out;
  std::erase(out, '\r');
  return out;
}

// On a terminal each diagnostic shows its line with a caret under the spot,
// full-width characters taking two cells.
TEST(TalvoCommandLine, CheckPutsACaretUnderTheSpotOnATerminal) {
  TempFolder folder;
  write_file(folder / "MsgData-caret.txt", to_sjis("(0x0000)\nあい!う[00AC]\n"));
  std::string why_not;
  const std::string out = on_a_terminal("check --color=never MsgData-caret.txt", folder.path(), why_not);
  if (!why_not.empty()) GTEST_SKIP() << why_not;
  EXPECT_EQ(out,
            "MsgData-caret.txt:2:3: error: half-width '!' is not in the message table: running text is written in "
            "full-width characters; write the full-width '！'\n"
            "     2 | あい!う[00AC]\n"
            "       |     ^\n"
            "MsgData-caret.txt:2:11: error: 1 entry; the message bank has 4047: entries missing at the end\n"
            "     2 | あい!う[00AC]\n"
            "       |              ^\n"
            "talvo: 2 errors, 0 warnings\n");
}

// A file whose lines end in CR alone is one line to the checker: each of
// its problems quotes a piece of it around the caret, not all of it (20 KB
// of such text once printed 45 MB).
TEST(TalvoCommandLine, CheckQuotesAPieceOfALongLineOnATerminal) {
  TempFolder folder;
  write_file(folder / "MsgData-cr.txt", to_sjis("(0x0000)\r" + [] {
               std::string s;
               for (int i = 0; i < 2000; ++i) s += "あa\r";
               return s;
             }()));
  std::string why_not;
  const std::string out = on_a_terminal("check --color=never MsgData-cr.txt", folder.path(), why_not);
  if (!why_not.empty()) GTEST_SKIP() << why_not;
  EXPECT_NE(out.find("talvo: 4003 errors, 0 warnings\n"), std::string::npos) << out.substr(out.size() - 200);
  EXPECT_LT(out.size(), 4003u * 700);
}

}  // namespace
}  // namespace talvo
