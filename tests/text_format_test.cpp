// Entry headers, spelled out by hand, against what printf makes of the same
// formats: the extractor's files must not change by a byte.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "text_format.h"

namespace talvo {
namespace {

template <std::size_t N>
void expect_as_printf(const char (&format)[N], std::uint32_t number) {
  char header[16];
  char expected[32];
  std::snprintf(expected, sizeof expected, format, static_cast<unsigned>(number));
  EXPECT_EQ(text_format::format_header(format, number, header), std::string(expected)) << number;
}

TEST(TextFormat, HeadersAreWhatPrintfWrites) {
  const std::uint32_t numbers[] = {0,       1,        9,         0xA,       0xF,        0x10,       0xFF,
                                   0x100,   0xABC,    0xFCE,     0xFFF,     0x1000,     0xFFFF,     0x10000,
                                   0xFFFFF, 0x100000, 0x1234567, 0xFFFFFFF, 0x10000000, 0xDEADBEEF, 0xFFFFFFFF};
  for (const std::uint32_t n : numbers) {
    expect_as_printf(text_format::kHeaderFormat, n);
    expect_as_printf(text_format::kFirstMessageHeaderFormat, n);
    expect_as_printf(text_format::kMessageHeaderFormat, n);
  }
  for (std::uint32_t n = 0; n < 0x1100; ++n) expect_as_printf(text_format::kMessageHeaderFormat, n);
}

}  // namespace
}  // namespace talvo
