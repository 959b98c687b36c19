// SPDX-License-Identifier: MIT
#include "quote/iset.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {

using Set = vantel::detail::ISet<int>;

// Each bound carries the index of its interval in the list.
Set set_of(const std::vector<std::pair<std::int64_t, std::int64_t>>& list) {
  std::vector<vantel::detail::Interval<int>> intervals;
  for (const auto& [s, e] : list) {
    const int i = static_cast<int>(intervals.size());
    intervals.push_back({{i, s}, {i, e}});
  }
  return Set::of_intervals(intervals);
}

// "start#from..end#from" for every interval of the set.
std::string describe(const Set& set) {
  std::string out;
  for (const auto& i : set.intervals())
    out += std::to_string(i.start.offset) + '#' + std::to_string(i.start.payload) + ".." +
           std::to_string(i.end.offset) + '#' + std::to_string(i.end.payload) + ' ';
  return out;
}

TEST(ISetOfIntervals, MergesIntervalsSharingAnOffsetAndKeepsTheBoundsTheOrderPicks) {
  EXPECT_EQ(describe(set_of({{5, 4}, {3, 3}})), "3#1..3#1 ") << "inverted dropped";
  EXPECT_EQ(describe(set_of({{3, 5}, {1, 3}})), "1#1..5#0 ") << "touching";
  EXPECT_EQ(describe(set_of({{4, 5}, {1, 3}})), "1#1..3#1 4#0..5#0 ") << "adjacent";
  EXPECT_EQ(describe(set_of({{1, 9}, {3, 4}})), "1#0..9#0 ") << "nested";
  EXPECT_EQ(describe(set_of({{2, 7}, {2, 7}})), "2#0..7#1 ") << "first start, last end";
  EXPECT_EQ(describe(set_of({{INT64_MAX, INT64_MAX}, {INT64_MIN, 0}})),
            "-9223372036854775808#1..0#1 9223372036854775807#0..9223372036854775807#0 ");
}

// The binary searches, with or without a hint, answer as an in-order scan
// that stops at the first hit would.
TEST(ISetQueries, AnswerAsAnInOrderScanWould) {
  std::mt19937 random(7);
  const auto draw = [&](int lo, int hi) { return std::uniform_int_distribution<>(lo, hi)(random); };
  for (int round = 0; round < 300; ++round) {
    std::vector<std::pair<std::int64_t, std::int64_t>> list(static_cast<std::size_t>(draw(0, 12)));
    for (auto& [s, e] : list) s = draw(-5, 60), e = s + draw(-2, 6);
    const Set set = set_of(list);
    for (std::int64_t x = -8; x <= 70; ++x) {
      std::optional<int> mem, start, end, bound;
      for (const auto& i : set.intervals()) {
        if (!mem && i.start.offset <= x && x <= i.end.offset) mem = 1;
        if (!start && i.start.offset == x) start = i.start.payload;
        if (!end && i.end.offset == x) end = i.end.payload;
        for (const auto* b : {&i.start, &i.end})
          if (!bound && x <= b->offset && b->offset <= x + 3) bound = static_cast<int>(b->offset);
      }
      EXPECT_EQ(set.mem(x), mem.has_value());
      EXPECT_EQ(set.is_start(x), start);
      EXPECT_EQ(set.is_end(x), end);
      const auto found = set.find_bound_in(x, x + 3);
      EXPECT_EQ(found ? std::optional<int>(static_cast<int>(found->offset)) : std::nullopt, bound);
      EXPECT_FALSE(set.find_bound_in(x, x - 1));
      for (std::size_t hint = 0; hint <= set.intervals().size(); ++hint)
        EXPECT_EQ(set.first_reaching(x, std::next(set.begin(), static_cast<std::ptrdiff_t>(hint))),
                  set.first_reaching(x));
    }
  }
}

// Intervals already in order and apart are taken as they are: the set is the
// one that sorting their bounds gives, whether the list is in order or only
// nearly (touching, overlapping, inverted or out of order intervals).
TEST(ISetOfIntervals, IntervalsAlreadyInOrderGiveTheSetThatSortingGives) {
  std::mt19937 random(3);
  const auto draw = [&](int lo, int hi) { return std::uniform_int_distribution<>(lo, hi)(random); };
  for (int round = 0; round < 2000; ++round) {
    std::vector<vantel::detail::Interval<int>> intervals;
    std::int64_t at = draw(-10, 10);
    for (int i = 0, n = draw(0, 8); i < n; ++i) {
      const std::int64_t start = at + draw(round % 4 == 0 ? -2 : 0, 3);
      const std::int64_t end = start + draw(round % 5 == 0 ? -1 : 0, 4);
      intervals.push_back({{i, start}, {i, end}});
      at = end + 1;
    }
    const std::string sorted = describe(Set::of_unordered_intervals(intervals));
    EXPECT_EQ(describe(Set::of_intervals(intervals)), sorted) << sorted;
  }
}

}  // namespace
