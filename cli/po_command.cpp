// talvo po export and import: the text as gettext's PO files, one template
// per bank, and the translated PO files back into text files.
#include <cstdio>

#include "banks.h"
#include "commands.h"
#include "control_notes.h"
#include "exchange_texts.h"
#include "output_folders.h"
#include "platform.h"
#include "po_file.h"
#include "text_input.h"
#include "text_tables.h"

namespace talvo::cli {
namespace {

// A template's name in the output folder: msg.pot, str.pot, btl.pot.
std::string template_name(Bank bank) { return std::string(bank_record(bank).short_name) + ".pot"; }

// The header entry of a template, as gettext's own templates have it: marked
// fuzzy, the fields a translator's tool fills in left at their defaults, and
// UTF-8 declared. No creation date, so that the same image gives the same
// file.
exchange::PoMessage template_header(Bank bank) {
  exchange::PoMessage header;
  header.comments = std::string("Talvo: the ") + bank_record(bank).bank_name + " bank (" + text_file_name(bank) +
                    "), " + std::to_string(bank_record(bank).entries) + " entries.\n" + exchange::end_code_note(bank);
  header.fuzzy = true;
  header.translation.text =
      "Project-Id-Version: Talvo\n"
      "PO-Revision-Date: YEAR-MO-DA HO:MI+ZONE\n"
      "Last-Translator: FULL NAME <EMAIL@ADDRESS>\n"
      "Language-Team: LANGUAGE <LL@li.org>\n"
      "Language: \n"
      "MIME-Version: 1.0\n"
      "Content-Type: text/plain; charset=UTF-8\n"
      "Content-Transfer-Encoding: 8bit\n";
  return header;
}

std::string bank_template(Bank bank, const BankEntries& original, const BankEntries& translation,
                          std::size_t& translated) {
  exchange::PoFile file;
  file.header = template_header(bank);
  file.messages.reserve(original.entries.size());
  for (std::size_t i = 0; i < original.entries.size(); ++i) {
    const exchange::EntryText& entry = original.entries[i];
    exchange::PoMessage message;
    message.context = exchange::PoString{exchange::entry_context({bank, static_cast<std::uint32_t>(i)}), {}, 0};
    message.id.text = entry.text;
    if (translation.given && translation.entries[i].text != entry.text) {
      message.translation.text = translation.entries[i].text;
      ++translated;
    }
    message.extracted_comments = exchange::control_note(entry.text, bank);
    message.references = std::string(text_file_name(bank)) + ":" + std::to_string(entry.line);
    file.messages.push_back(std::move(message));
  }
  return exchange::write_po(file);
}

// Which text a message gives its entry: the translation where there is one
// and it is not marked fuzzy, else the original.
void take_message(const exchange::PoMessage& message, const std::string& path, ImportedEntry& entry,
                  ImportedBank& bank) {
  const bool translated = !message.translation.text.empty();
  const exchange::PoString& chosen = translated && !message.fuzzy ? message.translation : message.id;
  ++(!translated ? bank.untranslated : message.fuzzy ? bank.fuzzy : bank.translated);
  entry.present = true;
  entry.text = chosen.text;
  entry.file = &path;
  entry.line = message.line;
  entry.pieces = chosen.pieces;
}

bool read_po_file(const std::string& path, ImportedBanks& banks) {
  FileBytes bytes;
  std::string reason;
  if (!platform::read_whole_file(path, kLargestTextFile, bytes, reason)) {
    say(path + ": " + reason);
    return false;
  }
  exchange::PoFile file;
  exchange::PoError error;
  if (!exchange::read_po({reinterpret_cast<const char*>(bytes.data()), bytes.size()}, file, error)) {
    report_error(path, error.line, error.message);
    return false;
  }
  if (file.messages.empty()) {
    report_error(path, 0, "no messages: talvo po export writes a message for every entry of a bank");
    return false;
  }
  for (const exchange::PoMessage& message : file.messages) {
    if (!message.context) {
      report_error(path, message.line,
                   "a message without msgctxt: which entry is it? Each of talvo's messages has a context such as "
                   "msgctxt \"msg 0x0123\"");
      return false;
    }
    const auto name = exchange::read_entry_context(message.context->text);
    if (!name) {
      report_error(path, message.line,
                   "the context \"" + message.context->text +
                       "\" names no entry: contexts are a bank (msg, str or btl) and a number, such as \"msg 0x0123\"");
      return false;
    }
    if (message.plural) {
      report_error(path, message.line, "a plural message (msgid_plural): an entry has one text");
      return false;
    }
    ImportedEntry* entry = imported_entry(banks, *name, path, message.line);
    if (entry == nullptr) return false;
    if (entry->present) {
      report_error(path, message.line,
                   "a second message for " + exchange::entry_context(*name) + "; the first is at " + *entry->file +
                       ":" + std::to_string(entry->line));
      return false;
    }
    take_message(message, path, *entry, banks[index_of(name->bank)]);
  }
  return true;
}

}  // namespace

int run_po_export(const Options& options) {
  BankTexts originals, translations;
  TextTables tables;
  if (!load_text_tables(options, TextEncoding::Utf8, tables)) return kFailure;
  if (!read_original_texts(options.image, tables.vocabularies(TextEncoding::Utf8), originals)) return kFailure;
  if (!read_translated_texts(options, originals, translations)) return kFailure;
  std::vector<std::string> templates;
  std::vector<std::size_t> translated(3, 0);
  for (const Bank bank : kAllBanks) {
    templates.push_back(
        bank_template(bank, originals[index_of(bank)], translations[index_of(bank)], translated[index_of(bank)]));
  }
  if (!make_output_folder(options.output)) return kFailure;
  std::vector<OutputFile> files;
  for (const Bank bank : kAllBanks) {
    const std::string& text = templates[index_of(bank)];
    files.push_back({in_folder(options.output, template_name(bank)),
                     {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}});
  }
  std::vector<std::string> inputs{options.image};
  inputs.insert(inputs.end(), options.texts.begin(), options.texts.end());
  if (!write_outputs(files, inputs)) return kFailure;
  for (const Bank bank : kAllBanks) {
    if (!translations[index_of(bank)].given) continue;
    say(files[index_of(bank)].path + ": " + std::to_string(translated[index_of(bank)]) + " of " +
        std::to_string(originals[index_of(bank)].entries.size()) + " entries translated, from " +
        translations[index_of(bank)].path);
  }
  return kSuccess;
}

int run_po_import(const Options& options) {
  ImportedBanks banks;
  for (const std::string& path : options.files) {
    if (!read_po_file(path, banks)) return kFailure;
  }
  return write_imported_banks(options, banks, options.files, true) ? kSuccess : kFailure;
}

}  // namespace talvo::cli
