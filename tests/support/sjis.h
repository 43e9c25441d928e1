// Test texts are written in UTF-8 and turned into the Shift_JIS (code page
// 932) bytes that the programs use, through the C library's converter: a
// rendering independent of the program's own tables.
#pragma once

#include <string>
#include <string_view>

namespace talvo::testing {

std::string to_sjis(std::string_view utf8);

}  // namespace talvo::testing
