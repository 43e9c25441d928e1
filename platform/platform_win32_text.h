// Text at the Windows API's door: the wide-character calls take UTF-16, the
// programs hold Shift_JIS texts and UTF-8 paths. Converting every text from
// code page 932 itself, rather than leaving it to the ANSI calls, shows the
// boxes right on every Windows, not only where the system code page is 932.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform.h"

namespace talvo::platform::win32 {

// Shift_JIS (code page 932) as UTF-16, as a Japanese Windows' ANSI calls
// would show it: a byte that starts no character shows as the code page's
// default character, as it did there.
std::wstring wide_from_sjis(std::string_view sjis);

// A UTF-8 path as UTF-16. False for bytes that are not UTF-8: a path is
// refused rather than guessed at, so no other file gets opened.
bool wide_from_utf8(std::string_view utf8, std::wstring& wide);

// UTF-16 as UTF-8. False for a lone surrogate, which UTF-8 cannot hold.
bool utf8_from_wide(std::wstring_view wide, std::string& utf8);

// The open dialog's filter list: the name and the wildcards of each filter,
// each ended by a NUL, and one more NUL to end the list.
std::wstring wide_filter_list(std::span<const FileFilter> filters);

// The arguments of a wide command line (GetCommandLineW's), split as
// Windows programs split them, in UTF-8; a lone surrogate in one becomes
// U+FFFD.
std::vector<std::string> utf8_arguments(const wchar_t* command_line);

}  // namespace talvo::platform::win32
