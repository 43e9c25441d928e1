// The Windows platform layer's files and command line: paths arrive in UTF-8
// and reach the wide-character calls whole, so names that the system code
// page cannot spell (the tests run under a Western one) work everywhere.
#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform.h"
#include "platform_win32_text.h"

namespace talvo {
namespace {

// Japanese, Greek and a character beyond the basic plane: no code page
// holds all three.
constexpr char kForeignName[] = "\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88_\xCE\xB5\xCE\xBB_\xF0\x9F\x98\x80.smc";

// What read_whole_file() fills, whatever memory it takes.
template <typename Bytes>
Bytes bytes_filled_by(bool (*)(const std::string&, std::uint64_t, Bytes&, std::string&));
using ReadBytes = decltype(bytes_filled_by(&platform::read_whole_file));

std::vector<std::uint8_t> as_vector(const ReadBytes& bytes) { return {bytes.begin(), bytes.end()}; }

std::string utf8(const std::wstring& wide) {
  std::string out;
  EXPECT_TRUE(platform::win32::utf8_from_wide(wide, out));
  return out;
}

// A fresh folder under the temporary folder, with a non-ASCII name too,
// removed with what it holds.
class Folder {
 public:
  Folder() {
    wchar_t base[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, base);
    path_ = std::wstring(base, length) + L"talvo-\u30D5\u30A9\u30EB\u30C0-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(path_.c_str(), nullptr);
  }
  ~Folder() {
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((path_ + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        const std::wstring name = path_ + L"\\" + found.cFileName;
        SetFileAttributesW(name.c_str(), FILE_ATTRIBUTE_NORMAL);
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
          RemoveDirectoryW(name.c_str());
        } else {
          DeleteFileW(name.c_str());
        }
      } while (FindNextFileW(search, &found));
      FindClose(search);
    }
    RemoveDirectoryW(path_.c_str());
  }
  std::string file(const std::string& name) const { return utf8(path_) + "\\" + name; }

