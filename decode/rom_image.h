// The cartridge image the extractor works on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <span>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform.h"

namespace talvo {

// The image's memory: from the platform, which maps it quickly, and left
// uninitialised, since the image is read straight into it (zeroing six
// megabytes first cost a third of the Huffman walk's time).
template <typename T>
struct ImageAllocator {
  using value_type = T;
  ImageAllocator() = default;
  template <typename U>
  ImageAllocator(const ImageAllocator<U>&) noexcept {}

  T* allocate(std::size_t n) { return static_cast<T*>(platform::allocate_file_memory(n * sizeof(T))); }
  void deallocate(T* p, std::size_t n) noexcept { platform::release_file_memory(p, n * sizeof(T)); }

  template <typename U>
  void construct(U* p) noexcept(std::is_nothrow_default_constructible_v<U>) {
    ::new (static_cast<void*>(p)) U;
  }
  template <typename U, typename... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }

  template <typename U>
  bool operator==(const ImageAllocator<U>&) const noexcept {
    return true;
  }
};

// The open image: locked against other programs from its opening until the
// pass closes it. Its contents are read into memory once, after the size
// has been accepted, and the decoders read from there.
struct RomImage {
  platform::FileHandle file;
  std::int32_t header_offset = 0;  // 512 when a copier header precedes the cartridge data
  std::vector<std::uint8_t, ImageAllocator<std::uint8_t>> contents;  // as read, no more

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
