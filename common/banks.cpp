#include "banks.h"

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

std::optional<Bank> bank_of_file_name(std::string_view name) {
  const std::size_t slash = name.find_last_of("/\\");
  if (slash != std::string_view::npos) name.remove_prefix(slash + 1);
  if (starts_with_any_case(name, "msgdata")) return Bank::Messages;
  if (starts_with_any_case(name, "strdata")) return Bank::FixedStrings;
  if (starts_with_any_case(name, "btldata")) return Bank::BattleText;
  return std::nullopt;
}

std::optional<Bank> bank_of_short_name(std::string_view name) {
  for (Bank bank : kBanks) {
    if (name == bank_record(bank).short_name) return bank;
  }
  return std::nullopt;
}

}  // namespace talvo
