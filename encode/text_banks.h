// The three kinds of text file and what makes a file of each one the game
// can use: its table and index, its number of entries, its end codes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "encoder_variant.h"
#include "text_format.h"

namespace talvo {

enum class BankKind : std::uint8_t { Messages, FixedStrings, BattleText };

struct TextBank {
  BankKind kind;
  const EncoderVariant& variant;
  std::size_t entries;
  const char* short_name;  // as the command line spells it: msg, str, btl
  const char* bank_name;   // in messages: "the message bank has 4047"
  const char* entry_name;  // in messages: "message 0x0012"
  const char* table_name;  // "the message table"
  const char* end_tokens;  // how the end codes are written, for messages

  bool is_end(std::uint16_t code) const {
    if (kind == BankKind::Messages) return code == text_format::kMessageEnd || code == text_format::kMessageEndAlt;
    return code == text_format::kByteEnd || (kind == BankKind::BattleText && code == text_format::kBattleEndAlt);
  }
};

// clang-format off
inline constexpr TextBank kMessageBank{BankKind::Messages, kMessageVariant, text_format::kMessageEntries,
                                       "msg", "message", "message", "the message table", "[00AC] or [00AE]"};
inline constexpr TextBank kFixedStringBank{BankKind::FixedStrings, kFixedStringVariant,
                                           text_format::kFixedStringEntries, "str", "fixed-string",
                                           "fixed string", "the byte table", "[AC]"};
inline constexpr TextBank kBattleTextBank{BankKind::BattleText, kBattleTextVariant, text_format::kBattleTextEntries,
                                          "btl", "battle-text", "battle-text entry", "the byte table",
                                          "[AC] or [AE]"};
// clang-format on

const TextBank& text_bank(BankKind kind);

// The bank a file name says it holds: MsgData..., StrData..., BtlData...,
// in any case; nothing for any other name.
std::optional<BankKind> bank_of_file_name(std::string_view name);

// msg, str or btl.
std::optional<BankKind> bank_of_short_name(std::string_view name);

}  // namespace talvo
