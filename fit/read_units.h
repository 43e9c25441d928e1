// The units of a text file's entries from what the reader found (the
// checker's events), and the roles of a bank's codes: what the game draws
// is the vocabulary's (message codes from 0x200, the byte codes the game's
// table writes as characters); a message ends its line at its end and
// line-break codes, a byte-bank entry is one line, ended by its end code.
// The space is the code written as a space.
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
#include "vocabulary.h"

namespace talvo::fit {

CodeRoles code_roles(const BankRecord& bank, const Vocabulary& vocabulary);

// The lowest code written as a space (full-width or not), or 0.
std::uint16_t space_code(const Vocabulary& vocabulary);

// The text of each code as a text file writes it, brackets and line feeds
// left out ("Ex", "00AC", a character), for drawing it in a stand-in font.
std::vector<std::u32string> code_texts(const Vocabulary& vocabulary);

// The lowest code a token stands for, written as in a text file ("[00AF]",
// "[AC]", a character) in UTF-8, or nothing.
std::optional<std::uint16_t> code_of_token(const Vocabulary& vocabulary, std::string_view utf8_token);

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
