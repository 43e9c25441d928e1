#include "consistency_check.h"

#include <algorithm>
#include <optional>

#include "banks.h"
#include "commands.h"
#include "consistency.h"
#include "cp932.h"
#include "platform.h"

namespace talvo::cli {
namespace {

std::string entry_name(const BankRecord& bank, std::size_t entry) {
  return std::string(bank.entry_name) + " " + exchange::entry_number_text(static_cast<std::uint32_t>(entry));
}

}  // namespace

bool load_consistency_reference(const Options& options, const Vocabularies& vocabularies,
                                ConsistencyReference& reference) {
  if (options.original.empty()) return true;
  if (!read_original_texts(options.original, vocabularies, reference.originals)) return false;
  reference.given = true;
  if (options.glossary.empty()) return true;
  FileBytes bytes;
  std::string reason;
  if (!platform::read_whole_file(options.glossary, kLargestTextFile, bytes, reason)) {
    say(options.glossary + ": " + reason);
    return false;
  }
  exchange::CsvError error;
  if (!exchange::read_glossary({reinterpret_cast<const char*>(bytes.data()), bytes.size()}, reference.glossary,
                               error)) {
    report_error(options.glossary, error.line, error.message);
    return false;
  }
  reference.glossary_path = options.glossary;
  return true;
}

void add_consistency_warnings(const ConsistencyReference& reference, const TextInput& input, Bank bank,
                              std::vector<Diagnostic>& diagnostics) {
  if (!reference.given) return;
  const BankEntries& original = reference.originals[index_of(bank)];
  std::string_view file = input.file();
  if (input.encoding == TextEncoding::Utf8 && file.starts_with("\xEF\xBB\xBF")) file.remove_prefix(3);
  const std::size_t skipped = static_cast<std::size_t>(file.data() - input.file().data());
  const exchange::SplitText split = exchange::split_entries(file, bank);
  if (split.entries.size() != original.entries.size()) return;

  // The entries as UTF-8; one that does not convert has its errors already.
  std::vector<std::string> converted(split.entries.size());
  std::vector<std::optional<std::string_view>> translations(split.entries.size());
  std::vector<std::string_view> originals(split.entries.size());
  for (std::size_t i = 0; i < split.entries.size(); ++i) {
    originals[i] = original.entries[i].text;
    if (input.encoding == TextEncoding::Utf8) {
      translations[i] = split.entries[i].text;
      continue;
    }
    SjisToUtf8Result utf8 = sjis_to_utf8_text(split.entries[i].text);
    if (utf8.failed_at) continue;
    converted[i] = std::move(utf8.utf8);
    translations[i] = converted[i];
  }
  const exchange::Inconsistencies found = exchange::find_inconsistencies(originals, translations, reference.glossary);

  const BankRecord& kind = bank_record(bank);
  const auto at_header = [&](std::size_t entry, std::string message, std::string hint) {
    const exchange::EntryText& place = split.entries[entry];
    diagnostics.push_back({Severity::Warning, skipped + place.header, skipped + place.header_end - 1,
                           std::move(message), std::move(hint), false});
  };
  for (const exchange::DifferentTranslation& d : found.different) {
    at_header(d.entry,
              entry_name(kind, d.entry) + " has the same original as " + entry_name(kind, d.first) +
                  " but another translation",
              "translate them alike, unless their places in the game need different words");
  }
  for (const exchange::MissingTerm& m : found.missing) {
    const exchange::GlossaryTerm& term = reference.glossary[m.term];
    at_header(m.entry,
              entry_name(kind, m.entry) + ": the original holds '" + term.source + "' but the translation lacks '" +
                  term.target + "'",
              "the glossary gives it (" + reference.glossary_path + ":" + std::to_string(term.line) + ")");
  }
  std::stable_sort(diagnostics.begin(), diagnostics.end(),
                   [](const Diagnostic& a, const Diagnostic& b) { return a.first < b.first; });
}

}  // namespace talvo::cli
