#include "input_files.h"

#include <cstring>

#include "program_texts.h"

namespace talvo {

bool select_input_file(const platform::FileFilter& filter, char* path, std::size_t capacity) {
  const platform::FileFilter filters[] = {filter, {texts::kAllFilesFilter, texts::kAllFilesPattern}};
  return platform::choose_file(filters, path, capacity);
}

platform::FileHandle open_selected_input(bool (*select)(char* path, std::size_t capacity), const char* initial_name,
                                         std::string* chosen) {
  char path[kPathCapacity];
  std::strncpy(path, initial_name, sizeof path - 1);
  path[sizeof path - 1] = '\0';
  if (!select(path, sizeof path)) {
    platform::message_box(texts::kNoFileText, texts::kNoFileCaption, platform::BoxStyle::IconError);
    return {};
  }
  if (chosen != nullptr) *chosen = path;
  const platform::FileHandle file = platform::open_existing_exclusive(path);
  if (!file.valid()) {
    platform::message_box(texts::kOpenFailedText, texts::kOpenFailedCaption, platform::BoxStyle::IconError);
  }
  return file;
}

}  // namespace talvo
