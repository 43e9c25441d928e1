// The game's own tables written as table files, the form translators start
// from: every code with the text the extractor writes for it, in UTF-8, the
// end codes marked "/" and the line-break codes "*". Read back, each code's
// text in a text file is the extractor's, the line feed after the message
// role codes being the role's.
#pragma once

#include <string>

#include "translator_table.h"

namespace talvo::tables {

std::string export_builtin_table(CodeSet kind);

}  // namespace talvo::tables
