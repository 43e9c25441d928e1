// What makes the one encoder into the message, fixed-string or battle-text
// encoder.
#pragma once

#include <cstdint>

namespace talvo {

enum class TokenTableKind : std::uint8_t { Message, Byte };

struct EncoderVariant {
  TokenTableKind token_table;
  unsigned code_width;   // bytes per code in the bank: 2 (low byte first) or 1
  unsigned index_group;  // headers per index entry, as the game groups its pointers
  const char* bank_file_name;
  const char* index_file_name;
};

inline constexpr EncoderVariant kMessageVariant{TokenTableKind::Message, 2, 8, "MsgDataTalvo.bin", "MsgDataIDX.bin"};
inline constexpr EncoderVariant kFixedStringVariant{TokenTableKind::Byte, 1, 16, "StrDataTalvo.bin", "StrDataIDX.bin"};
inline constexpr EncoderVariant kBattleTextVariant{TokenTableKind::Byte, 1, 8, "BtlDataTalvo.bin", "BtlDataIDX.bin"};

}  // namespace talvo
