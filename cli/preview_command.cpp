// talvo preview: every page of every entry (or of those asked for) drawn as
// the game's window shows it, one PNG a page, and index.html beside them.
// Through the translator's font sheet, or in the stand-in font, GNU
// Unifont, which Debian's unifont package installs and the Windows zip
// carries beside talvo.exe. Nothing is written while a code cannot be drawn.
#include <algorithm>
#include <cstdio>

#include "banks.h"
#include "commands.h"
#include "cp932.h"
#include "diagnostic_report.h"
#include "entry_measure.h"
#include "entry_ranges.h"
#include "index_page.h"
#include "original_text.h"
#include "page_names.h"
#include "page_renderer.h"
#include "platform.h"
#include "platform_folders.h"
#include "read_units.h"
#include "text_input.h"
#include "unit_hints.h"
#include "vocabulary.h"
#include "window_check.h"
#include "window_problems.h"

namespace talvo::cli {
namespace {

// The units' places are measured and shown.
const CheckOptions kWithPlaces = [] {
  CheckOptions options;
  options.keep_places = true;
  return options;
}();

constexpr std::uint64_t kLargestPicture = std::uint64_t{64} << 20;
constexpr std::uint64_t kLargestStandInFont = std::uint64_t{64} << 20;
constexpr char kStandInName[] = "unifont_jp.hex";  // Japanese forms of the shared characters
constexpr char kStandInSystemFolder[] = "/usr/share/unifont";

bool load_stand_in(preview::StandInFont& font) {
  std::vector<std::string> tried;
  const std::string beside = platform::program_folder();
  if (!beside.empty()) tried.push_back(beside + "/" + kStandInName);
#ifndef _WIN32
  tried.push_back(std::string(kStandInSystemFolder) + "/" + kStandInName);
#endif
  for (const std::string& path : tried) {
    if (!platform::exists(path)) continue;
    FileBytes bytes;
    std::string reason;
    if (!platform::read_whole_file(path, kLargestStandInFont, bytes, reason) ||
        !font.read({reinterpret_cast<const char*>(bytes.data()), bytes.size()}, reason)) {
      say(path + ": the stand-in font cannot be read: " + reason);
      return false;
    }
    return true;
  }
  std::string places;
  for (const std::string& path : tried) places += (places.empty() ? "" : " or ") + path;
  say("the stand-in font is missing (" + places +
      "); install Debian's unifont package, or draw with your own font sheet: --font SHEET.png --cell CWxCH "
      "--first-code HEX");
  return false;
}

bool load_sheet(const Options& options, preview::FontSheet& sheet) {
  const auto cell = fit::parse_window_size(options.cell);
  unsigned first = 0;
  char end = 0;
  if (!cell || options.first_code.empty() || std::sscanf(options.first_code.c_str(), "%x%c", &first, &end) != 1 ||
      first >= fit::kCodeSpace) {
    say("--font " + options.font_sheet +
        " needs the size of its cells and the code of its first: --cell CWxCH --first-code HEX, such as "
        "--cell 16x16 --first-code 200");
    return false;
  }
  FileBytes bytes;
  std::string reason;
  if (!platform::read_whole_file(options.font_sheet, kLargestPicture, bytes, reason)) {
    say(options.font_sheet + ": " + reason);
    return false;
  }
  preview::PngRead read = preview::read_png(bytes);
  if (!read.error.empty()) {
    say(options.font_sheet + ": " + read.error);
    return false;
  }
  reason = preview::make_font_sheet(std::move(read.image), cell->width, cell->lines, static_cast<std::uint16_t>(first),
                                    sheet);
  if (!reason.empty()) {
    say(options.font_sheet + ": " + reason);
    return false;
  }
  return true;
}

// An entry's text as the file holds it, between its header and the next,
// in UTF-8, without the line feeds around it.
std::string entry_text(std::string_view file, std::size_t begin, std::size_t end, TextEncoding encoding) {
  std::string_view text = file.substr(begin, end - begin);
  while (!text.empty() && (text.front() == '\n' || text.front() == '\r')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.remove_suffix(1);
  return encoding == TextEncoding::Utf8 ? std::string(text) : sjis_to_utf8_text(text).utf8;
}

// Every entry's text, for the texts read by the checker.
std::vector<std::string> entry_texts(const TextInput& input, const TextEvents& events) {
  std::vector<std::string> texts;
  for (std::size_t k = 0; k < events.headers.size(); ++k) {
    const std::size_t begin = input.file_offset(events.headers[k].close + 1);
    const std::size_t end =
        k + 1 < events.headers.size() ? input.file_offset(events.headers[k + 1].open) : input.file().size();
    texts.push_back(entry_text(input.file(), begin, end, input.encoding));
  }
  return texts;
}

std::string hex(std::uint32_t code) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%03X", code);
  return text;
}

struct DrawnFile {
  TextInput input;
  Bank bank = Bank::Messages;
  CheckedText checked;
  WindowSetup window;
  fit::FileUnits units;
  std::vector<bool> chosen;
  std::vector<std::u32string> texts;
};

// What cannot be drawn: a code the widths file or the font sheet lacks,
// told once where it is first met. False after printing them.
bool drawable(DrawnFile& file, const preview::FontSheet* sheet, const Options& options) {
  CheckedText problems;
  std::vector<bool> told(fit::kCodeSpace, false);
  fit::EntryLayout layout;
  const std::string_view sjis = file.input.sjis();
  for (std::size_t k = 0; k < file.units.entries(); ++k) {
    if (!file.chosen[k]) continue;
    const std::span<const fit::Unit> units = file.units.entry(k);
    fit::measure_entry(units, file.window.profile, layout);
    for (std::uint32_t i : layout.unmeasured) {
      if (told[units[i].code]) continue;
      told[units[i].code] = true;
      problems.diagnostics.push_back({Severity::Error,
                                      units[i].first,
                                      units[i].last,
                                      missing_width(sjis, TextEncoding::ShiftJis, units[i], file.window.profile),
                                      {},
                                      false});
    }
    if (!sheet) continue;
    for (const fit::Unit& unit : units) {
      if (!fit::is_drawn(unit.role) || sheet->has(unit.code) || told[unit.code]) continue;
      told[unit.code] = true;
      const std::string message = quoted(sjis.substr(unit.first, unit.last - unit.first + 1)) + " (" + hex(unit.code) +
                                  ") has no cell in " + options.font_sheet + ": its " + std::to_string(sheet->cells()) +
                                  " cells hold codes " + hex(sheet->first_code) + "-" +
                                  hex(sheet->first_code + sheet->cells() - 1);
      problems.diagnostics.push_back({Severity::Error, unit.first, unit.last, message, {}, false});
    }
  }
  if (problems.diagnostics.empty()) return true;
  std::stable_sort(problems.diagnostics.begin(), problems.diagnostics.end(),
                   [](const Diagnostic& a, const Diagnostic& b) { return a.first < b.first; });
  print_diagnostics(stderr, file.input, file_diagnostics(file.input, problems), report_style(options.color));
  return false;
}

// Reads, checks and lays out one text file; false after saying why it
// cannot be drawn.
bool read_file(const Options& options, const std::string& path, Bank bank, const EntryRanges& ranges, DrawnFile& file,
               int& status) {
  file.bank = bank;
  std::string reason;
  if (!load_text(path, options.encoding, file.input, reason)) {
    say(path + ": " + reason);
    return false;
  }
  const std::optional<WindowSetup> window =
      window_setup(options, bank_record(bank), game_vocabulary(bank_record(bank).codes()), status, false);
  if (!window) return false;
  file.window = *window;
  file.checked = check_text(file.input.sjis(), bank_record(bank), game_vocabularies(), kWithPlaces);
  if (file.checked.errors + file.input.conversion.size() > 0) {
    CheckedText errors = file.checked;
    std::erase_if(errors.diagnostics, [](const Diagnostic& d) { return d.severity != Severity::Error; });
    print_diagnostics(stderr, file.input, file_diagnostics(file.input, errors), report_style(options.color));
    say(path + ": preview draws a file that talvo check passes; mend its errors first");
    status = kFailure;
    return false;
  }
  file.units = fit::units_of_events(file.checked.events, file.window.roles);
  for (const auto& [first, last] : ranges.ranges) {
    if (last >= file.units.entries()) {
      say("--entries " + options.entries + ": " + path + " has " + std::to_string(file.units.entries()) + " entries");
      status = kUsage;
      return false;
    }
  }
  file.chosen = ranges.chosen(file.units.entries());
  file.texts = fit::code_texts(game_vocabulary(bank_record(bank).codes()));
  return true;
}

}  // namespace

int run_preview(const Options& options) {
  std::vector<Bank> banks;
  for (const std::string& path : options.files) {
    const auto bank = options.check_bank ? options.check_bank : bank_of_file_name(path);
    if (!bank) {
      say(path +
          ": which bank does it hold? Its name begins with none of MsgData, StrData and BtlData; say it with "
          "--bank msg, --bank str or --bank btl");
      return kUsage;
    }
    if (std::find(banks.begin(), banks.end(), *bank) != banks.end()) {
      say(path + ": a second file of the " + bank_record(*bank).bank_name +
          " bank; its pictures would take the first one's names");
      return kUsage;
    }
    banks.push_back(*bank);
  }
  EntryRanges ranges;
  if (!options.entries.empty()) {
    const std::string problem = parse_entry_ranges(options.entries, ranges);
    if (!problem.empty()) {
      say("--entries " + options.entries + ": " + problem);
      return kUsage;
    }
  }
  preview::FontSheet sheet;
  preview::StandInFont stand_in;
  if (!options.font_sheet.empty() ? !load_sheet(options, sheet) : !load_stand_in(stand_in)) return kFailure;
  const preview::FontSheet* font = options.font_sheet.empty() ? nullptr : &sheet;

  std::vector<DrawnFile> files(options.files.size());
  for (std::size_t i = 0; i < files.size(); ++i) {
    int status = kFailure;
    if (!read_file(options, options.files[i], banks[i], ranges, files[i], status)) return status;
    if (!drawable(files[i], font, options)) {
      say(options.files[i] + ": codes that cannot be drawn; nothing is written");
      return kFailure;
    }
  }
  ImageFile image;
  if (!options.original_image.empty() && !read_image(options.original_image, image)) return kFailure;

  std::string reason;
  if (!platform::make_folders(options.output, reason)) {
    say(options.output + ": the folder cannot be made: " + reason);
    return kFailure;
  }
  std::vector<std::string> inputs = options.files;
  for (const std::string& other : {options.font_sheet, options.original_image}) {
    if (!other.empty()) inputs.push_back(other);
  }
  std::vector<preview::IndexEntry> index;
  std::size_t pictures = 0;
  fit::EntryLayout layout;
  for (DrawnFile& file : files) {
    const BankRecord& bank = bank_record(file.bank);
    const std::vector<std::string> texts = entry_texts(file.input, file.checked.events);
    std::vector<std::string> originals;
    if (!options.original_image.empty()) {
      std::string sjis;
      if (!original_text(image, file.bank, game_vocabularies(), sjis, reason)) {
        say(options.original_image + ": " + reason);
        return kFailure;
      }
      const TextInput original = text_input(options.original_image, sjis, TextEncoding::ShiftJis);
      originals = entry_texts(original, check_text(original.sjis(), bank, game_vocabularies(), kWithPlaces).events);
    }
    const preview::Typeface typeface{font, font ? nullptr : &stand_in, &file.texts};
    for (std::size_t k = 0; k < file.units.entries(); ++k) {
      if (!file.chosen[k]) continue;
      const std::span<const fit::Unit> units = file.units.entry(k);
      fit::measure_entry(units, file.window.profile, layout);
      preview::IndexEntry entry{bank.short_name, k, texts[k], {}, {}};
      if (k < originals.size()) entry.original = originals[k];
      for (std::size_t p = 0; p < layout.pages.size(); ++p) {
        const fit::MeasuredPage& page = layout.pages[p];
        const preview::PagePicture picture =
            preview::draw_page(units, layout, page, file.window.profile, file.window.window, typeface);
        const std::vector<std::uint8_t> png = preview::write_png(picture.image);
        preview::IndexPicture shown{preview::page_file_name(bank.short_name, k, p + 1),
                                    picture.image.width,
                                    picture.image.height,
                                    {},
                                    picture.cut};
        if (png.empty() || !write_outputs({{in_folder(options.output, shown.file), png}}, inputs)) return kFailure;
        ++pictures;
        if (file.window.window) {
          std::vector<fit::WindowProblem> problems;
          fit::MeasuredPage alone = page;
          fit::EntryLayout one{layout.lines, {alone}, {}};
          fit::window_problems(units, one, file.window.profile, problems);
          for (const fit::WindowProblem& problem : problems) shown.problems.push_back(problem.message);
        }
        entry.pages.push_back(std::move(shown));
      }
      index.push_back(std::move(entry));
    }
  }
  std::string title = "talvo preview:";
  for (const std::string& path : options.files) title += " " + path;
  std::string window;
  if (files.front().window.window) {
    const fit::WindowProfile& profile = files.front().window.profile;
    window = std::to_string(profile.width) + "x" + std::to_string(profile.lines) +
             (profile.in_pixels() ? " (pixels by lines)" : " (tiles by lines)");
  }
  const std::string html = preview::index_html(index, title, window);
  const auto* data = reinterpret_cast<const std::uint8_t*>(html.data());
  if (!write_outputs({{in_folder(options.output, "index.html"), {data, html.size()}}}, inputs)) return kFailure;
  say("drew " + std::to_string(pictures) + " pages of " + std::to_string(index.size()) + " entries; open " +
      in_folder(options.output, "index.html"));
  return kSuccess;
}

}  // namespace talvo::cli
