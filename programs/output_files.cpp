#include "output_files.h"

#include <string>

#include "program_texts.h"

namespace talvo {
namespace {

bool write_block(void* file, const char* data, std::size_t size) {
  return platform::write(*static_cast<platform::FileHandle*>(file), data, size);
}

void report(const char* text, const char* name) {
  const std::string message = std::string(text) + name;
  platform::message_box(message.c_str(), texts::kErrorCaption, platform::BoxStyle::IconError);
}

}  // namespace

BufferedOutput file_output(platform::FileHandle& file) { return BufferedOutput(write_block, &file); }

platform::FileHandle create_output_file(const char* name) {
  const platform::FileHandle file = platform::create_always(name);
  if (!file.valid()) report(texts::kCannotCreateText, name);
  return file;
}

void report_write_failure(const char* name) { report(texts::kWriteFailedText, name); }

}  // namespace talvo
