// A patch written between two files gives the target back, byte for byte.
//
// Input: a byte choosing how the target is made, a 16-bit source size (low
// byte first), that many source bytes, then edits of 6 bytes each: a kind,
// a 16-bit position and a 16-bit length (taken modulo the current target's
// size and 4096), and a value. Made independently (choice bit 0), the target
// is the rest of the input; otherwise it starts as the source and the edits
// change it: set a byte, move a block, insert a run, insert new bytes,
// insert a copy of another part, delete, truncate, or grow.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "bps.h"
#include "bps_number.h"
#include "fuzz_check.h"
#include "input_reader.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t kLongestEdit = 4096;

// New bytes, different from anything else unless the fuzzer makes them so.
Bytes new_bytes(std::uint32_t count, std::uint8_t seed) {
  Bytes bytes(count);
  std::uint32_t state = 0x9E3779B9u * (seed + 1u);
  for (auto& b : bytes) {
    state = state * 1664525u + 1013904223u;
    b = static_cast<std::uint8_t>(state >> 24);
  }
  return bytes;
}

void edit(Bytes& target, std::uint8_t kind, std::uint32_t position, std::uint32_t length, std::uint8_t value) {
  const std::size_t size = target.size();
  const std::size_t at = size == 0 ? 0 : position % size;
  const std::size_t count = std::min<std::size_t>(length % kLongestEdit, size - at);
  const auto begin = target.begin() + static_cast<std::ptrdiff_t>(at);
  const auto end = begin + static_cast<std::ptrdiff_t>(count);
  switch (kind % 8) {
    case 0:
      if (size > 0) *begin = value;
      break;
    case 1:  // the block moves to the end
      std::rotate(begin, end, target.end());
      break;
    case 2:
      target.insert(begin, length % kLongestEdit, value);
      break;
    case 3: {
      const Bytes fresh = new_bytes(length % kLongestEdit, value);
      target.insert(begin, fresh.begin(), fresh.end());
      break;
    }
    case 4: {
      const Bytes block(begin, end);
      const std::size_t to = size == 0 ? 0 : (at + value * 97u) % size;
      target.insert(target.begin() + static_cast<std::ptrdiff_t>(to), block.begin(), block.end());
      break;
    }
    case 5:
      target.erase(begin, end);
      break;
    case 6:
      target.resize(at);
      break;
    case 7: {
      const Bytes fresh = new_bytes(length % kLongestEdit, value);
      target.insert(target.end(), fresh.begin(), fresh.end());
      break;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  talvo::fuzz::InputReader input({data, size});
  const std::uint8_t choice = input.byte();
  const auto source_span = input.bytes(input.u16());
  const Bytes source(source_span.begin(), source_span.end());
  Bytes target;
  if (choice & 1) {
    const auto rest = input.bytes(input.remaining());
    target.assign(rest.begin(), rest.end());
  } else {
    target = source;
    while (!input.empty()) {
      const std::uint8_t kind = input.byte();
      const std::uint32_t position = input.u16();
      const std::uint32_t length = input.u16();
      edit(target, kind, position, length, input.byte());
    }
  }

  const Bytes patch = talvo::bps::create(source, target);
  const talvo::bps::ApplyResult result = talvo::bps::apply(patch, source);
  FUZZ_CHECK(result.ok());
  FUZZ_CHECK(result.target == target);
  if (!source.empty() && source == target) {
    // One SourceRead between the header and the checksums.
    using talvo::bps::number_size;
    FUZZ_CHECK(patch.size() == 4 + 2 * number_size(source.size()) + 1 + number_size((source.size() - 1) << 2) + 12);
  }
  return 0;
}
