// The tables the text files of a command are written through: the game's
// own, or a translator's given with --msg-table and --byte-table (the byte
// table serves the fixed strings and the battle text). Without them every
// command reads and writes exactly as the game's tables do.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "command_line.h"
#include "table_file_input.h"
#include "table_index.h"
#include "vocabulary.h"

namespace talvo::cli {

// One code set's translator table, ready for reading and writing text.
struct LoadedTable {
  std::string path;
  TableFile file;
  tables::TableIndex index;
  Vocabulary utf8;     // the codes written in UTF-8, as the checker names them
  Vocabulary in_file;  // in the text files' encoding, as the extractor writes them
};

class TextTables {
 public:
  // The translator's table of a code set, or null for the game's own.
  const LoadedTable* table(CodeSet set) const { return set == CodeSet::Message ? message_.get() : byte_.get(); }
  // How text files of the code set are written: in `encoding`, through the
  // translator's table or the game's.
  const Vocabulary& vocabulary(CodeSet set, TextEncoding encoding) const;
  Vocabularies vocabularies(TextEncoding encoding) const {
    return {vocabulary(CodeSet::Message, encoding), vocabulary(CodeSet::Byte, encoding)};
  }

  std::unique_ptr<LoadedTable> message_, byte_;
};

// Reads the tables the options name. A table whose texts a Shift_JIS file
// cannot carry is refused when `encoding` is Shift_JIS, naming its line and
// --encoding utf8. False after saying what is wrong.
bool load_text_tables(const Options& options, TextEncoding encoding, TextTables& tables);

}  // namespace talvo::cli
