// The talvo command line: its commands and options, read into one plain
// record. Reading it is all this file does; the commands live elsewhere.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "banks.h"
#include "text_format.h"
#include "translator_table.h"

namespace talvo::cli {

enum class Command {
  Extract,
  Encode,
  Check,
  Insert,
  PatchCreate,
  PatchApply,
  Wrap,
  Preview,
  TableExport,
  TableShow,
  TableSuggest,
  PoExport,
  PoImport,
  CsvExport,
  CsvImport,
  Room,
  Init
};
enum class ColorMode { Auto, Always, Never };
enum class ReportFormat { Text, Json };

// Extra room a bank may use on insertion: ROM offsets, the end excluded.
struct RoomOption {
  Bank bank;
  std::uint32_t start;
  std::uint32_t end;
};

struct Options {
  Command command = Command::Extract;
  TextEncoding encoding = TextEncoding::ShiftJis;
  std::string output = ".";  // a folder for extract and encode, a file for insert and patch

  std::string image;               // extract, insert, patch apply, room, init
  Bank bank = Bank::Messages;      // encode
  std::string text_file;           // encode
  std::vector<std::string> files;  // check; po import; csv import (one)
  std::optional<Bank> check_bank;
  ColorMode color = ColorMode::Auto;
  std::optional<std::size_t> max_line;
  std::optional<std::size_t> max_entry;

  std::string message_file, fixed_string_file, battle_file;  // insert: "" when not given
  std::vector<RoomOption> room;
  ReportFormat report = ReportFormat::Text;  // insert --report, room --format
  std::string bps_file;                      // insert: "" when not given

  std::string patch_source, patch_target, patch_file;  // patch create / apply

  // The game's window (check, wrap, preview): "" where not given.
  std::string window;                   // WxH
  std::string widths_file;              // HEX=PIXELS lines; W is then in pixels
  std::vector<std::string> page_codes;  // tokens, such as [00AF]
  std::string line_code = "[00AD]";
  std::string entries;  // wrap, preview: RANGES, such as 0x10-0x20,0x100
  bool wrap_all = false;
  bool force = false;                        // wrap: replace an output that differs
  std::string font_sheet, cell, first_code;  // preview
  std::string original_image;                // preview
  CodeSet table_kind = CodeSet::Message;     // table export, show, suggest
  std::string table_file;                    // show: FILE; suggest: --table BASE
  std::string table_output;                  // export: "" for standard output; suggest: -o
  std::string free_codes;                    // suggest: --free RANGES
  std::size_t max_length = 2;                // suggest
  std::optional<std::size_t> count;          // suggest: "" for every free code

  std::vector<std::string> texts;  // po and csv export: translators' text files (--text)
  std::string original;            // check: the original image, for the consistency warnings
  std::string glossary;            // check: the team's glossary, a CSV

  std::string project_folder;  // init -o: "" for the image's name

  // Translators' tables the text files are written through: "" for the
  // game's own.
  std::string message_table;  // --msg-table
  std::string byte_table;     // --byte-table

  // Every command: the project file to take defaults from ("" to look for
  // talvo.toml here and above), or none at all.
  std::string project_file;
  bool no_project = false;
};

enum class ParseOutcome { Run, Done, UsageError };

// Reads the command line. Done after --help or --version (shown on standard
// output); UsageError after the one line that says what is wrong has gone
// to standard error.
ParseOutcome parse_command_line(int argc, char** argv, Options& options);

}  // namespace talvo::cli
