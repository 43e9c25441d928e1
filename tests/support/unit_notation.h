// Entries written in a short notation for the window tests: a letter or
// digit is a character, '_' a space, '|' a line break (0x0AD), '/' a line
// break that turns the page (0x0AF), '$' the end (0x0AC), '*' and '@'
// controls (0x010, 0x011). Each unit's bytes are its place in the string.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "entry_units.h"
#include "line_wrap.h"

namespace talvo::testing {

inline constexpr std::uint16_t kSpaceCode = 0x200;
inline constexpr std::uint16_t kLineCode = 0x0AD;
inline constexpr std::uint16_t kPageCode = 0x0AF;
inline constexpr std::uint16_t kEndCode = 0x0AC;

inline fit::Unit notation_unit(char c, std::uint32_t at) {
  switch (c) {
    case '_':
      return {kSpaceCode, fit::UnitRole::Space, at, at};
    case '|':
      return {kLineCode, fit::UnitRole::LineBreak, at, at};
    case '/':
      return {kPageCode, fit::UnitRole::LineBreak, at, at};
    case '$':
      return {kEndCode, fit::UnitRole::End, at, at};
    case '*':
      return {0x010, fit::UnitRole::Control, at, at};
    case '@':
      return {0x011, fit::UnitRole::Control, at, at};
    default:
      return {static_cast<std::uint16_t>(0x300 + static_cast<unsigned char>(c)), fit::UnitRole::Glyph, at, at};
  }
}

inline std::vector<fit::Unit> units(std::string_view notation) {
  std::vector<fit::Unit> out;
  for (std::size_t i = 0; i < notation.size(); ++i)
    out.push_back(notation_unit(notation[i], static_cast<std::uint32_t>(i)));
  return out;
}

inline char notation_char(std::uint16_t code) {
  switch (code) {
    case kSpaceCode:
      return '_';
    case kLineCode:
      return '|';
    case kPageCode:
      return '/';
    case kEndCode:
      return '$';
    case 0x010:
      return '*';
    case 0x011:
      return '@';
    default:
      return static_cast<char>(code - 0x300);
  }
}

inline std::string notation(const std::vector<fit::WrappedUnit>& wrapped) {
  std::string out;
  for (const fit::WrappedUnit& unit : wrapped) out += notation_char(unit.code);
  return out;
}

// The roles of the notation's codes, as the game's message table has them.
inline fit::CodeRoles notation_roles() {
  fit::CodeRoles roles;
  roles.of_code.assign(0x60C, fit::UnitRole::Control);
  for (std::size_t c = 0x200; c < 0x60C; ++c) roles.of_code[c] = fit::UnitRole::Glyph;
  roles.of_code[kSpaceCode] = fit::UnitRole::Space;
  roles.of_code[kLineCode] = roles.of_code[kPageCode] = fit::UnitRole::LineBreak;
  roles.of_code[kEndCode] = fit::UnitRole::End;
  return roles;
}

}  // namespace talvo::testing
