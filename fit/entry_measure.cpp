#include "entry_measure.h"

namespace talvo::fit {

bool EntryLayout::too_wide(const MeasuredPage& page) const {
  for (std::uint32_t k = page.first_line; k < page.first_line + page.line_count; ++k) {
    if (lines[k].overflow) return true;
  }
  return false;
}

void measure_entry(std::span<const Unit> units, const WindowProfile& profile, EntryLayout& layout) {
  layout.lines.clear();
  layout.pages.clear();
  layout.unmeasured.clear();
  MeasuredLine line;
  MeasuredPage page;
  const auto end_line = [&](std::uint32_t end) {
    line.end = end;
    layout.lines.push_back(line);
    ++page.line_count;
    line = MeasuredLine{};
    line.begin = end;
  };
  const auto end_page = [&] {
    layout.pages.push_back(page);
    page = MeasuredPage{};
    page.first_line = static_cast<std::uint32_t>(layout.lines.size());
  };
  const bool pixels = profile.in_pixels();
  for (std::uint32_t i = 0; i < units.size(); ++i) {
    const Unit& unit = units[i];
    std::uint32_t room = is_drawn(unit.role) ? 1 : 0;  // in tiles
    if (pixels) {
      const std::optional<std::uint32_t> width = unit_width(unit, profile);
      if (!width) layout.unmeasured.push_back(i);
      room = width.value_or(0);
    }
    line.width += room;
    if (room > 0 && !line.overflow && line.width > profile.width) line.overflow = i;
    const bool turns_page = profile.is_page_code(unit.code);
    if (ends_line(unit.role) || turns_page) end_line(i + 1);
    if (turns_page) end_page();
  }
  // Units after the last line's end (an entry that lacks its end code) are a
  // line too, and what is left a page.
  if (line.begin < units.size()) end_line(static_cast<std::uint32_t>(units.size()));
  if (page.line_count > 0 || layout.pages.empty()) end_page();
}

}  // namespace talvo::fit
