#include "page_renderer.h"

#include <algorithm>

namespace talvo::preview {
namespace {

class Canvas {
 public:
  explicit Canvas(Image& image) : image_(image) {}
  void put(std::uint64_t x, std::uint64_t y, Rgba colour) {
    if (x < image_.width && y < image_.height)
      image_.at(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y)) = colour;
  }
  void outline(std::uint64_t x, std::uint64_t y, std::uint32_t w, std::uint32_t h, Rgba colour) {
    if (w == 0 || h == 0) return;
    for (std::uint32_t i = 0; i < w; ++i) {
      put(x + i, y, colour);
      put(x + i, y + h - 1, colour);
    }
    for (std::uint32_t j = 0; j < h; ++j) {
      put(x, y + j, colour);
      put(x + w - 1, y + j, colour);
    }
  }

 private:
  Image& image_;
};

// The cell of `code`, its first `width` columns, at (x, y).
void copy_cell(Canvas& canvas, const FontSheet& sheet, std::uint16_t code, std::uint64_t x, std::uint64_t y,
               std::uint32_t width) {
  const std::uint32_t cx = sheet.cell_x(code), cy = sheet.cell_y(code);
  for (std::uint32_t j = 0; j < sheet.cell_height; ++j) {
    for (std::uint32_t i = 0; i < std::min(width, sheet.cell_width); ++i)
      canvas.put(x + i, y + j, sheet.image.at(cx + i, cy + j));
  }
}

// What stands for a code point the stand-in font lacks: an empty box.
bool empty_box(std::uint32_t column, std::uint32_t row) {
  const bool side = column == 1 || column == 6, top = row == 2 || row == 13;
  return (side && row >= 2 && row <= 13) || (top && column >= 1 && column <= 6);
}

// The code's text in the stand-in font, squeezed into `width` where wider.
void draw_text(Canvas& canvas, const StandInFont& font, const std::u32string& text, std::uint64_t x, std::uint64_t y,
               std::uint32_t width, Rgba ink) {
  std::vector<const StandInGlyph*> glyphs;
  std::uint32_t total = 0;
  for (char32_t c : text) {
    glyphs.push_back(font.glyph(c));
    total += glyphs.back() ? glyphs.back()->width : 8;
  }
  if (total == 0 || width == 0) return;
  const std::uint32_t drawn = std::min(total, width);
  for (std::uint32_t dx = 0; dx < drawn; ++dx) {
    // The column of the text this column of the tile shows.
    std::uint32_t column = static_cast<std::uint32_t>(std::uint64_t{dx} * total / drawn);
    std::size_t g = 0;
    while (g < glyphs.size() && column >= (glyphs[g] ? glyphs[g]->width : 8u)) {
      column -= glyphs[g] ? glyphs[g]->width : 8u;
      ++g;
    }
    if (g == glyphs.size()) break;
    for (std::uint32_t row = 0; row < StandInFont::kHeight; ++row) {
      if (glyphs[g] ? (glyphs[g]->rows[row] >> (15 - column) & 1) != 0 : empty_box(column, row))
        canvas.put(x + dx, y + row, ink);
    }
  }
}

}  // namespace

PagePicture draw_page(std::span<const fit::Unit> units, const fit::EntryLayout& layout, const fit::MeasuredPage& page,
                      const fit::WindowProfile& profile, bool window, const Typeface& typeface) {
  const std::uint32_t tile = typeface.tile_width(), line_height = typeface.line_height();
  const std::uint64_t scale = profile.in_pixels() ? 1 : tile;
  std::uint64_t content = 0;
  for (std::uint32_t k = page.first_line; k < page.first_line + page.line_count; ++k)
    content = std::max(content, layout.lines[k].width * scale);
  const std::uint64_t window_width = window ? profile.width * scale : 0;
  const std::uint64_t window_height = window ? std::uint64_t{profile.lines} * line_height : 0;
  const std::uint64_t width = std::max<std::uint64_t>({content, window_width, 1});
  const std::uint64_t height =
      std::max<std::uint64_t>({std::uint64_t{page.line_count} * line_height, window_height, 1});
  PagePicture picture;
  picture.cut = width > kMaxPictureSide || height > kMaxPictureSide;
  picture.image = Image(static_cast<std::uint32_t>(std::min<std::uint64_t>(width, kMaxPictureSide)),
                        static_cast<std::uint32_t>(std::min<std::uint64_t>(height, kMaxPictureSide)),
                        window ? kBeyondColour : kWindowColour);
  Image& image = picture.image;
  for (std::uint32_t y = 0; y < std::min<std::uint64_t>(window_height, image.height); ++y) {
    for (std::uint32_t x = 0; x < std::min<std::uint64_t>(window_width, image.width); ++x)
      image.at(x, y) = kWindowColour;
  }
  Canvas canvas(image);
  for (std::uint32_t k = 0; k < page.line_count; ++k) {
    const fit::MeasuredLine& line = layout.lines[page.first_line + k];
    const std::uint64_t y = std::uint64_t{k} * line_height;
    std::uint64_t x = 0;
    for (std::uint32_t i = line.begin; i < line.end && x < image.width && y < image.height; ++i) {
      const fit::Unit& unit = units[i];
      const auto advance = static_cast<std::uint32_t>(fit::unit_width(unit, profile).value_or(0) * scale);
      if (advance == 0) continue;
      if (!fit::is_drawn(unit.role)) {
        const std::uint32_t inset = line_height > 2 ? 1 : 0;
        canvas.outline(x, y + inset, advance, line_height - 2 * inset, kControlColour);
      } else if (typeface.sheet) {
        if (typeface.sheet->has(unit.code))
          copy_cell(canvas, *typeface.sheet, unit.code, x, y, advance);
        else
          canvas.outline(x, y, advance, line_height, kMissingColour);
      } else if (typeface.stand_in && typeface.texts && unit.code < typeface.texts->size()) {
        draw_text(canvas, *typeface.stand_in, (*typeface.texts)[unit.code], x, y, advance, kInkColour);
      }
      x += advance;
    }
  }
  return picture;
}

}  // namespace talvo::preview
