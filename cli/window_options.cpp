#include "window_options.h"

#include <limits>

#include "banks.h"
#include "commands.h"
#include "platform.h"
#include "read_units.h"

namespace talvo::cli {
namespace {

// A widths file is a few thousand short lines.
constexpr std::uint64_t kLargestWidthsFile = std::uint64_t{16} << 20;

}  // namespace

std::optional<WindowSetup> window_setup(const Options& options, const BankRecord& bank, const Vocabulary& vocabulary,
                                        int& status, bool window_required) {
  const auto refuse = [&status](int code) {
    status = code;
    return std::optional<WindowSetup>();
  };
  WindowSetup setup;
  setup.roles = fit::code_roles(bank, vocabulary);
  setup.space = fit::space_code(vocabulary);
  const std::optional<fit::WindowSize> size = fit::parse_window_size(options.window);
  if (!size && (window_required || !options.widths_file.empty())) {
    say("give the game's window with --window WxH, such as --window 16x3");
    return refuse(kUsage);
  }
  setup.window = size.has_value();
  setup.profile.width = size ? size->width : std::numeric_limits<std::uint32_t>::max();
  setup.profile.lines = size ? size->lines : std::numeric_limits<std::uint32_t>::max();
  if (bank.bank == Bank::Messages) {
    const auto code_of = [&](const std::string& option, const std::string& token) -> std::optional<std::uint16_t> {
      const std::optional<std::uint16_t> code = fit::code_of_token(vocabulary, token);
      if (!code) say(option + " " + token + ": no code of " + bank.table_name + " is written so");
      return code;
    };
    for (const std::string& token : options.page_codes) {
      const auto code = code_of("--page-code", token);
      if (!code) return refuse(kUsage);
      if (setup.roles[*code] == fit::UnitRole::End) {
        say("--page-code " + token + ": it ends the message; a page code turns the page, such as [00AF]");
        return refuse(kUsage);
      }
      setup.profile.add_page_code(*code);
    }
    const auto line = code_of("--line-code", options.line_code);
    if (!line) return refuse(kUsage);
    if (setup.roles[*line] != fit::UnitRole::LineBreak) {
      say("--line-code " + options.line_code + ": the game breaks no line there; the line codes are [00AD] and [00AF]");
      return refuse(kUsage);
    }
    setup.profile.line_code = *line;
  }
  if (!options.widths_file.empty()) {
    FileBytes bytes;
    std::string reason;
    if (!platform::read_whole_file(options.widths_file, kLargestWidthsFile, bytes, reason)) {
      say(options.widths_file + ": " + reason);
      return refuse(kFailure);
    }
    fit::WidthsRead read =
        fit::read_widths({reinterpret_cast<const char*>(bytes.data()), bytes.size()}, options.widths_file);
    if (!read.error.empty()) {
      say(read.error);
      return refuse(kFailure);
    }
    setup.profile.widths = std::move(read.widths);
  }
  return setup;
}

}  // namespace talvo::cli
