// The message walk in its plainest form, one bit at a time straight out of
// the cartridge bytes, for the fuzz target to hold the decoder's faster walk
// against: both must write the same text and stop the same way.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "message_decoder.h"

namespace talvo::fuzz {

// For a cartridge whose tree loaded.
MessageFailure reference_message_walk(std::span<const std::uint8_t> cartridge, std::string& out);

}  // namespace talvo::fuzz
