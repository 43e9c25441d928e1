// The 512-byte header that copier devices put in front of a cartridge image.
// Patches are made between cartridge data alone, so a caller strips such a
// header before patching and puts it back in front of the result.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace talvo {

inline constexpr std::size_t kCopierHeaderSize = 512;

// Cartridge data comes in whole kilobytes; a file 512 bytes past a multiple
// of 1024 carries a copier header, as the established patchers decide.
constexpr bool has_copier_header(std::size_t file_size) { return file_size % 1024 == kCopierHeaderSize; }

struct SplitImage {
  std::span<const std::uint8_t> copier_header;  // empty when the file has none
  std::span<const std::uint8_t> cartridge;
};

// The image file's copier header, if it has one, and the cartridge data.
SplitImage split_copier_header(std::span<const std::uint8_t> image);

}  // namespace talvo
