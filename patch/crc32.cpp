#include "crc32.h"

#include <zlib.h>

#include <algorithm>
#include <cstddef>

namespace talvo::bps {

std::uint32_t crc32_of(std::span<const std::uint8_t> bytes) {
  // zlib counts lengths in uInt: feed it in pieces it can take.
  constexpr std::size_t kPiece = std::size_t{1} << 30;
  uLong crc = crc32(0L, Z_NULL, 0);
  for (std::size_t at = 0; at < bytes.size(); at += kPiece) {
    const std::size_t count = std::min(kPiece, bytes.size() - at);
    crc = crc32(crc, bytes.data() + at, static_cast<uInt>(count));
  }
  return static_cast<std::uint32_t>(crc);
}

}  // namespace talvo::bps
