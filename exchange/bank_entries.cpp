#include "bank_entries.h"
#include "banks.h"

#include <cstring>

namespace talvo::exchange {
namespace {

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The header at the start of `line`: its length and number, or length 0.
std::size_t header_at(std::string_view line, std::uint32_t& number) {
  if (!line.starts_with("(0x")) return 0;
  std::uint64_t value = 0;
  std::size_t at = 3;
  for (; at < line.size() && hex_digit(line[at]) >= 0; ++at) {
    value = std::min<std::uint64_t>(value * 16 + static_cast<std::uint64_t>(hex_digit(line[at])), 0xFFFFFFFFu);
  }
  if (at == 3 || at >= line.size() || line[at] != ')') return 0;
  number = static_cast<std::uint32_t>(value);
  return at + 1;
}

std::string_view without_final_line_feeds(std::string_view text) {
  while (text.ends_with('\n')) {
    text.remove_suffix(1);
    if (text.ends_with('\r')) text.remove_suffix(1);
  }
  return text;
}

}  // namespace

SplitText split_entries(std::string_view file, Bank bank) {
  SplitText split;
  std::size_t text_start = 0;
  const auto close_entry = [&](std::size_t end) {
    const std::string_view text = without_final_line_feeds(file.substr(text_start, end - text_start));
    if (split.entries.empty()) {
      split.before_first = text;
    } else {
      split.entries.back().text = text;
    }
  };
  std::size_t line = 1;
  for (std::size_t at = 0; at < file.size(); ++line) {
    const std::size_t end = std::min(file.find('\n', at), file.size());
    std::uint32_t number = 0;
    if (const std::size_t length = header_at(file.substr(at, end - at), number)) {
      close_entry(at);
      split.entries.push_back({{}, at, at + length, line, number});
      text_start = at + length;
      // A message's text begins on the line after its header.
      if (bank == Bank::Messages) {
        if (file.substr(text_start).starts_with("\r\n")) {
          text_start += 2;
        } else if (file.substr(text_start).starts_with('\n')) {
          ++text_start;
        }
      }
    }
    at = end + 1;
  }
  close_entry(file.size());
  return split;
}

std::string join_entries(const std::vector<std::string>& texts, Bank bank) {
  std::size_t size = 0;
  for (const std::string& text : texts) size += text.size() + 16;
  std::string file;
  file.reserve(size);
  char header[16];
  for (std::uint32_t i = 0; i < texts.size(); ++i) {
    if (bank != Bank::Messages) {
      file += text_format::format_header(text_format::kHeaderFormat, i, header);
    } else if (i == 0) {
      file += text_format::format_header(text_format::kFirstMessageHeaderFormat, i, header);
    } else {
      file += text_format::format_header(text_format::kMessageHeaderFormat, i, header);
    }
    file += texts[i];
    if (!texts[i].ends_with('\n')) file += '\n';
  }
  return file;
}

}  // namespace talvo::exchange
