// talvo table export and talvo table show: the game's tables as table
// files, and what a table file names.
#include <cstdio>

#include "builtin_tables_export.h"
#include "commands.h"
#include "table_file_input.h"
#include "table_summary.h"

namespace talvo::cli {
namespace {

// Prints to standard output; false after saying so where it cannot.
bool print(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return true;
  say("standard output cannot be written");
  return false;
}

}  // namespace

int run_table_export(const Options& options) {
  const std::string text = tables::export_builtin_table(options.table_kind);
  if (options.table_output.empty()) return print(text) ? kSuccess : kFailure;
  const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
  return write_outputs({{options.table_output, bytes}}, {}) ? kSuccess : kFailure;
}

int run_table_show(const Options& options) {
  TableFile file;
  if (!load_table_file(options.table_file, options.table_kind, file)) return kFailure;
  return print(tables::describe_table(file.table)) ? kSuccess : kFailure;
}

}  // namespace talvo::cli
