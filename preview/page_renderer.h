// One page of an entry drawn as the game's window shows it: tile after tile
// from the left (with widths, each code advancing by its own), lines one
// cell high under each other. A page wider or taller than the window is
// drawn in full, its background beyond the window tinted; glyph cells are
// copied as they are, pixel for pixel.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "entry_measure.h"
#include "font_sheet.h"
#include "png_image.h"
#include "unifont_hex.h"

namespace talvo::preview {

inline constexpr Rgba kWindowColour{0x18, 0x20, 0x50, 0xFF};
inline constexpr Rgba kBeyondColour{0x78, 0x1C, 0x2C, 0xFF};  // the background past the window's edge
inline constexpr Rgba kInkColour{0xF0, 0xF0, 0xF0, 0xFF};
inline constexpr Rgba kControlColour{0x90, 0x90, 0x90, 0xFF};  // a control that takes room
inline constexpr Rgba kMissingColour{0xFF, 0x00, 0xFF, 0xFF};  // a code the font cannot draw

// No picture is larger than this on a side: what lies beyond is cut.
inline constexpr std::uint32_t kMaxPictureSide = 8192;

// How codes are drawn: through the translator's font sheet, or in the
// stand-in font, each code's text (UTF-32, by code) squeezed into its tile.
struct Typeface {
  const FontSheet* sheet = nullptr;
  const StandInFont* stand_in = nullptr;
  const std::vector<std::u32string>* texts = nullptr;

  std::uint32_t tile_width() const { return sheet ? sheet->cell_width : 16; }
  std::uint32_t line_height() const { return sheet ? sheet->cell_height : StandInFont::kHeight; }
};

struct PagePicture {
  Image image;
  bool cut = false;  // larger than kMaxPictureSide, drawn in part
};

// Draws page `page` of the measured entry; `window` says whether the
// profile's window is drawn (without it the picture is the page's size).
PagePicture draw_page(std::span<const fit::Unit> units, const fit::EntryLayout& layout, const fit::MeasuredPage& page,
                      const fit::WindowProfile& profile, bool window, const Typeface& typeface);

}  // namespace talvo::preview
