// Pictures in memory and as PNG files. A PNG from outside (a translator's
// font sheet) is untrusted: its size is read from its header and held to
// limits before anything is decoded, and the decoder's every allocation is
// held to a ceiling, so a damaged or hostile file ends in a clear error.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace talvo::preview {

struct Rgba {
  std::uint8_t r = 0, g = 0, b = 0, a = 255;
  bool operator==(const Rgba&) const = default;
};

struct Image {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::vector<Rgba> pixels;  // row after row

  Image() = default;
  Image(std::uint32_t w, std::uint32_t h, Rgba fill) : width(w), height(h), pixels(std::size_t{w} * h, fill) {}
  Rgba& at(std::uint32_t x, std::uint32_t y) { return pixels[std::size_t{y} * width + x]; }
  const Rgba& at(std::uint32_t x, std::uint32_t y) const { return pixels[std::size_t{y} * width + x]; }
};

// What a PNG read may be: far beyond any font sheet (16 cells of 256 pixels
// are 4096 wide), far below what would strain memory.
inline constexpr std::uint32_t kMaxPngSide = 8192;
inline constexpr std::uint64_t kMaxPngPixels = std::uint64_t{8} << 20;

struct PngRead {
  Image image;
  std::string error;  // empty when the picture was read
};

// Reads a PNG of any colour type into RGBA.
PngRead read_png(std::span<const std::uint8_t> bytes);

// The PNG of an image, or nothing when it cannot be made (out of memory).
std::vector<std::uint8_t> write_png(const Image& image);

}  // namespace talvo::preview
