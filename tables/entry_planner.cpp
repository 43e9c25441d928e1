#include "entry_planner.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <cmath>
#include <set>

#include "classic_planner.h"
#include "shortest_encoding.h"

namespace talvo::tables {
namespace {

// Up to kMaxPlannedLength codes of 11 bits (every code is below 0x800), five
// to a word. A window holds only glyphs, never code 0, so its unused places
// stay 0 and say where it ends.
struct WindowKey {
  std::uint64_t word[2] = {0, 0};
  bool operator==(const WindowKey&) const = default;
  void put(std::size_t at, std::uint16_t code) { word[at / 5] |= std::uint64_t{code} << (11 * (at % 5)); }
  std::uint16_t get(std::size_t at) const {
    return static_cast<std::uint16_t>(word[at / 5] >> (11 * (at % 5)) & 0x7FF);
  }
  bool operator<(const WindowKey& other) const {
    return word[1] != other.word[1] ? word[1] < other.word[1] : word[0] < other.word[0];
  }
};
static_assert(kMaxPlannedLength <= 10);

// How often each window of neighbouring codes occurs, weighted by its run's
// copies, kept up to date as runs are encoded again: open addressing.
class WindowCounts {
 public:
  struct Slot {
    WindowKey key;
    std::int64_t count = 0;
    std::uint8_t codes = 0;  // 0: an empty slot
  };

  WindowCounts() : slots_(1024) {}

  void add(const WindowKey& key, std::uint8_t codes, std::int64_t delta) {
    if (2 * (used_ + 1) > slots_.size()) grow();
    Slot& slot = find(key);
    if (slot.codes == 0) {
      slot.key = key;
      slot.codes = codes;
      ++used_;
    }
    slot.count += delta;
  }

  void clear() {
    std::fill(slots_.begin(), slots_.end(), Slot{});
    used_ = 0;
  }

  const std::vector<Slot>& slots() const { return slots_; }

 private:
  Slot& find(const WindowKey& key) {
    const std::size_t mask = slots_.size() - 1;
    std::size_t at =
        static_cast<std::size_t>((key.word[0] * 0x9E3779B97F4A7C15u) ^ (key.word[1] * 0xC2B2AE3D27D4EB4Fu));
    for (at = (at ^ (at >> 29)) & mask;; at = (at + 1) & mask) {
      if (slots_[at].codes == 0 || slots_[at].key == key) return slots_[at];
    }
  }

  void grow() {
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(old.size() * 2, Slot{});
    for (const Slot& slot : old) {
      if (slot.codes != 0) find(slot.key) = slot;
    }
  }

  std::vector<Slot> slots_;
  std::size_t used_ = 0;
};

std::size_t characters(std::string_view text) {
  std::size_t n = 0;
  for (char c : text) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return n;
}

double plogp(double c) { return c > 0 ? c * std::log2(c) : 0; }

// Full rounds, every run encoded again with costs from the counts as they
// have become, this often: runs far from the latest entries see the shares
// of codes change too.
constexpr std::size_t kRoundsBetweenFullEncodings = 32;
// Passes that give the codes of entries the shortest encoding leaves unused
// to new ones.
constexpr int kRefillPasses = 3;

class Planner {
 public:
  Planner(PlanningBank& bank, std::size_t max_length) : bank_(bank), max_length_(max_length) { count_all(); }

  // Adds entries at the codes of `pool` (taken from its front) until
  // `count` entries are there or nothing gains.
  void grow(std::vector<NewEntry>& entries, std::vector<std::uint16_t>& pool, std::size_t count,
            const std::set<std::string>& banned) {
    while (entries.size() < count && !pool.empty()) {
      if (bank_.kind() == CodeSet::Message && bank_.distinct() >= kMaxMessageCodesInUse) return;
      const auto best = best_window(banned);
      if (!best) return;
      const NewEntry entry{pool.front(), text_of(best->key, best->codes)};
      pool.erase(pool.begin());
      entries.push_back(entry);
      bank_.add_entry(entry);
      bank_.rebuild_trie();
      const PathCosts costs = bank_.costs(entry.code, static_cast<std::uint64_t>(best->count));
      for (std::size_t r = 0; r < bank_.runs(); ++r) {
        if (bank_.run(r).find(entry.text) == std::string_view::npos) continue;
        count_run(r, -1);
        bank_.encode_run(r, costs);
        count_run(r, +1);
      }
      if (++rounds_ % kRoundsBetweenFullEncodings == 0) encode_all();
    }
  }

