#include "rom_image.h"

#include "extractor_texts.h"
#include "input_files.h"
#include "rom_layout.h"

namespace talvo {
namespace {

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
  return select_input_file({texts::kRomFilter, texts::kRomPattern}, path, capacity);
}

bool open_rom_image(RomImage& image) {
  image.file = open_selected_input(select_rom_file, texts::kRomInitialName, &image.path);
  if (!image.file.valid()) return false;
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
