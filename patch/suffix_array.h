// Suffix arrays over bytes: the start of every suffix of a text, in the
// order of the suffixes. On Linux from Debian's libdivsufsort; the Windows
// build, which has no such package, sorts them itself (SA-IS).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace talvo::bps {

// Texts up to this many bytes: the array holds 32-bit positions.
inline constexpr std::size_t kMaxSuffixArrayText = 0x7FFFFFFF;

// The suffix array of `text` (at most kMaxSuffixArrayText bytes). Throws
// std::bad_alloc when memory runs out.
std::vector<std::int32_t> suffix_array(std::span<const std::uint8_t> text);

// The same, always by our own induced sorting: what suffix_array is on
// Windows, and what the tests hold to the library elsewhere.
std::vector<std::int32_t> induced_suffix_array(std::span<const std::uint8_t> text);

}  // namespace talvo::bps
