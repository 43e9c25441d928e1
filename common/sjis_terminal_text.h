// Shift_JIS texts as a terminal shows them.
#pragma once

#include <string>
#include <string_view>

namespace talvo {

// Converts Shift_JIS (code page 932) to UTF-8. A byte that starts no valid
// character, and any control byte but the line feed, shows as "<XX>" (its
// hexadecimal value), so a message that quotes stray bytes still says what
// it found.
std::string sjis_to_utf8(std::string_view sjis);

}  // namespace talvo
