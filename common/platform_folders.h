// Folders, for the command line: making an output folder, and finding the
// program's own folder, where a Windows install keeps the files it ships.
#pragma once

#include <string>

namespace talvo::platform {

// Makes the folder at `path` with the folders above it that are missing;
// true when it exists as a folder afterwards, else false with the reason.
bool make_folders(const std::string& path, std::string& reason);

// The folder that holds the running program (UTF-8 on Windows), or "" when
// it cannot be told.
std::string program_folder();

}  // namespace talvo::platform
