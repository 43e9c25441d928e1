// Whole files for the command line on POSIX systems. An output is written to
// a new file in its folder and renamed into place, so that its name never
// holds half a file: an interrupted or failed run leaves the old one. Where
// the system can, the new file has no name until it is complete, so that a
// run killed while writing leaves nothing behind; elsewhere its name follows
// one short pattern, ".talvo-XXXXXX", easy to find and remove.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform.h"

namespace talvo::platform {
namespace {

std::string system_reason() { return std::strerror(errno); }

const char* kind_of(mode_t mode) {
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
  if (S_ISSOCK(mode)) return "a socket";
  return "not a regular file";
}

bool write_all(int fd, std::span<const std::uint8_t> bytes) {
  const std::uint8_t* p = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const ssize_t put = ::write(fd, p, left);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    p += put;
    left -= static_cast<std::size_t>(put);
  }
  return true;
}

// The permissions a new file gets: read and write for whom the umask allows.
mode_t new_file_mode() {
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

// Temporary names are short and do not depend on the output's name, which
// may already take all the 255 bytes a name can have.
constexpr char kTemporaryPattern[] = ".talvo-XXXXXX";

// Whether the output may take `path`: nothing is there; or a regular file
// with a write permission, whose mode, owner and group the new file then
// keeps (`keep`); or a link to a regular file or to nothing, which a fresh
// file replaces (what it points to stays as it was). A link to a device, a
// FIFO or a folder is refused: replacing it would put a file where the
// system, or whoever made the link, expects something else.
bool may_replace(const std::string& path, struct stat& existing, bool& keep, std::string& reason) {
  keep = false;
  // Nothing there, or a folder that cannot be searched, which creating the
  // file will report.
  if (lstat(path.c_str(), &existing) != 0) return true;
  if (S_ISLNK(existing.st_mode)) {
    struct stat target {};
    if (stat(path.c_str(), &target) == 0) {
      if (S_ISREG(target.st_mode)) return true;
      reason = std::string("a link to ") + kind_of(target.st_mode) + " is in the way";
      return false;
    }
    if (errno == ENOENT || errno == ENOTDIR) return true;
    reason = "a link that cannot be followed is in the way (" + system_reason() + ")";
    return false;
  }
  if (!S_ISREG(existing.st_mode)) {
    reason = std::string(kind_of(existing.st_mode)) + " is in the way";
    return false;
  }
  if ((existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
    reason = "the file there is read-only";
    return false;
  }
  keep = true;
  return true;
}

// Gives the new file the replaced one's owner and group where this process
// may (root may give any; others their own groups), then its mode: after
// the owner, since a change of owner clears the set-ID bits.
void keep_owner_and_mode(int fd, const struct stat& replaced) {
  struct stat now {};
  if (fstat(fd, &now) == 0 && (now.st_uid != replaced.st_uid || now.st_gid != replaced.st_gid)) {
    if (fchown(fd, replaced.st_uid, replaced.st_gid) != 0 && fchown(fd, static_cast<uid_t>(-1), replaced.st_gid) != 0) {
      // Another user's file becomes this user's, as any editor would make it.
    }
  }
  if (fchmod(fd, replaced.st_mode & 07777) != 0) {
    // Only the owner may; the file is this process's own.
  }
}

// Closes a file just written; false with the reason when the system reports
// a late write error there.
bool close_written(int fd, bool written, std::string& reason) {
  if (!written) reason = system_reason();
  if (::close(fd) != 0 && written) {
    written = false;
    reason = system_reason();
  }
  return written;
}

// The fixed pattern's way: a file created under a free name of the pattern,
// then written.
bool write_named(const std::string& folder, std::span<const std::uint8_t> bytes, const struct stat* replaced,
                 std::string& temporary, std::string& reason, bool& created) {
  temporary = folder + kTemporaryPattern;
  const int fd = mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) {
    reason = system_reason();
    return false;
  }
  created = true;
  bool ready = true;
  if (replaced != nullptr) {
    keep_owner_and_mode(fd, *replaced);
  } else {
    ready = fchmod(fd, new_file_mode()) == 0;  // mkostemp gives 0600
  }
  if (!close_written(fd, ready && write_all(fd, bytes), reason)) {
    unlink(temporary.c_str());
    return false;
  }
  return true;
}

#if defined(__linux__) && defined(O_TMPFILE)

// Six characters of the pattern, different for every call in any process.
std::string temporary_name() {
  static std::uint64_t calls = 0;
  std::uint64_t x = static_cast<std::uint64_t>(getpid()) << 40 ^ ++calls << 20 ^
                    static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  x = (x ^ x >> 30) * 0xBF58476D1CE4E5B9u;  // splitmix64's finaliser
  x = (x ^ x >> 27) * 0x94D049BB133111EBu;
  x ^= x >> 31;
  static constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  std::string name = kTemporaryPattern;
  for (std::size_t i = name.size() - 6; i < name.size(); ++i, x /= 62) name[i] = kLetters[x % 62];
  return name;
}

enum class Unnamed { Written, Failed, CannotName };

// The unnamed way: the file has no name while it is written, and takes a
// free name of the pattern only once complete, through its /proc link (the
// one way to give a file opened with O_TMPFILE a name without privileges).
// A system without /proc cannot name it: the caller writes it again the
// fixed pattern's way.
Unnamed write_unnamed(int fd, const std::string& folder, std::span<const std::uint8_t> bytes,
                      const struct stat* replaced, std::string& temporary, std::string& reason, bool& created) {
  created = true;
  if (replaced != nullptr) keep_owner_and_mode(fd, *replaced);
  if (!write_all(fd, bytes)) {
    close_written(fd, false, reason);
    return Unnamed::Failed;
  }
  char link[40];
  std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  for (int attempt = 0;; ++attempt) {
    temporary = folder + temporary_name();
    if (linkat(AT_FDCWD, link, AT_FDCWD, temporary.c_str(), AT_SYMLINK_FOLLOW) == 0) break;
    if (errno != EEXIST || attempt == 100) {
      ::close(fd);
      return Unnamed::CannotName;
    }
  }
  if (!close_written(fd, true, reason)) {
    unlink(temporary.c_str());
    return Unnamed::Failed;
  }
  return Unnamed::Written;
}

#endif

bool write_temporary(const std::string& folder, std::span<const std::uint8_t> bytes, const struct stat* replaced,
                     std::string& temporary, std::string& reason, bool& created) {
#if defined(__linux__) && defined(O_TMPFILE)
  // The file system may not have unnamed files (the call then fails), and
  // the folder may refuse a file: the named way says why.
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
  if (fd >= 0) {
    const Unnamed outcome = write_unnamed(fd, folder, bytes, replaced, temporary, reason, created);
    if (outcome != Unnamed::CannotName) return outcome == Unnamed::Written;
  }
#endif
  created = false;
  return write_named(folder, bytes, replaced, temporary, reason, created);
}

}  // namespace

bool read_whole_file(const std::string& path, std::uint64_t limit, FileBytes& bytes, std::string& reason) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) {
    reason = system_reason();
    return false;
  }
  struct stat info {};
  bool ok = false;
  if (fstat(fd, &info) != 0) {
    reason = system_reason();
  } else if (!S_ISREG(info.st_mode)) {
    reason = std::string(kind_of(info.st_mode)) + ", not a file";
  } else if (static_cast<std::uint64_t>(info.st_size) > limit) {
    reason = "too large (" + std::to_string(info.st_size) + " bytes, at most " + std::to_string(limit) + ")";
  } else {
    bytes.resize(static_cast<std::size_t>(info.st_size));
    std::size_t delivered = 0;
    FileHandle file{fd};
    ok = read(file, bytes.data(), bytes.size(), delivered);
    if (!ok) reason = system_reason();
    if (ok && delivered != bytes.size()) {
      ok = false;
      reason = "the file changed while it was read";
    }
  }
  ::close(fd);
  return ok;
}

bool write_pending_file(const std::string& path, std::span<const std::uint8_t> bytes, PendingFile& pending,
                        std::string& reason) {
  struct stat kept {};
  bool keep = false;
  if (!may_replace(path, kept, keep, reason)) return false;
  const std::size_t slash = path.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  std::string temporary;
  pending = {};
  if (!write_temporary(folder, bytes, keep ? &kept : nullptr, temporary, reason, pending.created)) return false;
  pending = {temporary, path, true};
  return true;
}

bool commit_file(PendingFile& pending, std::string& reason) {
  if (rename(pending.temporary.c_str(), pending.path.c_str()) != 0) {
    reason = system_reason();
    discard_file(pending);
    return false;
  }
  pending = {};
  return true;
}

void discard_file(PendingFile& pending) {
  if (!pending.temporary.empty()) unlink(pending.temporary.c_str());
  pending = {};
}

bool exists(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0;
}

bool same_file(const std::string& a, const std::string& b) {
  struct stat first {
  }, second{};
  return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
         first.st_ino == second.st_ino;
}

bool standard_error_is_terminal() { return isatty(STDERR_FILENO) != 0; }

std::vector<std::string> command_line_arguments(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}

}  // namespace talvo::platform
