// Applying any bytes as a BPS patch to any source never crashes, never reads
// outside its inputs, agrees with a plain byte-at-a-time reader, and never
// hands back a target whose CRC-32 (computed here bit by bit) is not the one
// the patch records.
//
// Input: one byte of flags, a 16-bit source size (low byte first), that many
// source bytes, then the patch. Random bytes rarely carry right checksums, so
// the flags let the fuzzer reach the actions: bit 0 writes the source's
// CRC-32 into the patch, bit 1 the CRC-32 of the target that the plain reader
// writes, bit 2 the patch's own CRC-32 (after the other two).
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "bps.h"
#include "fuzz_check.h"
#include "input_reader.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// Targets past this size are passed over: a few bytes can ask for 256 MiB,
// which is legal but slow, and the fuzzer would keep finding such inputs.
constexpr std::uint64_t kLargestTarget = 1 << 20;

std::uint32_t bitwise_crc32(std::span<const std::uint8_t> bytes) {
  std::uint32_t crc = 0xFFFFFFFF;
  for (std::uint8_t b : bytes) {
    crc ^= b;
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
  }
  return ~crc;
}

std::uint32_t le32(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
         static_cast<std::uint32_t>(bytes[at + 2]) << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

void put_le32(Bytes& bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// A plain reader, one byte at a time, checking every index it uses.
struct PlainReader {
  std::span<const std::uint8_t> patch;
  std::size_t at = 0;
  std::size_t end = 0;  // where the footer starts

  std::optional<std::uint64_t> number() {
    std::uint64_t value = 0;
    std::uint64_t scale = 1;
    while (at < end) {
      const std::uint8_t b = patch[at++];
      std::uint64_t part = 0;
      if (__builtin_mul_overflow(std::uint64_t{b & 0x7Fu}, scale, &part)) return std::nullopt;
      if (__builtin_add_overflow(value, part, &value)) return std::nullopt;
      if (b & 0x80) return value;
      if (__builtin_mul_overflow(scale, std::uint64_t{128}, &scale)) return std::nullopt;
      if (__builtin_add_overflow(value, scale, &value)) return std::nullopt;
    }
    return std::nullopt;
  }
};

struct PlainResult {
  std::optional<Bytes> target;  // what the actions write, if they are sound
  std::uint64_t target_size = 0;
};

// Runs the actions, judging no checksum.
PlainResult plain_actions(std::span<const std::uint8_t> patch, std::span<const std::uint8_t> source) {
  PlainResult result;
  if (patch.size() < 4 + 12 || patch[0] != 'B' || patch[1] != 'P' || patch[2] != 'S' || patch[3] != '1') return result;
  PlainReader in{patch, 4, patch.size() - 12};
  const auto source_size = in.number();
  const auto target_size = in.number();
  const auto metadata_size = in.number();
  if (!source_size || !target_size || !metadata_size || *metadata_size > in.end - in.at) return result;
  result.target_size = *target_size;
  if (*source_size != source.size() || *target_size > kLargestTarget) return result;
  in.at += *metadata_size;
  Bytes out;
  std::int64_t source_at = 0;
  std::int64_t target_at = 0;
  while (in.at < in.end) {
    const auto head = in.number();
    if (!head) return result;
    const std::uint64_t length = (*head >> 2) + 1;
    if (length > *target_size - out.size()) return result;
    const unsigned kind = *head & 3;
    if (kind == 0) {
      for (std::uint64_t i = 0; i < length; ++i) {
        if (out.size() >= source.size()) return result;
        out.push_back(source[out.size()]);
      }
    } else if (kind == 1) {
      for (std::uint64_t i = 0; i < length; ++i) {
        if (in.at >= in.end) return result;
        out.push_back(patch[in.at++]);
      }
    } else {
      const auto offset = in.number();
      if (!offset) return result;
      // Positions stay within the target's size, so the sums cannot overflow.
      const auto distance = static_cast<std::int64_t>(*offset >> 1 & 0x3FFFFFFFFFFFFFFF);
      if ((*offset >> 1) > kLargestTarget) return result;
      std::int64_t& position = kind == 2 ? source_at : target_at;
      position += (*offset & 1) ? -distance : distance;
      for (std::uint64_t i = 0; i < length; ++i) {
        const std::span<const std::uint8_t> from = kind == 2 ? source : std::span<const std::uint8_t>(out);
        if (position < 0 || static_cast<std::uint64_t>(position) >= from.size()) return result;
        out.push_back(from[static_cast<std::size_t>(position++)]);
      }
    }
  }
  if (out.size() != *target_size) return result;
  result.target = std::move(out);
  return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  talvo::fuzz::InputReader input({data, size});
  const std::uint8_t flags = input.byte();
  const auto source_span = input.bytes(input.u16());
  const Bytes source(source_span.begin(), source_span.end());
  const auto rest = input.bytes(input.remaining());
  Bytes patch(rest.begin(), rest.end());

  if (patch.size() >= 12) {
    const std::size_t footer = patch.size() - 12;
    if (flags & 1) put_le32(patch, footer, bitwise_crc32(source));
    if (flags & 2) {
      if (const PlainResult plain = plain_actions(patch, source); plain.target) {
        put_le32(patch, footer + 4, bitwise_crc32(*plain.target));
      }
    }
    if (flags & 4) put_le32(patch, footer + 8, bitwise_crc32(std::span(patch).first(footer + 8)));
  }
  const PlainResult plain = plain_actions(patch, source);
  if (plain.target_size > kLargestTarget) return 0;

  // Both are vectors of their exact size: a read past either is caught.
  const talvo::bps::ApplyResult result = talvo::bps::apply(patch, source);
  const std::size_t footer = patch.size() - 12;
  const bool plain_accepts = plain.target && le32(patch, footer) == bitwise_crc32(source) &&
                             le32(patch, footer + 4) == bitwise_crc32(*plain.target) &&
                             le32(patch, footer + 8) == bitwise_crc32(std::span(patch).first(footer + 8));
  FUZZ_CHECK(result.ok() == plain_accepts);
  if (result.ok()) {
    FUZZ_CHECK(result.target == *plain.target);
    FUZZ_CHECK(bitwise_crc32(result.target) == le32(patch, footer + 4));
    FUZZ_CHECK(result.message.empty());
  } else {
    FUZZ_CHECK(result.target.empty());
    FUZZ_CHECK(!result.message.empty() && result.message.find('\n') == std::string::npos);
  }
  return 0;
}
