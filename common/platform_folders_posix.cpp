#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

#include "platform_folders.h"

namespace talvo::platform {
namespace {

bool is_folder(const std::string& path) {
  struct stat status {};
  return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

}  // namespace

bool make_folders(const std::string& path, std::string& reason) {
  if (path.empty() || is_folder(path)) return true;
  // Each folder from the top down; one that exists already is no failure.
  for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
    const std::string part = path.substr(0, slash);
    if (!part.empty() && part.back() != '/' && mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) {
      reason = std::strerror(errno);
      return false;
    }
    if (slash == std::string::npos) break;
  }
  if (is_folder(path)) return true;
  reason = "not a folder";
  return false;
}

std::string program_folder() {
  char program[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", program, sizeof program - 1);
  if (length <= 0) return {};
  const std::string path(program, static_cast<std::size_t>(length));
  return path.substr(0, path.rfind('/'));
}

}  // namespace talvo::platform
