// The commands of the talvo command line. Each returns the exit status:
// 0 success, 1 the work failed or problems were found, 2 the command line
// itself was wrong. Messages go to standard error, each beginning "talvo: ".
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "command_line.h"

namespace talvo::cli {

inline constexpr int kSuccess = 0;
inline constexpr int kFailure = 1;
inline constexpr int kUsage = 2;

int run_extract(const Options& options);
int run_encode(const Options& options);
int run_check(const Options& options);
int run_insert(const Options& options);
int run_patch_create(const Options& options);
int run_patch_apply(const Options& options);
int run_table_export(const Options& options);
int run_table_show(const Options& options);
int run_table_suggest(const Options& options);

// "talvo: " and the message, on standard error.
void say(const std::string& message);

// The path of `name` in `folder`.
std::string in_folder(const std::string& folder, const std::string& name);

// Writes every file whole or not at all, then renames them into place one
// after the other; false, after saying why, when one cannot be written or
// would replace one of the `inputs` (an input is never changed, nor lost).
struct OutputFile {
  std::string path;
  std::span<const std::uint8_t> bytes;
};
bool write_outputs(const std::vector<OutputFile>& files, const std::vector<std::string>& inputs);

}  // namespace talvo::cli
