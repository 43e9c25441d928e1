// Little-endian values read out of the cartridge data, with bounds checks:
// every read past the end of the image is a failure, never a stale byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace talvo {

// The 3-byte pointer at `offset`, or nothing when it lies past the end.
inline std::optional<std::uint32_t> read_pointer(std::span<const std::uint8_t> data, std::uint64_t offset) {
  if (offset > data.size() || data.size() - offset < 3) return std::nullopt;
  return static_cast<std::uint32_t>(data[offset]) | static_cast<std::uint32_t>(data[offset + 1]) << 8 |
         static_cast<std::uint32_t>(data[offset + 2]) << 16;
}

}  // namespace talvo
