// talvo table suggest: new multi-character entries for a table, planned
// over the translated text files read through it, written as the table
// with the entries added; the bank's size before and after, and beside the
// classic planner's.
#include <cinttypes>
#include <cstdio>

#include "code_ranges.h"
#include "commands.h"
#include "diagnostic_report.h"
#include "entry_planner.h"
#include "shortest_encoding.h"
#include "table_file_input.h"
#include "table_text_input.h"
#include "table_writer.h"
#include "utf8.h"

namespace talvo::cli {
namespace {

// Diagnostics shown of one file at most; the rest are counted.
constexpr std::size_t kShownProblems = 20;

std::string quoted_character(std::string_view text, std::size_t at) {
  const Utf8Char c = decode_utf8(text.substr(at));
  if (c.error != Utf8Error::None) return "a byte that is no character";
  if (c.code_point < 0x20 || c.code_point == 0x7F) {
    char name[16];
    std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(c.code_point));
    return name;
  }
  return "'" + std::string(text.substr(at, c.length)) + "'";
}

// What the reader and the base table's encoding find wrong with a file, in
// file offsets and file order.
std::vector<Diagnostic> problems_of(const TableTextInput& input, const tables::TableText& read,
                                    const tables::EncodedText& encoded, const std::string& table) {
  std::vector<Diagnostic> out = input.conversion;
  const std::string_view text = input.utf8();
  const auto add = [&](std::size_t first, std::size_t end, std::string message) {
    const std::size_t file_first = input.file_offset(first);
    const std::size_t file_last = std::max(input.file_offset(end), file_first + 1) - 1;
    out.push_back({Severity::Error, file_first, file_last, std::move(message), "", true});
  };
  for (const tables::ReadProblem& p : read.problems) {
    const std::string token(text.substr(p.first, p.end - p.first));
    switch (p.kind) {
      case tables::ReadProblemKind::UnknownToken:
        add(p.first, p.end, "'" + token + "' is neither a name of " + table + " nor a code's hexadecimal token");
        break;
      case tables::ReadProblemKind::TokenOutOfRange:
        add(p.first, p.end, "'" + token + "' lies beyond the message codes, which end at 0x60B");
        break;
      case tables::ReadProblemKind::UnclosedToken:
        add(p.first, p.first + 1, "'[' is not closed on its line");
        break;
    }
  }
  for (const tables::StuckPlace& s : encoded.stuck) {
    const std::size_t bytes = std::max<std::size_t>(decode_utf8(text.substr(s.offset)).length, 1);
    add(s.offset, s.offset + bytes, "no entry of " + table + " covers " + quoted_character(text, s.offset) + " here");
  }
  std::stable_sort(out.begin(), out.end(), [](const Diagnostic& a, const Diagnostic& b) { return a.first < b.first; });
  return out;
}

std::string size_text(CodeSet kind, std::uint64_t size) {
  if (kind == CodeSet::Byte) return std::to_string(size) + " bytes";
  return std::to_string(size) + " bits (" + std::to_string((size + 7) / 8) + " bytes)";
}

std::string entries_text(std::size_t n) { return std::to_string(n) + (n == 1 ? " entry" : " entries"); }

std::string share(std::uint64_t part, std::uint64_t whole) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f%%",
                whole == 0 ? 0.0 : 100.0 * static_cast<double>(part) / static_cast<double>(whole));
  return text;
}

}  // namespace

int run_table_suggest(const Options& options) {
  const CodeSet kind = options.table_kind;
  TableFile base;
  if (!load_table_file(options.table_file, kind, base)) return kFailure;

  std::string problem;
  const auto given = tables::parse_code_ranges(options.free_codes, kind, problem);
  if (!given) {
    say("--free " + options.free_codes + ": " + problem);
    return kUsage;
  }
  const auto free = tables::free_codes_for(base.table, *given, problem);
  if (!free) {
    say("--free " + options.free_codes + ": " + problem);
    return kUsage;
  }
  if (free->codes.empty()) {
    say("--free " + options.free_codes + ": " + options.table_file + " names every glyph code given; name free ones");
    return kFailure;
  }

  // The texts, read through the base table; a plan over text the table
  // cannot encode would be a plan for other text.
  const tables::TableIndex index(base.table);
  std::vector<TableTextInput> inputs(options.files.size());
  std::vector<tables::TableText> read(options.files.size());
  std::vector<tables::TextToEncode> texts;
  for (std::size_t i = 0; i < options.files.size(); ++i) {
    std::string reason;
    if (!load_table_text(options.files[i], options.encoding, inputs[i], reason)) {
      say(options.files[i] + ": " + reason);
      return kFailure;
    }
    read[i] = tables::read_table_text(inputs[i].utf8(), index);
    texts.push_back({inputs[i].utf8(), &read[i]});
  }
  const tables::BankEncoding through_base = tables::encode_bank(index, texts, tables::EncodingMethod::Shortest);
  std::size_t errors = 0;
  const ReportStyle style = report_style(ColorMode::Auto);
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    std::vector<Diagnostic> found = problems_of(inputs[i], read[i], through_base.texts[i], options.table_file);
    errors += found.size();
    if (found.size() > kShownProblems) found.resize(kShownProblems);
    print_diagnostics(stderr, inputs[i].file, found, style);
  }
  if (errors != 0) {
    say(std::to_string(errors) + (errors == 1 ? " error" : " errors") + " in the text read through " +
        options.table_file + "; nothing was written");
    return kFailure;
  }

  tables::PlanRequest request;
  request.free_codes = free->codes;
  request.max_length = options.max_length;
  request.count = std::min(options.count.value_or(free->codes.size()), free->codes.size());
  const tables::Plan plan = tables::plan_entries(base.table, texts, request);

  const std::vector<std::string> comment{
      entries_text(plan.entries.size()) + " of at most " + std::to_string(options.max_length) +
          " characters planned by talvo table suggest: " + size_text(kind, plan.size_before) + " before, " +
          size_text(kind, plan.size_after) + " after.",
      "A text runs to the end of its line: keep the spaces some of these end with."};
  const std::string out = tables::append_entries(base.bytes, kind, comment, plan.entries);
  std::vector<std::string> read_files = options.files;
  read_files.push_back(options.table_file);
  const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(out.data()), out.size());
  if (!write_outputs({{options.table_output, bytes}}, read_files)) return kFailure;

  std::string report = "through " + options.table_file + ": " + size_text(kind, plan.size_before) + "\n";
  report += "classic planner, " + entries_text(plan.classic_entries) + ": " + size_text(kind, plan.classic_size) + "\n";
  report += "this plan, " + entries_text(plan.entries.size()) + ": " + size_text(kind, plan.size_after);
  if (plan.classic_chosen) {
    report += " (the classic plan: ours found none smaller)";
  } else if (plan.size_after < plan.classic_size) {
    report += ", " + std::to_string(plan.classic_size - plan.size_after) +
              (kind == CodeSet::Message ? " bits" : " bytes") + " (" +
              share(plan.classic_size - plan.size_after, plan.classic_size) + ") smaller than the classic plan";
  }
  report += "\n";
  if (free->named != 0 || free->controls != 0) {
    report += "passed over in --free: " + std::to_string(free->named) + " codes " + options.table_file + " names, " +
              std::to_string(free->controls) + " controls of the game\n";
  }
  report += "written: " + options.table_output + "\n";
  std::fputs(report.c_str(), stdout);
  std::fflush(stdout);
  return kSuccess;
}

}  // namespace talvo::cli
