// SPDX-License-Identifier: MIT
// ISet: the set of highlighted stretches of an input, as disjoint ascending
// intervals of offsets whose bounds carry a payload.
//
// Starts and ends both ascend strictly across a set, so every query is a
// binary search that lands on the one interval an in-order scan would stop at.
#pragma once

#include "support/stable_sort.hpp"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <optional>
#include <stdexcept>
#include <utility>
#include <vector>

namespace vantel::detail {

template <class Payload>
struct Bound {
  Payload payload;
  std::int64_t offset;
};

// Both ends inclusive.
template <class Payload>
struct Interval {
  Bound<Payload> start;
  Bound<Payload> end;
};

template <class Payload, class Allocator = std::allocator<Interval<Payload>>>
class ISet {
 public:
  using Intervals = std::vector<Interval<Payload>, Allocator>;
  using const_iterator = typename Intervals::const_iterator;

  // Drops inverted intervals and merges those that share an offset.
  [[nodiscard]] static ISet of_intervals(Intervals intervals);
  // The same, by sorting the bounds whatever the order of the intervals.
  [[nodiscard]] static ISet of_unordered_intervals(Intervals intervals);

  [[nodiscard]] bool mem(std::int64_t x) const;
  // The first bound, in set order, whose offset lies in [lo, hi].
  [[nodiscard]] std::optional<Bound<Payload>> find_bound_in(std::int64_t lo, std::int64_t hi) const;
  // The same, for callers that already know where the first interval ending
  // at or after `lo` is (see first_reaching).
  [[nodiscard]] std::optional<Bound<Payload>> find_bound_in(std::int64_t lo, std::int64_t hi,
                                                            const_iterator reaching_lo) const;
  [[nodiscard]] std::optional<Payload> is_start(std::int64_t x) const;
  [[nodiscard]] std::optional<Payload> is_end(std::int64_t x) const;
  [[nodiscard]] std::optional<std::pair<Bound<Payload>, Bound<Payload>>> extrema() const;

  // The first interval that ends at or after x (end() when none does).
  [[nodiscard]] const_iterator first_reaching(std::int64_t x) const;
  // The same, searching onwards from `hint`: cheap when queries ascend, as a
  // sweep over the input makes them; never worse than a binary search.
  [[nodiscard]] const_iterator first_reaching(std::int64_t x, const_iterator hint) const;

  [[nodiscard]] const Intervals& intervals() const noexcept { return intervals_; }
  [[nodiscard]] const_iterator begin() const noexcept { return intervals_.begin(); }
  [[nodiscard]] const_iterator end() const noexcept { return intervals_.end(); }

 private:
  // Bounds are sorted as small keys naming their interval; payloads move
  // only once, into the merged intervals.
  enum Bound_kind : unsigned char { Start = 0, End = 1 };  // the values are the sort ranks
  struct Sort_key {
    std::int64_t offset;
    std::size_t interval;
    Bound_kind kind;
  };
  using Sort_keys =
      std::vector<Sort_key,
                  typename std::allocator_traits<Allocator>::template rebind_alloc<Sort_key>>;
  static Sort_keys sorted_bounds(const Intervals& intervals);

