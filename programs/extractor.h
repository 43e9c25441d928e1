// The extractor's pass: choose an image, then write its three text banks.
#pragma once

#include "rom_image.h"

namespace talvo {

// Each writes its text file into the current directory; false when it
// stopped early, after telling the user why.
bool decode_messages(const RomImage& image);
bool decode_fixed_strings(const RomImage& image);
bool decode_battle_text(const RomImage& image);

// One whole run, from the dialog to the completion box. Returns 0, the exit
// status, whatever happened: success shows only as the completion box.
int run_extractor();

}  // namespace talvo
