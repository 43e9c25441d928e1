// The stand-in font: GNU Unifont's glyphs in its .hex form, a line for each
// code point, "XXXX:" and 32 hexadecimal digits for an 8x16 glyph or 64 for
// a 16x16 one, row after row from the top, the leftmost pixel the highest bit.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace talvo::preview {

struct StandInGlyph {
  std::uint8_t width = 0;                // 8 or 16
  std::array<std::uint16_t, 16> rows{};  // bit 15 the leftmost pixel
};

class StandInFont {
 public:
  static constexpr std::uint32_t kHeight = 16;

  // Reads the .hex text; false, with the line, when a line is not of the form.
  bool read(std::string_view hex, std::string& error);
  // The glyph of a code point of the Basic Multilingual Plane, or null.
  const StandInGlyph* glyph(char32_t code_point) const {
    if (code_point >= index_.size() || index_[code_point] < 0) return nullptr;
    return &glyphs_[static_cast<std::size_t>(index_[code_point])];
  }

 private:
  std::vector<StandInGlyph> glyphs_;
  std::vector<std::int32_t> index_;
};

}  // namespace talvo::preview
