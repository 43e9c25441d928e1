#include "text_positions.h"

#include <algorithm>
#include <cstdio>

#include "cp932.h"
#include "sjis_terminal_text.h"
#include "utf8.h"

namespace talvo {
namespace {

// The bytes of the character at the start of `text` (1 for a byte that
// starts none).
std::size_t character_length(std::string_view text, TextEncoding encoding) {
  if (encoding == TextEncoding::ShiftJis) {
    const Cp932Char c = decode_cp932(text);
    return c.length == 0 ? 1 : c.length;
  }
  const Utf8Char c = decode_utf8(text);
  return c.error == Utf8Error::None ? c.length : 1;
}

bool is_wide(char32_t c) {
  struct Range {
    char32_t first, last;
  };
  // East Asian Wide and Fullwidth blocks; ambiguous characters take one cell,
  // as most terminals show them.
  static constexpr Range kWide[] = {{0x1100, 0x115F},   {0x2E80, 0x303E},   {0x3041, 0x33FF},  {0x3400, 0x4DBF},
                                    {0x4E00, 0x9FFF},   {0xA000, 0xA4CF},   {0xAC00, 0xD7A3},  {0xF900, 0xFAFF},
                                    {0xFE30, 0xFE4F},   {0xFF00, 0xFF60},   {0xFFE0, 0xFFE6},  {0x1F300, 0x1F64F},
                                    {0x1F900, 0x1F9FF}, {0x20000, 0x2FFFD}, {0x30000, 0x3FFFD}};
  return std::any_of(std::begin(kWide), std::end(kWide), [c](const Range& r) { return c >= r.first && c <= r.last; });
}

void append_hex(std::string& out, unsigned char byte) {
  char text[8];
  std::snprintf(text, sizeof text, "<%02X>", byte);
  out += text;
}

}  // namespace

LineIndex::LineIndex(std::string_view text, TextEncoding encoding) : text_(text), encoding_(encoding) {
  line_starts_.push_back(0);
  for (std::size_t at = text.find('\n'); at != std::string_view::npos; at = text.find('\n', at + 1)) {
    line_starts_.push_back(at + 1);
  }
}

TextPlace LineIndex::place(std::size_t offset) const {
  offset = std::min(offset, text_.size());
  const auto next = std::upper_bound(line_starts_.begin(), line_starts_.end(), offset);
  TextPlace place;
  place.line = static_cast<std::size_t>(next - line_starts_.begin());
  place.line_start = line_starts_[place.line - 1];
  place.line_end = next == line_starts_.end() ? text_.size() : *next - 1;
  for (std::size_t at = place.line_start; at < offset; ++place.column) {
    at += character_length(text_.substr(at), encoding_);
  }
  return place;
}

std::string displayed(std::string_view line, TextEncoding encoding) {
  std::string out;
  for (std::size_t at = 0; at < line.size();) {
    const auto byte = static_cast<unsigned char>(line[at]);
    if (byte == '\t') {
      out += ' ';
      ++at;
    } else if (encoding == TextEncoding::ShiftJis) {
      const std::size_t length = character_length(line.substr(at), encoding);
      out += sjis_to_utf8(line.substr(at, length));
      at += length;
    } else {
      const Utf8Char c = decode_utf8(line.substr(at));
      if (c.error != Utf8Error::None || c.code_point < 0x20 || c.code_point == 0x7F) {
        append_hex(out, byte);
        ++at;
      } else {
        out.append(line.substr(at, c.length));
        at += c.length;
      }
    }
  }
  return out;
}

std::size_t display_cells(std::string_view utf8) {
  std::size_t cells = 0;
  for (std::size_t at = 0; at < utf8.size();) {
    const Utf8Char c = decode_utf8(utf8.substr(at));
    cells += c.error == Utf8Error::None && is_wide(c.code_point) ? 2 : 1;
    at += std::max<std::size_t>(c.length, 1);
  }
  return cells;
}

}  // namespace talvo
