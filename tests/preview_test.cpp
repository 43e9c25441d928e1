// Pictures of pages: PNG in and out (and hostile PNGs refused before they
// are decoded), font sheets, the stand-in font, pages read back cell by
// cell, and the index page.
#include <gtest/gtest.h>

#include <zlib.h>

#include "index_page.h"
#include "page_names.h"
#include "page_renderer.h"
#include "support/test_font_sheet.h"
#include "support/unit_notation.h"

namespace talvo {
namespace {

using namespace testing;
using preview::Image;
using preview::Rgba;

TEST(Png, WritesWhatItReadsBack) {
  Image image(5, 3, {});
  for (std::uint32_t i = 0; i < image.pixels.size(); ++i)
    image.pixels[i] = {static_cast<std::uint8_t>(i * 17), static_cast<std::uint8_t>(255 - i), 7,
                       static_cast<std::uint8_t>(i % 2 ? 255 : 128)};
  const std::vector<std::uint8_t> png = preview::write_png(image);
  const preview::PngRead read = preview::read_png(png);
  ASSERT_EQ(read.error, "");
  EXPECT_EQ(read.image.width, 5u);
  EXPECT_EQ(read.image.height, 3u);
  EXPECT_TRUE(read.image.pixels == image.pixels);
}

void put_big_endian(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
}

// A PNG whose header says `width` x `height`, its checksum right.
std::vector<std::uint8_t> declared(std::uint32_t width, std::uint32_t height) {
  std::vector<std::uint8_t> png = preview::write_png(Image(2, 2, {}));
  put_big_endian(png, 16, width);
  put_big_endian(png, 20, height);
  put_big_endian(png, 29, static_cast<std::uint32_t>(crc32(0, png.data() + 12, 17)));
  return png;
}

TEST(Png, RefusesWhatIsNoPictureItCanReadWithTheReason) {
  const std::vector<std::uint8_t> good = preview::write_png(test_font_sheet(8, 8, 2));
  struct Case {
    const char* what;
    std::vector<std::uint8_t> bytes;
    const char* error;  // the beginning of it
  };
  std::vector<Case> cases = {
      {"empty", {}, "not a PNG picture"},
      {"text", {'#', ' ', 'h', 'i', '\n'}, "not a PNG picture"},
      {"the signature alone", {good.begin(), good.begin() + 8}, "a damaged PNG: it lacks its header"},
      {"100000 x 100000 declared", declared(100000, 100000), "a PNG of 100000x100000 pixels, beyond what is read"},
      {"4096 x 4096 declared", declared(4096, 4096), "a PNG of 4096x4096 pixels, beyond what is read"},
      {"0 x 5 declared", declared(0, 5), "a PNG of 0x5 pixels"},
      {"a bigger size declared than its data holds", declared(64, 64), "a damaged or cut-short PNG"},
  };
  for (const std::size_t cut :
       {33u, 40u, 60u, static_cast<unsigned>(good.size() / 2), static_cast<unsigned>(good.size() - 13)})
    cases.push_back(
        {"cut short", {good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut)}, "a damaged or cut-short PNG"});
  std::vector<std::uint8_t> scrambled = good;
  for (std::size_t i = 41; i < scrambled.size() - 12; i += 3) scrambled[i] ^= 0x5A;
  cases.push_back({"scrambled data", scrambled, "a damaged or cut-short PNG"});
  for (const Case& c : cases) {
    const preview::PngRead read = preview::read_png(c.bytes);
    EXPECT_EQ(read.error.rfind(c.error, 0), 0u) << c.what << ": " << read.error;
    EXPECT_TRUE(read.image.pixels.empty()) << c.what;
  }
}

TEST(FontSheet, TakesSixteenCellsToARowAndWholeRows) {
  struct Case {
    std::uint32_t width, height, cell_width, cell_height;
    const char* error;  // "" for a sheet
  };
  const Case cases[] = {
      {128, 24, 8, 8, ""},
      {256, 16, 16, 16, ""},
      {250, 16, 16, 16, "the sheet is 250x16 pixels: 16 cells of 16 to a row take 256; is --cell right?"},
      {128, 20, 8, 8, "the sheet is 128x20 pixels: 20 is no whole number of rows of 8; is --cell right?"},
  };
  for (const Case& c : cases) {
    preview::FontSheet sheet;
    EXPECT_EQ(preview::make_font_sheet(Image(c.width, c.height, {}), c.cell_width, c.cell_height, 0x200, sheet),
              c.error);
  }
  preview::FontSheet sheet;
  ASSERT_EQ(preview::make_font_sheet(test_font_sheet(8, 8, 3), 8, 8, 0x200, sheet), "");
  EXPECT_EQ(sheet.cells(), 48u);
  EXPECT_FALSE(sheet.has(0x1FF));
  EXPECT_TRUE(sheet.has(0x200));
  EXPECT_TRUE(sheet.has(0x22F));
  EXPECT_FALSE(sheet.has(0x230));
  EXPECT_EQ(sheet.cell_x(0x211), 8u);
  EXPECT_EQ(sheet.cell_y(0x211), 8u);
}

// A sheet whose codes are the notation's letters (0x300 + the character).
preview::FontSheet letters_sheet() {
  preview::FontSheet sheet;
  EXPECT_EQ(preview::make_font_sheet(test_font_sheet(8, 12, 8), 8, 12, 0x300, sheet), "");
  return sheet;
}

struct Drawn {
  fit::EntryLayout layout;
  std::vector<preview::PagePicture> pages;
};

Drawn draw(const std::vector<fit::Unit>& us, const fit::WindowProfile& profile, const preview::Typeface& face,
           bool window = true) {
  Drawn drawn;
  fit::measure_entry(us, profile, drawn.layout);
  for (const fit::MeasuredPage& page : drawn.layout.pages)
    drawn.pages.push_back(preview::draw_page(us, drawn.layout, page, profile, window, face));
  return drawn;
}

fit::WindowProfile window(std::uint32_t width, std::uint32_t lines) {
  fit::WindowProfile profile;
  profile.width = width;
  profile.lines = lines;
  profile.add_page_code(kPageCode);
  return profile;
}

TEST(PagePicture, HoldsTheEntrysCodesCellByCellLineByLine) {
  const preview::FontSheet sheet = letters_sheet();
  const preview::Typeface face{&sheet, nullptr, nullptr};
  const char* entries[] = {"AB_CD|EFG/HI*J|K$", "ABCDEFGHIJ$", "A|B|C|D$", "$", "0123|456/789$"};
  for (const char* entry : entries) {
    const std::vector<fit::Unit> us = units(entry);
    const Drawn drawn = draw(us, window(4, 2), face);
    ASSERT_EQ(drawn.pages.size(), drawn.layout.pages.size());
    for (std::size_t p = 0; p < drawn.pages.size(); ++p) {
      const fit::MeasuredPage& page = drawn.layout.pages[p];
      const Image& picture = drawn.pages[p].image;
      for (std::uint32_t k = 0; k < page.line_count; ++k) {
        const fit::MeasuredLine& line = drawn.layout.lines[page.first_line + k];
        std::vector<std::uint16_t> expected, found;
        for (std::uint32_t i = line.begin; i < line.end; ++i) {
          if (fit::is_drawn(us[i].role)) expected.push_back(us[i].code == kSpaceCode ? 0 : us[i].code);
        }
        for (std::uint32_t x = 0; x < picture.width; x += sheet.cell_width) {
          const auto code = code_in_tile(picture, x, k * sheet.cell_height, sheet);
          // The space has no cell on this sheet: it is drawn as a missing one.
          if (code)
            found.push_back(*code);
          else if (x / sheet.cell_width < expected.size() && expected[x / sheet.cell_width] == 0)
            found.push_back(0);
        }
        EXPECT_EQ(found, expected) << entry << " page " << p + 1 << " line " << k + 1;
      }
    }
  }
}

TEST(PagePicture, DrawsWhatPassesTheWindowInFullWithTheBackgroundBeyondTinted) {
  const preview::FontSheet sheet = letters_sheet();
  const preview::Typeface face{&sheet, nullptr, nullptr};
  const Drawn drawn = draw(units("ABCDEF|G|H$"), window(4, 2), face);
  ASSERT_EQ(drawn.pages.size(), 1u);
  const Image& picture = drawn.pages[0].image;
  EXPECT_EQ(picture.width, 6u * 8);    // the widest line, past the window's 4 tiles
  EXPECT_EQ(picture.height, 3u * 12);  // three lines, past its two
  EXPECT_EQ(code_in_tile(picture, 5 * 8, 0, sheet), notation_unit('F', 0).code);  // cells as they are, past the edge
  EXPECT_TRUE(picture.at(20, 13) == preview::kWindowColour);                      // within: after "G"
  EXPECT_TRUE(picture.at(40, 13) == preview::kBeyondColour);                      // right of the window
  EXPECT_EQ(code_in_tile(picture, 0, 24, sheet), notation_unit('H', 0).code);     // the line too many, drawn
  EXPECT_TRUE(picture.at(10, 30) == preview::kBeyondColour);                      // below the window
  // A page that fits is the window's size.
  const Drawn small = draw(units("AB$"), window(4, 2), face);
  EXPECT_EQ(small.pages[0].image.width, 32u);
  EXPECT_EQ(small.pages[0].image.height, 24u);
  EXPECT_TRUE(small.pages[0].image.at(30, 20) == preview::kWindowColour);
  // Without a window, the page's own size, nothing tinted.
  const Drawn bare = draw(units("ABCDEF$"), window(4, 2), face, false);
  EXPECT_EQ(bare.pages[0].image.width, 48u);
  EXPECT_EQ(bare.pages[0].image.height, 12u);
}

TEST(PagePicture, WithWidthsEachCodeAdvancesByItsOwn) {
  const preview::FontSheet sheet = letters_sheet();
  const preview::Typeface face{&sheet, nullptr, nullptr};
  fit::WindowProfile profile = window(20, 1);
  fit::CodeWidths widths;
  widths.set(notation_unit('A', 0).code, 5);
  widths.set(notation_unit('B', 0).code, 8);
  widths.set(notation_unit('@', 0).code, 6);  // a name the game puts in
  profile.widths = widths;
  const Drawn drawn = draw(units("AB@A$"), profile, face);
  const Image& picture = drawn.pages[0].image;
  EXPECT_EQ(picture.width, 24u);  // 5 + 8 + 6 + 5 pixels
  const preview::Rgba a0 =
      sheet.image.at(sheet.cell_x(notation_unit('A', 0).code), sheet.cell_y(notation_unit('A', 0).code));
  EXPECT_TRUE(picture.at(0, 0) == a0);
  EXPECT_TRUE(picture.at(19, 0) == a0);  // the second A after 5 + 8 + 6
  EXPECT_EQ(code_in_tile(picture, 5, 0, sheet), notation_unit('B', 0).code);
  EXPECT_TRUE(picture.at(13, 1) == preview::kControlColour);  // the name's room, outlined
  EXPECT_TRUE(picture.at(4, 5) == sheet.image.at(sheet.cell_x(notation_unit('A', 0).code) + 4,
                                                 sheet.cell_y(notation_unit('A', 0).code) + 5));
}

TEST(StandInFont, ReadsUnifontsHexForm) {
  preview::StandInFont font;
  std::string error;
  ASSERT_TRUE(
      font.read("0041:0000000018242442427E424242420000\n"
                "3042:00000400020002C01F000480048007E00D101508220826082A10106000000000\r\n\n",
                error))
      << error;
  ASSERT_NE(font.glyph(U'A'), nullptr);
  EXPECT_EQ(font.glyph(U'A')->width, 8);
  EXPECT_EQ(font.glyph(U'A')->rows[4], 0x1800);
  ASSERT_NE(font.glyph(U'\u3042'), nullptr);
  EXPECT_EQ(font.glyph(U'\u3042')->width, 16);
  EXPECT_EQ(font.glyph(U'\u3042')->rows[1], 0x0400);
  EXPECT_EQ(font.glyph(U'B'), nullptr);
  for (const char* bad : {"0041\n", "0041:00\n", "00G1:0000000018242442427E424242420000\n",
                          ":0000000018242442427E424242420000\n", "0041:0000000018242442427E42424242000Z\n"}) {
    preview::StandInFont other;
    EXPECT_FALSE(other.read(bad, error)) << bad;
    EXPECT_EQ(error, "line 1 is not CODE:GLYPH") << bad;
  }
}

TEST(StandInFont, DrawsEachCodesTextInItsTileSqueezedWhereWider) {
  preview::StandInFont font;
  std::string error;
  ASSERT_TRUE(font.read("0041:FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF\n0042:00000000000000000000000000000000\n", error));
  std::vector<std::u32string> texts(0x60C);
  texts[notation_unit('A', 0).code] = U"A";    // 8 pixels of ink
  texts[notation_unit('B', 0).code] = U"AB";   // ink, then none
  texts[notation_unit('C', 0).code] = U"AAA";  // 24 pixels into 16
  const preview::Typeface face{nullptr, &font, &texts};
  const Drawn drawn = draw(units("ABC$"), window(3, 1), face);
  const Image& picture = drawn.pages[0].image;
  EXPECT_EQ(picture.width, 48u);
  EXPECT_TRUE(picture.at(7, 8) == preview::kInkColour);
  EXPECT_TRUE(picture.at(8, 8) == preview::kWindowColour);
  EXPECT_TRUE(picture.at(16 + 7, 8) == preview::kInkColour);
  EXPECT_TRUE(picture.at(16 + 8, 8) == preview::kWindowColour);
  for (std::uint32_t x = 32; x < 48; ++x) EXPECT_TRUE(picture.at(x, 8) == preview::kInkColour) << x;
}

TEST(IndexPage, ShowsEveryEntryItsTextAndPagesAndMarksWhatDoesNotFit) {
  std::vector<preview::IndexEntry> entries(2);
  entries[0] = {"msg",
                0x12,
                "<a & b>",
                std::string("\xE3\x81\x82"),
                {{preview::page_file_name("msg", 0x12, 1), 64, 48, {}, false}}};
  entries[1] = {
      "str",
      0x3BD,
      "X",
      {},
      {{preview::page_file_name("str", 0x3BD, 1), 64, 48, {"line is 19 tiles wide; the window holds 16"}, false},
       {preview::page_file_name("str", 0x3BD, 2), 64, 48, {}, true}}};
  const std::string html = preview::index_html(entries, "talvo preview: t.txt", "16x3 (tiles by lines)");
  for (const char* part :
       {"<!DOCTYPE html>", "<meta charset=\"utf-8\">", "id=\"msg-0012\"", "id=\"str-03BD\"", "&lt;a &amp; b&gt;",
        "<h3>original</h3><pre>\xE3\x81\x82</pre>", "src=\"msg-0012-1.png\"", "src=\"str-03BD-2.png\"",
        "<figure class=\"over\"><img src=\"str-03BD-1.png\"", "line is 19 tiles wide; the window holds 16",
        "drawn in part", "1 entry does not fit: <a href=\"#str-03BD\">str-03BD</a>"}) {
    EXPECT_NE(html.find(part), std::string::npos) << part;
  }
  EXPECT_EQ(html.find("<script"), std::string::npos);
  EXPECT_EQ(html.find("http"), std::string::npos);  // nothing from outside
  EXPECT_EQ(html.find("<a & b>"), std::string::npos);
}

}  // namespace
}  // namespace talvo
