// Memory for whole input files and gathered outputs. On Linux, blocks of
// 2 MiB and more are aligned to the large-page size and advised to use large
// pages, so that the kernel maps them a few faults at a time; blocks from
// 64 KiB are mapped with all their pages at once, since taking a fault for
// each 4 KiB page on first touch cost more than the work done on the page
// (a message file's bank and codes alone took a hundred faults). Elsewhere
// it is plain memory.
#include <cstdlib>
#include <new>

#include "file_memory.h"

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace talvo {
namespace {

enum class Kind { Plain, Populated, LargePages };

#if defined(__linux__) && defined(MADV_HUGEPAGE) && defined(MAP_POPULATE)
constexpr std::size_t kLargePage = std::size_t{2} << 20;
constexpr std::size_t kPopulated = std::size_t{64} << 10;
constexpr Kind kind_for(std::size_t bytes) {
  return bytes >= kLargePage ? Kind::LargePages : bytes >= kPopulated ? Kind::Populated : Kind::Plain;
}
#else
constexpr Kind kind_for(std::size_t) { return Kind::Plain; }
#endif

}  // namespace

void* allocate_file_memory(std::size_t bytes) {
#if defined(__linux__) && defined(MADV_HUGEPAGE) && defined(MAP_POPULATE)
  switch (kind_for(bytes)) {
    case Kind::LargePages: {
      const std::size_t rounded = (bytes + kLargePage - 1) / kLargePage * kLargePage;
      void* memory = std::aligned_alloc(kLargePage, rounded);
      if (memory == nullptr) throw std::bad_alloc();
      madvise(memory, rounded, MADV_HUGEPAGE);  // only advice: small pages serve as well
      return memory;
    }
    case Kind::Populated: {
      void* memory = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
      if (memory == MAP_FAILED) throw std::bad_alloc();
      return memory;
    }
    case Kind::Plain:
      break;
  }
#endif
  return ::operator new(bytes);
}

void release_file_memory(void* memory, std::size_t bytes) {
  switch (kind_for(bytes)) {
    case Kind::LargePages:
      std::free(memory);
      return;
    case Kind::Populated:
#if defined(__linux__)
      munmap(memory, bytes);
#endif
      return;
    case Kind::Plain:
      ::operator delete(memory);
      return;
  }
}

}  // namespace talvo
