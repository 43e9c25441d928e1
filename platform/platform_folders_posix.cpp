// The running program's own folder on POSIX systems, from /proc.
#include <unistd.h>

#include <climits>

#include "platform_folders.h"

namespace talvo::platform {

std::string program_folder() {
  char program[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", program, sizeof program - 1);
  if (length <= 0) return {};
  const std::string path(program, static_cast<std::size_t>(length));
  return path.substr(0, path.rfind('/'));
}

}  // namespace talvo::platform
