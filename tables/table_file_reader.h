// The reader of table files, in the convention translators' tools share:
//
//   # a comment            lines beginning with "#", and blank lines, are skipped
//   0302=e                 code 0x302 is "e"
//   0303=th                several characters to one code
//   0304=e                 a text given twice: the lower code encodes it
//   0B0=[wait]             a name, written and read as the token [wait]
//   /0AC=[end]             "/" marks an end code, "*" a line-break code
//
// UTF-8, a byte-order mark skipped, lines ended by LF or CR LF. A message
// table's codes have 1 to 4 hexadecimal digits, up to 0x60B; a byte table's
// exactly 2. The text runs literally from the "=" to the end of the line,
// trailing spaces included. A bracketed name holds no brackets, and other
// texts none at all; a name spelled as a hexadecimal token ([0041], [41])
// is that very code's. The codes with a role (translator_table.h) take names only,
// so that running text never encodes into an end or a line break, and a
// mark stands only on a code that has that role.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "translator_table.h"

namespace talvo::tables {

struct TableError {
  std::uint32_t line = 0;  // from 1
  std::string message;     // "code 0x302 is named twice (first on line 4)", without place or "error: "
};

struct TableReading {
  TranslatorTable table;
  std::vector<TableError> errors;  // in file order; the table is usable only without them
  bool ok() const { return errors.empty(); }
};

// The most errors told of one file; reading stops there.
inline constexpr std::size_t kMaxTableErrors = 100;

// Reads a table file's bytes as a table of `kind`. Fails, with every error
// up to kMaxTableErrors, on a line without "=", a code that is no code or
// out of range or named twice, an empty text, brackets inside a text, a
// hexadecimal name on another code, a mark on a code without that role, a
// role code without a name, a text of control characters or of more than
// kMaxTextCharacters, bytes that are not UTF-8.
TableReading read_translator_table(std::string_view bytes, CodeSet kind);

}  // namespace talvo::tables
