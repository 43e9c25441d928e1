#include "header_checksum.h"

#include <algorithm>
#include <bit>

#include "little_endian.h"

namespace talvo::insert {
namespace {

struct Place {
  std::uint32_t offset;
  std::uint8_t map_mode;  // without the fast-ROM bit 0x10
};

constexpr Place kPlaces[] = {{0x7FC0, 0x20}, {0xFFC0, 0x21}, {0x40FFC0, 0x25}};
constexpr std::uint8_t kFastRom = 0x10;

std::uint16_t read16(std::span<const std::uint8_t> data, std::size_t at) { return read_le16(&data[at]); }

std::uint64_t byte_sum(std::span<const std::uint8_t> data) {
  // A 32-bit sum of up to 2^24 bytes cannot overflow, and the loop vectorises.
  constexpr std::size_t kChunk = std::size_t{1} << 24;
  std::uint64_t sum = 0;
  for (std::size_t at = 0; at < data.size(); at += kChunk) {
    std::uint32_t part = 0;
    for (std::uint8_t byte : data.subspan(at, std::min(kChunk, data.size() - at))) part += byte;
    sum += part;
  }
  return sum;
}

}  // namespace

std::vector<HeaderPlace> find_consistent_headers(std::span<const std::uint8_t> cartridge) {
  std::vector<HeaderPlace> found;
  for (const Place& place : kPlaces) {
    if (cartridge.size() < place.offset || cartridge.size() - place.offset < kHeaderSize) continue;
    const std::uint8_t mode = cartridge[place.offset + kMapModeField];
    if ((mode & ~kFastRom) != place.map_mode) continue;
    const std::uint16_t complement = read16(cartridge, place.offset + kComplementField);
    const std::uint16_t checksum = read16(cartridge, place.offset + kComplementField + 2);
    if ((complement ^ checksum) == 0xFFFF) found.push_back({place.offset, mode, checksum});
  }
  return found;
}

std::uint16_t cartridge_checksum(std::span<const std::uint8_t> cartridge) {
  if (cartridge.empty()) return 0;
  const std::size_t whole = std::bit_floor(cartridge.size());
  std::uint64_t sum = byte_sum(cartridge.first(whole));
  if (whole != cartridge.size()) {
    // The rest repeats to fill the next power of two; a rest that is itself
    // not a power of two is counted the same way, part by part.
    const std::span<const std::uint8_t> rest = cartridge.subspan(whole);
    const std::uint64_t repeats = whole / std::bit_ceil(rest.size());
    sum += repeats * cartridge_checksum(rest);
  }
  return static_cast<std::uint16_t>(sum);
}

void store_checksum(std::span<std::uint8_t> cartridge, std::uint32_t offset, std::uint16_t checksum) {
  const auto complement = static_cast<std::uint16_t>(checksum ^ 0xFFFF);
  std::uint8_t* field = cartridge.data() + offset + kComplementField;
  write_le16(field, complement);
  write_le16(field + 2, checksum);
}

}  // namespace talvo::insert
