#include "png_image.h"

#include <cstring>

#include "stb_glue.h"

namespace talvo::preview {
namespace {

constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

std::uint32_t big_endian(const std::uint8_t* p) {
  return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | std::uint32_t{p[3]};
}

// The picture without its empty data chunks, which hold nothing of it: the
// decoder would copy their nothing from a null pointer. The bytes as they
// are when there is none (the walk stops where the chunks run out).
std::vector<std::uint8_t> without_empty_data(std::span<const std::uint8_t> png) {
  std::vector<std::uint8_t> out;
  std::size_t at = sizeof kSignature, kept = 0;
  while (png.size() - at >= 12) {
    const std::uint32_t length = big_endian(png.data() + at);
    if (length > png.size() - at - 12) break;
    if (length == 0 && std::memcmp(png.data() + at + 4, "IDAT", 4) == 0) {
      out.insert(out.end(), png.begin() + static_cast<std::ptrdiff_t>(kept),
                 png.begin() + static_cast<std::ptrdiff_t>(at));
      kept = at + 12;
    }
    at += std::size_t{length} + 12;
  }
  if (kept == 0) return {};
  out.insert(out.end(), png.begin() + static_cast<std::ptrdiff_t>(kept), png.end());
  return out;
}

}  // namespace

PngRead read_png(std::span<const std::uint8_t> bytes) {
  PngRead read;
  if (bytes.size() < sizeof kSignature || std::memcmp(bytes.data(), kSignature, sizeof kSignature) != 0) {
    read.error = "not a PNG picture";
    return read;
  }
  // The signature, then the IHDR chunk: its length, its name, width, height.
  if (bytes.size() < 24 || std::memcmp(bytes.data() + 12, "IHDR", 4) != 0) {
    read.error = "a damaged PNG: it lacks its header";
    return read;
  }
  const std::uint32_t width = big_endian(bytes.data() + 16);
  const std::uint32_t height = big_endian(bytes.data() + 20);
  if (width == 0 || height == 0 || width > kMaxPngSide || height > kMaxPngSide ||
      std::uint64_t{width} * height > kMaxPngPixels) {
    read.error = "a PNG of " + std::to_string(width) + "x" + std::to_string(height) +
                 " pixels, beyond what is read (at most " + std::to_string(kMaxPngSide) + " on a side and " +
                 std::to_string(kMaxPngPixels) + " pixels)";
    return read;
  }
  std::string reason;
  const std::vector<std::uint8_t> cleaned = without_empty_data(bytes);
  std::vector<std::uint8_t> rgba =
      stb_glue::decode_rgba(cleaned.empty() ? bytes : std::span<const std::uint8_t>(cleaned), width, height, reason);
  if (rgba.empty()) {
    read.error = "a damaged or cut-short PNG (" + reason + ")";
    return read;
  }
  read.image.width = width;
  read.image.height = height;
  read.image.pixels.resize(std::size_t{width} * height);
  std::memcpy(read.image.pixels.data(), rgba.data(), rgba.size());
  return read;
}

std::vector<std::uint8_t> write_png(const Image& image) {
  static_assert(sizeof(Rgba) == 4);
  return stb_glue::encode_rgba(reinterpret_cast<const std::uint8_t*>(image.pixels.data()), image.width, image.height);
}

}  // namespace talvo::preview
