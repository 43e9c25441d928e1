#include "room_plan.h"
#include "banks.h"

#include <optional>

namespace talvo::insert {
namespace {

bool overlaps(std::uint64_t start, std::uint64_t end, std::uint64_t other_start, std::uint64_t other_end) {
  return start < other_end && other_start < end;
}

// The tables and the valid headers are no bank's to write.
std::optional<BadRegion> table_or_header_fault(BadRegion fault, const BitSpan& span,
                                               std::span<const HeaderPlace> headers) {
  const std::uint64_t start = span.first_byte(), end = span.end_byte();
  if (overlaps(start, end, kTablesStart, kTablesEnd)) {
    fault.fault = RegionFault::OverlapsTables;
    fault.other = {kTablesStart, kTablesEnd};
    return fault;
  }
  for (const HeaderPlace& header : headers) {
    if (overlaps(start, end, header.offset, header.offset + kHeaderSize)) {
      fault.fault = RegionFault::OverlapsHeader;
      fault.other = {header.offset, header.offset + kHeaderSize};
      return fault;
    }
  }
  return std::nullopt;
}

// A bank's room holds its text as the input has it; `own` is passed over.
std::optional<BadRegion> room_fault(BadRegion fault, const BitSpan& span, const OriginalRooms& original,
                                    std::optional<Bank> own) {
  for (Bank other : kBanks) {
    if (other == own) continue;
    for (const BitSpan& room : original.room(other)) {
      if (room.touches_bytes(span.first_byte(), span.end_byte())) {
        fault.fault = RegionFault::OverlapsRoom;
        fault.other_bank = other;
        fault.other = bytes_of(room);
        return fault;
      }
    }
  }
  return std::nullopt;
}

bool reachable(Bank bank, const Region& region) {
  const std::uint64_t base = bank_record(bank).data;
  const std::uint64_t limit = bank == Bank::Messages ? kMessageOffsetLimit : kByteOffsetLimit;
  return region.start >= base && region.end - base <= limit;
}

}  // namespace

std::variant<RoomPlan, BadRegion> plan_rooms(std::size_t cartridge_size, const OriginalRooms& original,
                                             const std::array<bool, kBankCount>& inserted,
                                             std::span<const HeaderPlace> headers, const Options& options) {
  RoomPlan plan;
  for (Bank bank : kBanks) {
    BankRegions& regions = plan.banks[bank_index(bank)];
    regions.spans = original.room(bank);
    regions.own = regions.spans.size();
    if (!inserted[bank_index(bank)]) continue;
    for (const BitSpan& room : regions.spans) {
      const BadRegion about{bank, bytes_of(room), true, RegionFault::Empty, std::nullopt, {}};
      if (auto fault = table_or_header_fault(about, room, headers)) return *fault;
      if (auto fault = room_fault(about, room, original, bank)) return *fault;
    }
  }

  for (std::size_t i = 0; i < options.extra_room.size(); ++i) {
    const auto& [bank, region] = options.extra_room[i];
    BadRegion fault{bank, region, false, RegionFault::Empty, std::nullopt, {}};
    if (region.end <= region.start) return fault;
    if (region.end > cartridge_size) {
      fault.fault = RegionFault::OutsideImage;
      return fault;
    }
    const BitSpan span = byte_span(region.start, region.end);
    if (auto shared = table_or_header_fault(fault, span, headers)) return *shared;
    if (!reachable(bank, region)) {
      fault.fault = RegionFault::Unreachable;
      return fault;
    }
    if (auto shared = room_fault(fault, span, original, std::nullopt)) return *shared;
    for (std::size_t j = 0; j < i; ++j) {
      const auto& [other_bank, other] = options.extra_room[j];
      if (overlaps(region.start, region.end, other.start, other.end)) {
        fault.fault = RegionFault::OverlapsRegion;
        fault.other_bank = other_bank;
        fault.other = other;
        return fault;
      }
    }
    plan.banks[bank_index(bank)].spans.push_back(span);
  }
  return plan;
}

}  // namespace talvo::insert
