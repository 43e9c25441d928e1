// What the PO and CSV commands share: the original text of an image's banks
// and the translators' text files cut into entries, and the text files
// written back from the entries an exchange file gives.
#pragma once

#include "vocabulary.h"

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "bank_entries.h"
#include "banks.h"
#include "command_line.h"
#include "entry_names.h"
#include "text_pieces.h"

namespace talvo::cli {

inline constexpr Bank kAllBanks[] = {Bank::Messages, Bank::FixedStrings, Bank::BattleText};
inline std::size_t index_of(Bank bank) { return static_cast<std::size_t>(bank); }

// MsgDataDecode.txt, StrDataDecode.txt, BtlDataDecode.txt.
const char* text_file_name(Bank bank);

// A bank's text in UTF-8 and its entries, which point into it: made in
// place, never moved.
struct BankEntries {
  BankEntries() = default;
  BankEntries(const BankEntries&) = delete;
  BankEntries& operator=(const BankEntries&) = delete;

  bool given = false;
  std::string path;  // the file it was read from
  std::string text;
  std::vector<exchange::EntryText> entries;
};
using BankTexts = std::array<BankEntries, 3>;

// The text of every bank of the image; false after saying why.
// `vocabularies`: the tables the texts are written through, in UTF-8.
bool read_original_texts(const std::string& image, const Vocabularies& vocabularies, BankTexts& originals);

// The translators' text files (--text), each read in the options' encoding,
// its bank from its name; every one must hold the original's entries, in
// order. False after saying why, at the file's line where one is at fault.
bool read_translated_texts(const Options& options, const BankTexts& originals, BankTexts& translations);

// An entry as an exchange file gives it, with where it stands there.
struct ImportedEntry {
  bool present = false;
  std::string text;
  const std::string* file = nullptr;
  std::size_t line = 0;                     // of its message or row
  std::vector<exchange::TextPiece> pieces;  // the lines its text stands on
};

struct ImportedBank {
  bool given = false;
  std::vector<ImportedEntry> entries;  // one for every entry of the bank, once given
  std::size_t translated = 0, fuzzy = 0, untranslated = 0;
};
using ImportedBanks = std::array<ImportedBank, 3>;

// "FILE:LINE: error: MESSAGE" (without a line where it is 0), on standard error.
void report_error(const std::string& file, std::size_t line, const std::string& message);

// The place of an entry an exchange file names; nullptr, after saying so at
// FILE:LINE (the message begun with `where`, such as "row 5: "), where the
// bank has no such entry.
ImportedEntry* imported_entry(ImportedBanks& banks, const exchange::EntryName& name, const std::string& file,
                              std::size_t line, const std::string& where = {});

// Writes the text file of every bank given into the output folder, in the
// options' encoding, then the counts of each. False after saying why: an
// entry missing, a character without a Shift_JIS form (at its line), a
// text file that holds other text (without --force).
bool write_imported_banks(const Options& options, const ImportedBanks& banks, const std::vector<std::string>& inputs,
                          bool with_fuzzy);

}  // namespace talvo::cli
