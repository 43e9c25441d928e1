// The file talvo init writes reads back as it was meant, whatever the
// image's name holds.
#include <gtest/gtest.h>

#include <string>
#include <variant>

#include "new_project.h"
#include "project_file.h"

namespace talvo::project {
namespace {

struct NameCase {
  const char* name;
  std::string image;
};

const NameCase kNames[] = {
    {"a plain name", "../game.smc"},
    {"spaces and quotes", "../my \"best\" game's copy.smc"},
    {"backslashes", "C:\\roms\\game.smc"},
    {"Japanese and accents", "../\xE3\x82\xB2\xE3\x83\xBC\xE3\x83\xA0 \xE3\x81\x82 Pok\xC3\xA9mon.smc"},
    {"a tab and a bell", "../a\tb\x07.smc"},
    {"a hash", "../#1.smc"},
};

class NewProjectFile : public ::testing::TestWithParam<int> {};

TEST_P(NewProjectFile, ReadsBackAsWritten) {
  const NameCase& c = kNames[GetParam()];
  SCOPED_TRACE(c.name);
  const NewProject made{c.image,
                        "build/game-new.smc",
                        "build/game-new.bps",
                        "text/MsgDataDecode.txt",
                        "text/StrDataDecode.txt",
                        "text/BtlDataDecode.txt"};
  const auto file = new_project_file(made);
  ASSERT_TRUE(file.has_value());
  const auto read = read_project(*file, "proj/talvo.toml");
  ASSERT_TRUE(std::holds_alternative<Project>(read)) << std::get<ProjectError>(read).message << "\n" << *file;
  const Project& p = std::get<Project>(read);
  EXPECT_EQ(p.image, "proj/" + c.image);
  EXPECT_EQ(p.output, "proj/build/game-new.smc");
  EXPECT_EQ(p.patch, "proj/build/game-new.bps");
  EXPECT_EQ(p.encoding, TextEncoding::Utf8);
  EXPECT_EQ(p.text.msg, "proj/text/MsgDataDecode.txt");
  EXPECT_EQ(p.text.str, "proj/text/StrDataDecode.txt");
  EXPECT_EQ(p.text.btl, "proj/text/BtlDataDecode.txt");
  EXPECT_TRUE(p.message_table.empty() && p.byte_table.empty());
  EXPECT_TRUE(p.room.msg.empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, NewProjectFile, ::testing::Range(0, static_cast<int>(std::size(kNames))));

TEST(NewProjectFile, RefusesANameThatIsNotUtf8) {
  EXPECT_FALSE(toml_string("../\x82\xA0.smc").has_value());
  EXPECT_FALSE(new_project_file({"../\xFF.smc", "o", "p", "m", "s", "b"}).has_value());
}

}  // namespace
}  // namespace talvo::project
