#include "entry_names.h"

#include "banks.h"
#include "text_format.h"

namespace talvo::exchange {

std::string entry_number_text(std::uint32_t number) {
  char header[16];
  const std::string_view text = text_format::format_header(text_format::kHeaderFormat, number, header);
  return std::string(text.substr(1, text.size() - 2));  // without the parentheses
}

std::string entry_context(const EntryName& entry) {
  return std::string(bank_record(entry.bank).short_name) + " " + entry_number_text(entry.number);
}

std::optional<std::uint32_t> read_entry_number(std::string_view text) {
  if (text.size() < 3 || text.size() > 10 || text[0] != '0' || (text[1] != 'x' && text[1] != 'X')) {
    return std::nullopt;
  }
  std::uint32_t value = 0;
  for (const char c : text.substr(2)) {
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    if (digit < 0) return std::nullopt;
    value = value << 4 | static_cast<std::uint32_t>(digit);
  }
  return value;
}

std::optional<EntryName> read_entry_context(std::string_view text) {
  const std::size_t space = text.find(' ');
  if (space == std::string_view::npos) return std::nullopt;
  const auto bank = bank_of_short_name(text.substr(0, space));
  const auto number = read_entry_number(text.substr(space + 1));
  if (!bank || !number) return std::nullopt;
  return EntryName{*bank, *number};
}

}  // namespace talvo::exchange
