// On every system through std::filesystem, which takes UTF-8 as char8_t on
// Windows; elsewhere the bytes go through as they are.
#include "platform_folders.h"

#include <filesystem>
#include <system_error>

namespace talvo::platform {
namespace {

namespace fs = std::filesystem;

fs::path native(const std::string& path) {
#ifdef _WIN32
  return fs::path(std::u8string(path.begin(), path.end()));
#else
  return fs::path(path);
#endif
}

std::string portable(const fs::path& path) {
#ifdef _WIN32
  const std::u8string text = path.generic_u8string();
  return std::string(text.begin(), text.end());
#else
  return path.generic_string();
#endif
}

}  // namespace

FolderState folder_state(const std::string& path) {
  std::error_code error;
  const fs::file_status status = fs::symlink_status(native(path), error);
  if (status.type() == fs::file_type::not_found) return FolderState::Missing;
  if (error) return FolderState::NotAFolder;
  if (!fs::is_directory(fs::status(native(path), error)) || error) return FolderState::NotAFolder;
  fs::directory_iterator entries(native(path), error);
  if (error) return FolderState::NotEmpty;
  return entries == fs::directory_iterator() ? FolderState::Empty : FolderState::NotEmpty;
}

bool make_folders(const std::string& path, std::string& reason) {
  std::error_code error;
  fs::create_directories(native(path), error);
  if (!error && fs::is_directory(native(path), error) && !error) return true;
  reason = error ? error.message() : "something that is not a folder is in the way";
  return false;
}

std::optional<std::string> path_from(const std::string& folder, const std::string& target) {
  std::error_code error;
  const fs::path from = fs::canonical(native(folder), error);
  if (error) return std::nullopt;
  const fs::path to = fs::canonical(native(target), error);
  if (error) return std::nullopt;
  const fs::path relative = to.lexically_relative(from);
  return portable(relative.empty() ? to : relative);
}

}  // namespace talvo::platform
