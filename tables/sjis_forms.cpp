#include "sjis_forms.h"

#include <cstdio>

#include "cp932.h"
#include "utf8.h"

namespace talvo::tables {
namespace {

// What a Shift_JIS file gives back for the character: itself, another, or
// 0 where code page 932 cannot write it.
char32_t read_back(char32_t code_point) {
  const auto code = encode_cp932(code_point);
  if (!code) return 0;
  char bytes[2] = {static_cast<char>(*code >> 8), static_cast<char>(*code & 0xFF)};
  const std::string_view text = *code < 0x100 ? std::string_view(bytes + 1, 1) : std::string_view(bytes, 2);
  return decode_cp932(text).code_point;
}

std::string quoted(char32_t code_point) {
  std::string text = "'";
  append_utf8(text, code_point);
  char label[16];
  std::snprintf(label, sizeof label, "' (U+%04X)", static_cast<unsigned>(code_point));
  return text + label;
}

}  // namespace

std::optional<SjisFormProblem> first_text_without_sjis_form(const TranslatorTable& table) {
  std::optional<SjisFormProblem> first;
  for (std::size_t code = 0; code < table.codes.size(); ++code) {
    const auto& entry = table.codes[code];
    if (!entry || (first && first->line < entry->line)) continue;
    for (std::string_view rest = entry->text; !rest.empty();) {
      const Utf8Char c = decode_utf8(rest);
      rest.remove_prefix(c.length > 0 ? c.length : rest.size());
      if (c.error != Utf8Error::None) continue;  // a table read by the reader holds none
      const char32_t back = read_back(c.code_point);
      if (back == c.code_point) continue;
      first = SjisFormProblem{static_cast<std::uint16_t>(code), entry->line, c.code_point, back};
      break;
    }
  }
  return first;
}

std::string describe_sjis_problem(const TranslatorTable& table, const SjisFormProblem& problem) {
  const std::string where =
      "the text of code " + code_label(table.kind, problem.code) + " holds " + quoted(problem.code_point);
  if (problem.reads_back == 0) return where + ", which has no Shift_JIS form; use --encoding utf8";
  return where + ", which a Shift_JIS file gives back as " + quoted(problem.reads_back) + "; write " +
         quoted(problem.reads_back) + " in the table, or use --encoding utf8";
}

}  // namespace talvo::tables
