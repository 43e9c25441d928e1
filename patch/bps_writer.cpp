// Writing a BPS patch: a quick plan from hash tables of windows, then a
// thorough one where the quick plan stored bytes or copied short pieces,
// from the longest matches a suffix array finds there and a shortest path
// over what each action costs in the patch. The cheaper plan is written.
#include <algorithm>
#include <limits>
#include <vector>

#include "bps.h"
#include "cheapest_plan.h"
#include "crc32.h"
#include "match_index.h"
#include "patch_plan.h"
#include "quick_plan.h"

namespace talvo::bps {
namespace {

// The target bytes the thorough planner indexes: about 70 bytes of memory
// each, so a 16th of both files' size keeps the writer within 8 bytes a
// byte of them (16 KiB at least, for small files); and no more than 512 KiB,
// which is more than a whole rewritten text takes and sorts in milliseconds.
std::uint64_t index_budget(std::size_t source_size, std::size_t target_size) {
  constexpr std::uint64_t kLeast = 16 << 10;
  constexpr std::uint64_t kMost = 512 << 10;
  return std::clamp<std::uint64_t>((std::uint64_t{source_size} + target_size) / 16, kLeast, kMost);
}

Plan cheapest_of(std::span<const std::uint8_t> source, std::span<const std::uint8_t> target) {
  Plan quick = quick_plan(source, target);
  // The index keeps 32-bit positions.
  constexpr std::size_t kIndexable = std::numeric_limits<std::uint32_t>::max();
  if (source.size() >= kIndexable || target.size() >= kIndexable) return quick;
  const std::vector<TargetSpan> spans = spans_to_index(quick, index_budget(source.size(), target.size()));
  const MatchIndex index(source, target, spans);
  Plan thorough = cheapest_plan(source, target, quick, index, spans);
  return encoded_size(thorough) < encoded_size(quick) ? thorough : quick;
}

void append_le32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

}  // namespace

std::vector<std::uint8_t> create(std::span<const std::uint8_t> source, std::span<const std::uint8_t> target,
                                 std::span<const std::uint8_t> metadata) {
  const Plan plan = cheapest_of(source, target);
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
