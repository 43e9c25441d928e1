#include <cstdio>

#include "commands.h"
#include "platform.h"

namespace talvo::cli {

void say(const std::string& message) { std::fprintf(stderr, "talvo: %s\n", message.c_str()); }

std::string in_folder(const std::string& folder, const std::string& name) {
  if (folder.empty() || folder == ".") return name;
  return folder.back() == '/' ? folder + name : folder + "/" + name;
}

bool write_outputs(const std::vector<OutputFile>& files, const std::vector<std::string>& inputs) {
  for (const OutputFile& file : files) {
    for (const std::string& input : inputs) {
      if (platform::same_file(file.path, input)) {
        say(file.path + ": would replace the input " + input + "; name another file");
        return false;
      }
    }
  }
  std::vector<platform::PendingFile> pending(files.size());
  std::string reason;
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (!platform::write_pending_file(files[i].path, files[i].bytes, pending[i], reason)) {
      say(files[i].path + ": cannot be written: " + reason);
      for (std::size_t j = 0; j < i; ++j) platform::discard_file(pending[j]);
      return false;
    }
  }
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (!platform::commit_file(pending[i], reason)) {
      say(files[i].path + ": cannot be written: " + reason);
      for (std::size_t j = i + 1; j < files.size(); ++j) platform::discard_file(pending[j]);
      return false;
    }
  }
  return true;
}

}  // namespace talvo::cli