  void remove(std::uint16_t code) {
    bank_.remove_entry(code);
    bank_.rebuild_trie();
    encode_all();
  }

 private:
  void encode_all() {
    const PathCosts costs = bank_.costs();
    for (std::size_t r = 0; r < bank_.runs(); ++r) bank_.encode_run(r, costs);
    count_all();
  }

  void count_all() {
    windows_.clear();
    for (std::size_t r = 0; r < bank_.runs(); ++r) count_run(r, +1);
  }

  // Every window of two or more neighbouring glyph codes of run `r` whose
  // texts together fit the length.
  void count_run(std::size_t r, int sign) {
    const std::vector<std::uint16_t>& codes = bank_.codes_of(r);
    const auto delta = sign * static_cast<std::int64_t>(bank_.weight(r));
    for (std::size_t i = 0; i < codes.size(); ++i) {
      if (!bank_.joinable(codes[i])) continue;
      WindowKey key;
      key.put(0, codes[i]);
      std::size_t characters = bank_.characters(codes[i]);
      for (std::size_t j = i + 1; j < codes.size() && j - i < max_length_; ++j) {
        characters += bank_.characters(codes[j]);
        if (!bank_.joinable(codes[j]) || characters > max_length_) break;
        key.put(j - i, codes[j]);
        windows_.add(key, static_cast<std::uint8_t>(j - i + 1), delta);
      }
    }
  }

  std::string text_of(const WindowKey& key, std::size_t codes) const {
    std::string text;
    for (std::size_t i = 0; i < codes; ++i) text += bank_.text(key.get(i));
    return text;
  }

  // What merging a window saves, by the measure of the bank.
  double gain(const WindowCounts::Slot& slot) const {
    const auto f = static_cast<double>(slot.count);
    const double joined = f * (slot.codes - 1);
    if (bank_.kind() == CodeSet::Byte) return joined;
    // Entropy of the counts before and after: the new code takes f uses, each
    // of its codes gives f up, and the bank f * (codes - 1) codes.
    const auto& counts = bank_.counts();
    const auto total = static_cast<double>(bank_.total());
    double saved = plogp(total) - plogp(total - joined) + plogp(f);
    for (std::size_t i = 0; i < slot.codes; ++i) {
      const std::uint16_t code = slot.key.get(i);
      std::size_t times = 0;
      bool seen_before = false;
      for (std::size_t j = 0; j < slot.codes; ++j) {
        if (slot.key.get(j) != code) continue;
        seen_before = seen_before || j < i;
        ++times;
      }
      if (seen_before) continue;
      const auto before = static_cast<double>(counts[code]);
      saved -= plogp(before) - plogp(std::max(before - f * static_cast<double>(times), 0.0));
    }
    return saved;
  }

  std::optional<WindowCounts::Slot> best_window(const std::set<std::string>& banned) const {
    std::optional<WindowCounts::Slot> best;
    double best_gain = 0;
    for (const WindowCounts::Slot& slot : windows_.slots()) {
      if (slot.codes == 0 || slot.count <= 0) continue;
      const double g = gain(slot);
      if (g <= 0 || (best && (g < best_gain || (g == best_gain && !(slot.key < best->key))))) continue;
      const std::string text = text_of(slot.key, slot.codes);
      if (bank_.code_of_text(text) || banned.contains(text)) continue;
      best = slot;
      best_gain = g;
    }
    return best;
  }

