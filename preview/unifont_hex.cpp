#include "unifont_hex.h"

namespace talvo::preview {
namespace {

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool read_glyph(std::string_view digits, StandInGlyph& glyph) {
  if (digits.size() != 32 && digits.size() != 64) return false;
  const std::size_t per_row = digits.size() / 16;  // 2 or 4 digits
  glyph.width = static_cast<std::uint8_t>(per_row * 4);
  for (std::size_t row = 0; row < 16; ++row) {
    unsigned bits = 0;
    for (std::size_t d = 0; d < per_row; ++d) {
      const int digit = hex_digit(digits[row * per_row + d]);
      if (digit < 0) return false;
      bits = bits << 4 | static_cast<unsigned>(digit);
    }
    glyph.rows[row] = static_cast<std::uint16_t>(per_row == 2 ? bits << 8 : bits);
  }
  return true;
}

}  // namespace

bool StandInFont::read(std::string_view hex, std::string& error) {
  glyphs_.clear();
  index_.assign(0x10000, -1);
  std::size_t number = 0;
  while (!hex.empty()) {
    ++number;
    const std::size_t feed = hex.find('\n');
    std::string_view line = hex.substr(0, feed);
    hex.remove_prefix(feed == std::string_view::npos ? hex.size() : feed + 1);
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (line.empty()) continue;
    const std::size_t colon = line.find(':');
    unsigned code_point = 0;
    bool good = colon != std::string_view::npos && colon >= 4 && colon <= 6;
    for (std::size_t i = 0; good && i < colon; ++i) {
      good = hex_digit(line[i]) >= 0;
      code_point = code_point << 4 | static_cast<unsigned>(hex_digit(line[i]));
    }
    StandInGlyph glyph;
    if (!good || !read_glyph(line.substr(colon + 1), glyph)) {
      error = "line " + std::to_string(number) + " is not CODE:GLYPH";
      return false;
    }
    if (code_point >= index_.size()) continue;  // beyond the plane the game's characters are in
    index_[code_point] = static_cast<std::int32_t>(glyphs_.size());
    glyphs_.push_back(glyph);
  }
  return true;
}

}  // namespace talvo::preview
