// Any bytes as a widths file: refused naming a line of it, or read; what is
// read, written out again as HEX=PIXELS lines, reads back the same.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "window_profile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace talvo;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const fit::WidthsRead read = fit::read_widths(text, "w");
  if (!read.error.empty()) {
    FUZZ_CHECK(read.error.starts_with("w:"));
    const std::size_t line = std::stoul(read.error.substr(2));
    FUZZ_CHECK(line >= 1 && line <= static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
    return 0;
  }
  std::string written;
  for (std::size_t code = 0; code < fit::kCodeSpace; ++code) {
    const auto width = read.widths.of(static_cast<std::uint16_t>(code));
    if (!width) continue;
    FUZZ_CHECK(*width <= fit::kMaxCodeWidth);
    char line[32];
    std::snprintf(line, sizeof line, "%zX=%u\n", code, *width);
    written += line;
  }
  const fit::WidthsRead again = fit::read_widths(written, "w");
  FUZZ_CHECK(again.error.empty());
  for (std::size_t code = 0; code < fit::kCodeSpace; ++code)
    FUZZ_CHECK(again.widths.of(static_cast<std::uint16_t>(code)) == read.widths.of(static_cast<std::uint16_t>(code)));
  return 0;
}
