#include "reference_table_encoding.h"

#include <limits>

namespace talvo::fuzz {

std::optional<std::size_t> reference_fewest_codes(const std::vector<ReferenceEntry>& entries, std::string_view run) {
  constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();
  std::vector<std::size_t> fewest(run.size() + 1, kNone);
  fewest[0] = 0;
  for (std::size_t p = 0; p < run.size(); ++p) {
    if (fewest[p] == kNone) continue;
    for (const ReferenceEntry& entry : entries) {
      if (run.substr(p).starts_with(entry.text)) {
        std::size_t& after = fewest[p + entry.text.size()];
        if (fewest[p] + 1 < after) after = fewest[p] + 1;
      }
    }
  }
  if (fewest[run.size()] == kNone) return std::nullopt;
  return fewest[run.size()];
}

std::size_t reference_furthest_reach(const std::vector<ReferenceEntry>& entries, std::string_view run) {
  std::vector<bool> reached(run.size() + 1, false);
  reached[0] = true;
  std::size_t furthest = 0;
  for (std::size_t p = 0; p < run.size(); ++p) {
    if (!reached[p]) continue;
    for (const ReferenceEntry& entry : entries) {
      if (run.substr(p).starts_with(entry.text)) {
        reached[p + entry.text.size()] = true;
        if (p + entry.text.size() > furthest) furthest = p + entry.text.size();
      }
    }
  }
  return furthest;
}

std::optional<std::vector<std::uint16_t>> reference_greedy(const std::vector<ReferenceEntry>& entries,
                                                           std::string_view run) {
  std::vector<std::uint16_t> codes;
  for (std::size_t p = 0; p < run.size();) {
    const ReferenceEntry* best = nullptr;
    for (const ReferenceEntry& entry : entries) {
      if (!run.substr(p).starts_with(entry.text)) continue;
      if (!best || entry.text.size() > best->text.size() ||
          (entry.text.size() == best->text.size() && entry.code < best->code))
        best = &entry;
    }
    if (!best) return std::nullopt;
    codes.push_back(best->code);
    p += best->text.size();
  }
  return codes;
}

}  // namespace talvo::fuzz
