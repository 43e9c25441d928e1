// The game's window as a translator describes it: so many tiles (or pixels)
// to a line and lines to a page, the codes after which a page turns, the
// code written between lines, and, in pixels, every code's width.
#pragma once

#include <bitset>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "entry_units.h"

namespace talvo::fit {

// Codes up to the message table's last, 0x60B; byte codes are among them.
inline constexpr std::size_t kCodeSpace = 0x60C;

// The most a window may hold: far beyond any screen, small enough that no
// picture of a page grows past memory.
inline constexpr std::uint32_t kMaxWindowWidth = 4096;  // tiles or pixels
inline constexpr std::uint32_t kMaxWindowLines = 256;
inline constexpr std::uint32_t kMaxCodeWidth = 1024;  // pixels

struct WindowSize {
  std::uint32_t width = 0;
  std::uint32_t lines = 0;
};

// "16x3": W and H, each from 1 to its limit; nothing for anything else.
std::optional<WindowSize> parse_window_size(std::string_view text);

// Widths in pixels by code, as a widths file gives them.
class CodeWidths {
 public:
  CodeWidths() : widths_(kCodeSpace, kNone) {}
  std::optional<std::uint32_t> of(std::uint16_t code) const {
    if (code >= widths_.size() || widths_[code] == kNone) return std::nullopt;
    return static_cast<std::uint32_t>(widths_[code]);
  }
  void set(std::uint16_t code, std::uint32_t pixels) { widths_[code] = static_cast<std::int32_t>(pixels); }

  std::string file;  // its name, for messages

 private:
  static constexpr std::int32_t kNone = -1;
  std::vector<std::int32_t> widths_;
};

struct WidthsRead {
  CodeWidths widths;
  std::string error;  // "FILE:LINE: ...", empty when the file was read
};

// A widths file: lines HEX=PIXELS (1 to 4 hexadecimal digits up to 0x60B,
// decimal pixels up to kMaxCodeWidth), blanks around them, "#" to the end
// of a line a comment, blank lines, LF or CR LF, a UTF-8 byte-order mark.
// A code given twice is an error.
WidthsRead read_widths(std::string_view text, const std::string& file_name);

struct WindowProfile {
  std::uint32_t width = 0;  // tiles to a line, or pixels with `widths`
  std::uint32_t lines = 0;  // lines to a page
  std::optional<CodeWidths> widths;
  std::vector<std::uint16_t> page_codes;  // a new page begins after each; the first is what wrap writes
  std::uint16_t line_code = 0x0AD;        // what wrap writes between lines

  bool in_pixels() const { return widths.has_value(); }
  void add_page_code(std::uint16_t code) {
    page_codes.push_back(code);
    if (code < kCodeSpace) page_code_set.set(code);
  }
  bool is_page_code(std::uint16_t code) const { return code < kCodeSpace && page_code_set.test(code); }

  std::bitset<kCodeSpace> page_code_set;  // the same codes, for the lookup of every unit
};

// The room a unit takes on its line: a tile for what is drawn, nothing for
// the rest; with widths, each code's own, a control's only where it is
// given (a name the game puts in). Nothing when a drawn code has no width.
inline std::optional<std::uint32_t> unit_width(const Unit& unit, const WindowProfile& profile) {
  if (ends_line(unit.role)) return 0;
  if (!profile.widths) return is_drawn(unit.role) ? 1u : 0u;
  const std::optional<std::uint32_t> width = profile.widths->of(unit.code);
  if (!width && !is_drawn(unit.role)) return 0;
  return width;
}

}  // namespace talvo::fit
