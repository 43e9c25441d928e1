#include "table_vocabulary.h"

#include <string>
#include <vector>

#include "cp932.h"

namespace talvo::tables {

Vocabulary table_vocabulary(const TranslatorTable& table, TextEncoding encoding) {
  const std::size_t count = code_count(table.kind);
  std::vector<std::string> extraction(count);
  std::vector<bool> control(count);
  for (std::size_t c = 0; c < count; ++c) {
    const auto code = static_cast<std::uint16_t>(c);
    std::string text = code_text(table, code);
    if (line_feed_follows(table.kind, code)) text += '\n';
    if (encoding == TextEncoding::ShiftJis) text = utf8_to_sjis_text(text).sjis;
    extraction[c] = std::move(text);
    control[c] = is_control_code(table.kind, code);
  }
  return Vocabulary(table.kind, encoding, extraction, std::move(control));
}

}  // namespace talvo::tables
