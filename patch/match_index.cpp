// The index's text is the spans of the target, in order, then pieces of the
// source: around every 4th source position whose 4 bytes occur in a span,
// from 16 bytes before to 16 after. A match of 7 bytes or more between a
// span and the source holds such a position, so its whole source side lies
// in one piece; shorter ones are found when a piece happens to hold them.
// Inside long runs of one byte only the run's ends are taken: its middle
// matches nothing that a run in the target would not copy from itself.
//
// Sorting the text's suffixes puts every suffix beside those it shares the
// longest beginnings with. Walking the suffix array forwards and backwards
// then gives each span position the nearest source suffix on either side,
// the longest source match, and the nearest earlier span position on either
// side (by a stack of positions, smallest on top), the longest match in the
// target before it. Both walks take the common length of two suffixes as the
// least of the neighbouring ones between them.
#include "match_index.h"

#include <algorithm>
#include <bit>
#include <limits>

#include "match_length.h"
#include "suffix_array.h"

namespace talvo::bps {
namespace {

constexpr std::size_t kKeyBytes = 4;
// Every 4th source position is looked up, or every one in a source under
// 1 MiB: a lookup costs a few nanoseconds, and the short matches a sparser
// look misses pay a byte or two each.
constexpr std::size_t kSourceStep = 4;
constexpr std::size_t kDenseSource = 1 << 20;
constexpr std::size_t kPieceReach = 16;
constexpr std::uint32_t kNone = std::numeric_limits<std::uint32_t>::max();
constexpr std::uint32_t kLengthCap = std::numeric_limits<std::uint16_t>::max();

std::uint32_t load32(const std::uint8_t* p) {
  std::uint32_t value;
  std::memcpy(&value, p, sizeof value);
  return value;
}

// The 4-byte strings of the spans: a bitmap of hashes small enough to stay
// in the cache answers most lookups, a table of the strings themselves the
// rest, so the source's pieces hold no false hits.
class FourByteSet {
 public:
  explicit FourByteSet(std::size_t count) {
    unsigned bits = 10;
    while (bits < 30 && (std::size_t{1} << bits) < 2 * count) ++bits;
    table_bits_ = bits;
    table_.assign(std::size_t{1} << bits, 0);
    // 16 bits a string, at most 1 MiB.
    bitmap_bits_ = std::min(bits + 3, 23u);
    bitmap_.assign((std::size_t{1} << bitmap_bits_) / 64, 0);
  }

  void insert(std::uint32_t key) {
    const std::size_t bit = hash(key, bitmap_bits_);
    bitmap_[bit / 64] |= std::uint64_t{1} << (bit % 64);
    if (key == 0) {
      has_zero_ = true;  // 0 marks the table's empty slots
      return;
    }
    const std::size_t mask = table_.size() - 1;
    for (std::size_t slot = hash(key, table_bits_);; slot = (slot + 1) & mask) {
      if (table_[slot] == key) return;
      if (table_[slot] == 0) {
        table_[slot] = key;
        return;
      }
    }
  }

  bool contains(std::uint32_t key) const {
    const std::size_t bit = hash(key, bitmap_bits_);
    if ((bitmap_[bit / 64] >> (bit % 64) & 1) == 0) return false;
    if (key == 0) return has_zero_;
    const std::size_t mask = table_.size() - 1;
    for (std::size_t slot = hash(key, table_bits_);; slot = (slot + 1) & mask) {
      if (table_[slot] == key) return true;
      if (table_[slot] == 0) return false;
    }
  }

 private:
  static std::size_t hash(std::uint32_t key, unsigned bits) {
    return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ULL) >> (64 - bits));
  }

  unsigned table_bits_ = 0;
  unsigned bitmap_bits_ = 0;
  std::vector<std::uint32_t> table_;
  std::vector<std::uint64_t> bitmap_;
  bool has_zero_ = false;
};

struct Piece {
  std::size_t start = 0;
  std::size_t end = 0;
};

// Where the run of one byte that starts at `p` ends.
std::size_t run_end(std::span<const std::uint8_t> data, std::size_t p) {
  const std::uint64_t run = std::uint64_t{data[p]} * 0x0101010101010101ULL;
  while (p + 8 <= data.size() && load64(data.data() + p) == run) p += 8;
  while (p < data.size() && data[p] == (run & 0xFF)) ++p;
  return p;
}

