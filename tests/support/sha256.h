// SHA-256, for checking large files against known hashes without keeping
// them: small and plain, as tests need it rarely.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace talvo::testing {

// The hash as 64 lower-case hex digits.
std::string sha256_hex(std::span<const std::uint8_t> bytes);

}  // namespace talvo::testing
