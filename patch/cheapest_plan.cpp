// The shortest path runs over windows of the target. Every position of a
// window is a node holding the cheapest ways found to write the target up
// to it, each with the reader's copy positions it leaves; each candidate
// action at a node offers the nodes it reaches, at its price. Stored bytes
// (a TargetRead) are priced as a run: the head's size depends on the run's
// length, so a run is an edge from a node where an action ended, and the
// cheapest such nodes are kept per head size in a queue ordered by cost. A
// copy of 128 bytes or more is taken as soon as it is found, which also
// carries the walk over long unchanged stretches in one step.
//
// The prices are exact, but what a copy costs depends on where the copies
// before it left the copy positions: a way a byte dearer may leave them
// where the next copy wants them. So a node keeps a second way, with other
// positions, while it is at most two bytes dearer than the cheapest; more
// would cost time for little. The quick plan's own actions are among the
// candidates, and the writer keeps the cheaper of the two plans.
#include "cheapest_plan.h"

#include <algorithm>
#include <array>
#include <limits>

#include "match_length.h"

namespace talvo::bps {
namespace {

// Long quick actions need no index: their own continuation is a candidate.
// Copies within the target are indexed up to a longer length, since they
// are repeated text that later repeats copy pieces of.
constexpr std::uint64_t kSettledRead = 64;
constexpr std::uint64_t kSettledTargetCopy = 4096;
constexpr std::uint64_t kSpanMargin = 64;
constexpr std::size_t kWindow = 4096;
constexpr std::uint64_t kTakeAtOnce = 128;
// Index matches shorter than this cost at least the bytes they copy.
constexpr std::uint16_t kShortestIndexMatch = 3;
// Lengths of a candidate beyond those a cheaper one covers: all of them up
// to this many, else the first and last kLengthEnds and the longest with
// each head size, for a candidate that long rarely ends anywhere else.
constexpr std::uint64_t kAllLengths = 24;
constexpr std::uint64_t kLongestOneByteHead = 32;
constexpr std::uint64_t kLongestTwoByteHead = 4128;
constexpr std::uint64_t kLengthEnds = 8;
// Matches longer than this are remembered, so that the positions inside
// them are not compared again.
constexpr std::uint64_t kRemeasured = 16;

constexpr std::size_t kWays = 2;
constexpr std::int64_t kSecondWaySlack = 2;

bool is_settled(const PlannedAction& action) {
  switch (action.kind) {
    case ActionKind::SourceRead:
    case ActionKind::SourceCopy:
      return action.length >= kSettledRead;
    case ActionKind::TargetCopy:
      return action.length >= kSettledTargetCopy;
    case ActionKind::TargetRead:
      return false;
  }
  return false;
}

// A stretch of quick actions that are not settled: [first, last) of them,
// covering [start, end) of the target.
struct Gap {
  std::size_t first = 0;
  std::size_t last = 0;
  std::uint64_t start = 0;
  std::uint64_t end = 0;
};

std::uint64_t target_end(const Plan& quick) {
  std::uint64_t end = 0;
  for (const PlannedAction& action : quick) end += action.length;
  return end;
}

std::vector<Gap> gaps_of(const Plan& quick) {
  std::vector<Gap> gaps;
  std::uint64_t at = 0;
  for (std::size_t i = 0; i < quick.size(); ++i) {
    if (!is_settled(quick[i])) {
      if (gaps.empty() || gaps.back().last != i) gaps.push_back({i, i, at, at});
      gaps.back().last = i + 1;
      gaps.back().end = at + quick[i].length;
    }
    at += quick[i].length;
  }
  return gaps;
}

std::uint64_t literal_head_size(std::uint64_t length) {
  return number_size(action_head(ActionKind::TargetRead, length));
}

// Left uninitialised where it is made: the planner makes six at every
// position.
struct Candidate {
  ActionKind kind;
  std::uint64_t from;
  std::uint64_t length;
  std::uint64_t offset_size;  // bytes of its relative offset
};

class Planner {
 public:
  Planner(std::span<const std::uint8_t> source, std::span<const std::uint8_t> target, const Plan& quick,
          const MatchIndex& index, const std::vector<TargetSpan>& spans)
      : source_(source), target_(target), quick_(quick), index_(index), nodes_(kWindow + 1) {
    std::uint64_t at = 0;
    quick_starts_.reserve(quick.size() + 1);
    for (const PlannedAction& action : quick) {
      quick_starts_.push_back(at);
      at += action.length;
    }
    quick_starts_.push_back(at);
    // The gaps left out of the index keep the quick plan's actions.
    std::size_t s = 0;
    for (const Gap& gap : gaps_of(quick)) {
      while (s < spans.size() && spans[s].end < gap.end) ++s;
      const bool indexed = s < spans.size() && spans[s].start <= gap.start;
      if (!indexed) kept_.push_back(gap);
    }
  }

