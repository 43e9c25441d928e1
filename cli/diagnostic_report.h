// Diagnostics in the form compilers use, which editors and IDEs turn into
// lists that jump to the place: "FILE:LINE:COLUMN: error: MESSAGE", then,
// for a person at a terminal, the line with a caret under the spot.
#pragma once

#include <cstdio>
#include <vector>

#include "text_checker.h"
#include "text_input.h"

namespace talvo::cli {

struct ReportStyle {
  bool color = false;  // ANSI colours, as compilers use them
  bool caret = false;  // the offending line and a caret under the spot
};

// Whether to colour and show carets, from --color and whether standard
// error is a terminal.
ReportStyle report_style(ColorMode color);

// The diagnostics of one file, in file offsets, in the order of their place.
std::vector<Diagnostic> file_diagnostics(const TextInput& input, const CheckedText& checked);

void print_diagnostics(std::FILE* out, const TextInput& input, const std::vector<Diagnostic>& diagnostics,
                       const ReportStyle& style);

}  // namespace talvo::cli