 private:
  std::wstring path_;
};

bool write_file(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string& reason) {
  platform::PendingFile pending;
  return platform::write_pending_file(path, bytes, pending, reason) && platform::commit_file(pending, reason);
}

TEST(WindowsFiles, ForeignNamesThroughEveryCall) {
  const Folder folder;
  const std::string path = folder.file(kForeignName);
  const std::vector<std::uint8_t> bytes = {'T', 0, 0xFF, '\n', 0x82, 0xA0};
  std::string reason;
  ASSERT_TRUE(write_file(path, bytes, reason)) << reason;
  EXPECT_TRUE(platform::exists(path));
  ReadBytes read_back;
  ASSERT_TRUE(platform::read_whole_file(path, 1 << 20, read_back, reason)) << reason;
  EXPECT_EQ(as_vector(read_back), bytes);
  EXPECT_TRUE(platform::same_file(path, path));
  EXPECT_FALSE(platform::same_file(path, folder.file("other.smc")));

  // The desktop programs' input: opened for this process alone.
  platform::FileHandle held = platform::open_existing_exclusive(path.c_str());
  ASSERT_TRUE(held.valid());
  EXPECT_FALSE(platform::open_existing_exclusive(path.c_str()).valid());
  std::uint64_t size = 0;
  EXPECT_TRUE(platform::file_size(held, size));
  EXPECT_EQ(size, bytes.size());
  EXPECT_TRUE(platform::close(held));

  // Their outputs.
  platform::FileHandle out = platform::create_always(folder.file(std::string(kForeignName) + ".txt").c_str());
  ASSERT_TRUE(out.valid());
  EXPECT_TRUE(platform::write(out, "abc", 3));
  EXPECT_TRUE(platform::close(out));
  EXPECT_TRUE(platform::exists(folder.file(std::string(kForeignName) + ".txt")));
}

// A replaced output leaves no temporary beside it, and one that cannot be
// written leaves the old file as it was.
TEST(WindowsFiles, OutputsWholeOrNotAtAll) {
  const Folder folder;
  const std::string path = folder.file("out.bin");
  std::string reason;
  ASSERT_TRUE(write_file(path, {1, 2, 3}, reason)) << reason;
  ASSERT_TRUE(write_file(path, {4, 5}, reason)) << reason;
  ReadBytes read_back;
  ASSERT_TRUE(platform::read_whole_file(path, 100, read_back, reason));
  EXPECT_EQ(as_vector(read_back), (std::vector<std::uint8_t>{4, 5}));

  std::wstring wide;
  ASSERT_TRUE(platform::win32::wide_from_utf8(path, wide));
  ASSERT_TRUE(SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(write_file(path, {6}, reason));
  EXPECT_EQ(reason, "the file there is read-only");
  SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);

  ASSERT_TRUE(CreateDirectoryW((wide + L".d").c_str(), nullptr));
  EXPECT_FALSE(write_file(path + ".d", {6}, reason));
  EXPECT_EQ(reason, "a folder is in the way");
  EXPECT_FALSE(platform::read_whole_file(path + ".d", 100, read_back, reason));

  EXPECT_FALSE(platform::read_whole_file(path, 1, read_back, reason));
  EXPECT_EQ(reason, "too large (2 bytes, at most 1)");

  WIN32_FIND_DATAW found;
  int entries = 0;
  const HANDLE search = FindFirstFileW((wide.substr(0, wide.find_last_of(L'\\')) + L"\\*").c_str(), &found);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  do {
    if (found.cFileName[0] != L'.' || (found.cFileName[1] != L'\0' && found.cFileName[1] != L'.')) ++entries;
  } while (FindNextFileW(search, &found));
  FindClose(search);
  EXPECT_EQ(entries, 2);  // out.bin and out.bin.d
}

// The temporary's name does not grow with the output's, so a name of the
// most characters a folder takes is written; and a replaced file that was
// hidden stays hidden.
TEST(WindowsFiles, LongNamesAndKeptAttributes) {
  const Folder folder;
  std::string reason;
  for (const std::size_t length : {std::size_t{242}, std::size_t{255}}) {
    const std::string path = folder.file(std::string(length, 'n'));
    EXPECT_TRUE(write_file(path, {1}, reason)) << length << ": " << reason;
    EXPECT_TRUE(platform::exists(path)) << length;
  }
  const std::string path = folder.file("hidden.bin");
  std::wstring wide;
  ASSERT_TRUE(platform::win32::wide_from_utf8(path, wide));
  ASSERT_TRUE(write_file(path, {1}, reason)) << reason;
  ASSERT_TRUE(SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(write_file(path, {2}, reason)) << reason;
  EXPECT_NE(GetFileAttributesW(wide.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
  ReadBytes read_back;
  ASSERT_TRUE(platform::read_whole_file(path, 100, read_back, reason));
  EXPECT_EQ(as_vector(read_back), (std::vector<std::uint8_t>{2}));
}

// Bytes that are not UTF-8 name no file: refused, never guessed at.
TEST(WindowsFiles, PathsThatAreNotUtf8AreRefused) {
  const Folder folder;
  const std::string path = folder.file("bad\xFF.smc");
  std::string reason;
  ReadBytes bytes;
  EXPECT_FALSE(platform::read_whole_file(path, 100, bytes, reason));
  EXPECT_EQ(reason, "the name is not UTF-8");
  EXPECT_FALSE(write_file(path, {1}, reason));
  EXPECT_FALSE(platform::open_existing_exclusive(path.c_str()).valid());
  EXPECT_FALSE(platform::create_always(path.c_str()).valid());
  EXPECT_FALSE(platform::exists(path));

  std::string out;
  EXPECT_FALSE(platform::win32::utf8_from_wide(std::wstring(1, wchar_t(0xD800)), out));
}

TEST(WindowsCommandLine, ArgumentsInUtf8) {
  const std::vector<std::string> expected = {
      "talvo.exe", "extract", "\xE6\x97\xA5\xE6\x9C\xAC \xCE\xB5\xF0\x9F\x98\x80.smc", "-o", "a b\\", "\"q\""};
  EXPECT_EQ(platform::win32::utf8_arguments(
                L"talvo.exe extract \"\u65E5\u672C \u03B5\U0001F600.smc\" -o \"a b\\\\\" \\\"q\\\""),
            expected);
}

}  // namespace
}  // namespace talvo
