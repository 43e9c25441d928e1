#include "exchange_texts.h"

#include <algorithm>
#include <cstdio>

#include "banks.h"
#include "commands.h"
#include "cp932.h"
#include "image_bank_text.h"
#include "image_file.h"
#include "output_folders.h"
#include "platform.h"
#include "text_input.h"
#include "text_outputs.h"

namespace talvo::cli {
namespace {

std::size_t line_at(std::string_view text, std::size_t offset) {
  return 1 + static_cast<std::size_t>(std::count(text.begin(), text.begin() + offset, '\n'));
}

// A text file as UTF-8 with LF line ends; false after saying why.
bool read_as_utf8(const std::string& path, TextEncoding encoding, std::string& utf8) {
  FileBytes bytes;
  std::string reason;
  if (!platform::read_whole_file(path, kLargestTextFile, bytes, reason)) {
    say(path + ": " + reason);
    return false;
  }
  std::string_view file(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  std::string text;
  if (encoding == TextEncoding::ShiftJis) {
    SjisToUtf8Result converted = sjis_to_utf8_text(file);
    if (converted.failed_at) {
      report_error(path, line_at(file, *converted.failed_at),
                   "bytes that are not Shift_JIS; if the file is a UTF-8 working copy, give --encoding utf8");
      return false;
    }
    text = std::move(converted.utf8);
  } else {
    if (file.starts_with("\xEF\xBB\xBF")) file.remove_prefix(3);
    for (std::size_t at = 0; at < file.size();) {
      const Utf8Char c = decode_utf8(file.substr(at));
      if (c.error != Utf8Error::None) {
        report_error(path, line_at(file, at),
                     "bytes that are not UTF-8 (" + std::string(utf8_error_text(c.error)) +
                         "); if the file is Shift_JIS, give --encoding sjis");
        return false;
      }
      at += c.length;
    }
    text = file;
  }
  // Editors on Windows may end lines with CR LF, which the encoders read as
  // a line feed: the entries compare with the original's as they read.
  utf8.clear();
  utf8.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' || i + 1 >= text.size() || text[i + 1] != '\n') utf8 += text[i];
  }
  return true;
}

}  // namespace

const char* text_file_name(Bank bank) {
  switch (bank) {
    case Bank::Messages:
      return text_format::kMessageFileName;
    case Bank::FixedStrings:
      return text_format::kFixedStringFileName;
    case Bank::BattleText:
      break;
  }
  return text_format::kBattleTextFileName;
}

void report_error(const std::string& file, std::size_t line, const std::string& message) {
  if (line == 0) {
    std::fprintf(stderr, "%s: error: %s\n", file.c_str(), message.c_str());
  } else {
    std::fprintf(stderr, "%s:%zu: error: %s\n", file.c_str(), line, message.c_str());
  }
}

bool read_original_texts(const std::string& path, const Vocabularies& vocabularies, BankTexts& originals) {
  ImageFile image;
  if (!read_image(path, image)) return false;
  for (const Bank bank : kAllBanks) {
    BankEntries& original = originals[index_of(bank)];
    std::string problem;
    if (!exchange::image_bank_text(image.cartridge(), bank, vocabularies, original.text, problem)) {
      say(path + ": " + problem);
      return false;
    }
    original.given = true;
    original.path = path;
    original.entries = exchange::split_entries(original.text, bank).entries;
  }
  return true;
}

bool read_translated_texts(const Options& options, const BankTexts& originals, BankTexts& translations) {
  for (const std::string& path : options.texts) {
    const auto bank = bank_of_file_name(path.substr(path.find_last_of("/\\") + 1));
    if (!bank) {
      say(path +
          ": which bank does it hold? Its name begins with none of MsgData, StrData and BtlData, "
          "as the extracted files' names do");
      return false;
    }
    BankEntries& translation = translations[index_of(*bank)];
    if (translation.given) {
      say(path + ": a second --text file of the " + bank_record(*bank).bank_name + " bank, after " + translation.path);
      return false;
    }
    translation.given = true;
    translation.path = path;
    if (!read_as_utf8(path, options.encoding, translation.text)) return false;
    exchange::SplitText split = exchange::split_entries(translation.text, *bank);
    if (!split.before_first.empty()) {
      report_error(path, 1, "text before the first entry's header");
      return false;
    }
    const BankRecord& kind = bank_record(*bank);
    for (std::size_t i = 0; i < split.entries.size(); ++i) {
      if (split.entries[i].number != i) {
        report_error(path, split.entries[i].line,
                     "this header reads " + exchange::entry_number_text(split.entries[i].number) + " where " +
                         kind.entry_name + " " + exchange::entry_number_text(static_cast<std::uint32_t>(i)) +
                         " stands: an entry deleted, doubled or moved? talvo check shows more");
        return false;
      }
    }
    const std::size_t expected = originals[index_of(*bank)].entries.size();
    if (split.entries.size() != expected) {
      report_error(path, 0,
                   std::to_string(split.entries.size()) + " entries; the " + kind.bank_name + " bank has " +
                       std::to_string(expected));
      return false;
    }
    translation.entries = std::move(split.entries);
  }
  return true;
}

ImportedEntry* imported_entry(ImportedBanks& banks, const exchange::EntryName& name, const std::string& file,
                              std::size_t line, const std::string& where) {
  const BankRecord& kind = bank_record(name.bank);
  ImportedBank& bank = banks[index_of(name.bank)];
  if (name.number >= kind.entries) {
    report_error(file, line,
                 where + exchange::entry_context(name) + " names no entry: the " + kind.bank_name + " bank has " +
                     std::to_string(kind.entries) + ", 0x0000 to " +
                     exchange::entry_number_text(static_cast<std::uint32_t>(kind.entries - 1)));
    return nullptr;
  }
  if (!bank.given) {
    bank.given = true;
    bank.entries.resize(kind.entries);
  }
  return &bank.entries[name.number];
}

bool write_imported_banks(const Options& options, const ImportedBanks& banks, const std::vector<std::string>& inputs,
                          bool with_fuzzy) {
  std::vector<std::string> written(3);
  for (const Bank bank : kAllBanks) {
    const ImportedBank& imported = banks[index_of(bank)];
    if (!imported.given) continue;
    const BankRecord& kind = bank_record(bank);
    std::vector<std::string> texts(imported.entries.size());
    const ImportedEntry* before = nullptr;
    for (std::size_t i = 0; i < imported.entries.size(); ++i) {
      const ImportedEntry& entry = imported.entries[i];
      if (!entry.present) {
        const ImportedEntry* place = before;
        for (std::size_t j = i + 1; place == nullptr && j < imported.entries.size(); ++j) {
          if (imported.entries[j].present) place = &imported.entries[j];
        }
        report_error(*place->file, place->line,
                     exchange::entry_context({bank, static_cast<std::uint32_t>(i)}) + " is missing (the entry " +
                         (before ? "before" : "after") + " it is here): the " + kind.bank_name + " bank has " +
                         std::to_string(kind.entries) + " entries, and its text file needs them all");
        return false;
      }
      before = &entry;
      if (options.encoding == TextEncoding::Utf8) {
        texts[i] = entry.text;
        continue;
      }
      Utf8ToSjisResult converted = utf8_to_sjis_text(entry.text, nullptr, LeadingBom::Refuse);
      if (converted.error != Utf8ToSjisError::None) {
        std::string character;
        append_utf8(character, converted.code_point);
        char code[16];
        std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(converted.code_point));
        report_error(*entry.file, exchange::line_of(entry.pieces, converted.error_offset),
                     "'" + character + "' (" + code + ") in " +
                         exchange::entry_context({bank, static_cast<std::uint32_t>(i)}) +
                         " has no Shift_JIS form: write it otherwise, or import with --encoding utf8");
        return false;
      }
      texts[i] = std::move(converted.sjis);
    }
    written[index_of(bank)] = exchange::join_entries(texts, bank);
  }
  if (!make_output_folder(options.output)) return false;
  std::vector<OutputFile> files;
  for (const Bank bank : kAllBanks) {
    if (!banks[index_of(bank)].given) continue;
    const std::string& bytes = written[index_of(bank)];
    files.push_back({in_folder(options.output, text_file_name(bank)),
                     {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}});
  }
  if (!write_text_outputs(files, inputs, options.force)) return false;
  std::size_t at = 0;
  for (const Bank bank : kAllBanks) {
    const ImportedBank& imported = banks[index_of(bank)];
    if (!imported.given) continue;
    std::string counts = std::to_string(imported.translated) + " translated, ";
    if (with_fuzzy) counts += std::to_string(imported.fuzzy) + " fuzzy (their originals kept), ";
    say(files[at++].path + ": " + std::to_string(imported.entries.size()) + " entries: " + counts +
        std::to_string(imported.untranslated) + " untranslated");
  }
  return true;
}

}  // namespace talvo::cli
