// Two reference images made by a builder independent of ours, with the exact
// files that the four programs must write for them.
#include <gtest/gtest.h>

#include <cstdlib>

#include "support/programs.h"

namespace talvo {
namespace {

using namespace testing;
namespace fs = std::filesystem;

struct Step {
  Program program;
  const char* input;
  std::vector<const char*> outputs;
};

const Step kSteps[] = {
    {Program::Decode, "image.smc", {"MsgDataDecode.txt", "StrDataDecode.txt", "BtlDataDecode.txt"}},
    {Program::EncodeMessages, "MsgDataDecode.txt", {"MsgDataTalvo.bin", "MsgDataIDX.bin"}},
    {Program::EncodeFixedStrings, "StrDataDecode.txt", {"StrDataTalvo.bin", "StrDataIDX.bin"}},
    {Program::EncodeBattleText, "BtlDataDecode.txt", {"BtlDataTalvo.bin", "BtlDataIDX.bin"}},
};

class Golden : public ::testing::TestWithParam<const char*> {};

TEST_P(Golden, EveryProgramWritesTheReferenceFiles) {
  const fs::path reference = fs::path(TALVO_GOLDEN_DIR) / GetParam();
  if (!fs::exists(reference / "image.smc.gz")) {
    if (std::getenv("CI") != nullptr) FAIL() << "reference images missing: " << reference;
    GTEST_SKIP() << "reference images missing: " << reference;
  }
  TempFolder folder;
  const ProcessResult unpack = run_process(
      {"/bin/sh", "-c", "gzip -dc \"$0\" > image.smc", (reference / "image.smc.gz").string()}, folder.path(), "");
  ASSERT_EQ(unpack.exit_status, 0) << unpack.err;

  // Each encoder reads the extractor's file, so a fault shows in the first
  // step that has it.
  for (const Step& step : kSteps) {
    const ProcessResult run = run_program(step.program, folder.path(), std::string(step.input) + "\n");
    EXPECT_EQ(boxes(run.out), std::vector<std::string>{"終了: 終了しました"}) << step.input;
    EXPECT_EQ(boxes(run.err), std::vector<std::string>{}) << step.input;
    for (const char* output : step.outputs) {
      EXPECT_TRUE(read_file(folder / output) == read_file(reference / output)) << output << " differs";
    }
  }
}

INSTANTIATE_TEST_SUITE_P(ReferenceImages, Golden, ::testing::Values("header-4mb", "plain-6mb"));

}  // namespace
}  // namespace talvo
