// Memory for whole input files. On Linux, blocks of 2 MiB and more are
// aligned to the large-page size and advised to use large pages, so that the
// kernel maps them a few faults at a time; elsewhere it is plain memory.
#include <cstdlib>
#include <new>

#include "platform.h"

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace talvo::platform {
namespace {

#if defined(__linux__) && defined(MADV_HUGEPAGE)
constexpr std::size_t kLargePage = std::size_t{2} << 20;
constexpr bool use_large_pages(std::size_t bytes) { return bytes >= kLargePage; }
#else
constexpr bool use_large_pages(std::size_t) { return false; }
#endif

}  // namespace

void* allocate_file_memory(std::size_t bytes) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  if (use_large_pages(bytes)) {
    const std::size_t rounded = (bytes + kLargePage - 1) / kLargePage * kLargePage;
    void* memory = std::aligned_alloc(kLargePage, rounded);
    if (memory == nullptr) throw std::bad_alloc();
    madvise(memory, rounded, MADV_HUGEPAGE);  // only advice: small pages serve as well
    return memory;
  }
#endif
  return ::operator new(bytes);
}

void release_file_memory(void* memory, std::size_t bytes) {
  if (use_large_pages(bytes)) {
    std::free(memory);
  } else {
    ::operator delete(memory);
  }
}

}  // namespace talvo::platform
