// Notes for translators on the bracketed codes of an entry, which a PO file
// carries beside the message ("#."): which codes start a new line of the
// game's window, and that the others are the game's controls, to be kept.
#pragma once

#include <string>
#include <string_view>

#include "banks.h"

namespace talvo::exchange {

// The note for an entry's text; empty where it holds no bracketed code but
// its end, which the file's header explains once for all.
std::string control_note(std::string_view text, Bank bank);

// What the file's header says of every entry's end code.
std::string end_code_note(Bank bank);

}  // namespace talvo::exchange