  PlanningBank& bank_;
  std::size_t max_length_;
  WindowCounts windows_;
  std::size_t rounds_ = 0;
};

struct Evaluated {
  std::uint64_t size = 0;
  std::size_t distinct = 0;
  std::vector<std::uint64_t> counts;
};

Evaluated evaluate(const TranslatorTable& base, std::span<const TextToEncode> texts,
                   const std::vector<NewEntry>& entries) {
  const TableIndex index(PlanningBank::with_entries(base, entries));
  BankEncoding encoded = encode_bank(index, texts, EncodingMethod::Shortest);
  return {encoded.size, encoded.distinct, std::move(encoded.counts)};
}

// The texts of both plans at the free codes (ours first), then those the
// shortest encoding uses most, by the codes they save, up to the count.
std::vector<NewEntry> merged_plan(const TranslatorTable& base, std::span<const TextToEncode> texts,
                                  const std::vector<NewEntry>& ours, const std::vector<NewEntry>& classic,
                                  const PlanRequest& request) {
  std::vector<NewEntry> both;
  std::set<std::string> seen;
  for (const auto* plan : {&ours, &classic}) {
    for (const NewEntry& entry : *plan) {
      if (both.size() == request.free_codes.size()) break;
      if (seen.insert(entry.text).second) both.push_back({request.free_codes[both.size()], entry.text});
    }
  }
  const Evaluated measured = evaluate(base, texts, both);
  struct Use {
    std::uint64_t saved;
    std::size_t at;
  };
  std::vector<Use> uses;
  for (std::size_t i = 0; i < both.size(); ++i) {
    const std::uint64_t count = measured.counts[both[i].code];
    if (count != 0) uses.push_back({count * (characters(both[i].text) - 1), i});
  }
  std::stable_sort(uses.begin(), uses.end(), [](const Use& a, const Use& b) { return a.saved > b.saved; });
  if (uses.size() > request.count) uses.resize(request.count);
  std::sort(uses.begin(), uses.end(), [](const Use& a, const Use& b) { return a.at < b.at; });
  std::vector<NewEntry> kept;
  for (const Use& use : uses) kept.push_back({request.free_codes[kept.size()], both[use.at].text});
  return kept;
}

}  // namespace

Plan plan_entries(const TranslatorTable& base, std::span<const TextToEncode> texts, const PlanRequest& request) {
  assert(request.max_length >= 2 && request.max_length <= kMaxPlannedLength);
  Plan plan;
  const Evaluated before = evaluate(base, texts, {});
  plan.size_before = before.size;
  const std::size_t allowed = std::max(kMaxMessageCodesInUse, before.distinct);
  const bool message = base.kind == CodeSet::Message;
  const auto fits = [&](const Evaluated& e) { return !message || e.distinct <= allowed; };

  // Ours: grow, drop what the shortest encoding leaves unused, grow again.
  std::vector<NewEntry> ours;
  Evaluated ours_measured = before;
  {
    PlanningBank bank(base, texts);
    Planner planner(bank, request.max_length);
    std::vector<std::uint16_t> pool = request.free_codes;
    std::set<std::string> banned;
    for (int pass = 0; pass < kRefillPasses; ++pass) {
      planner.grow(ours, pool, request.count, banned);
      ours_measured = evaluate(base, texts, ours);
      std::vector<NewEntry> kept;
      for (const NewEntry& entry : ours) {
        if (ours_measured.counts[entry.code] != 0) {
          kept.push_back(entry);
          continue;
        }
        banned.insert(entry.text);
        pool.insert(std::upper_bound(pool.begin(), pool.end(), entry.code), entry.code);
        planner.remove(entry.code);
      }
      if (kept.size() == ours.size()) break;
      ours = std::move(kept);
      ours_measured = evaluate(base, texts, ours);
    }
  }

  // The classic plan, measured the same way.
  PlanningBank classic_bank(base, texts);
  const std::vector<NewEntry> classic =
      classic_plan(classic_bank, request.free_codes, request.max_length, request.count);
  const Evaluated classic_measured = evaluate(base, texts, classic);
  plan.classic_size = classic_measured.size;
  plan.classic_entries = classic.size();

  // Both plans' entries together, the most useful kept: where the classic
  // plan found texts ours passed over.
  std::vector<NewEntry> merged = merged_plan(base, texts, ours, classic, request);
  const Evaluated merged_measured = evaluate(base, texts, merged);

  struct Candidate {
    std::vector<NewEntry>* entries;
    const Evaluated* measured;
    bool classic;
  };
  std::vector<NewEntry> classic_entries = classic;
  std::vector<NewEntry> none;
  Candidate chosen{&none, &before, false};
  for (const Candidate c : {Candidate{&ours, &ours_measured, false}, Candidate{&merged, &merged_measured, false},
                            Candidate{&classic_entries, &classic_measured, true}}) {
    if (fits(*c.measured) && c.measured->size < chosen.measured->size) chosen = c;
  }
  plan.entries = std::move(*chosen.entries);
  plan.size_after = chosen.measured->size;
  plan.distinct_after = chosen.measured->distinct;
  plan.classic_chosen = chosen.classic;
  std::sort(plan.entries.begin(), plan.entries.end(), [](const auto& a, const auto& b) { return a.code < b.code; });
  return plan;
}

}  // namespace talvo::tables
