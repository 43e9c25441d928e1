// The shortest path runs over windows of the target. Every position of a
// window is a node holding the cheapest way found to write the target up to
// it, and the reader's copy positions along that way; each candidate action
// at a node offers the nodes it reaches, at its price. Stored bytes (a
// TargetRead) are priced as a run: the head's size depends on the run's
// length, so a run is an edge from the node where the last action ended,
// and the cheapest such node is kept per head size in a queue ordered by
// cost. A copy of 256 bytes or more is taken as soon as it is found, which
// also carries the walk over long unchanged stretches in one step.
//
// The prices are exact, but a node keeps only the copy positions of its
// cheapest way, not of every way: a way a byte dearer that leaves them
// where the next copy wants them is lost. The quick plan's own actions are
// among the candidates, and the writer keeps the cheaper of the two plans.
#include "cheapest_plan.h"

#include <algorithm>
#include <limits>

#include "match_length.h"

namespace talvo::bps {
namespace {

// Long quick actions need no index: their own continuation is a candidate.
constexpr std::uint64_t kSettledRead = 64;
constexpr std::uint64_t kSettledTargetCopy = 4096;
constexpr std::size_t kWindow = 4096;
constexpr std::uint64_t kTakeAtOnce = 256;
// Index matches shorter than this cost more than the bytes they copy.
constexpr std::uint16_t kShortestIndexMatch = 3;
// Lengths of a candidate beyond those a cheaper one covers: all of them up
// to this many, else the first and last kLengthEnds and the longest with
// each head size, for a candidate that long rarely ends anywhere else.
constexpr std::uint64_t kAllLengths = 48;
constexpr std::uint64_t kLongestOneByteHead = 32;
constexpr std::uint64_t kLongestTwoByteHead = 4128;
constexpr std::uint64_t kLengthEnds = 16;

constexpr std::int64_t kUnreached = std::numeric_limits<std::int64_t>::max();

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
      while (s < spans.size() && spans[s].end <= gap.start) ++s;
      const bool indexed = s < spans.size() && spans[s].start == gap.start;
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
  struct Node {
    std::int64_t cost = kUnreached;  // bytes since the window's start
    std::int64_t from = 0;           // the node the last action started at; below 0: the run carried in
    CopyPositions at;                // after the action; a run of stored bytes keeps those of its start
    ActionKind kind = ActionKind::TargetRead;
    std::uint64_t copy_from = 0;
    std::uint32_t stamp = 0;  // the window that set it: older ones are unreached
  };

  // The copy positions at node j. Runs of stored bytes leave them as they
  // were where the run started, which is never a run itself.
  const CopyPositions& positions_at(std::size_t j) const {
    const Node& n = nodes_[j];
    if (n.kind != ActionKind::TargetRead) return n.at;
    return n.from < 0 ? nodes_[0].at : nodes_[static_cast<std::size_t>(n.from)].at;
  }

  // The cheapest ends of actions within a head size's reach, for runs of
  // stored bytes that start there: cost - position ascending.
  class RunStarts {
   public:
    explicit RunStarts(std::size_t capacity) : at_(capacity) {}
    void clear() { head_ = tail_ = 0; }
    bool empty() const { return head_ == tail_; }
    std::size_t front() const { return at_[head_]; }
    void pop_front() { ++head_; }
    template <class Key>
    void push(std::size_t node, Key key) {
      while (tail_ > head_ && key(at_[tail_ - 1]) >= key(node)) --tail_;
      at_[tail_++] = node;
    }

   private:
    std::vector<std::size_t> at_;
    std::size_t head_ = 0;
    std::size_t tail_ = 0;
  };

