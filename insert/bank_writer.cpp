#include "bank_writer.h"
#include "banks.h"

#include <cassert>
#include <cstring>

#include "little_endian.h"

namespace talvo::insert {
namespace {

void put16(std::span<std::uint8_t> cartridge, std::size_t at, std::uint16_t value) {
  write_le16(&cartridge[at], value);
}

void put24(std::span<std::uint8_t> cartridge, std::size_t at, std::uint32_t value) {
  write_le24(&cartridge[at], value);
}

// Bits into bytes from the top down, from a given bit of the cartridge on.
// A first byte entered below its top keeps the bits above the start; a last
// byte left before its bottom keeps the bits after the end.
class BitWriter {
 public:
  BitWriter(std::span<std::uint8_t> cartridge, std::uint64_t bit)
      : out_(cartridge.data() + bit / 8), pending_(static_cast<unsigned>(bit % 8)) {
    if (pending_ != 0) held_ = *out_ >> (8 - pending_);
  }

  // `length` bits, the first highest in `bits`.
  void put(std::uint64_t bits, std::uint32_t length) {
    while (length > 32) {  // only codewords of absurd text; keep each step small
      length -= 32;
      put32(static_cast<std::uint32_t>(bits >> length), 32);
    }
    put32(static_cast<std::uint32_t>(bits & ((std::uint64_t{1} << length) - 1)), length);
  }

  void finish() {
    while (pending_ >= 8) {
      pending_ -= 8;
      *out_++ = static_cast<std::uint8_t>(held_ >> pending_);
    }
    if (pending_ == 0) return;
    const unsigned kept = 8 - pending_;
    const auto low = static_cast<std::uint8_t>(*out_ & ((1u << kept) - 1));
    *out_ = static_cast<std::uint8_t>((held_ & ((1u << pending_) - 1)) << kept | low);
    pending_ = 0;
  }

 private:
  // Fewer than 32 bits are held between calls, so 32 more fit in 64.
  void put32(std::uint32_t bits, std::uint32_t length) {
    held_ = held_ << length | bits;
    pending_ += length;
    if (pending_ >= 32) {
      pending_ -= 32;
      const auto word = static_cast<std::uint32_t>(held_ >> pending_);
      out_[0] = static_cast<std::uint8_t>(word >> 24);
      out_[1] = static_cast<std::uint8_t>(word >> 16);
      out_[2] = static_cast<std::uint8_t>(word >> 8);
      out_[3] = static_cast<std::uint8_t>(word);
      out_ += 4;
    }
  }

  std::uint8_t* out_;
  unsigned pending_;
  std::uint64_t held_ = 0;
};

std::vector<BitSpan> written_spans(const GroupPlacement& placement, std::span<const BitSpan> regions) {
  std::vector<BitSpan> written;
  for (std::size_t r = 0; r < regions.size(); ++r) {
    if (placement.fill[r].groups != 0) {
      written.push_back({regions[r].begin, regions[r].begin + placement.fill[r].used_bits});
    }
  }
  return written;
}

}  // namespace

std::vector<BitSpan> write_messages(std::span<std::uint8_t> cartridge,
                                    const std::vector<std::vector<std::uint16_t>>& messages, const HuffmanCode& code,
                                    const GroupPlacement& placement, std::span<const BitSpan> regions) {
  assert(code.has_codewords && placement.complete());
  for (const auto& [entry, value] : code.entries) put16(cartridge, rom::kMessageTree + 2 * std::size_t{entry}, value);

  for (std::size_t r = 0; r < regions.size(); ++r) {
    const RegionFill& fill = placement.fill[r];
    if (fill.groups == 0) continue;
    BitWriter writer(cartridge, regions[r].begin);
    for (std::size_t g = fill.first_group; g < fill.first_group + fill.groups; ++g) {
      // The pointer: the byte offset from the message data, then the number
      // of the first bit within that byte, 7 being the top one.
      const std::uint64_t start = placement.group_start[g];
      const auto pointer = static_cast<std::uint32_t>((start / 8 - rom::kMessageData) << 3 | (7 - start % 8));
      put24(cartridge, rom::kMessageAccessTable + rom::kPointerSize * g, pointer);
      const std::size_t last = std::min(messages.size(), (g + 1) * rom::kMessageGroup);
      for (std::size_t n = g * rom::kMessageGroup; n < last; ++n) {
        for (std::uint16_t c : messages[n]) writer.put(code.codewords[c].bits, code.codewords[c].length);
      }
    }
    writer.finish();
  }
  return written_spans(placement, regions);
}

std::vector<BitSpan> write_byte_bank(std::span<std::uint8_t> cartridge, Bank bank,
                                     const std::vector<std::vector<std::uint8_t>>& entries,
                                     const GroupPlacement& placement, std::span<const BitSpan> regions) {
  assert(placement.complete());
  const BankRecord& layout = bank_record(bank);
  for (std::size_t g = 0; g < placement.group_start.size(); ++g) {
    std::uint64_t at = placement.group_start[g] / 8;
    put24(cartridge, layout.pointer_table + rom::kPointerSize * g, static_cast<std::uint32_t>(at - layout.data));
    const std::size_t last = std::min(entries.size(), (g + 1) * layout.group);
    for (std::size_t i = g * layout.group; i < last; ++i) {
      std::memcpy(cartridge.data() + at, entries[i].data(), entries[i].size());
      at += entries[i].size();
    }
  }
  return written_spans(placement, regions);
}

}  // namespace talvo::insert
