// The command line's outputs on POSIX, as `talvo` and `Talvo_insert` write
// them through the platform layer: what a replaced file keeps, which links
// may be replaced, the names of temporaries, and what a failed or killed run
// leaves behind.
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform.h"
#include "support/process.h"

namespace talvo {
namespace {

using namespace testing;
namespace fs = std::filesystem;

std::span<const std::uint8_t> as_bytes(const std::string& text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

bool write_whole(const fs::path& path, const std::string& bytes, std::string& reason) {
  platform::PendingFile pending;
  return platform::write_pending_file(path.string(), as_bytes(bytes), pending, reason) &&
         platform::commit_file(pending, reason);
}

std::vector<std::string> names_in(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

struct stat status_of(const fs::path& path) {
  struct stat info {};
  EXPECT_EQ(lstat(path.c_str(), &info), 0) << path;
  return info;
}

// The test's own umask, so that a mode kept is told from a default one.
class KnownUmask {
 public:
  KnownUmask() : old_(umask(022)) {}
  ~KnownUmask() { umask(old_); }

 private:
  mode_t old_;
};

// Whether files in `folder` can be written without a name, as the platform
// layer writes them where the system allows.
bool unnamed_files_in(const fs::path& folder) {
#if defined(O_TMPFILE)
  const int fd = open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  close(fd);
  return access("/proc/self/fd", X_OK) == 0;
#else
  (void)folder;
  return false;
#endif
}

TEST(WholeFiles, AReplacedFileKeepsItsModeAndOwner) {
  const KnownUmask mask;
  const mode_t modes[] = {0600, 0640, 0604, 0660, 0700, 0666};
  for (const mode_t mode : modes) {
    TempFolder folder;
    const fs::path out = folder / "out.smc";
    write_file(out, "old");
    ASSERT_EQ(chmod(out.c_str(), mode), 0);
    const bool as_root = geteuid() == 0;
    if (as_root) {
      ASSERT_EQ(chown(out.c_str(), 65534, 65534), 0);
    }
    std::string reason;
    ASSERT_TRUE(write_whole(out, "new", reason)) << reason;
    EXPECT_EQ(read_file(out), "new");
    const struct stat info = status_of(out);
    EXPECT_EQ(info.st_mode & 07777, mode) << std::oct << mode;
    if (as_root) {
      EXPECT_EQ(info.st_uid, 65534u);
      EXPECT_EQ(info.st_gid, 65534u);
    }
  }
}

// A link is replaced by a file of its own, with the mode a new file gets:
// the file it pointed to is neither written nor copied.
TEST(WholeFiles, AReplacedLinkBecomesAFreshFile) {
  const KnownUmask mask;
  struct Case {
    const char* what;
    bool dangling;
  };
  const Case cases[] = {{"a link to a file", false}, {"a link to nothing", true}};
  for (const Case& c : cases) {
    TempFolder folder;
    const fs::path target = folder / "target.bin";
    if (!c.dangling) {
      write_file(target, "kept");
      ASSERT_EQ(chmod(target.c_str(), 0600), 0);
    }
    fs::create_symlink(target, folder / "out.bin");
    std::string reason;
    ASSERT_TRUE(write_whole(folder / "out.bin", "new", reason)) << c.what << ": " << reason;
    const struct stat info = status_of(folder / "out.bin");
    EXPECT_TRUE(S_ISREG(info.st_mode)) << c.what;
    EXPECT_EQ(info.st_mode & 07777, 0644u) << c.what;
    EXPECT_EQ(read_file(folder / "out.bin"), "new") << c.what;
    if (c.dangling) {
      EXPECT_FALSE(fs::exists(target)) << c.what;
    } else {
      EXPECT_EQ(read_file(target), "kept");
      EXPECT_EQ(status_of(target).st_mode & 07777, 0600u);
    }
  }
}

// A link to a device, a FIFO or a folder stays, and nothing is written: a
// link named like an output may be the system's own (/dev/stdout).
TEST(WholeFiles, ALinkToAnythingButARegularFileIsRefused) {
  TempFolder folder;
  ASSERT_EQ(mkfifo((folder / "fifo").c_str(), 0600), 0);
  fs::create_directory(folder / "folder");
  fs::create_symlink("/dev/null", folder / "to-null");
  struct Case {
    fs::path target;
    std::string reason;
  };
  const Case cases[] = {
      {"/dev/null", "a link to a device is in the way"},
      {folder / "to-null", "a link to a device is in the way"},
      {folder / "fifo", "a link to a FIFO is in the way"},
      {folder / "folder", "a link to a folder is in the way"},
  };
  for (const Case& c : cases) {
    const fs::path out = folder / "out.bin";
    fs::create_symlink(c.target, out);
    std::string reason;
    EXPECT_FALSE(write_whole(out, "new", reason)) << c.target;
    EXPECT_EQ(reason, c.reason) << c.target;
    EXPECT_TRUE(fs::is_symlink(out)) << c.target;
    EXPECT_EQ(names_in(folder.path()), (std::vector<std::string>{"fifo", "folder", "out.bin", "to-null"}));
    fs::remove(out);
  }
}

// The temporary's name does not grow with the output's, so every name the
// file system takes can be written.
TEST(WholeFiles, NamesOfAnyLengthTheSystemTakesAreWritten) {
  for (const std::size_t length : {std::size_t{1}, std::size_t{241}, std::size_t{242}, std::size_t{255}}) {
    TempFolder folder;
    const std::string name(length, 'n');
    std::string reason;
    EXPECT_TRUE(write_whole(folder / name, "bytes", reason)) << length << ": " << reason;
    EXPECT_EQ(read_file(folder / name), "bytes") << length;
    EXPECT_EQ(names_in(folder.path()), std::vector<std::string>{name});
  }
}

// Between writing and renaming, the new file lies under a name of one short
// pattern in the output's folder; discarded, it is gone.
TEST(WholeFiles, TemporariesFollowOnePattern) {
  TempFolder folder;
  fs::create_directory(folder / "sub");
  for (const char* name : {"out.bin", "sub/out.bin"}) {
    const fs::path out = folder / name;
    platform::PendingFile pending;
    std::string reason;
    ASSERT_TRUE(platform::write_pending_file(out.string(), as_bytes("new"), pending, reason)) << reason;
    const std::vector<std::string> names = names_in(out.parent_path());
    const auto temporary = std::find_if(names.begin(), names.end(), [](const std::string& n) { return n != "sub"; });
    ASSERT_NE(temporary, names.end());
    EXPECT_EQ(temporary->size(), 13u) << *temporary;
    EXPECT_TRUE(temporary->starts_with(".talvo-")) << *temporary;
    EXPECT_EQ(fs::path(pending.temporary).parent_path(), out.parent_path());
    platform::discard_file(pending);
    EXPECT_FALSE(fs::exists(out.parent_path() / *temporary));
  }
  EXPECT_EQ(names_in(folder.path()), std::vector<std::string>{"sub"});
}

// A write the file system refuses (here: the file-size limit) leaves the old
// file and no temporary.
TEST(WholeFiles, AFailedWriteLeavesTheOldFileAndNothingElse) {
  TempFolder folder;
  const fs::path out = folder / "out.bin";
  write_file(out, "old");
  struct rlimit old_limit {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old_limit), 0);
  const auto old_handler = signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old_limit;
  small.rlim_cur = 4096;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  std::string reason;
  const bool written = write_whole(out, std::string(1 << 16, 'x'), reason);
  setrlimit(RLIMIT_FSIZE, &old_limit);
  signal(SIGXFSZ, old_handler);
  EXPECT_FALSE(written);
  EXPECT_EQ(reason, "File too large");
  EXPECT_EQ(read_file(out), "old");
  EXPECT_EQ(names_in(folder.path()), std::vector<std::string>{"out.bin"});
}

// A run killed in the middle of writing (here by the file-size limit's
// signal, which ends a process at once, as kill -9 does) leaves nothing.
TEST(WholeFiles, ARunKilledWhileWritingLeavesNothing) {
  TempFolder folder;
  if (!unnamed_files_in(folder.path())) GTEST_SKIP() << "this file system has no unnamed files (O_TMPFILE)";
  const fs::path out = folder / "out.bin";
  write_file(out, "old");
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const struct rlimit no_core { 0, 0 };
    setrlimit(RLIMIT_CORE, &no_core);
    const struct rlimit small { 4096, 4096 };
    setrlimit(RLIMIT_FSIZE, &small);
    const std::string bytes(1 << 20, 'x');
    std::string reason;
    write_whole(out, bytes, reason);
    _exit(0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(WTERMSIG(status), SIGXFSZ);
  EXPECT_EQ(read_file(out), "old");
  EXPECT_EQ(names_in(folder.path()), std::vector<std::string>{"out.bin"});
}

// talvo on a full disk: the bank's write fails, and both of the encoder's
// files stay as they were, with nothing beside them. (The preloaded module
// fails the writes of the files written before they have a name.)
TEST(WholeFiles, TalvoOnAFullDiskLeavesTheOldFiles) {
  TempFolder folder;
  if (!unnamed_files_in(folder.path())) GTEST_SKIP() << "this file system has no unnamed files (O_TMPFILE)";
  write_file(folder / "MsgData.txt", "(0x0000)\n[00AC]\n");
  write_file(folder / "MsgDataTalvo.bin", "old bank");
  write_file(folder / "MsgDataIDX.bin", "old index");
  ProcessSetup setup;
  setup.environment = {std::string("LD_PRELOAD=") + TALVO_FAILING_IO, "TALVO_TEST_FAILING_WRITE=(unnamed)",
                       // The sanitizers' runtime wants to come first; here it need not.
                       "ASAN_OPTIONS=verify_asan_link_order=0"};
  const ProcessResult run = run_process({TALVO_CLI, "encode", "msg", "MsgData.txt"}, folder.path(), "", setup);
  EXPECT_EQ(run.exit_status, 1);
  EXPECT_EQ(run.err, "talvo: MsgDataTalvo.bin: cannot be written: No space left on device\n");
  EXPECT_EQ(read_file(folder / "MsgDataTalvo.bin"), "old bank");
  EXPECT_EQ(read_file(folder / "MsgDataIDX.bin"), "old index");
  EXPECT_EQ(names_in(folder.path()), (std::vector<std::string>{"MsgData.txt", "MsgDataIDX.bin", "MsgDataTalvo.bin"}));
}

}  // namespace
}  // namespace talvo
