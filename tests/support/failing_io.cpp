// Preloaded into a program under test (LD_PRELOAD), this makes the writes, or
// the close, of one file fail as a full disk or a network file system would:
// TALVO_TEST_FAILING_WRITE and TALVO_TEST_FAILING_CLOSE name the file by its
// last path component, or "(unnamed)" for any file written before it has a
// name (the command line's outputs, where the system has O_TMPFILE). Every
// other call goes through untouched.
#include <dlfcn.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool names(int fd, const char* variable) {
  const char* wanted = std::getenv(variable);
  if (wanted == nullptr || *wanted == '\0') return false;
  char link[64];
  std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  char target[4096];
  const ssize_t length = readlink(link, target, sizeof target - 1);
  if (length <= 0) return false;
  target[length] = '\0';
  const char* slash = std::strrchr(target, '/');
  const char* name = slash != nullptr ? slash + 1 : target;
  // The system shows an unnamed file as "#INODE (deleted)" in its folder.
  if (std::strcmp(wanted, "(unnamed)") == 0) {
    return name[0] == '#' && length > 10 && std::strcmp(target + length - 10, " (deleted)") == 0;
  }
  return std::strcmp(name, wanted) == 0;
}

template <typename Function>
Function next(const char* name) {
  return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" ssize_t write(int fd, const void* data, size_t count) {
  static const auto real = next<ssize_t (*)(int, const void*, size_t)>("write");
  if (names(fd, "TALVO_TEST_FAILING_WRITE")) {
    errno = ENOSPC;
    return -1;
  }
  return real(fd, data, count);
}

extern "C" int close(int fd) {
  static const auto real = next<int (*)(int)>("close");
  const bool fail = names(fd, "TALVO_TEST_FAILING_CLOSE");
  const int result = real(fd);
  if (!fail) return result;
  errno = EIO;
  return -1;
}
