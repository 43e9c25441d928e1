// talvo room as a script runs it: a planted blank run in a builder image,
// found for every bank that reaches it, and the failures' status.
#include <gtest/gtest.h>

#include <algorithm>

#include "image_builder.h"
#include "support/process.h"
#include "support/talvo_cli.h"

namespace talvo {
namespace {

using namespace testing;

TEST(TalvoRoom, FindsAPlantedRunForEveryBankThatReachesIt) {
  std::vector<std::uint8_t> image =
      builder::build_image(builder::random_content(4), builder::ImageSize::CopierHeader4Mb, 4);
  // 4 KiB of 0xFF near the end of the cartridge data, after the 512-byte
  // copier header: offsets are the cartridge's, as --room takes them.
  std::fill(image.end() - 0x2000, image.end() - 0x1000, 0xFF);
  TempFolder folder;
  write_file(folder / "game.smc", bytes(image));
  const ProcessResult json = talvo({"room", "game.smc", "--format", "json"}, folder.path());
  ASSERT_EQ(json.exit_status, 0) << json.err;
  const std::string run = "[{\"start\": 4186112, \"end\": 4190208, \"bytes\": 4096}]";
  EXPECT_EQ(json.out, "{\"msg\": " + run + ", \"str\": " + run + ", \"btl\": " + run + "}\n");
  EXPECT_EQ(json.err, "");

  const ProcessResult text = talvo({"room", "game.smc"}, folder.path());
  ASSERT_EQ(text.exit_status, 0) << text.err;
  EXPECT_NE(text.out.find("  --room msg=0x3FE000-0x3FF000     4096 bytes of 0xFF\n"), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("On a 4 MB image"), std::string::npos) << text.out;
}

TEST(TalvoRoom, FailsOnImagesItCannotRead) {
  struct Case {
    std::vector<std::string> arguments;
    int status;
    std::string says;
  };
  std::vector<std::uint8_t> broken = builder::build_image(builder::random_content(4), builder::ImageSize::Plain4Mb, 4);
  std::fill(broken.begin() + 0x15331 + 9, broken.begin() + 0x15331 + 12, 0xFF);  // group 3 past the end
  TempFolder folder;
  write_file(folder / "broken.smc", bytes(broken));
  write_file(folder / "small.smc", "small");
  const Case cases[] = {
      {{"room"}, 2, "IMAGE is required"},
      {{"room", "game.smc", "--format", "xml"}, 2, "xml"},
      {{"room", "missing.smc"}, 1, "talvo: missing.smc: No such file or directory"},
      {{"room", "small.smc"}, 1, "talvo: small.smc: not a Talvo (SFC) image"},
      {{"room", "broken.smc"}, 1, "talvo: broken.smc: the image's messages cannot be read"},
  };
  for (const Case& c : cases) {
    const ProcessResult run = talvo(c.arguments, folder.path());
    EXPECT_EQ(run.exit_status, c.status) << c.arguments.size() << run.err;
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
  }
}

}  // namespace
}  // namespace talvo