// The source's pieces, at most `budget` bytes of them.
std::vector<Piece> source_pieces(std::span<const std::uint8_t> source, const FourByteSet& keys, std::size_t budget) {
  std::vector<Piece> pieces;
  std::size_t taken = 0;
  const std::size_t step = source.size() < kDenseSource ? 1 : kSourceStep;
  for (std::size_t p = 0; p + kKeyBytes <= source.size() && taken < budget;) {
    if (keys.contains(load32(source.data() + p))) {
      const std::size_t start = p > kPieceReach ? p - kPieceReach : 0;
      const std::size_t end = std::min(source.size(), p + kKeyBytes + kPieceReach);
      if (!pieces.empty() && pieces.back().end >= start) {
        taken += end - pieces.back().end;
        pieces.back().end = end;
      } else {
        taken += end - start;
        pieces.push_back({start, end});
      }
    }
    std::size_t next = p + step;
    if (p + 8 <= source.size() && load64(source.data() + p) == source[p] * 0x0101010101010101ULL) {
      // Inside a run: on to the last positions whose pieces reach past it.
      const std::size_t end = run_end(source, p);
      if (end > kKeyBytes + kPieceReach) next = std::max(next, end - kKeyBytes - kPieceReach);
    }
    p = next;
  }
  return pieces;
}

// Of two matches the longer, or of two as long the earlier: copies from
// early in a file lie nearer each other, and nearer copies cost shorter
// offsets.
bool better(std::uint32_t length, std::uint32_t from, std::uint32_t than_length, std::uint32_t than_from) {
  return length > than_length || (length == than_length && length > 0 && from < than_from);
}

// The common length of each suffix in the array and the one before it
// (Kasai's method, through the array of each suffix's predecessor).
std::vector<std::uint32_t> common_lengths(std::span<const std::uint8_t> text, const std::vector<std::int32_t>& sa) {
  const std::size_t size = text.size();
  std::vector<std::int32_t> by_position(size);
  by_position[static_cast<std::size_t>(sa[0])] = -1;
  for (std::size_t i = 1; i < size; ++i) by_position[static_cast<std::size_t>(sa[i])] = sa[i - 1];
  for (std::size_t i = 0, h = 0; i < size; ++i) {
    const std::int32_t before = by_position[i];
    if (before < 0) {
      by_position[i] = 0;
      h = 0;
      continue;
    }
    const auto j = static_cast<std::size_t>(before);
    h += match_length(text.data() + i + h, text.data() + j + h, size - std::max(i, j) - h);
    by_position[i] = static_cast<std::int32_t>(h);
    if (h > 0) --h;
  }
  std::vector<std::uint32_t> common(size);
  for (std::size_t i = 0; i < size; ++i)
    common[i] = static_cast<std::uint32_t>(by_position[static_cast<std::size_t>(sa[i])]);
  return common;
}

}  // namespace

