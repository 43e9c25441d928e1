#include "window_profile.h"

#include <charconv>

namespace talvo::fit {
namespace {

// A whole decimal number from 1 up to `limit`.
std::optional<std::uint32_t> positive_number(std::string_view text, std::uint32_t limit) {
  std::uint32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || value == 0 || value > limit)
    return std::nullopt;
  return value;
}

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
  return text;
}

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The reason a line is not HEX=PIXELS, or nothing when it is one.
std::string read_width_line(std::string_view line, std::uint16_t& code, std::uint32_t& pixels) {
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) return "expected HEX=PIXELS, such as 4C1=12";
  const std::string_view hex = trimmed(line.substr(0, equals));
  const std::string_view decimal = trimmed(line.substr(equals + 1));
  if (hex.empty() || hex.size() > 4) return "the code is 1 to 4 hexadecimal digits, such as 4C1";
  unsigned value = 0;
  for (char c : hex) {
    if (hex_digit(c) < 0) return "the code is 1 to 4 hexadecimal digits, such as 4C1";
    value = value * 16 + static_cast<unsigned>(hex_digit(c));
  }
  if (value >= kCodeSpace) return "code " + std::string(hex) + " lies beyond the message table's last, 60B";
  std::uint32_t width = 0;
  const auto [end, error] = std::from_chars(decimal.data(), decimal.data() + decimal.size(), width);
  if (decimal.empty() || error != std::errc() || end != decimal.data() + decimal.size() || width > kMaxCodeWidth)
    return "the width is a number of pixels from 0 to " + std::to_string(kMaxCodeWidth);
  code = static_cast<std::uint16_t>(value);
  pixels = width;
  return {};
}

}  // namespace

std::optional<WindowSize> parse_window_size(std::string_view text) {
  const std::size_t x = text.find_first_of("xX");
  if (x == std::string_view::npos) return std::nullopt;
  const auto width = positive_number(text.substr(0, x), kMaxWindowWidth);
  const auto lines = positive_number(text.substr(x + 1), kMaxWindowLines);
  if (!width || !lines) return std::nullopt;
  return WindowSize{*width, *lines};
}

WidthsRead read_widths(std::string_view text, const std::string& file_name) {
  WidthsRead read;
  read.widths.file = file_name;
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  std::vector<bool> given(kCodeSpace, false);
  std::size_t number = 0;
  while (!text.empty()) {
    ++number;
    const std::size_t feed = text.find('\n');
    std::string_view line = text.substr(0, feed);
    text.remove_prefix(feed == std::string_view::npos ? text.size() : feed + 1);
    line = trimmed(line.substr(0, line.find('#')));
    if (line.empty()) continue;
    std::uint16_t code = 0;
    std::uint32_t pixels = 0;
    std::string problem = read_width_line(line, code, pixels);
    if (problem.empty() && given[code])
      problem = "code " + std::string(trimmed(line.substr(0, line.find('=')))) + " is given a width twice";
    if (!problem.empty()) {
      read.error = file_name + ":" + std::to_string(number) + ": " + problem;
      return read;
    }
    given[code] = true;
    read.widths.set(code, pixels);
  }
  return read;
}

}  // namespace talvo::fit
