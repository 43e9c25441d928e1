#include "text_tables.h"

#include "commands.h"
#include "sjis_forms.h"
#include "table_vocabulary.h"

namespace talvo::cli {
namespace {

std::unique_ptr<LoadedTable> load(const std::string& path, CodeSet set, TextEncoding encoding, bool& ok) {
  TableFile file;
  if (!load_table_file(path, set, file)) {
    ok = false;
    return nullptr;
  }
  if (encoding == TextEncoding::ShiftJis) {
    if (const auto problem = tables::first_text_without_sjis_form(file.table)) {
      say(path + ":" + std::to_string(problem->line) + ": " + tables::describe_sjis_problem(file.table, *problem));
      ok = false;
      return nullptr;
    }
  }
  tables::TableIndex index(file.table);
  Vocabulary utf8 = tables::table_vocabulary(file.table, TextEncoding::Utf8);
  Vocabulary in_file = tables::table_vocabulary(file.table, encoding);
  return std::make_unique<LoadedTable>(
      LoadedTable{path, std::move(file), std::move(index), std::move(utf8), std::move(in_file)});
}

}  // namespace

const Vocabulary& TextTables::vocabulary(CodeSet set, TextEncoding encoding) const {
  const LoadedTable* loaded = table(set);
  if (loaded == nullptr) return game_vocabulary(set, encoding);
  return encoding == TextEncoding::Utf8 ? loaded->utf8 : loaded->in_file;
}

bool load_text_tables(const Options& options, TextEncoding encoding, TextTables& tables) {
  bool ok = true;
  if (!options.message_table.empty()) tables.message_ = load(options.message_table, CodeSet::Message, encoding, ok);
  if (ok && !options.byte_table.empty()) tables.byte_ = load(options.byte_table, CodeSet::Byte, encoding, ok);
  return ok;
}

}  // namespace talvo::cli
