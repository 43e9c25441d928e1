// The text of one bank of a cartridge image, in UTF-8: what the extractor
// writes for it, converted as a UTF-8 working copy is. Every command that
// compares or exports the original text takes it from here, so that the
// way it is read (today the built-in tables) is chosen in one place.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "banks.h"

namespace talvo::exchange {

// False with what stopped the decoder (a broken tree, a pointer or text past
// the end of the image) in `problem`, which begins with the bank's name.
bool image_bank_text(std::span<const std::uint8_t> cartridge, Bank bank, std::string& utf8, std::string& problem);

}  // namespace talvo::exchange
