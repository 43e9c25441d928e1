// The PO reader and writer: files as gettext's tools and editors lay them
// out, each malformed file refused at its line, and what the writer writes
// read back the same.
#include <gtest/gtest.h>

#include <string>

#include "po_file.h"

namespace talvo::exchange {
namespace {

PoFile read_ok(const std::string& text) {
  PoFile file;
  PoError error;
  EXPECT_TRUE(read_po(text, file, error)) << error.line << ": " << error.message << "\n" << text;
  return file;
}

constexpr char kHeader[] =
    "msgid \"\"\n"
    "msgstr \"\"\n"
    "\"Content-Type: text/plain; charset=UTF-8\\n\"\n"
    "\n";

TEST(PoReader, RefusesMalformedFilesAtTheirLine) {
  struct Case {
    const char* what;
    std::string text;
    std::size_t line;
    const char* says;
  };
  const Case cases[] = {
      {"a string not closed", "msgid \"abc\nmsgstr \"\"\n", 1, "not closed"},
      {"a string ending in a backslash", "msgid \"abc\\\nmsgstr \"\"\n", 1, "backslash"},
      {"msgstr before msgid", "msgstr \"x\"\n", 1, "msgstr without a msgid"},
      {"msgstr after msgctxt", "msgctxt \"c\"\nmsgstr \"x\"\n", 2, "msgstr without a msgid"},
      {"two msgid", "msgid \"a\"\nmsgid \"b\"\nmsgstr \"\"\n", 2, "msgid inside the message that begins at line 1"},
      {"two msgctxt", "msgctxt \"a\"\nmsgctxt \"b\"\n", 2, "msgctxt inside"},
      {"msgctxt after msgid", "msgid \"a\"\nmsgctxt \"b\"\nmsgstr \"\"\n", 2, "msgctxt inside"},
      {"a second msgstr", "msgid \"a\"\nmsgstr \"b\"\nmsgstr \"c\"\n", 3, "msgstr without a msgid"},
      {"a string without a keyword", "\n\"abc\"\n", 2, "a string without a keyword"},
      {"an unknown keyword", "msgid \"a\"\nmsgtext \"b\"\n", 2, "'msgtext' begins no PO line"},
      {"a keyword without its string", "msgid\nmsgstr \"\"\n", 1, "a quoted string must follow"},
      {"text after the string", "msgid \"a\" b\nmsgstr \"\"\n", 1, "text after the string: 'b'"},
      {"an escape C lacks", "msgid \"\\q\"\nmsgstr \"\"\n", 1, "'\\q' is not an escape"},
      {"\\x without digits", "msgid \"\\xg\"\nmsgstr \"\"\n", 1, "hexadecimal digits"},
      {"an escape past a byte", "msgid \"\\x100\"\nmsgstr \"\"\n", 1, "\\xFF"},
      {"the file ends before msgstr", "# note\nmsgctxt \"a\"\nmsgid \"b\"\n", 2, "its msgstr is missing"},
      {"a charset other than UTF-8",
       "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=ISO-8859-1\\n\"\n\nmsgid \"a\"\nmsgstr \"\"\n", 1,
       "charset ISO-8859-1"},
      {"bytes that are not UTF-8", std::string(kHeader) + "msgid \"a\"\nmsgstr \"\xE9t\xE9\"\n", 6, "not UTF-8"},
      {"escapes that make no UTF-8", std::string(kHeader) + "msgid \"a\"\nmsgstr \"\"\n\"\\351\"\n", 7, "not UTF-8"},
      {"a second header", std::string(kHeader) + "msgid \"\"\nmsgstr \"x\"\n", 5, "a second header entry"},
      {"an obsolete line inside a message", "msgid \"a\"\n#~ msgstr \"b\"\nmsgstr \"\"\n", 2, "obsolete"},
      {"msgstr in a plural message", "msgid \"a\"\nmsgid_plural \"as\"\nmsgstr \"b\"\n", 3, "msgstr[0]"},
      {"plural forms out of order", "msgid \"a\"\nmsgid_plural \"as\"\nmsgstr[1] \"b\"\n", 3, "msgstr[1] out of place"},
      {"msgid_plural alone", "msgid_plural \"as\"\n", 1, "msgid_plural without a msgid"},
  };
  for (const Case& c : cases) {
    PoFile file;
    PoError error;
    EXPECT_FALSE(read_po(c.text, file, error)) << c.what;
    EXPECT_EQ(error.line, c.line) << c.what << ": " << error.message;
    EXPECT_NE(error.message.find(c.says), std::string::npos) << c.what << ": " << error.message;
  }
}

TEST(PoReader, JoinsStringsSplitOverLinesAndKnowsTheLineOfEachPiece) {
  const PoFile file = read_ok(std::string(kHeader) +
                              "msgctxt \"msg \" \"0x0001\"\n"
                              "msgid \"\"\n"
                              "\"first line\\n\"\n"
                              "   \"second \"  \"line\"\n"
                              "msgstr \"\"\n"
                              "\n"  // gettext reads blank lines inside a message as nothing
                              "\"one\\n\"\r\n"
                              "\"two\"\n");
  ASSERT_EQ(file.messages.size(), 1u);
  const PoMessage& m = file.messages[0];
  EXPECT_EQ(m.line, 5u);
  EXPECT_EQ(m.context->text, "msg 0x0001");
  EXPECT_EQ(m.id.text, "first line\nsecond line");
  EXPECT_EQ(m.translation.text, "one\ntwo");
  EXPECT_EQ(line_of(m.id.pieces, 0), 7u);
  EXPECT_EQ(line_of(m.id.pieces, 11), 8u);  // "second "
  EXPECT_EQ(line_of(m.translation.pieces, 5), 12u);
  EXPECT_EQ(m.translation.line, 9u);
}

TEST(PoReader, ReadsEveryEscapeOfC) {
  const PoFile file = read_ok("msgid \"a\"\nmsgstr \"\\n\\t\\r\\a\\b\\f\\v\\\\\\\"\\'\\?\\101\\0\\x42\\x4a\\1234\"\n");
  EXPECT_EQ(file.messages.at(0).translation.text,
            std::string("\n\t\r\a\b\f\v\\\"'?A", 12) + std::string(1, '\0') + "BJS4");
}

TEST(PoReader, TakesFlagsAndCommentsForTheMessageTheyStandBeforeOrInside) {
  const PoFile file = read_ok(std::string(kHeader) +
                              "# translator's note\n"
                              "#.  tool's note\n"
                              "#: MsgDataDecode.txt:5\n"
                              "#: MsgDataDecode.txt:9\n"
                              "#, c-format fuzzy,no-wrap\n"
                              "#| msgid \"old\"\n"
                              "msgctxt \"msg 0x0000\"\n"
                              "msgid \"a\"\n"
                              "msgstr \"b\"\n"
                              "msgctxt \"msg 0x0001\"\n"  // no blank line before it
                              "msgid \"c\"\n"
                              "#, fuzzy\n"
                              "msgstr \"d\"\n"
                              "#. belongs to the next\n"
                              "msgctxt \"msg 0x0002\"\n"
                              "msgid \"e\"\n"
                              "msgstr \"\"\n");
  ASSERT_EQ(file.messages.size(), 3u);
  EXPECT_EQ(file.messages[0].comments, "translator's note");
  EXPECT_EQ(file.messages[0].extracted_comments, " tool's note");
  EXPECT_EQ(file.messages[0].references, "MsgDataDecode.txt:5\nMsgDataDecode.txt:9");
  EXPECT_TRUE(file.messages[0].fuzzy);
  EXPECT_EQ(file.messages[0].flags, (std::vector<std::string>{"c-format", "no-wrap"}));
  EXPECT_TRUE(file.messages[1].fuzzy);
  EXPECT_EQ(file.messages[1].extracted_comments, "");
  EXPECT_FALSE(file.messages[2].fuzzy);
  EXPECT_EQ(file.messages[2].extracted_comments, "belongs to the next");
}

TEST(PoReader, PassesOverObsoleteMessagesWithTheirComments) {
  const PoFile file = read_ok(std::string(kHeader) +
                              "#, fuzzy\n"
                              "#~ msgctxt \"msg 0x0005\"\n"
                              "#~ msgid \"gone\"\n"
                              "#~ msgstr \"parti\"\n"
                              "\n"
                              "msgctxt \"msg 0x0000\"\n"
                              "msgid \"a\"\n"
                              "msgstr \"b\"\n"
                              "#~ msgid \"also gone\"\n"
                              "#~ msgstr \"\"\n");
  ASSERT_EQ(file.messages.size(), 1u);
  EXPECT_FALSE(file.messages[0].fuzzy);
  EXPECT_EQ(file.messages[0].translation.text, "b");
}

TEST(PoReader, ReadsTheHeaderApartAndFilesOfWindowsEditors) {
  const PoFile file = read_ok(
      "\xEF\xBB\xBF# title\r\n#, fuzzy\r\nmsgid \"\"\r\nmsgstr \"\"\r\n\"Content-Type: text/plain; "
      "charset=utf-8\\n\"\r\n\r\nmsgid \"a\"\r\nmsgstr \"b\"\r\n");
  ASSERT_TRUE(file.header.has_value());
  EXPECT_TRUE(file.header->fuzzy);
  EXPECT_EQ(file.header->comments, "title");
  ASSERT_EQ(file.messages.size(), 1u);
  EXPECT_EQ(file.messages[0].translation.text, "b");
  EXPECT_EQ(file.messages[0].line, 7u);
}

TEST(PoReader, ReadsPluralMessagesAsSuch) {
  const PoFile file = read_ok("msgid \"a\"\nmsgid_plural \"as\"\nmsgstr[0] \"b\"\nmsgstr[1] \"bs\"\n");
  ASSERT_EQ(file.messages.size(), 1u);
  EXPECT_TRUE(file.messages[0].plural);
  EXPECT_EQ(file.messages[0].translation.text, "b");
}

TEST(PoWriter, LaysFilesOutAsMsgcatDoes) {
  PoFile file;
  file.header = PoMessage{};
  file.header->comments = "title";
  file.header->fuzzy = true;
  file.header->translation.text = "Content-Type: text/plain; charset=UTF-8\n";
  PoMessage message;
  message.context = PoString{"msg 0x0000", {}, 0};
  message.id.text = "line \"one\"\\\nline two";
  message.extracted_comments = "note";
  message.references = "MsgDataDecode.txt:1";
  message.fuzzy = true;
  message.flags = {"no-wrap"};
  file.messages.push_back(message);
  message.context->text = "msg 0x0001";
  message.id.text = "one line\n";
  message.translation.text = "tab\there\x01";
  message.extracted_comments.clear();
  message.fuzzy = false;
  message.flags.clear();
  file.messages.push_back(message);
  EXPECT_EQ(write_po(file),
            "# title\n"
            "#, fuzzy\n"
            "msgid \"\"\n"
            "msgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n"
            "\n"
            "#. note\n"
            "#: MsgDataDecode.txt:1\n"
            "#, fuzzy, no-wrap\n"
            "msgctxt \"msg 0x0000\"\n"
            "msgid \"\"\n"
            "\"line \\\"one\\\"\\\\\\n\"\n"
            "\"line two\"\n"
            "msgstr \"\"\n"
            "\n"
            "#: MsgDataDecode.txt:1\n"
            "msgctxt \"msg 0x0001\"\n"
            "msgid \"one line\\n\"\n"
            "msgstr \"tab\\there\\001\"\n");
}

TEST(PoWriter, WhatItWritesReadsBackTheSame) {
  PoFile file;
  file.header = PoMessage{};
  file.header->translation.text = "Content-Type: text/plain; charset=UTF-8\n";
  for (const char* text : {"", "\n", "a\n\nb", "\n\nlead", "trail\n\n", "\"\\\t\r\a\b\f\v\x1F\x7F", "あ[00AD]\nい"}) {
    PoMessage message;
    message.context = PoString{std::string("ctx ") + text, {}, 0};
    message.id.text = std::string(text) + "x";
    message.translation.text = text;
    message.comments = "c\n\nd";
    message.extracted_comments = "e";
    message.references = "r:1\nr:2";
    file.messages.push_back(message);
  }
  const std::string written = write_po(file);
  const PoFile read = read_ok(written);
  ASSERT_EQ(read.messages.size(), file.messages.size());
  for (std::size_t i = 0; i < read.messages.size(); ++i) {
    EXPECT_EQ(read.messages[i].context->text, file.messages[i].context->text) << i;
    EXPECT_EQ(read.messages[i].id.text, file.messages[i].id.text) << i;
    EXPECT_EQ(read.messages[i].translation.text, file.messages[i].translation.text) << i;
    EXPECT_EQ(read.messages[i].comments, file.messages[i].comments) << i;
    EXPECT_EQ(read.messages[i].references, file.messages[i].references) << i;
  }
  EXPECT_EQ(write_po(read), written);
}

}  // namespace
}  // namespace talvo::exchange
