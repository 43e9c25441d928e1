#include "text_banks.h"

#include <cctype>

namespace talvo {
namespace {

bool starts_with_any_case(std::string_view name, std::string_view prefix) {
  if (name.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(name[i])) != prefix[i]) return false;
  }
  return true;
}

}  // namespace

const TextBank& text_bank(BankKind kind) {
  switch (kind) {
    case BankKind::Messages:
      return kMessageBank;
    case BankKind::FixedStrings:
      return kFixedStringBank;
    case BankKind::BattleText:
      break;
  }
  return kBattleTextBank;
}

std::optional<BankKind> bank_of_file_name(std::string_view name) {
  const std::size_t slash = name.find_last_of("/\\");
  if (slash != std::string_view::npos) name.remove_prefix(slash + 1);
  if (starts_with_any_case(name, "msgdata")) return BankKind::Messages;
  if (starts_with_any_case(name, "strdata")) return BankKind::FixedStrings;
  if (starts_with_any_case(name, "btldata")) return BankKind::BattleText;
  return std::nullopt;
}

std::optional<BankKind> bank_of_short_name(std::string_view name) {
  for (BankKind kind : {BankKind::Messages, BankKind::FixedStrings, BankKind::BattleText}) {
    if (name == text_bank(kind).short_name) return kind;
  }
  return std::nullopt;
}

}  // namespace talvo
