// Files on POSIX systems. Windows' exclusive opening (share mode 0) becomes a
// non-blocking exclusive lock, so that a file one of our programs holds cannot
// be opened by another; a file without any write permission counts as
// read-only, as it would under Windows' read-only attribute, even for root.
//
// Nothing here waits or follows a planted name: files are opened without
// blocking (a FIFO would otherwise hold the program for ever), outputs are
// never written through a symbolic link, and every descriptor kept lies
// above the standard streams, so the boxes' text never lands in a file.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform.h"

namespace talvo::platform {
namespace {

constexpr int kFirstFileDescriptor = 3;

bool has_write_permission(const struct stat& info) { return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0; }

// Moves a descriptor that took the number of a standard stream above them.
int above_standard_streams(int fd) {
  if (fd < 0 || fd >= kFirstFileDescriptor) return fd;
  const int moved = fcntl(fd, F_DUPFD_CLOEXEC, kFirstFileDescriptor);
  ::close(fd);
  return moved;
}

// Once the file is known to be a regular one, reads and writes may block as
// usual.
bool make_blocking(int fd) {
  const int flags = fcntl(fd, F_GETFL);
  return flags >= 0 && fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0;
}

FileHandle locked(int fd) {
  if (fd < 0) return {};
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return {};
  }
  return FileHandle{fd};
}

// Opens an output name that exists: refuses a link (ELOOP, left for the
// caller to replace), a non-regular file and a read-only one.
enum class Existing { Opened, Missing, Link, Refused };
Existing open_existing_output(const char* name, int flags, int& fd) {
  fd = above_standard_streams(::open(name, flags));
  if (fd < 0) {
    if (errno == ENOENT) return Existing::Missing;
    if (errno == ELOOP) return Existing::Link;
    return Existing::Refused;
  }
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || !has_write_permission(info)) {
    ::close(fd);
    return Existing::Refused;
  }
  return Existing::Opened;
}

}  // namespace

void open_standard_streams() {
  for (int fd = 0; fd < kFirstFileDescriptor; ++fd) {
    if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    // The lowest free number is this one, as the ones below it are open.
    const int null = ::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
    if (null >= 0 && null != fd) ::close(null);
  }
}

FileHandle open_existing_exclusive(const char* path) {
  const int fd = above_standard_streams(::open(path, O_RDWR | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
  if (fd < 0) return {};
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || !has_write_permission(info) || !make_blocking(fd)) {
    ::close(fd);
    return {};
  }
  return locked(fd);
}

FileHandle create_always(const char* name) {
  constexpr int kFlags = O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW | O_NONBLOCK;
  // A few rounds at most: each one only repeats when another process changed
  // the name in between.
  for (int round = 0; round < 4; ++round) {
    int fd = -1;
    switch (open_existing_output(name, kFlags, fd)) {
      case Existing::Opened:
        break;
      case Existing::Missing:
        fd = above_standard_streams(::open(name, kFlags | O_CREAT | O_EXCL, 0666));
        if (fd < 0 && errno == EEXIST) continue;
        if (fd < 0) return {};
        break;
      case Existing::Link: {
        // Replace the link itself; what it points to is none of our business.
        struct stat info {};
        if (lstat(name, &info) != 0 || !S_ISLNK(info.st_mode) || unlink(name) != 0) return {};
        continue;
      }
      case Existing::Refused:
        return {};
    }
    if (!make_blocking(fd)) {
      ::close(fd);
      return {};
    }
    // Truncate only once the lock is ours: a file that another process holds
    // must keep its contents.
    FileHandle file = locked(fd);
    if (file.valid() && ftruncate(static_cast<int>(file.value), 0) != 0) close(file);
    return file;
  }
  return {};
}

bool file_size(FileHandle file, std::uint64_t& size) {
  struct stat info {};
  if (fstat(static_cast<int>(file.value), &info) != 0 || info.st_size < 0) return false;
  size = static_cast<std::uint64_t>(info.st_size);
  return true;
}

bool set_position(FileHandle file, std::uint64_t offset) {
  if (offset > static_cast<std::uint64_t>(INT64_MAX)) return false;
  return lseek(static_cast<int>(file.value), static_cast<off_t>(offset), SEEK_SET) >= 0;
}

bool read(FileHandle file, void* buffer, std::size_t count, std::size_t& delivered) {
  delivered = 0;
  auto* bytes = static_cast<unsigned char*>(buffer);
  while (delivered < count) {
    const ssize_t got = ::read(static_cast<int>(file.value), bytes + delivered, count - delivered);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    if (got == 0) break;
    delivered += static_cast<std::size_t>(got);
  }
  return true;
}

bool write(FileHandle file, const void* data, std::size_t count) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  while (count > 0) {
    const ssize_t put = ::write(static_cast<int>(file.value), bytes, count);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    bytes += put;
    count -= static_cast<std::size_t>(put);
  }
  return true;
}

bool close(FileHandle& file) {
  if (!file.valid()) return true;
  // After an interrupted close the descriptor is gone all the same on Linux;
  // only a real error counts.
  const bool closed = ::close(static_cast<int>(file.value)) == 0 || errno == EINTR;
  file = {};
  return closed;
}

}  // namespace talvo::platform
