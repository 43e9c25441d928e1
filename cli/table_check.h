// A text file read and checked through a translator's table, as check,
// encode and insert read one: its diagnostics in file offsets, the codes
// its entries encode to.
#pragma once

#include <string>
#include <vector>

#include "table_checker.h"
#include "table_text_input.h"
#include "text_tables.h"
#include "window_options.h"

namespace talvo::cli {

struct TableFileCheck {
  TableTextInput input;
  tables::TableCheck check;
  std::vector<Diagnostic> diagnostics;  // file offsets, in the order of their place
  std::size_t errors = 0;
  std::size_t warnings = 0;
};

// Reads and checks the file at `path`, a text file of `bank` through
// `table`; with `window`, the window's warnings too. False with the reason
// when it cannot be read.
bool check_table_file(const std::string& path, const BankRecord& bank, const LoadedTable& table,
                      TextEncoding encoding, const CheckOptions& options, const WindowSetup* window,
                      TableFileCheck& out, std::string& reason);

}  // namespace talvo::cli
