#include "copier_header.h"

namespace talvo {

SplitImage split_copier_header(std::span<const std::uint8_t> image) {
  if (!has_copier_header(image.size())) return {{}, image};
  return {image.first(kCopierHeaderSize), image.subspan(kCopierHeaderSize)};
}

}  // namespace talvo