  Plan run() {
    std::size_t kept = 0;
    while (position_ < target_.size()) {
      if (kept < kept_.size() && kept_[kept].start == position_) {
        for (std::size_t i = kept_[kept].first; i < kept_[kept].last; ++i) commit(quick_[i]);
        ++kept;
        continue;
      }
      const std::uint64_t stop = kept < kept_.size() ? kept_[kept].start : target_.size();
      walk_window(stop);
    }
    return std::move(plan_);
  }

 private:
  // A way to reach a node: its cost, its last action and where that started.
  struct Way {
    std::int64_t cost;  // bytes since the window's start
    std::int32_t from;  // the node the last action started at; -1: the run carried into the window
    std::uint8_t from_way;
    ActionKind kind;
    std::uint32_t actions;  // since the window's start
    std::uint64_t copy_from;
    CopyPositions at;  // after the action
  };

  // Of two ways as cheap, the one of fewer actions: it moved the copy
  // positions less often for nothing.
  static bool cheaper(const Way& a, const Way& b) {
    return a.cost < b.cost || (a.cost == b.cost && a.actions < b.actions);
  }

  struct Node {
    Way way[kWays];  // the cheapest first
    std::uint8_t ways = 0;
    std::uint32_t stamp = 0;  // the window that set it: older ones are unreached
  };

  // A way into a node, by the number of its node and which of its ways.
  static std::uint32_t way_id(std::size_t j, std::size_t w) { return static_cast<std::uint32_t>(j << 2 | w); }
  const Way& way_of(std::uint32_t id) const { return nodes_[id >> 2].way[id & 3]; }

  // The cheapest ends of actions within a head size's reach, for runs of
  // stored bytes that start there: cost - position ascending.
  class RunStarts {
   public:
    explicit RunStarts(std::size_t capacity) : at_(capacity) {}
    void clear() { head_ = tail_ = 0; }
    std::size_t size() const { return tail_ - head_; }
    std::uint32_t operator[](std::size_t k) const { return at_[head_ + k]; }
    void pop_front() { ++head_; }
    template <class Key>
    void push(std::uint32_t way, Key key) {
      while (tail_ > head_ && key(at_[tail_ - 1]) > key(way)) --tail_;
      at_[tail_++] = way;
    }

   private:
    std::vector<std::uint32_t> at_;
    std::size_t head_ = 0;
    std::size_t tail_ = 0;
  };

  Node& node(std::size_t j) {
    Node& n = nodes_[j];
    if (n.stamp != stamp_) {
      n.ways = 0;
      n.stamp = stamp_;
    }
    return n;
  }

  static bool same_positions(const CopyPositions& a, const CopyPositions& b) {
    return a.source == b.source && a.target == b.target;
  }

  // Keeps `way` at node n if it is the cheapest, or among the cheapest
  // with other copy positions than the cheaper ones and close enough to it.
  static void offer(Node& n, const Way& way) {
    std::size_t at = 0;  // where it goes among the ways, cheapest first
    while (at < n.ways && !cheaper(way, n.way[at])) {
      if (same_positions(way.at, n.way[at].at)) return;
      ++at;
    }
    if (at == kWays) return;
    if (n.ways > 0 && way.cost > n.way[0].cost + kSecondWaySlack) return;
    // A dearer way with the same positions gives way to it.
    std::size_t last = n.ways;
    for (std::size_t k = at; k < n.ways; ++k) {
      if (same_positions(way.at, n.way[k].at)) {
        last = k;
        break;
      }
    }
    if (last == n.ways && n.ways < kWays) ++n.ways;
    if (last == kWays) last = kWays - 1;
    for (std::size_t k = last; k > at; --k) n.way[k] = n.way[k - 1];
    n.way[at] = way;
    while (n.ways > 1 && n.way[n.ways - 1].cost > n.way[0].cost + kSecondWaySlack) --n.ways;
  }

