// The encoder programs: choose a text file, encode it into a bank file and
// an index file.
#pragma once

#include <cstddef>
#include <cstdint>

#include "banks.h"
#include "platform.h"

namespace talvo {

// The chosen text file, locked against other programs while it is read.
struct EncoderInput {
  platform::FileHandle file;
  std::uint64_t size = 0;  // the full size, taken when it was opened
};

// Creates the bank and index files and encodes all `input.size` bytes into
// them. False when it stopped on a failure, after telling the user why;
// what was written up to then stays in both files.
bool encode_text_bank(const EncoderVariant& variant, const EncoderInput& input);

// The file-open dialog for a text file; `path` holds the initial text.
bool select_text_file(char* path, std::size_t capacity);

// Selects and opens the text file; on failure it has told the user why and
// left nothing open.
bool open_text_input(EncoderInput& input);

// One whole run with the program's variant; returns 0, the exit status,
// whatever happened.
int run_encoder(const EncoderVariant& variant);

}  // namespace talvo
