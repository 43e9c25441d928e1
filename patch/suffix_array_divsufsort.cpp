#include <divsufsort.h>

#include <new>

#include "suffix_array.h"

namespace talvo::bps {

std::vector<std::int32_t> suffix_array(std::span<const std::uint8_t> text) {
  std::vector<std::int32_t> sa(text.size());
  if (text.empty()) return sa;
  // It fails only when it cannot allocate its buckets.
  if (divsufsort(text.data(), sa.data(), static_cast<saidx_t>(text.size())) != 0) throw std::bad_alloc();
  return sa;
}

}  // namespace talvo::bps
