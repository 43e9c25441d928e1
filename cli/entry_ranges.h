// --entries RANGES: entry numbers and ranges of them, both ends included,
// such as 0x10-0x20,0x100 (hexadecimal with 0x, else decimal).
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace talvo::cli {

struct EntryRanges {
  std::vector<std::pair<std::uint32_t, std::uint32_t>> ranges;  // first and last

  // Which of `count` entries the ranges take; empty ranges take them all.
  std::vector<bool> chosen(std::size_t count) const;
};

// The problem with `text`, or "" once `ranges` holds it.
std::string parse_entry_ranges(const std::string& text, EntryRanges& ranges);

}  // namespace talvo::cli
