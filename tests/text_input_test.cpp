// Text files as the command line reads them: a UTF-8 working copy's way back
// from the Shift_JIS it becomes to its own offsets, and what reading a large
// file costs in memory.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "cp932.h"
#include "support/process.h"
#include "text_input.h"

namespace talvo {
namespace {

using namespace testing;

// The file offset of every Shift_JIS byte, and of the end, as the code page
// converter gives them piece by piece: each piece ends at what cannot be
// converted (then left out), and only the file's first piece may drop a
// byte-order mark.
std::vector<std::size_t> converter_offsets(std::string_view file) {
  std::vector<std::size_t> all;
  for (std::size_t base = 0;;) {
    std::vector<std::size_t> offsets;
    const Utf8ToSjisResult piece =
        utf8_to_sjis_text(file.substr(base), &offsets, base == 0 ? LeadingBom::Drop : LeadingBom::Refuse);
    for (std::size_t i = 0; i + 1 < offsets.size(); ++i) all.push_back(base + offsets[i]);
    if (piece.error == Utf8ToSjisError::None) break;
    base += piece.error_offset + std::max<std::size_t>(decode_utf8(file.substr(base + piece.error_offset)).length, 1);
  }
  all.push_back(file.size());
  return all;
}

TEST(TextInput, EveryShiftJisOffsetFindsItsCharacterInTheFile) {
  std::string long_text;
  for (int i = 0; i < 300; ++i) long_text += i % 7 == 0 ? "\xFF" : i % 11 == 0 ? "\xF0\x9F\x98\x80" : "あa(漢)";
  struct Case {
    const char* what;
    std::string file;
  };
  const Case cases[] = {
      {"characters of one, two and three bytes", "(0x0000)\naé～あ[00AC]\n"},
      {"a byte-order mark, dropped, and one further on, left out",
       "\xEF\xBB\xBF"
       "あ\xEF\xBB\xBFい"},
      {"bytes that are not UTF-8, and a character code page 932 lacks", "\xE3\x81あ\xC0\xAF\xF0\x9F\x98\x80い\xFF"},
      {"nothing converts", "\xFF\xFE\xF0\x9F\x98\x80"},
      {"an empty file", ""},
      {"far more text than the spacing of the anchors", long_text},
  };
  for (const Case& c : cases) {
    const cli::TextInput input = cli::text_input("f.txt", c.file, TextEncoding::Utf8);
    const std::vector<std::size_t> expected = converter_offsets(c.file);
    ASSERT_EQ(expected.size(), input.converted.size() + 1) << c.what;
    for (std::size_t n = 0; n < expected.size() + 3; ++n) {
      EXPECT_EQ(input.file_offset(n), expected[std::min(n, expected.size() - 1)]) << c.what << " at " << n;
    }
  }
}

#if defined(TALVO_CLI) && !defined(TALVO_SANITIZED_BUILD)

// The most memory a run of talvo took, in bytes.
std::size_t peak_memory_of(const std::vector<std::string>& arguments, const std::filesystem::path& folder) {
  std::vector<std::string> argv{TALVO_CLI};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  std::vector<char*> args;
  for (std::string& arg : argv) args.push_back(arg.data());
  args.push_back(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    if (chdir(folder.c_str()) != 0 || !freopen("/dev/null", "w", stdout) || !freopen("/dev/null", "w", stderr)) {
      _exit(127);
    }
    execv(args[0], args.data());
    _exit(127);
  }
  int status = 0;
  struct rusage usage {};
  if (child < 0 || wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) == 127) {
    ADD_FAILURE() << "talvo did not run";
    return 0;
  }
  return static_cast<std::size_t>(usage.ru_maxrss) * 1024;
}

// Checking or encoding a large file takes at most four times its size, in
// either encoding (an offset for every converted byte and a record reserved
// for every two took twenty times a UTF-8 file's size, and five times a
// Shift_JIS one's).
TEST(TextInput, ALargeFileTakesAtMostFourTimesItsSizeInMemory) {
  // Every entry of the message bank, each as long as a bank within its 16 MiB
  // lets it be: characters alone, the densest text there is.
  std::string utf8;
  for (std::size_t entry = 0; entry < 4047; ++entry) {
    char header[16];
    std::snprintf(header, sizeof header, "(0x%04zX)\n", entry);
    utf8 += header;
    for (int i = 0; i < 600; ++i) utf8 += "あいう";
    utf8 += "[00AC]\n";
  }
  const std::string sjis = utf8_to_sjis_text(utf8).sjis;
  TempFolder folder;
  write_file(folder / "MsgData-sjis.txt", sjis);
  write_file(folder / "MsgData-utf8.txt", utf8);
  constexpr std::size_t kProgram = std::size_t{16} << 20;  // the program and its libraries
  struct Case {
    std::vector<std::string> arguments;
    std::size_t size;
  };
  const Case cases[] = {
      {{"check", "MsgData-sjis.txt"}, sjis.size()},
      {{"check", "--encoding", "utf8", "MsgData-utf8.txt"}, utf8.size()},
      {{"encode", "msg", "MsgData-sjis.txt"}, sjis.size()},
      {{"encode", "msg", "--encoding", "utf8", "MsgData-utf8.txt"}, utf8.size()},
  };
  for (const Case& c : cases) {
    const std::size_t peak = peak_memory_of(c.arguments, folder.path());
    EXPECT_LE(peak, 4 * c.size + kProgram)
        << c.arguments[0] << " " << c.arguments.back() << ": " << peak << " bytes for " << c.size;
  }
}

#endif

}  // namespace
}  // namespace talvo
