// The units of a text file's entries from what the built-in reader found
// (the checker's events), and the roles of the game's own codes, taken from
// its tables: message codes from 0x200 are drawn, those below are controls;
// a byte code is a control where the table writes it as a hexadecimal
// token. Messages end their line at 0x0AC-0x0AF and end at 0x0AC and
// 0x0AE; a byte-bank entry is one line, ended by its end code. The space is
// the code the table writes as the full-width space.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "banks.h"
#include "entry_units.h"
#include "file_memory.h"
#include "text_events.h"

namespace talvo::fit {

CodeRoles builtin_roles(const BankRecord& bank);

// The code of the game's space in the bank's table.
std::uint16_t builtin_space(const BankRecord& bank);

// The text of each code as its table gives it (the encoding form: a
// character, "Ex", "00AC"), for drawing it in a stand-in font.
std::vector<std::u32string> builtin_texts(const BankRecord& bank);

// The code a token stands for in the bank's table, written as in a text
// file ("[00AF]", "[AC]", a character), or nothing.
std::optional<std::uint16_t> builtin_code(const BankRecord& bank, std::string_view token);

// Every unit the reader found, in file order, with the index of each
// entry's first unit (one more at the end: entry k is [starts[k], starts[k+1])).
struct FileUnits {
  // As many as the reader's codes: in the same large pages.
  std::vector<Unit, FileMemoryAllocator<Unit>> units;
  std::vector<std::uint32_t> starts;

  std::size_t entries() const { return starts.empty() ? 0 : starts.size() - 1; }
  std::span<const Unit> entry(std::size_t k) const {
    return std::span(units).subspan(starts[k], starts[k + 1] - starts[k]);
  }
};

FileUnits units_of_events(const TextEvents& events, const CodeRoles& roles);

}  // namespace talvo::fit
