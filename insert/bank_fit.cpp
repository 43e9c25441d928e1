#include "bank_fit.h"
#include "banks.h"

#include <algorithm>
#include <numeric>

namespace talvo::insert {
namespace {

constexpr std::size_t kLargestShown = 5;

std::uint64_t bytes_for(std::uint64_t bits) { return (bits + 7) / 8; }

std::vector<EntrySize> largest_entries(std::span<const std::uint64_t> entry_bits) {
  std::vector<std::size_t> order(entry_bits.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  const std::size_t shown = std::min(kLargestShown, order.size());
  std::partial_sort(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(shown), order.end(),
                    [&](std::size_t a, std::size_t b) {
                      return entry_bits[a] != entry_bits[b] ? entry_bits[a] > entry_bits[b] : a < b;
                    });
  std::vector<EntrySize> largest;
  for (std::size_t k = 0; k < shown; ++k) {
    largest.push_back({order[k], entry_bits[order[k]], bytes_for(entry_bits[order[k]])});
  }
  return largest;
}

}  // namespace

std::vector<std::uint64_t> message_sizes(const std::vector<std::vector<std::uint16_t>>& messages,
                                         const HuffmanCode& code) {
  std::vector<std::uint64_t> sizes(messages.size(), 0);
  for (std::size_t n = 0; n < messages.size(); ++n) {
    for (std::uint16_t c : messages[n]) sizes[n] += code.lengths[c];
  }
  return sizes;
}

std::vector<std::uint64_t> byte_entry_sizes(const std::vector<std::vector<std::uint8_t>>& entries) {
  std::vector<std::uint64_t> sizes(entries.size(), 0);
  for (std::size_t i = 0; i < entries.size(); ++i) sizes[i] = 8 * std::uint64_t{entries[i].size()};
  return sizes;
}

BankPlan plan_bank(Bank bank, std::span<const std::uint64_t> entry_bits, std::span<const BitSpan> regions,
                   std::size_t own) {
  const std::size_t group = bank_record(bank).group;
  std::vector<std::uint64_t> group_bits((entry_bits.size() + group - 1) / group, 0);
  for (std::size_t i = 0; i < entry_bits.size(); ++i) group_bits[i / group] += entry_bits[i];

  BankPlan plan;
  plan.placement = place_groups(group_bits, regions, group_start_limit(bank));
  BankFit& fit = plan.fit;
  fit.bank = bank;
  fit.fits = plan.placement.complete();
  fit.first_group_left_out = plan.placement.first_left_out;
  fit.needed_bits = std::accumulate(group_bits.begin(), group_bits.end(), std::uint64_t{0});
  fit.needed_bytes = bytes_for(fit.needed_bits);
  fit.largest = largest_entries(entry_bits);
  for (std::size_t r = 0; r < regions.size(); ++r) {
    const BitSpan& span = regions[r];
    const RegionFill& fill = plan.placement.fill[r];
    RegionUse use;
    use.region = bytes_of(span);
    use.default_room = r < own;
    use.start_bit = static_cast<unsigned>(7 - span.begin % 8);
    use.room_bits = span.bits();
    use.used_bits = fill.used_bits;
    use.used_bytes =
        fill.used_bits == 0 ? 0 : BitSpan{span.begin, span.begin + fill.used_bits}.end_byte() - span.first_byte();
    use.first_group = fill.first_group;
    use.groups = fill.groups;
    fit.room_bits += use.room_bits;
    fit.room_bytes += span.end_byte() - span.first_byte();
    if (fit.fits) fit.used_bytes += use.used_bytes;
    fit.regions.push_back(use);
  }
  return plan;
}

}  // namespace talvo::insert
