// A cartridge image read whole for the command line, recognised by its size
// as the extractor recognises it.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "file_memory.h"
#include "rom_layout.h"

namespace talvo::cli {

struct ImageFile {
  FileBytes bytes;                  // as read, copier header included
  std::uint32_t header_offset = 0;  // 512 with a copier header

  std::span<const std::uint8_t> cartridge() const { return std::span(bytes).subspan(header_offset); }
};

// Reads and recognises the image; false after saying why it cannot be used.
bool read_image(const std::string& path, ImageFile& image);

// The same, with why it cannot be used in `problem` ("PATH: reason"), unsaid.
bool read_image(const std::string& path, ImageFile& image, std::string& problem);

}  // namespace talvo::cli
