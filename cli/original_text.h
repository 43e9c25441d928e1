// The text a bank holds in a cartridge image, as the extractor writes it,
// for showing the original beside a translation.
#pragma once

#include <string>

#include "banks.h"
#include "image_file.h"

namespace talvo::cli {

// The extractor's Shift_JIS text of `bank`; false with the reason when the
// image's bank cannot be read whole.
bool original_text(const ImageFile& image, Bank bank, std::string& sjis, std::string& reason);

}  // namespace talvo::cli
