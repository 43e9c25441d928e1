// The project file read into its record: every key, paths resolved against
// the file's folder, and every key or value it does not take refused with
// its line.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <variant>

#include "offset_range.h"
#include "project_file.h"
#include "project_paths.h"
#include "toml_stand_ins.h"

namespace talvo::project {
namespace {

Project read_good(std::string_view text, std::string_view path = "proj/talvo.toml") {
  auto result = read_project(text, path);
  if (const auto* error = std::get_if<ProjectError>(&result)) {
    ADD_FAILURE() << error->line << ":" << error->column << ": " << error->message;
    return {};
  }
  return std::get<Project>(std::move(result));
}

TEST(ProjectFile, ReadsEveryKeyWithPathsFromItsFolder) {
  const Project p = read_good(
      "image = \"../game.smc\"          # the original, never written\n"
      "output = \"build/game-en.smc\"\n"
      "patch = \"build/game-en.bps\"\n"
      "encoding = \"utf8\"\n"
      "[text]\n"
      "msg = \"text/MsgDataDecode.txt\"\n"
      "str = \"text/StrDataDecode.txt\"\n"
      "btl = \"/abs/BtlDataDecode.txt\"\n"
      "[tables]\n"
      "msg = \"tables/msg.tbl\"\n"
      "byte = \"tables/byte.tbl\"\n"
      "[room]\n"
      "msg = [\"0x500000-0x5C0000\", \"6029312-6094848\"]\n"
      "btl = []\n");
  EXPECT_EQ(p.path, "proj/talvo.toml");
  EXPECT_EQ(p.folder, "proj/");
  EXPECT_EQ(p.image, "proj/../game.smc");
  EXPECT_EQ(p.output, "proj/build/game-en.smc");
  EXPECT_EQ(p.patch, "proj/build/game-en.bps");
  EXPECT_EQ(p.encoding, TextEncoding::Utf8);
  EXPECT_EQ(p.text.msg, "proj/text/MsgDataDecode.txt");
  EXPECT_EQ(p.text.str, "proj/text/StrDataDecode.txt");
  EXPECT_EQ(p.text.btl, "/abs/BtlDataDecode.txt");
  EXPECT_EQ(p.message_table, "proj/tables/msg.tbl");
  EXPECT_EQ(p.byte_table, "proj/tables/byte.tbl");
  const std::vector<OffsetRange> rooms{{0x500000, 0x5C0000}, {0x5C0000, 0x5D0000}};
  EXPECT_EQ(p.room.msg, rooms);
  EXPECT_TRUE(p.room.str.empty());
  EXPECT_TRUE(p.room.btl.empty());
  EXPECT_FALSE(p.window.msg.has_value());
  EXPECT_EQ(p.line_of("image"), 1u);
  EXPECT_EQ(p.line_of("text.btl"), 8u);
  EXPECT_EQ(p.line_of("room.msg"), 13u);
  EXPECT_EQ(p.line_of("window.msg"), 0u);
}

TEST(ProjectFile, ReadsTheWindowOfEachBank) {
  const Project p = read_good(
      "[window.msg]\n"
      "width = 16\n"
      "lines = 3\n"
      "page = [\"[00AF]\", \"[00AE]\"]\n"
      "line = \"[00AD]\"\n"
      "[window.btl]\n"
      "width = 224\n"
      "unit = \"px\"\n"
      "widths = \"widths.txt\"\n",
      "talvo.toml");
  ASSERT_TRUE(p.window.msg.has_value());
  EXPECT_EQ(p.window.msg->width, 16u);
  EXPECT_EQ(p.window.msg->lines, 3u);
  EXPECT_FALSE(p.window.msg->unit.has_value());
  EXPECT_EQ(p.window.msg->page, (std::vector<std::string>{"[00AF]", "[00AE]"}));
  EXPECT_EQ(p.window.msg->line, "[00AD]");
  EXPECT_FALSE(p.window.str.has_value());
  ASSERT_TRUE(p.window.btl.has_value());
  EXPECT_EQ(p.window.btl->unit, WindowUnit::Pixels);
  EXPECT_EQ(p.window.btl->widths, "widths.txt");
  EXPECT_FALSE(p.window.btl->lines.has_value());
  EXPECT_EQ(p.line_of("window.btl.widths"), 9u);
}

TEST(ProjectFile, TakesDottedKeysInlineTablesAndAnEmptyFile) {
  const Project dotted = read_good("text.msg = \"m.txt\"\nwindow.str = { width = 8, lines = 1 }\n", "a\\b/talvo.toml");
  EXPECT_EQ(dotted.text.msg, "a\\b/m.txt");
  ASSERT_TRUE(dotted.window.str.has_value());
  EXPECT_EQ(dotted.window.str->width, 8u);
  const Project empty = read_good("", "talvo.toml");
  EXPECT_EQ(empty.image, "");
  EXPECT_FALSE(empty.encoding.has_value());
  EXPECT_EQ(read_good("\xEF\xBB\xBFimage = \"g.smc\"\n", "talvo.toml").image, "g.smc");
}

struct Refusal {
  const char* name;
  std::string text;
  std::size_t line;
  std::string says;
};

const Refusal kRefusals[] = {
    {"a misspelt key", "encoding = \"utf8\"\nimgae = \"x.smc\"\n", 2, "unknown key 'imgae'; did you mean 'image'?"},
    {"a key nothing like one", "colour = 1\n", 1,
     "unknown key 'colour'; the keys here are image, output, patch, encoding, text, tables, room, window"},
    {"a misspelt bank", "[text]\nmsg = \"a\"\nmgs = \"b\"\n", 3, "unknown key 'mgs' in [text]; did you mean 'msg'?"},
    {"a table of the tables issue misnamed", "[tables]\nbytes = \"b.tbl\"\n", 2, "in [tables]; did you mean 'byte'?"},
    {"a window key misspelt", "\n[window.msg]\nwidht = 3\n", 3, "in [window.msg]; did you mean 'width'?"},
    {"a window of no bank", "[window.all]\nwidth = 3\n", 1,
     "unknown key 'all' in [window]; the keys there are msg, str, btl"},
    {"a number for a path", "\n\nimage = 3\n", 3, "image: expected a path in quotes, not a whole number"},
    {"an empty path", "output = \"\"\n", 1, "output: an empty string names no file"},
    {"a path with a NUL", "patch = \"a\\u0000b\"\n", 1, "patch: a path cannot hold the character U+0000"},
    {"another encoding", "encoding = \"utf-8\"\n", 1, "encoding: expected \"utf8\" or \"sjis\", not \"utf-8\""},
    {"a boolean encoding", "encoding = true\n", 1, "encoding: expected \"utf8\" or \"sjis\", not true or false"},
    {"text as a string", "text = \"MsgDataDecode.txt\"\n", 1, "text: expected a table ([text]), not a string"},
    {"a list of texts", "[text]\nmsg = [\"a\"]\n", 2, "text.msg: expected a path in quotes, not a list"},
    {"a room as a string", "[room]\nmsg = \"0x500000-0x5C0000\"\n", 2,
     "room.msg: expected a list of \"START-END\" strings"},
    {"a room backwards", "[room]\nstr = [\n  \"0x10-0x20\",\n  \"0x20-0x10\",\n]\n", 4,
     "room.str: \"0x20-0x10\": END must lie after START"},
    {"a room without an end", "[room]\nmsg = [\"0x500000\"]\n", 2, "expected START-END, such as 0x3F0000-0x3F8000"},
    {"a room of words", "[room]\nmsg = [\"start-end\"]\n", 2, "START and END are offsets"},
    {"a room as numbers", "[room]\nbtl = [5242880]\n", 2, "room.btl: expected \"START-END\" in quotes"},
    {"a room in a bank of none", "[room]\nall = []\n", 2, "unknown key 'all' in [room]"},
    {"a window width of 0", "[window.msg]\nwidth = 0\n", 2,
     "window.msg.width: expected a whole number from 1 to 4096, not 0"},
    {"a window width too large", "[window.msg]\nlines = 5000\n", 2, "from 1 to 4096, not 5000"},
    {"a window width with a fraction", "[window.msg]\nwidth = 1.5\n", 2, "not a number with a fraction"},
    {"a unit of ems", "[window.str]\nunit = \"em\"\n", 2, "window.str.unit: expected \"tiles\" or \"px\", not \"em\""},
    {"a page code alone", "[window.msg]\npage = \"[00AF]\"\n", 2, "window.msg.page: expected a list of tokens"},
    {"an empty line code", "[window.msg]\nline = \"\"\n", 2, "window.msg.line: an empty string is no token"},
    {"widths counted in tiles", "[window.msg]\nunit = \"tiles\"\nwidths = \"w.txt\"\n", 3,
     "window.msg.widths: widths are in pixels, and unit = \"tiles\" counts tiles"},
    {"a window as a number", "window = 5\n", 1, "window: expected a table ([window]), not a whole number"},
    {"a bank's window as a number", "[window]\nmsg = 5\n", 2, "window.msg: expected a table"},
    {"TOML that does not end a string", "image = \"a.smc\"\noutput = \"b.smc\n", 2, ""},
    {"a key given twice", "image = \"a.smc\"\n\nimage = \"b.smc\"\n", 3, ""},
    {"a table given twice", "[text]\nmsg = \"a\"\n[text]\nstr = \"b\"\n", 3, ""},
    {"bytes that are not UTF-8", "image = \"\xFF\"\n", 1, ""},
};

class ProjectFileRefusals : public ::testing::TestWithParam<int> {};

TEST_P(ProjectFileRefusals, NameTheLine) {
  const Refusal& c = kRefusals[GetParam()];
  SCOPED_TRACE(c.name);
  const auto result = read_project(c.text, "talvo.toml");
  ASSERT_TRUE(std::holds_alternative<ProjectError>(result));
  const ProjectError& error = std::get<ProjectError>(result);
  EXPECT_EQ(error.line, c.line) << error.message;
  EXPECT_GE(error.column, 1u);
  EXPECT_NE(error.message.find(c.says), std::string::npos) << error.message;
  EXPECT_FALSE(error.message.empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, ProjectFileRefusals, ::testing::Range(0, static_cast<int>(std::size(kRefusals))));

TEST(ProjectFile, RefusesAFileTooLargeUnread) {
  const std::string huge(kLargestProjectFile + 1, '#');
  const auto result = read_project(huge, "talvo.toml");
  ASSERT_TRUE(std::holds_alternative<ProjectError>(result));
  EXPECT_EQ(std::get<ProjectError>(result).line, 1u);
}

TEST(ProjectFile, ShowsAtMostFortyCharactersOfAnUnknownKey) {
  const std::string key(500, 'k');
  const auto result = read_project(key + " = 1\n", "talvo.toml");
  ASSERT_TRUE(std::holds_alternative<ProjectError>(result));
  EXPECT_LT(std::get<ProjectError>(result).message.size(), 200u);
}

// ---- Characters toml++ must not be asked about ----

TEST(ProjectFile, ReadsEveryCharacterInStringsAndComments) {
  // é, ゃ, 「」 and ﻿-like Arabic forms lie in the gaps of toml++'s
  // whitespace table; U+F0000 is one of the stand-ins' own plane.
  const std::string name = "Pok\u00E9mon \u3083\u300C\u300D \uFC00 \U000F0000 \u3000.smc";
  const std::string literal =
      "Pok\xC3\xA9mon \xE3\x82\x83\xE3\x80\x8C\xE3\x80\x8D \xEF\xB0\x80 "
      "\xF3\xB0\x80\x80 \xE3\x80\x80.smc";
  const Project p = read_good(
      "# \xE3\x80\x8C\xE3\x81\x82\xE3\x80\x8D \xC3\xA9\n"
      "image = \"" +
          literal +
          "\"  # \xE3\x81\x82\n"
          "output = '" +
          literal +
          "'\n"
          "patch = \"" +
          name +
          "\"\n"
          "[window.msg]\npage = [\"\xE3\x80\x82\"]\n",
      "talvo.toml");
  EXPECT_EQ(p.image, literal);
  EXPECT_EQ(p.output, literal);
  EXPECT_EQ(p.patch, literal);
  ASSERT_TRUE(p.window.msg.has_value());
  EXPECT_EQ(p.window.msg->page, std::vector<std::string>{"\xE3\x80\x82"});
}

TEST(ProjectFile, RefusesSuchCharactersOutsideStringsWithTheirLine) {
  for (const std::string text : {"image = 1\xC3\xA9\n", "\n\xE3\x81\x82 = 1\n", "[text]\nmsg = \"a\" \xEF\xB0\x80\n",
                                 "encoding = \"\xE3\x81\x82\"\n", "caf\xC3\xA9 = 1\n"}) {
    const auto result = read_project(text, "talvo.toml");
    ASSERT_TRUE(std::holds_alternative<ProjectError>(result)) << text;
    const ProjectError& error = std::get<ProjectError>(result);
    EXPECT_EQ(error.line, static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n') == 2 ? 2 : 1)) << text;
    // Whatever toml++ quotes of the file is the file's own character.
    EXPECT_EQ(error.message.find("\xF3\xB0"), std::string::npos) << error.message;
  }
}

TEST(TomlStandIns, StandInForTheGapsAndPutBackExactly) {
  EXPECT_TRUE(needs_stand_in(0xE9));
  EXPECT_TRUE(needs_stand_in(0x3042));
  EXPECT_TRUE(needs_stand_in(0xFC00));
  EXPECT_FALSE(needs_stand_in(0xA0));
  EXPECT_FALSE(needs_stand_in(0x3000));
  EXPECT_FALSE(needs_stand_in(0x30A2));  // katakana: answered by the table
  EXPECT_FALSE(needs_stand_in(0x2003));
  EXPECT_FALSE(needs_stand_in(0xFEFF));
  EXPECT_FALSE(needs_stand_in('a'));
  const std::string text =
      "a\xC3\xA9"
      "b\xE3\x81\x82\xC3\xA9\xF3\xB0\x80\x80\xFF";
  const auto guarded = with_stand_ins(text);
  ASSERT_TRUE(guarded.has_value());
  EXPECT_EQ(guarded->originals, (std::vector<char32_t>{0xE9, 0x3042, 0xF0000}));
  EXPECT_EQ(guarded->text,
            "a\xF3\xB0\x80\x80"
            "b\xF3\xB0\x80\x81\xF3\xB0\x80\x80\xF3\xB0\x80\x82\xFF");
  EXPECT_EQ(put_back(guarded->text, guarded->originals), text);
}

// ---- Offset ranges and paths ----

struct RangeCase {
  std::string text;
  std::optional<OffsetRange> range;
  std::string problem;
};

const RangeCase kRanges[] = {
    {"0x500000-0x5C0000", OffsetRange{0x500000, 0x5C0000}, ""},
    {"0X10-0Xff", OffsetRange{0x10, 0xFF}, ""},
    {"16-32", OffsetRange{16, 32}, ""},
    {"0-4294967295", OffsetRange{0, 0xFFFFFFFF}, ""},
    {"0-4294967296", std::nullopt, "START and END are offsets"},
    {"0x10-0x10", std::nullopt, "END must lie after START"},
    {"0x10", std::nullopt, "expected START-END"},
    {"-0x10", std::nullopt, "START and END are offsets"},
    {"0x10-", std::nullopt, "START and END are offsets"},
    {"0x-0x10", std::nullopt, "START and END are offsets"},
    {"0x10-0x20-0x30", std::nullopt, "START and END are offsets"},
    {" 16-32", std::nullopt, "START and END are offsets"},
};

TEST(OffsetRange, IsReadAsRoomTakesIt) {
  for (const RangeCase& c : kRanges) {
    OffsetRange range;
    const auto problem = parse_offset_range(c.text, range);
    EXPECT_EQ(problem.has_value(), !c.range.has_value()) << c.text;
    if (c.range) {
      EXPECT_EQ(range, *c.range) << c.text;
    }
    if (problem) {
      EXPECT_NE(problem->find(c.problem), std::string::npos) << c.text << ": " << *problem;
    }
  }
}

TEST(ProjectPaths, ResolveAgainstTheFilesFolder) {
  EXPECT_EQ(folder_of("talvo.toml"), "");
  EXPECT_EQ(folder_of("../talvo.toml"), "../");
  EXPECT_EQ(folder_of("/home/t/game/talvo.toml"), "/home/t/game/");
  EXPECT_EQ(resolve("", "text/a.txt"), "text/a.txt");
  EXPECT_EQ(resolve("../../", "text/a.txt"), "../../text/a.txt");
  EXPECT_EQ(resolve("proj", "a.smc"), "proj/a.smc");
  EXPECT_EQ(resolve("proj/", "/roms/a.smc"), "/roms/a.smc");
  EXPECT_TRUE(is_absolute("/a"));
  EXPECT_FALSE(is_absolute("a/b"));
  EXPECT_FALSE(is_absolute(""));
}

}  // namespace
}  // namespace talvo::project
