#include "command_line.h"

#include "banks.h"
#include "window_profile.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

#include "entry_planner.h"
#include "offset_range.h"

namespace talvo::cli {
namespace {

// The words an option takes and what each means, in the order help shows them.
template <typename T>
using Choices = std::vector<std::pair<std::string, T>>;

const Choices<TextEncoding> kEncodings{{"sjis", TextEncoding::ShiftJis}, {"utf8", TextEncoding::Utf8}};
const Choices<ColorMode> kColors{{"auto", ColorMode::Auto}, {"always", ColorMode::Always}, {"never", ColorMode::Never}};
const Choices<ReportFormat> kReports{{"text", ReportFormat::Text}, {"json", ReportFormat::Json}};
const Choices<CodeSet> kTableKinds{{"msg", CodeSet::Message}, {"byte", CodeSet::Byte}};
const Choices<Bank> kBanks{{"msg", Bank::Messages}, {"str", Bank::FixedStrings}, {"btl", Bank::BattleText}};

// An option that takes one of `choices` into `target`, refusing other words
// with a line that lists them.
template <typename Target, typename T>
CLI::Option* add_choice(CLI::App& command, const std::string& name, Target& target, const Choices<T>& choices,
                        const std::string& help) {
  std::vector<std::string> words;
  std::string listed;
  for (const auto& [word, value] : choices) {
    words.push_back(word);
    listed += (listed.empty() ? "" : "|") + word;
  }
  return command
      .add_option_function<std::string>(
          name,
          [&target, &choices](const std::string& word) {
            for (const auto& [known, value] : choices) {
              if (known == word) target = value;
            }
          },
          help)
      ->check(CLI::IsMember(words))
      ->option_text(listed);
}

void add_encoding(CLI::App& command, Options& options, const char* what) {
  add_choice(command, "--encoding", options.encoding, kEncodings, what);
}

// A count such as --max-line takes: a whole number from 1 to a million, in
// words a person reads, not the floating-point range of a generic check.
CLI::Validator count_check() {
  return CLI::Validator(
      [](std::string& text) -> std::string {
        const std::string problem = "expected a whole number from 1 to 1000000, not '" + text + "'";
        if (text.empty() || text.size() > 7) return problem;
        std::uint64_t value = 0;
        for (const char c : text) {
          if (c < '0' || c > '9') return problem;
          value = value * 10 + static_cast<std::uint64_t>(c - '0');
        }
        return value >= 1 && value <= 1000000 ? "" : problem;
      },
      "");
}

// A file name: an empty word names no file, and is refused rather than
// taken as "not given".
CLI::Validator file_name_check() {
  return CLI::Validator(
      [](std::string& text) -> std::string { return text.empty() ? "an empty word names no file" : ""; }, "");
}

// --msg-table and --byte-table, for the commands that read or write text
// files.
void add_table_options(CLI::App& command, Options& options) {
  command
      .add_option("--msg-table", options.message_table,
                  "a translator's table the message text is written through (default: the game's)")
      ->check(file_name_check());
  command
      .add_option("--byte-table", options.byte_table,
                  "a translator's table the fixed strings and battle text are written through (default: the game's)")
      ->check(file_name_check());
}

// --project and --no-project, which every command takes.
void add_project_options(CLI::App& command, Options& options) {
  CLI::Option* file =
      command
          .add_option("--project", options.project_file,
                      "the project file to take defaults from (default: talvo.toml here or in a folder above)")
          ->check(file_name_check());
  command.add_flag("--no-project", options.no_project, "take no defaults from a project file")->excludes(file);
}

// What CLI11 says when no command was recognised names none; this names the
// word it did not know, and the commands known where it stands.
std::string unknown_command(CLI::App& app, int argc, char** argv, const std::string& said) {
  CLI::App* level = &app;
  int at = 1;
  const auto all = [](CLI::App*) { return true; };
  for (bool descended = true; descended && at < argc;) {
    descended = false;
    for (CLI::App* sub : level->get_subcommands(all)) {
      if (sub->get_name() == argv[at]) {
        level = sub;
        ++at;
        descended = true;
        break;
      }
    }
  }
  std::string commands;
  for (CLI::App* sub : level->get_subcommands(all)) commands += (commands.empty() ? "" : ", ") + sub->get_name();
  if (commands.empty()) return said;
  if (argc <= at) {
    // A command given without one of its own, such as "talvo po".
    return at == 1 ? said : "'" + level->get_name() + "' needs one of its commands: " + commands;
  }
  const std::string word = argv[at];
  if (!word.empty() && word[0] == '-') return "unknown option " + word + "; the commands are " + commands;
  return "'" + word + "' is not a command; the commands are " + commands;
}

// BANK=START-END, as --room takes it.
std::string parse_room(const std::string& text, RoomOption& room) {
  const std::size_t equals = text.find('=');
  if (equals == std::string::npos || text.find('-', equals) == std::string::npos)
    return "expected BANK=START-END, such as msg=0x3F0000-0x3F8000";
  const auto bank = std::find_if(kBanks.begin(), kBanks.end(),
                                 [&](const auto& choice) { return choice.first == text.substr(0, equals); });
  if (bank == kBanks.end()) return "the bank is msg, str or btl";
  project::OffsetRange range;
  if (const auto problem = project::parse_offset_range(std::string_view(text).substr(equals + 1), range))
    return *problem;
  room = {bank->second, range.start, range.end};
  return {};
}

// --window WxH and --cell CWxCH: refused on the command line when malformed.
std::string window_size_problem(const std::string& text) {
  return fit::parse_window_size(text)
             ? std::string()
             : "expected WIDTHxLINES, such as 16x3 (width up to " + std::to_string(fit::kMaxWindowWidth) +
                   ", lines up to " + std::to_string(fit::kMaxWindowLines) + ")";
}

std::string cell_size_problem(const std::string& text) {
  const auto size = fit::parse_window_size(text);
  return size && size->width <= 256 && size->lines <= 256 ? std::string()
                                                          : "expected CWxCH in pixels, such as 16x16 (up to 256x256)";
}

// The window options of check, wrap and preview.
void add_window(CLI::App& command, Options& options) {
  command.add_option("--window", options.window, "the game's window: W tiles to a line, H lines to a page")
      ->option_text("WxH")
      ->check(window_size_problem);
  command.add_option("--widths", options.widths_file, "each code's width in pixels (lines HEX=PIXELS); W in pixels")
      ->option_text("FILE");
  // One token to each --page-code, taken as written: CLI11 would otherwise
  // read "[00AF]" as a list.
  command.add_option("--page-code", options.page_codes, "a token after which a new page begins (repeatable)")
      ->option_text("TOKEN")
      ->allow_extra_args(false);
}

}  // namespace

ParseOutcome parse_command_line(int argc, char** argv, Options& options) {
  CLI::App app{
      "Extracts, checks, encodes and inserts the text of the Super Famicom game Talvo.\n"
      "Text files are Shift_JIS as the game's tables write them, or UTF-8 with --encoding utf8.",
      "talvo"};
  app.set_version_flag("--version", std::string("talvo ") + TALVO_VERSION);
  app.require_subcommand(1);
  app.fallthrough(false);

  CLI::App* init = app.add_subcommand("init", "Make a translation project of an image: talvo.toml and its texts");
  init->add_option("IMAGE", options.image, "the cartridge image (never changed)")->required()->check(file_name_check());
  init->add_option("-o,--output", options.project_folder,
                   "the project's folder, empty or missing (default: the image's name without its extension)")
      ->check(file_name_check());

  CLI::App* extract = app.add_subcommand("extract", "Write the image's three text files");
  extract->add_option("IMAGE", options.image, "cartridge image (4 MB, 4 MB with a copier header, or 6 MB)")
      ->required()
      ->check(file_name_check());
  extract->add_option("-o,--output", options.output,
                      "folder for MsgDataDecode.txt, StrDataDecode.txt and "
                      "BtlDataDecode.txt (default: the current one)");
  add_encoding(*extract, options, "encoding of the files written (default sjis)");

  CLI::App* encode = app.add_subcommand("encode", "Encode one text file into its bank and index files");
  add_choice(*encode, "BANK", options.bank, kBanks, "the bank the file holds")->required();
  encode->add_option("FILE", options.text_file, "the text file")->required()->check(file_name_check());
  encode->add_option("-o,--output", options.output, "folder for the bank and index files (default: the current one)");
  add_encoding(*encode, options, "encoding of the text file (default sjis)");

  CLI::App* check = app.add_subcommand("check", "Report every problem of text files, as compilers do");
  check->add_option("FILE", options.files, "text files")->required()->check(file_name_check());
  add_choice(*check, "--bank", options.check_bank, kBanks, "the bank the files hold (default: from each file's name)");
  add_encoding(*check, options, "encoding of the text files (default sjis)");
  add_choice(*check, "--color", options.color, kColors, "colours in the report (default auto: on a terminal)");
  check->add_option("--max-line", options.max_line, "warn about lines of running text longer than N characters")
      ->check(count_check());
  check->add_option("--max-entry", options.max_entry, "warn about entries longer than N characters")
      ->check(count_check());
  add_window(*check, options);
  CLI::Option* original = check
                              ->add_option("--original", options.original,
                                           "the original image: warn where one original is translated two ways")
                              ->check(file_name_check());
  check
      ->add_option("--glossary", options.glossary,
                   "CSV of terms (columns source,target): warn where a translation lacks a term's target")
      ->check(file_name_check())
      ->needs(original);

  CLI::App* wrap = app.add_subcommand("wrap", "Re-wrap a message file's entries to fit the game's window");
  wrap->add_option("FILE", options.text_file, "the message text file (never changed)")->required();
  wrap->add_option("-o,--output", options.output, "the re-wrapped text file")->required();
  add_window(*wrap, options);
  wrap->add_option("--line-code", options.line_code, "the token written between lines (default [00AD])")
      ->option_text("TOKEN");
  CLI::Option* entries = wrap->add_option("--entries", options.entries,
                                          "re-wrap these entries, such as 0x10-0x20,0x100 (default: those that "
                                          "overflow the window)")
                             ->option_text("RANGES");
  wrap->add_flag("--all", options.wrap_all, "re-wrap every entry")->excludes(entries);
  wrap->add_flag("--force", options.force, "replace an output file that holds something else");
  add_encoding(*wrap, options, "encoding of the text file (default sjis)");
  add_choice(*wrap, "--color", options.color, kColors, "colours in the report (default auto: on a terminal)");

  CLI::App* preview = app.add_subcommand("preview", "Draw every page of text files as the game's window shows it");
  preview->add_option("FILE", options.files, "text files")->required();
  preview->add_option("-o,--output", options.output, "folder for the pictures and index.html (made when missing)")
      ->required();
  add_choice(*preview, "--bank", options.check_bank, kBanks,
             "the bank the files hold (default: from each file's name)");
  add_window(*preview, options);
  preview->add_option("--font", options.font_sheet, "the font sheet: a PNG of cells, 16 to a row")
      ->option_text("SHEET.png");
  preview->add_option("--cell", options.cell, "the size of a cell of the font sheet")
      ->option_text("CWxCH")
      ->check(cell_size_problem);
  preview->add_option("--first-code", options.first_code, "the code of the font sheet's first cell (hexadecimal)")
      ->option_text("HEX");
  preview->add_option("--entries", options.entries, "draw these entries only, such as 0x10-0x20,0x100")
      ->option_text("RANGES");
  preview->add_option("--original", options.original_image, "show each entry's text in this image beside it")
      ->option_text("IMAGE");
  add_encoding(*preview, options, "encoding of the text files (default sjis)");

  std::vector<std::string> rooms;
  CLI::App* insert = app.add_subcommand("insert", "Put edited text files into a copy of the image");
  insert->add_option("IMAGE", options.image, "the cartridge image (never changed)")
      ->required()
      ->check(file_name_check());
  insert->add_option("--msg", options.message_file, "message text file")->check(file_name_check());
  insert->add_option("--str", options.fixed_string_file, "fixed-string text file")->check(file_name_check());
  insert->add_option("--btl", options.battle_file, "battle-text file")->check(file_name_check());
  insert->add_option("-o,--output", options.output, "the new image")->required()->check(file_name_check());
  insert->add_option("--room", rooms, "more free space for a bank: BANK=START-END, ROM offsets (repeatable)");
  add_choice(*insert, "--report", options.report, kReports, "fit report format (default text)");
  insert->add_option("--bps", options.bps_file, "also write a BPS patch from IMAGE to the new image")
      ->check(file_name_check());
  add_encoding(*insert, options, "encoding of the text files (default sjis)");

  CLI::App* patch = app.add_subcommand("patch", "Make or apply BPS patches");
  patch->require_subcommand(1);
  CLI::App* create = patch->add_subcommand("create", "Write a patch from SOURCE to TARGET");
  create->add_option("SOURCE", options.patch_source, "the original image")->required()->check(file_name_check());
  create->add_option("TARGET", options.patch_target, "the changed image")->required()->check(file_name_check());
  create->add_option("-o,--output", options.output, "the patch file")->required()->check(file_name_check());
  CLI::App* apply = patch->add_subcommand("apply", "Apply PATCH to IMAGE");
  apply->add_option("PATCH", options.patch_file, "the patch")->required()->check(file_name_check());
  apply->add_option("IMAGE", options.image, "the image it was made for (never changed)")
      ->required()
      ->check(file_name_check());
  apply->add_option("-o,--output", options.output, "the patched image")->required()->check(file_name_check());

  CLI::App* table = app.add_subcommand("table", "Translators' tables: export the game's, show one, plan new entries");
  table->require_subcommand(1);
  CLI::App* table_export = table->add_subcommand("export", "Write the game's message or byte table as a table file");
  add_choice(*table_export, "KIND", options.table_kind, kTableKinds, "the message table, or the byte table")
      ->required();
  table_export->add_option("-o,--output", options.table_output, "the table file (default: standard output)");
  CLI::App* table_show = table->add_subcommand("show", "Tell which codes a table file names and which are free");
  add_choice(*table_show, "KIND", options.table_kind, kTableKinds, "a message table, or a byte table")->required();
  table_show->add_option("FILE", options.table_file, "the table file")->required();
  CLI::App* suggest = table->add_subcommand("suggest", "Plan multi-character entries that make the text smallest");
  add_choice(*suggest, "--bank", options.table_kind, kTableKinds,
             "msg (messages, in Huffman bits) or byte (fixed strings and battle text, in bytes)")
      ->required();
  suggest->add_option("--table", options.table_file, "the table the text files are written through")->required();
  suggest->add_option("--free", options.free_codes, "codes for new entries, such as 0x300-0x3FF,0x5A0")->required();
  suggest->add_option("--max-length", options.max_length, "characters of a new entry at most (default 2)")
      ->check(CLI::Range(std::size_t{2}, tables::kMaxPlannedLength));
  suggest->add_option("--count", options.count, "new entries at most (default: as many as there are free codes)")
      ->check(CLI::Range(std::size_t{1}, std::size_t{0x60C}));
  suggest->add_option("FILE", options.files, "the translated text files")->required();
  suggest->add_option("-o,--output", options.table_output, "the table with the new entries")->required();
  add_encoding(*suggest, options, "encoding of the text files (default sjis)");
  CLI::App* po = app.add_subcommand("po", "Exchange the text with translation tools through gettext's PO files");
  po->require_subcommand(1);
  CLI::App* po_export =
      po->add_subcommand("export", "Write msg.pot, str.pot and btl.pot, templates of the image's text");
  po_export->add_option("IMAGE", options.image, "the cartridge image")->required()->check(file_name_check());
  po_export->add_option("-o,--output", options.output, "folder for the templates (made when missing)")
      ->required()
      ->check(file_name_check());
  po_export
      ->add_option("--text", options.texts,
                   "text files whose translations the templates carry (the bank from each name)")
      ->check(file_name_check());
  add_encoding(*po_export, options, "encoding of the --text files (default sjis)");
  CLI::App* po_import = po->add_subcommand("import", "Write the text files of the banks that PO files translate");
  po_import->add_option("PO", options.files, "PO files (the bank and entry from each message's msgctxt)")
      ->required()
      ->check(file_name_check());
  po_import->add_option("-o,--output", options.output, "folder for the text files (made when missing)")
      ->required()
      ->check(file_name_check());
  add_encoding(*po_import, options, "encoding of the text files written (default sjis)");
  po_import->add_flag("--force", options.force, "replace text files that hold other text");

  CLI::App* csv = app.add_subcommand("csv", "Exchange the text with spreadsheets through CSV files");
  csv->require_subcommand(1);
  CLI::App* csv_export = csv->add_subcommand("export", "Write one CSV of every entry of the three banks");
  csv_export->add_option("IMAGE", options.image, "the cartridge image")->required()->check(file_name_check());
  csv_export->add_option("-o,--output", options.output, "the CSV file (its folder made when missing)")
      ->required()
      ->check(file_name_check());
  csv_export
      ->add_option("--text", options.texts,
                   "text files whose translations fill the translation column (the bank from each name)")
      ->check(file_name_check());
  add_encoding(*csv_export, options, "encoding of the --text files (default sjis)");
  csv_export->add_flag("--force", options.force, "replace a CSV that holds other text");
  CLI::App* csv_import = csv->add_subcommand("import", "Write the text files of the banks a CSV holds");
  csv_import->add_option("FILE", options.files, "the CSV (columns bank, entry, original, translation)")
      ->required()
      ->check(file_name_check());
  csv_import->add_option("-o,--output", options.output, "folder for the text files (made when missing)")
      ->required()
      ->check(file_name_check());
  add_encoding(*csv_import, options, "encoding of the text files written (default sjis)");
  csv_import->add_flag("--force", options.force, "replace text files that hold other text");
  // The translator tables (--msg-table, --byte-table) join the exports here.
  CLI::App* room = app.add_subcommand("room", "List blank runs a bank might be given with --room");
  room->add_option("IMAGE", options.image, "the cartridge image")->required()->check(file_name_check());
  add_choice(*room, "--format", options.report, kReports, "text for people, json for scripts (default text)");

  for (CLI::App* command : {extract, encode, check, wrap, preview, insert, po_export, csv_export}) {
    add_table_options(*command, options);
  }
  add_project_options(app, options);
  for (CLI::App* command : {init, extract, encode, check, wrap, preview, insert, create, apply, room, table_export,
                            table_show, suggest, po_export, po_import, csv_export, csv_import}) {
    add_project_options(*command, options);
  }

  try {
    app.parse(argc, argv);
    if (csv_import->parsed() && options.files.size() > 1) {
      throw CLI::ValidationError("FILE", "one CSV at a time; " + options.files[1] + " is a second");
    }
    for (const std::string& text : rooms) {
      RoomOption room{};
      const std::string problem = parse_room(text, room);
      if (!problem.empty()) throw CLI::ValidationError("--room " + text, problem);
      options.room.push_back(room);
    }
  } catch (const CLI::CallForHelp& help) {
    app.exit(help);
    return ParseOutcome::Done;
  } catch (const CLI::CallForAllHelp& help) {
    app.exit(help);
    return ParseOutcome::Done;
  } catch (const CLI::CallForVersion& version) {
    app.exit(version);
    return ParseOutcome::Done;
  } catch (const CLI::ParseError& error) {
    std::string said = error.what();
    if (said == "A subcommand is required") said = unknown_command(app, argc, argv, said);
    std::fprintf(stderr, "talvo: %s\nTry 'talvo --help' for more information.\n", said.c_str());
    return ParseOutcome::UsageError;
  }

  if (extract->parsed()) options.command = Command::Extract;
  if (encode->parsed()) options.command = Command::Encode;
  if (check->parsed()) options.command = Command::Check;
  if (insert->parsed()) options.command = Command::Insert;
  if (create->parsed()) options.command = Command::PatchCreate;
  if (apply->parsed()) options.command = Command::PatchApply;
  if (po_export->parsed()) options.command = Command::PoExport;
  if (po_import->parsed()) options.command = Command::PoImport;
  if (csv_export->parsed()) options.command = Command::CsvExport;
  if (csv_import->parsed()) options.command = Command::CsvImport;
  if (wrap->parsed()) options.command = Command::Wrap;
  if (preview->parsed()) options.command = Command::Preview;
  if (table_export->parsed()) options.command = Command::TableExport;
  if (table_show->parsed()) options.command = Command::TableShow;
  if (suggest->parsed()) options.command = Command::TableSuggest;
  if (room->parsed()) options.command = Command::Room;
  if (init->parsed()) options.command = Command::Init;
  return ParseOutcome::Run;
}

}  // namespace talvo::cli
