// The variable-length numbers of BPS patches. Seven bits a byte, low bits
// first, bit 7 set on the last byte; every byte but the last also stands for
// one more unit of its scale (the writer subtracts 1 after each shift), so
// each value has exactly one encoding: 127 is 0xFF, 128 is 0x00 0x80.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <vector>

namespace talvo::bps {

inline void append_number(std::vector<std::uint8_t>& out, std::uint64_t value) {
  for (;;) {
    const auto low = static_cast<std::uint8_t>(value & 0x7F);
    value >>= 7;
    if (value == 0) {
      out.push_back(static_cast<std::uint8_t>(0x80 | low));
      return;
    }
    out.push_back(low);
    --value;
  }
}

// How many bytes append_number writes for `value`.
inline std::size_t number_size(std::uint64_t value) {
  std::size_t size = 1;
  while ((value >>= 7) != 0) {
    --value;
    ++size;
  }
  return size;
}

enum class NumberRead { Ok, RunsPastEnd, TooLarge };

// Reads the number at data[position] into `value` and advances `position`
// past it. Fails when the number runs past the end of `data` or does not fit
// in 64 bits; `position` and `value` are then left as they were.
inline NumberRead read_number(std::span<const std::uint8_t> data, std::size_t& position, std::uint64_t& value) {
  constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
  std::uint64_t sum = 0;
  std::uint64_t scale = 1;
  for (std::size_t at = position; at < data.size(); ++at) {
    const std::uint64_t low = data[at] & 0x7F;
    if (low != 0 && low > (kMax - sum) / scale) return NumberRead::TooLarge;
    sum += low * scale;
    if (data[at] & 0x80) {
      position = at + 1;
      value = sum;
      return NumberRead::Ok;
    }
    if (scale > kMax >> 7) return NumberRead::TooLarge;
    scale <<= 7;
    if (sum > kMax - scale) return NumberRead::TooLarge;
    sum += scale;
  }
  return NumberRead::RunsPastEnd;
}

}  // namespace talvo::bps
