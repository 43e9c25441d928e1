// Re-wrapping an entry to fit the window. Page breaks already in the entry
// stay; within each page the lines are joined (a line break between two
// words becomes a space, in text that spaces its words; elsewhere nothing)
// and broken again at the last space that fits, which is dropped, or where
// a line holds no space, after the last character that fits. The line code
// goes between lines and, after every H-th line of a page, the first page
// code in its place. Controls keep their place among the words; the end
// code stays last.
#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <vector>

#include "entry_units.h"
#include "window_profile.h"

namespace talvo::fit {

inline constexpr std::uint32_t kInserted = std::numeric_limits<std::uint32_t>::max();

struct WrappedUnit {
  std::uint16_t code = 0;
  UnitRole role = UnitRole::Glyph;
  std::uint32_t source = kInserted;  // index of the entry's unit it is, or kInserted for a code wrap writes
};

struct WrapResult {
  std::vector<WrappedUnit> units;
  std::optional<std::uint32_t> unfit;       // a unit wider than the window on its own
  std::optional<std::uint32_t> unmeasured;  // a drawn unit the widths file has no width for
};

// `profile` must name a page code; `roles` tells what the codes wrap writes
// do, `space` is the code a joined line break between two words becomes in
// `spaced` text.
WrapResult wrap_entry(std::span<const Unit> units, const WindowProfile& profile, const CodeRoles& roles,
                      std::uint16_t space, bool spaced);

// Whether text spaces its words, as English does and Japanese does not: at
// least one character in twenty is followed by a space and then another
// character on the same line. Given a whole file, says it of its language;
// given an entry, of the entry.
bool spaces_words(std::span<const Unit> units);

}  // namespace talvo::fit
