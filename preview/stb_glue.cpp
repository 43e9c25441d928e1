// The one place the stb headers are compiled, PNG alone, without stdio.
#include "stb_glue.h"

#include <zlib.h>

#include <cstdlib>
#include <cstring>

namespace {

// No single allocation of the decoder passes this: the largest picture read
// is 32 MiB of RGBA, 64 MiB at 16 bits a channel, so a compressed stream that
// claims to unpack into more (a deflate bomb) fails as out of memory.
constexpr std::size_t kAllocationCeiling = std::size_t{80} << 20;

void* bounded_malloc(std::size_t size) { return size > kAllocationCeiling ? nullptr : std::malloc(size); }
void* bounded_realloc(void* p, std::size_t size) { return size > kAllocationCeiling ? nullptr : std::realloc(p, size); }

// stb_image_write's compressor hook: zlib's, much faster than its own.
unsigned char* zlib_compress(unsigned char* data, int length, int* out_length, int /*quality*/) {
  uLongf size = compressBound(static_cast<uLong>(length));
  auto* out = static_cast<unsigned char*>(std::malloc(size));
  if (out == nullptr) return nullptr;
  if (compress2(out, &size, data, static_cast<uLong>(length), 6) != Z_OK) {
    std::free(out);
    return nullptr;
  }
  *out_length = static_cast<int>(size);
  return out;
}

}  // namespace

#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_MAX_DIMENSIONS 8192
#define STBI_MALLOC(size) bounded_malloc(size)
#define STBI_REALLOC(p, size) bounded_realloc(p, size)
#define STBI_FREE(p) std::free(p)
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>

#define STBI_WRITE_NO_STDIO
#define STBIW_ZLIB_COMPRESS zlib_compress
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

namespace talvo::preview::stb_glue {

std::vector<std::uint8_t> decode_rgba(std::span<const std::uint8_t> png, std::uint32_t width, std::uint32_t height,
                                      std::string& reason) {
  if (png.size() > static_cast<std::size_t>(INT32_MAX)) {
    reason = "too large";
    return {};
  }
  int w = 0, h = 0, channels = 0;
  stbi_uc* pixels = stbi_load_from_memory(png.data(), static_cast<int>(png.size()), &w, &h, &channels, 4);
  if (pixels == nullptr) {
    reason = stbi_failure_reason() != nullptr ? stbi_failure_reason() : "unknown";
    return {};
  }
  std::vector<std::uint8_t> out;
  if (static_cast<std::uint32_t>(w) == width && static_cast<std::uint32_t>(h) == height) {
    out.assign(pixels, pixels + std::size_t{width} * height * 4);
  } else {
    reason = "its size is not the one its header gives";
  }
  stbi_image_free(pixels);
  return out;
}

std::vector<std::uint8_t> encode_rgba(const std::uint8_t* rgba, std::uint32_t width, std::uint32_t height) {
  std::vector<std::uint8_t> out;
  const auto append = [](void* context, void* data, int size) {
    auto* bytes = static_cast<std::uint8_t*>(data);
    static_cast<std::vector<std::uint8_t>*>(context)->insert(static_cast<std::vector<std::uint8_t>*>(context)->end(),
                                                             bytes, bytes + size);
  };
  if (stbi_write_png_to_func(append, &out, static_cast<int>(width), static_cast<int>(height), 4, rgba,
                             static_cast<int>(width * 4)) == 0)
    out.clear();
  return out;
}

}  // namespace talvo::preview::stb_glue
