// Whether a table's texts can be written to a Shift_JIS text file and read
// back as themselves. Characters beyond code page 932 (é, —) cannot; seven
// that it writes in place of others ("〜" U+301C becomes "～" U+FF5E) read
// back as other characters, which the table would not know.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "translator_table.h"

namespace talvo::tables {

struct SjisFormProblem {
  std::uint16_t code = 0;
  std::uint32_t line = 0;   // the table line of the entry
  char32_t code_point = 0;  // the first character of its text that fails
  char32_t reads_back = 0;  // the character a Shift_JIS file gives back, or 0 where there is no form
};

// The entry on the earliest table line whose text fails, if any.
std::optional<SjisFormProblem> first_text_without_sjis_form(const TranslatorTable& table);

// "the text of code 0x302 holds 'é' (U+00E9), which has no Shift_JIS form;
// use --encoding utf8", without the place.
std::string describe_sjis_problem(const TranslatorTable& table, const SjisFormProblem& problem);

}  // namespace talvo::tables
