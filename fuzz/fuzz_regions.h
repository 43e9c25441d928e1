// The regions of a cartridge that the decoder fuzz targets edit, numbered as
// the edit opcodes pick them. The seed generator writes its edits with the
// same numbers.
#pragma once

#include <array>

#include "banks.h"
#include "cartridge_edits.h"
#include "rom_layout.h"

namespace talvo::fuzz {

enum MessageRegion : unsigned { kMessageTreeRegion, kAccessTableRegion, kMessageDataRegion, kWholeCartridge };

inline constexpr std::size_t kEndOfAnyImage = rom::kSize6Mb;

inline constexpr std::array<Region, 4> kMessageRegions{{
    {rom::kMessageTree, 2 * rom::kTreeEntries},
    {rom::kMessageAccessTable, rom::kPointerSize* rom::kMessageGroups},
    {rom::kMessageData, kEndOfAnyImage - rom::kMessageData},
    {0, kEndOfAnyImage},
}};

enum ByteBankRegion : unsigned { kPointerTableRegion, kBankDataRegion, kWholeBankCartridge };

inline std::array<Region, 3> byte_bank_regions(const BankRecord& bank) {
  return {{
      {bank.pointer_table, rom::kPointerSize * bank.groups()},
      {bank.data, kEndOfAnyImage - bank.data},
      {0, kEndOfAnyImage},
  }};
}

}  // namespace talvo::fuzz
