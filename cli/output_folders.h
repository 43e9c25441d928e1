// Folders named with -o are made when missing, with the folders above them,
// so that "-o build/text" works on a fresh checkout as in the README.
#pragma once

#include <string>

namespace talvo::cli {

// The folder itself; false after saying why it cannot be made.
bool make_output_folder(const std::string& folder);

// The folder an output file is to be written in.
bool make_folder_of(const std::string& file);

}  // namespace talvo::cli
