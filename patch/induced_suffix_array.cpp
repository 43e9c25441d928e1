// Suffix sorting by induction (SA-IS). Each suffix is S-type when it is
// smaller than the one after it, L-type when larger; an S-type suffix after
// an L-type one is leftmost-S (LMS). Once the LMS suffixes are in order, one
// pass from the front puts every L-type suffix in place behind the suffix one
// position on, and one from the back every S-type suffix. The LMS suffixes
// are put in order the same way: first sorted by their substrings up to the
// next LMS position, which induction does exactly; where two substrings are
// equal, the suffixes of the shorter string of their ranks are sorted
// recursively, at most half as long. The text is taken to end in a sentinel
// smaller than every byte, never stored.
#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

#include "suffix_array.h"

namespace talvo::bps {
namespace {

using Index = std::int32_t;

template <class Symbol>
class InducedSorter {
 public:
  InducedSorter(std::span<const Symbol> text, std::size_t alphabet)
      : text_(text),
        size_(static_cast<Index>(text.size())),
        smaller_(text.size()),
        counts_(alphabet),
        bucket_(alphabet) {
    // The last suffix is larger than the sentinel after it.
    for (Index i = size_ - 1; i-- > 0;) {
      const auto at = static_cast<std::size_t>(i);
      smaller_[at] = text_[at] < text_[at + 1] || (text_[at] == text_[at + 1] && smaller_[at + 1]);
    }
    for (const Symbol symbol : text_) ++counts_[static_cast<std::size_t>(symbol)];
  }

  void sort(std::span<Index> sa) {
    if (size_ == 0) return;
    // The LMS suffixes in text order, sorted by their substrings.
    std::fill(sa.begin(), sa.end(), -1);
    to_bucket_ends();
    std::vector<Index> lms;
    for (Index i = 1; i < size_; ++i) {
      if (is_lms(i)) lms.push_back(i);
    }
    for (const Index p : lms) sa[at(--bucket_[symbol(p)])] = p;
    induce(sa);

    // Their substrings' ranks, in text order: LMS positions lie two apart
    // at least, so p / 2 after the sorted ones has room for each.
    const auto count = static_cast<Index>(lms.size());
    Index sorted = 0;
    for (Index i = 0; i < size_; ++i) {
      if (is_lms(sa[at(i)])) sa[at(sorted++)] = sa[at(i)];
    }
    std::fill(sa.begin() + count, sa.end(), -1);
    Index names = 0;
    for (Index k = 0; k < count; ++k) {
      const Index p = sa[at(k)];
      if (k == 0 || !same_substring(sa[at(k - 1)], p)) ++names;
      sa[at(count + p / 2)] = names - 1;
    }
    std::vector<Index> ranks;
    ranks.reserve(lms.size());
    for (Index i = count; i < size_; ++i) {
      if (sa[at(i)] >= 0) ranks.push_back(sa[at(i)]);
    }

    // The LMS suffixes in order: by their ranks alone where all differ.
    std::vector<Index> order(lms.size());
    if (names < count) {
      InducedSorter<Index>(ranks, static_cast<std::size_t>(names)).sort(order);
    } else {
      for (Index k = 0; k < count; ++k) order[at(ranks[at(k)])] = k;
    }

    // Every suffix, induced from them: placed from the largest down at the
    // ends of their buckets, so that each bucket keeps their order.
    std::fill(sa.begin(), sa.end(), -1);
    to_bucket_ends();
    for (Index k = count; k-- > 0;) {
      const Index p = lms[at(order[at(k)])];
      sa[at(--bucket_[symbol(p)])] = p;
    }
    induce(sa);
  }

 private:
  static std::size_t at(Index i) { return static_cast<std::size_t>(i); }
  std::size_t symbol(Index i) const { return static_cast<std::size_t>(text_[at(i)]); }
  bool is_lms(Index i) const { return i > 0 && smaller_[at(i)] && !smaller_[at(i - 1)]; }

  void to_bucket_starts() {
    Index sum = 0;
    for (std::size_t c = 0; c < counts_.size(); ++c) {
      bucket_[c] = sum;
      sum += counts_[c];
    }
  }

  void to_bucket_ends() {
    Index sum = 0;
    for (std::size_t c = 0; c < counts_.size(); ++c) {
      sum += counts_[c];
      bucket_[c] = sum;
    }
  }

  void induce(std::span<Index> sa) {
    to_bucket_starts();
    // The sentinel's suffix comes first, and the one before it is L-type.
    sa[at(bucket_[symbol(size_ - 1)]++)] = size_ - 1;
    for (Index i = 0; i < size_; ++i) {
      const Index p = sa[at(i)] - 1;
      if (p >= 0 && !smaller_[at(p)]) sa[at(bucket_[symbol(p)]++)] = p;
    }
    to_bucket_ends();
    for (Index i = size_; i-- > 0;) {
      const Index p = sa[at(i)] - 1;
      if (p >= 0 && smaller_[at(p)]) sa[at(--bucket_[symbol(p)])] = p;
    }
  }

  // Whether the substrings from LMS positions a and b to the next LMS
  // position are the same, types included. The one that reaches the
  // sentinel is like no other.
  bool same_substring(Index a, Index b) const {
    for (Index i = 0;; ++i) {
      if (a + i == size_ || b + i == size_) return false;
      if (text_[at(a + i)] != text_[at(b + i)] || smaller_[at(a + i)] != smaller_[at(b + i)]) return false;
      if (i > 0) {
        const bool a_ends = is_lms(a + i);
        const bool b_ends = is_lms(b + i);
        if (a_ends || b_ends) return a_ends && b_ends;
      }
    }
  }

  std::span<const Symbol> text_;
  Index size_;
  std::vector<bool> smaller_;  // S-type
  std::vector<Index> counts_;
  std::vector<Index> bucket_;
};

}  // namespace

std::vector<std::int32_t> induced_suffix_array(std::span<const std::uint8_t> text) {
  std::vector<std::int32_t> sa(text.size());
  InducedSorter<std::uint8_t>(text, 256).sort(sa);
  return sa;
}

}  // namespace talvo::bps
