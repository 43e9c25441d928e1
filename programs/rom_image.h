// The cartridge image the extractor works on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "file_memory.h"
#include "platform.h"

namespace talvo {

// The open image: locked against other programs from its opening until the
// pass closes it. Its contents are read into memory once, after the size
// has been accepted, and the decoders read from there.
struct RomImage {
  platform::FileHandle file;
  std::string path;                // as chosen in the dialog
  std::int32_t header_offset = 0;  // 512 when a copier header precedes the cartridge data
  FileBytes contents;              // as read, no more

  // The cartridge data without the copier header: ROM offset r is index r.
  // Shorter than expected only when the file shrank while it was read.
  std::span<const std::uint8_t> cartridge() const {
    const auto skip = static_cast<std::size_t>(header_offset);
    if (contents.size() <= skip) return {};
    return std::span<const std::uint8_t>(contents).subspan(skip);
  }
};

// The file-open dialog for an image; `path` holds the initial file-name text.
bool select_rom_file(char* path, std::size_t capacity);

// Selects, opens and validates the image; on failure it has told the user
// why and left nothing open.
bool open_rom_image(RomImage& image);

void close_rom_image(RomImage& image);

}  // namespace talvo
