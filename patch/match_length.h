// How far two stretches of bytes agree, eight bytes at a time.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace talvo::bps {

inline std::uint64_t load64(const std::uint8_t* p) {
  std::uint64_t value;
  std::memcpy(&value, p, sizeof value);
  return value;
}

// How many bytes from a and b agree, up to `limit`.
inline std::size_t match_length(const std::uint8_t* a, const std::uint8_t* b, std::size_t limit) {
  std::size_t n = 0;
  while (n + 8 <= limit) {
    const std::uint64_t differ = load64(a + n) ^ load64(b + n);
    if (differ != 0) {
      if constexpr (std::endian::native == std::endian::little) return n + std::countr_zero(differ) / 8;
      return n + std::countl_zero(differ) / 8;
    }
    n += 8;
  }
  while (n < limit && a[n] == b[n]) ++n;
  return n;
}

}  // namespace talvo::bps
