// Whole files for the command line on POSIX systems. An output is written to
// a new file in its folder and renamed into place, so that its name never
// holds half a file: an interrupted or failed run leaves the old one.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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
  struct stat existing {};
  if (lstat(path.c_str(), &existing) == 0 && !S_ISLNK(existing.st_mode)) {
    if (!S_ISREG(existing.st_mode)) {
      reason = std::string(kind_of(existing.st_mode)) + " is in the way";
      return false;
    }
    if ((existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
      reason = "the file there is read-only";
      return false;
    }
  }
  const std::size_t slash = path.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  std::string temporary = folder + "." + name + ".talvo-XXXXXX";
  const int fd = mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) {
    reason = system_reason();
    return false;
  }
  bool written = fchmod(fd, new_file_mode()) == 0 && write_all(fd, bytes);
  if (!written) reason = system_reason();
  if (::close(fd) != 0 && written) {
    written = false;
    reason = system_reason();
  }
  if (!written) {
    unlink(temporary.c_str());
    return false;
  }
  pending = {temporary, path};
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
