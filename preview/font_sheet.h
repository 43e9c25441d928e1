// A translator's font sheet: a picture of cells CW x CH, 16 to a row, cell i
// holding the glyph of code first-code + i, as the game's tiles hold it.
#pragma once

#include <cstdint>
#include <string>

#include "png_image.h"

namespace talvo::preview {

inline constexpr std::uint32_t kCellsPerRow = 16;

struct FontSheet {
  Image image;
  std::uint32_t cell_width = 0;
  std::uint32_t cell_height = 0;
  std::uint16_t first_code = 0;

  std::uint32_t cells() const { return cell_height == 0 ? 0 : kCellsPerRow * (image.height / cell_height); }
  bool has(std::uint16_t code) const { return code >= first_code && cell(code) < cells(); }
  // The top-left pixel of a code's cell; the code must be on the sheet.
  std::uint32_t cell_x(std::uint16_t code) const { return cell(code) % kCellsPerRow * cell_width; }
  std::uint32_t cell_y(std::uint16_t code) const { return cell(code) / kCellsPerRow * cell_height; }
  std::uint32_t cell(std::uint16_t code) const { return std::uint32_t{code} - first_code; }
};

// The sheet in `image`, or the reason it cannot be one: its width must be
// 16 cells, its height whole rows of cells.
std::string make_font_sheet(Image image, std::uint32_t cell_width, std::uint32_t cell_height, std::uint16_t first_code,
                            FontSheet& sheet);

}  // namespace talvo::preview
