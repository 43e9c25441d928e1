// Text files written where a translator's own may stand. A translator's
// edited text is the most precious file on their disk: a command never
// replaces one whose bytes differ from what it would write unless asked with
// --force. It refuses instead, naming every such file and --force, and
// writes none of them. Files that already hold those very bytes are left
// as they are.
#pragma once

#include <string>
#include <vector>

#include "commands.h"

namespace talvo::cli {

// Writes the files whole or not at all (write_outputs()); false after
// saying why.
bool write_text_outputs(const std::vector<OutputFile>& files, const std::vector<std::string>& inputs, bool force);

}  // namespace talvo::cli
