#include "control_notes.h"

#include <algorithm>
#include <vector>

#include "banks.h"
#include "text_format.h"

namespace talvo::exchange {
namespace {

// The codes of the game's line breaks and ends, as the built-in tables write them.
constexpr std::string_view kMessageLineBreaks[] = {"[00AD]", "[00AF]"};
constexpr std::string_view kMessageEnds[] = {"[00AC]", "[00AE]"};
constexpr std::string_view kByteEnds[] = {"[AC]", "[AE]"};

template <std::size_t N>
bool among(std::string_view token, const std::string_view (&list)[N]) {
  return std::find(std::begin(list), std::end(list), token) != std::end(list);
}

// Tokens in the order first seen, each once.
void add_once(std::vector<std::string_view>& tokens, std::string_view token) {
  if (std::find(tokens.begin(), tokens.end(), token) == tokens.end()) tokens.push_back(token);
}

std::string listed(const std::vector<std::string_view>& tokens) {
  std::string text;
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    if (i > 0) text += i + 1 == tokens.size() ? " and " : ", ";
    text += tokens[i];
  }
  return text;
}

}  // namespace

std::string control_note(std::string_view text, Bank bank) {
  constexpr std::size_t kListed = 8;
  std::vector<std::string_view> breaks, controls;
  bool more = false;
  for (std::size_t open = text.find('['); open != std::string_view::npos; open = text.find('[', open + 1)) {
    const std::size_t close = text.find(']', open);
    if (close == std::string_view::npos) break;
    if (close - open + 1 > text_format::kMaxTokenBytes) continue;
    const std::string_view token = text.substr(open, close - open + 1);
    if (bank == Bank::Messages && among(token, kMessageLineBreaks)) {
      add_once(breaks, token);
    } else if (!among(token, kMessageEnds) && !among(token, kByteEnds)) {
      if (controls.size() < kListed) {
        add_once(controls, token);
      } else {
        more = true;
      }
    }
  }
  std::string note;
  if (!breaks.empty())
    note = listed(breaks) + (breaks.size() == 1 ? " starts" : " start") + " a new line of the window.";
  if (!controls.empty()) {
    if (!note.empty()) note += ' ';
    note += listed(controls) + (more ? " and others" : "") + ": codes of the game; keep them.";
  }
  return note;
}

std::string end_code_note(Bank bank) {
  const BankRecord& kind = bank_record(bank);
  std::string note = std::string("Each ") + kind.entry_name + " ends with " + kind.end_tokens + ": keep it last.";
  if (bank == Bank::Messages) {
    note += "\nLine feeds carry nothing in the game: [00AD] and [00AF] start a new line of the window.";
  }
  return note;
}

}  // namespace talvo::exchange