  // Walks the positions from position_ on, a window's worth but not past
  // `stop`, and commits the cheapest way through them, or through the part
  // of them that the next window cannot improve.
  void walk_window(std::uint64_t stop) {
    const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(stop - position_, kWindow));
    const bool more = position_ + count < stop;
    ++stamp_;
    const std::uint64_t base = position_;
    const auto carried = static_cast<std::int64_t>(literal_run_);
    // The window's start is where the last action ended (SourceRead stands
    // for any kind but a run).
    Node& start = node(0);
    start.way[0] = {0, 0, 0, ActionKind::SourceRead, 0, 0, at_};
    start.ways = 1;
    short_runs_.clear();
    long_runs_.clear();
    const auto key = [this](std::uint32_t id) { return way_of(id).cost - static_cast<std::int64_t>(id >> 2); };

    std::size_t taken_at = count + 1;
    Candidate taken{};
    for (std::size_t j = 0; j <= count; ++j) {
      Node& here = node(j);
      if (j > 0) {
        while (short_runs_.size() > 0 && (short_runs_[0] >> 2) + kLongestOneByteHead < j) {
          const std::uint32_t older = short_runs_[0];
          short_runs_.pop_front();
          long_runs_.push(older, key);
        }
        // Runs of stored bytes that end here: the one carried into the
        // window, and from the two cheapest starts of each head size.
        const auto stored = static_cast<std::int64_t>(j);
        if (carried > 0) {
          const auto run = static_cast<std::uint64_t>(carried + stored);
          offer(here, {stored + static_cast<std::int64_t>(literal_head_size(run) - literal_head_size(literal_run_)), -1,
                       0, ActionKind::TargetRead, 0, 0, at_});
        }
        const auto offer_run = [&](const RunStarts& starts, std::int64_t head) {
          for (std::size_t k = 0; k < std::min<std::size_t>(starts.size(), kWays); ++k) {
            const std::uint32_t id = starts[k];
            const Way& before = way_of(id);
            offer(here, {key(id) + stored + head, static_cast<std::int32_t>(id >> 2), static_cast<std::uint8_t>(id & 3),
                         ActionKind::TargetRead, before.actions + 1, 0, before.at});
          }
        };
        offer_run(long_runs_, 2);
        offer_run(short_runs_, 1);
      }
      if (j == count) break;
      for (std::size_t w = 0; w < here.ways; ++w) {
        if (here.way[w].kind != ActionKind::TargetRead) short_runs_.push(way_id(j, w), key);
      }
      if (const Candidate longest = relax_from(j, base + j, count); longest.length >= kTakeAtOnce) {
        taken_at = j;
        taken = longest;
        break;
      }
    }

    std::size_t end = taken_at <= count ? taken_at : count;
    std::size_t end_way = 0;
    if (taken_at <= count) {
      // The way the long copy costs least after.
      const Node& here = nodes_[end];
      const auto total = [&](const Way& way) {
        std::uint64_t offset = 0;
        if (taken.kind == ActionKind::SourceCopy) offset = number_size(signed_distance(way.at.source, taken.from));
        if (taken.kind == ActionKind::TargetCopy) offset = number_size(signed_distance(way.at.target, taken.from));
        return way.cost + static_cast<std::int64_t>(offset);
      };
      for (std::size_t w = 1; w < here.ways; ++w) {
        if (total(here.way[w]) < total(here.way[end_way])) end_way = w;
      }
    }
    const Way& last = nodes_[end].way[0];
    if (taken_at > count && more && last.kind == ActionKind::TargetRead && last.from > 0) {
      // Bytes stored up to the window's end may yet be copied from a node
      // beyond it: only the way to the run's start is final.
      end = static_cast<std::size_t>(last.from);
      end_way = last.from_way;
    }
    commit_way(end, end_way);
    if (taken_at <= count) commit({taken.kind, std::min(taken.length, stop - position_), taken.from});
  }

