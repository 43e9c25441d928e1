// The game's three text banks, each as one constant record: where its
// entries and pointers lie, how its entries end and break their lines, the
// files that hold it, and what it is called. Every reader and writer of a
// bank takes its record; which codes a bank reads is a vocabulary of its
// own, handed in beside it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "rom_layout.h"
#include "text_format.h"

namespace talvo {

enum class Bank : std::uint8_t { Messages, FixedStrings, BattleText };
inline constexpr std::size_t kBankCount = 3;
inline constexpr Bank kBanks[kBankCount] = {Bank::Messages, Bank::FixedStrings, Bank::BattleText};
inline constexpr std::size_t bank_index(Bank bank) { return static_cast<std::size_t>(bank); }

// The two sets of codes: the message codes 0x000-0x60B, and the byte codes
// that the fixed strings and the battle text share.
enum class CodeSet : std::uint8_t { Message, Byte };
inline constexpr std::size_t kMessageCodeCount = 0x60C;  // codes 0x000-0x60B
inline constexpr std::size_t kByteCodeCount = 256;
inline constexpr std::size_t code_count(CodeSet set) {
  return set == CodeSet::Message ? kMessageCodeCount : kByteCodeCount;
}

// What makes the one encoder into the message, fixed-string or battle-text
// encoder.
struct EncoderVariant {
  CodeSet token_table;   // the codes it reads
  unsigned code_width;   // bytes per code in the bank: 2 (low byte first) or 1
  unsigned index_group;  // headers per index entry, as the game groups its pointers
  const char* bank_file_name;
  const char* index_file_name;
};

struct BankRecord {
  Bank bank;
  std::size_t entries;
  std::size_t group;            // entries per group pointer
  std::uint32_t pointer_table;  // 3-byte pointers, one per group
  std::uint32_t data;           // where the pointers count from
  // An entry ends with one of these; messages also break their line after
  // the two line-break codes. 0xFFFF: none.
  std::uint16_t end_codes[2];
  std::uint16_t line_break_codes[2];
  std::size_t line_capacity;  // the game's own line buffer (byte banks), kept as a reference
  EncoderVariant variant;
  const char* text_file_name;  // as the extractor names it
  const char* short_name;      // as the command line spells it: msg, str, btl
  const char* name;            // in reports: "messages", "fixed strings", "battle text"
  const char* bank_name;       // in messages: "the message bank has 4047"
  const char* entry_name;      // in messages: "message 0x0012"
  const char* table_name;      // "the message table"
  const char* end_tokens;      // how the game's tables write the end codes

  CodeSet codes() const { return variant.token_table; }
  std::size_t groups() const { return (entries + group - 1) / group; }
  bool is_end(std::uint16_t code) const { return code == end_codes[0] || code == end_codes[1]; }
  bool is_line_break(std::uint16_t code) const { return code == line_break_codes[0] || code == line_break_codes[1]; }
};

inline constexpr std::uint16_t kNoCode = 0xFFFF;

// clang-format off
inline constexpr BankRecord kMessageBank{
    Bank::Messages, text_format::kMessageEntries, rom::kMessageGroup, rom::kMessageAccessTable, rom::kMessageData,
    {text_format::kMessageEnd, text_format::kMessageEndAlt}, {0x0AD, 0x0AF}, 0,
    {CodeSet::Message, 2, 8, "MsgDataTalvo.bin", "MsgDataIDX.bin"},
    text_format::kMessageFileName, "msg", "messages", "message", "message", "the message table", "[00AC] or [00AE]"};
inline constexpr BankRecord kFixedStringBank{
    Bank::FixedStrings, text_format::kFixedStringEntries, 16, rom::kFixedStringPointers, rom::kFixedStringData,
    {text_format::kByteEnd, kNoCode}, {kNoCode, kNoCode}, 32,
    {CodeSet::Byte, 1, 16, "StrDataTalvo.bin", "StrDataIDX.bin"},
    text_format::kFixedStringFileName, "str", "fixed strings", "fixed-string", "fixed string", "the byte table", "[AC]"};
inline constexpr BankRecord kBattleTextBank{
    Bank::BattleText, text_format::kBattleTextEntries, 8, rom::kBattleTextPointers, rom::kBattleTextData,
    {text_format::kByteEnd, text_format::kBattleEndAlt}, {kNoCode, kNoCode}, 512,
    {CodeSet::Byte, 1, 8, "BtlDataTalvo.bin", "BtlDataIDX.bin"},
    text_format::kBattleTextFileName, "btl", "battle text", "battle-text", "battle-text entry", "the byte table",
    "[AC] or [AE]"};
// clang-format on

inline constexpr const BankRecord* kBankRecords[kBankCount] = {&kMessageBank, &kFixedStringBank, &kBattleTextBank};
inline constexpr const BankRecord& bank_record(Bank bank) { return *kBankRecords[bank_index(bank)]; }

// The encoders' variants, as the programs name them.
inline constexpr const EncoderVariant& kMessageVariant = kMessageBank.variant;
inline constexpr const EncoderVariant& kFixedStringVariant = kFixedStringBank.variant;
inline constexpr const EncoderVariant& kBattleTextVariant = kBattleTextBank.variant;

// The bank a file name says it holds: MsgData..., StrData..., BtlData...,
// in any case; nothing for any other name.
std::optional<Bank> bank_of_file_name(std::string_view name);

// msg, str or btl.
std::optional<Bank> bank_of_short_name(std::string_view name);

}  // namespace talvo
