#include "table_check.h"

#include <algorithm>

#include "window_check.h"

namespace talvo::cli {

bool check_table_file(const std::string& path, const BankRecord& bank, const LoadedTable& table,
                      TextEncoding encoding, const CheckOptions& options, const WindowSetup* window,
                      TableFileCheck& out, std::string& reason) {
  if (!load_table_text(path, encoding, out.input, reason)) return false;
  out.check = tables::check_table_text(out.input.utf8(), bank, table.file.table, table.index, table.utf8,
                                       table.path, options);
  CheckedText& checked = out.check.checked;
  if (window != nullptr) add_window_diagnostics(out.input.utf8(), TextEncoding::Utf8, *window, checked);
  // Both lists in file order: merged, the conversion's first at a tie.
  out.diagnostics = out.input.conversion;
  for (Diagnostic d : checked.diagnostics) {
    d.first = out.input.file_offset(d.first);
    d.last = std::max(out.input.file_offset(d.last + 1), d.first + 1) - 1;
    out.diagnostics.push_back(std::move(d));
  }
  std::inplace_merge(out.diagnostics.begin(),
                     out.diagnostics.begin() + static_cast<std::ptrdiff_t>(out.input.conversion.size()),
                     out.diagnostics.end(),
                     [](const Diagnostic& a, const Diagnostic& b) { return a.first < b.first; });
  for (const Diagnostic& d : out.diagnostics) ++(d.severity == Severity::Error ? out.errors : out.warnings);
  return true;
}

}  // namespace talvo::cli
