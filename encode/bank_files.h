// The bank and index files the encoders write, made from entries' codes:
// for text read by other readers than the encoders' own (a translator's
// table), laid out exactly as the encoders lay them out.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "banks.h"

namespace talvo {

struct BankFiles {
  std::string bank;   // every code, code_width bytes each, low byte first
  std::string index;  // the bank offset of every index_group-th entry, 3 bytes, low byte first
};

// Nothing when an index entry would have to hold an offset of 16 MiB or more.
std::optional<BankFiles> bank_files(const std::vector<std::vector<std::uint16_t>>& entries,
                                    const EncoderVariant& variant);

}  // namespace talvo
