// talvo insert: the edited text files put into a copy of the image, in the
// game's own form, with a report of how they fit, and a BPS patch on request.
#include <algorithm>
#include <cstdio>
#include <optional>

#include "banks.h"
#include "bps.h"
#include "commands.h"
#include "diagnostic_report.h"
#include "image_file.h"
#include "insert_report.h"
#include "insertion.h"
#include "platform.h"
#include "table_check.h"
#include "text_checker.h"
#include "text_input.h"
#include "text_tables.h"
#include "vocabulary.h"

namespace talvo::cli {
namespace {

struct GivenFile {
  const std::string& path;
  Bank kind;
};

std::vector<std::vector<std::uint8_t>> as_bytes(const std::vector<std::vector<std::uint16_t>>& entries) {
  std::vector<std::vector<std::uint8_t>> out(entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) out[i].assign(entries[i].begin(), entries[i].end());
  return out;
}

// Reads and checks one text file, showing what the checker finds; the text's
// entries go into `text` when it has no error. Otherwise what is wrong, to be
// said, and its code for a JSON report.
std::optional<JsonRefusal> read_bank_text(const GivenFile& given, TextEncoding encoding, const TextTables& tables,
                                          insert::NewText& text) {
  const BankRecord& bank = bank_record(given.kind);
  CheckOptions options;
  options.byte_order_mark_is_error = encoding == TextEncoding::ShiftJis;
  std::string reason;
  std::vector<std::vector<std::uint16_t>> entries;
  std::size_t errors = 0;
  if (const LoadedTable* table = tables.table(bank.codes())) {
    // Through a translator's table: the codes the shortest encoding
    // chooses, and what one code per character would have taken.
    TableFileCheck file;
    if (!check_table_file(given.path, bank, *table, encoding, options, nullptr, file, reason)) {
      return JsonRefusal{"unreadable-text", given.path + ": " + reason};
    }
    print_diagnostics(stderr, file.input.file, file.diagnostics, report_style(ColorMode::Auto));
    errors = file.errors;
    if (errors == 0) entries = file.check.checked.entries();
    if (file.check.single_size != 0) text.one_code_per_character[bank_index(given.kind)] = file.check.single_size;
  } else {
    TextInput input;
    if (!load_text(given.path, encoding, input, reason)) {
      return JsonRefusal{"unreadable-text", given.path + ": " + reason};
    }
    const CheckedText checked = check_text(input.sjis(), bank, game_vocabularies(), options);
    const std::vector<Diagnostic> diagnostics = file_diagnostics(input, checked);
    print_diagnostics(stderr, input, diagnostics, report_style(ColorMode::Auto));
    errors = static_cast<std::size_t>(std::count_if(diagnostics.begin(), diagnostics.end(),
                                                    [](const Diagnostic& d) { return d.severity == Severity::Error; }));
    if (errors == 0) entries = checked.entries();
  }
  if (errors > 0) {
    return JsonRefusal{"text-errors", given.path + ": " + std::to_string(errors) +
                                          (errors == 1 ? " error" : " errors") +
                                          " that the game would misread; nothing was inserted"};
  }
  switch (given.kind) {
    case Bank::Messages:
      text.messages = std::move(entries);
      break;
    case Bank::FixedStrings:
      text.fixed_strings = as_bytes(entries);
      break;
    case Bank::BattleText:
      text.battle_text = as_bytes(entries);
      break;
  }
  return std::nullopt;
}

void print_report(const Options& options, const insert::FitReport& report, bool inserted,
                  const JsonRefusal* refusal = nullptr) {
  const std::string text =
      options.report == ReportFormat::Json ? fit_report_json(report, inserted, refusal) : fit_report_text(report);
  std::fputs(text.c_str(), stdout);
  std::fflush(stdout);
}

std::string bank_option(Bank bank) { return std::string("--") + bank_record(bank).short_name; }

}  // namespace

int run_insert(const Options& options) {
  // Every refusal is said on standard error; a JSON report also gets it on
  // standard output, as the object a script reads either way.
  const auto refuse = [&options](const JsonRefusal& refusal, int status, const insert::FitReport* report = nullptr) {
    say(refusal.message);
    if (options.report == ReportFormat::Json)
      print_report(options, report ? *report : insert::FitReport{}, false, &refusal);
    return status;
  };
  std::vector<GivenFile> files;
  if (!options.message_file.empty()) files.push_back({options.message_file, Bank::Messages});
  if (!options.fixed_string_file.empty()) files.push_back({options.fixed_string_file, Bank::FixedStrings});
  if (!options.battle_file.empty()) files.push_back({options.battle_file, Bank::BattleText});
  if (files.empty()) return refuse({"usage", "insert: give at least one text file: --msg, --str or --btl"}, kUsage);
  if (const auto problem =
          unsafe_outputs({{options.output, "-o"}, {options.bps_file, "--bps"}}, {{options.image, "the input image"},
                                                                                 {options.message_file, ""},
                                                                                 {options.fixed_string_file, ""},
                                                                                 {options.battle_file, ""}})) {
    return refuse({"usage", *problem}, kUsage);
  }
  for (const RoomOption& room : options.room) {
    const bool given = std::any_of(files.begin(), files.end(), [&](const GivenFile& f) { return f.kind == room.bank; });
    if (!given) {
      say(std::string("warning: --room for the ") + bank_record(room.bank).bank_name + " bank is not used: no " +
          bank_option(room.bank) + " file is given");
    }
  }
  ImageFile image;
  TextTables tables;
  if (!load_text_tables(options, options.encoding, tables)) {
    // What is wrong with it has been said, line by line.
    const JsonRefusal refusal{"unreadable-table", "a translator's table cannot be used"};
    if (options.report == ReportFormat::Json) print_report(options, insert::FitReport{}, false, &refusal);
    return kFailure;
  }
  if (std::string problem; !read_image(options.image, image, problem))
    return refuse({"unreadable-image", problem}, kFailure);
  insert::NewText text;
  std::optional<JsonRefusal> unreadable;
  for (const GivenFile& file : files) {
    if (auto problem = read_bank_text(file, options.encoding, tables, text)) {
      // Every file is checked, so that one run shows all their errors.
      if (unreadable) say(unreadable->message);
      unreadable = std::move(problem);
    }
  }
  if (unreadable) return refuse(*unreadable, kFailure);

  insert::Options insert_options;
  for (const RoomOption& room : options.room) {
    insert_options.extra_room.push_back({room.bank, {room.start, room.end}});
  }
  const insert::Outcome outcome = insert::insert_text(image.cartridge(), text, insert_options);
  if (const auto* refusal = std::get_if<insert::Refusal>(&outcome)) {
    const JsonRefusal said{
        refusal_code(*refusal),
        describe_refusal(*refusal, tables.vocabulary(CodeSet::Message, TextEncoding::Utf8)) + "; nothing was written"};
    if (const auto* overflow = std::get_if<insert::DoesNotFit>(refusal)) {
      if (options.report == ReportFormat::Text) print_report(options, overflow->report, false);
      return refuse(said, kFailure, &overflow->report);
    }
    return refuse(said, kFailure);
  }
  const insert::Inserted& inserted = std::get<insert::Inserted>(outcome);
  FileBytes out(image.bytes.begin(), image.bytes.begin() + image.header_offset);
  out.insert(out.end(), inserted.cartridge.begin(), inserted.cartridge.end());
  std::vector<OutputFile> outputs{{options.output, out}};
  std::vector<std::uint8_t> patch;
  if (!options.bps_file.empty()) {
    patch = bps::create(image.cartridge(), inserted.cartridge);
    outputs.push_back({options.bps_file, patch});
  }
  if (const auto problem = write_outputs_or_reason(
          outputs, {options.image, options.message_file, options.fixed_string_file, options.battle_file})) {
    return refuse({"write-failed", *problem}, kFailure);
  }
  print_report(options, inserted.report, true);
  return kSuccess;
}

}  // namespace talvo::cli
