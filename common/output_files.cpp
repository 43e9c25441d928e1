#include "output_files.h"

#include <string>

#include "program_texts.h"

namespace talvo {
namespace {

void report(const char* text, const char* name) {
  const std::string message = std::string(text) + name;
  platform::message_box(message.c_str(), texts::kErrorCaption, platform::BoxStyle::IconError);
}

}  // namespace

platform::FileHandle create_output_file(const char* name) {
  const platform::FileHandle file = platform::create_always(name);
  if (!file.valid()) report(texts::kCannotCreateText, name);
  return file;
}

void report_write_failure(const char* name) { report(texts::kWriteFailedText, name); }

}  // namespace talvo
