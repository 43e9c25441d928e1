// The patch writer as it was before the suffix-array planner, kept for the
// benchmark to hold the new writer to (never larger, and how much slower):
// one greedy walk over the target. At each position the
// candidates are the source at the same offset (SourceRead, which costs no
// offset), the source and the target found through hash tables of 8-byte
// windows (SourceCopy, TargetCopy), where the last copy left off, and a run
// of the byte before; the one that saves the most bytes over storing them
// as they are wins, and bytes that nothing covers are stored (TargetRead).
#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

#include "baseline_bps_writer.h"
#include "bps.h"
#include "bps_actions.h"
#include "bps_number.h"
#include "crc32.h"

namespace talvo::bps::baseline {
namespace {

// Windows of 8 bytes are hashed to find matches, in tables of at most 2 MiB:
// fresh memory costs a page fault per 4 KiB, which outweighs the lookups.
// The source is indexed every 4th position, or sparser where it has more
// windows than the table has slots (every 12th for 6 MB), so a match of
// 8 + step - 1 bytes has a window in the table unless another took its
// slot. Stored target bytes are all indexed, copied ones sparsely: what
// they hold is in the source too.
constexpr std::size_t kWindow = 8;
constexpr std::size_t kMinSourceStep = 4;
constexpr std::size_t kCopiedTargetStep = 32;
constexpr unsigned kMaxTableBits = 19;
constexpr std::uint32_t kEmpty = std::numeric_limits<std::uint32_t>::max();
// Where nothing has matched for a while, the walk looks at fewer positions:
// one more byte is passed over after every 32 misses, up to 31. A match that
// starts in a passed-over stretch is still found further on and reaches back.
constexpr std::size_t kSkipShift = 5;
constexpr std::size_t kMaxSkip = 31;
// An action that splits a run of stored bytes in two must save this many
// bytes over storing its own, since the rest of the run needs a new header.
// Elsewhere, costing no more than the bytes it writes is enough: storing
// them would take a header too.
constexpr std::int64_t kSplitSaving = 2;

std::uint64_t load64(const std::uint8_t* p) {
  std::uint64_t value;
  std::memcpy(&value, p, sizeof value);
  return value;
}

// How many bytes from a and b agree, up to `limit`.
std::size_t match_length(const std::uint8_t* a, const std::uint8_t* b, std::size_t limit) {
  std::size_t n = 0;
  while (n + 8 <= limit) {
    const std::uint64_t differ = load64(a + n) ^ load64(b + n);
    if (differ != 0) {
      if constexpr (std::endian::native == std::endian::little) return n + std::countr_zero(differ) / 8;
      return n + std::countl_zero(differ) / 8;
    }
    n += 8;
  }
  while (n < limit && a[n] == b[n]) ++n;
  return n;
}

// A hash table of window positions, one per slot, the latest kept.
class WindowTable {
 public:
  explicit WindowTable(std::size_t positions) {
    unsigned bits = 10;
    while (bits < kMaxTableBits && (std::size_t{1} << bits) < positions) ++bits;
    shift_ = 64 - bits;
    slots_.assign(std::size_t{1} << bits, kEmpty);
  }
  std::uint32_t& slot(const std::uint8_t* window) { return slots_[index(window)]; }
  std::uint32_t find(const std::uint8_t* window) const { return slots_[index(window)]; }
  std::size_t size() const { return slots_.size(); }

 private:
  std::size_t index(const std::uint8_t* window) const {
    return static_cast<std::size_t>((load64(window) * 0x9E3779B97F4A7C15ULL) >> shift_);
  }

  unsigned shift_ = 0;
  std::vector<std::uint32_t> slots_;
};

std::uint64_t signed_distance(std::uint64_t from, std::uint64_t to) {
  return to >= from ? (to - from) << 1 : ((from - to) << 1) | 1;
}

struct Choice {
  ActionKind kind = ActionKind::TargetRead;
  std::uint64_t from = 0;    // SourceCopy, TargetCopy: where the copy starts
  std::uint64_t length = 0;  // 0: nothing found
  std::int64_t saving = 0;   // bytes saved over storing the same bytes
};

class Writer {
 public:
  Writer(std::span<const std::uint8_t> source, std::span<const std::uint8_t> target, std::vector<std::uint8_t>& out)
      : source_(source),
        target_(target),
        out_(out),
        source_table_(source.size() / kMinSourceStep),
        target_table_(target.size() / 16),
        source_step_(std::max(kMinSourceStep, (source.size() + source_table_.size() - 1) / source_table_.size())) {
    index_source();
  }

  void write_actions() {
    const std::size_t end = target_.size();
    std::size_t t = 0;
    std::size_t misses = 0;  // positions looked at since the last action
    while (t < end) {
      Choice best = best_choice(t);
      if (best.length == 0 || best.saving < (t > literal_start_ ? kSplitSaving : 0)) {
        index_target(t);
        t += 1 + std::min(misses++ >> kSkipShift, kMaxSkip);
        continue;
      }
      misses = 0;
      // A match found late may reach back over bytes about to be stored.
      while (t > literal_start_ && best.from > 0 && target_[t - 1] == data_of(best.kind)[best.from - 1]) {
        --t;
        --best.from;
        ++best.length;
      }
      write_literals(t);
      write_action(best, t);
      for (std::size_t p = t; p < t + best.length; p += kCopiedTargetStep) index_target(p);
      t += static_cast<std::size_t>(best.length);
      literal_start_ = t;
    }
    write_literals(end);
  }

