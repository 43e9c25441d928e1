// The units of an entry as the game's window sees them: each code with the
// bytes that spell it in the text file, and what it does on the screen.
// Whoever reads the text (the built-in reader, or a translator's table)
// fills these; measuring, wrapping and drawing need nothing else.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace talvo::fit {

enum class UnitRole : std::uint8_t {
  Glyph,      // drawn: takes a tile, or its width
  Space,      // a glyph between words, where lines may be broken
  Control,    // not drawn: takes room only where a widths file gives it some
  LineBreak,  // ends the line
  End,        // ends the line and the entry
};

struct Unit {
  std::uint16_t code = 0;
  UnitRole role = UnitRole::Glyph;
  std::uint32_t first = 0;  // offsets of its first and last byte in the text read
  std::uint32_t last = 0;
};

inline bool is_drawn(UnitRole role) { return role == UnitRole::Glyph || role == UnitRole::Space; }
inline bool ends_line(UnitRole role) { return role == UnitRole::LineBreak || role == UnitRole::End; }

// What each code of a bank does: a value, from the game's tables or from a
// translator's, indexed by code.
struct CodeRoles {
  std::vector<UnitRole> of_code;
  UnitRole operator[](std::uint16_t code) const { return code < of_code.size() ? of_code[code] : UnitRole::Control; }
};

}  // namespace talvo::fit
