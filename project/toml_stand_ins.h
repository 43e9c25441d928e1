// toml++ 3.3 (Debian 12's) asks of some characters whether they are
// whitespace through a table whose gaps end in __builtin_unreachable: for
// U+00A1-U+0499, U+2C76-U+306F but U+3000, and U+FBA6-U+FEFE, met where it
// looks for whitespace (after a value, say), that is undefined behaviour,
// which the sanitizers catch on a file as ordinary as `a = 1é`. Such
// characters reach it as stand-ins from the private-use planes, which it
// treats the same way (neither whitespace nor allowed outside strings), and
// are put back in what it reads.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace talvo::project {

inline constexpr char32_t kFirstStandIn = 0xF0000;

// Whether toml++'s whitespace table has a gap at `c`.
bool needs_stand_in(char32_t c);

struct StandIns {
  std::string text;                 // the file with each such character replaced
  std::vector<char32_t> originals;  // what U+F0000 + n stands for
};

// Characters of the private-use planes get stand-ins too, of themselves,
// so that putting back is exact. Bytes that are not UTF-8 stay as they are,
// for toml++ to refuse. Nothing when there are more distinct characters to
// stand in for than the planes hold.
std::optional<StandIns> with_stand_ins(std::string_view text);

// `text` with every stand-in replaced by its original.
std::string put_back(std::string_view text, const std::vector<char32_t>& originals);

}  // namespace talvo::project
