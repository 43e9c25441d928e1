#include "window_problems.h"

namespace talvo::fit {
namespace {

// The last byte of the line's drawn text, which the caret underlines.
std::uint32_t last_drawn_byte(std::span<const Unit> units, const MeasuredLine& line, const WindowProfile& profile) {
  for (std::uint32_t i = line.end; i-- > *line.overflow;) {
    if (unit_width(units[i], profile).value_or(0) > 0) return units[i].last;
  }
  return units[*line.overflow].last;
}

}  // namespace

std::string window_amount(std::uint64_t amount, const WindowProfile& profile) {
  const char* unit = profile.in_pixels() ? (amount == 1 ? "pixel" : "pixels") : (amount == 1 ? "tile" : "tiles");
  return std::to_string(amount) + " " + unit;
}

void window_problems(std::span<const Unit> units, const EntryLayout& layout, const WindowProfile& profile,
                     std::vector<WindowProblem>& out) {
  for (const MeasuredPage& page : layout.pages) {
    for (std::uint32_t k = page.first_line; k < page.first_line + page.line_count; ++k) {
      const MeasuredLine& line = layout.lines[k];
      if (k == page.first_line + profile.lines && page.line_count > profile.lines) {
        const Unit& first = units[line.begin];
        out.push_back({first.first, first.last,
                       "page has " + std::to_string(page.line_count) + " lines; the window holds " +
                           std::to_string(profile.lines)});
      }
      if (line.overflow) {
        out.push_back({units[*line.overflow].first, last_drawn_byte(units, line, profile),
                       "line is " + window_amount(line.width, profile) + " wide; the window holds " +
                           std::to_string(profile.width)});
      }
    }
  }
}

}  // namespace talvo::fit
