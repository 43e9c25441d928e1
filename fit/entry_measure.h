// An entry laid out in the window: its lines (each ended by a line-break,
// end or page code) and its pages (each ended by a page code), with each
// line's width and the first unit that does not fit.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "entry_units.h"
#include "window_profile.h"

namespace talvo::fit {

struct MeasuredLine {
  std::uint32_t begin = 0;  // its units: [begin, end), the code that ends it included
  std::uint32_t end = 0;
  std::uint64_t width = 0;                // tiles or pixels
  std::optional<std::uint32_t> overflow;  // the first unit that passes the window's width
};

struct MeasuredPage {
  std::uint32_t first_line = 0;  // index in EntryLayout::lines
  std::uint32_t line_count = 0;
};

struct EntryLayout {
  std::vector<MeasuredLine> lines;
  std::vector<MeasuredPage> pages;
  std::vector<std::uint32_t> unmeasured;  // drawn units the widths file has no width for

  bool too_wide(const MeasuredPage& page) const;
  bool too_tall(const MeasuredPage& page, const WindowProfile& profile) const {
    return page.line_count > profile.lines;
  }
};

// Lays the entry's units out; `layout` is filled afresh (its room kept, for
// a caller going through thousands of entries). A unit without a width is
// counted as none, and listed.
void measure_entry(std::span<const Unit> units, const WindowProfile& profile, EntryLayout& layout);

}  // namespace talvo::fit
