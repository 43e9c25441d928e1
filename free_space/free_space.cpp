#include "free_space.h"

#include <algorithm>

#include "banks.h"
#include "header_checksum.h"
#include "original_rooms.h"

namespace talvo::free_space {
namespace {

struct ByteRange {
  std::uint64_t start = 0;
  std::uint64_t end = 0;
};

// What no region may touch, as insertion checks regions: every bank's room,
// the pointer tables and the tree, and every header that looks like one;
// in address order, overlaps joined.
std::vector<ByteRange> taken_bytes(std::span<const std::uint8_t> cartridge, const insert::OriginalRooms& rooms) {
  std::vector<ByteRange> taken{{insert::kTablesStart, insert::kTablesEnd}};
  for (Bank bank : kBanks) {
    for (const insert::BitSpan& room : rooms.room(bank)) {
      if (room.bits() > 0) taken.push_back({room.first_byte(), room.end_byte()});
    }
  }
  for (const insert::HeaderPlace& header : insert::find_consistent_headers(cartridge)) {
    taken.push_back({header.offset, header.offset + insert::kHeaderSize});
  }
  std::sort(taken.begin(), taken.end(), [](const ByteRange& a, const ByteRange& b) { return a.start < b.start; });
  std::vector<ByteRange> joined;
  for (const ByteRange& range : taken) {
    if (!joined.empty() && range.start <= joined.back().end) {
      joined.back().end = std::max(joined.back().end, range.end);
    } else {
      joined.push_back(range);
    }
  }
  return joined;
}

// Every maximal run of 0x00 or 0xFF of at least kShortestRun bytes, in
// address order.
std::vector<FreeRun> blank_runs(std::span<const std::uint8_t> cartridge) {
  std::vector<FreeRun> runs;
  const std::uint8_t* const begin = cartridge.data();
  const std::uint8_t* const end = begin + cartridge.size();
  const std::uint8_t* at = begin;
  while (at != end) {
    at = std::find_if(at, end, [](std::uint8_t b) { return b == 0x00 || b == 0xFF; });
    if (at == end) break;
    const std::uint8_t byte = *at;
    const std::uint8_t* const stop = std::find_if(at, end, [byte](std::uint8_t b) { return b != byte; });
    if (stop - at >= kShortestRun) {
      runs.push_back({static_cast<std::uint32_t>(at - begin), static_cast<std::uint32_t>(stop - begin), byte});
    }
    at = stop;
  }
  return runs;
}

// The part of `run` the bank's pointers reach, when it is long enough.
void offer(const FreeRun& run, Bank bank, std::uint64_t image_end, FreeSpace& space) {
  const std::uint64_t base = bank_record(bank).data;
  const std::uint64_t limit = bank == Bank::Messages ? insert::kMessageOffsetLimit : insert::kByteOffsetLimit;
  const std::uint64_t start = std::max<std::uint64_t>(run.start, base);
  const std::uint64_t end = std::min({std::uint64_t{run.end}, base + limit, image_end});
  if (end > start && end - start >= kShortestRun) {
    space.banks[bank_index(bank)].push_back(
        {static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(end), run.byte});
  }
}

}  // namespace

std::variant<FreeSpace, insert::BrokenOriginal> find_free_space(std::span<const std::uint8_t> cartridge) {
  const auto found = insert::find_original_rooms(cartridge);
  if (const auto* broken = std::get_if<insert::BrokenOriginal>(&found)) return *broken;
  const std::vector<ByteRange> taken = taken_bytes(cartridge, std::get<insert::OriginalRooms>(found));

  FreeSpace space;
  std::size_t next_taken = 0;
  for (const FreeRun& run : blank_runs(cartridge)) {
    // Both lists are in address order: the taken ranges that end before this
    // run are behind every later run too.
    while (next_taken < taken.size() && taken[next_taken].end <= run.start) ++next_taken;
    std::uint64_t from = run.start;
    for (std::size_t t = next_taken; t < taken.size() && taken[t].start < run.end; ++t) {
      if (taken[t].start > from) {
        for (Bank bank : kBanks) {
          offer({static_cast<std::uint32_t>(from), static_cast<std::uint32_t>(taken[t].start), run.byte}, bank,
                cartridge.size(), space);
        }
      }
      from = std::max(from, taken[t].end);
    }
    if (from < run.end) {
      for (Bank bank : kBanks) {
        offer({static_cast<std::uint32_t>(from), run.end, run.byte}, bank, cartridge.size(), space);
      }
    }
  }
  for (std::vector<FreeRun>& runs : space.banks) {
    std::sort(runs.begin(), runs.end(), [](const FreeRun& a, const FreeRun& b) {
      return a.bytes() != b.bytes() ? a.bytes() > b.bytes() : a.start < b.start;
    });
  }
  return space;
}

}  // namespace talvo::free_space