 private:
  std::span<const std::uint8_t> data_of(ActionKind kind) const {
    return kind == ActionKind::TargetCopy ? target_ : source_;
  }

  void index_source() {
    if (source_.size() < kWindow || source_.size() >= kEmpty) return;
    for (std::size_t p = 0; p + kWindow <= source_.size(); p += source_step_) {
      source_table_.slot(source_.data() + p) = static_cast<std::uint32_t>(p);
    }
  }

  void index_target(std::size_t p) {
    if (p + kWindow <= target_.size() && target_.size() < kEmpty) {
      target_table_.slot(target_.data() + p) = static_cast<std::uint32_t>(p);
    }
  }

  static std::int64_t cost(ActionKind kind, std::uint64_t length) {
    return static_cast<std::int64_t>(number_size((length - 1) << 2 | static_cast<std::uint64_t>(kind)));
  }

  void consider(Choice& best, ActionKind kind, std::uint64_t from, std::uint64_t length) const {
    if (length == 0) return;
    std::int64_t price = cost(kind, length);
    if (kind == ActionKind::SourceCopy)
      price += static_cast<std::int64_t>(number_size(signed_distance(source_at_, from)));
    if (kind == ActionKind::TargetCopy)
      price += static_cast<std::int64_t>(number_size(signed_distance(target_at_, from)));
    const std::int64_t saving = static_cast<std::int64_t>(length) - price;
    if (best.length == 0 || saving > best.saving) best = {kind, from, length, saving};
  }

  void consider_source(Choice& best, std::size_t t, std::uint64_t from) const {
    if (from >= source_.size()) return;
    const std::size_t limit = std::min(source_.size() - from, target_.size() - t);
    consider(best, ActionKind::SourceCopy, from, match_length(source_.data() + from, target_.data() + t, limit));
  }

  void consider_target(Choice& best, std::size_t t, std::uint64_t from) const {
    if (from >= t) return;
    const std::size_t limit = target_.size() - t;
    consider(best, ActionKind::TargetCopy, from, match_length(target_.data() + from, target_.data() + t, limit));
  }

  Choice best_choice(std::size_t t) const {
    Choice best;
    if (t < source_.size()) {
      const std::size_t limit = std::min(source_.size(), target_.size()) - t;
      consider(best, ActionKind::SourceRead, t, match_length(source_.data() + t, target_.data() + t, limit));
    }
    // Where the last SourceCopy would go on, had the bytes since been copied too.
    consider_source(best, t, source_at_ + (t - source_end_));
    if (t > 0) consider_target(best, t, t - 1);
    if (t + kWindow <= target_.size()) {
      const std::uint8_t* window = target_.data() + t;
      if (const std::uint32_t from = source_table_.find(window); from != kEmpty) consider_source(best, t, from);
      if (const std::uint32_t from = target_table_.find(window); from != kEmpty) consider_target(best, t, from);
    }
    return best;
  }

  void write_literals(std::size_t end) {
    if (end == literal_start_) return;
    append_number(out_, (end - literal_start_ - 1) << 2 | static_cast<std::uint64_t>(ActionKind::TargetRead));
    out_.insert(out_.end(), target_.begin() + static_cast<std::ptrdiff_t>(literal_start_),
                target_.begin() + static_cast<std::ptrdiff_t>(end));
  }

  void write_action(const Choice& choice, std::size_t t) {
    append_number(out_, (choice.length - 1) << 2 | static_cast<std::uint64_t>(choice.kind));
    if (choice.kind == ActionKind::SourceCopy) {
      append_number(out_, signed_distance(source_at_, choice.from));
      source_at_ = choice.from + choice.length;
      source_end_ = t + choice.length;
    } else if (choice.kind == ActionKind::TargetCopy) {
      append_number(out_, signed_distance(target_at_, choice.from));
      target_at_ = choice.from + choice.length;
    }
  }

  std::span<const std::uint8_t> source_;
  std::span<const std::uint8_t> target_;
  std::vector<std::uint8_t>& out_;
  WindowTable source_table_;
  WindowTable target_table_;
  std::size_t source_step_;        // positions between indexed source windows
  std::size_t literal_start_ = 0;  // the first target byte not yet written to the patch
  std::uint64_t source_at_ = 0;    // the reader's source copy position
  std::uint64_t source_end_ = 0;   // the target offset where the last SourceCopy ended
  std::uint64_t target_at_ = 0;    // the reader's target copy position
};

void append_le32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

}  // namespace

std::vector<std::uint8_t> create(std::span<const std::uint8_t> source, std::span<const std::uint8_t> target,
                                 std::span<const std::uint8_t> metadata) {
  std::vector<std::uint8_t> patch{'B', 'P', 'S', '1'};
  // Room for a patch that stores the whole target, reserved but untouched
  // unless the patch needs it: growing by copies would cost more.
  patch.reserve(metadata.size() + target.size() + 64);
  append_number(patch, source.size());
  append_number(patch, target.size());
  append_number(patch, metadata.size());
  patch.insert(patch.end(), metadata.begin(), metadata.end());
  Writer(source, target, patch).write_actions();
  append_le32(patch, crc32_of(source));
  append_le32(patch, crc32_of(target));
  append_le32(patch, crc32_of(patch));
  return patch;
}

}  // namespace talvo::bps::baseline
