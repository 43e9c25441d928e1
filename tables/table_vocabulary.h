// A translator's table as the vocabulary the extractor writes text files
// through: each code's text, name or hexadecimal token, with the line feed
// the message role codes are followed by, in the file's encoding.
#pragma once

#include "translator_table.h"
#include "vocabulary.h"

namespace talvo::tables {

// Written in Shift_JIS, a text without a code page 932 form would be lost:
// the caller has checked the table first (first_text_without_sjis_form).
Vocabulary table_vocabulary(const TranslatorTable& table, TextEncoding encoding);

}  // namespace talvo::tables
