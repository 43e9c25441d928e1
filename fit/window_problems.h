// What does not fit the window, in words for the translator: a line wider
// than the window, from its first unit that does not fit; a page of more
// lines than the window, from its first line too many.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "entry_measure.h"

namespace talvo::fit {

struct WindowProblem {
  std::uint32_t first = 0;  // bytes of the text it is about, `last` included
  std::uint32_t last = 0;
  std::string message;
};

// The problems of one measured entry, in the order of the text.
void window_problems(std::span<const Unit> units, const EntryLayout& layout, const WindowProfile& profile,
                     std::vector<WindowProblem>& out);

// "19 tiles", "1 pixel": a width in the window's unit.
std::string window_amount(std::uint64_t amount, const WindowProfile& profile);

}  // namespace talvo::fit
