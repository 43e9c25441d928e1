// Our PO files held to gettext's own tools: the templates pass msgfmt's
// check, a translator's file made by msginit and re-wrapped by msgcat
// imports to the translated text and inserts, msgfmt counts what import
// counts, and after a changed original msgmerge's fuzzy entries give the
// new original.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "bank_entries.h"
#include "banks.h"
#include "cp932.h"
#include "image_builder.h"
#include "po_file.h"
#include "support/process.h"
#include "support/talvo_cli.h"

namespace talvo {
namespace {

using namespace testing;
namespace fs = std::filesystem;

ProcessResult shell(const std::string& command, const fs::path& folder) {
  return run_process({"/bin/sh", "-c", command}, folder, "");
}

bool have_gettext() {
  return shell("command -v msgfmt && command -v msgcat && command -v msgmerge && command -v msginit", ".")
             .exit_status == 0;
}

#define REQUIRE_GETTEXT()                                                                          \
  do {                                                                                             \
    if (!have_gettext()) {                                                                         \
      if (std::getenv("CI") != nullptr) FAIL() << "gettext's tools are missing (scripts/deps.sh)"; \
      GTEST_SKIP() << "gettext's tools are missing (scripts/deps.sh installs them)";               \
    }                                                                                              \
  } while (false)

exchange::PoFile read_po_file(const fs::path& path) {
  exchange::PoFile file;
  exchange::PoError error;
  if (!exchange::read_po(read_file(path), file, error)) {
    ADD_FAILURE() << path << ":" << error.line << ": " << error.message;
  }
  return file;
}

// The message texts of an extracted message file.
std::vector<std::string> message_texts(const std::string& sjis) {
  const std::string utf8 = sjis_to_utf8_text(sjis).utf8;
  std::vector<std::string> texts;
  for (const auto& entry : exchange::split_entries(utf8, Bank::Messages).entries) texts.emplace_back(entry.text);
  return texts;
}

void write_game(const fs::path& path, const builder::ImageContent& content) {
  write_file(path, bytes(builder::build_image(content, builder::ImageSize::Plain4Mb, 3)));
}

TEST(GettextTools, TemplatesPassMsgfmtCheck) {
  REQUIRE_GETTEXT();
  TempFolder folder;
  write_game(folder / "game.smc", builder::random_content(20));
  ASSERT_EQ(talvo({"po", "export", "game.smc", "-o", "po"}, folder.path()).exit_status, 0);
  for (const char* bank : {"msg", "str", "btl"}) {
    const ProcessResult check = shell(std::string("msgfmt --check -o /dev/null po/") + bank + ".pot", folder.path());
    EXPECT_EQ(check.exit_status, 0) << bank << "\n" << check.err;
  }
}

TEST(GettextTools, ATranslatorsFileRewrappedByMsgcatImportsAndInserts) {
  REQUIRE_GETTEXT();
  TempFolder folder;
  const builder::ImageContent content = builder::random_content(21);
  write_game(folder / "game.smc", content);
  ASSERT_EQ(talvo({"po", "export", "game.smc", "-o", "po"}, folder.path()).exit_status, 0);
  const ProcessResult init =
      shell("msginit --no-translator --locale=ja_JP.UTF-8 -i po/msg.pot -o ja.po 2>&1", folder.path());
  ASSERT_EQ(init.exit_status, 0) << init.out;

  // Messages 1 and 2 translated as each other (the builder fills the bank's
  // room, and the two together need no more of it); 3 awaits review.
  std::vector<std::string> texts = message_texts(builder::expected_message_text(content));
  exchange::PoFile po = read_po_file(folder / "ja.po");
  ASSERT_EQ(po.messages.size(), texts.size());
  ASSERT_NE(texts[1], texts[2]);
  ASSERT_GT(texts[1].size() + texts[2].size(), 2 * 24u);
  po.messages[1].translation.text = texts[2];
  po.messages[2].translation.text = po.messages[3].translation.text = texts[1];
  po.messages[3].fuzzy = true;
  std::swap(texts[1], texts[2]);
  write_file(folder / "ja.po", exchange::write_po(po));
  ASSERT_EQ(shell("msgcat --width=24 ja.po -o wrapped.po", folder.path()).exit_status, 0);
  ASSERT_NE(read_file(folder / "wrapped.po"), read_file(folder / "ja.po"));

  const ProcessResult import = talvo({"po", "import", "wrapped.po", "-o", "text"}, folder.path());
  ASSERT_EQ(import.exit_status, 0) << import.err;
  EXPECT_EQ(import.err,
            "talvo: text/MsgDataDecode.txt: 4047 entries: 2 translated, 1 fuzzy (their originals kept), 4044 "
            "untranslated\n");
  const ProcessResult statistics = shell("msgfmt --statistics -o /dev/null wrapped.po", folder.path());
  EXPECT_NE(statistics.err.find("2 translated messages, 1 fuzzy translation, 4044 untranslated messages."),
            std::string::npos)
      << statistics.err;
  const std::string imported = read_file(folder / "text" / "MsgDataDecode.txt");
  EXPECT_TRUE(sjis_to_utf8_text(imported).utf8 == exchange::join_entries(texts, Bank::Messages));

  const ProcessResult insert =
      talvo({"insert", "game.smc", "--msg", "text/MsgDataDecode.txt", "-o", "new.smc"}, folder.path());
  ASSERT_EQ(insert.exit_status, 0) << insert.err;
  fs::create_directories(folder / "again");
  ASSERT_EQ(talvo({"extract", "new.smc", "-o", "again"}, folder.path()).exit_status, 0);
  EXPECT_TRUE(read_file(folder / "again" / "MsgDataDecode.txt") == imported);
}

TEST(GettextTools, AfterAChangedOriginalMsgmergeGivesTheNewOriginal) {
  REQUIRE_GETTEXT();
  TempFolder folder;
  builder::ImageContent content = builder::random_content(22);
  write_game(folder / "old.smc", content);
  ASSERT_EQ(talvo({"po", "export", "old.smc", "-o", "old"}, folder.path()).exit_status, 0);
  const std::vector<std::string> old_texts = message_texts(builder::expected_message_text(content));
  exchange::PoFile po = read_po_file(folder / "old" / "msg.pot");
  po.header->fuzzy = false;
  for (const std::size_t entry : {4, 6}) po.messages[entry].translation.text = old_texts[entry + 200];
  write_file(folder / "team.po", exchange::write_po(po));

  // The new image swaps two codes of message 4 (the codes in use stay the
  // same, as the tree must hold them).
  std::vector<std::uint16_t>& changed = content.messages[4];
  std::size_t at = 0;
  while (at + 2 < changed.size() && changed[at] == changed[at + 1]) ++at;
  ASSERT_LT(at + 2, changed.size());
  std::swap(changed[at], changed[at + 1]);
  write_game(folder / "new.smc", content);
  ASSERT_EQ(talvo({"po", "export", "new.smc", "-o", "new"}, folder.path()).exit_status, 0);
  const ProcessResult merge = shell("msgmerge --quiet team.po new/msg.pot -o merged.po", folder.path());
  ASSERT_EQ(merge.exit_status, 0) << merge.err;
  const exchange::PoFile merged = read_po_file(folder / "merged.po");
  ASSERT_EQ(merged.messages.size(), 4047u);
  EXPECT_TRUE(merged.messages[4].fuzzy);
  EXPECT_EQ(merged.messages[4].translation.text, old_texts[204]);

  const ProcessResult import = talvo({"po", "import", "merged.po", "-o", "text"}, folder.path());
  ASSERT_EQ(import.exit_status, 0) << import.err;
  std::vector<std::string> expected = message_texts(builder::expected_message_text(content));
  expected[6] = old_texts[206];
  EXPECT_TRUE(sjis_to_utf8_text(read_file(folder / "text" / "MsgDataDecode.txt")).utf8 ==
              exchange::join_entries(expected, Bank::Messages));
}

}  // namespace
}  // namespace talvo
