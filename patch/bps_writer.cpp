// Writing a BPS patch: the plan of one greedy walk, encoded.
#include <vector>

#include "bps.h"
#include "crc32.h"
#include "patch_plan.h"
#include "quick_plan.h"

namespace talvo::bps {
namespace {

void append_le32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

}  // namespace

std::vector<std::uint8_t> create(std::span<const std::uint8_t> source, std::span<const std::uint8_t> target,
                                 std::span<const std::uint8_t> metadata) {
  const Plan plan = quick_plan(source, target);
  std::vector<std::uint8_t> patch{'B', 'P', 'S', '1'};
  // Room for the whole patch at once: growing by copies would cost more.
  patch.reserve(metadata.size() + encoded_size(plan) + 64);
  append_number(patch, source.size());
  append_number(patch, target.size());
  append_number(patch, metadata.size());
  patch.insert(patch.end(), metadata.begin(), metadata.end());
  append_actions(patch, plan, target);
  append_le32(patch, crc32_of(source));
  append_le32(patch, crc32_of(target));
  append_le32(patch, crc32_of(patch));
  return patch;
}

}  // namespace talvo::bps