  Node& node(std::size_t j) {
    Node& n = nodes_[j];
    if (n.stamp != stamp_) {
      n.cost = kUnreached;
      n.stamp = stamp_;
    }
    return n;
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
    node(0) = {0, 0, at_, ActionKind::SourceRead, 0, stamp_};
    short_runs_.clear();
    long_runs_.clear();
    const auto key = [this](std::size_t j) { return nodes_[j].cost - static_cast<std::int64_t>(j); };

    std::size_t taken_at = count + 1;
    Candidate taken{};
    for (std::size_t j = 0; j <= count; ++j) {
      Node& here = node(j);
      if (j > 0) {
        while (!short_runs_.empty() && short_runs_.front() + 32 < j) {
          const std::size_t older = short_runs_.front();
          short_runs_.pop_front();
          long_runs_.push(older, key);
        }
        // The cheapest run of stored bytes that ends here.
        const auto stored = static_cast<std::int64_t>(j);
        std::int64_t cost = kUnreached;
        std::int64_t from = 0;
        if (!short_runs_.empty()) {
          cost = key(short_runs_.front()) + stored + 1;
          from = static_cast<std::int64_t>(short_runs_.front());
        }
        if (!long_runs_.empty() && key(long_runs_.front()) + stored + 2 < cost) {
          cost = key(long_runs_.front()) + stored + 2;
          from = static_cast<std::int64_t>(long_runs_.front());
        }
        if (carried > 0) {
          const auto run = static_cast<std::uint64_t>(carried + stored);
          const std::int64_t longer =
              stored + static_cast<std::int64_t>(literal_head_size(run) - literal_head_size(literal_run_));
          if (longer < cost) {
            cost = longer;
            from = -carried;
          }
        }
        if (cost < here.cost) {
          here.cost = cost;
          here.from = from;
          here.kind = ActionKind::TargetRead;
        }
      }
      if (j == count) break;
      if (here.kind != ActionKind::TargetRead) short_runs_.push(j, key);
      if (const Candidate longest = relax_from(j, base + j, count); longest.length >= kTakeAtOnce) {
        taken_at = j;
        taken = longest;
        break;
      }
    }

    std::size_t end = taken_at <= count ? taken_at : count;
    if (taken_at > count && more && nodes_[end].kind == ActionKind::TargetRead && nodes_[end].from > 0) {
      // Bytes stored up to the window's end may yet be copied from a node
      // beyond it: only the way to the run's start is final.
      end = static_cast<std::size_t>(nodes_[end].from);
    }
    commit_way(end);
    if (taken_at <= count) commit({taken.kind, std::min(taken.length, stop - position_), taken.from});
  }

  // Offers every candidate at window node j (target position t) to the nodes
  // it reaches; returns the candidate to take at once, if one is long enough.
  Candidate relax_from(std::size_t j, std::uint64_t t, std::size_t count) {
    const Node& here = nodes_[j];
    const CopyPositions& at = positions_at(j);
    Candidate found[6];
    std::size_t n = 0;
    const std::uint64_t room = target_.size() - t;
    const auto add = [&](ActionKind kind, std::uint64_t from, std::uint64_t offset_size) {
      for (std::size_t k = 0; k < n; ++k) {
        if (found[k].kind == kind && found[k].from == from) return;
      }
      const std::uint8_t* data = kind == ActionKind::TargetCopy ? target_.data() : source_.data();
      const std::uint64_t limit =
          kind == ActionKind::TargetCopy ? room : std::min<std::uint64_t>(source_.size() - from, room);
      const std::uint64_t length = match_length(data + from, target_.data() + t, static_cast<std::size_t>(limit));
      if (length == 0 || (kind != ActionKind::SourceRead && length < 2)) return;
      found[n++] = {kind, from, length, offset_size};
    };

    if (t < source_.size()) add(ActionKind::SourceRead, t, 0);
    // Where the copies would go on, had the bytes stored since been copied.
    const std::uint64_t stored =
        here.kind == ActionKind::TargetRead ? static_cast<std::uint64_t>(static_cast<std::int64_t>(j) - here.from) : 0;
    if (at.source + stored < source_.size()) {
      add(ActionKind::SourceCopy, at.source + stored, number_size(signed_distance(at.source, at.source + stored)));
    }
    if (at.target + stored < t) {
      add(ActionKind::TargetCopy, at.target + stored, number_size(signed_distance(at.target, at.target + stored)));
    }
    while (quick_index_ + 1 < quick_.size() && quick_starts_[quick_index_ + 1] <= t) ++quick_index_;
    if (quick_index_ > 0 && quick_starts_[quick_index_] > t) quick_index_ = quick_cover(t);
    if (quick_index_ < quick_.size()) {
      const PlannedAction& quick = quick_[quick_index_];
      const std::uint64_t from = quick.from + (t - quick_starts_[quick_index_]);
      if (quick.kind == ActionKind::SourceCopy) {
        add(ActionKind::SourceCopy, from, number_size(signed_distance(at.source, from)));
      } else if (quick.kind == ActionKind::TargetCopy) {
        add(ActionKind::TargetCopy, from, number_size(signed_distance(at.target, from)));
      }
    }
    if (const LongestMatches* matches = index_.find(t, span_hint_)) {
      if (matches->source_length >= kShortestIndexMatch) {
        add(ActionKind::SourceCopy, matches->source_from,
            number_size(signed_distance(at.source, matches->source_from)));
      }
      if (matches->target_length >= kShortestIndexMatch) {
        add(ActionKind::TargetCopy, matches->target_from,
            number_size(signed_distance(at.target, matches->target_from)));
      }
    }

    // Each length from the candidate with the cheapest offset that reaches it.
    for (std::size_t k = 1; k < n; ++k) {
      for (std::size_t i = k; i > 0 && found[i].offset_size < found[i - 1].offset_size; --i) {
        std::swap(found[i], found[i - 1]);
      }
    }
    Candidate longest{};
    std::int64_t longest_saving = std::numeric_limits<std::int64_t>::min();
    std::uint64_t covered = 0;
    const std::uint64_t reach = count - j;
    for (std::size_t k = 0; k < n; ++k) {
      const Candidate& c = found[k];
      const auto saving = static_cast<std::int64_t>(c.length) -
                          static_cast<std::int64_t>(number_size(action_head(c.kind, c.length)) + c.offset_size);
      if (c.length > longest.length || (c.length == longest.length && saving > longest_saving)) {
        longest = c;
        longest_saving = saving;
      }
      if (c.length <= covered) continue;
      const std::uint64_t low = std::max<std::uint64_t>(covered + 1, c.kind == ActionKind::SourceRead ? 1 : 2);
      const std::uint64_t high = std::min(c.length, reach);
      covered = c.length;
      if (low > high) continue;
      if (high - low < kAllLengths) {
        for (std::uint64_t length = low; length <= high; ++length) offer(j, at, c, length);
      } else {
        for (std::uint64_t length = low; length < low + kLengthEnds; ++length) offer(j, at, c, length);
        for (const std::uint64_t edge : {kLongestOneByteHead, kLongestTwoByteHead}) {
          if (edge >= low + kLengthEnds && edge <= high - kLengthEnds) offer(j, at, c, edge);
        }
        for (std::uint64_t length = high - kLengthEnds + 1; length <= high; ++length) offer(j, at, c, length);
      }
    }
    return longest;
  }

