// Where no suffix-sorting library is at hand (the Windows build), our own.
#include "suffix_array.h"

namespace talvo::bps {

std::vector<std::int32_t> suffix_array(std::span<const std::uint8_t> text) { return induced_suffix_array(text); }

}  // namespace talvo::bps
