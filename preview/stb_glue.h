// The PNG codec behind png_image.h (stb_image and stb_image_write), with its
// allocations held to a ceiling and zlib doing the compression.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace talvo::preview::stb_glue {

// The picture as RGBA bytes, which must be `width` x `height` as its header
// says; empty with the decoder's reason when it cannot be decoded.
std::vector<std::uint8_t> decode_rgba(std::span<const std::uint8_t> png, std::uint32_t width, std::uint32_t height,
                                      std::string& reason);

std::vector<std::uint8_t> encode_rgba(const std::uint8_t* rgba, std::uint32_t width, std::uint32_t height);

}  // namespace talvo::preview::stb_glue