MatchIndex::MatchIndex(std::span<const std::uint8_t> source, std::span<const std::uint8_t> target,
                       std::vector<TargetSpan> spans)
    : spans_(std::move(spans)) {
  std::size_t span_bytes = 0;
  for (const TargetSpan& span : spans_) {
    span_offsets_.push_back(span_bytes);
    span_bytes += span.end - span.start;
  }
  if (span_bytes == 0) return;

  std::vector<Piece> pieces;
  {
    FourByteSet keys(span_bytes);
    for (const TargetSpan& span : spans_) {
      for (std::size_t t = span.start; t < span.end && t + kKeyBytes <= target.size(); ++t) {
        keys.insert(load32(target.data() + t));
      }
    }
    pieces = source_pieces(source, keys, 2 * span_bytes + (64 << 10));
  }

  // The text, and where each of its bytes comes from: a target position for
  // the first span_bytes, a source position after them.
  std::vector<std::uint8_t> text;
  std::vector<std::uint32_t> origin;
  for (const Piece& piece : pieces) indexed_source_bytes_ += piece.end - piece.start;
  text.reserve(span_bytes + indexed_source_bytes_);
  origin.reserve(span_bytes + indexed_source_bytes_);
  for (const TargetSpan& span : spans_) {
    text.insert(text.end(), target.begin() + static_cast<std::ptrdiff_t>(span.start),
                target.begin() + static_cast<std::ptrdiff_t>(span.end));
    for (std::size_t t = span.start; t < span.end; ++t) origin.push_back(static_cast<std::uint32_t>(t));
  }
  for (const Piece& piece : pieces) {
    text.insert(text.end(), source.begin() + static_cast<std::ptrdiff_t>(piece.start),
                source.begin() + static_cast<std::ptrdiff_t>(piece.end));
    for (std::size_t s = piece.start; s < piece.end; ++s) origin.push_back(static_cast<std::uint32_t>(s));
  }
  const std::size_t size = text.size();

  const std::vector<std::int32_t> sa = suffix_array(text);
  const std::vector<std::uint32_t> common = common_lengths(text, sa);

  // The walks go through the array in order; what they find is kept in its
  // order too and put in place afterwards, so no step waits on memory.
  std::vector<std::uint32_t> sorted_origin(size);
  for (std::size_t i = 0; i < size; ++i) sorted_origin[i] = origin[static_cast<std::size_t>(sa[i])];
  origin = {};
  std::vector<LongestMatches> sorted(size);
  struct Earlier {
    std::uint32_t at;      // position in the text, within the spans
    std::uint32_t from;    // its target position
    std::uint32_t common;  // least common length from it to the next one up, or to where the walk is
  };
  // A stack of positions, smallest at the bottom: the bottom one stands for
  // none and is never passed (it shares nothing).
  std::vector<Earlier> earlier(span_bytes + 1);
  for (const bool forwards : {true, false}) {
    std::uint32_t source_from = kNone;
    std::uint32_t source_common = 0;
    std::size_t top = 0;
    earlier[0] = {0, 0, 0};
    for (std::size_t k = 0; k < size; ++k) {
      const std::size_t i = forwards ? k : size - 1 - k;
      if (k > 0) {
        const std::uint32_t step = common[forwards ? i : i + 1];
        source_common = std::min(source_common, step);
        earlier[top].common = std::min(earlier[top].common, step);
      }
      const auto at = static_cast<std::uint32_t>(sa[i]);
      if (at >= span_bytes) {
        source_from = sorted_origin[i];
        source_common = kNone;
        continue;
      }
      LongestMatches& found = sorted[i];
      if (source_from != kNone &&
          better(std::min(source_common, kLengthCap), source_from, found.source_length, found.source_from)) {
        found.source_length = static_cast<std::uint16_t>(std::min(source_common, kLengthCap));
        found.source_from = source_from;
      }
      while (earlier[top].at > at) {
        const std::uint32_t passed = earlier[top].common;
        --top;
        earlier[top].common = std::min(earlier[top].common, passed);
      }
      const Earlier& below = earlier[top];
      if (better(std::min(below.common, kLengthCap), below.from, found.target_length, found.target_from)) {
        found.target_length = static_cast<std::uint16_t>(std::min(below.common, kLengthCap));
        found.target_from = below.from;
      }
      earlier[++top] = {at, sorted_origin[i], kNone};
    }
  }
  matches_.resize(span_bytes);
  for (std::size_t i = 0; i < size; ++i) {
    if (static_cast<std::size_t>(sa[i]) < span_bytes) matches_[static_cast<std::size_t>(sa[i])] = sorted[i];
  }
}

const LongestMatches* MatchIndex::find(std::size_t t, std::size_t& span_hint) const {
  if (spans_.empty()) return nullptr;
  if (span_hint >= spans_.size() || t < spans_[span_hint].start) {
    const auto after =
        std::upper_bound(spans_.begin(), spans_.end(), t,
                         [](std::size_t position, const TargetSpan& span) { return position < span.start; });
    if (after == spans_.begin()) return nullptr;
    span_hint = static_cast<std::size_t>(after - spans_.begin()) - 1;
  }
  while (span_hint + 1 < spans_.size() && spans_[span_hint + 1].start <= t) ++span_hint;
  const TargetSpan& span = spans_[span_hint];
  if (t >= span.end) return nullptr;
  return &matches_[span_offsets_[span_hint] + (t - span.start)];
}

}  // namespace talvo::bps
