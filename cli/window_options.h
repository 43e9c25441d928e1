// The game's window as the command line describes it (--window, --widths,
// --page-code, --line-code), for the files of one bank, with what the
// bank's codes do there.
#pragma once

#include <cstdint>
#include <optional>

#include "banks.h"
#include "command_line.h"
#include "entry_units.h"
#include "vocabulary.h"
#include "window_profile.h"

namespace talvo::cli {

struct WindowSetup {
  fit::WindowProfile profile;
  fit::CodeRoles roles;
  std::uint16_t space = 0;  // the code of a space
  bool window = true;       // false: no --window, and so no limit to lines or pages
};

// The window for files of `bank`, or nothing after saying what is wrong
// (a token no table holds, a widths file that cannot be read), with the
// exit status in `status`. Page and line codes are the message bank's:
// a byte-bank entry is one line.
// Without --window, `window_required` refuses; else the window is endless.
std::optional<WindowSetup> window_setup(const Options& options, const BankRecord& bank, const Vocabulary& vocabulary,
                                        int& status, bool window_required = true);

}  // namespace talvo::cli
