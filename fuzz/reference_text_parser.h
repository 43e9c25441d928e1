// The encoders' text reading in its plainest form, one byte at a time, with
// tokens found in a map built from the encoding tables: the fuzz target holds
// the parser's faster reading against it.
#pragma once

#include <cstdint>
#include <span>

#include "banks.h"
#include "text_parse.h"

namespace talvo::fuzz {

// The whole text at once; what is unfinished at its end is dropped.
ParsedText reference_text_parse(const EncoderVariant& variant, std::span<const std::uint8_t> text);

}  // namespace talvo::fuzz
