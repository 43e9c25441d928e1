// A text file written through a translator's table, checked as the game's
// own files are: what the table-mode reader finds (names the table lacks,
// brackets left open), the characters no entry covers (a run of them told
// once), and the checks of entries that every text file gets (count, end
// codes, header numbers, long lines), over the codes the shortest encoding
// chooses, which are the codes insertion writes.
#pragma once

#include <string_view>

#include "shortest_encoding.h"
#include "table_text_reader.h"
#include "text_checker.h"
#include "translator_table.h"

namespace talvo::tables {

struct TableCheck {
  CheckedText checked;            // offsets of the UTF-8 text; the entries' codes when there is no error
  BankEncoding encoding;          // of this file alone: the codes chosen and the bank's size
  std::uint64_t single_size = 0;  // the size with one code per character, where the table allows it; else 0
};

// `table_name` names the table in messages (its file's name). `vocabulary`
// writes the bank's codes in UTF-8 (table_vocabulary.h).
TableCheck check_table_text(std::string_view utf8, const BankRecord& bank, const TranslatorTable& table,
                            const TableIndex& index, const Vocabulary& vocabulary, std::string_view table_name,
                            const CheckOptions& options);

}  // namespace talvo::tables
