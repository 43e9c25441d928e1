// The byte-bank walk in its plainest form, for the fuzz target to hold the
// decoder against: both must write the same text and stop the same way.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "banks.h"
#include "byte_bank_decoder.h"

namespace talvo::fuzz {

ByteBankFailure reference_byte_bank_walk(std::span<const std::uint8_t> cartridge, const BankRecord& bank,
                                         std::string& out);

}  // namespace talvo::fuzz
