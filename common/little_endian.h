// Little-endian values in the cartridge data and in the files that mirror
// it: 2-byte tree entries and checksums, 3-byte pointers. Reads that may
// run past the end of an image are checked: a failure, never a stale byte.
// Each byte is cast before it is shifted, so no shift can overflow.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace talvo {

// The 3-byte pointer at `offset`, or nothing when it lies past the end.
inline std::optional<std::uint32_t> read_pointer(std::span<const std::uint8_t> data, std::uint64_t offset) {
  if (offset > data.size() || data.size() - offset < 3) return std::nullopt;
  return static_cast<std::uint32_t>(data[offset]) | static_cast<std::uint32_t>(data[offset + 1]) << 8 |
         static_cast<std::uint32_t>(data[offset + 2]) << 16;
}

// The 2-byte value at `p`, which the caller has checked lies within.
inline std::uint16_t read_le16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(static_cast<std::uint16_t>(p[0]) | static_cast<std::uint16_t>(p[1]) << 8);
}

inline void write_le16(std::uint8_t* p, std::uint16_t value) {
  p[0] = static_cast<std::uint8_t>(value & 0xFF);
  p[1] = static_cast<std::uint8_t>(value >> 8);
}

inline void write_le24(std::uint8_t* p, std::uint32_t value) {
  p[0] = static_cast<std::uint8_t>(value & 0xFF);
  p[1] = static_cast<std::uint8_t>(value >> 8 & 0xFF);
  p[2] = static_cast<std::uint8_t>(value >> 16 & 0xFF);
}

// A 3-byte value at the end of `out`, as the encoders' index files hold them.
inline void append_le24(std::string& out, std::uint64_t value) {
  for (int k = 0; k < 3; ++k) out += static_cast<char>(value >> (8 * k) & 0xFF);
}

}  // namespace talvo
