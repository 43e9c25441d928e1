// talvo: the toolkit's command line, for scripts, Makefiles and terminals.
#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "command_line.h"
#include "commands.h"
#include "platform.h"

namespace {

int run(const talvo::cli::Options& options) {
  using talvo::cli::Command;
  switch (options.command) {
    case Command::Extract:
      return talvo::cli::run_extract(options);
    case Command::Encode:
      return talvo::cli::run_encode(options);
    case Command::Check:
      return talvo::cli::run_check(options);
    case Command::Insert:
      return talvo::cli::run_insert(options);
    case Command::PatchCreate:
      return talvo::cli::run_patch_create(options);
    case Command::PatchApply:
      return talvo::cli::run_patch_apply(options);
    case Command::Wrap:
      return talvo::cli::run_wrap(options);
    case Command::Preview:
      return talvo::cli::run_preview(options);
    case Command::TableExport:
      return talvo::cli::run_table_export(options);
    case Command::TableShow:
      return talvo::cli::run_table_show(options);
    case Command::TableSuggest:
      return talvo::cli::run_table_suggest(options);
    case Command::PoExport:
      return talvo::cli::run_po_export(options);
    case Command::PoImport:
      return talvo::cli::run_po_import(options);
    case Command::CsvExport:
      return talvo::cli::run_csv_export(options);
    case Command::CsvImport:
      return talvo::cli::run_csv_import(options);
    case Command::Room:
      return talvo::cli::run_room(options);
    case Command::Init:
      return talvo::cli::run_init(options);
  }
  return talvo::cli::kUsage;
}

}  // namespace

int main(int argc, char** argv) {
  talvo::platform::open_standard_streams();
  try {
    // UTF-8 arguments on every system: on Windows argv has them in the
    // system's code page, which may not spell a file's name.
    std::vector<std::string> arguments = talvo::platform::command_line_arguments(argc, argv);
    std::vector<char*> pointers;
    for (std::string& argument : arguments) pointers.push_back(argument.data());
    pointers.push_back(nullptr);
    talvo::cli::Options options;
    switch (talvo::cli::parse_command_line(static_cast<int>(arguments.size()), pointers.data(), options)) {
      case talvo::cli::ParseOutcome::Run:
        return run(options);
      case talvo::cli::ParseOutcome::Done:
        return talvo::cli::kSuccess;
      case talvo::cli::ParseOutcome::UsageError:
        return talvo::cli::kUsage;
    }
  } catch (const std::bad_alloc&) {
    talvo::cli::say("out of memory");
  } catch (const std::exception& error) {
    talvo::cli::say(std::string("unexpected failure: ") + error.what());
  }
  return talvo::cli::kFailure;
}
