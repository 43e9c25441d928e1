// The text of one bank of a cartridge image, in UTF-8: what the extractor
// writes for it as a UTF-8 working copy, through the game's tables or a
// translator's. Every command that compares or exports the original text
// takes it from here.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "banks.h"
#include "vocabulary.h"

namespace talvo::exchange {

// False with what stopped the decoder (a broken tree, a pointer or text past
// the end of the image) in `problem`, which begins with the bank's name.
// `vocabularies` write in UTF-8.
bool image_bank_text(std::span<const std::uint8_t> cartridge, Bank bank, const Vocabularies& vocabularies,
                     std::string& utf8, std::string& problem);

}  // namespace talvo::exchange