  // How far the source (or the target) from `from` agrees with the target
  // from t, up to `room` bytes. Inside a long match every position asks
  // again for the same match one byte on: the last few matches measured
  // answer that without comparing again.
  std::uint64_t matching(bool in_target, std::uint64_t from, std::uint64_t t, std::uint64_t room) {
    const std::uint8_t* data = in_target ? target_.data() : source_.data();
    if (data[from] != target_[t]) return 0;  // most candidates, in new data
    const std::uint64_t shift = from - t;    // the same for every position of one match
    for (const Measured& m : measured_) {
      if (m.in_target == in_target && m.shift == shift && m.start <= t && t < m.end) return m.end - t;
    }
    const std::uint64_t limit = in_target ? room : std::min<std::uint64_t>(source_.size() - from, room);
    const std::uint64_t length = match_length(data + from, target_.data() + t, static_cast<std::size_t>(limit));
    if (length > kRemeasured) {
      measured_[next_measured_] = {in_target, shift, t, t + length};
      next_measured_ = (next_measured_ + 1) % measured_.size();
    }
    return length;
  }

  // Offers every candidate at window node j (target position t) to the nodes
  // it reaches, from each of its ways; returns the longest candidate, which
  // is taken at once if it is long enough.
  Candidate relax_from(std::size_t j, std::uint64_t t, std::size_t count) {
    const Node& here = nodes_[j];
    const std::uint64_t room = target_.size() - t;
    const auto measure = [&](ActionKind kind, std::uint64_t from) -> std::uint64_t {
      const std::uint64_t length = matching(kind == ActionKind::TargetCopy, from, t, room);
      return length == 0 || (kind != ActionKind::SourceRead && length < 2) ? 0 : length;
    };
    // The candidates whose source does not depend on the way here.
    Candidate fixed[4];
    std::size_t fixed_count = 0;
    const auto add_fixed = [&](ActionKind kind, std::uint64_t from) {
      for (std::size_t k = 0; k < fixed_count; ++k) {
        if (fixed[k].kind == kind && fixed[k].from == from) return;
      }
      if (const std::uint64_t length = measure(kind, from); length > 0) fixed[fixed_count++] = {kind, from, length, 0};
    };
    if (t < source_.size()) add_fixed(ActionKind::SourceRead, t);
    while (quick_index_ + 1 < quick_.size() && quick_starts_[quick_index_ + 1] <= t) ++quick_index_;
    if (quick_index_ > 0 && quick_starts_[quick_index_] > t) quick_index_ = quick_cover(t);
    if (quick_index_ < quick_.size()) {
      const PlannedAction& quick = quick_[quick_index_];
      if (quick.kind == ActionKind::SourceCopy || quick.kind == ActionKind::TargetCopy) {
        add_fixed(quick.kind, quick.from + (t - quick_starts_[quick_index_]));
      }
    }
    if (const LongestMatches* matches = index_.find(t, span_hint_)) {
      if (matches->source_length >= kShortestIndexMatch) add_fixed(ActionKind::SourceCopy, matches->source_from);
      if (matches->target_length >= kShortestIndexMatch) add_fixed(ActionKind::TargetCopy, matches->target_from);
    }

    Candidate longest{};
    std::int64_t longest_saving = std::numeric_limits<std::int64_t>::min();
    for (std::size_t w = 0; w < here.ways; ++w) {
      const Way& way = here.way[w];
      Candidate found[6];
      std::size_t n = 0;
      const auto offset_size = [&](ActionKind kind, std::uint64_t from) -> std::uint64_t {
        if (kind == ActionKind::SourceCopy) return number_size(signed_distance(way.at.source, from));
        if (kind == ActionKind::TargetCopy) return number_size(signed_distance(way.at.target, from));
        return 0;
      };
      for (std::size_t k = 0; k < fixed_count; ++k) {
        const std::uint64_t offset = offset_size(fixed[k].kind, fixed[k].from);
        // A dearer way offers a candidate only where its offset is enough
        // shorter to make up for it.
        if (w > 0 && way.cost + static_cast<std::int64_t>(offset) >=
                         here.way[0].cost + static_cast<std::int64_t>(fixed[k].offset_size)) {
          continue;
        }
        found[n] = fixed[k];
        found[n++].offset_size = offset;
      }
      if (w == 0) {
        for (std::size_t k = 0; k < fixed_count; ++k) fixed[k].offset_size = offset_size(fixed[k].kind, fixed[k].from);
      }
      // Where the copies would go on, had the bytes stored since been copied.
      std::uint64_t stored = 0;
      if (way.kind == ActionKind::TargetRead) {
        stored = way.from < 0 ? literal_run_ + j : j - static_cast<std::size_t>(way.from);
      }
      const auto add_onward = [&](ActionKind kind, std::uint64_t from) {
        for (std::size_t k = 0; k < n; ++k) {
          if (found[k].kind == kind && found[k].from == from) return;
        }
        if (const std::uint64_t length = measure(kind, from); length > 0) {
          found[n++] = {kind, from, length, offset_size(kind, from)};
        }
      };
      if (way.at.source + stored < source_.size()) add_onward(ActionKind::SourceCopy, way.at.source + stored);
      if (way.at.target + stored < t) add_onward(ActionKind::TargetCopy, way.at.target + stored);

      // Each length from the candidate with the cheapest offset that reaches it.
      for (std::size_t k = 1; k < n; ++k) {
        for (std::size_t i = k; i > 0 && found[i].offset_size < found[i - 1].offset_size; --i) {
          std::swap(found[i], found[i - 1]);
        }
      }
      std::uint64_t covered = 0;
      const std::uint64_t reach = count - j;
      for (std::size_t k = 0; k < n; ++k) {
        const Candidate& c = found[k];
        const auto saving = static_cast<std::int64_t>(c.length) -
                            static_cast<std::int64_t>(number_size(action_head(c.kind, c.length)) + c.offset_size);
        if (w == 0 && (c.length > longest.length || (c.length == longest.length && saving > longest_saving))) {
          longest = c;
          longest_saving = saving;
        }
        if (c.length <= covered) continue;
        const std::uint64_t low = std::max<std::uint64_t>(covered + 1, c.kind == ActionKind::SourceRead ? 1 : 2);
        const std::uint64_t high = std::min(c.length, reach);
        covered = c.length;
        if (low > high) continue;
        if (high - low < kAllLengths) {
          for (std::uint64_t length = low; length <= high; ++length) relax(j, w, c, length);
        } else {
          for (std::uint64_t length = low; length < low + kLengthEnds; ++length) relax(j, w, c, length);
          for (const std::uint64_t edge : {kLongestOneByteHead, kLongestTwoByteHead}) {
            if (edge >= low + kLengthEnds && edge <= high - kLengthEnds) relax(j, w, c, edge);
          }
          for (std::uint64_t length = high - kLengthEnds + 1; length <= high; ++length) relax(j, w, c, length);
        }
      }
    }
    return longest;
  }

