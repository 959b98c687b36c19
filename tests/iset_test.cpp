#include "vantel/iset.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace {

using vantel::detail::Bound;
using vantel::detail::Interval;
using Set = vantel::detail::ISet<int>;

// An interval whose bounds carry the index of the interval in its list, so
// that a test sees which input each kept bound came from.
struct Spec {
  std::int64_t start;
  std::int64_t end;
};

Set set_of(const std::vector<Spec>& specs) {
  std::vector<Interval<int>> intervals;
  for (int i = 0; i < static_cast<int>(specs.size()); ++i) {
    const Spec& s = specs[static_cast<std::size_t>(i)];
    intervals.push_back({{i, s.start}, {i, s.end}});
  }
  return Set::of_intervals(intervals);
}

// "[start#from end#from] ..." for every interval of the set.
std::string describe(const Set& set) {
  std::string out;
  for (const auto& i : set.intervals()) {
    if (!out.empty()) out += ' ';
    out += '[' + std::to_string(i.start.offset) + '#' + std::to_string(i.start.payload) + ' ' +
           std::to_string(i.end.offset) + '#' + std::to_string(i.end.payload) + ']';
  }
  return out;
}

TEST(ISetOfIntervals, MergesIntervalsSharingAnOffsetAndKeepsTheBoundsTheOrderPicks) {
  const struct {
    const char* what;
    std::vector<Spec> in;
    const char* out;
  } cases[] = {
      {"empty list", {}, ""},
      {"inverted intervals are dropped", {{5, 4}, {9, 2}}, ""},
      {"a single offset survives", {{3, 3}}, "[3#0 3#0]"},
      {"touching", {{1, 3}, {3, 5}}, "[1#0 5#1]"},
      {"touching, listed backwards", {{3, 5}, {1, 3}}, "[1#1 5#0]"},
      {"adjacent stay apart", {{1, 3}, {4, 5}}, "[1#0 3#0] [4#1 5#1]"},
      {"overlapping", {{1, 4}, {2, 6}}, "[1#0 6#1]"},
      {"nested", {{1, 9}, {3, 4}}, "[1#0 9#0]"},
      {"listed twice: first start, last end", {{2, 7}, {2, 7}}, "[2#0 7#1]"},
      {"descending input", {{8, 9}, {4, 5}, {0, 1}}, "[0#2 1#2] [4#1 5#1] [8#0 9#0]"},
      {"negative and extreme offsets",
       {{INT64_MAX, INT64_MAX}, {INT64_MIN, -1}, {-1, 0}},
       "[-9223372036854775808#1 0#2] [9223372036854775807#0 9223372036854775807#0]"},
  };
  for (const auto& c : cases) EXPECT_EQ(describe(set_of(c.in)), c.out) << c.what;
}

// The binary searches must answer exactly as an in-order scan of the
// intervals, stopping at the first hit, would.
TEST(ISetQueries, AnswerAsAnInOrderScanWould) {
  std::mt19937 random(7);
  const auto offset = [&] { return std::uniform_int_distribution<std::int64_t>(-5, 60)(random); };
  for (int round = 0; round < 300; ++round) {
    std::vector<Spec> specs(std::uniform_int_distribution<std::size_t>(0, 12)(random));
    for (Spec& s : specs) {
      s.start = offset();
      s.end = s.start + std::uniform_int_distribution<std::int64_t>(-2, 6)(random);
    }
    const Set set = set_of(specs);
    const auto& is = set.intervals();
    for (std::int64_t x = -8; x <= 70; ++x) {
      const auto first = std::find_if(is.begin(), is.end(), [&](const auto& i) {
        return i.start.offset <= x && x <= i.end.offset;
      });
      EXPECT_EQ(set.mem(x), first != is.end());
      const auto starts =
          std::find_if(is.begin(), is.end(), [&](const auto& i) { return i.start.offset == x; });
      EXPECT_EQ(set.is_start(x),
                starts == is.end() ? std::nullopt : std::optional<int>(starts->start.payload));
      const auto ends =
          std::find_if(is.begin(), is.end(), [&](const auto& i) { return i.end.offset == x; });
      EXPECT_EQ(set.is_end(x),
                ends == is.end() ? std::nullopt : std::optional<int>(ends->end.payload));
      // Any hint, before or past the answer, gives the same interval.
      for (auto hint = set.begin();; ++hint) {
        EXPECT_EQ(set.first_reaching(x, hint) - set.begin(), set.first_reaching(x) - set.begin());
        if (hint == set.end()) break;
      }
      for (std::int64_t hi = x - 1; hi <= x + 8; ++hi) {
        std::optional<Bound<int>> scanned;
        for (const auto& i : is) {
          for (const auto* b : {&i.start, &i.end})
            if (!scanned && x <= b->offset && b->offset <= hi) scanned = *b;
        }
        const auto found = set.find_bound_in(x, hi);
        ASSERT_EQ(found.has_value(), scanned.has_value());
        if (found) {
          EXPECT_EQ(found->offset, scanned->offset);
        }
      }
    }
  }
}

}  // namespace
