// A font sheet for the preview tests whose cells all differ, and the way to
// read a code back from a drawn tile: pixel (x, y) of cell i is red i's low
// byte, green its high byte, blue x * 16 + y (cells up to 16x16).
#pragma once

#include <cstdint>
#include <optional>

#include "font_sheet.h"
#include "png_image.h"

namespace talvo::testing {

inline preview::Image test_font_sheet(std::uint32_t cell_width, std::uint32_t cell_height, std::uint32_t rows) {
  preview::Image image(16 * cell_width, rows * cell_height, {});
  for (std::uint32_t y = 0; y < image.height; ++y) {
    for (std::uint32_t x = 0; x < image.width; ++x) {
      const std::uint32_t cell = y / cell_height * 16 + x / cell_width;
      image.at(x, y) = {static_cast<std::uint8_t>(cell & 0xFF), static_cast<std::uint8_t>(cell >> 8),
                        static_cast<std::uint8_t>(x % cell_width * 16 + y % cell_height), 0xFF};
    }
  }
  return image;
}

// The code whose cell fills the tile at (x, y) of a picture, pixel for
// pixel, or nothing when the tile holds no whole cell of the sheet.
inline std::optional<std::uint16_t> code_in_tile(const preview::Image& picture, std::uint32_t x, std::uint32_t y,
                                                 const preview::FontSheet& sheet) {
  if (x + sheet.cell_width > picture.width || y + sheet.cell_height > picture.height) return std::nullopt;
  const preview::Rgba corner = picture.at(x, y);
  const auto code = static_cast<std::uint16_t>(sheet.first_code + (corner.r | corner.g << 8));
  if (corner.b != 0 || !sheet.has(code)) return std::nullopt;
  for (std::uint32_t j = 0; j < sheet.cell_height; ++j) {
    for (std::uint32_t i = 0; i < sheet.cell_width; ++i) {
      if (!(picture.at(x + i, y + j) == sheet.image.at(sheet.cell_x(code) + i, sheet.cell_y(code) + j)))
        return std::nullopt;
    }
  }
  return code;
}

}  // namespace talvo::testing
