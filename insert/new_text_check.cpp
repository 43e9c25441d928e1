#include "new_text_check.h"

#include <vector>

#include "bank_space.h"
#include "token_tables.h"

namespace talvo::insert {
namespace {

bool is_end(Bank bank, std::uint16_t code) {
  switch (bank) {
    case Bank::Messages:
      return code == rom::kMessageEnd || code == rom::kMessageEndAlt;
    case Bank::FixedStrings:
      return code == 0xAC;
    case Bank::BattleText:
      return code == 0xAC || code == 0xAE;
  }
  return false;
}

template <typename Code>
std::optional<Refusal> check_bank(Bank bank, const std::vector<std::vector<Code>>& entries) {
  if (entries.size() != entry_count(bank)) return WrongEntryCount{bank, entries.size(), entry_count(bank)};
  for (std::size_t n = 0; n < entries.size(); ++n) {
    const std::vector<Code>& entry = entries[n];
    for (std::size_t i = 0; i < entry.size(); ++i) {
      if (bank == Bank::Messages && entry[i] >= kMessageCodeCount) {
        return CodeOutOfRange{n, i, static_cast<std::uint16_t>(entry[i])};
      }
      if (i + 1 < entry.size() && is_end(bank, entry[i])) return MisplacedEndCode{bank, n, i, false};
    }
    if (entry.empty() || !is_end(bank, entry.back())) return MisplacedEndCode{bank, n, entry.size(), true};
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