  Intervals intervals_;
};

template <class Payload, class Allocator>
ISet<Payload, Allocator> ISet<Payload, Allocator>::of_intervals(Intervals intervals) {
  // Callers mostly list their locations in text order and apart: intervals
  // that are not inverted and each end before the next one starts are the
  // set already, bounds and payloads as sorting would leave them.
  for (std::size_t i = 0; i < intervals.size(); ++i) {
    const bool in_order = intervals[i].start.offset <= intervals[i].end.offset &&
                          (i == 0 || intervals[i - 1].end.offset < intervals[i].start.offset);
    if (!in_order) return of_unordered_intervals(std::move(intervals));
  }
  ISet set;
  set.intervals_ = std::move(intervals);
  return set;
}

template <class Payload, class Allocator>
typename ISet<Payload, Allocator>::Sort_keys ISet<Payload, Allocator>::sorted_bounds(
    const Intervals& intervals) {
  // Expand: s1, e1, s2, e2, ... in input order, inverted intervals dropped.
  Sort_keys bounds(typename Sort_keys::allocator_type(intervals.get_allocator()));
  bounds.reserve(2 * intervals.size());
  for (std::size_t i = 0; i < intervals.size(); ++i) {
    const Interval<Payload>& iv = intervals[i];
    if (iv.start.offset > iv.end.offset) continue;
    bounds.push_back(Sort_key{iv.start.offset, i, Start});
    bounds.push_back(Sort_key{iv.end.offset, i, End});
  }

  // Stable, so that equal keys keep input order: that decides which payloads
  // a merged interval keeps.
  stable_sort_range(bounds.begin(), bounds.end(), [](const Sort_key& a, const Sort_key& b) {
    if (a.offset != b.offset) return a.offset < b.offset;
    return a.kind < b.kind;
  });
  return bounds;
}

template <class Payload, class Allocator>
ISet<Payload, Allocator> ISet<Payload, Allocator>::of_unordered_intervals(Intervals intervals) {
  const Sort_keys bounds = sorted_bounds(intervals);
  // Scan, counting the intervals open beyond the first one of the run.
  ISet set;
  std::optional<std::size_t> first;  // the interval whose start opened the run; empty: Outside
  std::size_t depth = 0;
  for (const Sort_key& t : bounds) {
    if (t.kind == Start) {
      if (!first)
        first = t.interval;
      else
        ++depth;
    } else if (!first) {
      throw std::logic_error("ISet.of_intervals: an end bound sorted before its start");
    } else if (depth > 0) {
      --depth;
    } else {
      // Each bound closes or opens at most one run, so each moves at most once.
      set.intervals_.push_back(Interval<Payload>{std::move(intervals[*first].start),
                                                 std::move(intervals[t.interval].end)});
      first.reset();
    }
  }
  if (first) throw std::logic_error("ISet.of_intervals: a start bound left without its end");
  return set;
}

template <class Payload, class Allocator>
typename ISet<Payload, Allocator>::const_iterator ISet<Payload, Allocator>::first_reaching(
    std::int64_t x) const {
  return first_reaching(x, intervals_.begin());
}

template <class Payload, class Allocator>
typename ISet<Payload, Allocator>::const_iterator ISet<Payload, Allocator>::first_reaching(
    std::int64_t x, const_iterator hint) const {
  const auto ends_before_x = [x](const Interval<Payload>& i) { return i.end.offset < x; };
  const auto first = intervals_.begin();
  const auto last = intervals_.end();
  // A hint past the answer is of no use: search the whole set.
  if (hint != first && !ends_before_x(*std::prev(hint)))
    return std::partition_point(first, last, ends_before_x);
  // Gallop forwards from the hint, then search the last stride.
  std::ptrdiff_t stride = 1;
  auto lo = hint;
  while (std::distance(lo, last) > stride && ends_before_x(*std::next(lo, stride - 1))) {
    lo = std::next(lo, stride);
    stride *= 2;
  }
  const auto hi = std::distance(lo, last) > stride ? std::next(lo, stride) : last;
  return std::partition_point(lo, hi, ends_before_x);
}

template <class Payload, class Allocator>
bool ISet<Payload, Allocator>::mem(std::int64_t x) const {
  const auto i = first_reaching(x);
  return i != intervals_.end() && i->start.offset <= x;
}

template <class Payload, class Allocator>
std::optional<Bound<Payload>> ISet<Payload, Allocator>::find_bound_in(std::int64_t lo,
                                                                      std::int64_t hi) const {
  return find_bound_in(lo, hi, first_reaching(lo));
}

template <class Payload, class Allocator>
std::optional<Bound<Payload>> ISet<Payload, Allocator>::find_bound_in(
    std::int64_t lo, std::int64_t hi, const_iterator reaching_lo) const {
  // Every bound before this interval lies below lo; its start comes first
  // when it is in range, else its end, which is at or above lo.
  if (reaching_lo == intervals_.end()) return std::nullopt;
  const Bound<Payload>& b = reaching_lo->start.offset >= lo ? reaching_lo->start : reaching_lo->end;
  if (b.offset > hi) return std::nullopt;
  return b;
}

template <class Payload, class Allocator>
std::optional<Payload> ISet<Payload, Allocator>::is_start(std::int64_t x) const {
  const auto i =
      std::partition_point(intervals_.begin(), intervals_.end(),
                           [x](const Interval<Payload>& iv) { return iv.start.offset < x; });
  if (i == intervals_.end() || i->start.offset != x) return std::nullopt;
  return i->start.payload;
}

template <class Payload, class Allocator>
std::optional<Payload> ISet<Payload, Allocator>::is_end(std::int64_t x) const {
  const auto i = first_reaching(x);
  if (i == intervals_.end() || i->end.offset != x) return std::nullopt;
  return i->end.payload;
}

template <class Payload, class Allocator>
std::optional<std::pair<Bound<Payload>, Bound<Payload>>> ISet<Payload, Allocator>::extrema() const {
  if (intervals_.empty()) return std::nullopt;
  return std::make_pair(intervals_.front().start, intervals_.back().end);
}

}  // namespace vantel::detail
