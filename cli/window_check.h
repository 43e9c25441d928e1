// check --window: what does not fit the game's window, among a file's
// diagnostics. Lines wider than the window and pages of too many lines are
// warnings; a character the widths file has no width for is an error, told
// where it is first met.
#pragma once

#include <string_view>

#include "text_checker.h"
#include "window_options.h"

namespace talvo::cli {

// Adds the window's diagnostics to `checked` (offsets of `text`, as its
// own, which is Shift_JIS or, read through a translator's table, UTF-8), in
// the order of their place, and counts them.
void add_window_diagnostics(std::string_view text, TextEncoding encoding, const WindowSetup& window,
                            CheckedText& checked);

// "no width for 'Ｑ' (0x4C5) in widths.txt", for the unit at those bytes.
std::string missing_width(std::string_view text, TextEncoding encoding, const fit::Unit& unit,
                          const fit::WindowProfile& profile);

}  // namespace talvo::cli
