// Any bytes as a translator's font sheet: the first two bytes choose the
// size of a cell, the rest is the picture. It is refused with a reason, or
// read within the limits, made a sheet, and drawn from: a page of every code
// the sheet holds and one it lacks, whose picture is the size its lines say.
#include <algorithm>
#include <cstdint>
#include <span>

#include "font_sheet.h"
#include "fuzz_check.h"
#include "page_renderer.h"
#include "png_image.h"

namespace {

using namespace talvo;

void draw_from(const preview::FontSheet& sheet) {
  std::vector<fit::Unit> units;
  const std::uint32_t codes = std::min<std::uint32_t>(sheet.cells() + 1, 300);
  for (std::uint32_t i = 0; i < codes; ++i) {
    units.push_back({static_cast<std::uint16_t>(0x200 + i), fit::UnitRole::Glyph, i, i});
    if (i % 8 == 7) units.push_back({0x0AD, fit::UnitRole::LineBreak, i, i});
  }
  units.push_back({0x0AC, fit::UnitRole::End, codes, codes});
  fit::WindowProfile profile;
  profile.width = 6;
  profile.lines = 3;
  fit::EntryLayout layout;
  fit::measure_entry(units, profile, layout);
  const preview::Typeface face{&sheet, nullptr, nullptr};
  for (const fit::MeasuredPage& page : layout.pages) {
    const preview::PagePicture picture = preview::draw_page(units, layout, page, profile, true, face);
    std::uint64_t widest = 0;
    for (std::uint32_t k = page.first_line; k < page.first_line + page.line_count; ++k)
      widest = std::max<std::uint64_t>(widest, layout.lines[k].width);
    const std::uint64_t width = std::max<std::uint64_t>(widest, profile.width) * sheet.cell_width;
    FUZZ_CHECK(picture.image.width == std::min<std::uint64_t>(width, preview::kMaxPictureSide));
    FUZZ_CHECK(picture.image.pixels.size() == std::size_t{picture.image.width} * picture.image.height);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::uint32_t cell_width = 1 + data[0] % 32, cell_height = 1 + data[1] % 32;
  preview::PngRead read = preview::read_png(std::span(data + 2, size - 2));
  if (!read.error.empty()) {
    FUZZ_CHECK(read.image.pixels.empty());
    return 0;
  }
  const preview::Image& image = read.image;
  FUZZ_CHECK(image.width > 0 && image.height > 0 && image.width <= preview::kMaxPngSide &&
             image.height <= preview::kMaxPngSide);
  FUZZ_CHECK(image.pixels.size() == std::size_t{image.width} * image.height);
  FUZZ_CHECK(image.pixels.size() <= preview::kMaxPngPixels);
  // What is read writes and reads back the same.
  const preview::PngRead again = preview::read_png(preview::write_png(image));
  FUZZ_CHECK(again.error.empty() && again.image.pixels == image.pixels);
  preview::FontSheet sheet;
  if (preview::make_font_sheet(std::move(read.image), cell_width, cell_height, 0x200, sheet).empty()) draw_from(sheet);
  return 0;
}
