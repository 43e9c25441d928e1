#include "command_line.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

#include "offset_range.h"

namespace talvo::cli {
namespace {

// The words an option takes and what each means, in the order help shows them.
template <typename T>
using Choices = std::vector<std::pair<std::string, T>>;

const Choices<TextEncoding> kEncodings{{"sjis", TextEncoding::ShiftJis}, {"utf8", TextEncoding::Utf8}};
const Choices<ColorMode> kColors{{"auto", ColorMode::Auto}, {"always", ColorMode::Always}, {"never", ColorMode::Never}};
const Choices<ReportFormat> kReports{{"text", ReportFormat::Text}, {"json", ReportFormat::Json}};
const Choices<BankKind> kBanks{
    {"msg", BankKind::Messages}, {"str", BankKind::FixedStrings}, {"btl", BankKind::BattleText}};

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
// word it did not know, and the commands it knows.
std::string unknown_command(int argc, char** argv, const std::string& said) {
  int at = 1;
  std::string commands = "init, extract, encode, check, insert, patch, room";
  if (argc > 1 && std::string_view(argv[1]) == "patch") {
    at = 2;
    commands = "create, apply";
  }
  if (argc <= at) return said;
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

  CLI::App* room = app.add_subcommand("room", "List blank runs a bank might be given with --room");
  room->add_option("IMAGE", options.image, "the cartridge image")->required()->check(file_name_check());
  add_choice(*room, "--format", options.report, kReports, "text for people, json for scripts (default text)");

  add_project_options(app, options);
  for (CLI::App* command : {init, extract, encode, check, insert, create, apply, room}) {
    add_project_options(*command, options);
  }

  try {
    app.parse(argc, argv);
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
    if (said == "A subcommand is required") said = unknown_command(argc, argv, said);
    std::fprintf(stderr, "talvo: %s\nTry 'talvo --help' for more information.\n", said.c_str());
    return ParseOutcome::UsageError;
  }

  if (extract->parsed()) options.command = Command::Extract;
  if (encode->parsed()) options.command = Command::Encode;
  if (check->parsed()) options.command = Command::Check;
  if (insert->parsed()) options.command = Command::Insert;
  if (create->parsed()) options.command = Command::PatchCreate;
  if (apply->parsed()) options.command = Command::PatchApply;
  if (room->parsed()) options.command = Command::Room;
  if (init->parsed()) options.command = Command::Init;
  return ParseOutcome::Run;
}

}  // namespace talvo::cli
