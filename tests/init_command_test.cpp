// talvo init as a translator starts: a project folder with talvo.toml and
// the three texts in UTF-8, the refusals that protect what is there, and
// nothing made when the image cannot give all three texts.
#include <gtest/gtest.h>

#include <filesystem>
#include <variant>

#include "image_builder.h"
#include "project_file.h"
#include "support/process.h"
#include "support/talvo_cli.h"

namespace talvo {
namespace {

using namespace testing;
namespace fs = std::filesystem;

constexpr const char* kTexts[] = {"MsgDataDecode.txt", "StrDataDecode.txt", "BtlDataDecode.txt"};

std::size_t entries_in(const fs::path& folder) {
  return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

project::Project read_back(const fs::path& file) {
  auto read = project::read_project(read_file(file), file.string());
  if (const auto* error = std::get_if<project::ProjectError>(&read)) {
    ADD_FAILURE() << file << ":" << error->line << ": " << error->message;
    return {};
  }
  return std::get<project::Project>(std::move(read));
}

struct MadeCase {
  const char* name;
  std::string image;                 // in the test's folder
  std::vector<std::string> options;  // after init IMAGE
  std::string project;               // the folder expected
  std::string image_from_project;
  std::string output;
};

const MadeCase kMade[] = {
    {"beside the image", "game.smc", {}, "game", "../game.smc", "build/game-new.smc"},
    {"an image with another extension, elsewhere",
     "roms/Talvo (J).sfc",
     {},
     "Talvo (J)",
     "../roms/Talvo (J).sfc",
     "build/Talvo (J)-new.sfc"},
    {"a folder named with -o, its parents made",
     "roms/game.smc",
     {"-o", "work/fr/proj"},
     "work/fr/proj",
     "../../../roms/game.smc",
     "build/game-new.smc"},
    {"an empty folder there", "game.smc", {"-o", "empty"}, "empty", "../game.smc", "build/game-new.smc"},
};

class TalvoInit : public ::testing::TestWithParam<int> {};

TEST_P(TalvoInit, MakesTheProjectWithItsTexts) {
  const MadeCase& c = kMade[GetParam()];
  SCOPED_TRACE(c.name);
  TempFolder folder;
  fs::create_directories((folder / c.image).parent_path());
  fs::create_directory(folder / "empty");
  write_file(folder / c.image,
             bytes(builder::build_image(builder::random_content(6), builder::ImageSize::Plain4Mb, 6)));
  std::vector<std::string> arguments{"init", c.image};
  arguments.insert(arguments.end(), c.options.begin(), c.options.end());
  const ProcessResult run = talvo(arguments, folder.path());
  ASSERT_EQ(run.exit_status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const fs::path made = folder / c.project;
  EXPECT_NE(run.out.find(c.project + "/talvo.toml\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("talvo insert "), std::string::npos) << run.out;

  // The texts are those extract writes in UTF-8.
  ASSERT_EQ(talvo({"extract", c.image, "--encoding", "utf8"}, folder.path()).exit_status, 0);
  for (const char* text : kTexts) {
    EXPECT_TRUE(read_file(made / "text" / text) == read_file(folder / text)) << text;
  }
  EXPECT_TRUE(fs::is_directory(made / "build"));
  const project::Project p = read_back(made / "talvo.toml");
  const std::string base = (made / "talvo.toml").parent_path().string() + "/";
  EXPECT_EQ(p.image, base + c.image_from_project);
  EXPECT_TRUE(fs::equivalent(p.image, folder / c.image));
  EXPECT_EQ(p.output, base + c.output);
  EXPECT_EQ(p.encoding, TextEncoding::Utf8);
  EXPECT_EQ(p.text.msg, base + "text/MsgDataDecode.txt");
  EXPECT_EQ(p.text.btl, base + "text/BtlDataDecode.txt");
}

INSTANTIATE_TEST_SUITE_P(Cases, TalvoInit, ::testing::Range(0, static_cast<int>(std::size(kMade))));

TEST(TalvoInit, WritesTheProjectFileATranslatorReads) {
  TempFolder folder;
  write_file(folder / "game.smc",
             bytes(builder::build_image(builder::random_content(6), builder::ImageSize::Plain4Mb)));
  ASSERT_EQ(talvo({"init", "game.smc"}, folder.path()).exit_status, 0);
  EXPECT_EQ(read_file(folder / "game" / "talvo.toml"),
            "# A translation project of Talvo. The talvo commands run in this folder or\n"
            "# below it take their settings from here; paths are from this folder.\n"
            "image = \"../game.smc\"  # the original, never written\n"
            "output = \"build/game-new.smc\"  # the new image\n"
            "patch = \"build/game-new.bps\"  # the BPS patch from image to output\n"
            "encoding = \"utf8\"\n"
            "\n"
            "# The texts to edit.\n"
            "[text]\n"
            "msg = \"text/MsgDataDecode.txt\"\n"
            "str = \"text/StrDataDecode.txt\"\n"
            "btl = \"text/BtlDataDecode.txt\"\n"
            "\n"
            "# More free space for a bank, as --room takes it; `talvo room IMAGE` lists\n"
            "# blank stretches that may be free.\n"
            "# [room]\n"
            "# msg = [\"0x500000-0x5C0000\"]\n");
}

TEST(TalvoInit, RefusesAndMakesNothing) {
  struct Case {
    std::vector<std::string> arguments;
    int status;
    std::string says;
  };
  std::vector<std::uint8_t> broken = builder::build_image(builder::random_content(6), builder::ImageSize::Plain4Mb);
  std::fill(broken.begin() + 0x152A4 + 6, broken.begin() + 0x152A4 + 9, 0xFF);  // battle group 2 past the end
  TempFolder folder;
  write_file(folder / "game.smc",
             bytes(builder::build_image(builder::random_content(6), builder::ImageSize::Plain4Mb)));
  write_file(folder / "broken.smc", bytes(broken));
  write_file(folder / "small.smc", "small");
  fs::create_directory(folder / "work");
  write_file(folder / "work" / "notes.txt", "a week of work");
  const Case cases[] = {
      {{"init"}, 2, "IMAGE is required"},
      {{"init", "game.smc", "-o", "work"}, 2, "talvo: work: the folder is not empty"},
      {{"init", "game.smc", "-o", "work/notes.txt"}, 2, "talvo: work/notes.txt: is not a folder"},
      {{"init", "game.smc", "-o", ""}, 2, "an empty word names no file"},
      {{"init", "missing.smc"}, 1, "talvo: missing.smc: No such file or directory"},
      {{"init", "small.smc"}, 1, "talvo: small.smc: not a Talvo (SFC) image"},
      {{"init", "broken.smc"},
       1,
       "talvo: broken.smc: battle text: stopped at entry 0x0010: its pointer or its text runs past the end of the "
       "image; "
       "a project needs all three texts, and nothing was made"},
  };
  for (const Case& c : cases) {
    const ProcessResult run = talvo(c.arguments, folder.path());
    EXPECT_EQ(run.exit_status, c.status) << c.says << "\n" << run.err;
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
  }
  EXPECT_EQ(entries_in(folder.path()), 4u);
  EXPECT_EQ(entries_in(folder / "work"), 1u);
  EXPECT_EQ(read_file(folder / "work" / "notes.txt"), "a week of work");
}

}  // namespace
}  // namespace talvo
