#include "new_text_check.h"

#include <vector>

#include "bank_space.h"
#include "banks.h"

namespace talvo::insert {
namespace {

template <typename Code>
std::optional<Refusal> check_bank(Bank bank, const std::vector<std::vector<Code>>& entries) {
  if (entries.size() != bank_record(bank).entries)
    return WrongEntryCount{bank, entries.size(), bank_record(bank).entries};
  for (std::size_t n = 0; n < entries.size(); ++n) {
    const std::vector<Code>& entry = entries[n];
    for (std::size_t i = 0; i < entry.size(); ++i) {
      if (bank == Bank::Messages && entry[i] >= kMessageCodeCount) {
        return CodeOutOfRange{n, i, static_cast<std::uint16_t>(entry[i])};
      }
      if (i + 1 < entry.size() && bank_record(bank).is_end(entry[i])) return MisplacedEndCode{bank, n, i, false};
    }
    if (entry.empty() || !bank_record(bank).is_end(entry.back())) return MisplacedEndCode{bank, n, entry.size(), true};
  }
  return std::nullopt;
}

}  // namespace

std::optional<Refusal> check_new_text(const NewText& text) {
  if (text.messages) {
    if (auto fault = check_bank(Bank::Messages, *text.messages)) return fault;
  }
  if (text.fixed_strings) {
    if (auto fault = check_bank(Bank::FixedStrings, *text.fixed_strings)) return fault;
  }
  if (text.battle_text) {
    if (auto fault = check_bank(Bank::BattleText, *text.battle_text)) return fault;
  }
  return std::nullopt;
}

}  // namespace talvo::insert
