#include "text_positions.h"

#include <algorithm>
#include <cstdio>
#include <vector>

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
  if (c < 0x1100) return false;  // most characters, and the first wide block begins here
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

PlaceFinder::PlaceFinder(std::string_view text, TextEncoding encoding) : text_(text), encoding_(encoding) {
  begin_line(0, 1);
}

void PlaceFinder::begin_line(std::size_t start, std::size_t number) {
  line_.line = number;
  line_.line_start = start;
  const std::size_t feed = text_.find('\n', start);
  line_.line_end = feed == std::string_view::npos ? text_.size() : feed;
  at_ = start;
  column_ = 1;
  passed_ = 0;
}

std::size_t PlaceFinder::length_at(std::size_t at) const { return character_length(text_.substr(at), encoding_); }

TextPlace PlaceFinder::place(std::size_t offset) {
  offset = std::min(offset, text_.size());
  const bool before_last = passed_ > 0 ? offset <= starts_[(passed_ - 1) % kRemembered] : offset < at_;
  if (offset < line_.line_start) {
    begin_line(0, 1);
  } else if (before_last) {
    begin_line(line_.line_start, line_.line);
  }
  if (offset > line_.line_end) {
    // Past this line's line feed: count the ones up to the offset's line.
    std::size_t start = line_.line_end + 1;
    std::size_t number = line_.line + 1;
    for (std::size_t feed; (feed = text_.substr(0, offset).find('\n', start)) != std::string_view::npos;) {
      start = feed + 1;
      ++number;
    }
    begin_line(start, number);
  }
  while (at_ < offset) {
    starts_[passed_++ % kRemembered] = at_;
    at_ += length_at(at_);
    ++column_;
  }
  TextPlace place = line_;
  place.column = column_;
  return place;
}

namespace {

// One character of a quoted line, as the terminal shows it.
struct Shown {
  std::size_t offset;
  std::size_t length;
  std::string text;
  std::size_t cells;
};

}  // namespace

QuotedLine PlaceFinder::quote(std::size_t first, std::size_t end, std::size_t width) const {
  std::size_t content_end = line_.line_end;
  if (content_end > line_.line_start && text_[content_end - 1] == '\r') --content_end;
  const std::size_t spot = std::clamp(first, line_.line_start, content_end);
  const std::size_t spot_end = std::clamp(end, spot, content_end);
  // The characters from far enough before the spot to far enough after it:
  // a character takes a cell at least, so `width` of them fill the width.
  const std::size_t back = std::min(width, kRemembered);
  std::size_t from = passed_ >= back ? starts_[(passed_ - back) % kRemembered] : line_.line_start;
  if (from > spot) from = line_.line_start;
  std::vector<Shown> shown;
  std::size_t cells_after = 0;
  std::size_t at = from;
  for (; at < content_end && cells_after <= width; at += shown.back().length) {
    const std::size_t length = std::min(length_at(at), content_end - at);
    std::string text = displayed(text_.substr(at, length), encoding_);
    const std::size_t cells = display_cells(text);
    if (at + length > spot) cells_after += cells;
    shown.push_back({at, length, std::move(text), cells});
  }
  const bool to_the_end = at >= content_end;
  const auto spot_index = static_cast<std::size_t>(
      std::find_if(shown.begin(), shown.end(), [&](const Shown& c) { return c.offset + c.length > spot; }) -
      shown.begin());
  const auto spot_end_index = static_cast<std::size_t>(
      std::find_if(shown.begin(), shown.end(), [&](const Shown& c) { return c.offset >= spot_end; }) - shown.begin());
  const auto cells_of = [&](std::size_t a, std::size_t b) {
    std::size_t cells = 0;
    for (std::size_t i = a; i < b; ++i) cells += shown[i].cells;
    return cells;
  };

  // The whole line where it fits; else a window around the spot, as much
  // after it as the width allows once the half before is given, the rest
  // of the width before it, with a cell kept for each "…".
  std::size_t a = 0, b = shown.size();
  // (A caret behind the line's end takes a cell of its own.)
  const std::size_t caret_behind = spot_index == shown.size() ? 1 : 0;
  const bool whole = from == line_.line_start && to_the_end && cells_of(0, shown.size()) + caret_behind <= width;
  if (!whole) {
    const std::size_t room = width > 2 ? width - 2 : 1;
    const std::size_t before = std::min(cells_of(0, spot_index), room / 2);
    a = b = spot_index;
    std::size_t used = 0;
    while (b < shown.size() && (used + shown[b].cells <= room - before || b == spot_index)) used += shown[b++].cells;
    while (a > 0 && used + shown[a - 1].cells <= room) used += shown[--a].cells;
    while (b < shown.size() && used + shown[b].cells <= room) used += shown[b++].cells;
  }
  const bool cut_before = a > 0 || from != line_.line_start;
  const bool cut_after = b < shown.size() || !to_the_end;
  QuotedLine quoted;
  if (cut_before) quoted.text = "\xE2\x80\xA6";
  for (std::size_t i = a; i < b; ++i) quoted.text += shown[i].text;
  if (cut_after) quoted.text += "\xE2\x80\xA6";
  quoted.caret = (cut_before ? 1 : 0) + cells_of(a, spot_index);
  quoted.marks = std::max<std::size_t>(cells_of(spot_index, std::min(std::max(spot_end_index, spot_index), b)), 1);
  return quoted;
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
