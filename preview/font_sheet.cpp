#include "font_sheet.h"

namespace talvo::preview {

std::string make_font_sheet(Image image, std::uint32_t cell_width, std::uint32_t cell_height, std::uint16_t first_code,
                            FontSheet& sheet) {
  const std::string size = std::to_string(image.width) + "x" + std::to_string(image.height);
  if (cell_width == 0 || cell_height == 0) return "a cell is at least one pixel each way";
  if (image.width != kCellsPerRow * cell_width) {
    return "the sheet is " + size + " pixels: 16 cells of " + std::to_string(cell_width) + " to a row take " +
           std::to_string(kCellsPerRow * cell_width) + "; is --cell right?";
  }
  if (image.height % cell_height != 0) {
    return "the sheet is " + size + " pixels: " + std::to_string(image.height) + " is no whole number of rows of " +
           std::to_string(cell_height) + "; is --cell right?";
  }
  sheet.image = std::move(image);
  sheet.cell_width = cell_width;
  sheet.cell_height = cell_height;
  sheet.first_code = first_code;
  return {};
}

}  // namespace talvo::preview
