#include <cstdio>

#include "commands.h"
#include "platform.h"

namespace talvo::cli {

void say(const std::string& message) { std::fprintf(stderr, "talvo: %s\n", message.c_str()); }

std::string in_folder(const std::string& folder, const std::string& name) {
  if (folder.empty() || folder == ".") return name;
  return folder.back() == '/' ? folder + name : folder + "/" + name;
}

std::optional<std::string> unsafe_outputs(const std::vector<NamedPath>& outputs, const std::vector<NamedPath>& inputs) {
  for (std::size_t i = 0; i < outputs.size(); ++i) {
    const NamedPath& out = outputs[i];
    if (out.path.empty()) continue;
    for (const NamedPath& in : inputs) {
      if (!in.path.empty() && platform::same_file(out.path, in.path)) {
        return out.path + ": would replace " + (in.called.empty() ? "the input " + in.path : in.called) +
               "; name another file";
      }
    }
    for (std::size_t j = 0; j < i; ++j) {
      if (!outputs[j].path.empty() && platform::same_destination(outputs[j].path, out.path)) {
        return out.path + ": " + outputs[j].called + " and " + out.called +
               " name one file, which would hold only the last; name two files";
      }
    }
  }
  return std::nullopt;
}

bool outputs_are_safe(const std::vector<NamedPath>& outputs, const std::vector<NamedPath>& inputs) {
  const std::optional<std::string> problem = unsafe_outputs(outputs, inputs);
  if (problem) say(*problem);
  return !problem;
}

std::optional<std::string> write_outputs_or_reason(const std::vector<OutputFile>& files,
                                                   const std::vector<std::string>& inputs) {
  for (const OutputFile& file : files) {
    for (const std::string& input : inputs) {
      if (platform::same_file(file.path, input)) {
        return file.path + ": would replace the input " + input + "; name another file";
      }
    }
  }
  std::vector<platform::PendingFile> pending(files.size());
  std::string reason;
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (!platform::write_pending_file(files[i].path, files[i].bytes, pending[i], reason)) {
      for (std::size_t j = 0; j < i; ++j) platform::discard_file(pending[j]);
      return files[i].path + ": cannot be written: " + reason;
    }
  }
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (!platform::commit_file(pending[i], reason)) {
      for (std::size_t j = i + 1; j < files.size(); ++j) platform::discard_file(pending[j]);
      return files[i].path + ": cannot be written: " + reason;
    }
  }
  return std::nullopt;
}

bool write_outputs(const std::vector<OutputFile>& files, const std::vector<std::string>& inputs) {
  const std::optional<std::string> problem = write_outputs_or_reason(files, inputs);
  if (problem) say(*problem);
  return !problem;
}

}  // namespace talvo::cli
