#include "text_outputs.h"

#include <algorithm>

#include "platform.h"
#include "text_input.h"

namespace talvo::cli {

bool write_text_outputs(const std::vector<OutputFile>& files, const std::vector<std::string>& inputs, bool force) {
  std::vector<OutputFile> changed;
  std::vector<std::string> differing;
  for (const OutputFile& file : files) {
    if (force || !platform::exists(file.path)) {
      changed.push_back(file);
      continue;
    }
    FileBytes old;
    std::string reason;
    if (!platform::read_whole_file(file.path, kLargestTextFile, old, reason)) {
      say(file.path + ": cannot be read to see whether it holds other text: " + reason);
      return false;
    }
    if (std::equal(old.begin(), old.end(), file.bytes.begin(), file.bytes.end())) continue;
    differing.push_back(file.path);
  }
  if (!differing.empty()) {
    std::string names;
    for (std::size_t i = 0; i < differing.size(); ++i) {
      names += (i == 0 ? "" : i + 1 == differing.size() ? " and " : ", ") + differing[i];
    }
    say(names + (differing.size() == 1 ? " holds" : " hold") +
        " other text than this would write; nothing written: give --force to replace " +
        (differing.size() == 1 ? "it" : "them"));
    return false;
  }
  return write_outputs(changed, inputs);
}

}  // namespace talvo::cli
