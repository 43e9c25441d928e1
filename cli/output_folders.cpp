#include "output_folders.h"

#include "commands.h"
#include "platform_folders.h"

namespace talvo::cli {

bool make_output_folder(const std::string& folder) {
  std::string reason;
  if (platform::make_folders(folder, reason)) return true;
  say(folder + ": the folder cannot be made: " + reason);
  return false;
}

bool make_folder_of(const std::string& file) {
  std::size_t slash = file.find_last_of('/');
#ifdef _WIN32
  const std::size_t backslash = file.find_last_of('\\');
  if (backslash != std::string::npos && (slash == std::string::npos || backslash > slash)) slash = backslash;
#endif
  if (slash == std::string::npos || slash == 0) return true;
  return make_output_folder(file.substr(0, slash));
}

}  // namespace talvo::cli
