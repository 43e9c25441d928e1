#include "table_file_input.h"

#include <cstdio>

#include "commands.h"
#include "file_memory.h"
#include "platform.h"
#include "table_file_reader.h"

namespace talvo::cli {

bool load_table_file(const std::string& path, CodeSet kind, TableFile& out) {
  FileBytes bytes;
  std::string reason;
  if (!platform::read_whole_file(path, kLargestTableFile, bytes, reason)) {
    say(path + ": " + reason);
    return false;
  }
  out.bytes.assign(bytes.begin(), bytes.end());
  tables::TableReading reading = tables::read_translator_table(out.bytes, kind);
  for (const tables::TableError& error : reading.errors)
    std::fprintf(stderr, "%s:%u: error: %s\n", path.c_str(), static_cast<unsigned>(error.line), error.message.c_str());
  if (!reading.ok()) {
    const std::size_t n = reading.errors.size();
    const std::string count = n > tables::kMaxTableErrors
                                  ? "more than " + std::to_string(tables::kMaxTableErrors) + " errors"
                                  : std::to_string(n) + (n == 1 ? " error" : " errors");
    say(path + ": " + count + " in the " + std::string(tables::kind_name(kind)) + " table; nothing was done");
    return false;
  }
  out.table = std::move(reading.table);
  return true;
}

}  // namespace talvo::cli
