// How exchange files name an entry: "msg 0x0123" in a PO message's context,
// "msg" and "0x0123" in two cells of a CSV row. The number is written as the
// text file's header writes it, at least four upper-case hexadecimal digits.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "banks.h"

namespace talvo::exchange {

struct EntryName {
  Bank bank = Bank::Messages;
  std::uint32_t number = 0;
};

std::string entry_number_text(std::uint32_t number);  // "0x0123"
std::string entry_context(const EntryName& entry);    // "msg 0x0123"

// "0x" and one to eight hexadecimal digits of either case; nothing otherwise.
std::optional<std::uint32_t> read_entry_number(std::string_view text);

// A bank's short name, one space, and an entry number.
std::optional<EntryName> read_entry_context(std::string_view text);

}  // namespace talvo::exchange
