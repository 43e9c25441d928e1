// The cartridge's internal header: its checksum is the sum of the image's
// bytes, and emulators warn when it does not match. A header is looked for
// at the three places a cartridge keeps one; each place goes with its map
// mode (LoROM, HiROM, ExHiROM, each also as fast ROM).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace talvo::insert {

inline constexpr std::uint32_t kHeaderSize = 32;
inline constexpr std::uint32_t kComplementField = 0x1C;  // then the checksum at 0x1E, both little-endian
inline constexpr std::uint32_t kMapModeField = 0x15;

struct HeaderPlace {
  std::uint32_t offset = 0;
  std::uint8_t map_mode = 0;
  std::uint16_t checksum = 0;
};

// The places whose checksum and complement agree and whose map mode fits
// the place. Random bytes pass this about once in ten million tries.
std::vector<HeaderPlace> find_consistent_headers(std::span<const std::uint8_t> cartridge);

// The sum of every byte modulo 65536; an image whose size is not a power of
// two counts as if its last part repeated up to the next one (a 6 MB image
// as its first 4 MB and twice its last 2 MB).
std::uint16_t cartridge_checksum(std::span<const std::uint8_t> cartridge);

// Stores checksum and complement in the header at `offset`. The four bytes
// always add up to 0x1FE, so they do not change the sum they record.
void store_checksum(std::span<std::uint8_t> cartridge, std::uint32_t offset, std::uint16_t checksum);

}  // namespace talvo::insert
