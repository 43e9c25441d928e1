// Where the bytes of chosen stretches of the target are found again: for
// each position, the longest match in the source and the longest in the
// target before it. A suffix array over those stretches and over the parts
// of the source that share a 4-byte string with them finds both exactly,
// at the cost of sorting what is indexed rather than both whole files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace talvo::bps {

// A stretch of the target, half-open: [start, end).
struct TargetSpan {
  std::size_t start = 0;
  std::size_t end = 0;
};

// The longest matches found for one target position. The lengths are what
// the index saw, at most 65535, and only a hint: its text is pieces of the
// two files laid end to end, so a match may stop or run on where a piece
// ends. A caller measures a match in the files before it uses it. A length
// of 0: nothing found.
struct LongestMatches {
  std::uint32_t source_from = 0;
  std::uint32_t target_from = 0;  // always before the position itself
  std::uint16_t source_length = 0;
  std::uint16_t target_length = 0;
};

class MatchIndex {
 public:
  // Indexes `spans` (sorted, disjoint, within the target). Source and target
  // must each be shorter than 4 GiB, and the spans with the source's parts
  // that share a string with them must fit kMaxSuffixArrayText: the caller
  // keeps the spans far below it.
  MatchIndex(std::span<const std::uint8_t> source, std::span<const std::uint8_t> target, std::vector<TargetSpan> spans);

  // The matches at target position `t`, or nullptr where no span holds it.
  // `span_hint` is the caller's: start it at 0 and pass it back each time;
  // walks that go forward find each position in a step or two.
  const LongestMatches* find(std::size_t t, std::size_t& span_hint) const;

  // Bytes of the source the index holds beside the spans.
  std::size_t indexed_source_bytes() const { return indexed_source_bytes_; }

 private:
  std::vector<TargetSpan> spans_;
  std::vector<std::size_t> span_offsets_;  // where each span's positions start in matches_
  std::vector<LongestMatches> matches_;
  std::size_t indexed_source_bytes_ = 0;
};

}  // namespace talvo::bps
