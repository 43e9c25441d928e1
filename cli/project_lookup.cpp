#include "project_lookup.h"

#include <cstdio>

#include "commands.h"
#include "platform.h"

namespace talvo::cli {
namespace {

// Deeper than any real folder tree; the walk ends at the root long before.
constexpr int kDeepestFolder = 256;

}  // namespace

std::optional<std::string> nearest_project_file() {
  std::string up;  // the folder looked in, from the current one: "", "../", "../../", ...
  for (int depth = 0; depth < kDeepestFolder; ++depth) {
    const std::string file = up + project::kProjectFileName;
    if (platform::exists(file)) return file;
    // The root is its own parent.
    const std::string here = up.empty() ? "." : up;
    if (platform::same_file(here, up + "..")) break;
    up += "../";
  }
  return std::nullopt;
}

ProjectLookup read_project_file(const std::string& path) {
  FileBytes bytes;
  std::string reason;
  if (!platform::read_whole_file(path, project::kLargestProjectFile, bytes, reason)) {
    say(path + ": " + reason);
    return {std::nullopt, kFailure};
  }
  auto read = project::read_project(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), path);
  if (const auto* error = std::get_if<project::ProjectError>(&read)) {
    std::fprintf(stderr, "%s:%zu:%zu: error: %s\n", path.c_str(), error->line, error->column, error->message.c_str());
    return {std::nullopt, kUsage};
  }
  return {std::get<project::Project>(std::move(read)), kSuccess};
}

ProjectLookup find_project(const Options& options) {
  if (options.no_project) return {};
  if (!options.project_file.empty()) return read_project_file(options.project_file);
  const std::optional<std::string> found = nearest_project_file();
  if (!found) return {};
  return read_project_file(*found);
}

}  // namespace talvo::cli
