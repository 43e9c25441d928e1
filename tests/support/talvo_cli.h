// The talvo command line as a process, for the tests of targets built with
// TALVO_CLI naming it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "support/process.h"

namespace talvo::testing {

// talvo with `arguments`, run in `folder` with nothing on standard input.
inline ProcessResult talvo(const std::vector<std::string>& arguments, const std::filesystem::path& folder) {
  std::vector<std::string> argv{TALVO_CLI};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  return run_process(argv, folder, "");
}

// An image or file's bytes as the file helpers take them.
inline std::string bytes(const std::vector<std::uint8_t>& data) { return std::string(data.begin(), data.end()); }

}  // namespace talvo::testing
