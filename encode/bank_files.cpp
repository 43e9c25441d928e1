#include "bank_files.h"

#include "little_endian.h"

namespace talvo {

std::optional<BankFiles> bank_files(const std::vector<std::vector<std::uint16_t>>& entries,
                                    const EncoderVariant& variant) {
  constexpr std::uint64_t kIndexLimit = std::uint64_t{1} << 24;
  BankFiles files;
  for (std::size_t n = 0; n < entries.size(); ++n) {
    if (n % variant.index_group == 0) {
      const std::uint64_t offset = files.bank.size();
      if (offset >= kIndexLimit) return std::nullopt;
      append_le24(files.index, offset);
    }
    for (const std::uint16_t code : entries[n]) {
      files.bank += static_cast<char>(code & 0xFF);
      if (variant.code_width == 2) files.bank += static_cast<char>(code >> 8);
    }
  }
  return files;
}

}  // namespace talvo
