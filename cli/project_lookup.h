// The translation project a command runs in: the file named with --project,
// or talvo.toml in the current folder or the nearest folder above it, as
// git and cargo find theirs; none with --no-project or where there is none.
#pragma once

#include <optional>
#include <string>

#include "command_line.h"
#include "project_file.h"

namespace talvo::cli {

struct ProjectLookup {
  std::optional<project::Project> project;  // none: no project file, or --no-project
  // kSuccess, or after what is wrong has been said: kUsage for a key or
  // value the file does not take (its line named, as compilers do),
  // kFailure for a file that cannot be read.
  int status = 0;
  bool failed() const { return status != 0; }
};

ProjectLookup find_project(const Options& options);

// The nearest talvo.toml from the current folder up to the root, as a path
// from the current folder ("talvo.toml", "../talvo.toml", ...).
std::optional<std::string> nearest_project_file();

// Reads and checks the project file at `path`, saying what is wrong.
ProjectLookup read_project_file(const std::string& path);

}  // namespace talvo::cli
