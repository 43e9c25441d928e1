// A team's glossary: a CSV with the columns source and target, each row a
// term of the original and the word the translation uses for it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "csv_file.h"

namespace talvo::exchange {

struct GlossaryTerm {
  std::string source;  // line feeds removed, as entries are matched without them
  std::string target;
  std::size_t line = 0;
};

// False with the line and what is wrong: no header row, a row with a term
// on one side only. Blank rows are passed over.
bool read_glossary(std::string_view csv, std::vector<GlossaryTerm>& terms, CsvError& error);

}  // namespace talvo::exchange
