// The CRC-32 of zlib and PNG, which BPS patches carry for the source, the
// target and the patch itself.
#pragma once

#include <cstdint>
#include <span>

namespace talvo::bps {

std::uint32_t crc32_of(std::span<const std::uint8_t> bytes);

}  // namespace talvo::bps
