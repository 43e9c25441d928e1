// Folders, for the command line: whether one is there and empty, making
// one, the way from one folder to a file, and the program's own folder,
// where a Windows install keeps the files it ships. Paths are UTF-8 on
// Windows and the file system's bytes elsewhere, as in platform.h.
#pragma once

#include <optional>
#include <string>

namespace talvo::platform {

enum class FolderState { Missing, Empty, NotEmpty, NotAFolder };

// What is at `path`: nothing, an empty folder, a folder with something in
// it, or something else (a file, a link to a file). A folder that cannot be
// listed counts as not empty.
FolderState folder_state(const std::string& path);

// Makes the folder at `path`, and the folders above it that are missing;
// an existing folder is fine. False with the system's reason.
bool make_folders(const std::string& path, std::string& reason);

// The path of `target` as seen from `folder`, both existing: relative,
// with '/' between names, or absolute where no relative path leads there
// (another drive). Nothing when either cannot be resolved.
std::optional<std::string> path_from(const std::string& folder, const std::string& target);

// The folder that holds the running program (UTF-8 on Windows), or "" when
// it cannot be told.
std::string program_folder();

}  // namespace talvo::platform
