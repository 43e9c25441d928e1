// Files on POSIX systems. Windows' exclusive opening (share mode 0) becomes a
// non-blocking exclusive lock, so that a file one of our programs holds cannot
// be opened by another; a file without any write permission counts as
// read-only, as it would under Windows' read-only attribute, even for root.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform.h"

namespace talvo::platform {
namespace {

FileHandle locked(int fd) {
  if (fd < 0) return {};
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return {};
  }
  return FileHandle{fd};
}

}  // namespace

FileHandle open_existing_exclusive(const char* path) {
  const int fd = ::open(path, O_RDWR | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return {};
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
    ::close(fd);
    return {};
  }
  return locked(fd);
}

FileHandle create_always(const char* name) {
  // Truncate only once the lock is ours: a file that another process holds
  // must keep its contents.
  FileHandle file = locked(::open(name, O_WRONLY | O_CREAT | O_CLOEXEC | O_NOCTTY, 0666));
  if (!file.valid()) return file;
  struct stat info {};
  if (fstat(static_cast<int>(file.value), &info) != 0 ||
      (S_ISREG(info.st_mode) && ftruncate(static_cast<int>(file.value), 0) != 0)) {
    close(file);
  }
  return file;
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

void close(FileHandle& file) {
  if (file.valid()) ::close(static_cast<int>(file.value));
  file = {};
}

}  // namespace talvo::platform
