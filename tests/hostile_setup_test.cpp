// The four programs run the way scripts, build systems and shared machines
// run them: standard streams closed, links and FIFOs planted under the output
// names, read-only outputs for root, answers that never end, too little
// memory, outputs whose close fails. Each must end in a box, leave its input
// byte for byte as it was and touch no file but its own outputs.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "image_builder.h"
#include "support/programs.h"

namespace talvo {
namespace {

using namespace testing;
namespace fs = std::filesystem;

const Boxes kNoFile{"ファイルが指定されていません: ファイルを指定してください"};

std::string cannot_create(const std::string& name) { return "エラー: ファイルが作成できません\n" + name; }
std::string write_failed(const std::string& name) { return "エラー: ファイルの書き込みに失敗\n" + name; }

// One program with its input and the files a run must leave.
struct Scene {
  Program program;
  std::string input;
  std::string input_bytes;
  std::vector<std::pair<std::string, std::string>> outputs;  // name, expected bytes
};

std::vector<Scene> scenes() {
  const builder::ImageContent content = builder::random_content(21);
  const std::vector<std::uint8_t> image = builder::build_image(content, builder::ImageSize::Plain4Mb, 21);
  return {
      {Program::Decode,
       "game.smc",
       std::string(image.begin(), image.end()),
       {{"MsgDataDecode.txt", builder::expected_message_text(content)},
        {"StrDataDecode.txt", builder::expected_fixed_string_text(content)},
        {"BtlDataDecode.txt", builder::expected_battle_text(content)}}},
      {Program::EncodeMessages,
       "MsgDataDecode.txt",
       builder::expected_message_text(content),
       {{"MsgDataTalvo.bin", builder::expected_message_bank(content)},
        {"MsgDataIDX.bin", builder::expected_message_index(content)}}},
      {Program::EncodeFixedStrings,
       "StrDataDecode.txt",
       builder::expected_fixed_string_text(content),
       {{"StrDataTalvo.bin", builder::expected_fixed_string_bank(content)},
        {"StrDataIDX.bin", builder::expected_fixed_string_index(content)}}},
      {Program::EncodeBattleText,
       "BtlDataDecode.txt",
       builder::expected_battle_text(content),
       {{"BtlDataTalvo.bin", builder::expected_battle_bank(content)},
        {"BtlDataIDX.bin", builder::expected_battle_index(content)}}},
  };
}

void expect_outputs(const Scene& scene, const TempFolder& folder, const std::string& what) {
  for (const auto& [name, bytes] : scene.outputs) {
    EXPECT_FALSE(fs::is_symlink(folder / name)) << what << ": " << name;
    EXPECT_TRUE(read_file(folder / name) == bytes) << what << ": " << name << " differs";
  }
}

TEST(HostileSetup, ClosedStandardStreamsNeverReachTheInput) {
  struct Streams {
    const char* what;
    bool output, error;
  };
  const Streams closed[] = {
      {"standard output closed", true, false}, {"standard error closed", false, true}, {"both closed", true, true}};
  for (const Scene& scene : scenes()) {
    for (const Streams& streams : closed) {
      const std::string what = scene.input + ", " + streams.what;
      TempFolder folder;
      write_file(folder / scene.input, scene.input_bytes);
      ProcessSetup setup;
      setup.close_output = streams.output;
      setup.close_error = streams.error;
      const ProcessResult run = run_program(scene.program, folder.path(), scene.input + "\n", {}, setup);
      EXPECT_EQ(run.exit_status, 0) << what;
      EXPECT_TRUE(read_file(folder / scene.input) == scene.input_bytes) << what << ": the input changed";
      expect_outputs(scene, folder, what);
    }
  }
}

TEST(HostileSetup, OutputLinksAreReplacedNotFollowed) {
  for (const Scene& scene : scenes()) {
    TempFolder folder, elsewhere;
    write_file(folder / scene.input, scene.input_bytes);
    // The first output points at a file of someone else's, the others at
    // names that do not exist yet.
    write_file(elsewhere / "victim", "someone else's work");
    for (std::size_t i = 0; i < scene.outputs.size(); ++i) {
      const std::string target = i == 0 ? "victim" : "missing-" + std::to_string(i);
      fs::create_symlink(elsewhere / target, folder / scene.outputs[i].first);
    }
    const ProcessResult run = run_program(scene.program, folder.path(), scene.input + "\n");
    EXPECT_EQ(boxes(run.out), kFinished) << scene.input;
    EXPECT_EQ(read_file(elsewhere / "victim"), "someone else's work") << scene.input;
    EXPECT_EQ(std::distance(fs::directory_iterator(elsewhere.path()), fs::directory_iterator()), 1) << scene.input;
    expect_outputs(scene, folder, scene.input);
  }
}

TEST(HostileSetup, OutputsThatCannotBeTakenAreRefusedAtOnce) {
  struct Blocker {
    const char* what;
    void (*plant)(const fs::path& at);
  };
  const Blocker blockers[] = {
      {"a read-only file",
       [](const fs::path& at) {
         write_file(at, "kept");
         fs::permissions(at, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
       }},
      {"a FIFO", [](const fs::path& at) { ASSERT_EQ(mkfifo(at.c_str(), 0666), 0); }},
  };
  for (const Scene& scene : scenes()) {
    for (const Blocker& blocker : blockers) {
      const std::string& name = scene.outputs.front().first;
      const std::string what = scene.input + ", " + blocker.what;
      TempFolder folder;
      write_file(folder / scene.input, scene.input_bytes);
      blocker.plant(folder / name);
      const ProcessResult run = run_program(scene.program, folder.path(), scene.input + "\n");
      EXPECT_EQ(run.exit_status, 0) << what;
      EXPECT_EQ(boxes(run.err), Boxes{cannot_create(name)}) << what;
      EXPECT_EQ(boxes(run.out), Boxes{}) << what;
      if (fs::is_regular_file(folder / name)) {
        EXPECT_EQ(read_file(folder / name), "kept") << what;
      }
      EXPECT_TRUE(read_file(folder / scene.input) == scene.input_bytes) << what;
    }
  }
}

TEST(HostileSetup, LateWriteErrorsAtTheCloseAreReported) {
  for (const Scene& scene : scenes()) {
    for (const auto& [name, bytes] : scene.outputs) {
      TempFolder folder;
      write_file(folder / scene.input, scene.input_bytes);
      const ProcessResult run =
          run_program(scene.program, folder.path(), scene.input + "\n", {}, failing_output(name, true));
      EXPECT_EQ(boxes(run.err), Boxes{write_failed(name)}) << name;
      EXPECT_EQ(boxes(run.out), Boxes{}) << name << ": no completion box";
    }
  }
}

TEST(HostileSetup, AnswersThatAreNoFileOrNeverEnd) {
  struct Case {
    const char* what;
    std::string answer;
    const char* input_path;  // standard input from here, when set
    Boxes errors, boxes;
    const char* dialog_says;
  };
  const std::string overlong(100000, 'x');
  const Case cases[] = {
      {"standard input never ends a line", "", "/dev/zero", kNoFile, {}, ""},
      {"an overlong line, then a file", overlong + "\nINPUT\n", nullptr, {}, kFinished, "Path too long (at most 259"},
      {"a folder", "folder\n", nullptr, kNoFile, {}, "Not a regular file: folder\n"},
      {"a FIFO", "fifo\n", nullptr, kNoFile, {}, "Not a regular file: fifo\n"},
  };
  for (const Scene& scene : scenes()) {
    for (const Case& c : cases) {
      const std::string what = scene.input + ", " + c.what;
      TempFolder folder;
      write_file(folder / scene.input, scene.input_bytes);
      fs::create_directory(folder / "folder");
      ASSERT_EQ(mkfifo((folder / "fifo").c_str(), 0666), 0);
      ProcessSetup setup;
      if (c.input_path != nullptr) setup.input_path = c.input_path;
      std::string answer = c.answer;
      if (const auto at = answer.find("INPUT"); at != std::string::npos) answer.replace(at, 5, scene.input);
      const ProcessResult run = run_program(scene.program, folder.path(), answer, {}, setup);
      EXPECT_EQ(run.exit_status, 0) << what;
      EXPECT_EQ(boxes(run.err), c.errors) << what;
      EXPECT_EQ(boxes(run.out), c.boxes) << what;
      EXPECT_NE(run.err.find(c.dialog_says), std::string::npos) << what;
      EXPECT_LT(run.err.size(), 10000u) << what << ": an answer is echoed whole";
    }
  }
}

TEST(HostileSetup, RunningOutOfMemoryEndsInABox) {
#ifdef TALVO_SANITIZED_BUILD
  GTEST_SKIP() << "the sanitizers reserve more address space than the limit allows";
#endif
  const Scene scene = scenes().front();
  TempFolder folder;
  write_file(folder / scene.input, scene.input_bytes);
  // Room to start (about 3.5 MB), but not for the image's four megabytes.
  const ProcessResult run = run_process({"/bin/sh", "-c", "ulimit -v 6000 && exec \"$0\"", program_path(scene.program)},
                                        folder.path(), "game.smc\n");
  EXPECT_EQ(run.exit_status, 0);
  EXPECT_EQ(boxes(run.err), Boxes{"エラー: メモリが足りません"}) << run.err;
  EXPECT_TRUE(read_file(folder / scene.input) == scene.input_bytes);
}

TEST(HostileSetup, DialogModuleLoadsOnlyFromBesideTheProgram) {
#ifndef TALVO_GTK_MODULE
  GTEST_SKIP() << "built without the GTK dialogs";
#else
  struct Case {
    const char* what;
    const char* module_folder;  // relative to the copy's install root, or nothing
  };
  const Case cases[] = {{"nowhere beside the copy", nullptr},
                        {"in lib/talvo/ beside its folder", "lib/talvo"},
                        {"in its own folder", "bin"}};
  const fs::path module(TALVO_GTK_MODULE);
  for (const Case& c : cases) {
    TempFolder root, work;
    fs::create_directories(root / "bin");
    fs::copy_file(program_path(Program::Decode), root / "bin/Talvo_decode");
    fs::path expected;
    if (c.module_folder != nullptr) {
      fs::create_directories(root / c.module_folder);
      expected = root / c.module_folder / module.filename();
      fs::copy_file(module, expected);
    }
    // A display that is not there: the module is loaded, fails to start, and
    // the terminal serves. The loader says which files it opened.
    ProcessSetup setup;
    setup.environment = {"DISPLAY=:79", "LD_DEBUG=files", "LD_DEBUG_OUTPUT=" + (work / "loader").string()};
    const ProcessResult run = run_process({(root / "bin/Talvo_decode").string()}, work.path(), "", setup);
    EXPECT_EQ(boxes(run.err), kNoFile) << c.what;
    std::string loaded;
    for (const auto& entry : fs::directory_iterator(work.path())) {
      if (entry.path().filename().string().starts_with("loader")) loaded += read_file(entry.path());
    }
    EXPECT_EQ(loaded.find(module.string()), std::string::npos) << c.what << ": the build tree's module was tried";
    const std::string started = "calling init: ";
    if (expected.empty()) {
      EXPECT_EQ(loaded.find(started + (root / "bin").string()), std::string::npos) << c.what;
      EXPECT_EQ(loaded.find(started + (root / "lib").string()), std::string::npos) << c.what;
    } else {
      EXPECT_NE(loaded.find(started + expected.string()), std::string::npos) << c.what << "\n" << loaded;
    }
  }
#endif
}

}  // namespace
}  // namespace talvo
