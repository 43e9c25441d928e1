#include "rom_image.h"

#include <cstring>

#include "extractor_texts.h"
#include "program_texts.h"
#include "rom_layout.h"

namespace talvo {
namespace {

constexpr std::size_t kPathCapacity = 260;

// Reads the whole image once; a short read leaves the contents short, and the
// decoders then find their data missing.
void read_contents(RomImage& image, std::uint64_t size) {
  image.contents.resize(static_cast<std::size_t>(size));
  std::size_t delivered = 0;
  if (!platform::set_position(image.file, 0) ||
      !platform::read(image.file, image.contents.data(), image.contents.size(), delivered)) {
    delivered = 0;
  }
  image.contents.resize(delivered);
}

}  // namespace

bool select_rom_file(char* path, std::size_t capacity) {
  const platform::FileFilter filters[] = {
      {texts::kRomFilter, texts::kRomPattern},
      {texts::kAllFilesFilter, texts::kAllFilesPattern},
  };
  return platform::choose_file(filters, path, capacity);
}

bool open_rom_image(RomImage& image) {
  char path[kPathCapacity];
  std::strcpy(path, texts::kRomInitialName);
  if (!select_rom_file(path, sizeof path)) {
    platform::message_box(texts::kNoFileText, texts::kNoFileCaption, platform::BoxStyle::IconError);
    return false;
  }
  image.file = platform::open_existing_exclusive(path);
  if (!image.file.valid()) {
    platform::message_box(texts::kOpenFailedText, texts::kOpenFailedCaption, platform::BoxStyle::IconError);
    return false;
  }
  std::uint64_t size = 0;
  const auto header_offset = platform::file_size(image.file, size) ? rom::header_offset_for_size(size) : std::nullopt;
  if (!header_offset) {
    platform::message_box(texts::kNotTalvoText, texts::kBadSizeCaption, platform::BoxStyle::Ok);
    platform::close(image.file);
    return false;
  }
  image.header_offset = static_cast<std::int32_t>(*header_offset);
  read_contents(image, size);
  return true;
}

void close_rom_image(RomImage& image) {
  platform::close(image.file);
  image.contents.clear();
}

}  // namespace talvo