  void relax(std::size_t j, std::size_t w, const Candidate& c, std::uint64_t length) {
    const Way& way = nodes_[j].way[w];
    const std::int64_t cost = way.cost + static_cast<std::int64_t>(head_size(c.kind, length) + c.offset_size);
    Node& there = node(j + length);
    // Most offers lose to what the node has: said before a way is built.
    if (there.ways > 0 && cost > there.way[0].cost + kSecondWaySlack) return;
    if (there.ways == kWays && cost > there.way[kWays - 1].cost) return;
    Way next{cost, static_cast<std::int32_t>(j), static_cast<std::uint8_t>(w), c.kind, way.actions + 1, c.from, way.at};
    if (c.kind == ActionKind::SourceCopy) next.at.source = c.from + length;
    if (c.kind == ActionKind::TargetCopy) next.at.target = c.from + length;
    offer(there, next);
  }

  static std::uint64_t head_size(ActionKind kind, std::uint64_t length) {
    if (length <= kLongestOneByteHead) return 1;
    if (length <= kLongestTwoByteHead) return 2;
    return number_size(action_head(kind, length));
  }

  std::size_t quick_cover(std::uint64_t t) const {
    const auto after = std::upper_bound(quick_starts_.begin(), quick_starts_.end() - 1, t);
    return static_cast<std::size_t>(after - quick_starts_.begin()) - 1;
  }

