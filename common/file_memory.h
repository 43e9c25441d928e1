// Memory for whole files, images and gathered texts: from the system, which
// maps large blocks a few faults at a time (large pages on Linux, and
// mid-sized blocks mapped whole at once), and left uninitialised, since a
// file is read straight into it. Six megabytes in
// ordinary pages cost thousands of page faults, more than the work done on
// them (zeroing them first cost a third of the Huffman walk's time).
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace talvo {

// Memory for a whole file read in at once, released with the same size.
// Where the system has large pages it asks for them, and maps mid-sized
// blocks with all their pages: faulting six megabytes in four kilobytes at a
// time cost the extractor more than all its decoding.
// Throws std::bad_alloc when there is none.
void* allocate_file_memory(std::size_t bytes);
void release_file_memory(void* memory, std::size_t bytes);

template <typename T>
struct FileMemoryAllocator {
  using value_type = T;
  FileMemoryAllocator() = default;
  template <typename U>
  FileMemoryAllocator(const FileMemoryAllocator<U>&) noexcept {}

  T* allocate(std::size_t n) { return static_cast<T*>(allocate_file_memory(n * sizeof(T))); }
  void deallocate(T* p, std::size_t n) noexcept { release_file_memory(p, n * sizeof(T)); }

  template <typename U>
  void construct(U* p) noexcept(std::is_nothrow_default_constructible_v<U>) {
    ::new (static_cast<void*>(p)) U;
  }
  template <typename U, typename... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }

  template <typename U>
  bool operator==(const FileMemoryAllocator<U>&) const noexcept {
    return true;
  }
};

// The bytes of a whole file or image.
using FileBytes = std::vector<std::uint8_t, FileMemoryAllocator<std::uint8_t>>;
// A whole text or bank gathered in memory.
using GatheredText = std::basic_string<char, std::char_traits<char>, FileMemoryAllocator<char>>;

}  // namespace talvo
