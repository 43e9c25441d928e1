// The commands of the talvo command line. Each returns the exit status:
// 0 success, 1 the work failed or problems were found, 2 the command line
// itself was wrong. Messages go to standard error, each beginning "talvo: ".
#pragma once

#include <cstdint>
#include <optional>
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
int run_wrap(const Options& options);
int run_preview(const Options& options);
int run_table_export(const Options& options);
int run_table_show(const Options& options);
int run_table_suggest(const Options& options);
int run_po_export(const Options& options);
int run_po_import(const Options& options);
int run_csv_export(const Options& options);
int run_csv_import(const Options& options);
int run_room(const Options& options);
int run_init(const Options& options);

// "talvo: " and the message, on standard error.
void say(const std::string& message);

// The path of `name` in `folder`.
std::string in_folder(const std::string& folder, const std::string& name);

// Checked before any input is read: no output may replace an input, and no
// two outputs may be one file (the second would be written over the first).
// `inputs` pairs each input's path with how messages name it ("the input
// image"; empty: "the input PATH"); `outputs` each output's path with the
// option that named it. False after saying why: a usage error.
struct NamedPath {
  std::string path;
  std::string called;
};
bool outputs_are_safe(const std::vector<NamedPath>& outputs, const std::vector<NamedPath>& inputs);
// The same check, giving what would be said, or nothing when all is well.
std::optional<std::string> unsafe_outputs(const std::vector<NamedPath>& outputs, const std::vector<NamedPath>& inputs);

// Writes every file whole or not at all, then renames them into place one
// after the other; false, after saying why, when one cannot be written or
// would replace one of the `inputs` (an input is never changed, nor lost).
struct OutputFile {
  std::string path;
  std::span<const std::uint8_t> bytes;
};
bool write_outputs(const std::vector<OutputFile>& files, const std::vector<std::string>& inputs);
// The same, giving what would be said when it fails, unsaid.
std::optional<std::string> write_outputs_or_reason(const std::vector<OutputFile>& files,
                                                   const std::vector<std::string>& inputs);

}  // namespace talvo::cli