  // Commits the way from the window's start to way w of node `end`.
  void commit_way(std::size_t end, std::size_t w) {
    way_.clear();
    for (std::size_t j = end; j > 0;) {
      const Way& way = nodes_[j].way[w];
      const std::size_t from = way.from < 0 ? 0 : static_cast<std::size_t>(way.from);
      way_.push_back({way.kind, j - from, way.copy_from});
      w = way.from < 0 ? 0 : way.from_way;
      j = from;
    }
    for (auto step = way_.rbegin(); step != way_.rend(); ++step) commit(*step);
  }

  void commit(const PlannedAction& action) {
    add_action(plan_, action);
    if (action.kind == ActionKind::SourceCopy) at_.source = action.from + action.length;
    if (action.kind == ActionKind::TargetCopy) at_.target = action.from + action.length;
    literal_run_ = action.kind == ActionKind::TargetRead ? literal_run_ + action.length : 0;
    position_ += action.length;
  }

  std::span<const std::uint8_t> source_;
  std::span<const std::uint8_t> target_;
  const Plan& quick_;
  const MatchIndex& index_;
  std::vector<std::uint64_t> quick_starts_;  // where each quick action starts, and the target's end
  std::vector<Gap> kept_;
  std::vector<Node> nodes_;
  RunStarts short_runs_{kWays * (kWindow + 1)};  // runs of up to 32 bytes from there: a 1-byte head
  RunStarts long_runs_{kWays * (kWindow + 1)};   // longer ones, up to the window's size: a 2-byte head
  std::vector<PlannedAction> way_;
  // Matches measured lately, each a stretch [start, end) of the target that
  // agrees with the data `shift` bytes on, up to the first byte that does
  // not (or the end of either file).
  struct Measured {
    bool in_target = false;
    std::uint64_t shift = 0;
    std::uint64_t start = 0;
    std::uint64_t end = 0;
  };
  std::array<Measured, 8> measured_{};
  std::size_t next_measured_ = 0;
  std::uint32_t stamp_ = 0;
  std::size_t quick_index_ = 0;
  std::size_t span_hint_ = 0;

  Plan plan_;
  std::uint64_t position_ = 0;     // the target bytes the plan writes so far
  CopyPositions at_;               // the reader's copy positions after them
  std::uint64_t literal_run_ = 0;  // the bytes of the TargetRead the plan ends with
};

}  // namespace

std::vector<TargetSpan> spans_to_index(const Plan& quick, std::uint64_t budget) {
  // Whole gaps, the smallest first: a single long stretch of new data, such
  // as another image's, would take the whole budget and give little.
  std::vector<Gap> gaps = gaps_of(quick);
  std::sort(gaps.begin(), gaps.end(), [](const Gap& a, const Gap& b) { return a.end - a.start < b.end - b.start; });
  const std::uint64_t end = target_end(quick);
  std::vector<TargetSpan> spans;
  std::uint64_t total = 0;
  for (const Gap& gap : gaps) {
    // With the bytes on either side, so that a match running on into the
    // quick plan's long actions is seen to be longer than one that stops.
    const std::uint64_t start = gap.start > kSpanMargin ? gap.start - kSpanMargin : 0;
    const std::uint64_t stop = std::min(end, gap.end + kSpanMargin);
    if (total + (stop - start) > budget) break;
    total += stop - start;
    spans.push_back({static_cast<std::size_t>(start), static_cast<std::size_t>(stop)});
  }
  std::sort(spans.begin(), spans.end(), [](const TargetSpan& a, const TargetSpan& b) { return a.start < b.start; });
  std::vector<TargetSpan> merged;
  for (const TargetSpan& span : spans) {
    if (!merged.empty() && merged.back().end >= span.start) {
      merged.back().end = std::max(merged.back().end, span.end);
    } else {
      merged.push_back(span);
    }
  }
  return merged;
}

Plan cheapest_plan(std::span<const std::uint8_t> source, std::span<const std::uint8_t> target, const Plan& quick,
                   const MatchIndex& index, const std::vector<TargetSpan>& spans) {
  return Planner(source, target, quick, index, spans).run();
}

}  // namespace talvo::bps
