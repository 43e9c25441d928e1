// Paths in a project file are relative to the file's folder. Resolving them
// is string work alone, so the reader needs no file system: the result is
// the path as seen from wherever the project file's own path was given.
#pragma once

#include <string>
#include <string_view>

namespace talvo::project {

// Whether `path` starts at a root ("/..."; on Windows also "C:\...", "\\server\...").
bool is_absolute(std::string_view path);

// The folder part of `file`, with its last separator: "a/b/talvo.toml" gives
// "a/b/", "talvo.toml" gives "" (the current folder).
std::string folder_of(std::string_view file);

// `path` from the project file seen from where `folder` was given: absolute
// paths as they are, others after the folder.
std::string resolve(std::string_view folder, std::string_view path);

}  // namespace talvo::project
