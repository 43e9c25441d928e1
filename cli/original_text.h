// The text a bank holds in a cartridge image, as the extractor writes it,
// for showing the original beside a translation.
#pragma once

#include <string>

#include "banks.h"
#include "image_file.h"
#include "vocabulary.h"

namespace talvo::cli {

// The extractor's text of `bank` through `vocabularies`; false with the
// reason when the image's bank cannot be read whole.
bool original_text(const ImageFile& image, Bank bank, const Vocabularies& vocabularies, std::string& text,
                   std::string& reason);

}  // namespace talvo::cli