  void offer(std::size_t j, const CopyPositions& here_at, const Candidate& c, std::uint64_t length) {
    const std::int64_t cost =
        nodes_[j].cost + static_cast<std::int64_t>(number_size(action_head(c.kind, length)) + c.offset_size);
    Node& there = node(j + length);
    if (cost >= there.cost) return;
    CopyPositions at = here_at;
    if (c.kind == ActionKind::SourceCopy) at.source = c.from + length;
    if (c.kind == ActionKind::TargetCopy) at.target = c.from + length;
    there = {cost, static_cast<std::int64_t>(j), at, c.kind, c.from, stamp_};
  }

  std::size_t quick_cover(std::uint64_t t) const {
    const auto after = std::upper_bound(quick_starts_.begin(), quick_starts_.end() - 1, t);
    return static_cast<std::size_t>(after - quick_starts_.begin()) - 1;
  }

  // Commits the cheapest way from the window's start to node `end`.
  void commit_way(std::size_t end) {
    way_.clear();
    for (std::size_t j = end; j > 0;) {
      const Node& n = nodes_[j];
      const std::size_t from = n.from < 0 ? 0 : static_cast<std::size_t>(n.from);
      way_.push_back({n.kind, j - from, n.copy_from});
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
  RunStarts short_runs_{kWindow + 1};  // runs of up to 32 bytes from there: a 1-byte head
  RunStarts long_runs_{kWindow + 1};   // longer ones, up to the window's size: a 2-byte head
  std::vector<PlannedAction> way_;
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
  std::vector<TargetSpan> spans;
  std::uint64_t total = 0;
  for (const Gap& gap : gaps) {
    if (total + (gap.end - gap.start) > budget) break;
    total += gap.end - gap.start;
    spans.push_back({static_cast<std::size_t>(gap.start), static_cast<std::size_t>(gap.end)});
  }
  std::sort(spans.begin(), spans.end(), [](const TargetSpan& a, const TargetSpan& b) { return a.start < b.start; });
  return spans;
}

Plan cheapest_plan(std::span<const std::uint8_t> source, std::span<const std::uint8_t> target, const Plan& quick,
                   const MatchIndex& index, const std::vector<TargetSpan>& spans) {
  return Planner(source, target, quick, index, spans).run();
}

}  // namespace talvo::bps
